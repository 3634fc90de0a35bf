// Every file-system call of an operation that writes or reads the program's files is made
// to fail in turn, with each of EIO, ENOSPC and EACCES: the failure must be reported, no
// success claimed, the settings file and the saved list left as they were or wholly new,
// every previous page exactly as it was, nothing outside the folder touched, no temporary
// file or open descriptor left behind, and the operation must work again once the fault
// is gone.

#include <cerrno>
#include <cstdio>
#include <map>
#include <set>

#include "core/errors.h"
#include "core/io_error.h"
#include "tests/form/form_fixture.h"
#include "tests/jpeg_fixture.h"

namespace corvane::testing {
namespace {

class FaultSweepTest : public FormTest {
 protected:
  void SetUp() override {
    Start();
    ASSERT_TRUE(services.errors.empty());
  }

  // Names in the folder that look like our temporary files.
  int TemporaryFiles() const {
    int n = 0;
    for (const auto& e : std::filesystem::directory_iterator(dir.Path())) {
      if (e.path().extension() == ".tmp" ||
          e.path().filename().string().rfind(".corvane-", 0) == 0) {
        ++n;
      }
    }
    return n;
  }

  // Runs `operation` with call n failing, for n = 1, 2, ... until a run sees no fault.
  // `check` runs after each failed run. Returns the number of points injected.
  int Sweep(int err, const std::function<void()>& operation, const std::function<void()>& reset,
            const std::function<void(const std::string& error)>& check) {
    int points = 0;
    for (int nth = 1;; ++nth) {
      reset();
      services.errors.clear();
      services.infos.clear();
      const int fds = OpenDescriptorCount();
      bool fired;
      sys::Call call;
      {
        ScopedFault fault(nth, err);
        form->Guarded(operation);
        fired = fault.Fired();
        call = fault.FiredCall();
      }
      EXPECT_EQ(OpenDescriptorCount(), fds) << "descriptor left open, call " << nth;
      if (fired && call == sys::Call::Unlink && services.errors.empty() && TemporaryFiles() > 0) {
        // Clearing up after a completed run is best effort; the next save removes what the
        // failed removal left.
        services.infos.clear();
        form->Guarded(operation);
      }
      EXPECT_EQ(TemporaryFiles(), 0) << "temporary file left, call " << nth;
      if (!fired) {
        EXPECT_TRUE(services.errors.empty()) << "the run without a fault failed";
        break;
      }
      ++points;
      // A fault may hit a call the program can do without (a status check before renewing
      // a link, closing a file it only read): then no error is shown, and `check` is
      // called with an empty text and must find the operation's result wholly right.
      if (services.errors.size() <= 1) {
        check(services.errors.empty() ? std::string() : services.errors[0]);
      } else {
        ADD_FAILURE() << "call " << nth << " errno " << err << ": " << services.errors.size()
                      << " errors reported";
      }
    }
    return points;
  }

  // The messages a failure with `err` may show: its own I/O message, or the sharing
  // conflict when the failing call is the lock.
  static std::set<std::string> MessagesFor(int err) {
    return {ErrorReportText(IoErrorFromErrno(err, "/").Message()),
            ErrorReportText(EInOutError(IoCode::SharingViolation).Message())};
  }
};

TEST_F(FaultSweepTest, SettingsSave) {
  const std::string old = ReadFile(dir / "corvane.INI");
  Type(form->Edit2, "321");
  const std::string wanted = [&] {
    std::string s = old;
    s.replace(s.find("\r\n200\r\n"), 7, "\r\n321\r\n");
    return s;
  }();
  for (int err : {EIO, ENOSPC, EACCES}) {
    int points = Sweep(
        err, [&] { form->Button5Click(); }, [&] { WriteFile(dir / "corvane.INI", old); },
        [&](const std::string& error) {
          if (error.empty()) {  // a call the save can do without: the new file, whole
            EXPECT_EQ(ReadFile(dir / "corvane.INI"), wanted);
            return;
          }
          EXPECT_TRUE(MessagesFor(err).count(error)) << Cp932ToUtf8(error);
          EXPECT_EQ(ReadFile(dir / "corvane.INI"), old);
        });
    std::printf("[sweep] settings save, errno %d: %d failure points\n", err, points);
    EXPECT_GE(points, 6) << err;
    EXPECT_EQ(ReadFile(dir / "corvane.INI"), wanted);
  }
}

TEST_F(FaultSweepTest, SiteGeneration) {
  JpegOptions o;
  WriteFile(dir / "a.jpg", EncodeJpeg(o));
  WriteFile(dir / "b.txt", "line 1\r\n");
  WriteFile(dir / "c.txt", "line 2\r\n");
  const std::string oldList = CrLfLines({"-----old-----"});
  form->ListBox2->SetEntries({"-----A-----", "a.jpg", "b.txt", "-----B-----", "c.txt"});
  const std::string newList = CrLfLines({"-----A-----", "a.jpg", "b.txt", "-----B-----", "c.txt"});
  const std::vector<std::string> pages = {"CASE.HTM", "BLANK.HTM", "MENU.htm", "MENU.HTM",
                                          "1.htm",    "2.htm",     "3.htm"};
  form->Button3Click();
  std::map<std::string, std::string> reference;
  for (const auto& f : pages) {
    if (Exists(dir / f)) reference[f] = ReadFile(dir / f);
  }
  ASSERT_EQ(reference.size(), pages.size() - 1);  // no third page

  // Before every run: a previous site of other content, one page a link to a file outside.
  TempDir outside;
  WriteFile(outside / "page.htm", "outside");
  auto previousSite = [&] {
    WriteFile(dir / "files.cvn", oldList);
    for (const auto& f : pages) {
      std::filesystem::remove(dir / f);
      if (f == "2.htm") {
        std::filesystem::create_symlink(outside / "page.htm", dir / f);
      } else {
        WriteFile(dir / f, "old " + f);
      }
    }
  };
  auto expectPreviousSite = [&] {
    for (const auto& f : pages) {
      if (f == "2.htm") {
        EXPECT_TRUE(std::filesystem::is_symlink(dir / f));
      } else {
        EXPECT_EQ(ReadFile(dir / f), "old " + f);
      }
    }
  };

  for (int err : {EIO, ENOSPC, EACCES}) {
    int points = Sweep(
        err, [&] { form->Button3Click(); }, previousSite,
        [&](const std::string& error) {
          EXPECT_EQ(ReadFile(outside / "page.htm"), "outside");
          if (error.empty()) {
            EXPECT_EQ(services.infos, std::vector<std::string>{S(u8"ＨＴＭＬ作成しました")});
            for (const auto& [f, bytes] : reference) EXPECT_EQ(ReadFile(dir / f), bytes) << f;
            EXPECT_EQ(ReadFile(dir / "3.htm"), "old 3.htm");  // a page no longer made stays
            return;
          }
          std::set<std::string> allowed = MessagesFor(err);
          allowed.insert(ErrorReportText(EFOpenError::CannotOpen("a.jpg").Message()));
          EXPECT_TRUE(allowed.count(error)) << Cp932ToUtf8(error);
          EXPECT_TRUE(services.infos.empty()) << "success claimed after a failure";
          expectPreviousSite();
          const std::string list = ReadFile(dir / "files.cvn");
          EXPECT_TRUE(list == oldList || list == newList) << list;
        });
    std::printf("[sweep] site generation, errno %d: %d failure points\n", err, points);
    EXPECT_GE(points, 60) << err;
    ASSERT_EQ(services.infos.size(), 1u);
    EXPECT_EQ(services.infos[0], S(u8"ＨＴＭＬ作成しました"));
    EXPECT_EQ(ReadFile(dir / "files.cvn"), newList);
    EXPECT_FALSE(std::filesystem::is_symlink(dir / "2.htm"));
  }
}

TEST_F(FaultSweepTest, ReloadReads) {
  std::string saved;
  for (int i = 0; i < 300; ++i) saved += "entry" + std::to_string(i) + ".txt\r\n";
  WriteFile(dir / "files.cvn", saved);
  for (void (TForm1::*button)() : {&TForm1::Button11Click, &TForm1::Button8Click}) {
    for (int err : {EIO, ENOSPC, EACCES}) {
      int points = Sweep(
          err, [&] { (form.get()->*button)(); }, [&] { form->ListBox2->Clear(); },
          [&](const std::string& error) {
            // A failed look at whether the name exists only costs a folder read: the list
            // is then found and loaded whole.
            if (error.empty()) {
              EXPECT_EQ(form->ListBox2->Count(), 300);
            } else {
              EXPECT_TRUE(MessagesFor(err).count(error)) << Cp932ToUtf8(error);
            }
            EXPECT_LE(form->ListBox2->Count(), 300);
            EXPECT_EQ(ReadFile(dir / "files.cvn"), saved);
          });
      std::printf("[sweep] reload, errno %d: %d failure points\n", err, points);
      EXPECT_GE(points, 4);
      EXPECT_EQ(form->ListBox2->Count(), 300);
    }
  }
}

}  // namespace
}  // namespace corvane::testing
