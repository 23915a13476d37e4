// Writes the body of TextResource.cpp: the preamble and InitString, one line
// per text in the same walk as the header (texts first, then children).

#include "generator/resource_node.h"
#include "generator/struct_name.h"
#include "scramble/scrambler.h"
#include "textfile/wide_text_file.h"

namespace textresgen {

void ResourceNode::WriteSource(WideTextFile& file, Scrambler& scrambler,
                               bool top, const std::u16string& prefix) const {
  if (top) {
    file.Print(u"#include \"d_func.cpp\"\n");
    file.Print(u"using namespace std;\n");
    file.Print(u"static map<string, wstring> table;\n");
    file.Print(u"static const wchar_t* Get(const string& s) { return table[s].c_str(); }\n");
    file.Print(u"extern \"C\" __declspec(dllexport) void InitString(%s& t)\n",
               {StructName()});
    file.Print(u"{\n");
    file.Print(u"\tt.Get = Get;\n");
  }

  std::u16string path;
  for (const auto& [name, text] : texts) {
    path.assign(prefix).append(name);
    // The text is scrambled before its key, so of the two draws for one
    // line the first seeds the text.
    const std::u16string& u_literal = scrambler.eU(text);
    const std::u16string& a_literal = scrambler.eA(path);
    file.Print(u"\ttable[dA(\"%s\")] = t.%s = dU(L\"%s\");\n",
               {a_literal.c_str(), path.c_str(), u_literal.c_str()});
  }
  for (const auto& [name, child] : children) {
    path.assign(prefix).append(name).push_back(u'.');
    child.WriteSource(file, scrambler, false, path);
  }

  if (top) file.Print(u"}\n");
}

}  // namespace textresgen
