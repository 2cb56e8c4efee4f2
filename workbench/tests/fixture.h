/*
 * fixture.h - a workbench started as the program starts it, in a private
 * world: its own per-user directory, temporary directory and (when asked)
 * settings file, with a scripted prompter; and the example application
 * written there.
 */
#ifndef CSENTREL_FIXTURE_H
#define CSENTREL_FIXTURE_H

#include <QDir>
#include <QTemporaryDir>
#include <memory>

#include "mainframe.h"
#include "scripted_prompter.h"
#include "sentrelapp.h"

class CWorkbenchFixture {
 public:
  /* settings: the text of a settings file, or empty for the build tree's
   * own etc/csentrel.conf. */
  explicit CWorkbenchFixture(const QString &settings = QString());
  ~CWorkbenchFixture();

  static QString BuildDir();
  static QString SourceDir();
  /* Absolute path of a file of the build tree (bin/, util/, rules/). */
  static QString Built(const QString &relative) { return BuildDir() + '/' + relative; }

  /* The example project as an application in the fixture's directory,
   * with the installation's ISO C profile and, when ruleSet, its default
   * rule set; its path. */
  QString WriteDemoApplication(const QString &name = "demo.app", bool ruleSet = true);
  /* Files left in the temporary directory. */
  QStringList TempFiles() const;
  /* The log's lines. */
  QStringList Log() const;
  QString Path(const QString &name) const { return dir.filePath(name); }

  QTemporaryDir dir;
  QString tmp;
  CScriptedPrompter prompter;
  std::unique_ptr<CSentrelApp> app;
  std::unique_ptr<CMainFrame> frame;
  bool started = false;
};

#endif
