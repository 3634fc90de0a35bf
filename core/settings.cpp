#include "core/settings.h"

#include "core/folder.h"
#include "core/line_file.h"
#include "core/paths.h"

namespace corvane {

void SetDefaultSettings(Settings& settings) {
  settings.HtmlColors = {"white", "black", "green", "green", "green",
                         "white", "black", "green", "green", "green"};
  settings.MenuPosition = std::string("R");
  settings.MenuWidth = std::string("200");
  settings.ImageLongSide = std::string("600");
}

std::string SettingsFileName(const std::string& iniDir) {
  return JoinPath(iniDir, "corvane.INI");
}

namespace {

// The fourteen values in file order.
template <typename S, typename F>
void ForEachValue(S& settings, F&& f) {
  for (auto& color : settings.HtmlColors) f(color);
  f(settings.MenuPosition);
  f(settings.MenuWidth);
  f(settings.ImageLongSide);
  f(settings.WorkDir);
}

}  // namespace

void LoadSettings(const std::string& iniDir, Settings& settings) {
  const Folder folder(iniDir);
  LineFile file;
  file.OpenRead(folder.Fd(), SettingsFileName(""));
  // Lines are taken by position; reading past the end of the text gives empty values.
  ForEachValue(settings, [&](std::string& value) { value = file.ReadLine(); });
  file.Close();
}

void SaveSettings(const std::string& iniDir, const Settings& settings) {
  const Folder folder(iniDir);
  LineFile file;
  file.OpenReplace(folder.Fd(), SettingsFileName(""));
  ForEachValue(settings, [&](const std::string& value) { file.WriteLine(value); });
  file.Close();
}

}  // namespace corvane
