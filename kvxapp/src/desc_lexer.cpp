/*
 * desc_lexer.cpp - scanning of description files: keywords, numbers,
 * strings with their escapes, character literals and punctuation.
 */
#include "desc_lexer.h"

#include <cctype>
#include <cstdlib>
#include <cstring>

namespace kvxapp::desc {

static const struct {
  const char *word;
  Keyword kw;
} keywords[] = {
    {"null", KW_NULL},
    {"f", KW_FALSE},
    {"false", KW_FALSE},
    {"t", KW_TRUE},
    {"true", KW_TRUE},
    {"oid", KW_OID},
    {"string", KW_STRING},
    {"boolean", KW_BOOLEAN},
    {"integer", KW_INTEGER},
    {"real", KW_REAL},
    {"text", KW_TEXT},
    {"character", KW_CHARACTER},
    {"meta_entity", KW_META_ENTITY},
    {"bits", KW_BITS},
    {"begin", KW_BEGIN},
    {"definitions", KW_DEFINITIONS},
    {"entities_definitions", KW_ENTITIES_DEFINITIONS},
    {"entities_values", KW_ENTITIES_VALUES},
    {"extern_references", KW_EXTERN_REFERENCES},
    {"end", KW_END},
    {"sequence", KW_SEQUENCE},
    {"of", KW_OF},
};

static Token error_token(Token t, int code) {
  t.kind = TK_ERROR;
  t.code = code;
  return t;
}

Token Lexer::next() {
  for (;;) {
    int c = peek();
    if (c == '\n') line_++;
    if (c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v') {
      pos_++;
      continue;
    }
    break;
  }
  Token t;
  t.line = line_;
  int c = peek();
  if (c < 0) return t;
  if (isalpha(c) || c == '_') {
    size_t start = pos_;
    while (peek() >= 0 && (isalnum(peek()) || peek() == '_')) pos_++;
    t.text = text_.substr(start, pos_ - start);
    for (char &ch : t.text) ch = (char)tolower((unsigned char)ch);
    t.kind = TK_IDENT;
    for (const auto &k : keywords)
      if (t.text == k.word) {
        t.kind = TK_KEYWORD;
        t.code = k.kw;
        break;
      }
    return t;
  }
  if (isdigit(c) || c == '+' || c == '-' || c == '.') return number(t);
  if (c == '"') return string_literal(t);
  if (c == '\'') return char_literal(t);
  if (c == ':') {
    if (peek(1) == ':' && peek(2) == '=') {
      pos_ += 3;
      t.kind = TK_PUNCT;
      t.code = ':';
      return t;
    }
    return error_token(t, 10);
  }
  if (strchr("#(),;[]{}", c)) {
    pos_++;
    t.kind = TK_PUNCT;
    t.code = c;
    return t;
  }
  return error_token(t, 10);
}

Token Lexer::number(Token t) {
  size_t start = pos_;
  bool real = false, digits = false;
  if (peek() == '+' || peek() == '-') pos_++;
  while (peek() >= 0 && isdigit(peek())) pos_++, digits = true;
  if (peek() == '.') {
    real = true;
    pos_++;
    while (peek() >= 0 && isdigit(peek())) pos_++, digits = true;
  }
  if (!digits) return error_token(t, 10);
  if (peek() == 'e' || peek() == 'E') {
    size_t save = pos_;
    pos_++;
    if (peek() == '+' || peek() == '-') pos_++;
    if (peek() >= 0 && isdigit(peek())) {
      real = true;
      while (peek() >= 0 && isdigit(peek())) pos_++;
    } else {
      pos_ = save;
    }
  }
  std::string s = text_.substr(start, pos_ - start);
  if (real) {
    t.kind = TK_REAL;
    t.rval = strtod(s.c_str(), nullptr);
  } else {
    t.kind = TK_INTEGER;
    t.ival = strtol(s.c_str(), nullptr, 10);
  }
  return t;
}

/* Reads the character after a backslash; false for an illegal escape. */
bool Lexer::escape(int c, std::string &out) {
  switch (c) {
    case '"': out += '"'; return true;
    case '\\': out += '\\'; return true;
    case 'b': out += '\b'; return true;
    case 'n': out += '\n'; return true;
    case 't': out += '\t'; return true;
    default: return false;
  }
}

Token Lexer::string_literal(Token t) {
  pos_++;
  for (;;) {
    int c = peek();
    if (c < 0) return error_token(t, 11);
    pos_++;
    if (c == '"') break;
    if (c == '\n') line_++;
    if (c != '\\') {
      t.text += (char)c;
      continue;
    }
    int e = peek();
    if (e < 0) return error_token(t, 11);
    pos_++;
    if (e == '\n') {
      line_++; /* continued on the next line */
      continue;
    }
    if (!escape(e, t.text)) {
      t.line = line_;
      return error_token(t, 12);
    }
  }
  t.kind = TK_STRING;
  return t;
}

Token Lexer::char_literal(Token t) {
  pos_++;
  int c = peek();
  if (c < 0) return error_token(t, 11);
  pos_++;
  if (c == '\\') {
    int e = peek();
    if (e < 0) return error_token(t, 11);
    pos_++;
    if (!escape(e, t.text)) return error_token(t, 12);
  } else {
    if (c == '\n') line_++;
    t.text = std::string(1, (char)c);
  }
  if (peek() != '\'') return error_token(t, 10);
  pos_++;
  t.kind = TK_CHAR;
  return t;
}

}  // namespace kvxapp::desc
