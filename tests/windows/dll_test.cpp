// The generated module as a real Windows DLL: MinGW-w64 builds it and a
// host program, Wine runs the host, which loads the DLL with LoadLibrary,
// takes InitString with GetProcAddress and checks every member and lookup
// with the 16-bit wchar_t of Windows.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/generated_file.h"
#include "tests/support/module_host.h"
#include "tests/support/temp_dir.h"
#include "tests/windows/windows_tools.h"

namespace textresgen {
namespace {

namespace fs = std::filesystem;
using support::ModuleEntry;
using support::ReadBytes;
using support::RunIn;
using support::ShellQuote;
using support::TempDir;
using support::WriteBytes;

const std::vector<ModuleEntry> kEntries = {
    {u"ascii", u"Hello, world"},
    {u"latin1", u"caf\u00E9 \u00FF\u00A0\u00B2"},
    {u"menu.file.open", u"開く"},
    {u"japanese", u"こんにちは、世界"},
    {u"surrogates", u"smile \U0001F600 and \U00020BB7"},
    {u"empty", u""},
    {u"caf\u00E9", u"a key with a Latin-1 unit"},
    {u"メニュー.開く", u"a key beyond Latin-1, stored as UTF-8"},
};

TEST(WindowsDllTest, HostLoadsTheDllAndFindsEveryText) {
  const std::string missing = support::MissingWindowsTools();
  if (!missing.empty()) GTEST_SKIP() << missing;

  TempDir dir;
  std::vector<std::pair<std::u16string, std::u16string>> lines;
  for (const auto& entry : kEntries) lines.emplace_back(entry.path, entry.text);
  WriteBytes(dir / "TextResource.txt", support::ResourceFileBytes(lines));
  const auto generate = RunIn(dir.path(), ShellQuote(TEXTRESGEN_EXE));
  ASSERT_EQ(generate.exit_status, 0) << generate.out;

  // GCC reads UTF-8 sources only.
  for (const char* name : {"TextResource.cpp", "TextResource.h"}) {
    WriteBytes(dir / name, support::DecodeGeneratedFile(ReadBytes(dir / name)));
  }
  WriteBytes(dir / "host.cpp",
             support::ModuleHostSource(kEntries) +
                 "static_assert(sizeof(wchar_t) == 2, \"UTF-16 wchar_t\");\n");

  // -static: under Wine there are no MinGW runtime DLLs to find.
  const std::string cxx = support::MinGwCompiler() + " -std=c++17 -O1 -static";
  const auto build_dll = RunIn(
      dir.path(), cxx + " -shared -I" + ShellQuote(TEXTRESGEN_RUNTIME_DIR) +
                      " -o TextResource.dll TextResource.cpp");
  ASSERT_EQ(build_dll.exit_status, 0) << build_dll.err;
  const auto build_host = RunIn(dir.path(), cxx + " -o host.exe host.cpp");
  ASSERT_EQ(build_host.exit_status, 0) << build_host.err;

  const auto host =
      support::RunUnderWine(dir.path(), "host.exe TextResource.dll");
  EXPECT_EQ(host.exit_status, 0) << host.out << host.err;
  // The host writes in text mode: CR LF on Windows.
  EXPECT_EQ(host.out, std::to_string(kEntries.size()) +
                          " entries checked, 0 mismatches\r\n");
  EXPECT_EQ(host.err, "");
}

}  // namespace
}  // namespace textresgen
