#include "form/application_setup.h"

#include <QFont>
#include <QLibraryInfo>
#include <QTranslator>

#include "form/font_check.h"

namespace corvane {

std::unique_ptr<QApplication> MakeApplication(int& argc, char** argv) {
  // The window is laid out in pixels: keep them pixels whatever the screen's resolution.
  // Both are read when the application object is made, so they are set before it.
  qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
  qputenv("QT_FONT_DPI", "96");
  auto app = std::make_unique<QApplication>(argc, argv);
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
