/*
 * token_source.h - where the lexer reads its preprocessing tokens from.
 *
 * The preprocessor's scanning loop plugs in through a small adapter that
 * implements this interface; tests use TextScanner over a string.
 */
#ifndef KVX_FRONTEND_TOKEN_SOURCE_H
#define KVX_FRONTEND_TOKEN_SOURCE_H

#include <cstdint>
#include <string_view>

#include "preprocessor/pp_token.h"

namespace kvx::fe {

class TokenSource {
 public:
  virtual ~TokenSource() = default;
  /* Stores the next token in tok and returns true; at the end of all input
   * stores a token of kind End (whose line is the last line read) and returns
   * false, also on every later call.  tok.text stays valid until the next
   * call. */
  virtual bool next(pp::Token &tok) = 0;
  /* Name of a file of the token stream, for located messages. */
  virtual std::string_view file_name(uint32_t file) const = 0;
};

}  // namespace kvx::fe

#endif
