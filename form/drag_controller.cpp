#include "form/drag_controller.h"

#include <QApplication>
#include <QCursor>
#include <QKeyEvent>
#include <QMouseEvent>

#include "form/form1.h"
#include "widgets/list_box.h"

namespace corvane {

DragController::DragController(TForm1& form) : QObject(&form), form_(form) {}

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
  MoveTo(source->viewport()->mapToGlobal(QPoint(x, y)));
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
  qApp->removeEventFilter(this);
  if (source) {
    source->viewport()->releaseMouse();
    source->releaseKeyboard();
  }
  QApplication::restoreOverrideCursor();
}

ListBox* DragController::ListAt(const QPoint& global) const {
  for (QWidget* w = QApplication::widgetAt(global); w; w = w->parentWidget()) {
    if (w == form_.ListBox1) return form_.ListBox1;
    if (w == form_.ListBox2) return form_.ListBox2;
    if (w->isWindow()) break;
  }
  return nullptr;
}

bool DragController::OverWindow(const QPoint& global) const {
  if (QWidget* w = QApplication::widgetAt(global)) return w->window() == &form_;
  // The title bar and borders a window manager draws are no widget of ours, but they are
  // part of the window all the same.
  return form_.isVisible() && form_.frameGeometry().contains(global);
}

void DragController::Notify(ListBox* list, const QPoint& client, DragState state) {
  bool accept = false;
  if (observer) {
    observer({state == DragState::Enter  ? Call::Enter
              : state == DragState::Move ? Call::Move
                                         : Call::Leave,
              list, nullptr, client});
  }
  form_.Guarded([&] {
    if (list == form_.ListBox1) {
      form_.ListBox1DragOver(source_, client.x(), client.y(), state, accept);
    } else {
      form_.ListBox2DragOver(source_, client.x(), client.y(), state, accept);
    }
  });
  accepted_ = accept;
}

void DragController::MoveTo(const QPoint& global) {
  at_ = global;
  ListBox* list = ListAt(global);
  if (list != over_) {
    if (over_) Notify(over_, over_->viewport()->mapFromGlobal(global), DragState::Leave);
    if (!Active()) return;
    over_ = list;
    if (list) Notify(list, list->viewport()->mapFromGlobal(global), DragState::Enter);
    if (!Active()) return;
  }
  if (list) Notify(list, list->viewport()->mapFromGlobal(global), DragState::Move);
  if (!Active()) return;
  QApplication::changeOverrideCursor(list && accepted_ ? Qt::DragMoveCursor : Qt::ForbiddenCursor);
}

void DragController::Drop(ListBox* list, const QPoint& client) {
  if (observer) observer({Call::Drop, list, nullptr, client});
  form_.Guarded([&] {
    if (list == form_.ListBox1) {
      form_.ListBox1DragDrop(source_, client.x(), client.y());
    } else {
      form_.ListBox2DragDrop(source_, client.x(), client.y());
    }
  });
}

void DragController::End(ListBox* target, const QPoint& position) {
  ListBox* source = source_;
  Stop();
  if (observer) observer({Call::End, source, target, position});
  form_.Guarded([&] {
    if (source == form_.ListBox1) {
      form_.ListBox1EndDrag(target, position.x(), position.y());
    } else {
      form_.ListBox2EndDrag(target, position.x(), position.y());
    }
  });
  // The press held the source's top index while its entry was out; the entry is back.
  source->HoldTopIndex(false);
}

void DragController::Release(const QPoint& global) {
  // A release where the last movement left the pointer is no movement, so no drag-over
  // call of its own; one elsewhere moved the pointer there first.
  if (global != at_) MoveTo(global);
  if (!Active()) return;
  ListBox* target = over_ && accepted_ ? over_ : nullptr;
  if (over_) Notify(over_, over_->viewport()->mapFromGlobal(global), DragState::Leave);
  if (!Active()) return;
  if (target) {
    QPoint client = target->viewport()->mapFromGlobal(global);
    Drop(target, client);
    if (!Active()) return;
    End(target, client);
  } else {
    End(nullptr, OverWindow(global) ? QPoint(0, 0) : global);
  }
}

void DragController::Escape(const QPoint& global) {
  if (over_) Notify(over_, over_->viewport()->mapFromGlobal(global), DragState::Leave);
  if (!Active()) return;
  End(nullptr, OverWindow(global) ? QPoint(0, 0) : global);
}

bool DragController::eventFilter(QObject* watched, QEvent* event) {
  if (!Active()) return QObject::eventFilter(watched, event);
  switch (event->type()) {
    case QEvent::MouseMove:
      MoveTo(static_cast<QMouseEvent*>(event)->globalPosition().toPoint());
      return true;
    case QEvent::MouseButtonRelease: {
      auto* me = static_cast<QMouseEvent*>(event);
      if (me->button() == Qt::LeftButton || me->button() == Qt::RightButton) {
        Release(me->globalPosition().toPoint());
      }
      return true;
    }
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
      return true;
    case QEvent::KeyPress:
      if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) Escape(QCursor::pos());
      return true;
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
      return true;
    default:
      return QObject::eventFilter(watched, event);
  }
}

}  // namespace corvane
