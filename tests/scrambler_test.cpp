#include <gtest/gtest.h>

#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

#include "scramble/random_sequence.h"
#include "scramble/scrambler.h"

namespace textresgen {
namespace {

template <std::int64_t kTime>
std::int64_t FixedClock() {
  return kTime;
}

// 0x6553F17B: not a multiple of 256, so both seeds are non-zero.
constexpr std::int64_t kSomeTime = 1700000123;

TEST(RandomSequenceTest, StartsWithTheFixedSequence) {
  RandomSequence random;
  const std::vector<std::uint32_t> expected = {
      41, 18467, 6334, 26500, 19169, 15724, 11478, 29358, 26962, 24464};
  for (std::uint32_t value : expected) EXPECT_EQ(random.Next(), value);
}

// Each row is the first call of a fresh Scrambler, so R is 41. Worked out
// by hand for T=1 "Hi" and the zero seeds, the rest by an independent
// script of the scheme.
struct LiteralCase {
  const char* name;
  Scrambler::Clock clock;
  bool key;  // eA if true, else eU
  std::u16string input;
  std::u16string expected;
};

TEST(ScramblerTest, WritesKnownLiterals) {
  const std::vector<LiteralCase> cases = {
      {"text, T=1", FixedClock<1>, false, u"Hi", u"0029001F965F"},
      {"key, T=1", FixedClock<1>, true, u"menu.help",
       u"293A7690026AA7C6C97B"},
      {"text", FixedClock<kSomeTime>, false, u"Open",
       u"ACB3341E9E457AAA642D"},
      {"key", FixedClock<kSomeTime>, true, u"title", u"B34A21379ADF"},
      {"empty key is the seed", FixedClock<kSomeTime>, true, u"", u"B3"},
      {"empty text is the seed", FixedClock<kSomeTime>, false, u"", u"ACB3"},
      {"quote and backslash", FixedClock<kSomeTime>, false, u"\"\\",
       u"ACB334739E04"},
      {"text with pair and lone surrogate", FixedClock<kSomeTime>, false,
       u"\U0001F600\xD800", u"ACB3EC6C9847A4CD"},
      {"Latin-1 key unit by unit", FixedClock<kSomeTime>, true, u"caf\u00E9",
       u"B35D3E3A12"},
      {"key with U+0100 as UTF-8", FixedClock<kSomeTime>, true, u"\u0100",
       u"B3FA78"},
      {"Japanese key as UTF-8", FixedClock<kSomeTime>, true,
       u"\u30E1\u30CB\u30E5\u30FC.\u958B\u304F",
       u"B3DD5C9FBD1EEAD76950489194A33273CEB8CD11"},
      {"key with pair as one 4-byte sequence", FixedClock<kSomeTime>, true,
       u"a\U0001F600", u"B35FAD5009A9"},
      {"key with lone surrogate as 3 bytes", FixedClock<kSomeTime>, true,
       u"x\xD800", u"B346A96B2A"},
      {"T multiple of 256: A seed 00", FixedClock<256>, true, u"ab",
       u"00FCC1"},
      {"T multiple of 256: UTF-8 key", FixedClock<256>, true, u"\u65E5\u672C",
       u"007BB3A853B3C4"},
      {"T multiple of 65536: U seed 0000", FixedClock<65536>, false, u"ab",
       u"00005BFC61C1"},
      {"T beyond 32 bits", FixedClock<0x123456789AB>, true, u"ab", u"639839"},
      {"T beyond 32 bits", FixedClock<0x123456789AB>, false, u"ab",
       u"0C638FE881F9"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Scrambler scrambler(c.clock);
    EXPECT_EQ(c.key ? scrambler.eA(c.input) : scrambler.eU(c.input),
              c.expected);
  }
}

struct LengthCase {
  const char* name;
  std::u16string input;
  std::size_t key_digits;
};

TEST(ScramblerTest, LiteralLengths) {
  const std::vector<LengthCase> cases = {
      {"empty", u"", 2},
      {"ASCII", u"menu.file.open", 2 + 2 * 14},
      {"Latin-1 stays one byte per unit", u"\u00E9\u00FF", 2 + 2 * 2},
      {"U+0100 is two bytes", u"a\u0100", 2 + 2 * 3},
      {"CJK is three bytes", u"a.\u958B", 2 + 2 * 5},
      {"surrogate pair is four bytes", u"\U0001F600", 2 + 2 * 4},
      {"lone surrogates are three bytes each", u"\xDC00\xD800", 2 + 2 * 6},
      {"U+FFFF is three bytes", u"\xFFFF", 2 + 2 * 3},
  };
  Scrambler scrambler(FixedClock<kSomeTime>);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    // Several draws, so that a seed cannot hide a short or long digit.
    for (int i = 0; i < 8; ++i) {
      const std::u16string key = scrambler.eA(c.input);
      const std::u16string text = scrambler.eU(c.input);
      EXPECT_EQ(key.size(), c.key_digits);
      EXPECT_EQ(text.size(), 4 + 4 * c.input.size());
      for (char16_t digit : key + text) {
        EXPECT_TRUE((digit >= u'0' && digit <= u'9') ||
                    (digit >= u'A' && digit <= u'F'))
            << static_cast<int>(digit);
      }
    }
  }
}

TEST(ScramblerTest, DrawsOneValueFromTheSequencePerCall) {
  // With T=1 the seed is R itself, cut to the seed width.
  Scrambler scrambler(FixedClock<1>);
  EXPECT_EQ(scrambler.eU(u"x").substr(0, 4), u"0029");  // 41
  EXPECT_EQ(scrambler.eA(u"x").substr(0, 2), u"23");    // 18467
  EXPECT_EQ(scrambler.eU(u"").substr(0, 4), u"18BE");   // 6334
  EXPECT_EQ(scrambler.eA(u"").substr(0, 2), u"84");     // 26500
  EXPECT_EQ(scrambler.eA(u"\u958B").substr(0, 2), u"E1");  // 19169
}

TEST(ScramblerTest, SameInputDiffersFromCallToCall) {
  Scrambler scrambler(FixedClock<kSomeTime>);
  const std::u16string first = scrambler.eU(u"Hello");
  const std::u16string second = scrambler.eU(u"Hello");
  EXPECT_NE(first, second);
}

TEST(ScramblerTest, KeyAndTextResultsAreSeparate) {
  Scrambler scrambler(FixedClock<1>);
  const std::u16string& text = scrambler.eU(u"Hi");
  const std::u16string& key = scrambler.eA(u"menu.help");
  EXPECT_EQ(text, u"0029001F965F");
  EXPECT_EQ(key.substr(0, 2), u"23");
  // The next call of one encoder replaces only its own result.
  scrambler.eU(u"other");
  EXPECT_EQ(key.size(), 2u + 2 * 9);
  EXPECT_EQ(key.substr(0, 2), u"23");
}

TEST(ScramblerTest, DefaultClockIsPosixSeconds) {
  Scrambler scrambler;
  const auto before = static_cast<std::int64_t>(std::time(nullptr));
  const std::u16string literal = scrambler.eU(u"");
  const auto after = static_cast<std::int64_t>(std::time(nullptr));
  bool matched = false;
  for (std::int64_t t = before; t <= after; ++t) {
    const auto seed16 = static_cast<std::uint32_t>((t * 41) & 0xFFFF);
    const char16_t digits[] = u"0123456789ABCDEF";
    const std::u16string expected = {
        digits[seed16 >> 12], digits[(seed16 >> 8) & 15],
        digits[(seed16 >> 4) & 15], digits[seed16 & 15]};
    matched = matched || literal == expected;
  }
  EXPECT_TRUE(matched) << "seed digits do not match T*41 for T in ["
                       << before << ", " << after << "]";
}

}  // namespace
}  // namespace textresgen
