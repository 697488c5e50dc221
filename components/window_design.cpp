#include "components/window_design.h"

namespace components {

WindowDesign FixedDialog(const std::string& name, const std::string& caption, Twips clientWidth,
                         Twips clientHeight) {
  WindowDesign d;
  d.name = name;
  d.caption = caption;
  d.clientWidth = clientWidth;
  d.clientHeight = clientHeight;
  d.border = BorderStyle::FixedDialog;
  d.minButton = false;
  d.maxButton = false;
  d.startPosition = StartPosition::CenterOwner;
  d.closeOnEscape = true;
  return d;
}

ControlDesign ControlAt(const std::string& name, ControlKind kind, Twips left, Twips top, Twips width,
                        Twips height, const std::string& caption) {
  ControlDesign c;
  c.name = name;
  c.kind = kind;
  c.left = left;
  c.top = top;
  c.width = width;
  c.height = height;
  c.caption = caption;
  return c;
}

std::string AccessibleName(const WindowDesign& design, const ControlDesign& control) {
  if (!control.caption.empty() && control.kind != ControlKind::TextBox) return control.caption;
  const ControlDesign* beside = nullptr;
  const ControlDesign* above = nullptr;
  for (const auto& l : design.controls) {
    if (l.kind != ControlKind::Label || l.caption.empty()) continue;
    bool rowsMeet = l.top < control.top + control.height && control.top < l.top + l.height;
    bool columnsMeet = l.left < control.left + control.width && control.left < l.left + l.width;
    if (rowsMeet && l.left < control.left && (!beside || l.left > beside->left)) beside = &l;
    if (columnsMeet && l.top + l.height <= control.top && (!above || l.top > above->top)) above = &l;
  }
  if (beside) return beside->caption;
  return above ? above->caption : "";
}

const ControlDesign* FindControl(const WindowDesign& design, const std::string& name) {
  for (const auto& c : design.controls)
    if (c.name == name) return &c;
  return nullptr;
}

const MenuDesign* FindMenu(const std::vector<MenuDesign>& menus, const std::string& name) {
  for (const auto& m : menus) {
    if (m.name == name) return &m;
    if (const MenuDesign* inner = FindMenu(m.items, name)) return inner;
  }
  return nullptr;
}

}  // namespace components
