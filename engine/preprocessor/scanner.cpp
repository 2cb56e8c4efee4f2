/*
 * scanner.cpp - the scanning loop and the start of a source: options,
 * predefined macros, the in-process and the external way of reading.
 */
#include "preprocessor/scanner.h"

#include <algorithm>
#include <ctime>

#include "preprocessor/optfiles.h"
#include "preprocessor/pp_impl.h"

namespace kvx::pp {

void register_directives(Preprocessor &pp);

Preprocessor::Preprocessor(const Options &opts, Diagnostics &diag, Observer *obs)
    : opts_(opts), diag_(diag), obs_(obs ? obs : &null_obs_) {
  standard_ = opts.standard;
  /* as GCC: the GNU dialects replace trigraphs only when asked to */
  trigraphs_ = opts.standard && opts.trigraphs && !opts.gnu;
  cpp_comments_ = opts.cpp_comments;
  inc_warn_ = getenv("KVX_CC_INC_WARN") != nullptr;
  buckets_.assign(4096, nullptr);
  register_directives(*this);
  id_defined_ = intern("defined", 7);
  id_defined_->special = SP_DEFINED;
  id_sizeof_ = intern("sizeof", 6);
  id_sizeof_->special = SP_SIZEOF;
  id_argt_ = intern("_argt$", 6);
  id_argt_->special = SP_ARGT;
  id_va_ = intern("__VA_ARGS__", 11);
  id_va_->special = SP_VA_ARGS;
  id_va_opt_ = intern("__VA_OPT__", 10);
  id_va_opt_->special = SP_VA_OPT;
  if (opts.c99) {
    /* the GNU, C99 and C11 dialects describe x86-64 Linux (LP64), as
     * their shipped option files do: long and pointers have 8 bytes */
    size_[3] = 8;
    for (int &p : psize_) p = 8;
  }
  pending_.reserve(16);
  ctx_.reserve(64);
}

Preprocessor::~Preprocessor() {
  while (!frames_.empty()) pop_file();
}

void Preprocessor::report(int level, const std::string &msg) {
  if (quiet_ && level < LEVEL_FATAL) {
    quiet_failed_ = true;
    return;
  }
  FileFrame *real = nullptr;
  for (auto it = frames_.rbegin(); it != frames_.rend(); ++it)
    if (!(*it)->is_text) {
      real = it->get();
      break;
    }
  if (!real) {
    std::string where = !source_name_.empty() ? source_name_ : file_ ? file_->open_name : std::string("kvx_cccp");
    diag_.report_located(level, where, 0, msg);
    return;
  }
  const std::string &name = real->presented.empty() ? real->open_name : real->presented;
  diag_.report_located(level, name, line_at(*real, real->cur), msg);
}

std::string_view Preprocessor::current_file_name() const {
  for (auto it = frames_.rbegin(); it != frames_.rend(); ++it)
    if (!(*it)->is_text) return (*it)->presented.empty() ? (*it)->open_name : (*it)->presented;
  return {};
}

long Preprocessor::current_line() {
  for (auto it = frames_.rbegin(); it != frames_.rend(); ++it)
    if (!(*it)->is_text) return line_at(**it, (*it)->cur);
  return 0;
}

void Preprocessor::add_include_dir(const std::string &dir, IncludeKind kind) {
  if (kind == INC_USER || kind == INC_QUOTE || kind == INC_PROJECT) {
    /* as GCC: a system directory named again with -I stays a system one */
    auto bare = [](std::string_view d) {
      while (d.size() > 1 && d.back() == '/') d.remove_suffix(1);
      return d;
    };
    for (size_t i = 0; i < inc_dirs_.size(); i++)
      if (inc_system_[i] && bare(inc_dirs_[i]) == bare(dir)) return;
  }
  if (inc_dirs_.size() >= 256) report(LEVEL_FATAL, "too many include directories");
  size_t at = kind == INC_QUOTE ? inc_quote_++ : kind == INC_USER ? inc_front_ : kind == INC_SYSTEM ? inc_sys_
                                                                                              : inc_dirs_.size();
  if (kind == INC_QUOTE || kind == INC_USER) inc_front_++;
  if (kind != INC_APPENDED && kind != INC_PROJECT) inc_sys_++;
  inc_dirs_.insert(inc_dirs_.begin() + (long)at, dir);
  inc_system_.insert(inc_system_.begin() + (long)at, kind == INC_SYSTEM || kind == INC_APPENDED);
}

void Preprocessor::set_sizes(std::string_view spec) {
  bool ptr = !spec.empty() && spec[0] == '*';
  int *dst = ptr ? psize_ : size_;
  size_t max = ptr ? 8 : 6, n = 0;
  size_t i = ptr ? 1 : 0;
  while (i < spec.size() && n < max) {
    while (i < spec.size() && !isdigit((unsigned char)spec[i])) i++;
    if (i >= spec.size()) break;
    int v = 0;
    while (i < spec.size() && isdigit((unsigned char)spec[i])) v = v * 10 + (spec[i++] - '0');
    dst[n++] = v;
  }
}

size_t gcc_path_option(std::string_view w) {
  for (std::string_view o : {"-isystem", "-idirafter", "-iquote", "-include", "-imacros"})
    if (w.substr(0, o.size()) == o) return o.size();
  return 0;
}

void Preprocessor::apply_args(const std::vector<std::string> &args) {
  for (size_t i = 0; i < args.size(); i++) {
    const std::string &w = args[i];
    if (size_t n = gcc_path_option(w)) {
      std::string_view o = std::string_view(w).substr(0, n);
      std::string v = w.substr(n);
      if (v.empty() && i + 1 < args.size()) v = args[++i];
      if (v.empty()) continue;
      if (o == "-include" || o == "-imacros")
        forced_.emplace_back(v, o == "-imacros");
      else
        add_include_dir(v, o == "-isystem" ? INC_SYSTEM : o == "-iquote" ? INC_QUOTE : INC_APPENDED);
      continue;
    }
    if (w == "-trigraphs") {
      trigraphs_ = standard_;
      continue;
    }
    if (w == "-Wsystem-headers") {
      system_warnings_ = true;
      continue;
    }
    if (w == "-ansi" || w.compare(0, 5, "-std=") == 0) {
      /* GCC's language levels: nothing to the other compilers' dialects */
      if (opts_.c99) language_standard(w == "-ansi" ? "c90" : std::string_view(w).substr(5));
      continue;
    }
    if (w.size() < 2 || (w[0] != '-' && w[0] != '/')) continue;
    /* GCC's options are case-sensitive (-dM, -undef, -s are others) */
    char letter = opts_.c99 ? w[1] : (char)toupper((unsigned char)w[1]);
    if (letter != 'D' && letter != 'U' && letter != 'I' && letter != 'S') continue;
    std::string v = w.substr(2);
    size_t b = v.find_first_not_of(" \t");
    v = b == std::string::npos ? std::string() : v.substr(b);
    /* the letter alone takes the next word; written in lower case it is
     * another option, which never takes one */
    if (v.empty() && letter != 'S' && w[1] == letter && i + 1 < args.size()) v = args[++i];
    if (v.empty()) continue;
    switch (letter) {
      case 'D': {
        size_t eq = v.find('=');
        std::string text = eq == std::string::npos ? v + " 1" : v.substr(0, eq) + " " + v.substr(eq + 1);
        if (!define_text(text, "-D")) report(LEVEL_ERROR, "#define syntax error");
        break;
      }
      case 'U': undefine(v); break;
      case 'I': add_include_dir(v, INC_USER); break;
      case 'S': set_sizes(v); break;
    }
  }
}

/* -std=NAME and -ansi (the C99-level dialects only): what GCC changes for
 * that language level against its default one, which the option files
 * describe: __STDC_VERSION__, __STRICT_ANSI__, the macros outside the
 * reserved names (linux, unix, i386), the inline and Unicode macros,
 * trigraphs (the ISO levels) and '//' comments (not in ISO C90). */
void Preprocessor::language_standard(std::string_view name) {
  static const struct {
    const char *name;
    long version;  /* 0: C90 */
    bool iso;
  } levels[] = {
      {"c89", 0, true},           {"c90", 0, true},          {"iso9899:1990", 0, true},
      {"gnu89", 0, false},        {"gnu90", 0, false},       {"iso9899:199409", 199409, true},
      {"c99", 199901, true},      {"c9x", 199901, true},     {"iso9899:1999", 199901, true},
      {"iso9899:199x", 199901, true},                        {"gnu99", 199901, false},
      {"gnu9x", 199901, false},   {"c11", 201112, true},     {"c1x", 201112, true},
      {"iso9899:2011", 201112, true},                        {"gnu11", 201112, false},
      {"gnu1x", 201112, false},   {"c17", 201710, true},     {"c18", 201710, true},
      {"iso9899:2017", 201710, true},                        {"iso9899:2018", 201710, true},
      {"gnu17", 201710, false},   {"gnu18", 201710, false},  {"c2x", 202000, true},
      {"gnu2x", 202000, false},   {"c23", 202311, true},     {"gnu23", 202311, false},
  };
  const auto *level = std::find_if(std::begin(levels), std::end(levels), [&](const auto &l) { return name == l.name; });
  if (level == std::end(levels)) {
    report(LEVEL_WARNING, "unknown language standard \"" + std::string(name) + "\" ignored");
    return;
  }
  auto undef = [&](const char *n) { intern(n, strlen(n))->macro = nullptr; };
  auto define = [&](const char *n, const std::string &text) { define_text(std::string(n) + " " + text, "-std"); };
  long v = level->version;
  if (v)
    define("__STDC_VERSION__", std::to_string(v) + "L");
  else
    undef("__STDC_VERSION__");
  if (level->iso)
    define("__STRICT_ANSI__", "1");
  else
    undef("__STRICT_ANSI__");
  /* the names of the target outside the reserved ones: only in GNU C */
  static const char *const plain[][2] = {{"linux", "__linux__"}, {"unix", "__unix__"}, {"i386", "__i386__"}};
  for (const auto &p : plain) {
    if (level->iso)
      undef(p[0]);
    else if (is_defined(std::string_view(p[1])))
      define(p[0], "1");
  }
  if (is_defined(std::string_view("__GNUC__"))) {
    undef(v < 199901 ? "__GNUC_STDC_INLINE__" : "__GNUC_GNU_INLINE__");
    define(v < 199901 ? "__GNUC_GNU_INLINE__" : "__GNUC_STDC_INLINE__", "1");
    bool unicode = v >= 201112 || (!level->iso && v >= 199901);
    for (const char *u : {"__STDC_UTF_16__", "__STDC_UTF_32__"}) {
      if (unicode)
        define(u, "1");
      else
        undef(u);
    }
  }
  trigraphs_ = standard_ && level->iso;
  cpp_comments_ = !(level->iso && v < 199901);
}

/* The files of -imacros, then those of -include, read before the source as
 * if it included them on its line 0: looked for in the current directory,
 * then along the include directories.  The tokens of -imacros files are
 * dropped; their macros stay defined. */
void Preprocessor::forced_includes() {
  uint32_t source = file_->file;
  for (int pass = 0; pass < 2; pass++) {
    bool macros_only = pass == 1;  /* pushed last, read first */
    for (auto it = forced_.rbegin(); it != forced_.rend(); ++it) {
      if (it->second != macros_only) continue;
      const std::string &name = it->first;
      int dir = -1;
      std::string found = is_readable(name) ? name : find_include(name, false, false, dir, false);
      if (found.empty() || !push_file(found)) {
        report(LEVEL_ERROR, "cannot open include file \"" + name + "\"");
        obs_->include_missing(source, 0);
        continue;
      }
      file_->macros_only = macros_only;
      enter_included(dir);
      obs_->inclusion(source, 0, file_->file);
    }
  }
}

/* Attribute names are compared without their "__" wrapping, as compilers
 * do: __noreturn__ is noreturn, gnu::__unused__ is gnu::unused. */
static std::string has_key(int special, std::string_view name) {
  if (special == SP_HAS_ATTRIBUTE || special == SP_HAS_C_ATTRIBUTE) {
    size_t c = name.rfind("::");
    std::string_view scope = c == std::string_view::npos ? std::string_view() : name.substr(0, c + 2);
    std::string_view n = c == std::string_view::npos ? name : name.substr(c + 2);
    if (n.size() > 4 && n.substr(0, 2) == "__" && n.substr(n.size() - 2) == "__") n = n.substr(2, n.size() - 4);
    return std::to_string(special) + ":" + std::string(scope) + std::string(n);
  }
  return std::to_string(special) + ":" + std::string(name);
}

long Preprocessor::has_answer(int special, std::string_view name) const {
  auto it = has_table_.find(has_key(special, name));
  return it == has_table_.end() ? 0 : it->second;
}

void Preprocessor::add_has_answer(std::string_view kind, std::string_view name, long value) {
  static const struct {
    const char *kind;
    int special;
  } kinds[] = {{"attribute", SP_HAS_ATTRIBUTE}, {"c_attribute", SP_HAS_C_ATTRIBUTE},
               {"builtin", SP_HAS_BUILTIN},     {"feature", SP_HAS_FEATURE},
               {"extension", SP_HAS_EXTENSION}};
  for (auto &k : kinds)
    if (kind == k.kind) has_table_[has_key(k.special, name)] = value;
}

bool Preprocessor::has_kind(std::string_view kind) {
  return kind == "attribute" || kind == "c_attribute" || kind == "builtin" || kind == "feature" ||
         kind == "extension";
}

void Preprocessor::define_string(const char *name, const std::string &text) {
  define_text(std::string(name) + " " + text, name);
}

bool Preprocessor::open_source(const std::string &path) {
  source_name_ = path;
  if (!opts_.mac_file.empty()) read_mac_file(*this, opts_.mac_file);
  for (const std::string &n : opts_.macro_names) add_macro_name(n);
  if (opts_.c99) {
    /* before the option files, so that they may undefine or replace them */
    static const struct {
      const char *name;
      uint8_t special;
    } queries[] = {{"__has_include", SP_HAS_INCLUDE},           {"__has_include_next", SP_HAS_INCLUDE_NEXT},
                   {"__has_attribute", SP_HAS_ATTRIBUTE},       {"__has_c_attribute", SP_HAS_C_ATTRIBUTE},
                   {"__has_builtin", SP_HAS_BUILTIN},           {"__has_feature", SP_HAS_FEATURE},
                   {"__has_extension", SP_HAS_EXTENSION}};
    for (auto &q : queries) {
      define_special(q.name, MK_QUERY);
      intern(q.name, strlen(q.name))->special = q.special;
    }
    define_special("_Pragma", MK_PRAGMA);
    define_special("__COUNTER__", MK_COUNTER);
    define_special("__INCLUDE_LEVEL__", MK_INCLUDE_LEVEL);
    define_special("__BASE_FILE__", MK_BASE_FILE);
    define_special("__FILE_NAME__", MK_FILE_NAME);
  }
  if (!opts_.def_file.empty()) read_def_file(*this, opts_.def_file);
  apply_args(opts_.args);
  define_special("__LINE__", MK_LINE);
  define_special("__FILE__", MK_FILE);
  char buf[32];
  time_t now = time(nullptr);
  struct tm tmv;
  localtime_r(&now, &tmv);
  strftime(buf, 13, "%h %e %Y", &tmv);
  define_string("__DATE__", std::string("\"") + buf + "\"");
  strftime(buf, 10, "%T", &tmv);
  define_string("__TIME__", std::string("\"") + buf + "\"");
  if (!push_file(path, path)) {
    diag_.report_system_error(LEVEL_ERROR, path);
    return false;
  }
  if (!forced_.empty()) forced_includes();
  return true;
}

bool Preprocessor::open_preprocessed(const std::string &path, const std::string &source, bool del) {
  external_ = true;
  if (!push_file(path, source)) {
    diag_.report_system_error(LEVEL_ERROR, path);
    if (del) unlink(path.c_str());
    return false;
  }
  file_->presented = source;
  if (del) file_->delete_path = path;
  return true;
}

bool Preprocessor::next(Token &out) {
  PToken t;
  for (;;) {
    if (!file_) {
      out.kind = TokenKind::End;
      out.text = {};
      return false;
    }
    if (ctx_.empty() && pending_.empty()) {
      temp_.reset();
      nest_reported_ = false;
    }
    get(t);
    if (t.kind == IK_EOF) {
      pop_file();
      if (file_ && !compiling_) skip_group();
      continue;
    }
    if (t.kind >= IK_EOL || file_->macros_only) continue;
    break;
  }
  out.kind = (t.flags & F_MACID) ? TokenKind::MacroIdentifier : (TokenKind)t.kind;
  out.space_before = t.flags & F_SPACE;
  out.first_on_line = t.flags & F_BOL;
  out.file = t.file;
  out.line = t.line;
  out.text = t.sv();
  out.origin = top_exp_ && (external_ ? macro_text_ : (t.flags & F_MACRO) != 0) ? exp_ord_ : 0;
  return true;
}

/* ------------------------------------------------------------- Scanner */

Scanner::Scanner(const Options &opts, Diagnostics &diag, Observer *obs)
    : pp_(std::make_unique<Preprocessor>(opts, diag, obs)) {}
Scanner::~Scanner() = default;
bool Scanner::open_source(const std::string &path) { return pp_->open_source(path); }
bool Scanner::open_preprocessed(const std::string &path, const std::string &source, bool del) {
  return pp_->open_preprocessed(path, source, del);
}
bool Scanner::next(Token &tok) { return pp_->next(tok); }
std::string_view Scanner::file_name(uint32_t f) const { return pp_->file_name(f); }
size_t Scanner::file_count() const { return pp_->file_count(); }
std::string_view Scanner::current_file_name() const { return pp_->current_file_name(); }
long Scanner::current_line() const { return pp_->current_line(); }

}  // namespace kvx::pp
