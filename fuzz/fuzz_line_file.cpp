// The line reader on arbitrary bytes: it must never crash, and its lines must be exactly the
// ones the line rules give, whichever way the caller walks the file.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/line_file.h"
#include "fuzz/fuzz_support.h"

using corvane::LineFile;
using namespace corvane::fuzzing;

namespace {

const ScratchDir& Scratch() {
  static ScratchDir dir;
  return dir;
}

// Every line, separator removed, joined with a CR after each; the input's text with each
// CR LF and each lone LF turned into CR must equal that, or that without its last CR when the
// text's last line has no line end.
void CheckRejoins(std::string_view text, const std::vector<std::string>& lines) {
  std::string normalised;
  for (std::size_t i = 0; i < text.size(); ++i) {
    normalised += text[i] == '\n' ? '\r' : text[i];
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
  }
  std::string joined;
  for (const auto& line : lines) joined += line + '\r';
  FUZZ_CHECK(normalised == joined ||
             (!joined.empty() && normalised == joined.substr(0, joined.size() - 1)));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const std::string path = Scratch() / "lines.txt";
  WriteWholeFile(path, bytes);
  const std::string_view text = TextPart(bytes);
  const std::vector<std::string> expected = SplitLines(text);

  // The usual walk: test for the end before every line.
  std::vector<std::string> lines;
  {
    LineFile file;
    file.OpenRead(path);
    while (!file.AtEnd()) {
      lines.push_back(file.ReadLine());
      FUZZ_CHECK(lines.size() <= expected.size());
    }
    // At the end (the physical one or a 0x1A) it stays at the end.
    FUZZ_CHECK(file.ReadLine().empty());
    FUZZ_CHECK(file.AtEnd());
    file.Close();
  }
  for (const auto& line : lines) {
    FUZZ_CHECK(line.find_first_of("\r\n") == std::string::npos);
    FUZZ_CHECK(line.find('\x1A') == std::string::npos);
  }
  CheckRejoins(text, lines);
  FUZZ_CHECK(lines == expected);

  // A fixed number of lines with no end tests, as the settings file is read: the same lines,
  // then empty strings.
  {
    LineFile file;
    file.OpenRead(path);
    for (std::size_t i = 0; i < expected.size() + 2; ++i) {
      std::string line = file.ReadLine();
      FUZZ_CHECK(line == (i < expected.size() ? expected[i] : std::string()));
    }
    FUZZ_CHECK(file.AtEnd());
    file.Close();
  }
  return 0;
}
