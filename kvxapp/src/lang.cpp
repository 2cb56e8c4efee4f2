/*
 * lang.cpp - the language table: ".kavexo.lang", each language's dialect
 * table, the default language, and the lookups by name and file suffix.
 */
#include "tables.h"

#include "desc_reader.h"

#include <cstdlib>
#include <cstring>
#include <vector>

using namespace kvxapp;
using namespace kvxapp::desc;

namespace {

struct LangState {
  KvxList *languages = nullptr;
  KvxLanguage *default_language = nullptr;
};

void free_language(void *p) {
  KvxLanguage *l = (KvxLanguage *)p;
  if (!l) return;
  tables::forget(l->dialects);
  free(l->name);
  for (char **s = l->suffixes; s && *s; s++) free(*s);
  free(l->suffixes);
  free(l->dialect_file);
  list_free_all(l->dialects);
  free(l);
}

KvxLanguage *new_language(int id, const char *name, const char *suffixes, const char *dial) {
  KvxLanguage *l = (KvxLanguage *)calloc(1, sizeof(KvxLanguage));
  if (!l) report_message(REPORT_FATAL, "Insufficient memory allocation.");
  l->identity = id;
  l->name = dup(str(name));
  l->dialect_file = dup(str(dial));
  std::vector<std::string> words;
  for_each_word(suffixes, [&](const std::string &w) { words.push_back(w); });
  l->suffixes = (char **)calloc(words.size() + 1, sizeof(char *));
  if (!l->suffixes) report_message(REPORT_FATAL, "Insufficient memory allocation.");
  for (size_t i = 0; i < words.size(); i++) l->suffixes[i] = dup(words[i]);
  return l;
}

KvxList *new_table() {
  KvxList *t = _list_new(unavailable_cmp);
  list_set_free(t, free_language);
  return t;
}

void builtin(LangState &s) {
  s.languages = new_table();
  KvxLanguage *l = new_language(1, "C++", "C cc c CC cpp cxx", "");
  l->dialects = tables::builtin_cxx_dialects(&l->default_dialect);
  list_insert_last(s.languages, l);
  s.default_language = l;
}

LangState &state() {
  static LangState s;
  if (!s.languages) builtin(s);
  return s;
}

void make_current(KvxLanguage *l) {
  if (l) tables::set_current(l->dialects, l->default_dialect);
}

KvxLanguage *find(const char *name) {
  if (!name) return nullptr;
  KvxList *t = state().languages;
  for (int i = 1; i <= list_nb_items(t); i++) {
    KvxLanguage *l = (KvxLanguage *)list_get_ieme(t, i);
    if (strcmp(l->name, name) == 0) return l;
  }
  return nullptr;
}

/* Reads the language file; each language's dialect file is found beside
 * it or by the file search.  Null on failure. */
KvxList *read_language_file(const char *path, KvxLanguage **default_language) {
  FILE *f = file_open(path, "r", REPORT_ERROR);
  if (!f) return nullptr;
  std::string text = read_stream(f);
  fclose(f);

  KvxList *table = new_table();
  int wanted = -1;
  bool have_default = false;
  std::vector<Entity> entities = {
      {"language",
       {{"identity", TYPE_OID, false},
        {"name", TYPE_STRING, false},
        {"file_suffix", TYPE_STRING, false},
        {"dialect_file", TYPE_STRING, false}},
       [&](const std::vector<Value> &v, int) {
         int id = tables::identity_of(v[0].str());
         if (id < 0 || !*str(v[1].str())) return 44;
         KvxLanguage *l = new_language(id, v[1].str(), v[2].str(), v[3].str());
         if (!l->suffixes[0]) {
           free_language(l);
           return 44;
         }
         list_insert_last(table, l);
         return 0;
       }},
      {"default",
       {{"language", TYPE_OID, false}, {"machine", TYPE_STRING, false}},
       [&](const std::vector<Value> &v, int) {
         if (!take_machine_default(path, "language", str(v[1].str()), have_default)) return 0;
         wanted = abs(atoi(str(v[0].str())));
         return 0;
       }},
  };
  if (desc::read(text, path, entities) != 0) {
    list_free_all(table);
    return nullptr;
  }
  KvxLanguage *def = nullptr;
  if (have_default) {
    for (int i = 1; i <= list_nb_items(table) && !def; i++) {
      KvxLanguage *l = (KvxLanguage *)list_get_ieme(table, i);
      if (l->identity == wanted) def = l;
    }
    if (!def) report_message(REPORT_ERROR, "%s: unable to resolve reference %d", path, wanted);
  }

  /* Each language's dialects; a language without them is dropped. */
  std::string here = dir_part(path);
  for (int i = 1; i <= list_nb_items(table);) {
    KvxLanguage *l = (KvxLanguage *)list_get_ieme(table, i);
    std::string dial;
    if (*l->dialect_file) {
      std::string beside = here.empty() ? std::string() : join(here, l->dialect_file);
      dial = search(beside.c_str(), nullptr, l->dialect_file, "$KVX_UTIL");
    }
    if (!dial.empty()) l->dialects = tables::read_dialect_file(dial.c_str(), &l->default_dialect);
    if (!l->dialects || !l->default_dialect) {
      report_message(REPORT_WARNING, "Unable to load dialect file for %s language\n", l->name);
      if (def == l) def = nullptr;
      list_remove_item(table, l);
      free_language(l);
      continue;
    }
    i++;
  }
  if (list_nb_items(table) == 0) {
    list_free_all(table);
    return nullptr;
  }
  *default_language = def ? def : (KvxLanguage *)list_get_ieme(table, 1);
  return table;
}

}  // namespace

extern "C" {

int lang_init(void) {
  std::string path = search(nullptr, nullptr, ".kavexo.lang", "$KVX_UTIL");
  if (!path.empty() && lang_load_file(path.c_str())) return 1;
  make_current(state().default_language);
  return 0;
}

int lang_load_file(const char *path) {
  KvxLanguage *def = nullptr;
  KvxList *table = read_language_file(path, &def);
  if (!table) return 0;
  LangState &s = state();
  KvxList *old = s.languages;
  s.languages = table;
  s.default_language = def;
  list_free_all(old);
  make_current(def);
  return 1;
}

void lang_reset(void) {
  LangState &s = state();
  KvxList *old = s.languages;
  builtin(s);
  list_free_all(old);
  make_current(s.default_language);
}

KvxList *lang_get_table(void) { return state().languages; }

const char *lang_get_default_name(void) {
  KvxLanguage *l = state().default_language;
  return l ? l->name : "";
}

int lang_select(const char *name) {
  KvxLanguage *l = find(name);
  if (!l) return 0;
  make_current(l);
  return 1;
}

const char *lang_get_language_of_suffix(const char *suffix) {
  if (!suffix) return nullptr;
  if (*suffix == '.') suffix++;
  const char *found = nullptr;
  KvxList *t = state().languages;
  for (int i = 1; i <= list_nb_items(t); i++) {
    KvxLanguage *l = (KvxLanguage *)list_get_ieme(t, i);
    for (char **s = l->suffixes; *s; s++)
      if (strcmp(*s, suffix) == 0) {
        if (found) return nullptr; /* known to two languages */
        found = l->name;
        break;
      }
  }
  return found;
}

const char *const *lang_get_suffixes(const char *name) {
  KvxLanguage *l = find(name);
  return l ? l->suffixes : nullptr;
}

int language_get_identity(const KvxLanguage *l) { return l ? l->identity : -1; }
const char *language_get_name(const KvxLanguage *l) { return l ? l->name : nullptr; }
const char *const *language_get_suffixes(const KvxLanguage *l) { return l ? l->suffixes : nullptr; }
const char *language_get_dialect_file(const KvxLanguage *l) { return l ? l->dialect_file : nullptr; }
KvxList *language_get_dialects(const KvxLanguage *l) { return l ? l->dialects : nullptr; }
const char *language_get_default_dialect(const KvxLanguage *l) {
  return l && l->default_dialect ? l->default_dialect->name : nullptr;
}

}  // extern "C"
