// What a user meets in the program's own dialogs: Qt's texts in Japanese, the file dialogs'
// name fields remembering the full path, message boxes centred on the screen.

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <filesystem>
#include <fstream>

#include "tests/test_support.h"
#include "widgets/file_dialogs.h"
#include "widgets/window_frame.h"

namespace corvane::testing {
namespace {

QString Path(const std::filesystem::path& p) {
  return QString::fromStdString(p.string());
}

// Shows a dialog without running its modal loop and lets its folder load.
void ShowAndSettle(QWidget& dialog) {
  dialog.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
  QTest::qWait(200);
}

// What pressing the dialog's open button does.
void Accept(QFileDialog& dialog) {
  QMetaObject::invokeMethod(&dialog, "accept");
}

TEST(QtTexts, DialogsAndStandardButtonsSpeakJapaneseWhateverTheLocale) {
  // The tests run under whatever locale the machine has; the program must not depend on it.
  auto dialog = MakeOpenFilesDialog(QDir::tempPath(), {});
  EXPECT_EQ(dialog->labelText(QFileDialog::LookIn), QString::fromUtf8(u8"アドレス:"));
  EXPECT_EQ(dialog->labelText(QFileDialog::FileName), QString::fromUtf8(u8"ファイル名(&N):"));
  EXPECT_EQ(dialog->labelText(QFileDialog::Reject), QString::fromUtf8(u8"キャンセル"));
  QDialogButtonBox buttons(QDialogButtonBox::Open | QDialogButtonBox::Cancel);
  EXPECT_EQ(buttons.button(QDialogButtonBox::Open)->text(), QString::fromUtf8(u8"開く"));
  EXPECT_EQ(buttons.button(QDialogButtonBox::Cancel)->text(), QString::fromUtf8(u8"キャンセル"));
}

class FileDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root = dir.Path();
    folder = root / "写真 2026";
    std::filesystem::create_directories(folder);
    std::ofstream(folder / "a.jpg") << "x";
    std::ofstream(folder / "b.txt") << "x";
  }
  TempDir dir;
  std::filesystem::path root;
  std::filesystem::path folder;
};

TEST_F(FileDialogTest, FilesDialogStartsInTheFolderThenShowsTheLastChoiceInFull) {
  auto first = MakeOpenFilesDialog(Path(root), {});
  ShowAndSettle(*first);
  EXPECT_EQ(first->directory().absolutePath(), Path(root));
  EXPECT_EQ(NameField(*first)->text(), QString());

  const QString last = Path(folder / "b.txt");
  auto later = MakeOpenFilesDialog(Path(root), last);
  ShowAndSettle(*later);
  EXPECT_EQ(later->directory().absolutePath(), Path(folder));
  EXPECT_EQ(NameField(*later)->text(), last);
  // Selected, so that typing a new name replaces it.
  EXPECT_EQ(NameField(*later)->selectedText(), last);
  // Accepted as it stands, it gives that file again.
  Accept(*later);
  EXPECT_EQ(later->result(), QDialog::Accepted);
  EXPECT_EQ(later->selectedFiles(), QStringList{last});
}

TEST_F(FileDialogTest, FolderDialogShowsDirFirstThenTheFullPathChosenBefore) {
  auto first = MakeOpenDirDialog(Path(root), QStringLiteral("dir"));
  ShowAndSettle(*first);
  EXPECT_EQ(first->directory().absolutePath(), Path(root));
  EXPECT_EQ(NameField(*first)->text(), QStringLiteral("dir"));
  Accept(*first);
  const QStringList chosen = first->selectedFiles();
  ASSERT_EQ(chosen, QStringList({Path(root / "dir")}));

  // A later opening shows that full path and accepting it unchanged gives it again.
  auto later = MakeOpenDirDialog(Path(folder), chosen.first());
  ShowAndSettle(*later);
  EXPECT_EQ(later->directory().absolutePath(), Path(root));
  EXPECT_EQ(NameField(*later)->text(), chosen.first());
  Accept(*later);
  EXPECT_EQ(later->selectedFiles(), chosen);
}

// The centre of the box's outer frame, doubled so that half pixels stay exact.
QPoint DoubledCentre(const QRect& r) {
  return QPoint(2 * r.x() + r.width(), 2 * r.y() + r.height());
}

TEST(MessageBoxPlacement, CentredWhenShownAndAfterEveryResizeButNotAfterAUserMove) {
  const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
  for (QMessageBox::Icon icon : {QMessageBox::Critical, QMessageBox::NoIcon}) {
    QMessageBox box(icon, QStringLiteral("Corvane"),
                    QString::fromUtf8(u8"ファイルが見つかりません。"));
    KeepCentredOnScreen(box);
    box.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));
    QPoint off = DoubledCentre(box.frameGeometry()) - DoubledCentre(screen);
    // Within a pixel: an odd size cannot do better than half a pixel either way.
    EXPECT_LE(std::abs(off.x()), 1) << off.x();
    EXPECT_LE(std::abs(off.y()), 1) << off.y();

    box.setText(QString(400, QChar(u'あ')));  // grows, so it is laid out anew
    QTest::qWait(50);
    off = DoubledCentre(box.frameGeometry()) - DoubledCentre(screen);
    EXPECT_LE(std::abs(off.x()), 1) << off.x();
    EXPECT_LE(std::abs(off.y()), 1) << off.y();

    box.move(screen.topLeft() + QPoint(10, 20));
    QTest::qWait(50);
    EXPECT_EQ(box.frameGeometry().topLeft(), screen.topLeft() + QPoint(10, 20));
  }
}

}  // namespace
}  // namespace corvane::testing
