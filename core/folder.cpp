#include "core/folder.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>

#include "core/io_error.h"
#include "core/paths.h"

namespace corvane {

Folder::Folder(const std::string& fsPath) : fsPath_(fsPath) {
  fd_ = sys::OpenHandle(fsPath.empty() ? "." : fsPath.c_str(), O_RDONLY | O_DIRECTORY);
  // Named as the folder itself, so that a missing folder is the missing path (code 3).
  if (!fd_) throw IoErrorFromErrno(errno, JoinPath(fsPath, "."));
}

bool Folder::FoldsLetterCase(const std::string& name) const {
  std::string upper = name;
  for (char& c : upper) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  if (upper == name) return false;
  struct stat lower, other;
  return sys::StatAt(Fd(), name.c_str(), &lower, AT_SYMLINK_NOFOLLOW) == 0 &&
         sys::StatAt(Fd(), upper.c_str(), &other, AT_SYMLINK_NOFOLLOW) == 0 &&
         lower.st_dev == other.st_dev && lower.st_ino == other.st_ino;
}

void Folder::Sync() const noexcept {
  sys::Fsync(Fd());
}

}  // namespace corvane
