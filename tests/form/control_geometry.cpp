// Prints the window's geometry table as shell assignments, for the real-window scripts to
// find controls by: BUTTON1="288 24 41 25" (left top width height within its page, or
// within the window for the window's own controls), the palette's swatches and the few
// derived numbers the scripts need.

#include <cctype>
#include <cstdio>
#include <string>

#include "core/colour_names.h"
#include "form/form1_geometry.h"
#include "widgets/list_box.h"

int main() {
  using namespace corvane;
  for (const ControlPlace& place : kControlPlaces) {
    if (place.geometry.isEmpty()) continue;
    std::string name(place.name);
    for (char& c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    const QRect& r = place.geometry;
    std::printf("%s=\"%d %d %d %d\"\n", name.c_str(), r.x(), r.y(), r.width(), r.height());
  }
  // The palette's swatches within Panel1, by colour: SWATCH_NAVY="8 24 17 17".
  for (std::size_t i = 0; i < kSwatchPositions.size(); ++i) {
    std::string name(kColorNames[i].name);
    for (char& c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    const QPoint& at = kSwatchPositions[i];
    std::printf("SWATCH_%s=\"%d %d %d %d\"\n", name.c_str(), at.x(), at.y(), kSwatchSize,
                kSwatchSize);
  }
  std::printf("WINDOW_WIDTH=%d\nWINDOW_HEIGHT=%d\n", kWindowSize.width(), kWindowSize.height());
  std::printf("TAB_WIDTH=%d\nLIST_ROW_HEIGHT=%d\nLIST_EDGE=%d\n", kTabWidth, ListBox::kItemHeight,
              ListBox::kFrameWidth);
  return 0;
}
