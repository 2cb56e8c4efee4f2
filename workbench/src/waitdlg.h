/*
 * waitdlg.h - the dialogs shown while a child process runs: the modal
 * progress dialog with its animation and Cancel button (CWaitDialog), and
 * the small "Please wait..." box shown while results load
 * (CLoadingDialog).
 */
#ifndef CSENTREL_WAITDLG_H
#define CSENTREL_WAITDLG_H

#include <QDialog>

class CImageSlide;
class CPrompter;
class QPushButton;
struct SThreadParams;

class CWaitDialog : public QDialog {
  Q_OBJECT
 public:
  /* confirmCancel is the question Cancel asks before the run is ended. */
  CWaitDialog(QWidget *parent, CPrompter &prompter, const QString &title, const QString &text,
              const QString &confirmCancel);

  /* Shows the dialog until the worker of run has returned, polling it,
   * with the windows painted and the animation running.  Cancel, once
   * confirmed, signals the run's cancel event.  False when the user
   * cancelled. */
  bool Wait(SThreadParams &run);

  QPushButton *CancelButton() const { return cancel_; }
  CImageSlide *Animation() const { return slide_; }
  bool IsWaiting() const { return waiting_; }

 public slots:
  /* What Cancel, Escape and closing the window do. */
  void RequestCancel();
  void reject() override;

 protected:
  void closeEvent(QCloseEvent *e) override;

 private:
  CPrompter &prompter_;
  QString confirm_;
  CImageSlide *slide_;
  QPushButton *cancel_;
  SThreadParams *run_ = nullptr;
  bool cancelled_ = false;
  bool waiting_ = false;
};

/* A modeless box shown while the results of a run are read. */
class CLoadingDialog : public QDialog {
  Q_OBJECT
 public:
  explicit CLoadingDialog(QWidget *parent);
  /* Shows it and paints it at once. */
  void Present();
};

#endif
