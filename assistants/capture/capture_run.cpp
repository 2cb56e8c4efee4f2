/*
 * capture_run.cpp - recording a compile in the application and running the
 * user's compiler or make.
 */
#include "capture_run.h"

#include <algorithm>

#include "capture_command.h"
#include "capture_list.h"
#include "capture_lock.h"
#include "tessary_app.h"
#include "tessary_env.h"
#include "wendrel_cmdline.h"
#include "wendrel_run.h"

namespace {

/* Stored and captured lists differ when their lengths differ or a captured
 * item is missing from the stored ones. */
bool Differs(const CCommaList &stored, const std::vector<std::string> &captured) {
  std::vector<std::string> items = stored.GetItems();
  if (items.size() != captured.size()) return true;
  for (const std::string &c : captured)
    if (std::find(items.begin(), items.end(), Trimmed(c)) == items.end()) return true;
  return false;
}

CCommaList ListOf(const std::vector<std::string> &items) {
  CCommaList list;
  list.SetItems(items);
  return list;
}

void StoreOptions(CFileEntry &entry, const SCaptureRequest &request) {
  entry.GetPreprocessor()->SetDefines(ListOf(request.defines));
  entry.GetPreprocessor()->SetIncludes(ListOf(request.includes));
}

}  // namespace

std::string GetReplaceOptionsQuestion(const CPathName &file) {
  return "Do you want to replace options for the file \"" + file.Str() + "\"?";
}

void CCaptureRun::Say(const std::string &text) {
  if (err_) std::fprintf(err_, "teskel: %s\n", text.c_str());
}

bool CCaptureRun::LoadApplication(CApplication &app, const SCaptureRequest &request) {
  app.SetFilePath(request.appPath);
  try {
    app.Load();
  } catch (const CZKException &e) {
    Say(e.what());
    return false;
  }
  if (app.GetMakefilePath().IsEmpty()) {
    Say(request.appPath.Str() + ": the application names no makefile; nothing is run");
    return false;
  }
  return true;
}

bool CCaptureRun::Apply(CApplication &app, const SCaptureRequest &request) {
  bool modified = false;
  for (const CPathName &source : request.sources) {
    CFileEntry *entry = app.FindFileEntry(source);
    if (!entry) {
      entry = app.AddFileEntry(source);
      StoreOptions(*entry, request);
      modified = true;
    } else if (Differs(entry->GetPreprocessor()->GetDefines(), request.defines) ||
               Differs(entry->GetPreprocessor()->GetIncludes(), request.includes)) {
      if (!asker_ || !asker_->CanAsk()) {
        Say("the options of " + source.Str() + " differ from those stored in " +
            request.appPath.Str() + " and are not updated (no display to ask on)");
      } else if (asker_->AskReplaceOptions(source)) {
        StoreOptions(*entry, request);
        modified = true;
      }
    }
    entry->SetReferenced(true);
  }
  return modified;
}

bool CCaptureRun::Record(const SCaptureRequest &request) {
  CApplicationLock lock(request.appPath);
  if (!request.sources.empty() && !lock.Lock()) {
    Say("cannot lock the application: " + lock.GetError());
    return false;
  }
  CApplication app;
  if (!LoadApplication(app, request)) return false;
  if (request.sources.empty()) return true;
  if (Apply(app, request)) {
    try {
      app.Save();
    } catch (const CZKException &e) {
      Say(e.what());
      return false;
    }
  }
  if (!AppendToCaptureList(request.appPath, request.sources)) {
    Say("cannot write " + GetCaptureListPath(request.appPath).Str());
    return false;
  }
  return true;
}

std::string CCaptureRun::MakeCommand(const SCaptureRequest &request) {
  CApplication app;
  if (!LoadApplication(app, request)) return std::string();
  CProfile *profile = app.GetAppProfile();
  CPathName program = GetCaptureProgramPath(TheEnvironment ? TheEnvironment->GetKvxAnalyzerPath() : CPathName());
  if (!profile || program.IsEmpty() || !program.IsFile()) {
    Say("the capture program is not set up (PATH_KVX_ANALYZER); nothing is run");
    return std::string();
  }
  std::string cmd = QuoteCmdArg(request.command);
  std::string buildAll = OptionWords(profile->GetMakeCommand()->GetBuildAllOption());
  if (!buildAll.empty()) cmd += " " + buildAll;
  cmd += MakeRedirections(profile->GetLstMakVars(), program, request.appPath);
  for (const std::string &arg : request.passThrough) cmd += " " + QuoteCmdArg(arg);
  return cmd;
}

int CCaptureRun::RunCommand(const std::string &cmd, const std::string &program) {
  int status = -1;
  if (!ProcessCmdLineWait(cmd.c_str(), nullptr, 0, &status)) {
    Say("cannot run " + program);
    return eCaptureCannotRun;
  }
  return status < 0 ? eCaptureFailed : status;
}

int CCaptureRun::Run(const SCaptureRequest &request) {
  if (!request.IsValid()) {
    Say("usage: teskel /app=<application file> (/cc=<compiler> | /mk=<make>) arguments...");
    return eCaptureUsage;
  }
  std::string cmd;
  if (request.isCompiler) {
    if (!Record(request)) return eCaptureFailed;
    cmd = QuoteCmdArg(request.command);
    for (const std::string &arg : request.passThrough) cmd += " " + QuoteCmdArg(arg);
  } else {
    cmd = MakeCommand(request);
    if (cmd.empty()) return eCaptureFailed;
  }
  return RunCommand(cmd, request.command);
}
