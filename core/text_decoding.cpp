#include "core/text_decoding.h"

#include <uchardet.h>

#include <memory>
#include <optional>

#include "core/code_page.h"

namespace corvane {
namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

bool IsStrictUtf8(std::string_view s) {
  for (std::size_t i = 0, n = 0; i < s.size(); i += n) {
    if ((n = Utf8SequenceLength(s.substr(i))) == 0) return false;
  }
  return true;
}

std::string Utf8ShowingBadBytes(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  for (std::size_t i = 0; i < s.size();) {
    const std::size_t n = Utf8SequenceLength(s.substr(i));
    if (n == 0) {
      out += kReplacement;
      ++i;
    } else {
      out.append(s.substr(i, n));
      i += n;
    }
  }
  return out;
}

std::string Utf16ToUtf8(std::string_view s, bool bigEndian) {
  const auto unit = [&](std::size_t i) -> char32_t {
    const auto a = static_cast<unsigned char>(s[i]), b = static_cast<unsigned char>(s[i + 1]);
    return bigEndian ? (a << 8) | b : (b << 8) | a;
  };
  std::string out;
  out.reserve(s.size() * 3 / 2);
  std::size_t i = 0;
  for (; i + 1 < s.size(); i += 2) {
    const char32_t u = unit(i);
    if (u >= 0xD800 && u <= 0xDBFF && i + 3 < s.size()) {
      const char32_t low = unit(i + 2);
      if (low >= 0xDC00 && low <= 0xDFFF) {
        AppendUtf8(out, 0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00));
        i += 2;
        continue;
      }
    }
    if (u >= 0xD800 && u <= 0xDFFF) {
      out += kReplacement;  // a surrogate without its other half
    } else {
      AppendUtf8(out, u);
    }
  }
  if (i < s.size()) out += kReplacement;  // an odd last byte
  return out;
}

// Zero bytes never occur in text of the byte encodings; in UTF-16 they are the high bytes of
// ASCII characters (line ends, digits, blanks), so they stand where the high byte does.
// Japanese characters of the form U+xx00 put one on the other side: the majority decides.
std::optional<bool> Utf16BigEndianByZeros(std::string_view s) {
  std::size_t even = 0, odd = 0;
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '\0') ++(i % 2 == 0 ? even : odd);
  }
  if (even == odd) return std::nullopt;
  return even > odd;
}

// ISO-2022-JP and its Windows flavour with NEC characters and half-width katakana: 7-bit
// text that designates a Japanese set with an escape sequence.
bool IsIso2022Jp(std::string_view s) {
  for (unsigned char c : s) {
    if (c >= 0x80) return false;
  }
  for (std::string_view esc : {"\x1B$@", "\x1B$B", "\x1B$(D", "\x1B(I"}) {
    if (s.find(esc) != std::string_view::npos) return true;
  }
  return false;
}

// ISO-2022-JP names the rows and cells of the same character sets EUC-JP holds, so it is
// rewritten as EUC-JP: each shift state sets the high bit of its bytes and, for half-width
// katakana and the supplementary set, adds EUC-JP's single-shift byte.
std::string Iso2022JpToUtf8(std::string_view s) {
  enum class Set { Ascii, Kanji, Kana, Supplementary } set = Set::Ascii;
  std::string euc;
  euc.reserve(s.size());
  for (std::size_t i = 0; i < s.size(); ++i) {
    const std::string_view rest = s.substr(i);
    const auto designates = [&](std::string_view esc, Set to) {
      if (rest.substr(0, esc.size()) != esc) return false;
      set = to;
      i += esc.size() - 1;
      return true;
    };
    if (designates("\x1B(B", Set::Ascii) || designates("\x1B(J", Set::Ascii) ||
        designates("\x1B$@", Set::Kanji) || designates("\x1B$B", Set::Kanji) ||
        designates("\x1B(I", Set::Kana) || designates("\x1B$(D", Set::Supplementary)) {
      continue;
    }
    const auto c = static_cast<unsigned char>(s[i]);
    if (set == Set::Ascii || c < 0x21 || c > 0x7E) {
      euc += static_cast<char>(c);
    } else if (set == Set::Kana) {
      euc += '\x8E';
      euc += static_cast<char>(c | 0x80);
    } else {
      if (set == Set::Supplementary) euc += '\x8F';
      euc += static_cast<char>(c | 0x80);
      if (i + 1 < s.size()) euc += static_cast<char>(static_cast<unsigned char>(s[++i]) | 0x80);
    }
  }
  return EucJpToUtf8(euc);
}

bool UchardetSaysShiftJis(std::string_view s) {
  std::unique_ptr<std::remove_pointer_t<uchardet_t>, decltype(&uchardet_delete)> detector(
      uchardet_new(), &uchardet_delete);
  if (!detector || uchardet_handle_data(detector.get(), s.data(), s.size()) != 0) return false;
  uchardet_data_end(detector.get());
  return std::string_view(uchardet_get_charset(detector.get())) == "SHIFT_JIS";
}

// Bytes 0x80 to 0xA0 other than the single shifts 0x8E and 0x8F never occur in EUC-JP text
// (its decoder would take them for C1 controls), while CP932 puts most of its lead bytes
// there: hiragana, katakana and the common kanji.
std::size_t BytesNotInEucJpText(std::string_view s) {
  std::size_t n = 0;
  for (unsigned char c : s) n += c >= 0x80 && c <= 0xA0 && c != 0x8E && c != 0x8F;
  return n;
}

struct Decoded {
  TextEncoding encoding;
  std::string utf8;
};

std::size_t Replacements(std::string_view utf8) {
  std::size_t n = 0;
  for (std::size_t at = utf8.find(kReplacement); at != std::string_view::npos;
       at = utf8.find(kReplacement, at + kReplacement.size())) {
    ++n;
  }
  return n;
}

Decoded Decode(std::string_view s) {
  if (s.starts_with("\xEF\xBB\xBF")) return {TextEncoding::Utf8, Utf8ShowingBadBytes(s.substr(3))};
  if (s.starts_with("\xFF\xFE")) return {TextEncoding::Utf16Le, Utf16ToUtf8(s.substr(2), false)};
  if (s.starts_with("\xFE\xFF")) return {TextEncoding::Utf16Be, Utf16ToUtf8(s.substr(2), true)};
  if (std::optional<bool> bigEndian = Utf16BigEndianByZeros(s)) {
    return {*bigEndian ? TextEncoding::Utf16Be : TextEncoding::Utf16Le, Utf16ToUtf8(s, *bigEndian)};
  }
  if (IsIso2022Jp(s)) return {TextEncoding::Iso2022Jp, Iso2022JpToUtf8(s)};
  if (IsStrictUtf8(s)) return {TextEncoding::Utf8, std::string(s)};
  // Valid in only one of the two: that one. Valid in both: the detector's word.
  Decoded euc{TextEncoding::EucJp, EucJpToUtf8(s)};
  Decoded sjis{TextEncoding::Cp932, Cp932ToUtf8(s)};
  const std::size_t eucBad = Replacements(euc.utf8) + BytesNotInEucJpText(s);
  const std::size_t sjisBad = Replacements(sjis.utf8);
  if (eucBad != sjisBad) return eucBad < sjisBad ? euc : sjis;
  if (eucBad != 0) return sjis;
  return UchardetSaysShiftJis(s) ? sjis : euc;
}

}  // namespace

// The length of the well-formed UTF-8 sequence at the start of s (no overlong forms, no surrogates,
// nothing above U+10FFFF), or 0.
std::size_t Utf8SequenceLength(std::string_view s) {
  const auto byte = [&](std::size_t k) -> unsigned {
    return k < s.size() ? static_cast<unsigned char>(s[k]) : 0u;
  };
  const auto cont = [&](std::size_t k, unsigned lo = 0x80, unsigned hi = 0xBF) {
    return byte(k) >= lo && byte(k) <= hi;
  };
  const unsigned b = byte(0);
  if (b < 0x80) return 1;
  if (b >= 0xC2 && b <= 0xDF) return cont(1) ? 2 : 0;
  if (b >= 0xE0 && b <= 0xEF) {
    const unsigned lo = b == 0xE0 ? 0xA0 : 0x80, hi = b == 0xED ? 0x9F : 0xBF;
    return cont(1, lo, hi) && cont(2) ? 3 : 0;
  }
  if (b >= 0xF0 && b <= 0xF4) {
    const unsigned lo = b == 0xF0 ? 0x90 : 0x80, hi = b == 0xF4 ? 0x8F : 0xBF;
    return cont(1, lo, hi) && cont(2) && cont(3) ? 4 : 0;
  }
  return 0;
}

TextEncoding DetectTextEncoding(std::string_view bytes) {
  return Decode(bytes).encoding;
}

std::string DecodeText(std::string_view bytes) {
  return Decode(bytes).utf8;
}

std::vector<std::string> TextLines(std::string_view utf8) {
  std::vector<std::string> lines;
  utf8 = utf8.substr(0, utf8.find('\x1A'));
  while (!utf8.empty()) {
    const std::size_t end = utf8.find_first_of("\r\n");
    lines.emplace_back(utf8.substr(0, end));
    if (end == std::string_view::npos) break;
    const bool crLf = utf8[end] == '\r' && end + 1 < utf8.size() && utf8[end + 1] == '\n';
    utf8.remove_prefix(end + (crLf ? 2 : 1));
  }
  return lines;
}

}  // namespace corvane
