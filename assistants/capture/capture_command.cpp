/*
 * capture_command.cpp - building the command line of a capture build.
 */
#include "capture_command.h"

#include "wendrel_cmdline.h"

namespace {

bool IsShellSafe(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
         std::string_view("_-+=/.,:@%").find(c) != std::string_view::npos;
}

std::string ShortForm(CPathName p) {
  p.MakeShort();
  return p.Str();
}

}  // namespace

CPathName GetCaptureProgramPath(const CPathName &analyzerPath) {
  if (analyzerPath.IsEmpty() || analyzerPath.IsFile()) return analyzerPath;
  return analyzerPath + CPathName("teskel");
}

std::string QuoteForMake(const std::string &text) {
  std::string word;
  bool safe = !text.empty();
  for (char c : text) safe = safe && IsShellSafe(c);
  if (safe) {
    word = text;
  } else {
    word = "'";
    for (char c : text) word += c == '\'' ? std::string("'\\''") : std::string(1, c);
    word += "'";
  }
  std::string out;
  for (char c : word) {
    out += c;
    if (c == '$') out += '$';
  }
  return out;
}

std::string MakeRedirection(const MakVar &var, const CPathName &program, const CPathName &app) {
  std::string value = QuoteForMake(ShortForm(program)) + " /app=" + QuoteForMake(ShortForm(app)) +
                      (var.kind == MakVar::eCompile ? " /cc=" : " /mk=") + var.value;
  /* NAME="value" as long as the value needs no escaping for the runner. */
  if (value.find_first_of("\"\\") == std::string::npos) return var.name + "=\"" + value + "\"";
  return QuoteCmdArg(var.name + "=" + value);
}

std::string MakeRedirections(const std::vector<MakVar> &vars, const CPathName &program,
                             const CPathName &app) {
  std::string out;
  for (const MakVar &v : vars)
    if (v.kind == MakVar::eCompile || v.kind == MakVar::eMake) out += " " + MakeRedirection(v, program, app);
  return out;
}

std::string OptionWords(const std::string &text) { return JoinCmdLine(SplitCmdLine(text)); }

std::string MakeCaptureCommand(const CMakeCommand &make, const CPathName &makefile,
                               const std::string &target, const std::vector<MakVar> &vars,
                               const CPathName &program, const CPathName &app) {
  std::string makePath = Trimmed(make.GetMakeCommandPath());
  if (makePath.empty() || program.IsEmpty()) return std::string();
  CPathName makeProgram(makePath);
  std::string cmd = QuoteCmdArg(makeProgram.IsFull() ? ShortForm(makeProgram) : makePath);
  cmd += " " + OptionWords(make.GetMakefileNameOption());
  cmd += " " + QuoteCmdArg(ShortForm(makefile));
  cmd += " " + OptionWords(make.GetTargetOption());
  cmd += " " + OptionWords(target);
  cmd += " " + OptionWords(make.GetBuildAllOption());
  return cmd + MakeRedirections(vars, program, app);
}
