#pragma once
// A call that follows a stream of requests at a set pace: the first request after a quiet
// spell calls at once; while requests keep coming, at most one call per gap, and one more
// when the gap after the last call has passed, so that the latest request is never lost.
// A request that would come too soon waits for a timer of the form's window, which the
// form passes on to TimerElapsed.

#include <windows.h>

#include <functional>

class TForm;

class TPacedCall {
 public:
  // `timerId` is the form's timer that this call owns; `gap` is in milliseconds.
  TPacedCall(TForm& form, UINT_PTR timerId, DWORD gap, std::function<void()> call);
  TPacedCall(const TPacedCall&) = delete;
  TPacedCall& operator=(const TPacedCall&) = delete;

  void Request();
  // A waiting call is dropped: what it would show has been shown another way.
  void Cancel() noexcept;
  // Makes the waiting call when the timer is this one's; false for any other timer.
  bool TimerElapsed(UINT_PTR timerId);

 private:
  TForm& FForm;
  UINT_PTR FTimerId;
  DWORD FGap;
  std::function<void()> FCall;
  DWORD FLastCall = 0;
  bool FWaiting = false;
};
