#include "ui/EventUtils.h"

#include <memory>

#include "ui/Controls.h"

namespace {

std::unique_ptr<TIdleEventMulticast> IdleMulticast;
int32_t Generation = 0;

}  // namespace

int32_t IdleGeneration() noexcept { return Generation; }
bool IdleMulticastExists() noexcept { return IdleMulticast != nullptr; }

void TIdleEventMulticast::Add(const void* key, TIdleEvent handler) {
  FHandlers.push_back({std::move(handler), key});
}

void TIdleEventMulticast::Remove(const void* key) {
  for (size_t i = FHandlers.size(); i-- > 0;) {
    if (FHandlers[i].Key != key) continue;
    if (i + 1 != FHandlers.size()) FHandlers[i] = std::move(FHandlers.back());
    FHandlers.pop_back();
    return;
  }
}

// The handler is copied before the call: the call may overwrite or free its own slot.
void TIdleEventMulticast::DispatchIdle(TComponent* sender, bool& done) {
  const int32_t generation = FGeneration;
  for (size_t i = FHandlers.size(); i-- > 0;) {
    if (generation != Generation) return;
    if (i >= FHandlers.size()) continue;
    const TIdleEvent handler = FHandlers[i].Handler;
    handler(sender, done);
  }
}

void AddIdleHandler(const void* key, TIdleEvent handler) {
  if (!IdleMulticast) {
    IdleMulticast = std::make_unique<TIdleEventMulticast>(Generation);
    Application.OnIdle = [](TComponent* sender, bool& done) {
      if (IdleMulticast) IdleMulticast->DispatchIdle(sender, done);
    };
  }
  IdleMulticast->Add(key, std::move(handler));
}

void RemoveIdleHandler(const void* key) {
  if (!IdleMulticast) return;
  IdleMulticast->Remove(key);
  if (!IdleMulticast->Empty()) return;
  IdleMulticast.reset();
  Application.OnIdle = nullptr;
  ++Generation;
}

TActionOnIdle::~TActionOnIdle() { RemoveIdleHandler(this); }

void TActionOnIdle::FireAndFree(TComponent*, bool&) {
  const TNotifyEvent action = std::move(Action);
  delete this;
  if (action) action(nullptr);
}

void RunOnIdle(TComponent* owner, TNotifyEvent action) {
  auto* idleAction = new TActionOnIdle(owner);
  idleAction->Action = std::move(action);
  AddIdleHandler(idleAction, [idleAction](TComponent* sender, bool& done) { idleAction->FireAndFree(sender, done); });
}

void ScheduleButtonRepaint(TWinControl* form) {
  auto* repaint = new TActionOnIdle(form);
  AddIdleHandler(repaint, [repaint, form](TComponent*, bool&) {
    std::unique_ptr<TActionOnIdle> self(repaint);
    RepaintButtons(*form);
  });
}
