#pragma once
// Text files as people save them, decoded to UTF-8 for the pages.
//
// Which encoding a file is in is decided by strict rules where they can tell: a byte-order
// mark (UTF-8, UTF-16 LE or BE), zero bytes (UTF-16 without a mark: they stand where the
// high byte of ASCII characters does), ISO-2022-JP's escape sequences in a 7-bit file, and
// strict UTF-8 validity (ASCII included). What remains is EUC-JP or CP932. A file that is
// not valid in one of the two is the other (nearly every CP932 text holds bytes EUC-JP never
// does); only a file valid in both is left to statistics, and those are uchardet's: it is
// CP932 when uchardet says Shift_JIS, and EUC-JP otherwise, since uchardet calls many
// short EUC-JP texts "unknown" but no text seen valid in both was CP932. A file valid in
// neither is the one with fewer bytes it cannot decode, CP932 on a tie.
//
// Nothing is dropped or replaced by '?': bytes no rule decodes come out as U+FFFD each.

#include <string>
#include <string_view>
#include <vector>

namespace corvane {

enum class TextEncoding { Utf8, Utf16Le, Utf16Be, Iso2022Jp, EucJp, Cp932 };

TextEncoding DetectTextEncoding(std::string_view bytes);

// The text in UTF-8, without its byte-order mark.
std::string DecodeText(std::string_view bytes);

// The length of the well-formed UTF-8 sequence at the start of s (no overlong forms, no
// surrogates, nothing above U+10FFFF), or 0.
std::size_t Utf8SequenceLength(std::string_view s);

// The lines of a decoded text, by the rule every line file follows: CR LF, a lone CR and a
// lone LF each end a line; U+001A ends the text; a last line without a line end counts.
std::vector<std::string> TextLines(std::string_view utf8);

}  // namespace corvane
