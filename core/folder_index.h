#pragma once
// Finding the file a CP932 name means on this file system.
//
// The plain conversion of a CP932 name is not always the name on disk. Some CP932
// characters have two Unicode spellings (〜 U+301C and ～ U+FF5E, − U+2212 and － U+FF0D,
// ...): input methods type the first, the conversion back gives the second, so both UTF-8
// names map to the same CP932 bytes. And the program's names were made for a file system
// that ignores letter case. So when the plain conversion does not exist, the folder is
// searched by CP932 spelling: the name with exactly these bytes first, then one equal
// ignoring letter case (the first such name in byte order). Folder components are found
// the same way.
//
// One index serves one operation (a generation run, a reload, a selection): each folder
// is read at most once, and only when a name in it is missing, so a thousand names that
// differ in case from their files cost one directory read, not a thousand.

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace corvane {

class Folder;

class FolderIndex {
 public:
  struct Entry {
    std::string fsPath;  // the path to hand to the system (in a held folder: fsName)
    std::string name;    // the bare name as it is on disk, in CP932
    std::string fsName;  // the bare name as it is on disk, in this file system's encoding
  };

  // A CP932 path (absolute, or relative to the current directory) as a path of this file
  // system. When nothing matches, the plain conversion, so that using it reports the
  // missing file or folder. nullopt for bytes that name nothing: not CP932, or a NUL.
  std::optional<std::string> Find(std::string_view cp932Path);
  // The same, with a name that names nothing refused as the system refuses a bad name.
  std::string Path(std::string_view cp932Path);

  // A bare name inside a folder already found (fsFolder: "" is the current directory).
  // nullopt for a name that is not a bare name (empty, holding '/' or a NUL) or not CP932:
  // such a name is never opened, so nothing outside the folder can be reached through it.
  std::optional<Entry> FindIn(const std::string& fsFolder, std::string_view cp932Name);
  // FindIn in two steps, for a caller that opens the plain name first and searches only when
  // the system says it is missing: the plain entry, without a system call (nullopt as for
  // FindIn), then the entry the search finds for it (the plain entry when none matches).
  std::optional<Entry> PlainIn(const std::string& fsFolder, std::string_view cp932Name);
  Entry SearchIn(const std::string& fsFolder, const Entry& plain);

  // The same inside a folder held open for the operation: the entries name files relative
  // to it (fsPath is the bare fsName), and the folder is looked at through its descriptor.
  std::optional<Entry> FindIn(const Folder& folder, std::string_view cp932Name);
  std::optional<Entry> PlainIn(const Folder& folder, std::string_view cp932Name);
  Entry SearchIn(const Folder& folder, const Entry& plain);

 private:
  struct OnDisk {
    std::string fsName;
    std::string name;  // CP932
  };
  struct Listing {
    // By CP932 name, and by its folded form; of several names on disk the first in byte
    // order is kept.
    std::unordered_map<std::string, OnDisk> exact;
    std::unordered_map<std::string, OnDisk> folded;
  };
  const Listing& ListingOf(const std::string& fsFolder);
  static void ReadListing(int dir, const char* name, Listing& listing);
  static std::optional<Entry> Plain(const std::string& fsFolder, std::string_view cp932Name);
  static Entry Found(const Listing& listing, const std::string& fsFolder, const Entry& plain);
  std::optional<std::string> FindFolder(std::string_view cp932Folder);

  std::unordered_map<std::string, Listing> listings_;     // by folder on disk
  std::unordered_map<int, Listing> held_;                 // by descriptor of a held folder
  std::unordered_map<std::string, std::string> folders_;  // CP932 folder -> folder on disk
};

// How a page names the file so that a browser finds it: its CP932 name, which a browser
// reading the page as Shift_JIS turns back into the plain conversion, the name on disk.
// When the name on disk is the other spelling (〜 typed as U+301C), no CP932 text leads
// there: its own bytes, percent-encoded, which browsers and web servers take as they are.
std::string NameForPages(const FolderIndex::Entry& file);

}  // namespace corvane
