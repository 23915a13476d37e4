#ifndef TEXTRESGEN_SCRAMBLE_SCRAMBLE_H_
#define TEXTRESGEN_SCRAMBLE_SCRAMBLE_H_

#include <cstdint>

// The constants of the scrambling scheme. runtime/d_func.cpp carries the
// same values for the decoders; a test compiles both and fails on drift.

namespace textresgen {

/// Multiplies the seed into the first keystream word.
inline constexpr std::uint32_t KEY_MULTIPLIER = 0x4D2A63F5;
/// Added to the keystream word after each character.
inline constexpr std::uint32_t KEY_STEP = 0x3A5F17C6;
/// Chain value before the first character of an A literal (8 bits).
inline constexpr std::uint32_t CHAIN_INIT_A = 0x9D;
/// Chain value before the first character of a U literal (16 bits).
inline constexpr std::uint32_t CHAIN_INIT_U = 0x5B9D;

}  // namespace textresgen

#endif  // TEXTRESGEN_SCRAMBLE_SCRAMBLE_H_
