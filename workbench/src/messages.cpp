/*
 * messages.cpp - the checker's diagnostics as the Messages window lists
 * them.  The checker writes
 *
 *     file.c(12) : Error:  text        file.c: Warning: text
 *     Error(s): text                    kvx_zkck_cc: Error: text
 *
 * and, after a failing rule, lines of the Tcl trace, which stay with the
 * message before them.
 */
#include "messages.h"

#include <QHeaderView>
#include <QRegularExpression>

#include "art.h"
#include "report.h"
#include "tessary_errors.h"

/* ---- document ------------------------------------------------------ */

CMessageDoc::CMessageDoc(QObject *parent) : QAbstractTableModel(parent) {}

bool CMessageDoc::ParseLine(const QString &line, SMessage &out) {
  static const QRegularExpression located(R"(^(.*?)\s*:\s*(Error|Warning)\s*:\s*(.*)$)");
  static const QRegularExpression bare(R"(^(Error|Warning)\(s\)\s*:\s*(.*)$)");
  QRegularExpressionMatch m = bare.match(line);
  QString subject;
  if (m.hasMatch()) {
    out.type = m.captured(1) == "Error" ? CZKError::eError : CZKError::eWarning;
    out.text = m.captured(2).trimmed();
  } else if ((m = located.match(line)).hasMatch()) {
    subject = m.captured(1).trimmed();
    out.type = m.captured(2) == "Error" ? CZKError::eError : CZKError::eWarning;
    out.text = m.captured(3).trimmed();
  } else {
    return false;
  }
  out.file.clear();
  out.line = 0;
  out.detail.clear();
  if (subject.endsWith(')')) {
    SplitFileLine(subject, out.file, out.line);
    out.file = out.file.trimmed();
  } else if (subject.contains('.') || subject.contains('/')) {
    out.file = subject; /* a file without a line; the program's own name is no file */
  } else if (!subject.isEmpty()) {
    out.text = subject + ": " + out.text;
  }
  return true;
}

void CMessageDoc::SetConsoleText(const QString &text) {
  beginResetModel();
  messages_.clear();
  for (const QString &raw : text.split('\n')) {
    QString line = raw.trimmed();
    SMessage m;
    if (ParseLine(line, m)) {
      messages_.push_back(m);
    } else if (!line.isEmpty() && !messages_.empty() && !line.contains("warning(s)")) {
      QString &d = messages_.back().detail;
      d += (d.isEmpty() ? "" : "\n") + line;
    }
  }
  endResetModel();
}

void CMessageDoc::Clear() {
  beginResetModel();
  messages_.clear();
  endResetModel();
}

QString CMessageDoc::Text() const {
  QString out;
  for (const SMessage &m : messages_) {
    QString where = m.file.isEmpty() ? QString() : m.line > 0 ? QString("%1(%2): ").arg(m.file).arg(m.line) : m.file + ": ";
    out += where + (m.type == CZKError::eError ? "Error: " : "Warning: ") + m.text + '\n';
    if (!m.detail.isEmpty()) out += m.detail + '\n';
  }
  return out;
}

int CMessageDoc::rowCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : Count(); }

int CMessageDoc::columnCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : ColumnCount; }

QVariant CMessageDoc::data(const QModelIndex &index, int role) const {
  if (!index.isValid() || index.row() >= Count()) return QVariant();
  const SMessage &m = messages_[index.row()];
  if (role == Qt::DecorationRole && index.column() == Description) return SeverityIcon(m.type);
  if (role == Qt::ToolTipRole) return m.detail.isEmpty() ? m.text : m.text + '\n' + m.detail;
  if (role != Qt::DisplayRole) return QVariant();
  switch (index.column()) {
    case Description: return m.text;
    case File: return m.file;
    case Line: return m.line > 0 ? QVariant(m.line) : QVariant();
    default: return QVariant();
  }
}

QVariant CMessageDoc::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole || orientation != Qt::Horizontal) return QVariant();
  switch (section) {
    case Description: return tr("Description");
    case File: return tr("File");
    case Line: return tr("Line");
    default: return QVariant();
  }
}

/* ---- view and window ----------------------------------------------- */

CMessageView::CMessageView(CMessageDoc *doc, QWidget *parent) : QTableView(parent), doc_(doc) {
  setModel(doc);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setShowGrid(false);
  setWordWrap(false);
  setAlternatingRowColors(true);
  verticalHeader()->hide();
  verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
  horizontalHeader()->setStretchLastSection(false);
  horizontalHeader()->setSectionResizeMode(CMessageDoc::Description, QHeaderView::Stretch);
  horizontalHeader()->setSectionResizeMode(CMessageDoc::File, QHeaderView::Interactive);
  horizontalHeader()->setSectionResizeMode(CMessageDoc::Line, QHeaderView::ResizeToContents);
  setColumnWidth(CMessageDoc::File, 320);
  connect(this, &QTableView::activated, this, [this](const QModelIndex &i) {
    const CMessageDoc::SMessage &m = doc_->Message(i.row());
    if (!m.file.isEmpty()) emit openLocation(m.file, m.line);
  });
}

bool CMessageView::HasSelection() const { return selectionModel()->hasSelection(); }

void CMessageView::Copy() {
  QString text;
  QModelIndexList rows = selectionModel()->selectedRows();
  std::sort(rows.begin(), rows.end());
  for (const QModelIndex &i : rows) {
    const CMessageDoc::SMessage &m = doc_->Message(i.row());
    text += m.file + (m.line > 0 ? QString("(%1)").arg(m.line) : QString()) + '\t' + m.text + '\n';
  }
  if (!text.isEmpty()) CopyText(text);
}

void CMessageView::SelectAll() { selectAll(); }

void CMessageView::Print(QPrinter *printer) const { PrintPlainText(printer, doc_->Text()); }

CMessageFrame::CMessageFrame(CMessageDoc *doc, QWidget *parent)
    : QDockWidget(tr("Messages"), parent), view_(new CMessageView(doc, this)) {
  setObjectName("MessagesWindow");
  setWidget(view_);
  setAllowedAreas(Qt::BottomDockWidgetArea | Qt::TopDockWidgetArea | Qt::LeftDockWidgetArea |
                  Qt::RightDockWidgetArea);
}
