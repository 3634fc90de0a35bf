#include "core/whole_file.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>

#include "core/errors.h"
#include "core/file_system.h"
#include "core/io_error.h"

namespace corvane {

OpenedFile OpenWholeFile(int dir, const std::string& fsName) {
  if (fsName.find('\0') != std::string::npos) throw EInOutError(IoCode::InvalidName);
  // Never waits for a writer at a pipe; regular files ignore the flag.
  OpenedFile opened{sys::OpenHandleAt(dir, fsName.c_str(), O_RDONLY | O_NONBLOCK)};
  const int fd = opened.file.Get();
  if (fd < 0) throw IoErrorFromErrno(errno, fsName);
  struct stat st;
  if (sys::Fstat(fd, &st) != 0) throw IoErrorFromErrno(errno, fsName);
  if (!S_ISREG(st.st_mode)) throw IoErrorFromErrno(EACCES, fsName);
  // Other copies of the program write a file only under a lock; wait for none.
  if (sys::LockWholeFile(fd, F_RDLCK) != 0) {
    throw IoErrorFromErrno((errno == EACCES || errno == EAGAIN) ? EAGAIN : errno, fsName);
  }
  opened.size = st.st_size;
  return opened;
}

std::string ReadOpenedFile(OpenedFile& opened, const std::string& fsName, const std::string& entry,
                           off_t limit) {
  constexpr off_t kMiB = off_t{1} << 20;
  if (opened.size > limit) throw EFOpenError::TooLarge(entry, limit / kMiB);

  std::string bytes(static_cast<std::size_t>(opened.size), '\0');
  std::size_t have = 0;
  while (have < bytes.size()) {
    ssize_t n = sys::Pread(opened.file.Get(), bytes.data() + have, bytes.size() - have,
                           static_cast<off_t>(have));
    if (n < 0) throw IoErrorFromErrno(errno, fsName);
    if (n == 0) break;  // cut short since it was opened
    have += static_cast<std::size_t>(n);
  }
  bytes.resize(have);
  if (opened.file.Close() != 0) throw IoErrorFromErrno(errno, fsName);
  return bytes;
}

std::string ReadWholeFile(int dir, const std::string& fsName, const std::string& entry,
                          off_t limit) {
  OpenedFile opened = OpenWholeFile(dir, fsName);
  return ReadOpenedFile(opened, fsName, entry, limit);
}

}  // namespace corvane
