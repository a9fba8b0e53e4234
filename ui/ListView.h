#pragma once
// A table in the system's list view, report style: a header whose columns the user sizes,
// rows of text (UTF-8), read by screen readers as any list. Filling it again with the same
// heads keeps the columns' widths.

#include <string>
#include <vector>

#include "ui/Controls.h"

class TListView : public TWinControl {
 public:
  using TWinControl::TWinControl;
  void SetTable(const std::vector<std::string>& heads, const std::vector<std::vector<std::string>>& rows);

 protected:
  TCreateParams CreateParams() const override;
  void Creating() override;

 private:
  void SetColumns(const std::vector<std::string>& heads);
  void SetCell(int row, int column, const std::string& text, bool insert);

  std::vector<std::string> FHeads;
  int FRows = 0;
};
