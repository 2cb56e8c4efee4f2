/*
 * errlog.cpp - the workbench's error log and its document and view.
 */
#include "errlog.h"

#include <QIcon>
#include <QPrinter>

#include "art.h"

/* ---- document ------------------------------------------------------ */

CErrLogDoc::CErrLogDoc(QObject *parent) : QAbstractListModel(parent) {}

void CErrLogDoc::Add(int type, const QString &text) {
  int row = Count();
  beginInsertRows(QModelIndex(), row, row);
  entries_.push_back({type, text});
  endInsertRows();
  emit messageAdded(type, text);
}

void CErrLogDoc::Clear() {
  beginResetModel();
  entries_.clear();
  endResetModel();
}

QString CErrLogDoc::Text() const {
  QString out;
  for (const SEntry &e : entries_) out += e.text + '\n';
  return out;
}

int CErrLogDoc::rowCount(const QModelIndex &parent) const {
  return parent.isValid() ? 0 : Count();
}

QVariant CErrLogDoc::data(const QModelIndex &index, int role) const {
  if (!index.isValid() || index.row() >= Count()) return QVariant();
  const SEntry &e = entries_[index.row()];
  switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole: return e.text;
    case Qt::DecorationRole: return SeverityIcon(e.type);
    default: return QVariant();
  }
}

/* ---- the error log ------------------------------------------------- */

void CSentrelErrorLog::ReportMessage(int type, unsigned id, const std::string &first,
                                     const std::string &second) {
  std::string text = GetMsg(type, id, first, second);
  if (!text.empty()) doc_.Add(type, QString::fromStdString(text));
}

void CSentrelErrorLog::BeginRun() { doc_.Clear(); }

void CSentrelErrorLog::ReportText(int type, const QString &text) {
  if (type & GetSilentMode()) return;
  unsigned prefix = type == CZKError::eError ? 34112 : type == CZKError::eWarning ? 34113 : 34114;
  doc_.Add(type, QString::fromUtf8(GetMessageText(prefix)) + text);
}

void ReportWorkbenchText(int type, const QString &text) {
  if (auto *log = dynamic_cast<CSentrelErrorLog *>(TheErrorLog)) log->ReportText(type, text);
}

/* ---- view ---------------------------------------------------------- */

CErrLogView::CErrLogView(CErrLogDoc *doc, QWidget *parent) : QListView(parent), doc_(doc) {
  setModel(doc);
  setSelectionMode(QAbstractItemView::ExtendedSelection);
  setUniformItemSizes(true);
  setIconSize(QSize(16, 16));
  setAlternatingRowColors(true);
  setWordWrap(false);
  setWindowTitle(tr("Log"));
  /* Keep the newest message in sight. */
  connect(doc, &CErrLogDoc::rowsInserted, this, [this] { scrollToBottom(); });
}

bool CErrLogView::HasSelection() const { return selectionModel()->hasSelection(); }

void CErrLogView::Copy() {
  QModelIndexList rows = selectionModel()->selectedRows();
  std::sort(rows.begin(), rows.end());
  QString text;
  for (const QModelIndex &i : rows) text += doc_->Entry(i.row()).text + '\n';
  if (!text.isEmpty()) CopyText(text);
}

void CErrLogView::SelectAll() { selectAll(); }

void CErrLogView::Clear() { doc_->Clear(); }

QString CErrLogView::ResultText() const { return doc_->Text(); }

void CErrLogView::Print(QPrinter *printer) const { PrintPlainText(printer, doc_->Text()); }
