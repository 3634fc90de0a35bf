#include "form/application_setup.h"

#include <QEvent>
#include <QFont>
#include <QLibraryInfo>
#include <QPalette>
#include <QStyle>
#include <QStyleFactory>
#include <QTranslator>

#include "form/font_check.h"

namespace corvane {

namespace {

// Keeps the application's palette the light one given, also when a platform theme brings
// its own later (GTK's does, once its settings have loaded, and on every theme switch).
class LightPaletteKeeper : public QObject {
 public:
  LightPaletteKeeper(QPalette palette, QObject* parent)
      : QObject(parent), palette_(std::move(palette)) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == qApp && (event->type() == QEvent::ApplicationPaletteChange ||
                            event->type() == QEvent::ThemeChange)) {
      if (QApplication::palette() != palette_) QApplication::setPalette(palette_);
    }
    return false;
  }

 private:
  QPalette palette_;
};

// The light palette the window's colours were chosen against: the Fusion style's own, as
// it is without a theme, on the button face of the desktops those colours were picked on
// (240, 240, 240), where the green labels reach 4.5:1 (on Fusion's 239 they fall just
// short). The style's standardPalette() cannot be asked for it: under a dark theme it
// gives the dark one.
QPalette LightPalette() {
  const QColor window(240, 240, 240);
  const QColor light = window.lighter(150);
  const QColor mid = window.darker(130);
  const QColor dark = window.darker(150);
  const QColor shadow = dark.darker(135);
  const QColor disabledText(190, 190, 190);
  QPalette palette(Qt::black, window, light, dark, mid, Qt::black, Qt::white);
  palette.setBrush(QPalette::Midlight, mid.lighter(110));
  palette.setBrush(QPalette::Button, window);
  palette.setBrush(QPalette::Shadow, shadow);
  palette.setBrush(QPalette::HighlightedText, Qt::white);
  palette.setBrush(QPalette::Disabled, QPalette::Text, disabledText);
  palette.setBrush(QPalette::Disabled, QPalette::WindowText, disabledText);
  palette.setBrush(QPalette::Disabled, QPalette::ButtonText, disabledText);
  palette.setBrush(QPalette::Disabled, QPalette::Base, window);
  palette.setBrush(QPalette::Disabled, QPalette::Dark, QColor(209, 209, 209).darker(110));
  palette.setBrush(QPalette::Disabled, QPalette::Shadow, shadow.lighter(150));
  palette.setBrush(QPalette::Active, QPalette::Highlight, QColor(48, 140, 198));
  palette.setBrush(QPalette::Inactive, QPalette::Highlight, QColor(48, 140, 198));
  palette.setBrush(QPalette::Disabled, QPalette::Highlight, QColor(145, 145, 145));
  QColor placeholder = Qt::black;
  placeholder.setAlpha(128);
  palette.setBrush(QPalette::PlaceholderText, placeholder);
  // Every role of every group set on its own, so that none is taken from the theme.
  for (int group = 0; group < QPalette::NColorGroups; ++group) {
    for (int role = 0; role < QPalette::NColorRoles; ++role) {
      const auto g = static_cast<QPalette::ColorGroup>(group);
      const auto r = static_cast<QPalette::ColorRole>(role);
      palette.setBrush(g, r, palette.brush(g, r));
    }
  }
  return palette;
}

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
  // dark desktop theme would leave them unreadable. So the window keeps the style it is
  // designed in, with its light palette, whatever the theme says.
  if (QStyle* style = QStyleFactory::create(QStringLiteral("Fusion"))) {
    QApplication::setStyle(style);
    const QPalette light = LightPalette();
    QApplication::setPalette(light);
    app->installEventFilter(new LightPaletteKeeper(light, app.get()));
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
