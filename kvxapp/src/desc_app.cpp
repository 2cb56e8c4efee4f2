/*
 * desc_app.cpp - loading application description files: the entity table
 * of applications and the handlers of its application, file and
 * kavexo_options tuples.
 */
#include "desc_app.h"

#include "internal.h"

#include <cstdlib>
#include <cstring>
#include <unordered_map>

using namespace kvxapp;
using namespace kvxapp::desc;

namespace kvxapp {
int slot_for_key(const char *key, int nkeys);
}

namespace kvxapp::desc {

const std::vector<EntitySchema> &application_schema() {
  static const std::vector<EntitySchema> schema = {
      {"application",
       {{"identity", TYPE_OID, false},     {"name", TYPE_STRING, false},
        {"language", TYPE_STRING, false},  {"user_makefile", TYPE_STRING, false},
        {"cc_options", TYPE_STRING, false}, {"link_options", TYPE_STRING, false},
        {"get_source", TYPE_STRING, false}, {"source_dir", TYPE_STRING, false},
        {"object_dir", TYPE_STRING, false}, {"exec_file", TYPE_STRING, false},
        {"suffix", TYPE_STRING, false},     {"prefix", TYPE_STRING, false},
        {"compiler", TYPE_STRING, false},   {"profil", TYPE_STRING, false},
        {"rules_set", TYPE_STRING, false},  {"makefile", TYPE_STRING, false},
        {"target", TYPE_STRING, false}}},
      {"file",
       {{"identity", TYPE_OID, false},
        {"source_dir", TYPE_STRING, false},
        {"source_file", TYPE_STRING, false},
        {"object_dir", TYPE_STRING, false},
        {"object_file", TYPE_STRING, false},
        {"use_default_cc_options", TYPE_BOOLEAN, false},
        {"cc_options", TYPE_STRING, false},
        {"use_default_kvx_options", TYPE_BOOLEAN, false},
        {"get_source", TYPE_STRING, false},
        {"marked", TYPE_BOOLEAN, false},
        {"is_ok", TYPE_BOOLEAN, false},
        {"owner", TYPE_OID, false}}},
      {"kavexo_options",
       {{"owner", TYPE_OID, false}, {"name", TYPE_STRING, false}, {"value", TYPE_STRING, false}}},
  };
  return schema;
}

}  // namespace kvxapp::desc

namespace {

enum { A_ID, A_NAME, A_LANGUAGE, A_USER_MAKEFILE, A_CC, A_LINK, A_GET_SOURCE, A_SOURCE_DIR,
       A_OBJECT_DIR, A_EXEC, A_SUFFIX, A_PREFIX, A_COMPILER, A_PROFIL, A_RULES, A_MAKEFILE,
       A_TARGET };
enum { F_ID, F_SOURCE_DIR, F_SOURCE_FILE, F_OBJECT_DIR, F_OBJECT_FILE, F_USE_CC, F_CC, F_USE_KVX,
       F_GET_SOURCE, F_MARKED, F_OK, F_OWNER };
enum { O_OWNER, O_NAME, O_VALUE };

struct Loader {
  const char *source;
  KvxApplication *app = nullptr;
  std::string app_id;
  std::unordered_map<std::string, KvxSource *> files; /* by identity */

  int application(const std::vector<Value> &v, int line);
  int file(const std::vector<Value> &v, int line);
  int option(const std::vector<Value> &v, int line);
};

int Loader::application(const std::vector<Value> &v, int line) {
  if (app) {
    report_located(REPORT_WARNING, source, line,
                   "Only one application per file, application \"%s\" ignored", str(v[A_NAME].str()));
    return 0;
  }
  app_id = str(v[A_ID].str());
  const char *language = v[A_LANGUAGE].str();
  app = application_new(language ? language : lang_get_default_name());
  application_set_name(app, str(v[A_NAME].str()));
  application_set_cc_options(app, str(v[A_CC].str()));
  application_set_link_options(app, str(v[A_LINK].str()));
  application_set_get_source(app, str(v[A_GET_SOURCE].str()));
  application_set_source_dir(app, str(v[A_SOURCE_DIR].str()));
  application_set_object_dir(app, str(v[A_OBJECT_DIR].str()));
  application_set_exec_file(app, str(v[A_EXEC].str()));
  application_set_suffix(app, v[A_SUFFIX].null ? ".inst" : v[A_SUFFIX].str());
  if (!v[A_PREFIX].null) application_set_prefix(app, v[A_PREFIX].str());
  if (!v[A_COMPILER].null) application_set_compiler(app, v[A_COMPILER].str());
  if (!v[A_PROFIL].null) application_set_profil(app, v[A_PROFIL].str());
  if (!v[A_RULES].null) application_set_rules_set(app, v[A_RULES].str());
  if (!v[A_MAKEFILE].null) application_set_makefilepath(app, v[A_MAKEFILE].str());
  if (!v[A_TARGET].null) application_set_target(app, v[A_TARGET].str());
  return 0;
}

int Loader::file(const std::vector<Value> &v, int line) {
  const char *name = str(v[F_SOURCE_FILE].str());
  if (!app || app_id != str(v[F_OWNER].str())) {
    report_located(REPORT_WARNING, source, line,
                   "File \"%s\" not attached to the application : ignored", name);
    return 0;
  }
  const char *dir = v[F_SOURCE_DIR].null ? app->source_dir : v[F_SOURCE_DIR].str();
  KvxSource *s = source_new(join(dir, name).c_str(), app);
  if (!s) return 0; /* reported: the file is left out */
  if (list_insert(application_get_files(app), s) < 0) {
    source_free(s);
    report_located(REPORT_WARNING, source, line,
                   "File \"%s\" can appear only once in the application", name);
    return 0;
  }
  if (!v[F_SOURCE_DIR].null) source_set_source_dir(s, v[F_SOURCE_DIR].str());
  if (v[F_OBJECT_DIR].null)
    source_unset_object_dir(s);
  else
    source_set_object_dir(s, v[F_OBJECT_DIR].str());
  source_set_object_file(s, v[F_OBJECT_FILE].str());
  source_set_use_default_cc_options(s, (int)v[F_USE_CC].ival);
  source_set_cc_options(s, v[F_CC].str());
  source_set_use_default_kvx_options(s, (int)v[F_USE_KVX].ival);
  source_set_get_source(s, v[F_GET_SOURCE].str());
  source_set_marked(s, (int)v[F_MARKED].ival);
  source_set_ok(s, (int)v[F_OK].ival);
  files[str(v[F_ID].str())] = s;
  return 0;
}

int Loader::option(const std::vector<Value> &v, int line) {
  std::string owner = str(v[O_OWNER].str());
  const char *key = v[O_NAME].str();
  if (app && owner == app_id) {
    application_set_kvx_options(app, slot_for_key(key, app->nkeys), v[O_VALUE].str());
    return 0;
  }
  auto it = files.find(owner);
  if (app && it != files.end()) {
    source_add_kvx_option(it->second, key, v[O_VALUE].str());
    return 0;
  }
  report_located(REPORT_WARNING, source, line, "One option is not attached to any file : ignored");
  return 0;
}

KvxApplication *load_text(const std::string &text, const char *source) {
  Loader loader;
  loader.source = source;
  const auto &schema = application_schema();
  std::vector<Entity> entities = {
      {schema[0].name, schema[0].attributes,
       [&](const std::vector<Value> &v, int line) { return loader.application(v, line); }},
      {schema[1].name, schema[1].attributes,
       [&](const std::vector<Value> &v, int line) { return loader.file(v, line); }},
      {schema[2].name, schema[2].attributes,
       [&](const std::vector<Value> &v, int line) { return loader.option(v, line); }},
  };
  if (desc::read(text, source, entities) != 0) {
    application_free(loader.app);
    return nullptr;
  }
  if (!loader.app) report_message(REPORT_ERROR, "%s: no application described.", source);
  return loader.app;
}

}  // namespace

extern "C" {

KvxApplication *application_load(const char *path) {
  FILE *f = file_open(path, "r", REPORT_ERROR);
  if (!f) return nullptr;
  std::string text = read_stream(f);
  fclose(f);
  return load_text(text, path);
}

KvxApplication *application_load_desc(FILE *stream) {
  if (!stream) return nullptr;
  return load_text(read_stream(stream), "Internal Communication");
}

}  // extern "C"
