/*
 * text_streams.cpp - character sources and sinks with their tokenising
 * rules, the free functions on text, and the file stream that saves by
 * writing beside the target and renaming over it.
 */
#include "tessary_text.h"

#include <atomic>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

/* ---- free functions ------------------------------------------------ */

bool IsIdent(int c) {
  unsigned char u = static_cast<unsigned char>(c);
  return std::isalnum(u) || c == '_';
}

static bool IsTrimChar(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

void TrimString(std::string &s) {
  size_t b = 0, e = s.size();
  while (b < e && IsTrimChar(s[b])) ++b;
  while (e > b && IsTrimChar(s[e - 1])) --e;
  s = s.substr(b, e - b);
}

std::string Trimmed(const std::string &s) {
  std::string t = s;
  TrimString(t);
  return t;
}

void RemoveEnclosed(std::string &s, char c) {
  TrimString(s);
  if (!s.empty() && s.back() == c) s.pop_back();
  if (!s.empty() && s.front() == c) s.erase(0, 1);
}

void ConvertToDigits(std::string &s) {
  std::string out;
  for (char c : s)
    if (c >= '0' && c <= '9') out += c;
  s = out;
}

bool GetKeyAndValue(const std::string &line, std::string &key, std::string &value) {
  key.clear();
  value.clear();
  size_t eq = line.find('=');
  if (eq == std::string::npos) return false;
  std::string k = Trimmed(line.substr(0, eq));
  if (k.empty()) return false;
  for (char c : k)
    if (!IsIdent(c)) return false;
  key = k;
  value = Trimmed(line.substr(eq + 1));
  return true;
}

std::string ExpandEnvironment(const std::string &text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '$' || i + 1 >= text.size()) {
      out += text[i];
      continue;
    }
    size_t start = i + 1, end;
    std::string name;
    if (text[start] == '{') {
      end = text.find('}', start + 1);
      if (end == std::string::npos) {  /* unterminated: keep as written */
        out += text[i];
        continue;
      }
      name = text.substr(start + 1, end - start - 1);
      i = end;
    } else {
      end = start;
      while (end < text.size() && IsIdent(text[end])) ++end;
      if (end == start) {
        out += text[i];
        continue;
      }
      name = text.substr(start, end - start);
      i = end - 1;
    }
    const char *v = std::getenv(name.c_str());
    if (v) out += v;
  }
  return out;
}

std::string QuoteIfNeeded(const std::string &text) {
  if (text.find_first_of(" \t\"") == std::string::npos) return text;
  return "\"" + text + "\"";
}

size_t FindListItemEnd(const std::string &text, size_t from, char sep) {
  int depth = 0;
  bool quoted = false;
  for (size_t i = from; i < text.size(); ++i) {
    char c = text[i];
    if (quoted) {
      if (c == '\\')
        ++i;
      else if (c == '"')
        quoted = false;
    } else if (c == '"') {
      quoted = true;
    } else if (c == '(') {
      ++depth;
    } else if (c == ')') {
      if (depth > 0) --depth;
    } else if (c == sep && depth == 0) {
      return i;
    }
  }
  if (depth == 0 && !quoted) return text.size();
  size_t plain = text.find(sep, from);
  return plain == std::string::npos ? text.size() : plain;
}

/* ---- character sources --------------------------------------------- */

static bool InSet(char c, const char *set) { return c != 0 && std::strchr(set, c) != nullptr; }

bool CTextInput::IsEOF() const { return Current() == 0; }

bool CTextInput::SkipWhileOneOf(const char *set) {
  if (IsEOF()) return false;
  while (InSet(Current(), set)) NextChar();
  return true;
}

bool CTextInput::SkipUntilOneOf(const char *set) {
  if (IsEOF()) return false;
  while (!IsEOF() && !InSet(Current(), set)) NextChar();
  return true;
}

bool CTextInput::SkipBlanks() { return SkipWhileOneOf(" \t"); }

bool CTextInput::GetUntilOneOf(std::string &s, const char *set) {
  if (IsEOF()) return false;
  while (!IsEOF() && !InSet(Current(), set)) {
    s += Current();
    NextChar();
  }
  return true;
}

bool CTextInput::GetWhileChars(std::string &s) {
  if (IsEOF()) return false;
  while (!IsEOF() && std::isalpha(static_cast<unsigned char>(Current()))) {
    s += Current();
    NextChar();
  }
  return true;
}

bool CTextInput::GetWhileIdents(std::string &s) {
  if (IsEOF()) return false;
  while (!IsEOF() && IsIdent(Current())) {
    s += Current();
    NextChar();
  }
  return true;
}

bool CTextInput::ReadDelimitedString(std::string &s, const char *delims) {
  s.clear();
  if (!SkipWhileOneOf(delims)) return false;
  return GetUntilOneOf(s, delims);
}

bool CTextInput::ReadTrimmedDelimitedString(std::string &s, const char *delims) {
  while (ReadDelimitedString(s, delims)) {
    TrimString(s);
    if (!s.empty()) return true;
  }
  return false;
}

bool CTextInput::ReadLine(std::string &s) { return ReadDelimitedString(s, "\n\r"); }

bool CTextInput::ReadTrimmedLine(std::string &s) { return ReadTrimmedDelimitedString(s, "\n\r"); }

bool CTextInput::ReadLineContinuous(std::string &s) {
  if (!ReadLine(s)) return false;
  if (!s.empty() && s.back() == '\\') {
    s.pop_back();
    std::string next;
    if (ReadLineContinuous(next)) s += next;
  }
  return true;
}

bool CTextInput::ReadQuotedString(std::string &s) {
  s.clear();
  if (Current() != '"') return false;
  NextChar();
  GetUntilOneOf(s, "\"");
  if (Current() != '"') return false;
  NextChar();
  return true;
}

bool CTextInput::RetrievePureOption(std::string &s, char quote) {
  s.clear();
  if (IsEOF()) return false;
  SkipBlanks();
  bool quoted = quote != 0 && Current() == quote;
  if (quoted) {
    NextChar();
    char set[2] = {quote, 0};
    GetUntilOneOf(s, set);
  } else {
    GetUntilOneOf(s, " ");
  }
  TrimString(s);
  RemoveEnclosed(s, quote);
  if (quoted) return Current() == quote && NextChar();
  return true;
}

bool CTextInput::ReadPath(std::string &path) {
  SkipBlanks();
  if (Current() == '"')
    ReadQuotedString(path);
  else
    ReadLine(path);
  TrimString(path);
  return !path.empty();
}

CTextInputFile::CTextInputFile(FILE *f) : file_(f) {
  cur_ = 0;
  if (!file_) return;
  int c = std::fgetc(file_);
  cur_ = c == EOF ? 0 : static_cast<char>(c);
}

bool CTextInputFile::NextChar() {
  if (cur_ == 0) return false;
  int c = std::fgetc(file_);
  cur_ = c == EOF ? 0 : static_cast<char>(c);
  return true;
}

CTextInputString::CTextInputString(std::string text) : text_(std::move(text)) {
  /* A NUL inside the text ends the input, as it does for a file. */
  size_t nul = text_.find('\0');
  if (nul != std::string::npos) text_.resize(nul);
}

char CTextInputString::Current() const { return pos_ < text_.size() ? text_[pos_] : 0; }

bool CTextInputString::NextChar() {
  if (pos_ >= text_.size()) return false;
  ++pos_;
  return true;
}

std::string CTextInputString::Mid(size_t first, size_t count) const {
  if (first >= text_.size()) return std::string();
  return text_.substr(first, count);
}

/* ---- character sinks ----------------------------------------------- */

bool CTextOutput::WritePath(const std::string &path, bool quoted) {
  if (quoted && !WriteString("\"")) return false;
  if (!WriteString(path.c_str())) return false;
  if (quoted && !WriteString("\"")) return false;
  return true;
}

bool CTextOutputFile::WriteString(const char *text) {
  if (!text) return true;
  return file_ && std::fputs(text, file_) >= 0;
}

bool CTextOutputFile::WriteLine(const char *text) {
  if (!WriteString(text)) return false;
  return file_ && std::fputc('\n', file_) != EOF;
}

bool CTextOutputString::WriteString(const char *text) {
  if (text) target_ += text;
  return true;
}

bool CTextOutputString::WriteLine(const char *text) {
  WriteString(text);
  target_ += '\n';
  return true;
}

/* ---- file stream --------------------------------------------------- */

CTextIO::~CTextIO() { CTextIO::Close(); }

void CTextIO::Attach(FILE *f) {
  Close();
  file_ = f;
}

FILE *CTextIO::Detach() {
  FILE *f = file_;
  file_ = nullptr;
  target_.clear();
  temp_.clear();
  return f;
}

void CTextIO::Discard() {
  if (file_) std::fclose(file_);
  file_ = nullptr;
  if (!temp_.empty()) ::unlink(temp_.c_str());
  temp_.clear();
  target_.clear();
}

std::unique_ptr<CTextInput> CTextIO::StartTextInput(const std::string &path) {
  Close();
  if (path.empty()) return nullptr;
  file_ = std::fopen(path.c_str(), "r");
  if (!file_) return nullptr;
  struct stat st;
  if (::fstat(::fileno(file_), &st) != 0 || S_ISDIR(st.st_mode)) {
    std::fclose(file_);
    file_ = nullptr;
    return nullptr;
  }
  return std::make_unique<CTextInputFile>(file_);
}

/* The file a save really replaces: a symbolic link is followed so that the
 * link stays and its target is rewritten. */
static std::string SaveTarget(const std::string &path) {
  struct stat st;
  if (::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
    char *real = ::realpath(path.c_str(), nullptr);
    if (real) {
      std::string r = real;
      std::free(real);
      return r;
    }
  }
  return path;
}

std::unique_ptr<CTextOutput> CTextIO::StartTextOutput(const std::string &path) {
  Close();
  if (path.empty()) return nullptr;
  std::string target = SaveTarget(path);
  struct stat st;
  if (::stat(target.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return nullptr;
  /* The target must be writable (or creatable) for the rename to be a
   * proper replacement; check it the way a direct open would. */
  if (::access(target.c_str(), F_OK) == 0 && ::access(target.c_str(), W_OK) != 0) return nullptr;
  static std::atomic<unsigned> counter{0};
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string temp = target + ".tmp" + std::to_string(::getpid()) + "_" + std::to_string(++counter);
    int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
      if (errno == EEXIST) continue;
      return nullptr;
    }
    if (::stat(target.c_str(), &st) == 0) ::fchmod(fd, st.st_mode & 07777);
    file_ = ::fdopen(fd, "w");
    if (!file_) {
      ::close(fd);
      ::unlink(temp.c_str());
      return nullptr;
    }
    temp_ = temp;
    target_ = target;
    return std::make_unique<CTextOutputFile>(file_);
  }
  return nullptr;
}

bool CTextIO::Close() {
  if (!file_) return true;
  if (temp_.empty()) {
    bool ok = std::fclose(file_) == 0;
    file_ = nullptr;
    return ok;
  }
  bool ok = std::fflush(file_) == 0 && !std::ferror(file_);
  if (ok) ok = ::fsync(::fileno(file_)) == 0;
  ok = std::fclose(file_) == 0 && ok;
  file_ = nullptr;
  if (ok) ok = ::rename(temp_.c_str(), target_.c_str()) == 0;
  if (!ok) ::unlink(temp_.c_str());
  temp_.clear();
  target_.clear();
  return ok;
}
