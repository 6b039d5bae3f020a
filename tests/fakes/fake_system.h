// Whether a program opens a file type, process start, opening with the registered handler, message
// boxes, waits, window placement and the end, logged.
#pragma once

#include <sstream>
#include <string>

#include "common/platform.h"
#include "fakes/fake_form.h"
#include "fakes/log.h"

namespace talvo::fakes {

class FakeSystem : public System {
 public:
  explicit FakeSystem(Log& log) : log_(log) {}
  Answer ProgramRegisteredFor(std::u16string_view type) override {
    log_.push_back("Registered? " + Utf8(type));
    return registered;
  }
  bool StartHidden(const std::u16string& command_line) override {
    log_.push_back("Start " + Utf8(command_line));
    return !fail_start;
  }
  bool OpenWithHandler(const std::u16string& path) override {
    log_.push_back("Handler " + Utf8(path));
    return !fail_handler;
  }
  void MsgBox(const std::u16string& text) override { log_.push_back("MsgBox " + Utf8(text)); }
  void Sleep(int ms) override { log_.push_back("Sleep " + std::to_string(ms)); }
  bool SetWindowPos(std::intptr_t window, std::intptr_t after, int x, int y, int cx, int cy,
                    unsigned flags) override {
    std::ostringstream line;
    line << "SetWindowPos " << window << " " << after << " " << x << " " << y << " " << cx << " "
         << cy << " 0x" << std::hex << flags;
    log_.push_back(line.str());
    if (fail_set_window_pos || !moved) return false;
    // As the platform does at 96 dpi: the numbers taken as pixels, unless the
    // flags keep the place (SWP_NOMOVE) or the size (SWP_NOSIZE).
    if (!(flags & swp::kNoMove)) {
      moved->left = static_cast<float>(x) * 15;
      moved->top = static_cast<float>(y) * 15;
    }
    if (!(flags & swp::kNoSize)) {
      moved->width = static_cast<float>(cx) * 15;
      moved->height = static_cast<float>(cy) * 15;
    }
    return true;
  }
  void End() override { log_.push_back("End"); }

  Answer registered = Answer::Yes;
  bool fail_start = false;
  bool fail_handler = false;
  bool fail_set_window_pos = false;
  FakeControl* moved = nullptr;  // the window SetWindowPos places

 private:
  Log& log_;
};

}  // namespace talvo::fakes
