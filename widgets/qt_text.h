#pragma once
// The Qt boundary of text: controls show QString, the program holds CP932 bytes.

#include <QString>
#include <string>

namespace corvane {

QString ToQString(const std::string& cp932);
// Raises EEncodingError for a character CP932 cannot hold.
std::string FromQString(const QString& text);
// For the program's own UTF-8 literals.
inline QString Q(const char8_t* utf8) {
  return QString::fromUtf8(reinterpret_cast<const char*>(utf8));
}

}  // namespace corvane
