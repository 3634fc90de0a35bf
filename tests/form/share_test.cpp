// A folder on a network share that answers each request after a delay: a run measures many
// pictures at once and takes as long as the share needs for a few of them, says what a run on
// the local disk says, for the same entry; and when the share stops answering, キャンセル
// gives the window back within a second, with the previous site as it was.

#include <QPushButton>
#include <QTimer>
#include <chrono>
#include <filesystem>
#include <map>

#include "core/entry_reader.h"
#include "core/errors.h"
#include "core/site_generator.h"
#include "form/generation_progress.h"
#include "tests/form/form_fixture.h"
#include "tests/jpeg_fixture.h"
#include "tests/share/mounted_share.h"

namespace corvane::testing {
namespace {

using Clock = std::chrono::steady_clock;

// Every file of a folder by name: the site, and any temporary a run left there.
std::map<std::string, std::string> FolderBytes(const std::string& folder) {
  std::map<std::string, std::string> files;
  for (const auto& e : std::filesystem::directory_iterator(folder)) {
    files[e.path().filename()] = e.is_regular_file() ? ReadFile(e.path()) : "";
  }
  return files;
}

// count pictures of distinct sizes under three headings, with a text file.
std::vector<std::string> Pictures(const std::string& folder, int count) {
  WriteFile(folder + "/note.txt", "a line\r\n");
  std::vector<std::string> entries{"-----A-----", "note.txt"};
  for (int i = 0; i < count; ++i) {
    if (i % (count / 3) == 0 && i > 0) entries.push_back("-----" + std::to_string(i) + "-----");
    const std::string name = "p" + std::to_string(i) + ".jpg";
    WriteFile(folder + "/" + name, EncodeJpeg({.width = 40 + i, .height = 30}));
    entries.push_back(name);
  }
  return entries;
}

TEST(Share, ARunIsQuickAndReportsWhatARunOnTheLocalDiskReports) {
  MountedShare share(1000);  // a millisecond a request
  if (!share.Usable()) GTEST_SKIP() << "no FUSE share can be mounted here";
  std::vector<std::string> entries = Pictures(share.Source(), 240);
  TempDir local;
  for (const auto& e : std::filesystem::directory_iterator(share.Source())) {
    std::filesystem::copy_file(e.path(), local / e.path().filename().string());
  }
  GenerateSite(entries, local.Path(), Defaults());
  auto timed = [&](const std::vector<std::string>& list, bool ahead) {
    AllowReadAhead(ahead);
    const auto start = Clock::now();
    GenerateSite(list, share.Path(), Defaults());
    AllowReadAhead(true);
    return Clock::now() - start;
  };
  const auto oneAfterAnother = timed(entries, false);
  const auto took = timed(entries, true);
  EXPECT_EQ(FolderBytes(share.Source()), FolderBytes(local.Path()));
  // Each picture waits for at least four requests one after another, a second in all.
  EXPECT_GT(oneAfterAnother, std::chrono::milliseconds(960));
  EXPECT_LT(took * 3, oneAfterAnother);

  // A site of texts alone is read ahead too.
  std::vector<std::string> texts{"-----T-----"};
  for (int i = 0; i < 120; ++i) {
    texts.push_back(std::string("t").append(std::to_string(i)).append(".txt"));
    WriteFile(share.Source() + "/" + texts.back(), "line\r\n");
  }
  const auto textsOneAfterAnother = timed(texts, false);
  EXPECT_LT(timed(texts, true) * 3, textsOneAfterAnother);

  // A missing picture, then a broken one further on, already measured when the missing one
  // is reported: the missing one is reported, as one after another, and nothing changes.
  WriteFile(share.Source() + "/broken.jpg", "not a picture");
  const auto before = FolderBytes(share.Source());
  entries.insert(entries.begin() + 200, "broken.jpg");
  entries.insert(entries.begin() + 100, "gone.jpg");
  try {
    GenerateSite(entries, share.Path(), Defaults());
    ADD_FAILURE() << "the run did not fail";
  } catch (const EFOpenError& e) {
    EXPECT_EQ(e.Message(), S(u8"ファイル gone.jpg は開けません"));
  }
  auto after = FolderBytes(share.Source());
  after["files.cvn"] = before.at("files.cvn");  // written first, the new list
  EXPECT_EQ(after, before);
  entries.erase(entries.begin() + 100);
  EXPECT_THROW(GenerateSite(entries, share.Path(), Defaults()), EJPEG);
}

class ShareWindowTest : public FormTest {
 protected:
  // Presses キャンセル as soon as the progress box shows; returns when it was pressed. Until
  // then the window's timer must keep running, whatever the share does.
  Clock::time_point CancelWhenTheBoxShows(QTimer& poll) {
    auto pressed = std::make_shared<Clock::time_point>();
    auto last = std::make_shared<Clock::time_point>(Clock::now());
    poll.setInterval(20);
    QObject::connect(&poll, &QTimer::timeout, [this, pressed, last, &poll] {
      // A frozen window misses ticks for as long as the share stalls; a loaded machine with
      // sanitizers still answers well within this.
      EXPECT_LT(Clock::now() - *last, std::chrono::milliseconds(250)) << "the window froze";
      *last = Clock::now();
      auto* box = form->findChild<ProgressBox*>();
      if (box == nullptr || !box->isVisible()) return;
      poll.stop();
      *pressed = Clock::now();
      box->findChild<QPushButton*>("CancelButton")->click();
    });
    poll.start();
    form->Guarded([&] { form->Button3Click(); });
    return *pressed;
  }
};

// The share stops answering: the read of a picture (read ahead, on a thread of the run's), a
// request about a text file the run itself reads, or the renaming of a page while the site is
// put in place. Each time the window is back within a second of キャンセル, says what became of
// the site, and every page of the previous site is as it was; a run stopped before it put
// anything in place leaves nothing behind once it has ended. A run after one the window let go
// waits for it, and キャンセル stops that wait too.
TEST_F(ShareWindowTest, CancelGivesTheWindowBackWhileTheShareNeverAnswers) {
  const std::string notMade = S(u8"ＨＴＭＬ作成を中止しました（サイトは作成されていません）");
  const std::string unconfirmed = S(
      u8"ＨＴＭＬ作成の完了を確認できませんでした（サイトが一部だけ更新されている場合があります）");
  struct Case {
    const char* what;
    const char* entry;  // inserted into the list at `at`, or none
    std::size_t at;
    const char* stalledRename;  // a page whose renaming the share never answers, or none
    std::string message;
  };
  const Case cases[] = {
      {"picture read ahead", "stall.jpg", 30, nullptr, notMade},
      {"text file read by the run", "stuck.txt", 1, nullptr, notMade},
      {"page put in place", nullptr, 0, "1.htm", unconfirmed},
  };
  Start();
  for (const Case& c : cases) {
    MountedShare share(0);
    if (!share.Usable()) GTEST_SKIP() << "no FUSE share can be mounted here";
    std::vector<std::string> list = Pictures(share.Source(), 60);
    GenerateSite(list, share.Path(), Defaults());
    WriteFile(share.Source() + "/stall.jpg", EncodeJpeg({.width = 8, .height = 8}));
    WriteFile(share.Source() + "/stuck.txt", "never read\r\n");
    if (c.entry) list.insert(list.begin() + static_cast<long>(c.at), c.entry);
    if (c.stalledRename) WriteFile(share.Source() + "/stall-renames", c.stalledRename);
    Type(form->Edit1, share.Path() + "/");
    form->ListBox2->SetEntries(list);
    const auto before = FolderBytes(share.Source());
    auto cancelled = [&](const std::string& message) {
      services.infos.clear();
      QTimer poll;
      const auto pressed = CancelWhenTheBoxShows(poll);
      const auto back = Clock::now();
      ASSERT_NE(pressed, Clock::time_point()) << c.what << ": no progress box";
      EXPECT_LT(back - pressed, std::chrono::seconds(1)) << c.what;
      EXPECT_TRUE(services.errors.empty()) << c.what;
      EXPECT_EQ(services.infos, std::vector<std::string>{message}) << c.what;
      auto after = FolderBytes(share.Source());
      after["files.cvn"] = before.at("files.cvn");  // written first, the new list
      // A run still waiting in a request removes what it staged once the request returns.
      for (const auto& [name, bytes] : before) EXPECT_EQ(after[name], bytes) << c.what << name;
      if (c.entry != nullptr && std::string(c.entry) == "stall.jpg") {
        EXPECT_EQ(after, before);  // the run has ended: nothing of it is left
      }
    };
    cancelled(c.message);
    if (c.stalledRename) cancelled(notMade);  // waits for the run let go, still renaming
  }
}

}  // namespace
}  // namespace corvane::testing
