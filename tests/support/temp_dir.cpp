#include "tests/support/temp_dir.h"

#include <sys/wait.h>

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>
#include <system_error>

namespace textresgen::support {

TempDir::TempDir() {
  static std::atomic<unsigned> counter{0};
  std::random_device random;
  const auto base = std::filesystem::temp_directory_path();
  for (;;) {
    path_ = base / ("textresgen-test-" + std::to_string(random()) + "-" +
                    std::to_string(counter++));
    if (std::filesystem::create_directory(path_)) break;
  }
}

TempDir::~TempDir() {
  std::error_code ignored;
  // A test may have made a folder read-only; give write back before removal.
  std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                               std::filesystem::perm_options::add, ignored);
  std::filesystem::remove_all(path_, ignored);
}

std::string ReadBytes(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteBytes(const std::filesystem::path& file, std::string_view bytes) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string ShellQuote(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) {
    if (c == '\'') {
      quoted += "'\\''";
    } else {
      quoted += c;
    }
  }
  return quoted + "'";
}

RunResult RunIn(const std::filesystem::path& dir, const std::string& command) {
  // The captured streams live outside `dir`, which a test may have made
  // read-only or whose listing it may compare.
  const TempDir capture;
  const auto out_file = capture / "stdout";
  const auto err_file = capture / "stderr";
  const std::string line = "cd " + ShellQuote(dir.string()) + " && ( " +
                           command + " ) >" + ShellQuote(out_file.string()) +
                           " 2>" + ShellQuote(err_file.string());
  const int status = std::system(line.c_str());
  RunResult result;
  if (status != -1 && WIFEXITED(status)) result.exit_status = WEXITSTATUS(status);
  result.out = ReadBytes(out_file);
  result.err = ReadBytes(err_file);
  return result;
}

}  // namespace textresgen::support
