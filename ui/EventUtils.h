#pragma once
// Idle-time services. The application has one idle event; TIdleEventMulticast turns it
// into a list of handlers, and TActionOnIdle does one thing once at the next idle moment,
// unless its owner is destroyed before.

#include <cstdint>
#include <vector>

#include "ui/Application.h"

class TWinControl;

class TIdleEventMulticast {
 public:
  explicit TIdleEventMulticast(int32_t generation) noexcept : FGeneration(generation) {}

  void Add(const void* key, TIdleEvent handler);
  // Removes one entry with this key, the newest first; the last entry fills its slot.
  void Remove(const void* key);
  bool Empty() const noexcept { return FHandlers.empty(); }
  // Calls the handlers from the last slot to the first. A handler may remove entries or
  // destroy the multicast: the generation and the length are checked before every call.
  void DispatchIdle(TComponent* sender, bool& done);

 private:
  struct TEntry {
    TIdleEvent Handler;
    const void* Key;
  };
  std::vector<TEntry> FHandlers;
  int32_t FGeneration;
};

void AddIdleHandler(const void* key, TIdleEvent handler);
void RemoveIdleHandler(const void* key);

// Runs once at the next idle moment unless its owner is destroyed first; destroying it
// takes its registration away.
class TActionOnIdle : public TComponent {
 public:
  explicit TActionOnIdle(TComponent* owner) noexcept : TComponent(owner) {}
  ~TActionOnIdle() override;

  TNotifyEvent Action;
  void FireAndFree(TComponent* sender, bool& done);
};

// Runs the action at the next idle moment, with no sender, unless the owner is gone.
void RunOnIdle(TComponent* owner, TNotifyEvent action);
// Repaints the form's button controls at the next idle moment.
void ScheduleButtonRepaint(TWinControl* form);

// The count of multicasts destroyed so far; a dispatch whose multicast was destroyed by
// one of its own handlers stops at once.
int32_t IdleGeneration() noexcept;
bool IdleMulticastExists() noexcept;
