#include "core/image_read_ahead.h"

#include <sys/stat.h>

#include <cerrno>
#include <utility>

#include "core/image_size.h"
#include "core/list_entries.h"

namespace corvane {
namespace {

bool& ReadAheadAllowed() {
  static bool allowed = true;
  return allowed;
}

}  // namespace

void AllowImageReadAhead(bool allow) {
  ReadAheadAllowed() = allow;
}

ImageReadAhead::ImageReadAhead(const std::vector<std::string>& entries, FolderIndex& names,
                               const Folder& folder)
    : entries_(entries), names_(names), folder_(folder) {}

ImageReadAhead::Opened ImageReadAhead::OpenNow(const std::string& entry) {
  Opened opened;
  opened.file = names_.PlainIn(folder_, entry);
  if (!opened.file) return opened;
  opened.handle = OpenImageFile(folder_.Fd(), opened.file->fsName);
  if (!opened.handle) opened.error = errno;
  return opened;
}

std::optional<std::size_t> ImageReadAhead::NextImage() const {
  for (std::size_t i = next_; i < entries_.size(); ++i) {
    if (IsImageEntry(entries_[i])) return i;
  }
  return std::nullopt;
}

ImageReadAhead::Opened ImageReadAhead::Open(const std::string& entry) {
  if (!off_ && !window_.empty()) {
    Pending pending = std::move(window_.front());
    window_.pop_front();
    if (entries_[pending.index] == entry) {
      TopUp();
      return std::move(pending.opened);
    }
    off_ = true;
  }
  if (!off_) {
    std::optional<std::size_t> index = NextImage();
    if (index && entries_[*index] == entry) {
      next_ = *index + 1;
    } else {
      off_ = true;
    }
  }
  if (off_) window_.clear();
  Opened opened = OpenNow(entry);
  opened.askCached = !off_ && !readingAhead_;
  if (readingAhead_) TopUp();
  return opened;
}

void ImageReadAhead::Found(FirstBlock firstBlock) {
  if (off_ || readingAhead_ || firstBlock == FirstBlock::Cached || !ReadAheadAllowed()) return;
  readingAhead_ = true;
  TopUp();
}

void ImageReadAhead::TopUp() {
  if (off_ || !window_.empty()) return;
  // A batch at a time: every picture of it opened first, then every one advised. Opening
  // reads a picture's inode; were each advice given right after its open, the next open
  // would queue behind the data just asked for, and a cold run took twice as long.
  while (window_.size() < kBatch) {
    std::optional<std::size_t> index = NextImage();
    if (!index) break;
    Opened opened = OpenNow(entries_[*index]);
    // Out of descriptors: the window gives back every one it holds and the run goes on
    // without reading ahead, so the pages still to be opened find the descriptors they
    // would have had, and each picture is opened when its turn comes.
    if (!opened.handle && (opened.error == EMFILE || opened.error == ENFILE)) {
      window_.clear();
      off_ = true;
      return;
    }
    window_.push_back({*index, std::move(opened)});
    next_ = *index + 1;
  }
  // Only a hint, and only for regular files: a link to a disk device must not make the
  // kernel read the disk (measuring refuses it before reading). A file the kernel cannot
  // read ahead is still read when measured.
  for (const Pending& pending : window_) {
    const int fd = pending.opened.handle.Get();
    struct stat st;
    if (fd >= 0 && sys::Fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
      sys::AdviseWillNeed(fd, 0, kAheadBytes);
    }
  }
}

}  // namespace corvane
