#ifndef TEXTRESGEN_SCRAMBLE_RANDOM_SEQUENCE_H_
#define TEXTRESGEN_SCRAMBLE_RANDOM_SEQUENCE_H_

#include <cstdint>

namespace textresgen {

/// The linear congruential sequence behind the seeds: the same values on
/// every platform and in every run, unlike the C library's rand().
class RandomSequence {
 public:
  /// The next value, 0 to 32767.
  std::uint32_t Next() {
    state_ = state_ * 214013u + 2531011u;
    return (state_ >> 16) & 0x7FFFu;
  }

 private:
  std::uint32_t state_ = 1;
};

}  // namespace textresgen

#endif  // TEXTRESGEN_SCRAMBLE_RANDOM_SEQUENCE_H_
