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

std::string FoldCase(std::string_view text) {
  std::string out(text);
  for (std::size_t i = 0; i < out.size();) {
    unsigned char b = static_cast<unsigned char>(out[i]);
    if (IsLeadByte(b) && i + 1 < out.size()) {
      unsigned char t = static_cast<unsigned char>(out[i + 1]);
      // Full-width Ａ..Ｚ (0x8260..0x8279) to ａ..ｚ (0x8281..0x829A).
      if (b == 0x82 && t >= 0x60 && t <= 0x79) out[i + 1] = static_cast<char>(t + 0x21);
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
