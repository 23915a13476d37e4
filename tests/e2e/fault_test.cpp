// The built textresgen under file-system faults and odd inputs: locks held
// by others, a folder it may not write, inputs of odd sizes and a line of
// 10 MB. Every failure must give "ERR!" CR LF on standard output, status 1
// and nothing on standard error; no file but the two outputs may change.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

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
constexpr const char* kSource = "TextResource.cpp";
constexpr const char* kHeader = "TextResource.h";

support::RunResult RunGenerator(const TempDir& dir,
                                const std::string& prefix = "") {
  return support::RunIn(dir.path(),
                        prefix + support::ShellQuote(TEXTRESGEN_EXE));
}

void ExpectFailure(const support::RunResult& run) {
  EXPECT_EQ(run.exit_status, 1);
  EXPECT_EQ(run.out, kErrorLine);
  EXPECT_EQ(run.err, "");
}

void ExpectSuccess(const support::RunResult& run) {
  EXPECT_EQ(run.exit_status, 0);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err, "");
}

// Name -> bytes of every file in `dir` except the two outputs.
std::map<std::string, std::string> OtherFiles(const TempDir& dir) {
  std::map<std::string, std::string> files;
  for (const auto& entry : fs::directory_iterator(dir.path())) {
    const std::string name = entry.path().filename().string();
    if (name == kSource || name == kHeader) continue;
    files[name] = ReadBytes(entry.path());
  }
  return files;
}

// A folder with a resource file and a bystander file that must survive.
void Populate(const TempDir& dir) {
  WriteBytes(dir / "TextResource.txt",
             support::ResourceFileBytes({{u"menu.help", u"Help"}, {u"title", u"開く"}}));
  WriteBytes(dir / "notes.txt", "not to be touched\n");
}

std::vector<support::DecodedLine> SourceLines(const TempDir& dir) {
  std::string error;
  auto lines = support::DecodeSourceLines(
      support::DecodeGeneratedFile(ReadBytes(dir / kSource)), &error);
  EXPECT_EQ(error, "");
  return lines;
}

// Holds flock() on a file for the life of the object, as another program
// reading or writing it would.
class HeldLock {
 public:
  HeldLock(const fs::path& file, int operation) {
    fd_ = open(file.c_str(), O_RDWR | O_CLOEXEC);
    EXPECT_GE(fd_, 0) << file;
    if (fd_ >= 0) {
      EXPECT_EQ(flock(fd_, operation | LOCK_NB), 0) << file;
    }
  }
  HeldLock(const HeldLock&) = delete;
  HeldLock& operator=(const HeldLock&) = delete;
  ~HeldLock() {
    if (fd_ >= 0) close(fd_);
  }

 private:
  int fd_ = -1;
};

TEST(FaultTest, InputHeldByAWriterIsRefused) {
  TempDir dir;
  Populate(dir);
  const auto before = OtherFiles(dir);
  {
    const HeldLock writer(dir / "TextResource.txt", LOCK_EX);
    ExpectFailure(RunGenerator(dir));
  }
  EXPECT_FALSE(fs::exists(dir / kSource));
  EXPECT_FALSE(fs::exists(dir / kHeader));
  EXPECT_EQ(OtherFiles(dir), before);
}

TEST(FaultTest, OutputHeldByAnotherKeepsItsContent) {
  // Either output may be held: by a reader (shared lock) or by a writer.
  struct Case {
    const char* held;
    int operation;
  };
  for (const Case& c : {Case{kSource, LOCK_SH}, Case{kSource, LOCK_EX},
                        Case{kHeader, LOCK_SH}, Case{kHeader, LOCK_EX}}) {
    SCOPED_TRACE(std::string(c.held) + (c.operation == LOCK_SH ? " shared" : " exclusive"));
    TempDir dir;
    Populate(dir);
    const std::string old_content = "held by someone else\r\n";
    WriteBytes(dir / c.held, old_content);
    const auto before = OtherFiles(dir);
    {
      const HeldLock other(dir / c.held, c.operation);
      ExpectFailure(RunGenerator(dir));
    }
    EXPECT_EQ(ReadBytes(dir / c.held), old_content);
    EXPECT_EQ(OtherFiles(dir), before);
    if (std::string(c.held) == kSource) {
      EXPECT_FALSE(fs::exists(dir / kHeader));
    } else {
      EXPECT_EQ(SourceLines(dir).size(), 2u);  // written before the header
    }
  }
}

// Root may write anywhere whatever the permission bits say, so as root the
// generator runs as nobody; the folder belongs to root and is 0555.
std::string UnprivilegedPrefix() {
  if (geteuid() != 0) return "";
  return "setpriv --reuid=65534 --regid=65534 --clear-groups ";
}

TEST(FaultTest, ReadOnlyFolderGivesNoOutputs) {
  if (geteuid() == 0 && system("setpriv --version >/dev/null 2>&1") != 0) {
    GTEST_SKIP() << "running as root without setpriv: cannot drop the right "
                    "to write into a read-only folder";
  }
  // Without outputs, and with read-only outputs already there.
  for (const bool outputs_exist : {false, true}) {
    SCOPED_TRACE(outputs_exist ? "outputs exist" : "no outputs");
    TempDir dir;
    Populate(dir);
    const std::string old_content = "from an earlier run\r\n";
    if (outputs_exist) {
      for (const char* output : {kSource, kHeader}) {
        WriteBytes(dir / output, old_content);
        fs::permissions(dir / output, fs::perms::owner_read |
                                          fs::perms::group_read |
                                          fs::perms::others_read);
      }
    }
    const auto before = OtherFiles(dir);
    fs::permissions(dir.path(), fs::perms::owner_read | fs::perms::owner_exec |
                                    fs::perms::group_read | fs::perms::group_exec |
                                    fs::perms::others_read | fs::perms::others_exec);
    ExpectFailure(RunGenerator(dir, UnprivilegedPrefix()));
    EXPECT_EQ(OtherFiles(dir), before);
    for (const char* output : {kSource, kHeader}) {
      if (outputs_exist) {
        EXPECT_EQ(ReadBytes(dir / output), old_content) << output;
      } else {
        EXPECT_FALSE(fs::exists(dir / output)) << output;
      }
    }
  }
}

TEST(FaultTest, OddSizedInputsAreReadWithTheLoneByteAsAUnit) {
  struct Case {
    const char* name;
    std::string bytes;
    std::size_t lines;
    std::string path;  // of the only line, when there is one
    std::u16string text;
  };
  const std::string mark = "\xFF\xFE";
  const Case cases[] = {
      // One byte "=": the unit U+003D, a text with an empty name.
      {"one byte", "=", 1, "", u""},
      {"one byte without =", "a", 0, "", u""},
      {"odd after the mark", mark + support::Utf16LeBytes(u"a=b") + "c", 1, "a", u"bc"},
      {"odd without a mark", support::Utf16LeBytes(u"k=v") + "!", 1, "k", u"v!"},
      {"lone byte after CR LF", mark + support::Utf16LeBytes(u"k=v\r\n") + "x", 1, "k", u"v"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    WriteBytes(dir / "TextResource.txt", c.bytes);
    WriteBytes(dir / "notes.txt", "not to be touched\n");
    const auto before = OtherFiles(dir);
    ExpectSuccess(RunGenerator(dir));
    EXPECT_EQ(OtherFiles(dir), before);
    const auto lines = SourceLines(dir);
    ASSERT_EQ(lines.size(), c.lines);
    if (c.lines == 1) {
      EXPECT_EQ(lines[0].member_path, c.path);
      EXPECT_EQ(lines[0].key, c.path);
      EXPECT_EQ(lines[0].text, c.text);
    }
  }
}

TEST(FaultTest, KeepsALineOfTenMegabytesWhole) {
  TempDir dir;
  // 5 Mi units: ASCII, "=" (only the first one cuts), kanji and a pair.
  std::u16string text;
  text.reserve(5u << 20);
  const std::u16string pattern = u"ab=c d開く\xD83D\xDE00 ";
  while (text.size() + pattern.size() <= (5u << 20)) text += pattern;
  text.resize(5u << 20, u'z');
  WriteBytes(dir / "TextResource.txt",
             support::ResourceFileBytes({{u"big", text}, {u"after", u"x"}}));
  ExpectSuccess(RunGenerator(dir));
  const auto lines = SourceLines(dir);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].member_path, "after");
  EXPECT_EQ(lines[0].text, u"x");
  EXPECT_EQ(lines[1].member_path, "big");
  EXPECT_EQ(lines[1].text, text);
}

}  // namespace
}  // namespace textresgen
