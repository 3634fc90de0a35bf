#include "core/line_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <filesystem>
#include <functional>
#include <vector>

#include "core/errors.h"
#include "tests/test_support.h"

namespace corvane {
namespace {

using testing::S;
using testing::TempDir;

std::vector<std::string> ReadAllLines(const std::string& path) {
  LineFile file;
  file.OpenRead(path);
  std::vector<std::string> lines;
  while (!file.AtEnd()) lines.push_back(file.ReadLine());
  file.Close();
  return lines;
}

int CodeOf(const std::function<void()>& f) {
  try {
    f();
  } catch (const EInOutError& e) {
    return e.Code();
  }
  return 0;
}

struct LineCase {
  const char* name;
  std::string bytes;
  std::vector<std::string> lines;
};

TEST(LineFileRead, LineEndRules) {
  const std::vector<LineCase> cases = {
      {"crlf", "a\r\nb\r\n", {"a", "b"}},
      {"lone cr", "a\rb\r", {"a", "b"}},
      {"mixed", "a\rb\r\nc", {"a", "b", "c"}},
      {"lone lf", "a\nb\nc\n", {"a", "b", "c"}},
      {"lf cr is two line ends", "a\n\rb\r\n\nc", {"a", "", "b", "", "c"}},
      {"last line without end", "a\r\nlast", {"a", "last"}},
      {"crlf crlf gives one empty last line", "a\r\n\r\n", {"a", ""}},
      {"empty file", "", {}},
      {"0x1A ends the text",
       std::string("a\r\nb\x1A"
                   "c\r\nd\r\n"),
       {"a", "b"}},
      {"0x1A at the start",
       std::string("\x1A"
                   "abc"),
       {}},
      {"cr then lf after 0x1A", std::string("a\r\x1A\n"), {"a"}},
      {"double-byte text passes", S(u8"表示\r\nソ\r\n"), {S(u8"表示"), S(u8"ソ")}},
  };
  TempDir dir;
  for (const auto& c : cases) {
    testing::WriteFile(dir / "f.txt", c.bytes);
    EXPECT_EQ(ReadAllLines(dir / "f.txt"), c.lines) << c.name;
  }
}

TEST(LineFileRead, LinesCrossingTheBufferAndLongLines) {
  TempDir dir;
  // CR as the last byte of the first 128-byte block and LF as the first of the next.
  std::string first(127, 'x');
  std::string longLine(10000, 'y');
  testing::WriteFile(dir / "f.txt", first + "\r\n" + longLine + "\r\nz");
  EXPECT_EQ(ReadAllLines(dir / "f.txt"), (std::vector<std::string>{first, longLine, "z"}));
}

TEST(LineFileRead, ReadingPastTheEndGivesEmptyLines) {
  TempDir dir;
  testing::WriteFile(dir / "f.txt", "a\r\nb");
  LineFile file;
  file.OpenRead(dir / "f.txt");
  EXPECT_EQ(file.ReadLine(), "a");
  EXPECT_EQ(file.ReadLine(), "b");
  EXPECT_TRUE(file.AtEnd());
  EXPECT_EQ(file.ReadLine(), "");
  EXPECT_EQ(file.ReadLine(), "");
  EXPECT_TRUE(file.AtEnd());
}

TEST(LineFileWrite, EveryLineEndsInCrLfAndReplacesTheOldContent) {
  TempDir dir;
  testing::WriteFile(dir / "f.txt", std::string(1000, 'o'));
  LineFile file;
  file.OpenReplace(dir / "f.txt");
  std::string line200(200, 'q');
  file.WriteLine("a");
  file.WriteLine("");
  file.WriteLine(line200);
  file.Close();
  EXPECT_EQ(testing::ReadFile(dir / "f.txt"), "a\r\n\r\n" + line200 + "\r\n");

  LineFile empty;
  empty.OpenReplace(dir / "f.txt");
  empty.Close();
  EXPECT_EQ(testing::ReadFile(dir / "f.txt"), "");
}

TEST(LineFileWrite, NothingReachesTheNameBeforeClose) {
  TempDir dir;
  testing::WriteFile(dir / "f.txt", "old\r\n");
  LineFile file;
  file.OpenReplace(dir / "f.txt");
  // More than one buffer's worth, so some of it has been written somewhere already.
  const std::string line(3 * LineFile::kBufferSize, 'a');
  file.WriteLine(line);
  EXPECT_EQ(testing::ReadFile(dir / "f.txt"), "old\r\n");
  file.Close();
  EXPECT_EQ(testing::ReadFile(dir / "f.txt"), line + "\r\n");
}

TEST(LineFileErrors, OpenFailuresCarryTheProgramsCodesAndMessages) {
  TempDir dir;
  const int fds = testing::OpenDescriptorCount();
  LineFile f;
  EXPECT_EQ(CodeOf([&] { f.OpenRead(dir / "missing.txt"); }), 2);
  EXPECT_EQ(CodeOf([&] { f.OpenRead(dir / "no/such/folder.txt"); }), 3);
  EXPECT_EQ(CodeOf([&] { f.OpenReplace(dir / "no/folder.txt"); }), 3);
  ::mkdir((dir / "x.txt").c_str(), 0777);
  EXPECT_EQ(CodeOf([&] { f.OpenRead(dir / "x.txt"); }), 5);
  EXPECT_EQ(CodeOf([&] { f.OpenReplace(dir / "x.txt"); }), 5);
  // No write permission bits: refused even for root, who could otherwise write it.
  testing::WriteFile(dir / "ro.txt", "keep\r\n");
  ::chmod((dir / "ro.txt").c_str(), 0444);
  EXPECT_EQ(CodeOf([&] { f.OpenReplace(dir / "ro.txt"); }), 5);
  EXPECT_EQ(testing::ReadFile(dir / "ro.txt"), "keep\r\n");
  EXPECT_EQ(testing::OpenDescriptorCount(), fds);

  try {
    f.OpenRead(dir / "missing.txt");
    FAIL();
  } catch (const EInOutError& e) {
    EXPECT_EQ(ErrorReportText(e.Message()), S(u8"ファイルが見つかりません."));
  }
  try {
    f.OpenRead(dir / "a/b.txt");
    FAIL();
  } catch (const EInOutError& e) {
    EXPECT_EQ(ErrorReportText(e.Message()), S(u8"不正なファイル名です."));
  }
}

TEST(LineFileErrors, SharingRulesHoldWithinOneProgram) {
  TempDir dir;
  testing::WriteFile(dir / "f.txt", "a\r\n");
  {
    LineFile reader, secondReader, writer;
    reader.OpenRead(dir / "f.txt");
    EXPECT_NO_THROW(secondReader.OpenRead(dir / "f.txt"));
    EXPECT_EQ(CodeOf([&] { writer.OpenReplace(dir / "f.txt"); }), 32);
    EXPECT_EQ(CodeOf([&] { writer.OpenReplace(dir / "f.txt"); }), 32);
    EXPECT_EQ(testing::ReadFile(dir / "f.txt"), "a\r\n");
  }
  {
    LineFile writer, other;
    writer.OpenReplace(dir / "f.txt");
    EXPECT_EQ(CodeOf([&] { other.OpenRead(dir / "f.txt"); }), 32);
    try {
      other.OpenReplace(dir / "f.txt");
      FAIL();
    } catch (const EInOutError& e) {
      EXPECT_EQ(ErrorReportText(e.Message()), S(u8"I/O エラー (32)"));
    }
  }
  // Once the holders are gone (closed by their destructors), the file opens again.
  LineFile writer;
  EXPECT_NO_THROW(writer.OpenReplace(dir / "f.txt"));
}

TEST(LineFileErrors, AnErrnoOutsideTheTableKeepsItsOwnNumber) {
  TempDir dir;
  testing::WriteFile(dir / "f.txt", "abc");
  testing::ScopedFault fault(sys::Call::Read, 1, EIO);
  LineFile file;
  file.OpenRead(dir / "f.txt");
  try {
    file.ReadLine();
    FAIL();
  } catch (const EInOutError& e) {
    EXPECT_EQ(e.Code(), EIO);
    EXPECT_EQ(e.Message(), S(u8"I/O エラー (5)"));  // not the message of code 5
  }
}

TEST(LineFileReplace, TheOldFileStaysWholeUntilTheNewOneIsComplete) {
  TempDir dir;
  const std::string old = "old 1\r\nold 2\r\n";
  testing::WriteFile(dir / "list.cvn", old);
  ::chmod((dir / "list.cvn").c_str(), 0640);
  const int fds = testing::OpenDescriptorCount();

  for (sys::Call call : {sys::Call::Write, sys::Call::Fsync, sys::Call::Link, sys::Call::Rename}) {
    for (int err : {EIO, ENOSPC}) {
      {
        testing::ScopedFault fault(call, 1, err);
        EXPECT_THROW(
            {
              LineFile file;
              file.OpenReplace(dir / "list.cvn");
              for (int i = 0; i < 20; ++i) file.WriteLine(std::string(50, 'n'));
              file.Close();
            },
            EInOutError);
      }
      EXPECT_EQ(testing::ReadFile(dir / "list.cvn"), old);
      EXPECT_EQ(testing::OpenDescriptorCount(), fds);
    }
  }
  // An error that ends the writer before Close leaves the old file too.
  {
    LineFile file;
    file.OpenReplace(dir / "list.cvn");
    file.WriteLine("half");
  }
  EXPECT_EQ(testing::ReadFile(dir / "list.cvn"), old);

  // The new file keeps the old one's permissions, whatever the process's umask makes of
  // a new file.
  const mode_t oldMask = ::umask(022);
  for (mode_t mode : {0640u, 0666u, 0604u}) {
    ::chmod((dir / "list.cvn").c_str(), mode);
    LineFile file;
    file.OpenReplace(dir / "list.cvn");
    file.WriteLine("new");
    file.Close();
    EXPECT_EQ(testing::ReadFile(dir / "list.cvn"), "new\r\n");
    struct stat st;
    ::stat((dir / "list.cvn").c_str(), &st);
    EXPECT_EQ(st.st_mode & 07777, mode);
  }
  ::umask(oldMask);
  // Only the file itself is left in the folder: no temporary file.
  int entries = 0;
  for (auto& e : std::filesystem::directory_iterator(dir.Path())) {
    (void)e;
    ++entries;
  }
  EXPECT_EQ(entries, 1);
}

}  // namespace
}  // namespace corvane
