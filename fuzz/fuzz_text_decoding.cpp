// Text files decoded from arbitrary bytes: never a crash, always well-formed UTF-8 (checked by
// the system's converter, not by our own rule), lines without line ends, and a text that is
// already plain UTF-8 comes out unchanged.

#include <iconv.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/text_decoding.h"
#include "fuzz/fuzz_support.h"

namespace {

bool IconvTakesAsUtf8(const std::string& s) {
  static iconv_t cd = iconv_open("UTF-32LE", "UTF-8");
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  char* in = const_cast<char*>(s.data());
  std::size_t inLeft = s.size();
  std::vector<char> out(s.size() * 4 + 4);
  char* o = out.data();
  std::size_t outLeft = out.size();
  return iconv(cd, &in, &inLeft, &o, &outLeft) != static_cast<std::size_t>(-1) && inLeft == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const std::string text = corvane::DecodeText(bytes);
  FUZZ_CHECK(IconvTakesAsUtf8(text));
  for (const std::string& line : corvane::TextLines(text)) {
    FUZZ_CHECK(line.find_first_of("\r\n\x1A") == std::string::npos);
  }
  // UTF-8 without a mark, zero bytes or escape sequences is taken as it is.
  if (bytes.find_first_of(std::string("\0\x1B", 2)) == std::string::npos &&
      IconvTakesAsUtf8(bytes) && bytes.rfind("\xEF\xBB\xBF", 0) != 0) {
    FUZZ_CHECK(text == bytes);
  }
  return 0;
}
