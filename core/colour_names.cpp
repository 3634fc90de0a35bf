#include "core/colour_names.h"

namespace corvane {

const std::array<NamedColor, 16> kColorNames = {{
    {"aqua", 0xFFFF00},
    {"black", 0x000000},
    {"blue", 0xFF0000},
    {"fuchsia", 0xFF00FF},
    {"gray", 0x808080},
    {"green", 0x008000},
    {"lime", 0x00FF00},
    {"maroon", 0x000080},
    {"navy", 0x800000},
    {"olive", 0x008080},
    {"purple", 0x800080},
    {"red", 0x0000FF},
    {"silver", 0xC0C0C0},
    {"teal", 0x808000},
    {"white", 0xFFFFFF},
    {"yellow", 0x00FFFF},
}};

std::uint32_t ColorNameToColor(std::string_view name) {
  std::uint32_t result = 0;
  for (const auto& color : kColorNames) {
    if (name == color.name) result = color.colorWord;
  }
  return result;
}

}  // namespace corvane
