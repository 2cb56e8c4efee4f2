/*
 * directories.cpp - factoring out the directory most of an application's
 * files share: it becomes the application's source (object) directory and
 * the files in it stop carrying their own.
 */
#include "internal.h"

#include <cstring>
#include <vector>

using namespace kvxapp;

namespace {

/* A file's own value (null: inherited) and the application's value of one
 * of the two kinds of directory. */
using Field = char *KvxSource::*;
using AppField = char *KvxApplication::*;

const char *effective(const KvxSource *s, Field own, AppField app) {
  return s->*own ? s->*own : str(s->owner->*app);
}

/* The first effective directory, in list order, held by at least 51 % of
 * the files (count * 100 / n, integer division); null when none is. */
const char *common(const std::vector<KvxSource *> &files, Field own, AppField app) {
  int n = (int)files.size();
  for (size_t i = 0; i < files.size(); i++) {
    const char *dir = effective(files[i], own, app);
    int count = 0;
    for (KvxSource *s : files) count += strcmp(effective(s, own, app), dir) == 0;
    if (count * 100 / n >= 51) return dir;
  }
  return nullptr;
}

/* Makes dir the application's directory of one kind while every file
 * keeps its effective one: files in dir stop carrying their own, the
 * others that inherited take the old value as their own. */
void rebase(KvxApplication *a, const std::vector<KvxSource *> &files, Field own, AppField app,
            const std::string &dir) {
  for (KvxSource *s : files) {
    if (effective(s, own, app) == dir)
      set_str(&(s->*own), nullptr);
    else if (!(s->*own))
      set_str(&(s->*own), a->*app);
  }
  set_str(&(a->*app), dir.c_str());
}

void factor(KvxApplication *a, const std::vector<KvxSource *> &files, Field own, AppField app) {
  const char *found = common(files, own, app);
  if (found) rebase(a, files, own, app, std::string(found)); /* a copy: found may change */
}

}  // namespace

void kvxapp::rebase_object_dir(KvxApplication *a, const std::string &dir) {
  rebase(a, items<KvxSource>(a->files), &KvxSource::object_dir, &KvxApplication::object_dir, dir);
}

extern "C" {

void application_manage_directory(KvxApplication *a) {
  if (!a) return;
  std::vector<KvxSource *> files = items<KvxSource>(a->files);
  if (files.empty()) return;
  factor(a, files, &KvxSource::source_dir, &KvxApplication::source_dir);
  factor(a, files, &KvxSource::object_dir, &KvxApplication::object_dir);
}

}  // extern "C"
