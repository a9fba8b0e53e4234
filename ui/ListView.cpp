#include "ui/ListView.h"

#include <commctrl.h>

#include "platform/WinApi.h"

TWinControl::TCreateParams TListView::CreateParams() const {
  return {WC_LISTVIEWA, DWORD(WS_TABSTOP | WS_BORDER | LVS_REPORT | LVS_SHOWSELALWAYS | LVS_NOSORTHEADER), 0};
}

void TListView::Creating() {
  INITCOMMONCONTROLSEX classes{sizeof classes, ICC_LISTVIEW_CLASSES};
  InitCommonControlsEx(&classes);
}

void TListView::SetColumns(const std::vector<std::string>& heads) {
  while (SendMessageW(Handle(), LVM_DELETECOLUMN, 0, 0)) {
  }
  for (size_t i = 0; i < heads.size(); ++i) {
    std::wstring text = WideText(heads[i], CP_UTF8);
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_SUBITEM;
    column.pszText = text.data();
    column.iSubItem = static_cast<int>(i);
    SendMessageW(Handle(), LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&column));
  }
  FHeads = heads;
}

void TListView::SetCell(int row, int column, const std::string& text, bool insert) {
  std::wstring wide = WideText(text, CP_UTF8);
  LVITEMW item{};
  item.mask = LVIF_TEXT;
  item.iItem = row;
  item.iSubItem = column;
  item.pszText = wide.data();
  SendMessageW(Handle(), insert ? LVM_INSERTITEMW : LVM_SETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
}

// New heads size every column to its longest text; the same heads keep what the user chose.
void TListView::SetTable(const std::vector<std::string>& heads, const std::vector<std::vector<std::string>>& rows) {
  const bool newColumns = heads != FHeads;
  SendMessageW(Handle(), WM_SETREDRAW, FALSE, 0);
  if (newColumns) SetColumns(heads);
  const int count = static_cast<int>(rows.size());
  while (FRows > count) SendMessageW(Handle(), LVM_DELETEITEM, --FRows, 0);
  for (int r = 0; r < count; ++r) {
    const bool insert = r >= FRows;
    for (size_t c = 0; c < rows[r].size() && c < heads.size(); ++c)
      SetCell(r, static_cast<int>(c), rows[r][c], insert && c == 0);
  }
  FRows = count;
  if (newColumns)
    for (size_t c = 0; c < heads.size(); ++c) SendMessageW(Handle(), LVM_SETCOLUMNWIDTH, c, LVSCW_AUTOSIZE_USEHEADER);
  SendMessageW(Handle(), WM_SETREDRAW, TRUE, 0);
  InvalidateRect(Handle(), nullptr, TRUE);
}
