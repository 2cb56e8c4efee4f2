/*
 * main.cpp - kvx_check: checks a project (an application, a compilation
 * database or sources) with the installation's checker and writes its
 * findings as text, gcc-style lines, SARIF or HTML.
 *
 * Exit status: 0 when no finding remains, 1 when findings remain, 2 when a
 * source could not be analysed or the input was wrong (--fail-on chooses
 * which of these fail).
 */
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fcntl.h>
#include <getopt.h>
#include <unistd.h>

#include "check.h"
#include "findings.h"
#include "output.h"
#include "project.h"
#include "rules_info.h"
#include "run.h"

namespace {

const char kUsage[] =
    "Usage: kvx_check [OPTION]... APPLICATION.app\n"
    "  or:  kvx_check [OPTION]... compile_commands.json|BUILD_DIR\n"
    "  or:  kvx_check [OPTION]... [-D NAME[=VALUE]]... [-I DIR]... SOURCE.c...\n"
    "Check C sources against the coding rules of a rule set and report the findings.\n"
    "\n"
    "What to check:\n"
    "  -D, --define=NAME[=VALUE]  define a macro for the sources given\n"
    "  -I, --include-dir=DIR      add an include directory for the sources given\n"
    "      --profile=NAME|FILE    the compiler profile (default: the application's,\n"
    "                             else the installation's GNU profile)\n"
    "      --rule-set=NAME|FILE   the rules to apply (default: the application's,\n"
    "                             else the installation's default rule set)\n"
    "      --root=DIR             the project's root (default: the version-control\n"
    "                             root above the sources, else their common directory)\n"
    "      --exclude=GLOB         leave out files matching GLOB (relative to the root)\n"
    "\n"
    "What to report:\n"
    "      --format=FORMAT        text, gcc, sarif or html (default: from the -o\n"
    "                             file's extension, else text on a terminal, else gcc)\n"
    "  -o, --output=FILE          write the report to FILE instead of standard output\n"
    "      --suppressions=FILE    suppress findings: lines 'GLOB [KEY[,KEY...]]'\n"
    "      --baseline=FILE        report only findings that are not in FILE\n"
    "      --write-baseline=FILE  write the findings as a baseline to FILE\n"
    "      --fail-on=WHEN         never, error or finding (default): what makes the\n"
    "                             exit status non-zero\n"
    "  -q, --quiet                no progress line and no notes on standard error\n"
    "\n"
    "Rules:\n"
    "      --list-rules           list the installed rules: key, title, reference\n"
    "      --explain=KEY          describe a rule, its parameters and their defaults\n"
    "\n"
    "      --help                 display this help and exit\n"
    "      --version              output version information and exit\n"
    "\n"
    "A finding is suppressed by a comment on its line or the line before it:\n"
    "  /* kvx-allow KEY[,KEY...]: reason */   or   // kvx-allow KEY: reason\n"
    "\n"
    "Exit status: 0 when no finding remains, 1 when findings remain, 2 when a\n"
    "source could not be analysed or the input was wrong.\n";

enum { OptProfile = 256, OptRuleSet, OptListRules, OptExplain, OptFormat, OptSuppressions, OptExclude,
       OptBaseline, OptWriteBaseline, OptFailOn, OptRoot, OptHelp, OptVersion };

/* Wrong command line: a message and a hint, status 2. */
int Usage(const char *program, const std::string &message) {
  std::fprintf(stderr, "%s: %s\nTry '%s --help' for more information.\n", program, message.c_str(), program);
  return 2;
}

bool ReadOptions(int argc, char **argv, Options &o, std::string &error) {
  static const struct option longOptions[] = {
      {"define", required_argument, nullptr, 'D'},
      {"include-dir", required_argument, nullptr, 'I'},
      {"output", required_argument, nullptr, 'o'},
      {"quiet", no_argument, nullptr, 'q'},
      {"profile", required_argument, nullptr, OptProfile},
      {"rule-set", required_argument, nullptr, OptRuleSet},
      {"list-rules", no_argument, nullptr, OptListRules},
      {"explain", required_argument, nullptr, OptExplain},
      {"format", required_argument, nullptr, OptFormat},
      {"suppressions", required_argument, nullptr, OptSuppressions},
      {"exclude", required_argument, nullptr, OptExclude},
      {"baseline", required_argument, nullptr, OptBaseline},
      {"write-baseline", required_argument, nullptr, OptWriteBaseline},
      {"fail-on", required_argument, nullptr, OptFailOn},
      {"root", required_argument, nullptr, OptRoot},
      {"help", no_argument, nullptr, OptHelp},
      {"version", no_argument, nullptr, OptVersion},
      {nullptr, 0, nullptr, 0}};
  opterr = 0;
  int c;
  while ((c = getopt_long(argc, argv, ":D:I:o:q", longOptions, nullptr)) != -1) {
    switch (c) {
      case 'D': o.defines.push_back(optarg); break;
      case 'I': o.includes.push_back(optarg); break;
      case 'o': o.output = optarg; break;
      case 'q': o.quiet = true; break;
      case OptProfile: o.profile = optarg; break;
      case OptRuleSet: o.ruleSet = optarg; break;
      case OptListRules: o.listRules = true; break;
      case OptExplain: o.explainKey = optarg; break;
      case OptFormat: {
        std::string f = optarg;
        o.formatGiven = true;
        if (f == "text") o.format = Format::Text;
        else if (f == "gcc") o.format = Format::Gcc;
        else if (f == "sarif") o.format = Format::Sarif;
        else if (f == "html") o.format = Format::Html;
        else { error = "unknown format '" + f + "' (text, gcc, sarif or html)"; return false; }
        break;
      }
      case OptSuppressions: o.suppressionFiles.push_back(optarg); break;
      case OptExclude: o.excludes.push_back(optarg); break;
      case OptBaseline: o.baseline = optarg; break;
      case OptWriteBaseline: o.writeBaseline = optarg; break;
      case OptFailOn: {
        std::string w = optarg;
        if (w == "never") o.failOn = FailOn::Never;
        else if (w == "error") o.failOn = FailOn::Error;
        else if (w == "finding") o.failOn = FailOn::Finding;
        else { error = "unknown --fail-on value '" + w + "' (never, error or finding)"; return false; }
        break;
      }
      case OptRoot: o.root = optarg; break;
      case OptHelp: o.help = true; break;
      case OptVersion: o.version = true; break;
      case ':': error = std::string("option '") + argv[optind - 1] + "' requires an argument"; return false;
      default: error = std::string("unrecognized option '") + argv[optind - 1] + "'"; return false;
    }
  }
  for (int i = optind; i < argc; ++i) o.inputs.push_back(argv[i]);
  return true;
}

/* Without --format: the -o file's extension, else text for a person at a
 * terminal and gcc lines for editors, pipes and CI logs. */
Format ChooseFormat(const Options &o) {
  if (o.formatGiven) return o.format;
  CPathName out(o.output);
  if (out.CheckExtension("sarif") || out.CheckExtension("json")) return Format::Sarif;
  if (out.CheckExtension("html") || out.CheckExtension("htm")) return Format::Html;
  if (o.output.empty() && isatty(STDOUT_FILENO)) return Format::Text;
  return o.output.empty() ? Format::Gcc : Format::Text;
}

/* The installation's messages: errors and warnings on standard error. */
class ConsoleErrorLog : public CErrorLog {
 public:
  explicit ConsoleErrorLog(const CheckContext &ctx) : ctx_(ctx) {}
  void ReportMessage(int type, unsigned id, const std::string &first, const std::string &second) override {
    if (type == CZKError::eInformation || (type == CZKError::eWarning && ctx_.opts.quiet)) return;
    std::fprintf(stderr, "%s: %s%s\n", ctx_.program.c_str(), type == CZKError::eWarning ? "warning: " : "",
                 FormatMessageText(id, first, second).c_str());
  }
  void BeginRun() override {}

 private:
  const CheckContext &ctx_;
};

void PrintErrors(const CheckContext &ctx) {
  for (const auto &e : ctx.errors) {
    if (e.isRule)
      std::fprintf(stderr, "%s: rule %s failed:\n", ctx.program.c_str(), e.subject.c_str());
    else if (!e.subject.empty())
      std::fprintf(stderr, "%s: %s: could not be analysed; checked without it:\n", ctx.program.c_str(),
                   DisplayPath(ctx, e.subject).c_str());
    for (const auto &m : e.messages)
      std::fprintf(stderr, "%s%s\n", e.subject.empty() && !e.isRule ? (ctx.program + ": ").c_str() : "    ", m.c_str());
  }
}

int ExitStatus(const CheckContext &ctx) {
  if (ctx.opts.failOn == FailOn::Never) return 0;
  if (!ctx.errors.empty()) return 2;
  if (ctx.opts.failOn == FailOn::Finding && ctx.Remaining() > 0) return 1;
  return 0;
}

int Check(CheckContext &ctx) {
  Project project;
  std::vector<SViolation> records;
  try {
    StartEnvironment(project);
    if (ctx.opts.listRules || !ctx.opts.explainKey.empty()) {
      CRuleSet *set = ctx.opts.ruleSet.empty() ? DefaultRuleSet(project) : FindRuleSet(project, ctx.opts.ruleSet);
      std::vector<RuleInfo> rules = DescribeRules(project, set, true);
      if (ctx.opts.listRules) {
        std::fputs(ListRules(rules).c_str(), stdout);
        return 0;
      }
      const RuleInfo *rule = FindRuleInfo(rules, ctx.opts.explainKey);
      if (!rule) return Usage(ctx.program.c_str(), "no rule with the key '" + ctx.opts.explainKey + "' (see --list-rules)");
      std::fputs(ExplainRule(*rule, set ? set->GetName() : std::string()).c_str(), stdout);
      return 0;
    }
    LoadProject(project, ctx);
    CheckInputFiles(ctx.opts);
    ctx.rules = DescribeRules(project, project.ruleSet, false);
    if (!RunCheck(project, ctx, records) && ctx.errors.empty()) return 2;
    CollectFindings(ctx, records);
    if (!ctx.opts.writeBaseline.empty()) WriteBaseline(ctx, ctx.opts.writeBaseline);
  } catch (const InputError &e) {
    std::fprintf(stderr, "%s: %s\n", ctx.program.c_str(), e.message.c_str());
    return 2;
  } catch (const FileError &e) {
    std::fprintf(stderr, "%s: %s\n", ctx.program.c_str(), e.message.c_str());
    return 2;
  } catch (const CZKException &e) {
    std::fprintf(stderr, "%s: %s\n", ctx.program.c_str(), e.what());
    return 2;
  }
  PrintErrors(ctx);

  std::string report;
  switch (ChooseFormat(ctx.opts)) {
    case Format::Text: report = FormatText(ctx); break;
    case Format::Gcc: report = FormatGcc(ctx); break;
    case Format::Sarif: report = FormatSarif(ctx); break;
    case Format::Html: report = FormatHtml(ctx); break;
  }
  if (ctx.opts.output.empty()) {
    std::fputs(report.c_str(), stdout);
    if (std::fflush(stdout) != 0) {
      std::fprintf(stderr, "%s: standard output: %s\n", ctx.program.c_str(), std::strerror(errno));
      return 2;
    }
  } else {
    std::string error;
    if (!WriteFileAtomically(ctx.opts.output, report, error)) {
      std::fprintf(stderr, "%s: %s\n", ctx.program.c_str(), error.c_str());
      return 2;
    }
    if (!ctx.opts.quiet) std::fprintf(stderr, "%s: %s.\n", ctx.program.c_str(), SummaryLine(ctx).c_str());
  }
  return ExitStatus(ctx);
}

/* Standard streams that were closed are opened on /dev/null, so that no
 * file kvx_check opens takes their place; true when standard output was
 * one of them. */
bool GuardStandardStreams() {
  bool outClosed = false;
  for (int fd = 0; fd <= 2; ++fd) {
    if (fcntl(fd, F_GETFD) != -1) continue;
    if (fd == 1) outClosed = true;
    int n = open("/dev/null", fd == 0 ? O_RDONLY : O_WRONLY);
    if (n >= 0 && n != fd) {
      dup2(n, fd);
      close(n);
    }
  }
  return outClosed;
}

}  // namespace

int main(int argc, char **argv) {
  bool outClosed = GuardStandardStreams();
  CheckContext ctx;
  std::string error;
  if (!ReadOptions(argc, argv, ctx.opts, error)) return Usage(ctx.program.c_str(), error);
  if (ctx.opts.help) {
    std::fputs(kUsage, stdout);
    return 0;
  }
  if (ctx.opts.version) {
    std::printf("kvx_check (Kavexo rule checker) 2.1\n");
    return 0;
  }
  if (ctx.opts.inputs.empty() && !ctx.opts.listRules && ctx.opts.explainKey.empty())
    return Usage(ctx.program.c_str(), "no input: give an application, a compilation database or sources");
  if (outClosed && ctx.opts.output.empty()) {
    std::fprintf(stderr, "%s: standard output is closed: give a report file with -o\n", ctx.program.c_str());
    return 2;
  }
  std::error_code ec;
  ctx.cwd = std::filesystem::current_path(ec).string();
  if (ctx.cwd.empty() || ctx.cwd.back() != '/') ctx.cwd += '/';
  ctx.interactive = !ctx.opts.quiet && isatty(STDERR_FILENO);
  ConsoleErrorLog log(ctx);
  TheErrorLog = &log;
  int status = Check(ctx);
  TheErrorLog = nullptr;
  return status;
}
