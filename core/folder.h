#pragma once
// A folder held open for one operation: a generation, a reload, a settings save or load.
// Every file of the operation is opened, looked at, renamed and removed relative to this
// descriptor, so the folder's path is resolved exactly once: renamed or replaced by a link
// to another folder mid-run, the folder can neither receive the run's files nor feed it.

#include <optional>
#include <string>

#include "core/file_system.h"

namespace corvane {

// Which folder it is, whatever path reaches it.
struct FolderId {
  dev_t dev = 0;
  ino_t ino = 0;
  bool operator==(const FolderId&) const = default;
};

class Folder {
 public:
  // fsPath: this file system's name of the folder, "" for the current directory. A link to
  // a folder is followed here, once. Raises the folder's error (code 3 when it is missing).
  explicit Folder(const std::string& fsPath);

  int Fd() const { return fd_.Get(); }
  // The path it was opened by, for what a message shows; never opened again.
  const std::string& FsPath() const { return fsPath_; }

  // Whether the folder's file system takes two names that differ only in letter case for
  // one (FAT, exFAT): `name` is a file of the folder named in lower-case ASCII letters, and
  // the answer is whether its upper-case spelling reaches it without being a name of its own.
  bool FoldsLetterCase(const std::string& name) const;

  // The folder a path names now; nullopt when it names none. What a selection remembers.
  static std::optional<FolderId> IdOf(const std::string& fsPath);
  // Raises code 3 (the path is not found) unless this is the folder `chosen` (when given):
  // one renamed away and replaced, by a link to another folder say, since it was chosen is
  // not the folder the user chose, and a run there would write into the other one.
  void ExpectChosen(const std::optional<FolderId>& chosen) const;

 private:
  std::string fsPath_;
  sys::FileHandle fd_;
};

}  // namespace corvane
