/*
 * source.cpp - source file records: names, directories inherited from the
 * application, object names, version-control command, flags and printing.
 */
#include "internal.h"

#include <cstdlib>
#include <cstring>
#include <sys/stat.h>

using namespace kvxapp;

/* A base name needs an extension: a dot that is neither first nor last. */
static bool good_name(const std::string &base) {
  size_t dot = base.rfind('.');
  return dot != std::string::npos && dot != 0 && dot + 1 < base.size();
}

static std::string default_object(const char *source_file) {
  std::string s = str(source_file);
  size_t dot = s.rfind('.');
  if (dot == std::string::npos) return s + ".o";
  return s.substr(0, dot + 1) + "o";
}

static const char *app_source_dir(const KvxSource *s) { return s->owner ? str(s->owner->source_dir) : ""; }
static const char *app_object_dir(const KvxSource *s) { return s->owner ? str(s->owner->object_dir) : ""; }
static const char *app_get_source(const KvxSource *s) { return s->owner ? str(s->owner->get_source) : ""; }

/* Stores dir as own value only when it differs from the inherited one. */
static void store_unless_inherited(char **field, const std::string &dir, const char *inherited) {
  if (dir == inherited)
    set_str(field, nullptr);
  else
    set_str(field, dir.c_str());
}

/* Changes a file's name or directory under the rules of its application's
 * list: kept in order, and refused (old values back, error reported) when
 * it would equal another file of the list. */
template <class Change>
static bool change_identity(KvxSource *s, Change change) {
  char *old_dir = dup(s->source_dir), *old_file = dup(s->source_file);
  change();
  bool same = strcmp(str(old_dir), str(s->source_dir)) == 0 && (old_dir == nullptr) == (s->source_dir == nullptr) &&
              strcmp(str(old_file), str(s->source_file)) == 0;
  KvxList *files = s->owner ? s->owner->files : nullptr;
  bool ok = true;
  if (!same && files && list_remove_item(files, s) > 0 && list_insert(files, s) < 0) {
    ok = false;
    report_message(REPORT_ERROR, "File \"%s\" can appear only once in the application",
                   str(s->source_file));
    free(s->source_dir);
    free(s->source_file);
    s->source_dir = old_dir;
    s->source_file = old_file;
    old_dir = old_file = nullptr;
    list_insert(files, s);
  }
  free(old_dir);
  free(old_file);
  return ok;
}

static std::string object_path(const KvxSource *s) {
  return std::string(source_get_object_dir(s)) + "/" + str(s->object_file);
}

namespace kvxapp {

void place_object(KvxSource *s, const std::string &p) {
  std::string dir = dir_part(p);
  if (dir.empty())
    set_str(&s->object_dir, nullptr);
  else
    store_unless_inherited(&s->object_dir, dir, app_object_dir(s));
  source_set_object_file(s, base_part(p).c_str());
}

}  // namespace kvxapp

extern "C" {

KvxSource *source_new(const char *path, KvxApplication *app) {
  std::string p = str(path);
  std::string base = base_part(p);
  if (!good_name(base)) {
    report_message(REPORT_ERROR, "Wrong file name for file \"%s\"", p.c_str());
    return nullptr;
  }
  std::string dir = dir_part(p);
  if (!dir.empty()) dir = normalise(dir);
  KvxSource *s = (KvxSource *)calloc(1, sizeof(KvxSource));
  if (!s) report_message(REPORT_FATAL, "Insufficient memory allocation.");
  s->owner = app;
  s->source_file = dup(base);
  if (!dir.empty()) {
    store_unless_inherited(&s->source_dir, dir, app_source_dir(s));
    store_unless_inherited(&s->object_dir, dir, app_object_dir(s));
  }
  s->object_file = dup(default_object(s->source_file));
  s->use_default_cc_options = 1;
  s->use_default_kvx_options = 1;
  s->marked = 1;
  s->is_ok = 1;
  return s;
}

void source_free(KvxSource *s) {
  if (!s) return;
  free(s->source_dir);
  free(s->source_file);
  free(s->object_dir);
  free(s->object_file);
  free(s->cc_options);
  free(s->get_source);
  for (char *&o : s->kvx_options) free(o);
  delete s->cache;
  free(s);
}

int source_equal(const void *pa, const void *pb) {
  const KvxSource *a = (const KvxSource *)pa, *b = (const KvxSource *)pb;
  if (!a || !b) return a == b;
  return strcmp(source_get_source_dir(a), source_get_source_dir(b)) == 0 &&
         strcmp(str(a->source_file), str(b->source_file)) == 0;
}

int source_is_before(const void *pa, const void *pb) {
  const KvxSource *a = (const KvxSource *)pa, *b = (const KvxSource *)pb;
  return strcmp(str(a->source_file), str(b->source_file)) <= 0;
}

KvxApplication *source_get_application(const KvxSource *s) { return s ? s->owner : nullptr; }

const char *source_get_source_file(const KvxSource *s) { return s ? s->source_file : nullptr; }
void source_set_source_file(KvxSource *s, const char *name) {
  if (!s) return;
  if (!good_name(str(name))) {
    report_message(REPORT_ERROR, "Wrong file name for file \"%s\"", str(name));
    return;
  }
  change_identity(s, [&] { set_str(&s->source_file, name); });
}

const char *source_get_source_dir(const KvxSource *s) {
  if (!s) return "";
  return s->source_dir ? s->source_dir : app_source_dir(s);
}
const char *source_get_source_dir_default(const KvxSource *s) { return s ? str(s->source_dir) : ""; }
int source_set_source_dir(KvxSource *s, const char *dir) {
  std::string d;
  if (!s || !expand(dir, d, REPORT_ERROR)) return 0;
  return change_identity(s, [&] { store_unless_inherited(&s->source_dir, d, app_source_dir(s)); });
}
void source_unset_source_dir(KvxSource *s) {
  if (s) change_identity(s, [&] { set_str(&s->source_dir, nullptr); });
}

const char *source_get_object_dir(const KvxSource *s) {
  if (!s) return "";
  return s->object_dir ? s->object_dir : app_object_dir(s);
}
const char *source_get_object_dir_default(const KvxSource *s) { return s ? str(s->object_dir) : ""; }
int source_set_object_dir(KvxSource *s, const char *dir) {
  std::string d;
  if (!s || !expand(dir, d, REPORT_ERROR)) return 0;
  store_unless_inherited(&s->object_dir, d, app_object_dir(s));
  return 1;
}
void source_unset_object_dir(KvxSource *s) {
  if (s) set_str(&s->object_dir, nullptr);
}

int source_set_default_object(KvxSource *s, const char *dir) {
  std::string d;
  if (!s || !expand(dir, d, REPORT_ERROR)) return 0;
  set_str(&s->object_dir, d.c_str());
  return 1;
}

int source_set_object(KvxSource *s, const char *path) {
  std::string p;
  if (!s || !expand(path, p, REPORT_ERROR)) return 0;
  place_object(s, p);
  return 1;
}

const char *source_get_object_file(const KvxSource *s) { return s ? s->object_file : nullptr; }
void source_set_object_file(KvxSource *s, const char *name) {
  if (!s) return;
  if (name && *name)
    set_str(&s->object_file, name);
  else
    set_str(&s->object_file, default_object(s->source_file).c_str());
}

char *source_get_object(const KvxSource *s) {
  return s ? dup(join(source_get_object_dir(s), str(s->object_file))) : nullptr;
}
char *source_get_object_macro(const KvxSource *s) { return source_get_object(s); }
char *source_get_filename(const KvxSource *s) {
  return s ? dup(join(source_get_source_dir(s), str(s->source_file))) : nullptr;
}
char *source_get_filename_macro(const KvxSource *s) {
  if (!s) return nullptr;
  return dup(join(s->source_dir ? s->source_dir : "$(SRC_DIR)", str(s->source_file)));
}

int source_compare_object_name(const KvxSource *s, const char *path) {
  return s && path && object_path(s) == path;
}

const char *source_get_get_source(const KvxSource *s) {
  if (!s) return "";
  return s->get_source ? s->get_source : app_get_source(s);
}
const char *source_get_get_source_default(const KvxSource *s) { return s ? str(s->get_source) : ""; }
int source_set_get_source(KvxSource *s, const char *command) {
  if (!s) return 0;
  store_unless_inherited(&s->get_source, str(command), app_get_source(s));
  return 1;
}

int source_is_marked(const KvxSource *s) { return s ? s->marked : 0; }
void source_set_marked(KvxSource *s, int m) {
  if (s) s->marked = m != 0;
}
void source_invert_mark(KvxSource *s) {
  if (s) s->marked = !s->marked;
}
void source_set_ok(KvxSource *s, int ok) {
  if (s) s->is_ok = ok != 0;
}
int source_is_ok(const KvxSource *s) { return s ? s->is_ok : 0; }

int source_is_modified(const KvxSource *s, time_t t) {
  if (!s) return 1;
  std::string name = join(source_get_source_dir(s), str(s->source_file));
  struct stat st;
  if (stat(name.c_str(), &st) != 0) return 1;
  return st.st_mtime > t;
}

const char *source_format(const KvxSource *s) {
  static std::string text;
  text = std::string(" ") + (s && s->marked ? "->" : "  ") + " " + (s ? str(s->source_file) : "");
  return text.c_str();
}

void source_print(const KvxSource *s) {
  if (!s) return;
  char *file = source_get_filename(s), *obj = source_get_object(s);
  printf("Filename   : %s\n", file);
  printf("Short      : %s\n", str(s->source_file));
  printf("Object     : %s\n", obj);
  if (!s->use_default_cc_options)
    printf("CC_options : %s\n", source_get_cc_options(s));
  else if (*source_get_cc_options(s))
    printf("CC_options : default + %s\n", source_get_cc_options(s));
  else
    printf("CC_options : default\n");
  free(file);
  free(obj);
}

}  // extern "C"
