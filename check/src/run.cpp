/*
 * run.cpp - the check run and its repetition.  The checker runs the rules
 * only on a model analysed without error, so one source it cannot analyse
 * would hide every finding: such sources are reported with the checker's
 * messages and the run is made again without them.
 */
#include "run.h"

#include <csignal>
#include <cstdio>
#include <set>
#include <unistd.h>

#include "console.h"
#include "engine_process.h"

/* Set by SIGINT and SIGTERM: the checker is ended and the run's files
 * deleted before kvx_check stops. */
static volatile std::sig_atomic_t interrupted = 0;
static void OnSignal(int) { interrupted = 1; }

/* Reads what was added to the console file since the last call. */
class ConsoleReader {
 public:
  explicit ConsoleReader(const std::string &path) : path_(path) {}
  ~ConsoleReader() {
    if (f_) std::fclose(f_);
  }
  void Poll(ConsoleState &state) {
    if (!f_) f_ = std::fopen(path_.c_str(), "rb");
    if (!f_) return;
    std::clearerr(f_);
    int c;
    while ((c = std::fgetc(f_)) != EOF) {
      if (c == '\n') {
        ReadConsoleLine(state, partial_);
        partial_.clear();
      } else {
        partial_ += static_cast<char>(c);
      }
    }
  }
  void Finish(ConsoleState &state) {
    Poll(state);
    if (!partial_.empty()) ReadConsoleLine(state, partial_);
    partial_.clear();
  }

 private:
  std::string path_, partial_;
  FILE *f_ = nullptr;
};

/* The progress line, redrawn only when it changes. */
static void ShowProgress(const CheckContext &ctx, const ConsoleState &s, int files, int rules, std::string &shown) {
  if (!ctx.interactive) return;
  char line[160];
  if (s.sourcesDone < files || rules == 0)
    std::snprintf(line, sizeof line, "%s: analysing sources %d/%d", ctx.program.c_str(), s.sourcesDone, files);
  else
    std::snprintf(line, sizeof line, "%s: running rules %d/%d", ctx.program.c_str(), s.ruleLinesDone / 2, rules);
  if (shown == line) return;
  shown = line;
  std::fprintf(stderr, "\r\033[K%s", line);
  std::fflush(stderr);
}

static void ClearProgress(const CheckContext &ctx) {
  if (!ctx.interactive) return;
  std::fprintf(stderr, "\r\033[K");
  std::fflush(stderr);
}

/* One run of the checker on the application's checked files. */
static bool RunOnce(Project &p, CheckContext &ctx, CCheckRun &run, ConsoleState &state, int &status) {
  if (!run.Prepare(*p.app, p.ruleSet)) {
    ctx.errors.push_back({"", {"Please specify rule set."}, false});
    return false;
  }
  EngineProcess engine;
  std::string why;
  if (!engine.Start(run.GetArguments(), run.GetWorkingDirectory().Str(), run.GetConsolePath().Str(),
                    {"KVX_PROGRESS=1"}, why)) {
    ctx.errors.push_back({"", {run.GetCheckerPath().Str() + ": cannot be started: " + why}, false});
    return false;
  }
  ConsoleReader console(run.GetConsolePath().Str());
  std::string shown;
  while (!engine.WaitFor(100)) {
    if (interrupted) {
      engine.Kill();
      ClearProgress(ctx);
      return false;
    }
    console.Poll(state);
    ShowProgress(ctx, state, run.GetFileCount(), run.GetRuleCount(), shown);
  }
  console.Finish(state);
  ClearProgress(ctx);
  status = engine.Status();
  FinishConsole(state, status);
  return true;
}

bool RunCheck(Project &p, CheckContext &ctx, std::vector<SViolation> &records) {
  struct sigaction sa = {}, oldInt = {}, oldTerm = {};
  sa.sa_handler = OnSignal;
  sigaction(SIGINT, &sa, &oldInt);
  sigaction(SIGTERM, &sa, &oldTerm);
  std::set<std::string> failed;
  CCheckRun run;
  bool ok = false;
  for (;;) {
    for (const auto &e : p.app->GetFileEntries())
      if (failed.count(e->GetFilePath().Str())) e->SetCheck(false);
    ctx.sourcesAnalysed = 0;
    bool anyChecked = false;
    for (const auto &e : p.app->GetFileEntries()) anyChecked = anyChecked || e->IsCheck();
    if (!anyChecked) {
      ok = true;  /* nothing left that can be analysed */
      break;
    }
    ConsoleState state;
    int status = -1;
    try {
      if (!RunOnce(p, ctx, run, state, status)) break;
    } catch (const CZKException &e) {
      ctx.errors.push_back({"", {e.what()}, false});
      break;
    }
    bool newFailure = false;
    for (const auto &f : state.failures) {
      if (f.isRule) {
        ctx.errors.push_back({f.subject, f.messages, true});
        continue;
      }
      CPathName source(f.subject);
      source.Canonicalize();
      if (failed.insert(source.Str()).second) {
        ctx.errors.push_back({source.Str(), f.messages, false});
        newFailure = true;
      }
    }
    bool rulesRan = state.ruleLinesDone > 0 || (status == 0 && run.GetRuleCount() == 0);
    if (newFailure && !rulesRan) continue;
    for (const auto &m : state.otherErrors) ctx.errors.push_back({"", {m}, false});
    if (status != 0 && status != 1 && !newFailure && state.otherErrors.empty())
      ctx.errors.push_back({"", {run.GetCheckerPath().Str() + " ended with status " + std::to_string(status)}, false});
    int sourceFailures = 0;
    for (const auto &f : state.failures) sourceFailures += f.isRule ? 0 : 1;
    ctx.sourcesAnalysed = state.sourcesDone - sourceFailures;
    ctx.rulesRan = rulesRan;
    if (rulesRan) ReadViolationReport(run.GetReportPath(), records);
    ok = true;
    break;
  }
  run.Clear();
  sigaction(SIGINT, &oldInt, nullptr);
  sigaction(SIGTERM, &oldTerm, nullptr);
  if (interrupted) {
    std::fprintf(stderr, "%s: interrupted\n", ctx.program.c_str());
    std::signal(SIGINT, SIG_DFL);
    std::raise(SIGINT);
  }
  return ok;
}
