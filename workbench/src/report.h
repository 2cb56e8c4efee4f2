/*
 * report.h - reading the checker's violation report: three-line records
 * "F<path>(<line>)", "R<rule>", "M<message>".
 */
#ifndef CSENTREL_REPORT_H
#define CSENTREL_REPORT_H

#include <QString>
#include <vector>

struct SViolation {
  QString path; /* empty for a violation without location */
  int line = 0;
  QString rule;
  QString message;
};

/* Splits the text after "F" into the path (before the last '(') and the
 * line number (the digits after it, as atoi reads them).  A text without
 * '(' is all path, line 0. */
void SplitFileLine(const QString &text, QString &path, int &line);

/* Reads the records of the report file.  Lines are trimmed; a record is an
 * F line followed by an R line and an M line; anything else (a record cut
 * short, a stray line) is skipped up to the next F line.  False when the
 * file cannot be read. */
bool ReadViolationReport(const QString &fileName, std::vector<SViolation> &out);

#endif
