#include "tests/support/generated_file.h"

#include <cstdlib>

#include "tests/support/temp_dir.h"
#include "textfile/utf8.h"

namespace textresgen::support {

std::string Utf16LeBytes(std::u16string_view units) {
  std::string bytes;
  bytes.reserve(units.size() * 2);
  for (char16_t unit : units) {
    bytes += static_cast<char>(unit & 0xFF);
    bytes += static_cast<char>(unit >> 8);
  }
  return bytes;
}

std::string EncodeGeneratedFile(std::string_view utf8_text) {
  std::u16string units;
  for (char16_t unit : Utf8ToUtf16(utf8_text)) {
    if (unit == u'\n') units += u'\r';
    units += unit;
  }
  return "\xFF\xFE" + Utf16LeBytes(units);
}

std::string DecodeGeneratedFile(std::string_view bytes) {
  if (bytes.size() < 2 || bytes.substr(0, 2) != "\xFF\xFE") {
    return "<no FF FE mark>";
  }
  if (bytes.size() % 2 != 0) return "<odd number of bytes>";
  std::u16string units;
  for (std::size_t i = 2; i < bytes.size(); i += 2) {
    const auto low = static_cast<unsigned char>(bytes[i]);
    const auto high = static_cast<unsigned char>(bytes[i + 1]);
    units += static_cast<char16_t>(low | high << 8);
  }
  std::u16string text;
  for (std::size_t i = 0; i < units.size(); ++i) {
    if (units[i] == u'\r' && i + 1 < units.size() && units[i + 1] == u'\n') {
      continue;
    }
    if (units[i] == u'\n' && (i == 0 || units[i - 1] != u'\r')) {
      return "<LF without CR at unit " + std::to_string(i) + ">";
    }
    text += units[i];
  }
  return Utf16ToUtf8(text);
}

std::string ResourceFileBytes(
    const std::vector<std::pair<std::u16string, std::u16string>>& entries) {
  std::u16string units;
  for (const auto& [key, text] : entries) {
    units += key;
    units += u'=';
    units += text;
    units += u"\r\n";
  }
  return "\xFF\xFE" + Utf16LeBytes(units);
}

std::string Golden(const std::string& relative_path, const std::string& actual) {
  const std::filesystem::path file =
      std::filesystem::path(TEXTRESGEN_FIXTURE_DIR) / relative_path;
  if (std::getenv("TEXTRESGEN_UPDATE_GOLDENS") != nullptr) {
    std::filesystem::create_directories(file.parent_path());
    WriteBytes(file, actual);
  }
  return ReadBytes(file);
}

}  // namespace textresgen::support
