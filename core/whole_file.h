#pragma once
// Reading a file of the folder whole, bounded: no further than the size it had when opened
// (a file another program keeps appending to still ends), and not at all beyond a limit
// (a sparse file of gigabytes is refused at once instead of filling memory and the disk).

#include <sys/types.h>

#include <string>

#include "core/file_system.h"

namespace corvane {

// The largest text file a page takes in. A text is held whole while its page is written,
// decoded (up to half as long again as UTF-8) and gathered in the page's write buffer, so a
// run needs a few times this much memory. 32 MiB is some sixteen million Japanese characters,
// dozens of novels: far more than anyone reads in one page, far more than a browser shows
// comfortably, and still a small share of any machine's memory.
constexpr off_t kTextFileLimit = off_t{32} * 1024 * 1024;

// The bytes of the regular file fsName in the folder `dir` (a symbolic link to one is read
// through; never waits). Errors: the I/O error of opening or reading it (code 5 for a pipe,
// device or folder), EFOpenError::TooLarge naming `entry` for a file over `limit` bytes.
std::string ReadWholeFile(int dir, const std::string& fsName, const std::string& entry,
                          off_t limit);

// ReadWholeFile in two steps, for a reader that looks at the size before it reads, or reads
// the file its own way (LineFile).
struct OpenedFile {
  sys::FileHandle file;
  off_t size = 0;  // at open
};
// Opens, checks and locks the file as ReadWholeFile does, and reads nothing.
OpenedFile OpenWholeFile(int dir, const std::string& fsName);
// Reads what OpenWholeFile opened, and closes it.
std::string ReadOpenedFile(OpenedFile& opened, const std::string& fsName, const std::string& entry,
                           off_t limit);

}  // namespace corvane
