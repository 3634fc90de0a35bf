// A colour swatch: its fill inside a black outline, and the presses it reports.

#include "widgets/shape.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QSignalSpy>
#include <QTest>

namespace corvane {
namespace {

TEST(ShapeTest, ShapePaintsItsColourWordInsideABlackOutline) {
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
