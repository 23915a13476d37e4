// textresgen_utf16_to_utf8 <input> <output>
//
// Rewrites a file the generator wrote (the mark FF FE, then UTF-16LE) as
// UTF-8 without a mark, for compilers that read only UTF-8 sources. Line
// ends stay as they are. Exit status 0 on success; 1, with one line on
// standard error, when the input cannot be read or has another form, or the
// output cannot be written. The output is not touched before the whole
// input has been converted.

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "textfile/utf8.h"

namespace textresgen {
namespace {

int Fail(const char* path, const char* what) {
  std::fprintf(stderr, "textresgen_utf16_to_utf8: %s: %s\n", path, what);
  return 1;
}

int ConvertFile(const char* input_path, const char* output_path) {
  std::ifstream input(input_path, std::ios::binary);
  if (!input) return Fail(input_path, "cannot be opened");
  const std::string bytes(std::istreambuf_iterator<char>(input), {});
  if (input.bad()) return Fail(input_path, "cannot be read");
  if (bytes.size() < 2 || bytes[0] != '\xFF' || bytes[1] != '\xFE' ||
      bytes.size() % 2 != 0) {
    return Fail(input_path, "is not UTF-16LE text after the mark FF FE");
  }

  std::u16string units;
  units.reserve(bytes.size() / 2 - 1);
  for (std::size_t i = 2; i < bytes.size(); i += 2) {
    const auto low = static_cast<std::uint8_t>(bytes[i]);
    const auto high = static_cast<std::uint8_t>(bytes[i + 1]);
    units.push_back(static_cast<char16_t>(low | (high << 8)));
  }
  const std::string text = Utf16ToUtf8(units);

  std::ofstream output(output_path, std::ios::binary | std::ios::trunc);
  output.write(text.data(), static_cast<std::streamsize>(text.size()));
  output.close();
  if (!output) return Fail(output_path, "cannot be written");
  return 0;
}

}  // namespace
}  // namespace textresgen

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: textresgen_utf16_to_utf8 <input> <output>\n");
    return 1;
  }
  return textresgen::ConvertFile(argv[1], argv[2]);
}
