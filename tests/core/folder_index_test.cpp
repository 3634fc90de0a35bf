// Names on a real folder: the two Unicode spellings of some CP932 characters, letter case
// (Latin, full-width, Greek, Cyrillic, never a trail byte), entries that are not bare
// names, and how often a folder is read.

#include "core/folder_index.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "core/byte_text.h"
#include "core/code_page.h"
#include "core/errors.h"
#include "core/file_system.h"
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

// The spelling Linux input methods type (UTF-8), which the CP932 conversion does not give
// back: 〜 − ‖ ¢ £ ¬ —.
const char* const kTypedSpellings[] = {"\xE3\x80\x9C", "\xE2\x88\x92", "\xE2\x80\x96", "\xC2\xA2",
                                       "\xC2\xA3",     "\xC2\xAC",     "\xE2\x80\x94"};

std::string Jpeg(int w, int h) {
  return testing::EncodeJpeg({.width = w, .height = h});
}

TEST(FolderIndex, EitherSpellingIsFoundForFilesAndFolders) {
  for (const char* typed : kTypedSpellings) {
    SCOPED_TRACE(typed);
    TempDir dir;
    const std::string folderName = std::string("wave") + typed + "dir";
    const std::string fileName = std::string("a") + typed + "b.txt";
    std::filesystem::create_directory(dir / folderName);
    WriteFile(dir / (folderName + "/" + fileName), "x");
    // The program holds the CP932 bytes; their plain conversion names nothing on disk.
    const std::string cp932 = Utf8ToCp932(dir / (folderName + "/" + fileName));
    ASSERT_NE(Cp932ToUtf8(cp932), dir / (folderName + "/" + fileName));
    FolderIndex names;
    EXPECT_EQ(names.Find(cp932), dir / (folderName + "/" + fileName));
    EXPECT_EQ(names.Find(Utf8ToCp932(dir / folderName) + "/"), dir / folderName + "/");
    // With both spellings on disk, the plain conversion is the one used.
    const std::string plainName = Cp932ToUtf8(Utf8ToCp932(fileName));
    WriteFile(dir / (folderName + "/" + plainName), "plain");
    EXPECT_EQ(FolderIndex().Find(cp932), dir / (folderName + "/" + plainName));
  }
}

TEST(FolderIndex, SiteInAFolderOfTheOtherSpelling) {
  TempDir dir;
  const std::string folder = dir /
                             "wave\xE3\x80\x9C"
                             "dir";
  std::filesystem::create_directory(folder);
  WriteFile(folder + "/\xE6\x97\x85\xE8\xA1\x8C\xE3\x80\x9C.txt", "line\r\n");  // 旅行〜.txt
  WriteFile(folder + "/\xE6\xB3\xA2\xE3\x80\x9C.jpg", Jpeg(800, 600));          // 波〜.jpg
  const std::string text = S(u8"旅行～.txt"), image = S(u8"波～.jpg");
  GenerateSite({"-----A-----", text, image}, Utf8ToCp932(folder) + "/", Defaults());
  EXPECT_EQ(ReadFile(folder + "/files.cvn"), testing::CrLfLines({"-----A-----", text, image}));
  // The entry's CP932 bytes read back as U+FF5E, which names no file here: the page gives
  // the name on disk, with U+301C.
  const std::string page = ReadFile(folder + "/1.htm");
  EXPECT_NE(page.find("line<BR>\r\n<IMG SRC=\"\xE6\xB3\xA2\xE3\x80\x9C.jpg\" WIDTH=\"600\" "
                      "HEIGHT=\"450\">"),
            std::string::npos);
  // Under the spelling the conversion gives back, the page names it with that one.
  std::filesystem::rename(folder + "/\xE6\xB3\xA2\xE3\x80\x9C.jpg",
                          folder + "/" + Cp932ToUtf8(image));
  GenerateSite({"-----A-----", image}, Utf8ToCp932(folder), Defaults());
  EXPECT_NE(ReadFile(folder + "/1.htm").find("<IMG SRC=\"" + Cp932ToUtf8(image) + "\""),
            std::string::npos);
  // What a URL cannot hold as it is, and bytes that are not UTF-8, are percent-encoded.
  FolderIndex::Entry odd{"", "", "a b%#?\"&\\\x01\x7F\xFF\xE3\x80\xE3\x80\x9C.jpg"};
  EXPECT_EQ(NameForPages(odd), "a%20b%25%23%3F%22%26%5C%01%7F%FF%E3%80\xE3\x80\x9C.jpg");
  // Nothing was written under the plain conversion of the folder's name.
  EXPECT_FALSE(testing::Exists(Cp932ToUtf8(Utf8ToCp932(folder))));
}

TEST(FolderIndex, PagesNameImagesAsOnDiskAndTheSavedListKeepsTheEntry) {
  TempDir dir;
  WriteFile(dir / "photo.jpg", Jpeg(600, 800));
  WriteFile(dir / "\xCE\xB1\xCE\xB2.txt", "greek\r\n");     // αβ.txt
  WriteFile(dir / "\xD1\x8F\xD1\x91.txt", "cyrillic\r\n");  // яё.txt
  WriteFile(dir / "\xEF\xBD\x81.txt", "fullwidth\r\n");     // ａ.txt
  const std::vector<std::string> entries = {"-----A-----", "PHOTO.JPG", S(u8"ΑΒ.TXT"),
                                            S(u8"ЯЁ.txt"), S(u8"Ａ.TXT")};
  GenerateSite(entries, dir.Path(), Defaults());
  EXPECT_EQ(
      ReadFile(dir / "1.htm").substr(ReadFile(dir / "1.htm").find("<IMG")),
      testing::CrLfLines({"<IMG SRC=\"photo.jpg\" WIDTH=\"450\" HEIGHT=\"600\"><BR>", "greek<BR>",
                          "cyrillic<BR>", "fullwidth<BR>", "</body>", "</html>"}));
  EXPECT_EQ(ReadFile(dir / "files.cvn"),
            testing::CrLfLines(
                {"-----A-----", "PHOTO.JPG", S(u8"ΑΒ.TXT"), S(u8"ЯЁ.txt"), S(u8"Ａ.TXT")}));
}

TEST(FolderIndex, ExactNameFirstThenFirstInByteOrderAndNeverATrailByte) {
  TempDir dir;
  for (const char* n : {"b.TXT", "B.txt", "a.txt", "A.TXT"}) WriteFile(dir / n, n);
  WriteFile(dir / "\xE3\x83\x82.txt", "");  // ヂ.txt: 83 61, a trail byte like 'a'
  FolderIndex names;
  EXPECT_EQ(names.FindIn(dir.Path(), "A.TXT")->name, "A.TXT");
  EXPECT_EQ(names.FindIn(dir.Path(), "b.txt")->name, "B.txt");  // "B.txt" < "b.TXT"
  // ア is 83 41: folding its trail byte as a letter would find ヂ.
  auto a = names.FindIn(dir.Path(), S(u8"ア.txt"));
  EXPECT_EQ(a->name, S(u8"ア.txt"));
  EXPECT_FALSE(testing::Exists(a->fsPath));
}

TEST(FolderIndex, FoldingCoversEveryCasedLetterOfCp932AndNothingElse) {
  // Every double-byte code: its fold must be the CP932 form of the small letter for the
  // capitals of full-width Latin, Greek and Cyrillic, and the code itself for all others.
  auto decode = [](const std::string& u) {
    const auto* b = reinterpret_cast<const unsigned char*>(u.data());
    if (u.size() == 2) return char32_t((b[0] & 0x1F) << 6 | (b[1] & 0x3F));
    return char32_t((b[0] & 0x0F) << 12 | (b[1] & 0x3F) << 6 | (b[2] & 0x3F));
  };
  auto encode = [](char32_t c) {
    std::string u;
    if (c < 0x800) {
      u += static_cast<char>(0xC0 | c >> 6);
    } else {
      u += static_cast<char>(0xE0 | c >> 12);
      u += static_cast<char>(0x80 | (c >> 6 & 0x3F));
    }
    u += static_cast<char>(0x80 | (c & 0x3F));
    return u;
  };
  int folded = 0;
  for (int lead = 0x81; lead <= 0xFC; ++lead) {
    if (!IsLeadByte(static_cast<unsigned char>(lead))) continue;
    for (int trail = 0x40; trail <= 0xFC; ++trail) {
      if (trail == 0x7F) continue;
      const std::string code{static_cast<char>(lead), static_cast<char>(trail)};
      std::string utf8;
      try {
        utf8 = Cp932ToUtf8Strict(code);
      } catch (const EEncodingError&) {
        continue;
      }
      if (utf8.size() < 2 || utf8.size() > 3) continue;
      const char32_t c = decode(utf8);
      char32_t lower = c;
      if ((c >= 0xFF21 && c <= 0xFF3A) || (c >= 0x0391 && c <= 0x03A9) ||
          (c >= 0x0410 && c <= 0x042F)) {
        lower = c + 0x20;
      } else if (c == 0x0401) {
        lower = 0x0451;  // Ё
      }
      const std::string expected = lower == c ? code : Utf8ToCp932(encode(lower));
      folded += lower != c;
      ASSERT_EQ(FoldCase(code), expected) << std::hex << lead << " " << trail;
      // As the trail of a longer name, too.
      ASSERT_EQ(FoldCase("A" + code), "a" + expected);
    }
  }
  EXPECT_EQ(folded, 26 + 24 + 33);
  EXPECT_EQ(FoldCase("AZaz@[`{"), "azaz@[`{");
}

TEST(FolderIndex, EntriesThatAreNotBareNamesAreNeverOpened) {
  TempDir dir;
  std::filesystem::create_directory(dir / "site");
  std::filesystem::create_directory(dir / "outside");
  WriteFile(dir / "outside/secret.txt", "SECRET\r\n");
  WriteFile(dir / "outside/secret.jpg", Jpeg(8, 8));
  WriteFile(dir / "site/notes", "SECRET\r\n");  // what "notes\0.txt" would reach
  const std::string site = dir / "site";
  const std::string nul("notes\0.txt", 10);
  for (const std::string& entry :
       {std::string("../outside/secret.txt"), dir / "outside/secret.txt", nul}) {
    SCOPED_TRACE(entry);
    try {
      GenerateSite({"-----A-----", entry}, site, Defaults());
      ADD_FAILURE() << "generated";
    } catch (const EInOutError& e) {
      EXPECT_EQ(e.Code(), 123);
    }
    for (const auto& file : std::filesystem::directory_iterator(site)) {
      if (file.path().filename() != "notes") {
        EXPECT_EQ(ReadFile(file.path()).find("SECRET"), std::string::npos) << file.path();
      }
    }
  }
  EXPECT_THROW(GenerateSite({"-----A-----", "../outside/secret.jpg"}, site, Defaults()),
               EFOpenError);
  // Headings are not names: they may hold anything.
  GenerateSite({"-----a/b\\c-----", "-----" + nul + "-----"}, site, Defaults());
  EXPECT_NE(ReadFile(site + "/MENU.htm").find(">a/b\\c</A>"), std::string::npos);
}

TEST(FolderIndex, AFolderIsReadOnceAndOnlyWhenANameIsMissing) {
  TempDir dir;
  std::vector<std::string> exact = {"-----A-----"}, otherCase = {"-----A-----"};
  for (int i = 0; i < 40; ++i) {
    const std::string n = std::string("p").append(std::to_string(i));
    WriteFile(dir / (n + ".jpg"), Jpeg(8, 6));
    WriteFile(dir / (n + ".txt"), n + "\r\n");
    exact.insert(exact.end(), {n + ".jpg", n + ".txt"});
    otherCase.insert(otherCase.end(),
                     {std::string("P").append(std::to_string(i)).append(".JPG"), n + ".TXT"});
  }
  // Saving the list lists the folder once for stale temporaries whatever the entries are:
  // the reads of a run with no file entry are that listing alone.
  int oneListing = 0;
  {
    testing::ScopedFault count(sys::Call::ReadDirectory, -1, 0);
    GenerateSite({"-----A-----"}, dir.Path(), Defaults());
    oneListing = count.Calls();
  }
  ASSERT_GT(oneListing, 0);
  {
    testing::ScopedFault count(sys::Call::ReadDirectory, -1, 0);
    GenerateSite(exact, dir.Path(), Defaults());
    EXPECT_EQ(count.Calls(), oneListing);
  }
  const std::string exactPage = ReadFile(dir / "1.htm");
  {
    testing::ScopedFault count(sys::Call::ReadDirectory, -1, 0);
    GenerateSite(otherCase, dir.Path(), Defaults());
    EXPECT_EQ(count.Calls(), 2 * oneListing);
  }
  EXPECT_EQ(ReadFile(dir / "1.htm"), exactPage);
}

}  // namespace
}  // namespace corvane
