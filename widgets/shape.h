#pragma once
// A filled rectangle with a one-pixel black outline and a mouse-down event. A pressable one
// (a palette swatch) is also a button for the keyboard and for assistive tools: it takes
// the focus by Tab, Space or Enter presses it, and a screen reader sees a push button with
// a press action.

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

  void SetPressable(bool pressable);
  bool Pressable() const { return pressable_; }
  // What a key or an assistive tool's press action does: Pressed is emitted.
  void Press();

 signals:
  void MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int x, int y);
  // Pressed without the mouse (Space, Enter, an assistive tool).
  void Pressed();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  std::uint32_t color_ = 0xFFFFFF;  // white, a shape's default fill
  bool pressable_ = false;
};

}  // namespace corvane
