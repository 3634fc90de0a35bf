#include "core/site_generator.h"

#include <sys/stat.h>

#include <cerrno>
#include <optional>

#include "core/errors.h"
#include "core/file_system.h"
#include "core/folder_index.h"
#include "core/image_size.h"
#include "core/io_error.h"
#include "core/line_file.h"
#include "core/list_entries.h"
#include "core/paths.h"
#include "core/saved_list.h"

namespace corvane {
namespace {

const std::string kFixedBody =
    "<body text=\"#FFFFFF\" bgcolor=\"#000000\" link=\"#FFFF00\" vlink=\"#C0C0C0\" "
    "alink=\"#C0FFC0\">";

void WriteHead(LineFile& file) {
  file.WriteLine("<html>");
  file.WriteLine("<head>");
  file.WriteLine("<META NAME=\"GENERATOR\" CONTENT=\"Corvane ver 1.2\">");
  file.WriteLine("</head>");
}

void WriteClosing(LineFile& file) {
  file.WriteLine("</body>");
  file.WriteLine("</html>");
}

// The body tag of the menu page (colours 0..4) or the content pages (colours 5..9).
std::string BodyLine(const Settings& settings, int first) {
  const auto& c = settings.HtmlColors;
  return "<body text=\"" + c[first] + "\" bgcolor=\"" + c[first + 1] + "\" link=\"" + c[first + 2] +
         "\" vlink=\"" + c[first + 3] + "\" alink=\"" + c[first + 4] + "\">";
}

void WriteFrameset(const std::string& folder, const Settings& settings) {
  LineFile file;
  file.OpenWrite(JoinPath(folder, "CASE.HTM"));
  WriteHead(file);
  if (settings.MenuPosition == "R") {
    file.WriteLine("<FRAMESET COLS=\"*," + settings.MenuWidth + "\">");
    file.WriteLine("<FRAME SRC=\"BLANK.HTM\" NAME=\"DATA\">");
    file.WriteLine("<FRAME SRC=\"MENU.HTM\" NAME=\"MENU\">");
  } else {
    file.WriteLine("<FRAMESET COLS=\"" + settings.MenuWidth + ",*\">");
    file.WriteLine("<FRAME SRC=\"MENU.HTM\" NAME=\"MENU\">");
    file.WriteLine("<FRAME SRC=\"BLANK.HTM\" NAME=\"DATA\">");
  }
  file.WriteLine("</FRAMESET>");
  file.WriteLine(kFixedBody);
  file.WriteLine("&nbsp;");
  WriteClosing(file);
  file.Close();
}

void WriteBlankPage(const std::string& folder) {
  LineFile file;
  file.OpenWrite(JoinPath(folder, "BLANK.HTM"));
  WriteHead(file);
  file.WriteLine(kFixedBody);
  file.WriteLine("&nbsp;");
  WriteClosing(file);
  file.Close();
}

// The frameset asks for "MENU.HTM" while the menu is written as "MENU.htm"; on a file
// system that tells letter case apart both names must reach the same file.
void LinkMenuAlias(const std::string& folder) {
  const std::string written = JoinPath(folder, "MENU.htm");
  const std::string alias = JoinPath(folder, "MENU.HTM");
  struct stat a, b;
  if (sys::Stat(written.c_str(), &a) == 0 && sys::Stat(alias.c_str(), &b) == 0 &&
      a.st_dev == b.st_dev && a.st_ino == b.st_ino) {
    return;  // already one file (or a file system that folds case)
  }
  if (sys::Unlink(alias.c_str()) != 0 && errno != ENOENT) throw IoErrorFromErrno(errno, alias);
  if (sys::Link(written.c_str(), alias.c_str()) != 0 && errno != EEXIST) {
    throw IoErrorFromErrno(errno, alias);
  }
}

void CopyTextLines(const std::string& path, LineFile& page) {
  LineFile text;
  text.OpenRead(path);
  while (!text.AtEnd()) page.WriteLine(text.ReadLine() + "<BR>");
  text.Close();
}

}  // namespace

void GenerateSite(const std::vector<std::string>& entries, const std::string& inputDir,
                  const Settings& settings) {
  FolderIndex names;
  const std::string folder = names.Path(inputDir);
  WriteSavedList(SavedListFileName(folder), entries);
  WriteFrameset(folder, settings);
  WriteBlankPage(folder);

  int pageCounter = 1;
  bool pageOpen = false;
  LineFile savedList;
  savedList.OpenRead(SavedListFileName(folder));

  LineFile menu;
  menu.OpenWrite(JoinPath(folder, "MENU.htm"));
  LinkMenuAlias(folder);
  WriteHead(menu);
  menu.WriteLine(BodyLine(settings, 0));

  LineFile page;
  while (!savedList.AtEnd()) {
    const std::string entry = savedList.ReadLine();
    if (IsHeading(entry)) {
      if (pageOpen) {
        WriteClosing(page);
        page.Close();
      }
      const std::string number = std::to_string(pageCounter);
      page.OpenWrite(JoinPath(folder, number + ".htm"));
      pageOpen = true;
      WriteHead(page);
      page.WriteLine(BodyLine(settings, 5));
      menu.WriteLine("<A HREF=\"" + number + ".htm\"TARGET=\"DATA\">" + HeadingTitle(entry) +
                     "</A><BR>");
      ++pageCounter;
    } else if (IsImageEntry(entry)) {
      // Measured at the very file the page shows, the entry inside the input directory, and
      // named in the page as it is on disk, for browsers and servers that tell letter case
      // and spellings apart.
      std::optional<FolderIndex::Entry> file = names.FindIn(folder, entry);
      if (!file) throw EFOpenError::CannotOpen(entry);
      auto [width, height] = ImageDisplaySize(file->fsPath, entry, settings.ImageLongSide);
      page.WriteLine("<IMG SRC=\"" + NameForPages(*file) + "\" WIDTH=\"" + width + "\" HEIGHT=\"" +
                     height + "\"><BR>");
    } else if (IsTextEntry(entry)) {
      std::optional<FolderIndex::Entry> file = names.FindIn(folder, entry);
      if (!file) throw EInOutError(123);  // names no file here: never opened
      CopyTextLines(file->fsPath, page);
    }
  }
  WriteClosing(page);
  page.Close();
  WriteClosing(menu);
  menu.Close();
  savedList.Close();
}

}  // namespace corvane
