#include "app/qt_platform_services.h"

#include <QMessageBox>
#include <QPushButton>

#include "widgets/file_dialogs.h"
#include "widgets/input_box.h"
#include "widgets/qt_text.h"
#include "widgets/window_frame.h"

namespace corvane {
namespace {

QString FromFs(const std::string& name) {
  return QString::fromUtf8(name.data(), qsizetype(name.size()));
}
std::string ToFs(const QString& name) {
  return name.toUtf8().toStdString();
}

}  // namespace

std::optional<std::vector<std::string>> QtPlatformServices::OpenFilesDialog(
    const std::string& initialDir, const std::string& seedFile) {
  auto dialog = MakeOpenFilesDialog(FromFs(initialDir), FromFs(seedFile), parent_);
  if (dialog->exec() != QDialog::Accepted) return std::nullopt;
  std::vector<std::string> paths;
  for (const QString& path : dialog->selectedFiles()) paths.push_back(ToFs(path));
  if (paths.empty()) return std::nullopt;
  return paths;
}

std::optional<std::string> QtPlatformServices::OpenDirDialog(const std::string& initialDir,
                                                             const std::string& fileName) {
  auto dialog = MakeOpenDirDialog(FromFs(initialDir), FromFs(fileName), parent_);
  if (dialog->exec() != QDialog::Accepted) return std::nullopt;
  QStringList chosen = dialog->selectedFiles();
  if (chosen.isEmpty()) return std::nullopt;
  return ToFs(chosen.first());
}

std::string QtPlatformServices::InputBox(const std::string& caption, const std::string& prompt,
                                         const std::string& initial) {
  QString initialText = ToQString(initial);
  QString result = ShowInputBox(ToQString(caption), ToQString(prompt), initialText, parent_);
  return result == initialText ? initial : FromQString(result);
}

void QtPlatformServices::ShowErrorBox(const std::string& text) {
  QMessageBox box(QMessageBox::Critical, title_, ToQString(text), QMessageBox::Ok, parent_);
  KeepCentredOnScreen(box);
  box.exec();
}

void QtPlatformServices::ShowInfoMessage(const std::string& text) {
  QMessageBox box(QMessageBox::NoIcon, title_, ToQString(text), QMessageBox::NoButton, parent_);
  QPushButton* ok = box.addButton(Q(u8"OK"), QMessageBox::AcceptRole);
  box.setDefaultButton(ok);
  box.setEscapeButton(ok);
  KeepCentredOnScreen(box);
  box.exec();
}

}  // namespace corvane
