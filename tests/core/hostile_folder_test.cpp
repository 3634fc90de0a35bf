// Folders as people really have them: links at the page names, pipes where files should
// be, huge garbage pictures, runs that fail part-way, a program killed while saving.
// Nothing outside the folder changes, nothing waits, and a failed run leaves the previous
// site exactly as it was.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <jerror.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <map>
#include <new>
#include <random>

#include "core/errors.h"
#include "core/file_system.h"
#include "core/folder.h"
#include "core/image_size.h"
#include "core/jpeg_header.h"
#include "core/saved_list.h"
#include "core/settings.h"
#include "core/site_generator.h"
#include "tests/jpeg_fixture.h"
#include "tests/test_support.h"

namespace corvane {
namespace {

using testing::Defaults;
using testing::ReadFile;
using testing::S;
using testing::TempDir;
using testing::WriteFile;
namespace fs = std::filesystem;

const std::vector<std::string> kPages = {"CASE.HTM", "BLANK.HTM", "MENU.htm",
                                         "MENU.HTM", "1.htm",     "2.htm"};

// Every file of the folder with its bytes and permission bits; symbolic links as their target.
std::map<std::string, std::string> Snapshot(const std::string& folder) {
  std::map<std::string, std::string> files;
  for (const auto& e : fs::directory_iterator(folder)) {
    const std::string name = e.path().filename().string();
    if (e.is_symlink()) {
      files[name] = "-> " + fs::read_symlink(e.path()).string();
    } else if (e.is_regular_file()) {
      struct stat st;
      ::stat(e.path().c_str(), &st);
      files[name] = std::to_string(st.st_mode & 07777) + ":" + ReadFile(e.path().string());
    } else {
      files[name] = "(other)";
    }
  }
  return files;
}

int Temporaries(const std::string& folder) {
  int n = 0;
  for (const auto& e : fs::directory_iterator(folder)) {
    if (e.path().filename().string().rfind(".corvane-", 0) == 0) ++n;
  }
  return n;
}

// Runs f, failing the test (rather than hanging the suite) if it does not return promptly.
double Seconds(const std::function<void()>& f) {
  ::alarm(20);  // the default action ends the process: a hang is a failure, not a stall
  auto start = std::chrono::steady_clock::now();
  f();
  ::alarm(0);
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

int IoCode(const std::function<void()>& f) {
  try {
    f();
  } catch (const EInOutError& e) {
    return e.Code();
  }
  return 0;
}

TEST(HostileFolder, LinksAtPageNamesAreReplacedNeverFollowed) {
  TempDir dir, outside, reference;
  const std::vector<std::string> entries = {"-----A-----", "a.txt", "-----B-----"};
  WriteFile(dir / "a.txt", "text\r\n");
  WriteFile(reference / "a.txt", "text\r\n");
  GenerateSite(entries, reference.Path(), Defaults());

  for (const auto& page : kPages) {
    WriteFile(outside / page, "outside " + page);
    if (page == "BLANK.HTM" || page == "2.htm") {
      ASSERT_EQ(::link((outside / page).c_str(), (dir / page).c_str()), 0);
    } else {
      ASSERT_EQ(::symlink((outside / page).c_str(), (dir / page).c_str()), 0);
    }
  }
  const auto before = Snapshot(outside.Path());
  GenerateSite(entries, dir.Path(), Defaults());
  EXPECT_EQ(Snapshot(outside.Path()), before);
  for (const auto& page : kPages) {
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(dir / page))) << page;
    EXPECT_EQ(ReadFile(dir / page), ReadFile(reference / page)) << page;
  }
  struct stat a, b;
  ::stat((dir / "MENU.htm").c_str(), &a);
  ::stat((dir / "MENU.HTM").c_str(), &b);
  EXPECT_EQ(a.st_ino, b.st_ino) << "the menu's two names are one file";
  EXPECT_EQ(Temporaries(dir.Path()), 0);
}

TEST(HostileFolder, PipesAndDevicesAtAnyNameNeverBlock) {
  TempDir dir;
  auto fifo = [&](const std::string& name) {
    fs::remove(dir / name);
    ASSERT_EQ(::mkfifo((dir / name).c_str(), 0644), 0);
  };
  fifo("x.txt");
  EXPECT_LT(Seconds([&] {
              EXPECT_EQ(IoCode([&] {
                          GenerateSite({"-----A-----", "x.txt"}, dir.Path(), Defaults());
                        }),
                        5);
            }),
            1.0);
  fifo("x.jpg");
  EXPECT_LT(Seconds([&] {
              try {
                GenerateSite({"-----A-----", "x.jpg"}, dir.Path(), Defaults());
                ADD_FAILURE() << "a pipe measured as a picture";
              } catch (const EFOpenError& e) {
                EXPECT_EQ(e.Message(), EFOpenError::CannotOpen("x.jpg").Message());
              }
            }),
            1.0);
  // A device through a link is not a text either.
  ASSERT_EQ(::symlink("/dev/zero", (dir / "zero.txt").c_str()), 0);
  EXPECT_EQ(IoCode([&] { GenerateSite({"-----A-----", "zero.txt"}, dir.Path(), Defaults()); }), 5);

  // Names the program reads: an open error of that name.
  fifo("files.cvn");
  fifo("corvane.INI");
  Settings s = Defaults();
  EXPECT_LT(Seconds([&] {
              EXPECT_EQ(IoCode([&] { ReadSavedList(dir.Path(), [](std::string) {}); }), 5);
              EXPECT_EQ(IoCode([&] { LoadSettings(dir.Path(), s); }), 5);
            }),
            1.0);
  // Names the program writes: the pipe is replaced.
  fifo("CASE.HTM");
  fifo("MENU.HTM");
  EXPECT_LT(Seconds([&] {
              SaveSettings(dir.Path(), Defaults());
              GenerateSite({"-----A-----"}, dir.Path(), Defaults());
            }),
            1.0);
  for (const char* name : {"files.cvn", "corvane.INI", "CASE.HTM", "MENU.HTM"}) {
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(dir / name))) << name;
  }
}

TEST(HostileFolder, AGarbagePictureCostsMillisecondsWhateverItsSize) {
  TempDir dir;
  WriteFile(dir / "x.jpg", std::string("\xFF\xD8", 2));
  fs::resize_file(dir / "x.jpg", std::uintmax_t{1} << 30);  // 1 GiB, sparse
  sys::FileHandle file = sys::OpenHandle((dir / "x.jpg").c_str(), O_RDONLY);
  JpegReadStats stats;
  double seconds = Seconds([&] {
    try {
      ReadJpegSize(file.Get(), &stats);
      ADD_FAILURE() << "garbage measured";
    } catch (const EJPEG& e) {
      EXPECT_EQ(e.MessageCode(), JERR_NO_IMAGE);
    }
  });
  EXPECT_LT(seconds, 1.0);
  EXPECT_LE(stats.bytesRead, 1024u * 1024u + 1024u);
  // Metadata the reader skips does not count: a picture behind 4 MB of it is still measured.
  testing::JpegOptions o;
  const std::string jpeg = testing::EncodeJpeg(o);
  std::string padded = jpeg.substr(0, 2);
  for (int i = 0; i < 64; ++i) padded += "\xFF\xE5\xFF\xFF" + std::string(0xFFFD, 'm');
  WriteFile(dir / "y.jpg", padded + jpeg.substr(2));
  auto [w, h] = ImageDisplaySize(dir / "y.jpg", "y.jpg", "600");
  EXPECT_FALSE(w.empty() || h.empty());
}

class FailedRunTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteFile(dir / "a.txt", "alpha\r\n");
    WriteFile(dir / "b.txt", "beta\r\n");
    testing::JpegOptions o;
    WriteFile(dir / "p.jpg", testing::EncodeJpeg(o));
    GenerateSite({"-----A-----", "a.txt", "p.jpg", "-----B-----", "b.txt"}, dir.Path(), Defaults());
    ::chmod((dir / "1.htm").c_str(), 0604);  // kept by every later run
    WriteFile(dir / "a.txt", "alpha 2\r\n");
    before = Pages();
  }

  // The site's pages (every name ending in "htm" in any case), bytes and permissions.
  std::map<std::string, std::string> Pages() const {
    auto files = Snapshot(dir.Path());
    std::erase_if(files, [](const auto& file) {
      const std::string& name = file.first;
      return name.size() < 3 ||
             (name.substr(name.size() - 3) != "htm" && name.substr(name.size() - 3) != "HTM");
    });
    return files;
  }

  // A run that fails must leave every page as it was and nothing of its own.
  void ExpectPreviousSite(const std::string& what) {
    EXPECT_EQ(Pages(), before) << what;
    EXPECT_EQ(Temporaries(dir.Path()), 0) << what;
  }

  void Generate() {
    GenerateSite({"-----A-----", "a.txt", "p.jpg", "-----B-----", "b.txt", "-----C-----"},
                 dir.Path(), Defaults());
  }

  TempDir dir;
  std::map<std::string, std::string> before;
};

TEST_F(FailedRunTest, AMissingFileLeavesThePreviousSite) {
  fs::rename(dir / "b.txt", dir / "gone.txt");
  EXPECT_EQ(IoCode([&] { Generate(); }), 2);
  ExpectPreviousSite("missing text");
  EXPECT_EQ(
      ReadFile(dir / "files.cvn"),
      testing::CrLfLines({"-----A-----", "a.txt", "p.jpg", "-----B-----", "b.txt", "-----C-----"}));
}

TEST_F(FailedRunTest, AFailureWhilePuttingPagesInPlaceUndoesTheOnesDone) {
  // The saved list is renamed first; each later rename puts one page in place.
  for (int nth = 2; nth <= 9; ++nth) {
    {
      testing::ScopedFault fault(sys::Call::Rename, nth, EIO);
      EXPECT_NE(IoCode([&] { Generate(); }), 0) << nth;
    }
    ExpectPreviousSite("rename " + std::to_string(nth));
  }
}

TEST_F(FailedRunTest, AFullDiskOrNoMemoryLeavesThePreviousSite) {
  for (int nth = 2; nth <= 7; ++nth) {
    testing::ScopedFault fault(sys::Call::Write, nth, ENOSPC);
    EXPECT_EQ(IoCode([&] { Generate(); }), 112);
    ExpectPreviousSite("full disk at write " + std::to_string(nth));
  }
  // Memory running out while any file is read or written (where a run's memory grows).
  for (int nth = 1;; ++nth) {
    bool thrown = false;
    int calls = 0;
    sys::SetFaultHook([&](sys::Call call) -> int {
      if ((call == sys::Call::Read || call == sys::Call::Write) && ++calls == nth) {
        thrown = true;
        throw std::bad_alloc();
      }
      return 0;
    });
    try {
      Generate();
    } catch (const std::bad_alloc&) {
    }
    sys::SetFaultHook(nullptr);
    if (!thrown) break;
    ExpectPreviousSite("no memory at call " + std::to_string(nth));
  }
  Generate();
  EXPECT_NE(ReadFile(dir / "1.htm").find("alpha 2"), std::string::npos);
  struct stat st;
  ::stat((dir / "1.htm").c_str(), &st);
  EXPECT_EQ(st.st_mode & 07777, 0604u);
}

// A copy of the program killed at random moments while it saves: the file is the old one or
// the new one, never a part, and the next save clears whatever the killed one left.
TEST(HostileFolder, AKilledSaveLeavesOldOrNewAndNothingElse) {
  TempDir dir;
  Settings a = Defaults(), b = Defaults();
  b.WorkDir = std::string(5000, 'w');  // a larger file, longer to write
  const std::string listA = testing::CrLfLines({"-----A-----"});
  SaveSettings(dir.Path(), a);
  const std::string iniA = ReadFile(dir / "corvane.INI");
  SaveSettings(dir.Path(), b);
  const std::string iniB = ReadFile(dir / "corvane.INI");
  std::mt19937 random(12345);
  for (int round = 0; round < 150; ++round) {
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      for (int i = 0;; ++i) {
        SaveSettings(dir.Path(), i % 2 ? a : b);
        GenerateSite({i % 2 ? "-----A-----" : "-----B-----"}, dir.Path(), a);
      }
    }
    ::usleep(std::uniform_int_distribution<int>(0, 4000)(random));
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    const std::string ini = ReadFile(dir / "corvane.INI");
    EXPECT_TRUE(ini == iniA || ini == iniB) << "partial settings file, round " << round;
    if (testing::Exists(dir / "files.cvn")) {
      const std::string list = ReadFile(dir / "files.cvn");
      EXPECT_TRUE(list == listA || list == testing::CrLfLines({"-----B-----"})) << round;
    }
  }
  SaveSettings(dir.Path(), a);
  GenerateSite({"-----A-----"}, dir.Path(), a);
  EXPECT_EQ(Temporaries(dir.Path()), 0);
  EXPECT_EQ(ReadFile(dir / "files.cvn"), listA);
}

// Someone who can rename the folder swaps it, or its saved list, for a link just before any
// one system call of a run (call N, for every N; the window passes the folder it chose, as
// here). Nothing in the other folder changes, no page shows anything of it or a file no entry
// names, and a run that reports success put its site into the folder chosen.
TEST(HostileFolder, SwapsAtAnyCallNeitherReceiveNorFeedTheRun) {
  TempDir root, reference;
  const std::string site = root / "site", moved = root / "moved", other = root / "other";
  const std::vector<std::string> entries = {"-----A-----", "a.txt", "p.jpg", "-----B-----"};
  auto fill = [](const std::string& folder, const std::string& text, int w, int h) {
    testing::JpegOptions o;
    o.width = w;
    o.height = h;
    WriteFile(folder + "/p.jpg", testing::EncodeJpeg(o));
    WriteFile(folder + "/a.txt", text);
  };
  fill(reference.Path(), "mine\r\n", 40, 30);
  GenerateSite(entries, reference.Path(), Defaults());
  const auto expected = Snapshot(reference.Path());
  auto makeOther = [&] {
    fs::remove_all(other);
    fs::create_directory(other);
    fill(other, "other's\r\n", 30, 40);
    WriteFile(other + "/list.cvn", "-----A-----\r\nsecret.txt\r\na.txt\r\n");
    GenerateSite({"-----theirs-----"}, other, Defaults());
    return Snapshot(other);
  };
  const auto theirs = makeOther();

  struct Sweep {
    const char* what;
    std::function<void()> swap;
    int swept = 0, failures = 0;
  } sweeps[] = {
      {"folder", [&] { fs::rename(site, moved), fs::create_directory_symlink(other, site); }},
      {"files.cvn",
       [&] {
         fs::remove(site + "/files.cvn");
         fs::create_symlink(other + "/list.cvn", site + "/files.cvn");
       }},
  };
  for (Sweep& sweep : sweeps) {
    for (int n = 1;; ++n) {
      if (fs::is_symlink(fs::symlink_status(site))) fs::remove(site);  // a swap's link
      fs::remove_all(site);
      fs::remove_all(moved);
      makeOther();  // as it was, whatever the last run did
      fs::create_directory(site);
      fill(site, "mine\r\n", 40, 30);
      WriteFile(site + "/secret.txt", "SECRET\r\n");
      ::chmod((site + "/secret.txt").c_str(), 0600);
      const std::optional<FolderId> chosen = Folder::IdOf(site);
      int calls = 0;
      sys::SetFaultHook([&](sys::Call) {
        if (++calls == n) sweep.swap();
        return 0;
      });
      bool succeeded = true;
      try {
        GenerateSite(entries, site + "/", Defaults(), chosen);
      } catch (const CorvaneError&) {
        succeeded = false;
      }
      sys::SetFaultHook(nullptr);
      if (calls < n) break;
      ++sweep.swept;
      const std::string mine = fs::exists(moved) ? moved : site;
      const auto got = Snapshot(mine);
      bool fine = Snapshot(other) == theirs && (!succeeded || got.count("CASE.HTM") == 1);
      for (const auto& [name, bytes] : got) {
        if (name == "secret.txt" || name == "files.cvn") continue;
        fine = fine && bytes.find("SECRET") == std::string::npos &&
               bytes.find("other's") == std::string::npos;
        if (succeeded && expected.count(name)) fine = fine && bytes == expected.at(name);
      }
      EXPECT_TRUE(fine) << sweep.what << " swapped before call " << n;
      sweep.failures += !fine;
    }
    std::printf("%s swapped before each of %d calls: %d failures\n", sweep.what, sweep.swept,
                sweep.failures);
    EXPECT_GT(sweep.swept, 30) << sweep.what;
  }
}

}  // namespace
}  // namespace corvane
