/*
 * report.cpp - the violation report reader.
 */
#include "report.h"

#include <QFile>

void SplitFileLine(const QString &text, QString &path, int &line) {
  qsizetype open = text.lastIndexOf('(');
  line = 0;
  if (open < 0) {
    path = text;
    return;
  }
  path = text.left(open);
  /* atoi: optional blanks and sign, then as many digits as there are. */
  qsizetype i = open + 1;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  long long value = 0;
  for (; i < text.size() && text[i].isDigit() && text[i].unicode() < 128; ++i) {
    value = value * 10 + (text[i].unicode() - '0');
    if (value > 0x7fffffff) value = 0x7fffffff;
  }
  line = static_cast<int>(negative ? -value : value);
}

static QString Rest(const QString &line) { return line.mid(1).trimmed(); }

bool ReadViolationReport(const QString &fileName, std::vector<SViolation> &out) {
  QFile file(fileName);
  if (!file.open(QIODevice::ReadOnly)) return false;
  std::vector<QString> lines;
  while (!file.atEnd()) lines.push_back(QString::fromLocal8Bit(file.readLine()).trimmed());
  if (file.error() != QFileDevice::NoError) return false;

  for (size_t i = 0; i < lines.size(); ++i) {
    if (!lines[i].startsWith('F')) continue;
    if (i + 2 >= lines.size() || !lines[i + 1].startsWith('R') || !lines[i + 2].startsWith('M'))
      continue;
    SViolation v;
    SplitFileLine(lines[i].mid(1), v.path, v.line);
    v.path = v.path.trimmed();
    v.rule = Rest(lines[i + 1]);
    v.message = Rest(lines[i + 2]);
    out.push_back(std::move(v));
    i += 2;
  }
  return true;
}
