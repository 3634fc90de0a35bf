#include "form/form1.h"

#include <QApplication>
#include <QLineEdit>
#include <QVariant>

#include <new>

#include "core/code_page.h"
#include "core/errors.h"
#include "form/drag_controller.h"
#include "form/platform_services.h"
#include "widgets/qt_text.h"

namespace corvane {
namespace {

// The exact CP932 bytes behind a line edit's text, kept beside it so that bytes which do
// not convert cleanly survive a round trip through the control.
constexpr const char* kBytesProperty = "corvaneBytes";

}  // namespace

TForm1::TForm1(ProgramState& state, PlatformServices& services, QWidget* parent)
    : QWidget(parent), state_(state), services_(services) {
  BuildLayout();
  WireEvents();
}

TForm1::~TForm1() = default;

void TForm1::RethrowPending() {
  if (pending_) {
    std::exception_ptr e = pending_;
    pending_ = nullptr;
    std::rethrow_exception(e);
  }
}

void TForm1::ReportCurrentException() noexcept {
  try {
    // A drag in progress holds the mouse: let go of it before the modal box.
    if (Drag) Drag->Cancel();
    if (QWidget* grabber = QWidget::mouseGrabber()) grabber->releaseMouse();
    std::string message;
    try {
      throw;
    } catch (const CorvaneError& e) {
      message = e.Message();
    } catch (const std::bad_alloc&) {
      // Whatever ran out of memory has been unwound; nothing of it was put in place.
      message = Sjis(u8"メモリが不足しています");
    } catch (const std::exception& e) {
      try {
        message = Utf8ToCp932(e.what());
      } catch (...) {
        message = "?";
      }
    } catch (...) {
      message = "?";
    }
    services_.ShowErrorBox(ErrorReportText(message));
  } catch (...) {
    // Nothing may escape into the event loop.
  }
}

std::string TForm1::ControlText(const QLineEdit* edit) const {
  QVariant bytes = edit->property(kBytesProperty);
  if (bytes.isValid()) {
    std::string held = bytes.toByteArray().toStdString();
    if (ToQString(held) == edit->text()) return held;
  }
  return FromQString(edit->text());
}

void TForm1::SetControlText(QLineEdit* edit, const std::string& text) {
  edit->setProperty(kBytesProperty, QByteArray::fromStdString(text));
  edit->setText(ToQString(text));
  // Show the beginning of a long path, as a field set by the program should.
  edit->setCursorPosition(0);
  RethrowPending();
}

TForm1::OperationNames::OperationNames(TForm1& form) : form_(form) {
  if (!form_.names_) form_.names_ = &own_.emplace();
}

TForm1::OperationNames::~OperationNames() {
  if (own_) form_.names_ = nullptr;
}

void TForm1::Button4Click() {
  close();
}

}  // namespace corvane
