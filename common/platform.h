// What the program expects of the platform, as small interfaces. The core sees
// nothing else of the platform: the Win32 backend implements these for real and
// the tests' recording fakes implement them for unit tests.
//
// Every position and size is in twips (1/1440 inch) as single-precision reals.
// An operation that can fail says so with a [[nodiscard]] bool (false =
// failed); the caller either passes the failure on or skips the statement
// with IgnoreFailure.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "common/numbering.h"

namespace talvo {

// The statement-level error policy of the program's handlers: a statement
// that fails is skipped and the next one runs. Writing the call inside
// IgnoreFailure(...) says that the skip is deliberate.
inline void IgnoreFailure(bool /*succeeded*/) {}

// 0x00BBGGRR, or kSystemColour | nn for system colour nn.
using Colour = std::uint32_t;
inline constexpr Colour kSystemColour = 0x80000000u;
inline constexpr Colour kSystemColourIndex = 0xFFu;  // nn

namespace def {
struct FormDef;
}  // namespace def

// A decoded picture, owned by whoever loaded it. The core only hands pictures
// from the image store to panels; it never looks inside.
class Picture {
 public:
  virtual ~Picture() = default;
};
using PictureRef = std::shared_ptr<const Picture>;

// Rendering of the pictures stored with the definitions, by asset name.
class PictureLoader {
 public:
  virtual ~PictureLoader() = default;
  // nullptr when the picture cannot be decoded.
  virtual PictureRef Load(std::string_view asset) = 0;
};

// Left/Top/Width/Height of a window or control. Reading cannot fail; a write
// that the platform refuses returns false.
class Geometry {
 public:
  virtual ~Geometry() = default;
  virtual float Left() const = 0;
  virtual float Top() const = 0;
  virtual float Width() const = 0;
  virtual float Height() const = 0;
  [[nodiscard]] virtual bool SetLeft(float twips) = 0;
  [[nodiscard]] virtual bool SetTop(float twips) = 0;
  [[nodiscard]] virtual bool SetWidth(float twips) = 0;
  [[nodiscard]] virtual bool SetHeight(float twips) = 0;
};

// The free text every control carries.
class TagHolder {
 public:
  virtual ~TagHolder() = default;
  virtual std::u16string Tag() const = 0;
  virtual void SetTag(std::u16string text) = 0;
};

// The screen a window is dragged across: one or more monitors, each with a
// work area (the monitor less its task bars), in screen twips at the
// window's resolution. Monitors above or left of the primary one have
// negative coordinates.
class Screen {
 public:
  virtual ~Screen() = default;
  // The top of the work area of the monitor the pointer is on (the nearest
  // one when it is on none).
  virtual float WorkAreaTopUnderPointer() const = 0;
};

// The raster mode in which a drawn colour replaces the pixels (R2_COPYPEN).
inline constexpr int kCopyPen = 13;

// What frame drawing needs of a picture box or window. Coordinates are twips
// in the target's own space, origin at its outer top-left corner.
class DrawingTarget {
 public:
  virtual ~DrawingTarget() = default;
  [[nodiscard]] virtual bool Cls() = 0;
  virtual float Width() const = 0;
  virtual float Height() const = 0;
  [[nodiscard]] virtual bool SetDrawMode(int mode) = 0;
  [[nodiscard]] virtual bool Line(float x1, float y1, float x2, float y2, Colour colour) = 0;
  [[nodiscard]] virtual bool Box(float x1, float y1, float x2, float y2, Colour colour) = 0;
  [[nodiscard]] virtual bool FilledBox(float x1, float y1, float x2, float y2, Colour colour) = 0;
};

// A realised control of a window definition.
class Control : public Geometry, public TagHolder {
 public:
  virtual std::u16string Caption() const = 0;
  [[nodiscard]] virtual bool SetPicture(PictureRef picture) = 0;
  [[nodiscard]] virtual bool SetVisible(bool visible) = 0;
};

// A control that can also be drawn on (a window and its picture boxes).
// One Width/Height implementation serves both bases.
class Surface : public Control, public DrawingTarget {
 public:
  float Width() const override = 0;
  float Height() const override = 0;
};

// A window realised from its definition: the window itself and its controls
// by their position in the definition table. It also shows what the core
// decides about input: which button looks pressed, which one has the focus,
// and which control holds the pointer.
class Form {
 public:
  virtual ~Form() = default;
  virtual Surface& Window() = 0;
  virtual std::intptr_t Handle() const = 0;   // the platform's window handle
  virtual const Screen& Desktop() const = 0;  // the screen the window stands on
  // Picture boxes are surfaces; every other control is a plain Control.
  virtual Surface& PictureBox(Slot slot) = 0;
  virtual Control& Item(Slot slot) = 0;

  virtual void ShowPressed(Slot slot) = 0;
  virtual void ShowFocus(Slot slot) = 0;
  // While a control holds the pointer, every pointer event goes to it, with
  // coordinates relative to it, wherever the pointer is.
  virtual void CapturePointer(Slot slot) = 0;
  // Closes the window (Unload).
  virtual void Unload() = 0;
};

// Keys with a meaning for the window's controls.
enum class Key { Tab, Space, Enter };

// The pointer's buttons and the modifier keys as input reports them, as
// bits: a press or release names one button, a move every button held.
inline constexpr int kLeftButton = 1;
inline constexpr int kRightButton = 2;
inline constexpr int kMiddleButton = 4;
inline constexpr int kShiftKey = 1;
inline constexpr int kCtrlKey = 2;
inline constexpr int kAltKey = 4;

// What the toolkit reports of the user's input, for the core to act on.
// `slot` is the control that holds the pointer, else the one under it (the
// window itself is kWindowSlot); x and y are twips from its top-left corner.
// `button` and `buttons` are of the buttons above, `shift` of the keys.
class InputEvents {
 public:
  virtual ~InputEvents() = default;
  // The controls that take the focus, in keyboard order: where Tab goes, and
  // how screen readers number the buttons.
  virtual const std::vector<Slot>& TabRing() const = 0;
  virtual void PointerDown(Slot slot, int button, int shift, float x, float y) = 0;
  // `buttons`: those held during the move.
  virtual void PointerMove(Slot slot, int buttons, int shift, float x, float y) = 0;
  // `held`: the buttons still held after this release.
  virtual void PointerUp(Slot slot, int button, int held, int shift, float x, float y) = 0;
  // Another window took the pointer while a control held it.
  virtual void CaptureLost() = 0;
  virtual void KeyDown(Key key, bool shift) = 0;
  virtual void KeyUp(Key key) = 0;
  // The window lost the keyboard (another window was activated).
  virtual void FocusLost() = 0;
  // A button's default action, as a screen reader asks for it.
  virtual void Press(Slot slot) = 0;
  // A screen reader moves the focus to a control.
  virtual void Focus(Slot slot) = 0;
  // The user's session ends (logoff, shutdown), or an installer closes the
  // program to replace it: whatever the window is doing.
  virtual void SessionEnded() = 0;
};

// The window toolkit: windows built from their definitions, and the
// dispatch of their events on this thread.
class Toolkit {
 public:
  virtual ~Toolkit() = default;
  // Whether the window of another start of this program shows on this
  // desktop; if so, it is brought into view. A window hidden on its way out
  // does not count.
  [[nodiscard]] virtual bool BringOtherStartIntoView() = 0;
  // The window and all its controls, built hidden (the program shows it
  // after its load handler); nullptr when the platform cannot make it. Its
  // input goes to `input`.
  virtual std::unique_ptr<Form> CreateForm(const def::FormDef& definition, InputEvents& input) = 0;
  // Dispatches pending window events, then returns (DoEvents).
  virtual void DoEvents() = 0;
  // Dispatches events until the last window is gone; the program's status.
  virtual int RunEventLoop() = 0;
};

// Start-up and launch file operations. Output goes through one slot, and the
// new content replaces the old only at CloseSlot. The backend replaces the
// file whole where it can, leaving either the complete old or the complete new
// one; where another process holds the file open it rewrites it in place
// instead, so a write that fails part-way can leave it damaged. Either way
// CloseSlot is true only when the file then holds exactly what was printed.
class Files {
 public:
  virtual ~Files() = default;
  // Creates one directory level; fails when it exists or cannot be made.
  [[nodiscard]] virtual bool MakeDir(const std::u16string& path) = 0;
  // The name part of path when a normal file of that name exists, else "".
  virtual std::u16string Dir(const std::u16string& path) = 0;
  [[nodiscard]] virtual bool OpenForOutput(const std::u16string& path) = 0;
  // Writes the text in the ANSI code page followed by CR LF.
  [[nodiscard]] virtual bool PrintLine(const std::u16string& text) = 0;
  // Closes the slot if open (no effect otherwise). True when nothing was open
  // or the file now holds everything printed, and only that.
  [[nodiscard]] virtual bool CloseSlot() = 0;
};

// The values of user32's SetWindowPos that the core passes, as it defines them.
namespace swp {
inline constexpr std::intptr_t kTopmost = -1;  // HWND_TOPMOST
inline constexpr unsigned kNoSize = 0x1;
inline constexpr unsigned kNoMove = 0x2;
inline constexpr unsigned kNoActivate = 0x10;
inline constexpr unsigned kShowWindow = 0x40;
}  // namespace swp

// What the platform says to a yes-or-no question it may be unable to answer.
enum class Answer { Yes, No, CannotTell };

// The rest of what the launch and start-up need of the platform.
class System {
 public:
  virtual ~System() = default;
  // Whether a program is registered, for this user or the whole machine, to
  // open files of a type (".jnj") with the type's default verb. No only when
  // the platform says so; CannotTell when it cannot be asked.
  virtual Answer ProgramRegisteredFor(std::u16string_view type) = 0;
  // Starts a command line with a hidden window and does not wait for it (Shell).
  // False when the command interpreter cannot be started or policy disables it.
  [[nodiscard]] virtual bool StartHidden(const std::u16string& command_line) = 0;
  // Opens a file with the program registered for its type, without the
  // interpreter and without asking the user anything.
  [[nodiscard]] virtual bool OpenWithHandler(const std::u16string& path) = 0;
  // Modal box, OK button only, no icon, the application's title as caption.
  virtual void MsgBox(const std::u16string& text) = 0;
  virtual void Sleep(int milliseconds) = 0;
  // Z-order and placement of a top-level window, as user32's SetWindowPos.
  [[nodiscard]] virtual bool SetWindowPos(std::intptr_t window, std::intptr_t insert_after, int x,
                                          int y, int cx, int cy, unsigned flags) = 0;
  // Ends the program at once. The real one never returns; a fake does, and
  // callers return straight after it.
  virtual void End() = 0;
};

}  // namespace talvo
