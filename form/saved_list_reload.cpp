// Bringing the saved list back: "前回読込み" appends it, "比較読込み" appends it and
// reconciles it with the input list, "非選択消去" drops the entries marked as not chosen.

#include <QLineEdit>
#include <QPushButton>

#include "core/folder.h"
#include "core/folder_index.h"
#include "core/list_entries.h"
#include "core/name_index.h"
#include "core/saved_list.h"
#include "form/form1.h"
#include "widgets/list_box.h"

namespace corvane {

void TForm1::LoadSavedList() {
  OperationNames names(*this);
  // The folder is opened once and the list read through it, found there up to letter case.
  const Folder folder(names->Path(ControlText(Edit1)));
  folder.ExpectChosen(ChosenInputFolder());
  const FolderIndex::Entry file = *names->FindIn(folder, SavedListFileName(""));
  ReadSavedList(folder.Fd(), file.fsName,
                [this](std::string entry) { ListBox2->Insert(-1, entry); });
}

void TForm1::Button11Click() {
  LoadSavedList();
}

void TForm1::Button8Click() {
  LoadSavedList();
  const std::vector<std::string> outputs = ListBox2->Items();
  NameIndex inputs(ListBox1->Items());
  bool marked = false;
  for (std::size_t i = 0; i < outputs.size(); ++i) {
    if (inputs.TakeMatch(outputs[i])) continue;
    if (!IsHeading(outputs[i])) {
      ListBox2->SetItem(static_cast<int>(i), WithUnselectedMark(outputs[i]));
      marked = true;
    }
  }
  if (inputs.TakenAny()) ListBox1->SetEntries(inputs.Remaining());
  if (marked) Button9->show();
}

void TForm1::Button9Click() {
  std::vector<std::string> kept;
  for (auto& entry : ListBox2->Items()) {
    if (!IsMarked(entry)) kept.push_back(std::move(entry));
  }
  ListBox2->SetEntries(kept);
  ListBox2->SetItemIndex(-1);
}

}  // namespace corvane
