#pragma once
// A filled rectangle with a one-pixel black outline and a mouse-down event.

#include <QWidget>
#include <cstdint>

namespace corvane {

class Shape : public QWidget {
  Q_OBJECT

 public:
  explicit Shape(QWidget* parent = nullptr);
  // The colour word: red in the low byte, green in the middle, blue in the high byte.
  void SetBrushColor(std::uint32_t colorWord);
  std::uint32_t BrushColor() const { return color_; }

 signals:
  void MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int x, int y);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  std::uint32_t color_ = 0xFFFFFF;  // white, a shape's default fill
};

}  // namespace corvane
