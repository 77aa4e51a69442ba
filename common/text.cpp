// SPDX-License-Identifier: MIT
#include "common/text.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace qr {
namespace {

void abortHandler(const char* message) {
  std::fputs(message, stderr);
  std::fputc('\n', stderr);
  std::abort();
}

FatalHandler fatalHandler = abortHandler;

}  // namespace

void setFatalHandler(FatalHandler handler) {
  fatalHandler = handler ? handler : abortHandler;
}

void fatal(const char* message) {
  fatalHandler(message);
  std::abort();  // a handler that returns has broken its contract
}

void* allocate(std::size_t size) {
  if (size == 0) size = 1;
  if (void* block = std::malloc(size)) return block;
  // The message is built without the heap: the heap is what just failed.
  char message[96];
  std::snprintf(message, sizeof message, "分配 %zu 字节内存失败!", size);
  fatal(message);
}

void FreeBlock::operator()(void* block) const noexcept {
  std::free(block);
}

Text Text::copy(std::string_view bytes) {
  if (bytes.empty()) return {};
  auto* block = static_cast<char*>(allocate(bytes.size() + 1));
  std::memcpy(block, bytes.data(), bytes.size());
  block[bytes.size()] = '\0';
  return Text(block);
}

Text join(std::initializer_list<TextPart> parts) {
  std::size_t total = 0;
  for (const TextPart& part : parts) total += part.view().size();
  auto* block = static_cast<char*>(allocate(total + 1));
  char* end = block;
  for (const TextPart& part : parts) {
    std::memcpy(end, part.view().data(), part.view().size());
    end += part.view().size();
  }
  *end = '\0';
  return Text::adopt(block);
}

Text numberToText(long long value) {
  // Digits are produced from the magnitude as unsigned, so the most negative
  // value has no positive counterpart to overflow into.
  char digits[24];
  char* start = digits + sizeof digits;
  unsigned long long magnitude = value < 0 ? 0ULL - static_cast<unsigned long long>(value)
                                           : static_cast<unsigned long long>(value);
  do {
    *--start = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  if (value < 0) *--start = '-';
  return Text::copy(
      std::string_view(start, static_cast<std::size_t>(digits + sizeof digits - start)));
}

ByteSet ByteSet::copy(const void* bytes, std::size_t size) {
  ByteSet set = withSize(size);
  if (size != 0) std::memcpy(set.data(), bytes, size);
  return set;
}

ByteSet ByteSet::withSize(std::size_t size) {
  ByteSet set;
  if (size == 0) return set;
  set.block_.reset(static_cast<std::uint8_t*>(allocate(size)));
  set.size_ = size;
  return set;
}

}  // namespace qr
