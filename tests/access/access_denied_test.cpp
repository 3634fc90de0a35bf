// Files and folders the user may not read or write. These run without the power to
// override permissions (CTest starts them through tests/access/run-unprivileged, which
// drops it when run as root), so the denials are real, never simulated.

#include <sys/stat.h>

#include <fcntl.h>
#include <unistd.h>

#include "tests/form/form_fixture.h"
#include "tests/jpeg_fixture.h"
#include "widgets/radio_group.h"
#include "widgets/shape.h"

namespace corvane::testing {
namespace {

class AccessDeniedTest : public FormTest {
 protected:
  ~AccessDeniedTest() override {
    // Give everything back so the scratch folder can be removed.
    for (const auto& e : std::filesystem::recursive_directory_iterator(dir.Path())) {
      ::chmod(e.path().c_str(), 0777);
    }
    ::chmod(dir.Path().c_str(), 0777);
  }
  const std::string kDenied = S(u8"ファイルへのアクセスが拒否されました.");
};

TEST_F(AccessDeniedTest, PermissionBitsAreEnforcedForThisProcess) {
  WriteFile(dir / "secret", "x");
  ::chmod((dir / "secret").c_str(), 0);
  int fd = ::open((dir / "secret").c_str(), O_RDONLY);
  if (fd >= 0) ::close(fd);
  ASSERT_LT(fd, 0) << "this process can override permissions: the tests below would prove "
                      "nothing (run them through tests/access/run-unprivileged)";
}

TEST_F(AccessDeniedTest, AnUnreadableSettingsFileKeepsTheDefaults) {
  WriteFile(dir / "corvane.INI", CrLfLines({"navy", "b", "c", "d", "e", "f", "g", "h", "i", "j",
                                            "L", "300", "700", "/w"}));
  ::chmod((dir / "corvane.INI").c_str(), 0);
  Start();
  ASSERT_EQ(services.errors, std::vector<std::string>{kDenied});
  EXPECT_EQ(state.Settings.HtmlColors[0], "white");
  EXPECT_EQ(state.Settings.MenuWidth, "200");
  EXPECT_EQ(form->Combobox1->currentIndex(), -1);
  EXPECT_EQ(form->RadioGroup1->ItemIndex(), -1);
  EXPECT_TRUE(form->Edit1->text().isEmpty());
}

TEST_F(AccessDeniedTest, ASaveIntoAReadOnlyFolderLeavesTheOldFile) {
  Start();
  const std::string old = ReadFile(dir / "corvane.INI");
  Type(form->Edit2, "444");
  ::chmod(dir.Path().c_str(), 0555);
  form->Guarded([&] { form->Button5Click(); });
  ASSERT_EQ(services.errors, std::vector<std::string>{kDenied});
  EXPECT_EQ(ReadFile(dir / "corvane.INI"), old);
  ::chmod(dir.Path().c_str(), 0755);
  form->Button5Click();
  EXPECT_NE(ReadFile(dir / "corvane.INI").find("\r\n444\r\n"), std::string::npos);
}

TEST_F(AccessDeniedTest, GenerationReportsWhatItCannotReadOrWrite) {
  Start();
  std::filesystem::create_directory(dir / "site");
  const std::string site = dir / "site";
  WriteFile(site + "/a.jpg", EncodeJpeg(JpegOptions{}));
  WriteFile(site + "/b.txt", "text\r\n");
  services.filesDialogAnswers.push_back(std::vector<std::string>{site + "/a.jpg", site + "/b.txt"});
  form->Button1Click();
  form->ListBox2->SetEntries({"-----A-----", "a.jpg", "b.txt"});

  ::chmod((site + "/a.jpg").c_str(), 0);
  form->Guarded([&] { form->Button3Click(); });
  ::chmod((site + "/a.jpg").c_str(), 0644);
  ::chmod((site + "/b.txt").c_str(), 0);
  form->Guarded([&] { form->Button3Click(); });
  ::chmod((site + "/b.txt").c_str(), 0644);
  const std::string saved = ReadFile(site + "/files.cvn");
  ::chmod(site.c_str(), 0555);
  form->ListBox2->Insert(-1, "extra.txt");
  form->Guarded([&] { form->Button3Click(); });
  EXPECT_EQ(services.errors,
            (std::vector<std::string>{S(u8"ファイル a.jpg は開けません."), kDenied, kDenied}));
  EXPECT_TRUE(services.infos.empty());
  EXPECT_EQ(ReadFile(site + "/files.cvn"), saved);

  // The saved list cannot be read back either once it is unreadable.
  ::chmod(site.c_str(), 0755);
  ::chmod((site + "/files.cvn").c_str(), 0);
  form->ListBox2->Clear();
  form->Guarded([&] { form->Button11Click(); });
  EXPECT_EQ(services.errors.back(), kDenied);
  EXPECT_EQ(form->ListBox2->Count(), 0);
}

}  // namespace
}  // namespace corvane::testing
