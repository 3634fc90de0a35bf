#include "widgets/radio_group.h"

#include <qdrawutil.h>
#include <QEvent>
#include <QFontMetrics>
#include <QPainter>
#include <QRadioButton>
#include <algorithm>

namespace corvane {

RadioGroup::RadioGroup(const QString& caption, const QStringList& items, int columns,
                       QWidget* parent)
    : QGroupBox(caption, parent), columns_(std::max(columns, 1)) {
  for (const QString& text : items) {
    // Buttons of one parent are mutually exclusive by default.
    auto* button = new QRadioButton(text, this);
    buttons_.push_back(button);
    // A selection made by the program counts like one made by the user: both run Click.
    // toggled also fires for the button being unchecked, which is not a selection.
    connect(button, &QRadioButton::toggled, this, [this](bool checked) {
      if (checked) emit Click();
    });
  }
  ArrangeButtons();
}

int RadioGroup::ItemIndex() const {
  for (std::size_t i = 0; i < buttons_.size(); ++i)
    if (buttons_[i]->isChecked()) return static_cast<int>(i);
  return -1;
}

void RadioGroup::SetItemIndex(int index) {
  if (index >= 0 && index < static_cast<int>(buttons_.size())) {
    buttons_[static_cast<std::size_t>(index)]->setChecked(true);
    return;
  }
  // No selection: exclusive buttons refuse to be unchecked, so lift that for the moment.
  for (QRadioButton* button : buttons_) {
    if (!button->isChecked()) continue;
    button->setAutoExclusive(false);
    button->setChecked(false);
    button->setAutoExclusive(true);
  }
}

void RadioGroup::resizeEvent(QResizeEvent* event) {
  QGroupBox::resizeEvent(event);
  ArrangeButtons();
}

void RadioGroup::changeEvent(QEvent* event) {
  QGroupBox::changeEvent(event);
  if (event->type() == QEvent::FontChange) ArrangeButtons();
}

void RadioGroup::paintEvent(QPaintEvent*) {
  // An etched frame whose top edge runs through the middle of the caption, the caption
  // breaking it at the left: the style's own group box puts the caption above the frame,
  // which leaves no room for the buttons in a box this low.
  QPainter painter(this);
  const QFontMetrics metrics(font());
  const int frameTop = metrics.height() / 2;
  qDrawShadeRect(&painter, QRect(0, frameTop, width(), height() - frameTop), palette(), true, 1, 0);
  const QString caption = title();
  if (caption.isEmpty()) return;
  const QRect captionRect(8, 0, metrics.horizontalAdvance(caption) + 2, metrics.height());
  painter.fillRect(captionRect, palette().brush(QPalette::Window));
  painter.setPen(
      palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
  painter.drawText(captionRect, Qt::AlignCenter | Qt::TextSingleLine, caption);
}

void RadioGroup::ArrangeButtons() {
  // Fixed positions rather than a layout: the group is only a few pixels taller than its
  // caption, and a layout's margins and minimum sizes would not fit the buttons in.
  // Buttons fill the columns top to bottom, below the caption, sharing the width left
  // inside the frame and the height below the caption.
  if (buttons_.empty()) return;
  const int count = static_cast<int>(buttons_.size());
  const int rows = (count + columns_ - 1) / columns_;
  const int captionHeight = QFontMetrics(font()).height();
  const int buttonWidth = std::max((width() - 10) / columns_, 0);
  const int spare = std::max(height() - captionHeight - 5, 0);
  const int buttonHeight = spare / rows;
  const int top = captionHeight + 1 + (spare % rows) / 2;
  for (int i = 0; i < count; ++i) {
    const int column = i / rows;
    const int row = i % rows;
    buttons_[static_cast<std::size_t>(i)]->setGeometry(
        8 + column * buttonWidth, top + row * buttonHeight, buttonWidth, buttonHeight);
  }
}

}  // namespace corvane
