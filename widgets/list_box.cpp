#include "widgets/list_box.h"

#include <QAbstractListModel>
#include <QCollator>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <algorithm>
#include <utility>

#include "core/errors.h"
#include "widgets/qt_text.h"

namespace corvane {

namespace {

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

QCollator SortCollator() {
  QCollator collator{QLocale(QStringLiteral("ja_JP"))};
  collator.setCaseSensitivity(Qt::CaseInsensitive);
  return collator;
}

}  // namespace

// The entries of one list. Each keeps its bytes; the text shown is only their decoding,
// which cannot give the bytes back for entries that are not valid CP932.
class ListEntryModel : public QAbstractListModel {
 public:
  struct Entry {
    std::string bytes;
    QString text;
  };
  static Entry Make(const std::string& bytes) { return {bytes, ToQString(bytes)}; }

  using QAbstractListModel::QAbstractListModel;

  int rowCount(const QModelIndex& parent = {}) const override {
    return parent.isValid() ? 0 : static_cast<int>(entries_.size());
  }
  QVariant data(const QModelIndex& index, int role) const override {
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= rowCount()) return {};
    return entries_[static_cast<std::size_t>(index.row())].text;
  }

  const Entry& At(int row) const { return entries_[static_cast<std::size_t>(row)]; }
  void Insert(int row, Entry entry) {
    beginInsertRows({}, row, row);
    entries_.insert(entries_.begin() + row, std::move(entry));
    endInsertRows();
  }
  void Set(int row, Entry entry) {
    entries_[static_cast<std::size_t>(row)] = std::move(entry);
    emit dataChanged(index(row), index(row));
  }
  void Remove(int row) {
    beginRemoveRows({}, row, row);
    entries_.erase(entries_.begin() + row);
    endRemoveRows();
  }
  void Reset(std::vector<Entry> entries) {
    beginResetModel();
    entries_ = std::move(entries);
    endResetModel();
  }

 private:
  std::vector<Entry> entries_;
};

ListBox::ListBox(QWidget* parent) : QListView(parent), entries_(new ListEntryModel(this)) {
  setModel(entries_);
  // The system's sunken client edge: the client area starts at (kFrameWidth, kFrameWidth).
  setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
  setLineWidth(kFrameWidth);
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

ListBox::~ListBox() = default;

int ListBox::Count() const {
  return entries_->rowCount();
}

std::string ListBox::Item(int index) const {
  if (index < 0 || index >= Count()) throw EStringListError::IndexOutOfRange(index);
  return entries_->At(index).bytes;
}

std::vector<std::string> ListBox::Items() const {
  std::vector<std::string> entries;
  entries.reserve(static_cast<std::size_t>(Count()));
  for (int i = 0; i < Count(); ++i) entries.push_back(entries_->At(i).bytes);
  return entries;
}

int ListBox::Insert(int index, const std::string& entry) {
  // Like the system list: -1 appends, any other position outside 0..Count() is refused.
  if (index == -1) index = Count();
  if (index < 0 || index > Count()) throw EOutOfResources();
  entries_->Insert(index, ListEntryModel::Make(entry));
  return index;
}

void ListBox::SetItem(int index, const std::string& entry) {
  if (index < 0 || index >= Count()) throw EStringListError::IndexOutOfRange(index);
  entries_->Set(index, ListEntryModel::Make(entry));
}

void ListBox::Delete(int index) {
  // A position the list does not have deletes nothing, as with the system list.
  if (index < 0 || index >= Count()) return;
  // The view would make the next entry current (and so selected) instead.
  if (ItemIndex() == index) SetItemIndex(-1);
  entries_->Remove(index);
}

int ListBox::ItemIndex() const {
  const QModelIndex current = currentIndex();
  return current.isValid() ? current.row() : -1;
}

void ListBox::SetItemIndex(int index) {
  // One entry at most is selected, and it is the current one; -1 selects none.
  selectionModel()->setCurrentIndex(entries_->index(index), QItemSelectionModel::ClearAndSelect);
}

void ListBox::ShowEntry(int index) {
  EnsureLaidOut();
  scrollTo(entries_->index(index));
}

void ListBox::Clear() {
  Replace({}, false);
}

void ListBox::Assign(const std::vector<std::string>& entries) {
  Replace(entries, sorted_);
}

void ListBox::SetEntries(const std::vector<std::string>& entries) {
  Replace(entries, false);
}

void ListBox::Replace(const std::vector<std::string>& entries, bool sort) {
  std::vector<ListEntryModel::Entry> made;
  made.reserve(entries.size());
  for (const std::string& entry : entries) made.push_back(ListEntryModel::Make(entry));
  if (sort) {
    // Stable, so that names equal but for case keep the order they came in.
    const QCollator collator = SortCollator();
    std::stable_sort(made.begin(), made.end(),
                     [&](const ListEntryModel::Entry& a, const ListEntryModel::Entry& b) {
                       return collator.compare(a.text, b.text) < 0;
                     });
  }
  entries_->Reset(std::move(made));
  // A refilled list starts again from its first row, like the system list: the view would
  // otherwise keep the old scroll position for whatever entries come next.
  verticalScrollBar()->setValue(0);
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
  return std::clamp(verticalScrollBar()->value(), 0, std::max(Count() - 1, 0));
}

void ListBox::SetTopIndex(int index) {
  // Scrolls until the entry is at the top or the scroll range ends, like the system list:
  // the last reachable top index leaves the last entry at the bottom of the client area
  // (Count() minus VisibleEntries()). Negative goes to 0.
  EnsureLaidOut();
  verticalScrollBar()->setValue(std::max(index, 0));
}

int ListBox::ItemAtPos(int x, int y) const {
  EnsureLaidOut();
  const QWidget* client = viewport();
  if (x < 0 || y < 0 || x >= client->width() || y >= client->height()) return -1;
  const int index = TopIndex() + y / kItemHeight;
  return index < Count() ? index : -1;
}

int ListBox::VisibleEntries() const {
  EnsureLaidOut();
  return viewport()->height() / kItemHeight;
}

int ListBox::BottomFrameRow() const {
  EnsureLaidOut();
  return height() - 1 - viewport()->y();
}

void ListBox::HoldTopIndex(bool hold) {
  EnsureLaidOut();
  holdTop_ = hold;
  updateGeometries();
}

void ListBox::updateGeometries() {
  QScrollBar* bar = verticalScrollBar();
  const int top = bar->value();
  QListView::updateGeometries();
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
  QListView::mouseMoveEvent(event);
}

void ListBox::mouseReleaseEvent(QMouseEvent* event) {
  // The matching press never reached the view: nothing to click, select or edit.
  event->accept();
}

void ListBox::keyPressEvent(QKeyEvent* event) {
  const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
  const auto key =
      static_cast<Qt::Key>(event->key() == Qt::Key_Enter ? Qt::Key_Return : event->key());
  const QKeyCombination pressed(modifiers, key);
  if (std::find(commandKeys_.begin(), commandKeys_.end(), pressed) != commandKeys_.end()) {
    event->accept();
    emit KeyDown(pressed);
    return;
  }
  QListView::keyPressEvent(event);
}

}  // namespace corvane
