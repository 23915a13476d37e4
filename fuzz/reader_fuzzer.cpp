// WideTextFile::ReadLine on any bytes with any capacity.
//
// Input: two bytes of capacity (little-endian, taken modulo 16384), one
// byte of flags, then the file. Flags 1 (of 0 to 15) put 64 KiB of filler
// after the file's first three bytes, so whatever follows crosses the
// reader's block boundary at every alignment the fuzzer tries.
//
// Every line must be terminated, hold at most capacity - 1 units and an LF
// only as its last unit; a line without LF is either full or the last one;
// and the lines joined must be the file decoded by a plain reference
// decoder that knows nothing of blocks or capacities.

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "fuzz/fuzz_check.h"
#include "textfile/utf8.h"
#include "textfile/wide_text_file.h"

namespace textresgen {
namespace {

constexpr char16_t kLineFeed = 0x0A;
constexpr char16_t kCarriageReturn = 0x0D;
constexpr char16_t kEndOfData = 0x1A;
constexpr char16_t kUntouched = 0xBEEF;  // fills the buffer before each call

// The reference decoders are the oracle, not code under test: no coverage
// for them, which also keeps the 64 KiB filler cheap.
#define FUZZ_ORACLE __attribute__((no_sanitize("coverage")))

// UTF-16LE after the mark (or from byte 0): units low byte first, a lone
// final byte as a unit with high byte zero, CR LF as LF, Ctrl-Z the end.
FUZZ_ORACLE std::u16string DecodeUtf16Le(std::string_view bytes) {
  std::u16string raw;
  raw.reserve(bytes.size() / 2 + 1);
  for (std::size_t i = 0; i < bytes.size(); i += 2) {
    const auto low = static_cast<unsigned char>(bytes[i]);
    const auto high =
        i + 1 < bytes.size() ? static_cast<unsigned char>(bytes[i + 1]) : 0;
    raw.push_back(static_cast<char16_t>(low | high << 8));
  }
  std::u16string units;
  units.reserve(raw.size());
  for (std::size_t i = 0; i < raw.size(); ++i) {
    if (raw[i] == kEndOfData) break;
    if (raw[i] == kCarriageReturn && i + 1 < raw.size() &&
        raw[i + 1] == kLineFeed) {
      continue;  // the LF is taken in the next turn
    }
    units.push_back(raw[i]);
  }
  return units;
}

// UTF-8 after EF BB BF: the same rules on bytes, then the conversion.
FUZZ_ORACLE std::u16string DecodeUtf8(std::string_view bytes) {
  std::string kept;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] == kEndOfData) break;
    if (bytes[i] == kCarriageReturn && i + 1 < bytes.size() &&
        bytes[i + 1] == kLineFeed) {
      continue;
    }
    kept.push_back(bytes[i]);
  }
  return Utf8ToUtf16(kept);
}

std::u16string Reference(std::string_view file) {
  if (file.substr(0, 3) == "\xEF\xBB\xBF") return DecodeUtf8(file.substr(3));
  if (file.substr(0, 2) == "\xFF\xFE") return DecodeUtf16Le(file.substr(2));
  return DecodeUtf16Le(file);
}

void CheckLines(std::string_view file, std::size_t capacity) {
  WideTextFile input;
  const int status = input.OpenReadMemory(file);
  const bool big_endian = file.substr(0, 2) == "\xFE\xFF";
  FUZZ_CHECK(status == (big_endian ? EINVAL : 0));
  if (status != 0) return;

  // Exactly `capacity` units, so ASan catches a write past the end.
  const auto buffer = std::make_unique<char16_t[]>(capacity + (capacity == 0));
  std::fill_n(buffer.get(), capacity, kUntouched);
  std::size_t stored = 99;
  if (capacity == 0) {
    FUZZ_CHECK(!input.ReadLine(buffer.get(), 0, &stored));
    return;
  }
  if (capacity == 1) {
    FUZZ_CHECK(input.ReadLine(buffer.get(), 1, &stored));
    FUZZ_CHECK(buffer[0] == 0);
    return;
  }

  std::u16string joined;
  bool must_be_last = false;
  // Each call stores at least one unit, and the file has no more units than
  // bytes: a reader that loops without progress is caught here.
  for (std::size_t calls = 0;; ++calls) {
    FUZZ_CHECK(calls <= file.size() + 1);
    if (!input.ReadLine(buffer.get(), capacity, &stored)) {
      for (std::size_t i = 0; i < capacity; ++i) {
        FUZZ_CHECK(buffer[i] == kUntouched);
      }
      break;
    }
    FUZZ_CHECK(!must_be_last);
    FUZZ_CHECK(stored >= 1 && stored <= capacity - 1);
    FUZZ_CHECK(buffer[stored] == 0);
    const std::u16string_view line(buffer.get(), stored);
    FUZZ_CHECK(line.find(kLineFeed) == std::u16string_view::npos ||
               line.find(kLineFeed) == stored - 1);
    if (line.back() != kLineFeed && stored < capacity - 1) must_be_last = true;
    joined.append(line);
    // Only what this call wrote needs the mark again.
    std::fill_n(buffer.get(), stored + 1, kUntouched);
  }
  FUZZ_CHECK(!input.read_failed());
  FUZZ_CHECK(joined == Reference(file));
}

}  // namespace
}  // namespace textresgen

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  if (size < 3) return 0;
  const std::size_t capacity = (data[0] | data[1] << 8) % 16384;
  const bool cross_blocks = (data[2] & 0x0F) == 1;
  std::string file(reinterpret_cast<const char*>(data + 3), size - 3);
  if (cross_blocks && file.size() >= 3) {
    // 'x' is an ordinary unit in UTF-16LE (0x7878) and in UTF-8 alike.
    const std::size_t shift = static_cast<unsigned char>(file[2]) % 16;
    file.insert(3, textresgen::WideTextFile::kBufferBytes - 3 - shift, 'x');
  }
  textresgen::CheckLines(file, capacity);
  return 0;
}
