#pragma once
// Answers the modal windows that the code under test opens on this thread, as a user would:
// a thread timer fires inside the modal loop, records what the window shows and then
// presses Enter or Esc, or clicks the close box.

#include <functional>
#include <initializer_list>
#include <set>
#include <string>
#include <vector>

#include "platform/WinApi.h"

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

// None leaves the window to the last scripted step (say, a click on its own button).
enum class TDialogAnswer { Enter, Escape, Close, None };

class TDialogWatcher {
 public:
  using TInspect = std::function<void(HWND dialog)>;
  explicit TDialogWatcher(TDialogAnswer answer = TDialogAnswer::Enter, TInspect inspect = {});
  // Acts on the first window with this caption as a user would, one step per tick, so that
  // the window's message loop goes idle between two steps; then answers it. Steps wait
  // while the window is disabled, and every other window (a message box over it) is
  // answered with Enter at once.
  TDialogWatcher(const std::string& caption, std::vector<TInspect> steps, TDialogAnswer answer);
  ~TDialogWatcher();
  TDialogWatcher(const TDialogWatcher&) = delete;
  TDialogWatcher& operator=(const TDialogWatcher&) = delete;

  std::vector<TSeenDialog> Seen;
  // When set, the watcher takes no window and runs no step until this holds: work that a
  // window does at its idle moment has no message to wait for.
  std::function<bool()> Ready;
  // With a script: another window that opens (a file dialog) is answered by this when it
  // returns true, else with Enter. The window has been recorded already.
  std::function<bool(HWND window)> OtherWindow;

 private:
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD);
  static BOOL CALLBACK VisitWindow(HWND window, LPARAM self);
  void Handle(HWND dialog);
  void Record(HWND dialog);
  void Answer(HWND dialog, TDialogAnswer answer);
  bool TakeScripted(HWND window);
  void RunScript();

  static TDialogWatcher* Current;
  TDialogAnswer FAnswer;
  TInspect FInspect;
  std::set<HWND> FKnown;
  UINT_PTR FTimer = 0;
  std::string FCaption;
  std::vector<TInspect> FSteps;
  size_t FNextStep = 0;
  HWND FScripted = nullptr;
  bool FScriptDone = false;
};

// Acting on an open window: what a user clicks, and what the test reads back.
HWND FindChild(HWND dialog, const std::string& className, const std::string& text);
// BM_CLICK: the control is pressed and released, and notifies its parent as on a real click.
void ClickChild(HWND dialog, const std::string& className, const std::string& text);
std::string WindowText(HWND window);
// The window's bounds in the client coordinates of `reference` (null: the screen's).
RECT BoundsIn(HWND window, HWND reference);
void ResizeWindow(HWND window, int width, int height);
// The profile dialog's plot panel, its top left child; the cursor moved over a point of
// it, or parked away from the dialog, which opens at the screen's top right.
HWND Panel(HWND dialog);
void MoveOverPanel(HWND dialog, int x, int y);
// Answers Yes to the question whether to replace a file; in the save dialog types the next
// name and presses Save.
bool AnswerSaveDialog(HWND window, const std::vector<std::string>& names, size_t& named);
// Answers the save dialog as AnswerSaveDialog does, and takes the picture size offered
// after a PNG's name.
bool AnswerPlotSave(HWND window, const std::vector<std::string>& names, size_t& named);
// The clipboard's text as UTF-8; empty when it holds none.
std::string ClipboardUtf8();
// A file's bytes; empty when there is none.
std::string FileText(const std::string& name);
void ParkCursor();
// The keys pressed in order and released in reverse, as a chord ({VK_CONTROL, 'C'}).
void Keys(std::initializer_list<BYTE> keys);
// A visible window of this thread of the class named (case aside); null if none.
HWND VisibleThreadWindow(const char* className);
// The visible tooltip's text (UTF-8), and its text's extent in the tooltip's own font
// against the room inside its margins; "" and no room when none shows.
std::string ToolTipText();
struct TTipFit {
  SIZE Text;
  SIZE Room;
};
TTipFit ToolTipFit();

// The window's client area as 0x00RRGGBB values, row by row, read from its window DC.
struct TWindowPixels {
  int Width = 0;
  int Height = 0;
  std::vector<uint32_t> Pixels;
  uint32_t At(int x, int y) const { return Pixels[static_cast<size_t>(y) * Width + x]; }
};
TWindowPixels ReadClientPixels(HWND window);
// The whole window, caption and frame included, read from its window DC.
TWindowPixels ReadFramePixels(HWND window);
