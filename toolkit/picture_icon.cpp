// SPDX-License-Identifier: MIT
// Icon and cursor files: a directory of entries, each a PNG file or a bitmap with an AND mask.
//
// The entry shown is chosen from what each entry's own header says, since the directory's
// size bytes stop at 256 and a cursor keeps its hot spot where an icon keeps its depth.
// Entries lying outside the file, or whose header is unusable, are passed over; only the
// chosen entry is decoded, and if it is broken the whole file is.
#include <algorithm>
#include <array>
#include <vector>

#include "toolkit/picture_decoders.h"

namespace toolkit::pictureDecoders {

namespace {

constexpr std::size_t directorySize = 6;
constexpr std::size_t entrySize = 16;
constexpr std::array<std::uint8_t, 8> pngSignature{0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
// Signature, chunk length, "IHDR", width, height, bit depth, colour type.
constexpr std::size_t pngHeaderEnd = 26;

enum class EntryKind { Png, Bitmap };

struct Candidate {
  Bytes data;
  EntryKind kind = EntryKind::Bitmap;
  std::int64_t area = 0;
  int depth = 0;
};

std::uint32_t readU32BigEndian(Bytes bytes, std::size_t offset) {
  return static_cast<std::uint32_t>(bytes[offset]) << 24 |
         static_cast<std::uint32_t>(bytes[offset + 1]) << 16 |
         static_cast<std::uint32_t>(bytes[offset + 2]) << 8 |
         static_cast<std::uint32_t>(bytes[offset + 3]);
}

bool isPng(Bytes data) {
  return holds(data, 0, pngSignature.size()) &&
         std::equal(pngSignature.begin(), pngSignature.end(), data.begin());
}

std::optional<Candidate> candidateFrom(Bytes data) {
  if (isPng(data)) {
    if (!holds(data, 0, pngHeaderEnd)) return std::nullopt;
    const std::int64_t width = readU32BigEndian(data, 16);
    const std::int64_t height = readU32BigEndian(data, 20);
    if (!fitsPictureLimits(width, height)) return std::nullopt;
    // Samples per pixel by colour type: grey, -, RGB, indexed, grey and alpha, -, RGBA.
    constexpr std::array<int, 7> samples{1, 0, 3, 1, 2, 0, 4};
    const int colourType = data[25];
    const int perPixel = colourType < 7 ? samples[colourType] : 0;
    return Candidate{data, EntryKind::Png, width * height, data[24] * perPixel};
  }
  const auto summary = summariseIconDib(data);
  if (!summary) return std::nullopt;
  return Candidate{data, EntryKind::Bitmap, summary->width * summary->height,
                   summary->bitsPerPixel};
}

// The usable entries of a directory, in its order; none when the directory is broken.
std::vector<Candidate> candidatesOf(Bytes bytes) {
  if (!holds(bytes, 0, directorySize)) return {};
  const std::uint16_t type = readU16(bytes, 2);
  const std::uint16_t count = readU16(bytes, 4);
  if (readU16(bytes, 0) != 0 || (type != 1 && type != 2) || count == 0) return {};
  if (!holds(bytes, directorySize, std::uint64_t{count} * entrySize)) return {};

  std::vector<Candidate> candidates;
  for (std::size_t index = 0; index < count; ++index) {
    const std::size_t entry = directorySize + index * entrySize;
    const std::uint32_t size = readU32(bytes, entry + 8);
    const std::uint32_t offset = readU32(bytes, entry + 12);
    if (!holds(bytes, offset, size)) continue;
    if (const auto candidate = candidateFrom(bytes.subspan(offset, size)))
      candidates.push_back(*candidate);
  }
  return candidates;
}

QImage decodeCandidate(const Candidate& candidate) {
  if (candidate.kind == EntryKind::Png) return readWithQt(candidate.data, "png");
  return decodeDib(candidate.data, DibSource::IconEntry, std::nullopt);
}

}  // namespace

QImage decodeIconDirectory(Bytes bytes) {
  std::optional<Candidate> best;
  for (const Candidate& candidate : candidatesOf(bytes)) {
    // Larger first, then deeper; the earlier entry wins a tie.
    if (!best || candidate.area > best->area ||
        (candidate.area == best->area && candidate.depth > best->depth))
      best = candidate;
  }
  return best ? decodeCandidate(*best) : QImage();
}

std::vector<IconPicture> decodeIconPictures(Bytes bytes) {
  std::vector<IconPicture> pictures;
  for (const Candidate& candidate : candidatesOf(bytes)) {
    QImage image = decodeCandidate(candidate);
    if (!image.isNull())
      pictures.push_back({image.convertToFormat(QImage::Format_ARGB32), candidate.depth});
  }
  return pictures;
}

}  // namespace toolkit::pictureDecoders
