#include "core/staged_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>

#include "core/io_error.h"
#include "core/paths.h"

namespace corvane {
namespace {

constexpr const char* kTemporaryPrefix = ".corvane-";
constexpr const char* kTemporarySuffix = ".tmp";

[[noreturn]] void Fail(int err, const std::string& name) {
  throw IoErrorFromErrno(err, name);
}

std::string TemporaryNameFor(const std::string& name) {
  static std::atomic<unsigned> counter{0};
  auto [folder, bare] = SplitFsPath(name);
  return JoinPath(folder, kTemporaryPrefix + bare + "-" + std::to_string(::getpid()) + "-" +
                              std::to_string(counter++) + kTemporarySuffix);
}

bool IsTemporaryName(const std::string& name) {
  const std::string prefix = kTemporaryPrefix, suffix = kTemporarySuffix;
  return name.size() > prefix.size() + suffix.size() &&
         name.compare(0, prefix.size(), prefix) == 0 &&
         name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0;
}

// Takes a write lock on an open file; a lock held elsewhere gives code 32.
void LockForWriting(int fd, const std::string& name) {
  if (sys::LockWholeFile(fd, F_WRLCK) != 0) {
    Fail((errno == EACCES || errno == EAGAIN) ? EAGAIN : errno, name);
  }
}

// The folder a name is in, opened (for a bare name in an open folder: that folder itself).
sys::FileHandle FolderOf(int dir, const std::string& name) {
  const std::string folder = SplitFsPath(name).first;
  return sys::OpenHandleAt(dir, folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY);
}

// A file system that cannot exchange two names says so with one of these.
bool CannotExchange(int err) {
  return err == EINVAL || err == ENOSYS || err == EOPNOTSUPP;
}

}  // namespace

StagedFile::StagedFile(int dir, const std::string& name) : dir_(dir), name_(name) {
  struct stat st;
  const bool existed = sys::StatAt(dir, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0;
  if (!existed && errno != ENOENT) Fail(errno, name);
  if (existed && S_ISDIR(st.st_mode)) Fail(EACCES, name);
  const bool regular = existed && S_ISREG(st.st_mode);
  if (regular) {
    // Writing over a file with no write permission bits is refused even for a user (root)
    // whom the system would let through, as it would be on any other system.
    if ((st.st_mode & 0222) == 0) Fail(EACCES, name);
    // Held until the new file takes its place, so that no reader or writer in this or
    // another copy of the program sees it change under it.
    lock_ = sys::OpenHandleAt(dir, name.c_str(), O_WRONLY | O_NOFOLLOW | O_NONBLOCK);
    if (!lock_) Fail(errno, name);
    LockForWriting(lock_.Get(), name);
  }

  const std::string folder = SplitFsPath(name).first;
  data_ = sys::OpenHandleAt(dir, folder.empty() ? "." : folder.c_str(), O_TMPFILE | O_WRONLY, 0666);
  if (!data_ && (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL)) {
    namedTemp_ = TemporaryNameFor(name);
    data_ =
        sys::OpenHandleAt(dir, namedTemp_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW, 0666);
    if (!data_) namedTemp_.clear();
  }
  if (!data_) Fail(errno, name);
  LockForWriting(data_.Get(), name);
  // The new file takes the old one's permissions. A file system without permission bits
  // (FAT) has nothing to take and refuses to be asked. Most often the new file has them
  // already: the system answers that from what it returned for the create, where changing
  // them would be one more request to a share.
  struct stat created;
  const bool same = regular && sys::Fstat(data_.Get(), &created) == 0 &&
                    (created.st_mode & 07777) == (st.st_mode & 07777);
  if (regular && !same && sys::Fchmod(data_.Get(), st.st_mode & 07777) != 0 && errno != ENOSYS &&
      errno != EPERM) {
    Fail(errno, name);
  }
}

StagedFile::StagedFile(StagedFile&& other) noexcept
    : dir_(other.dir_),
      name_(std::move(other.name_)),
      lock_(std::move(other.lock_)),
      data_(std::move(other.data_)),
      namedTemp_(std::exchange(other.namedTemp_, std::string())),
      namedTempUsed_(other.namedTempUsed_) {}

StagedFile::~StagedFile() {
  if (!namedTemp_.empty() && !namedTempUsed_) sys::UnlinkAt(dir_, namedTemp_.c_str());
}

namespace {

// What is put in place must survive a power cut, so the new content goes to disk before any
// of it gets a name: one file is flushed on its own; for several (a whole site) one flush of
// their file system does it at the cost of one, instead of one wait on the disk per page.
void FlushToDisk(const std::vector<std::pair<const StagedFile*, std::string>>& placements) {
  const StagedFile* first = placements.front().first;
  bool one = true;
  for (const auto& placement : placements) one = one && placement.first == first;
  if (one && first->Fd() >= 0) {
    if (sys::Fsync(first->Fd()) != 0) Fail(errno, placements.front().second);
    return;
  }
  // Any descriptor of the file system does; parked files have none.
  int any = first->Dir();
  for (const auto& placement : placements) {
    if (placement.first->Fd() >= 0) any = placement.first->Fd();
  }
  if (sys::SyncFileSystem(any) != 0) Fail(errno, placements.front().second);
}

}  // namespace

void StagedFile::Park() {
  if (namedTemp_.empty()) {
    std::string temp = TemporaryNameFor(name_);
    if (sys::LinkOpenFileAt(data_.Get(), dir_, temp.c_str()) != 0) Fail(errno, name_);
    namedTemp_ = std::move(temp);
  }
  lock_ = sys::FileHandle();
  if (data_.Close() != 0) Fail(errno, name_);
}

void StagedFile::Commit() {
  CommitTogether({{this, name_}});
}

int StagedFile::NameTemporarily(std::string& temp) const {
  if (namedTemp_.empty()) return sys::LinkOpenFileAt(data_.Get(), dir_, temp.c_str());
  if (!namedTempUsed_) {
    temp = namedTemp_;
    namedTempUsed_ = true;
    return 0;
  }
  return sys::LinkAt(dir_, namedTemp_.c_str(), temp.c_str());
}

void CommitTogether(const std::vector<std::pair<const StagedFile*, std::string>>& placements) {
  struct Step {
    int dir;
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
      // else left for the next sweep
      if (!step.temp.empty()) sys::UnlinkAt(step.dir, step.temp.c_str());
    }
  };

  if (placements.empty()) return;
  FlushToDisk(placements);

  // Every new file gets a name first, so the renames that follow are all that is left to fail.
  for (const auto& [file, target] : placements) {
    Step step{file->Dir(), TemporaryNameFor(target), &target};
    if (file->NameTemporarily(step.temp) != 0) {
      int err = errno;
      removeTemporaries();
      Fail(err, target);
    }
    steps.push_back(step);
  }

  // An exchange leaves the previous file under the temporary name, so it can be put back
  // should a later rename fail; where names cannot be exchanged, the previous file is renamed
  // aside first, to the same end. The last one needs no way back and is a plain rename.
  bool canExchange = true;
  for (std::size_t i = 0; i < steps.size(); ++i) {
    Step& step = steps[i];
    const char* temp = step.temp.c_str();
    const char* target = step.target->c_str();
    const bool last = i + 1 == steps.size();
    int r = -1;
    errno = EINVAL;
    if (!last && canExchange) {
      r = sys::ExchangeAt(step.dir, temp, target);
      if (r != 0 && CannotExchange(errno)) canExchange = false;
    }
    if (r == 0) {
      step.exchanged = true;
    } else if (!last && !canExchange) {
      std::string aside = TemporaryNameFor(*step.target);
      r = sys::RenameAt(step.dir, target, aside.c_str());
      step.created = r != 0 && errno == ENOENT;
      if (r == 0 || step.created) {
        r = sys::RenameAt(step.dir, temp, target);
        if (r == 0 && !step.created) {
          step.temp = std::move(aside);
          step.exchanged = true;
        } else if (r == 0) {
          step.temp.clear();
        } else if (!step.created) {
          int err = errno;
          sys::RenameAt(step.dir, aside.c_str(), target);
          errno = err;
        }
      }
    } else if (errno == ENOENT || CannotExchange(errno)) {
      step.created = errno == ENOENT;
      r = sys::RenameAt(step.dir, temp, target);
      if (r == 0) step.temp.clear();
    }
    if (r != 0) {
      int err = errno;
      for (std::size_t j = i; j-- > 0;) {
        const Step& done = steps[j];
        if (done.exchanged &&
            sys::ExchangeAt(done.dir, done.temp.c_str(), done.target->c_str()) != 0) {
          sys::RenameAt(done.dir, done.temp.c_str(), done.target->c_str());
        }
        if (done.created) sys::UnlinkAt(done.dir, done.target->c_str());
      }
      removeTemporaries();
      Fail(err, *step.target);
    }
  }
  // The previous files are let go before they are removed: a share cannot remove a file still
  // open, and hides it under a name of its own until it is closed.
  for (const auto& placement : placements) placement.first->lock_.Close();
  removeTemporaries();
  // Best effort: the renames have happened whatever the flush says.
  sys::FileHandle folder = FolderOf(steps.front().dir, *steps.front().target);
  if (folder) sys::Fsync(folder.Get());
}

void LockFolderForRun(int dir) {
  sys::LockWholeFile(dir, F_RDLCK);  // best effort: without it a sweep fails the run, no more
}

void RemoveStaleTemporaries(int dir) {
  sys::FileHandle listing = sys::OpenHandleAt(dir, ".", O_RDONLY | O_DIRECTORY);
  // Another copy's run holds parked files here, unlocked: leave everything for later. (Asked
  // of the caller's own descriptor, the lock of this process's run does not count.)
  if (!listing || sys::IsLockedByAnother(dir == AT_FDCWD ? listing.Get() : dir) != 0) return;
  std::vector<std::string> names;
  if (!listing || sys::ReadDirectory(listing.Get(), names) != 0) return;
  listing.Close();
  for (const std::string& name : names) {
    if (!IsTemporaryName(name)) continue;
    sys::FileHandle file = sys::OpenHandleAt(dir, name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK);
    if (file) {
      struct stat st;
      // Only a regular file can be one of ours still being written; its owner holds a lock.
      if (sys::Fstat(file.Get(), &st) != 0) continue;
      if (S_ISREG(st.st_mode) && sys::IsLockedByAnother(file.Get()) != 0) continue;
    } else if (errno != ELOOP) {
      continue;  // a link left by an exchange is removed; anything unreadable is left alone
    }
    sys::UnlinkAt(dir, name.c_str());
  }
}

}  // namespace corvane
