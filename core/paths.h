#pragma once
// Names of files: CP932 byte strings in the program, UTF-8 on this file system. The
// separator is '/'.

#include <string>
#include <string_view>
#include <utility>

namespace corvane {

// The folder text and a file name joined, with '/' inserted when the folder text is not
// empty and does not already end in one.
std::string JoinPath(std::string_view dir, std::string_view name);

// CP932 name -> this file system's name. EEncodingError for bytes that are not CP932.
std::string ToFsPath(std::string_view cp932);
// This file system's name -> CP932. EEncodingError for a name CP932 cannot hold.
std::string FromFsPath(std::string_view fsName);

// True when an entry of that name exists and is not a directory. Never fails.
bool IsExistingFile(std::string_view cp932Path);

// The process's current directory (CP932, no trailing '/' except for the root).
std::string CurrentDirectory();
void SetCurrentDirectory(std::string_view cp932Path);

// Splits at the last '/' that is a character of its own: {folder with its '/', bare name}.
std::pair<std::string, std::string> SplitFolderAndName(std::string_view cp932Path);

// A folder text as a dialog's starting folder: a trailing '/' dropped unless it is the root.
std::string WithoutTrailingSeparator(std::string_view dir);

// For reading: the path itself when a file has that exact name; otherwise the first name
// in byte order in the same folder that equals it ignoring letter case; otherwise the path
// unchanged (so opening it reports the missing file).
std::string ExistingNameIgnoringCase(const std::string& cp932Path);

}  // namespace corvane
