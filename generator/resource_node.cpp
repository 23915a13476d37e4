#include "generator/resource_node.h"

namespace textresgen {
namespace {

// The entry under `name`, inserted with an empty value if absent. One
// descent of the tree: the place lower_bound finds is the hint for the
// insertion, where find and emplace would descend twice for a new name.
template <typename Map>
typename Map::mapped_type& FindOrInsert(Map& map, std::u16string_view name) {
  auto place = map.lower_bound(name);
  if (place == map.end() || place->first != name) {
    place = map.emplace_hint(place, std::piecewise_construct,
                             std::forward_as_tuple(name),
                             std::forward_as_tuple());
  }
  return place->second;
}

}  // namespace

ResourceNode& ResourceNode::Child(std::u16string_view name) {
  return FindOrInsert(children, name);
}

std::pmr::u16string& ResourceNode::Text(std::u16string_view name) {
  return FindOrInsert(texts, name);
}

}  // namespace textresgen
