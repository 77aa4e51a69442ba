// SPDX-License-Identifier: MIT
#include "toolkit/picture.h"

#include <QBuffer>
#include <QByteArray>
#include <QImageReader>

#include <algorithm>
#include <initializer_list>

#include "toolkit/picture_decoders.h"

namespace toolkit {

namespace pictureDecoders {

bool fitsPictureLimits(std::int64_t width, std::int64_t height) {
  return width > 0 && height > 0 && width <= maxPictureSide && height <= maxPictureSide &&
         width * height <= maxPicturePixels;
}

QImage allocatePicture(std::int64_t width, std::int64_t height, QImage::Format format) {
  if (!fitsPictureLimits(width, height)) return {};
  // QImage gives a null image when the memory cannot be had; callers test for that.
  return QImage(static_cast<int>(width), static_cast<int>(height), format);
}

QImage readWithQt(Bytes bytes, const char* format) {
  QByteArray data = QByteArray::fromRawData(reinterpret_cast<const char*>(bytes.data()),
                                            static_cast<qsizetype>(bytes.size()));
  QBuffer buffer(&data);
  if (!buffer.open(QIODevice::ReadOnly)) return {};
  QImageReader reader(&buffer, format);
  // The format was recognised already; no other reader may claim the data.
  reader.setAutoDetectImageFormat(false);
  const QSize declared = reader.size();
  if (!fitsPictureLimits(declared.width(), declared.height())) return {};
  QImage image;
  if (!reader.read(&image) || !fitsPictureLimits(image.width(), image.height())) return {};
  return image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32
                                                       : QImage::Format_RGB32);
}

}  // namespace pictureDecoders

PictureFormat sniffPicture(std::span<const std::uint8_t> bytes) noexcept {
  if (bytes.size() < 6) return PictureFormat::None;
  const auto startsWith = [bytes](std::initializer_list<std::uint8_t> prefix) {
    return std::equal(prefix.begin(), prefix.end(), bytes.begin());
  };
  if (startsWith({0xFF, 0xD8})) return PictureFormat::Jpeg;
  if (startsWith({'B', 'M'})) return PictureFormat::Bmp;
  if (startsWith({0x00, 0x00, 0x01, 0x00})) return PictureFormat::Icon;
  if (startsWith({0x00, 0x00, 0x02, 0x00})) return PictureFormat::Cursor;
  if (startsWith({'G', 'I', 'F', '8', '7', 'a'}) || startsWith({'G', 'I', 'F', '8', '9', 'a'}))
    return PictureFormat::Gif;
  if (startsWith({0x0A})) return PictureFormat::Pcx;
  return PictureFormat::None;
}

QImage decodePicture(std::span<const std::uint8_t> bytes) noexcept {
  using namespace pictureDecoders;
  // Qt and the standard library report exhausted memory by throwing; callers get a null image.
  try {
    switch (sniffPicture(bytes)) {
      case PictureFormat::None:
        return {};
      case PictureFormat::Jpeg:
        return readWithQt(bytes, "jpeg");
      case PictureFormat::Gif:
        return readWithQt(bytes, "gif");
      case PictureFormat::Bmp:
        return decodeBmp(bytes);
      case PictureFormat::Icon:
      case PictureFormat::Cursor:
        return decodeIconDirectory(bytes);
      case PictureFormat::Pcx:
        return decodePcx(bytes);
    }
  } catch (...) {
  }
  return {};
}

std::vector<IconPicture> decodeIconPictures(std::span<const std::uint8_t> bytes) noexcept {
  const PictureFormat format = sniffPicture(bytes);
  if (format != PictureFormat::Icon && format != PictureFormat::Cursor) return {};
  try {
    return pictureDecoders::decodeIconPictures(bytes);
  } catch (...) {
  }
  return {};
}

QRect placePicture(QSize client, QSize picture) noexcept {
  if (client.isEmpty() || picture.isEmpty()) return {};
  const int clientWidth = client.width();
  const int clientHeight = client.height();
  const int pictureWidth = picture.width();
  const int pictureHeight = picture.height();
  const bool fitsAcross = pictureWidth <= clientWidth;
  const bool fitsDown = pictureHeight <= clientHeight;
  if (fitsAcross && fitsDown)
    return {(clientWidth - pictureWidth) / 2, (clientHeight - pictureHeight) / 2, pictureWidth,
            pictureHeight};

  const double ratio = std::min({1.0, static_cast<double>(clientWidth) / pictureWidth,
                                 static_cast<double>(clientHeight) / pictureHeight});
  const int drawnWidth = static_cast<int>(pictureWidth * ratio);
  const int drawnHeight = static_cast<int>(pictureHeight * ratio);
  // A side that fitted keeps the centring of its natural size, then of the shrink inside it.
  const auto offset = [](bool fits, int clientSide, int pictureSide, int drawnSide) {
    return fits ? (clientSide - pictureSide) / 2 + (pictureSide - drawnSide) / 2
                : (clientSide - drawnSide) / 2;
  };
  return {offset(fitsAcross, clientWidth, pictureWidth, drawnWidth),
          offset(fitsDown, clientHeight, pictureHeight, drawnHeight), drawnWidth, drawnHeight};
}

}  // namespace toolkit
