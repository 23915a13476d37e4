#ifndef TEXTRESGEN_TESTS_WINDOWS_WINDOWS_TOOLS_H_
#define TEXTRESGEN_TESTS_WINDOWS_WINDOWS_TOOLS_H_

#include <filesystem>
#include <string>

#include "tests/support/temp_dir.h"

namespace textresgen::support {

/// Why the Windows checks cannot run on this machine (the MinGW-w64
/// compiler or Wine is missing), or an empty string when they can.
std::string MissingWindowsTools();

/// `command` (a Windows program and its arguments, quoted for the shell)
/// run under Wine in `dir`, in the Wine prefix that the tests share.
RunResult RunUnderWine(const std::filesystem::path& dir,
                       const std::string& command);

/// The MinGW-w64 C++ compiler, quoted for the shell.
std::string MinGwCompiler();

}  // namespace textresgen::support

#endif  // TEXTRESGEN_TESTS_WINDOWS_WINDOWS_TOOLS_H_
