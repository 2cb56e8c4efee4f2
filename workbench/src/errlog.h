/*
 * errlog.h - the workbench's error log: the CErrorLog that the
 * configuration library reports through, the document that keeps its
 * messages (CErrLogDoc) and the list that shows them (CErrLogView).
 *
 * The log exists before the environment and before any window, so that the
 * messages of the start sequence are kept and shown once the main window
 * opens its log window.
 */
#ifndef CSENTREL_ERRLOG_H
#define CSENTREL_ERRLOG_H

#include <QAbstractListModel>
#include <QListView>
#include <QString>
#include <vector>

#include "docview.h"
#include "tessary_errors.h"

/* The messages, oldest first. */
class CErrLogDoc : public QAbstractListModel {
  Q_OBJECT
 public:
  struct SEntry {
    int type; /* CZKError::EType */
    QString text;
  };

  explicit CErrLogDoc(QObject *parent = nullptr);

  void Add(int type, const QString &text);
  void Clear();
  int Count() const { return static_cast<int>(entries_.size()); }
  const SEntry &Entry(int row) const { return entries_[row]; }
  /* Every message, one a line. */
  QString Text() const;

  int rowCount(const QModelIndex &parent = QModelIndex()) const override;
  QVariant data(const QModelIndex &index, int role) const override;

 signals:
  void messageAdded(int type, const QString &text);

 private:
  std::vector<SEntry> entries_;
};

/* ReportMessage formats with GetMsg (which honours the silent mask) and
 * appends the text to the document; BeginRun empties it, so that the log
 * window shows the messages of the current check run. */
class CSentrelErrorLog : public CErrorLog {
 public:
  explicit CSentrelErrorLog(CErrLogDoc &doc) : doc_(doc) {}
  void ReportMessage(int type, unsigned id, const std::string &first,
                     const std::string &second) override;
  void BeginRun() override;
  /* A message of the workbench's own, given as text; prefixed and masked
   * like the numbered ones. */
  void ReportText(int type, const QString &text);
  CErrLogDoc &Doc() { return doc_; }

 private:
  CErrLogDoc &doc_;
};

/* The workbench's log, for code that reports a text of its own. */
void ReportWorkbenchText(int type, const QString &text);

class CErrLogView : public QListView, public CDocumentView {
  Q_OBJECT
 public:
  explicit CErrLogView(CErrLogDoc *doc, QWidget *parent = nullptr);

  bool HasSelection() const override;
  void Copy() override;
  void SelectAll() override;
  bool CanClear() const override { return true; }
  void Clear() override;
  QString ResultText() const override;
  void Print(QPrinter *printer) const override;

 private:
  CErrLogDoc *doc_;
};

#endif
