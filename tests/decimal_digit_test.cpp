#include "textfile/decimal_digit.h"

#include <gtest/gtest.h>

namespace textresgen {
namespace {

struct DigitCase {
  const char* name;
  char16_t unit;
  bool expected;
};

const DigitCase kCases[] = {
    {"0", u'0', true},
    {"7", u'7', true},
    {"9", u'9', true},
    {"slash before 0", u'/', false},
    {"colon after 9", u':', false},
    {"A", u'A', false},
    {"a", u'a', false},
    {"NUL", 0x0000, false},
    {"superscript two", 0x00B2, true},
    {"superscript three", 0x00B3, true},
    {"superscript one", 0x00B9, true},
    {"plus-minus between them", 0x00B1, false},
    {"micro sign", 0x00B5, false},
    {"vulgar fraction one quarter", 0x00BC, false},
    {"y with diaeresis", 0x00FF, false},
    {"U+0100", 0x0100, false},
    {"Arabic-Indic zero", 0x0660, true},
    {"Arabic-Indic nine", 0x0669, true},
    {"before Arabic-Indic zero", 0x065F, false},
    {"after Arabic-Indic nine", 0x066A, false},
    {"Devanagari five", 0x096B, true},
    {"superscript zero (not Nd)", 0x2070, false},
    {"circled digit one (not Nd)", 0x2460, false},
    {"roman numeral one (Nl)", 0x2160, false},
    {"fullwidth zero", 0xFF10, true},
    {"fullwidth nine", 0xFF19, true},
    {"fullwidth colon", 0xFF1A, false},
    {"high surrogate", 0xD835, false},
    {"U+FFFE", 0xFFFE, false},
    {"U+FFFF", 0xFFFF, false},
};

TEST(IsDecimalDigitTest, ClassifiesUnits) {
  for (const DigitCase& c : kCases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(IsDecimalDigit(c.unit), c.expected);
  }
}

}  // namespace
}  // namespace textresgen
