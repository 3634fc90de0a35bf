// Two copies of the program working on one folder: while one reads or writes the saved
// list, the other's generation or reload gets the sharing conflict instead of a torn file.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include "core/errors.h"
#include "core/line_file.h"
#include "core/saved_list.h"
#include "core/site_generator.h"
#include "tests/test_support.h"

namespace corvane {
namespace {

using testing::ReadFile;
using testing::S;
using testing::TempDir;

// Another process that opens the file the way the program does and holds it until told
// to let go.
class OtherCopy {
 public:
  enum class Mode { Reading, Writing };

  OtherCopy(const std::string& path, Mode mode) {
    int ready[2], release[2];
    if (::pipe(ready) != 0 || ::pipe(release) != 0) throw std::runtime_error("pipe");
    pid_ = ::fork();
    if (pid_ == 0) {
      ::close(ready[0]);
      ::close(release[1]);
      char ok = '1';
      try {
        LineFile file;
        if (mode == Mode::Reading) {
          file.OpenRead(path);
        } else {
          file.OpenReplace(path);
          file.WriteLine("half written by the other copy");
        }
        (void)!::write(ready[1], &ok, 1);
        char c;
        (void)!::read(release[0], &c, 1);  // until the test lets go
      } catch (...) {
        ok = '0';
        (void)!::write(ready[1], &ok, 1);
      }
      ::_exit(0);
    }
    ::close(ready[1]);
    ::close(release[0]);
    release_ = release[1];
    char c = '0';
    (void)!::read(ready[0], &c, 1);
    ::close(ready[0]);
    if (c != '1') throw std::runtime_error("the other copy could not open the file");
  }
  ~OtherCopy() {
    ::close(release_);  // the child's read returns and it exits without closing anything
    int status;
    ::waitpid(pid_, &status, 0);
  }

 private:
  pid_t pid_ = -1;
  int release_ = -1;
};

int CodeOf(const std::function<void()>& f) {
  try {
    f();
  } catch (const EInOutError& e) {
    EXPECT_EQ(ErrorReportText(e.Message()), S(u8"I/O エラー (32)"));
    return e.Code();
  }
  return 0;
}

TEST(TwoCopies, GenerationWhileTheOtherReadsTheSavedList) {
  TempDir dir;
  const Settings s = testing::Defaults();
  GenerateSite({"-----old-----"}, dir.Path(), s);
  const std::string before = ReadFile(dir / "files.cvn");
  {
    OtherCopy other(dir / "files.cvn", OtherCopy::Mode::Reading);
    EXPECT_EQ(CodeOf([&] { GenerateSite({"-----new-----"}, dir.Path(), s); }), 32);
    EXPECT_EQ(ReadFile(dir / "files.cvn"), before);
    // Reading alongside is allowed.
    std::vector<std::string> lines;
    ReadSavedList(SavedListFileName(dir.Path()), [&](std::string l) { lines.push_back(l); });
    EXPECT_EQ(lines, std::vector<std::string>{"-----old-----"});
  }
  GenerateSite({"-----new-----"}, dir.Path(), s);
  EXPECT_EQ(ReadFile(dir / "files.cvn"), "-----new-----\r\n");
}

TEST(TwoCopies, ReadingOrGeneratingWhileTheOtherWritesTheSavedList) {
  TempDir dir;
  const Settings s = testing::Defaults();
  GenerateSite({"-----old-----"}, dir.Path(), s);
  {
    OtherCopy other(dir / "files.cvn", OtherCopy::Mode::Writing);
    EXPECT_EQ(CodeOf([&] { ReadSavedList(SavedListFileName(dir.Path()), [](std::string) {}); }),
              32);
    EXPECT_EQ(CodeOf([&] { GenerateSite({"-----new-----"}, dir.Path(), s); }), 32);
    EXPECT_EQ(ReadFile(dir / "files.cvn"), "-----old-----\r\n");
  }
  // The other copy ended without finishing: its half-written list never took the place
  // of the saved one.
  EXPECT_EQ(ReadFile(dir / "files.cvn"), "-----old-----\r\n");
}

}  // namespace
}  // namespace corvane
