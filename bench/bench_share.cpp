// A site of 2,040 entries (20 headings, each with a text file and 100 pictures) on a folder
// served as a network share whose every request takes a millisecond (slow_share, a FUSE
// pass-through), reading the pictures and text files ahead against reading them one after
// another, in alternating runs; then the same site on the local disk, the same two ways, warm
// and cold (cold needs root). Pass marks: on the share under 0.6 s; on the local disk the
// paired ratio of reading ahead to one after another at most 1.05. Needs root and /dev/fuse.

#include <cstdio>
#include <string>
#include <vector>

#include "bench/bench_support.h"
#include "core/entry_reader.h"
#include "core/settings.h"
#include "core/site_generator.h"
#include "tests/jpeg_fixture.h"
#include "tests/share/mounted_share.h"
#include "tests/test_support.h"

namespace {

namespace bench = corvane::bench;

std::vector<std::string> MakeSite(const std::string& folder) {
  const std::string picture = corvane::testing::EncodeJpeg({.width = 640, .height = 480});
  std::vector<std::string> entries;
  for (int h = 0; h < 20; ++h) {
    entries.push_back("-----" + std::to_string(h) + "-----");
    const std::string text = std::string("t").append(std::to_string(h)).append(".txt");
    corvane::testing::WriteFile(folder + "/" + text, "a line\r\nanother\r\n");
    entries.push_back(text);
    for (int i = 0; i < 100; ++i) {
      const std::string name = std::string("p").append(std::to_string(h * 100 + i)).append(".jpg");
      corvane::testing::WriteFile(folder + "/" + name,
                                  bench::WithComment(picture, std::to_string(h * 100 + i)));
      entries.push_back(name);
    }
  }
  return entries;
}

}  // namespace

int main() {
  corvane::testing::MountedShare share(1000);
  if (!share.Usable()) {
    std::printf("share: cannot mount a FUSE share here (root and /dev/fuse needed)\n");
    return 1;
  }
  const std::vector<std::string> entries = MakeSite(share.Source());
  corvane::Settings settings;
  corvane::SetDefaultSettings(settings);
  auto run = [&](const std::string& folder, bool ahead) {
    return [&, folder, ahead](std::size_t) {
      corvane::AllowReadAhead(ahead);
      corvane::GenerateSite(entries, folder + "/", settings);
      corvane::AllowReadAhead(true);
    };
  };
  bool pass = true;
  std::printf("site of %zu entries\n", entries.size());
  const bench::PairedResult onShare =
      bench::RunPairs(5, run(share.Path(), false), run(share.Path(), true));
  const bool shareOk = onShare.realSeconds.median < 0.6;
  pass = pass && shareOk;
  std::printf(
      "  share, 1 ms a request: read ahead %.3f s (range %.3f-%.3f), one after another "
      "%.3f s (range %.3f-%.3f) %s (mark 0.6 s)\n",
      onShare.realSeconds.median, onShare.realSeconds.low, onShare.realSeconds.high,
      onShare.floorSeconds.median, onShare.floorSeconds.low, onShare.floorSeconds.high,
      shareOk ? "ok" : "FAIL");

  auto local = [&](const char* label, const bench::PairedResult& r) {
    const bool ok = r.ratio.median <= 1.05;
    pass = pass && ok;
    std::printf("  local disk, %s: read ahead %.1f ms, one after another %.1f ms; ", label,
                r.realSeconds.median * 1e3, r.floorSeconds.median * 1e3);
    bench::PrintRatio("ratio", r.ratio);
    std::printf(" %s (mark 1.05)\n", ok ? "ok" : "FAIL");
  };
  local("warm", bench::RunPairs(31, run(share.Source(), false), run(share.Source(), true)));
  if (bench::CanDropCaches()) {
    local("cold", bench::RunPairs(31, run(share.Source(), false), run(share.Source(), true),
                                  [](std::size_t) { bench::DropCaches(); }));
  }
  std::printf("%s\n", pass ? "share: PASS" : "share: FAIL (a mark above is missed)");
  return pass ? 0 : 2;
}
