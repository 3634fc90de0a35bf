// Composing the output list by hand: dragging single entries between and within the two
// lists (with auto-scroll at their edges), moving every input entry across, and adding
// headings.

#include <algorithm>

#include "core/code_page.h"
#include "core/list_entries.h"
#include "form/form1.h"
#include "form/platform_services.h"
#include "widgets/list_box.h"

namespace corvane {
namespace {

// The client row of the list's top entry (and, below, the lowest row of its frame): a
// pointer resting there scrolls the list.
constexpr int kScrollUpRow = 0;

// One entry up (-1) or down (+1), unless the first entry, or the last one at the bottom,
// already shows.
bool ScrollOneEntry(ListBox* list, int direction) {
  const int top = list->TopIndex();
  if (direction < 0 ? top == 0 : top >= list->Count() - list->VisibleEntries()) return false;
  list->SetTopIndex(top + direction);
  return true;
}

}  // namespace

void TForm1::StartDrag(ListBox* list, int x, int y) {
  int index = list->ItemAtPos(x, y);
  if (index < 0) return;
  state_.DragItem = list->Item(index);
  // The rows under the pointer stay put while the entry is out, also on the last page,
  // so a release without a move hits the entry's own place (the drag ends the hold).
  list->HoldTopIndex(true);
  selectedDragSource_ = list->ItemIndex() == index ? list : nullptr;
  list->Delete(index);
  Drag->Begin(list, x, y);
}

void TForm1::InsertDragItem(ListBox* list, int index) {
  index = list->Insert(index, state_.DragItem);
  // A selected entry that comes back to its own list is selected again.
  if (list == selectedDragSource_) list->SetItemIndex(index);
  selectedDragSource_ = nullptr;
}

void TForm1::DragOverList(ListBox* list, int y) {
  // One entry at once, then one every 100 ms while the pointer rests on the row. The
  // drag's own timer repeats it, so the window repaints and takes the next movement,
  // which stops it.
  const int direction = y == kScrollUpRow ? -1 : y == list->BottomFrameRow() ? 1 : 0;
  if (direction == 0) return;
  Drag->ScrollWhilePointerRests(list, direction,
                                [list, direction] { return ScrollOneEntry(list, direction); });
}

void TForm1::DropOnList(ListBox* list, int x, int y) {
  InsertDragItem(list, list->ItemAtPos(x, y));
}

void TForm1::EndDragOnList(ListBox* list, ListBox* target, int x, int y) {
  if (target) return;  // the entry is in the list that took it
  // Put it back where the end position hits this list, so it is never lost.
  InsertDragItem(list, list->ItemAtPos(x, y));
}

void TForm1::ListBox1MouseDown(Qt::MouseButton, Qt::KeyboardModifiers, int X, int Y) {
  StartDrag(ListBox1, X, Y);
}
void TForm1::ListBox2MouseDown(Qt::MouseButton, Qt::KeyboardModifiers, int X, int Y) {
  StartDrag(ListBox2, X, Y);
}
void TForm1::ListBox1DragOver(ListBox*, int, int Y, DragState, bool& accept) {
  accept = true;
  DragOverList(ListBox1, Y);
}
void TForm1::ListBox2DragOver(ListBox*, int, int Y, DragState, bool& accept) {
  accept = true;
  DragOverList(ListBox2, Y);
}
void TForm1::ListBox1DragDrop(ListBox*, int X, int Y) {
  DropOnList(ListBox1, X, Y);
}
void TForm1::ListBox2DragDrop(ListBox*, int X, int Y) {
  DropOnList(ListBox2, X, Y);
}
void TForm1::ListBox1EndDrag(ListBox* target, int X, int Y) {
  EndDragOnList(ListBox1, target, X, Y);
}
void TForm1::ListBox2EndDrag(ListBox* target, int X, int Y) {
  EndDragOnList(ListBox2, target, X, Y);
}

int TForm1::MoveEntry(ListBox* source, int from, ListBox* target, int to) {
  // What a drag does, in one step: the entry goes out of its list into DragItem and is
  // inserted at the index (appended when -1), with the same failure when it cannot be.
  state_.DragItem = source->Item(from);
  source->Delete(from);
  const int index = target->Insert(to, state_.DragItem);
  target->SetItemIndex(index);
  target->ShowEntry(index);
  return index;
}

void TForm1::ListBox1KeyDown(QKeyCombination key) {
  const int current = ListBox1->ItemIndex();
  if (key != QKeyCombination(Qt::Key_Return) || current < 0) return;
  // After the output list's current entry, which the moved one then is: Enter after
  // Enter keeps the order they were moved in.
  const int after = ListBox2->ItemIndex();
  MoveEntry(ListBox1, current, ListBox2, after < 0 ? -1 : after + 1);
  // The next entry of the input list comes up for the next Enter.
  if (ListBox1->Count() > 0) ListBox1->SetItemIndex(std::min(current, ListBox1->Count() - 1));
}

void TForm1::ListBox2KeyDown(QKeyCombination key) {
  const int current = ListBox2->ItemIndex();
  if (current < 0) return;
  if (key == QKeyCombination(Qt::ControlModifier, Qt::Key_Up)) {
    if (current > 0) MoveEntry(ListBox2, current, ListBox2, current - 1);
  } else if (key == QKeyCombination(Qt::ControlModifier, Qt::Key_Down)) {
    if (current + 1 < ListBox2->Count()) MoveEntry(ListBox2, current, ListBox2, current + 1);
  } else if (key == QKeyCombination(Qt::Key_Delete)) {
    // Back to the input list as a drop below its last entry puts it.
    MoveEntry(ListBox2, current, ListBox1, -1);
    // The next entry of the output list comes up for the next key.
    if (ListBox2->Count() > 0) ListBox2->SetItemIndex(std::min(current, ListBox2->Count() - 1));
  }
}

void TForm1::Button10Click() {
  if (ListBox2->Count() == 0) {
    ListBox2->SetEntries(ListBox1->Items());
  } else {
    for (const auto& entry : ListBox1->Items()) ListBox2->Insert(-1, entry);
  }
  ListBox1->Clear();
}

void TForm1::Button2Click() {
  const std::string blank = " ";
  std::string title =
      services_.InputBox(Sjis(u8"新規項目名"), Sjis(u8"項目名を入力してください"), blank);
  if (title == blank) return;
  CheckHeadingFitsInList(title);  // the output list stays as it was
  ListBox2->Insert(-1, MakeHeading(title));
}

}  // namespace corvane
