// Saved lists and settings files that are huge, odd or not Shift_JIS, and file names that
// cannot be held: the program keeps every byte it was given, or refuses with a message.

#include <chrono>
#include <new>

#include "tests/form/form_fixture.h"

namespace corvane::testing {
namespace {

class BadInputWindowTest : public FormTest {};

TEST_F(BadInputWindowTest, RunningOutOfMemoryIsReportedAndNothingIsWritten) {
  Start();
  WriteFile(dir / "a.txt", "text\r\n");
  form->ListBox2->SetEntries({"-----A-----", "a.txt"});
  sys::SetFaultHook([](sys::Call call) -> int {
    if (call == sys::Call::Read) throw std::bad_alloc();  // as a huge text would
    return 0;
  });
  form->Guarded([&] { form->Button3Click(); });
  sys::SetFaultHook(nullptr);
  ASSERT_EQ(services.errors.size(), 1u);
  EXPECT_EQ(services.errors[0], S(u8"メモリが不足しています."));
  EXPECT_TRUE(services.infos.empty());
  EXPECT_FALSE(Exists(dir / "CASE.HTM"));
  EXPECT_FALSE(Exists(dir / "1.htm"));
  // The window carries on.
  form->Guarded([&] { form->Button3Click(); });
  EXPECT_EQ(services.infos, std::vector<std::string>{S(u8"ＨＴＭＬ作成しました")});
  EXPECT_TRUE(Exists(dir / "1.htm"));
}

TEST_F(BadInputWindowTest, OddSavedListsComeBackByteForByte) {
  Start();
  const std::string longLine(100 * 1024, 'L');
  const std::string notSjis = std::string("\x81\x7F\xFF\xA0-\xE3\x81\x82", 8);
  const std::string file = "-----A-----\r\n" + longLine + "\r\nlf\nonly\r\n" + notSjis + "\r\n";
  WriteFile(dir / "files.cvn", file + std::string(1, '\x1A') + "after the end\r\n");
  form->Button11Click();
  EXPECT_EQ(Items(form->ListBox2),
            (std::vector<std::string>{"-----A-----", longLine, "lf", "only", notSjis}));
  form->Button3Click();
  // A lone LF ended a line; every line is written back with CR LF.
  EXPECT_EQ(ReadFile(dir / "files.cvn"),
            "-----A-----\r\n" + longLine + "\r\nlf\r\nonly\r\n" + notSjis + "\r\n");
  EXPECT_TRUE(services.errors.empty());
}

TEST_F(BadInputWindowTest, AHundredThousandSavedEntries) {
  Start();
  std::string file;
  for (int i = 0; i < 100000; ++i) file += "entry" + std::to_string(i) + ".txt\r\n";
  WriteFile(dir / "files.cvn", file);
  auto start = std::chrono::steady_clock::now();
  form->Button8Click();
  auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  EXPECT_EQ(form->ListBox2->Count(), 100000);
  EXPECT_EQ(form->ListBox2->Item(99999), S(u8"今回非選択（entry99999.txt）"));
  EXPECT_LT(seconds, 10.0);
}

TEST_F(BadInputWindowTest, OddSettingsAreKeptAsRead) {
  const std::string longValue(100 * 1024, 'c');
  const std::string notSjis = std::string("/w\x81\x7F\xFF", 5);
  const std::string ini =
      CrLfLines({longValue, "black", "green", "green", "green", "white", "black", "green", "green",
                 "green", "R", "200", "600", notSjis});
  WriteFile(dir / "corvane.INI", ini);
  Start();
  EXPECT_TRUE(services.errors.empty());
  EXPECT_EQ(state.Settings.HtmlColors[0], longValue);
  EXPECT_EQ(Text(form->Edit4), notSjis);
  EXPECT_EQ(Text(form->Edit1), notSjis);
  form->Button5Click();
  EXPECT_EQ(ReadFile(dir / "corvane.INI"), ini);

  // A typed value longer than a line edit usually takes is kept whole.
  const std::string longNumber = std::string(40000, ' ') + "7";
  Type(form->Edit2, longNumber);
  EXPECT_TRUE(state.Settings.MenuWidth == longNumber) << state.Settings.MenuWidth.size();
}

TEST_F(BadInputWindowTest, NamesThatCannotBeHeldAreRefused) {
  Start();
  std::filesystem::create_directory(dir / "site");
  form->ListBox1->SetEntries({"keep.txt"});
  form->ListBox2->SetEntries({"-----keep-----"});
  for (const std::string& bad :
       {std::string("\xFF\xFE.txt"), std::string("\xF0\x9F\x93\xB7.jpg")}) {
    services.filesDialogAnswers.push_back(
        std::vector<std::string>{dir / "site/a.txt", dir / ("site/" + bad)});
    form->Guarded([&] { form->Button1Click(); });
    services.dirDialogAnswers.push_back(dir / (bad + "/dir"));
    form->Guarded([&] { form->Button6Click(); });
  }
  ASSERT_EQ(services.errors.size(), 4u);
  for (const auto& e : services.errors) EXPECT_NE(e.find(S(u8"シフトJIS")), std::string::npos);
  EXPECT_EQ(Items(form->ListBox1), std::vector<std::string>{"keep.txt"});
  EXPECT_EQ(Items(form->ListBox2), std::vector<std::string>{"-----keep-----"});
  EXPECT_EQ(state.Settings.WorkDir, dir.Path());
}

}  // namespace
}  // namespace corvane::testing
