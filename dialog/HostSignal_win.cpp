#include "dialog/HostSignal_win.h"

#include <utility>

#include "ui/EventUtils.h"
#include "ui/Forms.h"

THostSignal::THostSignal(TForm& form, std::function<void()> notify) : FForm(form), FNotify(std::move(notify)) {}

void THostSignal::Signal() {
  const DWORD now = GetTickCount();
  if (FPending) return;
  if (now - FLastSignal >= Gap) {
    FLastSignal = now;
    FNotify();
    return;
  }
  FPending = true;
  SetTimer(FForm.Handle(), TimerId, Gap - (now - FLastSignal), nullptr);
}

void THostSignal::TimerElapsed() {
  KillTimer(FForm.Handle(), TimerId);
  FPending = false;
  FLastSignal = GetTickCount();
  GuardEvent(&FForm, FNotify);
}
