// The whole generation in memory, on any resource bytes: reading, the
// source and the header. The source must have exactly the shape of the
// tree's walk, and every literal in it must decode, through the shipped
// decoders, to the path and text that the tree holds; the header must be
// the struct of the tree, byte for byte.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "fuzz/expected_text.h"
#include "fuzz/fuzz_check.h"
#include "generator/resource_node.h"
#include "generator/resource_reader.h"
#include "scramble/scrambler.h"
#include "textfile/utf8.h"
#include "textfile/wide_text_file.h"

// The decoders, as every generated source includes them. The file ends by
// turning optimisation off for the giant InitString that follows it in a
// generated source; the checks here want it back on.
#include "runtime/d_func.cpp"
#if defined(__clang__)
#pragma clang optimize on
#endif

namespace textresgen {
namespace {

using Entry = std::pair<std::u16string, std::u16string>;  // path, text

// Not a multiple of 256, so the seeds are not all zero.
std::int64_t FixedClock() { return 1700000123; }

// The walk of both emitters: texts first, then children, in name order.
void CollectEntries(const ResourceNode& node, const std::u16string& prefix,
                    std::vector<Entry>* entries) {
  for (const auto& [name, text] : node.texts) {
    entries->emplace_back(prefix + std::u16string(name), text);
  }
  for (const auto& [name, child] : node.children) {
    CollectEntries(child, prefix + std::u16string(name) + u".", entries);
  }
}

// The narrow key under which the module's table holds `path`.
std::string TableKey(const std::u16string& path) {
  for (char16_t unit : path) {
    if (unit > 0xFF) return Utf16ToUtf8(path);
  }
  return std::string(path.begin(), path.end());
}

// The units of a written file: FF FE, then pairs low byte first.
std::u16string FileUnits(const std::string& bytes) {
  FUZZ_CHECK(bytes.size() >= 2 && bytes.size() % 2 == 0);
  FUZZ_CHECK(bytes.substr(0, 2) == "\xFF\xFE");
  std::u16string units;
  for (std::size_t i = 2; i < bytes.size(); i += 2) {
    units.push_back(static_cast<char16_t>(
        static_cast<unsigned char>(bytes[i]) |
        static_cast<unsigned char>(bytes[i + 1]) << 8));
  }
  return units;
}

// Text as the file layer writes it: every LF as CR LF.
std::u16string OnDisk(std::u16string_view text) {
  std::u16string units;
  for (char16_t unit : text) {
    if (unit == u'\n') units.push_back(u'\r');
    units.push_back(unit);
  }
  return units;
}

class SourceParser {
 public:
  explicit SourceParser(std::u16string units) : units_(std::move(units)) {}

  void Expect(std::u16string_view text) {
    const std::u16string expected = OnDisk(text);
    FUZZ_CHECK(units_.compare(position_, expected.size(), expected) == 0);
    position_ += expected.size();
  }

  // `count` upper-case hexadecimal digits, as a narrow string.
  std::string Digits(std::size_t count) {
    FUZZ_CHECK(position_ + count <= units_.size());
    std::string digits;
    for (std::size_t i = 0; i < count; ++i) {
      const char16_t unit = units_[position_ + i];
      FUZZ_CHECK((unit >= u'0' && unit <= u'9') || (unit >= u'A' && unit <= u'F'));
      digits.push_back(static_cast<char>(unit));
    }
    position_ += count;
    return digits;
  }

  bool AtEnd() const { return position_ == units_.size(); }

 private:
  std::u16string units_;
  std::size_t position_ = 0;
};

void CheckSource(const std::string& bytes, const std::vector<Entry>& entries) {
  SourceParser source(FileUnits(bytes));
  source.Expect(
      u"#include \"TextResource.h\"\n\n"
      u"#include \"d_func.cpp\"\n"
      u"using namespace std;\n"
      u"static map<string, wstring> table;\n"
      u"static const wchar_t* Get(const string& s) { return table[s].c_str(); }\n"
      u"extern \"C\" __declspec(dllexport) void InitString(TextResource& t)\n"
      u"{\n"
      u"\tt.Get = Get;\n");
  for (const auto& [path, text] : entries) {
    const std::string key = TableKey(path);
    source.Expect(u"\ttable[dA(\"");
    const std::string a_literal = source.Digits(2 + 2 * key.size());
    source.Expect(u"\")] = t.");
    source.Expect(path);
    source.Expect(u" = dU(L\"");
    const std::string u_digits = source.Digits(4 + 4 * text.size());
    source.Expect(u"\");\n");

    FUZZ_CHECK(dA(a_literal.c_str()) == key);
    const std::wstring u_literal(u_digits.begin(), u_digits.end());
    FUZZ_CHECK(dU(u_literal.c_str()) == Wide(text));
  }
  source.Expect(u"}\n");
  FUZZ_CHECK(source.AtEnd());
}

void AppendHeaderStruct(const ResourceNode& node, int depth,
                        const std::pmr::u16string* name, std::u16string* out) {
  const std::u16string indent(static_cast<std::size_t>(depth), u'\t');
  if (name == nullptr) {
    *out += u"#ifndef _TextResource_\n#define _TextResource_\n\n"
            u"#include <string>\n#include <map>\n\nstruct TextResource\n";
  } else {
    *out += u"\n" + indent + u"struct _" + std::u16string(*name) + u"\n";
  }
  *out += indent + u"{\n";
  if (name == nullptr) {
    *out += u"\ttypedef const wchar_t* S;\n"
            u"\tS (*Get)(const std::string& s);\n"
            u"\tS operator[](const std::string& s) const { return Get(s); }\n"
            u"\n";
  }
  for (const auto& [text_name, text] : node.texts) {
    *out += indent + u"\tS " + std::u16string(text_name) + u";\n";
  }
  for (const auto& [child_name, child] : node.children) {
    AppendHeaderStruct(child, depth + 1, &child_name, out);
  }
  *out += indent;
  *out += name == nullptr ? u"};\n\n#endif\n" : u"} " + std::u16string(*name) + u";\n";
}

void CheckHeader(const std::string& bytes, const ResourceNode& root) {
  std::u16string expected;
  AppendHeaderStruct(root, 0, nullptr, &expected);
  FUZZ_CHECK(FileUnits(bytes) == OnDisk(expected));
}

}  // namespace
}  // namespace textresgen

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  using namespace textresgen;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  WideTextFile input;
  if (input.OpenReadMemory(bytes) != 0) return 0;  // FE FF: refused
  ResourceNode root;
  FUZZ_CHECK(ReadResource(input, root));
  input.Close();

  Scrambler scrambler(&FixedClock);
  std::string source_bytes;
  WideTextFile source;
  source.OpenWriteMemory(&source_bytes);
  source.Print(u"#include \"TextResource.h\"\n\n");
  root.WriteSource(source, scrambler, true, u"");
  FUZZ_CHECK(source.Close() == 0);

  std::string header_bytes;
  WideTextFile header;
  header.OpenWriteMemory(&header_bytes);
  root.WriteHeader(header, 0, nullptr, true);
  FUZZ_CHECK(header.Close() == 0);

  std::vector<Entry> entries;
  CollectEntries(root, u"", &entries);
  CheckSource(source_bytes, entries);
  CheckHeader(header_bytes, root);
  return 0;
}
