// Binds every control event to its handler. Each handler runs inside Guarded, so an error
// ends it with the standard error report and never reaches Qt's event loop.

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

#include "form/drag_controller.h"
#include "form/form1.h"
#include "widgets/list_box.h"
#include "widgets/radio_group.h"
#include "widgets/shape.h"
#include "widgets/up_down.h"

namespace corvane {

void TForm1::WireEvents() {
  Drag = new DragController(*this);

  auto click = [this](QPushButton* button, void (TForm1::*handler)()) {
    connect(button, &QPushButton::clicked, this,
            [this, handler] { Guarded([&] { (this->*handler)(); }); });
  };
  click(Button4, &TForm1::Button4Click);
  click(Button1, &TForm1::Button1Click);
  click(Button2, &TForm1::Button2Click);
  click(Button3, &TForm1::Button3Click);
  click(Button8, &TForm1::Button8Click);
  click(Button9, &TForm1::Button9Click);
  click(Button10, &TForm1::Button10Click);
  click(Button11, &TForm1::Button11Click);
  click(Button5, &TForm1::Button5Click);
  click(Button6, &TForm1::Button6Click);
  click(Button7, &TForm1::Button7Click);

  // Change handlers run whenever the text changes, from the user or from the program.
  auto change = [this](QLineEdit* edit, void (TForm1::*handler)()) {
    connect(edit, &QLineEdit::textChanged, this,
            [this, handler] { Guarded([&] { (this->*handler)(); }); });
  };
  change(Edit1, &TForm1::Edit1Change);
  change(Edit2, &TForm1::Edit2Change);
  change(Edit3, &TForm1::Edit3Change);

  // Only a user's choice runs it; a selection set by the program does not.
  connect(Combobox1, &QComboBox::activated, this,
          [this] { Guarded([this] { Combobox1Change(); }); });

  connect(UpDown1, &UpDown::Clicked, this, [this](bool up) { Guarded([&] { UpDown1Click(up); }); });
  connect(UpDown2, &UpDown::Clicked, this, [this](bool up) { Guarded([&] { UpDown2Click(up); }); });
  connect(RadioGroup1, &RadioGroup::Click, this,
          [this] { Guarded([this] { RadioGroup1Click(); }); });

  static constexpr void (TForm1::*kSwatchHandlers[18])() = {
      nullptr,
      nullptr,
      &TForm1::Shape2MouseDown,
      &TForm1::Shape3MouseDown,
      &TForm1::Shape4MouseDown,
      &TForm1::Shape5MouseDown,
      &TForm1::Shape6MouseDown,
      &TForm1::Shape7MouseDown,
      &TForm1::Shape8MouseDown,
      &TForm1::Shape9MouseDown,
      &TForm1::Shape10MouseDown,
      &TForm1::Shape11MouseDown,
      &TForm1::Shape12MouseDown,
      &TForm1::Shape13MouseDown,
      &TForm1::Shape14MouseDown,
      &TForm1::Shape15MouseDown,
      &TForm1::Shape16MouseDown,
      &TForm1::Shape17MouseDown,
  };
  for (int i = 2; i <= 17; ++i) {
    auto handler = kSwatchHandlers[i];
    connect(Shapes[i], &Shape::MouseDown, this,
            [this, handler] { Guarded([&] { (this->*handler)(); }); });
    // Space or Enter on a focused swatch, or an assistive tool's press: a click.
    connect(Shapes[i], &Shape::Pressed, this,
            [this, handler] { Guarded([&] { (this->*handler)(); }); });
  }

  connect(ListBox1, &ListBox::MouseDown, this,
          [this](Qt::MouseButton b, Qt::KeyboardModifiers m, int x, int y) {
            Guarded([&] { ListBox1MouseDown(b, m, x, y); });
          });
  connect(ListBox2, &ListBox::MouseDown, this,
          [this](Qt::MouseButton b, Qt::KeyboardModifiers m, int x, int y) {
            Guarded([&] { ListBox2MouseDown(b, m, x, y); });
          });

  // The drag's notifications, to the handlers of the list they concern.
  connect(Drag, &DragController::DragOver, this,
          [this](ListBox* list, ListBox* source, int x, int y, DragState state, bool& accept) {
            Guarded([&] {
              if (list == ListBox1) {
                ListBox1DragOver(source, x, y, state, accept);
              } else {
                ListBox2DragOver(source, x, y, state, accept);
              }
            });
          });
  connect(Drag, &DragController::DragDrop, this,
          [this](ListBox* list, ListBox* source, int x, int y) {
            Guarded([&] {
              if (list == ListBox1) {
                ListBox1DragDrop(source, x, y);
              } else {
                ListBox2DragDrop(source, x, y);
              }
            });
          });
  connect(Drag, &DragController::EndDrag, this,
          [this](ListBox* list, ListBox* target, int x, int y) {
            Guarded([&] {
              if (list == ListBox1) {
                ListBox1EndDrag(target, x, y);
              } else {
                ListBox2EndDrag(target, x, y);
              }
            });
          });

  // The keys that move entries as a drag does; every other key moves the selection as
  // ever.
  ListBox1->SetCommandKeys({QKeyCombination(Qt::Key_Return)});
  ListBox2->SetCommandKeys({QKeyCombination(Qt::ControlModifier, Qt::Key_Up),
                            QKeyCombination(Qt::ControlModifier, Qt::Key_Down),
                            QKeyCombination(Qt::Key_Delete)});
  connect(ListBox1, &ListBox::KeyDown, this,
          [this](QKeyCombination key) { Guarded([&] { ListBox1KeyDown(key); }); });
  connect(ListBox2, &ListBox::KeyDown, this,
          [this](QKeyCombination key) { Guarded([&] { ListBox2KeyDown(key); }); });
}

}  // namespace corvane
