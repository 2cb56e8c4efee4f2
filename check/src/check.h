/*
 * check.h - what kvx_check knows of one check: its options, the rules of
 * the run, the findings read from the checker's report and the sources
 * that could not be analysed.  Each stage (the run, the filters, the
 * formats) reads and fills one CheckContext.
 */
#ifndef KVX_CHECK_CHECK_H
#define KVX_CHECK_CHECK_H

#include <map>
#include <string>
#include <vector>

enum class Format { Text, Gcc, Sarif, Html };
enum class FailOn { Never, Error, Finding };

struct Options {
  std::vector<std::string> inputs;
  std::vector<std::string> defines, includes;  /* -D, -I for sources */
  std::string profile, ruleSet;
  std::string explainKey;
  bool listRules = false;
  bool formatGiven = false;
  Format format = Format::Text;
  std::string output;  /* -o; "" is standard output */
  std::vector<std::string> suppressionFiles, excludes;
  std::string baseline, writeBaseline;
  std::string root;
  FailOn failOn = FailOn::Finding;
  bool quiet = false;
  bool help = false, version = false;
};

struct RuleParam {
  std::string name, label, type, defaultValue, value;
};

/* A rule as its description file tells it. */
struct RuleInfo {
  std::string key, name, title, description, severity, domain, file;
  std::vector<std::string> references;
  std::vector<std::string> comments;  /* what the rule reports, word for word */
  std::vector<RuleParam> params;
};

struct Finding {
  std::string path;      /* full path; "" without location */
  std::string relPath;   /* relative to the project's root (or full) */
  long line = 0;         /* 0: the file as a whole */
  std::string rule;
  std::string message;
  std::string function;
  std::string lineText;  /* the source line, as written */
  enum class Suppressed { No, Inline, File } suppressed = Suppressed::No;
  std::string justification;
  bool inBaseline = false;

  /* The message as the checker wrote it, with its function part. */
  std::string FullMessage() const {
    if (function.empty()) return message;
    return message + (message.empty() ? "" : " ") + "(in function " + function + ")";
  }
  bool Counts() const { return suppressed == Suppressed::No && !inBaseline; }
};

/* A source the checker could not analyse, or a rule that failed. */
struct AnalysisError {
  std::string subject;  /* the source's full path, or the rule's file */
  std::vector<std::string> messages;  /* the checker's lines */
  bool isRule = false;
};

struct CheckContext {
  Options opts;
  std::string program = "kvx_check";
  std::string cwd;        /* with a trailing '/' */
  std::string root;       /* the project's root, with a trailing '/' */
  std::vector<std::string> systemDirs;  /* never the project's, trailing '/' */
  std::string ruleSetName;
  std::vector<RuleInfo> rules;           /* the rules of the run, in order */
  std::vector<std::string> sources;      /* full paths of the checked sources */
  std::vector<Finding> findings;         /* sorted, each once */
  std::vector<AnalysisError> errors;
  int sourcesAnalysed = 0;
  bool rulesRan = false;
  bool interactive = false;  /* progress on standard error */

  const RuleInfo *FindRule(const std::string &key) const {
    for (const auto &r : rules)
      if (r.key == key) return &r;
    return nullptr;
  }
  int Remaining() const {
    int n = 0;
    for (const auto &f : findings)
      if (f.Counts()) ++n;
    return n;
  }
};

#endif
