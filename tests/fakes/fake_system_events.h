// A System for code that only dispatches events: DoEvents is counted and runs
// the next queued callback, so a test can stand in for an event arriving (and
// re-entering the code under test) during dispatch. The rest does nothing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <utility>

#include "common/platform.h"

namespace talvo::fakes {

class FakeSystemEvents : public System {
 public:
  int do_events_calls = 0;

  // Each DoEvents pops and runs at most one, so nested dispatches take the
  // following ones in turn.
  void QueueEvent(std::function<void()> event) { pending_.push_back(std::move(event)); }
  std::size_t PendingEvents() const { return pending_.size(); }

  void DoEvents() override {
    ++do_events_calls;
    if (pending_.empty()) return;
    std::function<void()> event = std::move(pending_.front());
    pending_.pop_front();
    event();
  }

  bool StartHidden(const std::u16string&) override { return true; }
  void MsgBox(const std::u16string&) override {}
  void Sleep(int) override {}
  bool SetWindowPos(std::intptr_t, std::intptr_t, int, int, int, int, unsigned) override {
    return true;
  }
  void Unload() override {}
  void End() override {}

 private:
  std::deque<std::function<void()>> pending_;
};

}  // namespace talvo::fakes
