/*
 * capture_request.cpp - reading the capture program's argument vector into
 * a capture request.
 */
#include "capture_request.h"

#include <algorithm>
#include <cctype>
#include <sys/stat.h>

#include "tessary_compdb.h"

namespace {

/* Response files may name further response files, up to this depth. */
const int kMaxResponseDepth = 8;

bool IsLetter(char c) { return std::isalpha(static_cast<unsigned char>(c)) != 0; }

std::string Lower(std::string s) {
  for (char &c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

CPathName FullPath(const std::string &text, const CPathName &dir) {
  CPathName p = dir + CPathName(text);
  p.Canonicalize();
  return p;
}

std::string DirectoryPath(const std::string &text, const CPathName &dir) {
  CPathName p = FullPath(text, dir);
  if (!p.IsRoot()) p.RemoveEndingDirSeparator();
  return p.Str();
}

/* The capture program's own switches /app=, /cc= and /mk= (any letter
 * case, "-" or "/"): the switch's name in lower case and its value. */
bool ReadSwitch(const std::string &w, std::string &name, std::string &value) {
  if (w.size() < 2 || (w[0] != '-' && w[0] != '/')) return false;
  size_t end = 1;
  while (end < w.size() && IsLetter(w[end])) ++end;
  if (end >= w.size() || w[end] != '=') return false;
  name = Lower(w.substr(1, end - 1));
  if (name != "app" && name != "cc" && name != "mk") return false;
  value = w.substr(end + 1);
  return true;
}

bool HasSuffix(const std::string &w, const char *suffix) {
  std::string s(suffix);
  return w.size() > s.size() && w.compare(w.size() - s.size(), s.size(), s) == 0;
}

/* A word beginning with "/" is a path of this machine, not a compiler
 * switch of the "/D" kind, when it names something that exists or ends
 * like a source or an object file. */
bool IsPathWord(const std::string &w) {
  if (w.empty() || w[0] != '/') return false;
  struct stat st;
  if (::stat(w.c_str(), &st) == 0) return true;
  return IsCaptureSourceName(w) || HasSuffix(w, ".o") || HasSuffix(w, ".obj");
}

/* The letter of a -D, -U or -I switch, or 0. */
char OptionLetter(const std::string &w) {
  if (w.size() < 2 || (w[0] != '-' && w[0] != '/')) return 0;
  if (w[1] != 'D' && w[1] != 'U' && w[1] != 'I') return 0;
  if (w[0] == '/' && IsPathWord(w)) return 0;
  return w[1];
}

/* Switches whose separate argument names an output, never a source. */
bool TakesOutputName(const std::string &w) {
  return w == "-o" || w == "-MF" || w == "-MT" || w == "-MQ";
}

std::string MacroName(const std::string &define) { return define.substr(0, define.find('=')); }

/* Appends word to out, or the words of the response file it names. */
void ExpandWord(const std::string &word, const CPathName &dir, int depth,
                std::vector<std::string> &out) {
  if (word.size() > 1 && word[0] == '@' && depth < kMaxResponseDepth) {
    CPathName path = FullPath(word.substr(1), dir);
    CTextIO io;
    std::unique_ptr<CTextInput> in = path.IsFile() ? io.StartTextInput(path.Str()) : nullptr;
    if (in) {
      /* Words as the compiler reads them there: quoted as for the shell. */
      std::string line;
      while (in->ReadLine(line))
        for (const std::string &w : SplitShellWords(line)) ExpandWord(w, dir, depth + 1, out);
      return;
    }
  }
  out.push_back(word);
}

void AddDefine(SCaptureRequest &r, const std::string &value) {
  std::string name = MacroName(value);
  if (name.empty()) return;
  /* A later definition of a macro replaces the earlier one. */
  std::erase_if(r.defines, [&](const std::string &d) { return MacroName(d) == name; });
  r.defines.push_back(value);
}

void Undefine(SCaptureRequest &r, const std::string &name) {
  std::erase_if(r.defines, [&](const std::string &d) { return MacroName(d) == name; });
}

template <typename T>
void AddOnce(std::vector<T> &list, const T &item) {
  if (std::find(list.begin(), list.end(), item) == list.end()) list.push_back(item);
}

}  // namespace

bool IsCaptureSourceName(const std::string &word) {
  size_t n = word.size();
  if (n < 3 || word[n - 2] != '.' || (word[n - 1] != 'c' && word[n - 1] != 'C')) return false;
  return IsIdent(static_cast<unsigned char>(word[n - 3]));
}

SCaptureRequest ReadCaptureRequest(const std::vector<std::string> &args, const CPathName &dir) {
  SCaptureRequest r;
  std::vector<std::string> words;
  for (const std::string &arg : args) {
    std::string name, value;
    if (ReadSwitch(arg, name, value)) {
      if (name == "app") {
        r.appPath = value.empty() ? CPathName() : FullPath(value, dir);
      } else {
        r.command = value;
        r.isCompiler = name == "cc";
      }
      continue;
    }
    r.passThrough.push_back(arg);
    ExpandWord(arg, dir, 0, words);
  }

  for (size_t i = 0; i < words.size(); ++i) {
    const std::string &w = words[i];
    if (TakesOutputName(w)) {
      ++i;
      continue;
    }
    if (char letter = OptionLetter(w)) {
      std::string value = w.substr(2);
      if (value.empty() && i + 1 < words.size()) value = words[++i];
      if (value.empty()) continue;
      if (letter == 'D')
        AddDefine(r, value);
      else if (letter == 'U')
        Undefine(r, value);
      else if (value != "-")
        AddOnce(r.includes, DirectoryPath(value, dir));
      continue;
    }
    if (w.empty() || w[0] == '-') continue;
    if (IsCaptureSourceName(w)) AddOnce(r.sources, FullPath(w, dir));
  }
  return r;
}
