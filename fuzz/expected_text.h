#ifndef TEXTRESGEN_FUZZ_EXPECTED_TEXT_H_
#define TEXTRESGEN_FUZZ_EXPECTED_TEXT_H_

#include <cstddef>
#include <string>

// What dU gives for `units`: on a 32-bit wchar_t, pairs become code points.
inline std::wstring Wide(const std::u16string& units) {
  std::wstring text;
  for (std::size_t i = 0; i < units.size(); ++i) {
    unsigned long unit = units[i];
    if (sizeof(wchar_t) > 2 && unit >= 0xD800 && unit <= 0xDBFF &&
        i + 1 < units.size() && units[i + 1] >= 0xDC00 &&
        units[i + 1] <= 0xDFFF) {
      unit = 0x10000 + ((unit - 0xD800) << 10) + (units[++i] - 0xDC00);
    }
    text.push_back(static_cast<wchar_t>(unit));
  }
  return text;
}

#endif  // TEXTRESGEN_FUZZ_EXPECTED_TEXT_H_
