#include "widgets/input_box.h"

#include <QDialog>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>

#include "widgets/qt_text.h"

namespace corvane {

QString ShowInputBox(const QString& caption, const QString& prompt, const QString& initial,
                     QWidget* parent) {
  QDialog box(parent);
  box.setWindowTitle(caption);
  box.setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
  box.setObjectName("InputBox");

  // Laid out in dialog units: a quarter of the font's average character width across,
  // an eighth of its height down.
  QFontMetrics fm(box.font());
  auto ux = [&](int units) { return units * fm.averageCharWidth() / 4; };
  auto uy = [&](int units) { return units * fm.height() / 8; };

  auto* label = new QLabel(prompt, &box);
  label->move(ux(8), uy(8));
  label->adjustSize();
  auto* edit = new QLineEdit(initial, &box);
  edit->setObjectName("InputBoxEdit");
  edit->setMaxLength(255);
  // A screen reader names the field by the prompt above it.
  edit->setAccessibleName(prompt);
  label->setBuddy(edit);
  edit->setGeometry(ux(8), uy(19), ux(164), std::max(uy(12), fm.height() + 6));
  edit->selectAll();
  auto* ok = new QPushButton(Q(u8"OK"), &box);
  ok->setObjectName("InputBoxOk");
  ok->setGeometry(ux(38), uy(41), ux(50), uy(14));
  ok->setDefault(true);
  auto* cancel = new QPushButton(Q(u8"キャンセル"), &box);
  cancel->setObjectName("InputBoxCancel");
  cancel->setGeometry(ux(92), uy(41), ux(50), uy(14));
  QObject::connect(ok, &QPushButton::clicked, &box, &QDialog::accept);
  QObject::connect(cancel, &QPushButton::clicked, &box, &QDialog::reject);
  box.setFixedSize(ux(180), uy(63));
  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    box.move(screen->geometry().center() - box.rect().center());
  }
  edit->setFocus();
  return box.exec() == QDialog::Accepted ? edit->text() : initial;
}

}  // namespace corvane
