// The settings tabs: colour targets and swatches, the number fields with their spin
// arrows, the menu side, and the working directory.

#include <QAccessible>
#include <QRadioButton>
#include <QTest>
#include <QToolButton>

#include "tests/form/form_fixture.h"
#include "widgets/radio_group.h"
#include "widgets/shape.h"
#include "widgets/up_down.h"

namespace corvane::testing {
namespace {

constexpr std::uint32_t kWhite = 0xFFFFFF, kBlack = 0, kGreen = 0x008000, kRed = 0x0000FF;

class SettingsTabsTest : public FormTest {
 protected:
  void SetUp() override { Start(); }
  // A user's choice of colour target, with the keyboard.
  void ChooseTarget(int index) {
    QComboBox* combo = form->Combobox1;
    while (combo->currentIndex() < index) QTest::keyClick(combo, Qt::Key_Down);
    while (combo->currentIndex() > index) QTest::keyClick(combo, Qt::Key_Up);
  }
  void Press(int shape, Qt::MouseButton button = Qt::LeftButton) {
    QTest::mousePress(form->Shapes[shape], button, {}, QPoint(8, 8));
  }
  void TypeChar(QLineEdit* edit, char c) { QTest::keyClicks(edit, QString(QChar(c))); }
};

TEST_F(SettingsTabsTest, ThePreviewFollowsTheTarget) {
  EXPECT_EQ(form->Shape1->BrushColor(), kWhite);
  ChooseTarget(1);
  EXPECT_EQ(form->Shape1->BrushColor(), kBlack);
  ChooseTarget(2);
  EXPECT_EQ(form->Shape1->BrushColor(), kGreen);
  // A selection set by the program runs nothing.
  form->Combobox1->setCurrentIndex(0);
  EXPECT_EQ(form->Shape1->BrushColor(), kGreen);
}

TEST_F(SettingsTabsTest, ASwatchSetsOnlyTheSelectedEntry) {
  ChooseTarget(7);  // データ（リンク）
  const auto before = state.Settings.HtmlColors;
  Press(13, Qt::RightButton);  // red, with the right button
  EXPECT_EQ(form->Shape1->BrushColor(), kRed);
  auto expected = before;
  expected[7] = "red";
  EXPECT_EQ(state.Settings.HtmlColors, expected);
  Press(13);
  EXPECT_EQ(state.Settings.HtmlColors, expected);
  ChooseTarget(2);
  EXPECT_EQ(form->Shape1->BrushColor(), kGreen);
  Press(16);
  EXPECT_EQ(state.Settings.HtmlColors[2], "white");
  EXPECT_EQ(form->Shape1->BrushColor(), kWhite);
}

// Without a mouse: Tab from the drop-down reaches the swatches one by one, Space or Enter
// on one is its click, and a screen reader's press action is too.
TEST_F(SettingsTabsTest, SwatchesAreReachedByTabAndPressedBySpaceEnterOrAnAssistiveTool) {
  form->show();
  form->PageControl1->setCurrentWidget(form->TabSheet2);
  QApplication::setActiveWindow(form.get());
  ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
  form->Combobox1->setFocus();
  ChooseTarget(7);
  QTest::keyClick(form->Combobox1, Qt::Key_Tab);
  EXPECT_EQ(QApplication::focusWidget(), form->Shapes[2]);
  for (int i = 3; i <= 13; ++i) QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  ASSERT_EQ(QApplication::focusWidget(), form->Shapes[13]);  // red
  QTest::keyClick(form->Shapes[13], Qt::Key_Space);
  EXPECT_EQ(state.Settings.HtmlColors[7], "red");
  EXPECT_EQ(form->Shape1->BrushColor(), kRed);
  QTest::keyClick(form->Shapes[13], Qt::Key_Tab);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);  // silver
  EXPECT_EQ(state.Settings.HtmlColors[7], "silver");
  QTest::keyClick(form->Shapes[15], Qt::Key_Enter, Qt::KeypadModifier);  // teal
  EXPECT_EQ(state.Settings.HtmlColors[7], "teal");
  // Other keys do nothing to the colours.
  QTest::keyClick(form->Shapes[16], Qt::Key_A);
  EXPECT_EQ(state.Settings.HtmlColors[7], "teal");

  QAccessibleInterface* face = QAccessible::queryAccessibleInterface(form->Shapes[10]);
  ASSERT_NE(face, nullptr);
  EXPECT_EQ(face->role(), QAccessible::Button);
  EXPECT_EQ(face->text(QAccessible::Name), QStringLiteral("navy"));
  EXPECT_TRUE(face->state().focusable);
  ASSERT_NE(face->actionInterface(), nullptr);
  face->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
  EXPECT_EQ(state.Settings.HtmlColors[7], "navy");
  // The preview is a picture, with nothing to press and no Tab stop.
  QAccessibleInterface* preview = QAccessible::queryAccessibleInterface(form->Shape1);
  EXPECT_EQ(preview->role(), QAccessible::Graphic);
  EXPECT_EQ(form->Shape1->focusPolicy(), Qt::NoFocus);
}

TEST_F(SettingsTabsTest, AnUnknownNamePreviewsBlackUntilASwatchReplacesIt) {
  WriteFile(dir / "corvane.INI",
            CrLfLines({"Red", "black", "green", "green", "green", "white", "black", "green",
                       "green", "green", "R", "200", "600", dir.Path()}));
  Start();
  EXPECT_EQ(form->Shape1->BrushColor(), kBlack);
  Press(13);
  EXPECT_EQ(state.Settings.HtmlColors[0], "red");
  EXPECT_EQ(form->Shape1->BrushColor(), kRed);
}

TEST_F(SettingsTabsTest, EveryPixelOfASwatchBelongsToTheSwatchDrawnLast) {
  // Shape2 starts at x 9 and Shape3 at 24, each 17 wide: x 24 and 25 belong to Shape3.
  QWidget* hit = form->Panel1->childAt(QPoint(25, 10));
  EXPECT_EQ(hit, form->Shapes[3]);
  ChooseTarget(0);
  QTest::mousePress(form->Panel1->childAt(QPoint(24, 10)), Qt::LeftButton);
  EXPECT_EQ(state.Settings.HtmlColors[0], "black");
}

TEST_F(SettingsTabsTest, TypedNumbersAreStoredAsTyped) {
  form->Edit2->setFocus();
  form->Edit2->selectAll();
  std::vector<std::string> stored;
  std::vector<int> positions;
  for (char c : std::string("350")) {
    TypeChar(form->Edit2, c);
    stored.push_back(state.Settings.MenuWidth);
    positions.push_back(form->UpDown1->Position());
  }
  EXPECT_EQ(stored, (std::vector<std::string>{"3", "35", "350"}));
  EXPECT_EQ(positions, (std::vector<int>{3, 35, 350}));
  EXPECT_TRUE(services.errors.empty());

  form->Edit2->selectAll();
  QTest::keyClick(form->Edit2, Qt::Key_Backspace);
  ASSERT_EQ(services.errors.size(), 1u);
  EXPECT_EQ(services.errors[0], S(u8"'' は整数ではありません."));
  EXPECT_EQ(state.Settings.MenuWidth, "350");
  EXPECT_EQ(form->UpDown1->Position(), 350);

  Type(form->Edit2, " 42");
  EXPECT_EQ(state.Settings.MenuWidth, " 42");
  Type(form->Edit2, "42 ");
  EXPECT_EQ(services.errors.back(), S(u8"'42 ' は整数ではありません."));
  EXPECT_EQ(state.Settings.MenuWidth, " 42");
  Type(form->Edit3, "$1F");
  EXPECT_EQ(state.Settings.ImageLongSide, "$1F");
  EXPECT_EQ(form->UpDown2->Position(), 31);
  Type(form->Edit3, "70000");
  EXPECT_EQ(form->UpDown2->Position(), 4464);
  EXPECT_EQ(state.Settings.ImageLongSide, "70000");
}

TEST_F(SettingsTabsTest, SpinArrowsStayWithinTheirRange) {
  Type(form->Edit2, "2048");
  QTest::mouseClick(form->UpDown1->UpButton(), Qt::LeftButton);
  EXPECT_EQ(Text(form->Edit2), "2048");
  EXPECT_EQ(form->UpDown1->Position(), 2048);
  QTest::mouseClick(form->UpDown1->DownButton(), Qt::LeftButton);
  EXPECT_EQ(Text(form->Edit2), "2047");
  EXPECT_EQ(state.Settings.MenuWidth, "2047");
  Type(form->Edit3, "0");
  QTest::mouseClick(form->UpDown2->DownButton(), Qt::LeftButton);
  EXPECT_EQ(Text(form->Edit3), "0");
  EXPECT_EQ(state.Settings.ImageLongSide, "0");

  // After a rejected text an arrow puts the field and the setting in agreement again.
  Type(form->Edit3, "600");
  Type(form->Edit3, "6OO");
  EXPECT_EQ(state.Settings.ImageLongSide, "600");
  QTest::mouseClick(form->UpDown2->UpButton(), Qt::LeftButton);
  EXPECT_EQ(Text(form->Edit3), "601");
  EXPECT_EQ(state.Settings.ImageLongSide, "601");
}

TEST_F(SettingsTabsTest, MenuSideFollowsTheRadioGroup) {
  QTest::mouseClick(form->RadioGroup1->Button(0), Qt::LeftButton);
  EXPECT_EQ(state.Settings.MenuPosition, "L");
  QTest::mouseClick(form->RadioGroup1->Button(1), Qt::LeftButton);
  EXPECT_EQ(state.Settings.MenuPosition, "R");
}

TEST_F(SettingsTabsTest, WorkingDirectoryFromTheDialog) {
  std::filesystem::create_directories(dir / "data/site");
  form->ListBox1->Assign({"a.txt"});
  form->ListBox2->Assign({"-----A-----"});
  services.dirDialogAnswers = {dir / "data/site/dir", dir / "data/site/x.txt", std::nullopt,
                               "/dir"};
  form->Button6Click();
  EXPECT_EQ(state.Settings.WorkDir, dir / "data/site");
  EXPECT_EQ(Text(form->Edit4), dir / "data/site");
  EXPECT_EQ(Text(form->Edit1), dir / "data/site");
  EXPECT_TRUE(Shown(form->Button3));
  EXPECT_EQ(std::filesystem::current_path(), dir / "data/site");
  EXPECT_EQ(Items(form->ListBox1), std::vector<std::string>{"a.txt"});
  EXPECT_EQ(Items(form->ListBox2), std::vector<std::string>{"-----A-----"});
  ASSERT_EQ(services.dirDialogCalls.size(), 1u);
  EXPECT_EQ(services.dirDialogCalls[0].initialDir, dir.Path());
  EXPECT_EQ(services.dirDialogCalls[0].fileName, "dir");

  form->Button6Click();  // "x.txt" typed instead: four bytes dropped all the same
  EXPECT_EQ(state.Settings.WorkDir, dir / "data/site/x");
  EXPECT_EQ(services.dirDialogCalls[1].fileName, dir / "data/site/dir");
  EXPECT_EQ(services.dirDialogCalls[1].initialDir, dir / "data/site");

  form->Button6Click();  // cancelled
  EXPECT_EQ(state.Settings.WorkDir, dir / "data/site/x");

  form->Button6Click();  // the root
  EXPECT_EQ(state.Settings.WorkDir, "/");
  EXPECT_EQ(Text(form->Edit1), "/");

  form->Button7Click();
  EXPECT_EQ(ReadFile(dir / "corvane.INI"),
            CrLfLines({"white", "black", "green", "green", "green", "white", "black", "green",
                       "green", "green", "R", "200", "600", "/"}));
}

}  // namespace
}  // namespace corvane::testing
