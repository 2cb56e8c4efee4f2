/*
 * lists.cpp - CListCtrlEx, the report-mode list with its utilities, and
 * CSilentList, which brackets key presses with notifications to its parent
 * and shows truncated texts as tool tips.
 */
#include "wendrel_lists.h"

#include <QHeaderView>
#include <QHelpEvent>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QScopedValueRollback>
#include <QStyleOptionHeader>
#include <QToolTip>

static constexpr int kColumnPadding = 15;
/* Header data role: the section's image goes to its right side. */
static constexpr int kImageRightRole = Qt::UserRole + 1;

namespace {
/* A header that can draw a section's image on its right side. */
class CHeaderEx : public QHeaderView {
 public:
  explicit CHeaderEx(QWidget *parent) : QHeaderView(Qt::Horizontal, parent) {}

 protected:
  void initStyleOptionForIndex(QStyleOptionHeader *option, int logicalIndex) const override {
    QHeaderView::initStyleOptionForIndex(option, logicalIndex);
    if (model() && model()->headerData(logicalIndex, orientation(), kImageRightRole).toBool())
      option->iconAlignment = Qt::AlignRight | Qt::AlignVCenter;
  }
};
}  // namespace

/* ---- CListCtrlEx ---------------------------------------------------------- */

CListCtrlEx::CListCtrlEx(QWidget *parent) : QTableWidget(parent) {
  setHorizontalHeader(new CHeaderEx(this));
  verticalHeader()->hide();
  horizontalHeader()->setHighlightSections(false);
  horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setSelectionMode(QAbstractItemView::ExtendedSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setShowGrid(false);
  setWordWrap(false);
  setTextElideMode(Qt::ElideRight);
}

int CListCtrlEx::TextWidth(const QString &text) const {
  return fontMetrics().horizontalAdvance(text);
}

int CListCtrlEx::AddColumn(const QString &text, int index, Qt::Alignment format,
                           const QString &sample) {
  if (index < 0 || index > columnCount()) index = columnCount();
  insertColumn(index);
  auto *head = new QTableWidgetItem(text);
  head->setTextAlignment(format | Qt::AlignVCenter);
  setHorizontalHeaderItem(index, head);
  setColumnWidth(index, TextWidth(text) + TextWidth(sample) + kColumnPadding);
  return index;
}

int CListCtrlEx::AddItem(int index, int subItem, const QString &text, int image) {
  if (subItem < 0 || subItem >= columnCount()) return -1;
  QIcon icon = image >= 0 && image < images_.size() ? images_.at(image) : QIcon();
  if (subItem == 0) {
    if (index < 0 || index > rowCount()) index = rowCount();
    insertRow(index);
  } else if (index < 0 || index >= rowCount()) {
    return -1;
  }
  QTableWidgetItem *cell = item(index, subItem);
  if (!cell) {
    cell = new QTableWidgetItem;
    cell->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    QTableWidgetItem *head = horizontalHeaderItem(subItem);
    cell->setTextAlignment(head ? Qt::Alignment(head->textAlignment())
                                : Qt::AlignLeft | Qt::AlignVCenter);
    setItem(index, subItem, cell);
  }
  cell->setText(text);
  if (image >= 0) cell->setIcon(icon);
  return index;
}

QModelIndex CListCtrlEx::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) {
  if ((action == MoveHome || action == MoveEnd) && rowCount() > 0 && columnCount() > 0) {
    int column = currentColumn() < 0 ? 0 : currentColumn();
    return model()->index(action == MoveHome ? 0 : rowCount() - 1, column);
  }
  return QTableWidget::moveCursor(action, modifiers);
}

void CListCtrlEx::DeleteAll() { setRowCount(0); }

QString CListCtrlEx::GetColumnText(int column) const {
  QTableWidgetItem *head = horizontalHeaderItem(column);
  return head ? head->text() : QString();
}

bool CListCtrlEx::SetColumnText(int column, const QString &text) {
  QTableWidgetItem *head = horizontalHeaderItem(column);
  if (!head) return false;
  head->setText(text);
  return true;
}

void CListCtrlEx::SetFocusedItem(int item) {
  SetItemState(item, ItemFocused, ItemFocused);
}

int CListCtrlEx::GetFocusedItem() const {
  QModelIndex current = selectionModel()->currentIndex();
  return current.isValid() ? current.row() : -1;
}

void CListCtrlEx::SetSelection(int item, bool select) {
  SetItemState(item, select ? ItemSelected : 0u, ItemSelected);
}

int CListCtrlEx::GetSelection(int start) const {
  for (int row = start < 0 ? 0 : start + 1; row < rowCount(); ++row)
    if (selectionModel()->isRowSelected(row, QModelIndex())) return row;
  return -1;
}

bool CListCtrlEx::SetItemState(int row, unsigned state, unsigned mask) {
  if (row < 0 || row >= rowCount() || columnCount() == 0) return false;
  QModelIndex index = model()->index(row, 0);
  QItemSelectionModel *sel = selectionModel();
  if (mask & ItemFocused) {
    if (state & ItemFocused)
      sel->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
    else if (GetFocusedItem() == row)
      sel->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
  }
  if (mask & ItemSelected)
    sel->select(index, (state & ItemSelected ? QItemSelectionModel::Select
                                             : QItemSelectionModel::Deselect) |
                           QItemSelectionModel::Rows);
  return true;
}

QHeaderView *CListCtrlEx::GetHeader() const { return horizontalHeader(); }

void CListCtrlEx::SetSortHeader(bool buttons) {
  horizontalHeader()->setSectionsClickable(buttons);
}

bool CListCtrlEx::SetColumnImage(int column, int image, bool right) {
  QTableWidgetItem *head = horizontalHeaderItem(column);
  if (!head || image >= columnImages_.size()) return false;
  head->setIcon(image < 0 ? QIcon() : columnImages_.at(image));
  head->setData(kImageRightRole, image >= 0 && right);
  return true;
}

bool CListCtrlEx::IsColumnImageRight(int column) const {
  QTableWidgetItem *head = horizontalHeaderItem(column);
  return head && head->data(kImageRightRole).toBool();
}

/* ---- CSilentList ----------------------------------------------------------- */

CSilentList::CSilentList(bool toolTips, QWidget *parent)
    : CListCtrlEx(parent), toolTips_(toolTips) {}

static bool IsModifierKey(int key) {
  return key == Qt::Key_Shift || key == Qt::Key_Control || key == Qt::Key_Alt ||
         key == Qt::Key_Meta || key == Qt::Key_AltGr;
}

void CSilentList::keyPressEvent(QKeyEvent *event) {
  if (notifying_ || IsModifierKey(event->key())) {
    CListCtrlEx::keyPressEvent(event);
    return;
  }
  QScopedValueRollback<bool> guard(notifying_, true);
  emit wmNotifyListSelChanging(this);
  CListCtrlEx::keyPressEvent(event);
  emit wmNotifyListSelChanged(this);
}

QString CSilentList::ToolTipTextAt(const QPoint &pos) const {
  if (!toolTips_) return QString();
  QModelIndex index = indexAt(pos);
  if (!index.isValid()) return QString();
  QString text = index.data(Qt::DisplayRole).toString();
  if (text.isEmpty()) return QString();
  QRect visible = visualRect(index).intersected(viewport()->rect());
  int margin = style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1;
  int needed = TextWidth(text) + 2 * margin;
  if (!index.data(Qt::DecorationRole).isNull()) {
    QSize icon = iconSize();
    needed += (icon.isValid() ? icon.width()
                              : style()->pixelMetric(QStyle::PM_SmallIconSize, nullptr, this)) +
              margin;
  }
  return needed > visible.width() ? text : QString();
}

bool CSilentList::viewportEvent(QEvent *event) {
  if (event->type() != QEvent::ToolTip || !toolTips_) return CListCtrlEx::viewportEvent(event);
  auto *help = static_cast<QHelpEvent *>(event);
  QString text = ToolTipTextAt(help->pos());
  if (text.isEmpty()) {
    QToolTip::hideText();
    event->ignore();
  } else {
    QToolTip::showText(help->globalPos(), text, viewport(), visualRect(indexAt(help->pos())));
  }
  return true;
}
