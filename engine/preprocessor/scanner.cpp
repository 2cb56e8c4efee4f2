/*
 * scanner.cpp - the scanning loop and the start of a source: options,
 * predefined macros, the in-process and the external way of reading.
 */
#include "preprocessor/scanner.h"

#include <ctime>

#include "preprocessor/optfiles.h"
#include "preprocessor/pp_impl.h"

namespace kvx::pp {

void register_directives(Preprocessor &pp);

Preprocessor::Preprocessor(const Options &opts, Diagnostics &diag, Observer *obs)
    : opts_(opts), diag_(diag), obs_(obs ? obs : &null_obs_) {
  standard_ = opts.standard;
  trigraphs_ = opts.standard && opts.trigraphs;
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
  if (kind == INC_USER) {
    /* as GCC: a system directory named again with -I stays a system one */
    auto bare = [](std::string_view d) {
      while (d.size() > 1 && d.back() == '/') d.remove_suffix(1);
      return d;
    };
    for (size_t i = 0; i < inc_dirs_.size(); i++)
      if (inc_system_[i] && bare(inc_dirs_[i]) == bare(dir)) return;
  }
  if (inc_dirs_.size() >= 256) report(LEVEL_FATAL, "too many include directories");
  size_t at = kind == INC_USER ? inc_front_++ : kind == INC_SYSTEM ? inc_sys_ : inc_dirs_.size();
  if (kind != INC_APPENDED) inc_sys_++;
  inc_dirs_.insert(inc_dirs_.begin() + (long)at, dir);
  inc_system_.insert(inc_system_.begin() + (long)at, kind != INC_USER);
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

/* GCC's options that name a directory or a file, with the argument in the
 * same word or in the next one. */
static const char *const kLongOptions[] = {"-isystem", "-idirafter"};

/* The option of kLongOptions that w is (w alone or with its argument
 * attached), or -1. */
static int long_option(const std::string &w) {
  for (size_t k = 0; k < sizeof kLongOptions / sizeof *kLongOptions; k++)
    if (w.compare(0, strlen(kLongOptions[k]), kLongOptions[k]) == 0) return (int)k;
  return -1;
}

void Preprocessor::apply_args(const std::vector<std::string> &args) {
  for (size_t i = 0; i < args.size(); i++) {
    const std::string &w = args[i];
    int lo = long_option(w);
    if (lo >= 0) {
      std::string v = w.substr(strlen(kLongOptions[lo]));
      if (v.empty() && i + 1 < args.size()) v = args[++i];
      if (v.empty()) continue;
      add_include_dir(v, lo == 0 ? INC_SYSTEM : INC_APPENDED);
      continue;
    }
    if (w.size() < 2 || (w[0] != '-' && w[0] != '/')) continue;
    char letter = (char)toupper((unsigned char)w[1]);
    if (letter != 'D' && letter != 'U' && letter != 'I' && letter != 'S') continue;
    std::string v = w.substr(2);
    size_t b = v.find_first_not_of(" \t");
    v = b == std::string::npos ? std::string() : v.substr(b);
    if (v.empty() && letter != 'S' && i + 1 < args.size()) v = args[++i];
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
    if (t.kind >= IK_EOL) continue;
    break;
  }
  out.kind = (t.flags & F_MACID) ? TokenKind::MacroIdentifier : (TokenKind)t.kind;
  out.space_before = t.flags & F_SPACE;
  out.first_on_line = t.flags & F_BOL;
  out.file = t.file;
  out.line = t.line;
  out.text = t.sv();
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
