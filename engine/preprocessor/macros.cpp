/*
 * macros.cpp - the macro table, #define and #undef, and macro expansion.
 *
 * Expansion works on tokens: an expansion is a context on the context
 * stack, read before the file.  In standard mode arguments are fully
 * expanded before they are substituted (except as operands of '#' and
 * '##'), and a macro is not expanded again while its own expansion is
 * being read; traditional mode substitutes the raw arguments, also inside
 * strings, and has no '#' or '##' (a comment between two tokens of a
 * definition joins them).
 */
#include "preprocessor/pp_impl.h"

namespace kvx::pp {

static const size_t kMaxParams = 125;
static const size_t kMaxNesting = 1000;

/* ------------------------------------------------------------- pools */

std::vector<PToken> *Preprocessor::pool_get() {
  if (pool_.empty()) {
    pool_own_.push_back(std::make_unique<std::vector<PToken>>());
    return pool_own_.back().get();
  }
  auto *v = pool_.back();
  pool_.pop_back();
  v->clear();
  return v;
}

void Preprocessor::pool_put(std::vector<PToken> *v) { pool_.push_back(v); }

ArgSet *Preprocessor::args_get() {
  if (apool_.empty()) {
    apool_own_.push_back(std::make_unique<ArgSet>());
    return apool_own_.back().get();
  }
  ArgSet *a = apool_.back();
  apool_.pop_back();
  return a;
}

void Preprocessor::args_put(ArgSet *a) {
  for (auto *v : a->expanded)
    if (v) pool_put(v);
  a->expanded.clear();
  a->toks.clear();
  a->start.clear();
  apool_.push_back(a);
}

/* ----------------------------------------------------------- contexts */

void Preprocessor::push_context(Macro *m, const PToken *b, const PToken *e, std::vector<PToken> *owned) {
  if (m) m->active++;
  ctx_.push_back({b, e, m, owned});
}

void Preprocessor::pop_context() {
  Context c = ctx_.back();
  ctx_.pop_back();
  if (c.macro) c.macro->active--;
  if (c.owned) pool_put(c.owned);
  if (ctx_.empty() && top_exp_) {
    top_exp_ = false;
    obs_->expansion_end();
  }
}

void Preprocessor::clear_contexts() {
  while (ctx_.size() > ctx_base_) pop_context();
}

void Preprocessor::fetch(PToken &t) {
  if (!pending_.empty()) {
    t = pending_.back();
    pending_.pop_back();
    return;
  }
  while (!ctx_.empty()) {
    Context &c = ctx_.back();
    if (c.pos != c.end) {
      t = *c.pos++;
      /* what an expansion gives was written in the file (an argument) or
       * comes from a macro's replacement text */
      uint16_t from = (t.flags & (F_FILE | F_WRITTEN)) ? F_WRITTEN : F_MACRO;
      t.flags = (uint16_t)((t.flags & ~(F_FILE | F_WRITTEN | F_MACRO)) | pad_flags_ | from);
      pad_flags_ = 0;
      t.line = exp_line_;
      t.file = exp_file_;
      return;
    }
    pop_context();
  }
  lex(t);
}

void Preprocessor::get(PToken &t) {
  for (;;) {
    fetch(t);
    if (t.kind != (uint8_t)TokenKind::Identifier || !t.id->macro || (t.flags & F_NOEXPAND)) return;
    int r = use_macro(t);
    if (r == 2) continue;
    if (r == 1) t.flags |= F_MACID;
    return;
  }
}

/* ------------------------------------------------------------ expansion */

/* _Pragma ( string ): consumed, as #pragma lines are; false when the
 * operand is not there (the identifier then stays). */
bool Preprocessor::pragma_operator(const PToken &t) {
  PToken open, str, close;
  fetch(open);
  if (!open.is('(')) {
    push_pending(open);
    return false;
  }
  fetch(str);
  if (str.kind != (uint8_t)TokenKind::String) {
    push_pending(str);
    push_pending(open);
    return false;
  }
  fetch(close);
  if (!close.is(')')) {
    push_pending(close);
    push_pending(str);
    push_pending(open);
    return false;
  }
  pad_flags_ = t.flags & F_SPACE;
  return true;
}

/* The operand of __has_attribute and the like: ( name ) or
 * ( scope :: name ), not macro-expanded.  False on a bad form (a line end
 * met is left to be read again). */
bool Preprocessor::query_operand(std::string &key) {
  PToken t;
  fetch(t);
  if (!t.is('(')) return refuse(t);
  fetch(t);
  if (t.kind != (uint8_t)TokenKind::Identifier) return refuse(t);
  key.assign(t.p, t.len);
  fetch(t);
  if (t.is(':')) {
    PToken c, n;
    fetch(c);
    if (!c.is(':')) return refuse(c);
    fetch(n);
    if (n.kind != (uint8_t)TokenKind::Identifier) return refuse(n);
    key += "::";
    key.append(n.p, n.len);
    fetch(t);
  }
  if (!t.is(')')) return refuse(t);
  return true;
}

/* __has_attribute, __has_c_attribute and __has_builtin outside #if give
 * their answer as a number, as GCC does; the include queries stay. */
bool Preprocessor::query_outside_if(PToken &t) {
  int sp = t.id->special;
  if (sp != SP_HAS_ATTRIBUTE && sp != SP_HAS_C_ATTRIBUTE && sp != SP_HAS_BUILTIN) return false;
  /* ( name ) or ( scope : : name ); anything else is given back */
  PToken tk[6];
  int n = 0;
  bool ok = false;
  for (;;) {
    fetch(tk[n++]);
    const PToken &x = tk[n - 1];
    bool want_id = n == 2 || n == 5;
    if (n == 1 ? !x.is('(') : want_id ? x.kind != (uint8_t)TokenKind::Identifier : false) break;
    if ((n == 3 || n == 6) && x.is(')')) {
      ok = true;
      break;
    }
    if (n == 3 || n == 4) {
      if (!x.is(':')) break;
      continue;
    }
    if (n == 6) break;
  }
  if (!ok) {
    while (n > 0) push_pending(tk[--n]);
    return false;
  }
  std::string key(tk[1].sv());
  if (n == 6) key.append("::").append(tk[4].sv());
  std::string text = std::to_string(has_answer(sp, key));
  std::vector<PToken> *v = pool_get();
  PToken r;
  r.kind = (uint8_t)TokenKind::Number;
  r.p = temp_.copy(text);
  r.len = (uint32_t)text.size();
  v->push_back(r);
  pad_flags_ = t.flags & F_SPACE;
  if (ctx_.empty()) {
    exp_line_ = t.line;
    exp_file_ = t.file;
  }
  push_context(nullptr, v->data(), v->data() + v->size(), v);
  return true;
}

/* An expansion of a macro written in the file begins: its number among
 * those of its line. */
void Preprocessor::count_expansion(uint32_t file, uint32_t line) {
  bool same_line = file == ord_file_ && line == ord_line_ && exp_ord_;
  exp_ord_ = same_line ? (uint8_t)(exp_ord_ < 255 ? exp_ord_ + 1 : 255) : 1;
  ord_file_ = file;
  ord_line_ = line;
}

int Preprocessor::use_macro(PToken &t) {
  Macro *m = t.id->macro;
  if (m->nparams == MK_QUERY) return !in_if_ && query_outside_if(t) ? 2 : 0;
  if (m->nparams == MK_PRAGMA) {
    if (pragma_operator(t)) return 2;
    report(LEVEL_ERROR, "_Pragma takes a parenthesized string literal");
    return 0;
  }
  if (standard_ && m->active) {
    t.flags |= F_NOEXPAND;
    return 0;
  }
  bool top = (t.flags & F_FILE) && !in_directive_ && !in_args_;
  bool want = force_expand_ || (opts_.expand != t.id->in_names);
  if (ctx_.empty()) {
    exp_line_ = t.line;
    exp_file_ = t.file;
    chain_first_ = t.id;
  }
  ArgSet *a = nullptr;
  if (m->nparams >= 0) {
    PToken la;
    fetch(la);
    if (!la.is('(')) {
      push_pending(la);
      if (!standard_ && want) report(LEVEL_WARNING, "macro \"" + std::string(t.sv()) + "\" needs arguments");
      return 0;
    }
    if (!want) {
      push_pending(la);
      if (top) obs_->macro_used(t.file, t.line, t.sv(), true, false);
      return 1;
    }
    a = args_get();
    bool saved = in_args_;
    in_args_ = true;
    bool ok = collect_args(m, *a);
    in_args_ = saved;
    if (!ok) {
      args_put(a);
      return 0;
    }
  } else if (!want) {
    if (top) obs_->macro_used(t.file, t.line, t.sv(), false, false);
    return 1;
  }
  if (top) {
    obs_->macro_used(t.file, t.line, t.sv(), m->nparams >= 0, true);
    count_expansion(t.file, t.line);
  }
  if (ctx_.size() >= kMaxNesting + ctx_base_) {
    report(LEVEL_ERROR, "recursive macro definition of \"" +
                            std::string(chain_first_ ? chain_first_->sv() : t.sv()) + "\"");
    if (a) args_put(a);
    clear_contexts();
    return 2;
  }
  /* the outermost expansion starts when its context is pushed */
  bool outer = ctx_.empty();
  auto begin = [&] {
    if (outer && ctx_.empty()) top_exp_ = top;
  };
  pad_flags_ = t.flags & F_SPACE;
  if (m->nparams < -1) {
    std::vector<PToken> *v = pool_get();
    PToken r;
    FileFrame *real = nullptr;
    for (auto it = frames_.rbegin(); it != frames_.rend(); ++it)
      if (!(*it)->is_text) {
        real = it->get();
        break;
      }
    if (!real) real = file_;
    std::string text;
    auto quoted = [&](std::string_view n) {
      text = "\"";
      for (char c : n) {
        if (c == '"' || c == '\\') text += '\\';
        text += c;
      }
      text += '"';
      r.kind = (uint8_t)TokenKind::String;
    };
    if (m->nparams == MK_LINE) {
      text = std::to_string(line_at(*real, real->cur));
      r.kind = (uint8_t)TokenKind::Number;
    } else if (m->nparams == MK_FILE) {
      quoted(real->presented.empty() ? real->open_name : real->presented);
    } else if (m->nparams == MK_FILE_NAME) {
      std::string_view n = real->presented.empty() ? real->open_name : real->presented;
      size_t slash = n.find_last_of('/');
      quoted(slash == std::string_view::npos ? n : n.substr(slash + 1));
    } else if (m->nparams == MK_BASE_FILE) {
      quoted(source_name_);
    } else if (m->nparams == MK_COUNTER) {
      text = std::to_string(counter_++);
      r.kind = (uint8_t)TokenKind::Number;
    } else if (m->nparams == MK_INCLUDE_LEVEL) {
      long level = -1;
      for (auto &f : frames_)
        if (!f->is_text) level++;
      text = std::to_string(level < 0 ? 0 : level);
      r.kind = (uint8_t)TokenKind::Number;
    } else {
      report(LEVEL_FATAL, "illegal __ macro \"" + std::string(t.sv()) + "\"");
    }
    r.p = temp_.copy(text);
    r.len = (uint32_t)text.size();
    v->push_back(r);
    begin();
    push_context(nullptr, v->data(), v->data() + v->size(), v);
    return 2;
  }
  if (!m->needs_copy) {
    begin();
    push_context(m, m->body.data(), m->body.data() + m->body.size(), nullptr);
    return 2;
  }
  std::vector<PToken> *out = pool_get();
  if (a) {
    substitute(m, *a, *out);
    args_put(a);
  } else {
    out->assign(m->body.begin(), m->body.end());
  }
  if (m->has_paste) paste_all(*out);
  begin();
  pad_flags_ = t.flags & F_SPACE;
  push_context(m, out->data(), out->data() + out->size(), out);
  return 2;
}

bool Preprocessor::collect_args(Macro *m, ArgSet &a) {
  a.toks.clear();
  a.start.clear();
  a.start.push_back(0);
  size_t np = (size_t)m->nparams;
  int depth = 0;
  PToken t;
  for (;;) {
    fetch(t);
    if (t.kind >= IK_EOL) {
      report(LEVEL_ERROR, "end of file within macro argument");
      /* give the text back: '(' and the arguments read so far */
      std::vector<PToken> *v = pool_get();
      PToken paren = t;
      paren.kind = (uint8_t)TokenKind::Punct;
      paren.p = "(";
      paren.len = 1;
      paren.flags = 0;
      v->push_back(paren);
      for (size_t i = 0; i < a.start.size(); i++) {
        size_t b = a.start[i], e = i + 1 < a.start.size() ? a.start[i + 1] : a.toks.size();
        if (i > 0) {
          PToken comma = paren;
          comma.p = ",";
          v->push_back(comma);
        }
        v->insert(v->end(), a.toks.begin() + (long)b, a.toks.begin() + (long)e);
      }
      if (t.kind == IK_ARGEND) push_pending(t);
      push_context(nullptr, v->data(), v->data() + v->size(), v);
      return false;
    }
    if (t.kind == (uint8_t)TokenKind::Punct && t.len == 1) {
      char c = *t.p;
      if (c == '(') {
        depth++;
      } else if (c == ')') {
        if (depth == 0) break;
        depth--;
      } else if (c == ',' && depth == 0 && !(m->variadic && a.start.size() >= np)) {
        if (a.start.size() >= kMaxParams) report(LEVEL_FATAL, "too many arguments in macro expansion");
        a.start.push_back((uint32_t)a.toks.size());
        continue;
      }
    }
    if (t.flags & F_BOL) t.flags = (uint16_t)((t.flags & ~F_BOL) | F_SPACE);
    a.toks.push_back(t);
  }
  a.start.push_back((uint32_t)a.toks.size());
  size_t n = a.start.size() - 1;
  bool ok = n == np || (np == 0 && n == 1 && a.toks.empty()) || (m->variadic && n + 1 == np);
  if (!ok) report(LEVEL_WARNING, "wrong number of macro arguments for \"" + std::string(m->name->sv()) + "\"");
  a.va_omitted = m->variadic && n + 1 == np;
  while (a.start.size() - 1 < np) a.start.push_back((uint32_t)a.toks.size());
  a.expanded.assign(a.start.size() - 1, nullptr);
  return true;
}

void Preprocessor::expand_arg(ArgSet &a, size_t i) {
  if (a.expanded[i]) return;
  std::vector<PToken> *in = pool_get();
  in->assign(a.toks.begin() + a.start[i], a.toks.begin() + a.start[i + 1]);
  PToken end;
  end.kind = IK_ARGEND;
  end.p = "";
  in->push_back(end);
  std::vector<PToken> *out = pool_get();
  size_t depth = ctx_.size();
  size_t saved_base = ctx_base_;
  uint16_t saved_pad = pad_flags_;
  pad_flags_ = 0;
  push_context(nullptr, in->data(), in->data() + in->size(), in);
  ctx_base_ = ctx_.size();
  bool saved_args = in_args_;
  in_args_ = false;
  prescan_depth_++;
  PToken t;
  for (;;) {
    get(t);
    if (t.kind == IK_ARGEND) break;
    out->push_back(t);
  }
  prescan_depth_--;
  in_args_ = saved_args;
  ctx_base_ = saved_base;
  while (ctx_.size() > depth) pop_context();
  pad_flags_ = saved_pad;
  a.expanded[i] = out;
}

/* The string literal spelling the tokens [b, e): one blank where white
 * space was, '"' and '\\' escaped inside string and character literals. */
void Preprocessor::stringize_tokens(const PToken *b, const PToken *e, PToken &out) {
  std::string s = "\"";
  bool first = true;
  for (const PToken *k = b; k < e; k++) {
    const PToken &t = *k;
    if (t.kind == IK_PLACEMARKER) continue;
    if (!first && (t.flags & F_SPACE)) s += ' ';
    first = false;
    if (t.kind == (uint8_t)TokenKind::String || t.kind == (uint8_t)TokenKind::CharConst) {
      for (uint32_t j = 0; j < t.len; j++) {
        if (t.p[j] == '"' || t.p[j] == '\\') s += '\\';
        s += t.p[j];
      }
    } else {
      s.append(t.p, t.len);
    }
  }
  s += '"';
  out = PToken();
  out.kind = (uint8_t)TokenKind::String;
  out.p = temp_.copy(s);
  out.len = (uint32_t)s.size();
}

void Preprocessor::stringize(ArgSet &a, size_t i, PToken &out) {
  stringize_tokens(a.toks.data() + a.start[i], a.toks.data() + a.start[i + 1], out);
}

/* Traditional mode: parameter names inside a string are replaced by the
 * arguments' text. */
static void substitute_in_string(Preprocessor &pp, const Macro *m, ArgSet &a, PToken &t) {
  std::string s;
  const char *p = t.p, *e = t.p + t.len;
  while (p < e) {
    if (char_class[(unsigned char)*p] == C_LETTER) {
      const char *b = p;
      while (p < e && (char_class[(unsigned char)*p] == C_LETTER || char_class[(unsigned char)*p] == C_DIGIT)) p++;
      std::string_view w(b, (size_t)(p - b));
      size_t k = 0;
      for (; k < m->params.size(); k++)
        if (m->params[k]->sv() == w) break;
      if (k < m->params.size() && k + 1 < a.start.size()) {
        for (size_t j = a.start[k]; j < a.start[k + 1]; j++) {
          if (j > a.start[k] && (a.toks[j].flags & F_SPACE)) s += ' ';
          s.append(a.toks[j].p, a.toks[j].len);
        }
      } else {
        s.append(w);
      }
      continue;
    }
    s += *p++;
  }
  t.p = pp.temp_.copy(s);
  t.len = (uint32_t)s.size();
  t.flags &= ~F_TSTR;
}

void Preprocessor::substitute(Macro *m, ArgSet &a, std::vector<PToken> &out) {
  const std::vector<PToken> &body = m->body;
  size_t nargs = a.start.size() - 1;
  size_t va = m->variadic ? m->params.size() - 1 : SIZE_MAX;
  size_t vaopt_start = 0, vaopt_begin = 0;
  bool vaopt_str = false;
  for (size_t i = 0; i < body.size(); i++) {
    const PToken &b = body[i];
    if (b.kind == IK_VAOPT) {
      /* __VA_OPT__( ... ): its tokens when the variable arguments give any */
      bool present = false;
      if (va < nargs && a.start[va] != a.start[va + 1]) {
        expand_arg(a, va);
        present = !a.expanded[va]->empty();
      }
      bool pre_paste = i > 0 && (body[i - 1].flags & F_PASTE);
      vaopt_str = b.flags & F_STR;
      vaopt_begin = i;
      if (present) {
        vaopt_start = out.size();
        continue;
      }
      size_t j = i + 1;
      while (j < body.size() && body[j].kind != IK_VAOPT_END) j++;
      uint16_t post = j < body.size() ? (body[j].flags & F_PASTE) : 0;
      if (vaopt_str) {
        /* #__VA_OPT__( ) without variable arguments: "" */
        PToken str;
        stringize_tokens(nullptr, nullptr, str);
        str.flags = (uint16_t)((b.flags & F_SPACE) | post);
        out.push_back(str);
      } else if (pre_paste || post) {
        PToken pm;
        pm.kind = IK_PLACEMARKER;
        pm.flags = post;
        out.push_back(pm);
      }
      i = j;
      continue;
    }
    if (b.kind == IK_VAOPT_END) {
      if (vaopt_str) {
        PToken str;
        stringize_tokens(out.data() + vaopt_start, out.data() + out.size(), str);
        str.flags = (uint16_t)((body[vaopt_begin].flags & F_SPACE) | (b.flags & F_PASTE));
        out.resize(vaopt_start);
        out.push_back(str);
      } else if (out.size() == vaopt_start) {
        if (b.flags & F_PASTE || (i > 0 && (body[i - 1].flags & F_PASTE))) {
          PToken pm;
          pm.kind = IK_PLACEMARKER;
          pm.flags = b.flags & F_PASTE;
          out.push_back(pm);
        }
      } else if (b.flags & F_PASTE) {
        out.back().flags |= F_PASTE;
      }
      vaopt_str = false;
      continue;
    }
    if (b.kind != IK_PARAM) {
      if ((b.flags & F_PASTE) && b.is(',') && i + 1 < body.size() && body[i + 1].kind == IK_PARAM &&
          body[i + 1].arg == va && !(body[i + 1].flags & F_STR)) {
        /* ", ## __VA_ARGS__": the variable arguments follow the comma as
         * written, without pasting. */
        /* As GCC: the comma goes when the variable arguments are left out,
         * or are empty for a macro whose only parameter they are (except in
         * strict standard C); an empty argument given after it stays. */
        const PToken &p = body[++i];
        bool empty = va >= nargs || a.start[va] == a.start[va + 1];
        if (empty && (a.va_omitted || (m->params.size() == 1 && !(opts_.c99 && !opts_.gnu)))) {
          if (p.flags & F_PASTE) {
            PToken pm;
            pm.kind = IK_PLACEMARKER;
            pm.flags = F_PASTE;
            out.push_back(pm);
          }
          continue;
        }
        out.push_back(b);
        out.back().flags &= ~F_PASTE;
        if (empty) continue;
        size_t first = out.size();
        out.insert(out.end(), a.toks.begin() + a.start[va], a.toks.begin() + a.start[va + 1]);
        out[first].flags = (uint16_t)((out[first].flags & ~F_SPACE) | (p.flags & F_SPACE));
        if (p.flags & F_PASTE) out.back().flags |= F_PASTE;
        continue;
      }
      out.push_back(b);
      if (b.flags & F_TSTR) substitute_in_string(*this, m, a, out.back());
      continue;
    }
    size_t k = b.arg;
    bool pasted = (b.flags & F_PASTE) || (i > 0 && (body[i - 1].flags & F_PASTE));
    if (k >= nargs) {
      if (pasted) {
        PToken pm;
        pm.kind = IK_PLACEMARKER;
        pm.flags = b.flags & F_PASTE;
        out.push_back(pm);
      }
      continue;
    }
    if (b.flags & F_STR) {
      PToken s;
      stringize(a, k, s);
      s.flags = b.flags & (F_SPACE | F_PASTE);
      out.push_back(s);
      continue;
    }
    const PToken *beg, *end;
    /* Arguments nested deeper than the expansion limit are substituted as
     * written: this bounds the recursion. */
    bool too_deep = standard_ && !pasted && prescan_depth_ >= kMaxNesting;
    if (too_deep && !nest_reported_) {
      nest_reported_ = true;
      report(LEVEL_ERROR, "recursive macro definition of \"" +
                              std::string(chain_first_ ? chain_first_->sv() : m->name->sv()) + "\"");
    }
    if (!standard_ || pasted || too_deep) {
      beg = a.toks.data() + a.start[k];
      end = a.toks.data() + a.start[k + 1];
    } else {
      expand_arg(a, k);
      beg = a.expanded[k]->data();
      end = beg + a.expanded[k]->size();
    }
    if (beg == end) {
      if (pasted) {
        PToken pm;
        pm.kind = IK_PLACEMARKER;
        pm.flags = b.flags & (F_PASTE | F_SPACE);
        out.push_back(pm);
      }
      continue;
    }
    size_t first = out.size();
    out.insert(out.end(), beg, end);
    out[first].flags = (uint16_t)((out[first].flags & ~F_SPACE) | (b.flags & F_SPACE));
    if (b.flags & F_PASTE) out.back().flags |= F_PASTE;
  }
}

bool Preprocessor::paste(PToken &l, const PToken &r) {
  size_t n = l.len + r.len;
  char *s = temp_.alloc(n + 4);
  memcpy(s, l.p, l.len);
  memcpy(s + l.len, r.p, r.len);
  memset(s + n, 0, 4);
  unsigned char c = (unsigned char)s[0];
  size_t len = 0;
  uint8_t kind = (uint8_t)TokenKind::Other;
  switch (char_class[c]) {
    case C_LETTER: {
      const char *p = s;
      while (char_class[(unsigned char)*p] == C_LETTER || char_class[(unsigned char)*p] == C_DIGIT) p++;
      len = (size_t)(p - s);
      kind = (uint8_t)TokenKind::Identifier;
      if (len < n && char_class[(unsigned char)*p] == C_QUOTE) {
        len = 0; /* a prefixed literal is left separate */
        size_t pre = (size_t)(p - s);
        bool prefix = (pre == 1 && (*s == 'L' || *s == 'u' || *s == 'U')) || (pre == 2 && s[0] == 'u' && s[1] == '8');
        if (opts_.c99 && prefix) {
          /* at the C99 level L ## 'a' is the literal L'a' */
          char q = *p;
          const char *e = p + 1;
          while (e < s + n && *e != q) e += *e == '\\' ? 2 : 1;
          if (e == s + n - 1) {
            len = n;
            kind = q == '"' ? (uint8_t)TokenKind::String : (uint8_t)TokenKind::CharConst;
          }
        }
      }
      break;
    }
    case C_DIGIT:
      len = (size_t)(scan_number(s + 1) - s);
      kind = (uint8_t)TokenKind::Number;
      break;
    case C_DOT:
      if (char_class[(unsigned char)s[1]] == C_DIGIT) {
        len = (size_t)(scan_number(s + 1) - s);
        kind = (uint8_t)TokenKind::Number;
      } else {
        len = punct_length(s);
        kind = (uint8_t)TokenKind::Punct;
      }
      break;
    case C_PUNCT:
    case C_HASH:
    case C_SLASH:
      len = punct_length(s);
      kind = (uint8_t)TokenKind::Punct;
      if (c == '/' && (s[1] == '/' || s[1] == '*')) len = 0;
      break;
    default:
      len = 0;
  }
  if (len != n) {
    if (standard_) {
      unsigned char b = (unsigned char)r.p[0];
      char msg[64];
      if (b >= 32 && b < 127) snprintf(msg, sizeof msg, "strange character '%c' after #", b);
      else snprintf(msg, sizeof msg, "strange character (%d.) after #", b);
      report(LEVEL_ERROR, msg);
    }
    return false;
  }
  l.p = s;
  l.len = (uint32_t)n;
  l.kind = kind;
  l.id = kind == (uint8_t)TokenKind::Identifier ? intern(s, n) : nullptr;
  l.flags = (uint16_t)((l.flags & F_SPACE) | (r.flags & F_PASTE));
  return true;
}

void Preprocessor::paste_all(std::vector<PToken> &v) {
  size_t w = 0;
  for (size_t i = 0; i < v.size(); i++) {
    PToken cur = v[i];
    while ((cur.flags & F_PASTE) && i + 1 < v.size()) {
      const PToken &r = v[++i];
      if (cur.kind == IK_PLACEMARKER) {
        uint16_t sp = cur.flags & F_SPACE;
        cur = r;
        cur.flags = (uint16_t)((cur.flags & ~F_SPACE) | sp);
        continue;
      }
      if (r.kind == IK_PLACEMARKER) {
        cur.flags = (uint16_t)((cur.flags & ~F_PASTE) | (r.flags & F_PASTE));
        continue;
      }
      if (!paste(cur, r)) {
        cur.flags &= ~F_PASTE;
        v[w++] = cur;
        cur = r;
      }
    }
    cur.flags &= ~F_PASTE;
    if (cur.kind != IK_PLACEMARKER) v[w++] = cur;
  }
  v.resize(w);
}

/* ----------------------------------------------------------- definitions */

static bool same_body(const Macro &a, const Macro &b) {
  if (a.body.size() != b.body.size()) return false;
  for (size_t i = 0; i < a.body.size(); i++) {
    const PToken &x = a.body[i], &y = b.body[i];
    uint16_t mask = i ? (F_SPACE | F_STR | F_PASTE) : (F_STR | F_PASTE);
    if (x.kind != y.kind || x.arg != y.arg || (x.flags & mask) != (y.flags & mask) || x.sv() != y.sv())
      return false;
  }
  return true;
}

static bool bad_octal(const PToken &t) {
  if (t.len < 2 || t.p[0] != '0' || t.p[1] == 'x' || t.p[1] == 'X') return false;
  for (uint32_t i = 1; i < t.len; i++) {
    char c = t.p[i];
    if (c == '8' || c == '9') return true;
    if (c < '0' || c > '9') return false;
  }
  return false;
}

bool Preprocessor::parse_define(uint32_t file, uint32_t line, bool event) {
  PToken t;
  lex(t);
  if (t.kind != (uint8_t)TokenKind::Identifier) {
    report(LEVEL_ERROR, "#define syntax error");
    return false;
  }
  auto m = std::make_unique<Macro>();
  m->name = t.id;
  PToken n;
  lex(n);
  if (n.is('(') && !(n.flags & F_SPACE)) {
    lex(n);
    if (!n.is(')')) {
      for (;;) {
        if (n.kind == (uint8_t)TokenKind::Identifier && !m->variadic) {
          m->params.push_back(n.id);
          lex(n);
          if (n.kind == (uint8_t)TokenKind::Punct && n.sv() == "...") {
            m->variadic = true;
            lex(n);
          }
        } else if (n.kind == (uint8_t)TokenKind::Punct && n.sv() == "..." && !m->variadic) {
          m->params.push_back(id_va_);
          m->variadic = true;
          lex(n);
        } else {
          report(LEVEL_ERROR, "#define syntax error");
          return false;
        }
        if (m->params.size() > kMaxParams) report(LEVEL_FATAL, "too many arguments for macro");
        if (n.is(')')) break;
        if (!n.is(',')) {
          report(LEVEL_ERROR, "#define syntax error");
          return false;
        }
        lex(n);
      }
    }
    m->nparams = (int)m->params.size();
    lex(n);
  }
  bool fn = m->nparams >= 0;
  bool stringize_next = false;
  int vaopt = 0; /* parenthesis depth inside __VA_OPT__( ), 0 outside */
  for (; n.kind != IK_EOL && n.kind != IK_EOF; lex(n)) {
    PToken b = n;
    b.flags &= (F_SPACE | F_GLUE);
    b.line = b.file = 0;
    if (vaopt && b.kind == (uint8_t)TokenKind::Punct && b.len == 1) {
      if (*b.p == '(') vaopt++;
      if (*b.p == ')' && --vaopt == 0) {
        b.kind = IK_VAOPT_END;
        b.p = "";
        b.len = 0;
        m->body.push_back(b);
        continue;
      }
    }
    if (b.kind == (uint8_t)TokenKind::Identifier && b.id == id_va_opt_ && m->variadic && opts_.c99 && !vaopt) {
      PToken open;
      lex(open);
      if (!open.is('(')) {
        report(LEVEL_ERROR, "__VA_OPT__ must be followed by an open parenthesis");
        return false;
      }
      b.kind = IK_VAOPT;
      b.p = "";
      b.len = 0;
      if (stringize_next) b.flags |= F_STR; /* #__VA_OPT__( ) */
      stringize_next = false;
      m->body.push_back(b);
      m->needs_copy = true;
      vaopt = 1;
      continue;
    }
    if (b.kind == (uint8_t)TokenKind::Identifier) {
      b.p = b.id->name;
      if (fn) {
        for (size_t k = 0; k < m->params.size(); k++)
          if (m->params[k] == b.id) {
            b.kind = IK_PARAM;
            b.arg = (uint8_t)k;
            m->needs_copy = true;
            break;
          }
      }
    } else {
      b.p = perm_.copy(b.sv());
    }
    if (stringize_next) {
      stringize_next = false;
      if (b.kind == IK_PARAM) {
        b.flags |= F_STR;
      } else {
        char msg[64];
        unsigned char c = (unsigned char)b.p[0];
        if (c >= 32 && c < 127) snprintf(msg, sizeof msg, "strange character '%c' after #", c);
        else snprintf(msg, sizeof msg, "strange character (%d.) after #", c);
        report(LEVEL_WARNING, msg);
      }
    } else if (standard_ && b.kind == (uint8_t)TokenKind::Punct) {
      if (b.sv() == "##") {
        if (m->body.empty()) {
          report(LEVEL_ERROR, "#define syntax error");
          return false;
        }
        m->body.back().flags |= F_PASTE;
        m->has_paste = true;
        continue;
      }
      if (fn && b.sv() == "#") {
        stringize_next = true;
        continue;
      }
    }
    if (!standard_) {
      if ((b.flags & F_GLUE) && !m->body.empty()) {
        m->body.back().flags |= F_PASTE;
        m->has_paste = true;
      }
      if (fn && (b.kind == (uint8_t)TokenKind::String || b.kind == (uint8_t)TokenKind::CharConst)) {
        for (Ident *p : m->params)
          if (memmem(b.p, b.len, p->name, p->len)) {
            b.flags |= F_TSTR;
            m->needs_copy = true;
            break;
          }
      }
      if (b.kind == (uint8_t)TokenKind::Number && bad_octal(b)) report(LEVEL_WARNING, "illegal digit in octal number");
    }
    b.flags &= ~F_GLUE;
    if (m->needs_copy || (b.flags & F_STR)) m->needs_copy = true;
    m->body.push_back(b);
  }
  if (stringize_next) {
    report(LEVEL_WARNING, "strange character (10.) after #");
  }
  if (vaopt) {
    report(LEVEL_ERROR, "unterminated __VA_OPT__");
    return false;
  }
  if (!m->body.empty() && (m->body.back().flags & F_PASTE)) {
    if (standard_) {
      report(LEVEL_ERROR, "#define syntax error");
      return false;
    }
    m->body.back().flags &= ~F_PASTE;
  }
  if (!m->body.empty()) m->body[0].flags &= ~F_SPACE;
  m->needs_copy = m->needs_copy || m->has_paste;
  Ident *id = m->name;
  /* the operators and macros of the C99 level are replaced silently: code
   * written for compilers without them defines its own; as GCC, nothing is
   * said of a system header's redefinitions (unless -Wsystem-headers) */
  if (id->macro && id->macro->nparams > MK_COUNTER && !same_body(*id->macro, *m) &&
      (system_warnings_ || !file_->system))
    report(LEVEL_WARNING, "redefining defined variable \"" + std::string(id->sv()) + "\"");
  id->macro = m.get();
  Macro *mp = m.get();
  macros_.push_back(std::move(m));
  if (event) {
    std::vector<std::string_view> names;
    for (Ident *p : mp->params) names.push_back(p == id_va_ && mp->variadic ? std::string_view("...") : p->sv());
    obs_->macro_defined(file, line, id->sv(), mp->nparams, names);
  }
  return true;
}

void Preprocessor::do_define() {
  FileFrame &f = *file_;
  uint32_t line = f.splices.empty() ? f.line : line_at(f, f.cur);
  parse_define(f.file, line, true);
}

void Preprocessor::do_undef() {
  PToken t;
  lex(t);
  if (t.kind != (uint8_t)TokenKind::Identifier) {
    report(LEVEL_ERROR, "illegal #undef argument");
    return;
  }
  t.id->macro = nullptr;
}

bool Preprocessor::define_text(std::string_view text, std::string_view origin) {
  push_text(text, origin);
  bool saved = in_directive_;
  in_directive_ = true;
  quiet_ = true;
  quiet_failed_ = false;
  bool ok = parse_define(0, 0, false) && !quiet_failed_;
  quiet_ = false;
  in_directive_ = saved;
  frames_.pop_back();
  file_ = frames_.empty() ? nullptr : frames_.back().get();
  return ok;
}

void Preprocessor::undefine(std::string_view name) {
  Ident *id = intern(name.data(), name.size());
  if (!id->macro) {
    report(LEVEL_WARNING, "\"" + std::string(name) + "\" wasn't defined");
    return;
  }
  id->macro = nullptr;
}

bool Preprocessor::is_defined(std::string_view name) { return intern(name.data(), name.size())->macro != nullptr; }

void Preprocessor::define_special(const char *name, int kind) {
  auto m = std::make_unique<Macro>();
  m->name = intern(name, strlen(name));
  m->nparams = kind;
  m->name->macro = m.get();
  macros_.push_back(std::move(m));
}

}  // namespace kvx::pp
