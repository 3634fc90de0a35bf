#include "core/text_to_integer.h"

#include "core/errors.h"

namespace corvane {
namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

std::int32_t TextToInteger(const std::string& text) {
  std::size_t i = 0;
  const std::size_t n = text.size();
  while (i < n && text[i] == ' ') ++i;
  auto fail = [&]() -> std::int32_t { throw EConvertError::NotAnInteger(text); };

  std::size_t hexStart = 0;
  if (i < n && (text[i] == '$' || text[i] == 'x' || text[i] == 'X')) {
    hexStart = i + 1;
  } else if (i + 1 < n && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
    hexStart = i + 2;
  }
  if (hexStart != 0) {
    if (hexStart >= n) return fail();
    std::uint64_t value = 0;
    for (std::size_t j = hexStart; j < n; ++j) {
      int d = HexDigit(text[j]);
      if (d < 0) return fail();
      value = value * 16 + static_cast<unsigned>(d);
      if (value > 0xFFFFFFFFull) return fail();
    }
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
  }

  bool negative = false;
  if (i < n && (text[i] == '-' || text[i] == '+')) {
    negative = text[i] == '-';
    ++i;
  }
  if (i >= n) return fail();
  std::int64_t value = 0;
  for (; i < n; ++i) {
    if (text[i] < '0' || text[i] > '9') return fail();
    value = value * 10 + (text[i] - '0');
    if (value > 2147483648LL) return fail();
  }
  if (negative) value = -value;
  if (value > 2147483647LL || value < -2147483648LL) return fail();
  return static_cast<std::int32_t>(value);
}

}  // namespace corvane
