#include "core/file_system.h"

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <string_view>

namespace corvane::sys {
namespace {

FaultHook& Hook() {
  static FaultHook hook;
  return hook;
}

// True (with errno set) when the hook wants this call to fail.
bool Injected(Call call) {
  if (!Hook()) return false;
  int err = Hook()(call);
  if (err == 0) return false;
  errno = err;
  return true;
}

}  // namespace

void SetFaultHook(FaultHook hook) {
  Hook() = std::move(hook);
}

int Open(const char* path, int flags, mode_t mode) {
  if (Injected(Call::Open)) return -1;
  int fd;
  do {
    fd = ::open(path, flags | O_CLOEXEC, mode);
  } while (fd < 0 && errno == EINTR);
  return fd;
}

ssize_t Read(int fd, void* buffer, size_t size) {
  if (Injected(Call::Read)) return -1;
  ssize_t n;
  do {
    n = ::read(fd, buffer, size);
  } while (n < 0 && errno == EINTR);
  return n;
}

ssize_t Write(int fd, const void* buffer, size_t size) {
  if (Injected(Call::Write)) return -1;
  ssize_t n;
  do {
    n = ::write(fd, buffer, size);
  } while (n < 0 && errno == EINTR);
  return n;
}

ssize_t Pread(int fd, void* buffer, size_t size, off_t offset) {
  if (Injected(Call::Read)) return -1;
  ssize_t n;
  do {
    n = ::pread(fd, buffer, size, offset);
  } while (n < 0 && errno == EINTR);
  return n;
}

int Fsync(int fd) {
  if (Injected(Call::Fsync)) return -1;
  return ::fsync(fd);
}

int Close(int fd) {
  // The descriptor is released even when the hook fails the call, as close(2) does.
  if (Injected(Call::Close)) {
    int err = errno;
    ::close(fd);
    errno = err;
    return -1;
  }
  return ::close(fd);
}

int Rename(const char* from, const char* to) {
  if (Injected(Call::Rename)) return -1;
  return ::rename(from, to);
}

int Unlink(const char* path) {
  if (Injected(Call::Unlink)) return -1;
  return ::unlink(path);
}

int Link(const char* existing, const char* alias) {
  if (Injected(Call::Link)) return -1;
  return ::link(existing, alias);
}

int Ftruncate(int fd) {
  if (Injected(Call::Truncate)) return -1;
  return ::ftruncate(fd, 0);
}

int Fchmod(int fd, mode_t mode) {
  if (Injected(Call::Chmod)) return -1;
  return ::fchmod(fd, mode);
}

int Fstat(int fd, struct stat* st) {
  if (Injected(Call::Stat)) return -1;
  return ::fstat(fd, st);
}

int Stat(const char* path, struct stat* st) {
  if (Injected(Call::Stat)) return -1;
  return ::stat(path, st);
}

int ReadDirectory(const char* path, std::vector<std::string>& names) {
  names.clear();
  if (Injected(Call::ReadDir)) return -1;
  DIR* dir = ::opendir(path);
  if (!dir) return -1;
  int err = 0;
  while (true) {
    errno = 0;
    const struct dirent* e = ::readdir(dir);
    if (!e) {
      err = errno;
      break;
    }
    const std::string_view name(e->d_name);
    if (name != "." && name != "..") names.emplace_back(name);
  }
  ::closedir(dir);
  errno = err;
  return err == 0 ? 0 : -1;
}

int LockWholeFile(int fd, short type) {
  if (Injected(Call::Lock)) return -1;
  struct flock lock = {};
  lock.l_type = type;
  lock.l_whence = SEEK_SET;
  lock.l_start = 0;
  lock.l_len = 0;
  return ::fcntl(fd, F_OFD_SETLK, &lock);
}

int WriteAll(int fd, const void* buffer, size_t size) {
  const char* p = static_cast<const char*>(buffer);
  while (size > 0) {
    ssize_t n = Write(fd, p, size);
    if (n < 0) return -1;
    if (n == 0) {
      errno = ENOSPC;
      return -1;
    }
    p += n;
    size -= static_cast<size_t>(n);
  }
  return 0;
}

}  // namespace corvane::sys
