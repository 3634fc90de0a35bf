#include "widgets/list_box.h"

#include <QCollator>
#include <QCoreApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <algorithm>

#include "core/errors.h"
#include "widgets/qt_text.h"

namespace corvane {

namespace {

// The entry's bytes live in the item; the text shown is only their decoding, which cannot
// give the bytes back for entries that are not valid CP932.
constexpr int kBytesRole = Qt::UserRole;

// Rows exactly kItemHeight high whatever the font's line spacing, drawn the way a plain
// system list draws them: text from a 2-pixel indent, clipped to the row, selection in
// the highlight colour.
class RowDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;

  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const override {
    return QSize(option.rect.width(), ListBox::kItemHeight);
  }

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override {
    const bool selected = option.state & QStyle::State_Selected;
    const QPalette::ColorGroup group =
        (option.state & QStyle::State_Enabled) ? QPalette::Normal : QPalette::Disabled;
    painter->save();
    painter->setClipRect(option.rect);
    if (selected) painter->fillRect(option.rect, option.palette.brush(group, QPalette::Highlight));
    painter->setPen(
        option.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text));
    painter->setFont(option.font);
    painter->drawText(option.rect.adjusted(2, 0, 0, 0),
                      Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                      index.data(Qt::DisplayRole).toString());
    if ((option.state & QStyle::State_HasFocus) && selected) {
      QPen pen(option.palette.color(group, QPalette::HighlightedText), 1, Qt::DotLine);
      painter->setPen(pen);
      painter->drawRect(option.rect.adjusted(0, 0, -1, -1));
    }
    painter->restore();
  }
};

QListWidgetItem* MakeItem(const std::string& entry) {
  auto* item = new QListWidgetItem(ToQString(entry));
  item->setData(kBytesRole, QByteArray(entry.data(), static_cast<qsizetype>(entry.size())));
  return item;
}

QCollator SortCollator() {
  QCollator collator{QLocale(QStringLiteral("ja_JP"))};
  collator.setCaseSensitivity(Qt::CaseInsensitive);
  return collator;
}

}  // namespace

ListBox::ListBox(QWidget* parent) : QListWidget(parent) {
  // The system's 2-pixel sunken client edge: the client area starts at (2, 2).
  setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
  setLineWidth(2);
  setItemDelegate(new RowDelegate(this));
  setUniformItemSizes(true);
  setLayoutMode(QListView::SinglePass);
  setSpacing(0);
  setWordWrap(false);
  setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  // Dragging entries is the window's own business (it starts from MouseDown); the view's
  // drag and drop and its scrolling while dragging a selection stay off.
  setDragDropMode(QAbstractItemView::NoDragDrop);
  setDragEnabled(false);
  setAcceptDrops(false);
  setAutoScroll(false);
}

std::string ListBox::Item(int index) const {
  const QListWidgetItem* it = (index >= 0 && index < count()) ? item(index) : nullptr;
  if (it == nullptr) throw EStringListError::IndexOutOfRange(index);
  return it->data(kBytesRole).toByteArray().toStdString();
}

std::vector<std::string> ListBox::Items() const {
  std::vector<std::string> entries;
  entries.reserve(static_cast<std::size_t>(count()));
  for (int i = 0; i < count(); ++i)
    entries.push_back(item(i)->data(kBytesRole).toByteArray().toStdString());
  return entries;
}

int ListBox::Add(const std::string& entry) {
  QListWidgetItem* newItem = MakeItem(entry);
  int index = count();
  if (sorted_) {
    // After any entries that compare equal, so equal names keep the order they came in.
    const QCollator collator = SortCollator();
    const QString text = newItem->text();
    int low = 0;
    int high = count();
    while (low < high) {
      const int mid = low + (high - low) / 2;
      if (collator.compare(text, item(mid)->text()) < 0)
        high = mid;
      else
        low = mid + 1;
    }
    index = low;
  }
  insertItem(index, newItem);
  return index;
}

int ListBox::Insert(int index, const std::string& entry) {
  // Like the system list: -1 appends, any other position outside 0..Count() is refused.
  if (index == -1) index = count();
  if (index < 0 || index > count()) throw EOutOfResources();
  insertItem(index, MakeItem(entry));
  return index;
}

void ListBox::SetItem(int index, const std::string& entry) {
  QListWidgetItem* it = (index >= 0 && index < count()) ? item(index) : nullptr;
  if (it == nullptr) throw EStringListError::IndexOutOfRange(index);
  it->setText(ToQString(entry));
  it->setData(kBytesRole, QByteArray(entry.data(), static_cast<qsizetype>(entry.size())));
}

void ListBox::Delete(int index) {
  // A position the list does not have deletes nothing, as with the system list.
  if (index < 0 || index >= count()) return;
  // The view would make the next entry current (and so selected) instead.
  if (currentRow() == index) setCurrentItem(nullptr);
  delete takeItem(index);
}

void ListBox::Clear() {
  clear();
  // An emptied list starts again from its first row, like the system list: the view would
  // otherwise keep the old scroll position for whatever entries come next.
  verticalScrollBar()->setValue(0);
}

void ListBox::Assign(const std::vector<std::string>& entries) {
  Replace(entries, sorted_);
}

void ListBox::SetEntries(const std::vector<std::string>& entries) {
  Replace(entries, false);
}

void ListBox::Replace(const std::vector<std::string>& entries, bool sort) {
  std::vector<QListWidgetItem*> items;
  items.reserve(entries.size());
  for (const std::string& entry : entries) items.push_back(MakeItem(entry));
  if (sort) {
    // A stable sort gives the same order as adding the entries one by one.
    const QCollator collator = SortCollator();
    std::stable_sort(items.begin(), items.end(), [&](QListWidgetItem* a, QListWidgetItem* b) {
      return collator.compare(a->text(), b->text()) < 0;
    });
  }
  const bool updates = updatesEnabled();
  setUpdatesEnabled(false);
  Clear();
  for (QListWidgetItem* it : items) addItem(it);
  setUpdatesEnabled(updates);
}

void ListBox::EnsureLaidOut() const {
  // Laying out is a cache of size and entries, so it may be refreshed from a const query.
  auto* self = const_cast<ListBox*>(this);
  if (testAttribute(Qt::WA_PendingResizeEvent)) {
    // A list never shown has had no resize event yet: its client area still has the
    // default size. Deliver the event now, as showing the list would.
    QResizeEvent resize(size(), size());
    QCoreApplication::sendEvent(self, &resize);
    self->setAttribute(Qt::WA_PendingResizeEvent, false);
  }
  // The scroll range follows the entries only once the view has laid them out.
  self->executeDelayedItemsLayout();
}

int ListBox::TopIndex() const {
  // Scrolling is by whole entries, so the scroll bar's value is the first visible entry.
  EnsureLaidOut();
  return std::clamp(verticalScrollBar()->value(), 0, std::max(count() - 1, 0));
}

void ListBox::SetTopIndex(int index) {
  // Scrolls until the entry is at the top or the scroll range ends, like the system list:
  // the last reachable top index leaves the last entry at the bottom of the client area
  // (Count() minus the 22 whole rows a 343-pixel client shows). Negative goes to 0.
  EnsureLaidOut();
  verticalScrollBar()->setValue(std::max(index, 0));
}

int ListBox::ItemAtPos(int x, int y) const {
  EnsureLaidOut();
  const QWidget* client = viewport();
  if (x < 0 || y < 0 || x >= client->width() || y >= client->height()) return -1;
  const int index = TopIndex() + y / kItemHeight;
  return index < count() ? index : -1;
}

void ListBox::HoldTopIndex(bool hold) {
  EnsureLaidOut();
  holdTop_ = hold;
  updateGeometries();
}

void ListBox::updateGeometries() {
  QScrollBar* bar = verticalScrollBar();
  const int top = bar->value();
  QListWidget::updateGeometries();
  if (holdTop_ && bar->maximum() < top) {
    bar->setMaximum(top);
    bar->setValue(top);
  }
}

void ListBox::mousePressEvent(QMouseEvent* event) {
  // Only report the press: what a press in these lists does (pick up the entry under it)
  // is the window's decision, so the view neither selects nor starts a drag of its own.
  const QPoint at = event->position().toPoint();
  event->accept();
  emit MouseDown(event->button(), event->modifiers(), at.x(), at.y());
}

void ListBox::mouseDoubleClickEvent(QMouseEvent* event) {
  // The second press of a double click is a press like any other.
  mousePressEvent(event);
}

void ListBox::mouseMoveEvent(QMouseEvent* event) {
  // With a button held the view would select whatever passes under the pointer; presses
  // are not the view's business here, so neither are the moves that follow them.
  if (event->buttons() != Qt::NoButton) {
    event->accept();
    return;
  }
  QListWidget::mouseMoveEvent(event);
}

void ListBox::mouseReleaseEvent(QMouseEvent* event) {
  // The matching press never reached the view: nothing to click, select or edit.
  event->accept();
}

}  // namespace corvane
