#include "widgets/shape.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace corvane {

namespace {

QColor FromColorWord(std::uint32_t word) {
  return QColor(static_cast<int>(word & 0xFF), static_cast<int>((word >> 8) & 0xFF),
                static_cast<int>((word >> 16) & 0xFF));
}

// What a screen reader sees of a shape: a push button with a press action when it can be
// pressed, else a picture. Without it a swatch is a bare "filler" no tool can press.
class AccessibleShape : public QAccessibleWidget {
 public:
  explicit AccessibleShape(Shape* shape)
      : QAccessibleWidget(shape, shape->Pressable() ? QAccessible::Button : QAccessible::Graphic) {}

  QStringList actionNames() const override {
    QStringList names = QAccessibleWidget::actionNames();
    if (shape()->Pressable()) names.prepend(pressAction());
    return names;
  }
  void doAction(const QString& name) override {
    if (name == pressAction() && shape()->Pressable()) {
      shape()->Press();
    } else {
      QAccessibleWidget::doAction(name);
    }
  }
  QAccessible::Role role() const override {
    return shape()->Pressable() ? QAccessible::Button : QAccessible::Graphic;
  }

 private:
  Shape* shape() const { return static_cast<Shape*>(widget()); }
};

QAccessibleInterface* ShapeAccessibleFactory(const QString& className, QObject* object) {
  if (className == QLatin1String("corvane::Shape") && object && object->isWidgetType())
    return new AccessibleShape(static_cast<Shape*>(object));
  return nullptr;
}

}  // namespace

Shape::Shape(QWidget* parent) : QWidget(parent) {
  static const bool factoryInstalled = [] {
    QAccessible::installFactory(ShapeAccessibleFactory);
    return true;
  }();
  (void)factoryInstalled;
  // Painted whole on every paint: nothing of the parent shows through.
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void Shape::SetBrushColor(std::uint32_t colorWord) {
  colorWord &= 0xFFFFFF;
  if (colorWord == color_) return;
  color_ = colorWord;
  update();
}

void Shape::SetPressable(bool pressable) {
  pressable_ = pressable;
  setFocusPolicy(pressable ? Qt::StrongFocus : Qt::NoFocus);
}

void Shape::Press() {
  if (pressable_) emit Pressed();
}

void Shape::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  // The outline is the whole area in black with the fill inside it, both filled rather
  // than stroked: at a scale of 1.5 or 2 a stroked one-pixel line lands half a logical
  // pixel in and leaves a sliver of fill outside it, and filled areas snap to whole device
  // pixels on both sides.
  const QRect area = rect();
  painter.fillRect(area, Qt::black);
  painter.fillRect(area.adjusted(1, 1, -1, -1), FromColorWord(color_));
  if (hasFocus()) {
    // A ring inside the outline, in black and white so that it shows on every fill.
    const QRect ring = area.adjusted(2, 2, -3, -3);
    painter.setPen(QPen(Qt::white, 1));
    painter.drawRect(ring);
    painter.setPen(QPen(Qt::black, 1, Qt::DotLine));
    painter.drawRect(ring);
  }
}

void Shape::mousePressEvent(QMouseEvent* event) {
  const QPoint at = event->position().toPoint();
  event->accept();
  emit MouseDown(event->button(), event->modifiers(), at.x(), at.y());
}

void Shape::keyPressEvent(QKeyEvent* event) {
  const int key = event->key();
  if (pressable_ && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier &&
      (key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter)) {
    event->accept();
    Press();
    return;
  }
  QWidget::keyPressEvent(event);
}

void Shape::focusInEvent(QFocusEvent* event) {
  QWidget::focusInEvent(event);
  update();
}

void Shape::focusOutEvent(QFocusEvent* event) {
  QWidget::focusOutEvent(event);
  update();
}

}  // namespace corvane
