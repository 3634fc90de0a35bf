// The window tests need a QApplication, set up the way the program runs: pixel geometry not
// rescaled, the style's metrics pinned to 96 dpi, and the window's Japanese font family
// mapped to the installed font made to the same metrics.

#include <gtest/gtest.h>

#include <QApplication>
#include <QFont>
#include <QString>

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
  qputenv("QT_FONT_DPI", "96");
  ::testing::InitGoogleTest(&argc, argv);
  QApplication app(argc, argv);
  QFont::insertSubstitution(QString::fromUtf8(u8"ＭＳ Ｐゴシック"), QStringLiteral("IPAPGothic"));
  return RUN_ALL_TESTS();
}
