// Reading ahead changes only how long a run waits for the disk: the pages, the errors and
// what is left open are those of a run that reads each file when it comes.
// The pictures are made "not in memory" for real, by asking the kernel to drop their
// cached pages.

#include "core/entry_reader.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

#include "core/errors.h"
#include "core/settings.h"
#include "core/site_generator.h"
#include "tests/jpeg_fixture.h"
#include "tests/test_support.h"

namespace corvane {
namespace {

using testing::Defaults;
using testing::ReadFile;
using testing::TempDir;
using testing::WriteFile;

// More pictures than a batch read ahead holds, under two headings, with a text entry, a picture
// named twice and pictures whose entries differ in letter case from their files.
struct Folder {
  TempDir dir;
  std::vector<std::string> entries{"-----A-----"};
  std::vector<std::string> pictures;

  explicit Folder(int count) {
    WriteFile(dir / "note.txt", "a line\r\n");
    for (int i = 0; i < count; ++i) {
      const std::string name = "p" + std::to_string(i) + ".jpg";
      // Distinct sizes, so a picture measured in another's place shows in the pages.
      WriteFile(dir / name, testing::EncodeJpeg({.width = 40 + i, .height = 30}));
      pictures.push_back(dir / name);
      entries.push_back(i % 10 == 3 ? "P" + std::to_string(i) + ".JPG" : name);
      if (i == count / 2) entries.insert(entries.end(), {"-----B-----", "note.txt", name});
    }
    ::sync();
  }

  // Drops the pictures' pages from memory, so the next run finds them on the disk. The kernel
  // keeps a page it still holds in a batch of recent use on another processor, so it is asked
  // again until none is left.
  void Evict() const {
    for (int attempt = 0; attempt < 50; ++attempt) {
      bool resident = false;
      for (const std::string& path : pictures) {
        int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED), 0);
        resident = resident || Resident(fd);
        ::close(fd);
      }
      if (!resident) return;
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    FAIL() << "the pictures stay in memory";
  }

  // Whether any page of the open file is in memory.
  static bool Resident(int fd) {
    struct stat st;
    if (::fstat(fd, &st) != 0 || st.st_size == 0) return false;
    const auto size = static_cast<std::size_t>(st.st_size);
    void* map = ::mmap(nullptr, size, PROT_READ, MAP_SHARED, fd, 0);
    if (map == MAP_FAILED) return true;
    std::vector<unsigned char> pages((size + 4095) / 4096);
    const bool ok = ::mincore(map, size, pages.data()) == 0;
    ::munmap(map, size);
    return !ok || std::any_of(pages.begin(), pages.end(), [](unsigned char p) { return p & 1; });
  }

  std::map<std::string, std::string> Site() const {
    std::map<std::string, std::string> pages;
    for (const char* name : {"files.cvn", "1.htm", "2.htm", "MENU.htm", "CASE.HTM"})
      pages[name] = ReadFile(dir / name);
    return pages;
  }
};

// The calls of one run: of each kind, and those made ahead, on the threads that measure
// pictures before the run comes to them.
struct Calls {
  std::map<sys::Call, int> all;
  std::map<sys::Call, int> ahead;
};

// Counts the calls the program makes while alive.
class CallCounter {
 public:
  CallCounter() {
    sys::SetFaultHook([this](sys::Call call) {
      std::lock_guard guard(lock_);
      ++calls_.all[call];
      if (std::this_thread::get_id() != self_) ++calls_.ahead[call];
      return 0;
    });
  }
  ~CallCounter() { sys::SetFaultHook(nullptr); }
  CallCounter(const CallCounter&) = delete;
  CallCounter& operator=(const CallCounter&) = delete;
  Calls Take() {
    std::lock_guard guard(lock_);
    return calls_;
  }

 private:
  std::mutex lock_;
  std::thread::id self_ = std::this_thread::get_id();
  Calls calls_;
};

// Runs a generation and counts the calls of each kind it makes.
Calls CountedRun(const Folder& f, const std::vector<std::string>& entries) {
  CallCounter counter;
  GenerateSite(entries, f.dir.Path(), Defaults());
  return counter.Take();
}

// A run with the pictures dropped from memory. A disk that answers at once can have a
// picture's first block in memory again before the run looks whether it is, and the run then
// rightly measures it in its turn: the run is tried again until the pictures are measured
// ahead.
Calls ColdRun(const Folder& f, const std::vector<std::string>& entries) {
  Calls calls;
  for (int attempt = 0; attempt < 10 && calls.ahead.empty(); ++attempt) {
    f.Evict();
    calls = CountedRun(f, entries);
  }
  return calls;
}

TEST(ReadAhead, AColdRunReadsAheadAndWritesTheSamePagesAsAWarmOne) {
  Folder f(150);
  const int fds = testing::OpenDescriptorCount();
  GenerateSite(f.entries, f.dir.Path(), Defaults());
  const auto warmSite = f.Site();
  ASSERT_NE(warmSite.at("2.htm").find("<IMG SRC=\"p75.jpg\" WIDTH=\"600\" HEIGHT=\"156\">"),
            std::string::npos);

  // In memory: no picture is measured ahead.
  EXPECT_EQ(CountedRun(f, f.entries).ahead.size(), 0U);

  const Calls cold = ColdRun(f, f.entries);
  EXPECT_EQ(f.Site(), warmSite);
  // The pictures after the first found on the disk are opened ahead (the picture named twice,
  // twice): all 150 but the first when the kernel dropped every page asked, and the text file,
  // the one file read under a lock. Those whose entries differ in letter case from their files
  // are not read there, but found by the folder search when their turn comes.
  EXPECT_GE(cold.ahead.at(sys::Call::Open), 100);
  EXPECT_LE(cold.ahead.at(sys::Call::Open), 151);
  EXPECT_EQ(cold.ahead.at(sys::Call::Lock), 1);
  EXPECT_LT(cold.ahead.at(sys::Call::Read), cold.ahead.at(sys::Call::Open));
  EXPECT_EQ(testing::OpenDescriptorCount(), fds);
}

TEST(ReadAhead, ErrorsComeAsTheyWouldWithoutReadingAhead) {
  Folder f(100);
  WriteFile(f.dir / "broken.jpg", "not a picture");
  ::sync();
  GenerateSite({"-----A-----"}, f.dir.Path(), Defaults());
  const std::string before = ReadFile(f.dir / "1.htm");
  const int fds = testing::OpenDescriptorCount();
  // A text file named in another letter case (found by the folder search in its turn), a
  // missing text file, a missing picture and a broken one, all in the window read ahead when
  // the first of them is reported: each is reported in list order, as the earlier ones go.
  std::vector<std::string> entries = f.entries;
  entries.insert(entries.begin() + 80, "broken.jpg");
  entries.insert(entries.begin() + 70, "gone.jpg");
  entries.insert(entries.begin() + 65, "gone.txt");
  entries.insert(entries.begin() + 60, "NOTE.TXT");
  for (bool cold : {false, true}) {
    if (cold) f.Evict();
    try {
      GenerateSite(entries, f.dir.Path(), Defaults());
      FAIL();
    } catch (const EInOutError& e) {
      EXPECT_EQ(e.Code(), 2) << cold;
    }
    EXPECT_EQ(testing::OpenDescriptorCount(), fds);
    EXPECT_EQ(ReadFile(f.dir / "1.htm"), before);
  }
  entries.erase(std::find(entries.begin(), entries.end(), "gone.txt"));
  f.Evict();
  try {
    GenerateSite(entries, f.dir.Path(), Defaults());
    FAIL();
  } catch (const EFOpenError& e) {
    EXPECT_EQ(e.Message(), testing::S(u8"ファイル gone.jpg は開けません"));
  }
  entries.erase(std::find(entries.begin(), entries.end(), "gone.jpg"));
  f.Evict();
  EXPECT_THROW(GenerateSite(entries, f.dir.Path(), Defaults()), EJPEG);
  EXPECT_EQ(testing::OpenDescriptorCount(), fds);
  EXPECT_EQ(ReadFile(f.dir / "1.htm"), before);
}

// What is not a regular file is opened ahead (as measuring opens it) but never read: a link
// to a disk would otherwise have the disk read.
TEST(ReadAhead, OnlyRegularFilesAreReadAhead) {
  Folder f(10);
  ASSERT_EQ(::symlink("/dev/zero", (f.dir / "dev.jpg").c_str()), 0);
  ASSERT_EQ(::mkfifo((f.dir / "pipe.jpg").c_str(), 0644), 0);
  std::vector<std::string> entries = f.entries;
  entries.insert(entries.end(), {"pipe.jpg", "dev.jpg"});
  std::string error;
  Calls calls;
  for (int attempt = 0; attempt < 10 && calls.ahead.empty(); ++attempt) {
    f.Evict();
    CallCounter counter;
    try {
      GenerateSite(entries, f.dir.Path(), Defaults());
    } catch (const EFOpenError& e) {
      error = e.Message();
    }
    calls = counter.Take();
  }
  EXPECT_EQ(error, testing::S(u8"ファイル pipe.jpg は開けません"));
  // The pipe and the device are opened ahead like the pictures, but never read: the device
  // alone would give a megabyte of reads.
  EXPECT_GE(calls.ahead[sys::Call::Open], 2);
  EXPECT_LE(calls.ahead[sys::Call::Read], calls.ahead[sys::Call::Open] - 2);
  EXPECT_LT(calls.all[sys::Call::Read], 100);
}

// A process allowed few descriptors: reading ahead never needs one more than the run does
// without it. (The first run raised the process's limit to the most allowed, once; the
// lowered limits below then hold.)
TEST(ReadAhead, ShortOfDescriptorsTheRunGoesOnWithoutReadingAhead) {
  Folder f(150);
  // Pairs of headings all along the list, wherever the batches read ahead happen to end.
  for (std::size_t at = 140; at >= 20; at -= 7) {
    f.entries.insert(f.entries.begin() + static_cast<std::ptrdiff_t>(at),
                     {"-----C-----", "-----D-----"});
  }
  GenerateSite(f.entries, f.dir.Path(), Defaults());
  const auto warmSite = f.Site();
  const int fds = testing::OpenDescriptorCount();
  // The most descriptors the run holds without reading ahead: counted before each open,
  // plus the one that open makes.
  AllowReadAhead(false);
  int most = 0;
  sys::SetFaultHook([&](sys::Call call) {
    if (call == sys::Call::Open) most = std::max(most, testing::OpenDescriptorCount() + 1);
    return 0;
  });
  f.Evict();
  GenerateSite(f.entries, f.dir.Path(), Defaults());
  sys::SetFaultHook(nullptr);
  AllowReadAhead(true);
  // A handful, however many pages: a page waiting to be put in place holds none.
  ASSERT_LT(most, fds + 16);

  // With only those (and one to spare, for the lowest free number), reading ahead must
  // fit in: a failure here would raise an error under the lowered limit.
  rlimit saved;
  ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &saved), 0);
  const rlimit tight{static_cast<rlim_t>(most + 1), saved.rlim_max};
  ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &tight), 0);
  f.Evict();
  std::string error;
  try {
    GenerateSite(f.entries, f.dir.Path(), Defaults());
  } catch (const CorvaneError& e) {
    error = e.Message();
  }
  ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &saved), 0);
  EXPECT_EQ(error, "");
  EXPECT_EQ(f.Site(), warmSite);
  EXPECT_EQ(testing::OpenDescriptorCount(), fds);
}

// Any one call of a cold run failing: the run reports an error and the previous site stays,
// or (for a call it can do without, such as counting its descriptors before measuring ahead)
// it completes the new site. The calls made ahead run on threads of their own, so which call
// is the n-th varies from run to run: whichever it is, the outcome is one of the two.
// Nothing is left open either way.
TEST(ReadAhead, EveryCallOfAColdRunMayFail) {
  Folder f(80);
  GenerateSite(f.entries, f.dir.Path(), Defaults());
  const auto newSite = f.Site();
  const std::vector<std::string> oldEntries = {"-----old-----", "note.txt", "-----2-----"};
  const int fds = testing::OpenDescriptorCount();
  const Calls cold = ColdRun(f, f.entries);
  int total = 0;
  for (const auto& [call, count] : cold.all) total += count;
  ASSERT_GT(cold.ahead.at(sys::Call::Read), 60);

  int failures = 0, completions = 0;
  for (int nth = 1; nth <= total; ++nth) {
    GenerateSite(oldEntries, f.dir.Path(), Defaults());
    const auto oldSite = f.Site();
    f.Evict();
    bool failed = false;
    {
      testing::ScopedFault fault(nth, EIO);
      try {
        GenerateSite(f.entries, f.dir.Path(), Defaults());
      } catch (const CorvaneError&) {
        failed = true;
      }
    }
    const auto site = f.Site();
    if (failed) {
      ++failures;
      // The saved list goes first, on its own; every page is the previous one.
      for (const auto& [name, bytes] : oldSite) {
        if (name != "files.cvn") {
          EXPECT_EQ(site.at(name), bytes) << name << " call " << nth;
        }
      }
    } else {
      ++completions;
      EXPECT_EQ(site, newSite) << "call " << nth;
    }
    ASSERT_EQ(testing::OpenDescriptorCount(), fds) << "call " << nth;
  }
  EXPECT_GT(failures, 0);
  EXPECT_GT(completions, 0);
}

}  // namespace
}  // namespace corvane
