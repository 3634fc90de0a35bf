#pragma once
// "files.cvn": the output list, one entry per line, in the input directory.

#include <fcntl.h>

#include <functional>
#include <string>
#include <vector>

namespace corvane {

class Folder;
class LineFile;

// The file's name in a folder (CP932 or this file system's name: the name is ASCII).
std::string SavedListFileName(const std::string& inputDir);

// Replaces the list in the folder with the entries (atomically: a failure leaves the
// previous list), and leaves `readBack` reading the very file written, from its start.
void WriteSavedList(const Folder& folder, const std::vector<std::string>& entries,
                    LineFile& readBack);

// Hands every line of the file fsName in the folder `dir` to `append`, in order, as it is
// read; an error part-way leaves what was handed over so far. The form without a folder
// takes a path from the current directory.
void ReadSavedList(int dir, const std::string& fsName,
                   const std::function<void(std::string)>& append);
void ReadSavedList(const std::string& fsPath, const std::function<void(std::string)>& append);

}  // namespace corvane
