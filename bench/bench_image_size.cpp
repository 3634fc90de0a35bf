// How fast image entries are measured, next to the cheapest thing that touches every file at
// all: open it, read 4 KB, close it. Measuring should cost about that much whatever the size
// of the file and of the metadata in front of its frame header, and read little of it.
//
// Four sets of files are generated in a scratch folder: small photos, large multi-megabyte
// photos, small photos carrying a 64 KB metadata block before the frame header, and small
// photos stored turned, with a 30 KB EXIF block whose orientation must be read. Files are
// in the page cache (caches cannot be dropped here); both loops run twice over each set and
// the second run is timed, so they meet the same warm cache.

#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "core/image_size.h"
#include "core/jpeg_header.h"
#include "tests/jpeg_fixture.h"
#include "tests/test_support.h"

namespace {

using corvane::testing::EncodeJpeg;
using corvane::testing::JpegOptions;
using Clock = std::chrono::steady_clock;

struct ImageSet {
  const char* name;
  JpegOptions options;
  int files;
  std::string width, height;  // the display size the set must measure to
};

// Seconds for `passes` rounds over the files, timed on the second of two runs.
template <typename Visit>
double TimeLoop(const std::vector<std::string>& paths, int passes, Visit visit) {
  double seconds = 0;
  for (int run = 0; run < 2; ++run) {
    auto start = Clock::now();
    for (int p = 0; p < passes; ++p) {
      for (const std::string& path : paths) visit(path);
    }
    seconds = std::chrono::duration<double>(Clock::now() - start).count();
  }
  return seconds;
}

void PlainRead(const std::string& path) {
  static char buffer[4096];
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0 || ::read(fd, buffer, sizeof buffer) <= 0) std::perror(path.c_str());
  ::close(fd);
}

}  // namespace

int main() {
  ImageSet sets[] = {
      {"small photo 640x480",
       {.width = 640, .height = 480, .quality = 90, .noise = 24, .app1Sizes = {}},
       2000,
       "600",
       "450"},
      {"large photo 6000x4000",
       {.width = 6000, .height = 4000, .quality = 95, .noise = 12, .app1Sizes = {}},
       40,
       "600",
       "400"},
      {"640x480 + 64 KB APP1",
       {.width = 640, .height = 480, .quality = 90, .noise = 24, .app1Sizes = {}},
       2000,
       "600",
       "450"},
      {"640x480 turned, EXIF",
       {.width = 640, .height = 480, .quality = 90, .noise = 24, .app1Sizes = {}},
       2000,
       "450",
       "600"},
  };
  // Set apart from the table: GCC 12 misreads a vector built from a list inside it.
  sets[2].options.app1Sizes.push_back(65533);
  // A camera's EXIF block: the orientation near its start, a thumbnail making it large.
  std::string exif = corvane::testing::OrientationPayload(6);
  exif.resize(30000, 'x');
  sets[3].options.app1Payloads.push_back(exif);
  sets[3].options.jfif = false;
  corvane::testing::TempDir dir;
  std::printf("%-24s %6s %10s %12s %12s %7s %11s %7s %8s\n", "set", "files", "file size",
              "plain img/s", "sizes img/s", "ratio", "bytes/image", "<=16KB", "within2x");
  bool allGood = true;
  for (const ImageSet& set : sets) {
    const std::string bytes = EncodeJpeg(set.options);
    std::vector<std::string> paths;
    for (int i = 0; i < set.files; ++i) {
      paths.push_back(dir / (std::to_string(i) + ".jpg"));
      corvane::testing::WriteFile(paths.back(), bytes);
    }

    // Bytes the reader takes from each file, and a check that it measures what was written.
    std::uint64_t bytesRead = 0;
    for (const std::string& path : paths) {
      int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
      corvane::JpegReadStats stats;
      corvane::ReadJpegSize(fd, &stats);
      ::close(fd);
      bytesRead += stats.bytesRead;
    }
    auto texts = corvane::ImageDisplaySize(paths.front(), "x.jpg", "600");
    if (texts.first != set.width || texts.second != set.height) {
      std::printf("%s: measured %s x %s\n", set.name, texts.first.c_str(), texts.second.c_str());
      return 1;
    }

    // Enough rounds for a few tenths of a second per timed run.
    const int passes = set.files >= 1000 ? 20 : 500;
    const double plain = TimeLoop(paths, passes, PlainRead);
    const double sized = TimeLoop(paths, passes, [](const std::string& path) {
      corvane::ImageDisplaySize(path, "x.jpg", "600");
    });
    const double images = static_cast<double>(paths.size()) * passes;
    const double perImage = static_cast<double>(bytesRead) / static_cast<double>(paths.size());
    const bool smallRead = perImage <= 16384;
    const bool fast = sized <= 2 * plain;
    allGood = allGood && smallRead && fast;
    std::printf("%-24s %6zu %9.2fM %12.0f %12.0f %7.2f %11.0f %7s %8s\n", set.name, paths.size(),
                static_cast<double>(bytes.size()) / 1e6, images / plain, images / sized,
                sized / plain, perImage, smallRead ? "yes" : "NO", fast ? "yes" : "NO");
    for (const std::string& path : paths) ::unlink(path.c_str());
  }
  return allGood ? 0 : 2;
}
