#pragma once
// The modal dialogs the handlers need, behind one small interface:
// the window installs the Qt implementation (app/qt_platform_services.*), tests install a
// scripted one, so no test ever blocks on a modal window.
//
// Names handed over by the file dialogs are in this file system's encoding (UTF-8); the
// handlers convert them to CP932 in one place (FromFsPath). Every other text is CP932.

#include <optional>
#include <string>
#include <vector>

namespace corvane {

class PlatformServices {
 public:
  virtual ~PlatformServices() = default;

  // OpenDialog1: multiple selection, filter "通常(TXT,JPG)" then "すべて". The dialog opens
  // in initialDir, or with its name field seeded with seedFile when that is not empty.
  // Returns the chosen full paths in the order the dialog reports them; nullopt on
  // cancel or failure.
  virtual std::optional<std::vector<std::string>> OpenFilesDialog(const std::string& initialDir,
                                                                  const std::string& seedFile) = 0;

  // OpenDialog2: one name, no filter, the file need not exist; the name field holds
  // fileName ("dir" at first, later the last full path). Returns the full path.
  virtual std::optional<std::string> OpenDirDialog(const std::string& initialDir,
                                                   const std::string& fileName) = 0;

  // The heading input box; returns the field's text on OK, `initial` otherwise.
  virtual std::string InputBox(const std::string& caption, const std::string& prompt,
                               const std::string& initial) = 0;

  // The standard error report's modal box (text already has its "." rule applied).
  virtual void ShowErrorBox(const std::string& text) = 0;
  virtual void ShowInfoMessage(const std::string& text) = 0;
};

}  // namespace corvane
