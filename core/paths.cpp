#include "core/paths.h"

#include <sys/stat.h>

#include <cerrno>

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

bool IsExistingFile(const std::string& fsPath) {
  struct stat st;
  return fsPath.find('\0') == std::string::npos && sys::Stat(fsPath.c_str(), &st) == 0 &&
         !S_ISDIR(st.st_mode);
}

std::string CurrentDirectory() {
  std::string cwd;
  if (sys::CurrentDirectory(cwd) != 0) throw IoErrorFromErrno(errno, ".");
  return cwd;
}

void SetCurrentDirectory(const std::string& fsPath) {
  if (sys::ChangeDirectory(fsPath.c_str()) != 0) throw IoErrorFromErrno(errno, fsPath + "/.");
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

std::pair<std::string, std::string> SplitFsPath(std::string_view fsPath) {
  // '/' is a byte of its own in UTF-8.
  const std::size_t cut = fsPath.rfind('/') + 1;  // 0 when there is none
  return {std::string(fsPath.substr(0, cut)), std::string(fsPath.substr(cut))};
}

std::string FsFolderOf(std::string_view fsPath) {
  return SplitFsPath(fsPath).first;
}

std::string WithoutTrailingSeparator(std::string_view dir) {
  std::string out(dir);
  if (out.size() > 1 && out.back() == '/') out.pop_back();
  return out;
}

}  // namespace corvane
