/*
 * csyntax.h - C syntax colouring for the source windows: keywords, types,
 * preprocessor lines, comments (across lines), strings, characters and
 * numbers.
 */
#ifndef CSENTREL_CSYNTAX_H
#define CSENTREL_CSYNTAX_H

#include <QSyntaxHighlighter>
#include <QTextCharFormat>

class CSyntaxHighlighter : public QSyntaxHighlighter {
  Q_OBJECT
 public:
  /* The kinds of text told apart, for tests. */
  enum EKind { Plain, Keyword, Type, Preprocessor, Comment, String, Number };

  explicit CSyntaxHighlighter(QTextDocument *document);
  /* The kind given to the character at position in a block's text (after
   * highlighting). */
  static EKind KindAt(const QTextBlock &block, int position);

 protected:
  void highlightBlock(const QString &text) override;

 private:
  void Set(int start, int length, EKind kind);
  QTextCharFormat formats_[7];
};

#endif
