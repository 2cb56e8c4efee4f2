/*
 * make_rules.cpp - the makefile rules of one source file (its four
 * analysis results, its instrumented copy and object, the "other"
 * targets) and the names of instrumented copies.
 */
#include "makefile.h"

#include <cstdlib>
#include <cstring>

using namespace kvxapp;
using namespace kvxapp::mk;

namespace {

/* What the rules of one file are made of. */
struct FileRules {
  bool own;             /* checker options of its own */
  std::string stem;     /* object path without ".o" */
  std::string name;     /* source name as the makefile writes it */
  std::string command;  /* the file's own dialect command, or "" */
  std::string cc;       /* compiler options, ending with a blank */
  std::string options;  /* checker options, then the compiler options */
};

FileRules parts_of(const KvxSource *s) {
  FileRules r;
  r.stem = stem(s);
  char *name = source_get_filename_macro(s);
  r.name = str(name);
  free(name);
  const KvxDialect *d = dialect_of(source_get_kvx_options(s, KVX_SLOT_DIALECT));
  std::string checker;
  r.own = !s->use_default_kvx_options;
  if (!r.own) {
    checker = "$(KVXFLAGS) ";
  } else {
    r.command = d ? str(d->command) : "";
    checker = one_line(translate_slots(s->kvx_options, s->owner->nkeys, recipe_word).c_str()) + " ";
  }
  if (s->use_default_cc_options) {
    r.cc = "$(CFLAGS) " + one_line(s->cc_options);
  } else {
    std::string dir = instr_dir(d);
    if (!dir.empty()) r.cc = "-I" + dir + " ";
    r.cc += one_line(s->cc_options);
  }
  r.cc += " ";
  r.options = checker + r.cc;
  return r;
}

/* The tool of one result: the application's variable, or for a file with
 * checker options of its own the same tool on the file's dialect. */
std::string tool(const FileRules &r, const char *result) {
  static const struct {
    const char *result, *variable, *program;
  } tools[] = {{"res", "KVX_CC_RES", nullptr},
               {"cd", "KVX_CC_CD", "rcpp"},
               {"mtr", "KVX_CC_MTR", nullptr},
               {"dck", "KVX_CC_DCK", "kvx_ichk_cc"}};
  for (auto &t : tools) {
    if (strcmp(t.result, result) != 0) continue;
    if (!r.own) return std::string("$(") + t.variable + ") ";
    if (!t.program) return r.command + " ";
    return std::string(t.program) + " " + command_tail(r.command) + " ";
  }
  return std::string();
}

}  // namespace

extern "C" {

char *application_pref_suf_bis(const char *path, const char *prefix, const char *suffix) {
  if (!path || !*path) return nullptr;
  std::string p = path, pre = str(prefix);
  size_t slash = p.find_last_of("/\\");
  std::string dir = slash == std::string::npos ? "" : p.substr(0, slash + 1);
  std::string base = slash == std::string::npos ? p : p.substr(slash + 1);
  std::string out = !pre.empty() && strchr("./~", pre[0]) ? pre : dir + pre;
  size_t dot = base.rfind('.');
  if (dot == std::string::npos) return dup(out + base + str(suffix));
  return dup(out + base.substr(0, dot) + str(suffix) + base.substr(dot));
}

char *application_pref_suf(const KvxApplication *a, const char *path) {
  if (!a) return nullptr;
  return application_pref_suf_bis(path, a->prefix, a->suffix);
}

void source_make_target(const KvxSource *s, FILE *out) {
  if (!s || !s->owner || !out) return;
  const FileRules r = parts_of(s);
  const char *S = r.stem.c_str(), *F = r.name.c_str();
  banner(out, str(s->source_file));

  for (const char *result : {"res", "cd", "mtr", "dck"}) {
    fprintf(out, "%s.%s: %s\n", S, result, F);
    fprintf(out, "\t%s%s%s $(ARC_FLAG) $(STA_OUTPUT_FLAG) %s.%s\n\n", tool(r, result).c_str(),
            r.options.c_str(), F, S, result);
  }

  std::string inst_tool = !r.own ? "$(KVX_CC_INST) " : r.command + " $(INST_FLAG) ";
  if (strcmp(str(s->owner->language), "C++") == 0) {
    std::string copy = instrumented(s), bare = without_extension(copy);
    if (!s->marked) inst_tool = "$(KVX_CC_CPY) ";
    fprintf(out, "%s: %s\n", copy.c_str(), F);
    fprintf(out, "\t%s%s$(ARC_FLAG) %s $(DYN_OUTPUT_FLAG) %s\n\n", inst_tool.c_str(), r.options.c_str(), F,
            object_dir_or_here(s).c_str());
    fprintf(out, "%s.o: %s\n", bare.c_str(), copy.c_str());
    fprintf(out, "\t$(CC) $(CFLAGS_INST) %s%s -c -o %s.o\n\n", r.cc.c_str(), copy.c_str(), bare.c_str());
  } else {
    fprintf(out, "%s.inst.c: %s\n", S, F);
    fprintf(out, "\t%s%s$(ARC_FLAG) %s $(DYN_OUTPUT_FLAG) %s.inst.c\n\n", inst_tool.c_str(), r.options.c_str(),
            F, S);
    fprintf(out, "%s.inst.o : %s.inst.c\n", S, S);
    fprintf(out, "\t$(CC) %s%s.inst.c -c -o %s.inst.o\n\n", r.cc.c_str(), S, S);
    fprintf(out, "%s.o: %s\n", S, F);
    fprintf(out, "\t$(CC) %s%s -c -o %s.o\n\n", r.cc.c_str(), F, S);
  }

  fprintf(out, "%s.other: \n", S);
  fprintf(out, "\t@ $(OTHER) %s \n\n", str(s->source_file));
  fprintf(out, "%s.other_opt: \n", S);
  fprintf(out, "\t@ $(OTHER_OPT) %s%s \n\n", r.cc.c_str(), F);
}

}  // extern "C"
