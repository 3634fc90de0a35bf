#pragma once
// The window is drawn in one Japanese Gothic. Without it every caption is a row of empty
// boxes (no Japanese font at all) or another font whose widths the captions were not laid
// out for, and nothing on screen says why; this says so on standard error, naming the
// Debian package to install.

#include <string>

namespace corvane {

// The family that stands in for the window's font on this system, and its package.
inline constexpr char kJapaneseFontFamily[] = "IPAPGothic";
inline constexpr char kJapaneseFontPackage[] = "fonts-ipafont-gothic";

// The line to print (without its line end), or "" when the window's font is installed.
// hasOtherJapaneseFont: some other installed font can draw Japanese.
std::string MissingFontMessage(bool hasWindowFont, bool hasOtherJapaneseFont);

// Looks the fonts up in the application's font database (so a QGuiApplication must exist)
// and prints MissingFontMessage, if any, as one line on standard error.
void WarnIfJapaneseFontMissing();

}  // namespace corvane
