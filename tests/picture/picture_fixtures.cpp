// SPDX-License-Identifier: MIT
#include "picture_fixtures.h"

#include <QBuffer>
#include <QByteArray>

#include <algorithm>
#include <stdexcept>

namespace pictureFixtures {

void putU16(Bytes& bytes, std::size_t offset, std::uint16_t value) {
  bytes.at(offset) = static_cast<std::uint8_t>(value);
  bytes.at(offset + 1) = static_cast<std::uint8_t>(value >> 8);
}

void putU32(Bytes& bytes, std::size_t offset, std::uint32_t value) {
  putU16(bytes, offset, static_cast<std::uint16_t>(value));
  putU16(bytes, offset + 2, static_cast<std::uint16_t>(value >> 16));
}

void appendU16(Bytes& bytes, std::uint16_t value) {
  bytes.resize(bytes.size() + 2);
  putU16(bytes, bytes.size() - 2, value);
}

void appendU32(Bytes& bytes, std::uint32_t value) {
  bytes.resize(bytes.size() + 4);
  putU32(bytes, bytes.size() - 4, value);
}

std::span<const std::uint8_t> view(const Bytes& bytes) {
  return bytes;
}

std::span<const std::uint8_t> view(const QByteArray& bytes) {
  return {reinterpret_cast<const std::uint8_t*>(bytes.constData()),
          static_cast<std::size_t>(bytes.size())};
}

testing::AssertionResult pixelsMatch(const QImage& image,
                                     const std::function<QRgb(int x, int y)>& expected) {
  if (image.isNull()) return testing::AssertionFailure() << "the image is null";
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (image.pixel(x, y) != expected(x, y))
        return testing::AssertionFailure() << "pixel (" << x << ", " << y << ") is " << std::hex
                                           << image.pixel(x, y) << ", expected " << expected(x, y);
  return testing::AssertionSuccess();
}

std::vector<QRgb> testPalette(int entries) {
  std::vector<QRgb> palette;
  for (int index = 0; index < entries; ++index)
    palette.push_back(qRgb((index * 37 + 11) % 256, (255 - index * 13) % 256, (index * 91) % 256));
  return palette;
}

// ---- Bitmaps -----------------------------------------------------------------------------

namespace {

std::uint32_t headerSizeOf(BmpHeader header) {
  switch (header) {
    case BmpHeader::Core:
      return 12;
    case BmpHeader::Info:
      return 40;
    case BmpHeader::V4:
      return 108;
    case BmpHeader::V5:
      return 124;
  }
  throw std::logic_error("unknown header");
}

int strideOf(int width, int bitsPerPixel) {
  return (width * bitsPerPixel + 31) / 32 * 4;
}

void packPixel(Bytes& row, int x, int bitsPerPixel, std::uint32_t value) {
  switch (bitsPerPixel) {
    case 1:
    case 4:
    case 8: {
      const int perByte = 8 / bitsPerPixel;
      const int shift = (perByte - 1 - x % perByte) * bitsPerPixel;
      row.at(x / perByte) |= static_cast<std::uint8_t>(value << shift);
      break;
    }
    case 16:
      putU16(row, 2 * x, static_cast<std::uint16_t>(value));
      break;
    case 24:
      row.at(3 * x) = static_cast<std::uint8_t>(value);
      row.at(3 * x + 1) = static_cast<std::uint8_t>(value >> 8);
      row.at(3 * x + 2) = static_cast<std::uint8_t>(value >> 16);
      break;
    case 32:
      putU32(row, 4 * x, value);
      break;
    default:
      throw std::logic_error("no such depth in a fixture");
  }
}

}  // namespace

BmpLayout bmpSpec(BmpHeader header, int width, int height, int bitsPerPixel, RowOrder order) {
  BmpLayout layout;
  layout.header = header;
  layout.width = width;
  layout.height = height;
  layout.bitsPerPixel = bitsPerPixel;
  layout.order = order;
  return layout;
}

Bytes makeDib(const BmpLayout& layout, const RawPixel& pixel, const MaskBit& mask) {
  const std::uint32_t headerSize = headerSizeOf(layout.header);
  const int storedHeight =
      mask ? 2 * layout.height
           : (layout.order == RowOrder::TopDown ? -layout.height : layout.height);
  Bytes dib;
  appendU32(dib, headerSize);
  if (layout.header == BmpHeader::Core) {
    appendU16(dib, static_cast<std::uint16_t>(layout.width));
    appendU16(dib, static_cast<std::uint16_t>(storedHeight));
    appendU16(dib, 1);
    appendU16(dib, static_cast<std::uint16_t>(layout.bitsPerPixel));
  } else {
    appendU32(dib, static_cast<std::uint32_t>(layout.width));
    appendU32(dib, static_cast<std::uint32_t>(storedHeight));
    appendU16(dib, 1);
    appendU16(dib, static_cast<std::uint16_t>(layout.bitsPerPixel));
    appendU32(dib, layout.compression);
    appendU32(dib, 0);     // image size, may be zero when uncompressed
    appendU32(dib, 2835);  // 72 dpi across
    appendU32(dib, 2835);  // and down
    appendU32(dib, layout.coloursUsed);
    appendU32(dib, 0);
    if (headerSize > 40) {
      for (std::uint32_t mask : layout.masks) appendU32(dib, mask);
      dib.resize(headerSize);
    } else if (layout.compression == 3) {
      for (int index = 0; index < 3; ++index) appendU32(dib, layout.masks[index]);
    }
  }

  const int written = layout.paletteWritten.value_or(static_cast<int>(layout.palette.size()));
  for (int index = 0; index < written; ++index) {
    const QRgb colour = layout.palette.at(index);
    dib.push_back(static_cast<std::uint8_t>(qBlue(colour)));
    dib.push_back(static_cast<std::uint8_t>(qGreen(colour)));
    dib.push_back(static_cast<std::uint8_t>(qRed(colour)));
    if (layout.header != BmpHeader::Core) dib.push_back(0);
  }

  const int stride = strideOf(layout.width, layout.bitsPerPixel);
  for (int row = 0; row < layout.height; ++row) {
    const int y = layout.order == RowOrder::TopDown && !mask ? row : layout.height - 1 - row;
    Bytes bytes(stride, 0);
    for (int x = 0; x < layout.width; ++x) packPixel(bytes, x, layout.bitsPerPixel, pixel(x, y));
    dib.insert(dib.end(), bytes.begin(), bytes.end());
  }
  if (mask) {
    const int maskStride = strideOf(layout.width, 1);
    for (int row = 0; row < layout.height; ++row) {
      Bytes bytes(maskStride, 0);
      for (int x = 0; x < layout.width; ++x)
        packPixel(bytes, x, 1, mask(x, layout.height - 1 - row));
      dib.insert(dib.end(), bytes.begin(), bytes.end());
    }
  }
  return dib;
}

Bytes makeBmp(const BmpLayout& layout, const RawPixel& pixel) {
  const Bytes dib = makeDib(layout, pixel);
  const std::size_t rowsSize =
      static_cast<std::size_t>(strideOf(layout.width, layout.bitsPerPixel)) * layout.height;
  Bytes file{'B', 'M'};
  appendU32(file, static_cast<std::uint32_t>(14 + dib.size()));
  appendU32(file, 0);
  appendU32(file, static_cast<std::uint32_t>(14 + dib.size() - rowsSize));
  file.insert(file.end(), dib.begin(), dib.end());
  return file;
}

// ---- PCX ---------------------------------------------------------------------------------

namespace {

void appendRuns(Bytes& out, std::span<const std::uint8_t> data) {
  std::size_t at = 0;
  while (at < data.size()) {
    std::size_t run = 1;
    while (at + run < data.size() && run < 63 && data[at + run] == data[at]) ++run;
    // A lone byte with both top bits set would read as a run count.
    if (run > 1 || data[at] >= 0xC0) out.push_back(static_cast<std::uint8_t>(0xC0 | run));
    out.push_back(data[at]);
    at += run;
  }
}

}  // namespace

int pcxBytesPerLine(const PcxLayout& layout) {
  if (layout.bytesPerLine != 0) return layout.bytesPerLine;
  const int bytes = (layout.width * layout.bitsPerPlane + 7) / 8;
  return bytes + bytes % 2;
}

Bytes makePcx(const PcxLayout& layout, const std::function<Bytes(int y)>& line) {
  Bytes file(128, 0);
  file[0] = 0x0A;
  file[1] = static_cast<std::uint8_t>(layout.version);
  file[2] = 1;
  file[3] = static_cast<std::uint8_t>(layout.bitsPerPlane);
  putU16(file, 4, static_cast<std::uint16_t>(layout.xMin));
  putU16(file, 6, static_cast<std::uint16_t>(layout.yMin));
  putU16(file, 8, static_cast<std::uint16_t>(layout.xMin + layout.width - 1));
  putU16(file, 10, static_cast<std::uint16_t>(layout.yMin + layout.height - 1));
  putU16(file, 12, 72);
  putU16(file, 14, 72);
  for (std::size_t index = 0; index < layout.headerPalette.size(); ++index) {
    file[16 + 3 * index] = static_cast<std::uint8_t>(qRed(layout.headerPalette[index]));
    file[17 + 3 * index] = static_cast<std::uint8_t>(qGreen(layout.headerPalette[index]));
    file[18 + 3 * index] = static_cast<std::uint8_t>(qBlue(layout.headerPalette[index]));
  }
  file[65] = static_cast<std::uint8_t>(layout.planes);
  putU16(file, 66, static_cast<std::uint16_t>(pcxBytesPerLine(layout)));
  putU16(file, 68, 1);

  Bytes stream;
  for (int y = 0; y < layout.height; ++y) {
    const Bytes bytes = line(y);
    if (layout.runs == Runs::AcrossLines) {
      stream.insert(stream.end(), bytes.begin(), bytes.end());
    } else {
      appendRuns(file, bytes);
    }
  }
  if (layout.runs == Runs::AcrossLines) appendRuns(file, stream);

  if (!layout.trailingPalette.empty()) {
    file.push_back(0x0C);
    for (int index = 0; index < 256; ++index) {
      const QRgb colour = index < static_cast<int>(layout.trailingPalette.size())
                              ? layout.trailingPalette[index]
                              : qRgb(0, 0, 0);
      file.push_back(static_cast<std::uint8_t>(qRed(colour)));
      file.push_back(static_cast<std::uint8_t>(qGreen(colour)));
      file.push_back(static_cast<std::uint8_t>(qBlue(colour)));
    }
  }
  return file;
}

Bytes planarLine(const PcxLayout& layout, int y, const std::function<int(int x, int y)>& index) {
  const int bytesPerLine = pcxBytesPerLine(layout);
  Bytes line(static_cast<std::size_t>(bytesPerLine) * layout.planes, 0);
  for (int x = 0; x < layout.width; ++x)
    for (int plane = 0; plane < layout.planes; ++plane)
      if ((index(x, y) >> plane) & 1) line.at(plane * bytesPerLine + x / 8) |= 0x80 >> (x % 8);
  return line;
}

// ---- Icons and cursors -------------------------------------------------------------------

Bytes makeIconFile(std::uint16_t type, const std::vector<IconEntry>& entries) {
  Bytes file;
  appendU16(file, 0);
  appendU16(file, type);
  appendU16(file, static_cast<std::uint16_t>(entries.size()));
  std::size_t offset = 6 + 16 * entries.size();
  for (const IconEntry& entry : entries) {
    file.push_back(entry.width);
    file.push_back(entry.height);
    file.push_back(0);  // colour count
    file.push_back(0);
    appendU16(file, entry.planesOrHotSpotX);
    appendU16(file, entry.depthOrHotSpotY);
    appendU32(file, static_cast<std::uint32_t>(entry.data.size()));
    appendU32(file, static_cast<std::uint32_t>(offset));
    offset += entry.data.size();
  }
  for (const IconEntry& entry : entries)
    file.insert(file.end(), entry.data.begin(), entry.data.end());
  return file;
}

// ---- GIF ---------------------------------------------------------------------------------

namespace {

// Packs codes of a fixed width, lowest bit first, as GIF data expects.
class CodeWriter {
 public:
  void write(unsigned code, int width) {
    for (int bit = 0; bit < width; ++bit) {
      if (filled_ == 0) bytes_.push_back(0);
      bytes_.back() |= static_cast<std::uint8_t>(((code >> bit) & 1) << filled_);
      filled_ = (filled_ + 1) % 8;
    }
  }
  const Bytes& bytes() const { return bytes_; }

 private:
  Bytes bytes_;
  int filled_ = 0;
};

// Two-bit codes sent three bits wide; a clear code after every two keeps the decoder's table
// from growing into wider codes, so no compression is needed to stay valid.
Bytes lzwImageData(const std::vector<std::uint8_t>& indices) {
  constexpr unsigned clear = 4;
  constexpr unsigned end = 5;
  constexpr int width = 3;
  CodeWriter writer;
  for (std::size_t at = 0; at < indices.size(); ++at) {
    if (at % 2 == 0) writer.write(clear, width);
    writer.write(indices[at], width);
  }
  writer.write(end, width);
  return writer.bytes();
}

}  // namespace

Bytes makeGif(int width, int height, const std::vector<QRgb>& palette,
              const std::vector<GifFrame>& frames) {
  Bytes file{'G', 'I', 'F', '8', '9', 'a'};
  appendU16(file, static_cast<std::uint16_t>(width));
  appendU16(file, static_cast<std::uint16_t>(height));
  file.push_back(0x91);  // global table of four entries
  file.push_back(0);
  file.push_back(0);
  for (int index = 0; index < 4; ++index) {
    const QRgb colour = index < static_cast<int>(palette.size()) ? palette[index] : qRgb(0, 0, 0);
    file.push_back(static_cast<std::uint8_t>(qRed(colour)));
    file.push_back(static_cast<std::uint8_t>(qGreen(colour)));
    file.push_back(static_cast<std::uint8_t>(qBlue(colour)));
  }
  for (const GifFrame& frame : frames) {
    // Graphic control: restore to background, a tenth of a second, the transparent index.
    file.insert(file.end(), {0x21, 0xF9, 0x04});
    file.push_back(static_cast<std::uint8_t>(0x08 | (frame.transparentIndex ? 1 : 0)));
    appendU16(file, 10);
    file.push_back(frame.transparentIndex.value_or(0));
    file.push_back(0);

    file.push_back(0x2C);
    appendU16(file, 0);
    appendU16(file, 0);
    appendU16(file, static_cast<std::uint16_t>(width));
    appendU16(file, static_cast<std::uint16_t>(height));
    file.push_back(0);
    file.push_back(2);  // smallest code size
    const Bytes data = lzwImageData(frame.indices);
    for (std::size_t at = 0; at < data.size(); at += 255) {
      const std::size_t count = std::min<std::size_t>(255, data.size() - at);
      file.push_back(static_cast<std::uint8_t>(count));
      file.insert(file.end(), data.begin() + at, data.begin() + at + count);
    }
    file.push_back(0);
  }
  file.push_back(0x3B);
  return file;
}

// ---- Through Qt --------------------------------------------------------------------------

QByteArray saveWithQt(const QImage& image, const char* format, int quality) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  if (!image.save(&buffer, format, quality)) throw std::runtime_error("Qt could not write");
  return bytes;
}

}  // namespace pictureFixtures
