#pragma once
// The conversion boundaries: CP932 bytes <-> UTF-8 (for Qt, for this file system and for
// the pages, which are UTF-8). Core keeps every text as CP932 bytes; nothing else converts.

#include <string>
#include <string_view>

namespace corvane {

// CP932 -> UTF-8. Bytes that are not valid CP932 (they can come from files) are shown as
// U+FFFD each, so showing never fails; this is only used to show or to name a file.
std::string Cp932ToUtf8(std::string_view cp932);

// EUC-JP -> UTF-8, bytes that are not EUC-JP shown as U+FFFD each (text files only).
std::string EucJpToUtf8(std::string_view eucJp);

// CP932 -> UTF-8 for naming a file: fails with EEncodingError on bytes that are not CP932,
// so a name is never silently changed on its way to the file system.
std::string Cp932ToUtf8Strict(std::string_view cp932);

// UTF-8 -> CP932. A character CP932 cannot hold, or bytes that are not UTF-8, raise
// EEncodingError naming the text; nothing is replaced silently.
std::string Utf8ToCp932(std::string_view utf8);

// The program's own texts are written in the source as UTF-8 literals; this converts one
// of them (they are all representable). Use as Sjis(u8"...").
std::string Sjis(std::u8string_view utf8);

}  // namespace corvane
