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

// CP932 name -> this file system's name by plain conversion, EEncodingError for bytes that
// are not CP932. Only FolderIndex uses it: the plain conversion may not be the name on disk.
std::string ToFsPath(std::string_view cp932);
// This file system's name -> CP932. EEncodingError for a name CP932 cannot hold.
std::string FromFsPath(std::string_view fsName);

// True when an entry of that name (a path of this file system) exists and is not a
// directory. Never fails.
bool IsExistingFile(const std::string& fsPath);

// The process's current directory as this file system names it (no trailing '/' except
// for the root), and changing it to a folder named the same way.
std::string CurrentDirectory();
void SetCurrentDirectory(const std::string& fsPath);

// Splits at the last '/' that is a character of its own: {folder with its '/', bare name}.
std::pair<std::string, std::string> SplitFolderAndName(std::string_view cp932Path);

// A path of this file system split at its last '/': {folder with its '/', bare name}; the
// folder is empty for a bare name. The one place a path of this file system is taken apart.
std::pair<std::string, std::string> SplitFsPath(std::string_view fsPath);
// The folder part alone.
std::string FsFolderOf(std::string_view fsPath);

// A folder text as a dialog's starting folder: a trailing '/' dropped unless it is the root.
std::string WithoutTrailingSeparator(std::string_view dir);

}  // namespace corvane
