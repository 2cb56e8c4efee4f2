/*
 * lexer.cpp - classification of tokens, number checking, syntax messages.
 */
#include "frontend/lexer.h"

#include <cctype>
#include <cstdio>
#include <cstring>

#include "c_grammar.hpp"

namespace kvx::fe {

namespace {

bool is_digit(char c) { return c >= '0' && c <= '9'; }
bool is_hex(char c) { return is_digit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

/* Integer suffix: u and l letters (one u, at most two l), and in the
 * dialects with sized integers the i8/i16/i32/i64 forms. */
bool int_suffix_ok(std::string_view t, size_t i, bool sized) {
  int u = 0, l = 0;
  while (i < t.size()) {
    char c = t[i];
    if (c == 'u' || c == 'U') {
      if (++u > 1) return false;
      i++;
    } else if (c == 'l' || c == 'L') {
      if (++l > 2) return false;
      i++;
    } else if (sized && (c == 'i' || c == 'I') && l == 0) {
      std::string_view w = t.substr(i + 1);
      return w == "8" || w == "16" || w == "32" || w == "64";
    } else {
      return false;
    }
  }
  return true;
}

/* Drops a GNU imaginary suffix (i or j, before or after the others). */
std::string_view without_imaginary(std::string_view t, size_t from, std::string &buf) {
  for (size_t i = from; i < t.size(); i++)
    if (t[i] == 'i' || t[i] == 'I' || t[i] == 'j' || t[i] == 'J') {
      buf.assign(t.substr(0, i));
      buf.append(t.substr(i + 1));
      return buf;
    }
  return t;
}

/* Floating suffix of the C99-level dialects: f l, the GNU q w and the
 * _FloatN forms f16 f32 f64 f128 f32x f64x, the decimal df dd dl. */
bool c99_float_suffix_ok(std::string_view s) {
  static const char *const ok[] = {"", "f", "l", "q", "w", "f16", "f32", "f64", "f128", "f32x", "f64x",
                                   "df", "dd", "dl"};
  std::string low(s);
  for (char &c : low) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  for (const char *w : ok)
    if (low == w) return true;
  return false;
}

/* Checks a preprocessing number; returns the message for a malformed one.
 * The C99-level dialects also take hexadecimal floating constants and the
 * GNU suffixes. */
const char *check_number(std::string_view t, bool sized, bool c99, ConstantKind &kind) {
  kind = ConstantKind::Integer;
  size_t i = 0, n = t.size();
  std::string buf;
  if (c99) {
    t = without_imaginary(t, 1, buf);
    n = t.size();
    if (n >= 2 && t[0] == '0' && (t[1] == 'x' || t[1] == 'X')) {
      i = 2;
      size_t digits = 0;
      while (i < n && is_hex(t[i])) i++, digits++;
      if (i < n && (t[i] == '.' || t[i] == 'p' || t[i] == 'P')) {
        kind = ConstantKind::Floating;
        if (t[i] == '.') {
          i++;
          while (i < n && is_hex(t[i])) i++, digits++;
        }
        if (digits == 0) return "invalid numeric constant";
        if (i == n || (t[i] != 'p' && t[i] != 'P')) return "invalid floating constant";
        i++;
        if (i < n && (t[i] == '+' || t[i] == '-')) i++;
        size_t start = i;
        while (i < n && is_digit(t[i])) i++;
        if (i == start) return "invalid floating constant";
        return c99_float_suffix_ok(t.substr(i)) ? nullptr : "nondigits in number";
      }
    }
  }
  if (n >= 2 && t[0] == '0' && (t[1] == 'x' || t[1] == 'X')) {
    i = 2;
    while (i < n && is_hex(t[i])) i++;
    if (i == 2) return "invalid numeric constant";
    return int_suffix_ok(t, i, sized) ? nullptr : "nondigits in number";
  }
  size_t digits = 0;
  while (i < n && is_digit(t[i])) i++, digits++;
  bool floating = false;
  if (i < n && t[i] == '.') {
    floating = true;
    i++;
    while (i < n && is_digit(t[i])) i++, digits++;
  }
  if (digits == 0) return "invalid numeric constant";
  if (i < n && (t[i] == 'e' || t[i] == 'E')) {
    floating = true;
    i++;
    if (i < n && (t[i] == '+' || t[i] == '-')) i++;
    size_t start = i;
    while (i < n && is_digit(t[i])) i++;
    if (i == start) return "invalid floating constant";
  }
  if (!floating) return int_suffix_ok(t, i, sized) ? nullptr : "nondigits in number";
  kind = ConstantKind::Floating;
  if (c99 && c99_float_suffix_ok(t.substr(i))) return nullptr;
  if (i < n && std::strchr("fFlL", t[i])) i++;
  if (i == n) return nullptr;
  if (std::strchr(".eE+-", t[i])) return "invalid floating constant";
  return "nondigits in number";
}

/* A character constant needs a character between its quotes and a closing
 * quote that is not escaped. */
bool char_constant_ok(std::string_view t) {
  if (t.size() > 2 && t[0] == 'u' && t[1] == '8') t.remove_prefix(2);
  else if (!t.empty() && (t[0] == 'L' || t[0] == 'u' || t[0] == 'U')) t.remove_prefix(1);
  if (t.size() < 3 || t.front() != '\'' || t.back() != '\'') return false;
  size_t bs = 0;
  for (size_t i = t.size() - 1; i > 1 && t[i - 1] == '\\'; i--) bs++;
  return bs % 2 == 0;
}

pp::TokenKind kind_of_text(std::string_view t) {
  if (t.empty()) return pp::TokenKind::Other;
  char c = t[0];
  if (c == '"' || (c == 'L' && t.size() > 1 && t[1] == '"')) return pp::TokenKind::String;
  if (c == '\'' || (c == 'L' && t.size() > 1 && t[1] == '\'')) return pp::TokenKind::CharConst;
  if (std::isalpha(static_cast<unsigned char>(c)) || c == '_' || c == '$')
    return pp::TokenKind::Identifier;
  if (is_digit(c) || (c == '.' && t.size() > 1 && is_digit(t[1]))) return pp::TokenKind::Number;
  if (std::strchr(";,{}()[]=:?.!~+-*/%&|^<>#", c)) return pp::TokenKind::Punct;
  return pp::TokenKind::Other;
}

/* Pseudo tokens of words that the lexer drops: __extension__ alone, and
 * __attribute__ with its parenthesised arguments. */
constexpr int kDropWord = -1;
constexpr int kDropAttribute = -2;

int keyword_token(KeywordClass k) {
  switch (k) {
    case KeywordClass::None: return 0;
    case KeywordClass::AutoStorage: return TK_AUTO;
    case KeywordClass::Typedef: return TK_TYPEDEF;
    case KeywordClass::Static: return TK_STATIC;
    case KeywordClass::Extern: return TK_EXTERN;
    case KeywordClass::SizedInt: return TK_SIZED_INT;
    case KeywordClass::IgnoredModifier: return TK_IGNORED_MOD;
    case KeywordClass::Based: return TK_BASED;
    case KeywordClass::Try: return TK_TRY;
    case KeywordClass::Finally: return TK_FINALLY;
    case KeywordClass::Except: return TK_EXCEPT;
    case KeywordClass::Leave: return TK_LEAVE;
    case KeywordClass::Sizeof: return TK_SIZEOF;
    case KeywordClass::Enum: return TK_ENUM;
    case KeywordClass::Struct: return TK_STRUCT;
    case KeywordClass::Union: return TK_UNION;
    case KeywordClass::If: return TK_IF;
    case KeywordClass::Else: return TK_ELSE;
    case KeywordClass::While: return TK_WHILE;
    case KeywordClass::Do: return TK_DO;
    case KeywordClass::For: return TK_FOR;
    case KeywordClass::Switch: return TK_SWITCH;
    case KeywordClass::Case: return TK_CASE;
    case KeywordClass::Default: return TK_DEFAULT;
    case KeywordClass::Break: return TK_BREAK;
    case KeywordClass::Continue: return TK_CONTINUE;
    case KeywordClass::Return: return TK_RETURN;
    case KeywordClass::Goto: return TK_GOTO;
    case KeywordClass::Asm: return TK_ASM;
    case KeywordClass::AsmOperand: return TK_ASM_OPERAND;
    case KeywordClass::Typeof: return TK_TYPEOF;
    case KeywordClass::Alignof: return TK_ALIGNOF;
    case KeywordClass::Int: return TK_INT;
    case KeywordClass::Float: return TK_FLOAT;
    case KeywordClass::Double: return TK_DOUBLE;
    case KeywordClass::Char: return TK_CHAR;
    case KeywordClass::Void: return TK_VOID;
    case KeywordClass::Long: return TK_LONG;
    case KeywordClass::Unsigned: return TK_UNSIGNED;
    case KeywordClass::Short: return TK_SHORT;
    case KeywordClass::Signed: return TK_SIGNED;
    case KeywordClass::Const: return TK_CONST;
    case KeywordClass::Volatile: return TK_VOLATILE;
    case KeywordClass::InterruptFunction: return TK_INTERRUPT_FN;
    case KeywordClass::Bool: return TK_BOOL;
    case KeywordClass::Complex: return TK_COMPLEX;
    case KeywordClass::Int128: return TK_INT128;
    case KeywordClass::FloatN: return TK_FLOATN;
    case KeywordClass::VaList: return TK_VA_LIST;
    case KeywordClass::AutoType: return TK_AUTO_TYPE;
    case KeywordClass::Atomic: return TK_ATOMIC;
    case KeywordClass::Alignas: return TK_ALIGNAS;
    case KeywordClass::StaticAssert: return TK_STATIC_ASSERT;
    case KeywordClass::Generic: return TK_GENERIC;
    case KeywordClass::LocalLabel: return TK_LOCAL_LABEL;
    case KeywordClass::RealImag: return TK_REAL_IMAG;
    case KeywordClass::BuiltinVaArg: return TK_BUILTIN_VA_ARG;
    case KeywordClass::BuiltinOffsetof: return TK_BUILTIN_OFFSETOF;
    case KeywordClass::BuiltinTypesCompatible: return TK_BUILTIN_TYPES_COMPATIBLE;
    /* never reach the parser: the lexer drops them */
    case KeywordClass::Attribute: return kDropAttribute;
    case KeywordClass::Extension: return kDropWord;
  }
  return 0;
}

bool is_type_word(int tok) {
  switch (tok) {
    case TK_SIZED_INT: case TK_INT: case TK_FLOAT: case TK_DOUBLE: case TK_CHAR:
    case TK_VOID: case TK_LONG: case TK_UNSIGNED: case TK_SHORT: case TK_SIGNED:
    case TK_TYPEDEF_NAME: case TK_BOOL: case TK_COMPLEX: case TK_INT128: case TK_FLOATN:
    case TK_VA_LIST: case TK_AUTO_TYPE:
      return true;
    default:
      return false;
  }
}

}  // namespace

/* ------------------------------------------------------------ reading */

bool Lexer::raw(Pending &p) {
  if (!queue_.empty()) {
    p = std::move(queue_.front());
    queue_.pop_front();
    return p.kind != pp::TokenKind::End;
  }
  pp::Token t;
  bool ok = src_.next(t);
  p.kind = ok ? t.kind : pp::TokenKind::End;
  p.space_before = t.space_before;
  p.first_on_line = t.first_on_line;
  p.from_ignore = false;
  p.file = t.file;
  p.line = t.line;
  p.origin = t.origin;
  p.text.assign(t.text.data(), t.text.size());
  return ok && t.kind != pp::TokenKind::End;
}

/* Tries the patterns rooted at the current token; on a match the matched
 * tokens are gone and the replacement waits at the front of the queue. */
bool Lexer::apply_ignore(int root) {
  const IgnoreTable &tab = *ctx_.ignore;
  std::vector<Pending> look;
  int node = root, best = tab.ends(root) ? root : -1;
  size_t best_len = 0;
  for (;;) {
    Pending p;
    bool ok = raw(p);
    look.push_back(std::move(p));
    if (!ok) break;
    int c = tab.child(node, look.back().text);
    if (c < 0) break;
    node = c;
    if (tab.ends(node)) {
      best = node;
      best_len = look.size();
    }
  }
  for (size_t i = look.size(); i-- > best_len;) queue_.push_front(std::move(look[i]));
  if (best < 0) return false;
  const std::vector<IgnoreItem> &items = tab.replacement(best);
  bool line_break = false;
  std::vector<Pending> repl;
  for (const IgnoreItem &it : items) {
    if (it.line_break) {
      line_break = true;
      continue;
    }
    Pending r;
    r.kind = kind_of_text(it.text);
    r.text = it.text;
    r.from_ignore = true;
    r.file = cur_.file;
    r.line = cur_.line;
    r.space_before = true;
    r.first_on_line = line_break || (repl.empty() && cur_.first_on_line);
    line_break = false;
    repl.push_back(std::move(r));
  }
  for (size_t i = repl.size(); i-- > 0;) queue_.push_front(std::move(repl[i]));
  return true;
}

bool Lexer::next_pp() {
  for (;;) {
    if (!raw(cur_)) return false;
    if (ctx_.ignore && !ctx_.ignore->empty() && !cur_.from_ignore) {
      int root = ctx_.ignore->root(cur_.text);
      if (root >= 0 && apply_ignore(root)) continue;
    }
    return true;
  }
}

void Lexer::lexical_error(const char *msg) {
  lexical_errors_++;
  ctx_.diag.report_located(LEVEL_ERROR, src_.file_name(cur_.file), cur_.line, msg);
}

/* __attribute__ (( ... )): the arguments up to the balancing ')' are read
 * and dropped.  Without '(' only the word itself is dropped.  True for
 * __attribute__((fallthrough)) before ';', the statement that says a
 * switch clause falls through on purpose. */
bool Lexer::skip_attribute() {
  if (!next_is_punct("(")) return false;
  int depth = 0, n = 0;
  bool fallthrough = false;
  while (next_pp()) {
    if (++n == 3) fallthrough = cur_.text == "fallthrough" || cur_.text == "__fallthrough__";
    if (cur_.kind != pp::TokenKind::Punct) continue;
    if (cur_.text == "(") depth++;
    else if (cur_.text == ")" && --depth == 0) return fallthrough && n == 5 && next_is_punct(";");
  }
  at_end_ = true;
  return false;
}

/* Looks at the next token without taking it. */
bool Lexer::next_is_punct(std::string_view punct) {
  Pending p;
  bool ok = raw(p);
  bool is = ok && p.kind == pp::TokenKind::Punct && p.text == punct;
  queue_.push_front(std::move(p));
  return is;
}

/* ------------------------------------------------------------ classification */

int Lexer::classify_identifier(SemValue &val) {
  std::string_view t = cur_.text;
  bool macro = cur_.kind == pp::TokenKind::MacroIdentifier;
  bool after_tag_keyword = prev_ == TK_STRUCT || prev_ == TK_UNION || prev_ == TK_ENUM;
  prev_was_tag_ = false;
  if (!macro) {
    int kw = keyword_token(keyword_class(ctx_.dialect.keywords, t));
    if (kw) {
      if (is_type_word(kw)) type_seen_ = true;
      return kw;
    }
  }
  if (after_tag_keyword) {
    prev_was_tag_ = true;
    type_seen_ = true;
    return macro ? TK_MACRO_IDENTIFIER : TK_IDENTIFIER;
  }
  bool member = prev_ == '.' || prev_ == TK_PTR_OP;
  if (!member && !type_seen_ && ps_->names.is_type_name(t)) {
    type_seen_ = true;
    return TK_TYPEDEF_NAME;
  }
  (void)val;
  return macro ? TK_MACRO_IDENTIFIER : TK_IDENTIFIER;
}

void Lexer::bracket_open(char c, bool type_after, bool declarator, bool restore) {
  brackets_.push_back({c, type_seen_, type_after, declarator, restore});
  if (!declarator) type_seen_ = false;
}

void Lexer::bracket_close() {
  if (brackets_.empty()) {
    type_seen_ = false;
    return;
  }
  Bracket b = brackets_.back();
  brackets_.pop_back();
  if (init_depth_ > static_cast<int>(brackets_.size())) init_depth_ = -1;
  /* after "[...]" the declaration goes on; after ')' and '}' a new
   * specifier list may start unless the bracket closed a type */
  type_seen_ = b.open == '[' || b.declarator || b.restore ? b.saved_type_seen : b.type_after;
}

int Lexer::classify_punct() {
  std::string_view t = cur_.text;
  if (t.size() == 1) {
    char c = t[0];
    switch (c) {
      case '(':
        /* after the specifiers (or a '*') of a declaration, '(' begins a
         * parenthesised declarator; after a name or ')' a parameter list */
        /* _Alignas(...) leaves the declaration as it was */
        bracket_open('(', prev_ == TK_TYPEOF || prev_ == TK_ATOMIC_SPEC,
                     type_seen_ && init_depth_ < 0 && (is_type_word(prev_) || prev_ == '*' || prev_ == '(' ||
                                    prev_ == TK_CONST || prev_ == TK_VOLATILE ||
                                    prev_ == TK_IGNORED_MOD || prev_ == TK_INTERRUPT_FN ||
                                    prev_ == TK_ATOMIC),
                     prev_ == TK_ALIGNAS);
        break;
      case '[': bracket_open('[', false); break;
      case '{':
        bracket_open('{', prev_ == TK_STRUCT || prev_ == TK_UNION || prev_ == TK_ENUM ||
                              prev_was_tag_);
        break;
      case ')': case ']': case '}': bracket_close(); break;
      case ';':
        type_seen_ = false;
        init_depth_ = -1;
        break;
      case ',':
        if (init_depth_ == static_cast<int>(brackets_.size())) {
          /* the next declarator of the declaration */
          type_seen_ = true;
          init_depth_ = -1;
        } else if (!brackets_.empty() && brackets_.back().open == '(') {
          type_seen_ = false;
        }
        break;
      case '=':
        /* an initializer is an expression: its '(' never opens a declarator,
         * so "T x = *(T *)p;" is a cast */
        if (type_seen_ && (brackets_.empty() || brackets_.back().open == '{'))
          init_depth_ = static_cast<int>(brackets_.size());
        break;
      default: break;
    }
    return static_cast<unsigned char>(c);
  }
  struct Multi {
    const char *text;
    int tok;
    Op op;
  };
  static const Multi kMulti[] = {
      {"...", TK_ELLIPSIS, Op::Add},     {"<<=", TK_ASSIGN_OP, Op::LshAssign},
      {">>=", TK_ASSIGN_OP, Op::RshAssign}, {"+=", TK_ASSIGN_OP, Op::AddAssign},
      {"-=", TK_ASSIGN_OP, Op::SubAssign}, {"*=", TK_ASSIGN_OP, Op::MulAssign},
      {"/=", TK_ASSIGN_OP, Op::DivAssign}, {"%=", TK_ASSIGN_OP, Op::ModAssign},
      {"&=", TK_ASSIGN_OP, Op::BandAssign}, {"|=", TK_ASSIGN_OP, Op::BorAssign},
      {"^=", TK_ASSIGN_OP, Op::BxorAssign}, {"==", TK_EQ_OP, Op::Eq},
      {"!=", TK_NE_OP, Op::Ne},           {"<=", TK_LE_OP, Op::Le},
      {">=", TK_GE_OP, Op::Ge},           {"&&", TK_AND_OP, Op::And},
      {"||", TK_OR_OP, Op::Or},           {"++", TK_INC_OP, Op::PreInc},
      {"--", TK_DEC_OP, Op::PreDec},      {"<<", TK_LEFT_OP, Op::Lsh},
      {">>", TK_RIGHT_OP, Op::Rsh},       {"->", TK_PTR_OP, Op::PointerSelect},
  };
  for (const Multi &m : kMulti)
    if (t == m.text) return m.tok | (static_cast<int>(m.op) << 16);
  if (t == "..") {
    lexical_error("parse error at `..'");
    cur_.text = ".";
    return '.';
  }
  /* any other spelling ('#', '##', ...) stands for its first character */
  return t.empty() ? 0 : static_cast<unsigned char>(t[0]);
}

int Lexer::next(SemValue &val, Loc &loc) {
  val.node = nullptr;
  val.aux = nullptr;
  val.text = 0;
  val.flags = 0;
  val.op = 0;
  for (;;) {
    int tok = 0;
    if (at_end_ || !next_pp()) {
      at_end_ = true;
      cur_.kind = pp::TokenKind::End;
      cur_.text.clear();
      if (cur_.line == 0) {
        cur_.line = last_line_;
        cur_.file = last_file_;
      }
      loc = {cur_.file, cur_.line};
      LexToken lt;
      lt.loc = loc;
      ps_->actions.token(lt);
      return 0;
    }
    last_line_ = cur_.line;
    last_file_ = cur_.file;
    switch (cur_.kind) {
      case pp::TokenKind::Identifier:
      case pp::TokenKind::MacroIdentifier:
        tok = classify_identifier(val);
        if (tok == kDropWord) continue;
        if (tok == kDropAttribute) {
          uint32_t file = cur_.file, line = cur_.line;
          uint8_t origin = cur_.origin;
          if (!skip_attribute()) {
            ps_->actions.attribute(Loc{file, line});
            continue;
          }
          /* a statement of its own, located at the attribute's word */
          cur_.file = file;
          cur_.line = line;
          cur_.origin = origin;
          cur_.text = "__attribute__((fallthrough))";
          tok = TK_FALLTHROUGH_ATTR;
        }
        if (tok == TK_ATOMIC && next_is_punct("(")) tok = TK_ATOMIC_SPEC;
        val.text = ps_->texts.add(cur_.text);
        break;
      case pp::TokenKind::Number: {
        ConstantKind k;
        if (const char *msg = check_number(cur_.text, ctx_.dialect.keywords == KeywordSet::MSC50,
                                           ctx_.dialect.c99, k))
          lexical_error(msg);
        tok = TK_CONSTANT;
        val.op = static_cast<int>(k);
        val.text = ps_->texts.add(cur_.text);
        break;
      }
      case pp::TokenKind::CharConst:
        if (!char_constant_ok(cur_.text)) lexical_error("invalid character constant");
        tok = TK_CONSTANT;
        val.op = static_cast<int>(ConstantKind::Character);
        val.text = ps_->texts.add(cur_.text);
        break;
      case pp::TokenKind::String:
        tok = TK_STRING_LITERAL;
        val.text = ps_->texts.add(cur_.text);
        break;
      case pp::TokenKind::Punct: {
        if (cur_.text == ".") {
          /* two dots not followed by a third are reported and read as one */
          Pending p;
          bool ok = raw(p);
          if (ok && p.kind == pp::TokenKind::Punct && p.text == "." && !p.space_before) {
            cur_.text = "..";
          } else {
            queue_.push_front(std::move(p));
          }
        }
        int r = classify_punct();
        tok = r & 0xffff;
        val.op = r >> 16;
        break;
      }
      case pp::TokenKind::Other:
        if (cur_.text == "\\") {
          lexical_error("Invalid character '\\' in code");
          continue;
        }
        tok = cur_.text.empty() ? 0 : static_cast<unsigned char>(cur_.text[0]);
        /* a NUL character must not read as the end: 257 is the parser's
         * number for a token it does not know */
        if (tok == 0) tok = 257;
        break;
      case pp::TokenKind::End:
        continue;
    }
    if (tok != TK_IDENTIFIER && tok != TK_MACRO_IDENTIFIER) prev_was_tag_ = false;
    prev_ = tok;
    loc = {cur_.file, cur_.line, cur_.origin};
    LexToken lt;
    lt.kind = tok;
    lt.text = cur_.text;
    lt.loc = loc;
    lt.first_on_line = cur_.first_on_line;
    ps_->actions.token(lt);
    return tok;
  }
}

void Lexer::syntax_message(std::string_view text) {
  std::string msg(text);
  const std::string &t = cur_.text;
  if (at_end_ || cur_.kind == pp::TokenKind::End) {
    msg += " at end of file";
  } else if (t.empty()) {
    msg += " at null character";
  } else if (cur_.kind == pp::TokenKind::String) {
    msg += " before string constant";
  } else if (cur_.kind == pp::TokenKind::CharConst) {
    msg += " before character constant";
  } else if (static_cast<unsigned char>(t[0]) < 32 || t[0] == 127) {
    char buf[32];
    std::snprintf(buf, sizeof buf, " before character 0%o", static_cast<unsigned char>(t[0]));
    msg += buf;
  } else {
    msg += " before `";
    msg += t;
    msg += "'";
  }
  ctx_.diag.report_located(LEVEL_ERROR, src_.file_name(cur_.file), cur_.line, msg);
}

void Lexer::drain() {
  SemValue v;
  Loc l;
  while (next(v, l) != 0) {
  }
}

}  // namespace kvx::fe
