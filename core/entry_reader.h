#pragma once
// The one owner of what a run reads of its entries' files: finds the file an image entry names,
// opens it and measures it, in one call, and reads a text entry's file; on a slow disk or a
// network share it has the next entries of the list read ahead of time.
//
// A share answers each request after a delay, and a file costs several of them (find, open,
// read, close), so reading one after another spends the run waiting. Files in memory need
// none of that: a run starts reading each file when it comes, asking for its first block only
// if it is in memory, and the first picture or text file found not in memory (or on a file
// system that cannot tell) starts a small pool of threads that read the next pictures and text
// files of the list, in list order, a bounded number at a time. The run takes their results
// in list order, so what it reports, and for which entry, is what reading one after another
// gives: a later entry's failure waits until every earlier entry was handled.

#include <sys/types.h>

#include <cstddef>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/folder.h"
#include "core/folder_index.h"
#include "core/jpeg_header.h"
#include "core/run_control.h"

namespace corvane {

class EntryReader {
 public:
  // entries: the run's list in order; folder: the input folder held for the run, every
  // file opened relative to it; control, when given, stops a wait for a file once the run is
  // cancelled. All must outlive this.
  EntryReader(const std::vector<std::string>& entries, FolderIndex& names, const Folder& folder,
              const RunControl* control = nullptr);
  // Waits for the files being read ahead, unless the run was cancelled: a request that
  // never returns is then left to finish on its own, and closes its file when it does.
  ~EntryReader();
  EntryReader(const EntryReader&) = delete;
  EntryReader& operator=(const EntryReader&) = delete;

  struct Picture {
    FolderIndex::Entry file;  // the file measured, named as it is on disk
    std::uint32_t width = 0;  // as a browser shows it: turned by its EXIF orientation
    std::uint32_t height = 0;
  };

  // The picture of an image entry: the plain name first, the folder searched by CP932
  // spelling and letter case only when the plain name is missing. Entries are asked for in
  // list order; one that is not the next image or text entry of the list stops reading ahead
  // for the rest of the run. Raises EFOpenError for a file that does not open or is not a
  // regular file, EJPEG for one the JPEG library rejects, RunCancelled once the run is
  // cancelled.
  Picture ReadPicture(const std::string& entry);
  // The bytes of a text entry's file, found as FolderIndex::FindIn finds it and read as
  // ReadWholeFile reads it, with its errors; RunCancelled once the run is cancelled.
  std::string ReadText(const std::string& entry);

  // Files read at once when reading ahead, at most: as many requests in flight, and as many
  // descriptors held (and one more, the pool's own of the folder).
  static constexpr std::size_t kInFlight = 64;
  // Entries queued ahead of the one the run is at.
  static constexpr std::size_t kAhead = 2 * kInFlight;
  // Text files up to this size are read ahead; a larger one is read when its turn comes, so
  // that the files waiting to be used hold at most kAhead times this much memory.
  static constexpr off_t kTextAhead = off_t{256} * 1024;

  struct Measured;  // what reading one file found
  struct Pool;      // the threads that read ahead, and their queue

 private:
  struct Pending {
    std::size_t index;  // in entries_
    std::optional<FolderIndex::Entry> file;
    std::shared_ptr<Measured> measured;  // empty when file is nullopt
  };
  std::optional<Pending> TakeAhead(const std::string& entry);
  Picture Finish(const std::string& entry, const FolderIndex::Entry& plain, Measured& measured);
  std::optional<std::size_t> NextToRead() const;
  void StartPool();
  void TopUp();
  void StopAhead();
  void WaitFor(const Measured& measured);

  const std::vector<std::string>& entries_;
  FolderIndex& names_;
  const Folder& folder_;
  const RunControl* control_;
  std::size_t next_ = 0;  // entries_ before this are queued or handed out
  std::deque<Pending> window_;
  std::shared_ptr<Pool> pool_;
  bool off_ = false;  // the entries left the list's order, or reading ahead cannot go on
};

// Whether runs may read ahead at all (they may unless told otherwise); for measuring what
// reading ahead saves.
void AllowReadAhead(bool allow);

}  // namespace corvane
