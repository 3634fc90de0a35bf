// The list box the window's two lists are made of: its rows and client area, scrolling by
// whole entries, hit-testing, sorting, entries that keep their bytes, selection, presses.

#include "widgets/list_box.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QItemSelectionModel>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "core/errors.h"
#include "tests/test_support.h"
#include "widgets/qt_text.h"

namespace corvane {
namespace {

using testing::S;

class ListBoxTest : public ::testing::Test {
 protected:
  ListBoxTest() {
    sortedList.SetSorted(true);
    // The size the window gives its lists: a 2-pixel frame round a 343-pixel-high client.
    for (ListBox* list : {&sortedList, &plainList}) list->resize(241, 347);
  }

  // Shows the list and gives it the focus, for tests that need event routing.
  static void ShowActive(ListBox& list) {
    list.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&list));
    QApplication::setActiveWindow(&list);
    list.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&list));
  }

  ListBox sortedList;
  ListBox plainList;
};

std::vector<std::string> Names(int count) {
  std::vector<std::string> names;
  for (int i = 0; i < count; ++i) names.push_back("entry" + std::to_string(10000 + i) + ".txt");
  return names;
}

TEST_F(ListBoxTest, ListClientAreaShowsTwentyTwoWholeRows) {
  for (ListBox* list : {&sortedList, &plainList}) {
    SCOPED_TRACE(list == &sortedList ? "sorted" : "unsorted");
    list->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(list));
    EXPECT_EQ(list->viewport()->geometry(), QRect(2, 2, 237, 343));
    list->Assign(Names(30));
    QApplication::processEvents();
    ASSERT_TRUE(list->verticalScrollBar()->isVisible());
    // The scroll bar takes its width from the client area, not its height.
    EXPECT_EQ(list->viewport()->geometry().topLeft(), QPoint(2, 2));
    EXPECT_EQ(list->viewport()->height(), 343);
    for (int i = 0; i < 23; ++i)
      EXPECT_EQ(list->visualRect(list->model()->index(i, 0)).top(), 15 * i) << i;
    EXPECT_EQ(list->visualRect(list->model()->index(21, 0)).bottom(), 21 * 15 + 14);
    EXPECT_EQ(list->verticalScrollBar()->maximum(), 30 - 22);
  }
}

TEST_F(ListBoxTest, TopIndexScrollsByWholeEntriesWithinTheScrollRange) {
  ListBox* list = &plainList;
  list->Assign(Names(30));
  EXPECT_EQ(list->TopIndex(), 0);
  const std::pair<int, int> cases[] = {{5, 5}, {8, 8}, {9, 8}, {100, 8}, {-3, 0}, {1, 1}};
  for (const auto& [asked, top] : cases) {
    list->SetTopIndex(asked);
    EXPECT_EQ(list->TopIndex(), top) << asked;
    EXPECT_EQ(list->visualRect(list->model()->index(top, 0)).top(), 0) << asked;
  }
  // Fewer entries than rows: nothing to scroll.
  list->Assign(Names(10));
  list->SetTopIndex(3);
  EXPECT_EQ(list->TopIndex(), 0);
  // Removing entries pulls the top index back into the new range at once.
  list->Assign(Names(30));
  list->SetTopIndex(8);
  for (int i = 0; i < 5; ++i) list->Delete(0);
  EXPECT_EQ(list->TopIndex(), 3);
}

TEST_F(ListBoxTest, ItemAtPosHitTestsRowsFromTheTopIndex) {
  ListBox* list = &sortedList;
  // Never shown: the list lays itself out for the hit test all the same.
  list->Assign(Names(30));
  EXPECT_EQ(list->ItemAtPos(0, 0), 0);
  // What dragging relies on: 22 whole rows of 15 pixels in a 343-pixel client, and the
  // frame's lowest row two below the client's.
  EXPECT_EQ(list->VisibleEntries(), 22);
  EXPECT_EQ(list->BottomFrameRow(), 344);
  // A scroll bar narrows the client area.
  const int clientWidth = list->viewport()->width();
  ASSERT_LT(clientWidth, 237);
  struct HitCase {
    int top;
    QPoint at;
    int index;
  };
  const HitCase cases[] = {
      {0, {0, 0}, 0},
      {0, {clientWidth - 1, 14}, 0},
      {0, {0, 15}, 1},
      {0, {5, 342}, 22},
      {5, {0, 0}, 5},
      {5, {100, 30}, 7},
      {8, {0, 329}, 29},
      {8, {0, 330}, -1},
      {0, {-1, 5}, -1},
      {0, {5, -1}, -1},
      {0, {clientWidth, 5}, -1},
      {0, {5, 343}, -1},
      {0, {5, 344}, -1},
  };
  for (const HitCase& c : cases) {
    list->SetTopIndex(c.top);
    EXPECT_EQ(list->ItemAtPos(c.at.x(), c.at.y()), c.index)
        << "top " << c.top << " at " << c.at.x() << "," << c.at.y();
  }
  // Below the last entry of a short list.
  list->Assign({"a", "b", "c"});
  EXPECT_EQ(list->ItemAtPos(10, 44), 2);
  EXPECT_EQ(list->ItemAtPos(10, 45), -1);
  EXPECT_EQ(list->ItemAtPos(236, 0), 0);
  list->Clear();
  EXPECT_EQ(list->ItemAtPos(0, 0), -1);
}

TEST_F(ListBoxTest, SortedListAssignsInCaseInsensitiveOrderAndInsertNeverSorts) {
  ListBox* sorted = &sortedList;
  // Names equal but for case keep the order they came in.
  sorted->Assign({"b.TXT", "A.jpg", "c.txt", "B.txt"});
  EXPECT_EQ(sorted->Items(), (std::vector<std::string>{"A.jpg", "b.TXT", "B.txt", "c.txt"}));
  // An entry inserted at a position stays there, sorted list or not.
  sorted->Insert(0, "zz.txt");
  sorted->Insert(-1, "0.txt");
  EXPECT_EQ(sorted->Items(),
            (std::vector<std::string>{"zz.txt", "A.jpg", "b.TXT", "B.txt", "c.txt", "0.txt"}));
  EXPECT_THROW(sorted->Insert(7, "x"), EOutOfResources);
  EXPECT_THROW(sorted->Insert(-2, "x"), EOutOfResources);

  // The unsorted list keeps the order given.
  const std::vector<std::string> given = {"b.TXT", "c.txt", "A.jpg", "a.JPG", S(u8"画像.jpg")};
  sorted->Assign(given);
  EXPECT_EQ(sorted->Items(),
            (std::vector<std::string>{"A.jpg", "a.JPG", "b.TXT", "c.txt", S(u8"画像.jpg")}));
  plainList.Assign(given);
  EXPECT_EQ(plainList.Items(), given);
}

TEST_F(ListBoxTest, ListEntriesKeepTheirBytesAndBadIndexesRaise) {
  ListBox* list = &plainList;
  const std::string heading = S(u8"-----旅行-----");
  const std::string invalid = "bad\x81";  // a lead byte with no trail byte
  list->Assign({heading, invalid});
  EXPECT_EQ(list->model()->index(0, 0).data().toString(), Q(u8"-----旅行-----"));
  EXPECT_EQ(list->Item(0), heading);
  EXPECT_EQ(list->Item(1), invalid);
  list->SetItem(1, "ok");
  EXPECT_EQ(list->Item(1), "ok");

  for (int bad : {-1, 2, 100}) {
    SCOPED_TRACE(bad);
    try {
      list->Item(bad);
      ADD_FAILURE() << "no error";
    } catch (const EStringListError& e) {
      EXPECT_EQ(e.Message(), EStringListError::IndexOutOfRange(bad).Message());
    }
  }
  EXPECT_THROW(list->SetItem(2, "x"), EStringListError);
  list->Delete(5);  // a position the list does not have: nothing happens
  list->Delete(0);
  EXPECT_EQ(list->Items(), std::vector<std::string>{"ok"});
}

TEST_F(ListBoxTest, PressesInAListAreReportedNotActedOn) {
  ListBox* list = &plainList;
  ShowActive(*list);
  list->Assign(Names(5));
  QSignalSpy downs(list, &ListBox::MouseDown);
  QWidget* client = list->viewport();
  QTest::mousePress(client, Qt::RightButton, Qt::ShiftModifier, QPoint(10, 20));
  ASSERT_EQ(downs.count(), 1);
  EXPECT_EQ(downs[0][0].value<Qt::MouseButton>(), Qt::RightButton);
  EXPECT_EQ(downs[0][1].value<Qt::KeyboardModifiers>(), Qt::ShiftModifier);
  EXPECT_EQ(downs[0][2].toInt(), 10);
  EXPECT_EQ(downs[0][3].toInt(), 20);
  QTest::mouseRelease(client, Qt::RightButton, Qt::ShiftModifier, QPoint(10, 20));

  // A left press, a move with the button held and a release select nothing.
  QTest::mousePress(client, Qt::LeftButton, {}, QPoint(10, 5));
  QTest::mouseMove(client, QPoint(10, 50));
  QTest::mouseRelease(client, Qt::LeftButton, {}, QPoint(10, 50));
  EXPECT_EQ(list->ItemIndex(), -1);
  EXPECT_FALSE(list->selectionModel()->hasSelection());

  // The second press of a double click is reported like the first.
  downs.clear();
  QTest::mouseClick(client, Qt::LeftButton, {}, QPoint(3, 40));
  QTest::mouseDClick(client, Qt::LeftButton, {}, QPoint(3, 40));
  QTest::mouseRelease(client, Qt::LeftButton, {}, QPoint(3, 40));
  ASSERT_EQ(downs.count(), 2);
  EXPECT_EQ(downs[1][0].value<Qt::MouseButton>(), Qt::LeftButton);
  EXPECT_EQ(downs[1][3].toInt(), 40);
  EXPECT_EQ(list->ItemIndex(), -1);
}

TEST_F(ListBoxTest, TenThousandEntriesStayFast) {
  ListBox* list = &sortedList;
  std::vector<std::string> names = Names(10000);
  std::shuffle(names.begin(), names.end(), std::mt19937(7));
  QElapsedTimer timer;
  timer.start();
  for (const std::string& name : names) list->Insert(-1, name);
  list->SetTopIndex(9990);
  EXPECT_EQ(list->TopIndex(), 10000 - 22);
  EXPECT_EQ(list->ItemAtPos(0, 0), 10000 - 22);
  EXPECT_EQ(list->Item(0), names[0]);
  list->Assign(names);
  EXPECT_EQ(list->Item(0), "entry10000.txt");
  EXPECT_EQ(list->Item(5000), "entry15000.txt");
  // Generous for a debug build on a busy machine; a per-entry re-layout takes minutes.
  EXPECT_LT(timer.elapsed(), 10000);
}

TEST_F(ListBoxTest, SelectionFollowsItsEntryAndIsDroppedWithIt) {
  ListBox* list = &plainList;
  list->Assign({"a", "b", "c", "d"});
  EXPECT_EQ(list->ItemIndex(), -1);
  list->SetItemIndex(2);
  EXPECT_EQ(list->ItemIndex(), 2);
  // Entries coming or going above the selected one move the selection with it.
  list->Insert(0, "first");
  EXPECT_EQ(list->ItemIndex(), 3);
  list->Delete(1);
  EXPECT_EQ(list->ItemIndex(), 2);
  EXPECT_EQ(list->Item(list->ItemIndex()), "c");
  // Deleting the selected entry selects nothing, not its neighbour.
  list->Delete(2);
  EXPECT_EQ(list->ItemIndex(), -1);
  EXPECT_FALSE(list->selectionModel()->hasSelection());
  // One entry at most is selected; a refill selects none.
  list->SetItemIndex(0);
  list->SetItemIndex(1);
  EXPECT_EQ(list->selectionModel()->selectedIndexes().size(), 1);
  list->Assign({"x", "y"});
  EXPECT_EQ(list->ItemIndex(), -1);
  list->SetItemIndex(1);
  list->Clear();
  EXPECT_EQ(list->Count(), 0);
  EXPECT_EQ(list->ItemIndex(), -1);
}

}  // namespace
}  // namespace corvane
