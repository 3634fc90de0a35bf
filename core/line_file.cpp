#include "core/line_file.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <utility>

#include "core/errors.h"
#include "core/file_system.h"
#include "core/io_error.h"

namespace corvane {
namespace {

constexpr unsigned char kCR = 0x0D;
constexpr unsigned char kLF = 0x0A;
constexpr unsigned char kEOF = 0x1A;

// A NUL would cut the name short at the system call: such a path names nothing.
const std::string& FsNameOrFail(const std::string& path) {
  if (path.find('\0') != std::string::npos) throw EInOutError(IoCode::InvalidName);
  return path;
}

[[noreturn]] void Fail(int err, const std::string& fsPath) {
  throw IoErrorFromErrno(err, fsPath);
}

}  // namespace

LineFile::~LineFile() = default;

void LineFile::Reset() noexcept {
  reading_ = sys::FileHandle();
  writing_.reset();
  mode_ = Mode::Closed;
  count_ = pos_ = 0;
  pending_.clear();
  eof_ = false;
}

int LineFile::Fd() const {
  return mode_ == Mode::Reading ? reading_.Get() : writing_->Fd();
}

void LineFile::OpenRead(const std::string& path) {
  if (mode_ != Mode::Closed) Close();
  std::string fsPath = FsNameOrFail(path);
  // Never waits for a writer at a pipe; regular files ignore the flag.
  sys::FileHandle file = sys::OpenHandle(fsPath.c_str(), O_RDONLY | O_NONBLOCK);
  if (!file) Fail(errno, fsPath);
  struct stat st;
  if (sys::Fstat(file.Get(), &st) != 0) Fail(errno, fsPath);
  if (!S_ISREG(st.st_mode)) Fail(EACCES, fsPath);
  if (sys::LockWholeFile(file.Get(), F_RDLCK) != 0) {
    Fail((errno == EACCES || errno == EAGAIN) ? EAGAIN : errno, fsPath);
  }
  Reset();
  fsPath_ = fsPath;
  reading_ = std::move(file);
  mode_ = Mode::Reading;
}

void LineFile::StartWriting(const std::string& path, bool sweep) {
  if (mode_ != Mode::Closed) Close();
  std::string fsPath = FsNameOrFail(path);
  if (sweep) RemoveStaleTemporaries(fsPath.substr(0, fsPath.rfind('/') + 1));
  StagedFile staged(fsPath);
  Reset();
  fsPath_ = fsPath;
  writing_.emplace(std::move(staged));
  mode_ = Mode::Writing;
}

void LineFile::OpenReplace(const std::string& path) {
  StartWriting(path, true);
}

void LineFile::OpenStaged(const std::string& path) {
  StartWriting(path, false);
}

bool LineFile::FillBuffer() {
  if (eof_) return false;
  ssize_t n = sys::Read(Fd(), buffer_, kBufferSize);
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
    while (p < end && *p != kCR && *p != kLF && *p != kEOF) ++p;
    line.append(reinterpret_cast<const char*>(start), p - start);
    pos_ += static_cast<std::size_t>(p - start);
    if (p == end) continue;
    if (*p == kEOF) return line;  // never consumed: the text ends here
    ++pos_;                       // the CR or LF
    if (*p == kLF) return line;
    if (pos_ >= count_ && !FillBuffer()) return line;
    if (buffer_[pos_] == kLF) ++pos_;
    return line;
  }
}

std::string LineFile::ReadRest() {
  std::string rest;
  if (mode_ != Mode::Reading) return rest;
  while (pos_ < count_ || FillBuffer()) {
    rest.append(reinterpret_cast<const char*>(buffer_) + pos_, count_ - pos_);
    pos_ = count_;
  }
  return rest;
}

void LineFile::FlushBuffer() {
  if (pending_.empty()) return;
  if (sys::WriteAll(Fd(), pending_.data(), pending_.size()) != 0) Fail(errno, fsPath_);
  pending_.clear();
}

void LineFile::WriteLine(const std::string& text) {
  if (mode_ != Mode::Writing) Fail(EBADF, fsPath_);
  pending_ += text;
  pending_ += "\r\n";
  if (pending_.size() >= kWriteBlock) FlushBuffer();
}

void LineFile::Close() {
  switch (mode_) {
    case Mode::Closed:
      return;
    case Mode::Reading: {
      sys::FileHandle file = std::move(reading_);
      Reset();
      if (file.Close() != 0) Fail(errno, fsPath_);
      return;
    }
    case Mode::Writing:
      TakeStaged().Commit();
      return;
  }
}

StagedFile LineFile::TakeStaged() {
  if (mode_ != Mode::Writing) Fail(EBADF, fsPath_);
  FlushBuffer();
  StagedFile staged = std::move(*writing_);
  Reset();
  return staged;
}

}  // namespace corvane
