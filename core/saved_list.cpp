#include "core/saved_list.h"

#include "core/line_file.h"
#include "core/paths.h"

namespace corvane {

std::string SavedListFileName(const std::string& inputDir) {
  return JoinPath(inputDir, "files.cvn");
}

void WriteSavedList(const std::string& fsPath, const std::vector<std::string>& entries) {
  LineFile file;
  file.OpenReplace(fsPath);
  for (const auto& entry : entries) file.WriteLine(entry);
  file.Close();
}

void ReadSavedList(const std::string& fsPath, const std::function<void(std::string)>& append) {
  LineFile file;
  file.OpenRead(fsPath);
  while (!file.AtEnd()) append(file.ReadLine());
  file.Close();
}

}  // namespace corvane
