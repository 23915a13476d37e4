#ifndef TEXTRESGEN_TEXTFILE_PLATFORM_H_
#define TEXTRESGEN_TEXTFILE_PLATFORM_H_

#include <cstddef>
#include <cstdint>
#include <string>

namespace textresgen {

/// The one place that knows the operating system: a binary file opened
/// with the sharing rules of the generator, the console and the locale.
class PlatformFile {
 public:
  PlatformFile() = default;
  PlatformFile(const PlatformFile&) = delete;
  PlatformFile& operator=(const PlatformFile&) = delete;
  ~PlatformFile();

  /// Opens an existing regular file; others may read it but not write it
  /// until Close. Returns 0, ENOENT, EACCES (held by a writer) or another
  /// nonzero errno-style code (a directory gives EISDIR).
  int OpenForReading(const std::u16string& path);

  /// Opens a file for writing with no other opener, then empties it (the
  /// file is claimed before anything is cut). Returns 0, EACCES (held
  /// elsewhere) or another nonzero errno-style code.
  int OpenForWriting(const std::u16string& path);

  /// Reads up to `count` bytes. Returns the number read, 0 at the end of
  /// the file, -1 on a read error.
  std::ptrdiff_t Read(std::uint8_t* out, std::size_t count);

  /// Writes all `count` bytes. Returns 0 or the errno-style code of the
  /// failure.
  int Write(const std::uint8_t* data, std::size_t count);

  /// Releases the file. Returns 0, or nonzero when closing failed.
  int Close();

  bool is_open() const;

 private:
#ifdef _WIN32
  void* handle_ = nullptr;
#else
  int fd_ = -1;
#endif
};

/// Asks the OS to back the block with large pages where it can; a hint
/// only, the block works the same either way.
void AdviseLargePages(void* block, std::size_t bytes);

/// Writes the console error line "ERR!" CR LF to standard output, as bytes.
void WriteConsoleErrorLine();

/// Selects the Japanese locale for all categories where the platform has
/// one; a failure is ignored, nothing in the generator depends on it.
void SelectJapaneseLocale();

}  // namespace textresgen

#endif  // TEXTRESGEN_TEXTFILE_PLATFORM_H_
