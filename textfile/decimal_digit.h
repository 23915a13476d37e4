#ifndef TEXTRESGEN_TEXTFILE_DECIMAL_DIGIT_H_
#define TEXTRESGEN_TEXTFILE_DECIMAL_DIGIT_H_

namespace textresgen {

/// True for "0"-"9", the superscripts U+00B2, U+00B3, U+00B9, and the units
/// from U+0100 to U+FFFE of Unicode category Nd. Independent of the locale.
bool IsDecimalDigit(char16_t unit);

}  // namespace textresgen

#endif  // TEXTRESGEN_TEXTFILE_DECIMAL_DIGIT_H_
