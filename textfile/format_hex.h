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

}  // namespace textresgen

#endif  // TEXTRESGEN_TEXTFILE_FORMAT_HEX_H_
