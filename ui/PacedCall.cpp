#include "ui/PacedCall.h"

#include <utility>

#include "ui/EventUtils.h"
#include "ui/Forms.h"

TPacedCall::TPacedCall(TForm& form, UINT_PTR timerId, DWORD gap, std::function<void()> call)
    : FForm(form), FTimerId(timerId), FGap(gap), FCall(std::move(call)) {}

void TPacedCall::Request() {
  if (FWaiting) return;
  const DWORD now = GetTickCount();
  if (now - FLastCall >= FGap) {
    FLastCall = now;
    FCall();
    return;
  }
  FWaiting = true;
  SetTimer(FForm.Handle(), FTimerId, FGap - (now - FLastCall), nullptr);
}

void TPacedCall::Cancel() noexcept {
  if (!FWaiting) return;
  KillTimer(FForm.Handle(), FTimerId);
  FWaiting = false;
}

bool TPacedCall::TimerElapsed(UINT_PTR timerId) {
  if (timerId != FTimerId) return false;
  KillTimer(FForm.Handle(), FTimerId);
  if (!FWaiting) return true;
  FWaiting = false;
  FLastCall = GetTickCount();
  GuardEvent(&FForm, FCall);
  return true;
}
