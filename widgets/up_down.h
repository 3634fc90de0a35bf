#pragma once
// A vertical pair of spin arrows not attached to any field: a signed 16-bit position within
// [min, max], one step per click, no wrap-around. Clicked(up) is emitted only when an arrow
// really moved the position.

#include <QWidget>

class QToolButton;

namespace corvane {

class UpDown : public QWidget {
  Q_OBJECT

 public:
  explicit UpDown(QWidget* parent = nullptr);

  void SetRange(int minimum, int maximum);
  int Minimum() const { return min_; }
  int Maximum() const { return max_; }
  // Any integer: only its low 16 bits are kept, read as signed. Emits nothing.
  void SetPosition(long long value);
  short Position() const { return position_; }

  // What one arrow click does; returns true and emits Clicked when the position moved.
  bool Step(bool up);

  QToolButton* UpButton() const { return up_; }
  QToolButton* DownButton() const { return down_; }

 signals:
  void Clicked(bool up);

 private:
  QToolButton* up_;
  QToolButton* down_;
  int min_ = 0;
  int max_ = 100;
  short position_ = 0;
};

}  // namespace corvane
