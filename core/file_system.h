#pragma once
// The file-system calls the program makes, in one place, so that tests can make any one of
// them fail (the fault hook) and prove that nothing is lost when they do. Nothing else in
// the program calls the system about files, folders or the current directory.

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/types.h>

#include <functional>
#include <string>
#include <vector>

namespace corvane::sys {

enum class Call {
  Open,
  Read,
  Write,
  Fsync,
  Close,
  Rename,
  Unlink,
  Link,
  Lock,
  Chmod,
  Stat,
  ReadDirectory,
  CurrentDirectory,
  ChangeDirectory,
  Advise
};

// Returns an errno value to make the call fail with, or 0 to let it run. It may also throw
// (a test raises std::bad_alloc that way); the call is then not made.
using FaultHook = std::function<int(Call)>;
void SetFaultHook(FaultHook hook);

// The one owner of a descriptor: files, images and folders alike. Closing through Close()
// reports the error; the destructor closes and ignores it (an error is already on its way).
class FileHandle {
 public:
  FileHandle() = default;
  explicit FileHandle(int fd) : fd_(fd) {}
  ~FileHandle();
  FileHandle(FileHandle&& other) noexcept;
  FileHandle& operator=(FileHandle&& other) noexcept;
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;

  int Get() const { return fd_; }
  explicit operator bool() const { return fd_ >= 0; }
  // Closes now; what close(2) returns, with errno set on failure. The handle is empty after.
  int Close();

 private:
  int fd_ = -1;
};

// Each returns what the system call returns, with errno set on failure.
//
// The calls taking `dir` resolve a name from an open folder (AT_FDCWD: the current
// directory), never from the folder's path: a run holds its folder open and names every file
// in it this way, so a folder renamed or replaced by a link mid-run is never entered again.
int OpenAt(int dir, const char* name, int flags, mode_t mode = 0);
FileHandle OpenHandleAt(int dir, const char* name, int flags, mode_t mode = 0);
inline int Open(const char* path, int flags, mode_t mode = 0) {
  return OpenAt(AT_FDCWD, path, flags, mode);
}
inline FileHandle OpenHandle(const char* path, int flags, mode_t mode = 0) {
  return OpenHandleAt(AT_FDCWD, path, flags, mode);
}
ssize_t Read(int fd, void* buffer, size_t size);
ssize_t Write(int fd, const void* buffer, size_t size);
// Reads at an offset without moving the file position (a skip then costs no call at all).
ssize_t Pread(int fd, void* buffer, size_t size, off_t offset);
// The same, but only what is in memory: EAGAIN when the bytes would have to come from the
// disk, EOPNOTSUPP where the file system cannot tell.
ssize_t PreadNoWait(int fd, void* buffer, size_t size, off_t offset);
// Asks the kernel to start reading a range of the file into memory, without waiting.
int AdviseWillNeed(int fd, off_t offset, off_t length);
int Fsync(int fd);
// Flushes every file of the file system holding fd to disk (one flush for many files).
int SyncFileSystem(int fd);
int Close(int fd);
int RenameAt(int dir, const char* from, const char* to);
// Swaps the two names atomically; EINVAL where the file system cannot.
int ExchangeAt(int dir, const char* a, const char* b);
int UnlinkAt(int dir, const char* name);
int LinkAt(int dir, const char* existing, const char* alias);
// Gives an open file (an unnamed temporary one included) the name `alias`.
int LinkOpenFileAt(int fd, int dir, const char* alias);
// Opens the very file `fd` holds once more, for reading, through the descriptor and not by
// any name: what has been put at its name since is never reached. (A file system driver may
// not read back through the descriptor that wrote: fusefat gives zeros.)
FileHandle ReopenForReading(int fd);
int Fchmod(int fd, mode_t mode);
int Fstat(int fd, struct stat* st);
// flags: 0 follows a symbolic link at the name, AT_SYMLINK_NOFOLLOW describes the link.
int StatAt(int dir, const char* name, struct stat* st, int flags = 0);
inline int Stat(const char* path, struct stat* st) {
  return StatAt(AT_FDCWD, path, st);
}
inline int Lstat(const char* path, struct stat* st) {
  return StatAt(AT_FDCWD, path, st, AT_SYMLINK_NOFOLLOW);
}
// An open-file-description lock over the whole file, without waiting: F_RDLCK or F_WRLCK.
int LockWholeFile(int fd, short type);
// Whether a whole-file lock of another open file description conflicts with a write lock:
// 1 if locked, 0 if not, -1 with errno on failure.
int IsLockedByAnother(int fd);
// The names in an open folder ("." and ".." left out); -1 with errno on failure.
int ReadDirectory(int fd, std::vector<std::string>& names);
int CurrentDirectory(std::string& path);
int ChangeDirectory(const char* path);

// Raises this process's limit of open descriptors to the most it may have (once).
void AllowManyOpenFiles();

// Writes all bytes, retrying short writes; -1 with errno on failure.
int WriteAll(int fd, const void* buffer, size_t size);

}  // namespace corvane::sys
