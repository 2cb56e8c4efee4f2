/*
 * text_scan.cpp - the plain C tokenizer of TextScanner.
 */
#include "frontend/text_scan.h"

#include <cstring>

namespace kvx::fe {

static bool ident_start(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == '$';
}
static bool ident_char(char c) { return ident_start(c) || (c >= '0' && c <= '9'); }
static bool digit(char c) { return c >= '0' && c <= '9'; }

/* Operators longer than one character, longest first. */
static const char *const kPuncts[] = {
    "...", "<<=", ">>=", "->", "++", "--", "<<", ">>", "<=", ">=", "==", "!=", "&&",
    "||",  "+=",  "-=",  "*=", "/=", "%=", "&=", "|=", "^=", "##"};
static const char kSingles[] = ";,{}()[]=:?.!~+-*/%&|^<>#";

void TextScanner::skip_space(pp::Token &tok) {
  while (pos_ < text_.size()) {
    char c = text_[pos_];
    if (c == '\n') {
      line_++;
      pos_++;
      at_line_start_ = true;
      tok.space_before = true;
    } else if (c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v') {
      pos_++;
      tok.space_before = true;
    } else if (c == '\\' && pos_ + 1 < text_.size() && text_[pos_ + 1] == '\n') {
      pos_ += 2;
      line_++;
    } else if (c == '/' && pos_ + 1 < text_.size() && text_[pos_ + 1] == '*') {
      size_t end = text_.find("*/", pos_ + 2);
      size_t stop = end == std::string_view::npos ? text_.size() : end + 2;
      for (size_t i = pos_; i < stop; i++)
        if (text_[i] == '\n') line_++;
      pos_ = stop;
      tok.space_before = true;
    } else if (c == '/' && pos_ + 1 < text_.size() && text_[pos_ + 1] == '/') {
      while (pos_ < text_.size() && text_[pos_] != '\n') pos_++;
      tok.space_before = true;
    } else {
      break;
    }
  }
}

bool TextScanner::next(pp::Token &tok) {
  tok.space_before = false;
  skip_space(tok);
  tok.file = file_;
  tok.first_on_line = at_line_start_;
  at_line_start_ = false;
  tok.line = line_;
  if (pos_ >= text_.size()) {
    tok.kind = pp::TokenKind::End;
    tok.text = {};
    /* A final newline does not start a line of its own. */
    if (!text_.empty() && text_.back() == '\n' && line_ > 1) tok.line = line_ - 1;
    return false;
  }
  size_t start = pos_;
  char c = text_[pos_];
  size_t n = text_.size();
  if ((c == 'L' && pos_ + 1 < n && (text_[pos_ + 1] == '\'' || text_[pos_ + 1] == '"')) ||
      c == '\'' || c == '"') {
    if (c == 'L') pos_++;
    char q = text_[pos_++];
    while (pos_ < n && text_[pos_] != q) {
      if (text_[pos_] == '\\' && pos_ + 1 < n) pos_++;
      if (text_[pos_] == '\n') {
        if (q == '\'') break; /* unterminated character constant ends at the line */
        line_++;
      }
      pos_++;
    }
    if (pos_ < n && text_[pos_] == q) pos_++;
    tok.kind = q == '"' ? pp::TokenKind::String : pp::TokenKind::CharConst;
  } else if (ident_start(c)) {
    while (pos_ < n && ident_char(text_[pos_])) pos_++;
    tok.kind = pp::TokenKind::Identifier;
  } else if (digit(c) || (c == '.' && pos_ + 1 < n && digit(text_[pos_ + 1]))) {
    /* preprocessing number: digits, letters, '_', '.', and signs after e/E/p/P */
    pos_++;
    while (pos_ < n) {
      char d = text_[pos_];
      if ((d == '+' || d == '-') && strchr("eEpP", text_[pos_ - 1])) {
        pos_++;
      } else if (ident_char(d) || d == '.') {
        pos_++;
      } else {
        break;
      }
    }
    tok.kind = pp::TokenKind::Number;
  } else {
    tok.kind = pp::TokenKind::Other;
    pos_++;
    for (const char *p : kPuncts) {
      size_t len = strlen(p);
      if (text_.compare(start, len, p) == 0) {
        pos_ = start + len;
        tok.kind = pp::TokenKind::Punct;
        break;
      }
    }
    if (tok.kind == pp::TokenKind::Other && c != '\0' && strchr(kSingles, c))
      tok.kind = pp::TokenKind::Punct;
  }
  tok.text = text_.substr(start, pos_ - start);
  return true;
}

}  // namespace kvx::fe
