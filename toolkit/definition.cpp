// SPDX-License-Identifier: MIT
#include "toolkit/definition.h"

#include "common/codepage.h"

#include <algorithm>
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

int labelOf(const WindowDef& window, int control) {
  const ControlDef& self = window.controls[static_cast<std::size_t>(control)];
  if (self.kind != ControlKind::EditBox && self.kind != ControlKind::ComboBox) return -1;
  const auto sameParent = [&self](const ControlDef& other) {
    return (!self.parent && !other.parent) ||
           (self.parent && other.parent && std::strcmp(self.parent, other.parent) == 0);
  };
  int best = -1;
  int bestGap = kLabelGap + 1;
  for (std::size_t i = 0; i < window.controls.size(); ++i) {
    const ControlDef& other = window.controls[i];
    const bool label = other.kind == ControlKind::Label || other.kind == ControlKind::TransLabel;
    if (!label || !other.text || !*other.text || !sameParent(other)) continue;
    const int right = other.left + other.width;
    const int bottom = other.top + other.height;
    const bool sharesRows = other.top < self.top + self.height && self.top < bottom;
    const bool sharesColumns = other.left < self.left + self.width && self.left < right;
    // A label's centre decides on which side it lies, so a small overlap still counts.
    int gap = kLabelGap + 1;
    if (sharesRows && 2 * other.left + other.width < 2 * self.left)
      gap = std::max(0, self.left - right);
    else if (sharesColumns && 2 * other.top + other.height < 2 * self.top)
      gap = std::max(0, self.top - bottom);
    if (gap < bestGap) {
      best = static_cast<int>(i);
      bestGap = gap;
    }
  }
  if (best >= 0) return best;
  for (int parent = self.parent ? controlIndex(window, self.parent) : -1; parent >= 0;) {
    const ControlDef& container = window.controls[static_cast<std::size_t>(parent)];
    if (container.kind == ControlKind::GroupBox && container.text && *container.text) return parent;
    parent = container.parent ? controlIndex(window, container.parent) : -1;
  }
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
