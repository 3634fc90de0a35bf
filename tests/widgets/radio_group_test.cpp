// The radio group tells of every change of its selection, whoever makes it.

#include "widgets/radio_group.h"

#include <gtest/gtest.h>

#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>

namespace corvane {
namespace {

TEST(RadioGroupTest, RadioGroupClicksOnEverySelectionChangeFromCodeOrUser) {
  RadioGroup radioGroup(QStringLiteral("group"), {QStringLiteral("L"), QStringLiteral("R")}, 2);
  // As the window makes it, shown so that the buttons are laid out in their room.
  radioGroup.resize(121, 33);
  radioGroup.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&radioGroup));
  RadioGroup* group = &radioGroup;
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

}  // namespace
}  // namespace corvane
