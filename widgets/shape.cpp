#include "widgets/shape.h"

#include <QMouseEvent>
#include <QPainter>

namespace corvane {

namespace {

QColor FromColorWord(std::uint32_t word) {
  return QColor(static_cast<int>(word & 0xFF), static_cast<int>((word >> 8) & 0xFF),
                static_cast<int>((word >> 16) & 0xFF));
}

}  // namespace

Shape::Shape(QWidget* parent) : QWidget(parent) {
  // Painted whole on every paint: nothing of the parent shows through.
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void Shape::SetBrushColor(std::uint32_t colorWord) {
  colorWord &= 0xFFFFFF;
  if (colorWord == color_) return;
  color_ = colorWord;
  update();
}

void Shape::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const QRect area = rect();
  painter.fillRect(area, FromColorWord(color_));
  painter.setPen(QPen(Qt::black, 1));
  painter.setBrush(Qt::NoBrush);
  painter.drawRect(area.adjusted(0, 0, -1, -1));
}

void Shape::mousePressEvent(QMouseEvent* event) {
  const QPoint at = event->position().toPoint();
  event->accept();
  emit MouseDown(event->button(), event->modifiers(), at.x(), at.y());
}

}  // namespace corvane
