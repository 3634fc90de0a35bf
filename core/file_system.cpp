#include "core/file_system.h"

#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <sys/resource.h>
#include <sys/uio.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <utility>

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

template <typename F>
auto RetryOnInterrupt(F&& f) {
  decltype(f()) r;
  do {
    r = f();
  } while (r < 0 && errno == EINTR);
  return r;
}

}  // namespace

void SetFaultHook(FaultHook hook) {
  Hook() = std::move(hook);
}

FileHandle::~FileHandle() {
  if (fd_ >= 0) {
    int saved = errno;
    Close();
    errno = saved;
  }
}

FileHandle::FileHandle(FileHandle&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}

FileHandle& FileHandle::operator=(FileHandle&& other) noexcept {
  if (this != &other) {
    if (fd_ >= 0) Close();
    fd_ = std::exchange(other.fd_, -1);
  }
  return *this;
}

int FileHandle::Close() {
  if (fd_ < 0) return 0;
  return sys::Close(std::exchange(fd_, -1));
}

int OpenAt(int dir, const char* name, int flags, mode_t mode) {
  if (Injected(Call::Open)) return -1;
  return RetryOnInterrupt([&] { return ::openat(dir, name, flags | O_CLOEXEC, mode); });
}

FileHandle OpenHandleAt(int dir, const char* name, int flags, mode_t mode) {
  return FileHandle(OpenAt(dir, name, flags, mode));
}

ssize_t Read(int fd, void* buffer, size_t size) {
  if (Injected(Call::Read)) return -1;
  return RetryOnInterrupt([&] { return ::read(fd, buffer, size); });
}

ssize_t Write(int fd, const void* buffer, size_t size) {
  if (Injected(Call::Write)) return -1;
  return RetryOnInterrupt([&] { return ::write(fd, buffer, size); });
}

ssize_t Pread(int fd, void* buffer, size_t size, off_t offset) {
  if (Injected(Call::Read)) return -1;
  return RetryOnInterrupt([&] { return ::pread(fd, buffer, size, offset); });
}

ssize_t PreadNoWait(int fd, void* buffer, size_t size, off_t offset) {
  if (Injected(Call::Read)) return -1;
  iovec vector{buffer, size};
  return RetryOnInterrupt([&] { return ::preadv2(fd, &vector, 1, offset, RWF_NOWAIT); });
}

int AdviseWillNeed(int fd, off_t offset, off_t length) {
  if (Injected(Call::Advise)) return -1;
  // posix_fadvise returns its error instead of setting errno.
  int err = ::posix_fadvise(fd, offset, length, POSIX_FADV_WILLNEED);
  if (err == 0) return 0;
  errno = err;
  return -1;
}

int Fsync(int fd) {
  if (Injected(Call::Fsync)) return -1;
  return ::fsync(fd);
}

int SyncFileSystem(int fd) {
  if (Injected(Call::Fsync)) return -1;
  return ::syncfs(fd);
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

int RenameAt(int dir, const char* from, const char* to) {
  if (Injected(Call::Rename)) return -1;
  return ::renameat(dir, from, dir, to);
}

int ExchangeAt(int dir, const char* a, const char* b) {
  if (Injected(Call::Rename)) return -1;
  return ::renameat2(dir, a, dir, b, RENAME_EXCHANGE);
}

int UnlinkAt(int dir, const char* name) {
  if (Injected(Call::Unlink)) return -1;
  return ::unlinkat(dir, name, 0);
}

int LinkAt(int dir, const char* existing, const char* alias) {
  if (Injected(Call::Link)) return -1;
  return ::linkat(dir, existing, dir, alias, 0);
}

int LinkOpenFileAt(int fd, int dir, const char* alias) {
  if (Injected(Call::Link)) return -1;
  // The descriptor's entry under /proc names the open file itself, even one with no name;
  // unlike AT_EMPTY_PATH this needs no privilege.
  const std::string self = "/proc/self/fd/" + std::to_string(fd);
  return ::linkat(AT_FDCWD, self.c_str(), dir, alias, AT_SYMLINK_FOLLOW);
}

FileHandle ReopenForReading(int fd) {
  const std::string self = "/proc/self/fd/" + std::to_string(fd);
  return OpenHandle(self.c_str(), O_RDONLY | O_NONBLOCK);
}

int Fchmod(int fd, mode_t mode) {
  if (Injected(Call::Chmod)) return -1;
  return ::fchmod(fd, mode);
}

int Fstat(int fd, struct stat* st) {
  if (Injected(Call::Stat)) return -1;
  return ::fstat(fd, st);
}

int StatAt(int dir, const char* name, struct stat* st, int flags) {
  if (Injected(Call::Stat)) return -1;
  return ::fstatat(dir, name, st, flags);
}

int LockWholeFile(int fd, short type) {
  if (Injected(Call::Lock)) return -1;
  struct flock lock = {};
  lock.l_type = type;
  lock.l_whence = SEEK_SET;
  return ::fcntl(fd, F_OFD_SETLK, &lock);
}

int IsLockedByAnother(int fd) {
  if (Injected(Call::Lock)) return -1;
  struct flock lock = {};
  lock.l_type = F_WRLCK;
  lock.l_whence = SEEK_SET;
  if (::fcntl(fd, F_OFD_GETLK, &lock) != 0) return -1;
  return lock.l_type == F_UNLCK ? 0 : 1;
}

int ReadDirectory(int fd, std::vector<std::string>& names) {
  alignas(dirent64) char buffer[16384];
  while (true) {
    if (Injected(Call::ReadDirectory)) return -1;
    ssize_t n = RetryOnInterrupt([&] { return ::getdents64(fd, buffer, sizeof buffer); });
    if (n < 0) return -1;
    if (n == 0) return 0;
    for (ssize_t at = 0; at < n;) {
      auto* e = reinterpret_cast<dirent64*>(buffer + at);
      at += e->d_reclen;
      if (std::strcmp(e->d_name, ".") != 0 && std::strcmp(e->d_name, "..") != 0) {
        names.emplace_back(e->d_name);
      }
    }
  }
}

int CurrentDirectory(std::string& path) {
  if (Injected(Call::CurrentDirectory)) return -1;
  struct Free {
    void operator()(char* p) const { std::free(p); }
  };
  std::unique_ptr<char, Free> cwd(::getcwd(nullptr, 0));
  if (!cwd) return -1;
  path = cwd.get();
  return 0;
}

int ChangeDirectory(const char* path) {
  if (Injected(Call::ChangeDirectory)) return -1;
  return ::chdir(path);
}

void AllowManyOpenFiles() {
  static const bool raised = [] {
    struct rlimit limit;
    if (::getrlimit(RLIMIT_NOFILE, &limit) != 0) return false;
    limit.rlim_cur = limit.rlim_max;
    return ::setrlimit(RLIMIT_NOFILE, &limit) == 0;
  }();
  (void)raised;
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
