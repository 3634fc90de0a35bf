// The window as laid out, before start-up fills it in, and the custom controls it is built
// from: positions, captions, initial states, tab order, stacking, and the list, spin,
// radio-group and swatch behaviour the handlers rely on.

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFontInfo>
#include <QFrame>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>
#include <algorithm>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "core/errors.h"
#include "form/form1.h"
#include "tests/form/scripted_services.h"
#include "tests/test_support.h"
#include "widgets/list_box.h"
#include "widgets/qt_text.h"
#include "widgets/radio_group.h"
#include "widgets/shape.h"
#include "widgets/up_down.h"

namespace corvane {
namespace {

using testing::S;
using testing::ScriptedServices;

const QColor kGreen(0, 128, 0);
const QColor kNavy(0, 0, 128);

class LayoutTest : public ::testing::Test {
 protected:
  ProgramState state;
  ScriptedServices services;
  TForm1 form{state, services};

  // Shows the window and gives it the focus, for tests that need event routing.
  void ShowActive() {
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    QApplication::setActiveWindow(&form);
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
  }
};

// --- the window ---

TEST_F(LayoutTest, WindowHasFixedSizeCaptionFontAndIcon) {
  EXPECT_EQ(form.windowTitle(), "Corvane");
  EXPECT_EQ(form.size(), QSize(640, 480));
  EXPECT_EQ(form.minimumSize(), QSize(640, 480));
  EXPECT_EQ(form.maximumSize(), QSize(640, 480));
  EXPECT_EQ(form.font().family(), Q(u8"ＭＳ Ｐゴシック"));
  EXPECT_EQ(form.font().pixelSize(), 15);
  EXPECT_FALSE(form.font().bold());
  EXPECT_FALSE(form.font().italic());
  // The family is mapped to the installed font made to the same metrics.
  EXPECT_EQ(QFontInfo(form.font()).family(), "IPAPGothic");
  ASSERT_FALSE(form.windowIcon().isNull());
  EXPECT_TRUE(form.windowIcon().availableSizes().contains(QSize(32, 32)));
}

TEST_F(LayoutTest, PageControlHasThreeFixedWidthTabsWithTheFirstActive) {
  QTabWidget* pages = form.PageControl1;
  EXPECT_EQ(pages->parentWidget(), &form);
  EXPECT_EQ(pages->geometry(), QRect(0, 0, 625, 441));
  ASSERT_EQ(pages->count(), 3);
  const QWidget* sheets[] = {form.TabSheet1, form.TabSheet2, form.TabSheet3};
  const QString captions[] = {Q(u8"ＨＴＭＬ作成"), Q(u8"ＨＴＭＬ設定"), Q(u8"コルベイン設定")};
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(pages->widget(i), sheets[i]);
    EXPECT_EQ(pages->tabText(i), captions[i]);
    EXPECT_EQ(pages->tabBar()->tabRect(i).width(), 150);
  }
  EXPECT_EQ(pages->currentWidget(), form.TabSheet1);
}

// --- positions and captions ---

struct Placement {
  const char* name;
  QWidget* widget;
  QWidget* parent;
  QRect geometry;
};

std::vector<Placement> Placements(TForm1& f) {
  QWidget* s1 = f.TabSheet1;
  QWidget* s2 = f.TabSheet2;
  QWidget* s3 = f.TabSheet3;
  return {
      {"Button4", f.Button4, &f, {536, 408, 75, 25}},
      {"Edit1", f.Edit1, s1, {8, 24, 273, 23}},
      {"ListBox1", f.ListBox1, s1, {8, 64, 241, 347}},
      {"Button1", f.Button1, s1, {288, 24, 41, 25}},
      {"ListBox2", f.ListBox2, s1, {280, 64, 241, 347}},
      {"Button2", f.Button2, s1, {528, 64, 81, 25}},
      {"Button3", f.Button3, s1, {528, 104, 81, 25}},
      {"Button8", f.Button8, s1, {528, 184, 81, 25}},
      {"Button9", f.Button9, s1, {528, 224, 81, 25}},
      {"Button10", f.Button10, s1, {253, 80, 24, 25}},
      {"Button11", f.Button11, s1, {528, 144, 81, 25}},
      {"Label2", f.Label2, s1, {8, 8, 100, 15}},
      {"Label1", f.Label1, s1, {8, 48, 115, 15}},
      {"Label4", f.Label4, s1, {272, 48, 115, 15}},
      {"Combobox1", f.Combobox1, s2, {24, 56, 193, 23}},
      {"Shape1", f.Shape1, s2, {24, 88, 193, 17}},
      {"Panel1", f.Panel1, s2, {24, 112, 145, 49}},
      {"Edit2", f.Edit2, s2, {56, 248, 121, 23}},
      {"UpDown1", f.UpDown1, s2, {176, 248, 20, 25}},
      {"RadioGroup1", f.RadioGroup1, s2, {56, 288, 121, 33}},
      {"Edit3", f.Edit3, s2, {304, 72, 121, 23}},
      {"UpDown2", f.UpDown2, s2, {424, 72, 20, 25}},
      {"Button5", f.Button5, s2, {532, 344, 75, 25}},
      {"Label3", f.Label3, s2, {24, 32, 45, 15}},
      {"Label5", f.Label5, s2, {24, 208, 95, 15}},
      {"Label6", f.Label6, s2, {40, 232, 85, 15}},
      {"Label7", f.Label7, s2, {264, 32, 131, 15}},
      {"Label8", f.Label8, s2, {280, 56, 96, 15}},
      {"Bevel1", f.Bevel1, s2, {8, 24, 225, 153}},
      {"Bevel2", f.Bevel2, s2, {8, 200, 225, 145}},
      {"Bevel3", f.Bevel3, s2, {248, 24, 233, 89}},
      {"Edit4", f.Edit4, s3, {32, 56, 249, 23}},
      {"Button6", f.Button6, s3, {288, 56, 41, 25}},
      {"Button7", f.Button7, s3, {532, 344, 75, 25}},
      {"Label9", f.Label9, s3, {24, 32, 130, 15}},
      {"Label10", f.Label10, s3, {16, 392, 304, 15}},
      {"Bevel4", f.Bevel4, s3, {8, 24, 329, 81}},
  };
}

TEST_F(LayoutTest, EveryControlSitsOnItsParentAtItsPosition) {
  for (const Placement& p : Placements(form)) {
    SCOPED_TRACE(p.name);
    ASSERT_NE(p.widget, nullptr);
    EXPECT_EQ(p.widget->parentWidget(), p.parent);
    EXPECT_EQ(p.widget->geometry(), p.geometry);
    // No control takes a font of its own: all share the window's face and size.
    EXPECT_EQ(p.widget->font(), form.font());
  }
}

TEST_F(LayoutTest, SwatchesSitOnPanelInTwoRowsWithTheirFills) {
  struct SwatchCase {
    int number;
    QPoint at;
    const char8_t* colorName;
  };
  const SwatchCase swatches[] = {
      {2, {9, 8}, u8"aqua"},       {3, {24, 8}, u8"black"},    {4, {40, 8}, u8"blue"},
      {5, {56, 8}, u8"fuchsia"},   {6, {72, 8}, u8"gray"},     {7, {88, 8}, u8"green"},
      {8, {104, 8}, u8"lime"},     {9, {120, 8}, u8"maroon"},  {10, {8, 24}, u8"navy"},
      {11, {24, 24}, u8"olive"},   {12, {40, 24}, u8"purple"}, {13, {56, 24}, u8"red"},
      {14, {72, 24}, u8"silver"},  {15, {88, 24}, u8"teal"},   {16, {104, 24}, u8"white"},
      {17, {120, 24}, u8"yellow"},
  };
  // The colour words, blue in the high byte and red in the low one.
  const std::map<std::u8string, std::uint32_t> words = {
      {u8"aqua", 0xFFFF00},    {u8"black", 0x000000},  {u8"blue", 0xFF0000},
      {u8"fuchsia", 0xFF00FF}, {u8"gray", 0x808080},   {u8"green", 0x008000},
      {u8"lime", 0x00FF00},    {u8"maroon", 0x000080}, {u8"navy", 0x800000},
      {u8"olive", 0x008080},   {u8"purple", 0x800080}, {u8"red", 0x0000FF},
      {u8"silver", 0xC0C0C0},  {u8"teal", 0x808000},   {u8"white", 0xFFFFFF},
      {u8"yellow", 0x00FFFF},
  };
  EXPECT_EQ(form.Shapes[0], nullptr);
  EXPECT_EQ(form.Shapes[1], nullptr);
  for (const SwatchCase& c : swatches) {
    SCOPED_TRACE(c.number);
    Shape* shape = form.Shapes[c.number];
    ASSERT_NE(shape, nullptr);
    EXPECT_EQ(shape->parentWidget(), form.Panel1);
    EXPECT_EQ(shape->geometry(), QRect(c.at, QSize(17, 17)));
    EXPECT_EQ(shape->BrushColor(), words.at(c.colorName));
  }
  EXPECT_EQ(form.Shape1->BrushColor(), 0xFFFFFFu);
}

TEST_F(LayoutTest, CaptionsAndLabelColours) {
  struct Caption {
    const char* name;
    QString shown;
    QString expected;
  };
  const Caption captions[] = {
      {"Button4", form.Button4->text(), Q(u8"終了")},
      {"Button1", form.Button1->text(), Q(u8"開く")},
      {"Button2", form.Button2->text(), Q(u8"項目名入力")},
      {"Button3", form.Button3->text(), Q(u8"HTML作成")},
      {"Button8", form.Button8->text(), Q(u8"比較読込み")},
      {"Button9", form.Button9->text(), Q(u8"非選択消去")},
      {"Button10", form.Button10->text(), Q(u8">>")},
      {"Button11", form.Button11->text(), Q(u8"前回読込み")},
      {"Button5", form.Button5->text(), Q(u8"設定保存")},
      {"Button6", form.Button6->text(), Q(u8"開く")},
      {"Button7", form.Button7->text(), Q(u8"設定保存")},
      {"Label1", form.Label1->text(), Q(u8"入力ファイルリスト")},
      {"Label2", form.Label2->text(), Q(u8"入力ディレクトリ")},
      {"Label3", form.Label3->text(), Q(u8"色指定")},
      {"Label4", form.Label4->text(), Q(u8"出力ファイルリスト")},
      {"Label5", form.Label5->text(), Q(u8"メニューの形式")},
      {"Label6", form.Label6->text(), Q(u8"幅（ピクセル）")},
      {"Label7", form.Label7->text(), Q(u8"画像の長辺のサイズ")},
      {"Label8", form.Label8->text(), Q(u8"長さ（ピクセル）")},
      {"Label9", form.Label9->text(), Q(u8"作業ディレクトリ設定")},
      {"Label10", form.Label10->text(), Q(u8"Corvane v1.21")},
      {"RadioGroup1", form.RadioGroup1->title(), Q(u8"メニューの位置")},
  };
  for (const Caption& c : captions) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.shown, c.expected);
  }

  const std::pair<QLabel*, QColor> colours[] = {
      {form.Label1, kGreen}, {form.Label2, kGreen}, {form.Label3, kGreen}, {form.Label4, kGreen},
      {form.Label5, kGreen}, {form.Label6, kNavy},  {form.Label7, kGreen}, {form.Label8, kNavy},
      {form.Label9, kGreen}, {form.Label10, kNavy},
  };
  for (const auto& [label, colour] : colours) {
    SCOPED_TRACE(label->text().toStdString());
    EXPECT_EQ(label->palette().color(QPalette::WindowText), colour);
  }
  // Only Label1 paints a background of its own, and it differs from the page's.
  EXPECT_TRUE(form.Label1->autoFillBackground());
  EXPECT_NE(form.Label1->palette().color(QPalette::Window),
            form.TabSheet1->palette().color(QPalette::Window));
  EXPECT_FALSE(form.Label2->autoFillBackground());
}

TEST_F(LayoutTest, InitialStatesBeforeStartUp) {
  EXPECT_FALSE(form.Edit1->isEnabled());
  for (QLineEdit* edit : {form.Edit2, form.Edit3, form.Edit4}) EXPECT_TRUE(edit->isEnabled());
  EXPECT_TRUE(form.Button3->isHidden());
  EXPECT_TRUE(form.Button8->isHidden());
  EXPECT_TRUE(form.Button9->isHidden());
  EXPECT_FALSE(form.Button11->isHidden());

  EXPECT_TRUE(form.ListBox1->Sorted());
  EXPECT_FALSE(form.ListBox2->Sorted());
  EXPECT_EQ(form.ListBox1->Count(), 0);
  EXPECT_EQ(form.ListBox2->Count(), 0);

  QComboBox* combo = form.Combobox1;
  EXPECT_FALSE(combo->isEditable());
  const QStringList items = {
      Q(u8"メニュー（文字）"),
      Q(u8"メニュー（バック）"),
      Q(u8"メニュー（リンク）"),
      Q(u8"メニュー（みた後のリンク）"),
      Q(u8"メニュー（クリック時リンク）"),
      Q(u8"データ（文字）"),
      Q(u8"データ（バック）"),
      Q(u8"データ（リンク）"),
      Q(u8"データ（みた後のリンク）"),
      Q(u8"データ（クリック時リンク）"),
  };
  ASSERT_EQ(combo->count(), items.size());
  for (int i = 0; i < combo->count(); ++i) EXPECT_EQ(combo->itemText(i), items[i]) << i;
  EXPECT_EQ(combo->currentIndex(), -1);  // start-up selects the first item
  EXPECT_EQ(combo->view()->sizeHintForRow(0), 15);

  for (UpDown* spin : {form.UpDown1, form.UpDown2}) {
    EXPECT_EQ(spin->Minimum(), 0);
    EXPECT_EQ(spin->Maximum(), 2048);
    EXPECT_EQ(spin->Position(), 0);
  }

  RadioGroup* group = form.RadioGroup1;
  EXPECT_EQ(group->ItemIndex(), -1);
  EXPECT_EQ(group->Button(0)->text(), "L");
  EXPECT_EQ(group->Button(1)->text(), "R");
  EXPECT_EQ(group->palette().color(QPalette::WindowText), kNavy);
  EXPECT_EQ(group->Button(0)->palette().color(QPalette::WindowText), kNavy);
  // Two columns side by side, inside the group below its caption.
  const QRect left = group->Button(0)->geometry();
  const QRect right = group->Button(1)->geometry();
  EXPECT_EQ(left.top(), right.top());
  EXPECT_LT(left.right(), right.left());
  EXPECT_TRUE(group->rect().contains(left | right));
}

// --- stacking ---

TEST_F(LayoutTest, ExitButtonLiesOverThePageControlOnEveryPage) {
  for (QWidget* page : {form.TabSheet1, form.TabSheet2, form.TabSheet3}) {
    form.PageControl1->setCurrentWidget(page);
    EXPECT_EQ(form.childAt(540, 412), form.Button4);
    EXPECT_EQ(form.childAt(610, 432), form.Button4);
  }
}

TEST_F(LayoutTest, LaterSwatchLiesOnTopWhereSwatchesOverlap) {
  QFrame* panel = form.Panel1;
  // Each swatch is covered only by earlier ones at its own top-left corner.
  for (int n = 2; n <= 17; ++n) EXPECT_EQ(panel->childAt(form.Shapes[n]->pos()), form.Shapes[n]);
  // Shape2 and Shape3 overlap by two pixels; four swatches meet at (25, 24).
  EXPECT_EQ(panel->childAt(24, 12), form.Shapes[3]);
  EXPECT_EQ(panel->childAt(25, 12), form.Shapes[3]);
  EXPECT_EQ(panel->childAt(23, 12), form.Shapes[2]);
  EXPECT_EQ(panel->childAt(25, 24), form.Shapes[11]);
  EXPECT_EQ(panel->childAt(104, 24), form.Shapes[16]);
}

TEST_F(LayoutTest, PressOnAnOverlapGoesToTheLaterSwatch) {
  form.PageControl1->setCurrentWidget(form.TabSheet2);
  ShowActive();
  QSignalSpy earlier(form.Shapes[2], &Shape::MouseDown);
  QSignalSpy later(form.Shapes[3], &Shape::MouseDown);
  const QPoint overlap = form.Panel1->mapTo(&form, QPoint(24, 12));
  QTest::mousePress(form.windowHandle(), Qt::RightButton, Qt::ControlModifier, overlap);
  QTest::mouseRelease(form.windowHandle(), Qt::RightButton, Qt::ControlModifier, overlap);
  EXPECT_EQ(earlier.count(), 0);
  ASSERT_EQ(later.count(), 1);
  EXPECT_EQ(later[0][0].value<Qt::MouseButton>(), Qt::RightButton);
  EXPECT_EQ(later[0][1].value<Qt::KeyboardModifiers>(), Qt::ControlModifier);
  EXPECT_EQ(later[0][2].toInt(), 0);  // x within Shape3, which starts at 24
  EXPECT_EQ(later[0][3].toInt(), 4);
}

// --- tab order ---

// The controls Tab visits from Button4, once round, on the page that is showing.
std::vector<QWidget*> TabCycle(TForm1& f) {
  // Controls made of several widgets count once, under their own name.
  auto owner = [&f](QWidget* w) -> QWidget* {
    for (QWidget* c = w; c != nullptr; c = c->parentWidget())
      if (c == f.PageControl1->tabBar() || c == f.RadioGroup1 || c == f.Combobox1) {
        return c == f.PageControl1->tabBar() ? f.PageControl1 : c;
      }
    return w;
  };
  std::vector<QWidget*> visited;
  f.Button4->setFocus(Qt::TabFocusReason);
  for (int i = 0; i < 40; ++i) {
    QWidget* focus = QApplication::focusWidget();
    if (focus == nullptr) break;
    QWidget* control = owner(focus);
    if (!visited.empty() && control == f.Button4) break;
    visited.push_back(control);
    QTest::keyClick(focus, Qt::Key_Tab);
  }
  return visited;
}

TEST_F(LayoutTest, TabVisitsEachPagesControlsInOrder) {
  ShowActive();
  EXPECT_EQ(TabCycle(form),
            (std::vector<QWidget*>{form.Button4, form.PageControl1, form.ListBox1, form.Button1,
                                   form.ListBox2, form.Button2, form.Button10, form.Button11}));
  // The hidden buttons keep their place for when they are shown.
  form.Button3->show();
  form.Button9->show();
  EXPECT_EQ(TabCycle(form),
            (std::vector<QWidget*>{form.Button4, form.PageControl1, form.ListBox1, form.Button1,
                                   form.ListBox2, form.Button2, form.Button3, form.Button9,
                                   form.Button10, form.Button11}));

  form.PageControl1->setCurrentWidget(form.TabSheet2);
  EXPECT_EQ(TabCycle(form),
            (std::vector<QWidget*>{form.Button4, form.PageControl1, form.Combobox1, form.Edit2,
                                   form.RadioGroup1, form.Edit3, form.Button5}));

  form.PageControl1->setCurrentWidget(form.TabSheet3);
  EXPECT_EQ(TabCycle(form), (std::vector<QWidget*>{form.Button4, form.PageControl1, form.Edit4,
                                                   form.Button6, form.Button7}));
}

// --- the lists ---

std::vector<std::string> Names(int count) {
  std::vector<std::string> names;
  for (int i = 0; i < count; ++i) names.push_back("entry" + std::to_string(10000 + i) + ".txt");
  return names;
}

TEST_F(LayoutTest, ListClientAreaShowsTwentyTwoWholeRows) {
  form.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
  for (ListBox* list : {form.ListBox1, form.ListBox2}) {
    SCOPED_TRACE(list == form.ListBox1 ? "ListBox1" : "ListBox2");
    EXPECT_EQ(list->viewport()->geometry(), QRect(2, 2, 237, 343));
    list->Assign(Names(30));
    QApplication::processEvents();
    ASSERT_TRUE(list->verticalScrollBar()->isVisible());
    // The scroll bar takes its width from the client area, not its height.
    EXPECT_EQ(list->viewport()->geometry().topLeft(), QPoint(2, 2));
    EXPECT_EQ(list->viewport()->height(), 343);
    for (int i = 0; i < 23; ++i) EXPECT_EQ(list->visualItemRect(list->item(i)).top(), 15 * i) << i;
    EXPECT_EQ(list->visualItemRect(list->item(21)).bottom(), 21 * 15 + 14);
    EXPECT_EQ(list->verticalScrollBar()->maximum(), 30 - 22);
  }
}

TEST_F(LayoutTest, TopIndexScrollsByWholeEntriesWithinTheScrollRange) {
  ListBox* list = form.ListBox2;
  list->Assign(Names(30));
  EXPECT_EQ(list->TopIndex(), 0);
  const std::pair<int, int> cases[] = {{5, 5}, {8, 8}, {9, 8}, {100, 8}, {-3, 0}, {1, 1}};
  for (const auto& [asked, top] : cases) {
    list->SetTopIndex(asked);
    EXPECT_EQ(list->TopIndex(), top) << asked;
    EXPECT_EQ(list->visualItemRect(list->item(top)).top(), 0) << asked;
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

TEST_F(LayoutTest, ItemAtPosHitTestsRowsFromTheTopIndex) {
  ListBox* list = form.ListBox1;
  // Never shown: the list lays itself out for the hit test all the same.
  list->Assign(Names(30));
  EXPECT_EQ(list->ItemAtPos(0, 0), 0);
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

TEST_F(LayoutTest, SortedListAddsInCaseInsensitiveOrderAndInsertNeverSorts) {
  ListBox* sorted = form.ListBox1;
  EXPECT_EQ(sorted->Add("b.TXT"), 0);
  EXPECT_EQ(sorted->Add("A.jpg"), 0);
  EXPECT_EQ(sorted->Add("c.txt"), 2);
  EXPECT_EQ(sorted->Items(), (std::vector<std::string>{"A.jpg", "b.TXT", "c.txt"}));
  // Names equal but for case go after the ones already there.
  EXPECT_EQ(sorted->Add("B.txt"), 2);
  EXPECT_EQ(sorted->Items(), (std::vector<std::string>{"A.jpg", "b.TXT", "B.txt", "c.txt"}));
  // An entry inserted at a position stays there, sorted list or not.
  sorted->Insert(0, "zz.txt");
  sorted->Insert(-1, "0.txt");
  EXPECT_EQ(sorted->Items(),
            (std::vector<std::string>{"zz.txt", "A.jpg", "b.TXT", "B.txt", "c.txt", "0.txt"}));
  EXPECT_THROW(sorted->Insert(7, "x"), EOutOfResources);
  EXPECT_THROW(sorted->Insert(-2, "x"), EOutOfResources);

  // Assign sorts like one Add after another; the unsorted list keeps the order given.
  const std::vector<std::string> given = {"b.TXT", "c.txt", "A.jpg", "a.JPG", S(u8"画像.jpg")};
  sorted->Assign(given);
  EXPECT_EQ(sorted->Items(),
            (std::vector<std::string>{"A.jpg", "a.JPG", "b.TXT", "c.txt", S(u8"画像.jpg")}));
  form.ListBox2->Assign(given);
  EXPECT_EQ(form.ListBox2->Items(), given);
  EXPECT_EQ(form.ListBox2->Add("a"), 5);
}

TEST_F(LayoutTest, ListEntriesKeepTheirBytesAndBadIndexesRaise) {
  ListBox* list = form.ListBox2;
  const std::string heading = S(u8"-----旅行-----");
  const std::string invalid = "bad\x81";  // a lead byte with no trail byte
  list->Add(heading);
  list->Add(invalid);
  EXPECT_EQ(list->item(0)->text(), Q(u8"-----旅行-----"));
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

TEST_F(LayoutTest, PressesInAListAreReportedNotActedOn) {
  ShowActive();
  ListBox* list = form.ListBox2;
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
  EXPECT_TRUE(list->selectedItems().isEmpty());

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

TEST_F(LayoutTest, TenThousandEntriesStayFast) {
  ListBox* list = form.ListBox1;
  std::vector<std::string> names = Names(10000);
  std::shuffle(names.begin(), names.end(), std::mt19937(7));
  QElapsedTimer timer;
  timer.start();
  for (const std::string& name : names) list->Add(name);
  list->SetTopIndex(9990);
  EXPECT_EQ(list->TopIndex(), 10000 - 22);
  EXPECT_EQ(list->ItemAtPos(0, 0), 10000 - 22);
  EXPECT_EQ(list->Item(0), "entry10000.txt");
  EXPECT_EQ(list->Item(9999), "entry19999.txt");
  list->Assign(names);
  EXPECT_EQ(list->Item(0), "entry10000.txt");
  EXPECT_EQ(list->Item(5000), "entry15000.txt");
  // Generous for a debug build on a busy machine; a per-entry re-layout takes minutes.
  EXPECT_LT(timer.elapsed(), 10000);
}

// --- spin arrows ---

TEST_F(LayoutTest, SpinPositionKeepsTheLowSixteenBitsSigned) {
  UpDown* spin = form.UpDown1;
  const std::pair<long long, short> cases[] = {
      {0, 0},         {2048, 2048},    {70000, 4464},   {-1, -1},           {65535, -1},
      {32767, 32767}, {32768, -32768}, {-70000, -4464}, {0x1234FFFFLL, -1},
  };
  QSignalSpy clicks(spin, &UpDown::Clicked);
  for (const auto& [value, position] : cases) {
    spin->SetPosition(value);
    EXPECT_EQ(spin->Position(), position) << value;
  }
  EXPECT_EQ(clicks.count(), 0);
}

TEST_F(LayoutTest, SpinStepsStopAtTheLimits) {
  UpDown* spin = form.UpDown2;
  QSignalSpy clicks(spin, &UpDown::Clicked);
  struct StepCase {
    long long from;
    bool up;
    bool moved;
    short to;
  };
  const StepCase cases[] = {
      {5, true, true, 6},
      {5, false, true, 4},
      {0, true, true, 1},
      {0, false, false, 0},
      {2048, true, false, 2048},
      {2048, false, true, 2047},
      {2047, true, true, 2048},
      // Outside the range (a typed number): towards it lands on the limit, away does nothing.
      {3000, true, false, 3000},
      {3000, false, true, 2048},
      {-5, false, false, -5},
      {-5, true, true, 0},
      {70000, false, true, 2048},
  };
  for (const StepCase& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.from << (c.up ? " up" : " down"));
    spin->SetPosition(c.from);
    clicks.clear();
    EXPECT_EQ(spin->Step(c.up), c.moved);
    EXPECT_EQ(spin->Position(), c.to);
    ASSERT_EQ(clicks.count(), c.moved ? 1 : 0);
    if (c.moved) {
      EXPECT_EQ(clicks[0][0].toBool(), c.up);
    }
  }
}

TEST_F(LayoutTest, SpinArrowsSplitTheControlAndStepWhenClicked) {
  form.PageControl1->setCurrentWidget(form.TabSheet2);
  form.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
  UpDown* spin = form.UpDown1;
  const QRect up = spin->UpButton()->geometry();
  const QRect down = spin->DownButton()->geometry();
  EXPECT_EQ(up.topLeft(), QPoint(0, 0));
  EXPECT_EQ(up.width(), 20);
  EXPECT_EQ(down.top(), up.bottom() + 1);
  EXPECT_EQ(down.bottom(), 24);
  EXPECT_LE(std::abs(up.height() - down.height()), 1);

  QSignalSpy clicks(spin, &UpDown::Clicked);
  spin->SetPosition(2047);
  QTest::mouseClick(spin->UpButton(), Qt::LeftButton);
  QTest::mouseClick(spin->UpButton(), Qt::LeftButton);  // at 2048: nothing
  EXPECT_EQ(spin->Position(), 2048);
  QTest::mouseClick(spin->DownButton(), Qt::LeftButton);
  EXPECT_EQ(spin->Position(), 2047);
  ASSERT_EQ(clicks.count(), 2);
  EXPECT_TRUE(clicks[0][0].toBool());
  EXPECT_FALSE(clicks[1][0].toBool());
}

// --- radio group ---

TEST_F(LayoutTest, RadioGroupClicksOnEverySelectionChangeFromCodeOrUser) {
  RadioGroup* group = form.RadioGroup1;
  QSignalSpy clicks(group, &RadioGroup::Click);
  group->SetItemIndex(1);
  EXPECT_EQ(group->ItemIndex(), 1);
  EXPECT_EQ(clicks.count(), 1);
  group->SetItemIndex(1);  // no change, no click
  EXPECT_EQ(clicks.count(), 1);
  group->SetItemIndex(0);  // one click, though two buttons toggle
  EXPECT_EQ(group->ItemIndex(), 0);
  EXPECT_EQ(clicks.count(), 2);
  EXPECT_FALSE(group->Button(1)->isChecked());

  QTest::mouseClick(group->Button(1), Qt::LeftButton);
  EXPECT_EQ(group->ItemIndex(), 1);
  EXPECT_EQ(clicks.count(), 3);

  group->SetItemIndex(-1);
  EXPECT_EQ(group->ItemIndex(), -1);
  EXPECT_EQ(clicks.count(), 3);
  // Still exclusive afterwards.
  group->SetItemIndex(0);
  group->SetItemIndex(1);
  EXPECT_FALSE(group->Button(0)->isChecked());
}

// --- swatches ---

TEST_F(LayoutTest, ShapePaintsItsColourWordInsideABlackOutline) {
  Shape shape;
  shape.resize(17, 17);
  shape.SetBrushColor(0x0080FF);  // red FF, green 80, blue 00
  const QImage image = shape.grab().toImage();
  for (QPoint edge :
       {QPoint(0, 0), QPoint(16, 0), QPoint(0, 16), QPoint(16, 16), QPoint(8, 0), QPoint(0, 8)})
    EXPECT_EQ(QColor(image.pixel(edge)), QColor(Qt::black)) << edge.x() << "," << edge.y();
  for (QPoint inside : {QPoint(1, 1), QPoint(8, 8), QPoint(15, 15)})
    EXPECT_EQ(QColor(image.pixel(inside)), QColor(255, 128, 0)) << inside.x() << "," << inside.y();

  QSignalSpy downs(&shape, &Shape::MouseDown);
  QTest::mouseClick(&shape, Qt::MiddleButton, Qt::AltModifier, QPoint(3, 4));
  ASSERT_EQ(downs.count(), 1);
  EXPECT_EQ(downs[0][0].value<Qt::MouseButton>(), Qt::MiddleButton);
  EXPECT_EQ(downs[0][2].toInt(), 3);
  EXPECT_EQ(downs[0][3].toInt(), 4);
}

}  // namespace
}  // namespace corvane
