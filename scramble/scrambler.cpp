#include "scramble/scrambler.h"

#include <ctime>
#include <string>

#include "scramble/scramble.h"
#include "textfile/format_hex.h"
#include "textfile/utf8.h"

namespace textresgen {

namespace {

std::int64_t PosixTimeNow() {
  return static_cast<std::int64_t>(std::time(nullptr));
}

bool HasUnitAboveByte(std::u16string_view units) {
  for (char16_t unit : units) {
    if (unit > 0xFF) return true;
  }
  return false;
}

// Writes the literal of `bytes` (each value 0 to 0xFF) to `out`, which
// has room for its 2 + 2n digits. Every value written fits in 8 bits, so
// each takes exactly two digits, as "%02X" gives them.
template <typename ByteRange>
void PutScrambledBytes(std::uint32_t seed8, const ByteRange& bytes,
                       char16_t* out) {
  out = PutHexDigits(seed8, 2, out);
  std::uint32_t chain = CHAIN_INIT_A;
  std::uint32_t k = seed8 * KEY_MULTIPLIER;
  for (auto byte : bytes) {
    const std::uint32_t u = static_cast<std::uint32_t>(byte) & 0xFFu;
    chain = (chain ^ (k >> 16)) & 0xFFu;
    out = PutHexDigits(u ^ chain, 2, out);
    k += KEY_STEP;
    chain = (chain ^ u) & 0xFFu;
  }
}

}  // namespace

Scrambler::Scrambler() : Scrambler(&PosixTimeNow) {}

Scrambler::Scrambler(Clock clock) : clock_(clock) {}

std::uint64_t Scrambler::DrawSeedProduct() {
  const auto time_seconds = static_cast<std::uint64_t>(clock_());
  return time_seconds * random_.Next();
}

const std::u16string& Scrambler::eA(std::u16string_view path) {
  const auto seed8 = static_cast<std::uint32_t>(DrawSeedProduct() & 0xFFu);
  if (!HasUnitAboveByte(path)) {
    a_literal_.resize(2 + 2 * path.size());
    PutScrambledBytes(seed8, path, a_literal_.data());
  } else {
    // dA yields bytes, so a path beyond Latin-1 travels as its UTF-8 form
    // and comes back as a UTF-8 key instead of cut-off units.
    const std::string utf8 = Utf16ToUtf8(path);
    a_literal_.resize(2 + 2 * utf8.size());
    PutScrambledBytes(seed8, utf8, a_literal_.data());
  }
  return a_literal_;
}

const std::u16string& Scrambler::eU(std::u16string_view text) {
  const auto seed16 = static_cast<std::uint32_t>(DrawSeedProduct() & 0xFFFFu);
  // Every value has 16 bits: exactly four digits each, as "%04X" gives.
  u_literal_.resize(4 + 4 * text.size());
  char16_t* out = PutHexDigits(seed16, 4, u_literal_.data());
  std::uint32_t chain = CHAIN_INIT_U;
  std::uint32_t k = seed16 * KEY_MULTIPLIER;
  for (char16_t unit : text) {
    const std::uint32_t u = unit;
    chain = (chain ^ (k >> 16)) & 0xFFFFu;
    out = PutHexDigits(u ^ chain, 4, out);
    k += KEY_STEP;
    chain = (chain ^ u) & 0xFFFFu;
  }
  return u_literal_;
}

}  // namespace textresgen
