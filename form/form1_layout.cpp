// The main window's controls: every one at its fixed pixel position, with its caption and
// initial state. Events are bound elsewhere (form1_wiring.cpp).

#include <QComboBox>
#include <QFile>
#include <QFrame>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>
#include <array>
#include <cstdint>
#include <limits>

#include "core/colour_names.h"
#include "form/form1.h"
#include "widgets/list_box.h"
#include "widgets/qt_text.h"
#include "widgets/radio_group.h"
#include "widgets/shape.h"
#include "widgets/up_down.h"

// The icon is compiled into the window's static library; nothing would pull its object
// file into the program unless it is asked for by name (and not from inside a namespace).
static void InitWindowResources() {
  Q_INIT_RESOURCE(corvane);
}

namespace corvane {

namespace {

constexpr QColor kGreen(0, 128, 0);
constexpr QColor kNavy(0, 0, 128);

// Every tab is the same width, whatever its caption.
class FixedWidthTabBar : public QTabBar {
 public:
  static constexpr int kTabWidth = 150;
  using QTabBar::QTabBar;

 protected:
  QSize tabSizeHint(int index) const override {
    QSize size = QTabBar::tabSizeHint(index);
    size.setWidth(kTabWidth);
    return size;
  }
  QSize minimumTabSizeHint(int index) const override { return tabSizeHint(index); }
};

class PageControl : public QTabWidget {
 public:
  explicit PageControl(QWidget* parent) : QTabWidget(parent) {
    setTabBar(new FixedWidthTabBar(this));
  }
};

// The drop-down list's rows at a fixed height, like the lists'.
class FixedRowDelegate : public QStyledItemDelegate {
 public:
  FixedRowDelegate(int height, QObject* parent) : QStyledItemDelegate(parent), height_(height) {}
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    size.setHeight(height_);
    return size;
  }

 private:
  int height_;
};

// Palette swatch positions within Panel1, in the order of the colour table: two rows of
// eight, the first starting a pixel further right than the second.
// clang-format off
constexpr std::array<QPoint, 16> kSwatchPositions{{
    {9, 8},  {24, 8},  {40, 8},  {56, 8},  {72, 8},  {88, 8},  {104, 8},  {120, 8},
    {8, 24}, {24, 24}, {40, 24}, {56, 24}, {72, 24}, {88, 24}, {104, 24}, {120, 24},
}};
// clang-format on
constexpr int kSwatchSize = 17;
constexpr std::uint32_t kWhiteWord = 0xFFFFFF;

QPushButton* MakeButton(QWidget* parent, const QRect& geometry, const QString& caption) {
  auto* button = new QPushButton(caption, parent);
  button->setGeometry(geometry);
  return button;
}

QLineEdit* MakeEdit(QWidget* parent, const QRect& geometry) {
  auto* edit = new QLineEdit(parent);
  edit->setGeometry(geometry);
  // Values have no length limit (a settings line can be as long as it likes); the
  // default limit would cut them short without a word.
  edit->setMaxLength(std::numeric_limits<int>::max());
  return edit;
}

QLabel* MakeLabel(QWidget* parent, const QRect& geometry, const QString& caption,
                  const QColor& color) {
  auto* label = new QLabel(caption, parent);
  label->setGeometry(geometry);
  label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  QPalette palette = label->palette();
  palette.setColor(QPalette::WindowText, color);
  label->setPalette(palette);
  return label;
}

// A lowered one-pixel frame drawn on the page, under every control it encloses.
QFrame* MakeBevel(QWidget* parent, const QRect& geometry) {
  auto* bevel = new QFrame(parent);
  bevel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  bevel->setLineWidth(1);
  bevel->setGeometry(geometry);
  bevel->setFocusPolicy(Qt::NoFocus);
  bevel->lower();
  return bevel;
}

ListBox* MakeList(QWidget* parent, const QRect& geometry, bool sorted) {
  auto* list = new ListBox(parent);
  list->setGeometry(geometry);
  list->SetSorted(sorted);
  return list;
}

UpDown* MakeUpDown(QWidget* parent, const QRect& geometry) {
  auto* upDown = new UpDown(parent);
  upDown->setGeometry(geometry);
  upDown->SetRange(0, 2048);
  upDown->SetPosition(0);
  return upDown;
}

}  // namespace

void TForm1::BuildLayout() {
  // --- the window ---
  setWindowTitle(QStringLiteral("Corvane"));
  // The outer size is 640 x 480; with no frame (or until it is known) that is the client.
  setFixedSize(640, 480);
  QFont windowFont(Q(u8"ＭＳ Ｐゴシック"));
  windowFont.setPixelSize(15);
  windowFont.setWeight(QFont::Normal);
  windowFont.setItalic(false);
  windowFont.setUnderline(false);
  setFont(windowFont);
  InitWindowResources();
  if (QFile::exists(QStringLiteral(":/corvane.png")))
    setWindowIcon(QIcon(QStringLiteral(":/corvane.png")));

  // Tab order is creation order: a new child joins the end of the window's focus chain.
  // So the controls below are made in their tab order, the window's own first, then each
  // page's (labels, bevels and swatches take no focus and may come anywhere).
  Button4 = MakeButton(this, {536, 408, 75, 25}, Q(u8"終了"));
  PageControl1 = new PageControl(this);
  PageControl1->setGeometry(0, 0, 625, 441);
  TabSheet1 = new QWidget;
  TabSheet2 = new QWidget;
  TabSheet3 = new QWidget;
  PageControl1->addTab(TabSheet1, Q(u8"ＨＴＭＬ作成"));
  PageControl1->addTab(TabSheet2, Q(u8"ＨＴＭＬ設定"));
  PageControl1->addTab(TabSheet3, Q(u8"コルベイン設定"));
  PageControl1->setCurrentWidget(TabSheet1);
  // Pages in the window's button face rather than the style's lighter pane, so that the
  // light edges of the lowered bevels show against them.
  for (QWidget* sheet : {TabSheet1, TabSheet2, TabSheet3}) {
    QPalette palette = sheet->palette();
    palette.setColor(QPalette::Window, palette.color(QPalette::Button));
    sheet->setPalette(palette);
    sheet->setAutoFillBackground(true);
  }
  // Over the page control's lower right corner, whichever page is showing.
  Button4->raise();

  // --- TabSheet1: input files and page list ---
  Label2 = MakeLabel(TabSheet1, {8, 8, 100, 15}, Q(u8"入力ディレクトリ"), kGreen);
  Label1 = MakeLabel(TabSheet1, {8, 48, 115, 15}, Q(u8"入力ファイルリスト"), kGreen);
  {
    // There is no scroll-bar colour among the palette's roles; Midlight is the light grey
    // that scroll-bar troughs are drawn in.
    QPalette palette = Label1->palette();
    palette.setColor(QPalette::Window, palette.color(QPalette::Midlight));
    Label1->setPalette(palette);
    Label1->setAutoFillBackground(true);
  }
  Label4 = MakeLabel(TabSheet1, {272, 48, 115, 15}, Q(u8"出力ファイルリスト"), kGreen);

  Edit1 = MakeEdit(TabSheet1, {8, 24, 273, 23});
  Edit1->setEnabled(false);
  ListBox1 = MakeList(TabSheet1, {8, 64, 241, 347}, true);
  Button1 = MakeButton(TabSheet1, {288, 24, 41, 25}, Q(u8"開く"));
  ListBox2 = MakeList(TabSheet1, {280, 64, 241, 347}, false);
  Button2 = MakeButton(TabSheet1, {528, 64, 81, 25}, Q(u8"項目名入力"));
  Button3 = MakeButton(TabSheet1, {528, 104, 81, 25}, Q(u8"HTML作成"));
  Button8 = MakeButton(TabSheet1, {528, 184, 81, 25}, Q(u8"比較読込み"));
  Button9 = MakeButton(TabSheet1, {528, 224, 81, 25}, Q(u8"非選択消去"));
  Button10 = MakeButton(TabSheet1, {253, 80, 24, 25}, QStringLiteral(">>"));
  Button11 = MakeButton(TabSheet1, {528, 144, 81, 25}, Q(u8"前回読込み"));
  // Shown by the input selection once there is something to create or reload.
  Button3->setHidden(true);
  Button8->setHidden(true);
  Button9->setHidden(true);

  // --- TabSheet2: page colours and layout numbers ---
  Bevel1 = MakeBevel(TabSheet2, {8, 24, 225, 153});
  Bevel2 = MakeBevel(TabSheet2, {8, 200, 225, 145});
  Bevel3 = MakeBevel(TabSheet2, {248, 24, 233, 89});
  Label3 = MakeLabel(TabSheet2, {24, 32, 45, 15}, Q(u8"色指定"), kGreen);
  Label5 = MakeLabel(TabSheet2, {24, 208, 95, 15}, Q(u8"メニューの形式"), kGreen);
  Label6 = MakeLabel(TabSheet2, {40, 232, 85, 15}, Q(u8"幅（ピクセル）"), kNavy);
  Label7 = MakeLabel(TabSheet2, {264, 32, 131, 15}, Q(u8"画像の長辺のサイズ"), kGreen);
  Label8 = MakeLabel(TabSheet2, {280, 56, 96, 15}, Q(u8"長さ（ピクセル）"), kNavy);

  Combobox1 = new QComboBox(TabSheet2);
  Combobox1->setGeometry(24, 56, 193, 23);
  Combobox1->setEditable(false);
  Combobox1->addItems({
      Q(u8"メニュー（文字）"),
      Q(u8"メニュー（バック）"),
      Q(u8"メニュー（リンク）"),
      Q(u8"メニュー（みた後のリンク）"),
      Q(u8"メニュー（クリック時リンク）"),
      Q(u8"データ（文字）"),
      Q(u8"データ（バック）"),
      Q(u8"データ（リンク）"),
      Q(u8"データ（みた後のリンク）"),
      Q(u8"データ（クリック時リンク）"),
  });
  Combobox1->setItemDelegate(new FixedRowDelegate(15, Combobox1));
  // Start-up selects the first item; until then nothing is selected.
  Combobox1->setCurrentIndex(-1);

  Shape1 = new Shape(TabSheet2);
  Shape1->setGeometry(24, 88, 193, 17);  // white, a shape's own fill, until start-up

  Panel1 = new QFrame(TabSheet2);
  Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
  Panel1->setLineWidth(1);
  Panel1->setGeometry(24, 112, 145, 49);
  // Neighbouring swatches overlap by a pixel; each later one lies on top and takes the
  // press there.
  static_assert(kSwatchPositions.size() == kColorNames.size());
  for (std::size_t i = 0; i < kSwatchPositions.size(); ++i) {
    auto* shape = new Shape(Panel1);
    shape->setGeometry(QRect(kSwatchPositions[i], QSize(kSwatchSize, kSwatchSize)));
    // White is a new shape's own fill and is left as it is.
    if (kColorNames[i].colorWord != kWhiteWord) shape->SetBrushColor(kColorNames[i].colorWord);
    shape->raise();
    Shapes[i + 2] = shape;
  }

  Edit2 = MakeEdit(TabSheet2, {56, 248, 121, 23});
  UpDown1 = MakeUpDown(TabSheet2, {176, 248, 20, 25});
  RadioGroup1 = new RadioGroup(Q(u8"メニューの位置"), {QStringLiteral("L"), QStringLiteral("R")}, 2,
                               TabSheet2);
  RadioGroup1->setGeometry(56, 288, 121, 33);
  {
    QPalette palette = RadioGroup1->palette();
    palette.setColor(QPalette::WindowText, kNavy);
    palette.setColor(QPalette::ButtonText, kNavy);
    RadioGroup1->setPalette(palette);
  }
  Edit3 = MakeEdit(TabSheet2, {304, 72, 121, 23});
  UpDown2 = MakeUpDown(TabSheet2, {424, 72, 20, 25});
  Button5 = MakeButton(TabSheet2, {532, 344, 75, 25}, Q(u8"設定保存"));

  // --- TabSheet3: program settings ---
  Bevel4 = MakeBevel(TabSheet3, {8, 24, 329, 81});
  Label9 = MakeLabel(TabSheet3, {24, 32, 130, 15}, Q(u8"作業ディレクトリ設定"), kGreen);
  Label10 = MakeLabel(TabSheet3, {16, 392, 304, 15}, QStringLiteral("Corvane v1.21"), kNavy);
  Edit4 = MakeEdit(TabSheet3, {32, 56, 249, 23});
  Button6 = MakeButton(TabSheet3, {288, 56, 41, 25}, Q(u8"開く"));
  Button7 = MakeButton(TabSheet3, {532, 344, 75, 25}, Q(u8"設定保存"));

  NameControlsForAssistiveTools();
}

void TForm1::NameControlsForAssistiveTools() {
  // A screen reader (and a script driving the window) tells controls apart by these names;
  // nothing of them shows on screen. Buttons, tabs and the radio group already speak
  // their captions. Lists and edits take the text of the label that names them.
  ListBox1->setAccessibleName(Label1->text());
  ListBox2->setAccessibleName(Label4->text());
  Edit1->setAccessibleName(Label2->text());
  Combobox1->setAccessibleName(Label3->text());
  Shape1->setAccessibleName(Label3->text() + Q(u8"の見本"));
  Panel1->setAccessibleName(Q(u8"色の一覧"));
  Edit2->setAccessibleName(Label6->text());
  Edit3->setAccessibleName(Label8->text());
  Edit4->setAccessibleName(Label9->text());
  // Spin buttons by what they do and to which field.
  const std::pair<UpDown*, QLineEdit*> spins[] = {{UpDown1, Edit2}, {UpDown2, Edit3}};
  for (const auto& [spin, field] : spins) {
    spin->setAccessibleName(field->accessibleName() + Q(u8"の増減"));
    spin->UpButton()->setAccessibleName(field->accessibleName() + Q(u8"を増やす"));
    spin->DownButton()->setAccessibleName(field->accessibleName() + Q(u8"を減らす"));
  }
  // Each swatch by the colour name it gives.
  for (std::size_t i = 0; i < kColorNames.size(); ++i) {
    const std::string_view name = kColorNames[i].name;
    Shapes[i + 2]->setAccessibleName(QString::fromLatin1(name.data(), qsizetype(name.size())));
  }
}

}  // namespace corvane
