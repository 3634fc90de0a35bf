// "比較読込み" with 10,000 entries in each list, in the real window class under Qt's
// offscreen platform, against the floor of filling the two lists with as many entries (what
// any reload must do to show its result). Pairs alternate which goes first; the mark is a
// ratio of at most 3 to the floor.

#include <QApplication>
#include <cstdio>
#include <filesystem>

#include "bench/bench_support.h"
#include "form/form1.h"
#include "tests/form/scripted_services.h"
#include "tests/test_support.h"
#include "widgets/list_box.h"

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  corvane::testing::TempDir dir;
  std::filesystem::current_path(dir.Path());

  constexpr int kEntries = 10000;
  std::vector<std::string> inputs, savedEntries;
  std::string saved = "-----head-----\r\n";
  savedEntries.push_back("-----head-----");
  for (int i = 0; i < kEntries; ++i) {
    inputs.push_back("photo" + std::to_string(i) + ".jpg");
    // Half the saved entries name a chosen file (in another letter case), half do not.
    savedEntries.push_back((i % 2 ? "PHOTO" : "gone") + std::to_string(i) + ".JPG");
    saved += savedEntries.back() + "\r\n";
  }
  corvane::testing::WriteFile(dir / "files.cvn", saved);

  corvane::ProgramState state;
  corvane::testing::ScriptedServices services;
  corvane::TForm1 form(state, services);
  form.Guarded([&] { form.FormCreate(); });  // Edit1 is this folder: the list is found
  bool correct = true;
  auto floor = [&](std::size_t) {
    form.ListBox2->SetEntries(savedEntries);
    form.ListBox1->SetEntries(inputs);
  };
  auto reload = [&](std::size_t) {
    form.Guarded([&] { form.Button8Click(); });
    correct = correct && services.errors.empty() && form.ListBox1->Count() == kEntries / 2 &&
              form.ListBox2->Count() == kEntries + 1;
  };
  // Each reload starts from the chosen files and an empty output list, outside the timing.
  auto reset = [&](std::size_t) {
    form.ListBox2->Clear();
    form.ListBox1->SetEntries(inputs);
  };
  auto r = corvane::bench::RunPairs(41, floor, reload, reset);
  if (!correct) {
    std::fprintf(stderr, "compare-reload: unexpected result\n");
    return 1;
  }
  const bool ok = r.ratio.median <= 3.0;
  std::printf("compare-reload, %d saved entries against %d chosen files: %.1f ms (floor %.1f ms); ",
              kEntries + 1, kEntries, r.realSeconds.median * 1e3, r.floorSeconds.median * 1e3);
  corvane::bench::PrintRatio("ratio", r.ratio);
  std::printf(" %s (mark 3.0)\n", ok ? "ok" : "FAIL");
  std::filesystem::current_path("/");
  return ok ? 0 : 2;
}
