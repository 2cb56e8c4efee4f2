/*
 * appview.h - the "Application" window: what the open application is made
 * of (its file, profile, rule set, makefile and target, and its source
 * files with the ones taking part in the next check).  Opening a file
 * shows its source.
 */
#ifndef CSENTREL_APPVIEW_H
#define CSENTREL_APPVIEW_H

#include <QWidget>

#include "docview.h"

class CAppDoc;
class QLabel;
class QTreeWidget;

class CAppView : public QWidget, public CDocumentView {
  Q_OBJECT
 public:
  CAppView(CAppDoc &doc, QWidget *parent = nullptr);
  /* Shows the application as it is now. */
  void Refresh();
  QTreeWidget *Files() const { return files_; }

  bool HasSelection() const override;
  void Copy() override;
  void SelectAll() override;
  bool IsResult() const override { return false; }
  QString ResultText() const override { return QString(); }
  void Print(QPrinter *printer) const override;

 signals:
  void openFile(const QString &path);

 private:
  QString Html() const;

  CAppDoc &doc_;
  QLabel *summary_;
  QTreeWidget *files_;
};

#endif
