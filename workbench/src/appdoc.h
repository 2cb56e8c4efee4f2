/*
 * appdoc.h - the open application as the workbench handles it (CAppDoc):
 * opening, saving, Save As, and the questions about unsaved changes and
 * files to replace.  The application itself is the environment's current
 * one; this class only asks, reports and keeps the windows informed.
 */
#ifndef CSENTREL_APPDOC_H
#define CSENTREL_APPDOC_H

#include <QObject>
#include <QString>
#include <memory>
#include <vector>

#include "tessary_persist.h"

class CApplication;
class CPrompter;
class QWidget;

class CAppDoc : public QObject, public CNotifiedByState {
  Q_OBJECT
 public:
  CAppDoc(CPrompter &prompter, QWidget *window, QObject *parent = nullptr);
  ~CAppDoc() override;

  CApplication *App() const;
  bool IsOpen() const { return App() != nullptr; }
  /* The application or any of its file entries or settings changed since
   * it was loaded or saved. */
  bool IsModified() const;
  /* The file's name, for titles; empty without an application. */
  QString Title() const;
  QString Path() const;

  /* Asks to save unsaved changes first; then opens the file.  On failure
   * the messages are in the log and no application is open. */
  bool Open(const QString &path);
  /* Asks for a file (File / Open...). */
  bool OpenWithChooser();
  /* Save as the current file, or ask for one when there is none. */
  bool Save();
  bool SaveAs();
  /* "Application %s is not saved. Do you want to save it?": true when the
   * caller may go on (saved, or the user said No). */
  bool SaveModified();
  /* Closes the application without asking. */
  void Close();

  /* Asks for a file to write an application to: the extension added when
   * missing, replacing an existing file confirmed.  Empty when cancelled. */
  QString ChooseApplicationFile(const QString &caption, const QString &proposed);
  /* Reports through the log; false on failure. */
  static bool SaveApplication(CApplication *app);

  /* Tells the windows that the application changed in a way its own
   * modified flag does not show (file entries, settings). */
  void Refresh() { emit changed(); }

  void OnModifiedState(CModifiedState *source, bool modified) override;

 signals:
  /* Opened, closed, saved or modified. */
  void changed();
  /* A file was opened or saved under a name: for the recent files. */
  void fileUsed(const QString &path);

 private:
  void Watch(CApplication *app);

  CPrompter &prompter_;
  QWidget *window_;
  CApplication *watched_ = nullptr;
};

/* Every companion (definitions, macro names, ignore clauses) of the file
 * entries and, with own, of the application itself. */
std::vector<CPersistFileObjectNoFileIfEmpty *> Companions(CApplication &app, bool own = true);
/* Gives those companions no file, so that the next save writes them under
 * new names beside the application file. */
void DetachCompanions(CApplication &app, bool own = true);

#endif
