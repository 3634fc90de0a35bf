// The two settings tabs: page colours, menu width and side, image long side, working
// directory and the save buttons. They change the settings in memory only; the save
// buttons write them.

#include <QComboBox>
#include <QLineEdit>

#include "core/code_page.h"
#include "core/colour_names.h"
#include "core/list_entries.h"
#include "core/paths.h"
#include "core/settings.h"
#include "core/text_to_integer.h"
#include "form/form1.h"
#include "form/platform_services.h"
#include "widgets/radio_group.h"
#include "widgets/shape.h"
#include "widgets/up_down.h"

namespace corvane {

void TForm1::Button5Click() {
  SaveSettings(state_.IniDir, state_.Settings);
}
void TForm1::Button7Click() {
  SaveSettings(state_.IniDir, state_.Settings);
}

void TForm1::Combobox1Change() {
  int i = Combobox1->currentIndex();
  if (i < 0 || i >= static_cast<int>(state_.Settings.HtmlColors.size())) return;
  Shape1->SetBrushColor(ColorNameToColor(state_.Settings.HtmlColors[i]));
}

void TForm1::AssignSwatchColor(int shapeNumber) {
  // With no target selected (a start-up that ended before selecting one) there is no
  // colour to change: the press is ignored.
  int i = Combobox1->currentIndex();
  if (i < 0 || i >= static_cast<int>(state_.Settings.HtmlColors.size())) return;
  state_.Settings.HtmlColors[i] = std::string(kColorNames[shapeNumber - 2].name);
  Shape1->SetBrushColor(ColorNameToColor(state_.Settings.HtmlColors[i]));
}

void TForm1::Shape2MouseDown() {
  AssignSwatchColor(2);
}
void TForm1::Shape3MouseDown() {
  AssignSwatchColor(3);
}
void TForm1::Shape4MouseDown() {
  AssignSwatchColor(4);
}
void TForm1::Shape5MouseDown() {
  AssignSwatchColor(5);
}
void TForm1::Shape6MouseDown() {
  AssignSwatchColor(6);
}
void TForm1::Shape7MouseDown() {
  AssignSwatchColor(7);
}
void TForm1::Shape8MouseDown() {
  AssignSwatchColor(8);
}
void TForm1::Shape9MouseDown() {
  AssignSwatchColor(9);
}
void TForm1::Shape10MouseDown() {
  AssignSwatchColor(10);
}
void TForm1::Shape11MouseDown() {
  AssignSwatchColor(11);
}
void TForm1::Shape12MouseDown() {
  AssignSwatchColor(12);
}
void TForm1::Shape13MouseDown() {
  AssignSwatchColor(13);
}
void TForm1::Shape14MouseDown() {
  AssignSwatchColor(14);
}
void TForm1::Shape15MouseDown() {
  AssignSwatchColor(15);
}
void TForm1::Shape16MouseDown() {
  AssignSwatchColor(16);
}
void TForm1::Shape17MouseDown() {
  AssignSwatchColor(17);
}

// The field's text is stored only when it converts; the spin control follows the number.
void TForm1::NumberFieldChanged(QLineEdit* edit, UpDown* spin, std::string& setting) {
  const std::string text = ControlText(edit);
  spin->SetPosition(TextToInteger(text));
  setting = text;
}

void TForm1::SpinClicked(UpDown* spin, QLineEdit* edit, std::string& setting) {
  SetControlText(edit, std::to_string(spin->Position()));
  setting = ControlText(edit);
}

void TForm1::Edit2Change() {
  NumberFieldChanged(Edit2, UpDown1, state_.Settings.MenuWidth);
}
void TForm1::Edit3Change() {
  NumberFieldChanged(Edit3, UpDown2, state_.Settings.ImageLongSide);
}
void TForm1::UpDown1Click(bool) {
  SpinClicked(UpDown1, Edit2, state_.Settings.MenuWidth);
}
void TForm1::UpDown2Click(bool) {
  SpinClicked(UpDown2, Edit3, state_.Settings.ImageLongSide);
}

void TForm1::RadioGroup1Click() {
  state_.Settings.MenuPosition = std::string(RadioGroup1->ItemIndex() == 1 ? "R" : "L");
}

void TForm1::Button6Click() {
  OperationNames names(*this);
  Settings& s = state_.Settings;
  auto chosen = services_.OpenDirDialog(WorkDirForDialog(), state_.OpenDialog2FileName);
  if (!chosen) return;
  const std::string full = FromFsPath(*chosen);
  // The name field normally still says "dir": dropping "/dir" leaves the folder. The root
  // leaves nothing, which would name no folder at all, so it stays "/".
  std::string folder = full.size() > 4 ? full.substr(0, full.size() - 4) : std::string("/");
  // The settings file keeps the working directory on one line.
  CheckNameFitsInList(folder);
  state_.OpenDialog2FileName = *chosen;
  SetCurrentDirectory(FsFolderOf(*chosen));
  SetControlText(Edit4, folder);
  s.WorkDir = ControlText(Edit4);
  SetControlText(Edit1, s.WorkDir);
}

}  // namespace corvane
