// Dragging list entries with the mouse on the shown window: synthetic presses, moves,
// releases and keys go through the drag controller into the list handlers, so where an
// entry ends up, the order of the calls and the auto-scroll are seen as a user causes them.

#include <QApplication>
#include <QCursor>
#include <QElapsedTimer>
#include <QLabel>
#include <QScrollBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <stdexcept>

#include "form/drag_controller.h"
#include "tests/form/form_fixture.h"

namespace corvane::testing {
namespace {

using Call = DragController::Call;

std::vector<std::string> Numbered(const std::string& prefix, int count) {
  std::vector<std::string> names;
  for (int i = 0; i < count; ++i) names.push_back(prefix + (i < 10 ? "0" : "") + std::to_string(i));
  return names;
}

// The entries with the one at `from` taken out and put back at `to` (-1: at the end).
std::vector<std::string> Moved(std::vector<std::string> entries, int from, int to) {
  const std::string entry = entries[from];
  entries.erase(entries.begin() + from);
  entries.insert(to < 0 ? entries.end() : entries.begin() + to, entry);
  return entries;
}

// The middle of a visible row, in a list's client coordinates.
QPoint Row(int row) {
  return QPoint(20, row * ListBox::kItemHeight + 7);
}

class DragTest : public FormTest {
 protected:
  void SetUp() override {
    Start();
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    form->Drag->observer = [this](const Call& call) { calls.push_back(Describe(call)); };
  }
  void TearDown() override {
    // A failed expectation must not leave a drag filtering the next test's events.
    form->Drag->Cancel();
  }

  ListBox* L1() const { return form->ListBox1; }
  ListBox* L2() const { return form->ListBox2; }
  QWidget* Client(ListBox* list) const { return list->viewport(); }

  void Press(ListBox* list, QPoint client, Qt::MouseButton button = Qt::LeftButton) {
    QTest::mousePress(Client(list), button, {}, client);
  }
  // With the button held, so the widget really gets the move.
  void Move(QWidget* w, QPoint at) { QTest::mouseMove(w, at); }
  void Release(QWidget* w, QPoint at, Qt::MouseButton button = Qt::LeftButton) {
    QTest::mouseRelease(w, button, {}, at);
  }
  // Moves the real pointer there (the platform reports that as a movement), presses Esc,
  // then lets go of the button, which must do nothing once the drag is over.
  void EscapeAt(QWidget* w, QPoint at, Qt::MouseButton button = Qt::LeftButton) {
    QCursor::setPos(w->mapToGlobal(at));
    QCoreApplication::processEvents();
    ASSERT_EQ(QCursor::pos(), w->mapToGlobal(at));
    QTest::keyClick(w, Qt::Key_Escape);
    Release(Client(L2()), Row(0), button);
  }
  // The same screen point as `at` of `w`, in a list's client coordinates.
  QPoint In(ListBox* list, QWidget* w, QPoint at) const {
    return Client(list)->mapFromGlobal(w->mapToGlobal(at));
  }

  void ExpectIdle() {
    EXPECT_FALSE(form->Drag->Active());
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  }

  std::string Name(const ListBox* list) const {
    return list == L1() ? "L1" : list == L2() ? "L2" : "none";
  }
  std::string Describe(const Call& call) const {
    static const char* const kKinds[] = {"Enter", "Move", "Leave", "Drop", "End"};
    std::string text = std::string(kKinds[call.kind]) + " " + Name(call.list);
    if (call.kind == Call::End) text += "->" + Name(call.target);
    return text + " " + std::to_string(call.position.x()) + "," + std::to_string(call.position.y());
  }
  std::string At(Call::Kind kind, ListBox* list, QPoint p, ListBox* target = nullptr) const {
    return Describe({kind, list, target, p});
  }

  std::vector<std::string> calls;
};

TEST_F(DragTest, PressAndReleaseInPlaceLeavesEitherListAsItWas) {
  const std::vector<std::string> inputs = {"a.txt", "b.jpg", "c.txt", "d.txt"};
  const std::vector<std::string> outputs = {"-----A-----", "x.txt", "-----B-----"};
  L1()->SetEntries(inputs);
  L2()->SetEntries(outputs);
  for (ListBox* list : {L1(), L2()}) {
    const std::vector<std::string> before = Items(list);
    // First, middle and last: the last entry comes back through "below the last entry".
    for (int row : {0, 1, list->Count() - 1}) {
      SCOPED_TRACE(Name(list) + " row " + std::to_string(row));
      Press(list, Row(row));
      EXPECT_TRUE(form->Drag->Active());
      EXPECT_EQ(QWidget::mouseGrabber(), Client(list));
      EXPECT_EQ(state.DragItem, before[row]);
      EXPECT_EQ(list->Count(), static_cast<int>(before.size()) - 1);  // held only in DragItem
      Release(Client(list), Row(row));
      EXPECT_EQ(Items(L1()), inputs);
      EXPECT_EQ(Items(L2()), outputs);
      ExpectIdle();
    }
  }
}

// A click is a press and a release in place. Taking the entry out shortens the list, which
// must not scroll it: on the last page a shifted row would put the entry back one place off.
TEST_F(DragTest, ClickKeepsOrderTopIndexAndSelectionWhereverTheListIsScrolled) {
  for (ListBox* list : {L1(), L2()}) {
    ListBox* other = list == L1() ? L2() : L1();
    const std::vector<std::string> others = Numbered("other", 5);
    for (int count : {10, 22, 23, 30}) {
      const std::vector<std::string> entries = Numbered("e", count);
      const int lastTop = std::max(count - 22, 0);
      for (int top : {0, lastTop / 2, lastTop}) {
        const int visible = std::min(count - top, 22);
        for (int row : {0, visible / 2, visible - 1}) {
          // The clicked entry selected, or another one.
          for (int selected : {top + row, (top + row + 1) % count}) {
            SCOPED_TRACE(Name(list) + ": " + std::to_string(count) + " entries, top " +
                         std::to_string(top) + ", row " + std::to_string(row) + ", selected " +
                         std::to_string(selected));
            list->SetEntries(entries);
            other->SetEntries(others);
            list->SetTopIndex(top);
            ASSERT_EQ(list->TopIndex(), top);
            list->SetItemIndex(selected);
            other->SetItemIndex(3);
            Press(list, Row(row));
            ASSERT_TRUE(form->Drag->Active());
            EXPECT_EQ(state.DragItem, entries[top + row]);
            Release(Client(list), Row(row));
            ExpectIdle();
            EXPECT_EQ(Items(list), entries);
            EXPECT_EQ(list->TopIndex(), top);
            EXPECT_EQ(list->ItemIndex(), selected);
            EXPECT_EQ(Items(other), others);
            EXPECT_EQ(other->ItemIndex(), 3);
          }
        }
      }
    }
  }
}

TEST_F(DragTest, ListDraggedFromOnItsLastPageScrollsBackIntoRangeWhenTheDragEnds) {
  const std::vector<std::string> entries = Numbered("e", 30);
  L2()->SetEntries(entries);
  L2()->SetTopIndex(8);
  L2()->SetItemIndex(13);
  // The selected entry leaves: nothing is selected in its place.
  Press(L2(), Row(5));
  EXPECT_EQ(L2()->ItemIndex(), -1);
  EXPECT_EQ(L2()->TopIndex(), 8);  // held while the entry is out
  Move(Client(L1()), Row(0));
  Release(Client(L1()), Row(0));
  ExpectIdle();
  EXPECT_EQ(Items(L1()), std::vector<std::string>{"e13"});
  EXPECT_EQ(L1()->ItemIndex(), -1);  // selected only when it comes back to its own list
  std::vector<std::string> rest = entries;
  rest.erase(rest.begin() + 13);
  EXPECT_EQ(Items(L2()), rest);
  // 29 entries: the last page starts at 7 again, as for any list of that length.
  EXPECT_EQ(L2()->TopIndex(), 7);
  EXPECT_EQ(L2()->verticalScrollBar()->maximum(), 7);
  // Deleting now pulls the top index in at once, as ever.
  L2()->Delete(0);
  EXPECT_EQ(L2()->TopIndex(), 6);
}

TEST_F(DragTest, PressWhereThereIsNoEntryStartsNothing) {
  L1()->SetEntries({"a.txt", "b.txt"});
  state.DragItem = "earlier.txt";
  Press(L1(), Row(2));  // just below the last entry
  ExpectIdle();
  Move(Client(L2()), Row(0));
  Release(Client(L2()), Row(0));
  Press(L2(), Row(0));  // an empty list
  ExpectIdle();
  Release(Client(L2()), Row(0));
  EXPECT_EQ(Items(L1()), (std::vector<std::string>{"a.txt", "b.txt"}));
  EXPECT_TRUE(Items(L2()).empty());
  EXPECT_EQ(state.DragItem, "earlier.txt");
  EXPECT_TRUE(calls.empty());
  EXPECT_TRUE(services.errors.empty());  // not a failed look-up either
}

TEST_F(DragTest, DropInsertsWhereTheEntryLands) {
  L1()->SetEntries({"a.txt", "b.jpg", "c.txt"});
  L2()->SetEntries({"-----A-----", "x.txt", "-----B-----"});
  // On a heading of the output list: just before it.
  Press(L1(), Row(1));
  Move(Client(L2()), Row(2));
  Release(Client(L2()), Row(2));
  EXPECT_EQ(Items(L2()),
            (std::vector<std::string>{"-----A-----", "x.txt", "b.jpg", "-----B-----"}));
  EXPECT_EQ(Items(L1()), (std::vector<std::string>{"a.txt", "c.txt"}));
  ExpectIdle();
  // Below the last entry: at the end, with the right button as with the left.
  Press(L1(), Row(0), Qt::RightButton);
  Move(Client(L2()), Row(9));
  Release(Client(L2()), Row(9), Qt::RightButton);
  EXPECT_EQ(Items(L2()),
            (std::vector<std::string>{"-----A-----", "x.txt", "b.jpg", "-----B-----", "a.txt"}));
  EXPECT_EQ(Items(L1()), std::vector<std::string>{"c.txt"});

  // Into the sorted input list between two entries: it stays there, unsorted.
  L1()->SetEntries({"a.txt", "c.txt", "e.txt"});
  L2()->SetEntries({"z.txt"});
  Press(L2(), Row(0));
  Move(Client(L1()), Row(1));
  Release(Client(L1()), Row(1));
  EXPECT_EQ(Items(L1()), (std::vector<std::string>{"a.txt", "z.txt", "c.txt", "e.txt"}));
  EXPECT_TRUE(Items(L2()).empty());
  // Within one list: the entry moves.
  Press(L1(), Row(0));
  Move(Client(L1()), Row(2));
  Release(Client(L1()), Row(2));
  EXPECT_EQ(Items(L1()), (std::vector<std::string>{"z.txt", "c.txt", "a.txt", "e.txt"}));
  ExpectIdle();
}

// Every key that moves an entry does what one drag does, through the same list operations:
// the same lists and the same saved list, whichever way the moves are made.
TEST_F(DragTest, KeysMoveEntriesAsTheSameDragsDo) {
  const std::string site = dir / "site";
  std::filesystem::create_directory(site);
  for (const char* name : {"a.txt", "b.txt", "c.txt", "d.txt"}) WriteFile(site + "/" + name, "");
  form->SetControlText(form->Edit1, site + "/");
  auto reset = [&] {
    L1()->SetEntries({"a.txt", "b.txt", "c.txt", "d.txt"});
    L2()->SetEntries({"-----A-----", "-----B-----"});
  };
  auto key = [](ListBox* list, Qt::Key k, Qt::KeyboardModifiers m = {}) {
    list->setFocus();
    QTest::keyClick(list, k, m);
  };
  // A drag from a row of one list onto a row of another (or the same), as the rows show
  // once the entry is out; -1 is below the last entry.
  auto drag = [&](ListBox* from, int row, ListBox* to, int onto) {
    Press(from, Row(row));
    const QPoint at = onto < 0 ? QPoint(20, 340) : Row(onto);
    Move(Client(to), at);
    Release(Client(to), at);
    ExpectIdle();
  };
  auto saved = [&] {
    form->Guarded([&] { form->Button3Click(); });
    return ReadFile(site + "/files.cvn");
  };
  const std::vector<std::string> expectedInputs = {"c.txt", "d.txt"};
  const std::vector<std::string> expectedOrder = {"-----A-----", "a.txt", "b.txt", "-----B-----"};

  reset();
  key(L2(), Qt::Key_Home);  // the output list's current entry: the first heading
  key(L1(), Qt::Key_Home);
  key(L1(), Qt::Key_Return);  // a.txt after -----A-----
  EXPECT_EQ(L2()->ItemIndex(), 1);
  EXPECT_EQ(L1()->ItemIndex(), 0);  // b.txt, next for the next Enter
  key(L1(), Qt::Key_Return);        // b.txt after a.txt: the order they were moved in
  EXPECT_EQ(Items(L2()), expectedOrder);
  key(L2(), Qt::Key_Down, Qt::ControlModifier);  // b.txt below -----B-----
  key(L2(), Qt::Key_Down, Qt::ControlModifier);  // already last: nothing
  key(L2(), Qt::Key_Up, Qt::ControlModifier);    // back above it
  key(L2(), Qt::Key_Up, Qt::ControlModifier);    // above a.txt
  EXPECT_EQ(Items(L2()),
            (std::vector<std::string>{"-----A-----", "b.txt", "a.txt", "-----B-----"}));
  key(L2(), Qt::Key_Delete);  // b.txt to the end of the input list
  EXPECT_EQ(Items(L1()), (std::vector<std::string>{"c.txt", "d.txt", "b.txt"}));
  EXPECT_EQ(L2()->ItemIndex(), 1);  // a.txt
  key(L2(), Qt::Key_Up, Qt::ControlModifier);
  key(L2(), Qt::Key_Up, Qt::ControlModifier);  // already first: nothing
  key(L2(), Qt::Key_Down, Qt::ControlModifier);
  key(L1(), Qt::Key_End);
  key(L1(), Qt::Key_Return, Qt::KeypadModifier);  // the keypad's Enter: b.txt after a.txt
  EXPECT_EQ(Items(L1()), expectedInputs);
  EXPECT_EQ(Items(L2()), expectedOrder);
  EXPECT_TRUE(services.errors.empty());
  const std::string byKeys = saved();

  reset();
  drag(L1(), 0, L2(), 1);
  drag(L1(), 0, L2(), 2);
  drag(L2(), 2, L2(), -1);
  drag(L2(), 3, L2(), 2);
  drag(L2(), 2, L2(), 1);
  drag(L2(), 1, L1(), -1);
  drag(L2(), 1, L2(), 0);
  drag(L2(), 0, L2(), 1);
  drag(L1(), 2, L2(), 2);
  EXPECT_EQ(Items(L1()), expectedInputs);
  EXPECT_EQ(Items(L2()), expectedOrder);
  EXPECT_EQ(saved(), byKeys);
  EXPECT_EQ(byKeys, "-----A-----\r\na.txt\r\nb.txt\r\n-----B-----\r\n");
  EXPECT_TRUE(services.errors.empty());

  // Keys of the other list, or Ctrl+Up on the first entry, move nothing.
  reset();
  key(L1(), Qt::Key_Delete);
  key(L2(), Qt::Key_Return);
  key(L2(), Qt::Key_Up, Qt::ControlModifier);
  EXPECT_EQ(Items(L1()), (std::vector<std::string>{"a.txt", "b.txt", "c.txt", "d.txt"}));
  EXPECT_EQ(Items(L2()), (std::vector<std::string>{"-----A-----", "-----B-----"}));
}

TEST_F(DragTest, EndedOffTheListsReturnsAsTheFirstVisibleEntryOfItsList) {
  form->Button3->show();
  QTabBar* tabs = form->PageControl1->tabBar();
  struct Place {
    std::string name;
    QWidget* widget;
    QPoint at;
  };
  const std::vector<Place> places = {
      {"Button3", form->Button3, form->Button3->rect().center()},
      {"label", form->Label4, form->Label4->rect().center()},
      {"tab strip", tabs, tabs->tabRect(1).center()},
      {"tab page", form->TabSheet1, QPoint(560, 300)},
  };
  for (const Place& place : places) {
    ASSERT_EQ(QApplication::widgetAt(place.widget->mapToGlobal(place.at)), place.widget)
        << place.name;
  }
  const std::vector<std::string> inputs = Numbered("in", 30);
  const std::vector<std::string> outputs = Numbered("-----out", 30);
  // Both lists scrolled, so "the top index" and "the index it came from" differ.
  constexpr int kTop = 5;
  auto reset = [&] {
    L1()->SetEntries(inputs);
    L2()->SetEntries(outputs);
    L1()->SetTopIndex(kTop);
    L2()->SetTopIndex(kTop);
  };
  auto expectReturned = [&](ListBox* source) {
    const int from = kTop + 2;
    EXPECT_EQ(Items(L1()), source == L1() ? Moved(inputs, from, kTop) : inputs);
    EXPECT_EQ(Items(L2()), source == L2() ? Moved(outputs, from, kTop) : outputs);
    ExpectIdle();
  };

  for (ListBox* source : {L1(), L2()}) {
    for (const Place& place : places) {
      for (Qt::MouseButton button : {Qt::LeftButton, Qt::RightButton}) {
        SCOPED_TRACE(Name(source) + " released over " + place.name +
                     (button == Qt::LeftButton ? " (left)" : " (right)"));
        reset();
        Press(source, Row(2), button);
        Move(place.widget, place.at);
        Release(place.widget, place.at, button);
        expectReturned(source);
      }
    }
    // Esc over the window, wherever: over a button, the other list or the source itself.
    ListBox* other = source == L1() ? L2() : L1();
    const std::vector<Place> escapes = {places[0],
                                        {"the other list", Client(other), Row(3)},
                                        {"the source list", Client(source), Row(3)}};
    for (const Place& place : escapes) {
      SCOPED_TRACE(Name(source) + " cancelled over " + place.name);
      reset();
      Press(source, Row(2));
      Move(place.widget, place.at);
      EscapeAt(place.widget, place.at);
      expectReturned(source);
    }
  }
}

TEST_F(DragTest, EndedOutsideTheWindowHitTestsTheScreenPositionInTheSourceList) {
  const std::vector<std::string> inputs = Numbered("in", 30);
  L1()->SetEntries(inputs);
  L1()->SetTopIndex(5);
  // Right of the window, wider than any list: no entry's row, so the entry goes at the end.
  const QPoint outside = form->frameGeometry().topRight() + QPoint(40, 40);
  ASSERT_EQ(QApplication::widgetAt(outside), nullptr);
  Press(L1(), Row(4));
  Move(form.get(), form->mapFromGlobal(outside));
  Release(form.get(), form->mapFromGlobal(outside));
  EXPECT_EQ(Items(L1()), Moved(inputs, 9, -1));
  ExpectIdle();
  EXPECT_EQ(calls.back(), At(Call::End, L1(), outside));

  L1()->SetEntries(inputs);
  L1()->SetTopIndex(5);
  Press(L1(), Row(4));
  Move(form.get(), form->mapFromGlobal(outside));
  EscapeAt(form.get(), form->mapFromGlobal(outside));
  EXPECT_EQ(Items(L1()), Moved(inputs, 9, -1));
  ExpectIdle();

  // With the window away from the screen's corner, a screen point left of it lands, read
  // as a client point, on a visible row of the list: the entry goes in there.
  form->move(300, 150);
  QCoreApplication::processEvents();
  const QPoint onRow(100, 2 * ListBox::kItemHeight + 7);
  ASSERT_EQ(QApplication::widgetAt(onRow), nullptr);
  ASSERT_EQ(QApplication::widgetAt(Client(L1())->mapToGlobal(Row(4))), Client(L1()));
  L1()->SetEntries(inputs);
  L1()->SetTopIndex(5);
  Press(L1(), Row(4));
  Move(form.get(), form->mapFromGlobal(onRow));
  Release(form.get(), form->mapFromGlobal(onRow));
  EXPECT_EQ(Items(L1()), Moved(inputs, 9, 7));
}

TEST_F(DragTest, NotificationsComeInOrder) {
  L1()->SetEntries({"a.txt", "b.txt", "c.txt"});
  L2()->SetEntries({"-----A-----", "x.txt"});
  form->Button3->show();
  // The source first, at the pressed point; every movement over a list a Move (the
  // entering one too); a Leave when the pointer leaves it or the drag ends over it; the
  // drop; the source's end last.
  const QPoint pressed = Row(1), within(30, 40), onL2 = Row(0), page(560, 300), back(25, 22);
  Press(L1(), pressed);
  Move(Client(L1()), within);
  Move(Client(L2()), onL2);
  Move(form->TabSheet1, page);
  Move(Client(L2()), back);
  Release(Client(L2()), back);
  EXPECT_EQ(calls, (std::vector<std::string>{
                       At(Call::Enter, L1(), pressed),
                       At(Call::Move, L1(), pressed),
                       At(Call::Move, L1(), within),
                       At(Call::Leave, L1(), In(L1(), Client(L2()), onL2)),
                       At(Call::Enter, L2(), onL2),
                       At(Call::Move, L2(), onL2),
                       At(Call::Leave, L2(), In(L2(), form->TabSheet1, page)),
                       At(Call::Enter, L2(), back),
                       At(Call::Move, L2(), back),
                       At(Call::Leave, L2(), back),
                       At(Call::Drop, L2(), back),
                       At(Call::End, L1(), back, L2()),
                   }));
  EXPECT_EQ(Items(L2()), (std::vector<std::string>{"-----A-----", "b.txt", "x.txt"}));

  // Released off the lists: no drop, and the end reports (0, 0).
  calls.clear();
  const QPoint button = form->Button3->rect().center();
  Press(L2(), Row(0));
  Move(form->Button3, button);
  Release(form->Button3, button);
  EXPECT_EQ(calls, (std::vector<std::string>{
                       At(Call::Enter, L2(), Row(0)),
                       At(Call::Move, L2(), Row(0)),
                       At(Call::Leave, L2(), In(L2(), form->Button3, button)),
                       At(Call::End, L2(), QPoint(0, 0)),
                   }));

  // Cancelled over a list: that list is left, nothing is dropped.
  calls.clear();
  Press(L2(), Row(0));
  EscapeAt(Client(L1()), Row(1));
  EXPECT_EQ(calls, (std::vector<std::string>{
                       At(Call::Enter, L2(), Row(0)),
                       At(Call::Move, L2(), Row(0)),
                       At(Call::Leave, L2(), In(L2(), Client(L1()), Row(1))),
                       At(Call::Enter, L1(), Row(1)),
                       At(Call::Move, L1(), Row(1)),
                       At(Call::Leave, L1(), Row(1)),
                       At(Call::End, L2(), QPoint(0, 0)),
                   }));
  ExpectIdle();
}

// Auto-scroll: a drag-over call on the top client row (0) or the frame's bottom row (344)
// scrolls one entry at once, then one every 100 ms from the drag's timer while the pointer
// rests there; the window takes events all the while, and a movement off the row, the
// release or Esc stops it at once.
class DragScrollTest : public DragTest {
 protected:
  void SetUp() override {
    DragTest::SetUp();
    clock.start();
    QObject::connect(L2()->verticalScrollBar(), &QScrollBar::valueChanged, [this](int top) {
      tops.push_back(top);
      times.push_back(clock.elapsed());
    });
  }
  // Drags an entry of a short input list onto the output list at `client`.
  void DragOnto(QPoint client) {
    L1()->SetEntries({"a.txt", "b.txt"});
    tops.clear();
    times.clear();
    Press(L1(), Row(0));
    Move(Client(L2()), client);
  }
  void WaitUntilStill() {
    QTRY_VERIFY_WITH_TIMEOUT(!form->Drag->Scrolling(), 5000);
    // Nothing more comes after it says it has stopped.
    const std::size_t steps = tops.size();
    QTest::qWait(2 * DragController::kScrollIntervalMs);
    EXPECT_EQ(tops.size(), steps);
  }
  // Each step after the first came from the timer, at least 100 ms after the one before.
  void ExpectPaced() {
    for (std::size_t i = 1; i < times.size(); ++i)
      EXPECT_GE(times[i] - times[i - 1], DragController::kScrollIntervalMs - 10)
          << "step " << i << " to top " << tops[i];
  }
  void Finish() {
    Release(Client(L2()), Row(0));
    ExpectIdle();
    EXPECT_FALSE(form->Drag->Scrolling());
    EXPECT_TRUE(services.errors.empty());
  }
  QElapsedTimer clock;
  std::vector<int> tops;
  std::vector<qint64> times;
};

TEST_F(DragScrollTest, BottomFrameRowScrollsDownUntilTheLastEntryShows) {
  const QPoint bottom(20, 344);
  ASSERT_EQ(QApplication::widgetAt(Client(L2())->mapToGlobal(bottom)), L2());
  // (entries, last top index): 22 whole entries are visible. Each round's new entries
  // show from the first one, whatever the round before scrolled to.
  for (auto [count, top] : {std::pair{30, 8}, {23, 1}, {22, 0}, {5, 0}}) {
    SCOPED_TRACE(std::to_string(count) + " entries");
    L2()->SetEntries(Numbered("out", count));
    DragOnto(bottom);
    // The first step at once, inside the movement's own handling.
    EXPECT_EQ(L2()->TopIndex(), std::min(top, 1));
    WaitUntilStill();
    EXPECT_EQ(L2()->TopIndex(), top);
    std::vector<int> steps;
    for (int i = 1; i <= top; ++i) steps.push_back(i);
    EXPECT_EQ(tops, steps);
    ExpectPaced();
    Finish();
  }
}

TEST_F(DragScrollTest, TopClientRowScrollsUpToTheFirstEntry) {
  L2()->SetEntries(Numbered("out", 30));
  L2()->SetTopIndex(6);
  DragOnto(QPoint(20, 0));
  EXPECT_EQ(L2()->TopIndex(), 5);
  WaitUntilStill();
  EXPECT_EQ(tops, (std::vector<int>{5, 4, 3, 2, 1, 0}));
  ExpectPaced();
  Finish();
}

TEST_F(DragScrollTest, OnlyTheExactRowsScroll) {
  L2()->SetEntries(Numbered("out", 30));
  L2()->SetTopIndex(6);
  DragOnto(QPoint(20, 1));
  Move(Client(L2()), QPoint(20, 343));
  EXPECT_FALSE(form->Drag->Scrolling());
  QTest::qWait(2 * DragController::kScrollIntervalMs);
  EXPECT_EQ(L2()->TopIndex(), 6);
  EXPECT_TRUE(tops.empty());
  Finish();
}

TEST_F(DragScrollTest, PressOnTheTopRowOfAScrolledListScrollsAtOnce) {
  // The drag is live from the press: the source's first drag-over is on row 0.
  const std::vector<std::string> outputs = Numbered("out", 30);
  L2()->SetEntries(outputs);
  L2()->SetTopIndex(5);
  tops.clear();
  Press(L2(), QPoint(20, 0));
  EXPECT_EQ(L2()->TopIndex(), 4);
  WaitUntilStill();
  EXPECT_EQ(L2()->TopIndex(), 0);
  EXPECT_EQ(tops.size(), 5u);
  Release(Client(L2()), QPoint(20, 0));
  EXPECT_EQ(Items(L2()), Moved(outputs, 5, 0));
}

TEST_F(DragScrollTest, LeavingTheRowReleasingOrEscStopsItAtOnceAndAlongTheRowDoesNot) {
  struct Way {
    std::string name;
    std::function<void()> stop;
  };
  const std::vector<Way> ways = {
      {"a pixel up", [&] { Move(Client(L2()), QPoint(60, 343)); }},
      {"off the list", [&] { Move(form->TabSheet1, QPoint(560, 300)); }},
      {"release", [&] { Release(Client(L2()), QPoint(60, 344)); }},
      {"Esc", [&] { QTest::keyClick(Client(L2()), Qt::Key_Escape); }},
  };
  for (const Way& way : ways) {
    SCOPED_TRACE(way.name);
    L2()->SetEntries(Numbered("out", 30));
    DragOnto(QPoint(20, 344));
    QTRY_COMPARE_WITH_TIMEOUT(L2()->TopIndex(), 2, 3000);
    // Along the row: the scroll goes on, with no step of its own.
    Move(Client(L2()), QPoint(60, 344));
    EXPECT_TRUE(form->Drag->Scrolling());
    EXPECT_EQ(L2()->TopIndex(), 2);
    QTRY_COMPARE_WITH_TIMEOUT(L2()->TopIndex(), 3, 3000);
    way.stop();
    EXPECT_FALSE(form->Drag->Scrolling());
    const int stoppedAt = L2()->TopIndex();
    QTest::qWait(3 * DragController::kScrollIntervalMs);
    EXPECT_EQ(L2()->TopIndex(), stoppedAt);
    ExpectPaced();
    if (form->Drag->Active()) Release(Client(L2()), Row(0));
    ExpectIdle();
  }
}

TEST_F(DragTest, AFailingHandlerEndsTheDragAndLetsGoOfTheMouse) {
  L1()->SetEntries({"a.txt", "b.txt"});
  L2()->SetEntries({"-----A-----"});
  // A drag-over handler that fails when the drag reaches the bottom frame row (of both
  // lists: they are level, so the source, being left, fails first), through the wrapper
  // every handler runs in.
  bool failing = true;
  QObject::disconnect(form->Drag, &DragController::DragOver, form.get(), nullptr);
  QObject::connect(form->Drag, &DragController::DragOver, form.get(),
                   [&](ListBox* list, ListBox* source, int x, int y, DragState s, bool& accept) {
                     form->Guarded([&] {
                       if (failing && y == 344) throw std::runtime_error("pointer lost");
                       if (list == L1()) {
                         form->ListBox1DragOver(source, x, y, s, accept);
                       } else {
                         form->ListBox2DragOver(source, x, y, s, accept);
                       }
                     });
                   });
  Press(L1(), Row(0));
  Move(Client(L2()), QPoint(20, 344));
  ASSERT_EQ(services.errors.size(), 1u);
  EXPECT_EQ(calls.back(), At(Call::Leave, L1(), In(L1(), Client(L2()), QPoint(20, 344))));
  ExpectIdle();
  EXPECT_FALSE(form->Drag->Scrolling());
  // Nothing more of that drag: the release drops nothing, and the entry is gone.
  Release(Client(L2()), QPoint(20, 344));
  EXPECT_EQ(Items(L1()), std::vector<std::string>{"b.txt"});
  EXPECT_EQ(Items(L2()), std::vector<std::string>{"-----A-----"});
  // The next drag works as ever.
  failing = false;
  Press(L2(), Row(0));
  Move(Client(L1()), Row(0));
  Release(Client(L1()), Row(0));
  EXPECT_EQ(Items(L1()), (std::vector<std::string>{"-----A-----", "b.txt"}));
  EXPECT_EQ(services.errors.size(), 1u);
  ExpectIdle();
}

}  // namespace
}  // namespace corvane::testing
