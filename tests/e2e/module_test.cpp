// The product end to end: textresgen writes the files, a real compiler
// builds them with d_func.cpp into a shared library, a host program loads it,
// calls InitString and checks every member and lookup.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/e2e/decoded_source.h"
#include "tests/support/generated_file.h"
#include "tests/support/module_host.h"
#include "tests/support/temp_dir.h"
#include "textfile/utf8.h"

namespace textresgen {
namespace {

namespace fs = std::filesystem;
using support::ModuleEntry;
using support::ReadBytes;
using support::ShellQuote;
using support::TempDir;
using support::WriteBytes;

const std::vector<ModuleEntry> kEntries = {
    {u"title", u"Hello"},
    {u"menu.file.open", u"開く"},
    {u"menu.file.exit", u"Exit"},
    {u"menu.help", u"Help"},
    {u"latin1", u"caf\u00E9 \u00FF\u00A0"},
    {u"emoji", u"smile \U0001F600 and \U00020BB7"},
    {u"quotes", u"say \"hi\" \\n C:\\path\\ 'x' %s %d"},
    {u"empty", u""},
    {u"controls", u"tab\there\u0001\u007F"},
    {u"a.b.c.d.deep", u"deep"},
    {u"メニュー.開く", u"日本語のキー"},
    {u"caf\u00E9", u"key with a Latin-1 unit"},
    {u"_x", u"underscore"},
    {u"Upper", u"upper case"},
};

std::vector<std::pair<std::u16string, std::u16string>> AsLines(
    const std::vector<ModuleEntry>& entries) {
  std::vector<std::pair<std::u16string, std::u16string>> lines;
  for (const auto& entry : entries) lines.emplace_back(entry.path, entry.text);
  return lines;
}

// The generated files as UTF-8, for compilers that cannot read UTF-16.
void ConvertToUtf8(const fs::path& from, const fs::path& to) {
  for (const char* name : {"TextResource.cpp", "TextResource.h"}) {
    WriteBytes(to / name, support::DecodeGeneratedFile(ReadBytes(from / name)));
  }
}

bool HaveCompiler(const std::string& compiler) {
  TempDir dir;
  return support::RunIn(dir.path(), "command -v " + ShellQuote(compiler)).exit_status == 0;
}

class ModuleTest : public ::testing::TestWithParam<std::string> {};

TEST_P(ModuleTest, InitStringFillsEveryMemberAndLookup) {
  const std::string compiler = GetParam();
  if (!HaveCompiler(compiler)) GTEST_SKIP() << compiler << " is not installed";

  TempDir dir;
  WriteBytes(dir / "TextResource.txt", support::ResourceFileBytes(AsLines(kEntries)));
  const auto run = support::RunIn(dir.path(), ShellQuote(TEXTRESGEN_EXE));
  ASSERT_EQ(run.exit_status, 0) << run.out;

  fs::create_directory(dir / "utf8");
  ConvertToUtf8(dir.path(), dir / "utf8");
  WriteBytes(dir / "utf8" / "host.cpp", support::ModuleHostSource(kEntries));

  // -fvisibility=hidden: InitString must be exported by the generated line
  // itself, with no help from the compiler's defaults.
  const std::string cxx = ShellQuote(compiler) + " -std=c++17 -O1";
  const auto build_module = support::RunIn(
      dir / "utf8", cxx + " -shared -fPIC -fvisibility=hidden -I" +
                        ShellQuote(TEXTRESGEN_RUNTIME_DIR) +
                        " -o module.so TextResource.cpp");
  ASSERT_EQ(build_module.exit_status, 0) << build_module.err;
  const auto build_host =
      support::RunIn(dir / "utf8", cxx + " -o host host.cpp -ldl");
  ASSERT_EQ(build_host.exit_status, 0) << build_host.err;

  const auto host = support::RunIn(dir / "utf8", "./host ./module.so");
  EXPECT_EQ(host.exit_status, 0) << host.out;
  EXPECT_EQ(host.out, std::to_string(kEntries.size()) +
                          " entries checked, 0 mismatches\n");
}

INSTANTIATE_TEST_SUITE_P(Compilers, ModuleTest,
                         ::testing::Values(std::string(TEXTRESGEN_CXX), std::string("clang++")),
                         [](const auto& info) { return info.index == 0 ? std::string("BuildCompiler") : std::string("Clang"); });

TEST(GeneratedSourceTest, EveryLiteralDecodesToItsPathAndText) {
  TempDir dir;
  WriteBytes(dir / "TextResource.txt", support::ResourceFileBytes(AsLines(kEntries)));
  ASSERT_EQ(support::RunIn(dir.path(), ShellQuote(TEXTRESGEN_EXE)).exit_status, 0);
  std::string error;
  const auto lines = support::DecodeSourceLines(
      support::DecodeGeneratedFile(ReadBytes(dir / "TextResource.cpp")), &error);
  ASSERT_EQ(error, "");
  ASSERT_EQ(lines.size(), kEntries.size());
  for (const auto& entry : kEntries) {
    const std::string path = Utf16ToUtf8(entry.path);
    const auto line = std::find_if(lines.begin(), lines.end(), [&](const auto& l) {
      return l.member_path == path;
    });
    ASSERT_NE(line, lines.end()) << path;
    EXPECT_EQ(line->key, support::TableKey(entry.path)) << path;
    EXPECT_EQ(line->text, entry.text) << path;
  }
}

TEST(GeneratedSourceTest, BundledExampleMatchesItsGoldenHeader) {
  TempDir dir;
  fs::copy_file(fs::path(TEXTRESGEN_EXAMPLE_DIR) / "TextResource.txt",
                dir / "TextResource.txt");
  ASSERT_EQ(support::RunIn(dir.path(), ShellQuote(TEXTRESGEN_EXE)).exit_status, 0);
  const std::string header = support::DecodeGeneratedFile(ReadBytes(dir / "TextResource.h"));
  EXPECT_EQ(header, support::Golden("header/example.h", header));
}

}  // namespace
}  // namespace textresgen
