#pragma once
// A long run of the program's own work, such as a generation, done on a thread of its own while
// the window waits for it, so the window never stops answering the desktop.
//
// While the run lasts no handler of the window runs: until the run has taken half a second
// input to the window waits (as it would for a busy window, and runs afterwards), then a
// window-modal box shows how many entries are done out of all, with キャンセル. A short run
// never shows the box.

#include <QDialog>
#include <chrono>
#include <functional>
#include <string>

#include "core/run_control.h"

class QLabel;
class QProgressBar;
class QPushButton;

namespace corvane {

// The box a long run shows.
class ProgressBox : public QDialog {
  Q_OBJECT

 public:
  explicit ProgressBox(QWidget* window);
  void ShowCount(std::size_t done, std::size_t total);
  // キャンセル was pressed (or the box was closed, or Esc): the run is being stopped.
  bool CancelPressed() const { return cancelPressed_; }
  void reject() override;

 private:
  QLabel* count_;
  QProgressBar* bar_;
  QPushButton* cancel_;
  bool cancelPressed_ = false;
};

enum class RunOutcome {
  Finished,
  Cancelled,    // キャンセル stopped the run before it began to put its files in place
  Unconfirmed,  // キャンセル came while the run was putting its files in place, and it did not
                // end in time: it was let go, and may yet complete, or fail and put back the
                // files it had replaced
};

struct RunTimes {
  // How long a run goes on before the box shows.
  std::chrono::milliseconds boxDelay{500};
  // How long a cancelled run may take to stop before the window stops waiting for it: a
  // request to a share that no longer answers may never return. The run then ends on its
  // own whenever it does, putting nothing in place.
  std::chrono::milliseconds stopWait{700};
};

// Runs work off the window's thread and waits for it; folder names what it writes to. work
// must own everything it reads: a run the window stopped waiting for outlives this call, and
// the next run for the same folder waits for it to end before its own work begins (it too can
// be cancelled meanwhile), so that the two never put files in place in turns. Raises again
// what work raised.
RunOutcome RunWithProgress(QWidget* window, const std::string& folder,
                           std::function<void(RunControl&)> work, RunTimes times = {});

}  // namespace corvane
