#include "generator/resource_reader.h"

#include <string>
#include <vector>

#include "generator/resource_node.h"
#include "textfile/wide_text_file.h"

namespace textresgen {

namespace {

// The position of the first unit of `units` that is 0 or one of `a`, `b`,
// or the size when there is none: one pass where find would take one per
// unit looked for.
std::size_t FindEnd(std::u16string_view units, char16_t a, char16_t b) {
  std::size_t i = 0;
  while (i != units.size() && units[i] != 0 && units[i] != a && units[i] != b) ++i;
  return i;
}

}  // namespace

void AddResourceLine(std::u16string_view line, ResourceNode& root) {
  // A 0 unit ends the line, so it also ends a search for the '='.
  const std::size_t equals = FindEnd(line, u'=', u'=');
  if (equals == line.size() || line[equals] != u'=') return;

  std::u16string_view path = line.substr(0, equals);
  std::u16string_view text = line.substr(equals + 1);
  text = text.substr(0, FindEnd(text, u'\r', u'\n'));

  ResourceNode* node = &root;
  for (std::size_t dot; (dot = path.find(u'.')) != std::u16string_view::npos;
       path.remove_prefix(dot + 1)) {
    node = &node->Child(path.substr(0, dot));
  }
  node->Text(path).assign(text);
}

bool ReadResource(WideTextFile& input, ResourceNode& root) {
  std::vector<char16_t> buffer(LINE_CAPACITY, u'\0');
  std::u16string joined;  // holds the pieces of a line too long for buffer
  std::size_t units = 0;
  while (input.ReadLine(buffer.data(), buffer.size(), &units)) {
    const std::u16string_view piece(buffer.data(), units);
    const bool line_ends = units < LINE_CAPACITY - 1 || piece.back() == u'\n';
    if (joined.empty() && line_ends) {
      AddResourceLine(piece, root);
      continue;
    }
    joined.append(piece);
    if (line_ends) {
      AddResourceLine(joined, root);
      joined.clear();
    }
  }
  if (!joined.empty()) AddResourceLine(joined, root);
  return !input.read_failed();
}

}  // namespace textresgen
