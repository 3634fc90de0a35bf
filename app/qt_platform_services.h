#pragma once
// The Qt side of the platform services: file dialogs, the heading input box, message
// boxes, the pointer and the pause.

#include <QString>

#include "form/platform_services.h"

namespace corvane {

class QtPlatformServices : public PlatformServices {
 public:
  // title: the application title, the caption of the message boxes.
  explicit QtPlatformServices(QString title) : title_(std::move(title)) {}

  std::optional<std::vector<std::string>> OpenFilesDialog(const std::string& initialDir,
                                                          const std::string& seedFile) override;
  std::optional<std::string> OpenDirDialog(const std::string& initialDir,
                                           const std::string& fileName) override;
  std::string InputBox(const std::string& caption, const std::string& prompt,
                       const std::string& initial) override;
  void ShowErrorBox(const std::string& text) override;
  void ShowInfoMessage(const std::string& text) override;
  int PointerScreenY() override;
  void Sleep(int milliseconds) override;

 private:
  QString title_;
};

}  // namespace corvane
