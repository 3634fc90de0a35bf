// Choosing the input files: their bare names become the input list, their folder the
// input directory, and the output list starts afresh.

#include <QLineEdit>
#include <QPushButton>

#include "core/code_page.h"
#include "core/paths.h"
#include "core/saved_list.h"
#include "form/form1.h"
#include "form/platform_services.h"
#include "widgets/list_box.h"

namespace corvane {

void TForm1::Button1Click() {
  // Only the first opening starts in WorkDir; later ones start at the file chosen last.
  auto chosen = services_.OpenFilesDialog(
      Cp932ToUtf8(WithoutTrailingSeparator(state_.Settings.WorkDir)), state_.OpenDialog1FileName);
  if (!chosen || chosen->empty()) return;

  // Every name is converted before anything changes, so a name CP932 cannot hold leaves
  // the lists as they were.
  std::vector<std::string> names;
  std::string folder;
  for (const auto& path : *chosen) {
    auto [dir, name] = SplitFolderAndName(FromFsPath(path));
    if (names.empty()) folder = dir;
    names.push_back(name);
  }
  state_.OpenDialog1FileName = chosen->front();
  if (!folder.empty()) SetCurrentDirectory(folder);

  ListBox1->Assign(names);
  SetControlText(Edit1, folder);
  ListBox2->Clear();
  Button9->hide();
}

void TForm1::Edit1Change() {
  Button3->show();
  bool saved = IsExistingFile(SavedListFileName(ControlText(Edit1)));
  Button8->setVisible(saved);
  Button11->setVisible(saved);
}

}  // namespace corvane
