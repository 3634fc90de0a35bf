#include "widgets/up_down.h"

#include <QSizePolicy>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cstdint>

namespace corvane {

namespace {

QToolButton* MakeArrow(Qt::ArrowType arrow, QWidget* parent) {
  auto* button = new QToolButton(parent);
  button->setArrowType(arrow);
  // The two halves share the control's height exactly, however small it is.
  button->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
  button->setFocusPolicy(Qt::NoFocus);
  // Holding an arrow keeps stepping, as spin arrows do.
  button->setAutoRepeat(true);
  return button;
}

}  // namespace

UpDown::UpDown(QWidget* parent)
    : QWidget(parent), up_(MakeArrow(Qt::UpArrow, this)), down_(MakeArrow(Qt::DownArrow, this)) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(up_);
  layout->addWidget(down_);
  connect(up_, &QToolButton::clicked, this, [this] { Step(true); });
  connect(down_, &QToolButton::clicked, this, [this] { Step(false); });
}

void UpDown::SetRange(int minimum, int maximum) {
  min_ = minimum;
  max_ = maximum;
}

void UpDown::SetPosition(long long value) {
  // Only the low 16 bits are kept and read as signed: 70000 becomes 4464.
  position_ = static_cast<std::int16_t>(static_cast<std::uint16_t>(value));
}

bool UpDown::Step(bool up) {
  const int low = std::min(min_, max_);
  const int high = std::max(min_, max_);
  const int current = position_;
  int next = up ? current + 1 : current - 1;
  if (current > high || current < low) {
    // A position set from outside the range: a step towards the range lands on its
    // nearer limit, a step further away does nothing.
    if (current > high && !up)
      next = high;
    else if (current < low && up)
      next = low;
    else
      return false;
  } else if (next < low || next > high) {
    // No wrap-around at either end.
    return false;
  }
  position_ = static_cast<short>(next);
  emit Clicked(up);
  return true;
}

}  // namespace corvane
