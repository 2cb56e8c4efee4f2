/*
 * desc_lexer.h - tokens of the description-file notation.
 */
#ifndef KVXAPP_DESC_LEXER_H
#define KVXAPP_DESC_LEXER_H

#include <string>

namespace kvxapp::desc {

enum TokenKind {
  TK_EOF,
  TK_ERROR,   /* code holds the error code (10, 11, 12) */
  TK_IDENT,   /* text folded to lower case */
  TK_KEYWORD, /* code holds a Keyword */
  TK_INTEGER,
  TK_REAL,
  TK_STRING,
  TK_CHAR,
  TK_PUNCT /* code holds the character, or ':' for "::=" */
};

enum Keyword {
  KW_NULL,
  KW_FALSE,
  KW_TRUE,
  KW_OID,
  KW_STRING,
  KW_BOOLEAN,
  KW_INTEGER,
  KW_REAL,
  KW_TEXT,
  KW_CHARACTER,
  KW_META_ENTITY,
  KW_BITS,
  KW_BEGIN,
  KW_DEFINITIONS,
  KW_ENTITIES_DEFINITIONS,
  KW_ENTITIES_VALUES,
  KW_EXTERN_REFERENCES,
  KW_END,
  KW_SEQUENCE,
  KW_OF
};

struct Token {
  TokenKind kind = TK_EOF;
  int code = 0;
  std::string text; /* identifier, string or character */
  long ival = 0;
  double rval = 0;
  int line = 1;

  bool is_punct(int c) const { return kind == TK_PUNCT && code == c; }
  bool is_keyword(int k) const { return kind == TK_KEYWORD && code == k; }
};

/* Scans a whole text held in memory; lines count from 1. */
class Lexer {
 public:
  explicit Lexer(const std::string &text) : text_(text) {}
  Token next();
  int line() const { return line_; }

 private:
  int peek(size_t ahead = 0) const {
    return pos_ + ahead < text_.size() ? (unsigned char)text_[pos_ + ahead] : -1;
  }
  bool escape(int c, std::string &out);
  Token number(Token t);
  Token string_literal(Token t);
  Token char_literal(Token t);

  const std::string &text_;
  size_t pos_ = 0;
  int line_ = 1;
};

}  // namespace kvxapp::desc

#endif
