// A colour swatch: its fill inside a black outline, and the presses it reports.

#include "widgets/shape.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QSignalSpy>
#include <QTest>
#include <QtMath>

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

// On a screen scaled by 1.5 or 2 the outline still runs round the very edge of the swatch:
// no device pixel of the fill shows outside it, none of the page inside the swatch.
TEST(ShapeTest, OutlineCoversTheEdgeAtFractionalAndDoubleScale) {
  Shape shape;
  shape.resize(17, 17);
  shape.SetBrushColor(0x00FFFF);  // yellow
  for (qreal scale : {1.0, 1.5, 2.0}) {
    SCOPED_TRACE(scale);
    const int side = qCeil(17 * scale);
    QImage image(side, side, QImage::Format_RGB32);
    image.fill(Qt::magenta);
    image.setDevicePixelRatio(scale);
    shape.render(&image);
    int fill = 0;
    for (int y = 0; y < side; ++y) {
      for (int x = 0; x < side; ++x) {
        const QColor c(image.pixel(x, y));
        const bool edge = x == 0 || y == 0 || x == side - 1 || y == side - 1;
        if (edge) {
          EXPECT_EQ(c, QColor(Qt::black)) << x << "," << y;
        }
        EXPECT_NE(c, QColor(Qt::magenta)) << x << "," << y;
        if (c == QColor(Qt::yellow)) ++fill;
      }
    }
    // The fill is all that lies inside an outline at most two device pixels wide.
    EXPECT_GE(fill, (side - 4) * (side - 4));
  }
}

}  // namespace
}  // namespace corvane
