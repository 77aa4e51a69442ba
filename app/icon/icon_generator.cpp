// SPDX-License-Identifier: MIT
// Build tool: draws the application icon and writes what the build and the installation
// need of it.
//
//   icon_generator DIRECTORY
//
// writes into DIRECTORY: qrgen.ico (16, 24, 32 and 48 pixels, each in 16 colours, 256
// colours and 32-bit colour), icon-N.png for every size drawn, and application_icon.cpp,
// which carries the icon file into the program. Exit status 1 on any failure.
#include <QFile>
#include <QImage>
#include <QSaveFile>
#include <QString>

#include <cstdio>
#include <string>
#include <vector>

#include "app/icon/icon_art.h"
#include "app/icon/icon_file.h"

namespace {

bool writeFile(const QString& path, const QByteArray& bytes) {
  QSaveFile file(path);
  return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
}

QByteArray embedding(const std::vector<std::uint8_t>& icon) {
  std::string source =
      "// SPDX-License-Identifier: MIT\n"
      "// Written by the icon generator from app/icon/icon_art.cpp at build time.\n"
      "#include \"app/icon/application_icon.h\"\n\n"
      "namespace shell {\nnamespace {\n\nconstexpr std::uint8_t kIconFile[] = {";
  for (std::size_t index = 0; index < icon.size(); ++index) {
    char byte[16];
    std::snprintf(byte, sizeof byte, "%s0x%02x,", index % 16 ? " " : "\n    ", icon[index]);
    source += byte;
  }
  source +=
      "\n};\n\n}  // namespace\n\n"
      "std::span<const std::uint8_t> applicationIcon() noexcept {\n  return kIconFile;\n}\n\n"
      "}  // namespace shell\n";
  return QByteArray::fromStdString(source);
}

int fail(const char* what, const QString& path = {}) {
  std::fprintf(stderr, "icon_generator: %s %s\n", what, qPrintable(path));
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) return fail("usage: icon_generator DIRECTORY");
  const QString directory = QFile::decodeName(argv[1]);

  std::vector<icon::IconEntry> entries;
  for (const int size : icon::handDrawnSizes) {
    const QImage image = icon::drawIcon(size);
    if (image.isNull()) return fail("no design for size", QString::number(size));
    for (const auto depth :
         {icon::IconDepth::Colours16, icon::IconDepth::Colours256, icon::IconDepth::TrueColour})
      entries.push_back({image, depth});
  }
  const std::vector<std::uint8_t> iconFile = icon::encodeIconFile(entries);
  if (iconFile.empty()) return fail("cannot encode the icon file");
  const QString icoPath = directory + QStringLiteral("/qrgen.ico");
  if (!writeFile(icoPath, QByteArray(reinterpret_cast<const char*>(iconFile.data()),
                                     static_cast<qsizetype>(iconFile.size()))))
    return fail("cannot write", icoPath);

  std::vector<int> sizes(icon::handDrawnSizes.begin(), icon::handDrawnSizes.end());
  sizes.insert(sizes.end(), icon::largeSizes.begin(), icon::largeSizes.end());
  for (const int size : sizes) {
    const QImage image = icon::drawIcon(size);
    const QString path = directory + QStringLiteral("/icon-%1.png").arg(size);
    if (image.isNull() || !image.save(path, "png")) return fail("cannot write", path);
  }

  const QString sourcePath = directory + QStringLiteral("/application_icon.cpp");
  if (!writeFile(sourcePath, embedding(iconFile))) return fail("cannot write", sourcePath);
  return 0;
}
