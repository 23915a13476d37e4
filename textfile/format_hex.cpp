#include "textfile/format_hex.h"

namespace textresgen {

void AppendHex(std::uint32_t value, int min_width, std::u16string* out) {
  static constexpr char16_t kDigits[] = u"0123456789ABCDEF";
  int digit_count = 1;
  while (digit_count < 8 && (value >> (4 * digit_count)) != 0) ++digit_count;
  for (int i = digit_count; i < min_width; ++i) *out += u'0';
  for (int shift = 4 * (digit_count - 1); shift >= 0; shift -= 4) {
    *out += kDigits[(value >> shift) & 0xF];
  }
}

std::u16string FormatHex(std::uint32_t value, int min_width) {
  std::u16string out;
  AppendHex(value, min_width, &out);
  return out;
}

}  // namespace textresgen
