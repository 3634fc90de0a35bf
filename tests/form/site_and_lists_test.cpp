// The handlers of the first tab: choosing input files, moving entries across, headings,
// and generating the site from the window.

#include <sys/stat.h>

#include "tests/form/form_fixture.h"

namespace corvane::testing {
namespace {

class FirstTabTest : public FormTest {
 protected:
  void SetUp() override {
    std::filesystem::create_directory(dir / "site");
    Start();
  }
  std::string Site() const { return dir / "site"; }
  // The dialog answers with these names of the "site" folder, in this order.
  void Choose(std::initializer_list<std::string> utf8Names) {
    std::vector<std::string> paths;
    for (const auto& n : utf8Names) paths.push_back(Site() + "/" + n);
    services.filesDialogAnswers.push_back(paths);
    form->Button1Click();
  }
};

TEST_F(FirstTabTest, ChosenFilesFillTheSortedInputList) {
  for (const char* n : {"b.TXT", "A.jpg", "c.txt"}) WriteFile(Site() + "/" + n, "");
  form->ListBox2->Insert(-1, "-----old-----");
  Choose({"b.TXT", "A.jpg", "c.txt"});
  EXPECT_EQ(Items(form->ListBox1), (std::vector<std::string>{"A.jpg", "b.TXT", "c.txt"}));
  EXPECT_EQ(Text(form->Edit1), Site() + "/");
  EXPECT_TRUE(Items(form->ListBox2).empty());
  EXPECT_TRUE(Shown(form->Button3));
  EXPECT_FALSE(Shown(form->Button8));
  EXPECT_FALSE(Shown(form->Button11));
  EXPECT_EQ(std::filesystem::current_path(), Site());
  // The first opening starts in the working directory; the next at the first file chosen.
  ASSERT_EQ(services.filesDialogCalls.size(), 1u);
  EXPECT_EQ(services.filesDialogCalls[0].initialDir, dir.Path());
  EXPECT_EQ(services.filesDialogCalls[0].seedFile, "");
  Choose({"c.txt"});
  EXPECT_EQ(services.filesDialogCalls[1].seedFile, Site() + "/b.TXT");
}

TEST_F(FirstTabTest, ReloadButtonsAreDecidedOnlyWhenTheFolderChanges) {
  WriteFile(Site() + "/a.txt", "");
  Choose({"a.txt"});
  EXPECT_FALSE(Shown(form->Button11));
  // A saved list appears, but the same folder is chosen again: nothing re-examines them.
  WriteFile(Site() + "/files.cvn", "-----A-----\r\n");
  form->Button9->show();
  Choose({"a.txt"});
  EXPECT_FALSE(Shown(form->Button11));
  EXPECT_FALSE(Shown(form->Button8));
  EXPECT_FALSE(Shown(form->Button9));
  // Another folder with a saved list shows them.
  std::filesystem::create_directory(dir / "other");
  WriteFile(dir / "other/files.cvn", "");
  WriteFile(dir / "other/x.jpg", "");
  services.filesDialogAnswers.push_back(std::vector<std::string>{dir / "other/x.jpg"});
  form->Button1Click();
  EXPECT_TRUE(Shown(form->Button8));
  EXPECT_TRUE(Shown(form->Button11));
}

TEST_F(FirstTabTest, CancelOrAnUnrepresentableNameChangesNothing) {
  WriteFile(Site() + "/a.txt", "");
  Choose({"a.txt"});
  form->ListBox2->Insert(-1, "-----keep-----");
  services.filesDialogAnswers.push_back(std::nullopt);
  form->Button1Click();
  // A name CP932 cannot hold (an emoji) is refused with a clear error.
  services.filesDialogAnswers.push_back(
      std::vector<std::string>{Site() + "/b.txt", Site() + "/\xF0\x9F\x98\x80.txt"});
  form->Guarded([&] { form->Button1Click(); });
  ASSERT_EQ(services.errors.size(), 1u);
  EXPECT_EQ(Items(form->ListBox1), std::vector<std::string>{"a.txt"});
  EXPECT_EQ(Items(form->ListBox2), std::vector<std::string>{"-----keep-----"});
  EXPECT_EQ(Text(form->Edit1), Site() + "/");
}

TEST_F(FirstTabTest, MoveAllAndHeadings) {
  form->ListBox2->Insert(-1, "-----A-----");
  form->ListBox2->Insert(-1, "-----B-----");
  form->ListBox1->Assign({"c.txt", "a.jpg", "b.txt"});
  form->Button10Click();
  EXPECT_EQ(Items(form->ListBox2),
            (std::vector<std::string>{"-----A-----", "-----B-----", "a.jpg", "b.txt", "c.txt"}));
  EXPECT_TRUE(Items(form->ListBox1).empty());
  form->Button10Click();  // nothing to move
  EXPECT_EQ(form->ListBox2->Count(), 5);

  form->ListBox2->Clear();
  form->ListBox1->Assign({"x.txt"});
  form->Button10Click();
  EXPECT_EQ(Items(form->ListBox2), std::vector<std::string>{"x.txt"});

  form->ListBox2->Clear();
  services.inputBoxAnswers = {"", " ", std::nullopt, "  ", S(u8"旅行")};
  for (int i = 0; i < 5; ++i) form->Button2Click();
  EXPECT_EQ(Items(form->ListBox2), (std::vector<std::string>{"----------", "-----  -----",
                                                             "-----" + S(u8"旅行") + "-----"}));
  ASSERT_EQ(services.inputBoxCalls.size(), 5u);
  EXPECT_EQ(services.inputBoxCalls[0].caption, S(u8"新規項目名"));
  EXPECT_EQ(services.inputBoxCalls[0].prompt, S(u8"項目名を入力してください"));
  EXPECT_EQ(services.inputBoxCalls[0].initial, " ");
}

TEST_F(FirstTabTest, GenerationChecksTheFirstEntryAndReports) {
  WriteFile(Site() + "/a.txt", "hello\r\n");
  Choose({"a.txt"});
  form->Guarded([&] { form->Button3Click(); });
  ASSERT_EQ(services.errors.size(), 1u);
  EXPECT_EQ(services.errors[0], S(u8"リストのインデックスが範囲を超えています (0)"));

  form->Button10Click();
  form->Button3Click();
  ASSERT_EQ(services.infos.size(), 1u);
  EXPECT_EQ(services.infos[0], S(u8"出力ファイルリストの最初には項目名が必要です"));
  EXPECT_FALSE(Exists(Site() + "/files.cvn"));

  form->ListBox2->Insert(0, "-----T-----");
  form->ListBox2->Insert(-1, "gone.txt");
  form->Guarded([&] { form->Button3Click(); });
  ASSERT_EQ(services.errors.size(), 2u);
  EXPECT_EQ(services.errors[1], S(u8"ファイルが見つかりません."));
  EXPECT_EQ(services.infos.size(), 1u);  // no success message

  // The failed run left nothing open: the next one writes the saved list again.
  form->ListBox2->Delete(2);
  form->Guarded([&] { form->Button3Click(); });
  EXPECT_EQ(services.errors.size(), 2u);
  ASSERT_EQ(services.infos.size(), 2u);
  EXPECT_EQ(services.infos[1], S(u8"ＨＴＭＬ作成しました"));
  EXPECT_EQ(ReadFile(Site() + "/files.cvn"), CrLfLines({"-----T-----", "a.txt"}));
  EXPECT_NE(ReadFile(Site() + "/1.htm").find("hello<BR>\r\n"), std::string::npos);
}

}  // namespace
}  // namespace corvane::testing
