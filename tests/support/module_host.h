#ifndef TEXTRESGEN_TESTS_SUPPORT_MODULE_HOST_H_
#define TEXTRESGEN_TESTS_SUPPORT_MODULE_HOST_H_

#include <string>
#include <vector>

namespace textresgen::support {

/// One entry of a resource file as the generated module must offer it.
struct ModuleEntry {
  std::u16string path;  ///< dotted key path, a valid member path
  std::u16string text;
};

/// The narrow key under which the module's table holds `path`: its units
/// as bytes when all are at most 0xFF, else its UTF-8 form.
std::string TableKey(const std::u16string& path);

/// C++ source of a host program for the module built from these entries.
/// It includes "TextResource.h", loads the module named by its first
/// argument (dlopen, or LoadLibrary on Windows), calls InitString, compares
/// every member and every t["key"] lookup with the expected text, and a
/// missing key with the empty text. It prints one line per mismatch, ends
/// with "<n> entries checked, <m> mismatches" and exits 0 only if m is 0.
std::string ModuleHostSource(const std::vector<ModuleEntry>& entries);

}  // namespace textresgen::support

#endif  // TEXTRESGEN_TESTS_SUPPORT_MODULE_HOST_H_
