#include "form/application_setup.h"

#include <QFont>
#include <QLibraryInfo>
#include <QPalette>
#include <QStyle>
#include <QStyleFactory>
#include <QTranslator>

#include "form/font_check.h"

namespace corvane {

namespace {

// Qt's own ways of asking for a scale. A user who set any of them gets exactly what they
// asked for.
bool UserChoseQtScaling() {
  for (const char* name :
       {"QT_SCALE_FACTOR", "QT_SCREEN_SCALE_FACTORS", "QT_ENABLE_HIGHDPI_SCALING",
        "QT_AUTO_SCREEN_SCALE_FACTOR", "QT_USE_PHYSICAL_DPI", "QT_FONT_DPI"}) {
    if (!qEnvironmentVariableIsEmpty(name)) return true;
  }
  return false;
}

}  // namespace

std::unique_ptr<QApplication> MakeApplication(int& argc, char** argv) {
  // The window is laid out in pixels, so it is scaled as a whole or not at all: by the
  // desktop's scale (X11's Xft.dpi, which desktop settings write, over 96 dpi; a Wayland
  // compositor's output scale), and by nothing else. Where the user set a Qt scale of
  // their own, that alone counts, over pixels that stay pixels (the style's metrics pinned
  // to 96 dpi as well). Both are read when the application object is made.
  if (UserChoseQtScaling()) {
    qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
    qputenv("QT_FONT_DPI", "96");
  }
  auto app = std::make_unique<QApplication>(argc, argv);
  // The desktop file the task bar and a Wayland compositor match the window with.
  QGuiApplication::setDesktopFileName(QStringLiteral("io.github.corvane.corvane"));
  // The window's label colours (green, navy) were chosen against a light button face: a
  // dark desktop theme would leave them unreadable. So the window keeps the light palette
  // of the style it is designed in, whatever the theme says.
  if (QStyle* style = QStyleFactory::create(QStringLiteral("Fusion"))) {
    QApplication::setStyle(style);
    QApplication::setPalette(style->standardPalette());
  }
  // The window asks for a Japanese Gothic that this system may not have under that name.
  QFont::insertSubstitution(QString::fromUtf8(u8"ＭＳ Ｐゴシック"),
                            QString::fromLatin1(kJapaneseFontFamily));
  // Everything else the user reads is Japanese; Qt's file dialogs and message box buttons
  // are too, also under an English or C locale. Owned by the application.
  auto* qtTexts = new QTranslator(app.get());
  if (qtTexts->load(QStringLiteral("qtbase_ja"),
                    QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    QApplication::installTranslator(qtTexts);
  } else {
    qWarning("Qt's Japanese translation (qtbase_ja.qm) is not installed: dialogs stay in English");
  }
  return app;
}

}  // namespace corvane
