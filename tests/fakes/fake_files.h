// Files: a small in-memory disk behind one output slot that commits on close,
// as the real one does; each operation can be made to fail.
#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>

#include "common/platform.h"
#include "fakes/log.h"

namespace talvo::fakes {

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

}  // namespace talvo::fakes
