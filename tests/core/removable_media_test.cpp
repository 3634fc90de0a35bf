// Generation, settings and reload on the file systems of camera cards and USB sticks. These
// have no unnamed temporary files and no links, cannot exchange two names, fold letter case
// and (FAT) keep no permission bits. tests/removable/with-volumes makes real FAT32, exFAT and
// NTFS volumes, mounts them and names their folders in CORVANE_VOLUMES; without it there is
// nothing to run on.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>

#include "core/errors.h"
#include "core/saved_list.h"
#include "core/settings.h"
#include "core/site_generator.h"
#include "tests/jpeg_fixture.h"
#include "tests/test_support.h"

namespace corvane {
namespace {

using testing::ReadFile;
using testing::WriteFile;
namespace fs = std::filesystem;

std::vector<std::string> Volumes() {
  std::vector<std::string> out;
  const char* list = std::getenv("CORVANE_VOLUMES");
  std::istringstream in(list ? list : "");
  for (std::string v; in >> v;) out.push_back(v);
  return out;
}

// Every file of the folder by the name the folder lists, with its bytes (a picture's left
// out: it is only read).
std::map<std::string, std::string> Files(const std::string& folder) {
  std::map<std::string, std::string> files;
  for (const auto& e : fs::directory_iterator(folder)) {
    const std::string name = e.path().filename().string();
    if (name != "p.jpg") files[name] = ReadFile(e.path().string());
  }
  return files;
}

int Temporaries(const std::string& folder) {
  int n = 0;
  for (const auto& e : fs::directory_iterator(folder)) {
    n += e.path().filename().string().rfind(".corvane-", 0) == 0;
  }
  return n;
}

Settings Defaults(const std::string& workDir) {
  Settings s;
  SetDefaultSettings(s);
  s.WorkDir = workDir;
  return s;
}

// A folder of its own on the volume, removed afterwards.
struct Scratch {
  explicit Scratch(const std::string& volume, const std::string& name) : path(volume + "/" + name) {
    fs::remove_all(path);
    fs::create_directory(path);
  }
  ~Scratch() { fs::remove_all(path); }
  std::string path;
};

void Fill(const std::string& folder) {
  testing::JpegOptions o;
  o.width = 40;
  o.height = 30;
  WriteFile(folder + "/p.jpg", testing::EncodeJpeg(o));
  WriteFile(folder + "/a.txt", "one\r\ntwo\r\n");
  WriteFile(folder + "/C.TXT", "upper\r\n");
}

const std::vector<std::string> kEntries = {"-----A-----", "a.txt", "p.jpg", "-----B-----", "c.txt"};

TEST(RemovableMedia, SitesSettingsAndReloadWorkAsOnTheSystemDisk) {
  const std::vector<std::string> volumes = Volumes();
  if (volumes.empty()) GTEST_SKIP() << "no volumes: run through tests/removable/with-volumes";
  testing::TempDir reference;
  Fill(reference.Path());
  GenerateSite(kEntries, reference.Path(), Defaults(""));

  for (const std::string& volume : volumes) {
    SCOPED_TRACE(volume);
    Scratch site(volume, "site");
    Fill(site.path);
    // The second run replaces every page of the first.
    GenerateSite({"-----old-----"}, site.path, Defaults(""));
    GenerateSite(kEntries, site.path, Defaults(""));
    for (const auto& [name, bytes] : Files(site.path)) {
      if (name == "a.txt" || name == "C.TXT") continue;
      EXPECT_EQ(bytes, ReadFile(reference / name)) << name;
    }
    // Where letter case folds, the frameset's "MENU.HTM" is the menu's own name.
    EXPECT_EQ(ReadFile(site.path + "/MENU.HTM"), ReadFile(reference / "MENU.htm"));
    EXPECT_EQ(Temporaries(site.path), 0);

    std::vector<std::string> reloaded;
    ReadSavedList(site.path + "/files.cvn", [&](std::string e) { reloaded.push_back(e); });
    EXPECT_EQ(reloaded, kEntries);

    SaveSettings(site.path, Defaults("first"));
    SaveSettings(site.path, Defaults("second"));
    Settings loaded;
    LoadSettings(site.path, loaded);
    EXPECT_EQ(loaded.WorkDir, "second");
    EXPECT_EQ(Temporaries(site.path), 0);
  }
}

TEST(RemovableMedia, AFailedRunKeepsThePreviousSiteAndLeavesNoTemporary) {
  const std::vector<std::string> volumes = Volumes();
  if (volumes.empty()) GTEST_SKIP() << "no volumes: run through tests/removable/with-volumes";
  for (const std::string& volume : volumes) {
    SCOPED_TRACE(volume);
    Scratch site(volume, "failed");
    Fill(site.path);
    // Every rename of putting the pages in place fails in turn (the previous page stepped
    // aside, the new one in its place, the way back) and every write of one.
    for (sys::Call call : {sys::Call::Rename, sys::Call::Write}) {
      GenerateSite({"-----old-----", "a.txt", "-----old 2-----"}, site.path, Defaults(""));
      auto before = Files(site.path);
      before.erase("files.cvn");  // written first: a failed run leaves the new list
      for (int n = 1;; ++n) {
        testing::ScopedFault fault(call, n, EIO);
        try {
          GenerateSite(kEntries, site.path, Defaults(""));
        } catch (const EInOutError&) {
        }
        if (!fault.Fired()) break;
        auto after = Files(site.path);
        after.erase("files.cvn");
        EXPECT_EQ(after, before) << "call " << n;
        EXPECT_EQ(Temporaries(site.path), 0) << "call " << n;
      }
    }
  }
}

}  // namespace
}  // namespace corvane
