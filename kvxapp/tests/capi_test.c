/*
 * capi_test.c - a C program using the library through its public header:
 * builds an application, saves it, loads it back and walks its files.
 * Exits with 0 when every check holds.
 */
#define _POSIX_C_SOURCE 200809L
#include "kvxapp.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

static int failures = 0;

#define CHECK(cond)                                                   \
  do {                                                                \
    if (!(cond)) {                                                    \
      fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #cond); \
      failures++;                                                     \
    }                                                                 \
  } while (0)

static int by_name(const void *a, const void *b) {
  return strcmp(*(const char *const *)a, *(const char *const *)b) <= 0;
}

int main(int argc, char **argv) {
  char dir[] = "/tmp/kvxapp_capi.XXXXXX";
  char path[256];
  KvxApplication *app, *back;
  KvxSource *src;
  KvxList *files, *words;
  char *name;
  const char *w1 = "pear", *w2 = "apple";
  const char **p1 = &w1, **p2 = &w2;

  arg_init(argc, argv);
  lang_init();
  report_set_warnings(1);
  CHECK(mkdtemp(dir) != NULL);
  snprintf(path, sizeof path, "%s/capi.app", dir);

  app = application_new("C");
  CHECK(app != NULL);
  application_set_source_dir(app, "/src");
  application_add_cc_options(app, "-O2 -DNDEBUG");
  src = application_add_file(app, "/src/main.c");
  CHECK(src != NULL);
  CHECK(application_add_file(app, "/src/main.c") == NULL);
  CHECK(application_add_file(app, "/src/util.c") != NULL);
  source_set_use_default_kvx_options(src, 0);
  source_set_ignore(src, "main \"quoted\" \\ path.ign");
  CHECK(application_save(app, path) == 1);
  name = application_get_name(app);
  CHECK(strcmp(name, "capi") == 0);
  free(name);

  back = application_load(path);
  CHECK(back != NULL);
  if (back) {
    files = application_get_files(back);
    CHECK(list_nb_items(files) == 2);
    src = (KvxSource *)list_first(files);
    CHECK(src && strcmp(source_get_source_file(src), "main.c") == 0);
    CHECK(src && strcmp(source_get_ignore(src), "main \"quoted\" \\ path.ign") == 0);
    src = (KvxSource *)list_next(files);
    CHECK(src && strcmp(source_get_source_file(src), "util.c") == 0);
    CHECK(list_next(files) == NULL);
    CHECK(strcmp(application_get_cc_options(back), "-O2 -DNDEBUG ") == 0);
    application_free(back);
  }

  words = _list_new(default_cmp);
  list_set_free(words, no_object_free);
  list_set_sorted(words, by_name);
  list_set_unique(words, 1);
  CHECK(list_insert(words, (void *)p1) == 1);
  CHECK(list_insert(words, (void *)p2) == 1);
  CHECK(list_insert(words, (void *)p1) == -1);
  CHECK(list_get_item_on_string(words, "pear") == (void *)p1);
  list_free_all(words);

  name = application_pref_suf_bis("src/a.c", "p_", ".inst");
  CHECK(name && strcmp(name, "src/p_a.inst.c") == 0);
  free(name);
  application_manage_directory(app); /* both files in /src already */
  CHECK(strcmp(application_get_source_dir(app), "/src") == 0);

  application_free(app);
  unlink(path);
  rmdir(dir);
  if (failures) fprintf(stderr, "%d check(s) failed\n", failures);
  return failures ? 1 : report_summary();
}
