#pragma once
#include <QString>

namespace corvane {

// A modal box asking for one line of text. Returns the field's text when closed with
// "OK", `initial` when closed with "キャンセル", Esc or the close box.
QString ShowInputBox(const QString& caption, const QString& prompt, const QString& initial);

}  // namespace corvane
