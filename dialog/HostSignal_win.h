#pragma once
// The host told that the dialog changed its pixels, while they keep changing (a moving
// readout, a line dragged) at most 20 times a second, and once more when they settle: a
// signal that would come too soon waits for a timer of the dialog's window.

#include <windows.h>

#include <functional>

class TForm;

class THostSignal {
 public:
  // `form` hears the timer (TimerId) and passes it on to TimerElapsed.
  THostSignal(TForm& form, std::function<void()> notify);

  static constexpr UINT_PTR TimerId = 1;
  // The least time between two signals, in milliseconds.
  static constexpr DWORD Gap = 50;

  void Signal();
  void TimerElapsed();

 private:
  TForm& FForm;
  std::function<void()> FNotify;
  DWORD FLastSignal = 0;
  bool FPending = false;
};
