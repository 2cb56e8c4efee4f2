/*
 * tableout.cpp - the results document, table and window.
 */
#include "tableout.h"

#include <QFileInfo>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>
#include <QTextDocument>
#include <QVBoxLayout>
#include <algorithm>
#include <functional>

/* ---- document ------------------------------------------------------ */

CTableOutDoc::CTableOutDoc(QObject *parent) : QAbstractTableModel(parent) {}

bool CTableOutDoc::Load(const QString &reportPath) {
  std::vector<SViolation> rows;
  bool ok = ReadViolationReport(CPathName(reportPath.toStdString()), rows);
  SetViolations(std::move(rows));
  return ok;
}

void CTableOutDoc::SetViolations(std::vector<SViolation> violations) {
  beginResetModel();
  rows_ = std::move(violations);
  endResetModel();
}

int CTableOutDoc::rowCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : Count(); }

int CTableOutDoc::columnCount(const QModelIndex &parent) const {
  return parent.isValid() ? 0 : ColumnCount;
}

static QString FileNameOf(const QString &path) {
  qsizetype slash = path.lastIndexOf('/');
  return slash < 0 ? path : path.mid(slash + 1);
}

static QString DirectoryOf(const QString &path) {
  qsizetype slash = path.lastIndexOf('/');
  return slash <= 0 ? (slash == 0 ? QStringLiteral("/") : QString()) : path.left(slash);
}

QString CTableOutDoc::CellText(int row, int column) const {
  const SViolation &v = rows_[row];
  QString path = ViolationPath(v);
  switch (column) {
    case FileName: return QString("%1 (%2)").arg(FileNameOf(path)).arg(v.line);
    case Directory: return DirectoryOf(path);
    case Rule: return QString::fromStdString(v.rule);
    case Details: return QString::fromStdString(v.details);
    default: return QString();
  }
}

QVariant CTableOutDoc::data(const QModelIndex &index, int role) const {
  if (!index.isValid() || index.row() >= Count()) return QVariant();
  const SViolation &v = rows_[index.row()];
  QString path = ViolationPath(v);
  switch (role) {
    case Qt::DisplayRole: return CellText(index.row(), index.column());
    case Qt::ToolTipRole:
      return index.column() == Details ? QString::fromStdString(v.details)
                                       : QString("%1(%2)").arg(path).arg(v.line);
    case SortRole:
      /* Files by name, then numerically by line; directories and rules
       * with the file and line as tie-breaks. */
      switch (index.column()) {
        case FileName:
          return QString("%1\x1f%2\x1f%3").arg(FileNameOf(path)).arg(v.line, 10, 10, QChar('0')).arg(DirectoryOf(path));
        case Directory:
          return QString("%1\x1f%2\x1f%3").arg(DirectoryOf(path), FileNameOf(path)).arg(v.line, 10, 10, QChar('0'));
        default: return CellText(index.row(), index.column());
      }
    default: return QVariant();
  }
}

QVariant CTableOutDoc::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole) return QVariant();
  if (orientation == Qt::Vertical) return section + 1;
  static const char *const names[] = {"File Name", "Directory", "Rule", "Details"};
  return section >= 0 && section < ColumnCount ? QString::fromLatin1(names[section]) : QVariant();
}

/* ---- view ---------------------------------------------------------- */

namespace {

/* Enter on a row opens it, as a double click does. */
class CResultTable : public QTableView {
 public:
  using QTableView::QTableView;
  std::function<void(int)> onOpen;

 protected:
  void keyPressEvent(QKeyEvent *e) override {
    if ((e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) && currentIndex().isValid()) {
      if (onOpen) onOpen(currentIndex().row());
      return;
    }
    QTableView::keyPressEvent(e);
  }
};

}  // namespace

CTableOutView::CTableOutView(CTableOutDoc *doc, QWidget *parent)
    : QWidget(parent), doc_(doc), proxy_(new QSortFilterProxyModel(this)) {
  proxy_->setSourceModel(doc);
  proxy_->setSortRole(CTableOutDoc::SortRole);
  proxy_->setSortCaseSensitivity(Qt::CaseInsensitive);
  proxy_->setFilterCaseSensitivity(Qt::CaseInsensitive);
  proxy_->setFilterKeyColumn(-1);

  count_ = new QLabel(this);
  filter_ = new QLineEdit(this);
  filter_->setPlaceholderText(tr("Filter"));
  filter_->setClearButtonEnabled(true);
  filter_->setToolTip(tr("Show only the violations whose file, directory, rule or details contain this text"));
  filter_->setMaximumWidth(320);

  auto *table = new CResultTable(this);
  table->onOpen = [this](int row) { OpenRow(row); };
  table_ = table;
  table_->setModel(proxy_);
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->setAlternatingRowColors(true);
  table_->setShowGrid(false);
  table_->setWordWrap(false);
  table_->setTextElideMode(Qt::ElideMiddle);
  table_->verticalHeader()->hide();
  table_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 6);
  table_->horizontalHeader()->setStretchLastSection(true);
  table_->horizontalHeader()->setHighlightSections(false);
  /* Report order until the user sorts. */
  table_->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
  table_->setSortingEnabled(true);
  table_->horizontalHeader()->setSortIndicatorShown(true);

  auto *bar = new QHBoxLayout;
  bar->setContentsMargins(6, 4, 6, 2);
  bar->addWidget(count_, 1);
  bar->addWidget(filter_);
  auto *layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addLayout(bar);
  layout->addWidget(table_, 1);

  connect(filter_, &QLineEdit::textChanged, this, [this](const QString &text) {
    proxy_->setFilterFixedString(text);
    UpdateCount();
  });
  connect(table_, &QTableView::activated, this, [this](const QModelIndex &i) { OpenRow(i.row()); });
  connect(doc_, &QAbstractItemModel::modelReset, this, [this] {
    table_->resizeColumnsToContents();
    UpdateCount();
  });

  table_->resizeColumnsToContents();
  /* Long directories and rule names must not push the details away. */
  for (int c = 0; c < CTableOutDoc::Details; ++c)
    table_->setColumnWidth(c, std::min(table_->columnWidth(c), 360));
  UpdateCount();
  setFocusProxy(table_);
}

int CTableOutView::VisibleCount() const { return proxy_->rowCount(); }

const SViolation &CTableOutView::VisibleViolation(int row) const {
  return doc_->Violation(proxy_->mapToSource(proxy_->index(row, 0)).row());
}

QString CTableOutView::CountText() const {
  int all = doc_->Count(), shown = VisibleCount();
  QString n = all == 1 ? tr("1 violation") : tr("%1 violations").arg(all);
  return shown == all ? n : tr("%1 of %2 shown").arg(shown).arg(n);
}

void CTableOutView::UpdateCount() {
  QString text = CountText();
  count_->setText(text);
  emit countChanged(text);
}

void CTableOutView::OpenRow(int row) {
  if (row < 0 || row >= VisibleCount()) return;
  QModelIndex index = proxy_->index(row, 0);
  if (table_->currentIndex().row() != row) table_->setCurrentIndex(index);
  table_->scrollTo(index);
  emit openViolation(VisibleViolation(row));
}

bool CTableOutView::GoToNext(bool forward) {
  int n = VisibleCount();
  if (n == 0) return false;
  int current = table_->currentIndex().isValid() ? table_->currentIndex().row() : -1;
  int next = current < 0 ? (forward ? 0 : n - 1) : current + (forward ? 1 : -1);
  if (next < 0 || next >= n) return false;
  table_->selectionModel()->clearSelection();
  table_->setCurrentIndex(proxy_->index(next, 0));
  table_->selectRow(next);
  OpenRow(next);
  return true;
}

bool CTableOutView::HasSelection() const { return table_->selectionModel()->hasSelection(); }

QString CTableOutView::RowsText(const QList<int> &rows) const {
  QString text;
  for (int r : rows) {
    int source = proxy_->mapToSource(proxy_->index(r, 0)).row();
    QStringList cells;
    for (int c = 0; c < CTableOutDoc::ColumnCount; ++c) cells << doc_->CellText(source, c);
    text += cells.join('\t') + '\n';
  }
  return text;
}

void CTableOutView::Copy() {
  QList<int> rows;
  for (const QModelIndex &i : table_->selectionModel()->selectedRows()) rows << i.row();
  std::sort(rows.begin(), rows.end());
  if (!rows.isEmpty()) CopyText(RowsText(rows));
}

void CTableOutView::SelectAll() { table_->selectAll(); }

QString CTableOutView::ResultText() const {
  QStringList header;
  for (int c = 0; c < CTableOutDoc::ColumnCount; ++c)
    header << doc_->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
  QList<int> rows;
  for (int r = 0; r < VisibleCount(); ++r) rows << r;
  return header.join('\t') + '\n' + RowsText(rows);
}

void CTableOutView::Print(QPrinter *printer) const {
  QString html = "<p><b>" + CountText().toHtmlEscaped() + "</b></p>"
                 "<table border='1' cellspacing='0' cellpadding='3' width='100%'><tr>";
  for (int c = 0; c < CTableOutDoc::ColumnCount; ++c)
    html += "<th align='left'>" +
            doc_->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString().toHtmlEscaped() + "</th>";
  html += "</tr>";
  for (int r = 0; r < VisibleCount(); ++r) {
    int source = proxy_->mapToSource(proxy_->index(r, 0)).row();
    html += "<tr>";
    for (int c = 0; c < CTableOutDoc::ColumnCount; ++c)
      html += "<td>" + doc_->CellText(source, c).toHtmlEscaped() + "</td>";
    html += "</tr>";
  }
  html += "</table>";
  QTextDocument document;
  document.setHtml(html);
  PrintDocument(printer, document);
}

/* ---- window -------------------------------------------------------- */

CTableOutFrame::CTableOutFrame(CTableOutDoc *doc, QWidget *parent)
    : CChildFrame(Results, nullptr, nullptr, parent) {
  view_ = new CTableOutView(doc, this);
  doc->setParent(this);
  setWidget(view_);
  SetCommands(view_);
  auto title = [this](const QString &count) { setWindowTitle(tr("Results - %1").arg(count)); };
  connect(view_, &CTableOutView::countChanged, this, title);
  title(view_->CountText());
}
