#include "core/site_generator.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <filesystem>

#include "core/errors.h"
#include "core/file_system.h"
#include "core/line_file.h"
#include "tests/jpeg_fixture.h"
#include "tests/test_support.h"

namespace corvane {
namespace {

using testing::CrLfLines;
using testing::Defaults;
using testing::ReadFile;
using testing::S;
using testing::TempDir;
using testing::U;
using testing::WriteFile;

const std::string kHead = CrLfLines(
    {"<html>", "<head>", "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=UTF-8\">",
     "<META NAME=\"GENERATOR\" CONTENT=\"Corvane ver 1.2\">", "</head>"});
const std::string kClosing = CrLfLines({"</body>", "</html>"});
const std::string kFixedBody =
    "<body text=\"#FFFFFF\" bgcolor=\"#000000\" link=\"#FFFF00\" vlink=\"#C0C0C0\" "
    "alink=\"#C0FFC0\">";
const std::string kDefaultBody =
    "<body text=\"white\" bgcolor=\"black\" link=\"green\" vlink=\"green\" alink=\"green\">";

std::string Page(const std::string& body, const std::string& lines = "") {
  return kHead + body + "\r\n" + lines + kClosing;
}

std::string Link(int n, const std::string& title) {
  return "<A HREF=\"" + std::to_string(n) + ".htm\"TARGET=\"DATA\">" + title + "</A><BR>\r\n";
}

void WriteJpeg(const std::string& path, int w, int h) {
  testing::JpegOptions o;
  o.width = w;
  o.height = h;
  WriteFile(path, testing::EncodeJpeg(o));
}

TEST(SiteGenerator, OneHeadingSite) {
  TempDir dir;
  GenerateSite({"-----A-----"}, dir.Path() + "/", Defaults());
  EXPECT_EQ(ReadFile(dir / "files.cvn"), "-----A-----\r\n");
  EXPECT_EQ(ReadFile(dir / "CASE.HTM"),
            kHead +
                CrLfLines({"<FRAMESET COLS=\"*,200\">", "<FRAME SRC=\"BLANK.HTM\" NAME=\"DATA\">",
                           "<FRAME SRC=\"MENU.HTM\" NAME=\"MENU\">", "</FRAMESET>", kFixedBody,
                           "&nbsp;"}) +
                kClosing);
  EXPECT_EQ(ReadFile(dir / "BLANK.HTM"), kHead + CrLfLines({kFixedBody, "&nbsp;"}) + kClosing);
  EXPECT_EQ(ReadFile(dir / "MENU.htm"), Page(kDefaultBody, Link(1, "A")));
  EXPECT_EQ(ReadFile(dir / "1.htm"), Page(kDefaultBody));
  // The frameset names the menu "MENU.HTM": on this file system that must be the same file.
  struct stat a, b;
  ASSERT_EQ(::stat((dir / "MENU.HTM").c_str(), &a), 0);
  ASSERT_EQ(::stat((dir / "MENU.htm").c_str(), &b), 0);
  EXPECT_EQ(a.st_ino, b.st_ino);
}

TEST(SiteGenerator, EntriesAreClassifiedByTheirBytes) {
  TempDir dir;
  for (const char* name : {"A.JPG", "b.Jpg", "photojpg"}) WriteJpeg(dir / name, 800, 600);
  WriteFile(dir / "c.TXT", "a<b\r\n\r\n<BR>\r\n");
  WriteFile(dir / "empty.txt", "");
  const std::vector<std::string> entries = {
      "-----" + S(u8"旅行") + "-----",
      "A.JPG",
      "b.Jpg",
      "c.TXT",
      "photojpg",
      "d.jpeg",
      "e.htm",
      "f.tx",
      "jp",
      S(u8"今回非選択（a.txt）"),
      "empty.txt",
      "-----",
      "----------",
      "-----x.txt",
      "-----B-----",
  };
  GenerateSite(entries, dir.Path() + "/", Defaults());

  std::string saved;
  for (const auto& e : entries) saved += e + "\r\n";
  EXPECT_EQ(ReadFile(dir / "files.cvn"), saved);
  EXPECT_EQ(ReadFile(dir / "MENU.htm"),
            Page(kDefaultBody,
                 Link(1, U(u8"旅行")) + Link(2, "") + Link(3, "") + Link(4, "") + Link(5, "B")));
  EXPECT_EQ(
      ReadFile(dir / "1.htm"),
      Page(kDefaultBody,
           CrLfLines({"<IMG SRC=\"A.JPG\" WIDTH=\"600\" HEIGHT=\"450\"><BR>",
                      "<IMG SRC=\"b.Jpg\" WIDTH=\"600\" HEIGHT=\"450\"><BR>", "a<b<BR>", "<BR>",
                      "<BR><BR>", "<IMG SRC=\"photojpg\" WIDTH=\"600\" HEIGHT=\"450\"><BR>"})));
  // Two headings in a row, the bare "-----", ten dashes and "-----x.txt" each open a page.
  for (const char* page : {"2.htm", "3.htm", "4.htm", "5.htm"}) {
    EXPECT_EQ(ReadFile(dir / page), Page(kDefaultBody)) << page;
  }
}

// Text files in the encodings people save them in, each read to the exact lines of its page
// in UTF-8. The bytes are spelt out as another encoder wrote them.
TEST(SiteGenerator, TextFilesAreDecodedFromTheEncodingsPeopleHave) {
  struct Case {
    const char* name;
    std::string bytes;
    std::vector<std::string> lines;
  };
  const std::string bom16le = "\xFF\xFE", bom16be = "\xFE\xFF";
  // 京都 CR LF 𠮷😀 CR LF in UTF-16 LE, and the same with each pair of bytes turned.
  const std::string le = std::string("\xACN\xFD\x90\r\0\n\0B\xD8\xB7\xDF=\xD8\0\xDE\r\0\n\0", 20);
  std::string be = le;
  for (std::size_t i = 0; i + 1 < be.size(); i += 2) std::swap(be[i], be[i + 1]);
  const std::vector<std::string> kyotoLines = {U(u8"京都"), U(u8"𠮷😀")};
  const std::vector<Case> cases = {
      {"utf-8 from a Linux editor", U(u8"京都\n奈良の秋\n"), {U(u8"京都"), U(u8"奈良の秋")}},
      {"utf-8 with a mark",
       "\xEF\xBB\xBF" + U(u8"旅行\r\n𠮷野家😀\r\n"),
       {U(u8"旅行"), U(u8"𠮷野家😀")}},
      {"utf-16 le with a mark", bom16le + le, kyotoLines},
      {"utf-16 be with a mark", bom16be + be, kyotoLines},
      {"utf-16 le told by its zero bytes", le, kyotoLines},
      {"utf-16 be told by its zero bytes", be, kyotoLines},
      // 业 (U+4E1A) and 不 (U+4E0D): a 0x1A and a CR byte inside characters.
      {"utf-16 le: line-end bytes inside characters",
       std::string("\x1AN\rN\n\0a\0", 8),
       {U(u8"业不"), "a"}},
      {"utf-16 with an odd byte count", bom16le + std::string("a\0b\0c", 5), {U(u8"ab\uFFFD")}},
      {"iso-2022-jp, half-width katakana and NEC signs",
       "\x1B$B5~ET$N=)\x1B(B\r\n\x1B(I1\x1B(B \x1B$B-!\x1B(B\r\n",
       {U(u8"京都の秋"), U(u8"ｱ ①")}},
      {"euc-jp",
       "\xC6\xE0\xCE\xC9\xA4\xCE\xBD\xA9\xA1\xA2\xB9\xC8\xCD\xD5\n\xBC\xAF\n",
       {U(u8"奈良の秋、紅葉"), U(u8"鹿")}},
      {"euc-jp too short for statistics", "\xC6\xE0\xCE\xC9\xA4\xCE\xBD\xA9\n", {U(u8"奈良の秋")}},
      {"cp932, trail bytes like '\\'",
       "\x8B\x9E\x93s\x82\xD6\x8Ds\x82\xAB\x82\xDC\x82\xB5\x82\xBD\x81"
       "B\r\n\x83\\\x95\\\x94\\\r\n",
       {U(u8"京都へ行きました。"), U(u8"ソ表能")}},
      {"cp932 of a few bytes", "\x8B\x9E\x93s", {U(u8"京都")}},
      {"html passes through",
       "<a href=\"2.htm\">\x8E\x9F</a> &amp; <b>x</b>",
       {U(u8"<a href=\"2.htm\">次</a> &amp; <b>x</b>")}},
      {"ascii only", "hello\r\nworld", {"hello", "world"}},
      {"empty", "", {}},
      {"broken utf-8 that is no other encoding either",
       "caf\xE9\r\nok\r\n",
       {U(u8"caf\uFFFD"), "ok"}},
      {"broken utf-8 with a mark",
       "\xEF\xBB\xBF"
       "a\xE3\x81\nb",
       {U(u8"a\uFFFD\uFFFD"), "b"}},
      {"lf, cr, cr lf and lf cr", "a\nb\rc\r\nd\n\re", {"a", "b", "c", "d", "", "e"}},
      {"0x1A ends the text",
       "one\r\ntw\x1A"
       "o\r\n",
       {"one", "tw"}},
  };
  TempDir dir;
  for (const auto& c : cases) {
    WriteFile(dir / "t.txt", c.bytes);
    GenerateSite({"-----T-----", "t.txt"}, dir.Path(), Defaults());
    std::string lines;
    for (const std::string& line : c.lines) lines += line + "<BR>\r\n";
    EXPECT_EQ(ReadFile(dir / "1.htm"), Page(kDefaultBody, lines)) << c.name;
  }
}

TEST(SiteGenerator, SettingsAreWrittenAsHeld) {
  TempDir dir;
  Settings s = Defaults();
  s.HtmlColors = {"Red", "#123", "", "x y", "navy", "1", "2", "3", "4", "5"};
  s.MenuWidth = "wide";
  for (const std::string side : {"L", "r", ""}) {
    s.MenuPosition = side;
    GenerateSite({"-----T-----"}, dir.Path(), s);
    EXPECT_EQ(ReadFile(dir / "CASE.HTM"),
              kHead +
                  CrLfLines({"<FRAMESET COLS=\"wide,*\">", "<FRAME SRC=\"MENU.HTM\" NAME=\"MENU\">",
                             "<FRAME SRC=\"BLANK.HTM\" NAME=\"DATA\">", "</FRAMESET>", kFixedBody,
                             "&nbsp;"}) +
                  kClosing)
        << "'" << side << "'";
  }
  EXPECT_EQ(ReadFile(dir / "MENU.htm"),
            Page("<body text=\"Red\" bgcolor=\"#123\" link=\"\" vlink=\"x y\" alink=\"navy\">",
                 Link(1, "T")));
  EXPECT_EQ(ReadFile(dir / "1.htm"),
            Page("<body text=\"1\" bgcolor=\"2\" link=\"3\" vlink=\"4\" alink=\"5\">"));
}

TEST(SiteGenerator, ImageSizesFollowTheLongSideText) {
  TempDir dir;
  WriteJpeg(dir / "land.jpg", 800, 600);
  WriteJpeg(dir / "port.jpg", 600, 800);
  WriteJpeg(dir / "sq.jpg", 265, 265);
  Settings s = Defaults();
  for (const auto& [text, lines] : std::vector<std::pair<std::string, std::string>>{
           {"600", CrLfLines({"<IMG SRC=\"land.jpg\" WIDTH=\"600\" HEIGHT=\"450\"><BR>",
                              "<IMG SRC=\"port.jpg\" WIDTH=\"450\" HEIGHT=\"600\"><BR>",
                              "<IMG SRC=\"sq.jpg\" WIDTH=\"599\" HEIGHT=\"600\"><BR>"})},
           {"0600", CrLfLines({"<IMG SRC=\"land.jpg\" WIDTH=\"0600\" HEIGHT=\"450\"><BR>",
                               "<IMG SRC=\"port.jpg\" WIDTH=\"450\" HEIGHT=\"0600\"><BR>",
                               "<IMG SRC=\"sq.jpg\" WIDTH=\"599\" HEIGHT=\"0600\"><BR>"})},
           {"-600", CrLfLines({"<IMG SRC=\"land.jpg\" WIDTH=\"-600\" HEIGHT=\"-450\"><BR>",
                               "<IMG SRC=\"port.jpg\" WIDTH=\"-450\" HEIGHT=\"-600\"><BR>",
                               "<IMG SRC=\"sq.jpg\" WIDTH=\"-599\" HEIGHT=\"-600\"><BR>"})},
       }) {
    s.ImageLongSide = text;
    GenerateSite({"-----P-----", "land.jpg", "port.jpg", "sq.jpg"}, dir.Path(), s);
    EXPECT_EQ(ReadFile(dir / "1.htm"), Page(kDefaultBody, lines)) << text;
  }
  // A site without images is made whatever the long-side text holds.
  s.ImageLongSide = "abc";
  EXPECT_NO_THROW(GenerateSite({"-----P-----", "x.htm"}, dir.Path(), s));
}

TEST(SiteGenerator, StalePagesOfALargerRunStay) {
  TempDir dir;
  GenerateSite({"-----1-----", "-----2-----", "-----3-----", "-----4-----", "-----5-----"},
               dir.Path(), Defaults());
  GenerateSite({"-----a-----", "-----b-----", "-----c-----"}, dir.Path(), Defaults());
  EXPECT_EQ(ReadFile(dir / "MENU.htm"),
            Page(kDefaultBody, Link(1, "a") + Link(2, "b") + Link(3, "c")));
  EXPECT_TRUE(testing::Exists(dir / "4.htm"));
  EXPECT_TRUE(testing::Exists(dir / "5.htm"));
}

// A page waiting to be put in place holds no descriptor, nor does the page it replaces: a
// site of 20,000 pages generates again and again under a hard limit of 20,000 open files.
TEST(SiteGenerator, TwentyThousandPagesAgainAndAgainUnderATwentyThousandLimit) {
  // In memory: on a disk, flushing 20,000 new files twice takes most of a minute.
  std::string path = "/dev/shm/corvane-pages-XXXXXX";
  ASSERT_NE(::mkdtemp(path.data()), nullptr);
  struct Removed {
    std::string path;
    ~Removed() { std::filesystem::remove_all(path); }
    std::string operator/(const std::string& name) const { return path + "/" + name; }
    const std::string& Path() const { return path; }
  } dir{path};
  std::vector<std::string> entries;
  for (int i = 0; i < 20000; ++i) entries.push_back("-----" + std::to_string(i) + "-----");
  rlimit limit;
  ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &limit), 0);
  ASSERT_GE(limit.rlim_max, rlim_t{20000});
  limit.rlim_cur = limit.rlim_max = 20000;  // for the rest of this process
  ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &limit), 0);
  for (int run = 0; run < 2; ++run) {
    SCOPED_TRACE(run);
    ASSERT_NO_THROW(GenerateSite(entries, dir.Path(), Defaults()));
  }
  EXPECT_EQ(ReadFile(dir / "20000.htm"), Page(kDefaultBody));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 20000 + 5);
}

TEST(SiteGenerator, AMissingTextFileStopsTheRunAndTheNextRunWorks) {
  TempDir dir;
  WriteFile(dir / "a.txt", "hello\r\n");
  try {
    GenerateSite({"-----A-----", "a.txt", "-----B-----", "missing.txt"}, dir.Path(), Defaults());
    FAIL();
  } catch (const EInOutError& e) {
    EXPECT_EQ(ErrorReportText(e.Message()), S(u8"ファイルが見つかりません."));
  }
  // No page is put in place by a run that fails; the saved list, written first, is new.
  for (const char* page : {"1.htm", "2.htm", "CASE.HTM", "BLANK.HTM", "MENU.htm", "MENU.HTM"}) {
    EXPECT_FALSE(testing::Exists(dir / page)) << page;
  }
  EXPECT_EQ(ReadFile(dir / "files.cvn"), "-----A-----\r\na.txt\r\n-----B-----\r\nmissing.txt\r\n");
  // No file is held open after the failure: the saved list can be written again.
  WriteFile(dir / "missing.txt", "now here\r\n");
  GenerateSite({"-----A-----", "a.txt", "-----B-----", "missing.txt"}, dir.Path(), Defaults());
  EXPECT_EQ(ReadFile(dir / "2.htm"), Page(kDefaultBody, "now here<BR>\r\n"));
}

TEST(SiteGenerator, ImagesAreMeasuredInTheInputFolder) {
  TempDir dir, elsewhere;
  std::filesystem::create_directory(dir / "site");
  WriteJpeg(dir / "site/a.jpg", 600, 800);
  // A different file of the same name where the process happens to be.
  WriteJpeg(elsewhere / "a.jpg", 800, 600);
  auto cwd = std::filesystem::current_path();
  std::filesystem::current_path(elsewhere.Path());
  GenerateSite({"-----A-----", "a.jpg"}, dir / "site", Defaults());
  std::filesystem::current_path(cwd);
  EXPECT_EQ(ReadFile(dir / "site/1.htm"),
            Page(kDefaultBody, "<IMG SRC=\"a.jpg\" WIDTH=\"450\" HEIGHT=\"600\"><BR>\r\n"));
  // Written inside the folder even though its text has no trailing '/'.
  EXPECT_TRUE(testing::Exists(dir / "site/files.cvn"));
  EXPECT_FALSE(testing::Exists(dir / "sitefiles.cvn"));
}

TEST(SiteGenerator, EntriesMatchFilesUpToLetterCase) {
  TempDir dir;
  WriteFile(dir / "a.txt", "lower\r\n");
  WriteFile(dir / "B.TXT", "upper B\r\n");
  WriteFile(dir / "b.txt", "lower b\r\n");
  WriteFile(dir / "c.Txt", "mixed c\r\n");
  WriteFile(dir / "C.txt", "upper C\r\n");
  WriteJpeg(dir / "pic.jpg", 800, 600);
  GenerateSite({"-----A-----", "A.TXT", "b.txt", "c.txt", "PIC.JPG"}, dir.Path(), Defaults());
  // Exact name first; otherwise the first match in byte order ("C.txt" < "c.Txt"). The page
  // names the picture as it is on disk.
  EXPECT_EQ(
      ReadFile(dir / "1.htm"),
      Page(kDefaultBody, CrLfLines({"lower<BR>", "lower b<BR>", "upper C<BR>",
                                    "<IMG SRC=\"pic.jpg\" WIDTH=\"600\" HEIGHT=\"450\"><BR>"})));
}

TEST(SiteGenerator, ImageFailuresNameTheEntry) {
  TempDir dir;
  WriteFile(dir / "b.jpg", "\x89PNG\r\n\x1A\nnot a jpeg at all");
  WriteFile(dir / "empty.jpg", "");
  Settings s = Defaults();
  try {
    GenerateSite({"-----A-----", "gone.jpg"}, dir.Path(), s);
    FAIL();
  } catch (const EFOpenError& e) {
    EXPECT_EQ(e.Message(), S(u8"ファイル gone.jpg は開けません"));
  }
  try {
    GenerateSite({"-----A-----", "b.jpg"}, dir.Path(), s);
    FAIL();
  } catch (const EJPEG& e) {
    EXPECT_EQ(e.Message().rfind(S(u8"JPEG エラー #"), 0), 0u);
  }
  EXPECT_THROW(GenerateSite({"-----A-----", "empty.jpg"}, dir.Path(), s), EZeroDivide);
  s.ImageLongSide = "0";
  EXPECT_THROW(GenerateSite({"-----A-----", "empty.jpg"}, dir.Path(), s), EInvalidOp);
  // The image is read before the long side is converted.
  s.ImageLongSide = "abc";
  EXPECT_THROW(GenerateSite({"-----A-----", "gone.jpg"}, dir.Path(), s), EFOpenError);
  EXPECT_THROW(GenerateSite({"-----A-----", "b.jpg"}, dir.Path(), s), EJPEG);
  WriteJpeg(dir / "ok.jpg", 10, 10);
  EXPECT_THROW(GenerateSite({"-----A-----", "ok.jpg"}, dir.Path(), s), EConvertError);
}

// What a run asks of the system grows by four calls for each image whose name is exact
// (open, the regular-file check, one read, close), and a page of any length goes out in a
// few writes.
TEST(SiteGenerator, EachImageCostsFourCallsAndPagesGoOutInLargeWrites) {
  TempDir dir;
  const std::string jpeg = testing::EncodeJpeg({.width = 64, .height = 48});
  std::vector<std::string> small = {"-----A-----"}, large = {"-----A-----"};
  for (int i = 0; i < 500; ++i) {
    const std::string name = std::string("p").append(std::to_string(i)).append(".jpg");
    WriteFile(dir / name, jpeg);
    large.push_back(name);
    if (i < 100) small.push_back(name);
  }
  struct Counts {
    int total = 0, writes = 0;
  };
  auto run = [&](const std::vector<std::string>& entries) {
    Counts c;
    sys::SetFaultHook([&](sys::Call call) {
      ++c.total;
      c.writes += call == sys::Call::Write;
      return 0;
    });
    GenerateSite(entries, dir.Path(), Defaults());
    sys::SetFaultHook(nullptr);
    return c;
  };
  run(large);  // both runs then replace the same files
  const Counts few = run(small);
  const auto smallList = std::filesystem::file_size(dir / "files.cvn");
  const Counts many = run(large);
  const auto largeList = std::filesystem::file_size(dir / "files.cvn");
  // The saved list is read back a line buffer at a time.
  auto listReads = [](std::uintmax_t size) {
    return static_cast<int>((size + LineFile::kBufferSize - 1) / LineFile::kBufferSize);
  };
  EXPECT_EQ(many.total - few.total, 4 * 400 + listReads(largeList) - listReads(smallList));
  // The saved list, the frameset, the blank page, the menu and one page of 500 images.
  EXPECT_LE(many.writes, 5 * 2);
  // Entries that differ in letter case from their files cost one listing of the folder.
  std::vector<std::string> shouted = large;
  for (std::string& e : shouted) e[0] = e[0] == 'p' ? 'P' : e[0];
  EXPECT_LE(run(shouted).total - many.total, 2 * 500 + 10);
  EXPECT_NE(ReadFile(dir / "1.htm").find("<IMG SRC=\"p499.jpg\""), std::string::npos);
}

}  // namespace
}  // namespace corvane
