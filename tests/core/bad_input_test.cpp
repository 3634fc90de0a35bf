// Input a site is made from that is large, odd or broken: each gives the right page or a
// clear error, never a crash, a hang or a lost file.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>

#include "core/errors.h"
#include "core/file_system.h"
#include "core/site_generator.h"
#include "core/whole_file.h"
#include "tests/jpeg_fixture.h"
#include "tests/test_support.h"

namespace corvane {
namespace {

using testing::Defaults;
using testing::ReadFile;
using testing::S;
using testing::TempDir;
using testing::WriteFile;

const std::string kPageStart =
    "<html>\r\n<head>\r\n"
    "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=UTF-8\">\r\n"
    "<META NAME=\"GENERATOR\" CONTENT=\"Corvane ver 1.2\">\r\n</head>\r\n"
    "<body text=\"white\" bgcolor=\"black\" link=\"green\" vlink=\"green\" alink=\"green\">\r\n";
const std::string kPageEnd = "</body>\r\n</html>\r\n";

// The page made from one heading and one file.
std::string PageOf(const TempDir& dir, const std::string& entry) {
  GenerateSite({"-----A-----", entry}, dir.Path(), Defaults());
  return ReadFile(dir / "1.htm");
}

TEST(BadInput, TextFilesAreCopiedWholeUpToAn1A) {
  TempDir dir;
  const std::string tenMegabytes(10 * 1024 * 1024, 'w');
  WriteFile(dir / "long.txt", tenMegabytes);
  EXPECT_EQ(PageOf(dir, "long.txt"), kPageStart + tenMegabytes + "<BR>\r\n" + kPageEnd);

  const std::string eof(1, '\x1A');
  WriteFile(dir / "start.txt", eof + "never\r\n");
  EXPECT_EQ(PageOf(dir, "start.txt"), kPageStart + kPageEnd);
  WriteFile(dir / "middle.txt", "one\r\ntw" + eof + "o\r\nthree\r\n");
  EXPECT_EQ(PageOf(dir, "middle.txt"), kPageStart + "one<BR>\r\ntw<BR>\r\n" + kPageEnd);
  WriteFile(dir / "end.txt", "one\r\n" + eof);
  EXPECT_EQ(PageOf(dir, "end.txt"), kPageStart + "one<BR>\r\n" + kPageEnd);

  WriteFile(dir / "empty.txt", "");
  EXPECT_EQ(PageOf(dir, "empty.txt"), kPageStart + kPageEnd);
}

TEST(BadInput, FilesThatAreNotThereOrNotFiles) {
  TempDir dir;
  ::mkdir((dir / "x.txt").c_str(), 0777);
  ::mkdir((dir / "x.jpg").c_str(), 0777);
  try {
    PageOf(dir, "x.txt");
    FAIL();
  } catch (const EInOutError& e) {
    EXPECT_EQ(ErrorReportText(e.Message()), S(u8"ファイルへのアクセスが拒否されました."));
  }
  try {
    PageOf(dir, "x.jpg");
    FAIL();
  } catch (const EFOpenError& e) {
    EXPECT_EQ(ErrorReportText(e.Message()), S(u8"ファイル x.jpg は開けません."));
  }
  // Chosen, then gone before the site is made.
  WriteFile(dir / "gone.jpg", testing::EncodeJpeg({}));
  std::remove((dir / "gone.jpg").c_str());
  EXPECT_THROW(PageOf(dir, "gone.jpg"), EFOpenError);
  // An input directory that is a file (ENOTDIR): the path is not found, nothing is written.
  WriteFile(dir / "plain", "");
  try {
    GenerateSite({"-----A-----"}, dir / "plain/", Defaults());
    FAIL();
  } catch (const EInOutError& e) {
    EXPECT_EQ(e.Code(), 3);
  }
}

// A text is read as it was when opened, and one over the limit is refused at once, by name:
// a sparse file of 4 GiB, and a file another program keeps appending to.
TEST(BadInput, TextFilesAreBoundedBySizeAtOpenAndByTheLimit) {
  TempDir dir;
  WriteFile(dir / "sparse.txt", "");
  ASSERT_EQ(::truncate((dir / "sparse.txt").c_str(), off_t{4} << 30), 0);
  const auto start = std::chrono::steady_clock::now();
  try {
    PageOf(dir, "sparse.txt");
    FAIL();
  } catch (const EFOpenError& e) {
    EXPECT_EQ(ErrorReportText(e.Message()), S(u8"ファイル sparse.txt は大きすぎます (32 MB まで)"));
  }
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(500));
  EXPECT_FALSE(testing::Exists(dir / "1.htm"));

  const std::string first(1024 * 1024, 'g');
  WriteFile(dir / "growing.txt", first);
  const int fd = ::open((dir / "growing.txt").c_str(), O_WRONLY | O_APPEND);
  ASSERT_GE(fd, 0);
  int reads = 0;
  sys::SetFaultHook([&](sys::Call call) {
    if (call == sys::Call::Read) {
      ++reads;
      if (::write(fd, first.data(), first.size()) != 1 << 20) ADD_FAILURE();
    }
    return 0;
  });
  const std::string text =
      ReadWholeFile(AT_FDCWD, dir / "growing.txt", "growing.txt", kTextFileLimit);
  sys::SetFaultHook(nullptr);
  ::close(fd);
  EXPECT_GE(reads, 1);
  EXPECT_TRUE(text == first) << text.size() << " bytes";
}

TEST(BadInput, ImagesTheLibraryReadsOrRejects) {
  TempDir dir;
  struct Case {
    const char* name;
    std::string bytes;
    std::string line;  // the image line, or empty when the image must be rejected
  };
  testing::JpegOptions progressive{.width = 400, .height = 300, .progressive = true};
  testing::JpegOptions cmyk{.width = 300, .height = 400, .components = 4};
  testing::JpegOptions arithmetic{.width = 800, .height = 533, .arithmetic = true};
  const std::string good = testing::EncodeJpeg({.width = 64, .height = 48});
  const std::size_t frame = testing::FrameHeaderOffset(good);
  const std::vector<Case> cases = {
      {"progressive", testing::EncodeJpeg(progressive),
       "<IMG SRC=\"progressive\" WIDTH=\"600\" HEIGHT=\"450\"><BR>"},
      {"cmyk", testing::EncodeJpeg(cmyk), "<IMG SRC=\"cmyk\" WIDTH=\"450\" HEIGHT=\"600\"><BR>"},
      {"arithmetic", testing::EncodeJpeg(arithmetic),
       "<IMG SRC=\"arithmetic\" WIDTH=\"600\" HEIGHT=\"399\"><BR>"},
      {"cut inside the frame header", good.substr(0, frame + 6), ""},
      {"cut right after the frame header", good.substr(0, frame + 19), ""},
      {"too large for the library", testing::WithFrameSize(good, 65535, 65535), ""},
      {"twelve-bit samples", testing::WithFrameByte(good, 4, 12), ""},
      {"garbage", "GIF89a this is no jpeg", ""},
  };
  for (const auto& c : cases) {
    const std::string entry = std::string(c.name) + "jpg";
    WriteFile(dir / entry, c.bytes);
    std::string expected = c.line;
    if (!expected.empty()) {
      expected.replace(expected.find(c.name), std::string(c.name).size(), entry);
      EXPECT_EQ(PageOf(dir, entry), kPageStart + expected + "\r\n" + kPageEnd) << c.name;
    } else {
      EXPECT_THROW(PageOf(dir, entry), EJPEG) << c.name;
    }
  }
}

}  // namespace
}  // namespace corvane
