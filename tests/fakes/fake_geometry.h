// A window whose position can be read and set, each write separately
// failable, and a plain Tag holder.
#pragma once

#include <string>
#include <utility>

#include "common/platform.h"

namespace talvo::fakes {

class FakeGeometry : public Geometry {
 public:
  float left = 0, top = 0, width = 0, height = 0;

  // A false flag makes the matching write return false and leave the value
  // alone.
  bool can_set_left = true, can_set_top = true, can_set_width = true, can_set_height = true;

  // Attempts, successful or not.
  int set_left_calls = 0, set_top_calls = 0, set_width_calls = 0, set_height_calls = 0;

  float Left() const override { return left; }
  float Top() const override { return top; }
  float Width() const override { return width; }
  float Height() const override { return height; }
  bool SetLeft(float twips) override { return Write(can_set_left, set_left_calls, left, twips); }
  bool SetTop(float twips) override { return Write(can_set_top, set_top_calls, top, twips); }
  bool SetWidth(float twips) override {
    return Write(can_set_width, set_width_calls, width, twips);
  }
  bool SetHeight(float twips) override {
    return Write(can_set_height, set_height_calls, height, twips);
  }

 private:
  static bool Write(bool ok, int& calls, float& field, float value) {
    ++calls;
    if (ok) field = value;
    return ok;
  }
};

class FakeTagHolder : public TagHolder {
 public:
  std::u16string tag;

  std::u16string Tag() const override { return tag; }
  void SetTag(std::u16string text) override { tag = std::move(text); }
};

}  // namespace talvo::fakes
