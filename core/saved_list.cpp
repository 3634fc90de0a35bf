#include "core/saved_list.h"

#include "core/folder.h"
#include "core/line_file.h"
#include "core/paths.h"

namespace corvane {

std::string SavedListFileName(const std::string& inputDir) {
  return JoinPath(inputDir, "files.cvn");
}

void WriteSavedList(const Folder& folder, const std::vector<std::string>& entries,
                    LineFile& readBack) {
  readBack.OpenReplace(folder.Fd(), SavedListFileName(""));
  for (const auto& entry : entries) readBack.WriteLine(entry);
  readBack.CommitAndReadBack();
}

void ReadSavedList(int dir, const std::string& fsName,
                   const std::function<void(std::string)>& append) {
  LineFile file;
  file.OpenRead(dir, fsName);
  while (!file.AtEnd()) append(file.ReadLine());
  file.Close();
}

void ReadSavedList(const std::string& fsPath, const std::function<void(std::string)>& append) {
  ReadSavedList(AT_FDCWD, fsPath, append);
}

}  // namespace corvane
