/*
 * reader.cpp - the character reader: source files, line splices, trigraphs,
 * comments, annotation comments of preprocessed text and raw tokens.
 *
 * A file is read whole into one buffer (it grows with the file) and cleaned
 * in place: trigraphs are replaced and line splices removed, their offsets
 * kept so that every token still gets its physical line.
 */
#include <cerrno>
#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

#include "preprocessor/pp_impl.h"

namespace kvx::pp {

static constexpr std::array<uint8_t, 256> make_classes() {
  std::array<uint8_t, 256> t{};
  for (int c = 'a'; c <= 'z'; c++) t[c] = C_LETTER;
  for (int c = 'A'; c <= 'Z'; c++) t[c] = C_LETTER;
  t['_'] = t['$'] = C_LETTER;
  for (int c = '0'; c <= '9'; c++) t[c] = C_DIGIT;
  t['.'] = C_DOT;
  t['"'] = t['\''] = C_QUOTE;
  t[' '] = t['\t'] = t['\v'] = t['\f'] = t['\r'] = C_BLANK;
  t['\n'] = C_NL;
  t['/'] = C_SLASH;
  t[0] = C_NUL;
  t['\\'] = C_BACKSLASH;
  t['#'] = C_HASH;
  for (const char *q = "[](){}&*+-~!%<>^|?:;=,"; *q; q++) t[(uint8_t)*q] = C_PUNCT;
  return t;
}
static constexpr auto classes = make_classes();
const uint8_t char_class[256] = {
#define R(i) classes[i], classes[i + 1], classes[i + 2], classes[i + 3], classes[i + 4], \
             classes[i + 5], classes[i + 6], classes[i + 7]
    R(0),   R(8),   R(16),  R(24),  R(32),  R(40),  R(48),  R(56),  R(64),  R(72),  R(80),
    R(88),  R(96),  R(104), R(112), R(120), R(128), R(136), R(144), R(152), R(160), R(168),
    R(176), R(184), R(192), R(200), R(208), R(216), R(224), R(232), R(240), R(248)
#undef R
};

/* ---------------------------------------------------------------- arena */

char *Arena::alloc(size_t n) {
  n = (n + 7) & ~size_t(7);
  if (n > left_) {
    size_t sz = n > 65536 ? n : 65536;
    chunks_.emplace_back(new char[sz]);
    sizes_.push_back(sz);
    cur_ = chunks_.back().get();
    left_ = sz;
  }
  char *r = cur_;
  cur_ += n;
  left_ -= n;
  return r;
}

void Arena::reset() {
  if (chunks_.empty()) return;
  if (chunks_.size() > 1) {
    chunks_.resize(1);
    sizes_.resize(1);
  }
  cur_ = chunks_[0].get();
  left_ = sizes_[0];
}

/* ---------------------------------------------------------- identifiers */

static inline uint32_t hash_step(uint32_t h, unsigned char c) { return (h ^ c) * 16777619u; }

Ident *Preprocessor::intern(const char *p, size_t n) {
  uint32_t h = 2166136261u;
  for (size_t i = 0; i < n; i++) h = hash_step(h, (unsigned char)p[i]);
  return intern_hashed(p, n, h);
}

Ident *Preprocessor::intern_hashed(const char *p, size_t n, uint32_t h) {
  size_t mask = buckets_.size() - 1;
  for (Ident *e = buckets_[h & mask]; e; e = e->chain)
    if (e->hash == h && e->len == n && memcmp(e->name, p, n) == 0) return e;
  if (nidents_ >= buckets_.size()) {
    std::vector<Ident *> nb(buckets_.size() * 2, nullptr);
    size_t nm = nb.size() - 1;
    for (Ident *e : buckets_)
      while (e) {
        Ident *next = e->chain;
        e->chain = nb[e->hash & nm];
        nb[e->hash & nm] = e;
        e = next;
      }
    buckets_.swap(nb);
    mask = nm;
  }
  if (ident_left_ == 0) {
    ident_chunks_.emplace_back(new Ident[1024]);
    ident_left_ = 1024;
  }
  Ident *e = &ident_chunks_.back()[1024 - ident_left_--];
  e->name = perm_.copy(std::string_view(p, n));
  e->len = (uint32_t)n;
  e->hash = h;
  e->macro = nullptr;
  e->directive = 0;
  e->special = SP_NONE;
  e->in_names = false;
  e->chain = buckets_[h & mask];
  buckets_[h & mask] = e;
  nidents_++;
  return e;
}

/* ---------------------------------------------------------------- files */

uint32_t Preprocessor::file_index(const std::string &name) {
  auto it = file_map_.find(name);
  if (it != file_map_.end()) return it->second;
  uint32_t i = (uint32_t)files_.size();
  files_.push_back(name);
  file_map_.emplace(name, i);
  obs_->file_entered(i, name);
  return i;
}

static char trigraph_char(char c) {
  switch (c) {
    case '=': return '#';
    case '(': return '[';
    case '/': return '\\';
    case ')': return ']';
    case '\'': return '^';
    case '<': return '{';
    case '!': return '|';
    case '>': return '}';
    case '-': return '~';
    default: return 0;
  }
}

/* Replaces trigraphs and removes line splices in place; returns the length. */
static size_t clean_text(FileFrame &f, char *b, size_t n, bool tri) {
  bool need = tri && memmem(b, n, "??", 2) != nullptr;
  for (const char *q = b; !need && (q = (const char *)memchr(q, '\\', b + n - q)); ++q) {
    const char *j = q + 1;
    while (j < b + n && (*j == ' ' || *j == '\t' || *j == '\r')) ++j;
    if (j < b + n && *j == '\n') need = true;
  }
  if (!need) return n;
  char *o = b;
  const char *i = b, *e = b + n;
  while (i < e) {
    char c = *i;
    char t;
    if (c == '?' && tri && i + 2 < e && i[1] == '?' && (t = trigraph_char(i[2]))) {
      c = t;
      i += 3;
    } else {
      ++i;
    }
    if (c == '\\') {
      const char *j = i;
      while (j < e && (*j == ' ' || *j == '\t' || *j == '\r')) ++j;
      if (j < e && *j == '\n') {
        f.splices.push_back((uint32_t)(o - b));
        i = j + 1;
        continue;
      }
    }
    *o++ = c;
  }
  return o - b;
}

bool is_readable(const std::string &path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode) && access(path.c_str(), R_OK) == 0;
}

bool Preprocessor::push_file(const std::string &path, const std::string &index_name) {
  FILE *fp = fopen(path.c_str(), "rb");
  if (!fp) return false;
  struct stat st;
  if (fstat(fileno(fp), &st) != 0 || S_ISDIR(st.st_mode)) {
    fclose(fp);
    return false;
  }
  size_t cap = (size_t)st.st_size + 1;
  std::unique_ptr<char[]> buf(new char[cap + 2]);
  size_t n = 0;
  for (;;) {
    size_t r = fread(buf.get() + n, 1, cap - n, fp);
    n += r;
    if (n < cap) break;
    /* the file grew while being read: make room and go on */
    std::unique_ptr<char[]> nb(new char[cap * 2 + 2]);
    memcpy(nb.get(), buf.get(), n);
    buf.swap(nb);
    cap *= 2;
  }
  fclose(fp);
  auto f = std::make_unique<FileFrame>();
  if (!external_) n = clean_text(*f, buf.get(), n, trigraphs_);
  if (n == 0 || buf[n - 1] != '\n') buf[n++] = '\n';
  buf[n] = 0;
  f->base = f->cur = buf.get();
  f->end = buf.get() + n;
  f->buf = std::move(buf);
  f->open_name = path;
  f->file = file_index(index_name.empty() ? path : index_name);
  f->cond_base = cond_.size();
  frames_.push_back(std::move(f));
  file_ = frames_.back().get();
  return true;
}

void Preprocessor::push_text(std::string_view text, std::string_view origin) {
  auto f = std::make_unique<FileFrame>();
  size_t n = text.size();
  std::unique_ptr<char[]> buf(new char[n + 2]);
  memcpy(buf.get(), text.data(), n);
  if (n == 0 || buf[n - 1] != '\n') buf[n++] = '\n';
  buf[n] = 0;
  f->base = f->cur = buf.get();
  f->end = buf.get() + n;
  f->buf = std::move(buf);
  f->open_name = origin;
  f->is_text = true;
  f->file = file_ ? file_->file : 0;
  f->line = file_ ? file_->line : 1;
  frames_.push_back(std::move(f));
  file_ = frames_.back().get();
}

bool Preprocessor::pop_file() {
  if (frames_.empty()) return false;
  if (!frames_.back()->delete_path.empty()) unlink(frames_.back()->delete_path.c_str());
  frames_.pop_back();
  file_ = frames_.empty() ? nullptr : frames_.back().get();
  return file_ != nullptr;
}

uint32_t Preprocessor::line_at(FileFrame &f, const char *p) {
  size_t off = (size_t)(p - f.base);
  while (f.splice_i < f.splices.size() && f.splices[f.splice_i] <= off) {
    f.line++;
    f.splice_i++;
  }
  return f.line;
}

/* ------------------------------------------------------------- comments */

/* p is at "/ *"; leaves p after the comment. */
void Preprocessor::skip_block_comment(FileFrame &f, const char *&p, bool record) {
  uint32_t first = record ? line_at(f, p) : 0;
  const char *q = p + 2;
  for (;;) {
    while (*q != '*' && *q != '\n' && *q != 0) ++q;
    if (*q == '*') {
      if (q[1] == '/') {
        q += 2;
        break;
      }
      ++q;
    } else if (*q == '\n') {
      f.line++;
      ++q;
    } else if (q >= f.end) {
      f.cur = q;
      report(LEVEL_ERROR, "EOF in comment");
      break;
    } else {
      ++q;
    }
  }
  const char *start = p;
  p = q;
  if (record) {
    uint32_t last = line_at(f, p - 1);
    note_comment(f, first, last - first + 1, std::string_view(start, (size_t)(p - start)));
  }
}

/* Annotation comment of preprocessed text; start is at "/ *", p after the
 * marker.  See writer.cpp for the bytes. */
void Preprocessor::annotation(FileFrame &f, const char *start, const char *&p) {
  const char *close = strstr(p, "*/");
  if (!close || close >= f.end) {
    skip_block_comment(f, start, false);
    p = start;
    return;
  }
  char letter = *p;
  const char *pay = p + 1 + 5;
  const char *pend = close - 1;
  if (pay > pend) pay = pend;
  std::string_view payload(pay, (size_t)(pend - pay));
  uint32_t line = line_at(f, start);
  switch (letter) {
    case 'D':
    case 'F': {
      int n = -1;
      std::string_view s = payload;
      if (letter == 'F') {
        n = 0;
        size_t i = 0;
        while (i < s.size() && s[i] >= '0' && s[i] <= '9') n = n * 10 + (s[i++] - '0');
        while (i < s.size() && s[i] == ' ') i++;
        s.remove_prefix(i);
      }
      size_t e = s.find_first_of(letter == 'F' ? "(" : " ");
      std::string_view name = s.substr(0, e);
      std::vector<std::string_view> params;
      if (letter == 'F' && e != std::string_view::npos) {
        std::string_view rest = s.substr(e + 1);
        size_t close_p = rest.rfind(')');
        if (close_p != std::string_view::npos) rest = rest.substr(0, close_p);
        while (!rest.empty()) {
          size_t c = rest.find(',');
          params.push_back(rest.substr(0, c));
          if (c == std::string_view::npos) break;
          rest.remove_prefix(c + 1);
        }
      }
      obs_->macro_defined(f.file, line, name, n, params);
      break;
    }
    case 'm':
    case 's': {
      bool with = payload.size() >= 2 && payload.substr(payload.size() - 2) == "()";
      std::string_view name = with ? payload.substr(0, payload.size() - 2) : payload;
      obs_->macro_used(f.file, line, name, with, letter == 'm');
      if (letter == 's') next_macid_ = true;
      if (letter == 'm') {
        count_expansion(f.file, line);
        top_exp_ = macro_text_ = true;
      }
      break;
    }
    case 'u':
      next_macid_ = true;
      break;
    case 'n':
      obs_->include_missing(f.file, line);
      break;
    case 'f':
      obs_->expansion_end();
      top_exp_ = false;
      break;
    case 'x':
    case 'w':
      macro_text_ = letter == 'x';
      break;
    case 'i':
    case 'I': {
      if (payload.size() >= 2) {
        std::string path(payload.substr(1, payload.size() - 2));
        uint32_t from = f.file;
        uint32_t to = file_index(path);
        if (letter == 'I') obs_->system_file(to);
        if (!is_pch(path)) obs_->inclusion(from, line, to);
      }
      break;
    }
    case 'c': {
      uint32_t n = 0;
      for (char c : payload)
        if (c >= '0' && c <= '9') n = n * 10 + (uint32_t)(c - '0');
      obs_->comment(f.file, line, n ? n : 1);
      break;
    }
    case 't':
      obs_->fallthrough_comment(f.file, line);
      break;
    case 'h':
      obs_->directive_line(f.file, line);
      break;
    default:
      break;
  }
  for (const char *q = p; q < close; q++)
    if (*q == '\n') f.line++;
  p = close + 2;
}

/* Consumes the rest of a directive line (comments included) up to and
 * with its newline; comments are recorded (skipped text too). */
void Preprocessor::skip_to_eol() {
  FileFrame &f = *file_;
  const char *p = f.cur;
  for (;;) {
    char c = *p;
    if (c == '\n') {
      if (p >= f.end) break;
      ++p;
      f.line++;
      break;
    }
    if (c == 0 && p >= f.end) break;
    if (c == '/' && p[1] == '*') {
      skip_block_comment(f, p, !external_ && !f.is_text);
      continue;
    }
    if (c == '/' && p[1] == '/' && cpp_comments_) {
      const char *s = p;
      uint32_t l = line_at(f, s);
      while (*p != '\n') ++p;
      if (!external_ && !f.is_text) note_comment(f, l, line_at(f, p) - l + 1, std::string_view(s, (size_t)(p - s)));
      continue;
    }
    if (c == '"' || c == '\'') {
      ++p;
      while (*p != c && *p != '\n') p += (*p == '\\' && p[1] != '\n') ? 2 : 1;
      if (*p == c) ++p;
      continue;
    }
    ++p;
  }
  f.cur = p;
  f.bol = true;
}

/* ------------------------------------------------------------ raw tokens */

static const char *const punct3[] = {"...", "<<=", ">>=", nullptr};
static const char *const punct2[] = {"->", "++", "--", "<<", ">>", "<=", ">=", "==", "!=", "&&",
                                     "||", "*=", "/=", "%=", "+=", "-=", "&=", "^=", "|=", "##",
                                     nullptr};

size_t punct_length(const char *p) {
  for (int i = 0; punct3[i]; i++)
    if (p[0] == punct3[i][0] && p[1] == punct3[i][1] && p[2] == punct3[i][2]) return 3;
  for (int i = 0; punct2[i]; i++)
    if (p[0] == punct2[i][0] && p[1] == punct2[i][1]) return 2;
  return 1;
}

const char *scan_number(const char *p) {
  for (;;) {
    unsigned char c = (unsigned char)*p;
    uint8_t k = char_class[c];
    if ((c == '+' || c == '-') && (p[-1] == 'e' || p[-1] == 'E' || p[-1] == 'p' || p[-1] == 'P')) {
      ++p;
      continue;
    }
    if (k == C_DIGIT || k == C_LETTER || k == C_DOT) {
      ++p;
      continue;
    }
    return p;
  }
}

static inline bool string_prefix(const char *s, const char *p) {
  size_t n = (size_t)(p - s);
  if (n == 1) return *s == 'L' || *s == 'u' || *s == 'U';
  return n == 2 && s[0] == 'u' && s[1] == '8';
}

/* A token without text at p (a line end in a directive, the end of a
 * frame's text); the frame reads on from p. */
static inline void empty_token(FileFrame *f, uint8_t kind, const char *p, uint16_t flags, PToken &t) {
  f->cur = p;
  t.kind = kind;
  t.p = p;
  t.len = 0;
  t.flags = flags;
  t.id = nullptr;
  t.line = f->line;
  t.file = f->file;
}

void Preprocessor::lex(PToken &t) {
  FileFrame *f = file_;
  const char *p = f->cur;
  uint16_t flags = f->bol ? F_BOL : 0;
  for (;;) {
    unsigned char c = (unsigned char)*p;
    switch (char_class[c]) {
      case C_BLANK:
        ++p;
        flags |= F_SPACE;
        continue;
      case C_NL:
        if (p >= f->end) {
          empty_token(f, IK_EOF, p, flags, t);
          return;
        }
        if (in_directive_) {
          empty_token(f, IK_EOL, p, flags, t);
          return;
        }
        ++p;
        f->line++;
        f->bol = true;
        flags |= F_SPACE | F_BOL;
        continue;
      case C_HASH:
        if (f->bol && !in_directive_) {
          if (!external_) {
            f->cur = p + 1;
            directive();
            f = file_;
            p = f->cur;
            flags = F_SPACE | F_BOL;
            continue;
          }
          if (p == f->base || p[-1] == '\n') {
            f->cur = p + 1;
            if (line_marker_external()) {
              p = f->cur;
              flags = F_SPACE | F_BOL;
              continue;
            }
          }
        }
        goto punct;
      case C_SLASH:
        if (p[1] == '*') {
          if (external_) {
            size_t ml = opts_.marker.size();
            if (memcmp(p + 2, opts_.marker.data(), ml) == 0) {
              const char *q = p + 2 + ml;
              annotation(*f, p, q);
              p = q;
              continue;
            }
          }
          skip_block_comment(*f, p, compiling_ && !external_ && !f->is_text);
          if (standard_)
            flags |= F_SPACE;
          else
            flags |= F_GLUE;
          continue;
        }
        if (p[1] == '/' && cpp_comments_) {
          uint32_t l = line_at(*f, p);
          const char *s = p;
          while (*p != '\n') ++p;
          if (compiling_ && !external_ && !f->is_text)
            note_comment(*f, l, line_at(*f, p) - l + 1, std::string_view(s, (size_t)(p - s)));
          flags |= F_SPACE;
          continue;
        }
        goto punct;
      case C_LETTER: {
        const char *s = p;
        uint32_t h = 2166136261u;
        do {
          h = hash_step(h, c);
          c = (unsigned char)*++p;
        } while (char_class[c] == C_LETTER || char_class[c] == C_DIGIT);
        if (char_class[c] == C_QUOTE && standard_ && string_prefix(s, p)) {
          t.p = s;
          goto quoted;
        }
        t.p = s;
        t.len = (uint32_t)(p - s);
        t.kind = (uint8_t)TokenKind::Identifier;
        t.id = intern_hashed(s, t.len, h);
        if (next_macid_) {
          flags |= F_MACID;
          next_macid_ = false;
        }
        goto done;
      }
      case C_DIGIT:
      number : {
        const char *s = p;
        p = scan_number(p + 1);
        t.p = s;
        t.len = (uint32_t)(p - s);
        t.kind = (uint8_t)TokenKind::Number;
        t.id = nullptr;
        goto done;
      }
      case C_DOT:
        if (char_class[(unsigned char)p[1]] == C_DIGIT) goto number;
        goto punct;
      case C_QUOTE:
        t.p = p;
      quoted : {
        char q = *p++;
        for (;;) {
          char d = *p;
          if (d == q) {
            ++p;
            break;
          }
          if (d == '\\' && p[1] != 0) {
            if (p[1] == '\n') {
              if (!external_) {
                ++p;
                continue;
              }
              f->line++;
            }
            p += 2;
            continue;
          }
          if (d == '\n') {
            f->cur = p;
            if (compiling_) report(LEVEL_ERROR, "unterminated string");
            break;
          }
          ++p;
        }
        t.len = (uint32_t)(p - t.p);
        t.kind = q == '"' ? (uint8_t)TokenKind::String : (uint8_t)TokenKind::CharConst;
        t.id = nullptr;
        goto done;
      }
      case C_PUNCT:
      punct : {
        size_t n = punct_length(p);
        t.p = p;
        t.len = (uint32_t)n;
        p += n;
        t.kind = (uint8_t)TokenKind::Punct;
        t.id = nullptr;
        goto done;
      }
      case C_NUL:
        if (p >= f->end) {
          empty_token(f, IK_EOF, p, flags, t);
          return;
        }
        [[fallthrough]];
      default:
        t.p = p;
        t.len = 1;
        ++p;
        t.kind = (uint8_t)TokenKind::Other;
        t.id = nullptr;
        goto done;
    }
  }
done:
  t.flags = flags | F_FILE;
  t.arg = 0;
  t.file = f->file;
  t.line = f->splices.empty() ? f->line : line_at(*f, t.p);
  f->cur = p;
  f->bol = false;
}

}  // namespace kvx::pp
