/*
 * makefill.h - filling an application's file list from its makefile
 * through the profile's extract-files command (the application file
 * retriever), after File / New or File / Modify.
 *
 * The retriever is given the profile and a copy of the application saved
 * beside it under a temporary name; it rewrites that copy, whose file
 * entries, makefile and target the open application then takes over.
 */
#ifndef CSENTREL_MAKEFILL_H
#define CSENTREL_MAKEFILL_H

#include <QDialog>
#include <functional>

class CApplication;
class CPrompter;
class CWaitDialog;
class QLineEdit;

/* "Add Files to the Application from external resource". */
class CMakefileDialog : public QDialog {
  Q_OBJECT
 public:
  CMakefileDialog(QWidget *parent, const QString &makefile);
  QString Makefile() const;
  QLineEdit *MakefileEdit() const { return edit_; }

 private:
  QLineEdit *edit_;
};

class CFillFromMakefile {
 public:
  enum EResult {
    Skipped, /* no retriever, no makefile, or the user declined */
    Filled,
    Failed   /* messages are in the log */
  };

  CFillFromMakefile(QWidget *window, CPrompter &prompter) : window_(window), prompter_(prompter) {}
  EResult Fill(CApplication &app);
  /* Called with the progress dialog once it is shown. */
  std::function<void(CWaitDialog &)> onWaiting;

  static QString CancelQuestion();

 private:
  QWidget *window_;
  CPrompter &prompter_;
};

#endif
