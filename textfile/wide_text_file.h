#ifndef TEXTRESGEN_TEXTFILE_WIDE_TEXT_FILE_H_
#define TEXTRESGEN_TEXTFILE_WIDE_TEXT_FILE_H_

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>

#include "textfile/platform.h"

namespace textresgen {

/// A UTF-16LE text stream: reads a file (UTF-16LE with or without the mark
/// FF FE, or UTF-8 after EF BB BF) as lines that end in a single LF, and
/// writes files that begin with FF FE and end their lines in CR LF.
class WideTextFile {
 public:
  /// Size of the internal byte buffer; decisions that look ahead (a CR
  /// before an LF, the rest of a UTF-8 sequence) never depend on it.
  static constexpr std::size_t kBufferBytes = 64 * 1024;

  WideTextFile() = default;
  WideTextFile(const WideTextFile&) = delete;
  WideTextFile& operator=(const WideTextFile&) = delete;
  ~WideTextFile();

  /// Opens an existing file for reading, others may only read it meanwhile.
  /// Returns 0, ENOENT, EACCES (held by a writer), EINVAL (begins FE FF) or
  /// another nonzero platform code.
  int OpenRead(const std::u16string& path);

  /// Creates or empties a file for writing, no one else may open it
  /// meanwhile, and writes the mark FF FE. Returns 0 or a nonzero code.
  int OpenWrite(const std::u16string& path);

  /// Reads from bytes held in memory instead of a file; `bytes` must outlive
  /// the stream. Returns what OpenRead would for a file of these bytes.
  int OpenReadMemory(std::string_view bytes);

  /// Writes into `bytes` (emptied first) instead of a file.
  void OpenWriteMemory(std::string* bytes);

  /// Stores the next line, at most capacity_units - 1 units and a 0 unit, in
  /// `buffer`, and the number of units stored (the 0 unit not counted; a
  /// line may hold U+0000 itself) in `*stored_units` when it is not null.
  /// The LF that ends a line stays in it. Returns false, leaving the buffer
  /// untouched, when no unit is left (end of file, U+001A seen, or a read
  /// error: see read_failed()).
  bool ReadLine(char16_t* buffer, std::size_t capacity_units,
                std::size_t* stored_units = nullptr);

  /// Writes `format`, each "%s" replaced by the next argument up to its 0
  /// unit (a null argument by "(null)"). Returns the number of units
  /// formatted, or -1 when the file cannot be written.
  long Print(const char16_t* format,
             std::initializer_list<const char16_t*> args = {});

  /// Flushes buffered output and closes. Returns 0, or -1 when any write
  /// since the open, the flush or the close failed.
  int Close();

  /// True once reading the file has failed; the input then ended early.
  bool read_failed() const { return read_failed_; }

 private:
  enum class Mode { kClosed, kRead, kWrite };
  enum class Encoding { kUtf16Le, kUtf8 };

  // Room kept before the block that a refill reads, for the bytes of a unit
  // or UTF-8 sequence that the previous block left incomplete.
  static constexpr std::size_t kCarryBytes = 8;

  void StartStream(Mode mode);
  int StartReading();
  bool EnsureInput(std::size_t count);
  std::size_t ReadBytes(std::uint8_t* out, std::size_t count);
  bool NextUnit(char16_t* unit);
  bool TakeUtf16Unit(char16_t* unit);
  bool NextUtf8Unit(char16_t* unit);
  void EndData();
  void FlushOutput();

  Mode mode_ = Mode::kClosed;
  Encoding encoding_ = Encoding::kUtf16Le;
  PlatformFile file_;
  std::string_view memory_input_;
  std::size_t memory_position_ = 0;
  std::string* memory_output_ = nullptr;

  bool end_of_data_ = false;
  bool read_failed_ = false;
  bool write_failed_ = false;

  // One buffer for the direction of the stream, from the open to Close:
  // reading, raw bytes not yet decoded in [input_begin_, input_end_);
  // writing, encoded bytes not yet written in [0, output_size_).
  std::unique_ptr<std::uint8_t[]> buffer_;
  std::size_t input_begin_ = 0;
  std::size_t input_end_ = 0;
  bool input_exhausted_ = false;
  // The low surrogate of a UTF-8 character above U+FFFF, not yet delivered.
  char16_t pending_unit_ = 0;
  bool has_pending_unit_ = false;
  std::size_t output_size_ = 0;
};

}  // namespace textresgen

#endif  // TEXTRESGEN_TEXTFILE_WIDE_TEXT_FILE_H_
