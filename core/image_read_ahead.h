#pragma once
// Reading the start of a run's pictures before they are measured.
//
// A run over pictures that are not in memory spends nearly all its time waiting for the disk,
// one picture at a time: each first read asks for a block and waits for it. Asked for the start
// of many pictures at once, the disk works on them together. While the pictures are in memory
// that request would only add a system call to each, so a run starts without it: each
// picture's first read asks for what is in memory before waiting, which costs nothing more,
// and the first picture found not in memory turns reading ahead on for the rest of the run.
// From then on the next pictures of the list are opened a batch at a time, ahead of the one
// being measured, and the kernel is asked to read the start of each.

#include <cstddef>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "core/file_system.h"
#include "core/folder.h"
#include "core/folder_index.h"
#include "core/jpeg_header.h"

namespace corvane {

class ImageReadAhead {
 public:
  // entries: the run's list in order; folder: the input folder held for the run. Both must
  // outlive this object.
  ImageReadAhead(const std::vector<std::string>& entries, FolderIndex& names, const Folder& folder);

  struct Opened {
    std::optional<FolderIndex::Entry> file;  // nullopt: the entry names no file (not bare)
    sys::FileHandle handle;                  // empty when the open failed
    int error = 0;                           // errno of a failed open
    bool askCached = false;                  // what to set in JpegReadStats for the first read
  };

  // The picture of an image entry, by its plain name, opened now or ahead of time. Entries
  // are asked for in the list's order; one that is not the next image of the list turns
  // reading ahead off for the rest of the run, and is opened now, as is every picture once
  // the process runs short of descriptors.
  Opened Open(const std::string& entry);
  // What the first read of the picture last opened found; the first picture not in memory
  // (or on a file system that cannot tell) starts reading ahead.
  void Found(FirstBlock firstBlock);

  // How many pictures are opened ahead at a time, and how much of each the kernel is asked
  // to read: enough for the metadata a camera puts before the frame header.
  static constexpr std::size_t kBatch = 128;
  static constexpr off_t kAheadBytes = off_t{64} * 1024;

 private:
  struct Pending {
    std::size_t index;  // in entries_
    Opened opened;
  };
  Opened OpenNow(const std::string& entry);
  std::optional<std::size_t> NextImage() const;
  void TopUp();

  const std::vector<std::string>& entries_;
  FolderIndex& names_;
  const Folder& folder_;
  std::size_t next_ = 0;  // entries_ before this are opened or handed out
  std::deque<Pending> window_;
  bool readingAhead_ = false;
  bool off_ = false;  // the entries left the list's order, or descriptors ran short
};

// Whether runs may read ahead at all (they may unless told otherwise); for measuring what
// reading ahead saves.
void AllowImageReadAhead(bool allow);

}  // namespace corvane
