#include <gtest/gtest.h>

#include <cstdint>
#include <regex>
#include <string>
#include <vector>

#include "generator/resource_node.h"
#include "generator/resource_reader.h"
#include "scramble/scrambler.h"
#include "tests/support/generated_file.h"
#include "textfile/wide_text_file.h"

namespace textresgen {
namespace {

template <std::int64_t kTime>
std::int64_t FixedClock() {
  return kTime;
}

// The body the source emitter writes after the driver's first line, as
// UTF-8 text with LF, for a fresh random sequence and the clock given.
std::string SourceText(const std::vector<std::u16string>& lines,
                       Scrambler::Clock clock, std::string* bytes = nullptr) {
  ResourceNode root;
  for (const auto& line : lines) AddResourceLine(line, root);
  Scrambler scrambler(clock);
  std::string written;
  WideTextFile file;
  file.OpenWriteMemory(&written);
  root.WriteSource(file, scrambler, true, u"");
  EXPECT_EQ(file.Close(), 0);
  if (bytes != nullptr) *bytes = written;
  return support::DecodeGeneratedFile(written);
}

const std::vector<std::u16string> kWorkedExample = {
    u"title=Hello", u"menu.file.open=Open", u"menu.file.exit=Exit",
    u"menu.help=Help"};

constexpr const char* kPreamble =
    "#include \"d_func.cpp\"\n"
    "using namespace std;\n"
    "static map<string, wstring> table;\n"
    "static const wchar_t* Get(const string& s) { return table[s].c_str(); }\n"
    "extern \"C\" __declspec(dllexport) void InitString(TextResource& t)\n"
    "{\n"
    "\tt.Get = Get;\n";

TEST(SourceEmitterTest, MatchesGoldenFilesForAFixedTime) {
  struct Case {
    const char* golden;
    std::vector<std::u16string> lines;
  };
  const Case cases[] = {
      {"worked_example.cpp", kWorkedExample},
      {"empty_names.cpp", {u"=x", u"a.=y", u"a..b=z"}},
      {"non_ascii.cpp", {u"メニュー.開く=開く", u"caf\u00E9=\U0001F600"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.golden);
    std::string bytes;
    const std::string text = SourceText(c.lines, FixedClock<1700000123>, &bytes);
    const std::string golden = support::Golden(std::string("source/") + c.golden, text);
    EXPECT_EQ(text, golden);
    EXPECT_EQ(bytes, support::EncodeGeneratedFile(golden));
  }
}

TEST(SourceEmitterTest, EmptyTreeIsThePreambleAndTheClosingBrace) {
  EXPECT_EQ(SourceText({}, FixedClock<1700000000>), std::string(kPreamble) + "}\n");
}

// Literal lengths and member paths of the worked example, whatever the
// time: one line per text, in the header's walk.
TEST(SourceEmitterTest, WritesOneLinePerTextWithLiteralsOfTheRightLength) {
  const std::string text = SourceText(kWorkedExample, FixedClock<1765400000>);
  ASSERT_EQ(text.rfind(kPreamble, 0), 0u);
  const std::regex line_form(
      "\ttable\\[dA\\(\"([0-9A-F]*)\"\\)\\] = t\\.([^ ]*) = dU\\(L\"([0-9A-F]*)\"\\);");
  struct Row {
    std::string path;
    std::size_t a_digits, u_digits;
  };
  const std::vector<Row> expected = {{"title", 12, 24},
                                     {"menu.help", 20, 20},
                                     {"menu.file.exit", 30, 20},
                                     {"menu.file.open", 30, 20}};
  std::vector<Row> rows;
  std::string body = text.substr(std::string(kPreamble).size());
  ASSERT_GE(body.size(), 2u);
  ASSERT_EQ(body.substr(body.size() - 2), "}\n");
  body.resize(body.size() - 2);
  for (std::size_t start = 0, end; start < body.size(); start = end + 1) {
    end = body.find('\n', start);
    const std::string line = body.substr(start, end - start);
    std::smatch match;
    ASSERT_TRUE(std::regex_match(line, match, line_form)) << line;
    rows.push_back({match[2], match[1].str().size(), match[3].str().size()});
  }
  ASSERT_EQ(rows.size(), expected.size());
  for (std::size_t i = 0; i < rows.size(); ++i) {
    EXPECT_EQ(rows[i].path, expected[i].path);
    EXPECT_EQ(rows[i].a_digits, expected[i].a_digits) << rows[i].path;
    EXPECT_EQ(rows[i].u_digits, expected[i].u_digits) << rows[i].path;
  }
}

TEST(SourceEmitterTest, DrawsTheTextSeedBeforeTheKeySeed) {
  // With T = 1 the seeds are the random values themselves: 41 for the U
  // literal of the first line, then 18467 (low byte 0x23) for its A literal.
  const std::string text = SourceText({u"k=v"}, FixedClock<1>);
  EXPECT_NE(text.find("\ttable[dA(\"23"), std::string::npos) << text;
  EXPECT_NE(text.find("dU(L\"0029"), std::string::npos) << text;
}

TEST(SourceEmitterTest, EmptyNameInTheRootGivesABareMemberPath) {
  const std::string text = SourceText({u"=x"}, FixedClock<1700000000>);
  const std::regex line_form("\ttable\\[dA\\(\"[0-9A-F]{2}\"\\)\\] = t\\. = dU\\(L\"[0-9A-F]{8}\"\\);\n");
  EXPECT_TRUE(std::regex_search(text, line_form)) << text;
}

TEST(SourceEmitterTest, SeedsOfZeroMakeLiteralsDependOnTheInputAlone) {
  // T a multiple of 65536 zeroes every seed, so equal texts and paths in
  // different runs give equal literals.
  const std::string first = SourceText({u"a=same"}, FixedClock<65536 * 7>);
  const std::string second = SourceText({u"a=same"}, FixedClock<65536 * 9>);
  EXPECT_EQ(first, second);
  EXPECT_NE(first.find("dA(\"00"), std::string::npos);
  EXPECT_NE(first.find("dU(L\"0000"), std::string::npos);
}

}  // namespace
}  // namespace textresgen
