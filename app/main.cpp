// Program entry: prepares the environment the window is designed for, creates the main
// window (running its start-up sequence), shows it centred and runs the event loop.

#include <QApplication>
#include <QFont>

#include "app/font_check.h"
#include "app/qt_platform_services.h"
#include "core/application_title.h"
#include "form/form1.h"
#include "widgets/window_frame.h"

int main(int argc, char** argv) {
  // The window is laid out in pixels: keep them pixels whatever the screen's resolution.
  qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
  qputenv("QT_FONT_DPI", "96");
  QApplication app(argc, argv);
  // The window asks for a Japanese Gothic that this system may not have under that name.
  QFont::insertSubstitution(QString::fromUtf8("ＭＳ Ｐゴシック"),
                            QString::fromLatin1(corvane::kJapaneseFontFamily));
  corvane::WarnIfJapaneseFontMissing();

  const std::string title = corvane::ApplicationTitle(argc > 0 ? argv[0] : "corvane");
  corvane::QtPlatformServices services(QString::fromUtf8(title.c_str()));
  corvane::ProgramState state;
  corvane::TForm1 form(state, services);
  form.Guarded([&] { form.FormCreate(); });
  form.show();
  // The frame is known only once the window is shown (and only under a window manager):
  // then the client shrinks so that the outer size stays 640 x 480, and it is centred.
  QCoreApplication::processEvents();
  corvane::FitOuterSize(form, QSize(640, 480));
  corvane::CentreOnScreen(form);
  return app.exec();
}
