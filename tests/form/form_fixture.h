#pragma once
// A main window started the way the program starts it, in a scratch folder that is the
// current directory for the test, with scripted dialogs.

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <filesystem>
#include <memory>

#include "form/form1.h"
#include "tests/form/scripted_services.h"
#include "tests/test_support.h"
#include "widgets/list_box.h"
#include "widgets/qt_text.h"

namespace corvane::testing {

class FormTest : public ::testing::Test {
 protected:
  FormTest() : previousDir_(std::filesystem::current_path()) {
    std::filesystem::current_path(dir.Path());
  }
  ~FormTest() override {
    form.reset();
    std::filesystem::current_path(previousDir_);
  }

  // Builds the window and runs its start-up sequence, as the program entry does.
  void Start() {
    form = std::make_unique<TForm1>(state, services);
    form->Guarded([this] { form->FormCreate(); });
  }

  std::string Text(const QLineEdit* edit) const { return form->ControlText(edit); }
  // Types into a field as a user would: the change handler runs through the wiring.
  void Type(QLineEdit* edit, const std::string& cp932) { edit->setText(ToQString(cp932)); }
  std::vector<std::string> Items(const ListBox* list) const { return list->Items(); }
  bool Shown(const QWidget* w) const { return !w->isHidden(); }

  TempDir dir;
  ProgramState state;
  ScriptedServices services;
  std::unique_ptr<TForm1> form;

 private:
  std::filesystem::path previousDir_;
};

}  // namespace corvane::testing
