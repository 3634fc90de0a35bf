// How fast image entries are measured, against the least any reader of a frame header must do:
// open the file, check that it is a regular file, read its first 4 KB, read 4 KB at the frame
// header when that lies beyond them (its offset found beforehand, untimed), close it. Five sets of
// distinct files (each file its own inode and bytes): small photos, progressive, CMYK, camera-like
// 6000x4000 photos with a 59 KB EXIF block holding a thumbnail, and phone photos stored turned
// (EXIF orientation 6 in a 30 KB block), whose orientation must be read. Warm: floor and measuring
// take turns over the same block of files, each read once untimed before it. Cold: the page cache
// is dropped before every block, and floor and measuring get different blocks of the same kind.
// Pass marks: at most 1.10 times the floor and at most 16 KB read per image, on every set. Files go
// to a scratch folder under /tmp, which must be a real disk for the cold passes; dropping the page
// cache needs root.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "bench/bench_support.h"
#include "core/image_size.h"
#include "tests/jpeg_fixture.h"
#include "tests/test_support.h"

namespace {

using corvane::testing::EncodeJpeg;
using corvane::testing::JpegOptions;
namespace bench = corvane::bench;

constexpr std::size_t kPairs = 41;

void Put16(std::string& out, unsigned v) {
  out += static_cast<char>(v & 0xFF);
  out += static_cast<char>(v >> 8);
}
void Put32(std::string& out, unsigned v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}
void IfdEntry(std::string& out, unsigned tag, unsigned type, unsigned count, unsigned value) {
  Put16(out, tag);
  Put16(out, type);
  Put32(out, count);
  Put32(out, value);
}

// An APP1 segment as cameras write it: "Exif", a little-endian TIFF header, IFD0 with an
// orientation and a pointer to IFD1, IFD1 pointing at a JPEG thumbnail, the thumbnail, then
// maker-note filler up to `total` bytes of segment data. `serial` makes every file distinct.
std::string CameraExifSegment(const std::string& thumbnail, std::size_t total, unsigned serial,
                              unsigned orientation = 1) {
  std::string tiff = "II*";
  tiff += '\0';
  Put32(tiff, 8);
  // IFD0 at 8: orientation, image serial; next IFD right after it.
  Put16(tiff, 2);
  IfdEntry(tiff, 0x0112, 3, 1, orientation);
  IfdEntry(tiff, 0xA420, 4, 1, serial);
  const unsigned ifd1 = 8 + 2 + 2 * 12 + 4;
  Put32(tiff, ifd1);
  // IFD1: the thumbnail's offset and length.
  Put16(tiff, 2);
  const unsigned thumbAt = ifd1 + 2 + 2 * 12 + 4;
  IfdEntry(tiff, 0x0201, 4, 1, thumbAt);
  IfdEntry(tiff, 0x0202, 4, 1, static_cast<unsigned>(thumbnail.size()));
  Put32(tiff, 0);
  tiff += thumbnail;
  std::string data = std::string("Exif\0\0", 6) + tiff;
  for (std::size_t i = 0; data.size() < total; ++i) data += static_cast<char>((serial + i) % 251);
  std::string segment = "\xFF\xE1";
  segment += static_cast<char>((data.size() + 2) >> 8);
  segment += static_cast<char>((data.size() + 2) & 0xFF);
  return segment + data;
}

struct ImageSet {
  std::string name;
  std::string encoded;                        // the picture, SOI first
  std::function<std::string(unsigned)> head;  // what goes right after SOI in file `serial`
  std::size_t warmBlock, coldBlock;           // files per block
  std::string width, height;                  // display size at 600
};

// Where the frame header starts: the segments after SOI walked by their lengths.
off_t FrameHeaderOffset(const std::string& bytes) {
  std::size_t at = 2;
  while (at + 4 <= bytes.size()) {
    const auto marker = static_cast<unsigned char>(bytes[at + 1]);
    if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC) {
      return static_cast<off_t>(at);
    }
    at += 2 + (static_cast<unsigned char>(bytes[at + 2]) << 8) +
          static_cast<unsigned char>(bytes[at + 3]);
  }
  return 0;
}

struct File {
  std::string path;
  off_t frameHeader;
};

void FloorRead(const File& file) {
  static char buffer[4096];
  int fd = ::open(file.path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  struct stat st;
  if (fd < 0 || ::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) ||
      ::pread(fd, buffer, sizeof buffer, 0) <= 0) {
    std::perror(file.path.c_str());
  }
  if (file.frameHeader + 32 > static_cast<off_t>(sizeof buffer) &&
      ::pread(fd, buffer, sizeof buffer, file.frameHeader) <= 0) {
    std::perror(file.path.c_str());
  }
  ::close(fd);
}

void Measure(const File& file) {
  corvane::ImageDisplaySize(file.path, "x.jpg", "600");
}

}  // namespace

int main() {
  corvane::testing::TempDir dir;
  const bool cold = bench::CanDropCaches();

  const std::string thumbnail = EncodeJpeg({.width = 160, .height = 120, .quality = 80});
  std::vector<ImageSet> sets;
  auto serialHead = [](unsigned serial) { return bench::CommentSegment(std::to_string(serial)); };
  sets.push_back({"small 640x480", EncodeJpeg({.width = 640, .height = 480, .noise = 8}),
                  serialHead, 50, 25, "600", "450"});
  sets.push_back({"progressive 640x480",
                  EncodeJpeg({.width = 640, .height = 480, .progressive = true, .noise = 8}),
                  serialHead, 50, 25, "600", "450"});
  sets.push_back({"CMYK 640x480", EncodeJpeg({.width = 640, .height = 480, .components = 4}),
                  serialHead, 50, 25, "600", "450"});
  sets.push_back({"camera 6000x4000, 59 KB EXIF",
                  EncodeJpeg({.width = 6000, .height = 4000, .jfif = false, .quality = 85}),
                  [&](unsigned serial) { return CameraExifSegment(thumbnail, 59 * 1024, serial); },
                  8, 4, "600", "400"});
  sets.push_back(
      {"turned 640x480, 30 KB EXIF",
       EncodeJpeg({.width = 640, .height = 480, .jfif = false, .noise = 8}),
       [&](unsigned serial) { return CameraExifSegment(thumbnail, 30 * 1024, serial, 6); }, 50, 25,
       "450", "600"});

  std::printf(
      "image size against open + fstat + read 4 KB (+ 4 KB at the frame header) + close, %zu "
      "pairs per pass%s\n",
      kPairs, cold ? "" : " (cold passes skipped: cannot drop the page cache without root)");
  bool pass = true;
  unsigned serial = 0;
  for (const ImageSet& set : sets) {
    const std::size_t warmFiles = kPairs * set.warmBlock;
    const std::size_t coldFiles = cold ? 2 * kPairs * set.coldBlock : 0;
    std::vector<File> paths;
    for (std::size_t i = 0; i < std::max(warmFiles, coldFiles); ++i) {
      std::string bytes = set.encoded.substr(0, 2) + set.head(serial) + set.encoded.substr(2);
      paths.push_back({dir / (std::to_string(serial) + ".jpg"), FrameHeaderOffset(bytes)});
      corvane::testing::WriteFile(paths.back().path, bytes);
      ++serial;
    }
    auto texts = corvane::ImageDisplaySize(paths.front().path, "x.jpg", "600");
    if (texts.first != set.width || texts.second != set.height) {
      std::printf("%s: measured %s x %s, expected %s x %s\n", set.name.c_str(), texts.first.c_str(),
                  texts.second.c_str(), set.width.c_str(), set.height.c_str());
      return 1;
    }

    // Bytes and system calls per image, over every file of the set once.
    std::uint64_t calls = 0;
    const std::uint64_t before = bench::BytesReadSoFar();
    {
      bench::SeamCallCounter counter;
      for (const File& file : paths) Measure(file);
      calls = counter.Total();
    }
    const double bytesPerImage =
        static_cast<double>(bench::BytesReadSoFar() - before) / static_cast<double>(paths.size());
    const double callsPerImage = static_cast<double>(calls) / static_cast<double>(paths.size());

    auto block = [&](std::size_t first, std::size_t size, void (*visit)(const File&)) {
      for (std::size_t k = first; k < first + size; ++k) visit(paths[k]);
    };
    auto warmBlock = [&](void (*visit)(const File&)) {
      return [&, visit](std::size_t i) { block(i * set.warmBlock, set.warmBlock, visit); };
    };
    auto warm =
        bench::RunPairs(kPairs, warmBlock(FloorRead), warmBlock(Measure), warmBlock(FloorRead));
    const bool warmOk = warm.ratio.median <= 1.10;
    const bool bytesOk = bytesPerImage <= 16384;
    std::printf("%s (%.2f MB a file)\n  ", set.name.c_str(),
                static_cast<double>(set.encoded.size()) / 1e6);
    bench::PrintRatio("warm ratio", warm.ratio);
    std::printf(" %s\n  floor %.1f us/image, measured %.1f us/image\n", warmOk ? "ok" : "FAIL",
                warm.floorSeconds.median * 1e6 / set.warmBlock,
                warm.realSeconds.median * 1e6 / set.warmBlock);
    pass = pass && warmOk && bytesOk;
    if (cold) {
      auto coldResult = bench::RunPairs(
          kPairs, [&](std::size_t i) { block(2 * i * set.coldBlock, set.coldBlock, FloorRead); },
          [&](std::size_t i) { block((2 * i + 1) * set.coldBlock, set.coldBlock, Measure); },
          [](std::size_t) { bench::DropCaches(); });
      const bool coldOk = coldResult.ratio.median <= 1.10;
      std::printf("  ");
      bench::PrintRatio("cold ratio", coldResult.ratio);
      std::printf(" %s\n  floor %.1f us/image, measured %.1f us/image\n", coldOk ? "ok" : "FAIL",
                  coldResult.floorSeconds.median * 1e6 / set.coldBlock,
                  coldResult.realSeconds.median * 1e6 / set.coldBlock);
      pass = pass && coldOk;
    }
    std::printf("  %.0f bytes read a image %s, %.2f system calls a image\n", bytesPerImage,
                bytesOk ? "ok" : "FAIL (over 16 KB)", callsPerImage);
    for (const File& file : paths) ::unlink(file.path.c_str());
  }
  std::printf("%s\n", pass ? "image size: PASS" : "image size: FAIL (a mark above is missed)");
  return pass ? 0 : 2;
}
