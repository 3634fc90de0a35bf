#pragma once
// Byte-wise helpers for CP932 text. Every scan here steps over double-byte characters, whose
// trail byte (0x40..0xFC) can look like '\', '@', a letter or '|'.

#include <cstddef>
#include <string>
#include <string_view>

namespace corvane {

// Lead byte of a CP932 double-byte character.
inline bool IsLeadByte(unsigned char b) {
  return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

// Offset of the first byte of the last character; npos for the empty text. A lead byte
// at the very end (a truncated character) counts as a character of its own.
std::size_t LastCharStart(std::string_view text);

// ASCII A-Z to a-z only; every other byte unchanged. For classification by file endings,
// which looks at the last bytes of an entry whatever they are.
std::string AsciiLower(std::string_view text);

// Letter case folding for matching names, the one used everywhere names are compared
// ignoring case: the capitals of ASCII, full-width Latin (Ａ..Ｚ), Greek (Α..Ω) and Cyrillic
// (А..Я) become their small letters; a trail byte is never taken for a letter.
std::string FoldCase(std::string_view text);

bool StartsWith(std::string_view text, std::string_view prefix);

}  // namespace corvane
