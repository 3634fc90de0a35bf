#pragma once
// Dragging one entry between and within the two lists, inside the program: a press in a
// list starts it (the list's handler calls Begin), pointer moves deliver the entering /
// moving / leaving notifications to the list under the pointer, a release of the left or
// right button drops on that list or ends the drag elsewhere, and Esc cancels. The
// handlers see only list-client positions, or the end position: (0, 0) over the window,
// the pointer's screen position outside it.

#include <QObject>
#include <QPoint>
#include <functional>

namespace corvane {

class ListBox;
class TForm1;

// Where the pointer is with respect to the list being told: just come in, moving within,
// just gone out.
enum class DragState { Enter, Move, Leave };

class DragController : public QObject {
  Q_OBJECT

 public:
  explicit DragController(TForm1& form);
  ~DragController() override;

  // Starts a drag from `source` at the pressed client point; the source gets its first
  // notifications at once.
  void Begin(ListBox* source, int x, int y);
  // Ends a drag without any notification (the error report calls this).
  void Cancel();
  bool Active() const { return source_ != nullptr; }

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

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  ListBox* ListAt(const QPoint& global) const;
  bool OverWindow(const QPoint& global) const;
  void MoveTo(const QPoint& global);
  void Release(const QPoint& global);
  void Escape(const QPoint& global);
  void Notify(ListBox* list, const QPoint& client, DragState state);
  void Drop(ListBox* list, const QPoint& client);
  void End(ListBox* target, const QPoint& position);
  void Stop();

  TForm1& form_;
  ListBox* source_ = nullptr;
  ListBox* over_ = nullptr;  // the list the pointer is over, if any
  QPoint at_;                // where the last movement left the pointer (screen)
  bool accepted_ = false;    // what that list answered last
};

}  // namespace corvane
