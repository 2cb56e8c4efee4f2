/*
 * messages.h - the "Messages" window: the checker's own diagnostics of the
 * last run (errors and warnings it printed while analysing the sources),
 * read from its console output, one row each; a row with a file opens the
 * source at its line.  CMessageDoc holds them, CMessageView lists them and
 * CMessageFrame is the window docked at the bottom of the main window.
 */
#ifndef CSENTREL_MESSAGES_H
#define CSENTREL_MESSAGES_H

#include <QAbstractTableModel>
#include <QDockWidget>
#include <QTableView>
#include <vector>

#include "docview.h"

class CMessageDoc : public QAbstractTableModel {
  Q_OBJECT
 public:
  struct SMessage {
    int type;       /* CZKError::EType: error or warning */
    QString file;   /* empty when the message names no file */
    int line = 0;   /* 0 when it names no line */
    QString text;
    QString detail; /* lines that follow it (a rule's Tcl trace) */
  };
  enum EColumn { Description, File, Line, ColumnCount };

  explicit CMessageDoc(QObject *parent = nullptr);
  /* Replaces the messages by those of a console output. */
  void SetConsoleText(const QString &text);
  void Clear();
  int Count() const { return static_cast<int>(messages_.size()); }
  const SMessage &Message(int row) const { return messages_[row]; }
  QString Text() const;

  /* One line of console output as a message; false when it is none. */
  static bool ParseLine(const QString &line, SMessage &out);

  int rowCount(const QModelIndex &parent = QModelIndex()) const override;
  int columnCount(const QModelIndex &parent = QModelIndex()) const override;
  QVariant data(const QModelIndex &index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

 private:
  std::vector<SMessage> messages_;
};

class CMessageView : public QTableView, public CDocumentView {
  Q_OBJECT
 public:
  explicit CMessageView(CMessageDoc *doc, QWidget *parent = nullptr);

  bool HasSelection() const override;
  void Copy() override;
  void SelectAll() override;
  bool CanClear() const override { return true; }
  void Clear() override { doc_->Clear(); }
  QString ResultText() const override { return doc_->Text(); }
  void Print(QPrinter *printer) const override;

 signals:
  void openLocation(const QString &file, int line);

 private:
  CMessageDoc *doc_;
};

class CMessageFrame : public QDockWidget {
  Q_OBJECT
 public:
  CMessageFrame(CMessageDoc *doc, QWidget *parent = nullptr);
  CMessageView *View() const { return view_; }

 private:
  CMessageView *view_;
};

#endif
