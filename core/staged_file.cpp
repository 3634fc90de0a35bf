#include "core/staged_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>

#include "core/io_error.h"

namespace corvane {
namespace {

constexpr const char* kTemporaryPrefix = ".corvane-";
constexpr const char* kTemporarySuffix = ".tmp";

[[noreturn]] void Fail(int err, const std::string& fsPath) {
  throw IoErrorFromErrno(err, fsPath);
}

std::string FolderOf(const std::string& fsPath) {
  auto slash = fsPath.rfind('/');
  return slash == std::string::npos ? std::string() : fsPath.substr(0, slash + 1);
}

std::string TemporaryNameFor(const std::string& fsPath) {
  static std::atomic<unsigned> counter{0};
  auto slash = fsPath.rfind('/');
  std::string name = slash == std::string::npos ? fsPath : fsPath.substr(slash + 1);
  return FolderOf(fsPath) + kTemporaryPrefix + name + "-" + std::to_string(::getpid()) + "-" +
         std::to_string(counter++) + kTemporarySuffix;
}

bool IsTemporaryName(const std::string& name) {
  const std::string prefix = kTemporaryPrefix, suffix = kTemporarySuffix;
  return name.size() > prefix.size() + suffix.size() &&
         name.compare(0, prefix.size(), prefix) == 0 &&
         name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0;
}

// Takes a write lock on an open file; a lock held elsewhere gives code 32.
void LockForWriting(int fd, const std::string& fsPath) {
  if (sys::LockWholeFile(fd, F_WRLCK) != 0) {
    Fail((errno == EACCES || errno == EAGAIN) ? EAGAIN : errno, fsPath);
  }
}

void SyncFolder(const std::string& fsPath) noexcept {
  std::string folder = FolderOf(fsPath);
  sys::FileHandle dir =
      sys::OpenHandle(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY);
  if (dir) sys::Fsync(dir.Get());  // best effort: the renames have happened whatever this says
}

}  // namespace

StagedFile::StagedFile(const std::string& fsPath) : fsPath_(fsPath) {
  struct stat st;
  const bool existed = sys::Lstat(fsPath.c_str(), &st) == 0;
  if (!existed && errno != ENOENT) Fail(errno, fsPath);
  if (existed && S_ISDIR(st.st_mode)) Fail(EACCES, fsPath);
  const bool regular = existed && S_ISREG(st.st_mode);
  if (regular) {
    // Writing over a file with no write permission bits is refused even for a user (root)
    // whom the system would let through, as it would be on any other system.
    if ((st.st_mode & 0222) == 0) Fail(EACCES, fsPath);
    // Held until the new file takes its place, so that no reader or writer in this or
    // another copy of the program sees it change under it.
    lock_ = sys::OpenHandle(fsPath.c_str(), O_WRONLY | O_NOFOLLOW | O_NONBLOCK);
    if (!lock_) Fail(errno, fsPath);
    LockForWriting(lock_.Get(), fsPath);
  }

  std::string folder = FolderOf(fsPath);
  data_ = sys::OpenHandle(folder.empty() ? "." : folder.c_str(), O_TMPFILE | O_WRONLY, 0666);
  if (!data_ && (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL)) {
    namedTemp_ = TemporaryNameFor(fsPath);
    data_ = sys::OpenHandle(namedTemp_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW, 0666);
    if (!data_) namedTemp_.clear();
  }
  if (!data_) Fail(errno, fsPath);
  LockForWriting(data_.Get(), fsPath);
  // The new file takes the old one's permissions.
  if (regular && sys::Fchmod(data_.Get(), st.st_mode & 07777) != 0) Fail(errno, fsPath);
}

StagedFile::StagedFile(StagedFile&& other) noexcept
    : fsPath_(std::move(other.fsPath_)),
      lock_(std::move(other.lock_)),
      data_(std::move(other.data_)),
      namedTemp_(std::exchange(other.namedTemp_, std::string())) {}

StagedFile::~StagedFile() {
  if (!namedTemp_.empty()) sys::Unlink(namedTemp_.c_str());
}

namespace {

// What is put in place must survive a power cut, so the new content goes to disk before any
// of it gets a name: one file is flushed on its own; for several (a whole site) one flush of
// their file system does it at the cost of one, instead of one wait on the disk per page.
void FlushToDisk(const std::vector<std::pair<const StagedFile*, std::string>>& placements) {
  const StagedFile* first = placements.front().first;
  bool one = true;
  for (const auto& placement : placements) one = one && placement.first == first;
  if (one) {
    if (sys::Fsync(first->Fd()) != 0) Fail(errno, placements.front().second);
    return;
  }
  if (sys::SyncFileSystem(first->Fd()) != 0) Fail(errno, placements.front().second);
}

}  // namespace

void StagedFile::Commit() {
  CommitTogether({{this, fsPath_}});
}

int StagedFile::LinkAs(const std::string& name) const {
  if (namedTemp_.empty()) return sys::LinkOpenFile(data_.Get(), name.c_str());
  return sys::Link(namedTemp_.c_str(), name.c_str());
}

void CommitTogether(const std::vector<std::pair<const StagedFile*, std::string>>& placements) {
  struct Step {
    std::string temp;  // the new file's name until it is put in place, then the old file's
    const std::string* target;
    bool exchanged = false;  // the temporary name now holds the previous file
    bool created = false;    // no file had the target name before
  };
  // Temporary names are cleared once renamed away.
  std::vector<Step> steps;
  steps.reserve(placements.size());
  auto removeTemporaries = [&steps] {
    for (const Step& step : steps) {
      if (!step.temp.empty()) sys::Unlink(step.temp.c_str());  // else left for the next sweep
    }
  };

  if (placements.empty()) return;
  FlushToDisk(placements);

  // Every new file gets a name first, so the renames that follow are all that is left to fail.
  for (const auto& [file, target] : placements) {
    Step step{TemporaryNameFor(target), &target};
    if (file->LinkAs(step.temp) != 0) {
      int err = errno;
      removeTemporaries();
      Fail(err, target);
    }
    steps.push_back(step);
  }

  // An exchange leaves the previous file under the temporary name, so it can be put back
  // should a later rename fail. The last one needs no way back and is a plain rename, as is
  // every one on a file system that cannot exchange names.
  for (std::size_t i = 0; i < steps.size(); ++i) {
    Step& step = steps[i];
    const char* temp = step.temp.c_str();
    const char* target = step.target->c_str();
    int r = -1;
    errno = EINVAL;
    if (i + 1 < steps.size()) r = sys::Exchange(temp, target);
    if (r == 0) {
      step.exchanged = true;
    } else if (errno == ENOENT || errno == EINVAL) {
      step.created = errno == ENOENT;
      r = sys::Rename(temp, target);
      if (r == 0) step.temp.clear();
    }
    if (r != 0) {
      int err = errno;
      for (std::size_t j = i; j-- > 0;) {
        if (steps[j].exchanged) sys::Exchange(steps[j].temp.c_str(), steps[j].target->c_str());
        if (steps[j].created) sys::Unlink(steps[j].target->c_str());
      }
      removeTemporaries();
      Fail(err, *step.target);
    }
  }
  removeTemporaries();
  if (!steps.empty()) SyncFolder(*steps.front().target);
}

void RemoveStaleTemporaries(const std::string& fsFolder) {
  const std::string folder = fsFolder.empty() ? std::string(".") : fsFolder;
  sys::FileHandle dir = sys::OpenHandle(folder.c_str(), O_RDONLY | O_DIRECTORY);
  std::vector<std::string> names;
  if (!dir || sys::ReadDirectory(dir.Get(), names) != 0) return;
  dir.Close();
  for (const std::string& name : names) {
    if (!IsTemporaryName(name)) continue;
    const std::string path = folder + (folder.back() == '/' ? "" : "/") + name;
    sys::FileHandle file = sys::OpenHandle(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK);
    if (file) {
      struct stat st;
      // Only a regular file can be one of ours still being written; its owner holds a lock.
      if (sys::Fstat(file.Get(), &st) != 0) continue;
      if (S_ISREG(st.st_mode) && sys::IsLockedByAnother(file.Get()) != 0) continue;
    } else if (errno != ELOOP) {
      continue;  // a link left by an exchange is removed; anything unreadable is left alone
    }
    sys::Unlink(path.c_str());
  }
}

}  // namespace corvane
