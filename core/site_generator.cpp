#include "core/site_generator.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <optional>

#include "core/entry_reader.h"
#include "core/file_system.h"
#include "core/folder.h"
#include "core/folder_index.h"
#include "core/image_size.h"
#include "core/io_error.h"
#include "core/line_file.h"
#include "core/list_entries.h"
#include "core/page_file.h"
#include "core/paths.h"
#include "core/saved_list.h"
#include "core/staged_file.h"
#include "core/text_decoding.h"

namespace corvane {
namespace {

const std::string kFixedBody =
    "<body text=\"#FFFFFF\" bgcolor=\"#000000\" link=\"#FFFF00\" vlink=\"#C0C0C0\" "
    "alink=\"#C0FFC0\">";

void WriteHead(PageFile& file) {
  file.WriteLine("<html>");
  file.WriteLine("<head>");
  // Undeclared, browsers guess an encoding per page and frame, and guess wrong.
  file.WriteLine("<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=UTF-8\">");
  file.WriteLine("<META NAME=\"GENERATOR\" CONTENT=\"Corvane ver 1.2\">");
  file.WriteLine("</head>");
}

void WriteClosing(PageFile& file) {
  file.WriteLine("</body>");
  file.WriteLine("</html>");
}

// The body tag of the menu page (colours 0..4) or the content pages (colours 5..9).
std::string BodyLine(const Settings& settings, int first) {
  const auto& c = settings.HtmlColors;
  return "<body text=\"" + c[first] + "\" bgcolor=\"" + c[first + 1] + "\" link=\"" + c[first + 2] +
         "\" vlink=\"" + c[first + 3] + "\" alink=\"" + c[first + 4] + "\">";
}

StagedFile WriteFrameset(const Folder& folder, const Settings& settings) {
  PageFile file;
  file.OpenStaged(folder.Fd(), "CASE.HTM");
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
  return file.TakeStaged();
}

StagedFile WriteBlankPage(const Folder& folder) {
  PageFile file;
  file.OpenStaged(folder.Fd(), "BLANK.HTM");
  WriteHead(file);
  file.WriteLine(kFixedBody);
  file.WriteLine("&nbsp;");
  WriteClosing(file);
  return file.TakeStaged();
}

// The frameset asks for "MENU.HTM" while the menu is written as "MENU.htm"; on a file
// system that tells letter case apart both names must reach the same file, so the menu is
// put in place under both. Returns the second name, none where the file system folds case
// (FAT, exFAT: the two are one name, and a second could not be linked). A folder there is
// refused, as the menu's own name is.
std::optional<std::string> MenuAliasName(const Folder& folder, const std::string& lowerCaseFile) {
  if (folder.FoldsLetterCase(lowerCaseFile)) return std::nullopt;
  const std::string alias = "MENU.HTM";
  struct stat st;
  if (sys::StatAt(folder.Fd(), alias.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
    if (errno != ENOENT) throw IoErrorFromErrno(errno, alias);
  } else if (S_ISDIR(st.st_mode)) {
    throw IoErrorFromErrno(EACCES, alias);
  }
  return alias;
}

// The file is decoded whole before it is split: in UTF-16 a line-end byte can be half of
// another character.
void CopyTextLines(const std::string& bytes, PageFile& page) {
  for (const std::string& line : TextLines(DecodeText(bytes))) page.WriteUtf8Line(line + "<BR>");
}

}  // namespace

void GenerateSite(const std::vector<std::string>& entries, const std::string& inputDir,
                  const Settings& settings, const std::optional<FolderId>& chosen,
                  RunControl* control) {
  if (control) control->SetTotal(entries.size());
  sys::AllowManyOpenFiles();  // files are read ahead while they may
  FolderIndex names;
  // Every file of the run is named relative to this one descriptor of the folder.
  const Folder folder(names.Path(inputDir));
  folder.ExpectChosen(chosen);
  LockFolderForRun(folder.Fd());
  // The pages are made from the list as written, read back through the descriptor that
  // wrote it: whatever is put at its name meanwhile is never read.
  LineFile savedList;
  WriteSavedList(folder, entries, savedList);
  StagedFile frameset = WriteFrameset(folder, settings);
  StagedFile blank = WriteBlankPage(folder);

  int pageCounter = 1;
  bool pageOpen = false;

  PageFile menu;
  menu.OpenStaged(folder.Fd(), "MENU.htm");
  const std::optional<std::string> menuAlias = MenuAliasName(folder, SavedListFileName(""));
  WriteHead(menu);
  menu.WriteLine(BodyLine(settings, 0));

  std::vector<StagedFile> pages;
  PageFile page;
  EntryReader files(entries, names, folder, control);
  while (!savedList.AtEnd()) {
    if (control) control->ThrowIfCancelled();
    const std::string entry = savedList.ReadLine();
    if (IsHeading(entry)) {
      if (pageOpen) {
        WriteClosing(page);
        pages.push_back(page.TakeStaged());
        pages.back().Park();
      }
      const std::string number = std::to_string(pageCounter);
      page.OpenStaged(folder.Fd(), number + ".htm");
      pageOpen = true;
      WriteHead(page);
      page.WriteLine(BodyLine(settings, 5));
      menu.WriteLine("<A HREF=\"" + number + ".htm\"TARGET=\"DATA\">" + HeadingTitle(entry) +
                     "</A><BR>");
      ++pageCounter;
    } else if (IsImageEntry(entry)) {
      // Measured at the very file the page shows, and named in the page as it is on disk,
      // for browsers and servers that tell letter case and spellings apart.
      const EntryReader::Picture picture = files.ReadPicture(entry);
      auto [width, height] =
          DisplaySizeTexts(picture.width, picture.height, settings.ImageLongSide);
      // The size texts passed TextToInteger: ASCII, the same bytes in UTF-8.
      page.WriteUtf8Line("<IMG SRC=\"" + NameForPages(picture.file) + "\" WIDTH=\"" + width +
                         "\" HEIGHT=\"" + height + "\"><BR>");
    } else if (IsTextEntry(entry)) {
      CopyTextLines(files.ReadText(entry), page);
    }
    if (control) control->Advance();
  }
  WriteClosing(page);
  pages.push_back(page.TakeStaged());
  WriteClosing(menu);
  StagedFile menuFile = menu.TakeStaged();
  savedList.Close();

  // Nothing was put in place until every page was written. The order keeps every link
  // working should the program die between two renames: the pages first (the menu in place
  // may name a page number that already shows new content, but never one that is missing),
  // then the blank page and the menu under both its names, and the frameset that refers to
  // them last.
  std::vector<std::pair<const StagedFile*, std::string>> order;
  order.reserve(pages.size() + 4);
  for (const StagedFile& p : pages) order.emplace_back(&p, p.Name());
  order.emplace_back(&blank, blank.Name());
  order.emplace_back(&menuFile, menuFile.Name());
  if (menuAlias) order.emplace_back(&menuFile, *menuAlias);
  order.emplace_back(&frameset, frameset.Name());
  // A cancelled run stops here at the latest; once the renames begin, it is too late to stop.
  if (control) control->BeginCommit();
  CommitTogether(order);
}

}  // namespace corvane
