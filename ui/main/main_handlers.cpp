// SPDX-License-Identifier: MIT
// The handlers of MainWindow: the version list and the generate command.
#include "app/shell.h"
#include "common/texts.h"
#include "encoder/encoder.h"
#include "toolkit/theme.h"
#include "toolkit/toolkit.h"
#include "ui/about/about_window.h"
#include "ui/main/main_window.h"

namespace main_window {
namespace {

constexpr const char* kPictureFile = "/a.bmp";

toolkit::Window* window() {
  return shell::liveWindow(MainWindow);
}

}  // namespace

void onCreated() {
  toolkit::Window* self = window();
  toolkit::setThemedDrawing(3);  // silver
  // The picture box has no text of its own for a screen reader to announce.
  toolkit::setAccessibleText(self, 图片框1, qr::texts::kSymbolPictureName,
                             qr::texts::kSymbolPictureDescription);
  toolkit::comboAppend(self, 组合框_版本, "自动");
  int modules = 21;
  for (int version = 1; version <= 40; ++version, modules += 4) {
    qr::Text i = qr::numberToText(version);
    qr::Text n = qr::numberToText(modules);
    qr::Text item = qr::join({"版本_", i, "   ", n, "×", n});
    i.reset();
    n.reset();
    toolkit::comboAppend(self, 组合框_版本, item.get());
  }
}

void onGenerate() {
  toolkit::Window* self = window();
  {
    qr::Text message = toolkit::editText(self, 编辑框1);
    encoder::QRSetMessage(message.get());
  }
  encoder::QRSetBackColor(255, 255, 255);
  encoder::QRSetBarColor(0, 0, 0);
  const int version = toolkit::comboSelection(self, 组合框_版本);
  const int level = toolkit::comboSelection(self, 组合框_纠错);
  encoder::QRConfigure(version, level, 5);
  encoder::QRAppearance(0.2, 1, 0);
  encoder::QRSetSize(500, 500);
  int written = 0;
  {
    qr::Text directory = shell::programDirectory();
    qr::Text path = qr::join({directory, kPictureFile});
    directory.reset();
    written = encoder::QRSaveAsBMP(path.get());
  }
  // A file the encoder did not write now would be an older text's symbol:
  // show nothing rather than a picture that is not what was typed.
  qr::ByteSet picture;
  if (written) {
    qr::Text directory = shell::programDirectory();
    qr::Text path = qr::join({directory, kPictureFile});
    directory.reset();
    picture = toolkit::readWholeFile(path.get());
  }
  toolkit::setPicture(self, 图片框1, picture);
}

void onAboutClicked() {
  LoadWindow(AboutWindow, nullptr, Modal::Yes);
}

}  // namespace main_window
