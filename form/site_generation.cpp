#include "core/code_page.h"
#include "core/list_entries.h"
#include "core/site_generator.h"
#include "form/form1.h"
#include "form/generation_progress.h"
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
  // The run works on copies: one the window stopped waiting for may outlive this handler.
  const std::string inputDir = ControlText(Edit1);
  auto generate = [entries = ListBox2->Items(), inputDir, settings = state_.Settings,
                   chosen = ChosenInputFolder()](RunControl& control) {
    GenerateSite(entries, inputDir, settings, chosen, &control);
  };
  switch (RunWithProgress(this, inputDir, std::move(generate))) {
    case RunOutcome::Finished:
      services_.ShowInfoMessage(Sjis(u8"ＨＴＭＬ作成しました"));
      break;
    case RunOutcome::Cancelled:
      services_.ShowInfoMessage(Sjis(u8"ＨＴＭＬ作成を中止しました（サイトは作成されていません）"));
      break;
    case RunOutcome::Unconfirmed:
      // The folder stopped answering while the pages were being put in place.
      services_.ShowInfoMessage(
          Sjis(u8"ＨＴＭＬ作成の完了を確認できませんでした（サイトが一部だけ更新されている場合があ"
               u8"ります）"));
      break;
  }
}

}  // namespace corvane
