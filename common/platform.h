// What the program expects of the platform, as small interfaces. The core sees
// nothing else of the platform: the Win32 backend implements these for real and
// the tests' recording fakes implement them for unit tests.
//
// Every position and size is in twips (1/1440 inch) as single-precision reals.
// An operation that can fail says so with a bool (false = failed) or an empty
// optional; the caller decides whether to skip the statement or pass it on.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace talvo {

// 0x00BBGGRR, or 0x800000nn for system colour nn.
using Colour = std::uint32_t;

// A decoded (or decodable) picture, owned by whoever loaded it. The core only
// hands pictures from the image store to panels; it never looks inside.
class Picture {
 public:
  virtual ~Picture() = default;
};
using PictureRef = std::shared_ptr<const Picture>;

// Left/Top/Width/Height of a window or control. Reading cannot fail; a write
// that the platform refuses returns false.
class Geometry {
 public:
  virtual ~Geometry() = default;
  virtual float Left() const = 0;
  virtual float Top() const = 0;
  virtual float Width() const = 0;
  virtual float Height() const = 0;
  virtual bool SetLeft(float twips) = 0;
  virtual bool SetTop(float twips) = 0;
  virtual bool SetWidth(float twips) = 0;
  virtual bool SetHeight(float twips) = 0;
};

// The free text every control carries.
class TagHolder {
 public:
  virtual ~TagHolder() = default;
  virtual std::u16string Tag() const = 0;
  virtual void SetTag(std::u16string text) = 0;
};

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
  virtual bool SetPicture(PictureRef picture) = 0;
  virtual bool SetVisible(bool visible) = 0;
};

// A control that can also be drawn on (the main window and its picture boxes).
// One Width/Height implementation serves both bases.
class Surface : public Control, public DrawingTarget {
 public:
  float Width() const override = 0;
  float Height() const override = 0;
};

// Start-up and launch file operations. Output goes through one slot: the
// backend must make the file on disk either the complete old one or the
// complete new one, so the new content only replaces the old at CloseSlot.
class Files {
 public:
  virtual ~Files() = default;
  // Creates one directory level; fails when it exists or cannot be made.
  virtual bool MakeDir(const std::u16string& path) = 0;
  // The name part of path when a normal file of that name exists, else "".
  virtual std::u16string Dir(const std::u16string& path) = 0;
  virtual bool OpenForOutput(const std::u16string& path) = 0;
  // Writes the text in the ANSI code page followed by CR LF.
  virtual bool PrintLine(const std::u16string& text) = 0;
  // Closes the slot if open (no effect otherwise). True when nothing was open
  // or everything written so far reached the file.
  virtual bool CloseSlot() = 0;
};

// The rest of what the launch and start-up need of the platform.
class System {
 public:
  virtual ~System() = default;
  // Starts a command line with a hidden window and does not wait for it.
  virtual bool StartHidden(const std::u16string& command_line) = 0;
  // Modal box, OK button only, no icon, the application's title as caption.
  virtual void MsgBox(const std::u16string& text) = 0;
  virtual void Sleep(int milliseconds) = 0;
  // Dispatches pending window events on this thread, then returns.
  virtual void DoEvents() = 0;
  // Z-order and placement of a top-level window, as user32's SetWindowPos.
  virtual bool SetWindowPos(std::intptr_t window, std::intptr_t insert_after, int x, int y, int cx,
                            int cy, unsigned flags) = 0;
  // Closes the main window.
  virtual void Unload() = 0;
  // Ends the program at once. The real one never returns; a fake does, and
  // callers return straight after it.
  virtual void End() = 0;
};

}  // namespace talvo
