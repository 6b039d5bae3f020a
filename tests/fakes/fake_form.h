// Recording fakes for the whole window: every control, the files and the
// system calls write one line each into a shared log, so a test can check
// what happened and in which order.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "image_store/subset.h"
#include "main_window/mainform.h"

namespace talvo::fakes {

inline std::string Utf8(std::u16string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t c = text[i];
    if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size()) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
    }
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      out += static_cast<char>(0xE0 | (c >> 12));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (c >> 18));
      out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

using Log = std::vector<std::string>;

struct FakePicture : Picture {
  explicit FakePicture(std::string n) : name(std::move(n)) {}
  std::string name;
};

class FakePictures : public PictureLoader {
 public:
  PictureRef Load(std::string_view asset) override {
    ++loads[std::string(asset)];
    if (missing.count(std::string(asset))) return nullptr;
    return std::make_shared<FakePicture>(std::string(asset));
  }
  std::map<std::string, int> loads;
  std::set<std::string> missing;
};

inline std::string PictureName(const PictureRef& picture) {
  auto fake = std::dynamic_pointer_cast<const FakePicture>(picture);
  return fake ? fake->name : "";
}

// Any control, drawable or not; draws and geometry writes go to the log.
class FakeControl : public Surface {
  std::string name_;
  Log& log_;

 public:
  FakeControl(std::string name, Log& log, float left, float top, float width, float height,
              std::u16string caption = {}, std::u16string tag = {})
      : name_(std::move(name)),
        log_(log),
        left(left),
        top(top),
        width(width),
        height(height),
        caption(std::move(caption)),
        tag(std::move(tag)) {}

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

// mainform's controls as built from the real definition table.
class FakeParts : public MainFormParts {
 public:
  explicit FakeParts(Log& log)
      : window_("mainform", log, def::kMainWindow.left, def::kMainWindow.top,
                def::kMainWindow.width, def::kMainWindow.height) {
    for (const def::ControlDef& d : def::kControls) {
      std::string name = Utf8(d.name);
      if (d.index != def::kNoIndex) name += "(" + std::to_string(d.index) + ")";
      controls_.push_back(std::make_unique<FakeControl>(name, log, d.left, d.top, d.width, d.height,
                                                        std::u16string(d.caption),
                                                        std::u16string(d.tag)));
    }
  }
  Surface& Window() override { return window_; }
  std::intptr_t Handle() const override { return 0x1234; }
  Surface& PictureBox(int slot) override { return *controls_.at(slot); }
  Control& Item(int slot) override { return *controls_.at(slot); }

  FakeControl& window() { return window_; }
  FakeControl& at(int slot) { return *controls_.at(slot); }

 private:
  FakeControl window_;
  std::vector<std::unique_ptr<FakeControl>> controls_;
};

// Files: a small in-memory disk behind one output slot that commits on close.
class FakeFiles : public Files {
 public:
  explicit FakeFiles(Log& log) : log_(log) {}

  bool MakeDir(const std::u16string& path) override {
    log_.push_back("MakeDir " + Utf8(path));
    return !fail_make_dir && dirs.insert(path).second;
  }
  std::u16string Dir(const std::u16string& path) override {
    log_.push_back("Dir " + Utf8(path));
    if (dir_answer) return *dir_answer;
    if (!disk.count(path)) return {};
    return path.substr(path.find_last_of(u'\\') + 1);
  }
  bool OpenForOutput(const std::u16string& path) override {
    log_.push_back("Open " + Utf8(path));
    if (fail_open) return false;
    open_ = true;
    path_ = path;
    pending_.clear();
    return true;
  }
  bool PrintLine(const std::u16string& text) override {
    log_.push_back("Print " + Utf8(text));
    ++prints_;
    if (!open_ || prints_ == fail_print) {
      complete_ = false;
      return false;
    }
    pending_ += Utf8(text) + "\r\n";
    return true;
  }
  bool CloseSlot() override {
    log_.push_back("Close");
    if (!open_) return true;
    open_ = false;
    const bool ok = complete_ && !fail_close;
    complete_ = true;
    if (ok) disk[path_] = pending_;
    return ok;
  }

  std::map<std::u16string, std::string> disk;
  std::set<std::u16string> dirs;
  std::optional<std::u16string> dir_answer;  // what Dir reports instead of the disk
  bool fail_make_dir = false;
  bool fail_open = false;
  int fail_print = 0;  // 1-based print that fails
  bool fail_close = false;

 private:
  Log& log_;
  bool open_ = false;
  bool complete_ = true;
  int prints_ = 0;
  std::u16string path_;
  std::string pending_;
};

class FakeSystem : public System {
 public:
  explicit FakeSystem(Log& log) : log_(log) {}
  bool StartHidden(const std::u16string& command_line) override {
    log_.push_back("Start " + Utf8(command_line));
    return !fail_start;
  }
  void MsgBox(const std::u16string& text) override { log_.push_back("MsgBox " + Utf8(text)); }
  void Sleep(int ms) override { log_.push_back("Sleep " + std::to_string(ms)); }
  void DoEvents() override {
    log_.push_back("DoEvents");
    if (on_events) {
      auto callback = std::exchange(on_events, nullptr);
      callback();
    }
  }
  bool SetWindowPos(std::intptr_t window, std::intptr_t after, int x, int y, int cx, int cy,
                    unsigned flags) override {
    std::ostringstream line;
    line << "SetWindowPos " << window << " " << after << " " << x << " " << y << " " << cx << " "
         << cy << " 0x" << std::hex << flags;
    log_.push_back(line.str());
    if (fail_set_window_pos || !moved) return false;
    // As the platform does: the numbers taken as pixels, the size 0 x 0.
    moved->left = static_cast<float>(x) * 15;
    moved->top = static_cast<float>(y) * 15;
    moved->width = static_cast<float>(cx) * 15;
    moved->height = static_cast<float>(cy) * 15;
    return true;
  }
  void Unload() override { log_.push_back("Unload"); }
  void End() override { log_.push_back("End"); }

  bool fail_start = false;
  bool fail_set_window_pos = false;
  FakeControl* moved = nullptr;     // the window SetWindowPos places
  std::function<void()> on_events;  // runs once, inside the next DoEvents

 private:
  Log& log_;
};

// A complete form over the fakes.
struct FormRig {
  Log log;
  FakeParts parts{log};
  FakeFiles files{log};
  FakeSystem system{log};
  FakePictures pictures;
  SubSetInstance subset{pictures};
  mainform form{parts, files, system, subset};
  FormRig() { system.moved = &parts.window(); }
};

}  // namespace talvo::fakes
