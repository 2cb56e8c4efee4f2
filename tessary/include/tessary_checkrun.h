/*
 * tessary_checkrun.h - the files and the command of one check run, prepared
 * as every program of the system starts the checker: the check options
 * file, the rule list with its parameter files, the report and console
 * files, the checker's command; and the records of the report it writes.
 */
#ifndef TESSARY_CHECKRUN_H
#define TESSARY_CHECKRUN_H

#include <string>
#include <vector>

#include "tessary_text.h"

class CApplication;
class CRuleSet;

class CCheckRun {
 public:
  /* Prepares the run of app's checked files with ruleSet (the
   * application's when null) in dir (the system temporary directory when
   * empty).  False, with nothing written, when there is no rule set (the
   * caller says "Please specify rule set.").  Throws 34023 when the
   * checker does not exist, 34025 when the options file cannot be written,
   * and what the rule-list writer throws.  A second call discards the
   * files of the first. */
  bool Prepare(const CApplication &app, const CRuleSet *ruleSet = nullptr, const CPathName &dir = CPathName());

  const CPathName &GetCheckerPath() const { return checker_; }
  const CPathName &GetOptionsPath() const { return options_; }
  const CPathName &GetRuleListPath() const { return ruleList_; }
  /* The engine's report file and the file its console output goes to. */
  const CPathName &GetReportPath() const { return report_; }
  const CPathName &GetConsolePath() const { return console_; }
  /* The checker runs in its own directory. */
  CPathName GetWorkingDirectory() const { return checker_.GetDirectory(); }
  /* The checker, the options file, the rule list and the report file. */
  std::vector<std::string> GetArguments() const;
  /* The same as one command line, each word quoted when it needs it. */
  std::string GetCommandLine() const;
  /* Lines of the options file (checked files) and rules of the list. */
  int GetFileCount() const { return files_; }
  int GetRuleCount() const { return rules_; }

  /* Deletes every file of the run (also done on destruction). */
  void Clear();

 private:
  CTrackTempFiles tracker_;
  CPathName checker_, options_, ruleList_, report_, console_;
  int files_ = 0, rules_ = 0;
};

/* One violation record of the checker's report. */
struct SViolation {
  std::string file;       /* "" for a violation without location */
  long line = 0;          /* 0 for a file as a whole */
  std::string rule;
  std::string message;    /* without the function part */
  std::string function;   /* the enclosing function, "" when none */
  std::string details;    /* the whole message line, function part included */
  bool application = false;  /* reported on the application object */
};

/* The location of an "F" line: the path is the text before the last '(',
 * the line number what atoi reads after it; a text without '(' is all
 * path, line 0. */
void SplitReportLocation(const std::string &text, std::string &path, long &line);

/* Reads a report's three-line records ("F", "R", "M" lines, trimmed).
 * Lines out of order are skipped; false when the file cannot be read. */
bool ReadViolationReport(const CPathName &path, std::vector<SViolation> &out);
/* The same from the report's text. */
void ParseViolationReport(const std::string &text, std::vector<SViolation> &out);

#endif
