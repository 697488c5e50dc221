#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "components/toolbar.h"
#include "components/twips.h"

namespace components {

enum class ControlKind {
  Label,
  TextBox,
  Button,
  CheckBox,
  ListBox,
  Image,
  Timer,
  Player,
  Toolbar,
  Transfer,
  ProgressBar,
  Browser,
};

enum class ScrollBars { None, Horizontal, Vertical, Both };

struct FontDesign {
  std::string name;
  double points = 9;
  bool bold = false;
  std::optional<std::uint32_t> color;  // 0xRRGGBB
};

struct ControlDesign {
  std::string name;
  ControlKind kind = ControlKind::Label;
  Twips left = 0, top = 0, width = 0, height = 0;
  std::string caption;  // a label's or button's caption, a text box's text
  bool enabled = true;
  bool visible = true;
  int maxLength = 0;  // text boxes; 0 is no limit
  bool multiLine = false;
  ScrollBars scrollBars = ScrollBars::None;
  std::optional<FontDesign> font;
  int interval = 0;     // timers, in milliseconds
  std::string picture;  // images: name of an embedded picture
  bool stretch = false;
  ToolbarDesign toolbar;  // toolbars
};

struct MenuDesign {
  std::string name;
  std::string caption;
  bool visible = true;
  std::vector<MenuDesign> items;
};

enum class BorderStyle { None, FixedSingle, Sizable, FixedDialog };
enum class StartPosition { Manual, CenterOwner, CenterScreen };

struct WindowDesign {
  std::string name;
  std::string caption;
  Twips clientWidth = 0, clientHeight = 0;
  BorderStyle border = BorderStyle::Sizable;
  bool minButton = true;
  bool maxButton = true;
  bool showInTaskbar = true;
  StartPosition startPosition = StartPosition::CenterScreen;
  Twips left = 0, top = 0;  // for StartPosition::Manual, of the client area
  std::vector<ControlDesign> controls;
  // Escape acts as the close box (dialogs, as a desktop has them).
  bool closeOnEscape = false;
  std::vector<std::string> focusOrder;  // control names; the first enabled one gets the focus
  std::vector<MenuDesign> menus;        // top-level menus
};

// The frame a border adds around the client area, in twips, as a classic
// desktop draws it; used where the platform cannot tell its own.
struct FrameExtent {
  Twips width = 0, height = 0;
};
inline FrameExtent DefaultFrame(BorderStyle border) {
  switch (border) {
    case BorderStyle::None: return {0, 0};
    case BorderStyle::FixedSingle: return {90, 375};
    case BorderStyle::FixedDialog: return {90, 375};
    case BorderStyle::Sizable: return {120, 405};
  }
  return {0, 0};
}

// A design as the reader meets it: with the captions its load handling
// puts into controls. Every window of the program has one (for checks that
// go over them all).
struct DesignAsShown {
  WindowDesign design;
  std::vector<std::pair<std::string, std::string>> captions;  // control, caption
};

// A fixed dialog (no resizing, no minimise or maximise button) centred on
// its owner, which Escape closes: the shape of most small windows.
WindowDesign FixedDialog(const std::string& name, const std::string& caption, Twips clientWidth,
                         Twips clientHeight);
// A control of a design's table: name, kind, position and size, caption.
ControlDesign ControlAt(const std::string& name, ControlKind kind, Twips left, Twips top, Twips width,
                        Twips height, const std::string& caption = "");

// What a screen reader says for a control: its caption, else the caption of
// the label beside it on its left, else of the label just above it.
std::string AccessibleName(const WindowDesign& design, const ControlDesign& control);

const ControlDesign* FindControl(const WindowDesign& design, const std::string& name);
const MenuDesign* FindMenu(const std::vector<MenuDesign>& menus, const std::string& name);

}  // namespace components
