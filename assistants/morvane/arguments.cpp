/*
 * arguments.cpp - reading the assistant's command line.
 */
#include "arguments.h"

#include <strings.h>

const char *const kMorvaneUsage =
    "Usage:\n  morvane \"profile file\" \"application file\" [\"compilation database\"]\n"
    "  morvane -init \"profile file\"";

namespace {

std::string Argument(const std::string &arg) {
  std::string a = arg;
  RemoveEnclosed(a, '"');
  return Trimmed(a);
}

CPathName FullPath(const std::string &text, const CPathName &dir) {
  CPathName p = dir + CPathName(text);
  p.Canonicalize();
  return p;
}

}  // namespace

SMorvaneArgs ReadMorvaneArgs(const std::vector<std::string> &args, const CPathName &dir) {
  SMorvaneArgs r;
  std::vector<std::string> words;
  for (const std::string &a : args) words.push_back(Argument(a));
  bool init = !words.empty() && words[0].size() >= 5 && (words[0][0] == '-' || words[0][0] == '/') &&
              strncasecmp(words[0].c_str() + 1, "init", 4) == 0;
  if (init) {
    if (words.size() != 2 || words[1].empty()) return r;
    r.mode = SMorvaneArgs::Init;
    r.profile = FullPath(words[1], dir);
    return r;
  }
  if (words.size() < 2 || words.size() > 3 || words[0].empty() || words[1].empty()) return r;
  r.mode = SMorvaneArgs::Import;
  r.profile = FullPath(words[0], dir);
  r.application = FullPath(words[1], dir);
  if (words.size() == 3 && !words[2].empty()) r.database = FullPath(words[2], dir);
  return r;
}
