#pragma once
// New content for a file of the folder, written where nobody sees it and put in place by
// rename only when complete, so that a reader finds the old file or the new one, never a
// part, and a failure anywhere leaves the old one as it was.
//
// The content goes to an unnamed temporary file (O_TMPFILE) in the file's own folder: a
// process killed while writing leaves nothing at all. Only while it is put in place does it
// carry a name of its own (".corvane-*.tmp", linked, then renamed over the final name), and
// a kill in that short window is what the sweep of stale temporaries at the next save
// clears up. Every temporary holds a write lock from before it has a name until it is gone,
// so the sweep tells a live one (locked, by this or another running copy) from one a killed
// process left (unlocked). On a file system without unnamed files the temporary is named
// from the start and locked at once.
//
// Whatever is at the final name is replaced, never written through: a symbolic link or a
// hard link to a file elsewhere, a pipe. A regular file there is locked while its
// replacement is written (code 32 for a copy that holds it) and passes its permission bits
// on; a folder there, or a file with no write permission bits, is refused with code 5.
//
// exFAT and FAT have neither unnamed files nor links: there the temporary is named from the
// start (created exclusively, never through a link) and that name is renamed into place.
// Where names cannot be exchanged either, the previous file steps aside under a temporary
// name of its own before the new one takes its place, so a failure can still put it back.
//
// Names are relative to a folder descriptor (see folder.h); AT_FDCWD takes them as paths.

#include <string>
#include <utility>
#include <vector>

#include "core/file_system.h"

namespace corvane {

class StagedFile {
 public:
  // The file `name` in the folder `dir`, which must stay open while this object lives.
  StagedFile(int dir, const std::string& name);
  ~StagedFile();
  StagedFile(StagedFile&& other) noexcept;
  StagedFile& operator=(StagedFile&&) = delete;
  StagedFile(const StagedFile&) = delete;
  StagedFile& operator=(const StagedFile&) = delete;

  // The new content (write-only; sys::ReopenForReading reads it back).
  int Fd() const { return data_.Get(); }
  int Dir() const { return dir_; }
  const std::string& Name() const { return name_; }
  // Hands the new content's descriptor over (after Commit: the file now in place).
  sys::FileHandle TakeContent() { return std::move(data_); }
  // Puts this file in place on its own.
  void Commit();
  // Ends the writing: the new content gets its temporary name now and both descriptors are
  // let go, so that a site of many pages holds no descriptor per page while it waits to be
  // put in place (by that name). A parked file is unlocked; the run's lock on its folder
  // keeps the sweep of another copy away from it.
  void Park();

 private:
  friend void CommitTogether(const std::vector<std::pair<const StagedFile*, std::string>>&);
  // A temporary name for the new content: its own name where it has one not yet used.
  int NameTemporarily(std::string& temp) const;

  int dir_ = AT_FDCWD;
  std::string name_;
  // The file at the final name before, if a regular file; let go once it is replaced.
  mutable sys::FileHandle lock_;
  sys::FileHandle data_;                // the new content
  std::string namedTemp_;               // only where the file system has no unnamed files
  mutable bool namedTempUsed_ = false;  // renamed into place: the name is no longer ours
};

// Puts each staged file in place under the name paired with it (in the staged file's folder) (a
// file may be given more than one name), in the order given. All or nothing: when one fails, the
// names already replaced get their previous files back and the error is raised.
void CommitTogether(const std::vector<std::pair<const StagedFile*, std::string>>& placements);

// Removes the temporaries a killed process left in the folder (never a live one: none at
// all while another copy holds its folder lock for a run). Best effort: a failure here only
// leaves them for the next time.
void RemoveStaleTemporaries(int dir);
// Marks the folder as holding a run's parked files until the descriptor is closed.
void LockFolderForRun(int dir);

}  // namespace corvane
