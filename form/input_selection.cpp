// Choosing the input files: their bare names become the input list, their folder the
// input directory, and the output list starts afresh.

#include <QLineEdit>
#include <QPushButton>

#include "core/code_page.h"
#include "core/list_entries.h"
#include "core/paths.h"
#include "core/saved_list.h"
#include "form/form1.h"
#include "form/platform_services.h"
#include "widgets/list_box.h"

namespace corvane {

std::string TForm1::WorkDirForDialog() {
  OperationNames names(*this);
  const std::string dir = WithoutTrailingSeparator(state_.Settings.WorkDir);
  return names->Find(dir).value_or(Cp932ToUtf8(dir));
}

void TForm1::Button1Click() {
  OperationNames names(*this);
  // Only the first opening starts in WorkDir; later ones start at the file chosen last.
  auto chosen = services_.OpenFilesDialog(WorkDirForDialog(), state_.OpenDialog1FileName);
  if (!chosen || chosen->empty()) return;

  // Every name is converted and checked before anything changes, so a name CP932 or the
  // saved list cannot hold leaves the lists as they were.
  std::vector<std::string> entries;
  std::string folder;
  for (const auto& path : *chosen) {
    auto [dir, name] = SplitFolderAndName(FromFsPath(path));
    CheckNameFitsInList(name);
    if (entries.empty()) folder = dir;
    entries.push_back(name);
  }
  state_.OpenDialog1FileName = chosen->front();
  // The folder as the dialog named it: its CP932 text may convert back to another spelling.
  const std::string fsFolder = FsFolderOf(chosen->front());
  if (!fsFolder.empty()) SetCurrentDirectory(fsFolder);

  ListBox1->Assign(entries);
  state_.InputFolder = Folder::IdOf(fsFolder);
  state_.InputFolderText = folder;
  SetControlText(Edit1, folder);
  ListBox2->Clear();
  Button9->hide();
}

std::optional<FolderId> TForm1::ChosenInputFolder() const {
  if (ControlText(Edit1) != state_.InputFolderText) return std::nullopt;
  return state_.InputFolder;
}

void TForm1::Edit1Change() {
  OperationNames names(*this);
  Button3->show();
  const std::optional<std::string> file = names->Find(SavedListFileName(ControlText(Edit1)));
  const bool saved = file && IsExistingFile(*file);
  Button8->setVisible(saved);
  Button11->setVisible(saved);
}

}  // namespace corvane
