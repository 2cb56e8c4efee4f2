/*
 * expr.cpp - the #if evaluator: operator-precedence parsing over the
 * macro-expanded tokens of the directive line, with defined, assertion
 * tests, sizeof and _argt$ over type words.
 *
 * Values are 32-bit signed in the old dialects.  At the C99 level they are
 * intmax_t/uintmax_t (64 bits): a constant is unsigned with a u suffix or
 * when it does not fit the signed type, and the usual arithmetic
 * conversions make an operation unsigned when either operand is.  After any
 * error the condition is taken as 1.
 */
#include "preprocessor/pp_impl.h"

namespace kvx::pp {
namespace {

enum Op {
  O_END, O_VAL, O_ID, O_ADD, O_SUB, O_MUL, O_DIV, O_MOD, O_SHL, O_SHR, O_AND, O_OR, O_XOR,
  O_EQ, O_NE, O_LT, O_LE, O_GE, O_GT, O_LAND, O_LOR, O_QUEST, O_COLON, O_COMMA, O_UPLUS,
  O_UMINUS, O_COMPL, O_NOT, O_LPAREN, O_RPAREN, O_NONE
};

const char *const op_name[] = {"end of expression", "val", "id", "+", "-", "*", "/", "%", "<<",
                               ">>", "&", "|", "^", "==", "!=", "<", "<=", ">=", ">", "&&", "||",
                               "?", ":", ",", "unary +", "unary -", "~", "!", "(", ")", "(none)"};

/* Precedences times two, so that '?' and ':' can be stacked in between. */
int prec_of(int op) {
  switch (op) {
    case O_LPAREN: return 32;
    case O_UPLUS: case O_UMINUS: case O_COMPL: case O_NOT: return 30;
    case O_MUL: case O_DIV: case O_MOD: return 28;
    case O_ADD: case O_SUB: return 26;
    case O_SHL: case O_SHR: return 24;
    case O_LT: case O_LE: case O_GE: case O_GT: return 22;
    case O_EQ: case O_NE: return 20;
    case O_AND: return 18;
    case O_XOR: return 16;
    case O_OR: return 14;
    case O_LAND: return 12;
    case O_LOR: return 10;
    case O_QUEST: case O_COLON: return 8;
    case O_COMMA: return 6;
    case O_NONE: return 4;
    case O_RPAREN: return 2;
    default: return 0;
  }
}
bool is_unary(int op) { return op >= O_UPLUS && op <= O_LPAREN; }

/* Type words of sizeof and _argt$. */
enum { T_CHAR = 1, T_INT = 2, T_FLOAT = 4, T_DOUBLE = 8, T_SHORT = 16, T_LONG = 32, T_SIGNED = 64,
       T_UNSIGNED = 128, T_PTR = 256, T_FNPTR = 512, T_VOID = 1024 };

int type_bit(std::string_view w) {
  static const struct { const char *n; int b; } words[] = {
      {"char", T_CHAR}, {"int", T_INT}, {"float", T_FLOAT}, {"double", T_DOUBLE},
      {"short", T_SHORT}, {"long", T_LONG}, {"signed", T_SIGNED}, {"unsigned", T_UNSIGNED},
      {"void", T_VOID}};
  for (auto &x : words)
    if (w == x.n) return x.b;
  return 0;
}

bool groups_ok(int b) {
  static const int groups[] = {T_FLOAT | T_DOUBLE | T_SHORT | T_LONG, T_CHAR | T_INT | T_FLOAT | T_DOUBLE,
                               T_FLOAT | T_DOUBLE | T_SIGNED | T_UNSIGNED, T_CHAR | T_SHORT | T_LONG};
  for (int g : groups)
    if (__builtin_popcount((unsigned)(b & g)) > 1) return false;
  return true;
}

/* A value of the evaluator: at the C99 level u marks uintmax_t. */
struct Val {
  int64_t v = 0;
  bool u = false;
};

class Evaluator {
 public:
  explicit Evaluator(Preprocessor &pp) : pp_(pp), wide_(pp.opts_.c99) {}
  int64_t run();

 private:
  struct Entry {
    uint8_t op, prec, skip;
  };
  bool fail(const std::string &msg) {
    if (!msg.empty()) pp_.report(LEVEL_ERROR, msg);
    failed_ = true;
    return false;
  }
  int read(Val &v);
  bool number(const PToken &t, Val &v);
  int64_t char_value(const PToken &t);
  bool defined_op(Val &v);
  bool assertion(Val &v);
  bool has_op(int special, const PToken &name, Val &v);
  bool type_form(bool is_sizeof, Val &v, bool &supported);
  bool apply();
  bool apply_narrow(const Entry &top);
  bool push_val(Val v) {
    if (nvals_ >= 127) return fail("#if value stack overflow");
    vals_[nvals_++] = v;
    return true;
  }
  uint8_t skip() const { return ops_[nops_ - 1].skip; }

  Preprocessor &pp_;
  Entry ops_[128];
  int nops_ = 0;
  Val vals_[127];
  int nvals_ = 0;
  bool failed_ = false;
  bool wide_;  /* C99 level: 64-bit values with unsigned ones */
};

bool Evaluator::number(const PToken &t, Val &v) {
  const char *p = t.p, *e = t.p + t.len;
  uint64_t base = 10, acc = 0;
  bool over = false;
  if (*p == '0') {
    base = 8;
    if (p + 1 < e && (p[1] == 'x' || p[1] == 'X')) {
      base = 16;
      p += 2;
    } else if (wide_ && p + 1 < e && (p[1] == 'b' || p[1] == 'B')) {
      base = 2;
      p += 2;
    }
  }
  for (; p < e; p++) {
    uint64_t d;
    char c = *p;
    if (c >= '0' && c <= '9') d = (uint64_t)(c - '0');
    else if (c >= 'a' && c <= 'f') d = (uint64_t)(c - 'a' + 10);
    else if (c >= 'A' && c <= 'F') d = (uint64_t)(c - 'A' + 10);
    else break;
    if (d >= base) break;
    if (acc > (UINT64_MAX - d) / base) over = true;
    acc = acc * base + d;
  }
  bool uns = false;
  while (p < e && (*p == 'u' || *p == 'U' || *p == 'l' || *p == 'L')) {
    if (*p == 'u' || *p == 'U') uns = true;
    p++;
  }
  if (wide_) {
    if (over) pp_.report(LEVEL_WARNING, "integer constant is too large for its type");
    /* a constant that does not fit intmax_t is uintmax_t */
    v.v = (int64_t)acc;
    v.u = uns || acc > (uint64_t)INT64_MAX;
  } else {
    v.v = (int32_t)(uint32_t)acc;
    v.u = false;
  }
  if (p < e) {
    if (skip()) return fail("");
    char msg[64];
    unsigned char c = (unsigned char)*p;
    if (c >= 32 && c < 127) snprintf(msg, sizeof msg, "illegal character '%c' in #if", c);
    else snprintf(msg, sizeof msg, "illegal character (%d decimal) in #if", c);
    return fail(msg);
  }
  return true;
}

int64_t Evaluator::char_value(const PToken &t) {
  const char *p = t.p, *e = t.p + t.len - 1;
  while (*p != '\'') p++;
  p++;
  bool wide_char = *t.p != '\'';  /* L'x', u'x', U'x' */
  uint32_t v = 0;
  int n = 0;
  bool first = true;
  while (p < e) {
    unsigned char c = (unsigned char)*p++;
    if (c == '\\' && first && p < e) {
      char x = *p++;
      switch (x) {
        case 'a': c = 7; break;
        case 'b': c = 8; break;
        case 'f': c = 12; break;
        case 'n': c = 10; break;
        case 'r': c = 13; break;
        case 't': c = 9; break;
        case 'v': c = 11; break;
        case 'x': {
          unsigned n = 0;
          for (int i = 0; i < 3 && p < e && isxdigit((unsigned char)*p); i++, p++)
            n = n * 16 + (unsigned)(isdigit((unsigned char)*p) ? *p - '0' : (tolower(*p) - 'a' + 10));
          c = (unsigned char)n;
          break;
        }
        default:
          if (x >= '0' && x <= '7') {
            unsigned n = (unsigned)(x - '0');
            for (int i = 1; i < 3 && p < e && *p >= '0' && *p <= '7'; i++, p++) n = n * 8 + (unsigned)(*p - '0');
            c = (unsigned char)n;
          } else {
            c = (unsigned char)x;
          }
      }
    }
    first = false;
    v = v * 256 + c;
    n++;
  }
  /* at the C99 level a one-character constant has the value of a (signed)
   * char converted to int, as GCC gives it for x86-64 */
  if (wide_ && n == 1 && !wide_char) return (int8_t)(uint8_t)v;
  return (int32_t)v;
}

bool Evaluator::defined_op(Val &v) {
  PToken t;
  pp_.fetch(t);
  bool paren = t.is('(');
  if (paren) pp_.fetch(t);
  if (t.kind != (uint8_t)TokenKind::Identifier) {
    if (t.kind == IK_EOL) pp_.push_pending(t);
    return fail("bad #if ... defined() syntax");
  }
  v.v = pp_.is_defined(t.id);
  if (paren) {
    pp_.fetch(t);
    if (!t.is(')')) {
      if (t.kind == IK_EOL) pp_.push_pending(t);
      return fail("bad #if ... defined() syntax");
    }
  }
  return true;
}

bool Evaluator::assertion(Val &v) {
  std::string key;
  if (!pp_.read_answer(key)) return fail("");
  v.v = pp_.assertions_.count(key) != 0;
  return true;
}

/* Reads "( type words )" after sizeof or _argt$.  False on an error;
 * supported is false for a form that gets the reserved identifier. */
bool Evaluator::type_form(bool is_sizeof, Val &v, bool &supported) {
  supported = false;
  PToken t;
  pp_.get(t);
  int bits = 0;
  bool bad = false;
  int depth = 0;
  if (!t.is('(')) {
    pp_.push_pending(t);
    bad = true;
  } else {
    depth = 1;
    for (;;) {
      pp_.get(t);
      if (t.kind == IK_EOL || t.kind == IK_EOF) {
        pp_.push_pending(t);
        bad = true;
        depth = 0;
        break;
      }
      if (t.is(')')) {
        depth = 0;
        break;
      }
      if (t.kind == (uint8_t)TokenKind::Identifier && type_bit(t.sv())) {
        bits |= type_bit(t.sv());
      } else if (t.is('*')) {
        bits |= T_PTR;
      } else if (t.is('(')) {
        PToken a, b;
        pp_.get(a);
        if (!a.is('*')) {
          pp_.push_pending(a);
          depth = 2;
          bad = true;
          break;
        }
        pp_.get(b);
        if (!b.is(')')) {
          pp_.push_pending(b);
          depth = 2;
          bad = true;
          break;
        }
        bits |= T_FNPTR;
        pp_.get(a);
        if (a.is('(')) {
          pp_.get(b);
          if (!b.is(')')) {
            pp_.push_pending(b);
            depth = 2;
            bad = true;
            break;
          }
        } else {
          pp_.push_pending(a);
        }
      } else {
        bad = true;
        break;
      }
    }
  }
  if (!bad && groups_ok(bits)) {
    const Preprocessor &p = pp_;
    if (is_sizeof) {
      if (bits & T_FNPTR) {
        v.v = p.psize_[6];
        supported = true;
      } else {
        int b = bits & ~(T_SIGNED | T_UNSIGNED);
        if (b & (T_SHORT | T_LONG)) b &= ~T_INT;
        bool ptr = b & T_PTR;
        b &= ~T_PTR;
        static const int rows[] = {T_CHAR, T_SHORT, T_INT, T_LONG, T_FLOAT, T_DOUBLE};
        for (int i = 0; i < 6; i++)
          if (b == rows[i]) {
            v.v = ptr ? p.psize_[i] : p.size_[i];
            supported = true;
          }
        if (b == T_VOID) {
          v.v = ptr ? p.psize_[7] : 0;
          supported = true;
        }
      }
    } else {
      int b = bits;
      if (b & (T_SHORT | T_LONG)) b &= ~T_INT;
      if (b & (T_PTR | T_FNPTR)) {
        v.v = 12;
        supported = true;
      } else {
        static const struct { int b, code; } codes[] = {
            {T_UNSIGNED | T_CHAR, 1}, {T_CHAR, 2}, {T_UNSIGNED | T_SHORT, 3}, {T_SHORT, 4},
            {T_UNSIGNED | T_INT, 5}, {T_INT, 6}, {T_UNSIGNED | T_LONG, 7}, {T_LONG, 8},
            {T_FLOAT, 9}, {T_DOUBLE, 10}};
        for (auto &c : codes)
          if (b == c.b) {
            v.v = c.code;
            supported = true;
          }
      }
    }
  }
  if (supported) return true;
  /* skip the rest of the form up to its balancing parenthesis */
  while (depth > 0) {
    pp_.get(t);
    if (t.kind == IK_EOL || t.kind == IK_EOF) {
      pp_.push_pending(t);
      break;
    }
    if (t.is('(')) depth++;
    if (t.is(')')) depth--;
  }
  const char *rid = is_sizeof ? "__ON_SIZEOF_NOT_SUPPORTED__" : "__ON_ARGTDOLLAR_NOT_SUPPORTED__";
  PToken r;
  r.kind = (uint8_t)TokenKind::Identifier;
  r.id = pp_.intern(rid, strlen(rid));
  r.p = r.id->name;
  r.len = r.id->len;
  r.flags = F_SPACE;
  pp_.push_pending(r);
  pp_.report(LEVEL_WARNING, is_sizeof
                                ? "not supported #if ... sizeof() syntax (replaced by __ON_SIZEOF_NOT_SUPPORTED__)"
                                : "not supported #if ... argt$() syntax (replaced by __ON_ARGTDOLLAR_NOT_SUPPORTED__)");
  return true;
}

/* __has_include and the other query operators of the C99 level. */
bool Evaluator::has_op(int special, const PToken &name, Val &v) {
  std::string bad = "bad #if ... " + std::string(name.sv()) + "() syntax";
  if (special == SP_HAS_INCLUDE || special == SP_HAS_INCLUDE_NEXT) {
    int r = pp_.has_include(special == SP_HAS_INCLUDE_NEXT);
    if (r < 0) return fail(bad);
    v.v = r;
    return true;
  }
  std::string key;
  if (!pp_.query_operand(key)) return fail(bad);
  v.v = pp_.has_answer(special, key);
  return true;
}

/* Next operator code, or O_VAL with the value in v; -1 after an error. */
int Evaluator::read(Val &v) {
  for (;;) {
    PToken t;
    pp_.get(t);
    switch (t.kind) {
      case IK_EOL:
      case IK_EOF:
        pp_.push_pending(t);
        return O_END;
      case (uint8_t)TokenKind::Number:
        return number(t, v) ? (int)O_VAL : -1;
      case (uint8_t)TokenKind::CharConst:
        v.v = char_value(t);
        return O_VAL;
      case (uint8_t)TokenKind::String:
        fail("can't use a string in an #if");
        return -1;
      case (uint8_t)TokenKind::Identifier:
      case (uint8_t)TokenKind::MacroIdentifier: {
        int sp = t.id->special;
        if (sp == SP_DEFINED) return defined_op(v) ? (int)O_VAL : -1;
        if (sp == SP_SIZEOF || sp == SP_ARGT) {
          bool supported;
          if (!type_form(sp == SP_SIZEOF, v, supported)) return -1;
          if (!supported) continue;
          return O_VAL;
        }
        if (sp >= SP_HAS_INCLUDE && wide_) return has_op(sp, t, v) ? (int)O_VAL : -1;
        v.v = 0;
        return O_VAL;
      }
      case (uint8_t)TokenKind::Punct: {
        std::string_view s = t.sv();
        static const struct { const char *s; int op; } ops[] = {
            {"+", O_ADD}, {"-", O_SUB}, {"*", O_MUL}, {"/", O_DIV}, {"%", O_MOD}, {"<<", O_SHL},
            {">>", O_SHR}, {"&", O_AND}, {"|", O_OR}, {"^", O_XOR}, {"==", O_EQ}, {"!=", O_NE},
            {"<", O_LT}, {"<=", O_LE}, {">=", O_GE}, {">", O_GT}, {"&&", O_LAND}, {"||", O_LOR},
            {"?", O_QUEST}, {":", O_COLON}, {",", O_COMMA}, {"~", O_COMPL}, {"!", O_NOT},
            {"(", O_LPAREN}, {")", O_RPAREN}};
        for (auto &o : ops)
          if (s == o.s) return o.op;
        if (s == "#") return assertion(v) ? (int)O_VAL : -1;
        if (s[0] == '=') {
          fail("= not allowed in #if");
          return -1;
        }
        if (s.size() > 1) {
          /* not an operator of #if: read it again character by character */
          PToken rest = t;
          rest.p++;
          rest.len--;
          rest.flags = 0;
          pp_.push_pending(rest);
          PToken first = t;
          first.len = 1;
          pp_.push_pending(first);
          continue; /* "+=" gives '+' and then the '=' error */
        }
        [[fallthrough]];
      }
      default: {
        unsigned char c = (unsigned char)*t.p;
        if (c == '\\') {
          fail("Unexpected \\ in #if");
          return -1;
        }
        if (skip()) {
          fail("");
          return -1;
        }
        char msg[64];
        if (c >= 32 && c < 127) snprintf(msg, sizeof msg, "illegal character '%c' in #if", c);
        else snprintf(msg, sizeof msg, "illegal character (%d decimal) in #if", c);
        fail(msg);
        return -1;
      }
    }
  }
}

bool Evaluator::apply() {
  Entry top = ops_[--nops_];
  int op = top.op;
  if (op == O_COLON) {
    if (nops_ < 1 || ops_[nops_ - 1].op != O_QUEST)
      return fail(std::string("misplaced '?' or ':', previous operator is ") +
                  op_name[nops_ ? (int)ops_[nops_ - 1].op : (int)O_NONE]);
    nops_--;
    if (nvals_ < 3) return fail(std::string("operator : in incorrect context"));
    Val c = vals_[nvals_ - 1], b = vals_[nvals_ - 2], a = vals_[nvals_ - 3];
    nvals_ -= 3;
    Val r = a.v ? b : c;
    r.u = b.u || c.u;
    return push_val(r);
  }
  if (op == O_QUEST) return fail("misplaced '?' or ':', previous operator is ?");
  if (!wide_) return apply_narrow(top);
  if (is_unary(op)) {
    if (nvals_ < 1) return fail(std::string("operator ") + op_name[op] + " in incorrect context");
    Val &a = vals_[nvals_ - 1];
    switch (op) {
      case O_UMINUS: a.v = (int64_t)(0u - (uint64_t)a.v); break;
      case O_COMPL: a.v = ~a.v; break;
      case O_NOT:
        a.v = !a.v;
        a.u = false;
        break;
      default: break;
    }
    return true;
  }
  if (nvals_ < 2) return fail(std::string("operator ") + op_name[op] + " in incorrect context");
  Val b = vals_[--nvals_];
  Val a = vals_[--nvals_];
  /* the usual arithmetic conversions; shifts keep the left operand's type */
  bool u = a.u || b.u;
  uint64_t ua = (uint64_t)a.v, ub = (uint64_t)b.v;
  Val r;
  r.u = u;
  switch (op) {
    case O_ADD: r.v = (int64_t)(ua + ub); break;
    case O_SUB: r.v = (int64_t)(ua - ub); break;
    case O_MUL: r.v = (int64_t)(ua * ub); break;
    case O_DIV:
    case O_MOD:
      if (b.v == 0) {
        if (!top.skip)
          pp_.report(LEVEL_WARNING, std::string(op == O_DIV ? "divide" : "mod") +
                                        " by zero in #if, zero result assumed");
        r.v = 0;
      } else if (u) {
        r.v = (int64_t)(op == O_DIV ? ua / ub : ua % ub);
      } else if (b.v == -1) {
        r.v = op == O_DIV ? (int64_t)(0u - ua) : 0;
      } else {
        r.v = op == O_DIV ? a.v / b.v : a.v % b.v;
      }
      break;
    case O_SHL:
    case O_SHR: {
      r.u = a.u;
      /* a negative count shifts the other way, as GCC does */
      bool left = op == O_SHL;
      uint64_t n = ub;
      if (!b.u && b.v < 0) {
        left = !left;
        n = 0u - ub;
      }
      if (left) r.v = n >= 64 ? 0 : (int64_t)(ua << n);
      else if (a.u) r.v = n >= 64 ? 0 : (int64_t)(ua >> n);
      else r.v = n >= 64 ? (a.v < 0 ? -1 : 0) : a.v >> n;
      break;
    }
    case O_AND: r.v = a.v & b.v; break;
    case O_OR: r.v = a.v | b.v; break;
    case O_XOR: r.v = a.v ^ b.v; break;
    case O_EQ: r.v = a.v == b.v; r.u = false; break;
    case O_NE: r.v = a.v != b.v; r.u = false; break;
    case O_LT: r.v = u ? ua < ub : a.v < b.v; r.u = false; break;
    case O_LE: r.v = u ? ua <= ub : a.v <= b.v; r.u = false; break;
    case O_GE: r.v = u ? ua >= ub : a.v >= b.v; r.u = false; break;
    case O_GT: r.v = u ? ua > ub : a.v > b.v; r.u = false; break;
    case O_LAND: r.v = a.v && b.v; r.u = false; break;
    case O_LOR: r.v = a.v || b.v; r.u = false; break;
    case O_COMMA: return fail("syntax error : unknown operator");
    default: break;
  }
  return push_val(r);
}

/* The 32-bit signed arithmetic of the old dialects. */
bool Evaluator::apply_narrow(const Entry &top) {
  int op = top.op;
  if (is_unary(op)) {
    if (nvals_ < 1) return fail(std::string("operator ") + op_name[op] + " in incorrect context");
    int32_t a = (int32_t)vals_[nvals_ - 1].v;
    switch (op) {
      case O_UMINUS: a = (int32_t)(0u - (uint32_t)a); break;
      case O_COMPL: a = ~a; break;
      case O_NOT: a = !a; break;
      default: break;
    }
    vals_[nvals_ - 1].v = a;
    return true;
  }
  if (nvals_ < 2) return fail(std::string("operator ") + op_name[op] + " in incorrect context");
  int32_t b = (int32_t)vals_[--nvals_].v;
  int32_t a = (int32_t)vals_[--nvals_].v;
  uint32_t ua = (uint32_t)a, ub = (uint32_t)b;
  int32_t r = 0;
  switch (op) {
    case O_ADD: r = (int32_t)(ua + ub); break;
    case O_SUB: r = (int32_t)(ua - ub); break;
    case O_MUL: r = (int32_t)(ua * ub); break;
    case O_DIV:
    case O_MOD:
      if (b == 0) {
        if (!top.skip)
          pp_.report(LEVEL_WARNING, std::string(op == O_DIV ? "divide" : "mod") +
                                        " by zero in #if, zero result assumed");
        r = 0;
      } else if (b == -1) {
        r = op == O_DIV ? (int32_t)(0u - ua) : 0;
      } else {
        r = op == O_DIV ? a / b : a % b;
      }
      break;
    case O_SHL: r = (int32_t)(ua << (ub & 31)); break;
    case O_SHR: r = a >> (ub & 31); break;
    case O_AND: r = a & b; break;
    case O_OR: r = a | b; break;
    case O_XOR: r = a ^ b; break;
    case O_EQ: r = a == b; break;
    case O_NE: r = a != b; break;
    case O_LT: r = a < b; break;
    case O_LE: r = a <= b; break;
    case O_GE: r = a >= b; break;
    case O_GT: r = a > b; break;
    case O_LAND: r = a && b; break;
    case O_LOR: r = a || b; break;
    case O_COMMA: return fail("syntax error : unknown operator");
    default: break;
  }
  Val v;
  v.v = r;
  return push_val(v);
}

int64_t Evaluator::run() {
  ops_[0] = {O_NONE, (uint8_t)prec_of(O_NONE), 0};
  nops_ = 1;
  bool expect_operand = true;
  bool after_rparen = false;
  bool first = true;
  for (;;) {
    Val v;
    int op = read(v);
    if (op < 0) return 1;
    if (first && op == O_END) {
      pp_.report(LEVEL_ERROR, "#if, #ifdef, or #ifndef without an argument");
      return 1;
    }
    first = false;
    if (op == O_VAL) {
      if (!expect_operand) {
        if (after_rparen && nvals_ > 0) nvals_--; /* "(type) value": the cast is dropped */
        else return fail("misplaced constant in #if"), 1;
      }
      if (!push_val(v)) return 1;
      expect_operand = false;
      after_rparen = false;
      continue;
    }
    if (expect_operand) {
      if (op == O_ADD) op = O_UPLUS;
      else if (op == O_SUB) op = O_UMINUS;
    }
    bool unary = is_unary(op);
    if (expect_operand != unary) {
      if (!expect_operand && unary && after_rparen && op != O_UPLUS && op != O_UMINUS) {
        /* "(type) !x": the parenthesised group was a cast */
        nvals_--;
        expect_operand = true;
      } else {
        fail(std::string("operator ") + op_name[op] + " in incorrect context");
        return 1;
      }
    }
    int prec = prec_of(op);
    if (!unary) {
      while (prec <= ops_[nops_ - 1].prec || (op == O_COLON && ops_[nops_ - 1].op == O_COLON)) {
        int top = ops_[nops_ - 1].op;
        if (top == O_LPAREN) {
          if (op != O_RPAREN) {
            fail(std::string("unbalanced paren's, op is \"") + op_name[op] + "\"");
            return 1;
          }
          nops_--;
          break;
        }
        if (top == O_QUEST) {
          if (op == O_COLON) break;
          fail(std::string("misplaced '?' or ':', previous operator is ?"));
          return 1;
        }
        if (top == O_NONE) {
          if (op == O_END) return nvals_ ? vals_[nvals_ - 1].v : 1;
          break; /* a ')' without '(' is dropped */
        }
        if (!apply()) return 1;
      }
    }
    if (op == O_RPAREN) {
      expect_operand = false;
      after_rparen = true;
      continue;
    }
    if (op == O_END) return nvals_ ? vals_[nvals_ - 1].v : 1;
    if (nops_ >= 128) {
      fail(std::string("expression stack overflow at op \"") + op_name[op] + "\"");
      return 1;
    }
    uint8_t sk = ops_[nops_ - 1].skip;
    int stacked = prec;
    if (op == O_LPAREN) stacked = prec_of(O_RPAREN);
    if (op == O_QUEST || op == O_COLON) stacked = 7;
    if (op == O_LAND && nvals_ && vals_[nvals_ - 1].v == 0) sk |= 2;
    if (op == O_LOR && nvals_ && vals_[nvals_ - 1].v != 0) sk |= 2;
    if (op == O_QUEST && nvals_ && vals_[nvals_ - 1].v == 0) sk |= 1;
    if (op == O_COLON && nops_ > 0 && ops_[nops_ - 1].op == O_QUEST) sk = (uint8_t)(ops_[nops_ - 1].skip ^ 1);
    ops_[nops_++] = {(uint8_t)op, (uint8_t)stacked, sk};
    expect_operand = true;
    after_rparen = false;
  }
}

}  // namespace

int64_t Preprocessor::evaluate() {
  force_expand_ = true;
  in_if_ = true;
  Evaluator e(*this);
  int64_t v = e.run();
  in_if_ = false;
  force_expand_ = false;
  return v;
}

}  // namespace kvx::pp
