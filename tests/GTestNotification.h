#pragma once
// GoogleTest's Notification, for the win32 thread model of the cross compiler: that
// runtime has no std::mutex, which GoogleTest's own one is built on. GoogleTest uses it
// only to start the threads of its own self-tests; none of these tests starts a thread.

#include <atomic>

namespace testing::internal {

class Notification {
 public:
  Notification() = default;
  Notification(const Notification&) = delete;
  Notification& operator=(const Notification&) = delete;

  void Notify() noexcept { FNotified.store(true); }
  void WaitForNotification() const noexcept {
    while (!FNotified.load()) {
    }
  }

 private:
  std::atomic<bool> FNotified{false};
};

}  // namespace testing::internal
