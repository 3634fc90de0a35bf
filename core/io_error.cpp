#include "core/io_error.h"

#include <sys/stat.h>

#include <cerrno>
#include <optional>

#include "core/code_page.h"
#include "core/file_system.h"
#include "core/paths.h"

namespace corvane {
namespace {

// A bare name is in the current directory or in a folder held open: that folder exists.
bool FolderExists(const std::string& fsPath) {
  const std::string folder = FsFolderOf(fsPath);
  if (folder.empty()) return true;
  struct stat st;
  return sys::Stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// The code of an errno the program's table knows; none for any other.
std::optional<IoCode> MappedCode(int err, const std::string& fsPath) {
  switch (err) {
    case ENOENT:
      return FolderExists(fsPath) ? IoCode::FileNotFound : IoCode::PathNotFound;
    case ENOTDIR:
      return IoCode::PathNotFound;
    case EMFILE:
    case ENFILE:
      return IoCode::TooManyOpenFiles;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
      return IoCode::AccessDenied;
    case EAGAIN:
      return IoCode::SharingViolation;
    case ENOSPC:
    case EDQUOT:
      return IoCode::DiskFull;
    case ENAMETOOLONG:
    case EILSEQ:
      return IoCode::InvalidName;
    default:
      return std::nullopt;
  }
}

}  // namespace

EInOutError IoErrorFromErrno(int err, const std::string& fsPath) {
  if (std::optional<IoCode> code = MappedCode(err, fsPath)) return EInOutError(*code);
  // An errno the table does not know, such as EIO (5): its own number in the generic form,
  // never the message of the table code it happens to equal.
  return EInOutError(err, Sjis(u8"I/O エラー (") + std::to_string(err) + ")");
}

}  // namespace corvane
