// SPDX-License-Identifier: MIT
// Fuzz entry for the encoder library: its seven functions called in any order with any
// arguments, each result held against what the library's header promises.
//
// An input is a list of calls. Each starts with a byte choosing the function; its arguments
// follow, each led by a byte that picks either a value known to sit on an edge (the extremes of
// int, the ends of the valid ranges, NaN and the infinities, null and oversized texts, hostile
// paths) or raw bytes that follow. A missing byte reads as 0, so every input is a valid list.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <limits>
#include <string>

#include "qrcodewin32/QRCodeWin32.h"

namespace {

// ---- Reading the input ---------------------------------------------------------------------

class Input {
 public:
  Input(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  bool atEnd() const { return position_ >= size_; }
  std::uint8_t byte() { return position_ < size_ ? data_[position_++] : 0; }
  template <class Value>
  Value raw() {
    std::array<std::uint8_t, sizeof(Value)> bytes{};
    for (auto& b : bytes) b = byte();
    Value value;
    std::memcpy(&value, bytes.data(), sizeof value);
    return value;
  }
  std::string bytes(std::size_t count) {
    count = std::min(count, size_ - std::min(position_, size_));
    std::string result(reinterpret_cast<const char*>(data_ + position_), count);
    position_ += count;
    return result;
  }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t position_ = 0;
};

int readInt(Input& input) {
  static constexpr std::array<int, 18> edges{INT_MIN, INT_MIN + 1, -65536, -256,  -1,    0,
                                             1,       3,           4,      5,     40,    41,
                                             255,     256,         16384,  16385, 65536, INT_MAX};
  const std::uint8_t choice = input.byte();
  if (choice < edges.size()) return edges[choice];
  if (choice < 128) return choice - 64;  // small values, where the choices are
  return input.raw<int>();
}

double readDouble(Input& input) {
  static constexpr std::array<double, 10> edges{std::numeric_limits<double>::quiet_NaN(),
                                                std::numeric_limits<double>::infinity(),
                                                -std::numeric_limits<double>::infinity(),
                                                -0.0,
                                                0.0,
                                                0.2,
                                                1.0,
                                                std::numeric_limits<double>::denorm_min(),
                                                std::numeric_limits<double>::max(),
                                                -1.0};
  const std::uint8_t choice = input.byte();
  if (choice < edges.size()) return edges[choice];
  if (choice < 128) return (choice - 10) / 100.0;
  return input.raw<double>();
}

// ---- The files it may write ----------------------------------------------------------------

// A folder of this process's own: every path the library is given lies inside it, so a
// hostile path never reaches anything else. Removed at exit.
struct Scratch {
  std::string root;    // holds only `output`: a temporary file for `output` itself lands here
  std::string output;  // the folder pictures are written to

  Scratch() {
    // Memory-backed where there is such a folder: the pictures are written only to be dropped.
    const char* base = std::getenv("TMPDIR");
    if (!base || !*base) base = ::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    std::string pattern = std::string(base) + "/encoder-fuzz-XXXXXX";
    if (!::mkdtemp(pattern.data())) std::abort();
    root = pattern;
    output = root + "/out";
    if (::mkdir(output.c_str(), 0700) != 0) std::abort();
  }
  ~Scratch() {
    std::error_code ignored;
    std::filesystem::remove_all(root, ignored);
  }
};

Scratch& scratch() {
  static Scratch instance;
  return instance;
}

std::string picturePath() {
  return scratch().output + "/a.bmp";
}

enum class PathKind { Picture, Null, Empty, MissingFolder, Folder, TrailingSlash, UnderFile, Long };

struct Path {
  PathKind kind;
  std::string text;
};

Path readPath(Input& input) {
  const Scratch& folders = scratch();
  switch (input.byte() % 12) {
    case 1:
      return {PathKind::Null, {}};
    case 2:
      return {PathKind::Empty, {}};
    case 3:
      return {PathKind::MissingFolder, folders.output + "/missing/a.bmp"};
    case 4:
      return {PathKind::Folder, folders.output};
    case 5:
      return {PathKind::TrailingSlash, folders.output + "/"};
    case 6:
      return {PathKind::UnderFile, picturePath() + "/b.bmp"};
    case 7:
      return {PathKind::Long, folders.output + "/" + std::string(NAME_MAX + 1, 'a')};
    default:
      return {PathKind::Picture, picturePath()};
  }
}

// ---- What the library should hold ----------------------------------------------------------

struct Rgb {
  int red = 0, green = 0, blue = 0;
};

// What the calls so far have set, as far as it decides the checks below.
struct Model {
  Rgb background{255, 255, 255};
  Rgb bar{0, 0, 0};
  bool inverted = false;
  int width = 500;
  int height = 500;
  bool sizeValid = true;
  bool messageRefused = false;
};

[[noreturn]] void failCheck(const char* what) {
  std::fprintf(stderr, "encoder_fuzz: %s\n", what);
  std::abort();
}

void check(bool holds, const char* what) {
  if (!holds) failCheck(what);
}

int clamp(int value) {
  return std::clamp(value, 0, 255);
}

bool isAscii(const std::string& text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return (c & 0x80) == 0; });
}

std::string readMessage(Input& input, bool& isNull) {
  isNull = false;
  switch (input.byte() % 10) {
    case 0:
      isNull = true;
      return {};
    case 1:
      return {};
    case 2:
      // The most digits a symbol holds, and one more.
      return std::string(7089 + input.byte() % 2, '7');
    case 3:
      return std::string(2 * 7089 + input.byte() % 2, '\xB0');
    case 4: {
      // A run of one pattern, long enough to need a large version.
      const std::string unit = input.bytes(1 + input.byte() % 4);
      std::string text;
      const std::size_t length = 1 + input.raw<std::uint16_t>() % 16000;
      while (!unit.empty() && text.size() < length) text += unit;
      return text;
    }
    default:
      return input.bytes(input.byte());
  }
}

// No temporary file may outlive a call.
void checkNoTemporaryFiles() {
  DIR* folder = ::opendir(scratch().output.c_str());
  check(folder != nullptr, "output folder vanished");
  bool clean = true;
  while (const dirent* entry = ::readdir(folder))
    if (std::strncmp(entry->d_name, ".QRCodeWin32-", 13) == 0) clean = false;
  ::closedir(folder);
  check(clean, "temporary file left in the output folder");
  DIR* root = ::opendir(scratch().root.c_str());
  check(root != nullptr, "scratch folder vanished");
  while (const dirent* entry = ::readdir(root))
    if (std::strncmp(entry->d_name, ".QRCodeWin32-", 13) == 0) clean = false;
  ::closedir(root);
  check(clean, "temporary file left beside the output folder");
}

std::uint32_t le32(const std::uint8_t* at) {
  return at[0] | at[1] << 8 | at[2] << 16 | static_cast<std::uint32_t>(at[3]) << 24;
}

// The picture just written: a one-bit BMP of the model's size and colours.
void checkPicture(const Model& model) {
  const int descriptor = ::open(picturePath().c_str(), O_RDONLY | O_CLOEXEC);
  check(descriptor >= 0, "reported written, but no picture");
  std::array<std::uint8_t, 62> header{};
  const ssize_t got = ::read(descriptor, header.data(), header.size());
  struct stat status;
  const bool statted = ::fstat(descriptor, &status) == 0;
  ::close(descriptor);
  check(got == static_cast<ssize_t>(header.size()) && statted, "picture shorter than its header");
  const std::uint64_t stride = (static_cast<std::uint64_t>(model.width) + 31) / 32 * 4;
  const std::uint64_t expectedSize = 62 + stride * static_cast<std::uint64_t>(model.height);
  check(header[0] == 'B' && header[1] == 'M', "picture is not a BMP");
  check(static_cast<std::uint64_t>(status.st_size) == expectedSize &&
            le32(&header[2]) == expectedSize,
        "picture size disagrees with the size set");
  check(le32(&header[18]) == static_cast<std::uint32_t>(model.width) &&
            le32(&header[22]) == static_cast<std::uint32_t>(model.height),
        "picture has other sides than were set");
  const Rgb light = model.inverted ? model.bar : model.background;
  const Rgb dark = model.inverted ? model.background : model.bar;
  const auto matches = [](const std::uint8_t* entry, Rgb colour) {
    return entry[0] == colour.blue && entry[1] == colour.green && entry[2] == colour.red;
  };
  check(matches(&header[54], light) && matches(&header[58], dark),
        "palette differs from the colours set");
}

struct FileIdentity {
  bool exists = false;
  ino_t inode = 0;
  off_t size = 0;
};

FileIdentity identify(const std::string& path) {
  struct stat status;
  if (::lstat(path.c_str(), &status) != 0) return {};
  return {true, status.st_ino, status.st_size};
}

void saveAsBmp(Input& input, Model& model, std::uint64_t& pixelsLeft) {
  const Path path = readPath(input);
  // Two pictures of the largest size per input at most: each takes a while to write.
  const std::uint64_t pixels = static_cast<std::uint64_t>(model.width) * model.height;
  if (model.sizeValid && pixels > pixelsLeft) return;
  if (model.sizeValid) pixelsLeft -= pixels;
  const FileIdentity before = identify(picturePath());
  errno = 0;
  const int result = QRSaveAsBMP(path.kind == PathKind::Null ? nullptr : path.text.c_str());
  const int error = errno;
  checkNoTemporaryFiles();
  if (path.kind == PathKind::Null || path.kind == PathKind::Empty || !model.sizeValid) {
    check(result == 0 && error == EINVAL, "null path, empty path or unset size not refused");
  } else if (model.messageRefused) {
    check(result == 0 && error == EMSGSIZE, "refused message not reported by QRSaveAsBMP");
  }
  if (path.kind != PathKind::Picture && path.kind != PathKind::Null &&
      path.kind != PathKind::Empty && model.sizeValid && !model.messageRefused)
    check(result == 0 && error != 0, "a hostile path was reported written");
  if (result != 0) {
    checkPicture(model);
    return;
  }
  check(error != 0, "failure without errno");
  const FileIdentity after = identify(picturePath());
  check(before.exists == after.exists && before.inode == after.inode && before.size == after.size,
        "a failed save touched the old picture");
}

void replay(Input& input) {
  // The state the library has when just loaded, set again: no input sees another's settings.
  Model model;
  QRSetMessage(nullptr);
  QRSetBackColor(255, 255, 255);
  QRSetBarColor(0, 0, 0);
  QRConfigure(0, 0, 4);
  QRAppearance(0.2, 1, 0);
  QRSetSize(500, 500);

  std::uint64_t pixelsLeft = std::uint64_t{2} * 16384 * 16384;
  for (int calls = 0; calls < 64 && !input.atEnd(); ++calls) {
    switch (input.byte() % 7) {
      case 0: {
        bool isNull = false;
        const std::string message = readMessage(input, isNull);
        errno = 0;
        // Only what comes before a NUL byte is the message.
        const std::string taken(message.c_str());
        const int result = QRSetMessage(isNull ? nullptr : message.c_str());
        model.messageRefused = result == 0;
        if (isAscii(taken))
          check((result != 0) == (taken.size() <= 7089), "ASCII message limit not kept");
        if (taken.size() > 2 * 7089) check(result == 0, "oversized message taken");
        if (result == 0) check(errno == EMSGSIZE || errno == ENOMEM, "message refused wrongly");
        break;
      }
      case 1:
      case 2: {
        const int red = readInt(input), green = readInt(input), blue = readInt(input);
        const bool back = input.byte() % 2 == 0;
        const int result =
            back ? QRSetBackColor(red, green, blue) : QRSetBarColor(red, green, blue);
        check(result != 0, "colour refused");
        (back ? model.background : model.bar) = {clamp(red), clamp(green), clamp(blue)};
        break;
      }
      case 3: {
        const int version = readInt(input), level = readInt(input), quietZone = readInt(input);
        check(QRConfigure(version, level, quietZone) != 0, "configuration refused");
        break;
      }
      case 4: {
        const double contrast = readDouble(input);
        const int whole = readInt(input), inverted = readInt(input);
        check(QRAppearance(contrast, whole, inverted) != 0, "appearance refused");
        model.inverted = inverted != 0;
        break;
      }
      case 5: {
        const int width = readInt(input), height = readInt(input);
        errno = 0;
        const int result = QRSetSize(width, height);
        const bool valid = width >= 1 && width <= 16384 && height >= 1 && height <= 16384;
        check((result != 0) == valid, "picture size check wrong");
        if (!valid) check(errno == EINVAL, "bad size without EINVAL");
        model.sizeValid = valid;
        if (valid) {
          model.width = width;
          model.height = height;
        }
        break;
      }
      default:
        saveAsBmp(input, model, pixelsLeft);
        break;
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Input input(data, size);
  replay(input);
  return 0;
}
