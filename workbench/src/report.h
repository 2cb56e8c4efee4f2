/*
 * report.h - the checker's violation report in the workbench: the records
 * are read by the configuration library (tessary_checkrun.h); this adds
 * the location rule for the checker's console messages.
 */
#ifndef CSENTREL_REPORT_H
#define CSENTREL_REPORT_H

#include <QString>

#include "tessary_checkrun.h"

/* Splits "path(line)" as the report's F lines are split: the path before
 * the last '(', the line number as atoi reads it after it.  A text without
 * '(' is all path, line 0. */
void SplitFileLine(const QString &text, QString &path, int &line);

/* The texts of a record as the windows show them. */
inline QString ViolationPath(const SViolation &v) { return QString::fromStdString(v.file); }
inline int ViolationLine(const SViolation &v) { return static_cast<int>(v.line); }

#endif
