#include "widgets/window_frame.h"

#include <QEvent>
#include <QScreen>
#include <QTimer>
#include <QWidget>

namespace corvane {

namespace {

// Borders wider than this are not a frame the user sees: weston's window manager for X
// programs puts its drop shadow (some 30 pixels a side) into the frame it reports, and
// taking that off the client would cut the window's controls off at its right and bottom.
constexpr int kWidestSideBorder = 16;

// The client size that makes client and frame together `outer`.
QSize FittedClient(const QWidget& window, QSize outer) {
  QSize frame = window.frameGeometry().size() - window.geometry().size();
  const int left = window.geometry().x() - window.frameGeometry().x();
  if (left > kWidestSideBorder || frame.width() - left > kWidestSideBorder) frame = QSize(0, 0);
  return (outer - frame).expandedTo(QSize(1, 1));
}

}  // namespace

void FitOuterSize(QWidget& window, QSize outer) {
  const QSize client = FittedClient(window, outer);
  if (client != window.size() || window.minimumSize() != client || window.maximumSize() != client)
    window.setFixedSize(client);
}

void CentreOnScreen(QWidget& window) {
  const QScreen* screen = window.screen();
  if (screen == nullptr) return;
  const QRect area = screen->availableGeometry();
  const QRect outer = window.frameGeometry();
  window.move(area.x() + (area.width() - outer.width()) / 2,
              area.y() + (area.height() - outer.height()) / 2);
}

namespace {

QSize FrameSize(const QWidget& window) {
  return window.frameGeometry().size() - window.geometry().size();
}

class CentreKeeper : public QObject {
 public:
  // An empty `outer` leaves the size alone.
  CentreKeeper(QWidget& window, QSize outer) : QObject(&window), window_(window), outer_(outer) {
    window.installEventFilter(this);
    // A window manager's frame arrives after the window is mapped, and often nothing tells
    // the window: its client stays where it was put. So the frame is looked at for a
    // short while after each showing.
    watch_.setInterval(kWatchIntervalMs);
    connect(&watch_, &QTimer::timeout, this, [this] {
      // A new frame, or a client that no longer fits the frame it has (a fit made while
      // the frame was still changing).
      if (FrameSize(window_) != frame_ ||
          (!outer_.isEmpty() && window_.size() != FittedClient(window_, outer_)))
        Centre();
      if (++ticks_ >= kWatchTicks) watch_.stop();
    });
  }

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    switch (event->type()) {
      case QEvent::Show:
        ticks_ = 0;
        watch_.start();
        Centre();
        break;
      case QEvent::Resize:
        Centre();
        break;
      case QEvent::Move:
        // A move with the same frame is the user's (or our own); a new frame is not.
        if (FrameSize(window_) != frame_) Centre();
        break;
      default:
        break;
    }
    return false;
  }

 private:
  static constexpr int kWatchIntervalMs = 50;
  // Five seconds: a program slow to start (GTK's theme loading, a loaded machine) can see
  // its frame arrive well after two.
  static constexpr int kWatchTicks = 100;

  void Centre() {
    frame_ = FrameSize(window_);
    if (!outer_.isEmpty()) FitOuterSize(window_, outer_);
    CentreOnScreen(window_);
  }

  QWidget& window_;
  QSize outer_;
  QSize frame_;
  QTimer watch_;
  int ticks_ = 0;
};

}  // namespace

void KeepCentredOnScreen(QWidget& window) {
  new CentreKeeper(window, QSize());
}

void KeepOuterSizeCentred(QWidget& window, QSize outer) {
  new CentreKeeper(window, outer);
}

}  // namespace corvane
