#include "generator/resource_node.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace textresgen {
namespace {

std::vector<std::u16string> TextNames(const ResourceNode& node) {
  std::vector<std::u16string> names;
  for (const auto& [name, text] : node.texts) names.emplace_back(name);
  return names;
}

TEST(ResourceNodeTest, OrdersNamesByUnsignedCodeUnit) {
  struct Case {
    const char* name;
    std::vector<std::u16string> inserted;
    std::vector<std::u16string> walked;
  };
  const Case cases[] = {
      {"ascii", {u"B", u"a", u"A", u"_x", u"Ab"}, {u"A", u"Ab", u"B", u"_x", u"a"}},
      {"prefix first", {u"ab", u"a", u""}, {u"", u"a", u"ab"}},
      {"digits first", {u"a", u"9", u"Z"}, {u"9", u"Z", u"a"}},
      // A surrogate pair sorts by its first unit, below U+E000 and above
      // U+D7FF: the order of units, not of code points.
      {"surrogates", {u"\uE000", u"\U0001F600", u"\uD7FF"}, {u"\uD7FF", u"\U0001F600", u"\uE000"}},
      {"above 0x7FFF", {u"\uFF21", u"\u8000", u"z"}, {u"z", u"\u8000", u"\uFF21"}},
  };
  for (const Case& c : cases) {
    ResourceNode node;
    for (const auto& name : c.inserted) node.Text(name) = u"x";
    EXPECT_EQ(TextNames(node), c.walked) << c.name;
  }
}

TEST(ResourceNodeTest, TextReplacesWithoutAddingAnEntry) {
  ResourceNode node;
  node.Text(u"a") = u"x";
  node.Text(u"a") = u"y";
  ASSERT_EQ(node.texts.size(), 1u);
  EXPECT_EQ(node.texts.at(u"a"), u"y");
}

TEST(ResourceNodeTest, ChildAndTextOfOneNameAreIndependent) {
  ResourceNode node;
  node.Text(u"menu") = u"x";
  node.Child(u"menu").Text(u"file") = u"y";
  EXPECT_EQ(node.texts.size(), 1u);
  EXPECT_EQ(node.children.size(), 1u);
  EXPECT_EQ(node.children.at(u"menu").texts.at(u"file"), u"y");
}

TEST(ResourceNodeTest, ChildReferenceSurvivesLaterInsertions) {
  ResourceNode root;
  ResourceNode& first = root.Child(u"m");
  for (int i = 0; i < 1000; ++i) {
    root.Child(u"n" + std::u16string(1, static_cast<char16_t>(u'A' + i % 26)) +
               std::u16string(i / 26, u'x'));
  }
  first.Text(u"t") = u"kept";
  EXPECT_EQ(&root.Child(u"m"), &first);
  EXPECT_EQ(root.Child(u"m").texts.at(u"t"), u"kept");
}

}  // namespace
}  // namespace textresgen
