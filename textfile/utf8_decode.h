#ifndef TEXTRESGEN_TEXTFILE_UTF8_DECODE_H_
#define TEXTRESGEN_TEXTFILE_UTF8_DECODE_H_

// One decoding step shared by Utf8ToUtf16 and the reading stream, so both
// replace malformed input the same way. Internal to textfile/.

#include <cstddef>
#include <cstdint>

namespace textresgen {

inline constexpr char32_t kReplacementCharacter = 0xFFFD;

/// Decodes the character that starts at `p` (p < end). Returns the number of
/// bytes taken and stores the code point, U+FFFD for a maximal invalid
/// subpart. Returns 0 when the bytes up to `end` begin a valid sequence that
/// is not complete yet and `at_end` is false: more input must be read first.
/// With `at_end` true such a cut sequence is one invalid subpart.
inline std::size_t DecodeUtf8Step(const std::uint8_t* p,
                                  const std::uint8_t* end, bool at_end,
                                  char32_t* code_point) {
  const std::uint8_t lead = p[0];
  if (lead < 0x80) {
    *code_point = lead;
    return 1;
  }
  std::size_t trail_count;
  char32_t value;
  // The second byte has a narrower range after E0, ED, F0 and F4: that
  // excludes overlongs, encoded surrogates and values above U+10FFFF.
  std::uint8_t low = 0x80;
  std::uint8_t high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    trail_count = 1;
    value = lead & 0x1Fu;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    trail_count = 2;
    value = lead & 0x0Fu;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    trail_count = 3;
    value = lead & 0x07u;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    *code_point = kReplacementCharacter;
    return 1;
  }
  for (std::size_t i = 1; i <= trail_count; ++i) {
    if (p + i == end) {
      if (!at_end) return 0;
      *code_point = kReplacementCharacter;
      return i;
    }
    const std::uint8_t trail = p[i];
    if (trail < low || trail > high) {
      *code_point = kReplacementCharacter;
      return i;
    }
    value = (value << 6) | (trail & 0x3Fu);
    low = 0x80;
    high = 0xBF;
  }
  *code_point = value;
  return trail_count + 1;
}

/// The longest UTF-8 sequence; with this many bytes at hand (or the end of
/// the input) DecodeUtf8Step never asks for more.
inline constexpr std::size_t kMaxUtf8SequenceBytes = 4;

}  // namespace textresgen

#endif  // TEXTRESGEN_TEXTFILE_UTF8_DECODE_H_
