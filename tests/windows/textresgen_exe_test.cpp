// textresgen cross-built for Windows and run under Wine, next to the native
// build on the same input: the same exit status and console bytes, the same
// header byte for byte, and a source that differs only inside the literals,
// whose keys and texts decode to the same. This covers the Windows file
// layer: binary mode, sharing modes, 16-bit strings.

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "tests/e2e/decoded_source.h"
#include "tests/support/generated_file.h"
#include "tests/support/temp_dir.h"
#include "tests/windows/windows_tools.h"

namespace textresgen {
namespace {

namespace fs = std::filesystem;
using support::ReadBytes;
using support::TempDir;
using support::WriteBytes;

struct Case {
  std::string name;
  std::optional<std::string> input;  ///< TextResource.txt; none: no such file
  std::string folder;  ///< a folder created under this name first, if any
  int exit_status;     ///< what both builds must end with
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

std::u16string LongText() {
  std::u16string text;
  while (text.size() < 20000) text += u"長い行 \U0001F600 x=y ";
  text.resize(20000);
  return text;
}

std::vector<Case> Cases() {
  const std::string small = support::ResourceFileBytes({{u"a", u"x"}});
  return {
      {"Example",
       ReadBytes(fs::path(TEXTRESGEN_EXAMPLE_DIR) / "TextResource.txt"), "", 0},
      {"JapaneseSurrogatesAndALongLine",
       support::ResourceFileBytes({{u"menu.file.open", u"開く"},
                                   {u"メニュー.開く", u"日本語のキー"},
                                   {u"emoji", u"\U0001F600 and \U00020BB7"},
                                   {u"empty", u""},
                                   {u"long", LongText()}}),
       "", 0},
      {"LineEndsCrLfLfAndLoneCr",
       support::Utf16LeBytes(u"a=crlf\r\nb=lf\nc=lone\rd=after\r\n"), "", 0},
      {"EndOfDataMark", support::Utf16LeBytes(u"a=1\r\nb=2\u001Ac=3\r\n"), "",
       0},
      {"Utf8WithMark",
       "\xEF\xBB\xBF"
       "a=caf\xC3\xA9\r\nb.c=\xE6\x97\xA5\xF0\x9F\x98\x80\nbad="
       "\xFF\xE6\x97\r\n",
       "", 0},
      {"EmptyInput", "", "", 0},
      {"MissingInput", std::nullopt, "", 1},
      {"BigEndianMark", std::string("\xFE\xFF\0a\0=\0b", 8), "", 1},
      {"InputIsAFolder", std::nullopt, "TextResource.txt", 1},
      {"SourceIsAFolder", small, "TextResource.cpp", 1},
      {"HeaderIsAFolder", small, "TextResource.h", 1},
  };
}

void Prepare(const Case& c, const TempDir& dir) {
  if (!c.folder.empty()) fs::create_directory(dir / c.folder);
  if (c.input) WriteBytes(dir / "TextResource.txt", *c.input);
}

std::optional<std::string> FileIn(const TempDir& dir, const char* name) {
  if (!fs::is_regular_file(dir / name)) return std::nullopt;
  return ReadBytes(dir / name);
}

class WindowsTextresgenTest : public ::testing::TestWithParam<Case> {};

TEST_P(WindowsTextresgenTest, BehavesLikeTheNativeBuild) {
  const std::string missing = support::MissingWindowsTools();
  if (!missing.empty()) GTEST_SKIP() << missing;
  if (!fs::exists(TEXTRESGEN_WINDOWS_EXE)) {
    GTEST_SKIP() << TEXTRESGEN_WINDOWS_EXE
                 << " has not been built (the test windows.cross_build does)";
  }
  const Case& c = GetParam();

  TempDir native_dir, windows_dir;
  Prepare(c, native_dir);
  Prepare(c, windows_dir);
  const auto native =
      support::RunIn(native_dir.path(), support::ShellQuote(TEXTRESGEN_EXE));
  const auto windows = support::RunUnderWine(
      windows_dir.path(), support::ShellQuote(TEXTRESGEN_WINDOWS_EXE));

  EXPECT_EQ(native.exit_status, c.exit_status);
  EXPECT_EQ(windows.exit_status, native.exit_status);
  EXPECT_EQ(native.out, c.exit_status == 0 ? "" : "ERR!\r\n");
  EXPECT_EQ(windows.out, native.out);
  EXPECT_EQ(native.err, "");
  EXPECT_EQ(windows.err, "");

  const auto native_header = FileIn(native_dir, "TextResource.h");
  const auto windows_header = FileIn(windows_dir, "TextResource.h");
  EXPECT_EQ(windows_header, native_header);

  const auto native_source = FileIn(native_dir, "TextResource.cpp");
  const auto windows_source = FileIn(windows_dir, "TextResource.cpp");
  ASSERT_EQ(windows_source.has_value(), native_source.has_value());
  if (!native_source) return;
  const std::string native_text = support::DecodeGeneratedFile(*native_source);
  const std::string windows_text =
      support::DecodeGeneratedFile(*windows_source);
  EXPECT_EQ(support::MaskLiterals(windows_text),
            support::MaskLiterals(native_text));
  std::string native_error, windows_error;
  const auto native_lines =
      support::DecodeSourceLines(native_text, &native_error);
  const auto windows_lines =
      support::DecodeSourceLines(windows_text, &windows_error);
  EXPECT_EQ(native_error, "");
  EXPECT_EQ(windows_error, "");
  ASSERT_EQ(windows_lines.size(), native_lines.size());
  for (std::size_t i = 0; i < native_lines.size(); ++i) {
    SCOPED_TRACE(native_lines[i].member_path);
    EXPECT_EQ(windows_lines[i].member_path, native_lines[i].member_path);
    EXPECT_EQ(windows_lines[i].key, native_lines[i].key);
    EXPECT_EQ(windows_lines[i].text, native_lines[i].text);
  }
}

INSTANTIATE_TEST_SUITE_P(Inputs, WindowsTextresgenTest,
                         ::testing::ValuesIn(Cases()),
                         [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace textresgen
