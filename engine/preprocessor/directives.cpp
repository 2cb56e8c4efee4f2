/*
 * directives.cpp - directive dispatch, the conditional stack, skipped
 * groups, #include and its search, #line and line markers, #assert and
 * #unassert.
 */
#include <sys/stat.h>

#include "preprocessor/pp_impl.h"

namespace kvx::pp {

enum {
  D_NONE,
  D_IF,
  D_IFDEF,
  D_IFNDEF,
  D_ELIF,
  D_ELSE,
  D_ENDIF,
  D_DEFINE,
  D_UNDEF,
  D_INCLUDE,
  D_ASSERT,
  D_UNASSERT,
  D_LINE,
  D_IGNORED,
  D_INCLUDE_NEXT,
  D_PRAGMA,
  D_ERROR,
  D_WARNING
};

static const struct {
  const char *name;
  int code;
} directive_table[] = {{"if", D_IF},         {"ifdef", D_IFDEF},       {"ifndef", D_IFNDEF},
                       {"elif", D_ELIF},     {"else", D_ELSE},         {"endif", D_ENDIF},
                       {"define", D_DEFINE}, {"undef", D_UNDEF},       {"include", D_INCLUDE},
                       {"assert", D_ASSERT}, {"unassert", D_UNASSERT}, {"line", D_LINE},
                       {"ident", D_IGNORED}, {"error", D_ERROR},       {"pragma", D_PRAGMA},
                       {"include_next", D_INCLUDE_NEXT}, {"warning", D_WARNING}};

void register_directives(Preprocessor &pp) {
  for (auto &d : directive_table) pp.intern(d.name, strlen(d.name))->directive = (uint8_t)d.code;
}

/* Open conditional groups: 31 at once in the old dialects; at the C99
 * level the standard's 63 within each file (headers nest deeply). */
static const size_t kMaxGroups = 31;
static const size_t kMaxGroupsPerFile = 63;

static std::string_view base_name(std::string_view p) {
  size_t s = p.find_last_of("/\\");
  return s == std::string_view::npos ? p : p.substr(s + 1);
}

bool Preprocessor::is_pch(const std::string &path) const {
  return !opts_.pch_file.empty() && base_name(path) == base_name(opts_.pch_file);
}
static const int kMaxIncludeDepth = 200;

void Preprocessor::directive() {
  FileFrame *f = file_;
  uint32_t dline = f->splices.empty() ? f->line : line_at(*f, f->cur);
  if (!f->is_text) obs_->directive_line(f->file, dline);
  in_directive_ = true;
  PToken t;
  lex(t);
  std::string include_path;
  long new_line = -1;
  std::string new_name;
  if (t.kind == IK_EOL) {
    /* the null directive */
  } else if (t.kind == (uint8_t)TokenKind::Identifier && t.id->directive) {
    int d = t.id->directive;
    std::string name(t.sv());
    if (d >= D_IF && d <= D_ENDIF) {
      do_conditional(d, name);
    } else if (compiling_) {
      switch (d) {
        case D_DEFINE: do_define(); break;
        case D_UNDEF: do_undef(); break;
        case D_INCLUDE: {
          /* the include is pushed once the directive's line is consumed */
          do_include(false);
          include_path.swap(pending_include_);
          break;
        }
        case D_INCLUDE_NEXT: {
          /* search on after the directory the current file was found in */
          if (!opts_.gnu && !opts_.c99) break;
          do_include(true);
          include_path.swap(pending_include_);
          break;
        }
        case D_PRAGMA:
          if (opts_.c99) do_pragma();
          break;
        case D_ERROR:
        case D_WARNING:
          /* the old dialects ignore both lines */
          if (opts_.c99 || opts_.gnu) do_message(d == D_ERROR);
          break;
        case D_ASSERT: do_assert(true); break;
        case D_UNASSERT: do_assert(false); break;
        case D_LINE: {
          PToken n;
          lex(n);
          do_line_operands(n, new_line, new_name);
          break;
        }
        default: break;
      }
    }
  } else if (t.kind == (uint8_t)TokenKind::Number) {
    if (compiling_) do_line_operands(t, new_line, new_name);
  } else if (t.kind == (uint8_t)TokenKind::Identifier) {
    /* directives that are not in the table are ignored */
  } else if (compiling_) {
    report(LEVEL_WARNING, "Undefined or invalid # directive");
  }
  clear_contexts();
  pending_.clear();
  in_directive_ = false;
  force_expand_ = false;
  skip_to_eol();
  if (new_line >= 0) {
    FileFrame &g = *file_;
    line_at(g, g.cur);
    g.line = (uint32_t)new_line;
    if (!new_name.empty()) {
      g.presented = new_name;
      g.file = file_index(new_name);
    }
  }
  if (!include_path.empty()) {
    uint32_t from = f->file;
    if (frames_.size() >= (size_t)kMaxIncludeDepth) {
      report(LEVEL_ERROR, "#include nested too deeply");
    } else if (!once_files_.empty() && once_files_.count(file_key(include_path))) {
      /* a file marked "#pragma once" is read only once */
      if (!is_pch(include_path)) obs_->inclusion(from, dline, file_index(include_path));
    } else if (push_file(include_path)) {
      enter_included(pending_dir_);
      if (!is_pch(include_path)) obs_->inclusion(from, dline, file_->file);
    }
  }
  if (!compiling_ && !skipping_) skip_group();
}

/* The file just pushed by an inclusion: where it was found (dir, -1 for
 * beside the including file) and whether it is a system header, which it
 * is when found in a system directory or beside a system header. */
void Preprocessor::enter_included(int dir) {
  FileFrame &f = *file_;
  f.dir_index = dir;
  if (dir >= 0) {
    f.system = inc_system_[(size_t)dir];
  } else {
    for (size_t i = frames_.size() - 1; i-- > 0;)
      if (!frames_[i]->is_text) {
        f.system = frames_[i]->system;
        break;
      }
  }
  if (f.system) obs_->system_file(f.file);
}

/* Consumes skipped text up to the directive that makes text active again
 * (or to the end of the file). */
void Preprocessor::skip_group() {
  skipping_ = 1;
  FileFrame *f = file_;
  const char *p = f->cur;
  /* a reader sees the comments of skipped text too: they are recorded */
  bool record = !external_ && !f->is_text;
  for (;;) {
    /* line start: blanks and comments may come before '#' */
    for (;;) {
      while (char_class[(unsigned char)*p] == C_BLANK) ++p;
      if (*p == '/' && p[1] == '*') {
        skip_block_comment(*f, p, record);
        continue;
      }
      break;
    }
    if (*p == '#') {
      f->cur = p + 1;
      f->bol = true;
      directive();
      p = f->cur;
      if (compiling_) break;
      continue;
    }
    if (p >= f->end) break;
    for (;;) {
      char c = *p;
      if (c == '\n') break;
      if (c == '/') {
        if (p[1] == '*') {
          skip_block_comment(*f, p, record);
          continue;
        }
        if (p[1] == '/' && cpp_comments_) {
          uint32_t l = line_at(*f, p);
          const char *s = p;
          while (*p != '\n') ++p;
          if (record) note_comment(*f, l, line_at(*f, p) - l + 1, std::string_view(s, (size_t)(p - s)));
          break;
        }
      } else if (c == '"' || c == '\'') {
        ++p;
        while (*p != c && *p != '\n') p += (*p == '\\' && p[1] != '\n') ? 2 : 1;
        if (*p == c) ++p;
        continue;
      }
      ++p;
    }
    if (p >= f->end) break;
    ++p;
    f->line++;
  }
  f->cur = p;
  f->bol = true;
  skipping_ = 0;
}

void Preprocessor::do_conditional(int code, std::string_view name) {
  char msg[96];
  if (code == D_IF || code == D_IFDEF || code == D_IFNDEF) {
    size_t base = opts_.c99 && file_->cond_base <= cond_.size() ? file_->cond_base : 0;
    if (cond_.size() - base >= (opts_.c99 ? kMaxGroupsPerFile : kMaxGroups)) {
      snprintf(msg, sizeof msg, "too many nested #%.*s statements", (int)name.size(), name.data());
      report(LEVEL_FATAL, msg);
    }
    if (!compiling_) {
      cond_.push_back(0);
      return;
    }
    uint8_t e = 1;
    bool v = true;
    if (code == D_IF) {
      v = evaluate() != 0;
    } else {
      PToken t;
      lex(t);
      if (t.kind == IK_EOL) {
        report(LEVEL_ERROR, "#if, #ifdef, or #ifndef without an argument");
      } else if (t.kind == (uint8_t)TokenKind::Identifier) {
        bool d = t.id->macro != nullptr;
        v = code == D_IFDEF ? d : !d;
      } else {
        push_pending(t);
        v = evaluate() != 0;
        if (code == D_IFNDEF) v = !v;
      }
    }
    if (v) {
      e |= 4;
      compiling_ = 1;
    } else {
      compiling_ = 0;
    }
    cond_.push_back(e);
    return;
  }
  if (cond_.empty()) {
    snprintf(msg, sizeof msg, "#%.*s must be in an #if", (int)name.size(), name.data());
    report(LEVEL_ERROR, msg);
    return;
  }
  uint8_t &e = cond_.back();
  if (code == D_ENDIF) {
    compiling_ = e & 1;
    cond_.pop_back();
    return;
  }
  if (e & 2) {
    snprintf(msg, sizeof msg, "#%.*s may not follow #else", (int)name.size(), name.data());
    report(LEVEL_ERROR, msg);
    return;
  }
  if (code == D_ELSE) {
    e |= 2;
    compiling_ = (e & 1) && !(e & 4);
    if (compiling_) e |= 4;
    return;
  }
  /* #elif */
  if ((e & 1) && !(e & 4)) {
    compiling_ = 1;
    bool v = evaluate() != 0;
    if (v) {
      cond_.back() |= 4;
      compiling_ = 1;
    } else {
      compiling_ = 0;
    }
  } else {
    compiling_ = 0;
  }
}

/* Identity of a file for #pragma once: device and inode. */
std::string file_key(const std::string &path) {
  struct stat st;
  if (stat(path.c_str(), &st) != 0) return path;
  return std::to_string((unsigned long long)st.st_dev) + ":" + std::to_string((unsigned long long)st.st_ino);
}

static bool is_absolute(const std::string &n) { return (!n.empty() && n[0] == '/') || (n.size() > 1 && n[1] == ':'); }

void Preprocessor::do_include(bool next) {
  FileFrame &f = *file_;
  const char *p = f.cur;
  while (char_class[(unsigned char)*p] == C_BLANK) ++p;
  std::string name;
  bool angle = false, ok = false;
  if (*p == '"' || *p == '<') {
    char close = *p == '"' ? '"' : '>';
    angle = close == '>';
    const char *s = ++p;
    while (*p != close && *p != '\n') ++p;
    if (*p == close) {
      name.assign(s, (size_t)(p - s));
      f.cur = p + 1;
      PToken t;
      lex(t);
      ok = t.kind == IK_EOL;
    }
  } else {
    /* a macro that expands to the name */
    force_expand_ = true;
    std::string text;
    PToken t;
    for (get(t); t.kind != IK_EOL && t.kind != IK_EOF; get(t)) {
      if (!text.empty() && (t.flags & F_SPACE)) text += ' ';
      text.append(t.p, t.len);
    }
    force_expand_ = false;
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.pop_back();
    if (text.size() >= 2 && ((text[0] == '"' && text.back() == '"') || (text[0] == '<' && text.back() == '>'))) {
      angle = text[0] == '<';
      name = text.substr(1, text.size() - 2);
      ok = true;
    }
  }
  if (!ok || name.empty()) {
    report_inc("#include syntax error");
    return;
  }
  if (opts_.backslash_includes)
    for (char &c : name)
      if (c == '\\') c = '/';
  int dir = -1;
  std::string found = find_include(name, angle, next, dir);
  if (found.empty()) {
    report_inc("cannot open include file \"" + name + "\"");
    obs_->include_missing(f.file, line_at(f, f.cur));
    return;
  }
  pending_include_ = found;
  pending_dir_ = dir;
}

/* The search of an include name: for a quoted name the directory of the
 * current real file first (unless beside is false), then the include
 * directories: for a name in angle brackets without the -iquote ones, for
 * #include_next those after the one the current file was found in.
 * Empty when nothing opens; dir is the directory index used, -1 for none. */
std::string Preprocessor::find_include(const std::string &name, bool angle, bool next, int &dir, bool beside) {
  dir = -1;
  size_t first_dir = angle ? inc_quote_ : 0;
  if (next) {
    angle = true;
    for (auto it = frames_.rbegin(); it != frames_.rend(); ++it)
      if (!(*it)->is_text) {
        first_dir = (*it)->dir_index >= 0 ? (size_t)((*it)->dir_index + 1) : inc_quote_;
        break;
      }
  }
  if (!angle && beside) {
    std::string cand = name;
    if (!is_absolute(name)) {
      const FileFrame *real = nullptr;
      for (auto it = frames_.rbegin(); it != frames_.rend(); ++it)
        if (!(*it)->is_text) {
          real = it->get();
          break;
        }
      const std::string &cur = real ? real->open_name : std::string();
      size_t slash = cur.find_last_of("/\\");
      if (slash != std::string::npos) cand = cur.substr(0, slash + 1) + name;
    }
    if (is_readable(cand)) return cand;
  }
  for (size_t i = first_dir; i < inc_dirs_.size(); i++) {
    const std::string &d = inc_dirs_[i];
    if (d.size() + name.size() >= 16383) report(LEVEL_FATAL, "filename work buffer overflow");
    std::string cand = name[0] == '/' ? name : d + "/" + name;
    if (is_readable(cand)) {
      dir = (int)i;
      return cand;
    }
  }
  return {};
}

/* The operand of __has_include: ( "name" ) or ( <name> ), or macros that
 * expand to one of them. */
int Preprocessor::has_include(bool next) {
  std::string name;
  bool angle = false;
  PToken t;
  if (pending_.empty() && ctx_.size() == ctx_base_) {
    /* straight from the line: the name is taken as written */
    FileFrame &f = *file_;
    const char *p = f.cur;
    while (char_class[(unsigned char)*p] == C_BLANK) ++p;
    if (*p != '(') return -1;
    ++p;
    while (char_class[(unsigned char)*p] == C_BLANK) ++p;
    if (*p == '<' || *p == '"') {
      char close = *p == '<' ? '>' : '"';
      angle = close == '>';
      const char *s = ++p;
      while (*p != close && *p != '\n') ++p;
      if (*p != close) return -1;
      name.assign(s, (size_t)(p - s));
      f.cur = p + 1;
      lex(t);
      if (!t.is(')')) {
        refuse(t);
        return -1;
      }
    } else {
      f.cur = p;
      name = "(";
    }
  }
  if (name.empty() || name == "(") {
    if (name.empty()) {
      fetch(t);
      if (!t.is('(')) {
        refuse(t);
        return -1;
      }
    }
    /* macros giving the name, joined as for #include */
    std::string text;
    int depth = 0;
    for (;;) {
      get(t);
      if (t.kind == IK_EOL || t.kind == IK_EOF) {
        push_pending(t);
        return -1;
      }
      if (t.is('(')) depth++;
      if (t.is(')') && depth-- == 0) break;
      if (!text.empty() && (t.flags & F_SPACE)) text += ' ';
      text.append(t.p, t.len);
    }
    if (text.size() < 3 || !((text[0] == '"' && text.back() == '"') || (text[0] == '<' && text.back() == '>')))
      return -1;
    angle = text[0] == '<';
    name = text.substr(1, text.size() - 2);
  }
  if (name.empty()) return -1;
  if (opts_.backslash_includes)
    for (char &c : name)
      if (c == '\\') c = '/';
  int dir;
  return find_include(name, angle, next, dir).empty() ? 0 : 1;
}

/* #pragma at the C99 level: once, push_macro and pop_macro act; every
 * other pragma is consumed (none reaches the token stream). */
void Preprocessor::do_pragma() {
  PToken t;
  lex(t);
  if (t.kind != (uint8_t)TokenKind::Identifier) return;
  if (t.sv() == "once") {
    for (auto it = frames_.rbegin(); it != frames_.rend(); ++it)
      if (!(*it)->is_text) {
        once_files_.insert(file_key((*it)->open_name));
        break;
      }
    return;
  }
  bool push = t.sv() == "push_macro";
  if (!push && t.sv() != "pop_macro") return;
  PToken open, str, close;
  lex(open);
  lex(str);
  lex(close);
  if (!open.is('(') || str.kind != (uint8_t)TokenKind::String || !close.is(')') || str.len < 3 ||
      str.p[0] != '"')
    return;
  Ident *id = intern(str.p + 1, str.len - 2);
  std::vector<Macro *> &stack = pushed_macros_[id];
  if (push) {
    stack.push_back(id->macro);
  } else if (!stack.empty()) {
    id->macro = stack.back();
    stack.pop_back();
  }
}

/* #warning and (at the C99 level) #error: the line's text as a warning. */
void Preprocessor::do_message(bool error) {
  const char *p = file_->cur;
  while (char_class[(unsigned char)*p] == C_BLANK) ++p;
  const char *e = p;
  while (*e != '\n') ++e;
  while (e > p && char_class[(unsigned char)e[-1]] == C_BLANK) --e;
  report(LEVEL_WARNING, std::string(error ? "#error " : "#warning ") + std::string(p, (size_t)(e - p)));
}

/* Operands of #line and of a line marker: a number, then an optional name
 * (quoted, or the rest of the line). */
void Preprocessor::do_line_operands(const PToken &num, long &line, std::string &name) {
  if (num.kind != (uint8_t)TokenKind::Number) return;
  long n = 0;
  for (uint32_t i = 0; i < num.len; i++) {
    if (num.p[i] < '0' || num.p[i] > '9') return;
    n = n * 10 + (num.p[i] - '0');
    if (n > 0x7fffffff) return;
  }
  line = n;
  FileFrame &f = *file_;
  const char *p = f.cur;
  while (char_class[(unsigned char)*p] == C_BLANK) ++p;
  if (*p == '"') {
    const char *s = ++p;
    const char *e = s;
    for (const char *q = s; *q != '\n'; ++q)
      if (*q == '"') e = q;
    if (e > s || *e == '"') name.assign(s, (size_t)(e - s));
  } else if (*p != '\n') {
    const char *s = p;
    while (*p != '\n') ++p;
    const char *e = p;
    while (e > s && char_class[(unsigned char)e[-1]] == C_BLANK) --e;
    name.assign(s, (size_t)(e - s));
  }
}

/* A line marker of kvx_cccp's output: "# n "name"" in the first column. */
bool Preprocessor::line_marker_external() {
  FileFrame &f = *file_;
  const char *p = f.cur;
  while (*p == ' ') ++p;
  if (char_class[(unsigned char)*p] != C_DIGIT) return false;
  long n = 0;
  while (char_class[(unsigned char)*p] == C_DIGIT) n = n * 10 + (*p++ - '0');
  std::string name;
  while (*p == ' ') ++p;
  if (*p == '"') {
    const char *s = ++p, *e = nullptr;
    for (; *p != '\n'; ++p)
      if (*p == '"') e = p;
    if (e) name.assign(s, (size_t)(e - s));
  }
  while (*p != '\n') ++p;
  if (p < f.end) ++p;
  f.cur = p;
  f.line = (uint32_t)n;
  f.bol = true;
  if (!name.empty()) {
    f.presented = name;
    f.file = file_index(name);
  }
  return true;
}

/* "pred(answer)" with the answer's blank runs made one blank. */
bool Preprocessor::read_answer(std::string &key) {
  PToken t;
  fetch(t);
  if (t.kind != (uint8_t)TokenKind::Identifier) return refuse(t);
  key.assign(t.p, t.len);
  fetch(t);
  if (!t.is('(')) return refuse(t);
  key += '(';
  int depth = 1;
  bool first = true;
  for (;;) {
    fetch(t);
    if (t.kind == IK_EOL || t.kind == IK_EOF) {
      push_pending(t);
      return false;
    }
    if (t.is('(')) depth++;
    if (t.is(')') && --depth == 0) break;
    if (!first && (t.flags & F_SPACE)) key += ' ';
    key.append(t.p, t.len);
    first = false;
  }
  key += ')';
  return true;
}

void Preprocessor::do_assert(bool assert) {
  std::string key;
  if (!read_answer(key)) {
    report(LEVEL_WARNING, assert ? "#assert syntax error" : "#unassert syntax error");
    return;
  }
  if (assert)
    assertions_.insert(key);
  else
    assertions_.erase(key);
}

}  // namespace kvx::pp
