#pragma once
// The file-system calls the program makes, in one place, so that tests can make any one of
// them fail (the fault hook) and prove that nothing is lost when they do.

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
  Truncate,
  Chmod,
  Stat,
  ReadDir
};

// Returns an errno value to make the call fail with, or 0 to let it run.
using FaultHook = std::function<int(Call)>;
void SetFaultHook(FaultHook hook);

// Each returns what the system call returns, with errno set on failure.
int Open(const char* path, int flags, mode_t mode = 0);
ssize_t Read(int fd, void* buffer, size_t size);
ssize_t Write(int fd, const void* buffer, size_t size);
// Reads at an offset without moving the file position (a skip then costs no call at all).
ssize_t Pread(int fd, void* buffer, size_t size, off_t offset);
int Fsync(int fd);
int Close(int fd);
int Rename(const char* from, const char* to);
int Unlink(const char* path);
int Link(const char* existing, const char* alias);
int Ftruncate(int fd);
int Fchmod(int fd, mode_t mode);
int Fstat(int fd, struct stat* st);
int Stat(const char* path, struct stat* st);
// The names a folder holds, "." and ".." left out, in the order the system gives them.
int ReadDirectory(const char* path, std::vector<std::string>& names);
// An open-file-description lock over the whole file, without waiting: F_RDLCK or F_WRLCK.
int LockWholeFile(int fd, short type);

// Writes all bytes, retrying short writes; -1 with errno on failure.
int WriteAll(int fd, const void* buffer, size_t size);

}  // namespace corvane::sys
