#include <gtest/gtest.h>

#include <cstdint>
#include <cwchar>
#include <string>
#include <vector>

#include "scramble/scramble.h"
#include "scramble/scrambler.h"
#include "textfile/decimal_digit.h"
#include "textfile/utf8.h"

// The shipped decoder file itself, as a generated source includes it.
#include "d_func.cpp"

namespace textresgen {
namespace {

template <std::int64_t kTime>
std::int64_t FixedClock() {
  return kTime;
}

// Literals only hold the digits 0-9 and A-F.
std::string Narrow(const std::u16string& digits) {
  return std::string(digits.begin(), digits.end());
}

std::wstring Wide(const std::u16string& digits) {
  return std::wstring(digits.begin(), digits.end());
}

std::string DecodeKey(const std::u16string& literal) {
  return dA(Narrow(literal).c_str());
}

std::wstring DecodeText(const std::u16string& literal) {
  return dU(Wide(literal).c_str());
}

TEST(DFuncTest, ConstantsMatchTheEncoders) {
  EXPECT_EQ(::KEY_MULTIPLIER, textresgen::KEY_MULTIPLIER);
  EXPECT_EQ(::KEY_STEP, textresgen::KEY_STEP);
  EXPECT_EQ(::CHAIN_INIT_A, textresgen::CHAIN_INIT_A);
  EXPECT_EQ(::CHAIN_INIT_U, textresgen::CHAIN_INIT_U);
}

TEST(DFuncTest, DecimalDigitTestMatchesTheGenerator) {
  for (std::uint32_t unit = 0; unit <= 0xFFFF; ++unit) {
    ASSERT_EQ(::IsDecimalDigit(unit),
              textresgen::IsDecimalDigit(static_cast<char16_t>(unit)))
        << std::hex << unit;
  }
}

TEST(DFuncTest, DecimalDigitAnchors) {
  const std::vector<std::uint32_t> digits = {0x30,   0x39,   0xB2,  0xB3,
                                             0xB9,   0x660,  0x669, 0xFF10,
                                             0xFF19};
  const std::vector<std::uint32_t> others = {
      0x2F, 0x3A, 0x41, 0xBC, 0xFF, 0x100, 0x65F, 0xFF1A, 0xFFFF, 0x10030};
  for (std::uint32_t unit : digits) EXPECT_TRUE(::IsDecimalDigit(unit)) << unit;
  for (std::uint32_t unit : others) EXPECT_FALSE(::IsDecimalDigit(unit)) << unit;
}

// `key` is what dA gives for the path: its units up to 0xFF as bytes, or
// else its UTF-8 bytes. `text` is what dU gives: the units, with pairs as
// one code point where wchar_t has 32 bits (as the L"" literal spells it).
struct RoundTripCase {
  const char* name;
  std::u16string input;
  std::string key;
  std::wstring text;
};

TEST(DFuncTest, DecodesWhatTheEncodersWrite) {
  const std::vector<RoundTripCase> cases = {
      {"empty", u"", "", L""},
      {"ASCII path", u"menu.file.open", "menu.file.open", L"menu.file.open"},
      {"quotes and backslashes", u"say \"hi\"\\n'", "say \"hi\"\\n'",
       L"say \"hi\"\\n'"},
      {"control characters", u"\t\r\n\x1A\x7F", "\t\r\n\x1A\x7F",
       L"\t\r\n\x1A\x7F"},
      {"Latin-1 bytes", u"caf\u00E9\u00FF", "caf\xE9\xFF", L"caf\u00E9\u00FF"},
      {"first unit above a byte", u"\u0100", "\xC4\x80", L"\u0100"},
      {"Japanese", u"\u30E1\u30CB\u30E5\u30FC.\u958B\u304F",
       "\xE3\x83\xA1\xE3\x83\x8B\xE3\x83\xA5\xE3\x83\xBC."
       "\xE9\x96\x8B\xE3\x81\x8F",
       L"\u30E1\u30CB\u30E5\u30FC.\u958B\u304F"},
      {"surrogate pair", u"a\U0001F600z", "a\xF0\x9F\x98\x80z",
       L"a\U0001F600z"},
      {"lone high surrogate", u"a\xD800" u"b", "a\xED\xA0\x80" "b",
       L"a\xD800" L"b"},
      {"low before high stays two units", u"\xDC00\xD800",
       "\xED\xB0\x80\xED\xA0\x80", L"\xDC00\xD800"},
      {"high, then a pair", u"\xD83D\xD83D\xDE00", "\xED\xA0\xBD\xF0\x9F\x98\x80",
       L"\xD83D\U0001F600"},
      {"pair at the end after a lone low", u"\xDE00\xD83D\xDE00",
       "\xED\xB8\x80\xF0\x9F\x98\x80", L"\xDE00\U0001F600"},
      {"U+FFFF", u"x\xFFFF", "x\xEF\xBF\xBF", L"x\xFFFF"},
  };
  const std::vector<Scrambler::Clock> clocks = {
      FixedClock<0>, FixedClock<1>, FixedClock<256>, FixedClock<65536>,
      FixedClock<1700000123>};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    for (Scrambler::Clock clock : clocks) {
      Scrambler scrambler(clock);
      for (int draw = 0; draw < 8; ++draw) {
        const std::u16string text_literal = scrambler.eU(c.input);
        const std::u16string key_literal = scrambler.eA(c.input);
        EXPECT_EQ(key_literal.size(), 2 + 2 * c.key.size());
        EXPECT_EQ(DecodeKey(key_literal), c.key);
        EXPECT_EQ(DecodeText(text_literal), c.text);
      }
    }
  }
}

TEST(DFuncTest, DecodesEverySingleUnit) {
  // Unit 0 is left out: the decoded strings are read up to their first zero.
  Scrambler scrambler(FixedClock<1700000123>);
  for (std::uint32_t unit = 1; unit <= 0xFFFF; ++unit) {
    const std::u16string input(1, static_cast<char16_t>(unit));
    ASSERT_EQ(DecodeText(scrambler.eU(input)),
              std::wstring(1, static_cast<wchar_t>(unit)))
        << std::hex << unit;
    const std::string key = unit <= 0xFF
                                ? std::string(1, static_cast<char>(unit))
                                : Utf16ToUtf8(input);
    ASSERT_EQ(DecodeKey(scrambler.eA(input)), key) << std::hex << unit;
  }
}

TEST(DFuncTest, DecodesLiteralsWithZeroSeeds) {
  EXPECT_STREQ(dA("00FCC1"), "ab");
  EXPECT_STREQ(dU(L"00005BFC61C1"), L"ab");
  EXPECT_STREQ(dA("00"), "");
  EXPECT_STREQ(dU(L"0000"), L"");
}

// Decodes `literal` from a buffer that ends at its terminator, so a read
// past it leaves the buffer (caught by AddressSanitizer), and again with
// digits after the terminator, which a read past it would decode.
template <typename Char, typename Decoder>
void ExpectStopsAtTerminator(const std::basic_string<Char>& literal,
                             const std::basic_string<Char>& expected,
                             Decoder decode) {
  std::vector<Char> exact(literal.begin(), literal.end());
  exact.push_back(Char{0});
  EXPECT_EQ(std::basic_string<Char>(decode(exact.data())), expected);

  std::vector<Char> followed = exact;
  for (char digit : std::string("00FCC15BFC61C1")) {
    followed.push_back(static_cast<Char>(digit));
  }
  followed.push_back(Char{0});
  EXPECT_EQ(std::basic_string<Char>(decode(followed.data())), expected);
}

struct CutKeyCase {
  std::string literal;
  std::string expected;
};

struct CutTextCase {
  std::wstring literal;
  std::wstring expected;
};

TEST(DFuncTest, KeyDecoderStopsAtTheTerminator) {
  const std::vector<CutKeyCase> cases = {
      {"", ""},         {"0", ""},         {"00", ""},      {"00F", ""},
      {"00FC", "a"},    {"00FCC", "a"},    {"00FCC1", "ab"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.literal);
    ExpectStopsAtTerminator(c.literal, c.expected,
                            [](const char* p) { return dA(p); });
  }
}

TEST(DFuncTest, TextDecoderStopsAtTheTerminator) {
  const std::vector<CutTextCase> cases = {
      {L"", L""},          {L"0", L""},           {L"000", L""},
      {L"0000", L""},      {L"00005", L""},       {L"00005BF", L""},
      {L"00005BFC", L"a"}, {L"00005BFC6", L"a"},  {L"00005BFC61C", L"a"},
      {L"00005BFC61C1", L"ab"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.literal.begin(), c.literal.end()));
    ExpectStopsAtTerminator(c.literal, c.expected,
                            [](const wchar_t* p) { return dU(p); });
  }
}

// Each literal decodes exactly as its counterpart does: a digit reader
// that took other units for other values would decode something else.
struct KeyDigitCase {
  const char* name;
  std::string literal;
  std::string same_as;
};

struct TextDigitCase {
  const char* name;
  std::wstring literal;
  std::wstring same_as;
};

TEST(DFuncTest, KeyDigitValues) {
  const std::vector<KeyDigitCase> cases = {
      {"lower case reads as 15", "00fcc1", "00FFF1"},
      {"non-digits read as 15", "G0-C/1", "F0FCF1"},
      {"bytes above 0x7F read as 15", "\xB2\xB9" "FC\xE9" "1", "FFFCF1"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string expected = dA(c.same_as.c_str());
    EXPECT_EQ(std::string(dA(c.literal.c_str())), expected);
  }
  EXPECT_STREQ(dA("00fcc1"), "bQ");
}

TEST(DFuncTest, TextDigitValues) {
  const std::vector<TextDigitCase> cases = {
      {"lower case reads as 15", L"00005bfc61c1", L"00005FFF61F1"},
      {"non-digits read as 15", L"G0-05BFC", L"F0F05BFC"},
      {"superscript two is 0x82", L"000\u00B2" L"5BFC", L"00825BFC"},
      {"superscript one first, shifted and cut", L"\u00B9" L"0005BFC",
       L"90005BFC"},
      {"Arabic-Indic three is 0x633", L"000\u0663" L"5BFC", L"06335BFC"},
      {"fullwidth zero is 0xFEE0", L"000\uFF10" L"5BFC", L"FEE05BFC"},
      {"fullwidth zero first is cut away", L"\uFF10" L"0005BFC",
       L"00005BFC"},
      {"U+FFFF reads as 15", L"000\xFFFF" L"5BFC", L"000F5BFC"},
#if WCHAR_MAX > 0xFFFF
      {"units beyond 16 bits read as 15", L"000\U00010030" L"5BFC",
       L"000F5BFC"},
#endif
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::wstring expected = dU(c.same_as.c_str());
    EXPECT_EQ(std::wstring(dU(c.literal.c_str())), expected);
  }
  EXPECT_STREQ(dU(L"00005bfc61c1"), L"\x0462\x0451");
}

TEST(DFuncTest, EachKeyCallReturnsItsOwnKey) {
  Scrambler scrambler(FixedClock<1700000123>);
  const std::string first_literal = Narrow(scrambler.eA(u"menu.file.open"));
  const std::string second_literal = Narrow(scrambler.eA(u"title"));
  const std::string first = dA(first_literal.c_str());
  EXPECT_EQ(first, "menu.file.open");
  EXPECT_STREQ(dA(second_literal.c_str()), "title");
}

TEST(DFuncTest, TextPointersStayValid) {
  Scrambler scrambler(FixedClock<1700000123>);
  const std::wstring first_literal = Wide(scrambler.eU(u"first text"));
  const std::wstring second_literal = Wide(scrambler.eU(u"x"));
  const wchar_t* first = dU(first_literal.c_str());
  const wchar_t* second = dU(second_literal.c_str());
  EXPECT_NE(first, second);
  // Enough later calls to grow, more than once, any storage that would
  // move its texts, whatever the calls before this test.
  std::vector<std::wstring> fillers;
  for (std::size_t length = 0; length < 16; ++length) {
    fillers.push_back(Wide(scrambler.eU(std::u16string(length, u'f'))));
  }
  for (int i = 0; i < 200000; ++i) dU(fillers[i % fillers.size()].c_str());
  EXPECT_STREQ(first, L"first text");
  EXPECT_STREQ(second, L"x");
}

}  // namespace
}  // namespace textresgen
