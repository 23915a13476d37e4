#include <gtest/gtest.h>

#include <cerrno>
#include <cstdint>
#include <string>

#include "tests/support/temp_dir.h"
#include "textfile/platform.h"

namespace textresgen {
namespace {

using support::ReadBytes;
using support::TempDir;
using support::WriteBytes;

TEST(PlatformFileTest, WritesAndReadsBytes) {
  const TempDir dir;
  const std::u16string path = (dir / "bytes.bin").u16string();
  const std::uint8_t data[] = {0x00, 0x0A, 0x0D, 0x1A, 0xFF, 0x0D, 0x0A};
  PlatformFile writer;
  ASSERT_EQ(writer.OpenForWriting(path), 0);
  EXPECT_TRUE(writer.is_open());
  EXPECT_EQ(writer.Write(data, sizeof data), 0);
  EXPECT_EQ(writer.Close(), 0);
  EXPECT_FALSE(writer.is_open());
  // Binary on every platform: no line-end translation either way.
  EXPECT_EQ(ReadBytes(dir / "bytes.bin"),
            std::string(reinterpret_cast<const char*>(data), sizeof data));

  PlatformFile reader;
  ASSERT_EQ(reader.OpenForReading(path), 0);
  std::uint8_t back[16] = {};
  EXPECT_EQ(reader.Read(back, sizeof back),
            static_cast<std::ptrdiff_t>(sizeof data));
  EXPECT_EQ(std::string(back, back + sizeof data),
            std::string(data, data + sizeof data));
  EXPECT_EQ(reader.Read(back, sizeof back), 0);
  EXPECT_EQ(reader.Close(), 0);
}

TEST(PlatformFileTest, OpenForWritingEmptiesTheFile) {
  const TempDir dir;
  WriteBytes(dir / "old.h", "old content");
  PlatformFile file;
  ASSERT_EQ(file.OpenForWriting((dir / "old.h").u16string()), 0);
  EXPECT_EQ(file.Close(), 0);
  EXPECT_EQ(ReadBytes(dir / "old.h"), "");
}

TEST(PlatformFileTest, RefusesMissingFilesAndDirectories) {
  const TempDir dir;
  PlatformFile file;
  EXPECT_EQ(file.OpenForReading((dir / "missing.txt").u16string()), ENOENT);
  EXPECT_FALSE(file.is_open());
  EXPECT_EQ(file.OpenForWriting((dir / "no" / "out.h").u16string()), ENOENT);
  const int directory = file.OpenForReading(dir.path().u16string());
#ifdef _WIN32
  EXPECT_EQ(directory, EACCES);
#else
  EXPECT_EQ(directory, EISDIR);
#endif
  EXPECT_FALSE(file.is_open());
  EXPECT_NE(file.OpenForWriting(dir.path().u16string()), 0);
  EXPECT_FALSE(file.is_open());
}

TEST(ConsoleErrorLineTest, WritesErrCrLfToStandardOutputOnly) {
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  WriteConsoleErrorLine();
  const std::string err = testing::internal::GetCapturedStderr();
  const std::string out = testing::internal::GetCapturedStdout();
  EXPECT_EQ(out, "ERR!\r\n");
  EXPECT_EQ(err, "");
}

}  // namespace
}  // namespace textresgen
