#include "core/list_entries.h"

#include "core/byte_text.h"
#include "core/code_page.h"
#include "core/errors.h"

namespace corvane {
namespace {

constexpr std::string_view kDashes = "-----";
// 今回非選択 in CP932.
constexpr std::string_view kMarkWord = "\x8D\xA1\x89\xF1\x94\xF1\x91\x49\x91\xF0";
constexpr std::string_view kOpenParen = "\x81\x69";   // （
constexpr std::string_view kCloseParen = "\x81\x6A";  // ）

bool EndsWithFolded(std::string_view entry, std::string_view ending) {
  std::string_view tail = entry.size() < 3 ? entry : entry.substr(entry.size() - 3);
  return AsciiLower(tail) == ending;
}

}  // namespace

bool IsHeading(std::string_view entry) {
  return StartsWith(entry, kDashes);
}

std::string HeadingTitle(std::string_view entry) {
  if (entry.size() <= 10) return {};
  return std::string(entry.substr(5, entry.size() - 10));
}

std::string MakeHeading(std::string_view title) {
  return std::string(kDashes) + std::string(title) + std::string(kDashes);
}

bool IsImageEntry(std::string_view entry) {
  return !IsHeading(entry) && EndsWithFolded(entry, "jpg");
}

bool IsTextEntry(std::string_view entry) {
  return !IsHeading(entry) && EndsWithFolded(entry, "txt");
}

std::string WithUnselectedMark(std::string_view entry) {
  return std::string(kMarkWord) + std::string(kOpenParen) + std::string(entry) +
         std::string(kCloseParen);
}

bool IsMarked(std::string_view entry) {
  return StartsWith(entry, kMarkWord);
}

namespace {

// kind: what the text is, in the message.
void CheckFitsInList(std::string_view text, const char8_t* kind) {
  // None of these bytes is ever the trail byte of a double-byte character.
  std::string shown(text);
  bool fits = true;
  for (char& c : shown) {
    if (c == '\r' || c == '\n' || c == '\0' || c == '\x1A') {
      c = '?';
      fits = false;
    }
  }
  if (!fits) {
    throw EEncodingError(Sjis(u8"改行などの制御文字を含む") + Sjis(kind) +
                         Sjis(u8"は使えません: ") + shown);
  }
}

}  // namespace

void CheckNameFitsInList(std::string_view name) {
  CheckFitsInList(name, u8"名前");
}

void CheckHeadingFitsInList(std::string_view title) {
  CheckFitsInList(title, u8"項目名");
}

}  // namespace corvane
