#include "generator/resource_node.h"

namespace textresgen {

ResourceNode& ResourceNode::Child(std::u16string_view name) {
  auto found = children.find(name);
  if (found == children.end()) {
    found = children.emplace(std::u16string(name), ResourceNode()).first;
  }
  return found->second;
}

std::u16string& ResourceNode::Text(std::u16string_view name) {
  auto found = texts.find(name);
  if (found == texts.end()) {
    found = texts.emplace(std::u16string(name), std::u16string()).first;
  }
  return found->second;
}

}  // namespace textresgen
