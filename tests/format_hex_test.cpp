#include "textfile/format_hex.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace textresgen {
namespace {

struct HexCase {
  std::uint32_t value;
  int min_width;
  std::u16string expected;
};

TEST(FormatHexTest, ZeroFillsToWidthAndNeverCuts) {
  const HexCase cases[] = {
      {0x0, 2, u"00"},
      {0x5, 2, u"05"},
      {0xAB, 2, u"AB"},
      {0x1A3, 2, u"1A3"},
      {0xABC, 4, u"0ABC"},
      {0x0, 4, u"0000"},
      {0xF, 4, u"000F"},
      {0xFFFF, 4, u"FFFF"},
      {0x12345, 4, u"12345"},
      {0x10, 2, u"10"},
      {0xDEADBEEF, 2, u"DEADBEEF"},
      {0xFFFFFFFF, 4, u"FFFFFFFF"},
      {0x80000000, 2, u"80000000"},
  };
  for (const HexCase& c : cases) {
    SCOPED_TRACE(c.value);
    EXPECT_EQ(FormatHex(c.value, c.min_width), c.expected);
  }
}

TEST(FormatHexTest, AppendKeepsWhatIsThere) {
  std::u16string out = u"0x";
  AppendHex(0x7, 2, &out);
  AppendHex(0xBEEF, 4, &out);
  EXPECT_EQ(out, u"0x07BEEF");
}

}  // namespace
}  // namespace textresgen
