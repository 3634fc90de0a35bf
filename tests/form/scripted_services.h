#pragma once
// A PlatformServices for tests: every dialog answers from a queue filled by the test, every
// call is recorded, and nothing ever blocks. A dialog asked for with nothing queued answers
// as if the user had cancelled it (and the call is still recorded).

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "form/platform_services.h"

namespace corvane::testing {

class ScriptedServices : public PlatformServices {
 public:
  struct FilesDialogCall {
    std::string initialDir;
    std::string seedFile;
  };
  struct DirDialogCall {
    std::string initialDir;
    std::string fileName;
  };
  struct InputBoxCall {
    std::string caption;
    std::string prompt;
    std::string initial;
  };

  // --- answers, consumed front first ---
  std::deque<std::optional<std::vector<std::string>>> filesDialogAnswers;
  std::deque<std::optional<std::string>> dirDialogAnswers;
  // nullopt is a cancelled input box (it returns its initial text).
  std::deque<std::optional<std::string>> inputBoxAnswers;

  // --- records ---
  std::vector<FilesDialogCall> filesDialogCalls;
  std::vector<DirDialogCall> dirDialogCalls;
  std::vector<InputBoxCall> inputBoxCalls;
  std::vector<std::string> errors;  // texts shown by the error report, in order
  std::vector<std::string> infos;   // texts shown by the information dialog, in order

  std::optional<std::vector<std::string>> OpenFilesDialog(const std::string& initialDir,
                                                          const std::string& seedFile) override {
    filesDialogCalls.push_back({initialDir, seedFile});
    return Next(filesDialogAnswers);
  }

  std::optional<std::string> OpenDirDialog(const std::string& initialDir,
                                           const std::string& fileName) override {
    dirDialogCalls.push_back({initialDir, fileName});
    return Next(dirDialogAnswers);
  }

  std::string InputBox(const std::string& caption, const std::string& prompt,
                       const std::string& initial) override {
    inputBoxCalls.push_back({caption, prompt, initial});
    std::optional<std::string> answer = Next(inputBoxAnswers);
    return answer ? *answer : initial;
  }

  void ShowErrorBox(const std::string& text) override { errors.push_back(text); }
  void ShowInfoMessage(const std::string& text) override { infos.push_back(text); }

 private:
  template <typename T>
  static std::optional<T> Next(std::deque<std::optional<T>>& queue) {
    if (queue.empty()) return std::nullopt;
    std::optional<T> answer;
    answer.swap(queue.front());
    queue.pop_front();
    return answer;
  }
};

}  // namespace corvane::testing
