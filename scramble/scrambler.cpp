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

// Appends the A digits of `bytes` (each value 0 to 0xFF) to `out`.
template <typename ByteRange>
void AppendScrambledBytes(std::uint32_t seed8, const ByteRange& bytes,
                          std::u16string* out) {
  std::uint32_t chain = CHAIN_INIT_A;
  std::uint32_t k = seed8 * KEY_MULTIPLIER;
  for (auto byte : bytes) {
    const std::uint32_t u = static_cast<std::uint32_t>(byte) & 0xFFu;
    chain = (chain ^ (k >> 16)) & 0xFFu;
    AppendHex(u ^ chain, 2, out);
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
  a_literal_.clear();
  AppendHex(seed8, 2, &a_literal_);
  if (!HasUnitAboveByte(path)) {
    a_literal_.reserve(2 + 2 * path.size());
    AppendScrambledBytes(seed8, path, &a_literal_);
  } else {
    // dA yields bytes, so a path beyond Latin-1 travels as its UTF-8 form
    // and comes back as a UTF-8 key instead of cut-off units.
    const std::string utf8 = Utf16ToUtf8(path);
    a_literal_.reserve(2 + 2 * utf8.size());
    AppendScrambledBytes(seed8, utf8, &a_literal_);
  }
  return a_literal_;
}

const std::u16string& Scrambler::eU(std::u16string_view text) {
  const auto seed16 = static_cast<std::uint32_t>(DrawSeedProduct() & 0xFFFFu);
  u_literal_.clear();
  u_literal_.reserve(4 + 4 * text.size());
  AppendHex(seed16, 4, &u_literal_);
  std::uint32_t chain = CHAIN_INIT_U;
  std::uint32_t k = seed16 * KEY_MULTIPLIER;
  for (char16_t unit : text) {
    const std::uint32_t u = unit;
    chain = (chain ^ (k >> 16)) & 0xFFFFu;
    AppendHex(u ^ chain, 4, &u_literal_);
    k += KEY_STEP;
    chain = (chain ^ u) & 0xFFFFu;
  }
  return u_literal_;
}

}  // namespace textresgen
