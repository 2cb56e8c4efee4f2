/*
 * brindle.h - the program's main document and its view.
 *
 * CBrindleDoc holds the documents of a working session: the open
 * application, the log, and the console output and checker messages of the
 * last run.  CBrindleView is the window area of the main window in which
 * their windows open (the log, the Output window, the results tables and
 * the source windows); it knows where each kind of window goes.
 */
#ifndef CSENTREL_BRINDLE_H
#define CSENTREL_BRINDLE_H

#include <QMdiArea>
#include <QObject>
#include <QPointer>

#include "appdoc.h"
#include "messages.h"
#include "output.h"

class CErrLogDoc;
class CPrompter;
class CSourceFrame;
class CTableOutDoc;
class CTableOutFrame;
class CChildFrame;

class CBrindleDoc : public QObject {
  Q_OBJECT
 public:
  CBrindleDoc(CErrLogDoc &log, CPrompter &prompter, QWidget *window, QObject *parent = nullptr);
  CAppDoc &AppDoc() { return app_; }
  CErrLogDoc &LogDoc() { return log_; }
  COutputDoc &OutputDoc() { return output_; }
  CMessageDoc &MessageDoc() { return messages_; }

 private:
  CErrLogDoc &log_;
  CAppDoc app_;
  COutputDoc output_;
  CMessageDoc messages_;
};

class CBrindleView : public QMdiArea {
  Q_OBJECT
 public:
  CBrindleView(CBrindleDoc &doc, CPrompter &prompter, QWidget *parent = nullptr);

  /* The windows, created on first use. */
  CChildFrame *ShowLog(bool activate);
  CChildFrame *ShowOutput(bool activate);
  /* The Application window of the open application (refreshed), or none
   * when no application is open. */
  void ShowApplication();
  /* A results window for doc (which it takes over). */
  CTableOutFrame *ShowResults(CTableOutDoc *doc);
  /* The source window of path (one per file), on line; null when the file
   * cannot be read, which the user is told. */
  CSourceFrame *OpenSource(const QString &path, int line);

  /* Closes the results and source windows and any print preview; the
   * Output window stays for the next run's text. */
  void CloseResultWindows();
  /* Results above, Output below. */
  void ArrangeRunWindows();
  void ArrangeIcons();

  CChildFrame *ActiveFrame() const;
  /* The active results window, else the newest one. */
  CTableOutFrame *ResultsFrame() const;
  QList<CChildFrame *> Frames(int kind) const;

 signals:
  /* A source window's caret moved, or a window without caret became
   * active (line 0). */
  void caretMoved(int line, int column);

 private:
  enum EArea { Upper, Lower };
  void Place(CChildFrame *frame, EArea area, bool activate);
  QRect Area(EArea area) const;
  void resizeEvent(QResizeEvent *e) override;

  CBrindleDoc &doc_;
  CPrompter &prompter_;
  QPointer<CChildFrame> log_;
  QPointer<CChildFrame> output_;
  QPointer<CChildFrame> application_;
  /* Windows placed before the area had its size. */
  QList<QPair<QPointer<CChildFrame>, EArea>> unplaced_;
};

#endif
