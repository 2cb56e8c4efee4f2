/*
 * frontend.h - parsing one preprocessed source: the front end's entry.
 *
 * The driver keeps one FrontendContext per run (the selected dialect, the
 * compile line's ignore table) and calls parse_translation_unit once per
 * source with the source's token stream and the model builder's actions.
 */
#ifndef KVX_FRONTEND_FRONTEND_H
#define KVX_FRONTEND_FRONTEND_H

#include "driver/diag.h"
#include "frontend/actions.h"
#include "frontend/dialect.h"
#include "frontend/ignore_table.h"
#include "frontend/token_source.h"

namespace kvx::fe {

struct FrontendContext {
  explicit FrontendContext(Diagnostics &d) : diag(d) {}

  Diagnostics &diag;
  Dialect dialect;                      /* keyword set used by the lexer */
  const IgnoreTable *ignore = nullptr;  /* the compile line's table, or none */
  int max_nesting = 100;                /* open blocks allowed at once */
};

struct ParseResult {
  int status = 0;        /* 0: end of input reached; 1: stack overflow */
  int syntax_errors = 0; /* "syntax error" messages given */
  int lexical_errors = 0;
};

/* Parses one source to its end with error recovery, then reads and discards
 * whatever tokens remain so that every line is seen.  Messages go to
 * ctx.diag; more than ctx.max_nesting nested blocks is a fatal report
 * ("Too many nesting : unable to continue analysis"), which ends the run. */
ParseResult parse_translation_unit(FrontendContext &ctx, TokenSource &src, ParseActions &actions);

}  // namespace kvx::fe

#endif
