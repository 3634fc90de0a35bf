#include "core/code_page.h"
#include "core/list_entries.h"
#include "core/site_generator.h"
#include "form/form1.h"
#include "form/platform_services.h"
#include "widgets/list_box.h"

namespace corvane {

void TForm1::Button3Click() {
  // Raises the list's index error for an empty output list; nothing is written then.
  const std::string first = ListBox2->Item(0);
  if (!IsHeading(first)) {
    services_.ShowInfoMessage(Sjis(u8"出力ファイルリストの最初には項目名が必要です"));
    return;
  }
  GenerateSite(ListBox2->Items(), ControlText(Edit1), state_.Settings, ChosenInputFolder());
  services_.ShowInfoMessage(Sjis(u8"ＨＴＭＬ作成しました"));
}

}  // namespace corvane
