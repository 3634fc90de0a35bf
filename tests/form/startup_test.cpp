// The start-up sequence: defaults, the settings file read or created, the values shown in
// the controls (running their change handlers), and the state left when it fails part-way.

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "tests/form/form_fixture.h"
#include "widgets/radio_group.h"
#include "widgets/shape.h"
#include "widgets/up_down.h"

namespace corvane::testing {
namespace {

class StartupTest : public FormTest {
 protected:
  void WriteIni(const std::string& bytes) { WriteFile(dir / "corvane.INI", bytes); }
  std::string Ini() { return ReadFile(dir / "corvane.INI"); }

  // Nothing filled: the controls as laid out.
  void ExpectNoControlFilled() {
    EXPECT_EQ(form->Combobox1->currentIndex(), -1);
    EXPECT_EQ(form->Shape1->BrushColor(), 0xFFFFFFu);
    EXPECT_EQ(form->RadioGroup1->ItemIndex(), -1);
    for (QLineEdit* e : {form->Edit1, form->Edit2, form->Edit3, form->Edit4}) {
      EXPECT_TRUE(e->text().isEmpty());
    }
    EXPECT_EQ(form->UpDown1->Position(), 0);
    EXPECT_EQ(form->UpDown2->Position(), 0);
    EXPECT_TRUE(Shown(form->Button11));
    EXPECT_FALSE(Shown(form->Button8));
  }

  static std::string Lines14(const std::string& side, const std::string& width,
                             const std::string& longSide, const std::string& workDir) {
    return CrLfLines({"white", "black", "green", "green", "green", "white", "black", "green",
                      "green", "green", side, width, longSide, workDir});
  }
};

TEST_F(StartupTest, FirstStartInAnEmptyFolder) {
  Start();
  EXPECT_TRUE(services.errors.empty());
  EXPECT_EQ(Ini(), Lines14("R", "200", "600", dir.Path()));
  EXPECT_EQ(form->Combobox1->currentIndex(), 0);
  EXPECT_EQ(form->Combobox1->currentText(), Q(u8"メニュー（文字）"));
  EXPECT_EQ(form->Shape1->BrushColor(), 0xFFFFFFu);
  EXPECT_EQ(form->RadioGroup1->ItemIndex(), 1);
  EXPECT_EQ(Text(form->Edit2), "200");
  EXPECT_EQ(Text(form->Edit3), "600");
  EXPECT_EQ(form->UpDown1->Position(), 200);
  EXPECT_EQ(form->UpDown2->Position(), 600);
  EXPECT_EQ(Text(form->Edit1), dir.Path());
  EXPECT_EQ(Text(form->Edit4), dir.Path());
  EXPECT_EQ(state.IniDir, dir.Path());
  EXPECT_EQ(state.Settings.WorkDir, dir.Path());
  // Edit1Change showed it; start-up hides it again.
  EXPECT_FALSE(Shown(form->Button3));
  EXPECT_FALSE(Shown(form->Button8));
  EXPECT_FALSE(Shown(form->Button11));
  EXPECT_FALSE(Shown(form->Button9));
}

TEST_F(StartupTest, ASavedListInTheWorkingDirectoryOffersTheReloadButtons) {
  WriteFile(dir / "files.cvn", "-----A-----\r\n");
  Start();
  EXPECT_TRUE(Shown(form->Button8));
  EXPECT_TRUE(Shown(form->Button11));
  EXPECT_FALSE(Shown(form->Button3));
}

TEST_F(StartupTest, MenuSideBecomesROrL) {
  for (const std::string side : {"L", "r", "", " R", "R "}) {
    WriteIni(Lines14(side, "200", "600", dir.Path()));
    Start();
    EXPECT_EQ(form->RadioGroup1->ItemIndex(), 0) << "'" << side << "'";
    EXPECT_EQ(state.Settings.MenuPosition, "L");
    form->Button5Click();
    EXPECT_EQ(Ini(), Lines14("L", "200", "600", dir.Path()));
  }
}

TEST_F(StartupTest, ValuesAreShownAndSavedAsWritten) {
  WriteIni(CrLfLines({"navy", "Red", "green", "green", "green", "white", "black", "green", "green",
                      "green", "R", " 250", "$1F", dir.Path(), "line 15"}));
  Start();
  EXPECT_TRUE(services.errors.empty());
  EXPECT_EQ(form->Shape1->BrushColor(), 0x800000u);  // navy
  EXPECT_EQ(Text(form->Edit2), " 250");
  EXPECT_EQ(form->UpDown1->Position(), 250);
  EXPECT_EQ(Text(form->Edit3), "$1F");
  EXPECT_EQ(form->UpDown2->Position(), 31);
  form->Button7Click();
  EXPECT_EQ(Ini(), CrLfLines({"navy", "Red", "green", "green", "green", "white", "black", "green",
                              "green", "green", "R", " 250", "$1F", dir.Path()}));
}

TEST_F(StartupTest, ThirteenLinesLeaveTheInputDirectoryEmpty) {
  WriteIni(CrLfLines({"white", "black", "green", "green", "green", "white", "black", "green",
                      "green", "green", "R", "200", "600"}));
  Start();
  EXPECT_TRUE(services.errors.empty());
  EXPECT_EQ(state.Settings.WorkDir, "");
  EXPECT_TRUE(form->Edit4->text().isEmpty());
  EXPECT_TRUE(form->Edit1->text().isEmpty());
  // Edit1 never changed, so the buttons keep their layout states.
  EXPECT_TRUE(Shown(form->Button11));
  EXPECT_FALSE(Shown(form->Button8));
  EXPECT_FALSE(Shown(form->Button3));
}

TEST_F(StartupTest, TenLinesReportTheEmptyMenuWidth) {
  WriteIni(CrLfLines({"aqua", "b", "c", "d", "e", "f", "g", "h", "i", "j"}));
  Start();
  ASSERT_EQ(services.errors.size(), 1u);
  EXPECT_EQ(services.errors[0], S(u8"'' は整数ではありません."));
  EXPECT_EQ(form->Shape1->BrushColor(), 0xFFFF00u);  // aqua
  EXPECT_EQ(state.Settings.MenuPosition, "L");
  EXPECT_EQ(form->Combobox1->currentIndex(), 0);
  EXPECT_TRUE(form->Edit2->text().isEmpty());
  EXPECT_TRUE(form->Edit1->text().isEmpty());
  EXPECT_TRUE(Shown(form->Button11));
}

TEST_F(StartupTest, LfOnlyFileReadsLikeCrLf) {
  WriteIni("aqua\nblack\ngreen\n");
  Start();
  EXPECT_EQ(state.Settings.HtmlColors[0], "aqua");
  EXPECT_EQ(state.Settings.HtmlColors[1], "black");
  EXPECT_EQ(state.Settings.HtmlColors[2], "green");
  EXPECT_EQ(state.Settings.HtmlColors[3], "");
  EXPECT_EQ(form->Shape1->BrushColor(), 0xFFFF00u);  // aqua
  ASSERT_EQ(services.errors.size(), 1u);
  EXPECT_EQ(services.errors[0], S(u8"'' は整数ではありません."));
}

TEST_F(StartupTest, ANonIntegerMenuWidthEndsStartUpWithTheFieldShowingIt) {
  WriteIni(Lines14("R", "abc", "600", "/elsewhere"));
  Start();
  ASSERT_EQ(services.errors.size(), 1u);  // reported once, by the field's own handler
  EXPECT_EQ(services.errors[0], S(u8"'abc' は整数ではありません."));
  EXPECT_EQ(Text(form->Edit2), "abc");
  EXPECT_EQ(state.Settings.MenuWidth, "abc");
  EXPECT_EQ(form->UpDown1->Position(), 0);
  EXPECT_TRUE(form->Edit3->text().isEmpty());
  EXPECT_EQ(form->UpDown2->Position(), 0);
  EXPECT_TRUE(form->Edit4->text().isEmpty());
  EXPECT_TRUE(form->Edit1->text().isEmpty());
  EXPECT_TRUE(Shown(form->Button11));
  EXPECT_FALSE(Shown(form->Button8));

  // Typing a whole number afterwards stores it, and a save repairs the file.
  Type(form->Edit2, "300");
  EXPECT_EQ(state.Settings.MenuWidth, "300");
  form->Button5Click();
  EXPECT_EQ(Ini(), Lines14("R", "300", "600", "/elsewhere"));
}

TEST_F(StartupTest, ANonIntegerLongSideEndsStartUpOneStepLater) {
  WriteIni(Lines14("R", "200", "6OO", "/elsewhere"));
  Start();
  ASSERT_EQ(services.errors.size(), 1u);
  EXPECT_EQ(services.errors[0], S(u8"'6OO' は整数ではありません."));
  EXPECT_EQ(form->UpDown1->Position(), 200);
  EXPECT_EQ(Text(form->Edit3), "6OO");
  EXPECT_EQ(form->UpDown2->Position(), 0);
  EXPECT_TRUE(form->Edit4->text().isEmpty());
}

TEST_F(StartupTest, AFolderNamedLikeTheSettingsFileFailsTheSave) {
  ::mkdir((dir / "corvane.INI").c_str(), 0777);
  Start();
  ASSERT_EQ(services.errors.size(), 1u);
  EXPECT_EQ(services.errors[0], S(u8"ファイルへのアクセスが拒否されました."));
  ExpectNoControlFilled();
}

TEST_F(StartupTest, APipeNamedLikeTheSettingsFileIsAnErrorNotAHang) {
  ASSERT_EQ(::mkfifo((dir / "corvane.INI").c_str(), 0644), 0);
  ::alarm(20);  // a hang ends the test run instead of stalling it
  Start();
  ::alarm(0);
  ASSERT_EQ(services.errors.size(), 1u);
  EXPECT_EQ(services.errors[0], S(u8"ファイルへのアクセスが拒否されました."));
  EXPECT_EQ(state.Settings.MenuWidth, "200");
  ExpectNoControlFilled();
}

TEST_F(StartupTest, AnUnreadableSettingsFileKeepsTheDefaults) {
  WriteIni(Lines14("L", "300", "700", "/elsewhere"));
  {
    ScopedFault fault(sys::Call::Open, 1, EACCES);
    Start();
  }
  ASSERT_EQ(services.errors.size(), 1u);
  EXPECT_EQ(services.errors[0], S(u8"ファイルへのアクセスが拒否されました."));
  EXPECT_EQ(state.Settings.MenuWidth, "200");
  EXPECT_EQ(state.Settings.MenuPosition, "R");
  ExpectNoControlFilled();
  // A swatch pressed with no colour target selected changes nothing.
  const auto colors = state.Settings.HtmlColors;
  form->Shape13MouseDown();
  EXPECT_EQ(state.Settings.HtmlColors, colors);
  EXPECT_EQ(form->Shape1->BrushColor(), 0xFFFFFFu);
}

TEST_F(StartupTest, AFailedSaveButtonLeavesTheFileAndReportsTheError) {
  Start();
  const std::string before = Ini();
  Type(form->Edit2, "350");
  {
    ScopedFault fault(sys::Call::Write, 1, ENOSPC);
    form->Guarded([&] { form->Button5Click(); });
  }
  ASSERT_EQ(services.errors.size(), 1u);
  EXPECT_EQ(services.errors[0], S(u8"I/O エラー (112)"));
  EXPECT_EQ(Ini(), before);
  form->Button5Click();
  EXPECT_EQ(Ini(), Lines14("R", "350", "600", dir.Path()));
}

}  // namespace
}  // namespace corvane::testing
