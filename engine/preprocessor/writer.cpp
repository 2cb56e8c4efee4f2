/*
 * writer.cpp - preprocessed text with line markers and annotation comments
 * (the bytes are described in writer.h).
 */
#include "preprocessor/writer.h"

namespace kvx::pp {

void TextWriter::flush() {
  if (!buf_.empty() && out_ && fwrite(buf_.data(), 1, buf_.size(), out_) != buf_.size()) failed_ = true;
  buf_.clear();
}

void TextWriter::sync(uint32_t file, uint32_t line) {
  if (file == file_ && line >= line_ && line - line_ <= 8) {
    while (line_ < line) {
      buf_ += '\n';
      line_++;
      bol_ = true;
    }
    return;
  }
  if (!bol_) buf_ += '\n';
  buf_ += "# ";
  buf_ += std::to_string(line);
  buf_ += " \"";
  if (scanner_) buf_.append(scanner_->file_name(file));
  buf_ += "\"\n";
  file_ = file;
  line_ = line;
  bol_ = true;
}

void TextWriter::note(char letter, std::string_view payload) {
  if (!bol_) buf_ += ' ';
  buf_ += "/*";
  buf_ += marker_;
  buf_ += letter;
  buf_ += "_kvx_";
  buf_.append(payload);
  buf_ += " */";
  bol_ = false;
  prev_ = TokenKind::End;
}

void TextWriter::system_file(uint32_t file) {
  if (system_.size() <= file) system_.resize(file + 1, false);
  system_[file] = true;
}

void TextWriter::inclusion(uint32_t from, uint32_t line, uint32_t included) {
  sync(from, line);
  std::string p = "\"";
  p.append(scanner_->file_name(included));
  p += '"';
  note(included < system_.size() && system_[included] ? 'I' : 'i', p);
}

void TextWriter::include_missing(uint32_t file, uint32_t line) {
  sync(file, line);
  note('n', "");
}

void TextWriter::comment(uint32_t file, uint32_t first_line, uint32_t line_count) {
  sync(file, first_line);
  note('c', std::to_string(line_count));
}

void TextWriter::directive_line(uint32_t file, uint32_t line) {
  sync(file, line);
  note('h', "");
}

void TextWriter::fallthrough_comment(uint32_t file, uint32_t first_line) {
  sync(file, first_line);
  note('t', "");
}

void TextWriter::macro_defined(uint32_t file, uint32_t line, std::string_view name, int nparams,
                               const std::vector<std::string_view> &params) {
  sync(file, line);
  if (nparams < 0) {
    note('D', name);
    return;
  }
  std::string p = std::to_string(nparams);
  p += ' ';
  p.append(name);
  p += '(';
  for (size_t i = 0; i < params.size(); i++) {
    if (i) p += ',';
    p.append(params[i]);
  }
  p += ')';
  note('F', p);
}

void TextWriter::macro_used(uint32_t file, uint32_t line, std::string_view name, bool with_args,
                            bool expanded) {
  std::string p(name);
  if (with_args) p += "()";
  if (expanded) {
    sync(file, line);
    note('m', p);
    in_expansion_ = macro_text_ = true;
  } else {
    use_pending_ = true;
    use_payload_ = p;
  }
}

void TextWriter::expansion_end() {
  note('f', "");
  in_expansion_ = false;
}

/* Whether two tokens written side by side would read back as other tokens. */
static bool needs_space(TokenKind a, char alast, const Token &b) {
  auto word = [](TokenKind k) {
    return k == TokenKind::Identifier || k == TokenKind::MacroIdentifier || k == TokenKind::Number;
  };
  char bf = b.text.empty() ? 0 : b.text[0];
  if (word(a) && (word(b.kind) || b.kind == TokenKind::String || b.kind == TokenKind::CharConst)) return true;
  if (a == TokenKind::Number && (bf == '.' || bf == '+' || bf == '-')) return true;
  if ((a == TokenKind::Punct || a == TokenKind::Other) && (b.kind == TokenKind::Punct || b.kind == TokenKind::Other))
    return true;
  if (alast == '.' && b.kind == TokenKind::Number) return true;
  if (a == TokenKind::Other && alast == '\\') return true;
  return false;
}

void TextWriter::token(const Token &t) {
  sync(t.file, t.line);
  if (in_expansion_ && (t.origin != 0) != macro_text_) {
    macro_text_ = t.origin != 0;
    note(macro_text_ ? 'x' : 'w', "");
  }
  if (t.kind == TokenKind::MacroIdentifier) {
    if (use_pending_) {
      note('s', use_payload_);
      use_pending_ = false;
    } else {
      note('u', "");
    }
  } else if (bol_) {
    if (!t.text.empty() && t.text[0] == '#') buf_ += ' ';
  } else if (t.space_before || needs_space(prev_, prev_last_, t)) {
    buf_ += ' ';
  }
  buf_.append(t.text);
  bol_ = false;
  prev_ = t.kind;
  prev_last_ = t.text.empty() ? 0 : t.text.back();
  if (buf_.size() > (1u << 20)) flush();
}

bool TextWriter::run(Scanner &s, FILE *out) {
  scanner_ = &s;
  out_ = out;
  failed_ = false;
  Token t;
  while (s.next(t)) token(t);
  return finish();
}

bool TextWriter::finish() {
  if (!bol_) buf_ += '\n';
  bol_ = true;
  flush();
  if (out_ && fflush(out_) != 0) failed_ = true;
  return !failed_;
}

}  // namespace kvx::pp
