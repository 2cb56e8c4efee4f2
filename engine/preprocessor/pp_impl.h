/*
 * pp_impl.h - the preprocessor's internal state, shared by its source files.
 *
 * reader.cpp    files, line splices, trigraphs, comments, raw tokens
 * directives.cpp  directive dispatch, conditionals, #include, #line, #assert
 * expr.cpp      the #if evaluator
 * macros.cpp    the macro table, #define, #undef and expansion
 * optfiles.cpp  the .def and .mac files and the option-file search
 * scanner.cpp   the scanning loop and the options
 */
#ifndef KVX_PREPROCESSOR_PP_IMPL_H
#define KVX_PREPROCESSOR_PP_IMPL_H

#include <array>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "driver/diag.h"
#include "preprocessor/pp_observer.h"
#include "preprocessor/pp_options.h"
#include "preprocessor/pp_token.h"

namespace kvx::pp {

/* Character classes of the reader. */
enum : uint8_t { C_OTHER, C_LETTER, C_DIGIT, C_DOT, C_QUOTE, C_BLANK, C_NL, C_SLASH, C_PUNCT, C_NUL,
                 C_BACKSLASH, C_HASH };
extern const uint8_t char_class[256];

/* Token kinds beyond TokenKind that live only inside the preprocessor. */
enum : uint8_t { IK_EOL = 20, IK_EOF, IK_PARAM, IK_PLACEMARKER, IK_ARGEND, IK_VAOPT, IK_VAOPT_END };
/* Token flags. */
enum : uint16_t {
  F_SPACE = 1,     /* white space before */
  F_BOL = 2,       /* first token of its line */
  F_NOEXPAND = 4,  /* names a macro that must never be expanded again */
  F_PASTE = 8,     /* '##' follows this token */
  F_STR = 16,      /* parameter operand of '#' */
  F_TSTR = 32,     /* traditional string holding parameter names */
  F_FILE = 64,     /* read directly from a file (not from an expansion) */
  F_MACID = 128,   /* (external way) identifier marked as unexpanded macro */
  F_GLUE = 256,    /* (traditional) follows a comment directly: pastes onto the token before */
  F_WRITTEN = 512, /* came out of an expansion, written in the file (an argument) */
  F_MACRO = 1024   /* came out of an expansion, of a macro's replacement text */
};

struct Macro;

struct Ident {
  const char *name;
  uint32_t len;
  uint32_t hash;
  Ident *chain;
  Macro *macro;
  uint8_t directive;  /* directive code, 0 for none */
  uint8_t special;    /* SP_* below */
  bool in_names;      /* listed in the macro-names set */
  std::string_view sv() const { return {name, len}; }
};
enum : uint8_t { SP_NONE, SP_DEFINED, SP_SIZEOF, SP_ARGT, SP_VA_ARGS, SP_VA_OPT,
                 /* the C99-level query operators of #if, in this order */
                 SP_HAS_INCLUDE, SP_HAS_INCLUDE_NEXT, SP_HAS_ATTRIBUTE, SP_HAS_C_ATTRIBUTE,
                 SP_HAS_BUILTIN, SP_HAS_FEATURE, SP_HAS_EXTENSION };
/* Macros whose expansion the preprocessor computes (Macro::nparams). */
enum : int { MK_LINE = -2, MK_FILE = -3, MK_COUNTER = -4, MK_PRAGMA = -5, MK_INCLUDE_LEVEL = -6,
             MK_BASE_FILE = -7, MK_QUERY = -8, MK_FILE_NAME = -9 };

struct PToken {
  const char *p = nullptr;
  uint32_t len = 0;
  uint8_t kind = 0;
  uint8_t arg = 0;  /* parameter index of an IK_PARAM */
  uint16_t flags = 0;
  uint32_t line = 0;
  uint32_t file = 0;
  Ident *id = nullptr;
  std::string_view sv() const { return {p, len}; }
  bool is(char c) const { return len == 1 && *p == c && kind == (uint8_t)TokenKind::Punct; }
};

struct Macro {
  Ident *name = nullptr;
  int nparams = -1;  /* -1 no parameters, MK_* for the computed ones */
  bool variadic = false;
  bool has_paste = false;
  bool needs_copy = false;  /* body holds parameters or pastes */
  int active = 0;           /* contexts of this macro being read */
  std::vector<PToken> body;
  std::vector<Ident *> params;
};

/* Bump allocator: chunks are never moved, so pointers stay valid. */
class Arena {
 public:
  char *alloc(size_t n);
  const char *copy(std::string_view s) {
    char *d = alloc(s.size() + 1);
    memcpy(d, s.data(), s.size());
    d[s.size()] = 0;
    return d;
  }
  void reset();  /* keeps the first chunk */
 private:
  std::vector<std::unique_ptr<char[]>> chunks_;
  std::vector<size_t> sizes_;
  char *cur_ = nullptr;
  size_t left_ = 0;
};

struct FileFrame {
  std::unique_ptr<char[]> buf;  /* cleaned text, ending with "\n\0" */
  const char *base = nullptr, *cur = nullptr, *end = nullptr;
  uint32_t line = 1;
  uint32_t file = 0;                 /* index in the file table */
  std::vector<uint32_t> splices;     /* offsets where a line splice was removed */
  size_t splice_i = 0;
  std::string open_name;             /* name used to open it */
  std::string presented;             /* name given by #line */
  std::string delete_path;           /* temporary file removed at its end */
  bool bol = true;
  bool is_text = false;              /* option text, not a file */
  bool macros_only = false;          /* -imacros: its tokens are dropped */
  bool system = false;               /* a system header (see enter_included) */
  int dir_index = -1;                /* include directory it was found in */
  size_t cond_base = 0;              /* conditional groups open when it was entered */
};

struct Context {
  const PToken *pos, *end;
  Macro *macro;                 /* re-enabled when the context is left */
  std::vector<PToken> *owned;   /* returned to the pool when left */
};

/* Operand of one macro use being expanded. */
struct ArgSet {
  std::vector<PToken> toks;
  std::vector<uint32_t> start;  /* start of each argument in toks, plus the end */
  std::vector<std::vector<PToken> *> expanded;
  bool va_omitted = false;  /* the variable arguments were left out entirely */
};

class Preprocessor {
 public:
  Preprocessor(const Options &opts, Diagnostics &diag, Observer *obs);
  ~Preprocessor();

  bool open_source(const std::string &path);
  bool open_preprocessed(const std::string &path, const std::string &source, bool del);
  bool next(Token &out);

  std::string_view file_name(uint32_t f) const { return files_[f]; }
  size_t file_count() const { return files_.size(); }
  std::string_view current_file_name() const;
  long current_line();

  /* --- used by the option readers --- */
  /* Include directories are searched in this order: -iquote (for quoted
   * names only), -I, -isystem, the option files' and -idirafter (both
   * appended as they come); all but the -iquote and -I ones are system
   * directories. */
  /* INC_PROJECT: searched last like INC_APPENDED, in the order given, but a
   * directory of the project, not a system one ("i" lines of a .def file). */
  enum IncludeKind : uint8_t { INC_QUOTE, INC_USER, INC_SYSTEM, INC_APPENDED, INC_PROJECT };
  void add_include_dir(const std::string &dir, IncludeKind kind);
  bool define_text(std::string_view text, std::string_view origin);  /* "NAME(params) body" */
  void undefine(std::string_view name);
  bool is_defined(std::string_view name);
  void add_assertion(const std::string &a) { assertions_.insert(a); }
  void add_macro_name(std::string_view name) { intern(name.data(), name.size())->in_names = true; }
  void set_sizes(std::string_view spec);
  void apply_args(const std::vector<std::string> &args);
  void language_standard(std::string_view name);
  void forced_includes();
  Diagnostics &diag() { return diag_; }
  void warn(int level, const std::string &msg) { report(level, msg); }

  /* --- reader (reader.cpp) --- */
  Ident *intern(const char *p, size_t n);
  Ident *intern_hashed(const char *p, size_t n, uint32_t h);
  bool push_file(const std::string &path, const std::string &index_name = std::string());
  void push_text(std::string_view text, std::string_view origin);
  bool pop_file();
  void lex(PToken &t);
  uint32_t line_at(FileFrame &f, const char *p);
  void skip_block_comment(FileFrame &f, const char *&p, bool record);
  void note_comment(const FileFrame &f, uint32_t first, uint32_t count, std::string_view text);
  void annotation(FileFrame &f, const char *start, const char *&p);
  void skip_to_eol();  /* rest of a directive line, lenient */
  void enter_included(int dir);
  uint32_t file_index(const std::string &name);

  /* --- directives (directives.cpp) --- */
  void directive();
  void skip_group();
  void do_conditional(int code, std::string_view name);
  void do_include(bool next);
  std::string find_include(const std::string &name, bool angle, bool next, int &dir, bool beside = true);
  void do_pragma();
  void do_message(bool error);
  bool pragma_operator(const PToken &t);
  bool query_operand(std::string &key);
  /* A token that does not continue the form being read: a line end is left
   * to be read again (it still ends the directive).  Always false. */
  bool refuse(const PToken &t) {
    if (t.kind == IK_EOL) push_pending(t);
    return false;
  }
  bool query_outside_if(PToken &t);
  void do_line_operands(const PToken &num, long &line, std::string &name);
  void do_assert(bool assert);
  bool line_marker_external();
  bool read_answer(std::string &key);

  /* --- expressions (expr.cpp) --- */
  int64_t evaluate();
  bool is_defined(const Ident *id) const { return id->macro != nullptr; }
  /* __has_include operand (after the operator): 1 found, 0 not, -1 bad syntax. */
  int has_include(bool next);
  long has_answer(int special, std::string_view name) const;
  void add_has_answer(std::string_view kind, std::string_view name, long value);
  static bool has_kind(std::string_view kind);

  /* --- macros (macros.cpp) --- */
  void get(PToken &t);            /* token with macro expansion */
  void fetch(PToken &t);          /* token without expansion */
  void push_pending(const PToken &t) { pending_.push_back(t); }
  int use_macro(PToken &t);       /* 0 stays, 1 unexpanded macro, 2 expanded */
  void count_expansion(uint32_t file, uint32_t line);
  bool collect_args(Macro *m, ArgSet &a);
  void expand_arg(ArgSet &a, size_t i);
  void substitute(Macro *m, ArgSet &a, std::vector<PToken> &out);
  void paste_all(std::vector<PToken> &v);
  bool paste(PToken &l, const PToken &r);
  void stringize(ArgSet &a, size_t i, PToken &out);
  void stringize_tokens(const PToken *b, const PToken *e, PToken &out);
  void push_context(Macro *m, const PToken *b, const PToken *e, std::vector<PToken> *owned);
  void pop_context();
  void clear_contexts();
  void do_define();
  void do_undef();
  bool parse_define(uint32_t file, uint32_t line, bool report_event);
  std::vector<PToken> *pool_get();
  void pool_put(std::vector<PToken> *v);
  ArgSet *args_get();
  void args_put(ArgSet *a);
  void define_special(const char *name, int kind);
  void define_string(const char *name, const std::string &text);

  bool is_pch(const std::string &path) const;
  void report(int level, const std::string &msg);
  void report_inc(const std::string &msg) { report(inc_warn_ ? LEVEL_WARNING : LEVEL_ERROR, msg); }

  const Options &opts_;
  Diagnostics &diag_;
  Observer *obs_;
  Observer null_obs_;
  bool standard_;
  bool trigraphs_;      /* from the options, then -trigraphs, -std=, -ansi */
  bool cpp_comments_;   /* the same for '//' comments */
  bool system_warnings_ = false;  /* -Wsystem-headers: warnings in system headers shown */
  bool external_ = false;
  bool inc_warn_ = false;

  /* identifiers */
  std::vector<Ident *> buckets_;
  size_t nidents_ = 0;
  std::vector<std::unique_ptr<Ident[]>> ident_chunks_;
  size_t ident_left_ = 0;
  Arena perm_;   /* names, definitions */
  Arena temp_;   /* texts made by expansions, reset between top-level tokens */
  std::vector<std::unique_ptr<Macro>> macros_;

  /* input */
  std::vector<std::unique_ptr<FileFrame>> frames_;
  FileFrame *file_ = nullptr;
  std::vector<std::string> files_;
  std::unordered_map<std::string, uint32_t> file_map_;
  std::vector<std::string> inc_dirs_;
  std::vector<bool> inc_system_;  /* per directory: a system directory */
  size_t inc_quote_ = 0;  /* -iquote directories (quoted names only) go before this one */
  size_t inc_front_ = 0;  /* -I directories go before this position */
  size_t inc_sys_ = 0;    /* -isystem directories go before this one */
  std::unordered_set<std::string> assertions_;
  bool in_directive_ = false;
  bool in_if_ = false;         /* inside an #if or #elif operand */
  long counter_ = 0;           /* __COUNTER__ */
  std::unordered_map<std::string, long> has_table_;  /* "kind:name" answers */
  std::unordered_set<std::string> once_files_;       /* "device:inode" of #pragma once files */
  std::unordered_map<Ident *, std::vector<Macro *>> pushed_macros_;  /* #pragma push_macro */
  bool force_expand_ = false;  /* inside #if and #include operands */
  bool next_macid_ = false;    /* external way: next identifier is a macro */
  int skipping_ = 0;

  /* conditionals */
  std::vector<uint8_t> cond_;
  uint8_t compiling_ = 1;

  /* expansion */
  std::vector<PToken> pending_;
  std::vector<Context> ctx_;
  size_t ctx_base_ = 0;
  std::vector<std::vector<PToken> *> pool_;
  std::vector<std::unique_ptr<std::vector<PToken>>> pool_own_;
  std::vector<ArgSet *> apool_;
  std::vector<std::unique_ptr<ArgSet>> apool_own_;
  uint32_t exp_line_ = 0, exp_file_ = 0;
  bool top_exp_ = false;
  /* the expansion of a macro written in the file being read: its number
   * among those beginning on its line (Token::origin) */
  uint8_t exp_ord_ = 0;
  uint32_t ord_file_ = 0, ord_line_ = 0;
  bool macro_text_ = false;  /* external way: the text read is a macro's (annotations x, w) */
  bool in_args_ = false;
  size_t prescan_depth_ = 0;
  bool nest_reported_ = false;  /* arguments being expanded inside each other */
  Ident *chain_first_ = nullptr;
  uint16_t pad_flags_ = 0;
  bool quiet_ = false;        /* option texts: errors only mark failure */
  bool quiet_failed_ = false;
  std::vector<std::pair<std::string, bool>> forced_;  /* -include, -imacros (true) files */
  std::string pending_include_;
  int pending_dir_ = -1;
  std::string source_name_;  /* for messages about the options */

  /* #if type sizes: char short int long float double, pointers (+fnptr, void) */
  int size_[6] = {1, 2, 4, 4, 4, 8};
  int psize_[8] = {4, 4, 4, 4, 4, 4, 4, 4};

  Ident *id_defined_ = nullptr, *id_sizeof_ = nullptr, *id_argt_ = nullptr, *id_va_ = nullptr;
  Ident *id_va_opt_ = nullptr;
};

/* Whether the text of a comment (without its delimiters) says that a switch
 * clause falls through on purpose, in a form GCC takes. */
bool is_fallthrough_comment(std::string_view body);
/* The longest punctuator at p (p[0] is a punctuation character). */
size_t punct_length(const char *p);
/* End of the preprocessing number that starts at p. */
bool is_readable(const std::string &path);
/* Identity of a file (device and inode) for #pragma once. */
std::string file_key(const std::string &path);
const char *scan_number(const char *p);

}  // namespace kvx::pp

#endif
