#ifndef TEXTRESGEN_SCRAMBLE_SCRAMBLER_H_
#define TEXTRESGEN_SCRAMBLE_SCRAMBLER_H_

#include <cstdint>
#include <string>
#include <string_view>

#include "scramble/random_sequence.h"

namespace textresgen {

/// The encoders eA (key paths) and eU (texts). Each call draws a fresh seed
/// from the clock and the random sequence; each encoder's result stays
/// valid until its next call.
class Scrambler {
 public:
  /// Returns the POSIX time in whole seconds.
  using Clock = std::int64_t (*)();

  /// Uses the real calendar time.
  Scrambler();
  /// Uses `clock` for the time, so tests can fix it.
  explicit Scrambler(Clock clock);

  /// A literal of a key path: 2 seed digits, then 2 digits per byte. A path
  /// with a unit above 0xFF is scrambled as its UTF-8 bytes.
  const std::u16string& eA(std::u16string_view path);

  /// U literal of a text: 4 seed digits, then 4 digits per unit.
  const std::u16string& eU(std::u16string_view text);

 private:
  std::uint64_t DrawSeedProduct();

  Clock clock_;
  RandomSequence random_;
  std::u16string a_literal_;
  std::u16string u_literal_;
};

}  // namespace textresgen

#endif  // TEXTRESGEN_SCRAMBLE_SCRAMBLER_H_
