#include "core/line_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <utility>

#include "core/errors.h"
#include "core/file_system.h"
#include "core/io_error.h"

namespace corvane {
namespace {

constexpr unsigned char kCR = 0x0D;
constexpr unsigned char kLF = 0x0A;
constexpr unsigned char kEOF = 0x1A;

// A descriptor closed when it goes out of scope, unless released.
class UniqueFd {
 public:
  explicit UniqueFd(int fd) : fd_(fd) {}
  ~UniqueFd() {
    if (fd_ >= 0) ::close(fd_);
  }
  UniqueFd(const UniqueFd&) = delete;
  UniqueFd& operator=(const UniqueFd&) = delete;
  int Get() const { return fd_; }
  int Release() { return std::exchange(fd_, -1); }

 private:
  int fd_;
};

// A NUL would cut the name short at the system call: such a path names nothing.
const std::string& FsNameOrFail(const std::string& path) {
  if (path.find('\0') != std::string::npos) throw EInOutError(123);
  return path;
}

[[noreturn]] void Fail(int err, const std::string& fsPath) {
  throw IoErrorFromErrno(err, fsPath);
}

// Writing over a file with no write permission bits is refused even for a user (root)
// whom the system would let through, as it would be on any other system; a directory of
// that name cannot be written either.
// Returns whether the file exists (its status in *st).
bool CheckWritableTarget(const std::string& fsPath, struct stat* st) {
  if (sys::Stat(fsPath.c_str(), st) != 0) {
    if (errno == ENOENT) return false;
    Fail(errno, fsPath);
  }
  if (S_ISDIR(st->st_mode) || (st->st_mode & 0222) == 0) Fail(EACCES, fsPath);
  return true;
}

// Opens the file and takes the whole-file lock; a lock held elsewhere gives code 32.
int OpenLocked(const std::string& fsPath, int flags, short lockType) {
  int fd = sys::Open(fsPath.c_str(), flags, 0666);
  if (fd < 0) Fail(errno, fsPath);
  if (sys::LockWholeFile(fd, lockType) != 0) {
    int err = (errno == EACCES || errno == EAGAIN) ? EAGAIN : errno;
    sys::Close(fd);
    Fail(err, fsPath);
  }
  return fd;
}

std::string TemporaryNameFor(const std::string& fsPath) {
  static std::atomic<unsigned> counter{0};
  auto slash = fsPath.rfind('/');
  std::string folder = slash == std::string::npos ? "" : fsPath.substr(0, slash + 1);
  std::string name = slash == std::string::npos ? fsPath : fsPath.substr(slash + 1);
  return folder + "." + name + "." + std::to_string(::getpid()) + "." + std::to_string(counter++) +
         ".tmp";
}

}  // namespace

LineFile::~LineFile() {
  Release();
}

void LineFile::Release() noexcept {
  if (fd_ >= 0) ::close(fd_);
  if (lockFd_ >= 0) ::close(lockFd_);
  if (!tempPath_.empty()) ::unlink(tempPath_.c_str());
  fd_ = -1;
  lockFd_ = -1;
  tempPath_.clear();
  mode_ = Mode::Closed;
}

void LineFile::Adopt(int fd, const std::string& fsPath, Mode mode) {
  fd_ = fd;
  fsPath_ = fsPath;
  mode_ = mode;
  count_ = pos_ = 0;
  eof_ = false;
}

void LineFile::OpenRead(const std::string& path) {
  if (mode_ != Mode::Closed) Close();
  std::string fsPath = FsNameOrFail(path);
  UniqueFd fd(OpenLocked(fsPath, O_RDONLY, F_RDLCK));
  struct stat st;
  if (sys::Fstat(fd.Get(), &st) != 0) Fail(errno, fsPath);
  if (S_ISDIR(st.st_mode)) Fail(EISDIR, fsPath);
  Adopt(fd.Release(), fsPath, Mode::Reading);
}

void LineFile::OpenWrite(const std::string& path) {
  if (mode_ != Mode::Closed) Close();
  std::string fsPath = FsNameOrFail(path);
  struct stat st;
  CheckWritableTarget(fsPath, &st);
  UniqueFd fd(OpenLocked(fsPath, O_WRONLY | O_CREAT, F_WRLCK));
  if (sys::Ftruncate(fd.Get()) != 0) Fail(errno, fsPath);
  Adopt(fd.Release(), fsPath, Mode::Writing);
}

void LineFile::OpenReplace(const std::string& path) {
  if (mode_ != Mode::Closed) Close();
  std::string fsPath = FsNameOrFail(path);
  // Hold the existing file's write lock until it is replaced, so that no reader or
  // writer in this or another copy of the program sees it change under it.
  struct stat st;
  const bool existed = CheckWritableTarget(fsPath, &st);
  UniqueFd lock(existed ? OpenLocked(fsPath, O_WRONLY, F_WRLCK) : -1);
  std::string temp = TemporaryNameFor(fsPath);
  UniqueFd fd(sys::Open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0666));
  if (fd.Get() < 0) Fail(errno, fsPath);
  // From here on the temporary file is ours to remove if anything fails.
  tempPath_ = temp;
  lockFd_ = lock.Release();
  Adopt(fd.Release(), fsPath, Mode::Writing);
  // The new file takes the old one's permissions.
  if (existed && sys::Fchmod(fd_, st.st_mode & 07777) != 0) {
    int err = errno;
    Release();
    Fail(err, fsPath);
  }
}

bool LineFile::FillBuffer() {
  if (eof_) return false;
  ssize_t n = sys::Read(fd_, buffer_, kBufferSize);
  if (n < 0) Fail(errno, fsPath_);
  if (n == 0) {
    eof_ = true;
    return false;
  }
  count_ = static_cast<std::size_t>(n);
  pos_ = 0;
  return true;
}

bool LineFile::AtEnd() {
  if (mode_ != Mode::Reading) return true;
  if (pos_ >= count_ && !FillBuffer()) return true;
  return buffer_[pos_] == kEOF;
}

std::string LineFile::ReadLine() {
  std::string line;
  if (mode_ != Mode::Reading) return line;
  while (true) {
    if (pos_ >= count_ && !FillBuffer()) return line;
    const unsigned char* start = buffer_ + pos_;
    const unsigned char* end = buffer_ + count_;
    const unsigned char* p = start;
    while (p < end && *p != kCR && *p != kEOF) ++p;
    line.append(reinterpret_cast<const char*>(start), p - start);
    pos_ += static_cast<std::size_t>(p - start);
    if (p == end) continue;
    if (*p == kEOF) return line;  // never consumed: the text ends here
    ++pos_;                       // the CR
    if (pos_ >= count_ && !FillBuffer()) return line;
    if (buffer_[pos_] == kLF) ++pos_;
    return line;
  }
}

void LineFile::FlushBuffer() {
  if (count_ == 0) return;
  if (sys::WriteAll(fd_, buffer_, count_) != 0) Fail(errno, fsPath_);
  count_ = 0;
}

void LineFile::WriteLine(const std::string& text) {
  if (mode_ != Mode::Writing) Fail(EBADF, fsPath_);
  auto put = [this](const char* data, std::size_t size) {
    while (size > 0) {
      std::size_t room = kBufferSize - count_;
      std::size_t n = size < room ? size : room;
      std::memcpy(buffer_ + count_, data, n);
      count_ += n;
      data += n;
      size -= n;
      if (count_ == kBufferSize) FlushBuffer();
    }
  };
  put(text.data(), text.size());
  put("\r\n", 2);
}

void LineFile::Close() {
  if (mode_ == Mode::Closed) return;
  if (mode_ == Mode::Writing) {
    FlushBuffer();
    if (!tempPath_.empty()) {
      // The new content must be on disk before it takes the old file's place.
      if (sys::Fsync(fd_) != 0) Fail(errno, fsPath_);
      int fd = fd_;
      fd_ = -1;
      if (sys::Close(fd) != 0) Fail(errno, fsPath_);
      if (sys::Rename(tempPath_.c_str(), fsPath_.c_str()) != 0) Fail(errno, fsPath_);
      tempPath_.clear();
      SyncFolder();
    }
  }
  int fd = fd_;
  fd_ = -1;
  int lockFd = lockFd_;
  lockFd_ = -1;
  mode_ = Mode::Closed;
  if (lockFd >= 0) ::close(lockFd);
  if (fd >= 0 && sys::Close(fd) != 0) Fail(errno, fsPath_);
}

void LineFile::SyncFolder() noexcept {
  auto slash = fsPath_.rfind('/');
  std::string folder = slash == std::string::npos ? "." : fsPath_.substr(0, slash + 1);
  int dirFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dirFd >= 0) {
    ::fsync(dirFd);  // best effort: the rename has happened whatever this says
    ::close(dirFd);
  }
}

}  // namespace corvane
