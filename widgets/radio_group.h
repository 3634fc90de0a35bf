#pragma once
// A framed group of radio buttons laid out in columns, with a selected index.
// Selecting an item, by the user or the program, emits Click.

#include <QGroupBox>
#include <QStringList>
#include <vector>

class QRadioButton;

namespace corvane {

class RadioGroup : public QGroupBox {
  Q_OBJECT

 public:
  RadioGroup(const QString& caption, const QStringList& items, int columns,
             QWidget* parent = nullptr);
  int ItemIndex() const;  // -1 when no item is selected
  void SetItemIndex(int index);
  QRadioButton* Button(int index) const { return buttons_.at(index); }

 signals:
  void Click();

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  void ArrangeButtons();

  std::vector<QRadioButton*> buttons_;
  int columns_;
};

}  // namespace corvane
