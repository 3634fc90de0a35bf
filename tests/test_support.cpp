#include "tests/test_support.h"

#include <dirent.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace corvane::testing {

TempDir::TempDir() {
  char tmpl[] = "/tmp/corvane-test-XXXXXX";
  if (!::mkdtemp(tmpl)) throw std::runtime_error("mkdtemp failed");
  path_ = tmpl;
}

TempDir::~TempDir() {
  std::error_code ec;
  // Tests may have made files read-only; removal needs write permission on folders only.
  std::filesystem::remove_all(path_, ec);
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) throw std::runtime_error("cannot write " + path);
  out << bytes;
}

bool Exists(const std::string& path) {
  std::error_code ec;
  return std::filesystem::exists(std::filesystem::symlink_status(path, ec));
}

std::string CrLfLines(std::initializer_list<std::string> lines) {
  std::string out;
  for (const auto& line : lines) out += line + "\r\n";
  return out;
}

int OpenDescriptorCount() {
  int count = 0;
  for (const auto& e : std::filesystem::directory_iterator("/proc/self/fd")) {
    (void)e;
    ++count;
  }
  return count;
}

}  // namespace corvane::testing

namespace corvane::testing {

ScopedFault::ScopedFault(int nth, int err) {
  auto calls = calls_;
  auto fired = fired_;
  auto firedCall = firedCall_;
  sys::SetFaultHook([=, lock = lock_](sys::Call call) {
    std::lock_guard guard(*lock);  // pictures may be measured on threads of their own
    if (++*calls == nth) {
      *fired = true;
      *firedCall = call;
      return err;
    }
    return 0;
  });
}

ScopedFault::ScopedFault(sys::Call only, int nth, int err) {
  auto calls = calls_;
  auto fired = fired_;
  auto firedCall = firedCall_;
  sys::SetFaultHook([=, lock = lock_](sys::Call call) {
    std::lock_guard guard(*lock);  // pictures may be measured on threads of their own
    if (call == only && ++*calls == nth) {
      *fired = true;
      *firedCall = call;
      return err;
    }
    return 0;
  });
}

ScopedFault::~ScopedFault() {
  sys::SetFaultHook(nullptr);
}

}  // namespace corvane::testing
