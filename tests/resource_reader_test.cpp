#include "generator/resource_reader.h"

#include <gtest/gtest.h>

#include <string>

#include "generator/resource_node.h"
#include "tests/support/generated_file.h"
#include "textfile/utf8.h"
#include "textfile/wide_text_file.h"

namespace textresgen {
namespace {

// The tree as text, in the emitters' walk: [name]=[text] for texts, then
// [name]{...} for children, so empty names and blanks stay visible.
std::string Dump(const ResourceNode& node) {
  std::string out;
  for (const auto& [name, text] : node.texts) {
    out += "[" + Utf16ToUtf8(name) + "]=[" + Utf16ToUtf8(text) + "]";
  }
  for (const auto& [name, child] : node.children) {
    out += "[" + Utf16ToUtf8(name) + "]{" + Dump(child) + "}";
  }
  return out;
}

std::string DumpOfLines(std::initializer_list<std::u16string_view> lines) {
  ResourceNode root;
  for (auto line : lines) AddResourceLine(line, root);
  return Dump(root);
}

TEST(AddResourceLineTest, CutsAndWalksEachLine) {
  struct Case {
    const char* name;
    std::initializer_list<std::u16string_view> lines;
    const char* tree;
  };
  const Case cases[] = {
      {"nested", {u"menu.file.open=Open\n"}, "[menu]{[file]{[open]=[Open]}}"},
      {"last wins", {u"a.b.c=x\n", u"a.b.c=y\n"}, "[a]{[b]{[c]=[y]}}"},
      {"later = belong to text", {u"key=a=b\n"}, "[key]=[a=b]"},
      {"empty name in root", {u"=x\n"}, "[]=[x]"},
      {"empty middle part", {u"a..b=x\n"}, "[a]{[]{[b]=[x]}}"},
      {"trailing dot", {u"a.=x\n"}, "[a]{[]=[x]}"},
      {"leading dot", {u".a=x\n"}, "[]{[a]=[x]}"},
      {"blanks kept", {u"key = value\n"}, "[key ]=[ value]"},
      {"text and child of one name", {u"menu=x\n", u"menu.file=y\n"}, "[menu]=[x][menu]{[file]=[y]}"},
      {"no equals", {u"just text\n", u"\n", u""}, ""},
      {"no line end", {u"a=x"}, "[a]=[x]"},
      {"empty text", {u"a=\n"}, "[a]=[]"},
      {"nul ends the line", {std::u16string_view(u"a=x\0y\n", 6)}, "[a]=[x]"},
      {"equals only after nul", {std::u16string_view(u"a\0=x\n", 5)}, ""},
      {"cr ends the text", {u"a=x\ry\n"}, "[a]=[x]"},
      {"tab kept", {u"a=\tx\n"}, "[a]=[\tx]"},
      {"texts before children", {u"z.a=1\n", u"b=2\n", u"a.c=3\n"}, "[b]=[2][a]{[c]=[3]}[z]{[a]=[1]}"},
  };
  for (const Case& c : cases) EXPECT_EQ(DumpOfLines(c.lines), c.tree) << c.name;
}

std::string DumpOfFile(const std::u16string& units) {
  const std::string bytes = "\xFF\xFE" + support::Utf16LeBytes(units);
  WideTextFile input;
  EXPECT_EQ(input.OpenReadMemory(bytes), 0);
  ResourceNode root;
  EXPECT_TRUE(ReadResource(input, root));
  return Dump(root);
}

TEST(ReadResourceTest, ReadsEveryLine) {
  EXPECT_EQ(DumpOfFile(u"a=1\r\nb.c=2\nd=3"), "[a]=[1][d]=[3][b]{[c]=[2]}");
}

TEST(ReadResourceTest, KeepsLinesLongerThanTheBufferWhole) {
  // Around the buffer's capacity: one unit short of a full piece, a full
  // piece, a full piece with and without its LF, and far beyond.
  for (std::size_t length :
       {LINE_CAPACITY - 3, LINE_CAPACITY - 2, LINE_CAPACITY - 1, LINE_CAPACITY,
        2 * LINE_CAPACITY - 2, std::size_t{20000}, 3 * LINE_CAPACITY + 7}) {
    SCOPED_TRACE(::testing::Message() << "line of " << length << " units");
    const std::u16string text(length - 2, u'x');
    const std::string stored = "[k]=[" + std::string(length - 2, 'x') + "]";
    EXPECT_EQ(DumpOfFile(u"k=" + text + u"\r\nnext=y\r\n"), stored + "[next]=[y]");
    EXPECT_EQ(DumpOfFile(u"k=" + text + u"\n"), stored);
    // The last line of the file, without a line end.
    EXPECT_EQ(DumpOfFile(u"k=" + text), stored);
  }
}

TEST(ReadResourceTest, AnOverlongLineIsNotSplitIntoABogusEntry) {
  // The tail piece would hold its own "=" if the line were cut at the
  // buffer's capacity.
  const std::u16string text = std::u16string(LINE_CAPACITY, u'x') + u"=tail";
  EXPECT_EQ(DumpOfFile(u"k=" + text + u"\r\n"),
            "[k]=[" + std::string(LINE_CAPACITY, 'x') + "=tail]");
}

TEST(ReadResourceTest, NulInAnEarlyPieceEndsTheWholeLine) {
  std::u16string line = u"a=x";
  line += u'\0';
  line += std::u16string(LINE_CAPACITY, u'y') + u"=z\n";
  EXPECT_EQ(DumpOfFile(line), "[a]=[x]");
}

}  // namespace
}  // namespace textresgen
