/*
 * lexer.h - turns preprocessing tokens into the parser's tokens.
 *
 * Internal to the front end.  The lexer applies the compile line's ignore
 * table, classifies identifiers (keyword class of the dialect, typedef name
 * through the name levels, macro identifier), checks numbers and character
 * constants, and formats the parser's syntax messages with their token
 * suffix.
 *
 * Typedef names: an identifier known as a typedef name is read as an
 * ordinary identifier where it can only be a declarator, that is after a
 * type specifier of the same declaration ("int T;" declares T even where T
 * is a typedef name, and so does "int (*T)(void);"), after '.', '->' and a
 * struct, union or enum keyword.
 */
#ifndef KVX_FRONTEND_LEXER_H
#define KVX_FRONTEND_LEXER_H

#include <deque>
#include <string>
#include <vector>

#include "frontend/frontend.h"
#include "frontend/parser_state.h"

namespace kvx::fe {

class Lexer {
 public:
  Lexer(FrontendContext &ctx, TokenSource &src) : ctx_(ctx), src_(src) { cur_.text.reserve(40); }
  void attach(ParserState *ps) { ps_ = ps; }

  /* The next parser token (0 at the end of input) with its value and place. */
  int next(SemValue &val, Loc &loc);
  /* Reports text plus the current token's suffix at the current line. */
  void syntax_message(std::string_view text);
  /* Reads and discards the rest of the input. */
  void drain();

  int lexical_errors() const { return lexical_errors_; }

 private:
  struct Pending {
    pp::TokenKind kind = pp::TokenKind::End;
    bool space_before = false;
    bool first_on_line = false;
    bool from_ignore = false;
    uint32_t file = 0, line = 0;
    uint8_t origin = 0;
    std::string text;
  };
  struct Bracket {
    char open;
    bool saved_type_seen;
    bool type_after; /* closing it completes a type specifier */
    bool declarator; /* a parenthesised declarator: "int (*T)(void)" */
    bool restore;    /* closing it restores the declaration's state (_Alignas) */
  };

  bool raw(Pending &p);
  bool next_pp();
  bool apply_ignore(int root);
  int classify_identifier(SemValue &val);
  int classify_punct();
  void lexical_error(const char *msg);
  void bracket_open(char c, bool type_after, bool declarator = false, bool restore = false);
  bool skip_attribute();
  bool next_is_punct(std::string_view punct);
  void bracket_close();

  FrontendContext &ctx_;
  TokenSource &src_;
  ParserState *ps_ = nullptr;
  std::deque<Pending> queue_; /* tokens read ahead or inserted by the ignore table */
  Pending cur_;               /* the current token: its text is the token text buffer */
  std::vector<Bracket> brackets_;
  bool at_end_ = false;
  bool type_seen_ = false;    /* a type specifier was read in this declaration */
  int init_depth_ = -1;       /* bracket depth of the initializer being read, -1 none */
  int prev_ = 0;              /* previous parser token */
  bool prev_was_tag_ = false; /* previous token was the tag after struct/union/enum */
  uint32_t last_line_ = 0, last_file_ = 0;
  int lexical_errors_ = 0;
};

}  // namespace kvx::fe

#endif
