// SPDX-License-Identifier: MIT
#include "app/shell.h"
#include "ui/about/about_window.h"
#include "ui/main/main_window.h"

int main(int argc, char** argv) {
  // The start window comes first.
  static const toolkit::WindowDef* const kDefinitions[] = {&MainWindow, &AboutWindow};
  shell::start(argc, argv, kDefinitions);
  shell::run();
  shell::shutdown();
  return 0;
}
