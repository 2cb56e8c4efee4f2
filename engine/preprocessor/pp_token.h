/*
 * pp_token.h - the preprocessing tokens that the scanning loop hands on.
 *
 * The scanning loop drives the preprocessor: it reads characters through the
 * input stack, passes identifiers to the macro layer, hands '#' lines to the
 * directive dispatcher and consumes skipped text.  What comes out is a stream
 * of these tokens.  kvx_cccp writes them back as text; the C lexer classifies
 * them (keywords, typedef names, number checking) for the parser.
 */
#ifndef KVX_PREPROCESSOR_PP_TOKEN_H
#define KVX_PREPROCESSOR_PP_TOKEN_H

#include <cstdint>
#include <string_view>

namespace kvx::pp {

enum class TokenKind : uint8_t {
  End,              /* end of all input */
  Identifier,       /* identifier that is not an unexpanded macro */
  MacroIdentifier,  /* identifier naming a macro the macro layer left unexpanded */
  Number,           /* preprocessing number, as spelled */
  CharConst,        /* character constant with its quotes (and L prefix) */
  String,           /* string literal with its quotes (and L prefix) */
  Punct,            /* operator or punctuator, longest match: "...", "<<=", "->", "{" */
  Other             /* any other single character ('\\', '@', '`', ...) */
};

struct Token {
  TokenKind kind = TokenKind::End;
  bool space_before = false;   /* white space or a line break precedes it */
  bool first_on_line = false;  /* first token of its source line */
  uint32_t file = 0;           /* index of the file in the preprocessor's file table */
  uint32_t line = 0;           /* line number in that file (as presented by #line) */
  /* Non-zero for a token of a macro's replacement text (not of an argument
   * written in the file) read in an expansion of a macro written in the
   * file: the number of that expansion among those beginning on its line
   * (1 for the first, at most 255). */
  uint8_t origin = 0;
  std::string_view text;       /* spelling; valid until the next token is read */
};

}  // namespace kvx::pp

#endif
