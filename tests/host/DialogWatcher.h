#pragma once
// Answers the modal windows that the code under test opens on this thread, as a user would:
// a thread timer fires inside the modal loop, records what the window shows and then
// presses Enter or Esc, or clicks the close box.

#include <functional>
#include <set>
#include <string>
#include <vector>

#include "ui/WinApi.h"

struct TSeenControl {
  std::string ClassName;
  std::string Text;
  RECT Bounds;  // in the dialog's client coordinates
  LONG Style;
};

struct TSeenDialog {
  HWND Handle;
  std::string Caption;
  HWND Owner;
  RECT Client;
  std::vector<TSeenControl> Controls;
  const TSeenControl* Find(const std::string& className, const std::string& text) const;
};

enum class TDialogAnswer { Enter, Escape, Close };

class TDialogWatcher {
 public:
  using TInspect = std::function<void(HWND dialog)>;
  explicit TDialogWatcher(TDialogAnswer answer = TDialogAnswer::Enter, TInspect inspect = {});
  ~TDialogWatcher();
  TDialogWatcher(const TDialogWatcher&) = delete;
  TDialogWatcher& operator=(const TDialogWatcher&) = delete;

  std::vector<TSeenDialog> Seen;

 private:
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD);
  static BOOL CALLBACK VisitWindow(HWND window, LPARAM self);
  void Handle(HWND dialog);

  static TDialogWatcher* Current;
  TDialogAnswer FAnswer;
  TInspect FInspect;
  std::set<HWND> FKnown;
  UINT_PTR FTimer = 0;
};
