#include "core/settings.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <filesystem>

#include "core/errors.h"
#include "tests/test_support.h"

namespace corvane {
namespace {

using testing::CrLfLines;
using testing::ReadFile;
using testing::TempDir;
using testing::WriteFile;

Settings Defaults(const std::string& workDir) {
  Settings s;
  SetDefaultSettings(s);
  s.WorkDir = workDir;
  return s;
}

TEST(SettingsFile, DefaultsAreFourteenCrLfLines) {
  TempDir dir;
  SaveSettings(dir.Path(), Defaults("/home/user/site"));
  EXPECT_EQ(ReadFile(dir / "corvane.INI"),
            CrLfLines({"white", "black", "green", "green", "green", "white", "black", "green",
                       "green", "green", "R", "200", "600", "/home/user/site"}));
  // The folder text may already end in '/'.
  SaveSettings(dir.Path() + "/", Defaults("x"));
  EXPECT_TRUE(testing::Exists(dir / "corvane.INI"));
}

TEST(SettingsFile, LinesAreTakenByPosition) {
  struct Case {
    const char* name;
    std::string bytes;
    std::array<std::string, 14> expected;
  };
  const std::string x1A(1, '\x1A');
  const std::vector<Case> cases = {
      {"thirteen lines: the working directory is empty",
       CrLfLines({"a", "b", "c", "d", "e", "f", "g", "h", "i", "j", "r", "300", "700"}),
       {"a", "b", "c", "d", "e", "f", "g", "h", "i", "j", "r", "300", "700", ""}},
      {"ten lines",
       CrLfLines({"a", "b", "c", "d", "e", "f", "g", "h", "i", "j"}),
       {"a", "b", "c", "d", "e", "f", "g", "h", "i", "j", "", "", "", ""}},
      {"LF only reads like CR LF",
       "navy\nred\nL\n",
       {"navy", "red", "L", "", "", "", "", "", "", "", "", "", "", ""}},
      {"CR only reads like CR LF",
       "a\rb\rc\rd\re\rf\rg\rh\ri\rj\rL\r 250\r0600\r/w\r",
       {"a", "b", "c", "d", "e", "f", "g", "h", "i", "j", "L", " 250", "0600", "/w"}},
      {"0x1A inside line 5 ends the text",
       "a\r\nb\r\nc\r\nd\r\nye" + x1A + "llow\r\nf\r\n",
       {"a", "b", "c", "d", "ye", "", "", "", "", "", "", "", "", ""}},
      {"lines after the fourteenth are ignored",
       CrLfLines({"a", "b", "c", "d", "e", "f", "g", "h", "i", "j", "R", "1", "2", "/w", "extra"}),
       {"a", "b", "c", "d", "e", "f", "g", "h", "i", "j", "R", "1", "2", "/w"}},
  };
  for (const auto& c : cases) {
    TempDir dir;
    WriteFile(dir / "corvane.INI", c.bytes);
    Settings s = Defaults("/start");
    LoadSettings(dir.Path(), s);
    std::array<std::string, 14> got;
    for (int i = 0; i < 10; ++i) got[i] = s.HtmlColors[i];
    got[10] = s.MenuPosition;
    got[11] = s.MenuWidth;
    got[12] = s.ImageLongSide;
    got[13] = s.WorkDir;
    EXPECT_EQ(got, c.expected) << c.name;
  }
}

TEST(SettingsFile, SaveWritesBackExactlyWhatWasRead) {
  TempDir dir;
  const std::string file = CrLfLines({"Red", "black", "green", "green", "green", "white", "black",
                                      "green", "green", "green", "L", " 250", "$1F", "/w"});
  WriteFile(dir / "corvane.INI", file + "line 15\r\n");
  Settings s;
  LoadSettings(dir.Path(), s);
  SaveSettings(dir.Path(), s);
  EXPECT_EQ(ReadFile(dir / "corvane.INI"), file);
  SaveSettings(dir.Path(), s);
  EXPECT_EQ(ReadFile(dir / "corvane.INI"), file);
}

TEST(SettingsFile, AFailedSaveLeavesThePreviousFileWhole) {
  TempDir dir;
  const std::string old = CrLfLines({"old"});
  WriteFile(dir / "corvane.INI", old);
  Settings s = Defaults("/somewhere");
  const std::string wanted = [&] {
    TempDir other;
    SaveSettings(other.Path(), s);
    return ReadFile(other / "corvane.INI");
  }();
  for (int err : {EIO, ENOSPC, EACCES}) {
    for (int nth = 1;; ++nth) {
      bool fired, failed = false;
      WriteFile(dir / "corvane.INI", old);
      {
        testing::ScopedFault fault(nth, err);
        try {
          SaveSettings(dir.Path(), s);
        } catch (const EInOutError&) {
          failed = true;
        }
        fired = fault.Fired();
      }
      if (!fired) break;  // every call of the save has been failed once
      // A call the save can do without (clearing up old temporaries, syncing the folder)
      // may fail without failing the save; then the new file is there, whole.
      EXPECT_EQ(ReadFile(dir / "corvane.INI"), failed ? old : wanted)
          << "call " << nth << " errno " << err;
      EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()),
                              std::filesystem::directory_iterator()),
                1)
          << "temporary file left by call " << nth;
    }
  }
  SaveSettings(dir.Path(), s);
  EXPECT_NE(ReadFile(dir / "corvane.INI"), old);
}

TEST(SettingsFile, FailuresAreReportedWithTheirCodes) {
  TempDir dir;
  Settings s = Defaults("/w");
  ::mkdir((dir / "corvane.INI").c_str(), 0777);
  try {
    SaveSettings(dir.Path(), s);
    FAIL();
  } catch (const EInOutError& e) {
    EXPECT_EQ(e.Code(), 5);
  }
  ::rmdir((dir / "corvane.INI").c_str());

  WriteFile(dir / "corvane.INI", "keep\r\n");
  ::chmod((dir / "corvane.INI").c_str(), 0444);
  try {
    SaveSettings(dir.Path(), s);
    FAIL();
  } catch (const EInOutError& e) {
    EXPECT_EQ(e.Code(), 5);
    EXPECT_EQ(e.Message(), testing::S(u8"ファイルへのアクセスが拒否されました"));
  }
  EXPECT_EQ(ReadFile(dir / "corvane.INI"), "keep\r\n");
}

}  // namespace
}  // namespace corvane
