// The spin arrows: a 16-bit signed position, steps that stop at the range's limits, and
// two arrows that split the control between them.

#include "widgets/up_down.h"

#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>
#include <QToolButton>
#include <cstdlib>

namespace corvane {
namespace {

class UpDownTest : public ::testing::Test {
 protected:
  UpDownTest() {
    // As the window makes them.
    upDown.resize(20, 25);
    upDown.SetRange(0, 2048);
    upDown.SetPosition(0);
  }
  UpDown upDown;
};

TEST_F(UpDownTest, SpinPositionKeepsTheLowSixteenBitsSigned) {
  UpDown* spin = &upDown;
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

TEST_F(UpDownTest, SpinStepsStopAtTheLimits) {
  UpDown* spin = &upDown;
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

TEST_F(UpDownTest, SpinArrowsSplitTheControlAndStepWhenClicked) {
  upDown.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&upDown));
  UpDown* spin = &upDown;
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

}  // namespace
}  // namespace corvane
