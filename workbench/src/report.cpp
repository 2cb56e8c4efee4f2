/*
 * report.cpp - the location rule of the report for the workbench's texts.
 */
#include "report.h"

void SplitFileLine(const QString &text, QString &path, int &line) {
  std::string file;
  long number = 0;
  SplitReportLocation(text.toStdString(), file, number);
  path = QString::fromStdString(file);
  line = static_cast<int>(number);
}
