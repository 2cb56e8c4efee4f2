/*
 * output.h - the checker's console output of the last run: the document
 * (COutputDoc) and the read-only text view of the "Output" window
 * (COutputView).
 */
#ifndef CSENTREL_OUTPUT_H
#define CSENTREL_OUTPUT_H

#include <QObject>
#include <QPlainTextEdit>

#include "docview.h"

class COutputDoc : public QObject {
  Q_OBJECT
 public:
  explicit COutputDoc(QObject *parent = nullptr) : QObject(parent) {}
  /* Reads the console-output file; false when it cannot be read (the text
   * then says so). */
  bool Load(const QString &path);
  void SetText(const QString &text);
  const QString &Text() const { return text_; }

 signals:
  void textChanged(const QString &text);

 private:
  QString text_;
};

class COutputView : public QPlainTextEdit, public CDocumentView {
  Q_OBJECT
 public:
  explicit COutputView(COutputDoc *doc, QWidget *parent = nullptr);

  bool HasSelection() const override;
  void Copy() override;
  void SelectAll() override;
  bool CanClear() const override { return true; }
  void Clear() override;
  QString ResultText() const override { return doc_->Text(); }
  void Print(QPrinter *printer) const override;

 private:
  COutputDoc *doc_;
};

#endif
