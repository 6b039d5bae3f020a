// Start-up, shutdown and the room launch: the handlers of mainform that end
// the program or prepare for it.
#include <string>

#include "launcher/meeting_file.h"
#include "main_window/mainform.h"

namespace talvo {
namespace {

// After a launch the hidden window waits 1.5 s before it ends, answering its
// events meanwhile.
constexpr int kLingerSteps = 15;
constexpr int kLingerStepMs = 100;

}  // namespace

void mainform::Form_Load() {
  // Each call makes one level, so the parent comes first. Both fail quietly
  // from the second start on, when the folders exist.
  IgnoreFailure(files_.MakeDir(std::u16string(meeting::kFirstLevelDir)));
  IgnoreFailure(files_.MakeDir(std::u16string(meeting::kWorkingDir)));
  ResizeSet();
  To_top();
}

void mainform::ToDo_Click(std::int16_t) { system_.End(); }

// Ends at once, as the exit button does, in the middle of a launch too: the
// system waits for no one, and an upgrade must not find the program running
// (nor, after a logoff, Windows a program it has to kill).
void mainform::Session_End() { system_.End(); }

void mainform::RoomSelect_Click(std::int16_t index) {
  // A click queued behind the first one would rewrite the file under a client
  // that is opening it and start the client twice.
  if (launching_ || index < 0 || index >= def::kRoomCount) return;
  launching_ = true;
  toRunjnj(index, RoomSelect(index).Tag());
}

void mainform::toRunjnj(std::int16_t index, const std::u16string& user_id) {
  const std::u16string prefix = meeting::RoomPrefix(RoomSelect(index).Caption());
  const std::u16string path = meeting::FullPath(meeting::kWorkingDir, meeting::kFileName);

  // Only a file this launch wrote completely may be started: a stale or
  // partial one would put the user in the wrong room.
  IgnoreFailure(files_.CloseSlot());  // nothing is open here; the slot is closed as a rule
  bool written = files_.OpenForOutput(path);
  for (const std::u16string& line : meeting::Lines(user_id, prefix)) {
    written = files_.PrintLine(line) && written;
  }
  written = files_.CloseSlot() && written;

  const bool found = meeting::SameFileName(files_.Dir(path), meeting::kFileName);
  if (written && found) {
    // Without the client, the interpreter's `start` would bring up only the
    // system's own "open with" question, or nothing, and the launch would end
    // as if it had worked; where the platform cannot tell, the launch goes on.
    // Where the interpreter cannot run (a locked-down PC, or it is missing)
    // the handler opens the file directly; a launch that started nothing
    // says so rather than vanish as if it had worked.
    if (system_.ProgramRegisteredFor(meeting::kFileType) == Answer::No) {
      system_.MsgBox(meeting::NotInstalledMessage());
    } else if (!system_.StartHidden(std::u16string(meeting::kCommandPrefix) + path) &&
               !system_.OpenWithHandler(path)) {
      system_.MsgBox(meeting::CannotOpenMessage());
    }
  } else {
    system_.MsgBox(meeting::NotFoundMessage());
  }

  toolkit_.DoEvents();
  IgnoreFailure(Me.SetVisible(false));
  for (int step = 0; step < kLingerSteps; ++step) {
    system_.Sleep(kLingerStepMs);
    toolkit_.DoEvents();
  }
  parts_.Unload();
  system_.End();
}

}  // namespace talvo
