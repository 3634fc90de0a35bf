#include "core/byte_text.h"

namespace corvane {

std::size_t LastCharStart(std::string_view text) {
  std::size_t last = std::string_view::npos;
  for (std::size_t i = 0; i < text.size();) {
    last = i;
    i += (IsLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size()) ? 2 : 1;
  }
  return last;
}

std::string AsciiLower(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return out;
}

namespace {

// The small letter of a double-byte capital, or the trail byte unchanged. Only the letter
// blocks with case are touched: full-width Latin, Greek and Cyrillic.
unsigned char FoldedTrail(unsigned char lead, unsigned char trail) {
  if (lead == 0x82 && trail >= 0x60 && trail <= 0x79) return trail + 0x21;  // Ａ..Ｚ -> ａ..ｚ
  if (lead == 0x83 && trail >= 0x9F && trail <= 0xB6) return trail + 0x20;  // Α..Ω -> α..ω
  if (lead == 0x84 && trail >= 0x40 && trail <= 0x60) {
    // А..Я -> а..я; the small letters step over 0x7F, which is never a trail byte.
    unsigned char small = trail + 0x30;
    return small >= 0x7F ? small + 1 : small;
  }
  return trail;
}

}  // namespace

std::string FoldCase(std::string_view text) {
  std::string out(text);
  for (std::size_t i = 0; i < out.size();) {
    unsigned char b = static_cast<unsigned char>(out[i]);
    if (IsLeadByte(b) && i + 1 < out.size()) {
      out[i + 1] = static_cast<char>(FoldedTrail(b, static_cast<unsigned char>(out[i + 1])));
      i += 2;
      continue;
    }
    if (b >= 'A' && b <= 'Z') out[i] = static_cast<char>(b - 'A' + 'a');
    ++i;
  }
  return out;
}

bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

}  // namespace corvane
