// The start-up sequence, run once before the window is first shown. An error ends it at
// that step; the window then opens with the state reached so far.

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

#include "core/colour_names.h"
#include "core/errors.h"
#include "core/paths.h"
#include "core/settings.h"
#include "core/text_to_integer.h"
#include "form/form1.h"
#include "widgets/radio_group.h"
#include "widgets/shape.h"
#include "widgets/up_down.h"

namespace corvane {

void TForm1::FormCreate() {
  OperationNames names(*this);
  Settings& s = state_.Settings;
  SetDefaultSettings(s);

  // The settings folder is the start folder as the system names it, so that saves reach
  // it whatever its name and wherever the dialogs move the current directory later.
  state_.IniDir = CurrentDirectory();
  try {
    s.WorkDir = FromFsPath(state_.IniDir);
  } catch (const EEncodingError&) {
    // Said once; start-up goes on, and WorkDir stays as the settings file has it.
    ReportCurrentException();
  }

  // A first start leaves a complete settings file behind.
  if (IsExistingFile(SettingsFileName(state_.IniDir))) {
    LoadSettings(state_.IniDir, s);
  } else {
    SaveSettings(state_.IniDir, s);
  }

  Combobox1->setCurrentIndex(0);
  // Runs RadioGroup1Click, which leaves MenuPosition "R" or "L".
  RadioGroup1->SetItemIndex(s.MenuPosition == "R" ? 1 : 0);
  Shape1->SetBrushColor(ColorNameToColor(s.HtmlColors[0]));

  SetControlText(Edit2, s.MenuWidth);
  UpDown1->SetPosition(TextToInteger(s.MenuWidth));
  SetControlText(Edit3, s.ImageLongSide);
  UpDown2->SetPosition(TextToInteger(s.ImageLongSide));

  SetControlText(Edit4, s.WorkDir);
  SetControlText(Edit1, s.WorkDir);
  Button3->hide();
}

}  // namespace corvane
