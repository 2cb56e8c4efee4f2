/*
 * parse.cpp - running the parser over one source.
 */
#include "frontend/frontend.h"
#include "frontend/lexer.h"
#include "frontend/parser_state.h"

namespace kvx::fe {

int run_grammar(ParserState &ps); /* c_grammar.y */

ParseResult parse_translation_unit(FrontendContext &ctx, TokenSource &src, ParseActions &actions) {
  Lexer lexer(ctx, src);
  ParserState ps(ctx, lexer, actions);
  lexer.attach(&ps);

  int rc = run_grammar(ps);

  ParseResult res;
  res.syntax_errors = ps.syntax_errors;
  if (ps.fatal_nesting) {
    /* The parser has unwound its stacks; the fatal report ends the run. */
    ctx.diag.report_located(LEVEL_FATAL, src.file_name(ps.fatal_loc.file), ps.fatal_loc.line,
                            "Too many nesting : unable to continue analysis");
  }
  /* 2: the stacks could not grow ("yacc stack overflow" was reported);
   * 1: an error at the end of input ended the parse. */
  res.status = rc == 2 ? 1 : 0;
  lexer.drain();
  res.lexical_errors = lexer.lexical_errors();
  return res;
}

}  // namespace kvx::fe
