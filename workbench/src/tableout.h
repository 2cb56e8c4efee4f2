/*
 * tableout.h - the results of a check run: the violations of the report
 * (CTableOutDoc), the table that lists them (CTableOutView, with sorting,
 * a filter field and the number of violations) and its window
 * (CTableOutFrame).
 */
#ifndef CSENTREL_TABLEOUT_H
#define CSENTREL_TABLEOUT_H

#include <QAbstractTableModel>
#include <QSortFilterProxyModel>
#include <QWidget>
#include <vector>

#include "docview.h"
#include "report.h"

class QLabel;
class QLineEdit;
class QTableView;

class CTableOutDoc : public QAbstractTableModel {
  Q_OBJECT
 public:
  enum EColumn { FileName, Directory, Rule, Details, ColumnCount };
  /* The value the table sorts by. */
  static constexpr int SortRole = Qt::UserRole + 1;

  explicit CTableOutDoc(QObject *parent = nullptr);
  /* Replaces the rows by the records of the report; false when it cannot
   * be read. */
  bool Load(const QString &reportPath);
  void SetViolations(std::vector<SViolation> violations);
  int Count() const { return static_cast<int>(rows_.size()); }
  const SViolation &Violation(int row) const { return rows_[row]; }

  int rowCount(const QModelIndex &parent = QModelIndex()) const override;
  int columnCount(const QModelIndex &parent = QModelIndex()) const override;
  QVariant data(const QModelIndex &index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  /* The text of one cell, as the table shows it. */
  QString CellText(int row, int column) const;

 private:
  std::vector<SViolation> rows_;
};

class CTableOutView : public QWidget, public CDocumentView {
  Q_OBJECT
 public:
  explicit CTableOutView(CTableOutDoc *doc, QWidget *parent = nullptr);
  CTableOutDoc *Doc() const { return doc_; }
  QTableView *Table() const { return table_; }
  QLineEdit *FilterEdit() const { return filter_; }
  /* Rows shown, after filtering. */
  int VisibleCount() const;
  /* The violation of a shown row (in the order shown). */
  const SViolation &VisibleViolation(int row) const;
  QString CountText() const;

  /* Selects the next (or previous) shown row, after the current one, and
   * opens it; false when there is none. */
  bool GoToNext(bool forward);
  /* Opens the violation of a shown row. */
  void OpenRow(int row);

  bool HasSelection() const override;
  void Copy() override;
  void SelectAll() override;
  QString ResultText() const override;
  void Print(QPrinter *printer) const override;

 signals:
  void openViolation(const SViolation &violation);
  void countChanged(const QString &text);

 private:
  QString RowsText(const QList<int> &rows) const;
  void UpdateCount();

  CTableOutDoc *doc_;
  QSortFilterProxyModel *proxy_;
  QTableView *table_;
  QLineEdit *filter_;
  QLabel *count_;
};

/* The results window; its title carries the number of violations. */
class CTableOutFrame : public CChildFrame {
  Q_OBJECT
 public:
  CTableOutFrame(CTableOutDoc *doc, QWidget *parent = nullptr);
  CTableOutView *View() const { return view_; }

 private:
  CTableOutView *view_;
};

#endif
