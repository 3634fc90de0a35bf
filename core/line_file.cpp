#include "core/line_file.h"

#include <fcntl.h>

#include <algorithm>
#include <cerrno>
#include <utility>

#include "core/errors.h"
#include "core/file_system.h"
#include "core/io_error.h"
#include "core/paths.h"
#include "core/whole_file.h"

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
  offset_ = size_ = 0;
  pending_.clear();
  eof_ = false;
}

int LineFile::Fd() const {
  return mode_ == Mode::Reading ? reading_.Get() : writing_->Fd();
}

void LineFile::OpenRead(int dir, const std::string& name) {
  if (mode_ != Mode::Closed) Close();
  OpenedFile opened = OpenWholeFile(dir, name);
  StartReading(std::move(opened.file), name, opened.size);
}

void LineFile::StartReading(sys::FileHandle file, const std::string& name, off_t size) {
  Reset();
  fsPath_ = name;
  reading_ = std::move(file);
  size_ = size;
  mode_ = Mode::Reading;
}

void LineFile::StartWriting(int dir, const std::string& name, bool sweep) {
  if (mode_ != Mode::Closed) Close();
  const std::string& fsName = FsNameOrFail(name);
  if (sweep) {
    // The folder of a path from the current directory; a bare name's is the folder held.
    const std::string folder = FsFolderOf(fsName);
    sys::FileHandle opened;
    if (!folder.empty()) opened = sys::OpenHandleAt(dir, folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (folder.empty() || opened) RemoveStaleTemporaries(folder.empty() ? dir : opened.Get());
  }
  StagedFile staged(dir, fsName);
  Reset();
  fsPath_ = fsName;
  writing_.emplace(std::move(staged));
  mode_ = Mode::Writing;
}

void LineFile::OpenReplace(int dir, const std::string& name) {
  StartWriting(dir, name, true);
}

void LineFile::OpenStaged(int dir, const std::string& name) {
  StartWriting(dir, name, false);
}

void LineFile::CommitAndReadBack() {
  const std::string name = fsPath_;
  const off_t written = offset_ + static_cast<off_t>(pending_.size());
  StagedFile staged = TakeStaged();
  staged.Commit();
  sys::FileHandle file = sys::ReopenForReading(staged.Fd());
  if (!file) Fail(errno, name);
  staged.TakeContent().Close();
  // Others may read it now, as they may any file being read.
  if (sys::LockWholeFile(file.Get(), F_RDLCK) != 0) {
    Fail((errno == EACCES || errno == EAGAIN) ? EAGAIN : errno, name);
  }
  StartReading(std::move(file), name, written);
}

bool LineFile::FillBuffer() {
  if (eof_) return false;
  const auto left = static_cast<std::size_t>(size_ - offset_);
  ssize_t n = left == 0 ? 0 : sys::Pread(Fd(), buffer_, std::min(left, kBufferSize), offset_);
  if (n < 0) Fail(errno, fsPath_);
  offset_ += n;
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

void LineFile::FlushBuffer() {
  if (pending_.empty()) return;
  if (sys::WriteAll(Fd(), pending_.data(), pending_.size()) != 0) Fail(errno, fsPath_);
  offset_ += static_cast<off_t>(pending_.size());
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
