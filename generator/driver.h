#ifndef TEXTRESGEN_GENERATOR_DRIVER_H_
#define TEXTRESGEN_GENERATOR_DRIVER_H_

namespace textresgen {

/// One whole run in the current directory: reads TextResource.txt and
/// writes TextResource.cpp, then TextResource.h. Returns the exit status:
/// 0 on success; 1 after printing "ERR!" when a file cannot be opened,
/// read, written or closed.
int RunGenerator();

}  // namespace textresgen

#endif  // TEXTRESGEN_GENERATOR_DRIVER_H_
