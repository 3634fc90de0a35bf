#pragma once
// The settings held for the run and the file "corvane.INI" that keeps them: fourteen lines,
// one value each, identified by position. Values are held exactly as typed, read or
// defaulted; nothing is trimmed or validated.

#include <array>
#include <string>

namespace corvane {

struct Settings {
  std::array<std::string, 10> HtmlColors;
  std::string MenuPosition;
  std::string MenuWidth;
  std::string ImageLongSide;
  std::string WorkDir;
};

// iniDir is the settings folder as this file system names it: the start folder, whatever
// its name, so that saves always reach it.

// The defaults of the first start (WorkDir is left as it is: start-up sets it).
void SetDefaultSettings(Settings& settings);

std::string SettingsFileName(const std::string& iniDir);

// Reads the fourteen lines into `settings`; a missing line makes its value empty. A failure
// part-way leaves the values read so far and the rest as they were.
void LoadSettings(const std::string& iniDir, Settings& settings);

// Replaces the file with the fourteen values (atomically: a failure leaves the old file).
void SaveSettings(const std::string& iniDir, const Settings& settings);

}  // namespace corvane
