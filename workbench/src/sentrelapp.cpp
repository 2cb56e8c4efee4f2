/*
 * sentrelapp.cpp - the program object's start and end sequences.
 */
#include "sentrelapp.h"

#include <QSettings>

#include "art.h"

CSentrelApp::CSentrelApp() : log_(logDoc_) {
  InitArt();
  /* Every message of the start sequence has somewhere to go. */
  TheErrorLog = &log_;
  env_ = std::make_unique<CSentrelEnvironment>();
  TheEnvironment = env_.get();
}

/* The environment clears TheEnvironment as it goes; the log goes last. */
CSentrelApp::~CSentrelApp() {
  env_.reset();
  if (TheErrorLog == &log_) TheErrorLog = nullptr;
}

bool CSentrelApp::Start(const QString &programPath, QString &error) {
  try {
    env_->Start(CPathName(programPath.toStdString()), true);
  } catch (const CZKException &e) {
    error = QString::fromStdString(log_.GetMsg(CZKError::eError, e.GetID(), e.GetArg(), std::string()));
    log_.Report(e);
    return false;
  }
  started_ = true;
  return true;
}

bool CSentrelApp::End() {
  if (!started_) return true;
  bool ok = env_->SaveLastUsage();
  ok = env_->SaveProfiles() && ok;
  ok = env_->SaveRuleSets() && ok;
  if (settings_) settings_->sync();
  return ok;
}

QSettings &CSentrelApp::Settings() {
  if (!settings_) {
    env_->EnsureUserDir();
    QString file = QString::fromStdString((GetUserConfigDir() + CPathName("csentrel.ini")).Str());
    settings_ = std::make_unique<QSettings>(file, QSettings::IniFormat);
  }
  return *settings_;
}
