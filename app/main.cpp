// Program entry: prepares the application the window is designed for, creates the main
// window (running its start-up sequence), shows it centred and runs the event loop.

#include "app/qt_platform_services.h"
#include "core/application_title.h"
#include "form/application_setup.h"
#include "form/font_check.h"
#include "form/form1.h"
#include "form/form1_geometry.h"
#include "widgets/window_frame.h"

int main(int argc, char** argv) {
  const auto app = corvane::MakeApplication(argc, argv);
  corvane::WarnIfJapaneseFontMissing();

  const std::string title = corvane::ApplicationTitle(argc > 0 ? argv[0] : "corvane");
  corvane::QtPlatformServices services(QString::fromUtf8(title.c_str()));
  corvane::ProgramState state;
  corvane::TForm1 form(state, services);
  services.SetParentWindow(&form);
  form.Guarded([&] { form.FormCreate(); });
  // The frame is known only once the window is shown (and only under a window manager):
  // then the client shrinks so that the outer size stays as designed, and it is centred.
  corvane::KeepOuterSizeCentred(form, corvane::kWindowSize);
  form.show();
  return QApplication::exec();
}
