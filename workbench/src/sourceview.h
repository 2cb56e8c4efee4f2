/*
 * sourceview.h - a source file shown read-only on a violation: the
 * document (CSourceDoc: the file and the reported line), the text view
 * with line numbers, syntax colouring and the marked line (CSourceView)
 * and its window (CSourceFrame), titled "name (line)".
 */
#ifndef CSENTREL_SOURCEVIEW_H
#define CSENTREL_SOURCEVIEW_H

#include <QObject>
#include <QPlainTextEdit>

#include "docview.h"

class CSyntaxHighlighter;

class CSourceDoc : public QObject {
  Q_OBJECT
 public:
  explicit CSourceDoc(QObject *parent = nullptr) : QObject(parent) {}
  /* Reads the file; false (and nothing changed) when it cannot be read. */
  bool Load(const QString &path);
  const QString &Path() const { return path_; }
  const QString &Text() const { return text_; }
  int Line() const { return line_; }
  void SetLine(int line);
  /* "name (line)". */
  QString Title() const;

 signals:
  void lineChanged(int line);

 private:
  QString path_;
  QString text_;
  int line_ = 0;
};

class CSourceView : public QPlainTextEdit, public CDocumentView {
  Q_OBJECT
 public:
  explicit CSourceView(CSourceDoc *doc, QWidget *parent = nullptr);
  CSourceDoc *Doc() const { return doc_; }
  /* Caret at the start of line (1-based), the line in view and marked. */
  void GoToLine(int line);
  /* The caret's line and column, 1-based. */
  int CaretLine() const;
  int CaretColumn() const;
  int MarkedLine() const { return marked_; }

  bool HasSelection() const override;
  void Copy() override;
  void SelectAll() override;
  bool IsResult() const override { return false; }
  QString ResultText() const override { return QString(); }
  void Print(QPrinter *printer) const override;

 signals:
  void caretMoved(int line, int column);

 protected:
  void resizeEvent(QResizeEvent *e) override;

 private:
  friend class CLineNumberArea;
  int GutterWidth() const;
  void PaintGutter(QPaintEvent *e);
  void UpdateGutter(const QRect &rect, int dy);
  void UpdateMarks();

  CSourceDoc *doc_;
  QWidget *gutter_;
  CSyntaxHighlighter *highlighter_;
  int marked_ = 0;
};

class CSourceFrame : public CChildFrame {
  Q_OBJECT
 public:
  CSourceFrame(CSourceDoc *doc, QWidget *parent = nullptr);
  CSourceView *View() const { return view_; }

 private:
  CSourceView *view_;
};

#endif
