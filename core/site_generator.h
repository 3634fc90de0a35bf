#pragma once
// Writes the site into the input directory: "files.cvn", "CASE.HTM", "BLANK.HTM",
// "MENU.htm" and one numbered page per heading, walking the saved list read back from disk.

#include <optional>
#include <string>
#include <vector>

#include "core/folder.h"
#include "core/run_control.h"
#include "core/settings.h"

namespace corvane {

// The caller has checked that the first entry is a heading. The saved list is written
// first; the pages replace the previous ones together, only once all of them were written.
// Raises the error of the first failing file or image; the previous pages are then left
// exactly as they were (the saved list is the new one). chosen: the folder the input
// directory named when it was chosen; a run finding another one there writes nothing.
// control, when given, counts the entries done and may stop the run from another thread:
// it then raises RunCancelled and ends as a failed run ends.
void GenerateSite(const std::vector<std::string>& entries, const std::string& inputDir,
                  const Settings& settings, const std::optional<FolderId>& chosen = {},
                  RunControl* control = nullptr);

}  // namespace corvane
