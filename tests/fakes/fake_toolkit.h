// The window toolkit: forms built over recording controls, and an event
// dispatch that a test fills with callbacks, so it can stand in for events
// arriving (and re-entering the code under test) during DoEvents.
#pragma once

#include <cstddef>
#include <deque>
#include <functional>
#include <memory>
#include <utility>

#include "common/form_def.h"
#include "fakes/fake_form.h"
#include "fakes/log.h"

namespace talvo::fakes {

class FakeToolkit : public Toolkit {
 public:
  explicit FakeToolkit(Log* log = nullptr) : log_(log) {}

  bool BringOtherStartIntoView() override {
    Note("BringOtherStartIntoView");
    return other_showing;
  }

  std::unique_ptr<Form> CreateForm(const def::FormDef& definition, InputEvents& events) override {
    Note("CreateForm");
    if (fail_create) return nullptr;
    input = &events;
    auto form = std::make_unique<FakeForm>(definition, log_ ? *log_ : own_log_);
    created = form.get();
    return form;
  }

  // Each DoEvents runs at most one queued event, so nested dispatches take
  // the following ones in turn.
  void DoEvents() override {
    Note("DoEvents");
    ++do_events_calls;
    if (pending_.empty()) return;
    std::function<void()> event = std::move(pending_.front());
    pending_.pop_front();
    event();
  }

  int RunEventLoop() override {
    Note("EventLoop");
    while (!pending_.empty()) DoEvents();
    return loop_status;
  }

  void QueueEvent(std::function<void()> event) { pending_.push_back(std::move(event)); }
  std::size_t PendingEvents() const { return pending_.size(); }

  int do_events_calls = 0;
  bool fail_create = false;
  bool other_showing = false;  // another start's window shows
  int loop_status = 0;
  InputEvents* input = nullptr;
  FakeForm* created = nullptr;

 private:
  void Note(const char* what) {
    if (log_) log_->push_back(what);
  }
  Log* log_;
  Log own_log_;
  std::deque<std::function<void()>> pending_;
};

}  // namespace talvo::fakes
