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

namespace format_hex_detail {

// The two digits of every byte value: the encoders write two or four
// digits per unit, a pair at a time.
struct HexPairs {
  char16_t digits[256][2];
};

inline constexpr HexPairs kHexPairs = [] {
  constexpr char16_t kDigits[] = u"0123456789ABCDEF";
  HexPairs pairs{};
  for (int i = 0; i < 256; ++i) {
    pairs.digits[i][0] = kDigits[i >> 4];
    pairs.digits[i][1] = kDigits[i & 0xF];
  }
  return pairs;
}();

}  // namespace format_hex_detail

/// Writes exactly `digit_count` upper-case hexadecimal digits of `value`,
/// most significant first, to `out` and returns the end: what AppendHex
/// gives at that width for every value below 16 to the `digit_count`. For
/// the hot loops of the encoders, which know their widths in advance.
inline char16_t* PutHexDigits(std::uint32_t value, int digit_count,
                              char16_t* out) {
  int i = digit_count;
  for (; i >= 2; i -= 2) {
    const char16_t* pair = format_hex_detail::kHexPairs.digits[value & 0xFFu];
    out[i - 2] = pair[0];
    out[i - 1] = pair[1];
    value >>= 8;
  }
  if (i == 1) out[0] = format_hex_detail::kHexPairs.digits[value & 0xFu][1];
  return out + digit_count;
}

}  // namespace textresgen

#endif  // TEXTRESGEN_TEXTFILE_FORMAT_HEX_H_
