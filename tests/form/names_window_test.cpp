// Names as Linux gives them to the window: a folder or file typed with the other Unicode
// spelling of a CP932 character is chosen and used everywhere; names the saved list or the
// settings file cannot hold are refused; the settings folder is the start folder whatever
// its name.

#include <unistd.h>

#include "tests/form/form_fixture.h"

namespace corvane::testing {
namespace {

class NamesWindowTest : public FormTest {
 protected:
  // wave〜dir, as an input method types it (U+301C), and a file 旅行〜京都.txt in it.
  std::string Wave() const {
    return dir /
           "wave\xE3\x80\x9C"
           "dir";
  }
  const std::string kTravel = "\xE6\x97\x85\xE8\xA1\x8C\xE3\x80\x9C\xE4\xBA\xAC\xE9\x83\xBD.txt";
  void ExpectNoError() {
    EXPECT_TRUE(services.errors.empty()) << (services.errors.empty() ? "" : services.errors[0]);
  }
};

TEST_F(NamesWindowTest, AFolderAndFileOfTheOtherSpellingAreChosenGeneratedAndReloaded) {
  std::filesystem::create_directory(Wave());
  WriteFile(Wave() + "/" + kTravel, "kyoto\r\n");
  Start();
  services.filesDialogAnswers.push_back(std::vector<std::string>{Wave() + "/" + kTravel});
  form->Guarded([&] { form->Button1Click(); });
  ExpectNoError();
  const std::string travel = S(u8"旅行～京都.txt");  // the CP932 bytes 81 60 for 〜
  EXPECT_EQ(Items(form->ListBox1), std::vector<std::string>{travel});
  EXPECT_EQ(Text(form->Edit1), Utf8ToCp932(Wave()) + "/");
  EXPECT_EQ(std::filesystem::current_path(), Wave());

  form->ListBox2->SetEntries({"-----A-----", travel});
  form->Guarded([&] { form->Button3Click(); });
  ExpectNoError();
  ASSERT_EQ(services.infos.size(), 1u);
  EXPECT_EQ(ReadFile(Wave() + "/1.htm").find("kyoto<BR>") != std::string::npos, true);

  form->ListBox2->Clear();
  form->Guarded([&] { form->Button8Click(); });
  ExpectNoError();
  EXPECT_EQ(Items(form->ListBox2), (std::vector<std::string>{"-----A-----", travel}));
  EXPECT_TRUE(Items(form->ListBox1).empty());

  // Chosen as the working directory: the saved list in it is found, and the file dialog
  // opens there.
  services.dirDialogAnswers.push_back(Wave() + "/dir");
  form->Guarded([&] { form->Button6Click(); });
  ExpectNoError();
  EXPECT_EQ(state.Settings.WorkDir, Utf8ToCp932(Wave()));
  EXPECT_TRUE(Shown(form->Button8));
  services.filesDialogAnswers.push_back(std::nullopt);
  form->Guarded([&] { form->Button1Click(); });
  EXPECT_EQ(services.filesDialogCalls.back().initialDir, Wave());
  EXPECT_EQ(services.dirDialogCalls.back().initialDir, dir.Path());
}

TEST_F(NamesWindowTest, StartedInAFolderOfTheOtherSpelling) {
  std::filesystem::create_directory(Wave());
  WriteFile(Wave() + "/files.cvn", "-----A-----\r\n");
  std::filesystem::current_path(Wave());
  Start();
  ExpectNoError();
  EXPECT_EQ(state.IniDir, Wave());
  EXPECT_TRUE(Exists(Wave() + "/corvane.INI"));
  EXPECT_EQ(Text(form->Edit1), Utf8ToCp932(Wave()));
  EXPECT_TRUE(Shown(form->Button11));
  form->Guarded([&] { form->Button11Click(); });
  ExpectNoError();
  EXPECT_EQ(Items(form->ListBox2), std::vector<std::string>{"-----A-----"});
}

TEST_F(NamesWindowTest, StartFolderCp932CannotNameIsSaidOnceAndSavesStillReachIt) {
  const std::string camera = dir / "\xF0\x9F\x93\xB7";  // an emoji
  std::filesystem::create_directory(camera);
  std::filesystem::current_path(camera);
  Start();
  ASSERT_EQ(services.errors.size(), 1u);
  EXPECT_NE(services.errors[0].find(S(u8"シフトJIS")), std::string::npos);
  EXPECT_EQ(state.IniDir, camera);
  // No settings file: it is written there, the working directory left empty.
  EXPECT_EQ(ReadFile(camera + "/corvane.INI").substr(ReadFile(camera + "/corvane.INI").size() - 4),
            "\r\n\r\n");
  EXPECT_EQ(Text(form->Edit4), "");
  // With one, the working directory is its own.
  WriteFile(camera + "/corvane.INI",
            CrLfLines({"white", "black", "green", "green", "green", "white", "black", "green",
                       "green", "green", "R", "200", "600", dir.Path()}));
  services.errors.clear();
  Start();
  EXPECT_EQ(services.errors.size(), 1u);
  EXPECT_EQ(Text(form->Edit4), dir.Path());
  // Later moves of the current directory never move the settings file.
  ::chdir(dir.Path().c_str());
  Type(form->Edit2, "321");
  form->Button5Click();
  EXPECT_NE(ReadFile(camera + "/corvane.INI").find("\r\n321\r\n"), std::string::npos);
  EXPECT_FALSE(Exists(dir / "corvane.INI"));
}

TEST_F(NamesWindowTest, NamesTheListsCannotHoldAreRefusedWithListsUnchanged) {
  Start();
  std::filesystem::create_directory(dir / "site");
  WriteFile(dir / "site/ok.txt", "");
  services.filesDialogAnswers.push_back(std::vector<std::string>{dir / "site/ok.txt"});
  form->Button1Click();
  form->ListBox2->SetEntries({"-----keep-----"});
  const std::string edit1 = Text(form->Edit1), edit4 = Text(form->Edit4);
  for (const std::string& control :
       {std::string("\r"), std::string("\n"), std::string("\x1A"), std::string(1, '\0')}) {
    const std::string bad = "a" + control + "-----PWN-----.txt";
    services.filesDialogAnswers.push_back(
        std::vector<std::string>{dir / "site/ok.txt", dir / ("site/" + bad)});
    form->Guarded([&] { form->Button1Click(); });
    services.dirDialogAnswers.push_back(dir / ("x" + control + "y/dir"));
    form->Guarded([&] { form->Button6Click(); });
    services.inputBoxAnswers.push_back("t" + control + "u");  // a pasted heading
    form->Guarded([&] { form->Button2Click(); });
  }
  ASSERT_EQ(services.errors.size(), 12u);
  EXPECT_EQ(services.errors[0],
            S(u8"改行などの制御文字を含む名前は使えません: a?-----PWN-----.txt."));
  EXPECT_EQ(services.errors[1],
            S(u8"改行などの制御文字を含む名前は使えません: ") + Utf8ToCp932(dir / "x?y."));
  EXPECT_EQ(services.errors[2], S(u8"改行などの制御文字を含む項目名は使えません: t?u."));
  EXPECT_EQ(Items(form->ListBox1), std::vector<std::string>{"ok.txt"});
  EXPECT_EQ(Items(form->ListBox2), std::vector<std::string>{"-----keep-----"});
  EXPECT_EQ(Text(form->Edit1), edit1);
  EXPECT_EQ(Text(form->Edit4), edit4);
  EXPECT_EQ(std::filesystem::current_path(), dir / "site");
}

}  // namespace
}  // namespace corvane::testing
