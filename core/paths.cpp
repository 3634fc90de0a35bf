#include "core/paths.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <vector>

#include "core/byte_text.h"
#include "core/code_page.h"
#include "core/errors.h"
#include "core/file_system.h"
#include "core/io_error.h"

namespace corvane {

std::string JoinPath(std::string_view dir, std::string_view name) {
  std::string path(dir);
  if (!path.empty() && path.back() != '/') path += '/';
  path += name;
  return path;
}

std::string ToFsPath(std::string_view cp932) {
  return Cp932ToUtf8Strict(cp932);
}

std::string FromFsPath(std::string_view fsName) {
  return Utf8ToCp932(fsName);
}

bool IsExistingFile(std::string_view cp932Path) {
  try {
    struct stat st;
    return sys::Stat(ToFsPath(cp932Path).c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
  } catch (const EEncodingError&) {
    return false;
  }
}

std::string CurrentDirectory() {
  std::string cwd;
  if (sys::CurrentDirectory(cwd) != 0) throw IoErrorFromErrno(errno, ".");
  return FromFsPath(cwd);
}

void SetCurrentDirectory(std::string_view cp932Path) {
  std::string fs = ToFsPath(cp932Path);
  if (sys::ChangeDirectory(fs.c_str()) != 0) throw IoErrorFromErrno(errno, fs + "/.");
}

std::pair<std::string, std::string> SplitFolderAndName(std::string_view cp932Path) {
  // '/' is never a trail byte of CP932, but a name may hold bytes that only look like
  // double-byte characters; the scan steps over them all the same.
  std::size_t cut = 0;
  for (std::size_t i = 0; i < cp932Path.size();) {
    unsigned char b = static_cast<unsigned char>(cp932Path[i]);
    if (IsLeadByte(b) && i + 1 < cp932Path.size()) {
      i += 2;
      continue;
    }
    if (b == '/') cut = i + 1;
    ++i;
  }
  return {std::string(cp932Path.substr(0, cut)), std::string(cp932Path.substr(cut))};
}

std::string WithoutTrailingSeparator(std::string_view dir) {
  std::string out(dir);
  if (out.size() > 1 && out.back() == '/') out.pop_back();
  return out;
}

std::string ExistingNameIgnoringCase(const std::string& cp932Path) {
  struct stat st;
  std::string fsPath;
  try {
    fsPath = ToFsPath(cp932Path);
  } catch (const EEncodingError&) {
    return cp932Path;
  }
  if (sys::Stat(fsPath.c_str(), &st) == 0) return cp932Path;

  auto [folder, name] = SplitFolderAndName(cp932Path);
  std::string fsFolder = folder.empty() ? std::string(".") : ToFsPath(folder);
  sys::FileHandle dir = sys::OpenHandle(fsFolder.c_str(), O_RDONLY | O_DIRECTORY);
  std::vector<std::string> names;
  if (!dir || sys::ReadDirectory(dir.Get(), names) != 0) return cp932Path;
  std::vector<std::string> matches;
  const std::string wanted = FoldCase(name);
  for (const std::string& fsName : names) {
    try {
      std::string candidate = FromFsPath(fsName);
      if (candidate.size() == name.size() && FoldCase(candidate) == wanted) {
        matches.push_back(fsName);
      }
    } catch (const EEncodingError&) {
      // A name CP932 cannot hold can never equal a CP932 entry.
    }
  }
  if (matches.empty()) return cp932Path;
  std::sort(matches.begin(), matches.end());
  return folder + FromFsPath(matches.front());
}

}  // namespace corvane
