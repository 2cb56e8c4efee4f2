/*
 * pathname.cpp - CPathName: the one representation of file and directory
 * names.  Both '/' and '\' separate components on reading; '/' is written.
 * The canonical form is computed from the text alone, without the disk.
 */
#include "tessary_text.h"

#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "tessary_errors.h"

CPathName::CPathName(const char *text) : path_(text ? text : "") { TrimString(path_); }

CPathName::CPathName(const std::string &text) : path_(text) { TrimString(path_); }

void CPathName::Empty() {
  path_.clear();
  flags_ = 0;
}

int CPathName::Compare(const CPathName &other) const {
  CPathName a = *this, b = other;
  a.MakeLong();
  b.MakeLong();
  return std::strcmp(a.path_.c_str(), b.path_.c_str());
}

/* Strict and non-strict tests coincide: there are no drive letters. */
bool CPathName::IsFull(bool) const { return !path_.empty() && IsDirSeparator(path_[0]); }

CPathName CPathName::GetRoot() const {
  if (!IsFull()) return CPathName();
  return CPathName(path_.substr(0, 1));
}

bool CPathName::IsRoot() const { return !path_.empty() && path_ == GetRoot().path_; }

static size_t LastSeparator(const std::string &s) { return s.find_last_of("/\\"); }

CPathName CPathName::GetDirectory() const {
  size_t p = LastSeparator(path_);
  if (p == std::string::npos) return CPathName();
  return CPathName(path_.substr(0, p + 1));
}

std::string CPathName::GetFileName() const {
  size_t p = LastSeparator(path_);
  if (p == std::string::npos) return path_;
  return path_.substr(p + 1);
}

std::string CPathName::GetFileNameNoExtension() const {
  std::string name = GetFileName();
  size_t dot = name.rfind('.');
  if (dot != std::string::npos) name.erase(dot);
  return name;
}

std::string CPathName::GetExtension() const {
  std::string name = GetFileName();
  size_t dot = name.rfind('.');
  if (dot == std::string::npos) return std::string();
  return name.substr(dot + 1);
}

bool CPathName::SetExtension(const std::string &ext) {
  if (path_.empty() || IsEndingWithDirSeparator()) return false;
  size_t sep = LastSeparator(path_);
  size_t dot = path_.rfind('.');
  if (dot != std::string::npos && (sep == std::string::npos || dot > sep)) path_.erase(dot);
  if (ext.empty() || ext[0] != '.') path_ += '.';
  path_ += ext;
  flags_ = 0;
  return true;
}

bool CPathName::CheckExtension(const char *ext) const {
  if (!ext || path_.empty() || IsEndingWithDirSeparator()) return false;
  std::string e = ext;
  size_t dot = e.rfind('.');
  if (dot != std::string::npos) e = e.substr(dot + 1);
  return GetExtension() == e;
}

bool CPathName::CheckExtensionOneOf(const std::string &list, char sep) const {
  size_t start = 0;
  while (start <= list.size()) {
    size_t end = list.find(sep, start);
    if (end == std::string::npos) end = list.size();
    std::string item = Trimmed(list.substr(start, end - start));
    if (!item.empty() && CheckExtension(item.c_str())) return true;
    start = end + 1;
  }
  return false;
}

bool CPathName::CheckExtensionFromFilter(const std::string &filter, int index, char sep) const {
  if (index < 0) return false;
  size_t want = 2 * static_cast<size_t>(index) + 1, field = 0, start = 0;
  while (start <= filter.size()) {
    size_t end = filter.find(sep, start);
    if (end == std::string::npos) end = filter.size();
    if (field == want) return CheckExtensionOneOf(filter.substr(start, end - start), ';');
    ++field;
    start = end + 1;
  }
  return false;
}

bool CPathName::CheckExtensionFromFilter(unsigned id, int index, char sep) const {
  const char *text = GetMessageText(id);
  return text && CheckExtensionFromFilter(std::string(text), index, sep);
}

bool CPathName::IsEndingWithDirSeparator() const {
  return !path_.empty() && IsDirSeparator(path_.back());
}

void CPathName::AddEndingDirSeparator() {
  if (!path_.empty() && !IsEndingWithDirSeparator()) {
    path_ += DefaultDirSeparator();
    flags_ = 0;
  }
}

void CPathName::RemoveEndingDirSeparator() {
  if (IsEndingWithDirSeparator()) {
    path_.pop_back();
    flags_ = 0;
  }
}

CPathName &CPathName::operator+=(const CPathName &p) {
  if (p.IsFull() || path_.empty()) {
    *this = p;
    return *this;
  }
  if (p.path_.empty()) return *this;
  if (!IsEndingWithDirSeparator()) path_ += DefaultDirSeparator();
  path_ += p.path_;
  flags_ = 0;
  return *this;
}

CPathName CPathName::operator+(const CPathName &p) const {
  CPathName r = *this;
  r += p;
  return r;
}

std::string CPathName::ConvertSlashes(const std::string &s) {
  std::string out;
  for (char c : s) {
    if (IsDirSeparator(c)) {
      if (out.empty() || out.back() != '/') out += '/';
    } else {
      out += c;
    }
  }
  return out;
}

/* "." components go; ".." removes the component before it.  A ".." that
 * has nothing to cancel stays in a relative path, and is dropped at the
 * root of a full path (nothing lies above the root). */
const CPathName &CPathName::Canonicalize() {
  if (flags_ & CANONICAL) return *this;
  std::string s = ConvertSlashes(path_);
  bool full = !s.empty() && s[0] == '/';
  std::vector<std::string> kept;
  size_t start = full ? 1 : 0;
  bool endsDir = false;
  while (start <= s.size()) {
    size_t end = s.find('/', start);
    bool last = end == std::string::npos;
    if (last) end = s.size();
    std::string comp = s.substr(start, end - start);
    endsDir = false;
    if (last && comp.empty()) {
      endsDir = true;
    } else if (comp == ".") {
      endsDir = last;
    } else if (comp == "..") {
      if (!kept.empty() && kept.back() != "..")
        kept.pop_back();
      else if (!full)
        kept.push_back(comp);
      endsDir = last;
    } else if (!comp.empty()) {
      kept.push_back(comp);
    }
    if (last) break;
    start = end + 1;
  }
  std::string out = full ? "/" : "";
  for (size_t i = 0; i < kept.size(); ++i) {
    out += kept[i];
    if (i + 1 < kept.size() || endsDir) out += '/';
  }
  if (out.empty() && !s.empty()) out.push_back('.');
  path_.swap(out);
  flags_ |= CANONICAL;
  return *this;
}

/* Leading components of a path, each with its separator. */
static std::vector<std::string> Components(const std::string &s) {
  std::vector<std::string> out;
  size_t start = 0;
  while (start < s.size()) {
    size_t end = s.find_first_of("/\\", start);
    if (end == std::string::npos) {
      out.push_back(s.substr(start));
      break;
    }
    out.push_back(s.substr(start, end - start + 1));
    start = end + 1;
  }
  return out;
}

static bool SameComponent(const std::string &a, const std::string &b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    bool sa = CPathName::IsDirSeparator(a[i]), sb = CPathName::IsDirSeparator(b[i]);
    if (sa != sb || (!sa && a[i] != b[i])) return false;
  }
  return true;
}

CPathName CPathName::GetCommonPrefix(const CPathName &p) const {
  std::vector<std::string> a = Components(path_), b = Components(p.path_);
  std::string out;
  for (size_t i = 0; i < a.size() && i < b.size(); ++i) {
    /* Only whole directory components count. */
    if (!SameComponent(a[i], b[i]) || !IsDirSeparator(a[i].back())) break;
    out += a[i];
  }
  return CPathName(out);
}

/* Paths that share no more than the root stay absolute: a reference from a
 * user's directory into an installed tree must not depend on how deep the
 * two happen to sit. */
CPathName CPathName::GetRelativeTo(const CPathName &base) const {
  if (!IsFull(true) || !base.IsFull(true)) return *this;
  CPathName me = *this, b = base;
  me.Canonicalize();
  b.Canonicalize();
  if (!b.IsEndingWithDirSeparator()) b = b.GetDirectory();
  CPathName prefix = me.GetCommonPrefix(b);
  if (prefix.path_.size() <= 1) return *this;
  std::string out;
  std::vector<std::string> rest = Components(b.path_.substr(prefix.path_.size()));
  for (size_t i = 0; i < rest.size(); ++i) out += "../";
  out += me.path_.substr(prefix.path_.size());
  CPathName r(out);
  return r;
}

void CPathName::MakeFullRelativeBy(const CPathName &base) {
  if (path_.empty() || IsFull(true)) return;
  CPathName joined = base.GetDirectory() + *this;
  path_ = joined.path_;
  flags_ = 0;
}

bool CPathName::MakeShort() {
  if (!IsFull(true)) return false;
  Canonicalize();
  flags_ = CANONICAL | SHORT_FORM;
  return true;
}

bool CPathName::MakeLong() {
  if (!IsFull(true)) return false;
  Canonicalize();
  flags_ = CANONICAL | LONG_FORM;
  return true;
}

std::string CPathName::NoTrailingSeparator() const {
  std::string s = path_;
  while (s.size() > 1 && IsDirSeparator(s.back())) s.pop_back();
  return s;
}

bool CPathName::Exists() const {
  if (path_.empty()) return false;
  return ::access(NoTrailingSeparator().c_str(), F_OK) == 0;
}

bool CPathName::CanRead() const {
  if (path_.empty()) return false;
  return ::access(NoTrailingSeparator().c_str(), R_OK) == 0;
}

bool CPathName::CanWrite() const {
  if (path_.empty()) return false;
  return ::access(NoTrailingSeparator().c_str(), W_OK) == 0;
}

bool CPathName::IsDirectory() const {
  struct stat st;
  if (!IsFull()) return false;
  return ::stat(NoTrailingSeparator().c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool CPathName::IsFile() const {
  struct stat st;
  if (!IsFull()) return false;
  return ::stat(NoTrailingSeparator().c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool CPathName::IsValid() const {
  if (path_.empty()) return false;
  if (Exists()) return true;
  int fd = ::open(path_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
  if (fd < 0) return false;
  ::close(fd);
  ::unlink(path_.c_str());
  return true;
}

bool CPathName::Delete() const {
  if (path_.empty()) return false;
  std::string p = NoTrailingSeparator();
  struct stat st;
  if (::lstat(p.c_str(), &st) != 0) return false;
  if (S_ISDIR(st.st_mode)) return ::rmdir(p.c_str()) == 0;
  return ::unlink(p.c_str()) == 0;
}
