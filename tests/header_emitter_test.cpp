#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "generator/resource_node.h"
#include "generator/resource_reader.h"
#include "tests/support/generated_file.h"
#include "textfile/wide_text_file.h"

namespace textresgen {
namespace {

std::string HeaderBytes(const std::vector<std::u16string>& lines) {
  ResourceNode root;
  for (const auto& line : lines) AddResourceLine(line, root);
  std::string bytes;
  WideTextFile file;
  file.OpenWriteMemory(&bytes);
  root.WriteHeader(file, 0, nullptr, true);
  EXPECT_EQ(file.Close(), 0);
  return bytes;
}

// Whole generated headers against golden files in tests/fixtures/header/.
TEST(HeaderEmitterTest, MatchesGoldenFiles) {
  struct Case {
    const char* golden;
    std::vector<std::u16string> lines;
  };
  const Case cases[] = {
      {"worked_example.h", {u"title=Hello", u"menu.file.open=Open",
                            u"menu.file.exit=Exit", u"menu.help=Help"}},
      // The same lines in another order give the same header.
      {"worked_example.h", {u"menu.help=Help", u"menu.file.exit=Exit",
                            u"title=Hello", u"menu.file.open=Open"}},
      {"empty_tree.h", {}},
      {"only_children.h", {u"a.b.c=x"}},
      {"text_and_child_of_one_name.h", {u"menu=x", u"menu.file=y"}},
      {"empty_names.h", {u"=x", u"a.=y", u"a..b=z"}},
      {"deep_nesting.h", {u"a.b.c.d=x", u"a.b.e=y"}},
      {"non_ascii_names.h", {u"メニュー.開く=Open", u"B=1", u"a=2", u"_x=3"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.golden);
    const std::string bytes = HeaderBytes(c.lines);
    const std::string text = support::DecodeGeneratedFile(bytes);
    const std::string golden = support::Golden(std::string("header/") + c.golden, text);
    EXPECT_EQ(text, golden);
    EXPECT_EQ(bytes, support::EncodeGeneratedFile(golden));
  }
}

TEST(HeaderEmitterTest, HoldsNoText) {
  const std::string text =
      support::DecodeGeneratedFile(HeaderBytes({u"greeting=Hello there"}));
  EXPECT_EQ(text.find("Hello"), std::string::npos);
  EXPECT_NE(text.find("\tS greeting;\n"), std::string::npos);
}

}  // namespace
}  // namespace textresgen
