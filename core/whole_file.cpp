#include "core/whole_file.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>

#include "core/errors.h"
#include "core/file_system.h"
#include "core/io_error.h"

namespace corvane {

std::string ReadWholeFile(int dir, const std::string& fsName, const std::string& entry,
                          off_t limit) {
  if (fsName.find('\0') != std::string::npos) throw EInOutError(IoCode::InvalidName);
  sys::FileHandle file = sys::OpenHandleAt(dir, fsName.c_str(), O_RDONLY | O_NONBLOCK);
  if (!file) throw IoErrorFromErrno(errno, fsName);
  struct stat st;
  if (sys::Fstat(file.Get(), &st) != 0) throw IoErrorFromErrno(errno, fsName);
  if (!S_ISREG(st.st_mode)) throw IoErrorFromErrno(EACCES, fsName);
  // Other copies of the program write a file only under a lock; wait for none.
  if (sys::LockWholeFile(file.Get(), F_RDLCK) != 0) {
    throw IoErrorFromErrno((errno == EACCES || errno == EAGAIN) ? EAGAIN : errno, fsName);
  }
  constexpr off_t kMiB = off_t{1} << 20;
  if (st.st_size > limit) throw EFOpenError::TooLarge(entry, limit / kMiB);

  std::string bytes(static_cast<std::size_t>(st.st_size), '\0');
  std::size_t have = 0;
  while (have < bytes.size()) {
    ssize_t n =
        sys::Pread(file.Get(), bytes.data() + have, bytes.size() - have, static_cast<off_t>(have));
    if (n < 0) throw IoErrorFromErrno(errno, fsName);
    if (n == 0) break;  // cut short since it was opened
    have += static_cast<std::size_t>(n);
  }
  bytes.resize(have);
  if (file.Close() != 0) throw IoErrorFromErrno(errno, fsName);
  return bytes;
}

}  // namespace corvane
