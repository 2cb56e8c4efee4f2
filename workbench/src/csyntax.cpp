/*
 * csyntax.cpp - the C syntax highlighter.  One pass over each line; the
 * block state says whether the line starts inside a block comment.
 */
#include "csyntax.h"

#include <QSet>
#include <QTextBlock>
#include <QTextLayout>

namespace {

enum EState { Normal = 0, InComment = 1 };

const QSet<QString> &Keywords() {
  static const QSet<QString> set = {
      "auto",     "break",   "case",     "const",     "continue", "default",  "do",
      "else",     "enum",    "extern",   "for",       "goto",     "if",       "inline",
      "register", "restrict", "return",  "sizeof",    "static",   "struct",   "switch",
      "typedef",  "union",   "volatile", "while",     "_Alignas", "_Alignof", "_Atomic",
      "_Generic", "_Noreturn", "_Static_assert", "_Thread_local", "asm", "__asm__",
      "__attribute__", "__extension__", "typeof", "__typeof__"};
  return set;
}

const QSet<QString> &Types() {
  static const QSet<QString> set = {"void",     "char",    "short",   "int",     "long",
                                    "float",    "double",  "signed",  "unsigned", "_Bool",
                                    "_Complex", "bool",    "size_t",  "ptrdiff_t", "FILE",
                                    "int8_t",   "int16_t", "int32_t", "int64_t", "uint8_t",
                                    "uint16_t", "uint32_t", "uint64_t", "intptr_t", "uintptr_t"};
  return set;
}

bool IsIdentStart(QChar c) { return c.isLetter() || c == '_'; }
bool IsIdentChar(QChar c) { return c.isLetterOrNumber() || c == '_'; }

}  // namespace

CSyntaxHighlighter::CSyntaxHighlighter(QTextDocument *document) : QSyntaxHighlighter(document) {
  formats_[Keyword].setForeground(QColor(0x1d, 0x3f, 0xa8));
  formats_[Keyword].setFontWeight(QFont::Bold);
  formats_[Type].setForeground(QColor(0x7a, 0x2a, 0x9c));
  formats_[Preprocessor].setForeground(QColor(0x8a, 0x5a, 0x00));
  formats_[Comment].setForeground(QColor(0x3c, 0x7d, 0x3c));
  formats_[Comment].setFontItalic(true);
  formats_[String].setForeground(QColor(0xb0, 0x30, 0x30));
  formats_[Number].setForeground(QColor(0x0b, 0x7a, 0x84));
  for (int k = 0; k < 7; ++k) formats_[k].setProperty(QTextFormat::UserProperty, k);
}

void CSyntaxHighlighter::Set(int start, int length, EKind kind) {
  if (length > 0 && kind != Plain) setFormat(start, length, formats_[kind]);
}

CSyntaxHighlighter::EKind CSyntaxHighlighter::KindAt(const QTextBlock &block, int position) {
  for (const QTextLayout::FormatRange &r : block.layout()->formats())
    if (position >= r.start && position < r.start + r.length)
      return static_cast<EKind>(r.format.property(QTextFormat::UserProperty).toInt());
  return Plain;
}

void CSyntaxHighlighter::highlightBlock(const QString &text) {
  const int n = static_cast<int>(text.size());
  int i = 0;
  setCurrentBlockState(Normal);

  if (previousBlockState() == InComment) {
    int end = static_cast<int>(text.indexOf("*/"));
    if (end < 0) {
      Set(0, n, Comment);
      setCurrentBlockState(InComment);
      return;
    }
    Set(0, end + 2, Comment);
    i = end + 2;
  }

  /* A directive line: the directive itself; the rest is coloured as code
   * (an #include's file name as a string). */
  int first = i;
  while (first < n && text[first].isSpace()) ++first;
  if (first < n && text[first] == '#' && previousBlockState() != InComment) {
    int j = first + 1;
    while (j < n && text[j].isSpace()) ++j;
    while (j < n && IsIdentChar(text[j])) ++j;
    Set(first, j - first, Preprocessor);
    if (text.mid(first, j - first).contains("include")) {
      int k = j;
      while (k < n && text[k].isSpace()) ++k;
      if (k < n && text[k] == '<') {
        int close = static_cast<int>(text.indexOf('>', k));
        int end = close < 0 ? n : close + 1;
        Set(k, end - k, String);
        j = end;
      }
    }
    i = j;
  }

  while (i < n) {
    QChar c = text[i];
    if (c == '/' && i + 1 < n && text[i + 1] == '/') {
      Set(i, n - i, Comment);
      return;
    }
    if (c == '/' && i + 1 < n && text[i + 1] == '*') {
      int end = static_cast<int>(text.indexOf("*/", i + 2));
      if (end < 0) {
        Set(i, n - i, Comment);
        setCurrentBlockState(InComment);
        return;
      }
      Set(i, end + 2 - i, Comment);
      i = end + 2;
      continue;
    }
    if (c == '"' || c == '\'') {
      int j = i + 1;
      while (j < n && text[j] != c) j += text[j] == '\\' ? 2 : 1;
      j = std::min(j + 1, n);
      Set(i, j - i, String);
      i = j;
      continue;
    }
    if (c.isDigit() || (c == '.' && i + 1 < n && text[i + 1].isDigit())) {
      int j = i + 1;
      while (j < n && (IsIdentChar(text[j]) || text[j] == '.' ||
                       ((text[j] == '+' || text[j] == '-') &&
                        QString("eEpP").contains(text[j - 1]))))
        ++j;
      Set(i, j - i, Number);
      i = j;
      continue;
    }
    if (IsIdentStart(c)) {
      int j = i + 1;
      while (j < n && IsIdentChar(text[j])) ++j;
      QString word = text.mid(i, j - i);
      if (Keywords().contains(word)) Set(i, j - i, Keyword);
      else if (Types().contains(word)) Set(i, j - i, Type);
      i = j;
      continue;
    }
    ++i;
  }
}
