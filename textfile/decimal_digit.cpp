#include "textfile/decimal_digit.h"

#include <algorithm>
#include <cstdint>
#include <iterator>

namespace textresgen {
namespace {

struct DigitRange {
  std::uint16_t first;
  std::uint16_t last;
};

// Taken from Unicode data by a script rather than from the C library, so the
// answer is the same on every platform and under every locale.
constexpr DigitRange kDigitRanges[] = {
#include "textfile/decimal_digit_table.inc"
};

}  // namespace

bool IsDecimalDigit(char16_t unit) {
  if (unit < 0x100) {
    return (unit >= u'0' && unit <= u'9') || unit == 0xB2 || unit == 0xB3 ||
           unit == 0xB9;
  }
  // The first range whose last unit is not below `unit` is the only one
  // that can hold it.
  const auto* range = std::lower_bound(
      std::begin(kDigitRanges), std::end(kDigitRanges), unit,
      [](const DigitRange& r, char16_t u) { return r.last < u; });
  return range != std::end(kDigitRanges) && range->first <= unit;
}

}  // namespace textresgen
