// The main window's controls, each placed and captioned from the geometry table, with its
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
#include <stdexcept>
#include <string_view>

#include "core/colour_names.h"
#include "form/form1.h"
#include "form/form1_geometry.h"
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

constexpr std::uint32_t kWhiteWord = 0xFFFFFF;

// Gives a made control its object name and its place from the geometry table.
template <class Widget>
Widget* Placed(Widget* widget, const ControlPlace& place) {
  widget->setObjectName(QLatin1String(place.name.data(), qsizetype(place.name.size())));
  if (!place.geometry.isEmpty()) widget->setGeometry(place.geometry);
  return widget;
}

QString CaptionOf(const ControlPlace& place) {
  return Q(place.caption);
}

QWidget* HostOf(TForm1& form, const ControlPlace& place) {
  switch (place.host) {
    case Host::Window:
      return &form;
    case Host::Pages:
      return form.PageControl1;
    case Host::TabSheet1:
      return form.TabSheet1;
    case Host::TabSheet2:
      return form.TabSheet2;
    case Host::TabSheet3:
      return form.TabSheet3;
  }
  throw std::logic_error("unknown host");
}

QPushButton* MakeButton(TForm1& form, std::string_view name) {
  const ControlPlace& place = PlaceOf(name);
  return Placed(new QPushButton(CaptionOf(place), HostOf(form, place)), place);
}

QLineEdit* MakeEdit(TForm1& form, std::string_view name) {
  const ControlPlace& place = PlaceOf(name);
  auto* edit = Placed(new QLineEdit(HostOf(form, place)), place);
  // Values have no length limit (a settings line can be as long as it likes); the
  // default limit would cut them short without a word.
  edit->setMaxLength(std::numeric_limits<int>::max());
  return edit;
}

QLabel* MakeLabel(TForm1& form, std::string_view name, const QColor& color) {
  const ControlPlace& place = PlaceOf(name);
  auto* label = Placed(new QLabel(CaptionOf(place), HostOf(form, place)), place);
  label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  QPalette palette = label->palette();
  palette.setColor(QPalette::WindowText, color);
  label->setPalette(palette);
  return label;
}

// A lowered one-pixel frame drawn on the page, under every control it encloses.
QFrame* MakeBevel(TForm1& form, std::string_view name) {
  const ControlPlace& place = PlaceOf(name);
  auto* bevel = Placed(new QFrame(HostOf(form, place)), place);
  bevel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  bevel->setLineWidth(1);
  bevel->setFocusPolicy(Qt::NoFocus);
  bevel->lower();
  return bevel;
}

ListBox* MakeList(TForm1& form, std::string_view name, bool sorted) {
  const ControlPlace& place = PlaceOf(name);
  auto* list = Placed(new ListBox(HostOf(form, place)), place);
  list->SetSorted(sorted);
  return list;
}

UpDown* MakeUpDown(TForm1& form, std::string_view name) {
  const ControlPlace& place = PlaceOf(name);
  auto* upDown = Placed(new UpDown(HostOf(form, place)), place);
  upDown->SetRange(0, 2048);
  upDown->SetPosition(0);
  return upDown;
}

}  // namespace

void TForm1::BuildLayout() {
  // --- the window ---
  setWindowTitle(QStringLiteral("Corvane"));
  setFixedSize(kWindowSize);
  QFont windowFont(Q(u8"ＭＳ Ｐゴシック"));
  windowFont.setPixelSize(15);
  windowFont.setWeight(QFont::Normal);
  windowFont.setItalic(false);
  windowFont.setUnderline(false);
  setFont(windowFont);
  InitWindowResources();
  {
    // The small picture for title bars, the large one for task switchers and docks.
    QIcon icon;
    for (const char* name : {":/corvane.png", ":/corvane-128.png"}) {
      if (QFile::exists(QLatin1String(name))) icon.addFile(QLatin1String(name));
    }
    if (!icon.isNull()) setWindowIcon(icon);
  }

  // Tab order is creation order: a new child joins the end of the window's focus chain.
  // So the controls below are made in the table's tab order, the window's own first, then
  // each page's (labels, bevels and swatches take no focus and may come anywhere).
  Button4 = MakeButton(*this, "Button4");
  PageControl1 = Placed(new PageControl(this), PlaceOf("PageControl1"));
  TabSheet1 = new QWidget;
  TabSheet2 = new QWidget;
  TabSheet3 = new QWidget;
  for (auto [sheet, name] : {std::pair{TabSheet1, "TabSheet1"}, std::pair{TabSheet2, "TabSheet2"},
                             std::pair{TabSheet3, "TabSheet3"}}) {
    PageControl1->addTab(Placed(sheet, PlaceOf(name)), CaptionOf(PlaceOf(name)));
    // Pages in the window's button face rather than the style's lighter pane, so that the
    // light edges of the lowered bevels show against them.
    QPalette palette = sheet->palette();
    palette.setColor(QPalette::Window, palette.color(QPalette::Button));
    sheet->setPalette(palette);
    sheet->setAutoFillBackground(true);
  }
  PageControl1->setCurrentWidget(TabSheet1);
  // Over the page control's lower right corner, whichever page is showing.
  Button4->raise();

  // --- TabSheet1: input files and page list ---
  Label2 = MakeLabel(*this, "Label2", kGreen);
  Label1 = MakeLabel(*this, "Label1", kGreen);
  {
    // There is no scroll-bar colour among the palette's roles. The band is the palette's
    // Light, a trough lighter than the page: green text on a grey trough is unreadable
    // (3:1 or less), on this one it reaches 5:1.
    QPalette palette = Label1->palette();
    palette.setColor(QPalette::Window, palette.color(QPalette::Light));
    Label1->setPalette(palette);
    Label1->setAutoFillBackground(true);
  }
  Label4 = MakeLabel(*this, "Label4", kGreen);

  Edit1 = MakeEdit(*this, "Edit1");
  Edit1->setEnabled(false);
  ListBox1 = MakeList(*this, "ListBox1", true);
  Button1 = MakeButton(*this, "Button1");
  ListBox2 = MakeList(*this, "ListBox2", false);
  Button2 = MakeButton(*this, "Button2");
  Button3 = MakeButton(*this, "Button3");
  Button8 = MakeButton(*this, "Button8");
  Button9 = MakeButton(*this, "Button9");
  Button10 = MakeButton(*this, "Button10");
  Button11 = MakeButton(*this, "Button11");
  // Shown by the input selection once there is something to create or reload.
  Button3->setHidden(true);
  Button8->setHidden(true);
  Button9->setHidden(true);

  // --- TabSheet2: page colours and layout numbers ---
  Bevel1 = MakeBevel(*this, "Bevel1");
  Bevel2 = MakeBevel(*this, "Bevel2");
  Bevel3 = MakeBevel(*this, "Bevel3");
  Label3 = MakeLabel(*this, "Label3", kGreen);
  Label5 = MakeLabel(*this, "Label5", kGreen);
  Label6 = MakeLabel(*this, "Label6", kNavy);
  Label7 = MakeLabel(*this, "Label7", kGreen);
  Label8 = MakeLabel(*this, "Label8", kNavy);

  Combobox1 = Placed(new QComboBox(TabSheet2), PlaceOf("Combobox1"));
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
  Combobox1->setItemDelegate(new FixedRowDelegate(ListBox::kItemHeight, Combobox1));
  // Start-up selects the first item; until then nothing is selected.
  Combobox1->setCurrentIndex(-1);

  // White, a shape's own fill, until start-up.
  Shape1 = Placed(new Shape(TabSheet2), PlaceOf("Shape1"));

  Panel1 = Placed(new QFrame(TabSheet2), PlaceOf("Panel1"));
  Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
  Panel1->setLineWidth(1);
  // Neighbouring swatches overlap by a pixel; each later one lies on top and takes the
  // press there.
  static_assert(kSwatchPositions.size() == kColorNames.size());
  for (std::size_t i = 0; i < kSwatchPositions.size(); ++i) {
    auto* shape = new Shape(Panel1);
    shape->setGeometry(QRect(kSwatchPositions[i], QSize(kSwatchSize, kSwatchSize)));
    // White is a new shape's own fill and is left as it is.
    if (kColorNames[i].colorWord != kWhiteWord) shape->SetBrushColor(kColorNames[i].colorWord);
    shape->raise();
    // Each swatch is a Tab stop of its own, in the palette's order, pressed by Space or
    // Enter.
    shape->SetPressable(true);
    Shapes[i + 2] = shape;
  }

  Edit2 = MakeEdit(*this, "Edit2");
  UpDown1 = MakeUpDown(*this, "UpDown1");
  const ControlPlace& group = PlaceOf("RadioGroup1");
  RadioGroup1 = Placed(
      new RadioGroup(CaptionOf(group), {QStringLiteral("L"), QStringLiteral("R")}, 2, TabSheet2),
      group);
  {
    QPalette palette = RadioGroup1->palette();
    palette.setColor(QPalette::WindowText, kNavy);
    palette.setColor(QPalette::ButtonText, kNavy);
    RadioGroup1->setPalette(palette);
  }
  Edit3 = MakeEdit(*this, "Edit3");
  UpDown2 = MakeUpDown(*this, "UpDown2");
  Button5 = MakeButton(*this, "Button5");

  // --- TabSheet3: program settings ---
  Bevel4 = MakeBevel(*this, "Bevel4");
  Label9 = MakeLabel(*this, "Label9", kGreen);
  Label10 = MakeLabel(*this, "Label10", kNavy);
  Edit4 = MakeEdit(*this, "Edit4");
  Button6 = MakeButton(*this, "Button6");
  Button7 = MakeButton(*this, "Button7");

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
  // A screen reader reads the label with the control it names.
  Label3->setBuddy(Combobox1);
  // ">>" says nothing read aloud: it is named for what it does.
  Button10->setAccessibleName(Q(u8"すべて出力ファイルリストへ移す"));
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
