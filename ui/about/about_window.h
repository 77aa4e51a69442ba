// SPDX-License-Identifier: MIT
// AboutWindow: what the program is for and how to reach its maker.
#pragma once

#include "toolkit/definition.h"

extern const toolkit::WindowDef AboutWindow;

namespace about_window {

enum Control : int {
  超文本浏览框1,
  编辑框2,
  透明标签3,
  编辑框1,
  透明标签2,
  透明标签1,
  标签1,
  kControlCount
};

}  // namespace about_window
