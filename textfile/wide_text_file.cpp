#include "textfile/wide_text_file.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstring>

#include "textfile/utf8_decode.h"

namespace textresgen {
namespace {

constexpr char16_t kLineFeed = 0x0A;
constexpr char16_t kCarriageReturn = 0x0D;
constexpr char16_t kEndOfData = 0x1A;  // Ctrl-Z
constexpr char16_t kNullArgument[] = u"(null)";

// Each unit encodes to at most CR LF: four bytes.
constexpr std::size_t kMaxEncodedUnitBytes = 4;

inline char16_t UnitAt(const std::uint8_t* bytes) {
  return static_cast<char16_t>(bytes[0] | (bytes[1] << 8));
}

inline char16_t HighSurrogate(char32_t code_point) {
  return static_cast<char16_t>(0xD800 + ((code_point - 0x10000) >> 10));
}

inline char16_t LowSurrogate(char32_t code_point) {
  return static_cast<char16_t>(0xDC00 + ((code_point - 0x10000) & 0x3FF));
}

// Copies the units [begin, end) to `out` as UTF-16LE.
inline std::uint8_t* PutUnits(const char16_t* begin, const char16_t* end,
                              std::uint8_t* out) {
  const auto count = static_cast<std::size_t>(end - begin);
  if constexpr (std::endian::native == std::endian::little) {
    if (count != 0) std::memcpy(out, begin, count * sizeof(char16_t));
    return out + count * sizeof(char16_t);
  } else {
    for (; begin != end; ++begin) {
      *out++ = static_cast<std::uint8_t>(*begin);
      *out++ = static_cast<std::uint8_t>(*begin >> 8);
    }
    return out;
  }
}

// Encodes units from `*text` into `out` until the 0 unit, "%s" when
// `is_format`, or `out` passing `last`; moves `*text` past what it took.
// Units above '%' are written as they are, so each run of them is found
// first and copied in one piece; only the rest is looked at unit by unit.
// Local pointers: stores through uint8_t* would otherwise force the
// compiler to reload every member after each byte.
inline std::uint8_t* EncodeRun(const char16_t** text, std::uint8_t* out,
                               const std::uint8_t* last, bool is_format) {
  const char16_t* p = *text;
  while (out <= last) {
    // Units that may start at or before `last`: the run ends past it.
    const std::size_t room = static_cast<std::size_t>(last - out) / 2 + 1;
    const char16_t* const run = p;
    const char16_t* const run_end = p + room;
    while (p != run_end && *p > u'%') ++p;
    out = PutUnits(run, p, out);
    if (out > last) break;
    const char16_t unit = *p;
    if (unit == 0 || (is_format && unit == u'%' && p[1] == u's')) break;
    if (unit == kLineFeed) {
      *out++ = kCarriageReturn;
      *out++ = 0;
    }
    *out++ = static_cast<std::uint8_t>(unit);
    *out++ = static_cast<std::uint8_t>(unit >> 8);
    ++p;
  }
  *text = p;
  return out;
}

}  // namespace

WideTextFile::~WideTextFile() { Close(); }

void WideTextFile::StartStream(Mode mode) {
  mode_ = mode;
  encoding_ = Encoding::kUtf16Le;
  end_of_data_ = false;
  read_failed_ = false;
  write_failed_ = false;
  input_begin_ = 0;
  input_end_ = 0;
  input_exhausted_ = false;
  has_pending_unit_ = false;
  output_size_ = 0;
  buffer_.reset(new std::uint8_t[kCarryBytes + kBufferBytes]);
}

int WideTextFile::OpenRead(const std::u16string& path) {
  Close();
  read_failed_ = false;
  write_failed_ = false;
  if (const int status = file_.OpenForReading(path); status != 0) {
    return status;
  }
  StartStream(Mode::kRead);
  return StartReading();
}

int WideTextFile::OpenReadMemory(std::string_view bytes) {
  Close();
  memory_input_ = bytes;
  memory_position_ = 0;
  StartStream(Mode::kRead);
  return StartReading();
}

int WideTextFile::StartReading() {
  EnsureInput(3);
  const std::uint8_t* bytes = buffer_.get() + input_begin_;
  const std::size_t available = input_end_ - input_begin_;
  if (available >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB &&
      bytes[2] == 0xBF) {
    encoding_ = Encoding::kUtf8;
    input_begin_ += 3;
  } else if (available >= 2 && bytes[0] == 0xFE && bytes[1] == 0xFF) {
    Close();
    return EINVAL;
  } else if (available >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE) {
    input_begin_ += 2;
  }
  return 0;
}

int WideTextFile::OpenWrite(const std::u16string& path) {
  Close();
  read_failed_ = false;
  write_failed_ = false;
  if (const int status = file_.OpenForWriting(path); status != 0) {
    return status;
  }
  // The mark goes out at once, so a file that cannot be written is an
  // open failure rather than a silently empty result.
  static constexpr std::uint8_t kMark[] = {0xFF, 0xFE};
  if (const int status = file_.Write(kMark, sizeof kMark); status != 0) {
    file_.Close();
    return status;
  }
  StartStream(Mode::kWrite);
  return 0;
}

void WideTextFile::OpenWriteMemory(std::string* bytes) {
  Close();
  bytes->assign("\xFF\xFE", 2);
  memory_output_ = bytes;
  StartStream(Mode::kWrite);
}

int WideTextFile::Close() {
  if (mode_ == Mode::kClosed) return 0;
  bool failed = false;
  if (mode_ == Mode::kWrite) {
    FlushOutput();
    failed = write_failed_;
  }
  if (file_.is_open() && file_.Close() != 0) failed = true;
  mode_ = Mode::kClosed;
  buffer_.reset();
  memory_input_ = {};
  memory_position_ = 0;
  memory_output_ = nullptr;
  return failed ? -1 : 0;
}

// ---------------------------------------------------------------- reading

std::size_t WideTextFile::ReadBytes(std::uint8_t* out, std::size_t count) {
  if (!file_.is_open()) {
    const std::size_t taken =
        std::min(count, memory_input_.size() - memory_position_);
    if (taken != 0) {
      std::memcpy(out, memory_input_.data() + memory_position_, taken);
    }
    memory_position_ += taken;
    if (memory_position_ == memory_input_.size()) input_exhausted_ = true;
    return taken;
  }
  // Fill the whole block when the file allows, so block boundaries fall at
  // the same offsets for a file as for the same bytes in memory.
  std::size_t total = 0;
  while (total < count) {
    const std::ptrdiff_t got = file_.Read(out + total, count - total);
    if (got <= 0) {
      if (got < 0) read_failed_ = true;
      input_exhausted_ = true;
      break;
    }
    total += static_cast<std::size_t>(got);
  }
  return total;
}

// Makes at least `count` (at most kCarryBytes) undecoded bytes available,
// reading the next block behind the ones left over. False when the input
// ends first; the bytes that remain are still there.
bool WideTextFile::EnsureInput(std::size_t count) {
  while (input_end_ - input_begin_ < count) {
    if (input_exhausted_) return false;
    const std::size_t left = input_end_ - input_begin_;
    std::memmove(buffer_.get(), buffer_.get() + input_begin_, left);
    input_begin_ = 0;
    input_end_ = left + ReadBytes(buffer_.get() + left, kBufferBytes);
  }
  return true;
}

void WideTextFile::EndData() {
  end_of_data_ = true;
  input_begin_ = input_end_;
  input_exhausted_ = true;
  has_pending_unit_ = false;
}

// Takes the next raw unit; a lone final byte is a unit with high byte zero.
bool WideTextFile::TakeUtf16Unit(char16_t* unit) {
  if (EnsureInput(2)) {
    *unit = UnitAt(buffer_.get() + input_begin_);
    input_begin_ += 2;
    return true;
  }
  if (input_begin_ == input_end_) return false;
  *unit = buffer_[input_begin_++];
  return true;
}

bool WideTextFile::NextUnit(char16_t* unit) {
  if (has_pending_unit_) {
    has_pending_unit_ = false;
    *unit = pending_unit_;
    return true;
  }
  if (end_of_data_) return false;
  if (encoding_ == Encoding::kUtf8) return NextUtf8Unit(unit);

  char16_t value;
  if (!TakeUtf16Unit(&value)) return false;
  if (value == kEndOfData) {
    EndData();
    return false;
  }
  if (value == kCarriageReturn) {
    // A peek, not a take: a unit other than LF is handled in its own turn.
    // The lone final byte counts as a unit here too.
    if (EnsureInput(2)) {
      if (UnitAt(buffer_.get() + input_begin_) == kLineFeed) {
        input_begin_ += 2;
        value = kLineFeed;
      }
    } else if (input_end_ - input_begin_ == 1 &&
               buffer_[input_begin_] == kLineFeed) {
      ++input_begin_;
      value = kLineFeed;
    }
  }
  *unit = value;
  return true;
}

bool WideTextFile::NextUtf8Unit(char16_t* unit) {
  if (!EnsureInput(1)) return false;
  const std::uint8_t lead = buffer_[input_begin_];
  if (lead < 0x80) {
    ++input_begin_;
    if (lead == kEndOfData) {
      EndData();
      return false;
    }
    if (lead == kCarriageReturn && EnsureInput(1) &&
        buffer_[input_begin_] == kLineFeed) {
      ++input_begin_;
      *unit = kLineFeed;
      return true;
    }
    *unit = lead;
    return true;
  }
  // With a whole sequence's worth of bytes at hand, or the end of the
  // input, the step needs nothing more: a cut sequence is then final.
  EnsureInput(kMaxUtf8SequenceBytes);
  char32_t code_point;
  input_begin_ +=
      DecodeUtf8Step(buffer_.get() + input_begin_, buffer_.get() + input_end_,
                     /*at_end=*/true, &code_point);
  if (code_point < 0x10000) {
    *unit = static_cast<char16_t>(code_point);
  } else {
    *unit = HighSurrogate(code_point);
    pending_unit_ = LowSurrogate(code_point);
    has_pending_unit_ = true;
  }
  return true;
}

bool WideTextFile::ReadLine(char16_t* buffer, std::size_t capacity_units,
                            std::size_t* stored_units) {
  if (stored_units != nullptr) *stored_units = 0;
  if (capacity_units == 0) return false;
  if (capacity_units == 1) {
    buffer[0] = 0;
    return true;
  }
  if (mode_ != Mode::kRead) return false;

  const std::size_t limit = capacity_units - 1;
  std::size_t stored = 0;
  bool line_ended = false;
  while (stored < limit && !line_ended) {
    // Fast paths: ordinary units straight out of the buffer. Anything that
    // needs a look past it (CR, Ctrl-Z, a sequence or unit cut by the
    // block end) is left to NextUnit.
    if (encoding_ == Encoding::kUtf16Le) {
      const std::uint8_t* bytes = buffer_.get() + input_begin_;
      const std::size_t run =
          std::min((input_end_ - input_begin_) / 2, limit - stored);
      char16_t* out = buffer + stored;
      std::size_t i = 0;
      for (; i < run; ++i) {
        const char16_t value = UnitAt(bytes + 2 * i);
        if (value <= kEndOfData) {
          if (value == kLineFeed) {
            out[i++] = value;
            line_ended = true;
            break;
          }
          if (value == kCarriageReturn || value == kEndOfData) break;
        }
        out[i] = value;
      }
      input_begin_ += 2 * i;
      stored += i;
    } else if (!has_pending_unit_) {
      const std::uint8_t* const start = buffer_.get();
      const std::uint8_t* p = start + input_begin_;
      const std::uint8_t* const end = start + input_end_;
      while (p < end && stored < limit) {
        const std::uint8_t byte = *p;
        if (byte < 0x80) {
          if (byte <= kEndOfData) {
            if (byte == kLineFeed) {
              buffer[stored++] = kLineFeed;
              ++p;
              line_ended = true;
              break;
            }
            if (byte == kCarriageReturn || byte == kEndOfData) break;
          }
          buffer[stored++] = byte;
          ++p;
          continue;
        }
        char32_t code_point;
        const std::size_t length =
            DecodeUtf8Step(p, end, /*at_end=*/false, &code_point);
        if (length == 0) break;  // The sequence goes on in the next block.
        p += length;
        if (code_point < 0x10000) {
          buffer[stored++] = static_cast<char16_t>(code_point);
        } else {
          buffer[stored++] = HighSurrogate(code_point);
          if (stored < limit) {
            buffer[stored++] = LowSurrogate(code_point);
          } else {
            pending_unit_ = LowSurrogate(code_point);
            has_pending_unit_ = true;
          }
        }
      }
      input_begin_ = static_cast<std::size_t>(p - start);
    }
    if (line_ended || stored == limit) break;

    char16_t unit;
    if (!NextUnit(&unit)) break;
    buffer[stored++] = unit;
    line_ended = unit == kLineFeed;
  }
  if (stored == 0) return false;
  buffer[stored] = 0;
  if (stored_units != nullptr) *stored_units = stored;
  return true;
}

// ---------------------------------------------------------------- writing

void WideTextFile::FlushOutput() {
  if (output_size_ == 0) return;
  // After a failure nothing more is written: the file stays short rather
  // than gaining a hole in the middle.
  if (!write_failed_) {
    if (memory_output_ != nullptr) {
      memory_output_->append(reinterpret_cast<const char*>(buffer_.get()),
                             output_size_);
    } else if (file_.Write(buffer_.get(), output_size_) != 0) {
      write_failed_ = true;
    }
  }
  output_size_ = 0;
}

long WideTextFile::Print(const char16_t* format,
                         std::initializer_list<const char16_t*> args) {
  if (mode_ != Mode::kWrite || write_failed_) return -1;
  std::uint8_t* const begin = buffer_.get();
  const std::uint8_t* const last = begin + kBufferBytes - kMaxEncodedUnitBytes;
  std::uint8_t* out = begin + output_size_;
  std::size_t count = 0;
  // Encodes `text` up to its 0 unit (or, in the format, up to "%s"),
  // flushing whenever the buffer fills.
  auto encode = [&](const char16_t* text, bool is_format) {
    for (;;) {
      const char16_t* const start = text;
      out = EncodeRun(&text, out, last, is_format);
      count += static_cast<std::size_t>(text - start);
      if (out <= last) return text;
      output_size_ = static_cast<std::size_t>(out - begin);
      FlushOutput();
      out = begin;
    }
  };
  auto next_arg = args.begin();
  for (const char16_t* f = encode(format, true); *f != 0;
       f = encode(f + 2, true)) {
    // A "%s" without an argument is treated like a null one.
    const char16_t* arg = next_arg != args.end() ? *next_arg++ : nullptr;
    encode(arg != nullptr ? arg : kNullArgument, false);
  }
  output_size_ = static_cast<std::size_t>(out - begin);
  if (write_failed_) return -1;
  return static_cast<long>(count);
}

}  // namespace textresgen
