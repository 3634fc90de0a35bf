// The window as laid out, before start-up fills it in: every control where the geometry
// table puts it, initial states, stacking and tab order.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QFontInfo>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <algorithm>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "form/form1.h"
#include "form/form1_geometry.h"
#include "tests/form/scripted_services.h"
#include "tests/test_support.h"
#include "widgets/list_box.h"
#include "widgets/qt_text.h"
#include "widgets/radio_group.h"
#include "widgets/shape.h"
#include "widgets/up_down.h"

namespace corvane {
namespace {

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

// --- every control against the geometry table ---

// The caption a control shows, whatever kind of control it is.
QString CaptionShown(TForm1& form, QWidget* widget) {
  if (auto* button = qobject_cast<QAbstractButton*>(widget)) return button->text();
  if (auto* label = qobject_cast<QLabel*>(widget)) return label->text();
  if (auto* group = qobject_cast<QGroupBox*>(widget)) return group->title();
  const int page = form.PageControl1->indexOf(widget);
  if (page >= 0) return form.PageControl1->tabText(page);
  return {};
}

TEST_F(LayoutTest, EveryControlSitsOnItsHostAtItsPlaceWithItsCaption) {
  const std::map<Host, QWidget*> hosts = {
      {Host::Window, &form},
      {Host::Pages, form.PageControl1->findChild<QStackedWidget*>()},
      {Host::TabSheet1, form.TabSheet1},
      {Host::TabSheet2, form.TabSheet2},
      {Host::TabSheet3, form.TabSheet3},
  };
  for (const ControlPlace& place : kControlPlaces) {
    SCOPED_TRACE(std::string(place.name));
    QWidget* widget = form.findChild<QWidget*>(QString::fromLatin1(place.name));
    ASSERT_NE(widget, nullptr);
    EXPECT_EQ(widget->parentWidget(), hosts.at(place.host));
    if (!place.geometry.isEmpty()) {
      EXPECT_EQ(widget->geometry(), place.geometry);
    }
    EXPECT_EQ(CaptionShown(form, widget), Q(place.caption));
    // No control takes a font of its own: all share the window's face and size.
    EXPECT_EQ(widget->font(), form.font());
  }
  // The names lead to the members the handlers use.
  const std::pair<const char*, QWidget*> members[] = {
      {"Button1", form.Button1},
      {"Button2", form.Button2},
      {"Button3", form.Button3},
      {"Button4", form.Button4},
      {"Button5", form.Button5},
      {"Button6", form.Button6},
      {"Button7", form.Button7},
      {"Button8", form.Button8},
      {"Button9", form.Button9},
      {"Button10", form.Button10},
      {"Button11", form.Button11},
      {"Edit1", form.Edit1},
      {"Edit2", form.Edit2},
      {"Edit3", form.Edit3},
      {"Edit4", form.Edit4},
      {"ListBox1", form.ListBox1},
      {"ListBox2", form.ListBox2},
      {"Combobox1", form.Combobox1},
      {"Shape1", form.Shape1},
      {"Panel1", form.Panel1},
      {"UpDown1", form.UpDown1},
      {"UpDown2", form.UpDown2},
      {"RadioGroup1", form.RadioGroup1},
      {"Label1", form.Label1},
      {"Label4", form.Label4},
      {"Label10", form.Label10},
      {"Bevel4", form.Bevel4},
      {"TabSheet2", form.TabSheet2},
      {"PageControl1", form.PageControl1},
  };
  for (const auto& [name, widget] : members)
    EXPECT_EQ(form.findChild<QWidget*>(QString::fromLatin1(name)), widget) << name;
}

TEST_F(LayoutTest, WindowHasFixedSizeCaptionFontAndIcon) {
  EXPECT_EQ(form.windowTitle(), "Corvane");
  EXPECT_EQ(form.size(), kWindowSize);
  EXPECT_EQ(form.minimumSize(), kWindowSize);
  EXPECT_EQ(form.maximumSize(), kWindowSize);
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
  ASSERT_EQ(pages->count(), 3);
  const QWidget* sheets[] = {form.TabSheet1, form.TabSheet2, form.TabSheet3};
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(pages->widget(i), sheets[i]);
    EXPECT_EQ(pages->tabBar()->tabRect(i).width(), kTabWidth);
  }
  EXPECT_EQ(pages->currentWidget(), form.TabSheet1);
}

TEST_F(LayoutTest, SwatchesSitOnPanelInTwoRowsWithTheirFills) {
  const char8_t* const colorNames[] = {
      u8"aqua", u8"black", u8"blue",   u8"fuchsia", u8"gray",   u8"green", u8"lime",  u8"maroon",
      u8"navy", u8"olive", u8"purple", u8"red",     u8"silver", u8"teal",  u8"white", u8"yellow",
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
  for (int i = 0; i < 16; ++i) {
    SCOPED_TRACE(i + 2);
    Shape* shape = form.Shapes[i + 2];
    ASSERT_NE(shape, nullptr);
    EXPECT_EQ(shape->parentWidget(), form.Panel1);
    EXPECT_EQ(shape->geometry(), QRect(kSwatchPositions[i], QSize(kSwatchSize, kSwatchSize)));
    EXPECT_EQ(shape->BrushColor(), words.at(colorNames[i]));
  }
  EXPECT_EQ(form.Shape1->BrushColor(), 0xFFFFFFu);
}

TEST_F(LayoutTest, LabelColours) {
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

  EXPECT_EQ(form.ListBox1->Count(), 0);
  EXPECT_EQ(form.ListBox2->Count(), 0);
  // The input list sorts what it is given, the output list keeps its order.
  const std::vector<std::string> given = {"b.txt", "a.txt"};
  form.ListBox1->Assign(given);
  form.ListBox2->Assign(given);
  EXPECT_EQ(form.ListBox1->Items(), (std::vector<std::string>{"a.txt", "b.txt"}));
  EXPECT_EQ(form.ListBox2->Items(), given);

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

// What the table says Tab visits on a page: the window's own controls, then the page's,
// each in table order, leaving out those hidden or disabled. The palette's stop is its
// sixteen swatches, in the palette's order.
std::vector<QWidget*> TableCycle(TForm1& f, Host page) {
  std::vector<const ControlPlace*> stops;
  for (const ControlPlace& place : kControlPlaces)
    if (place.tabOrder >= 0 && (place.host == Host::Window || place.host == page))
      stops.push_back(&place);
  std::stable_sort(stops.begin(), stops.end(), [](const ControlPlace* a, const ControlPlace* b) {
    return std::pair(a->host, a->tabOrder) < std::pair(b->host, b->tabOrder);
  });
  std::vector<QWidget*> cycle;
  for (const ControlPlace* place : stops) {
    QWidget* widget = f.findChild<QWidget*>(QString::fromLatin1(place->name));
    if (widget == f.Panel1) {
      for (int i = 2; i <= 17; ++i) cycle.push_back(f.Shapes[i]);
    } else if (widget != nullptr && widget->isVisible() && widget->isEnabled()) {
      cycle.push_back(widget);
    }
  }
  return cycle;
}

TEST_F(LayoutTest, TabVisitsEachPagesControlsInTheTablesOrder) {
  ShowActive();
  const std::vector<QWidget*> first = TableCycle(form, Host::TabSheet1);
  EXPECT_EQ(first.size(), 8u);  // Edit1 is disabled, three buttons hidden
  EXPECT_EQ(TabCycle(form), first);
  // The hidden buttons keep their place for when they are shown.
  form.Button3->show();
  form.Button9->show();
  EXPECT_EQ(TabCycle(form), TableCycle(form, Host::TabSheet1));

  form.PageControl1->setCurrentWidget(form.TabSheet2);
  EXPECT_EQ(TabCycle(form), TableCycle(form, Host::TabSheet2));
  form.PageControl1->setCurrentWidget(form.TabSheet3);
  EXPECT_EQ(TabCycle(form), TableCycle(form, Host::TabSheet3));
}

}  // namespace
}  // namespace corvane
