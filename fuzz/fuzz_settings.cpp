// The settings file on arbitrary bytes. An input without NUL bytes is a settings file: the
// values loaded must be the first fourteen lines of its text (missing ones empty, never a
// value left over from before), a save must write exactly the fourteen values each followed
// by CR LF and leave nothing else in the folder, and loading that must give them back.
// An input with NUL bytes is cut there into fourteen values as a user might type them, which
// can hold anything: saved, they must come back from a load whenever they hold no CR or
// 0x1A, and otherwise read back as the line rules say. (Each input takes one of the two
// paths because every save syncs to disk, and the fuzzer's speed is in its syscalls.)

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/settings.h"
#include "fuzz/fuzz_support.h"

using corvane::Settings;
using namespace corvane::fuzzing;

namespace {

constexpr std::size_t kValueCount = 14;

const ScratchDir& Scratch() {
  static ScratchDir dir;
  return dir;
}

std::vector<std::string> ValuesOf(const Settings& s) {
  std::vector<std::string> values(s.HtmlColors.begin(), s.HtmlColors.end());
  values.push_back(s.MenuPosition);
  values.push_back(s.MenuWidth);
  values.push_back(s.ImageLongSide);
  values.push_back(s.WorkDir);
  return values;
}

// Settings whose every value is a text no line can hold, so a value the load failed to set
// is caught.
Settings Stale() {
  Settings s;
  for (auto& c : s.HtmlColors) c = "stale\r";
  s.MenuPosition = s.MenuWidth = s.ImageLongSide = s.WorkDir = "stale\r";
  return s;
}

Settings FromValues(const std::vector<std::string>& values) {
  Settings s;
  for (std::size_t i = 0; i < s.HtmlColors.size(); ++i) s.HtmlColors[i] = values[i];
  s.MenuPosition = values[10];
  s.MenuWidth = values[11];
  s.ImageLongSide = values[12];
  s.WorkDir = values[13];
  return s;
}

// Up to fourteen pieces between NUL bytes, the last one keeping any further NULs; missing
// pieces are empty.
std::vector<std::string> CutAtNul(const std::string& bytes) {
  std::vector<std::string> values;
  std::size_t start = 0;
  while (values.size() + 1 < kValueCount) {
    std::size_t nul = bytes.find('\0', start);
    if (nul == std::string::npos) break;
    values.push_back(bytes.substr(start, nul - start));
    start = nul + 1;
  }
  values.push_back(bytes.substr(std::min(start, bytes.size())));
  values.resize(kValueCount);
  return values;
}

std::string Serialised(const std::vector<std::string>& values) {
  std::string text;
  for (const auto& value : values) text += value + "\r\n";
  return text;
}

Settings Load() {
  Settings s = Stale();
  corvane::LoadSettings(Scratch().Path(), s);
  return s;
}

void CheckSave(const std::vector<std::string>& values) {
  corvane::SaveSettings(Scratch().Path(), FromValues(values));
  const std::string text = Serialised(values);
  FUZZ_CHECK(ReadWholeFile(Scratch() / "corvane.INI") == text);
  FUZZ_CHECK(Scratch().Names() == std::vector<std::string>{"corvane.INI"});

  std::vector<std::string> reread = SplitLines(TextPart(text));
  reread.resize(kValueCount);
  FUZZ_CHECK(ValuesOf(Load()) == reread);
  bool plain = true;
  for (const auto& value : values) {
    plain = plain && value.find_first_of("\r\n\x1A") == std::string::npos;
  }
  FUZZ_CHECK(!plain || reread == values);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  if (bytes.find('\0') != std::string::npos) {
    CheckSave(CutAtNul(bytes));
    return 0;
  }
  WriteWholeFile(Scratch() / "corvane.INI", bytes);
  std::vector<std::string> expected = SplitLines(TextPart(bytes));
  expected.resize(kValueCount);  // lines after the fourteenth are never read; missing ones empty
  FUZZ_CHECK(ValuesOf(Load()) == expected);
  // A loaded value never holds a CR, an LF or 0x1A, so this is a plain round trip.
  CheckSave(expected);
  return 0;
}
