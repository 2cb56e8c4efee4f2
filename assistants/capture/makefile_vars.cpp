/*
 * makefile_vars.cpp - reading the variable definitions of a makefile.
 */
#include "makefile_vars.h"

#include <algorithm>
#include <sstream>

namespace {

bool IsNameChar(char c) { return IsIdent(static_cast<unsigned char>(c)) || c == '.' || c == '-'; }

/* The logical lines of the makefile: continuations joined, comments gone,
 * recipe lines left out. */
std::vector<std::string> LogicalLines(const std::string &text) {
  std::vector<std::string> out;
  std::istringstream in(text);
  std::string line, pending;
  bool continued = false, recipe = false;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!continued) recipe = !line.empty() && line[0] == '\t';
    bool more = !line.empty() && line.back() == '\\';
    if (more) line.pop_back();
    /* make joins a continued line with one blank in place of the line
     * break and the blanks around it. */
    if (!recipe) pending = continued ? Trimmed(pending) + " " + Trimmed(line) : line;
    continued = more;
    if (continued) continue;
    if (!recipe) out.push_back(pending);
    pending.clear();
  }
  if (!pending.empty()) out.push_back(pending);
  for (std::string &l : out) {
    std::string kept;
    for (size_t i = 0; i < l.size(); ++i) {
      if (l[i] == '\\' && i + 1 < l.size() && l[i + 1] == '#') {
        kept += '#';
        ++i;
      } else if (l[i] == '#') {
        break;
      } else {
        kept += l[i];
      }
    }
    l = Trimmed(kept);
  }
  return out;
}

bool StripWord(std::string &line, const char *word) {
  std::string w(word);
  if (line.compare(0, w.size(), w) != 0 || line.size() == w.size() ||
      (line[w.size()] != ' ' && line[w.size()] != '\t'))
    return false;
  line = Trimmed(line.substr(w.size()));
  return true;
}

struct SDefinition {
  std::string name, op, value;
};

bool ReadDefinition(std::string line, SDefinition &def) {
  while (StripWord(line, "export") || StripWord(line, "override")) {
  }
  size_t eq = line.find('=');
  if (eq == std::string::npos || eq == 0) return false;
  size_t opStart = eq;
  while (opStart > 0 && std::string_view(":?+!").find(line[opStart - 1]) != std::string_view::npos) --opStart;
  def.op = line.substr(opStart, eq + 1 - opStart);
  if (def.op != "=" && def.op != ":=" && def.op != "::=" && def.op != "?=" && def.op != "+=" && def.op != "!=")
    return false;
  def.name = Trimmed(line.substr(0, opStart));
  def.value = Trimmed(line.substr(eq + 1));
  return !def.name.empty() && std::all_of(def.name.begin(), def.name.end(), IsNameChar);
}

int KindOf(const std::string &name, const std::vector<MakVar> &profileVars) {
  for (int kind : {MakVar::eCompile, MakVar::eMake})
    for (const MakVar &v : profileVars)
      if (v.kind == kind && v.name == name) return kind;
  return kOtherVariable;
}

}  // namespace

std::vector<MakVar> ReadMakefileVariables(const std::string &text, const std::vector<MakVar> &profileVars,
                                          const std::string &makeCommand) {
  std::vector<MakVar> vars;
  bool inDefine = false;
  bool callsMake = text.find("$(MAKE)") != std::string::npos || text.find("${MAKE}") != std::string::npos;
  for (const std::string &line : LogicalLines(text)) {
    std::string head = line;
    while (StripWord(head, "export") || StripWord(head, "override")) {
    }
    if (inDefine) {
      inDefine = head != "endef";
      continue;
    }
    if (head.rfind("define", 0) == 0 && (head.size() == 6 || head[6] == ' ' || head[6] == '\t')) {
      inDefine = true;
      continue;
    }
    SDefinition def;
    if (!ReadDefinition(line, def) || def.op == "!=") continue;
    auto found = std::find_if(vars.begin(), vars.end(), [&](const MakVar &v) { return v.name == def.name; });
    if (found == vars.end()) {
      vars.push_back({def.name, def.value, KindOf(def.name, profileVars)});
    } else if (def.op == "+=") {
      found->value += found->value.empty() || def.value.empty() ? def.value : " " + def.value;
    } else if (def.op != "?=") {
      found->value = def.value;
    }
  }
  bool definesMake = std::any_of(vars.begin(), vars.end(), [](const MakVar &v) { return v.name == "MAKE"; });
  if (callsMake && !definesMake && !Trimmed(makeCommand).empty())
    vars.push_back({"MAKE", Trimmed(makeCommand), KindOf("MAKE", profileVars)});
  return vars;
}

std::vector<MakVar> ReadMakefileVariablesFrom(const CPathName &makefile, const std::vector<MakVar> &profileVars,
                                              const std::string &makeCommand) {
  CTextIO io;
  std::unique_ptr<CTextInput> in = makefile.IsFile() ? io.StartTextInput(makefile.Str()) : nullptr;
  if (!in) return {};
  std::string text, line;
  while (in->ReadLine(line)) text += line + "\n";
  return ReadMakefileVariables(text, profileVars, makeCommand);
}

std::vector<MakVar> ProfileVariablesOf(const std::vector<MakVar> &vars) {
  std::vector<MakVar> out;
  for (const MakVar &v : vars)
    if (v.kind == MakVar::eCompile || v.kind == MakVar::eMake) out.push_back(v);
  return out;
}
