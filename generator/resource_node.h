#ifndef TEXTRESGEN_GENERATOR_RESOURCE_NODE_H_
#define TEXTRESGEN_GENERATOR_RESOURCE_NODE_H_

#include <functional>
#include <map>
#include <memory_resource>
#include <string>
#include <string_view>

namespace textresgen {

class Scrambler;
class WideTextFile;

/// One struct level of the generated header: its nested levels and its
/// texts, each ordered by name. std::u16string compares char16_t, an
/// unsigned type, so the maps order names by unsigned code unit with a
/// proper prefix first; both emitters walk them in that order.
/// Every level, name and text takes its memory from the resource given to
/// the root (see TreeArena), or from the heap by default.
struct ResourceNode {
  using allocator_type = std::pmr::polymorphic_allocator<std::byte>;

  ResourceNode() = default;
  explicit ResourceNode(const allocator_type& allocator)
      : children(allocator), texts(allocator) {}

  /// Nested levels, keyed by the key-path part that names them.
  std::pmr::map<std::pmr::u16string, ResourceNode, std::less<>> children;
  /// Member name -> text, as read from the resource file.
  std::pmr::map<std::pmr::u16string, std::pmr::u16string, std::less<>> texts;

  /// The child stored under `name`, inserted empty first if absent. The
  /// reference stays valid while the tree exists.
  ResourceNode& Child(std::u16string_view name);

  /// The text stored under `name`, inserted empty first if absent.
  std::pmr::u16string& Text(std::u16string_view name);

  /// Writes the struct of this level to the header: the whole include-
  /// guarded file when `top`, else the nested struct `name` at `depth`.
  void WriteHeader(WideTextFile& file, int depth,
                   const std::pmr::u16string* name, bool top) const;

  /// Writes the InitString lines of this level's texts and then of its
  /// children to the source; `prefix` is this level's dotted path and ".".
  /// When `top`, also the preamble before them and the closing brace.
  void WriteSource(WideTextFile& file, Scrambler& scrambler, bool top,
                   const std::u16string& prefix) const;
};

}  // namespace textresgen

#endif  // TEXTRESGEN_GENERATOR_RESOURCE_NODE_H_
