#pragma once
// "files.cvn": the output list, one entry per line, in the input directory.

#include <functional>
#include <string>
#include <vector>

namespace corvane {

std::string SavedListFileName(const std::string& inputDir);

// Replaces the file with the entries (atomically: a failure leaves the previous list).
void WriteSavedList(const std::string& inputDir, const std::vector<std::string>& entries);

// Hands every line of the file to `append`, in order, as it is read; an error part-way
// leaves what was handed over so far.
void ReadSavedList(const std::string& inputDir, const std::function<void(std::string)>& append);

}  // namespace corvane
