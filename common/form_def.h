// The vocabulary of window definitions: control kinds, fonts, pictures and the
// settings of a window and of each control. Definitions are constexpr tables
// (main_window/mainform_def.h, image_store/subset_def.h); the toolkit builds a
// window from its table alone.
#pragma once

#include <span>
#include <string_view>
#include <vector>

#include "common/numbering.h"
#include "common/platform.h"

namespace talvo::def {

enum class Kind { PictureBox, Label, CommandButton, Image };
enum class Align { Left, Right, Center };
enum class Appearance { Flat, ThreeD };
enum class PictureFormat { Icon, Jpeg, Metafile };

// A picture stored with a definition: an asset file, embedded in the program
// under its stem, and its natural size (pixels for icons and JPEGs, 1/1000
// inch for metafiles).
struct PictureDef {
  std::string_view asset;
  PictureFormat format;
  int natural_width, natural_height;
  int colours = 0;  // icons only
  // Where a picture used as a mouse pointer points, in its pixels.
  int hotspot_x = 0, hotspot_y = 0;
};

struct Font {
  std::u16string_view face;
  float points;
  int weight;  // 400 regular, 700 bold
  bool italic = false;
  bool underline = false;
  bool strikethrough = false;
  int charset = 0;
};

inline constexpr int kMousePointerCustom = 99;

struct ControlDef {
  Kind kind;
  std::u16string_view name;
  Index index;  // element of a control array, or kNoIndex
  Slot parent;  // the container's slot, or kWindowSlot
  float left, top, width, height;
  std::u16string_view caption = {};
  std::u16string_view tag = {};
  std::u16string_view tooltip = {};
  Colour back_colour = kSystemColour | 5;  // COLOR_WINDOW
  Colour fore_colour = kSystemColour | 8;  // COLOR_WINDOWTEXT
  const Font* font = nullptr;              // nullptr: the window's font
  Align alignment = Align::Left;
  bool transparent = false;  // BackStyle: transparent labels show their parent
  Appearance appearance = Appearance::ThreeD;
  int style = 0;  // command buttons: 1 graphical
  const PictureDef* picture = nullptr;
  bool stretch = false;  // image controls: picture scaled to the box
  int mouse_pointer = 0;
  const PictureDef* mouse_icon = nullptr;
  TabIndex tab_index = kNoTabIndex;
};

struct WindowDef {
  std::u16string_view caption;
  Colour back_colour;
  const Font* font;
  const PictureDef* icon;
  float left, top, width, height;  // twips; no frame, so client == outer
  bool visible;
  // The label whose text names the window where its own caption is empty (a
  // window without a title bar shows its title as a label), or kNoSlot.
  Slot title = kNoSlot;
};

// A whole window: its settings and its controls in creation order.
struct FormDef {
  const WindowDef& window;
  std::span<const ControlDef> controls;
};

// The window's name, for the platform and screen readers: its caption, or
// where that is empty the text of the label that shows its title.
constexpr std::u16string_view WindowName(const FormDef& form) {
  const WindowDef& window = form.window;
  if (!window.caption.empty() || window.title == kNoSlot) return window.caption;
  return form.controls[static_cast<std::size_t>(window.title)].caption;
}

// The controls that take the focus, as table positions in keyboard order:
// the command buttons (labels never take it, and picture boxes are not tab
// stops here), sorted by TabIndex across all containers.
std::vector<Slot> TabStops(std::span<const ControlDef> controls);

}  // namespace talvo::def
