// SPDX-License-Identifier: MIT
#include "toolkit/fonts.h"

#include <QApplication>
#include <QStringList>

#include "toolkit/controls.h"

namespace toolkit {
namespace {

// Song (Ming) style faces stand in for 宋体, a sans face for the default face;
// each list ends with faces that exist on most desktops so nothing is a box.
const QStringList kSongFaces = {"Noto Serif CJK SC", "AR PL UMing CN", "Noto Sans CJK SC"};
const QStringList kDefaultFaces = {"Noto Sans CJK SC", "WenQuanYi Micro Hei", "AR PL UMing CN"};

// Windows' default GUI font on a Chinese system is 宋体 at 12 pixels; a sans
// face reads better at that size on this platform.
constexpr int kDefaultGuiPixelSize = 12;

}  // namespace

void installFonts() {
  QFont::insertSubstitutions(QStringLiteral("宋体"), kSongFaces);
  QFont::insertSubstitutions(QStringLiteral("SimSun"), kSongFaces);
  QFont gui;
  gui.setFamilies(kDefaultFaces);
  gui.setPixelSize(kDefaultGuiPixelSize);
  QApplication::setFont(gui);
}

QFont fontFor(const Font& font) {
  QFont result = QApplication::font();
  if (font.height == 0) return result;
  const QString face = fromCodepage(font.face);
  if (!face.isEmpty()) {
    QStringList faces = QFont::substitutes(face);
    faces.prepend(face);
    result.setFamilies(faces);
  }
  result.setPixelSize(font.height);
  result.setWeight(static_cast<QFont::Weight>(font.weight));
  result.setStyleStrategy(QFont::PreferQuality);
  return result;
}

}  // namespace toolkit
