#pragma once
// Helpers shared by the fuzz targets: a scratch folder that lives as long as the process,
// whole-file writes and reads, and a second, deliberately naive reading of the line rules that the
// targets hold the product's line reader to.

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace corvane::fuzzing {

// Prints what went wrong and aborts, which libFuzzer reports as a crash with the input.
[[noreturn]] inline void Fail(const char* what) {
  std::fprintf(stderr, "fuzz invariant broken: %s\n", what);
  std::abort();
}

#define FUZZ_CHECK(cond)                          \
  do {                                            \
    if (!(cond)) ::corvane::fuzzing::Fail(#cond); \
  } while (0)

// A folder for the files one target writes, on a RAM file system when there is one (the
// settings target syncs every save to disk, which on a real disk would cost milliseconds
// per input), or under $CORVANE_FUZZ_TMP. Removed at exit; a crashed run leaves it behind,
// so tools/run-fuzz points CORVANE_FUZZ_TMP at a folder it removes itself.
class ScratchDir {
 public:
  ScratchDir() {
    const char* base = std::getenv("CORVANE_FUZZ_TMP");
    if (base == nullptr) base = ::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    std::string pattern = std::string(base) + "/corvane-fuzz-XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr) Fail("cannot create the scratch folder");
    path_ = pattern;
  }
  ~ScratchDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;

  const std::string& Path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }

  // The names in the folder other than "." and "..".
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    if (DIR* d = ::opendir(path_.c_str())) {
      while (dirent* e = ::readdir(d)) {
        std::string name = e->d_name;
        if (name != "." && name != "..") names.push_back(name);
      }
      ::closedir(d);
    }
    return names;
  }

 private:
  std::string path_;
};

// Plain system calls rather than stdio: these run several times per input, and a stream's
// buffer would be one more allocation each time under the address sanitizer.
inline void WriteWholeFile(const std::string& path, std::string_view bytes) {
  int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) Fail("cannot create a scratch file");
  std::size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n <= 0) Fail("cannot write a scratch file");
    done += static_cast<std::size_t>(n);
  }
  if (::close(fd) != 0) Fail("cannot write a scratch file");
}

inline std::string ReadWholeFile(const std::string& path) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) Fail("cannot open a scratch file");
  std::string bytes;
  char chunk[4096];
  ssize_t n;
  while ((n = ::read(fd, chunk, sizeof chunk)) > 0)
    bytes.append(chunk, static_cast<std::size_t>(n));
  ::close(fd);
  if (n < 0) Fail("cannot read a scratch file");
  return bytes;
}

// The text of a file as the program sees it: everything before the first 0x1A.
inline std::string_view TextPart(std::string_view bytes) {
  return bytes.substr(0, bytes.find('\x1A'));
}

// The lines of a text (no 0x1A in it), found the slow and obvious way: a line ends at a CR or
// an LF, and an LF right after a CR belongs to that line end. A text that ends with a line end
// has no empty line after it.
inline std::vector<std::string> SplitLines(std::string_view text) {
  std::vector<std::string> lines;
  std::string current;
  bool open = false;  // bytes of a line without its end have been seen
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' || text[i] == '\n') {
      lines.push_back(current);
      current.clear();
      open = false;
      if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      current += text[i];
      open = true;
    }
  }
  if (open) lines.push_back(current);
  return lines;
}

}  // namespace corvane::fuzzing
