#ifndef TEXTRESGEN_TEXTFILE_FORMAT_HEX_H_
#define TEXTRESGEN_TEXTFILE_FORMAT_HEX_H_

#include <cstdint>
#include <string>

namespace textresgen {

/// Appends `value` in upper-case hexadecimal, zero-filled to at least
/// `min_width` digits and never cut (0x1A3 at width 2 gives "1A3").
void AppendHex(std::uint32_t value, int min_width, std::u16string* out);

/// `value` in upper-case hexadecimal, as AppendHex writes it.
std::u16string FormatHex(std::uint32_t value, int min_width);

/// Writes exactly `digit_count` upper-case hexadecimal digits of `value`,
/// most significant first, to `out` and returns the end: what AppendHex
/// gives at that width for every value below 16 to the `digit_count`. For
/// the hot loops of the encoders, which know their widths in advance.
inline char16_t* PutHexDigits(std::uint32_t value, int digit_count,
                              char16_t* out) {
  static constexpr char16_t kDigits[] = u"0123456789ABCDEF";
  for (int i = digit_count - 1; i >= 0; --i) {
    out[i] = kDigits[value & 0xFu];
    value >>= 4;
  }
  return out + digit_count;
}

}  // namespace textresgen

#endif  // TEXTRESGEN_TEXTFILE_FORMAT_HEX_H_
