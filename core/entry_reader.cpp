#include "core/entry_reader.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>
#include <utility>

#include "core/errors.h"
#include "core/exif_orientation.h"
#include "core/file_system.h"
#include "core/image_size.h"
#include "core/io_error.h"
#include "core/list_entries.h"
#include "core/whole_file.h"

namespace corvane {
namespace {

bool& ReadAheadAllowed() {
  static bool allowed = true;
  return allowed;
}

// How often a wait for a file looks whether the run was cancelled.
constexpr std::chrono::milliseconds kCancelPoll{20};

// Descriptors the rest of a run needs besides the files read ahead: a few for the saved list,
// the menu, the page being written, a text file and the staging of a page, and, to spare, one
// per page still to come.
constexpr std::size_t kReserve = 17;  // and the pool's own descriptor of the folder

// How many more descriptors this process may open; 0 when it cannot tell.
std::size_t SpareDescriptors() {
  rlimit limit{};
  if (::getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY) return 0;
  sys::FileHandle fds = sys::OpenHandle("/proc/self/fd", O_RDONLY | O_DIRECTORY);
  std::vector<std::string> names;
  if (!fds || sys::ReadDirectory(fds.Get(), names) != 0) return 0;
  return names.size() >= limit.rlim_cur ? 0 : limit.rlim_cur - names.size();
}

}  // namespace

void AllowReadAhead(bool allow) {
  ReadAheadAllowed() = allow;
}

struct EntryReader::Measured {
  Measured(int dir, std::string name, bool text = false)
      : dir(dir), fsName(std::move(name)), text(text) {}
  int dir;  // the folder, held by the reader or the pool
  std::string fsName;
  bool text;          // a text file, read whole; else a picture, measured
  bool done = false;  // set under the pool's lock once the fields below hold the result
  // A picture:
  int openError = 0;
  bool notRegular = false;
  JpegSize size;
  std::exception_ptr error;  // what measuring raised (EJPEG, a read error, no memory)
  // A text file: its bytes; none when it is to be read again where it is used (it failed,
  // and is read there for its error, or it is large). openError is EMFILE when the process
  // ran short of descriptors for it.
  std::optional<std::string> bytes;
};

struct EntryReader::Pool {
  // The pool's own descriptor of the run's folder: a thread still waiting for a request when
  // the run has ended opens nothing relative to a descriptor closed and given to another file.
  sys::FileHandle folder;
  std::mutex lock;
  std::condition_variable work;      // a file was queued, or the pool stops
  std::condition_variable finished;  // a file was read, or a thread ended
  std::deque<std::shared_ptr<Measured>> queue;
  std::size_t threads = 0;
  bool stop = false;
};

namespace {

// Reads a text file whole, when it is small; never raises.
void ReadSmallText(EntryReader::Measured& m) {
  try {
    OpenedFile opened = OpenWholeFile(m.dir, m.fsName);
    if (opened.size <= EntryReader::kTextAhead) {
      m.bytes = ReadOpenedFile(opened, m.fsName, std::string(), EntryReader::kTextAhead);
    }
  } catch (const EInOutError& e) {  // reported where the file is used
    if (e.Code() == static_cast<int>(IoCode::TooManyOpenFiles)) m.openError = EMFILE;
  } catch (...) {
  }
}

// Opens, checks and measures one file; never raises. A pipe at the name cannot stall it (the
// open does not wait), and only a regular file is read.
void Measure(EntryReader::Measured& m, JpegReadStats* stats) {
  try {
    sys::FileHandle image = OpenImageFile(m.dir, m.fsName);
    if (!image) {
      m.openError = errno;
      return;
    }
    struct stat st;
    if (sys::Fstat(image.Get(), &st) != 0 || !S_ISREG(st.st_mode)) {
      m.notRegular = true;
      return;
    }
    m.size = ReadJpegSize(image.Get(), stats);
  } catch (...) {
    m.error = std::current_exception();
  }
}

// A thread of the pool: reads queued files in queue order until the pool stops. It owns
// a share of the pool, so a reader that gave up on a request that never returns can go.
void Work(const std::shared_ptr<EntryReader::Pool>& pool) {
  std::unique_lock lock(pool->lock);
  for (;;) {
    pool->work.wait(lock, [&] { return pool->stop || !pool->queue.empty(); });
    if (pool->stop) break;
    std::shared_ptr<EntryReader::Measured> job = std::move(pool->queue.front());
    pool->queue.pop_front();
    lock.unlock();
    if (job->text) {
      ReadSmallText(*job);
    } else {
      Measure(*job, nullptr);
    }
    lock.lock();
    job->done = true;
    pool->finished.notify_all();
  }
  --pool->threads;
  pool->finished.notify_all();
}

}  // namespace

EntryReader::EntryReader(const std::vector<std::string>& entries, FolderIndex& names,
                         const Folder& folder, const RunControl* control)
    : entries_(entries), names_(names), folder_(folder), control_(control) {}

EntryReader::~EntryReader() {
  StopAhead();
}

std::optional<std::size_t> EntryReader::NextToRead() const {
  for (std::size_t i = next_; i < entries_.size(); ++i) {
    if (IsImageEntry(entries_[i]) || IsTextEntry(entries_[i])) return i;
  }
  return std::nullopt;
}

std::optional<EntryReader::Pending> EntryReader::TakeAhead(const std::string& entry) {
  if (!off_ && !window_.empty()) {
    Pending pending = std::move(window_.front());
    window_.pop_front();
    if (entries_[pending.index] == entry) {
      TopUp();
      if (pending.measured) WaitFor(*pending.measured);
      return pending;
    }
    off_ = true;
  }
  if (!off_) {
    std::optional<std::size_t> index = NextToRead();
    if (index && entries_[*index] == entry) {
      next_ = *index + 1;
    } else {
      off_ = true;
    }
  }
  if (off_) StopAhead();
  return std::nullopt;
}

EntryReader::Picture EntryReader::ReadPicture(const std::string& entry) {
  if (std::optional<Pending> pending = TakeAhead(entry)) {
    if (!pending->file) throw EFOpenError::CannotOpen(entry);
    Measured& measured = *pending->measured;
    // The process ran short of descriptors: the pool gives back what it holds, and the
    // picture is measured as it would have been without it.
    if (measured.openError == EMFILE || measured.openError == ENFILE) {
      off_ = true;
      StopAhead();
      measured = Measured(folder_.Fd(), pending->file->fsName);
      Measure(measured, nullptr);
    }
    return Finish(entry, *pending->file, measured);
  }
  std::optional<FolderIndex::Entry> plain = names_.PlainIn(folder_, entry);
  if (!plain) throw EFOpenError::CannotOpen(entry);
  Measured measured(folder_.Fd(), plain->fsName);
  JpegReadStats stats{.askCached = !off_ && !pool_ && ReadAheadAllowed()};
  Measure(measured, &stats);
  const bool measuredWell = measured.openError == 0 && !measured.notRegular && !measured.error;
  if (stats.askCached && measuredWell && stats.firstBlock != FirstBlock::Cached) StartPool();
  if (pool_) TopUp();
  return Finish(entry, *plain, measured);
}

std::string EntryReader::ReadText(const std::string& entry) {
  if (std::optional<Pending> pending = TakeAhead(entry); pending && pending->measured) {
    if (pending->measured->bytes) return std::move(*pending->measured->bytes);
    // Short of descriptors, as for a picture: the pool gives back what it holds.
    if (pending->measured->openError == EMFILE) {
      off_ = true;
      StopAhead();
    }
  }
  // Not read ahead, or reading it failed: read here, which gives the error the run reports.
  std::optional<FolderIndex::Entry> file = names_.FindIn(folder_, entry);
  if (!file) throw EInOutError(IoCode::InvalidName);  // names no file here: never opened
  OpenedFile opened = OpenWholeFile(folder_.Fd(), file->fsName);
  // A text file not in memory starts reading ahead as a picture does: a folder of texts on a
  // share waits for each as long as for a picture.
  if (!off_ && !pool_ && ReadAheadAllowed() && opened.size > 0) {
    char first;
    if (sys::PreadNoWait(opened.file.Get(), &first, 1, 0) < 0 &&
        (errno == EAGAIN || errno == EOPNOTSUPP)) {
      StartPool();
    }
  }
  std::string bytes = ReadOpenedFile(opened, file->fsName, entry, kTextFileLimit);
  if (pool_) TopUp();
  return bytes;
}

EntryReader::Picture EntryReader::Finish(const std::string& entry, const FolderIndex::Entry& plain,
                                         Measured& measured) {
  FolderIndex::Entry file = plain;
  Measured* result = &measured;
  std::optional<Measured> found;
  // Only a missing plain name has the folder searched: an entry in another letter case or
  // spelling than its file.
  if (measured.openError == ENOENT) {
    file = names_.SearchIn(folder_, plain);
    if (file.fsName != plain.fsName) {
      found.emplace(folder_.Fd(), file.fsName);
      Measure(*found, nullptr);
      result = &*found;
    }
  }
  if (result->openError != 0 || result->notRegular) throw EFOpenError::CannotOpen(entry);
  if (result->error) std::rethrow_exception(result->error);
  JpegSize size = result->size;
  // Browsers show a photo turned by its EXIF orientation: a quarter turn exchanges the sides
  // the page must give it, or it is squeezed.
  if (IsQuarterTurn(size.orientation)) std::swap(size.width, size.height);
  return {std::move(file), size.width, size.height};
}

void EntryReader::StartPool() {
  // Pages opened later must find the descriptors they would have had without the pool.
  std::size_t pagesToCome = 0;
  for (std::size_t i = next_; i < entries_.size(); ++i) pagesToCome += IsHeading(entries_[i]);
  const std::size_t spare = SpareDescriptors();
  const std::size_t needed = pagesToCome + kReserve;
  const std::size_t threads = spare > needed ? std::min(kInFlight, spare - needed) : 0;
  if (threads < 2) {
    off_ = true;
    return;
  }
  pool_ = std::make_shared<Pool>();
  pool_->folder = sys::OpenHandleAt(folder_.Fd(), ".", O_RDONLY | O_DIRECTORY);
  if (!pool_->folder) {
    pool_.reset();
    off_ = true;
    return;
  }
  for (std::size_t i = 0; i < threads; ++i) {
    try {
      std::thread(Work, pool_).detach();
      std::lock_guard lock(pool_->lock);
      ++pool_->threads;
    } catch (const std::system_error&) {
      break;  // as many as the system gives
    }
  }
  if (pool_->threads == 0) {
    pool_.reset();
    off_ = true;
  }
}

void EntryReader::TopUp() {
  if (off_ || !pool_) return;
  std::size_t queued = 0;
  while (window_.size() < kAhead) {
    std::optional<std::size_t> index = NextToRead();
    if (!index) break;
    Pending pending{*index, names_.PlainIn(folder_, entries_[*index]), nullptr};
    if (pending.file) {
      pending.measured = std::make_shared<Measured>(pool_->folder.Get(), pending.file->fsName,
                                                    IsTextEntry(entries_[*index]));
      std::lock_guard lock(pool_->lock);
      pool_->queue.push_back(pending.measured);
      ++queued;
    }
    window_.push_back(std::move(pending));
    next_ = *index + 1;
  }
  // One thread a file: waking them all for each would have every idle thread of the pool
  // run only to find the queue emptied by another.
  for (std::size_t i = 0; i < queued; ++i) pool_->work.notify_one();
}

void EntryReader::WaitFor(const Measured& measured) {
  std::unique_lock lock(pool_->lock);
  while (!measured.done) {
    pool_->finished.wait_for(lock, kCancelPoll);
    if (control_ != nullptr && control_->Cancelled()) throw RunCancelled();
  }
}

void EntryReader::StopAhead() {
  window_.clear();
  if (!pool_) return;
  std::unique_lock lock(pool_->lock);
  pool_->stop = true;
  pool_->queue.clear();
  pool_->work.notify_all();
  // Every picture being measured closes its file before the run goes on, so a run leaves
  // nothing open; a cancelled run does not wait for a request that may never return.
  while (pool_->threads > 0 && (control_ == nullptr || !control_->Cancelled())) {
    pool_->finished.wait_for(lock, kCancelPoll);
  }
  // The threads may still hold the pool for a moment after their last look at it: its
  // descriptor goes now, unless one of them is still waiting for a request.
  if (pool_->threads == 0) pool_->folder.Close();
  lock.unlock();
  pool_.reset();
}

}  // namespace corvane
