#ifndef TEXTRESGEN_TEXTFILE_UTF8_H_
#define TEXTRESGEN_TEXTFILE_UTF8_H_

#include <string>
#include <string_view>

namespace textresgen {

/// UTF-8 bytes of 16-bit units: a surrogate pair becomes one 4-byte
/// sequence, a lone surrogate its own 3-byte form.
std::string Utf16ToUtf8(std::u16string_view units);

/// 16-bit units of UTF-8 bytes; each maximal invalid subpart (including a
/// sequence cut short by the end) becomes one U+FFFD.
std::u16string Utf8ToUtf16(std::string_view bytes);

}  // namespace textresgen

#endif  // TEXTRESGEN_TEXTFILE_UTF8_H_
