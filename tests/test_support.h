#pragma once
// Helpers shared by the tests: a scratch folder that removes itself, whole-file reads and
// writes, the default settings, and CP932 literals.

#include <memory>
#include <mutex>
#include <string>

#include "core/code_page.h"
#include "core/settings.h"

namespace corvane::testing {

// A fresh folder under /tmp, removed with everything in it when the object goes away.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  // The folder (no trailing '/'), and a name inside it.
  const std::string& Path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& bytes);
bool Exists(const std::string& path);

// The settings a first start sets up.
inline Settings Defaults() {
  Settings s;
  SetDefaultSettings(s);
  return s;
}

// Lines joined with CR LF after each, as the program writes them.
std::string CrLfLines(std::initializer_list<std::string> lines);

// Open file descriptors of this process (to prove nothing is left open).
int OpenDescriptorCount();

inline std::string S(const char8_t* utf8) {
  return Sjis(utf8);
}

// The same text in UTF-8, as pages hold it.
inline std::string U(const char8_t* utf8) {
  return reinterpret_cast<const char*>(utf8);
}

}  // namespace corvane::testing

#include "core/file_system.h"

namespace corvane::testing {

// Makes the nth file-system call (counting from 1, of any kind, or only of `only`) fail
// with `err` while the object lives; counts the calls seen.
class ScopedFault {
 public:
  ScopedFault(int nth, int err);
  ScopedFault(sys::Call only, int nth, int err);
  ~ScopedFault();
  int Calls() const { return *calls_; }
  bool Fired() const { return *fired_; }
  // The kind of call that was failed (meaningful once Fired()).
  sys::Call FiredCall() const { return *firedCall_; }

 private:
  std::shared_ptr<int> calls_ = std::make_shared<int>(0);
  std::shared_ptr<bool> fired_ = std::make_shared<bool>(false);
  std::shared_ptr<sys::Call> firedCall_ = std::make_shared<sys::Call>(sys::Call::Open);
  std::shared_ptr<std::mutex> lock_ = std::make_shared<std::mutex>();
};

}  // namespace corvane::testing
