#pragma once
#include <QString>

class QWidget;

namespace corvane {

// A modal box asking for one line of text. Returns the field's text when closed with
// "OK", `initial` when closed with "キャンセル", Esc or the close box. The box belongs to
// `parent` (the main window) when one is given.
QString ShowInputBox(const QString& caption, const QString& prompt, const QString& initial,
                     QWidget* parent = nullptr);

}  // namespace corvane
