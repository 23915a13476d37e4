#include "tests/windows/windows_tools.h"

namespace textresgen::support {

std::string MissingWindowsTools() {
  if (std::string(TEXTRESGEN_MINGW_CXX).empty()) {
    return "MinGW-w64 is not installed (x86_64-w64-mingw32-g++-posix, Debian "
           "package g++-mingw-w64-x86-64-posix)";
  }
  if (std::string(TEXTRESGEN_WINE).empty()) {
    return "Wine is not installed (wine64, Debian package wine64)";
  }
  return "";
}

RunResult RunUnderWine(const std::filesystem::path& dir,
                       const std::string& command) {
  // WINEDEBUG=-all: Wine's own diagnostics would mix with the program's
  // standard error, which must stay empty.
  return RunIn(
      dir, "WINEDEBUG=-all WINEPREFIX=" + ShellQuote(TEXTRESGEN_WINEPREFIX) +
               " " + ShellQuote(TEXTRESGEN_WINE) + " " + command);
}

std::string MinGwCompiler() { return ShellQuote(TEXTRESGEN_MINGW_CXX); }

}  // namespace textresgen::support
