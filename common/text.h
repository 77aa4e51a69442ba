// SPDX-License-Identifier: MIT
// Texts and byte sets: the values every part of the program exchanges.
//
// A text is a NUL-terminated byte string in the program's code page (GB18030).
// An empty text may be null: producers return null rather than an empty block,
// consumers read null as empty, and releasing null does nothing. Byte sets are
// counted blocks, null when empty. No header here needs a display.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string_view>

namespace qr {

// Called when memory cannot be obtained, with the message to show (code page).
// The shell installs its fatal-error path here; the default aborts.
using FatalHandler = void (*)(const char* message);
void setFatalHandler(FatalHandler handler);
// Hands `message` (code page) to the fatal handler; does not return.
[[noreturn]] void fatal(const char* message);

// Allocates `size` bytes (at least one). Never returns null: a failure reaches
// the fatal handler with "分配 N 字节内存失败!" and does not come back.
void* allocate(std::size_t size);

struct FreeBlock {
  void operator()(void* block) const noexcept;
};

// Owner of one text block, or of none (the null text).
class Text {
 public:
  Text() = default;
  // Copies `bytes` into a new block; an empty view gives the null text.
  static Text copy(std::string_view bytes);
  // Takes ownership of a block obtained from allocate().
  static Text adopt(char* block) { return Text(block); }

  // The bytes, or null for the null text. Valid while this Text lives.
  const char* get() const { return block_.get(); }
  // The bytes, "" for the null text: for consumers that want no null.
  const char* c_str() const { return block_ ? block_.get() : ""; }
  std::string_view view() const { return c_str(); }
  std::size_t size() const { return view().size(); }
  bool isNull() const { return !block_; }
  bool empty() const { return size() == 0; }
  // Releases the block now, before the owner goes out of scope.
  void reset() { block_.reset(); }

 private:
  explicit Text(char* block) : block_(block) {}
  std::unique_ptr<char, FreeBlock> block_;
};

// One part of a join: a C string (null counts as empty), a view, or a Text.
class TextPart {
 public:
  TextPart(const char* text) : view_(text ? text : "") {}  // NOLINT: implicit by design
  TextPart(std::string_view text) : view_(text) {}         // NOLINT
  TextPart(const Text& text) : view_(text.view()) {}       // NOLINT
  std::string_view view() const { return view_; }

 private:
  std::string_view view_;
};

// Joins the parts in order into one new block (sum of lengths + NUL). Unlike
// every other producer it always returns a block, "" when all parts are empty.
Text join(std::initializer_list<TextPart> parts);

// Plain decimal: leading '-' for negatives, no '+', no leading zeros, no grouping.
Text numberToText(long long value);

// Owner of a counted block of bytes, or of none (the empty byte set).
class ByteSet {
 public:
  ByteSet() = default;
  // Copies the bytes; zero bytes give the empty (null) set.
  static ByteSet copy(const void* bytes, std::size_t size);
  // A new block of `size` uninitialised bytes to fill; zero gives the empty set.
  static ByteSet withSize(std::size_t size);

  const std::uint8_t* data() const { return block_.get(); }
  std::uint8_t* data() { return block_.get(); }
  std::size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  void reset() {
    block_.reset();
    size_ = 0;
  }

 private:
  std::unique_ptr<std::uint8_t, FreeBlock> block_;
  std::size_t size_ = 0;
};

}  // namespace qr
