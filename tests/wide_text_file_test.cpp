#include "textfile/wide_text_file.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/generated_file.h"
#include "tests/support/temp_dir.h"

#ifndef _WIN32
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <unistd.h>
#endif

namespace textresgen {
namespace {

using support::ReadBytes;
using support::TempDir;
using support::Utf16LeBytes;
using support::WriteBytes;
using Lines = std::vector<std::u16string>;

constexpr std::size_t kLineCapacity = 15000;
constexpr std::size_t kBlock = WideTextFile::kBufferBytes;

std::string Bytes(std::initializer_list<unsigned> values) {
  std::string bytes;
  for (unsigned value : values) bytes += static_cast<char>(value);
  return bytes;
}

const std::string kMark16 = "\xFF\xFE";
const std::string kMark8 = "\xEF\xBB\xBF";

std::u16string Units(std::initializer_list<char16_t> units) {
  return std::u16string(units);
}

// Every line up to the first "nothing", then checks that nothing stays
// nothing.
Lines ReadAll(WideTextFile& file, std::size_t capacity = kLineCapacity) {
  Lines lines;
  std::vector<char16_t> buffer(capacity + 1, 0x7777);
  std::size_t stored = 0;
  while (file.ReadLine(buffer.data(), capacity, &stored)) {
    EXPECT_LT(stored, capacity);
    EXPECT_EQ(buffer[stored], 0) << "missing terminator";
    lines.emplace_back(buffer.data(), stored);
    if (lines.size() > 100000) break;
  }
  EXPECT_FALSE(file.ReadLine(buffer.data(), capacity, &stored));
  return lines;
}

Lines ReadMemory(const std::string& bytes,
                 std::size_t capacity = kLineCapacity) {
  WideTextFile file;
  EXPECT_EQ(file.OpenReadMemory(bytes), 0);
  Lines lines = ReadAll(file, capacity);
  EXPECT_FALSE(file.read_failed());
  EXPECT_EQ(file.Close(), 0);
  return lines;
}

Lines ReadThroughFile(const std::string& bytes,
                      std::size_t capacity = kLineCapacity) {
  const TempDir dir;
  WriteBytes(dir / "in.txt", bytes);
  WideTextFile file;
  EXPECT_EQ(file.OpenRead((dir / "in.txt").u16string()), 0);
  Lines lines = ReadAll(file, capacity);
  EXPECT_FALSE(file.read_failed());
  EXPECT_EQ(file.Close(), 0);
  return lines;
}

struct ReadCase {
  const char* name;
  std::string bytes;
  Lines expected;
};

TEST(WideTextFileReadTest, DecodesMarksLineEndsAndSpecialUnits) {
  const ReadCase cases[] = {
      {"empty file", "", {}},
      {"mark FF FE only", kMark16, {}},
      {"mark EF BB BF only", kMark8, {}},
      {"no mark reads from byte 0", Utf16LeBytes(u"a=b"), {u"a=b"}},
      {"mark FF FE", kMark16 + Utf16LeBytes(u"a=b\r\n"), {u"a=b\n"}},
      {"second FF FE is U+FEFF",
       Bytes({0xFF, 0xFE, 0xFF, 0xFE, 0x61, 0x00}),
       {u"\uFEFFa"}},
      {"EF BB without BF is one unit", Bytes({0xEF, 0xBB}), {Units({0xBBEF})}},
      {"UTF-8 example",
       kMark8 + Bytes({0x61, 0x3D, 0xC3, 0xA9, 0x0D, 0x0A}),
       {u"a=\u00E9\n"}},
      {"one byte is a unit with high byte zero", "a", {u"a"}},
      {"one byte FE", Bytes({0xFE}), {Units({0x00FE})}},
      {"odd byte after mark", kMark16 + "a", {u"a"}},
      {"odd final byte after units",
       kMark16 + Utf16LeBytes(u"xy") + "z",
       {u"xyz"}},
      {"odd final byte CR stays",
       kMark16 + Utf16LeBytes(u"a") + "\r",
       {u"a\r"}},
      {"CR then odd final byte LF",
       kMark16 + Utf16LeBytes(u"a\r") + "\n",
       {u"a\n"}},
      {"odd final byte 1A ends data",
       kMark16 + Utf16LeBytes(u"a") + "\x1A",
       {u"a"}},
      {"CR LF", kMark16 + Utf16LeBytes(u"a\r\nb\r\n"), {u"a\n", u"b\n"}},
      {"LF alone", kMark16 + Utf16LeBytes(u"a\nb\n"), {u"a\n", u"b\n"}},
      {"lone CR stays", kMark16 + Utf16LeBytes(u"a\rb\n"), {u"a\rb\n"}},
      {"CR CR LF", kMark16 + Utf16LeBytes(u"a\r\r\n"), {u"a\r\n"}},
      {"final CR", kMark16 + Utf16LeBytes(u"a\r"), {u"a\r"}},
      {"LF CR", kMark16 + Utf16LeBytes(u"a\n\rb"), {u"a\n", u"\rb"}},
      {"empty lines",
       kMark16 + Utf16LeBytes(u"\r\n\n\r\n"),
       {u"\n", u"\n", u"\n"}},
      {"last line without line end",
       kMark16 + Utf16LeBytes(u"a\nb"),
       {u"a\n", u"b"}},
      {"1A mid-line ends everything",
       kMark16 + Utf16LeBytes(u"ab\u001Acd\r\nef\n"),
       {u"ab"}},
      {"1A at line start", kMark16 + Utf16LeBytes(u"a\n\u001Ab\n"), {u"a\n"}},
      {"CR before 1A stays", kMark16 + Utf16LeBytes(u"a\r\x1A\n"), {u"a\r"}},
      {"only whole units are special",
       kMark16 + Bytes({0x0D, 0x0A, 0x00, 0x1A, 0x0A, 0x0D, 0x00, 0x0A}),
       {Units({0x0A0D, 0x1A00, 0x0D0A, 0x0A00})}},
      {"NUL is stored like any unit",
       kMark16 + Utf16LeBytes(std::u16string(u"a\0b\n", 4)),
       {std::u16string(u"a\0b\n", 4)}},
      {"U+FFFF and lone surrogates pass",
       kMark16 + Utf16LeBytes(Units({0xFFFF, 0xDC00, 0xD800, 0x0A})),
       {Units({0xFFFF, 0xDC00, 0xD800, 0x0A})}},
      {"UTF-8 CR rules on bytes",
       kMark8 + "a\r\nb\rc\r\r\nd\r",
       {u"a\n", u"b\rc\r\n", u"d\r"}},
      {"UTF-8 1A ends data", kMark8 + "ab\x1A" + "cd\n", {u"ab"}},
      {"UTF-8 1A inside a sequence",
       kMark8 + Bytes({0x61, 0xE3, 0x81, 0x1A, 0x62}),
       {u"a\uFFFD"}},
      {"UTF-8 above U+FFFF is a pair",
       kMark8 + Bytes({0xF0, 0x9F, 0x98, 0x80, 0x0A}),
       {u"\U0001F600\n"}},
      {"UTF-8 sequence cut by the end of the file",
       kMark8 + Bytes({0x61, 0xE3, 0x81}),
       {u"a\uFFFD"}},
      {"UTF-8 mark then UTF-8 mark is U+FEFF",
       kMark8 + kMark8 + "a",
       {u"\uFEFFa"}},
      {"UTF-8 NUL",
       kMark8 + std::string("a\0b", 3),
       {std::u16string(u"a\0b", 3)}},
  };
  for (const ReadCase& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ReadMemory(c.bytes), c.expected);
    EXPECT_EQ(ReadThroughFile(c.bytes), c.expected);
  }
}

TEST(WideTextFileReadTest, RefusesBigEndianMark) {
  const TempDir dir;
  for (const std::string& bytes :
       {Bytes({0xFE, 0xFF}), Bytes({0xFE, 0xFF, 0x00, 0x61, 0x00, 0x0A})}) {
    WideTextFile memory;
    EXPECT_EQ(memory.OpenReadMemory(bytes), EINVAL);
    char16_t buffer[8] = {0x7777};
    EXPECT_FALSE(memory.ReadLine(buffer, 8));
    EXPECT_EQ(buffer[0], 0x7777);

    WriteBytes(dir / "be.txt", bytes);
    WideTextFile file;
    EXPECT_EQ(file.OpenRead((dir / "be.txt").u16string()), EINVAL);
    EXPECT_FALSE(file.ReadLine(buffer, 8));
    // Nothing stays open: the file can be claimed for writing at once.
    WideTextFile writer;
    EXPECT_EQ(writer.OpenWrite((dir / "be.txt").u16string()), 0);
    EXPECT_EQ(writer.Close(), 0);
  }
}

TEST(WideTextFileReadTest, MissingFileIsENOENT) {
  const TempDir dir;
  WideTextFile file;
  EXPECT_EQ(file.OpenRead((dir / "TextResource.txt").u16string()), ENOENT);
  EXPECT_EQ(file.OpenRead((dir / "no" / "TextResource.txt").u16string()),
            ENOENT);
  EXPECT_FALSE(std::filesystem::exists(dir / "TextResource.txt"));
}

TEST(WideTextFileReadTest, CapacityZeroAndOneReadNothing) {
  const std::string bytes = kMark16 + Utf16LeBytes(u"ab\n");
  WideTextFile file;
  ASSERT_EQ(file.OpenReadMemory(bytes), 0);
  char16_t buffer[4] = {0x7777, 0x7777, 0x7777, 0x7777};
  std::size_t stored = 99;
  EXPECT_FALSE(file.ReadLine(buffer, 0, &stored));
  EXPECT_EQ(buffer[0], 0x7777);
  EXPECT_TRUE(file.ReadLine(buffer, 1, &stored));
  EXPECT_EQ(buffer[0], 0);
  EXPECT_EQ(buffer[1], 0x7777);
  EXPECT_EQ(stored, 0u);
  // Neither call took a unit from the stream.
  EXPECT_EQ(ReadAll(file, 4), (Lines{u"ab\n"}));
  // Capacity 1 stores the 0 unit even when the input has ended.
  EXPECT_TRUE(file.ReadLine(buffer, 1));
  EXPECT_EQ(buffer[0], 0);
}

TEST(WideTextFileReadTest, EndOfInputLeavesBufferUntouched) {
  for (const std::string& bytes :
       {std::string(), kMark16, kMark16 + Utf16LeBytes(u"a\n"),
        kMark16 + Utf16LeBytes(u"a\n\u001Ab")}) {
    WideTextFile file;
    ASSERT_EQ(file.OpenReadMemory(bytes), 0);
    char16_t line[8];
    while (file.ReadLine(line, 8)) {
    }
    char16_t buffer[8] = {0x7777, 0x7777};
    EXPECT_FALSE(file.ReadLine(buffer, 8));
    EXPECT_EQ(buffer[0], 0x7777);
    EXPECT_EQ(buffer[1], 0x7777);
  }
}

struct CapacityCase {
  const char* name;
  std::string bytes;
  std::size_t capacity;
  Lines expected;
};

TEST(WideTextFileReadTest, LongLinesComeBackInPieces) {
  const std::u16string full(kLineCapacity - 1, u'x');
  const CapacityCase cases[] = {
      {"line of capacity-1 units and LF",
       kMark16 + Utf16LeBytes(full + u"\r\nz"),
       kLineCapacity,
       {full, u"\n", u"z"}},
      {"line of capacity units, no LF",
       kMark16 + Utf16LeBytes(full + u"y"),
       kLineCapacity,
       {full, u"y"}},
      {"capacity 2",
       kMark16 + Utf16LeBytes(u"ab\r\n\n"),
       2,
       {u"a", u"b", u"\n", u"\n"}},
      {"CR LF split by capacity still one LF",
       kMark16 + Utf16LeBytes(u"a\r\n"),
       2,
       {u"a", u"\n"}},
      {"surrogate pair split by capacity",
       kMark8 + "\xF0\x9F\x98\x80!",
       2,
       {Units({0xD83D}), Units({0xDE00}), u"!"}},
      {"surrogate pair fits",
       kMark8 + "a\xF0\x9F\x98\x80",
       4,
       {u"a\U0001F600"}},
  };
  for (const CapacityCase& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ReadMemory(c.bytes, c.capacity), c.expected);
  }
}

struct BoundaryTail {
  const char* name;
  std::string bytes;          // follows the run of 'a' that fills the block
  std::u16string first_tail;  // what follows the run in the first line
  Lines more;
};

// The run of 'a' is made so long that the tail starts at each offset from a
// few bytes before the end of the first internal block to just after it,
// for every start (marks of 0, 2 and 3 bytes). Nothing may depend on where
// the block ends.
void CheckAcrossBlockEnd(const std::string& mark, bool utf8,
                         const BoundaryTail& tail) {
  SCOPED_TRACE(tail.name);
  const std::size_t unit_bytes = utf8 ? 1 : 2;
  const std::size_t run_to_end = (kBlock - mark.size()) / unit_bytes;
  for (std::size_t run = run_to_end - 5; run <= run_to_end + 1; ++run) {
    SCOPED_TRACE("run of " + std::to_string(run));
    const std::u16string a(run, u'a');
    std::string bytes = mark;
    bytes += utf8 ? std::string(run, 'a') : Utf16LeBytes(a);
    bytes += tail.bytes;
    Lines expected{a + tail.first_tail};
    expected.insert(expected.end(), tail.more.begin(), tail.more.end());
    EXPECT_EQ(ReadMemory(bytes, 2 * kBlock), expected);
    EXPECT_EQ(ReadThroughFile(bytes, 2 * kBlock), expected);
  }
}

TEST(WideTextFileBoundaryTest, Utf16LookAheadIgnoresBlockEnd) {
  const BoundaryTail tails[] = {
      {"CR LF", Utf16LeBytes(u"\r\nb"), u"\n", {u"b"}},
      {"CR other", Utf16LeBytes(u"\rb"), u"\rb", {}},
      {"CR CR LF", Utf16LeBytes(u"\r\r\nb"), u"\r\n", {u"b"}},
      {"CR 1A", Utf16LeBytes(u"\r\x1A\n"), u"\r", {}},
      {"CR at end of file", Utf16LeBytes(u"\r"), u"\r", {}},
      {"1A", Utf16LeBytes(u"\u001Ab\n"), u"", {}},
      {"odd final byte", "z", u"z", {}},
  };
  for (const std::string& mark : {std::string(), kMark16}) {
    for (const BoundaryTail& tail : tails)
      CheckAcrossBlockEnd(mark, false, tail);
  }
}

TEST(WideTextFileBoundaryTest, Utf8SequencesAndCrLfIgnoreBlockEnd) {
  const BoundaryTail tails[] = {
      {"3-byte sequence", "\xE3\x81\x82\n", u"\u3042\n", {}},
      {"4-byte sequence", "\xF0\x9F\x98\x80\n", u"\U0001F600\n", {}},
      {"2-byte sequence", "\xC3\xA9", u"\u00E9", {}},
      {"CR LF", "\r\nb", u"\n", {u"b"}},
      {"CR other", "\rb", u"\rb", {}},
      {"sequence cut by the end", "\xF0\x9F\x98", u"\uFFFD", {}},
      {"sequence broken by ASCII",
       std::string("\xE3\x81") + "b",
       u"\uFFFDb",
       {}},
      {"sequence broken by 1A",
       std::string("\xE3\x81\x1A") + "b",
       u"\uFFFD",
       {}},
  };
  for (const BoundaryTail& tail : tails)
    CheckAcrossBlockEnd(kMark8, true, tail);
}

TEST(WideTextFileReadTest, LongFileThroughManyBlocks) {
  // Lines of varying length so that CR LF and multi-byte sequences land at
  // every alignment against the blocks.
  std::u16string text;
  Lines expected;
  for (int i = 0; text.size() < 3 * kBlock; ++i) {
    std::u16string line(static_cast<std::size_t>(i % 97), u'\u3042');
    line += u"x\U0001F600\n";
    text += line;
    expected.push_back(line);
  }
  std::u16string crlf;
  for (char16_t unit : text) {
    if (unit == u'\n') crlf += u'\r';
    crlf += unit;
  }
  EXPECT_EQ(ReadThroughFile(kMark16 + Utf16LeBytes(crlf)), expected);
}

// ---------------------------------------------------------------- Print

using Args = std::vector<const char16_t*>;

std::string PrintToMemory(const char16_t* format, const Args& args,
                          long* result) {
  std::string bytes = "stale";
  WideTextFile file;
  file.OpenWriteMemory(&bytes);
  switch (args.size()) {
    case 0:
      *result = file.Print(format);
      break;
    case 1:
      *result = file.Print(format, {args[0]});
      break;
    default:
      *result = file.Print(format, {args[0], args[1]});
      break;
  }
  EXPECT_EQ(file.Close(), 0);
  return bytes;
}

struct PrintCase {
  const char* name;
  const char16_t* format;
  Args args;
  std::string expected;  // after the mark
  long result;
};

TEST(WideTextFilePrintTest, FormatsAndEncodes) {
  static const char16_t kWithFFFF[] = {u'a', 0xFFFF, u'b', 0};
  static const char16_t kLoneSurrogates[] = {0xDC00, 0xD800, 0xDC00, 0};
  const PrintCase cases[] = {
      {"byte example",
       u"\tS %s;\n",
       {u"ab"},
       Bytes({0x09, 0x00, 0x53, 0x00, 0x20, 0x00, 0x61, 0x00, 0x62, 0x00, 0x3B,
              0x00, 0x0D, 0x00, 0x0A, 0x00}),
       7},
      {"null argument", u"[%s]", {nullptr}, Utf16LeBytes(u"[(null)]"), 8},
      {"missing argument is null", u"%s", {}, Utf16LeBytes(u"(null)"), 6},
      {"two arguments in order",
       u"%s=%s\n",
       {u"k", u"v"},
       Utf16LeBytes(u"k=v\r\n"),
       4},
      {"LF in an argument", u"%s", {u"a\nb"}, Utf16LeBytes(u"a\r\nb"), 3},
      {"CR LF in text gives CR CR LF",
       u"a\r\n",
       {},
       Utf16LeBytes(u"a\r\r\n"),
       3},
      {"U+FFFF and the rest of the argument",
       u"<%s>",
       {kWithFFFF},
       Utf16LeBytes(u"<a") + Bytes({0xFF, 0xFF}) + Utf16LeBytes(u"b>"),
       5},
      {"surrogates unchanged",
       u"%s",
       {kLoneSurrogates},
       Bytes({0x00, 0xDC, 0x00, 0xD8, 0x00, 0xDC}),
       3},
      {"other % copied", u"100% %d %", {}, Utf16LeBytes(u"100% %d %"), 9},
      {"empty format", u"", {u"unused"}, "", 0},
      {"non-ASCII",
       u"\u3042%s",
       {u"\u00E9"},
       Bytes({0x42, 0x30, 0xE9, 0x00}),
       2},
  };
  for (const PrintCase& c : cases) {
    SCOPED_TRACE(c.name);
    long result = 0;
    EXPECT_EQ(PrintToMemory(c.format, c.args, &result), kMark16 + c.expected);
    EXPECT_EQ(result, c.result);
  }
}

TEST(WideTextFilePrintTest, OutputBeyondOneBlockKeepsOrder) {
  std::u16string line;
  for (char16_t unit = 0x20; unit < 0x3000; unit += 7) line += unit;
  line += u'\n';
  std::string expected = kMark16;
  std::u16string crlf = line;
  crlf.insert(crlf.size() - 1, 1, u'\r');
  const TempDir dir;
  WideTextFile file;
  ASSERT_EQ(file.OpenWrite((dir / "out.h").u16string()), 0);
  for (int i = 0; expected.size() < 3 * kBlock; ++i) {
    const std::u16string number(1, static_cast<char16_t>(u'0' + i % 10));
    EXPECT_EQ(file.Print(u"%s %s", {number.c_str(), line.c_str()}),
              static_cast<long>(line.size() + 2));
    expected += Utf16LeBytes(number + u" " + crlf);
  }
  EXPECT_EQ(file.Close(), 0);
  EXPECT_EQ(ReadBytes(dir / "out.h"), expected);
}

// Runs of plain units are copied in one piece up to the end of the
// buffer: every split of a run and of a following LF over the boundary
// must come out whole and in order.
TEST(WideTextFilePrintTest, RunsSplitAtEveryOffsetOfTheBufferEnd) {
  const std::size_t block_units = kBlock / 2;
  for (std::size_t units = block_units - 4; units <= block_units + 4; ++units) {
    std::u16string text(units, u'\x3042');
    for (std::size_t i = 0; i < units; i += 97) text[i] = static_cast<char16_t>(u'a' + i % 26);
    text += u"\n";
    std::string expected = kMark16;
    const TempDir dir;
    WideTextFile file;
    ASSERT_EQ(file.OpenWrite((dir / "out.h").u16string()), 0);
    for (int i = 0; i < 3; ++i) {
      EXPECT_EQ(file.Print(u"%s", {text.c_str()}), static_cast<long>(text.size()));
      std::u16string crlf = text;
      crlf.insert(crlf.size() - 1, 1, u'\r');
      expected += Utf16LeBytes(crlf);
    }
    EXPECT_EQ(file.Close(), 0);
    EXPECT_EQ(ReadBytes(dir / "out.h"), expected) << units;
  }
}

TEST(WideTextFileWriteTest, OpenWriteAndCloseLeaveOnlyTheMark) {
  const TempDir dir;
  WideTextFile file;
  ASSERT_EQ(file.OpenWrite((dir / "TextResource.h").u16string()), 0);
  // The mark is in the file from the open on.
  EXPECT_EQ(ReadBytes(dir / "TextResource.h"), kMark16);
  EXPECT_EQ(file.Close(), 0);
  EXPECT_EQ(ReadBytes(dir / "TextResource.h"), kMark16);
}

TEST(WideTextFileWriteTest, OpenWriteReplacesContent) {
  const TempDir dir;
  WriteBytes(dir / "out.cpp", std::string(3 * kBlock, 'q'));
  WideTextFile file;
  ASSERT_EQ(file.OpenWrite((dir / "out.cpp").u16string()), 0);
  EXPECT_EQ(file.Print(u"x\n"), 2);
  EXPECT_EQ(file.Close(), 0);
  EXPECT_EQ(ReadBytes(dir / "out.cpp"), kMark16 + Utf16LeBytes(u"x\r\n"));
}

TEST(WideTextFileWriteTest, WrittenFileReadsBack) {
  const TempDir dir;
  const std::u16string path = (dir / "round.txt").u16string();
  WideTextFile writer;
  ASSERT_EQ(writer.OpenWrite(path), 0);
  writer.Print(u"a=%s\n", {u"\u3042\uFFFF\U0001F600"});
  writer.Print(u"\tb\n");
  ASSERT_EQ(writer.Close(), 0);
  WideTextFile reader;
  ASSERT_EQ(reader.OpenRead(path), 0);
  EXPECT_EQ(ReadAll(reader), (Lines{u"a=\u3042\uFFFF\U0001F600\n", u"\tb\n"}));
  EXPECT_EQ(reader.Close(), 0);
}

TEST(WideTextFileWriteTest, PrintAfterCloseFails) {
  std::string bytes;
  WideTextFile file;
  file.OpenWriteMemory(&bytes);
  EXPECT_EQ(file.Close(), 0);
  EXPECT_EQ(file.Print(u"x"), -1);
  EXPECT_EQ(bytes, kMark16);
}

// ---------------------------------------------------------------- sharing

TEST(WideTextFileSharingTest, ReadersShareWritersExcludeAll) {
  const TempDir dir;
  const std::u16string path = (dir / "shared.txt").u16string();
  const std::string content = kMark16 + Utf16LeBytes(u"k=v\r\n");
  WriteBytes(dir / "shared.txt", content);

  {
    WideTextFile reader1;
    WideTextFile reader2;
    ASSERT_EQ(reader1.OpenRead(path), 0);
    EXPECT_EQ(reader2.OpenRead(path), 0);
    WideTextFile writer;
    EXPECT_EQ(writer.OpenWrite(path), EACCES);
    // The refused writer cut nothing.
    EXPECT_EQ(ReadBytes(dir / "shared.txt"), content);
    EXPECT_EQ(ReadAll(reader1), (Lines{u"k=v\n"}));
  }
  {
    WideTextFile writer;
    ASSERT_EQ(writer.OpenWrite(path), 0);
    WideTextFile reader;
    EXPECT_EQ(reader.OpenRead(path), EACCES);
    WideTextFile other_writer;
    EXPECT_EQ(other_writer.OpenWrite(path), EACCES);
    writer.Print(u"new\n");
    EXPECT_EQ(writer.Close(), 0);
    // Close released the file.
    EXPECT_EQ(reader.OpenRead(path), 0);
    EXPECT_EQ(ReadAll(reader), (Lines{u"new\n"}));
  }
}

#ifndef _WIN32

// Other programs take the same advisory locks.
class ForeignLock {
 public:
  ForeignLock(const std::filesystem::path& path, int operation)
      : fd_(open(path.c_str(), O_RDONLY | O_CLOEXEC)) {
    EXPECT_GE(fd_, 0);
    EXPECT_EQ(flock(fd_, operation | LOCK_NB), 0);
  }
  ~ForeignLock() { close(fd_); }

 private:
  int fd_;
};

TEST(WideTextFileSharingTest, ForeignLocksRefuseOpens) {
  const TempDir dir;
  const auto path = dir / "locked.txt";
  const std::string content = kMark16 + Utf16LeBytes(u"keep=me\r\n");
  WriteBytes(path, content);
  {
    const ForeignLock lock(path, LOCK_EX);
    WideTextFile reader;
    EXPECT_EQ(reader.OpenRead(path.u16string()), EACCES);
  }
  {
    const ForeignLock lock(path, LOCK_SH);
    WideTextFile writer;
    EXPECT_EQ(writer.OpenWrite(path.u16string()), EACCES);
    EXPECT_EQ(ReadBytes(path), content);
    WideTextFile reader;
    EXPECT_EQ(reader.OpenRead(path.u16string()), 0);
  }
}

TEST(WideTextFileWriteTest, MarkThatCannotBeWrittenFailsTheOpen) {
  if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  const TempDir dir;
  std::filesystem::create_symlink("/dev/full", dir / "full.h");
  WideTextFile file;
  EXPECT_EQ(file.OpenWrite((dir / "full.h").u16string()), ENOSPC);
  EXPECT_EQ(file.Print(u"x"), -1);
  EXPECT_EQ(file.Close(), 0);  // nothing was open
}

// A file size limit lets the mark through and makes a later write fail.
// Run in a child process: the limit must not reach the other tests.
int WriteUnderSizeLimit(const std::filesystem::path& path) {
  signal(SIGXFSZ, SIG_IGN);
  const rlimit limit{1000, 1000};
  if (setrlimit(RLIMIT_FSIZE, &limit) != 0) return 10;
  WideTextFile file;
  if (file.OpenWrite(path.u16string()) != 0) return 11;
  if (file.Print(u"small\n") != 6) return 12;
  const std::u16string big(kBlock, u'x');
  if (file.Print(big.c_str()) != -1) return 13;
  if (file.Print(u"small\n") != -1) return 14;  // the failure sticks
  if (file.Close() != -1) return 15;
  return 0;
}

int FlushUnderSizeLimitAtClose(const std::filesystem::path& path) {
  signal(SIGXFSZ, SIG_IGN);
  const rlimit limit{100, 100};
  if (setrlimit(RLIMIT_FSIZE, &limit) != 0) return 10;
  WideTextFile file;
  if (file.OpenWrite(path.u16string()) != 0) return 11;
  // Fits the buffer, not the file: only Close finds out.
  const std::u16string text(200, u'x');
  if (file.Print(text.c_str()) != 200) return 12;
  if (file.Close() != -1) return 13;
  return 0;
}

TEST(WideTextFileWriteTest, FailedWriteSticksToPrintAndClose) {
  const TempDir dir;
  EXPECT_EXIT(std::exit(WriteUnderSizeLimit(dir / "a.h")),
              testing::ExitedWithCode(0), "");
  const std::string a = ReadBytes(dir / "a.h");
  EXPECT_LE(a.size(), 1000u);
  EXPECT_EQ(a.substr(0, 2), kMark16);

  EXPECT_EXIT(std::exit(FlushUnderSizeLimitAtClose(dir / "b.h")),
              testing::ExitedWithCode(0), "");
  EXPECT_LE(ReadBytes(dir / "b.h").size(), 100u);
}

#endif  // !_WIN32

#ifdef __linux__
TEST(WideTextFileReadTest, ReadErrorEndsInputAndIsReported) {
  // Reading this file from offset 0 fails with EIO.
  WideTextFile file;
  ASSERT_EQ(file.OpenRead(u"/proc/self/mem"), 0);
  char16_t buffer[8] = {0x7777};
  EXPECT_FALSE(file.ReadLine(buffer, 8));
  EXPECT_EQ(buffer[0], 0x7777);
  EXPECT_TRUE(file.read_failed());
  EXPECT_FALSE(file.ReadLine(buffer, 8));
  file.Close();
  EXPECT_TRUE(file.read_failed());
}
#endif

}  // namespace
}  // namespace textresgen
