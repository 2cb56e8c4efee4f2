/*
 * prompter.h - every question the workbench asks its user.
 *
 * Windows never open a message box or a file dialog themselves: they ask a
 * CPrompter.  The program installs CDialogPrompter, which shows the usual
 * dialogs; tests install one that answers from a script, so that no modal
 * loop is ever entered while they run.
 */
#ifndef CSENTREL_PROMPTER_H
#define CSENTREL_PROMPTER_H

#include <QString>
#include <QStringList>
#include <functional>

class QPrinter;
class QWidget;

class CPrompter {
 public:
  enum EAnswer { Yes, No, Cancel };
  enum ESeverity { Information, Warning, Critical };

  virtual ~CPrompter() = default;

  /* A yes / no / cancel question (unsaved changes). */
  virtual EAnswer AskYesNoCancel(QWidget *parent, const QString &text) = 0;
  /* A question answered Yes or No; true for Yes. */
  virtual bool AskYesNo(QWidget *parent, const QString &text) = 0;
  /* A question answered OK or Cancel; true for OK. */
  virtual bool Confirm(QWidget *parent, const QString &text) = 0;
  /* A message the user acknowledges. */
  virtual void Inform(QWidget *parent, const QString &text, ESeverity severity) = 0;
  /* A line of text; false when the user cancels. */
  virtual bool AskText(QWidget *parent, const QString &title, const QString &label,
                       QString &text) = 0;

  /* File choosers: filter in Qt's form ("Application Files (*.app)");
   * an empty result means cancelled.  ChooseSaveFile does not ask about
   * replacing an existing file: the caller does, through Confirm. */
  virtual QString ChooseOpenFile(QWidget *parent, const QString &caption, const QString &dir,
                                 const QString &filter) = 0;
  virtual QStringList ChooseOpenFiles(QWidget *parent, const QString &caption,
                                      const QString &dir, const QString &filter) = 0;
  virtual QString ChooseSaveFile(QWidget *parent, const QString &caption, const QString &dir,
                                 const QString &filter) = 0;

  /* The makefile of an application ("Add Files to the Application from
   * external resource"), prefilled with path; false when cancelled. */
  virtual bool AskMakefile(QWidget *parent, QString &path) = 0;

  /* Printing: the print and page-setup dialogs (true to go on), and the
   * preview, which calls paint for every rendering it needs. */
  virtual bool SetupPrint(QWidget *parent, QPrinter &printer) = 0;
  virtual bool SetupPage(QWidget *parent, QPrinter &printer) = 0;
  virtual void Preview(QWidget *parent, QPrinter &printer,
                       const std::function<void(QPrinter *)> &paint) = 0;
};

/* The real dialogs. */
class CDialogPrompter : public CPrompter {
 public:
  EAnswer AskYesNoCancel(QWidget *parent, const QString &text) override;
  bool AskYesNo(QWidget *parent, const QString &text) override;
  bool Confirm(QWidget *parent, const QString &text) override;
  void Inform(QWidget *parent, const QString &text, ESeverity severity) override;
  bool AskText(QWidget *parent, const QString &title, const QString &label,
               QString &text) override;
  QString ChooseOpenFile(QWidget *parent, const QString &caption, const QString &dir,
                         const QString &filter) override;
  QStringList ChooseOpenFiles(QWidget *parent, const QString &caption, const QString &dir,
                              const QString &filter) override;
  QString ChooseSaveFile(QWidget *parent, const QString &caption, const QString &dir,
                         const QString &filter) override;
  bool AskMakefile(QWidget *parent, QString &path) override;
  bool SetupPrint(QWidget *parent, QPrinter &printer) override;
  bool SetupPage(QWidget *parent, QPrinter &printer) override;
  void Preview(QWidget *parent, QPrinter &printer,
               const std::function<void(QPrinter *)> &paint) override;
};

/* The product's name, as titles show it, and the file filters of the
 * file choosers in Qt's form. */
extern const char *const kProductName;
extern const char *const kApplicationFilter;
extern const char *const kResultFilter;
extern const char *const kProfileFilter;
extern const char *const kDatabaseFilter;
extern const char *const kRuleSetFilter;

#endif
