#include "textfile/utf8.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "textfile/wide_text_file.h"

namespace textresgen {
namespace {

struct ToUtf8Case {
  const char* name;
  std::u16string units;
  std::string expected;
};

TEST(Utf16ToUtf8Test, EncodesPairsAndLoneSurrogates) {
  const ToUtf8Case cases[] = {
      {"empty", u"", ""},
      {"ASCII", u"menu.file=Open", "menu.file=Open"},
      {"NUL", std::u16string(u"a\0b", 3), std::string("a\0b", 3)},
      {"two bytes", u"\u00E9\u07FF", "\xC3\xA9\xDF\xBF"},
      {"Japanese", u"\u958B\u304F", "\xE9\x96\x8B\xE3\x81\x8F"},
      {"U+FFFF", u"\uFFFF", "\xEF\xBF\xBF"},
      {"pair", u"\U0001F600", "\xF0\x9F\x98\x80"},
      {"highest pair", u"\U0010FFFF", "\xF4\x8F\xBF\xBF"},
      {"lone high", {0xD800}, "\xED\xA0\x80"},
      {"lone low", {0xDC00}, "\xED\xB0\x80"},
      {"high then ASCII", {0xDBFF, u'a'}, std::string("\xED\xAF\xBF") + "a"},
      {"low before high", {0xDC00, 0xD800}, "\xED\xB0\x80\xED\xA0\x80"},
      {"high at the end after a pair",
       {0xD83D, 0xDE00, 0xD83D},
       "\xF0\x9F\x98\x80\xED\xA0\xBD"},
  };
  for (const ToUtf8Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Utf16ToUtf8(c.units), c.expected);
  }
}

struct ToUtf16Case {
  const char* name;
  std::string bytes;
  std::u16string expected;
};

constexpr char16_t kBad = 0xFFFD;

// Malformed input follows the "maximal subpart" practice: each maximal
// prefix of a valid sequence, or else each single byte, is one U+FFFD.
const std::vector<ToUtf16Case>& Utf8Cases() {
  static const std::vector<ToUtf16Case> cases = {
      {"ASCII", "a=b", u"a=b"},
      {"two bytes", "\xC3\xA9", u"\u00E9"},
      {"lowest three bytes", "\xE0\xA0\x80", u"\u0800"},
      {"below surrogates", "\xED\x9F\xBF", u"\uD7FF"},
      {"above surrogates", "\xEE\x80\x80", u"\uE000"},
      {"U+FFFF", "\xEF\xBF\xBF", u"\uFFFF"},
      {"lowest four bytes", "\xF0\x90\x80\x80", u"\U00010000"},
      {"highest four bytes", "\xF4\x8F\xBF\xBF", u"\U0010FFFF"},
      {"lone continuation", "\x80", {kBad}},
      {"continuations",
       "a\x80\xBF"
       "b",
       {u'a', kBad, kBad, u'b'}},
      {"C0 overlong", "\xC0\xAF", {kBad, kBad}},
      {"C1 overlong", "\xC1\xBF", {kBad, kBad}},
      {"E0 overlong", "\xE0\x80\xAF", {kBad, kBad, kBad}},
      {"F0 overlong", "\xF0\x8F\xBF\xBF", {kBad, kBad, kBad, kBad}},
      {"encoded surrogate", "\xED\xA0\x80", {kBad, kBad, kBad}},
      {"encoded surrogate pair",
       "\xED\xA0\xBD\xED\xB8\x80",
       {kBad, kBad, kBad, kBad, kBad, kBad}},
      {"above U+10FFFF", "\xF4\x90\x80\x80", {kBad, kBad, kBad, kBad}},
      {"F5 lead", "\xF5\x80\x80\x80", {kBad, kBad, kBad, kBad}},
      {"FE and FF", "\xFE\xFF", {kBad, kBad}},
      {"two of three bytes then ASCII",
       std::string("\xE3\x81") + "a",
       {kBad, u'a'}},
      {"three of four bytes then ASCII",
       "\xF0\x9F\x98"
       "a",
       {kBad, u'a'}},
      {"lead then lead", "\xE3\xE3\x81\x82", {kBad, u'\u3042'}},
      {"cut at the end, two of three", "a\xE3\x81", {u'a', kBad}},
      {"cut at the end, three of four", "\xF0\x9F\x98", {kBad}},
      {"cut at the end, lead only", "\xC3", {kBad}},
      {"Unicode example, mixed",
       "\x61\xF1\x80\x80\xE1\x80\xC2\x62\x80\x63\x80\xBF\x64",
       {u'a', kBad, kBad, kBad, u'b', kBad, u'c', kBad, kBad, u'd'}},
      {"Unicode example, non-shortest forms",
       "\xC0\xAF\xE0\x80\xBF\xF0\x81\x82\x41",
       {kBad, kBad, kBad, kBad, kBad, kBad, kBad, kBad, u'A'}},
      {"Unicode example, surrogates",
       "\xED\xA0\x80\xED\xBF\xBF\xED\xAF\x41",
       {kBad, kBad, kBad, kBad, kBad, kBad, kBad, kBad, u'A'}},
      {"Unicode example, out of range",
       "\xF4\x91\x92\x93\xFF\x41\x80\xBF\x42",
       {kBad, kBad, kBad, kBad, kBad, u'A', kBad, kBad, u'B'}},
      {"Unicode example, truncated",
       "\xE1\x80\xE2\xF0\x91\x92\xF1\xBF\x41",
       {kBad, kBad, kBad, kBad, u'A'}},
  };
  return cases;
}

TEST(Utf8ToUtf16Test, ReplacesMaximalInvalidSubparts) {
  for (const ToUtf16Case& c : Utf8Cases()) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Utf8ToUtf16(c.bytes), c.expected);
  }
}

// The reading stream decodes UTF-8 after its mark by the same rules.
TEST(Utf8ToUtf16Test, ReadingStreamDecodesAlike) {
  for (const ToUtf16Case& c : Utf8Cases()) {
    SCOPED_TRACE(c.name);
    const std::string bytes = "\xEF\xBB\xBF" + c.bytes;
    WideTextFile file;
    ASSERT_EQ(file.OpenReadMemory(bytes), 0);
    char16_t line[64];
    std::size_t stored = 0;
    ASSERT_TRUE(file.ReadLine(line, 64, &stored));
    EXPECT_EQ(std::u16string(line, stored), c.expected);
    EXPECT_FALSE(file.ReadLine(line, 64));
    EXPECT_FALSE(file.read_failed());
  }
}

TEST(Utf8ToUtf16Test, RoundTripsWellFormedText) {
  const std::u16string text = u"key.\u3042=\u00E9\U0001F600\uFFFF\u0800z";
  EXPECT_EQ(Utf8ToUtf16(Utf16ToUtf8(text)), text);
}

}  // namespace
}  // namespace textresgen
