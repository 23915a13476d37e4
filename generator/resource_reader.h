#ifndef TEXTRESGEN_GENERATOR_RESOURCE_READER_H_
#define TEXTRESGEN_GENERATOR_RESOURCE_READER_H_

#include <cstddef>
#include <string_view>

namespace textresgen {

struct ResourceNode;
class WideTextFile;

/// Units of the line buffer; longer lines arrive in pieces and are joined.
inline constexpr std::size_t LINE_CAPACITY = 15000;

/// Adds one resource line (with or without its LF) to the tree: the part
/// before the first "=" is the dotted key path, the rest up to a CR or LF
/// its text. A line without "=" adds nothing; so does everything after a
/// U+0000 unit.
void AddResourceLine(std::u16string_view line, ResourceNode& root);

/// Reads every line of `input` into `root`, a line of any length being one
/// line. Returns false when reading the file failed before its end.
bool ReadResource(WideTextFile& input, ResourceNode& root);

}  // namespace textresgen

#endif  // TEXTRESGEN_GENERATOR_RESOURCE_READER_H_
