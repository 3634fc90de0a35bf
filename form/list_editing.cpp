// Composing the output list by hand: dragging single entries between and within the two
// lists (with auto-scroll at their edges), moving every input entry across, and adding
// headings.

#include "core/code_page.h"
#include "core/list_entries.h"
#include "form/form1.h"
#include "form/platform_services.h"
#include "widgets/list_box.h"

#include "form/drag_controller.h"

namespace corvane {
namespace {

// The client row of the list's top entry (and, below, the lowest row of its frame): a
// pointer resting there scrolls the list.
constexpr int kScrollUpRow = 0;
constexpr int kScrollPauseMs = 100;

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
  if (y == kScrollUpRow) {
    const int pointerY = services_.PointerScreenY();
    while (list->TopIndex() != 0 && services_.PointerScreenY() == pointerY) {
      list->SetTopIndex(list->TopIndex() - 1);
      list->repaint();
      services_.Sleep(kScrollPauseMs);
    }
  } else if (y == list->BottomFrameRow()) {
    const int pointerY = services_.PointerScreenY();
    while (list->TopIndex() < list->Count() - list->VisibleEntries() &&
           services_.PointerScreenY() == pointerY) {
      list->SetTopIndex(list->TopIndex() + 1);
      list->repaint();
      services_.Sleep(kScrollPauseMs);
    }
  }
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
