#include "widgets/window_frame.h"

#include <QScreen>
#include <QWidget>

namespace corvane {

void FitOuterSize(QWidget& window, QSize outer) {
  const QSize frame = window.frameGeometry().size() - window.geometry().size();
  const QSize client = (outer - frame).expandedTo(QSize(1, 1));
  if (client != window.size() || window.minimumSize() != client || window.maximumSize() != client)
    window.setFixedSize(client);
}

void CentreOnScreen(QWidget& window) {
  const QScreen* screen = window.screen();
  if (screen == nullptr) return;
  const QRect area = screen->availableGeometry();
  const QRect outer = window.frameGeometry();
  window.move(area.x() + (area.width() - outer.width()) / 2,
              area.y() + (area.height() - outer.height()) / 2);
}

}  // namespace corvane
