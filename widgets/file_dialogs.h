#pragma once
// The window's two file-open dialogs, set up but not yet run, so that what a user meets
// when one opens can be checked without a modal loop. Paths are this file system's.

#include <QFileDialog>
#include <QLineEdit>
#include <memory>

namespace corvane {

// Several files of one folder, filter "通常(TXT,JPG)" then "すべて". The first opening
// starts in initialDir; later ones show the full path of the first file chosen last time
// (lastChoice) in the name field, in that file's folder.
// Each dialog belongs to `parent` (the main window) when one is given.
std::unique_ptr<QFileDialog> MakeOpenFilesDialog(const QString& initialDir,
                                                 const QString& lastChoice,
                                                 QWidget* parent = nullptr);

// One name that need not exist, no filter. The name field shows fileName: "dir" at first,
// then the full path chosen last time (whose folder the dialog then starts in).
std::unique_ptr<QFileDialog> MakeOpenDirDialog(const QString& initialDir, const QString& fileName,
                                               QWidget* parent = nullptr);

// The dialog's name field.
QLineEdit* NameField(QFileDialog& dialog);

}  // namespace corvane
