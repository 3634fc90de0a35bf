#include "widgets/qt_text.h"

#include <QByteArray>

#include "core/code_page.h"

namespace corvane {

QString ToQString(const std::string& cp932) {
  return QString::fromUtf8(Cp932ToUtf8(cp932));
}

std::string FromQString(const QString& text) {
  const QByteArray utf8 = text.toUtf8();
  return Utf8ToCp932(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())));
}

}  // namespace corvane
