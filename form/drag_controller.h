#pragma once
// Dragging one entry between and within the two lists, inside the program: a press in a
// list starts it (the list's handler calls Begin), pointer moves deliver the entering /
// moving / leaving notifications to the list under the pointer, a release of the left or
// right button drops on that list or ends the drag elsewhere, and Esc cancels. The
// handlers see only list-client positions, or the end position: (0, 0) over the window,
// the pointer's screen position outside it. The notifications are signals, bound to the
// lists' handlers where every other event is bound (form1_wiring.cpp).
//
// Where the pointer is, is taken from each event's own position in the window, never from
// the screen: a window manager's idea of where the window lies can be off by its title bar
// (Xwayland), and under Wayland the screen position of the pointer is not known between
// events at all.

#include <QObject>
#include <QPoint>
#include <QTimer>
#include <functional>

class QMouseEvent;

namespace corvane {

class ListBox;
class TForm1;

// Where the pointer is with respect to the list being told: just come in, moving within,
// just gone out.
enum class DragState { Enter, Move, Leave };

class DragController : public QObject {
  Q_OBJECT

 public:
  static constexpr int kScrollIntervalMs = 100;

  explicit DragController(TForm1& form);
  ~DragController() override;

  // Starts a drag from `source` at the pressed client point; the source gets its first
  // notifications at once.
  void Begin(ListBox* source, int x, int y);
  // Ends a drag without any notification (the error report calls this).
  void Cancel();
  bool Active() const { return source_ != nullptr; }

  // For a drag-over handler whose pointer rests on a list's edge row: runs `step` at once,
  // then every 100 ms until it returns false, the pointer moves anywhere the handlers do
  // not ask for this same scroll again, or the drag ends; asked from a Leave notification
  // it does nothing. Asked again for the scroll
  // already running (the pointer moved along the row), it goes on without a step of its
  // own. The window keeps taking events and repainting in between.
  void ScrollWhilePointerRests(ListBox* list, int direction, std::function<bool()> step);
  bool Scrolling() const { return scrollTimer_.isActive(); }

  // One call the drag makes into a list's handlers. The handlers ignore the drag state and
  // the source, so their effects cannot show in what order the calls came; whoever needs
  // to see that (the tests) watches them here.
  struct Call {
    enum Kind { Enter, Move, Leave, Drop, End } kind;
    ListBox* list;    // the list whose handler runs: for End, the list the drag came from
    ListBox* target;  // End only: the list that took the drop, or none
    QPoint position;  // as the handler gets it
  };
  // Told of each call just before the handler runs; unset, nothing is told.
  std::function<void(const Call&)> observer;

 signals:
  // The drag is over `list` (the list's DragOver handler); it sets accept.
  void DragOver(ListBox* list, ListBox* source, int x, int y, DragState state, bool& accept);
  // Released over `list`, which accepted it (the list's DragDrop handler).
  void DragDrop(ListBox* list, ListBox* source, int x, int y);
  // The drag that started in `list` has ended (its EndDrag handler).
  void EndDrag(ListBox* list, ListBox* target, int x, int y);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // A pointer position: in the window's own coordinates, and as the platform reports it
  // on the screen (used only for an end outside the window).
  struct Where {
    QPoint window;
    QPoint screen;
  };
  Where WhereOf(QObject* watched, const QMouseEvent& event) const;
  ListBox* ListAt(const QPoint& window) const;
  bool OverWindow(const QPoint& window) const;
  QPoint ClientOf(ListBox* list, const QPoint& window) const;
  void MoveTo(const Where& at);
  void Release(const Where& at);
  void Escape();
  void Notify(ListBox* list, const QPoint& client, DragState state);
  void Drop(ListBox* list, const QPoint& client);
  void End(ListBox* target, const QPoint& position);
  void Stop();
  void StopScroll();
  void ScrollStep();

  TForm1& form_;
  ListBox* source_ = nullptr;
  ListBox* over_ = nullptr;  // the list the pointer is over, if any
  Where at_;                 // where the last movement left the pointer
  bool accepted_ = false;    // what that list answered last

  QTimer scrollTimer_;
  ListBox* scrollList_ = nullptr;
  int scrollDirection_ = 0;
  std::function<bool()> scrollStep_;
  bool scrollAskedAgain_ = false;  // during one movement's notifications
  bool leaving_ = false;           // while a Leave notification runs
};

}  // namespace corvane
