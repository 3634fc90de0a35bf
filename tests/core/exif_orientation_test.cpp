// Turned photos: the EXIF orientation exchanges the sides a page gives a picture, and a
// damaged or missing EXIF block changes nothing and is never an error.

#include "core/exif_orientation.h"

#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

#include <utility>

#include "core/file_system.h"
#include "core/image_size.h"
#include "core/jpeg_header.h"
#include "tests/jpeg_fixture.h"
#include "tests/test_support.h"

namespace corvane {
namespace {

using testing::EncodeJpeg;
using testing::ExifPayload;
using testing::OrientationPayload;
using Sides = std::pair<std::string, std::string>;

// The WIDTH and HEIGHT texts of an 800 x 600 photo carrying these APP1 blocks.
Sides SidesWith(std::vector<std::string> payloads, std::vector<std::size_t> padding = {}) {
  testing::TempDir dir;
  testing::WriteFile(dir / "p.jpg", EncodeJpeg({.width = 800,
                                                .height = 600,
                                                .jfif = false,
                                                .app1Sizes = std::move(padding),
                                                .app1Payloads = std::move(payloads)}));
  return ImageDisplaySize(dir / "p.jpg", "p.jpg", "600");
}

const Sides kAsStored{"600", "450"};
const Sides kTurned{"450", "600"};

TEST(ExifOrientation, QuarterTurnsExchangeTheSidesInEitherByteOrder) {
  for (bool bigEndian : {false, true}) {
    for (int orientation = 1; orientation <= 8; ++orientation) {
      SCOPED_TRACE(std::to_string(orientation) + (bigEndian ? " MM" : " II"));
      EXPECT_EQ(SidesWith({OrientationPayload(orientation, bigEndian)}),
                orientation >= 5 ? kTurned : kAsStored);
    }
  }
  // A portrait photo stored turned becomes landscape.
  testing::TempDir dir;
  testing::WriteFile(
      dir / "q.jpg",
      EncodeJpeg(
          {.width = 300, .height = 400, .jfif = true, .app1Payloads = {OrientationPayload(8)}}));
  EXPECT_EQ(ImageDisplaySize(dir / "q.jpg", "q.jpg", "600"), Sides("600", "450"));
}

// The tag is looked for in what was already read first; one further in the block, past the
// first read, is still found.
TEST(ExifOrientation, ATagFarIntoTheBlockIsFound) {
  for (int before : {0, 100, 330, 400}) {
    SCOPED_TRACE(before);
    std::vector<testing::ExifEntry> entries(static_cast<std::size_t>(before),
                                            testing::ExifEntry{0x0100, 3, 1, 640});
    entries.push_back({0x0112, 3, 1, 6});
    // Beyond the part of the block read for the tag: nothing is found, as before.
    EXPECT_EQ(SidesWith({ExifPayload(entries)}, {65533}), before < 400 ? kTurned : kAsStored);
  }
}

TEST(ExifOrientation, DamagedBlocksChangeNothing) {
  const std::string good = OrientationPayload(6, true);
  auto patched = [&](std::size_t at, std::string bytes) {
    std::string p = good;
    p.replace(at, bytes.size(), bytes);
    return p;
  };
  // Payload layout: "Exif\0\0" (6), byte order (2), 42 (2), IFD0 offset (4), count (2),
  // then 12-byte entries; the orientation entry is the third, at 6 + 8 + 2 + 24 = 40.
  const struct {
    const char* name;
    std::string payload;
  } rows[] = {
      {"wrong byte order mark", patched(6, "MI")},
      {"not 42", patched(8, std::string("\0\x2B", 2))},
      {"IFD0 past the end", patched(10, std::string("\0\0\x10\0", 4))},
      {"IFD0 inside the header", patched(10, std::string("\0\0\0\4", 4))},
      {"IFD0 cut short", good.substr(0, 40 + 6)},
      {"count running past the block",
       [&] {
         std::string p = patched(14, std::string("\x0F\xFF", 2));
         p[40] = '\x01';  // and no orientation among the entries
         p[41] = '\x13';
         return p;
       }()},
      {"orientation as LONG", patched(42, std::string("\0\4", 2))},
      {"two values", patched(44, std::string("\0\0\0\2", 4))},
      {"orientation 9", patched(48, std::string("\0\x09", 2))},
      {"orientation 0", patched(48, std::string("\0\0", 2))},
      {"header only", "Exif"},
      {"not EXIF", patched(0, "Exig")},
      {"empty", ""},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(ExifOrientation(reinterpret_cast<const unsigned char*>(row.payload.data()),
                              row.payload.size()),
              0);
    EXPECT_EQ(SidesWith({row.payload}), kAsStored);
  }
  // The same block undamaged is read, so the rows above fail for their own reason.
  EXPECT_EQ(SidesWith({good}), kTurned);
}

TEST(ExifOrientation, FirstExifBlockCountsAndOthersArePassedOver) {
  const std::string xmp = "http://ns.adobe.com/xap/1.0/";
  EXPECT_EQ(SidesWith({xmp, OrientationPayload(6)}), kTurned);
  EXPECT_EQ(SidesWith({OrientationPayload(1), OrientationPayload(6)}), kAsStored);
  // Tags before the orientation are stepped over, however many.
  std::vector<testing::ExifEntry> many;
  for (std::uint16_t tag = 0x0100; tag < 0x0112; ++tag) many.push_back({tag, 3, 1, 7});
  many.push_back({0x0112, 3, 1, 5});
  EXPECT_EQ(SidesWith({ExifPayload(many)}), kTurned);
  // An IFD0 beyond the part of the block that is read is not looked for.
  std::string far = OrientationPayload(6);
  far.replace(10, 4, std::string("\x00\x20\x00\x00", 4));  // IFD0 at 8192, little endian
  far.resize(6 + 8192 + 2 + 12 * 3 + 4, '\0');
  far.replace(6 + 8192, 2 + 12 * 3, OrientationPayload(6).substr(14, 2 + 12 * 3));
  EXPECT_EQ(SidesWith({far}), kAsStored);
}

// Reading the tag stays within the header reader's budget, also behind large blocks.
TEST(ExifOrientation, ReadingTheTagKeepsTheReadingBudget) {
  std::string exif = OrientationPayload(6);
  exif.resize(65533, 'x');  // a large EXIF block with a thumbnail in it
  const std::string bytes = EncodeJpeg({.width = 800,
                                        .height = 600,
                                        .app1Sizes = {65533, 65533, 40000, 65533},
                                        .app1Payloads = {exif}});
  int fd = ::memfd_create("turned.jpg", MFD_CLOEXEC);
  ASSERT_EQ(sys::WriteAll(fd, bytes.data(), bytes.size()), 0);
  JpegReadStats stats;
  JpegSize size = ReadJpegSize(fd, &stats);
  ::close(fd);
  EXPECT_EQ(size.orientation, 6);
  EXPECT_EQ(size.width, 800u);
  EXPECT_LE(stats.bytesRead, 16384u);
  EXPECT_GT(bytes.size(), 4 * 65536u);
}

}  // namespace
}  // namespace corvane
