#include "tests/e2e/decoded_source.h"


// The decoders exactly as every generated module compiles them.
#include "d_func.cpp"

namespace textresgen::support {
namespace {

bool IsHexDigits(const std::string& text) {
  return text.find_first_not_of("0123456789ABCDEF") == std::string::npos;
}

// Splits "\ttable[dA("A")] = t.PATH = dU(L"U");" into its three parts. No
// regular expression: literals of long texts are far too long for one.
bool SplitLine(const std::string& line, std::string* a_literal,
               std::string* path, std::string* u_literal) {
  const std::string head = "\ttable[dA(\"";
  const std::string middle = "\")] = t.";
  const std::string text_head = " = dU(L\"";
  const std::string tail = "\");";
  if (line.rfind(head, 0) != 0 || line.size() < head.size() + tail.size() ||
      line.compare(line.size() - tail.size(), tail.size(), tail) != 0) {
    return false;
  }
  const std::size_t a_end = line.find(middle, head.size());
  const std::size_t u_begin = line.rfind(text_head);
  if (a_end == std::string::npos || u_begin == std::string::npos ||
      u_begin < a_end + middle.size()) {
    return false;
  }
  *a_literal = line.substr(head.size(), a_end - head.size());
  *path = line.substr(a_end + middle.size(), u_begin - a_end - middle.size());
  *u_literal = line.substr(u_begin + text_head.size(),
                           line.size() - tail.size() - u_begin - text_head.size());
  return IsHexDigits(*a_literal) && IsHexDigits(*u_literal);
}

// Back to UTF-16 units, splitting code points where wchar_t has 32 bits.
std::u16string Units(const wchar_t* text) {
  std::u16string units;
  for (; *text != 0; ++text) {
    const auto c = static_cast<unsigned long>(*text);
    if (c > 0xFFFF) {
      units += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
      units += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
    } else {
      units += static_cast<char16_t>(c);
    }
  }
  return units;
}

}  // namespace

std::vector<DecodedLine> DecodeSourceLines(const std::string& source,
                                           std::string* error) {
  std::vector<DecodedLine> lines;
  const std::string open = "\tt.Get = Get;\n";
  std::size_t start = source.find(open);
  if (start == std::string::npos) {
    *error = "no \"t.Get = Get;\" line";
    return lines;
  }
  start += open.size();
  for (std::size_t end; (end = source.find('\n', start)) != std::string::npos;
       start = end + 1) {
    const std::string line = source.substr(start, end - start);
    if (line == "}") return lines;
    std::string a_literal, path, u_literal;
    if (!SplitLine(line, &a_literal, &path, &u_literal)) {
      *error = "unexpected line: " + line;
      return lines;
    }
    const std::wstring wide_u_literal(u_literal.begin(), u_literal.end());
    lines.push_back({path, dA(a_literal.c_str()), Units(dU(wide_u_literal.c_str()))});
  }
  *error = "no closing brace";
  return lines;
}

std::string MaskLiterals(const std::string& source) {
  std::string masked;
  std::size_t done = 0;
  for (std::size_t at = 0; at < source.size();) {
    std::size_t open = std::string::npos;
    std::size_t open_size = 0;
    for (const char* opening : {"dA(\"", "dU(L\""}) {
      const std::size_t found = source.find(opening, at);
      if (found < open) {
        open = found;
        open_size = std::char_traits<char>::length(opening);
      }
    }
    if (open == std::string::npos) break;
    const std::size_t digits = open + open_size;
    const std::size_t close = source.find('"', digits);
    if (close == std::string::npos) break;
    masked.append(source, done, digits - done);
    masked += "<" + std::to_string(close - digits) + ">";
    done = close;
    at = close + 1;
  }
  masked.append(source, done);
  return masked;
}

}  // namespace textresgen::support
