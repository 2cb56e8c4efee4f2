/*
 * docview.h - what the main window's commands ask of the view in the
 * active window (Copy, Select All, Clear, Save Results, Print), and the
 * sub-window that holds such a view (CChildFrame).
 */
#ifndef CSENTREL_DOCVIEW_H
#define CSENTREL_DOCVIEW_H

#include <QMdiSubWindow>
#include <QString>

class QPrinter;
class QTextDocument;

class CDocumentView {
 public:
  virtual ~CDocumentView() = default;
  virtual bool HasSelection() const = 0;
  /* The selection to the clipboard. */
  virtual void Copy() = 0;
  virtual void SelectAll() = 0;
  virtual bool CanClear() const { return false; }
  virtual void Clear() {}
  /* Save Results writes this; an empty result means the window holds no
   * results (a source window). */
  virtual bool IsResult() const { return true; }
  virtual QString ResultText() const = 0;
  virtual void Print(QPrinter *printer) const = 0;
};

/* A document window in the main window's window area.  Kind tells the
 * windows of a check run from the others. */
class CChildFrame : public QMdiSubWindow {
  Q_OBJECT
 public:
  enum EKind { Log, Output, Results, Source, Application };

  CChildFrame(EKind kind, QWidget *view, CDocumentView *commands, QWidget *parent = nullptr);
  EKind Kind() const { return kind_; }
  CDocumentView *Commands() const { return commands_; }

 protected:
  void SetCommands(CDocumentView *commands) { commands_ = commands; }

 private:
  EKind kind_;
  CDocumentView *commands_;
};

/* Prints plain text in a fixed-width font, or an HTML document, with the
 * window's title as the document title. */
void PrintPlainText(QPrinter *printer, const QString &text);
void PrintDocument(QPrinter *printer, QTextDocument &document);
/* Puts text on the clipboard. */
void CopyText(const QString &text);

#endif
