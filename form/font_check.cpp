#include "form/font_check.h"

#include <QFontDatabase>
#include <QString>
#include <QStringList>
#include <cstdio>

namespace corvane {

std::string MissingFontMessage(bool hasWindowFont, bool hasOtherJapaneseFont) {
  if (hasWindowFont) return "";
  const std::string missing =
      std::string("corvane: the Japanese font ") + kJapaneseFontFamily + " is not installed, so ";
  const std::string effect = hasOtherJapaneseFont
                                 ? "the window is drawn in another font and captions may not fit"
                                 : "the window's Japanese text shows as empty boxes";
  return missing + effect + "; install the package " + kJapaneseFontPackage + " (apt-get install " +
         kJapaneseFontPackage + ")";
}

void WarnIfJapaneseFontMissing() {
  const bool hasWindowFont = QFontDatabase::hasFamily(QString::fromLatin1(kJapaneseFontFamily));
  const bool hasOtherJapaneseFont = !QFontDatabase::families(QFontDatabase::Japanese).isEmpty();
  const std::string message = MissingFontMessage(hasWindowFont, hasOtherJapaneseFont);
  if (!message.empty()) std::fprintf(stderr, "%s\n", message.c_str());
}

}  // namespace corvane
