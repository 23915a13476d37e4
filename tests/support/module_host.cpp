#include "tests/support/module_host.h"

#include <cstdio>

#include "textfile/utf8.h"

namespace textresgen::support {
namespace {

// A C++ narrow string literal of arbitrary bytes, with its length, so that
// embedded zeros and non-ASCII bytes survive any source encoding.
std::string BytesExpression(const std::string& bytes) {
  std::string literal = "std::string(\"";
  for (unsigned char byte : bytes) {
    char escaped[8];
    std::snprintf(escaped, sizeof escaped, "\\x%02X\" \"", byte);
    literal += escaped;
  }
  return literal + "\", " + std::to_string(bytes.size()) + ")";
}

std::string UnitArray(const std::u16string& units) {
  std::string array = "{";
  for (char16_t unit : units) array += std::to_string(unit) + ", ";
  return array + "0}";
}

constexpr const char* kHostPrologue = R"(#include "TextResource.h"

#include <cstdio>
#include <cwchar>
#include <string>
#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace {

// The expected text as wide characters of this platform: UTF-16 units where
// wchar_t has 16 bits, code points (pairs combined) where it has 32.
std::wstring Wide(const char16_t* units, std::size_t count) {
  std::wstring text;
  for (std::size_t i = 0; i < count; ++i) {
    unsigned long unit = units[i];
    if (WCHAR_MAX > 0xFFFF && unit >= 0xD800 && unit <= 0xDBFF &&
        i + 1 < count && units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF) {
      unit = 0x10000 + ((unit - 0xD800) << 10) + (units[++i] - 0xDC00);
    }
    text += static_cast<wchar_t>(unit);
  }
  return text;
}

int mismatches = 0;

void Check(const char* what, const wchar_t* got, const std::wstring& want) {
  if (got == nullptr || want != got) {
    ++mismatches;
    std::printf("mismatch: %s\n", what);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return 2;
#ifdef _WIN32
  HMODULE module = LoadLibraryA(argv[1]);
  void* init = module ? reinterpret_cast<void*>(GetProcAddress(module, "InitString")) : nullptr;
#else
  void* module = dlopen(argv[1], RTLD_NOW);
  void* init = module ? dlsym(module, "InitString") : nullptr;
#endif
  if (init == nullptr) {
    std::printf("InitString not found in %s\n", argv[1]);
    return 2;
  }
  TextResource t = {};
  reinterpret_cast<void (*)(TextResource&)>(init)(t);
)";

}  // namespace

std::string TableKey(const std::u16string& path) {
  for (char16_t unit : path) {
    if (unit > 0xFF) return Utf16ToUtf8(path);
  }
  return std::string(path.begin(), path.end());
}

std::string ModuleHostSource(const std::vector<ModuleEntry>& entries) {
  std::string source = kHostPrologue;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const ModuleEntry& entry = entries[i];
    const std::string index = std::to_string(i);
    const std::string member = Utf16ToUtf8(entry.path);
    const std::string want = "Wide(text" + index + ", " +
                             std::to_string(entry.text.size()) + ")";
    source += "  static const char16_t text" + index + "[] = " +
              UnitArray(entry.text) + ";\n";
    source += "  Check(\"member " + index + "\", t." + member + ", " + want +
              ");\n";
    source += "  Check(\"lookup " + index + "\", t[" +
              BytesExpression(TableKey(entry.path)) + "], " + want + ");\n";
  }
  source += "  Check(\"missing key\", t[\"no such key\"], L\"\");\n";
  source += "  std::printf(\"" + std::to_string(entries.size()) +
            " entries checked, %d mismatches\\n\", mismatches);\n";
  source += "  return mismatches == 0 ? 0 : 1;\n}\n";
  return source;
}

}  // namespace textresgen::support
