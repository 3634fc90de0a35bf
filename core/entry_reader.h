#pragma once
// The one owner of a run's pictures: finds the file an image entry names, opens it and
// measures it, in one call, and on a slow disk or a network share has the next pictures of the
// list measured ahead of time.
//
// A share answers each request after a delay, and a picture costs several of them (find, open,
// read, close), so measuring one after another spends the run waiting. Pictures in memory need
// none of that: a run starts measuring each picture when it comes, asking for its first block
// only if it is in memory, and the first picture found not in memory (or on a file system that
// cannot tell) starts a small pool of threads that measure the next pictures of the list, in
// list order, a bounded number at a time. The run takes their results in list order, so what it
// reports, and for which entry, is what measuring one after another gives: a later picture's
// failure waits until every earlier entry was handled.

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

class PictureReader {
 public:
  // entries: the run's list in order; folder: the input folder held for the run, every
  // picture opened relative to it; control, when given, stops a wait for a picture once the
  // run is cancelled. All must outlive this.
  PictureReader(const std::vector<std::string>& entries, FolderIndex& names, const Folder& folder,
                const RunControl* control = nullptr);
  // Waits for the pictures being measured ahead, unless the run was cancelled: a request that
  // never returns is then left to finish on its own, and closes its file when it does.
  ~PictureReader();
  PictureReader(const PictureReader&) = delete;
  PictureReader& operator=(const PictureReader&) = delete;

  struct Picture {
    FolderIndex::Entry file;  // the file measured, named as it is on disk
    std::uint32_t width = 0;  // as a browser shows it: turned by its EXIF orientation
    std::uint32_t height = 0;
  };

  // The picture of an image entry: the plain name first, the folder searched by CP932
  // spelling and letter case only when the plain name is missing. Entries are asked for in
  // list order; one that is not the next image of the list stops measuring ahead for the rest
  // of the run. Raises EFOpenError for a file that does not open or is not a regular file,
  // EJPEG for one the JPEG library rejects, RunCancelled once the run is cancelled.
  Picture Read(const std::string& entry);

  // Pictures measured at once when measuring ahead, at most: as many requests in flight, and
  // as many descriptors held (and one more, the pool's own of the folder).
  static constexpr std::size_t kInFlight = 32;
  // Entries queued ahead of the one the run is at.
  static constexpr std::size_t kAhead = 2 * kInFlight;

  struct Measured;  // what measuring one file found
  struct Pool;      // the threads that measure ahead, and their queue

 private:
  struct Pending {
    std::size_t index;  // in entries_
    std::optional<FolderIndex::Entry> file;
    std::shared_ptr<Measured> measured;  // empty when file is nullopt
  };
  Picture Finish(const std::string& entry, const FolderIndex::Entry& plain, Measured& measured);
  std::optional<std::size_t> NextImage() const;
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
  bool off_ = false;  // the entries left the list's order, or measuring ahead cannot go on
};

// Whether runs may measure ahead at all (they may unless told otherwise); for measuring what
// measuring ahead saves.
void AllowImageReadAhead(bool allow);

}  // namespace corvane
