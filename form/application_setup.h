#pragma once
// The Qt application as the window is designed for it, made in one place for the program
// and for the window tests alike.

#include <QApplication>
#include <memory>

namespace corvane {

// Creates the application with pixel geometry that is never rescaled (the style's metrics
// pinned to 96 dpi), the window's Japanese font family mapped to the installed font made
// to the same metrics, and Qt's own dialogs and standard buttons in Japanese whatever the
// user's locale. Call it once, before any widget exists.
std::unique_ptr<QApplication> MakeApplication(int& argc, char** argv);

}  // namespace corvane
