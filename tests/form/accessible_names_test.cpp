// Every control of the window has a name an assistive tool can read, and the names change
// nothing on screen.

#include <gtest/gtest.h>

#include <QAccessible>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>
#include <map>
#include <set>

#include "form/form1.h"
#include "tests/form/scripted_services.h"
#include "widgets/list_box.h"
#include "widgets/radio_group.h"
#include "widgets/shape.h"
#include "widgets/up_down.h"

namespace corvane::testing {
namespace {

QString Spoken(QWidget* w) {
  QAccessibleInterface* face = QAccessible::queryAccessibleInterface(w);
  return face ? face->text(QAccessible::Name) : QString();
}

class AccessibleNamesTest : public ::testing::Test {
 protected:
  ProgramState state;
  ScriptedServices services;
  TForm1 form{state, services};
};

TEST_F(AccessibleNamesTest, ListsEditsSpinsAndSwatchesAreNamed) {
  auto u = [](const char8_t* text) {
    return QString::fromUtf8(reinterpret_cast<const char*>(text));
  };
  const std::vector<std::pair<QWidget*, QString>> expected = {
      {form.ListBox1, u(u8"入力ファイルリスト")},
      {form.ListBox2, u(u8"出力ファイルリスト")},
      {form.Edit1, u(u8"入力ディレクトリ")},
      {form.Edit2, u(u8"幅（ピクセル）")},
      {form.Edit3, u(u8"長さ（ピクセル）")},
      {form.Edit4, u(u8"作業ディレクトリ設定")},
      {form.Combobox1, u(u8"色指定")},
      {form.UpDown1->UpButton(), u(u8"幅（ピクセル）を増やす")},
      {form.UpDown1->DownButton(), u(u8"幅（ピクセル）を減らす")},
      {form.UpDown2->UpButton(), u(u8"長さ（ピクセル）を増やす")},
      {form.UpDown2->DownButton(), u(u8"長さ（ピクセル）を減らす")},
      {form.Shapes[2], u(u8"aqua")},
      {form.Shapes[7], u(u8"green")},
      {form.Shapes[16], u(u8"white")},
      {form.Shapes[17], u(u8"yellow")},
      {form.Button1, u(u8"開く")},
      {form.Button10, u(u8"すべて出力ファイルリストへ移す")},
  };
  for (const auto& [widget, name] : expected) EXPECT_EQ(Spoken(widget), name) << name.toStdString();
}

// Each page's controls (and the window's own) as a user can reach them, by page.
std::map<QWidget*, std::vector<QWidget*>> ControlsByPage(TForm1& f) {
  std::map<QWidget*, std::vector<QWidget*>> pages;
  for (QWidget* page : {f.TabSheet1, f.TabSheet2, f.TabSheet3}) {
    for (QWidget* w : page->findChildren<QWidget*>()) {
      const bool takesInput = w->focusPolicy() != Qt::NoFocus || qobject_cast<Shape*>(w) ||
                              qobject_cast<QToolButton*>(w);
      // Parts of composite controls (a list's viewport and scroll bars, a combo's view)
      // speak for their owner.
      QWidget* parent = w->parentWidget();
      QWidget* grandParent = parent ? parent->parentWidget() : nullptr;
      const bool part = qobject_cast<QAbstractScrollArea*>(parent) ||
                        qobject_cast<QAbstractScrollArea*>(grandParent) || w->window() != &f;
      if (takesInput && !part) pages[page].push_back(w);
    }
  }
  return pages;
}

TEST_F(AccessibleNamesTest, EveryControlHasANameOfItsOwnOnItsPage) {
  const auto pages = ControlsByPage(form);
  ASSERT_EQ(pages.size(), 3u);
  std::map<QWidget*, std::size_t> counts;
  for (const auto& [page, controls] : pages) {
    std::set<QString> seen;
    for (QWidget* w : controls) {
      const QString name = Spoken(w);
      EXPECT_FALSE(name.isEmpty()) << w->metaObject()->className();
      EXPECT_TRUE(seen.insert(name).second) << "named twice: " << name.toStdString();
    }
    counts[page] = controls.size();
  }
  // None slipped through the net: the first page's ten controls; on the second the drop-down,
  // the preview, 16 swatches, two fields with two arrows each, two radio items and the save
  // button; on the third a field and two buttons.
  EXPECT_EQ(counts[form.TabSheet1], 10u);
  EXPECT_EQ(counts[form.TabSheet2], 27u);
  EXPECT_EQ(counts[form.TabSheet3], 3u);
}

TEST_F(AccessibleNamesTest, NamesShowNothingOnScreen) {
  form.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
  for (QWidget* page : {form.TabSheet1, form.TabSheet2, form.TabSheet3}) {
    form.PageControl1->setCurrentWidget(page);
    const QImage named = form.grab().toImage();
    std::vector<std::pair<QWidget*, QString>> saved;
    for (QWidget* w : form.findChildren<QWidget*>()) {
      saved.emplace_back(w, w->accessibleName());
      w->setAccessibleName({});
    }
    const QImage unnamed = form.grab().toImage();
    for (const auto& [w, name] : saved) w->setAccessibleName(name);
    EXPECT_EQ(named, unnamed);
  }
}

}  // namespace
}  // namespace corvane::testing
