#include "form/drag_controller.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWindow>

#include "form/form1.h"
#include "widgets/list_box.h"

namespace corvane {

DragController::DragController(TForm1& form) : QObject(&form), form_(form) {
  // Restarted after each step, so that a step run late never brings the next one closer.
  scrollTimer_.setSingleShot(true);
  scrollTimer_.setInterval(kScrollIntervalMs);
  scrollTimer_.setTimerType(Qt::PreciseTimer);
  connect(&scrollTimer_, &QTimer::timeout, this, &DragController::ScrollStep);
}

DragController::~DragController() {
  if (Active()) Stop();
}

void DragController::Begin(ListBox* source, int x, int y) {
  source_ = source;
  over_ = nullptr;
  accepted_ = false;
  qApp->installEventFilter(this);
  source->viewport()->grabMouse();
  source->grabKeyboard();
  QApplication::setOverrideCursor(Qt::DragMoveCursor);
  // The drag is live from the press: the source is under the pointer.
  const QPoint client(x, y);
  MoveTo({source->viewport()->mapTo(&form_, client), source->viewport()->mapToGlobal(client)});
}

void DragController::Cancel() {
  if (!Active()) return;
  ListBox* source = source_;
  Stop();
  source->HoldTopIndex(false);
}

void DragController::Stop() {
  ListBox* source = source_;
  source_ = nullptr;
  over_ = nullptr;
  StopScroll();
  qApp->removeEventFilter(this);
  if (source) {
    source->viewport()->releaseMouse();
    source->releaseKeyboard();
  }
  QApplication::restoreOverrideCursor();
}

void DragController::ScrollWhilePointerRests(ListBox* list, int direction,
                                             std::function<bool()> step) {
  // A list being left is no longer under the pointer, so neither is its edge row.
  if (leaving_) return;
  scrollAskedAgain_ = true;
  if (scrollTimer_.isActive() && scrollList_ == list && scrollDirection_ == direction) return;
  StopScroll();
  if (!step()) return;
  scrollList_ = list;
  scrollDirection_ = direction;
  scrollStep_ = std::move(step);
  scrollTimer_.start();
}

void DragController::StopScroll() {
  scrollTimer_.stop();
  scrollList_ = nullptr;
  scrollDirection_ = 0;
  scrollStep_ = nullptr;
}

void DragController::ScrollStep() {
  if (!Active() || !scrollStep_) {
    StopScroll();
    return;
  }
  bool more = false;
  form_.Guarded([&] { more = scrollStep_(); });
  if (!more) {
    StopScroll();
  } else if (Active()) {
    scrollTimer_.start();
  }
}

DragController::Where DragController::WhereOf(QObject* watched, const QMouseEvent& event) const {
  const QPoint screen = event.globalPosition().toPoint();
  const QPoint local = event.position().toPoint();
  // Events reach the window's platform window first, then the widget under the grab; both
  // carry a position of their own.
  if (watched == form_.windowHandle()) return {local, screen};
  if (auto* widget = qobject_cast<QWidget*>(watched); widget && widget->window() == &form_)
    return {widget->mapTo(&form_, local), screen};
  // Another window of the program (none is open during a drag): only the screen is common.
  return {form_.mapFromGlobal(screen), screen};
}

ListBox* DragController::ListAt(const QPoint& window) const {
  if (!form_.rect().contains(window)) return nullptr;
  for (QWidget* w = form_.childAt(window); w && w != &form_; w = w->parentWidget()) {
    if (w == form_.ListBox1) return form_.ListBox1;
    if (w == form_.ListBox2) return form_.ListBox2;
  }
  return nullptr;
}

bool DragController::OverWindow(const QPoint& window) const {
  // The title bar and borders a window manager (or Wayland's own decorations) draw are no
  // widget of ours, but they are part of the window all the same. Both rectangles are the
  // toolkit's own, so their offset needs no screen position.
  const QRect frame = form_.frameGeometry().translated(-form_.geometry().topLeft());
  return form_.rect().contains(window) || (form_.isVisible() && frame.contains(window));
}

QPoint DragController::ClientOf(ListBox* list, const QPoint& window) const {
  return list->viewport()->mapFrom(&form_, window);
}

void DragController::Notify(ListBox* list, const QPoint& client, DragState state) {
  bool accept = false;
  if (observer) {
    observer({state == DragState::Enter  ? Call::Enter
              : state == DragState::Move ? Call::Move
                                         : Call::Leave,
              list, nullptr, client});
  }
  leaving_ = state == DragState::Leave;
  emit DragOver(list, source_, client.x(), client.y(), state, accept);
  leaving_ = false;
  accepted_ = accept;
}

void DragController::MoveTo(const Where& at) {
  at_ = at;
  // Whatever scroll these notifications do not ask for again ends with this movement.
  scrollAskedAgain_ = false;
  ListBox* list = ListAt(at.window);
  if (list != over_) {
    if (over_) Notify(over_, ClientOf(over_, at.window), DragState::Leave);
    if (!Active()) return;
    over_ = list;
    if (list) Notify(list, ClientOf(list, at.window), DragState::Enter);
    if (!Active()) return;
  }
  if (list) Notify(list, ClientOf(list, at.window), DragState::Move);
  if (!Active()) return;
  if (!scrollAskedAgain_) StopScroll();
  QApplication::changeOverrideCursor(list && accepted_ ? Qt::DragMoveCursor : Qt::ForbiddenCursor);
}

void DragController::Drop(ListBox* list, const QPoint& client) {
  if (observer) observer({Call::Drop, list, nullptr, client});
  emit DragDrop(list, source_, client.x(), client.y());
}

void DragController::End(ListBox* target, const QPoint& position) {
  ListBox* source = source_;
  Stop();
  if (observer) observer({Call::End, source, target, position});
  emit EndDrag(source, target, position.x(), position.y());
  // The press held the source's top index while its entry was out; the entry is back.
  source->HoldTopIndex(false);
}

void DragController::Release(const Where& at) {
  // A release where the last movement left the pointer is no movement, so no drag-over
  // call of its own; one elsewhere moved the pointer there first.
  if (at.window != at_.window) MoveTo(at);
  if (!Active()) return;
  StopScroll();
  ListBox* target = over_ && accepted_ ? over_ : nullptr;
  if (over_) Notify(over_, ClientOf(over_, at.window), DragState::Leave);
  if (!Active()) return;
  if (target) {
    const QPoint client = ClientOf(target, at.window);
    Drop(target, client);
    if (!Active()) return;
    End(target, client);
  } else {
    End(nullptr, OverWindow(at.window) ? QPoint(0, 0) : at.screen);
  }
}

void DragController::Escape() {
  // Where the last movement left the pointer: a key carries no position of its own.
  StopScroll();
  const Where at = at_;
  if (over_) Notify(over_, ClientOf(over_, at.window), DragState::Leave);
  if (!Active()) return;
  End(nullptr, OverWindow(at.window) ? QPoint(0, 0) : at.screen);
}

bool DragController::eventFilter(QObject* watched, QEvent* event) {
  if (!Active()) return QObject::eventFilter(watched, event);
  switch (event->type()) {
    case QEvent::MouseMove: {
      MoveTo(WhereOf(watched, *static_cast<QMouseEvent*>(event)));
      return true;
    }
    case QEvent::MouseButtonRelease: {
      auto* me = static_cast<QMouseEvent*>(event);
      if (me->button() == Qt::LeftButton || me->button() == Qt::RightButton) {
        Release(WhereOf(watched, *me));
      }
      return true;
    }
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
      return true;
    case QEvent::KeyPress:
      if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) Escape();
      return true;
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
      return true;
    default:
      return QObject::eventFilter(watched, event);
  }
}

}  // namespace corvane
