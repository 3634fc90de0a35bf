#pragma once
// Writes the site into the input directory: "files.cvn", "CASE.HTM", "BLANK.HTM",
// "MENU.htm" and one numbered page per heading, walking the saved list read back from disk.

#include <string>
#include <vector>

#include "core/settings.h"

namespace corvane {

// The caller has checked that the first entry is a heading. Raises the error of the first
// failing file or image; files finished before it stay as written.
void GenerateSite(const std::vector<std::string>& entries, const std::string& inputDir,
                  const Settings& settings);

}  // namespace corvane
