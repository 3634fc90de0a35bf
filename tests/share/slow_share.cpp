// A folder served through FUSE the way a network share serves it: every request waits a fixed
// delay before it is answered, and requests are answered in parallel, by as many threads as
// ask. A server that stops answering: a read of a file whose name holds "stall", any request
// on a name holding "stuck", and a rename onto a name that the served folder's file
// "stall-renames" lists (a name a line) are never answered until the share is unmounted
// (SIGTERM). For the share tests and the benchmark:
//
//   slow_share SOURCE MOUNTPOINT DELAY_US   (stays in the foreground until unmounted)

#define FUSE_USE_VERSION 312
#include <dirent.h>
#include <fcntl.h>
#include <fuse3/fuse.h>
#include <fuse3/fuse_lowlevel.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

namespace {

int source = -1;  // the served folder
std::chrono::microseconds delay{0};
std::atomic<bool> ending{false};

// Names relative to the served folder: "/" is ".", "/a" is "a".
const char* Rel(const char* path) {
  return path[1] == '\0' ? "." : path + 1;
}

int Wait(const char* path, bool reading = false) {
  if (std::strstr(path, "stuck") != nullptr || (reading && std::strstr(path, "stall") != nullptr)) {
    while (!ending && !fuse_session_exited(fuse_get_session(fuse_get_context()->fuse))) {
      // As a network file system does, a request is given up when the process that made it
      // is killed (the system sends an interrupt then).
      if (fuse_interrupted()) return -EINTR;
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return -EIO;
  }
  if (delay.count() > 0) std::this_thread::sleep_for(delay);
  return 0;
}

int Result(int r) {
  return r < 0 ? -errno : r;
}

#define WAIT(...)                                   \
  do {                                              \
    if (int w = Wait(__VA_ARGS__); w < 0) return w; \
  } while (0)

int GetAttr(const char* path, struct stat* st, fuse_file_info* fi) {
  WAIT(path);
  if (fi != nullptr) return Result(::fstat(static_cast<int>(fi->fh), st));
  return Result(::fstatat(source, Rel(path), st, AT_SYMLINK_NOFOLLOW));
}

int ReadLink(const char* path, char* buf, size_t size) {
  WAIT(path);
  ssize_t n = ::readlinkat(source, Rel(path), buf, size - 1);
  if (n < 0) return -errno;
  buf[n] = '\0';
  return 0;
}

int ReadDir(const char* path, void* buf, fuse_fill_dir_t fill, off_t, fuse_file_info*,
            fuse_readdir_flags) {
  WAIT(path);
  int fd = ::openat(source, Rel(path), O_RDONLY | O_DIRECTORY);
  if (fd < 0) return -errno;
  DIR* dir = ::fdopendir(fd);
  if (dir == nullptr) {
    ::close(fd);
    return -errno;
  }
  while (dirent* e = ::readdir(dir)) fill(buf, e->d_name, nullptr, 0, fuse_fill_dir_flags{});
  ::closedir(dir);
  return 0;
}

int Open(const char* path, fuse_file_info* fi) {
  WAIT(path);
  int fd = ::openat(source, Rel(path), fi->flags & ~O_NOFOLLOW);
  if (fd < 0) return -errno;
  fi->fh = static_cast<uint64_t>(fd);
  return 0;
}

int Create(const char* path, mode_t mode, fuse_file_info* fi) {
  WAIT(path);
  int fd = ::openat(source, Rel(path), fi->flags, mode);
  if (fd < 0) return -errno;
  fi->fh = static_cast<uint64_t>(fd);
  return 0;
}

int Read(const char* path, char* buf, size_t size, off_t offset, fuse_file_info* fi) {
  WAIT(path, true);
  return Result(static_cast<int>(::pread(static_cast<int>(fi->fh), buf, size, offset)));
}

int Write(const char* path, const char* buf, size_t size, off_t offset, fuse_file_info* fi) {
  WAIT(path);
  return Result(static_cast<int>(::pwrite(static_cast<int>(fi->fh), buf, size, offset)));
}

int Flush(const char* path, fuse_file_info*) {
  WAIT(path);
  return 0;
}

int Release(const char*, fuse_file_info* fi) {
  ::close(static_cast<int>(fi->fh));
  return 0;
}

int Fsync(const char* path, int, fuse_file_info* fi) {
  WAIT(path);
  return Result(::fsync(static_cast<int>(fi->fh)));
}

int Unlink(const char* path) {
  WAIT(path);
  return Result(::unlinkat(source, Rel(path), 0));
}

int Rmdir(const char* path) {
  WAIT(path);
  return Result(::unlinkat(source, Rel(path), AT_REMOVEDIR));
}

int Mkdir(const char* path, mode_t mode) {
  WAIT(path);
  return Result(::mkdirat(source, Rel(path), mode));
}

// Whether the bare name `to` is listed in the served folder's "stall-renames".
bool StallsRenameOnto(const char* to) {
  int fd = ::openat(source, "stall-renames", O_RDONLY);
  if (fd < 0) return false;
  char list[4096];
  const ssize_t n = ::read(fd, list, sizeof list - 1);
  ::close(fd);
  if (n <= 0) return false;
  list[n] = '\0';
  const char* name = std::strrchr(to, '/') + 1;
  char* rest = nullptr;
  for (char* line = ::strtok_r(list, "\n", &rest); line != nullptr;
       line = ::strtok_r(nullptr, "\n", &rest)) {
    if (std::strcmp(line, name) == 0) return true;
  }
  return false;
}

int Rename(const char* from, const char* to, unsigned int flags) {
  WAIT(StallsRenameOnto(to) ? "stuck" : from);
  return Result(::renameat2(source, Rel(from), source, Rel(to), flags));
}

int Link(const char* from, const char* to) {
  WAIT(from);
  return Result(::linkat(source, Rel(from), source, Rel(to), 0));
}

int Symlink(const char* target, const char* path) {
  WAIT(path);
  return Result(::symlinkat(target, source, Rel(path)));
}

int Chmod(const char* path, mode_t mode, fuse_file_info* fi) {
  WAIT(path);
  if (fi != nullptr) return Result(::fchmod(static_cast<int>(fi->fh), mode));
  return Result(::fchmodat(source, Rel(path), mode, 0));
}

int Truncate(const char* path, off_t size, fuse_file_info* fi) {
  WAIT(path);
  if (fi != nullptr) return Result(::ftruncate(static_cast<int>(fi->fh), size));
  int fd = ::openat(source, Rel(path), O_WRONLY);
  if (fd < 0) return -errno;
  int r = Result(::ftruncate(fd, size));
  ::close(fd);
  return r;
}

int Utimens(const char* path, const timespec tv[2], fuse_file_info* fi) {
  WAIT(path);
  if (fi != nullptr) return Result(::futimens(static_cast<int>(fi->fh), tv));
  return Result(::utimensat(source, Rel(path), tv, AT_SYMLINK_NOFOLLOW));
}

int StatFs(const char* path, struct statvfs* st) {
  WAIT(path);
  return Result(::fstatvfs(source, st));
}

void* Init(fuse_conn_info* conn, fuse_config* cfg) {
  // Requests the kernel sends on its own (reading ahead, writing back) in parallel too.
  conn->max_background = 128;
  conn->congestion_threshold = 96;
  cfg->use_ino = 1;
  // A request whose process is killed is interrupted: see Wait.
  cfg->intr = 1;
  return nullptr;
}

void Destroy(void*) {
  ending = true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: %s SOURCE MOUNTPOINT DELAY_US\n", argv[0]);
    return 2;
  }
  source = ::open(argv[1], O_RDONLY | O_DIRECTORY);
  if (source < 0) {
    std::perror(argv[1]);
    return 1;
  }
  delay = std::chrono::microseconds(std::atol(argv[3]));
  fuse_operations ops{};
  ops.getattr = GetAttr;
  ops.readlink = ReadLink;
  ops.readdir = ReadDir;
  ops.open = Open;
  ops.create = Create;
  ops.read = Read;
  ops.write = Write;
  ops.flush = Flush;
  ops.release = Release;
  ops.fsync = Fsync;
  ops.unlink = Unlink;
  ops.rmdir = Rmdir;
  ops.mkdir = Mkdir;
  ops.rename = Rename;
  ops.link = Link;
  ops.symlink = Symlink;
  ops.chmod = Chmod;
  ops.truncate = Truncate;
  ops.utimens = Utimens;
  ops.statfs = StatFs;
  ops.init = Init;
  ops.destroy = Destroy;
  // Many threads (a share answers requests in parallel), open to every user (the tests run
  // parts as another user), and the source's own permission checks.
  char arg0[] = "slow_share";
  char opt[] = "-o";
  char opts[] = "allow_other,default_permissions,fsname=slow_share";
  char* argvFuse[] = {arg0, opt, opts, nullptr};
  fuse_args args = FUSE_ARGS_INIT(3, argvFuse);
  fuse* f = fuse_new(&args, &ops, sizeof ops, nullptr);
  if (f == nullptr) return 1;
  if (fuse_mount(f, argv[2]) != 0) {
    fuse_destroy(f);
    return 1;
  }
  fuse_set_signal_handlers(fuse_get_session(f));
  // The library tells a thread of an interrupt with this signal; Wait looks for it itself.
  struct sigaction ignore {};
  ignore.sa_handler = [](int) {};
  ::sigaction(SIGUSR1, &ignore, nullptr);
  fuse_loop_config* config = fuse_loop_cfg_create();
  fuse_loop_cfg_set_max_threads(config, 256);
  fuse_loop_cfg_set_idle_threads(config, 256);
  const int result = fuse_loop_mt(f, config);
  fuse_loop_cfg_destroy(config);
  fuse_remove_signal_handlers(fuse_get_session(f));
  fuse_unmount(f);
  fuse_destroy(f);
  return result == 0 ? 0 : 1;
}
