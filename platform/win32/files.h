// The launch's files: the meeting folders and the one output slot.
#pragma once

#include <string>
#include <vector>

#include "common/platform.h"
#include "platform/win32/scoped.h"

namespace talvo::win32 {

// The output slot writes a temporary file beside the target and renames it
// over the target only when every line reached the disk, so the meeting file
// is either the complete old one or the complete new one. A rename needs
// delete access to the target, which a process holding it open (the client
// of the last launch, an editor, a virus scanner) can deny; then, after a few
// tries, the same bytes are written into the target in place and read back.
//
// The folders lie where every account of the PC may create things, so
// nothing goes through a link another account planted: every folder on the
// target's path must be a real folder, and is held open while the slot is,
// so that it can be neither renamed, deleted nor swapped meanwhile; the
// temporary file is made new and renamed or deleted through its own handle;
// and a target is rewritten in place only when it is a plain file with no
// other name.
class Win32Files final : public Files {
 public:
  ~Win32Files() override;
  bool MakeDir(const std::u16string& path) override;
  std::u16string Dir(const std::u16string& path) override;
  bool OpenForOutput(const std::u16string& path) override;
  bool PrintLine(const std::u16string& text) override;
  bool CloseSlot() override;

 private:
  void Discard();
  bool Replace();
  bool RenameOverTarget();
  void DeleteTemporary();
  std::vector<ScopedHandle> folders_;  // the target's folders, outermost first
  ScopedHandle file_;                  // the temporary file until it is renamed
  std::wstring target_;
  std::string bytes_;  // what the temporary file holds, for a write in place
  bool complete_ = false;
};

}  // namespace talvo::win32
