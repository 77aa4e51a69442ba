// SPDX-License-Identifier: MIT
// MainWindow: the start window, where the text is typed and the symbol shown.
#pragma once

#include "toolkit/definition.h"

extern const toolkit::WindowDef MainWindow;

namespace main_window {

// The controls of MainWindow by their place in its definition.
enum Control : int {
  图片框2,
  透明标签3,
  超文本浏览框1,
  透明标签2,
  透明标签1,
  按钮2,
  分组框2,
  组合框_纠错,
  分组框1,
  组合框_版本,
  图片框1,
  编辑框1,
  按钮1,
  kControlCount
};

// Event handlers bound in the definition.
void onCreated();       // fills the version list
void onGenerate();      // 按钮1: text to a.bmp, shown in 图片框1
void onAboutClicked();  // 按钮2: AboutWindow, modal

}  // namespace main_window
