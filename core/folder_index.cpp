#include "core/folder_index.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <vector>

#include "core/byte_text.h"
#include "core/code_page.h"
#include "core/errors.h"
#include "core/file_system.h"
#include "core/folder.h"
#include "core/paths.h"

namespace corvane {
namespace {

// The plain conversion; nullopt for bytes that cannot name a file at all.
std::optional<std::string> PlainFsName(std::string_view cp932) {
  if (cp932.find('\0') != std::string_view::npos) return std::nullopt;
  try {
    return ToFsPath(cp932);
  } catch (const EEncodingError&) {
    return std::nullopt;
  }
}

bool Exists(const std::string& fsPath) {
  struct stat st;
  return sys::Stat(fsPath.c_str(), &st) == 0;
}

template <typename Map, typename Key, typename Value>
void KeepFirstInByteOrder(Map& map, Key&& key, const Value& value) {
  auto [it, inserted] = map.try_emplace(std::forward<Key>(key), value);
  if (!inserted && value.fsName < it->second.fsName) it->second = value;
}

}  // namespace

std::optional<std::string> FolderIndex::Find(std::string_view cp932Path) {
  std::optional<std::string> plain = PlainFsName(cp932Path);
  if (!plain || plain->empty() || Exists(*plain)) return plain;

  // A folder text ends in '/' (never a trail byte): look for the folder itself.
  std::string_view path = cp932Path;
  bool trailingSeparator = false;
  while (path.size() > 1 && path.back() == '/') {
    path.remove_suffix(1);
    trailingSeparator = true;
  }
  auto [folder, name] = SplitFolderAndName(path);
  if (name.empty()) return plain;
  std::optional<std::string> fsFolder = FindFolder(folder);
  std::optional<Entry> entry = fsFolder ? FindIn(*fsFolder, name) : std::nullopt;
  if (!entry) return plain;
  return trailingSeparator ? entry->fsPath + "/" : entry->fsPath;
}

std::string FolderIndex::Path(std::string_view cp932Path) {
  std::optional<std::string> found = Find(cp932Path);
  if (!found) throw EInOutError(IoCode::InvalidName);
  return *found;
}

std::optional<std::string> FolderIndex::FindFolder(std::string_view cp932Folder) {
  if (cp932Folder.empty()) return std::string();
  std::string key(cp932Folder);
  if (auto it = folders_.find(key); it != folders_.end()) return it->second;
  std::optional<std::string> found = Find(cp932Folder);
  if (found) folders_.emplace(std::move(key), *found);
  return found;
}

std::optional<FolderIndex::Entry> FolderIndex::Plain(const std::string& fsFolder,
                                                     std::string_view cp932Name) {
  if (cp932Name.empty() || cp932Name.find('/') != std::string_view::npos) return std::nullopt;
  std::optional<std::string> plainName = PlainFsName(cp932Name);
  if (!plainName) return std::nullopt;
  return Entry{JoinPath(fsFolder, *plainName), std::string(cp932Name), *plainName};
}

FolderIndex::Entry FolderIndex::Found(const Listing& listing, const std::string& fsFolder,
                                      const Entry& plain) {
  auto hit = listing.exact.find(plain.name);
  if (hit == listing.exact.end()) {
    hit = listing.folded.find(FoldCase(plain.name));
    if (hit == listing.folded.end()) return plain;
  }
  return Entry{JoinPath(fsFolder, hit->second.fsName), hit->second.name, hit->second.fsName};
}

std::optional<FolderIndex::Entry> FolderIndex::PlainIn(const std::string& fsFolder,
                                                       std::string_view cp932Name) {
  return Plain(fsFolder, cp932Name);
}

FolderIndex::Entry FolderIndex::SearchIn(const std::string& fsFolder, const Entry& plain) {
  return Found(ListingOf(fsFolder), fsFolder, plain);
}

std::optional<FolderIndex::Entry> FolderIndex::FindIn(const std::string& fsFolder,
                                                      std::string_view cp932Name) {
  std::optional<Entry> plain = PlainIn(fsFolder, cp932Name);
  if (!plain || Exists(plain->fsPath)) return plain;
  return SearchIn(fsFolder, *plain);
}

std::optional<FolderIndex::Entry> FolderIndex::PlainIn(const Folder&, std::string_view cp932Name) {
  return Plain(std::string(), cp932Name);
}

FolderIndex::Entry FolderIndex::SearchIn(const Folder& folder, const Entry& plain) {
  auto [it, inserted] = held_.try_emplace(folder.Fd());
  if (inserted) ReadListing(folder.Fd(), ".", it->second);
  return Found(it->second, std::string(), plain);
}

std::optional<FolderIndex::Entry> FolderIndex::FindIn(const Folder& folder,
                                                      std::string_view cp932Name) {
  std::optional<Entry> plain = PlainIn(folder, cp932Name);
  struct stat st;
  if (!plain || sys::StatAt(folder.Fd(), plain->fsName.c_str(), &st) == 0) return plain;
  return SearchIn(folder, *plain);
}

const FolderIndex::Listing& FolderIndex::ListingOf(const std::string& fsFolder) {
  auto [it, inserted] = listings_.try_emplace(fsFolder);
  if (inserted) ReadListing(AT_FDCWD, fsFolder.empty() ? "." : fsFolder.c_str(), it->second);
  return it->second;
}

void FolderIndex::ReadListing(int dir, const char* name, Listing& listing) {
  std::vector<std::string> fsNames;
  // A folder that cannot be read holds nothing to find: the plain name is used, and
  // opening it reports the error.
  sys::FileHandle listed = sys::OpenHandleAt(dir, name, O_RDONLY | O_DIRECTORY);
  if (!listed || sys::ReadDirectory(listed.Get(), fsNames) != 0) return;
  listed.Close();
  for (std::string& fsName : fsNames) {
    OnDisk onDisk;
    try {
      onDisk.name = FromFsPath(fsName);
    } catch (const EEncodingError&) {
      continue;  // a name CP932 cannot hold can equal no CP932 name
    }
    onDisk.fsName = std::move(fsName);
    KeepFirstInByteOrder(listing.folded, FoldCase(onDisk.name), onDisk);
    KeepFirstInByteOrder(listing.exact, onDisk.name, onDisk);
  }
}

std::string NameForPages(const FolderIndex::Entry& file) {
  if (ToFsPath(file.name) == file.fsName) return file.name;
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : file.fsName) {
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
        c == '.' || c == '_' || c == '~') {
      out += static_cast<char>(c);
    } else {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 0x0F];
    }
  }
  return out;
}

}  // namespace corvane
