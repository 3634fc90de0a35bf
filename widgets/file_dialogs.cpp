#include "widgets/file_dialogs.h"

#include <QFileInfo>
#include <QLineEdit>

#include "widgets/qt_text.h"

namespace corvane {
namespace {

std::unique_ptr<QFileDialog> MakeDialog(QWidget* parent) {
  auto dialog = std::make_unique<QFileDialog>(parent);
  // The same dialog on every desktop, whose name field takes typed full paths.
  dialog->setOption(QFileDialog::DontUseNativeDialog);
  dialog->setAcceptMode(QFileDialog::AcceptOpen);
  dialog->setSizeGripEnabled(true);
  return dialog;
}

// Opens in the folder of `name` when it is a full path, else in initialDir, with `name`
// as it is in the name field: the dialog's own selectFile would cut a full path down to
// its bare name. Selected, so that typing replaces it.
void SeedNameField(QFileDialog& dialog, const QString& initialDir, const QString& name) {
  const QFileInfo info(name);
  dialog.setDirectory(info.isAbsolute() ? info.absolutePath() : initialDir);
  if (name.isEmpty()) return;
  dialog.selectFile(name);
  if (QLineEdit* field = NameField(dialog)) {
    field->setText(name);
    field->selectAll();
  }
}

}  // namespace

QLineEdit* NameField(QFileDialog& dialog) {
  return dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
}

std::unique_ptr<QFileDialog> MakeOpenFilesDialog(const QString& initialDir,
                                                 const QString& lastChoice, QWidget* parent) {
  auto dialog = MakeDialog(parent);
  dialog->setOption(QFileDialog::ReadOnly, false);
  dialog->setOption(QFileDialog::HideNameFilterDetails);
  dialog->setFileMode(QFileDialog::ExistingFiles);
  // Names ending in .TXT or .JPG in any letter case (not .jpeg), then every file.
  dialog->setNameFilters({Q(u8"通常(TXT,JPG) (*.[Tt][Xx][Tt] *.[Jj][Pp][Gg])"), Q(u8"すべて (*)")});
  dialog->selectNameFilter(dialog->nameFilters().first());
  SeedNameField(*dialog, initialDir, lastChoice);
  return dialog;
}

std::unique_ptr<QFileDialog> MakeOpenDirDialog(const QString& initialDir, const QString& fileName,
                                               QWidget* parent) {
  auto dialog = MakeDialog(parent);
  dialog->setFileMode(QFileDialog::AnyFile);
  SeedNameField(*dialog, initialDir, fileName);
  return dialog;
}

}  // namespace corvane
