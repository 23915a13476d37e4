#ifndef TEXTRESGEN_TESTS_SUPPORT_GENERATED_FILE_H_
#define TEXTRESGEN_TESTS_SUPPORT_GENERATED_FILE_H_

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace textresgen::support {

/// The bytes of a file the generator writes for `utf8_text`: FF FE, then
/// UTF-16LE units with every LF written as CR LF.
std::string EncodeGeneratedFile(std::string_view utf8_text);

/// The reverse of EncodeGeneratedFile: UTF-8 text with LF line ends. Bytes
/// that do not have that form come back as a description of what is wrong.
std::string DecodeGeneratedFile(std::string_view bytes);

/// UTF-16LE bytes of `units`, without a mark.
std::string Utf16LeBytes(std::u16string_view units);

/// The bytes of a resource file with the mark FF FE and one
/// "key=text" CR LF line per entry.
std::string ResourceFileBytes(
    const std::vector<std::pair<std::u16string, std::u16string>>& entries);

/// A golden fixture below tests/fixtures. When the environment variable
/// TEXTRESGEN_UPDATE_GOLDENS is set, `actual` is first written into it, so
/// an intended change of the output is accepted by one run of the tests.
std::string Golden(const std::string& relative_path, const std::string& actual);

}  // namespace textresgen::support

#endif  // TEXTRESGEN_TESTS_SUPPORT_GENERATED_FILE_H_
