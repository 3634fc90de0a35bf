#pragma once
// A page of the site being written. Pages are UTF-8, this platform's code page, and say so
// in their head; the program's texts, headings and settings are CP932, so this is where
// they are converted, the one place pages are written. Text already in UTF-8 (the lines of
// decoded text files, picture URLs) goes as it is.

#include <string>

#include "core/line_file.h"
#include "core/staged_file.h"

namespace corvane {

class PageFile {
 public:
  // Put in place by the caller, together with the other pages (see LineFile::OpenStaged):
  // the page `name` in the run's folder `dir`.
  void OpenStaged(int dir, const std::string& name) { file_.OpenStaged(dir, name); }
  void WriteLine(const std::string& cp932);
  void WriteUtf8Line(const std::string& utf8) { file_.WriteLine(utf8); }
  StagedFile TakeStaged() { return file_.TakeStaged(); }

 private:
  LineFile file_;
};

}  // namespace corvane
