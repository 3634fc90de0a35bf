#pragma once
// The Qt side of the platform services: file dialogs, the heading input box, message
// boxes, each a child of the main window: a window manager keeps it over the window, and
// Wayland, which lets no program place its own windows, places it there.

#include <QPointer>
#include <QString>
#include <QWidget>

#include "form/platform_services.h"

namespace corvane {

class QtPlatformServices : public PlatformServices {
 public:
  // title: the application title, the caption of the message boxes.
  explicit QtPlatformServices(QString title) : title_(std::move(title)) {}
  // The window every dialog and box belongs to, once it exists.
  void SetParentWindow(QWidget* window) { parent_ = window; }

  std::optional<std::vector<std::string>> OpenFilesDialog(const std::string& initialDir,
                                                          const std::string& seedFile) override;
  std::optional<std::string> OpenDirDialog(const std::string& initialDir,
                                           const std::string& fileName) override;
  std::string InputBox(const std::string& caption, const std::string& prompt,
                       const std::string& initial) override;
  void ShowErrorBox(const std::string& text) override;
  void ShowInfoMessage(const std::string& text) override;

 private:
  QString title_;
  QPointer<QWidget> parent_;
};

}  // namespace corvane
