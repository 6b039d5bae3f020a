// A form over recording controls: every geometry write, picture, draw and
// input feedback goes into the shared log.
#pragma once

#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "common/form_def.h"
#include "fakes/fake_pictures.h"
#include "fakes/fake_screen.h"
#include "fakes/log.h"

namespace talvo::fakes {

// Any control, drawable or not.
class FakeControl : public Surface {
  std::string name_;
  Log& log_;

 public:
  FakeControl(std::string name, Log& log, float x, float y, float w, float h,
              std::u16string text = {}, std::u16string tag_text = {})
      : name_(std::move(name)),
        log_(log),
        left(x),
        top(y),
        width(w),
        height(h),
        caption(std::move(text)),
        tag(std::move(tag_text)) {}

  float Left() const override { return left; }
  float Top() const override { return top; }
  float Width() const override { return width; }
  float Height() const override { return height; }
  bool SetLeft(float v) override { return Set("Left", left, v); }
  bool SetTop(float v) override { return Set("Top", top, v); }
  bool SetWidth(float v) override { return Set("Width", width, v); }
  bool SetHeight(float v) override { return Set("Height", height, v); }
  std::u16string Tag() const override { return tag; }
  void SetTag(std::u16string text) override { tag = std::move(text); }
  std::u16string Caption() const override { return caption; }
  bool SetPicture(PictureRef p) override {
    log_.push_back(name_ + ".Picture=" + PictureName(p));
    picture = std::move(p);
    return true;
  }
  bool SetVisible(bool v) override {
    log_.push_back(name_ + ".Visible=" + (v ? "True" : "False"));
    visible = v;
    return true;
  }
  bool Cls() override { return Draw("Cls"); }
  bool SetDrawMode(int mode) override { return Draw("DrawMode " + std::to_string(mode)); }
  bool Line(float x1, float y1, float x2, float y2, Colour) override {
    return Draw("Line " + Coords(x1, y1, x2, y2));
  }
  bool Box(float x1, float y1, float x2, float y2, Colour) override {
    return Draw("Box " + Coords(x1, y1, x2, y2));
  }
  bool FilledBox(float x1, float y1, float x2, float y2, Colour) override {
    return Draw("FilledBox " + Coords(x1, y1, x2, y2));
  }

  bool refuse_writes = false;
  float left, top, width, height;
  std::u16string caption, tag;
  PictureRef picture;
  bool visible = true;

 private:
  bool Set(const char* what, float& field, float value) {
    std::ostringstream line;
    line << name_ << "." << what << "=" << value;
    log_.push_back(line.str());
    if (refuse_writes) return false;
    field = value;
    return true;
  }
  bool Draw(const std::string& what) {
    log_.push_back(name_ + "." + what);
    return true;
  }
  static std::string Coords(float x1, float y1, float x2, float y2) {
    std::ostringstream out;
    out << "(" << x1 << "," << y1 << ")-(" << x2 << "," << y2 << ")";
    return out.str();
  }
};

// A window built from a definition table: one recording control per row,
// named like "RoomSelect(3)"; the window itself is "mainform".
class FakeForm : public Form {
 public:
  FakeForm(const def::FormDef& definition, Log& log)
      : log_(log),
        window_("mainform", log, definition.window.left, definition.window.top,
                definition.window.width, definition.window.height) {
    for (const def::ControlDef& d : definition.controls) {
      names_.push_back(Name(d));
      controls_.push_back(std::make_unique<FakeControl>(Name(d), log, d.left, d.top, d.width,
                                                        d.height, std::u16string(d.caption),
                                                        std::u16string(d.tag)));
    }
  }
  Surface& Window() override { return window_; }
  std::intptr_t Handle() const override { return 0x1234; }
  const Screen& Desktop() const override { return screen; }
  Surface& PictureBox(int slot) override { return *controls_.at(slot); }
  Control& Item(int slot) override { return *controls_.at(slot); }
  void ShowPressed(int slot) override {
    pressed = slot;
    log_.push_back("Pressed " + NameOf(slot));
  }
  void ShowFocus(int slot) override {
    focus = slot;
    log_.push_back("Focus " + NameOf(slot));
  }
  void CapturePointer(int slot) override {
    captured = slot;
    log_.push_back("Capture " + NameOf(slot));
  }
  void Unload() override { log_.push_back("Unload"); }

  FakeControl& window() { return window_; }
  FakeControl& at(int slot) { return *controls_.at(slot); }
  int pressed = kNoSlot, focus = kNoSlot, captured = kNoSlot;
  FakeScreen screen;

  static std::string Name(const def::ControlDef& d) {
    std::string name = Utf8(d.name);
    if (d.index != kNoIndex) {
      // Appended piece by piece: "(" + std::to_string(...) trips GCC 12's
      // false -Wrestrict at -O2 and above (the win64 build of the tests).
      name += '(';
      name += std::to_string(d.index);
      name += ')';
    }
    return name;
  }

 private:
  std::string NameOf(int slot) const {
    if (slot == kNoSlot) return "none";
    if (slot == kWindowSlot) return "mainform";
    return names_.at(static_cast<std::size_t>(slot));
  }

  Log& log_;
  FakeControl window_;
  std::vector<std::unique_ptr<FakeControl>> controls_;
  std::vector<std::string> names_;
};

}  // namespace talvo::fakes
