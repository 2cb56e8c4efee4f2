/*
 * internal.h - record layouts and helpers shared by the library's modules.
 *
 * Not installed: clients see only the opaque types of kvxapp.h.
 */
#ifndef KVXAPP_INTERNAL_H
#define KVXAPP_INTERNAL_H

#include "kvxapp.h"

#include <string>
#include <vector>

/* Application record; the first member is a string (see default_cmp). */
struct KvxApplication {
  char *language;
  char *name;
  char *cc_options;
  char *kvx_options[KVX_OPTION_SLOTS];
  char *link_options;
  char *get_source;
  char *compiler;
  char *profil;
  char *rules_set;
  char *makefile;
  char *target;
  char *source_dir;
  char *object_dir;
  char *exec_file;
  char *suffix;
  char *prefix;
  KvxList *files;
  int nkeys;          /* option slots in use for this record's language */
  std::string *cache; /* text of computed slot defaults */
};

/* Source record; the first member is a string (see default_cmp). */
struct KvxSource {
  char *source_dir; /* null: inherited from the application */
  char *source_file;
  char *object_dir; /* null: inherited */
  char *object_file;
  int use_default_cc_options;
  char *cc_options;
  int use_default_kvx_options;
  char *kvx_options[KVX_OPTION_SLOTS];
  char *get_source; /* null: inherited */
  int marked;
  KvxApplication *owner;
  int is_ok;
  std::string *cache;
};

/* Dialect entry of a dialect table. */
struct KvxDialect {
  int identity;
  char *name;
  char *parameter;
  char *command;
  char *instr_file;
  char *instr_file_lcsaj;
  char *compiler; /* first word of command */
};

/* Language entry of the language table. */
struct KvxLanguage {
  int identity;
  char *name;
  char **suffixes; /* null-terminated */
  char *dialect_file;
  KvxList *dialects;
  KvxDialect *default_dialect;
};

namespace kvxapp {

/* Copy of s made with malloc (fatal on exhaustion); null stays null. */
char *dup(const char *s);
char *dup(const std::string &s);
/* Frees *field and stores a copy of value. */
void set_str(char **field, const char *value);
/* s or "" when null. */
inline const char *str(const char *s) { return s ? s : ""; }

/* Expands $NAME and $(NAME) into out.  On failure reports at level and
 * returns false. */
bool expand(const char *text, std::string &out, int level);
/* Joined and normalised path. */
std::string join(const std::string &dir, const std::string &name);
std::string normalise(const std::string &path);
bool is_absolute(const std::string &path);
std::string dir_part(const std::string &path);
std::string base_part(const std::string &path);
bool readable_file(const std::string &path);
/* The whole remaining content of an open stream. */
std::string read_stream(FILE *f);
/* True when a "default" line of a language or dialect file names the
 * default for this machine and is the first such line; a second one is
 * reported ("%s : multiple default <what> line") and ignored. */
bool take_machine_default(const char *path, const char *what, const char *machine, bool &have_default);
/* File search; empty when nothing is found. */
std::string search(const char *explicit_path, const char *var, const char *file, const char *dir);
/* Directory of the installation's shipped data (next to lib/), or "". */
std::string install_util_dir();

/* Key table. */
int keys_for_language(const char *language);
void set_key_table(const char *language);
/* Checker command-line text of a record's option slots; value, when
 * given, writes each file name. */
std::string translate_slots(const char *const *slots, int nkeys,
                            std::string (*value)(const std::string &) = nullptr);

/* Gives a file the object path p as it is (no variable expansion). */
void place_object(KvxSource *s, const std::string &p);
/* Makes dir the application's object_dir; every file keeps the object
 * directory it had. */
void rebase_object_dir(KvxApplication *a, const std::string &dir);

/* Words of text separated by blanks and tabs. */
template <class F>
void for_each_word(const char *text, F fn) {
  if (!text) return;
  const char *p = text;
  while (*p) {
    while (*p == ' ' || *p == '\t') p++;
    const char *start = p;
    while (*p && *p != ' ' && *p != '\t') p++;
    if (p > start) fn(std::string(start, (size_t)(p - start)));
  }
}

/* The items of a list in order, without moving its cursor (the client may
 * be iterating it). */
void collect(const KvxList *list, std::vector<void *> &out);
template <class T>
std::vector<T *> items(const KvxList *list) {
  std::vector<void *> v;
  collect(list, v);
  std::vector<T *> out;
  out.reserve(v.size());
  for (void *p : v) out.push_back(static_cast<T *>(p));
  return out;
}

/* Dialect of a record's slot 0, or the current default dialect. */
const KvxDialect *dialect_of(const char *name);

}  // namespace kvxapp

#endif
