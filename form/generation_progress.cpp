#include "form/generation_progress.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <condition_variable>
#include <exception>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace corvane {
namespace {

// How long the window's thread waits for the run between two looks at its events: short
// enough that the window answers at once.
constexpr std::chrono::milliseconds kPoll{10};

// What the run's thread and the window share; the run's thread keeps its share, so a run the
// window stopped waiting for can end whenever it does.
struct Run {
  RunControl control;
  std::function<void(RunControl&)> work;
  std::mutex lock;
  std::condition_variable ended;
  bool finished = false;
  bool cancelled = false;
  std::exception_ptr error;
};

// The last run the window stopped waiting for, by the folder it writes to; used on the
// window's thread only.
std::map<std::string, std::shared_ptr<Run>>& LetGo() {
  static std::map<std::string, std::shared_ptr<Run>> runs;
  return runs;
}

// Waits for a run let go earlier: two runs in one folder at once could put their pages in
// place in turns.
void WaitForEarlier(Run& earlier, const RunControl& control) {
  std::unique_lock lock(earlier.lock);
  while (!earlier.finished) {
    earlier.ended.wait_for(lock, kPoll);
    control.ThrowIfCancelled();
  }
}

void RunWork(const std::shared_ptr<Run>& run, std::shared_ptr<Run> earlier) {
  bool cancelled = false;
  std::exception_ptr error;
  try {
    if (earlier) WaitForEarlier(*earlier, run->control);
    earlier.reset();
    run->work(run->control);
  } catch (const RunCancelled&) {
    cancelled = true;
  } catch (...) {
    error = std::current_exception();
  }
  run->work = nullptr;  // what it owns goes with the run, on this thread
  std::lock_guard lock(run->lock);
  run->finished = true;
  run->cancelled = cancelled;
  run->error = error;
  run->ended.notify_all();
}

}  // namespace

ProgressBox::ProgressBox(QWidget* window) : QDialog(window) {
  setObjectName(QStringLiteral("ProgressBox"));
  setWindowTitle(QString::fromUtf8(u8"ＨＴＭＬ作成中"));
  setWindowModality(Qt::WindowModal);
  auto* layout = new QVBoxLayout(this);
  auto* what = new QLabel(QString::fromUtf8(u8"ＨＴＭＬを作成しています"), this);
  count_ = new QLabel(this);
  count_->setObjectName(QStringLiteral("ProgressCount"));
  bar_ = new QProgressBar(this);
  bar_->setTextVisible(false);
  cancel_ = new QPushButton(QString::fromUtf8(u8"キャンセル"), this);
  cancel_->setObjectName(QStringLiteral("CancelButton"));
  cancel_->setAutoDefault(false);
  layout->addWidget(what);
  layout->addWidget(count_);
  layout->addWidget(bar_);
  layout->addWidget(cancel_, 0, Qt::AlignRight);
  connect(cancel_, &QPushButton::clicked, this, &ProgressBox::reject);
  setFixedSize(300, 130);
  // Over the middle of the window, also where no window manager places dialogs.
  move(window->mapToGlobal(window->rect().center()) - rect().center());
}

void ProgressBox::ShowCount(std::size_t done, std::size_t total) {
  count_->setText(QStringLiteral("%1 / %2").arg(done).arg(total));
  // The bar counts in thousandths, so a list of any length fits its range.
  bar_->setRange(0, 1000);
  bar_->setValue(total == 0 ? 0 : static_cast<int>(done * 1000 / total));
}

void ProgressBox::reject() {
  if (cancelPressed_) return;
  cancelPressed_ = true;
  cancel_->setEnabled(false);
  count_->setText(QString::fromUtf8(u8"中止しています…"));
}

RunOutcome RunWithProgress(QWidget* window, const std::string& folder,
                           std::function<void(RunControl&)> work, RunTimes times) {
  auto run = std::make_shared<Run>();
  run->work = std::move(work);
  // Runs let go that have ended since need no waiting for.
  std::erase_if(LetGo(), [](const auto& letGo) {
    std::lock_guard lock(letGo.second->lock);
    return letGo.second->finished;
  });
  std::shared_ptr<Run> earlier;
  if (auto found = LetGo().find(folder); found != LetGo().end()) {
    earlier = std::move(found->second);
    LetGo().erase(found);
  }
  std::thread thread(RunWork, run, std::move(earlier));
  QElapsedTimer clock;
  clock.start();
  QElapsedTimer sinceCancel;
  bool stopped = false;  // キャンセル came before the run began to put its files in place
  std::unique_ptr<ProgressBox> box;
  for (;;) {
    {
      std::unique_lock lock(run->lock);
      if (run->ended.wait_for(lock, kPoll, [&] { return run->finished; })) break;
    }
    if (!box && clock.elapsed() >= times.boxDelay.count()) {
      box = std::make_unique<ProgressBox>(window);
      box->show();
    }
    if (box) box->ShowCount(run->control.Done(), run->control.Total());
    // Before the box shows, input to the window waits for the end of the run; the box then
    // keeps it from the window while it lets キャンセル through.
    QCoreApplication::processEvents(box ? QEventLoop::AllEvents
                                        : QEventLoop::ExcludeUserInputEvents);
    if (box && box->CancelPressed() && !sinceCancel.isValid()) {
      // Once the run puts its files in place it is too late to stop it; it is only waited
      // for no longer than a stopped one.
      stopped = run->control.Cancel();
      sinceCancel.start();
    }
    if (sinceCancel.isValid() && sinceCancel.elapsed() >= times.stopWait.count()) {
      thread.detach();
      LetGo()[folder] = run;
      return stopped ? RunOutcome::Cancelled : RunOutcome::Unconfirmed;
    }
  }
  thread.join();
  box.reset();
  if (run->cancelled || stopped) return RunOutcome::Cancelled;
  if (run->error) std::rethrow_exception(run->error);
  return RunOutcome::Finished;
}

}  // namespace corvane
