// TextToInteger against a second parser built another way (std::from_chars does the digits
// and the range checks): both must accept the same texts with the same values, and a
// rejected text must be named whole in the error message.

#include <charconv>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/code_page.h"
#include "core/errors.h"
#include "core/text_to_integer.h"
#include "fuzz/fuzz_support.h"

using namespace corvane::fuzzing;

namespace {

bool AllHexDigits(std::string_view s) {
  for (char c : s) {
    bool hex = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
    if (!hex) return false;
  }
  return true;
}

bool AllDecimalDigits(std::string_view s) {
  for (char c : s) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

template <typename T>
std::optional<T> ParseWhole(std::string_view s, int base) {
  T value{};
  auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value, base);
  if (ec != std::errc() || end != s.data() + s.size()) return std::nullopt;
  return value;
}

std::optional<std::int32_t> Reference(std::string_view text) {
  std::size_t start = text.find_first_not_of(' ');
  if (start == std::string_view::npos) return std::nullopt;
  std::string_view rest = text.substr(start);

  std::string_view hex;
  if (rest.starts_with("0x") || rest.starts_with("0X")) {
    hex = rest.substr(2);
  } else if (rest.starts_with('$') || rest.starts_with('x') || rest.starts_with('X')) {
    hex = rest.substr(1);
  } else {
    // Decimal. The digits are checked here so that nothing from_chars might tolerate slips
    // through; it reads a '-' itself but not a '+', and it does the range check.
    std::string_view digits = rest;
    if (rest.starts_with('+') || rest.starts_with('-')) digits.remove_prefix(1);
    if (digits.empty() || !AllDecimalDigits(digits)) return std::nullopt;
    return ParseWhole<std::int32_t>(rest.starts_with('+') ? digits : rest, 10);
  }
  if (hex.empty() || !AllHexDigits(hex)) return std::nullopt;
  auto value = ParseWhole<std::uint32_t>(hex, 16);
  if (!value) return std::nullopt;
  return static_cast<std::int32_t>(*value);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  static const std::string suffix = corvane::Sjis(u8"' は整数ではありません");
  const std::optional<std::int32_t> expected = Reference(text);
  try {
    std::int32_t value = corvane::TextToInteger(text);
    FUZZ_CHECK(expected.has_value());
    FUZZ_CHECK(value == *expected);
  } catch (const corvane::EConvertError& e) {
    FUZZ_CHECK(!expected.has_value());
    FUZZ_CHECK(e.Message() == "'" + text + suffix);
  }
  return 0;
}
