/*
 * assistant.cpp - the steps of the makefile import assistant and of its
 * make command settings mode.
 */
#include "assistant.h"

#include "capture_command.h"
#include "capture_list.h"
#include "capture_lock.h"
#include "makefile_vars.h"
#include "tessary_compdb.h"
#include "wendrel_run.h"

const char *const kMorvaneTitle = "Morvane";
const char *const kConfirmMakefileText =
    "Confirm the name of the makefile file of your application project.\n\n"
    "Warning: in order to find all of the files involved in your project, C Sentrel needs to run "
    "the commands contained in the makefile file. If you click OK now your application will be "
    "rebuilt. Proceed?";
const char *const kConfirmDatabaseText =
    "Confirm the compilation database (compile_commands.json) of your application project.\n\n"
    "Its C files are added to the application with the macros and include directories they are "
    "compiled with. Nothing is built.";
const char *const kNoMakeCommandText = "Please modify profile: enter a valid make command path.";
const char *const kNoAnalyzerText = "Invalid analyzer path.";

namespace {

/* A path the user typed, taken from the application's directory when it
 * is relative. */
CPathName FullFrom(const std::string &text, const CPathName &app) {
  std::string t = Trimmed(text);
  if (t.empty()) return CPathName();
  CPathName p(t);
  p.MakeFullRelativeBy(app);
  p.Canonicalize();
  return p;
}

bool IsDatabaseName(const CPathName &p) { return p.CheckExtension("json"); }

/* What the import left out or could not carry over, in words; empty when
 * the database went in whole. */
std::string DatabaseSummary(const CCompilationDatabase &db, const CPathName &path, const CProfile &profile) {
  std::string text;
  auto add = [&text](const std::string &line) { text += (text.empty() ? "" : "\n") + line; };
  if (db.GetSkippedCount() > 0)
    add(std::to_string(db.GetSkippedCount()) + " entries are not C files (C++, assembler, ...) and were skipped.");
  if (db.GetInvalidCount() > 0)
    add(std::to_string(db.GetInvalidCount()) + " entries name no file or no command and were skipped.");
  if (db.GetDuplicateCount() > 0)
    add(std::to_string(db.GetDuplicateCount()) + " entries compile a file already read; the first one counts.");
  for (const auto &[option, count] : db.GetUnsupportedOptions())
    add("The option " + option + " of " + std::to_string(count) + " entries cannot be given to the checker.");
  std::string dialect = db.GetDialectOption();
  std::string own = profile.GetDialect() ? profile.GetDialect()->GetDialOption() : std::string();
  if (!dialect.empty() && dialect != own)
    add("The files are compiled as " + dialect + " (-std=), the profile's dialect is " +
        (own.empty() ? std::string("none") : own) + ".");
  if (text.empty()) return text;
  return std::to_string(db.GetEntries().size()) + " C files were read from " + path.Str() + ".\n" + text;
}

}  // namespace

void CMorvane::Fail(const std::string &text) { prompter_.Inform(text, CMorvanePrompter::Critical); }

void CMorvane::FailWith(const CZKException &e) {
  if (TheErrorLog)
    TheErrorLog->Report(e);
  else
    Fail(e.what());
}

bool CMorvane::LoadProfile(const CPathName &path) {
  auto profile = std::make_unique<CProfile>();
  profile->SetFilePath(path);
  try {
    if (!profile->Load()) {
      CPathName shown = path;
      shown.MakeLong();
      Fail(FormatMessageText(34053, shown.Str()));
      return false;
    }
  } catch (const CZKException &e) {
    FailWith(e);
    return false;
  }
  /* The application names this profile too: the environment gives it this
   * very object. */
  profile_ = profile.release();
  env_.AddProfile(profile_);
  profileModified_ = false;
  return true;
}

bool CMorvane::LoadApplication(const CPathName &path) {
  app_ = std::make_unique<CApplication>();
  app_->SetFilePath(path);
  try {
    app_->Load();
  } catch (const CZKException &e) {
    FailWith(e);
    return false;
  }
  return true;
}

bool CMorvane::SaveProfileIfModified() {
  if (!profileModified_) return true;
  /* The installation is never written: the choices serve this run. */
  if (env_.IsInstalledFile(profile_->GetFullPath())) return true;
  try {
    profile_->Save();
  } catch (const CZKException &e) {
    FailWith(e);
    return false;
  }
  profileModified_ = false;
  return true;
}

bool CMorvane::SaveApplication(bool onlyIfModified) {
  if (onlyIfModified && !app_->IsModified()) return true;
  CApplicationLock lock(appPath_);
  if (!lock.Lock()) {
    Fail(lock.GetError());
    return false;
  }
  try {
    app_->Save();
  } catch (const CZKException &e) {
    FailWith(e);
    return false;
  }
  return true;
}

bool CMorvane::AskMakefile(const CPathName &database, SMakefileChoice &choice) {
  const CPathName &stored = database.IsEmpty() ? app_->GetMakefilePath() : database;
  choice.database = !database.IsEmpty() || IsDatabaseName(stored);
  choice.makefile = stored.Str();
  choice.target = choice.database ? std::string() : app_->GetTargetPath();
  if (!prompter_.AskMakefile(choice)) return false;
  CPathName makefile = FullFrom(choice.makefile, appPath_);
  if (makefile != app_->GetMakefilePath()) app_->SetMakefilePath(makefile);
  if (!choice.database && Trimmed(choice.target) != app_->GetTargetPath())
    app_->SetTargetPath(Trimmed(choice.target));
  Pump_WM_PAINT();
  return true;
}

bool CMorvane::RunCapture() {
  const CMakeCommand &make = *profile_->GetMakeCommand();
  command_ = MakeCaptureCommand(make, app_->GetMakefilePath(), app_->GetTargetPath(), vars_, program_, appPath_);
  if (command_.empty()) {
    Fail(kNoMakeCommandText);
    return false;
  }
  std::string dir = app_->GetMakefilePath().GetDirectory().Str();
  if (!ProcessCmdLineWait(command_.c_str(), dir.c_str(), 5, &buildStatus_)) {
    Fail("The build cannot be started: " + command_);
    return false;
  }
  return true;
}

bool CMorvane::ReloadApplication() {
  CApplicationLock lock(appPath_);
  if (!lock.Lock()) {
    Fail(lock.GetError());
    return false;
  }
  if (!LoadApplication(appPath_)) return false;
  MarkCapturedEntries(*app_, ReadCaptureList(appPath_));
  return true;
}

void CMorvane::OfferUnreferencedFiles(bool keepByDefault) {
  std::vector<CPathName> unreferenced;
  for (const auto &e : app_->GetFileEntries())
    if (!e->IsReferenced()) unreferenced.push_back(e->GetFilePath());
  if (unreferenced.empty()) return;
  std::vector<CPathName> keep, remove;
  (keepByDefault ? keep : remove) = unreferenced;
  if (!prompter_.AskFilesToKeep(keep, remove)) return;
  for (const CPathName &p : remove)
    if (CFileEntry *e = app_->FindFileEntry(p)) app_->DeleteFileEntry(e);
  if (!remove.empty()) app_->SetModifiedState(true);
  Pump_WM_PAINT();
}

int CMorvane::Import(const CPathName &profile, const CPathName &application, const CPathName &database) {
  program_ = GetCaptureProgramPath(env_.GetKvxAnalyzerPath());
  if (program_.IsEmpty() || !program_.IsFile()) {
    Fail(kNoAnalyzerText);
    return Failed;
  }
  if (!LoadProfile(profile)) return Failed;
  if (Trimmed(profile_->GetMakeCommand()->GetMakeCommandPath()).empty()) {
    Fail(kNoMakeCommandText);
    return Failed;
  }
  appPath_ = application;
  appPath_.Canonicalize();
  if (!LoadApplication(appPath_)) return Failed;

  SMakefileChoice choice;
  if (!AskMakefile(database, choice)) return Done;
  if (app_->GetMakefilePath().IsEmpty()) {
    Fail(choice.database ? "No compilation database was given." : "No makefile was given.");
    return Failed;
  }
  for (const auto &e : app_->GetFileEntries()) e->SetReferenced(false);
  if (choice.database) {
    if (!ImportDatabase(app_->GetMakefilePath())) return Failed;
    OfferUnreferencedFiles(false);
    return SaveProfileIfModified() && SaveApplication(true) ? Done : Failed;
  }

  vars_ = ReadMakefileVariablesFrom(app_->GetMakefilePath(), profile_->GetLstMakVars(),
                                    profile_->GetMakeCommand()->GetMakeCommandPath());
  std::vector<MakVar> edited = vars_;
  if (!prompter_.AskVariables(edited)) return Done;
  Pump_WM_PAINT();
  if (edited != vars_) vars_ = edited;
  std::vector<MakVar> kept = ProfileVariablesOf(vars_);
  if (kept != profile_->GetLstMakVars()) {
    profile_->SetLstMakVars(kept);
    profileModified_ = true;
  }

  /* The referenced marks start clear; the capture program lists every file
   * it sees compiled. */
  std::string error;
  if (!SaveApplication(false)) return Failed;
  if (!StartCaptureList(appPath_, &error)) {
    Fail(error);
    return Failed;
  }
  if (!SaveProfileIfModified() || !SaveApplication(true)) return Failed;
  bool ran = RunCapture();
  bool reloaded = ran && ReloadApplication();
  RemoveCaptureList(appPath_);
  if (!reloaded) return Failed;
  if (buildStatus_ != 0)
    prompter_.Inform("The build ended with exit status " + std::to_string(buildStatus_) +
                         ". The files it did not compile are proposed to be kept in the application.",
                     CMorvanePrompter::Warning);
  OfferUnreferencedFiles(buildStatus_ != 0);
  return SaveProfileIfModified() && SaveApplication(true) ? Done : Failed;
}

int CMorvane::Init(const CPathName &profile) {
  if (!LoadProfile(profile)) return Failed;
  CMakeCommand *make = profile_->GetMakeCommand();
  SBuildSettings before{make->GetMakeCommandPath(), make->GetMakefileNameOption(), make->GetBuildAllOption(),
                        make->GetTargetOption()};
  SBuildSettings after = before;
  if (!prompter_.AskBuild(after)) return Done;
  if (after == before) return Done;
  if (env_.IsInstalledFile(profile_->GetFullPath())) {
    CPathName shown = profile_->GetFullPath();
    shown.MakeLong();
    Fail("The profile '" + shown.Str() +
         "' belongs to the installation and is not changed. Make a copy of it in the workbench and "
         "change the copy.");
    return Failed;
  }
  make->SetMakeCommandPath(after.makeCommand);
  make->SetMakefileNameOption(after.makefileOption);
  make->SetBuildAllOption(after.buildAllOption);
  make->SetTargetOption(after.targetOption);
  profileModified_ = true;
  return SaveProfileIfModified() ? Done : Failed;
}

bool CMorvane::ImportDatabase(const CPathName &database) {
  CCompilationDatabase db;
  try {
    db.Load(database);
  } catch (const CZKException &e) {
    std::string detail = db.GetErrorDetail();
    Fail(std::string(e.what()) + (detail.empty() ? std::string() : "\n" + detail));
    return false;
  }
  db.ImportInto(*app_);
  app_->SetModifiedState(true);
  std::string summary = DatabaseSummary(db, database, *profile_);
  if (!summary.empty()) prompter_.Inform(summary, CMorvanePrompter::Information);
  Pump_WM_PAINT();
  return true;
}
