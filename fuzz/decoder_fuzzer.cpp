// The decoders dA and dU on arbitrary zero-terminated strings, and both
// encoders against them.
//
// Input: one byte of mode, then the string's bytes. Modes 0-3 decode the
// bytes as given: each copied into a heap buffer of exactly its length and
// the terminator, so ASan catches any read past the terminator. Mode 4
// encodes the bytes as units with eU and as a path with eA and decodes the
// literals back.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <cwchar>
#include <iterator>
#include <memory>
#include <string>

#include "fuzz/expected_text.h"
#include "fuzz/fuzz_check.h"
#include "scramble/scrambler.h"
#include "textfile/utf8.h"

// The decoders, as every generated source includes them; optimisation back
// on after the file's closing pragma (meant for generated sources).
#include "runtime/d_func.cpp"
#if defined(__clang__)
#pragma clang optimize on
#endif

namespace {

// Units above 0x7F that a hex-digit reader must not take for digits: other
// scripts' decimal digits, fullwidth letters, surrogates, the extremes.
constexpr wchar_t kOddUnits[] = {
    0x00B2, 0x00B9, 0x0660, 0x0669, 0x06F5, 0x0966, 0xFF10, 0xFF19,
    0xFF21, 0xFF26, 0xD800, 0xDFFF, 0xFFFF, 0x00FF, 0x0130, 0x0080,
};

std::int64_t FixedClock() { return 1700000123; }

void DecodeNarrow(const std::uint8_t* data, std::size_t size) {
  std::size_t length = 0;
  while (length < size && data[length] != 0) ++length;
  const auto literal = std::make_unique<char[]>(length + 1);
  std::memcpy(literal.get(), data, length);
  literal[length] = '\0';
  const char* key = dA(literal.get());
  FUZZ_CHECK(std::strlen(key) <= (length < 2 ? 0 : (length - 2) / 2));
}

// Mode 1: one unit per byte, ASCII as itself, higher bytes picked from
// kOddUnits. Mode 2: two bytes per unit. Mode 3: four bytes per unit.
void DecodeWide(int mode, const std::uint8_t* data, std::size_t size) {
  std::wstring units;
  const std::size_t step = mode == 1 ? 1 : mode == 2 ? 2 : 4;
  for (std::size_t i = 0; i + step <= size; i += step) {
    std::uint32_t value = 0;
    if (mode == 1) {
      value = data[i] < 0x80 ? data[i] : kOddUnits[data[i] % std::size(kOddUnits)];
    } else {
      for (std::size_t b = 0; b < step; ++b) value |= std::uint32_t{data[i + b]} << (8 * b);
      if (sizeof(wchar_t) == 2) value &= 0xFFFF;
    }
    if (value == 0) break;
    units.push_back(static_cast<wchar_t>(value));
  }
  const auto literal = std::make_unique<wchar_t[]>(units.size() + 1);
  std::wmemcpy(literal.get(), units.data(), units.size());
  literal[units.size()] = L'\0';
  const wchar_t* text = dU(literal.get());
  const std::size_t length = units.size();
  FUZZ_CHECK(std::wcslen(text) <= (length < 4 ? 0 : (length - 4) / 4));
}

void RoundTrip(const std::uint8_t* data, std::size_t size) {
  std::u16string units;
  for (std::size_t i = 0; i + 1 < size; i += 2) {
    units.push_back(static_cast<char16_t>(data[i] | data[i + 1] << 8));
  }
  static textresgen::Scrambler scrambler(&FixedClock);

  const std::u16string& u_literal = scrambler.eU(units);
  FUZZ_CHECK(u_literal.size() == 4 + 4 * units.size());
  const std::wstring wide_literal(u_literal.begin(), u_literal.end());
  // dU stops at a decoded U+0000 only in what C strings show; compare all.
  const wchar_t* text = dU(wide_literal.c_str());
  const std::wstring expected = Wide(units);
  FUZZ_CHECK(std::wmemcmp(text, expected.c_str(), expected.size() + 1) == 0);

  std::string key;
  bool wide_path = false;
  for (char16_t unit : units) wide_path = wide_path || unit > 0xFF;
  if (wide_path) {
    key = textresgen::Utf16ToUtf8(units);
  } else {
    key.assign(units.begin(), units.end());
  }
  const std::u16string& a_literal = scrambler.eA(units);
  FUZZ_CHECK(a_literal.size() == 2 + 2 * key.size());
  const std::string narrow_literal(a_literal.begin(), a_literal.end());
  const char* decoded = dA(narrow_literal.c_str());
  FUZZ_CHECK(std::memcmp(decoded, key.c_str(), key.size() + 1) == 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  if (size == 0) return 0;
  const int mode = data[0] % 5;
  if (mode == 0) {
    DecodeNarrow(data + 1, size - 1);
  } else if (mode == 4) {
    RoundTrip(data + 1, size - 1);
  } else {
    DecodeWide(mode, data + 1, size - 1);
  }
  return 0;
}
