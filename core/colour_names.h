#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace corvane {

struct NamedColor {
  std::string_view name;
  std::uint32_t colorWord;  // red in the low byte, green in the middle, blue in the high byte
};

// The sixteen page colours, in palette order.
extern const std::array<NamedColor, 16> kColorNames;

// The colour word of one of the sixteen names, compared byte for byte (case matters,
// nothing trimmed); black for any other text.
std::uint32_t ColorNameToColor(std::string_view name);

}  // namespace corvane
