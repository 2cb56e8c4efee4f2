/*
 * sentrelapp.h - the program object (CSentrelApp): the error log installed
 * before anything is loaded, the environment and its start and end
 * sequences, and the per-user settings of the windows.
 */
#ifndef CSENTREL_SENTRELAPP_H
#define CSENTREL_SENTRELAPP_H

#include <QString>
#include <memory>

#include "errlog.h"
#include "tessary_env.h"

class QSettings;

/* The workbench's environment. */
class CSentrelEnvironment : public CEnvironment {};

class CSentrelApp {
 public:
  /* Installs the error log (TheErrorLog) and creates the environment;
   * nothing is loaded yet. */
  CSentrelApp();
  ~CSentrelApp();
  CSentrelApp(const CSentrelApp &) = delete;
  CSentrelApp &operator=(const CSentrelApp &) = delete;

  /* The start sequence with the program's path and the GUI flag.  False,
   * with the reason in error, when the installation's settings stop it. */
  bool Start(const QString &programPath, QString &error);
  /* The end sequence: last usage, profiles and rule sets.  False when one
   * of the files cannot be written. */
  bool End();

  CSentrelEnvironment &Environment() { return *env_; }
  CErrLogDoc &LogDoc() { return logDoc_; }
  CSentrelErrorLog &Log() { return log_; }
  /* Window geometry and recent files, in the per-user directory. */
  QSettings &Settings();
  static QString Version() { return QStringLiteral("1.1"); }

 private:
  CErrLogDoc logDoc_;
  CSentrelErrorLog log_;
  std::unique_ptr<CSentrelEnvironment> env_;
  std::unique_ptr<QSettings> settings_;
  bool started_ = false;
};

#endif
