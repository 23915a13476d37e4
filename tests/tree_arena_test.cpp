#include "generator/tree_arena.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "generator/resource_node.h"
#include "generator/resource_reader.h"

namespace textresgen {
namespace {

TEST(TreeArenaTest, PiecesAreAlignedAndDisjoint) {
  TreeArena arena;
  // Sizes and alignments that move the next free byte off every boundary,
  // plus pieces far larger than the first block.
  const std::pair<std::size_t, std::size_t> requests[] = {
      {1, 1}, {3, 2}, {8, 8}, {1, 16}, {24, 8}, {5, 64}, {3 << 20, 8},
      {1, 4096}, {100 << 20, 16}, {2, 2}, {40, 8}};
  std::vector<std::pair<std::uintptr_t, std::size_t>> pieces;
  for (int round = 0; round < 200; ++round) {
    for (const auto& [bytes, alignment] : requests) {
      if (bytes > (1u << 20) && round > 0) continue;
      void* piece = arena.allocate(bytes, alignment);
      const auto address = reinterpret_cast<std::uintptr_t>(piece);
      EXPECT_EQ(address % alignment, 0u) << bytes << " " << alignment;
      std::memset(piece, 0xA5, bytes);  // must be writable throughout
      pieces.emplace_back(address, bytes);
    }
  }
  std::sort(pieces.begin(), pieces.end());
  for (std::size_t i = 1; i < pieces.size(); ++i) {
    EXPECT_LE(pieces[i - 1].first + pieces[i - 1].second, pieces[i].first);
  }
}

TEST(TreeArenaTest, EveryLevelOfATreeUsesTheArena) {
  TreeArena arena;
  ResourceNode root(&arena);
  for (const char16_t* line : {u"a.b.c=deep text beyond the short form",
                               u"a.x=second", u"top=text"}) {
    AddResourceLine(line, root);
  }
  const ResourceNode& a = root.children.at(u"a");
  const ResourceNode& b = a.children.at(u"b");
  EXPECT_EQ(a.children.get_allocator().resource(), &arena);
  EXPECT_EQ(b.texts.get_allocator().resource(), &arena);
  EXPECT_EQ(b.texts.begin()->first.get_allocator().resource(), &arena);
  EXPECT_EQ(b.texts.at(u"c"), u"deep text beyond the short form");
  EXPECT_EQ(a.texts.at(u"x"), u"second");
  EXPECT_EQ(root.texts.at(u"top"), u"text");
}

}  // namespace
}  // namespace textresgen
