#ifndef TEXTRESGEN_TESTS_SUPPORT_TEMP_DIR_H_
#define TEXTRESGEN_TESTS_SUPPORT_TEMP_DIR_H_

#include <filesystem>
#include <string>
#include <string_view>

namespace textresgen::support {

/// A fresh folder under the system's temporary folder, removed with its
/// content when the object goes out of scope.
class TempDir {
 public:
  TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  ~TempDir();

  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(std::string_view name) const {
    return path_ / name;
  }

 private:
  std::filesystem::path path_;
};

/// The whole content of a file as bytes; empty when it cannot be read.
std::string ReadBytes(const std::filesystem::path& file);

/// Replaces the content of `file` with `bytes`.
void WriteBytes(const std::filesystem::path& file, std::string_view bytes);

/// What a program run through the shell left behind.
struct RunResult {
  int exit_status = -1;  ///< -1 when it did not end normally
  std::string out;       ///< everything it wrote to standard output
  std::string err;       ///< everything it wrote to standard error
};

/// Runs `command` with the shell in folder `dir`, capturing both streams.
RunResult RunIn(const std::filesystem::path& dir, const std::string& command);

/// `text` quoted for the POSIX shell.
std::string ShellQuote(const std::string& text);

}  // namespace textresgen::support

#endif  // TEXTRESGEN_TESTS_SUPPORT_TEMP_DIR_H_
