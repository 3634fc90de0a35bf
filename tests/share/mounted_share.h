#pragma once
// A scratch folder served as a slow network share (slow_share, a FUSE pass-through that waits
// before answering each request) for one test or benchmark. Needs root and /dev/fuse; Usable()
// says whether the share came up.

#include <signal.h>
#include <spawn.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "tests/test_support.h"

extern char** environ;

namespace corvane::testing {

class MountedShare {
 public:
  // The share shows Source() at Path(); every request waits delayUs microseconds.
  explicit MountedShare(long delayUs) {
    std::filesystem::create_directories(dir_ / "source");
    std::filesystem::create_directories(dir_ / "share");
    if (::access("/dev/fuse", R_OK | W_OK) != 0) return;
    const std::string program = CORVANE_SLOW_SHARE;
    const std::string source = Source(), path = Path(), delay = std::to_string(delayUs);
    char* argv[] = {const_cast<char*>(program.c_str()), const_cast<char*>(source.c_str()),
                    const_cast<char*>(path.c_str()), const_cast<char*>(delay.c_str()), nullptr};
    // The server is no part of the program: a leak report of its library must not fail a test.
    std::vector<std::string> env;
    for (char** e = environ; *e != nullptr; ++e) {
      if (std::strncmp(*e, "ASAN_OPTIONS=", 13) != 0) env.emplace_back(*e);
    }
    env.emplace_back("ASAN_OPTIONS=detect_leaks=0");
    std::vector<char*> envp;
    for (std::string& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);
    if (::posix_spawn(&pid_, program.c_str(), nullptr, nullptr, argv, envp.data()) != 0) {
      pid_ = -1;
      return;
    }
    struct stat below, at;
    ::stat(dir_.Path().c_str(), &below);
    for (int i = 0; i < 500 && !mounted_; ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
      mounted_ = ::stat(path.c_str(), &at) == 0 && at.st_dev != below.st_dev;
    }
  }
  ~MountedShare() { Stop(); }
  // Unmounts the share and ends its server, as a server going away does.
  void Stop() {
    // Detached first, so that a request the share never answers does not keep it; the
    // server then answers every waiting request with an error and ends.
    if (mounted_) ::umount2(Path().c_str(), MNT_DETACH);
    if (pid_ > 0) {
      ::kill(pid_, SIGTERM);
      int status = 0;
      ::waitpid(pid_, &status, 0);
      pid_ = -1;
    }
    mounted_ = false;
  }
  MountedShare(const MountedShare&) = delete;
  MountedShare& operator=(const MountedShare&) = delete;

  bool Usable() const { return mounted_; }
  std::string Source() const { return dir_ / "source"; }  // the files, on the local disk
  std::string Path() const { return dir_ / "share"; }     // the same files, through the share

 private:
  TempDir dir_;
  pid_t pid_ = -1;
  bool mounted_ = false;
};

}  // namespace corvane::testing
