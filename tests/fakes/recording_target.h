// A DrawingTarget that records every primitive it is asked for, in order, and
// can be told to fail one of them.
#pragma once

#include <cstddef>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

#include "common/platform.h"

namespace talvo::fakes {

struct DrawCall {
  enum class Kind { kCls, kDrawMode, kLine, kBox, kFilledBox };
  Kind kind = Kind::kCls;
  int mode = 0;  // kDrawMode only
  float x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  Colour colour = 0;

  static DrawCall Cls() { return {}; }
  static DrawCall DrawMode(int mode) { return {Kind::kDrawMode, mode, 0, 0, 0, 0, 0}; }
  static DrawCall Line(float x1, float y1, float x2, float y2, Colour colour) {
    return {Kind::kLine, 0, x1, y1, x2, y2, colour};
  }
  static DrawCall Box(float x1, float y1, float x2, float y2, Colour colour) {
    return {Kind::kBox, 0, x1, y1, x2, y2, colour};
  }
  static DrawCall FilledBox(float x1, float y1, float x2, float y2, Colour colour) {
    return {Kind::kFilledBox, 0, x1, y1, x2, y2, colour};
  }

  // Exact comparison on purpose: every coordinate the core produces is a sum
  // of whole twips, which float holds exactly.
  friend bool operator==(const DrawCall& a, const DrawCall& b) {
    return a.kind == b.kind && a.mode == b.mode && a.x1 == b.x1 && a.y1 == b.y1 && a.x2 == b.x2 &&
           a.y2 == b.y2 && a.colour == b.colour;
  }
  friend bool operator!=(const DrawCall& a, const DrawCall& b) { return !(a == b); }

  std::string ToString() const {
    std::ostringstream out;
    switch (kind) {
      case Kind::kCls:
        return "Cls";
      case Kind::kDrawMode:
        out << "DrawMode " << mode;
        return out.str();
      case Kind::kLine:
        out << "Line";
        break;
      case Kind::kBox:
        out << "Box";
        break;
      case Kind::kFilledBox:
        out << "FilledBox";
        break;
    }
    out << " (" << x1 << "," << y1 << ")-(" << x2 << "," << y2 << ") #" << std::hex << colour;
    return out.str();
  }
  // Lets GoogleTest print readable diffs.
  friend std::ostream& operator<<(std::ostream& os, const DrawCall& call) {
    return os << call.ToString();
  }
};

class RecordingTarget : public DrawingTarget {
 public:
  RecordingTarget(float width = 3000, float height = 2000) : width_(width), height_(height) {}

  // Every call, including a failed one (it was attempted).
  std::vector<DrawCall> calls;
  // 1-based position, among all calls including Cls, of the one that fails;
  // 0 means none does.
  std::size_t fail_on_call = 0;
  // Fails every Cls regardless of fail_on_call.
  bool fail_cls = false;

  bool Cls() override { return Record(DrawCall::Cls()) && !fail_cls; }
  float Width() const override { return width_; }
  float Height() const override { return height_; }
  bool SetDrawMode(int mode) override { return Record(DrawCall::DrawMode(mode)); }
  bool Line(float x1, float y1, float x2, float y2, Colour colour) override {
    return Record(DrawCall::Line(x1, y1, x2, y2, colour));
  }
  bool Box(float x1, float y1, float x2, float y2, Colour colour) override {
    return Record(DrawCall::Box(x1, y1, x2, y2, colour));
  }
  bool FilledBox(float x1, float y1, float x2, float y2, Colour colour) override {
    return Record(DrawCall::FilledBox(x1, y1, x2, y2, colour));
  }

 private:
  bool Record(const DrawCall& call) {
    calls.push_back(call);
    return calls.size() != fail_on_call;
  }

  float width_;
  float height_;
};

}  // namespace talvo::fakes
