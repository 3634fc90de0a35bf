#pragma once
// A list box of CP932 entries with the behaviour the window relies on: fixed 15-pixel rows,
// a 2-pixel sunken frame, scrolling by whole entries (top index), hit-testing in client
// coordinates, insertion at an index without re-sorting, and - for a sorted list - filling
// in a case-insensitive, Japanese-aware order.

#include <QKeyCombination>
#include <QListView>
#include <string>
#include <vector>

namespace corvane {

class ListEntryModel;

// A view over entries it owns: the entries are changed only through the calls below, so
// there is one way to count, clear or add them, and every entry keeps its bytes.
class ListBox : public QListView {
  Q_OBJECT

 public:
  static constexpr int kItemHeight = 15;
  // The sunken frame round the client area.
  static constexpr int kFrameWidth = 2;

  explicit ListBox(QWidget* parent = nullptr);
  ~ListBox() override;

  // A sorted list keeps what Assign gives it in sort order.
  void SetSorted(bool sorted) { sorted_ = sorted; }

  int Count() const;
  // Raises EStringListError for an index the list does not have.
  std::string Item(int index) const;
  std::vector<std::string> Items() const;
  // Inserts before `index`; -1 (or Count()) appends. Never re-sorts. Returns its index.
  int Insert(int index, const std::string& entry);
  void SetItem(int index, const std::string& entry);
  // Deleting the selected entry leaves nothing selected, as in the system list: the
  // selection never jumps to a neighbour.
  void Delete(int index);
  void Clear();
  // Replaces every entry in one update (sorted lists sort them).
  void Assign(const std::vector<std::string>& entries);
  // Replaces every entry in one update, in the order given, even in a sorted list.
  void SetEntries(const std::vector<std::string>& entries);

  int TopIndex() const;
  void SetTopIndex(int index);
  // -1 when nothing is selected.
  int ItemIndex() const;
  void SetItemIndex(int index);
  // Scrolls as little as it takes for the entry to show whole.
  void ShowEntry(int index);
  // The entry whose row holds the client point, searching from the top index; -1 outside
  // the client area or below the last entry.
  int ItemAtPos(int x, int y) const;
  // The whole entries the client area shows at once.
  int VisibleEntries() const;
  // The lowest row of the frame below the client area, in client coordinates.
  int BottomFrameRow() const;

  // While held, the top index stays where it is when entries are deleted, even past the
  // last page (the rows below the last entry are then empty): an entry taken out for a
  // drag leaves every other row where it was, so releasing without a move puts it back
  // in its own place. Releasing the hold brings the top index back into range.
  void HoldTopIndex(bool hold);

  // Keys the window gives a meaning of its own in this list (Enter, Delete, Ctrl+Up ...):
  // each is reported by KeyDown instead of doing what the view would do with it (move or
  // activate the current entry). The keypad's Enter counts as Enter.
  void SetCommandKeys(std::vector<QKeyCombination> keys) { commandKeys_ = std::move(keys); }

 signals:
  // A command key pressed while the list has the focus.
  void KeyDown(QKeyCombination key);
  // A button pressed over the list; x, y in client coordinates.
  void MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int x, int y);

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void updateGeometries() override;

 private:
  // The entries are the list's own; no other model replaces them.
  using QListView::setModel;
  // Brings the client area and the scroll range up to date with the size and the entries,
  // also for a list that has never been shown.
  void EnsureLaidOut() const;
  void Replace(const std::vector<std::string>& entries, bool sort);

  ListEntryModel* entries_;
  bool sorted_ = false;
  bool holdTop_ = false;
  std::vector<QKeyCombination> commandKeys_;
};

}  // namespace corvane
