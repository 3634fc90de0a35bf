#include "core/io_error.h"

#include <sys/stat.h>

#include <cerrno>

#include "core/code_page.h"
#include "core/file_system.h"

namespace corvane {
namespace {

bool FolderExists(const std::string& fsPath) {
  std::size_t slash = fsPath.rfind('/');
  if (slash == std::string::npos) return true;  // the current directory
  std::string folder = slash == 0 ? "/" : fsPath.substr(0, slash);
  struct stat st;
  return sys::Stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// The code of an errno the program's table knows; 0 for any other.
int MappedCode(int err, const std::string& fsPath) {
  switch (err) {
    case ENOENT:
      return FolderExists(fsPath) ? 2 : 3;
    case ENOTDIR:
      return 3;
    case EMFILE:
    case ENFILE:
      return 4;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
      return 5;
    case EAGAIN:
      return 32;
    case ENOSPC:
    case EDQUOT:
      return 112;
    case ENAMETOOLONG:
    case EILSEQ:
      return 123;
    default:
      return 0;
  }
}

}  // namespace

EInOutError IoErrorFromErrno(int err, const std::string& fsPath) {
  int code = MappedCode(err, fsPath);
  if (code != 0) return EInOutError(code);
  // An errno the table does not know, such as EIO (5): its own number in the generic form,
  // never the message of the table code it happens to equal.
  return EInOutError(err, Sjis(u8"I/O エラー (") + std::to_string(err) + ")");
}

}  // namespace corvane
