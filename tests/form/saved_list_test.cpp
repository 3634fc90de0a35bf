// Reloading the saved list: "前回読込み" appends it, "比較読込み" reconciles it with the input
// list, "非選択消去" drops the marked entries.

#include <chrono>

#include "core/list_entries.h"
#include "tests/form/form_fixture.h"

namespace corvane::testing {
namespace {

class SavedListTest : public FormTest {
 protected:
  void SetUp() override {
    std::filesystem::create_directory(dir / "site");
    Start();
  }
  std::string Site() const { return dir / "site"; }
  void Saved(std::initializer_list<std::string> lines) {
    WriteFile(Site() + "/files.cvn", CrLfLines(lines));
  }
  // A fresh selection of these files in the site folder.
  void Choose(std::initializer_list<std::string> names) {
    std::vector<std::string> paths;
    for (const auto& n : names) {
      WriteFile(Site() + "/" + n, "");
      paths.push_back(Site() + "/" + n);
    }
    services.filesDialogAnswers.push_back(paths);
    form->Button1Click();
  }
  std::string M(const std::string& entry) { return WithUnselectedMark(entry); }
};

TEST_F(SavedListTest, ReloadTwiceAppendsTwice) {
  Saved({"-----A-----", "a.txt", ""});
  Choose({"a.txt"});
  form->ListBox2->Insert(-1, "kept");
  form->Button11Click();
  form->Button11Click();
  EXPECT_EQ(Items(form->ListBox2), (std::vector<std::string>{"kept", "-----A-----", "a.txt", "",
                                                             "-----A-----", "a.txt", ""}));
  EXPECT_EQ(Items(form->ListBox1), std::vector<std::string>{"a.txt"});
}

TEST_F(SavedListTest, CompareAfterReloadMarksTheSecondCopy) {
  Saved({"-----A-----", "a.txt", "b.jpg"});
  Choose({"a.txt", "b.jpg", "new.txt"});
  form->Button11Click();
  form->Button8Click();
  EXPECT_EQ(Items(form->ListBox2),
            (std::vector<std::string>{"-----A-----", "a.txt", "b.jpg", "-----A-----", M("a.txt"),
                                      M("b.jpg")}));
  // The input list keeps exactly the files no entry names.
  EXPECT_EQ(Items(form->ListBox1), std::vector<std::string>{"new.txt"});
  EXPECT_TRUE(Shown(form->Button9));
}

TEST_F(SavedListTest, CompareMatchesIgnoringCaseAndExactFirst) {
  Saved({"-----A-----", "A.TXT", "b.txt", "-----x", "", M("c.txt"), "---"});
  Choose({"a.txt", "B.txt", "b.txt", "c.txt"});
  form->ListBox2->SetItemIndex(-1);
  form->Button8Click();
  EXPECT_EQ(Items(form->ListBox2),
            (std::vector<std::string>{"-----A-----", "A.TXT", "b.txt", "-----x", M(""),
                                      M(M("c.txt")), M("---")}));
  // a.txt matched A.TXT; the exact b.txt was taken, not B.txt which sorts before it.
  EXPECT_EQ(Items(form->ListBox1), (std::vector<std::string>{"B.txt", "c.txt"}));
  EXPECT_TRUE(Shown(form->Button9));

  form->ListBox2->SetItemIndex(1);
  form->Button9Click();
  EXPECT_EQ(Items(form->ListBox2),
            (std::vector<std::string>{"-----A-----", "A.TXT", "b.txt", "-----x"}));
  EXPECT_EQ(form->ListBox2->ItemIndex(), -1);
  EXPECT_TRUE(Shown(form->Button9));  // stays visible
}

TEST_F(SavedListTest, AHeadingEqualToAnInputEntryTakesItOut) {
  Saved({"-----h"});
  Choose({"-----h"});
  form->Button8Click();
  EXPECT_TRUE(Items(form->ListBox1).empty());
  EXPECT_EQ(Items(form->ListBox2), std::vector<std::string>{"-----h"});
  EXPECT_FALSE(Shown(form->Button9));
}

TEST_F(SavedListTest, NothingMarkedLeavesTheDeleteButtonHidden) {
  Saved({"-----A-----", "a.txt"});
  Choose({"a.txt"});
  form->Button8Click();
  EXPECT_FALSE(Shown(form->Button9));
  EXPECT_TRUE(Items(form->ListBox1).empty());
}

TEST_F(SavedListTest, CompareWithAnEmptyInputListMarksEveryFileEntry) {
  Saved({"-----A-----", "a.txt", "b.jpg"});
  services.dirDialogAnswers.push_back(Site() + "/dir");  // working directory: Edit1 = site folder
  form->Button6Click();
  ASSERT_TRUE(Shown(form->Button8));
  form->Button8Click();
  EXPECT_EQ(Items(form->ListBox2),
            (std::vector<std::string>{"-----A-----", M("a.txt"), M("b.jpg")}));
  EXPECT_TRUE(Shown(form->Button9));
}

TEST_F(SavedListTest, DeleteRemovesEveryEntryThatBeginsWithTheMarkWord) {
  form->ListBox2->SetEntries(
      {"-----A-----", S(u8"今回非選択.txt"), "a.txt", M("b.txt"), S(u8"今回非選")});
  form->Button9Click();
  EXPECT_EQ(Items(form->ListBox2),
            (std::vector<std::string>{"-----A-----", "a.txt", S(u8"今回非選")}));
}

TEST_F(SavedListTest, FailuresKeepWhatWasAppended) {
  Saved({"-----A-----", "a.txt"});
  Choose({"a.txt"});
  std::filesystem::remove(Site() + "/files.cvn");
  form->Guarded([&] { form->Button8Click(); });
  ASSERT_EQ(services.errors.size(), 1u);
  EXPECT_EQ(services.errors[0], S(u8"ファイルが見つかりません."));
  EXPECT_TRUE(Items(form->ListBox2).empty());
  EXPECT_EQ(Items(form->ListBox1), std::vector<std::string>{"a.txt"});

  // An empty file appends nothing and is no failure.
  WriteFile(Site() + "/files.cvn", "");
  form->Button8Click();
  EXPECT_TRUE(Items(form->ListBox2).empty());

  // A read failure part-way: what was read stays, and no comparison is made.
  std::string big;
  for (int i = 0; i < 100; ++i) big += "entry" + std::to_string(i) + ".txt\r\n";
  WriteFile(Site() + "/files.cvn", "a.txt\r\n" + big);
  {
    ScopedFault fault(sys::Call::Read, 3, EIO);
    form->Guarded([&] { form->Button8Click(); });
  }
  EXPECT_EQ(services.errors.size(), 2u);
  EXPECT_GT(form->ListBox2->Count(), 0);
  EXPECT_LT(form->ListBox2->Count(), 101);
  EXPECT_EQ(Items(form->ListBox1), std::vector<std::string>{"a.txt"});  // not compared
  EXPECT_FALSE(Shown(form->Button9));
}

// The folder renamed away after its files were picked and another put at its path (a link
// to a folder holding its own files.cvn and site): neither reload nor HTML作成 touches it.
TEST_F(SavedListTest, AFolderReplacedAfterThePickIsNeitherReadNorWritten) {
  Choose({"a.txt"});
  const std::string other = dir / "other";
  std::filesystem::create_directory(other);
  WriteFile(other + "/files.cvn", CrLfLines({"-----theirs-----", "secret.txt"}));
  WriteFile(other + "/CASE.HTM", "theirs");
  std::filesystem::rename(Site(), dir / "moved");
  std::filesystem::create_directory_symlink(other, Site());
  form->ListBox2->SetEntries({"-----A-----", "a.txt"});
  form->Guarded([&] { form->Button11Click(); });
  form->Guarded([&] { form->Button3Click(); });
  ASSERT_EQ(services.errors.size(), 2u);
  EXPECT_EQ(services.errors[0], S(u8"不正なファイル名です."));
  EXPECT_EQ(services.errors[1], S(u8"不正なファイル名です."));
  EXPECT_EQ(Items(form->ListBox2), (std::vector<std::string>{"-----A-----", "a.txt"}));
  EXPECT_EQ(ReadFile(other + "/CASE.HTM"), "theirs");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(other), {}), 2);
}

// The comparison must stay linear: ten times the entries may take about ten times as long,
// never a hundred. Timed against itself, so a loaded machine or a sanitizer build slows
// both sizes alike.
TEST_F(SavedListTest, CompareTimeGrowsLinearlyWithTheLists) {
  auto timeCompare = [&](int n) {
    std::vector<std::string> inputs;
    std::string file;
    for (int i = 0; i < n; ++i) {
      inputs.push_back("file" + std::to_string(i) + ".txt");
      std::string entry = (i % 2 ? "FILE" : "gone") + std::to_string(i) + ".TXT";
      file += entry + "\r\n";
    }
    WriteFile(Site() + "/files.cvn", file);
    form->ListBox1->SetEntries(inputs);
    form->ListBox2->Clear();
    auto start = std::chrono::steady_clock::now();
    form->Button8Click();
    auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(form->ListBox1->Count(), n / 2);
    EXPECT_EQ(form->ListBox1->Item(0), "file0.txt");
    EXPECT_EQ(form->ListBox2->Item(1), "FILE1.TXT");
    EXPECT_EQ(form->ListBox2->Item(0), M("gone0.TXT"));
    return std::chrono::duration<double>(elapsed).count();
  };
  services.dirDialogAnswers.push_back(Site() + "/dir");
  form->Button6Click();
  // The best of three runs of each size, so one stall does not decide.
  double small = 1e9, large = 1e9;
  for (int round = 0; round < 3; ++round) {
    small = std::min(small, timeCompare(1000));
    large = std::min(large, timeCompare(10000));
  }
  EXPECT_LT(large / small, 30.0) << "1,000 entries: " << small << " s, 10,000: " << large << " s";
}

}  // namespace
}  // namespace corvane::testing
