#include "core/folder.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <vector>

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
  // The other spelling reaches a file, and the folder does not list it as a name of its own:
  // it is the same file. (Through FUSE the two spellings may show different inode numbers,
  // so those cannot tell.)
  struct stat st, lower;
  if (sys::StatAt(Fd(), upper.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) return false;
  // A second link to the same file under the other spelling is a name of its own (the alias
  // a file system that tells letter case apart is given); only otherwise is the folder read.
  if (st.st_nlink > 1 && sys::StatAt(Fd(), name.c_str(), &lower, AT_SYMLINK_NOFOLLOW) == 0 &&
      lower.st_dev == st.st_dev && lower.st_ino == st.st_ino) {
    return false;
  }
  sys::FileHandle listing = sys::OpenHandleAt(Fd(), ".", O_RDONLY | O_DIRECTORY);
  std::vector<std::string> names;
  if (!listing || sys::ReadDirectory(listing.Get(), names) != 0) return false;
  return std::find(names.begin(), names.end(), upper) == names.end();
}

std::optional<FolderId> Folder::IdOf(const std::string& fsPath) {
  struct stat st;
  if (sys::Stat(fsPath.empty() ? "." : fsPath.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
    return std::nullopt;
  }
  return FolderId{st.st_dev, st.st_ino};
}

void Folder::ExpectChosen(const std::optional<FolderId>& chosen) const {
  if (!chosen) return;
  struct stat st;
  if (sys::Fstat(Fd(), &st) != 0) throw IoErrorFromErrno(errno, JoinPath(fsPath_, "."));
  if (FolderId{st.st_dev, st.st_ino} != *chosen) throw EInOutError(IoCode::PathNotFound);
}

}  // namespace corvane
