#ifndef TEXTRESGEN_TESTS_E2E_DECODED_SOURCE_H_
#define TEXTRESGEN_TESTS_E2E_DECODED_SOURCE_H_

#include <string>
#include <vector>

namespace textresgen::support {

/// One InitString line of a generated source, its literals decoded by the
/// shipped d_func.cpp.
struct DecodedLine {
  std::string member_path;  ///< after "t.", as UTF-8
  std::string key;          ///< what dA gives for the A literal
  std::u16string text;      ///< what dU gives for the U literal, as UTF-16
};

/// Every InitString line of `source` (UTF-8 text with LF). A line of any
/// other form makes `*error` describe it and ends the list there.
std::vector<DecodedLine> DecodeSourceLines(const std::string& source,
                                           std::string* error);

/// `source` with the digits of every literal replaced by their count, e.g.
/// dA("<12>"), for comparing sources whose seeds differ.
std::string MaskLiterals(const std::string& source);

}  // namespace textresgen::support

#endif  // TEXTRESGEN_TESTS_E2E_DECODED_SOURCE_H_
