// SPDX-License-Identifier: MIT
// Fuzz entry for the picture box's decoders: any bytes may be recognised and decoded, and what
// comes back must keep the promises decodePicture() makes.
#include <cstddef>
#include <cstdint>
#include <span>

#include "toolkit/picture.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> bytes(data, size);
  const toolkit::PictureFormat format = toolkit::sniffPicture(bytes);
  const QImage image = toolkit::decodePicture(bytes);
  if (image.isNull()) return 0;
  // A picture from unrecognised data, beyond the limits or in another format is a bug.
  const bool withinLimits =
      image.width() <= toolkit::maxPictureSide && image.height() <= toolkit::maxPictureSide &&
      std::int64_t{image.width()} * image.height() <= toolkit::maxPicturePixels;
  const bool promisedFormat =
      image.format() == QImage::Format_RGB32 || image.format() == QImage::Format_ARGB32;
  if (format == toolkit::PictureFormat::None || !withinLimits || !promisedFormat) __builtin_trap();
  // Wherever it is drawn in the picture box, it stays inside and is never enlarged. A very thin
  // picture may shrink to nothing, but only one too large for the box.
  const QSize box(500, 496);
  const QRect placed = toolkit::placePicture(box, image.size());
  const bool shrunk = image.width() > box.width() || image.height() > box.height();
  if (placed.width() > image.width() || placed.height() > image.height() ||
      (placed.isEmpty() ? !shrunk : !QRect(QPoint(0, 0), box).contains(placed)))
    __builtin_trap();
  return 0;
}
