/*
 * parser_state.h - the state one parse shares between lexer and grammar.
 *
 * Internal to the front end.  The grammar's semantic values are SemValue
 * records; texts of tokens are kept in a per-source arena and referred to by
 * number so that values stay plain data on the parser's stacks.
 */
#ifndef KVX_FRONTEND_PARSER_STATE_H
#define KVX_FRONTEND_PARSER_STATE_H

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "frontend/actions.h"
#include "frontend/frontend.h"
#include "frontend/name_levels.h"

namespace kvx::fe {

/* flags of a SemValue */
enum : uint32_t {
  SV_TYPEDEF = 1u << 0,    /* specifiers: storage class typedef */
  SV_PLAIN_NAME = 1u << 1, /* declarator: a name, maybe parenthesised */
  SV_MACRO = 1u << 2,      /* identifier: an unexpanded macro */
  SV_ELLIPSIS = 1u << 3,   /* parameter list ends with ... */
  SV_OLD_STYLE = 1u << 4,  /* parameter list: names only */
  SV_FUNCTION = 1u << 5,   /* declarator: declares a function */
};

struct SemValue {
  Node node;     /* the construct as model building returned it */
  Node aux;      /* a second construct (specifiers of a declarator list) */
  uint32_t text; /* arena text: name, spelling; 0 for none */
  uint32_t flags;
  int op;        /* operator of an operator token class */
};

/* Texts of the tokens on the parser's stacks, numbered from 1 in the order
 * they were read (0 is no text).  Between external declarations only the
 * lookahead token's text can still be referred to, so release() drops all
 * but the newest text: the arena holds one declaration's texts, not the
 * whole source's. */
class TextArena {
 public:
  void reset() {
    buf_.clear();
    spans_.clear();
    base_ = 1;
  }
  uint32_t add(std::string_view s) {
    spans_.push_back({static_cast<uint32_t>(buf_.size()), static_cast<uint32_t>(s.size())});
    buf_.append(s);
    return base_ + static_cast<uint32_t>(spans_.size() - 1);
  }
  std::string_view get(uint32_t id) const {
    if (id < base_ || id - base_ >= spans_.size()) return {};
    const Span &sp = spans_[id - base_];
    return std::string_view(buf_).substr(sp.off, sp.len);
  }
  /* Keeps the newest text only (its number stays valid); capacity is kept
   * for the next declaration. */
  void release() {
    if (spans_.size() <= 1) return;
    Span last = spans_.back();
    buf_.erase(0, last.off);
    base_ += static_cast<uint32_t>(spans_.size() - 1);
    spans_.clear();
    spans_.push_back({0, last.len});
  }

 private:
  struct Span {
    uint32_t off, len;
  };
  std::string buf_;
  std::vector<Span> spans_;
  uint32_t base_ = 1;
};

class Lexer;

struct ParserState {
  FrontendContext &ctx;
  Lexer &lexer;
  ParseActions &actions;
  NameLevels names;
  TextArena texts;
  int block_depth = 0;      /* open blocks (function bodies included) */
  bool fatal_nesting = false;
  Loc fatal_loc{};
  int syntax_errors = 0;
  std::vector<std::string> fn_params; /* names of the last function's parameter list */

  ParserState(FrontendContext &c, Lexer &l, ParseActions &a) : ctx(c), lexer(l), actions(a) {
    texts.reset();
  }

  std::string_view text(uint32_t id) const { return texts.get(id); }
  /* The dialect has GCC's own syntax (statement expressions, case ranges...). */
  bool gnu() const { return ctx.dialect.keywords == KeywordSet::GNU; }

  void declare(uint32_t name, bool is_typedef) {
    if (name) names.declare(texts.get(name), is_typedef);
  }
  /* A parameter list's level: not a block, not counted. */
  void open_prototype() { names.push(); }
  void close_prototype(bool keep_names) {
    if (keep_names) {
      fn_params.clear();
      names.for_each_in_top([this](std::string_view n, bool) { fn_params.emplace_back(n); });
    }
    names.pop();
  }
  /* Opens a block level; false (and the fatal flag set) beyond the limit. */
  bool open_block(Loc loc) {
    if (block_depth + 1 > ctx.max_nesting) {
      fatal_nesting = true;
      fatal_loc = loc;
      return false;
    }
    block_depth++;
    names.push();
    return true;
  }
  void close_block() {
    if (block_depth > 0) {
      block_depth--;
      names.pop();
    }
  }
  /* Function body level: the parameters of the definition are its names. */
  bool open_function(Loc loc) {
    if (!open_block(loc)) return false;
    for (const std::string &p : fn_params) names.declare(p, false);
    fn_params.clear();
    return true;
  }
};

}  // namespace kvx::fe

#endif
