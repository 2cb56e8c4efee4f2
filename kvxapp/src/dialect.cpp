/*
 * dialect.cpp - the dialect tables: built-in entries, dialect files, the
 * current table with its default entry, and the lookups by dialect name.
 */
#include "tables.h"

#include "desc_reader.h"

#include <cstdlib>
#include <cstring>
#include <strings.h>
#include <vector>

using namespace kvxapp;
using namespace kvxapp::desc;

namespace {

struct DialectState {
  KvxList *own = nullptr; /* table loaded by dialect_init, or built in */
  KvxDialect *own_default = nullptr;
  KvxList *current = nullptr;
  KvxDialect *current_default = nullptr;
};

DialectState &state() {
  static DialectState s;
  if (!s.own) {
    s.own = tables::builtin_c_dialects(&s.own_default);
    s.current = s.own;
    s.current_default = s.own_default;
  }
  return s;
}

KvxDialect *new_dialect(int id, const char *name, const char *param, const char *command,
                        const char *instr, const char *lcsaj) {
  KvxDialect *d = (KvxDialect *)calloc(1, sizeof(KvxDialect));
  if (!d) report_message(REPORT_FATAL, "Insufficient memory allocation.");
  d->identity = id;
  d->name = dup(str(name));
  d->parameter = dup(str(param));
  d->command = dup(str(command));
  d->instr_file = dup(str(instr));
  d->instr_file_lcsaj = dup(lcsaj && *lcsaj ? lcsaj : str(instr));
  std::string first = str(command);
  size_t blank = first.find_first_of(" \t");
  if (blank != std::string::npos) first.erase(blank);
  d->compiler = dup(first);
  return d;
}

KvxList *one_entry(KvxDialect *d, KvxDialect **default_entry) {
  KvxList *l = _list_new(unavailable_cmp);
  list_set_free(l, tables::free_dialect);
  list_insert_last(l, d);
  *default_entry = d;
  return l;
}

}  // namespace

namespace kvxapp::tables {

void free_dialect(void *p) {
  KvxDialect *d = (KvxDialect *)p;
  if (!d) return;
  free(d->name);
  free(d->parameter);
  free(d->command);
  free(d->instr_file);
  free(d->instr_file_lcsaj);
  free(d->compiler);
  free(d);
}

KvxList *builtin_c_dialects(KvxDialect **default_entry) {
  return one_entry(new_dialect(0, "K&R 78", "kr78", "kvx_cc -dial kr78",
                               "$scope/instr/c/trqins_kvx2.c", nullptr),
                   default_entry);
}

KvxList *builtin_cxx_dialects(KvxDialect **default_entry) {
  return one_entry(new_dialect(0, "Sun 4.0", "sun", "kvx_c++ -dial sun",
                               "$scope/instr/c/trqins_kvx2.c", nullptr),
                   default_entry);
}

int identity_of(const char *oid) {
  if (!oid || !(*oid >= '0' && *oid <= '9')) return -1;
  return abs(atoi(oid));
}

void set_current(KvxList *dialects, KvxDialect *default_entry) {
  DialectState &s = state();
  s.current = dialects;
  s.current_default = default_entry;
}

void forget(KvxList *dialects) {
  DialectState &s = state();
  if (s.current == dialects) {
    s.current = s.own;
    s.current_default = s.own_default;
  }
}

KvxList *read_dialect_file(const char *path, KvxDialect **default_entry) {
  FILE *f = file_open(path, "r", REPORT_ERROR);
  if (!f) return nullptr;
  std::string text = read_stream(f);
  fclose(f);

  KvxList *list = _list_new(unavailable_cmp);
  list_set_free(list, free_dialect);
  int wanted = -1; /* identity named by this machine's default line */
  bool have_default = false;

  std::vector<Entity> entities = {
      {"dialect",
       {{"identity", TYPE_OID, false},
        {"name", TYPE_STRING, false},
        {"parameter", TYPE_STRING, false},
        {"command", TYPE_STRING, false},
        {"instr_file", TYPE_STRING, false},
        {"instr_file_lcsaj", TYPE_STRING, false}},
       [&](const std::vector<Value> &v, int) {
         int id = identity_of(v[0].str());
         if (id < 0) return 44;
         list_insert_last(list, new_dialect(id, v[1].str(), v[2].str(), v[3].str(), v[4].str(),
                                            v[5].str()));
         return 0;
       }},
      {"default",
       {{"dialect", TYPE_OID, false}, {"machine", TYPE_STRING, false}},
       [&](const std::vector<Value> &v, int) {
         if (!take_machine_default(path, "dialect", str(v[1].str()), have_default)) return 0;
         wanted = identity_of(v[0].str());
         if (wanted < 0) wanted = abs(atoi(str(v[0].str())));
         return 0;
       }},
  };
  if (desc::read(text, path, entities) != 0) {
    list_free_all(list);
    return nullptr;
  }
  KvxDialect *def = (KvxDialect *)list_get_ieme(list, 1);
  if (have_default) {
    KvxDialect *found = nullptr;
    for (int i = 1; i <= list_nb_items(list) && !found; i++) {
      KvxDialect *d = (KvxDialect *)list_get_ieme(list, i);
      if (d->identity == wanted) found = d;
    }
    if (found)
      def = found;
    else
      report_message(REPORT_ERROR, "%s: unable to resolve reference %d", path, wanted);
  }
  *default_entry = def;
  return list;
}

}  // namespace kvxapp::tables

namespace kvxapp {

const KvxDialect *dialect_of(const char *name) {
  if (name && *name) {
    const KvxDialect *d = dialect_find(name);
    if (d) return d;
    return nullptr;
  }
  return state().current_default;
}

}  // namespace kvxapp

extern "C" {

int dialect_init(void) {
  std::string path = search(nullptr, nullptr, ".kavexo.dial", "$KVX_UTIL");
  if (path.empty()) return 0;
  return dialect_load_file(path.c_str());
}

int dialect_load_file(const char *path) {
  KvxDialect *def = nullptr;
  KvxList *list = tables::read_dialect_file(path, &def);
  if (!list) return 0;
  if (!def) { /* no entries: keep the table there is */
    list_free_all(list);
    return 0;
  }
  DialectState &s = state();
  KvxList *old = s.own;
  s.own = list;
  s.own_default = def;
  s.current = list;
  s.current_default = def;
  list_free_all(old);
  return 1;
}

KvxList *dialect_get_table(void) { return state().current; }

const char *dialect_get_default_name(void) {
  const KvxDialect *d = state().current_default;
  return d ? d->name : "";
}

const KvxDialect *dialect_find(const char *name) {
  if (!name) return nullptr;
  KvxList *l = state().current;
  int n = list_nb_items(l);
  for (int i = 1; i <= n; i++) {
    const KvxDialect *d = (const KvxDialect *)list_get_ieme(l, i);
    if (strcasecmp(d->name, name) == 0) return d;
  }
  /* A name may also be given in its short checker form. */
  for (int i = 1; i <= n; i++) {
    const KvxDialect *d = (const KvxDialect *)list_get_ieme(l, i);
    if (strcasecmp(d->parameter, name) == 0) return d;
  }
  return nullptr;
}

const char *dialect_get_parameter(const char *name) {
  const KvxDialect *d = dialect_find(name);
  return d ? d->parameter : nullptr;
}
const char *dialect_get_command(const char *name) {
  const KvxDialect *d = dialect_find(name);
  return d ? d->command : nullptr;
}
const char *dialect_get_compiler(const char *name) {
  const KvxDialect *d = dialect_find(name);
  return d ? d->compiler : nullptr;
}
const char *dialect_get_instr_file(const char *name) {
  const KvxDialect *d = dialect_find(name);
  return d ? d->instr_file : nullptr;
}
const char *dialect_get_instr_file_lcsaj(const char *name) {
  const KvxDialect *d = dialect_find(name);
  return d ? d->instr_file_lcsaj : nullptr;
}

int dialect_entry_get_identity(const KvxDialect *d) { return d ? d->identity : -1; }
const char *dialect_entry_get_name(const KvxDialect *d) { return d ? d->name : nullptr; }
const char *dialect_entry_get_parameter(const KvxDialect *d) { return d ? d->parameter : nullptr; }
const char *dialect_entry_get_command(const KvxDialect *d) { return d ? d->command : nullptr; }
const char *dialect_entry_get_instr_file(const KvxDialect *d) { return d ? d->instr_file : nullptr; }
const char *dialect_entry_get_instr_file_lcsaj(const KvxDialect *d) {
  return d ? d->instr_file_lcsaj : nullptr;
}

}  // extern "C"
