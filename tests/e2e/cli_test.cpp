// The built textresgen, run in temporary folders: exit status, console
// bytes and the files it leaves behind.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "tests/e2e/decoded_source.h"
#include "tests/support/generated_file.h"
#include "tests/support/temp_dir.h"

namespace textresgen {
namespace {

namespace fs = std::filesystem;
using support::ReadBytes;
using support::TempDir;
using support::WriteBytes;

constexpr const char* kErrorLine = "ERR!\r\n";

support::RunResult RunGenerator(const TempDir& dir) {
  return support::RunIn(dir.path(), support::ShellQuote(TEXTRESGEN_EXE));
}

void ExpectFailure(const support::RunResult& run) {
  EXPECT_EQ(run.exit_status, 1);
  EXPECT_EQ(run.out, kErrorLine);
  EXPECT_EQ(run.err, "");
}

TEST(CliTest, SucceedsSilentlyAndWritesBothFiles) {
  TempDir dir;
  WriteBytes(dir / "TextResource.txt",
             support::ResourceFileBytes({{u"title", u"Hello"}}));
  const auto run = RunGenerator(dir);
  EXPECT_EQ(run.exit_status, 0);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(ReadBytes(dir / "TextResource.h").substr(0, 2), "\xFF\xFE");
  EXPECT_EQ(ReadBytes(dir / "TextResource.cpp").substr(0, 2), "\xFF\xFE");
}

TEST(CliTest, MissingInputCreatesNothing) {
  TempDir dir;
  ExpectFailure(RunGenerator(dir));
  EXPECT_FALSE(fs::exists(dir / "TextResource.cpp"));
  EXPECT_FALSE(fs::exists(dir / "TextResource.h"));
}

TEST(CliTest, BigEndianInputIsRefused) {
  TempDir dir;
  WriteBytes(dir / "TextResource.txt", std::string("\xFE\xFF\0a\0=\0b", 8));
  ExpectFailure(RunGenerator(dir));
  EXPECT_FALSE(fs::exists(dir / "TextResource.cpp"));
  EXPECT_FALSE(fs::exists(dir / "TextResource.h"));
}

TEST(CliTest, InputThatIsAFolderIsRefused) {
  TempDir dir;
  fs::create_directory(dir / "TextResource.txt");
  ExpectFailure(RunGenerator(dir));
  EXPECT_FALSE(fs::exists(dir / "TextResource.cpp"));
}

TEST(CliTest, SourceThatCannotBeCreatedLeavesTheHeaderUntouched) {
  TempDir dir;
  WriteBytes(dir / "TextResource.txt", support::ResourceFileBytes({{u"a", u"x"}}));
  fs::create_directory(dir / "TextResource.cpp");
  ExpectFailure(RunGenerator(dir));
  EXPECT_FALSE(fs::exists(dir / "TextResource.h"));
}

TEST(CliTest, HeaderThatCannotBeCreatedLeavesACompleteSource) {
  TempDir dir;
  WriteBytes(dir / "TextResource.txt", support::ResourceFileBytes({{u"a", u"x"}}));
  fs::create_directory(dir / "TextResource.h");
  ExpectFailure(RunGenerator(dir));
  const std::string source =
      support::DecodeGeneratedFile(ReadBytes(dir / "TextResource.cpp"));
  std::string error;
  const auto lines = support::DecodeSourceLines(source, &error);
  EXPECT_EQ(error, "");
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].text, u"x");
}

TEST(CliTest, WriteErrorsAreReported) {
  for (const char* output : {"TextResource.cpp", "TextResource.h"}) {
    SCOPED_TRACE(output);
    TempDir dir;
    WriteBytes(dir / "TextResource.txt",
               support::ResourceFileBytes({{u"a", u"x"}}));
    fs::create_symlink("/dev/full", dir / output);
    ExpectFailure(RunGenerator(dir));
  }
}

TEST(CliTest, EmptyInputGivesTheFixedFramesOnly) {
  TempDir dir;
  WriteBytes(dir / "TextResource.txt", "");
  const auto run = RunGenerator(dir);
  EXPECT_EQ(run.exit_status, 0);
  const std::string source =
      support::DecodeGeneratedFile(ReadBytes(dir / "TextResource.cpp"));
  EXPECT_EQ(source,
            "#include \"TextResource.h\"\n\n"
            "#include \"d_func.cpp\"\n"
            "using namespace std;\n"
            "static map<string, wstring> table;\n"
            "static const wchar_t* Get(const string& s) { return table[s].c_str(); }\n"
            "extern \"C\" __declspec(dllexport) void InitString(TextResource& t)\n"
            "{\n"
            "\tt.Get = Get;\n"
            "}\n");
  EXPECT_EQ(ReadBytes(dir / "TextResource.h"),
            support::EncodeGeneratedFile(ReadBytes(
                fs::path(TEXTRESGEN_FIXTURE_DIR) / "header/empty_tree.h")));
}

TEST(CliTest, KeepsAVeryLongLineWhole) {
  TempDir dir;
  std::u16string text(20000, u'x');
  text[14997] = u'=';  // a cut at the buffer's capacity would make a bogus key
  WriteBytes(dir / "TextResource.txt", support::ResourceFileBytes({{u"long", text}}));
  ASSERT_EQ(RunGenerator(dir).exit_status, 0);
  std::string error;
  const auto lines = support::DecodeSourceLines(
      support::DecodeGeneratedFile(ReadBytes(dir / "TextResource.cpp")), &error);
  EXPECT_EQ(error, "");
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].member_path, "long");
  EXPECT_EQ(lines[0].text, text);
}

TEST(CliTest, ReplacesExistingOutputs) {
  TempDir dir;
  WriteBytes(dir / "TextResource.txt", support::ResourceFileBytes({{u"a", u"x"}}));
  WriteBytes(dir / "TextResource.h", std::string(100000, 'z'));
  WriteBytes(dir / "TextResource.cpp", std::string(100000, 'z'));
  ASSERT_EQ(RunGenerator(dir).exit_status, 0);
  EXPECT_EQ(ReadBytes(dir / "TextResource.h").find('z'), std::string::npos);
  EXPECT_EQ(ReadBytes(dir / "TextResource.cpp").find('z'), std::string::npos);
}

TEST(CliTest, TwoRunsDifferOnlyInsideTheLiterals) {
  TempDir first, second;
  const std::string input = support::ResourceFileBytes(
      {{u"title", u"Hello"}, {u"menu.file.open", u"開く"}, {u"menu.help", u"Help"}});
  WriteBytes(first / "TextResource.txt", input);
  WriteBytes(second / "TextResource.txt", input);
  ASSERT_EQ(RunGenerator(first).exit_status, 0);
  sleep(1);  // the seeds change with the time in whole seconds
  ASSERT_EQ(RunGenerator(second).exit_status, 0);
  const std::string a = support::DecodeGeneratedFile(ReadBytes(first / "TextResource.cpp"));
  const std::string b = support::DecodeGeneratedFile(ReadBytes(second / "TextResource.cpp"));
  EXPECT_NE(a, b);
  EXPECT_EQ(support::MaskLiterals(a), support::MaskLiterals(b));
  EXPECT_EQ(ReadBytes(first / "TextResource.h"), ReadBytes(second / "TextResource.h"));
}

}  // namespace
}  // namespace textresgen
