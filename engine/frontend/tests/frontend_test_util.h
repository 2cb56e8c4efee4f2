/*
 * frontend_test_util.h - running the front end over strings in tests.
 *
 * Sources are plain C text tokenized by TextScanner (no preprocessing).
 * Identifiers listed as macros arrive as macro identifiers, as the
 * preprocessor delivers unexpanded macro uses.  Diagnostics are captured.
 */
#ifndef KVX_FRONTEND_TESTS_UTIL_H
#define KVX_FRONTEND_TESTS_UTIL_H

#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "driver/diag.h"
#include "frontend/frontend.h"
#include "frontend/text_scan.h"

namespace kvx::fe::test {

/* A TextScanner that marks some identifiers as unexpanded macro uses. */
class MacroMarkingSource : public TokenSource {
 public:
  MacroMarkingSource(std::string_view text, std::set<std::string> macros, std::string name)
      : scan_(text, std::move(name)), macros_(std::move(macros)) {}
  bool next(pp::Token &t) override {
    bool ok = scan_.next(t);
    if (ok && t.kind == pp::TokenKind::Identifier && macros_.count(std::string(t.text)))
      t.kind = pp::TokenKind::MacroIdentifier;
    return ok;
  }
  std::string_view file_name(uint32_t f) const override { return scan_.file_name(f); }

 private:
  TextScanner scan_;
  std::set<std::string> macros_;
};

/* A source of hand-made tokens. */
class VectorSource : public TokenSource {
 public:
  struct Tok {
    pp::TokenKind kind;
    std::string text;
    uint32_t line;
  };
  explicit VectorSource(std::vector<Tok> toks) : toks_(std::move(toks)) {}
  bool next(pp::Token &t) override {
    t = pp::Token();
    t.file = 1;
    if (i_ >= toks_.size()) {
      t.kind = pp::TokenKind::End;
      t.line = toks_.empty() ? 1 : toks_.back().line;
      return false;
    }
    const Tok &k = toks_[i_++];
    t.kind = k.kind;
    t.text = k.text;
    t.line = k.line;
    t.space_before = true;
    return true;
  }
  std::string_view file_name(uint32_t) const override { return "v.c"; }

 private:
  std::vector<Tok> toks_;
  size_t i_ = 0;
};

/* Diagnostics whose output lands in a string. */
class CapturedDiag {
 public:
  CapturedDiag() : f_(open_memstream(&buf_, &len_)), diag(f_) {
    diag.set_exit_handler([](int status) { throw ProcessExit{status}; });
  }
  ~CapturedDiag() {
    std::fclose(f_);
    std::free(buf_);
  }
  std::string text() {
    std::fflush(f_);
    return std::string(buf_, len_);
  }

 private:
  char *buf_ = nullptr;
  size_t len_ = 0;
  FILE *f_;

 public:
  Diagnostics diag;
};

struct RunResult {
  std::string messages;
  ParseResult result;
  int errors = 0;
  int warnings = 0;
};

inline RunResult run_source(TokenSource &src, const std::string &dialect, ParseActions &acts,
                            const IgnoreTable *ignore = nullptr, int max_nesting = 100) {
  CapturedDiag cd;
  FrontendContext ctx(cd.diag);
  ctx.dialect = select_dialect(dialect, cd.diag);
  ctx.ignore = ignore;
  ctx.max_nesting = max_nesting;
  RunResult r;
  r.result = parse_translation_unit(ctx, src, acts);
  r.messages = cd.text();
  r.errors = cd.diag.error_count();
  r.warnings = cd.diag.warning_count();
  return r;
}

inline RunResult run_text(std::string_view text, const std::string &dialect = "ansi",
                          ParseActions *acts = nullptr, const IgnoreTable *ignore = nullptr,
                          std::set<std::string> macros = {}) {
  MacroMarkingSource src(text, std::move(macros), "t.c");
  ParseActions none;
  return run_source(src, dialect, acts ? *acts : none, ignore);
}

/* Counts message lines containing a text. */
inline int count_of(const std::string &hay, const std::string &needle) {
  int n = 0;
  for (size_t p = hay.find(needle); p != std::string::npos; p = hay.find(needle, p + 1)) n++;
  return n;
}

}  // namespace kvx::fe::test

#endif
