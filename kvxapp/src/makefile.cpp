/*
 * makefile.cpp - the makefile that drives the analysis tools over an
 * application's files: the tool and flag variables, the file lists, the
 * rules of each file (make_rules.cpp), the archive, binary and cleaning
 * targets; and the check that every name it carries can be written in it.
 */
#include "makefile.h"
#include "shell.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

using namespace kvxapp;

namespace kvxapp::mk {

const char *const ANY_RESULT = "123kvx321";

std::string app_name(const KvxApplication *a, const char *ext) {
  std::string base = std::string(str(a->name)) + ext;
  if (!*str(a->object_dir)) return "./" + base;
  return join(a->object_dir, base);
}

std::string stem(const KvxSource *s) {
  std::string obj = join(source_get_object_dir(s), str(s->object_file));
  return obj.size() >= 2 ? obj.substr(0, obj.size() - 2) : std::string();
}

std::string without_extension(const std::string &path) {
  size_t slash = path.find_last_of("/\\");
  size_t dot = path.rfind('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return path;
  return path.substr(0, dot);
}

std::string instrumented(const KvxSource *s) {
  std::string copy = join(source_get_object_dir(s), str(s->source_file));
  char *name = application_pref_suf(s->owner, copy.c_str());
  std::string out = str(name);
  free(name);
  return out;
}

std::string object_dir_or_here(const KvxSource *s) {
  const char *dir = source_get_object_dir(s);
  return *dir ? dir : "./";
}

std::string instr_dir(const KvxDialect *d) {
  if (!d || !d->instr_file || !*d->instr_file) return std::string();
  std::string dir = dir_part(d->instr_file);
  return dir.empty() ? "." : dir;
}

std::string command_tail(const std::string &command) {
  size_t blank = command.find_first_of(" \t");
  return blank == std::string::npos ? std::string() : command.substr(blank);
}

std::string recipe_word(const std::string &name) {
  std::string out;
  for (char c : shell::quote_if_needed(name)) out += c == '$' ? std::string("$$") : std::string(1, c);
  return out;
}

std::string one_line(const char *text) {
  std::string out = str(text);
  for (char &c : out)
    if (c == '\n' || c == '\r') c = ' ';
  return out;
}

void banner(FILE *out, const char *title) {
  fputs("########################################\n", out);
  fprintf(out, "# %-36.36s #\n", title);
  fputs("########################################\n", out);
}

/* Make reads blanks, '#', '$', ':', ';', '=', '%' and wildcards in a
 * target or list itself, and the shell reads quotes and the rest in a
 * recipe: a name holding any of them cannot be carried. */
static bool fits(const char *name) {
  for (const unsigned char *p = (const unsigned char *)str(name); *p; p++)
    if (*p < 0x20 || *p == 0x7f || strchr(" #$:;=%*?[]\\'\"`()<>|&!{}^", *p)) return false;
  return true;
}

static bool check(const char *name) {
  if (fits(name)) return true;
  report_message(REPORT_ERROR, "Name \"%s\" cannot be written in a makefile (blank or special character)",
                 name);
  return false;
}

bool names_fit(const KvxApplication *a) {
  bool cxx = strcmp(str(a->language), "C++") == 0;
  if (!check(a->name) || !check(a->source_dir) || !check(a->object_dir)) return false;
  if (cxx && (!check(a->prefix) || !check(a->suffix))) return false;
  for (KvxSource *s : items<KvxSource>(a->files))
    if (!check(s->source_dir) || !check(s->source_file) || !check(s->object_dir) || !check(s->object_file))
      return false;
  return true;
}


static void variables(const KvxApplication *a, FILE *out, bool cxx) {
  const KvxDialect *d = dialect_of(a->kvx_options[0]);
  std::string cmd = d ? str(d->command) : "", t = command_tail(cmd);
  std::string apc = app_name(a, ".apc");
  std::string end = cxx ? " -apc " + apc + "\n" : "\n";

  fprintf(out, "CC=%s\n\n", one_line(a->compiler).c_str());
  fputs("RM=rm -fr\n\n", out);
  fputs("INST_FLAG=-inst", out);
  if (cxx) {
    fprintf(out, " suffix=%s", str(a->suffix));
    if (*str(a->prefix)) fprintf(out, " prefix=%s", a->prefix);
  }
  fputs("\n\n", out);

  fprintf(out, "KVX_CC_RES=%s%s", cmd.c_str(), end.c_str());
  fputs("KVX_CC_RES_ARC=kvx_ld -nowarning\n", out);
  fprintf(out, "KVX_CC_MTR=%s%s", cmd.c_str(), end.c_str());
  fputs("KVX_CC_MTR_ARC=kvx_ld -nowarning\n", out);
  fprintf(out, "KVX_CC_CD=%s%s", ("rcpp " + t).c_str(), end.c_str());
  fputs("KVX_CC_CD_ARC=kvx_ld -nowarning\n", out);
  fprintf(out, "KVX_CC_DCK=%s \n", ("kvx_ichk_cc " + t).c_str());
  fputs("KVX_CC_DCK_ARC=kvx_ld -nowarning\n", out);
  if (cxx) {
    fprintf(out, "KVX_CC_INST=%s -apc %s $(INST_FLAG)\n\n", cmd.c_str(), apc.c_str());
    fprintf(out, "KVX_CC_CPY= kvx_cpy %s -apc %s\n\n", application_get_dial_option(a), apc.c_str());
  } else {
    fprintf(out, "KVX_CC_INST=%s $(INST_FLAG)\n\n", cmd.c_str());
  }

  fputs("ARC_FLAG=-c \n", out);
  fputs("STA_OUTPUT_FLAG=-o \n", out);
  fputs("DYN_OUTPUT_FLAG=-o \n", out);

  std::string instr = d ? str(d->instr_file) : "";
  if (cxx && !instr.empty()) fprintf(out, "CFLAGS_INST=-I%s\n\n", instr_dir(d).c_str());
  fprintf(out, "CFLAGS= %s\n\n", one_line(a->cc_options).c_str());
  fprintf(out, "KVX_INST_FILE= %s\n\n", instr.c_str());
  fputs("KVX_INST_SRC= $(KVX_INST_FILE)\n\n", out);
  fprintf(out, "KVXFLAGS= %s\n\n", one_line(translate_slots(a->kvx_options, a->nkeys, recipe_word).c_str()).c_str());
  fprintf(out, "SRC_DIR=%s\n\n", str(a->source_dir));
}

static void lists(const std::vector<KvxSource *> &files, FILE *out, bool cxx) {
  fputs("MARKED_LIST=", out);
  for (KvxSource *s : files)
    if (s->marked) fprintf(out, "\\\n\t%s.%s ", stem(s).c_str(), ANY_RESULT);
  fputs("\n\n", out);
  if (cxx) {
    fputs("INST_LIST_KVX=", out);
    for (KvxSource *s : files) fprintf(out, "\\\n\t%s.%s ", without_extension(instrumented(s)).c_str(), ANY_RESULT);
    fputs("\n\n", out);
    fputs("INST_LIST=", out);
    for (KvxSource *s : files) {
      std::string inst = instrumented(s), bare = without_extension(inst);
      std::string ext = inst.size() > bare.size() ? inst.substr(bare.size() + 1) : "";
      fprintf(out, "\\\n\t%s.%s ", bare.c_str(), ext.c_str());
    }
    fputs("\n\n", out);
  }
  fputs("OBJECT_LIST=", out);
  for (KvxSource *s : files)
    if (!s->marked) fprintf(out, "\\\n\t%s.o ", stem(s).c_str());
  fputs("\n\n", out);
}

/* One archive target: "name: $(MARKED_LIST:123kvx321=ext) extra", the
 * C++ copy of the instrumented sources, and the archiving command. */
static void archive(const KvxApplication *a, FILE *out, bool cxx, const char *title, const char *ext,
                    const char *tool, const std::string &extra) {
  std::string name = app_name(a, (std::string(".arc.") + ext).c_str());
  banner(out, title);
  fprintf(out, "%s: $(MARKED_LIST:%s=%s)%s\n", name.c_str(), ANY_RESULT, ext, extra.c_str());
  if (cxx) fprintf(out, "\t$(KVX_CC_CPY) -o %s\n", str(a->object_dir));
  fprintf(out, "\t$(%s) $(MARKED_LIST:%s=%s) -o %s\n\n", tool, ANY_RESULT, ext, name.c_str());
}

static void targets(const KvxApplication *a, FILE *out, bool cxx) {
  std::string res = app_name(a, ".arc.res"), binary = app_name(a, "");
  banner(out, "Other results");
  fprintf(out, "other: $(MARKED_LIST:%s=other) $(OBJECT_LIST:.o=.other)\n", ANY_RESULT);
  if (cxx) fprintf(out, "copy_inst:\n\t$(KVX_CC_CPY) $(INST_FLAG) -o %s\n", str(a->object_dir));
  banner(out, "Other results withe options");
  fprintf(out, "other_opt: $(MARKED_LIST:%s=other_opt) $(OBJECT_LIST:.o=.other_opt)\n", ANY_RESULT);
  archive(a, out, cxx, "Static results", "res", "KVX_CC_RES_ARC", "");
  archive(a, out, cxx, "Metric results", "mtr", "KVX_CC_MTR_ARC", " " + res);
  archive(a, out, false, "Reverse results", "cd", "KVX_CC_CD_ARC", "");
  archive(a, out, false, "Data results", "dck", "KVX_CC_DCK_ARC", "");
  banner(out, "Instrumented binary");
  if (cxx) {
    fprintf(out, "%s: $(INST_LIST) copy_inst $(INST_LIST_KVX:%s=o) %s\n", binary.c_str(), ANY_RESULT, res.c_str());
    fprintf(out, "\t$(CC) $(KVX_INST_SRC) $(INST_LIST_KVX:%s=o) -o %s %s\n", ANY_RESULT, binary.c_str(),
            one_line(a->link_options).c_str());
  } else {
    fprintf(out, "%s: $(MARKED_LIST:%s=inst.o) %s $(OBJECT_LIST)\n", binary.c_str(), ANY_RESULT, res.c_str());
    fprintf(out, "\t$(CC) $(KVX_INST_SRC) $(OBJECT_LIST) $(MARKED_LIST:%s=inst.o) -o %s %s\n", ANY_RESULT,
            binary.c_str(), one_line(a->link_options).c_str());
  }
}

static void cleaning(FILE *out, bool cxx) {
  fputs("\n########################################\n", out);
  fprintf(out, "\n# %-36.36s #\n", "Cleaning up");
  fputs("\n########################################\n", out);
  static const char *const result[][2] = {
      {"cchkCleanup", "mtr"}, {"ichkCleanup", "dck"}, {"viewerCleanup", "res"}, {"reverseCleanup", "cd"}};
  for (auto &r : result) fprintf(out, "%s:\n\t$(RM) $(MARKED_LIST:%s=%s)\n", r[0], ANY_RESULT, r[1]);
  if (cxx)
    fputs("tchkCleanup:\n\t$(RM) $(INST_LIST)\n", out);
  else
    fprintf(out, "tchkCleanup:\n\t$(RM) $(MARKED_LIST:%s=inst.c)\n", ANY_RESULT);
}

bool write(KvxApplication *a, FILE *out) {
  bool cxx = strcmp(str(a->language), "C++") == 0;
  std::vector<KvxSource *> files = items<KvxSource>(a->files);
  variables(a, out, cxx);
  /* The data base the analysis tools share, for the commands run next. */
  setenv("DCBPATHNAME", app_name(a, ".dcb").c_str(), 1);
  lists(files, out, cxx);
  for (KvxSource *s : files) source_make_target(s, out);
  targets(a, out, cxx);
  cleaning(out, cxx);
  return fflush(out) == 0 && !ferror(out);
}

bool write_file(KvxApplication *a, const std::string &path) {
  FILE *f = fopen(path.c_str(), "w");
  if (!f) {
    report_system_error(REPORT_ERROR, path.c_str(), errno);
    return false;
  }
  bool ok = write(a, f);
  int err = errno;
  if (fclose(f) != 0 && ok) {
    ok = false;
    err = errno;
  }
  if (!ok) report_system_error(REPORT_ERROR, path.c_str(), err);
  return ok;
}

}  // namespace kvxapp::mk

extern "C" {

char *application_get_makefile(KvxApplication *a) {
  if (!a || !mk::names_fit(a)) return nullptr;
  std::string name = std::string(a->name) + ".kvx_make";
  if (!mk::write_file(a, name)) {
    unlink(name.c_str());
    return nullptr;
  }
  return dup(name);
}

}  // extern "C"
