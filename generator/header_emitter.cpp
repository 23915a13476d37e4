// Writes TextResource.h: the include-guarded struct TextResource whose
// nested structs follow the children of the tree and whose S members follow
// its texts. Texts come before nested structs at every level.

#include <iterator>

#include "generator/resource_node.h"
#include "generator/struct_name.h"
#include "textfile/wide_text_file.h"

namespace textresgen {
namespace {

// Tabs go out a row at a time: a header of a million members would
// otherwise make several million one-tab calls.
void WriteIndent(WideTextFile& file, int depth) {
  static constexpr char16_t kTabs[] = u"\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t";
  constexpr int kRow = static_cast<int>(std::size(kTabs)) - 1;
  for (; depth > kRow; depth -= kRow) file.Print(kTabs);
  file.Print(kTabs + (kRow - depth));
}

}  // namespace

void ResourceNode::WriteHeader(WideTextFile& file, int depth,
                               const std::pmr::u16string* name,
                               bool top) const {
  if (top) {
    file.Print(u"#ifndef _%s_\n", {StructName()});
    file.Print(u"#define _%s_\n", {StructName()});
    file.Print(u"\n");
    file.Print(u"#include <string>\n");
    file.Print(u"#include <map>\n");
    file.Print(u"\n");
    file.Print(u"struct %s\n", {StructName()});
  } else {
    file.Print(u"\n");
    WriteIndent(file, depth);
    file.Print(u"struct _%s\n", {name->c_str()});
  }
  WriteIndent(file, depth);
  file.Print(u"{\n");

  if (top) {
    file.Print(u"\ttypedef const wchar_t* S;\n");
    file.Print(u"\tS (*Get)(const std::string& s);\n");
    file.Print(u"\tS operator[](const std::string& s) const { return Get(s); }\n");
    file.Print(u"\n");
  }
  for (const auto& [text_name, text] : texts) {
    WriteIndent(file, depth);
    file.Print(u"\tS %s;\n", {text_name.c_str()});
  }
  for (const auto& [child_name, child] : children) {
    child.WriteHeader(file, depth + 1, &child_name, false);
  }

  WriteIndent(file, depth);
  if (top) {
    file.Print(u"};\n");
    file.Print(u"\n");
    file.Print(u"#endif\n");
  } else {
    file.Print(u"} %s;\n", {name->c_str()});
  }
}

}  // namespace textresgen
