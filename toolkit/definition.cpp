// SPDX-License-Identifier: MIT
#include "toolkit/definition.h"

#include "common/codepage.h"

#include <cstring>
#include <set>
#include <string_view>

namespace toolkit {
namespace {

bool isContainer(ControlKind kind) {
  return kind == ControlKind::GroupBox || kind == ControlKind::PicBox;
}

std::string fault(const ControlDef& control, std::string_view what) {
  return qr::codepage::toUtf8(control.name) + ": " + std::string(what);
}

}  // namespace

int controlIndex(const WindowDef& window, const char* name) {
  for (std::size_t i = 0; i < window.controls.size(); ++i)
    if (std::strcmp(window.controls[i].name, name) == 0) return static_cast<int>(i);
  return -1;
}

std::optional<std::string> checkDefinition(const WindowDef& window) {
  if (!window.name || !window.title) return "window without a name or title";
  if (window.width <= 0 || window.height <= 0) return "window size not positive";
  std::set<std::string_view> seen;
  for (const ControlDef& control : window.controls) {
    if (!control.name || !*control.name) return "control without a name";
    if (!control.settings) return fault(control, "no settings");
    if (!seen.insert(control.name).second) return fault(control, "name used twice");
    if (control.width <= 0 || control.height <= 0) return fault(control, "size not positive");
    if (control.parent) {
      const int parent = controlIndex(window, control.parent);
      if (parent < 0 || !seen.count(control.parent))
        return fault(control, "parent is not an earlier control");
      if (!isContainer(window.controls[static_cast<std::size_t>(parent)].kind))
        return fault(control, "parent cannot hold controls");
    }
    const ControlSettings& s = *control.settings;
    if (s.clicked && control.kind != ControlKind::Button)
      return fault(control, "click handler on a control that cannot be clicked");
    if (!s.items.empty() && control.kind != ControlKind::ComboBox)
      return fault(control, "list items on a control without a list");
    if (s.address && control.kind != ControlKind::HtmlViewer)
      return fault(control, "address on a control that shows no page");
    if (s.zoomStep < 0 || s.zoomStep > 4) return fault(control, "zoom step outside 0..4");
    if (s.maxBytes < 0) return fault(control, "negative length limit");
  }
  return std::nullopt;
}

}  // namespace toolkit
