#pragma once
// "files.cvn": the output list, one entry per line, in the input directory.

#include <functional>
#include <string>
#include <vector>

namespace corvane {

// The file's name in a folder (CP932 or this file system's name: the name is ASCII).
std::string SavedListFileName(const std::string& inputDir);

// fsPath: the file as this file system names it (found with FolderIndex).
// Replaces the file with the entries (atomically: a failure leaves the previous list).
void WriteSavedList(const std::string& fsPath, const std::vector<std::string>& entries);

// Hands every line of the file to `append`, in order, as it is read; an error part-way
// leaves what was handed over so far.
void ReadSavedList(const std::string& fsPath, const std::function<void(std::string)>& append);

}  // namespace corvane
