/*
 * application.cpp - application records: defaults and the unique default
 * name, the language, the string fields and their ownership, the file list
 * and the derived file names.
 */
#include "internal.h"

#include <cstdlib>
#include <cstring>
#include <unistd.h>

using namespace kvxapp;

static KvxLanguageCallback g_language_cb = nullptr;

static void free_source_item(void *item) { source_free((KvxSource *)item); }

/* Derived name O/N<ext> (or the plain name when O is empty). */
static std::string derived(const KvxApplication *a, const char *ext) {
  return join(str(a->object_dir), std::string(str(a->name)) + ext);
}

static std::string executable(const KvxApplication *a) {
  if (a->exec_file && *a->exec_file) return a->exec_file;
  return derived(a, ".rex");
}

static bool name_taken(const KvxApplication *a) {
  return readable_file(std::string(a->name) + ".app") || readable_file(derived(a, ".arc.res")) ||
         readable_file(derived(a, ".arc.mtr")) || readable_file(executable(a));
}

static std::string current_dir() {
  char buf[4096];
  if (!getcwd(buf, sizeof buf)) return ".";
  return buf;
}

/* Applies what follows a change of language (also at creation). */
static void language_defaults(KvxApplication *a, const char *language) {
  set_str(&a->language, language ? language : "");
  set_key_table(a->language);
  a->nkeys = keys_for_language(a->language);
  lang_select(a->language);
  set_str(&a->kvx_options[0], dialect_get_default_name());
  bool cxx = strcmp(a->language, "C++") == 0;
  set_str(&a->compiler, cxx ? "CC" : "cc");
  if (cxx) set_str(&a->kvx_options[5], "yes");
}

/* Expands value into *field; the old value stays on an undefined variable. */
static int set_expanded(char **field, const char *value, bool refuse_empty) {
  std::string out;
  if (!expand(value, out, REPORT_ERROR)) return 0;
  if (refuse_empty && out.empty()) return 0;
  set_str(field, out.c_str());
  return 1;
}

static char *copy_or_null(const char *s) { return s && *s ? dup(s) : nullptr; }

extern "C" {

KvxApplication *application_new(const char *language) {
  KvxApplication *a = (KvxApplication *)calloc(1, sizeof(KvxApplication));
  if (!a) report_message(REPORT_FATAL, "Insufficient memory allocation.");
  language_defaults(a, language);
  a->name = dup("unnamed");
  a->cc_options = dup("");
  a->link_options = dup("");
  a->get_source = dup("");
  a->profil = dup("");
  a->rules_set = dup("");
  a->makefile = dup("");
  a->target = dup("");
  std::string cwd = current_dir();
  a->source_dir = dup(cwd);
  a->object_dir = dup(cwd);
  a->exec_file = dup("");
  a->suffix = dup(".inst");
  a->prefix = dup("");
  a->files = _list_new(source_equal);
  list_set_sorted(a->files, source_is_before);
  list_set_unique(a->files, 1);
  list_set_free(a->files, free_source_item);
  for (int i = 1; name_taken(a); i++) {
    char buf[32];
    snprintf(buf, sizeof buf, "%s%d", "unnamed", i);
    set_str(&a->name, buf);
  }
  return a;
}

void application_free(KvxApplication *a) {
  if (!a) return;
  list_free_all(a->files);
  char **fields[] = {&a->language, &a->name, &a->cc_options, &a->link_options, &a->get_source,
                     &a->compiler, &a->profil, &a->rules_set, &a->makefile, &a->target,
                     &a->source_dir, &a->object_dir, &a->exec_file, &a->suffix, &a->prefix};
  for (char **f : fields) free(*f);
  for (char *&s : a->kvx_options) free(s);
  delete a->cache;
  free(a);
}

int application_set_language(KvxApplication *a, const char *language) {
  if (!a) return 0;
  language_defaults(a, language);
  return g_language_cb ? g_language_cb(a->language) : 0;
}

void application_set_language_cb(KvxLanguageCallback cb) { g_language_cb = cb; }

char *application_get_name(const KvxApplication *a) { return a ? dup(a->name) : nullptr; }
void application_set_name(KvxApplication *a, const char *name) {
  if (a) set_str(&a->name, name ? name : "");
}
void application_set_binary(KvxApplication *a, const char *name) { application_set_name(a, name); }

const char *application_get_language(const KvxApplication *a) { return a ? a->language : nullptr; }
const char *application_get_cc_options(const KvxApplication *a) { return a ? a->cc_options : nullptr; }
const char *application_get_link_options(const KvxApplication *a) { return a ? a->link_options : nullptr; }
const char *application_get_get_source(const KvxApplication *a) { return a ? a->get_source : nullptr; }
const char *application_get_source_dir(const KvxApplication *a) { return a ? a->source_dir : nullptr; }
const char *application_get_object_dir(const KvxApplication *a) { return a ? a->object_dir : nullptr; }
const char *application_get_compiler(const KvxApplication *a) { return a ? a->compiler : nullptr; }
const char *application_get_prefix(const KvxApplication *a) { return a ? a->prefix : nullptr; }
const char *application_get_suffix(const KvxApplication *a) { return a ? a->suffix : nullptr; }
const char *application_get_exec_file(const KvxApplication *a) { return a ? a->exec_file : nullptr; }

char *application_get_profil(const KvxApplication *a) { return a ? copy_or_null(a->profil) : nullptr; }
char *application_get_rules_set(const KvxApplication *a) { return a ? copy_or_null(a->rules_set) : nullptr; }
char *application_get_makefilepath(const KvxApplication *a) { return a ? copy_or_null(a->makefile) : nullptr; }
char *application_get_target(const KvxApplication *a) { return a ? copy_or_null(a->target) : nullptr; }

#define PLAIN_SETTER(fn, field) \
  void fn(KvxApplication *a, const char *v) { \
    if (a) set_str(&a->field, v ? v : ""); \
  }
PLAIN_SETTER(application_set_profil, profil)
PLAIN_SETTER(application_set_rules_set, rules_set)
PLAIN_SETTER(application_set_makefilepath, makefile)
PLAIN_SETTER(application_set_target, target)
PLAIN_SETTER(application_set_suffix, suffix)
PLAIN_SETTER(application_set_cc_options, cc_options)
PLAIN_SETTER(application_set_link_options, link_options)
PLAIN_SETTER(application_set_exec_file, exec_file)
#undef PLAIN_SETTER

int application_set_source_dir(KvxApplication *a, const char *v) {
  return a ? set_expanded(&a->source_dir, v, false) : 0;
}
int application_set_object_dir(KvxApplication *a, const char *v) {
  return a ? set_expanded(&a->object_dir, v, false) : 0;
}
int application_set_get_source(KvxApplication *a, const char *v) {
  return a ? set_expanded(&a->get_source, v, false) : 0;
}
int application_set_prefix(KvxApplication *a, const char *v) {
  return a ? set_expanded(&a->prefix, v, false) : 0;
}
int application_set_compiler(KvxApplication *a, const char *v) {
  return a ? set_expanded(&a->compiler, v, true) : 0;
}

KvxSource *application_add_file(KvxApplication *a, const char *path) {
  if (!a) return nullptr;
  KvxSource *s = source_new(path, a);
  if (!s) return nullptr;
  if (list_insert(a->files, s) < 0) {
    source_free(s);
    return nullptr;
  }
  return s;
}

KvxList *application_get_files(const KvxApplication *a) { return a ? a->files : nullptr; }

/* The file list is kept in order as files are added. */
void application_sort_files(KvxApplication *) {}

static bool object_name(const char *s) {
  size_t n = s ? strlen(s) : 0;
  return n > 2 && strcmp(s + n - 2, ".o") == 0;
}

int application_substitute_object(KvxApplication *a, const char *old_path, const char *new_path) {
  if (!a || !object_name(old_path) || !object_name(new_path)) return 0;
  for (KvxSource *s : items<KvxSource>(a->files)) {
    if (source_compare_object_name(s, old_path)) {
      place_object(s, new_path); /* compared as given, so stored as given */
      return 1;
    }
  }
  return 0;
}

int application_present_object(const KvxApplication *a, const char *path) {
  if (!a || !path) return 0;
  for (KvxSource *s : items<KvxSource>(a->files))
    if (source_compare_object_name(s, path)) return 1;
  return 0;
}

char *application_get_default_file_name(const KvxApplication *a) {
  return a ? dup(std::string(a->name) + ".app") : nullptr;
}
char *application_get_res(const KvxApplication *a) { return a ? dup(derived(a, ".arc.res")) : nullptr; }
char *application_get_zkc(const KvxApplication *a) { return a ? dup(derived(a, ".arc.zkc")) : nullptr; }
char *application_get_mtr(const KvxApplication *a) { return a ? dup(derived(a, ".arc.mtr")) : nullptr; }
char *application_get_rex(const KvxApplication *a) { return a ? dup(executable(a)) : nullptr; }
char *application_get_binary(const KvxApplication *a) { return a ? dup(derived(a, "")) : nullptr; }

char *application_get_lrl(const KvxApplication *) {
  std::string p = search(nullptr, "KVX_ZKCK_LRL", "rule_standard.lrl", "$KVX_UTIL");
  return p.empty() ? nullptr : dup(p);
}

}  // extern "C"
