/*
 * desc_writer.cpp - writing application description files, and saving them
 * safely: the text goes to a temporary file beside the target, which is
 * renamed over the old file only once it is completely written.
 */
#include "desc_app.h"

#include "internal.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace kvxapp;
using namespace kvxapp::desc;

static void quoted(FILE *f, const char *s) {
  fputc('"', f);
  for (const char *p = str(s); *p; p++) {
    if (*p == '"' || *p == '\\') fputc('\\', f);
    fputc(*p, f);
  }
  fputc('"', f);
}

static const char *flag(int v) { return v ? "t, " : "f, "; }

static void definitions(FILE *f) {
  fputs("Entities_Definitions DEFINITIONS ::= BEGIN\n", f);
  for (const EntitySchema &e : application_schema()) {
    fprintf(f, "%s ::= SEQUENCE OF {\n\tSEQUENCE {\n", e.name);
    for (size_t i = 0; i < e.attributes.size(); i++) {
      const Attribute &a = e.attributes[i];
      bool last = i + 1 == e.attributes.size();
      fprintf(f, "\t\t%s %s%s%s\n", a.name, a.sequence ? "SEQUENCE OF " : "", type_name(a.type),
              last ? "\n\t}\n}" : ",");
    }
  }
}

static void application_tuple(FILE *f, const KvxApplication *a) {
  fputs("application ::= {\n", f);
  fputs("{ \"1\", ", f);
  const char *head[] = {a->name, a->language, "", a->cc_options, a->link_options};
  for (const char *s : head) {
    quoted(f, s);
    fputs(",\n ", f);
  }
  quoted(f, a->get_source);
  fputs(" ,\n ", f);
  const char *tail[] = {a->source_dir, a->object_dir, a->exec_file, a->suffix, a->prefix,
                        a->compiler,   a->profil,     a->rules_set, a->makefile};
  for (const char *s : tail) {
    quoted(f, s);
    fputs(",\n ", f);
  }
  quoted(f, a->target);
  fputs(" }\n}\n", f);
}

static const char *const KEYS[] = {"-dial", "-ign", "-mode=noexp", "-mac", "-request", "-header"};

/* Triples of one record with the keys of its application's language. */
static void options(FILE *f, char *const *slots, int nkeys, int owner) {
  for (int i = 0; i < nkeys && i < 6; i++) {
    if (i) fputs(",\n", f);
    fprintf(f, "{\"%d\", ", owner);
    quoted(f, KEYS[i]);
    fputs(", ", f);
    quoted(f, slots[i]);
    fputs("}", f);
  }
}

extern "C" {

void source_save(const KvxSource *s, FILE *f, int owner, int identity) {
  if (!s || !f) return;
  fprintf(f, "{ \"%d\", ", identity);
  quoted(f, source_get_source_dir(s));
  fputs(", ", f);
  quoted(f, s->source_file);
  fputs(", ", f);
  quoted(f, source_get_object_dir(s));
  fputs(", ", f);
  quoted(f, s->object_file);
  fputs(", ", f);
  fputs(flag(s->use_default_cc_options), f);
  quoted(f, s->cc_options);
  fputs(" , ", f);
  fputs(flag(s->use_default_kvx_options), f);
  quoted(f, source_get_get_source(s));
  fputs(", ", f);
  fputs(flag(s->marked), f);
  fputs(s->is_ok ? "t" : "f", f);
  fprintf(f, " , \"%d\"}", owner);
}

void application_save_desc(const KvxApplication *a, FILE *f) {
  if (!a || !f) return;
  definitions(f);
  application_tuple(f, a);
  int n = list_nb_items(a->files);
  if (n == 0) {
    fputs("file ::= {}\n", f);
  } else {
    fputs("file ::= {\n", f);
    for (int i = 1; i <= n; i++) {
      if (i > 1) fputs(",\n", f);
      source_save((const KvxSource *)list_get_ieme(a->files, i), f, 1, i + 1);
    }
    fputs("\n}\n", f);
  }
  fputs("kavexo_options ::= {\n", f);
  options(f, a->kvx_options, a->nkeys, 1);
  for (int i = 1; i <= n; i++) {
    const KvxSource *s = (const KvxSource *)list_get_ieme(a->files, i);
    if (s->use_default_kvx_options) continue;
    fputs(",\n", f);
    options(f, s->kvx_options, a->nkeys, i + 1);
  }
  fputs("\n}\n", f);
  fputs("END\n", f);
}

}  // extern "C"

/* Writes all of data to fd; false with errno set on failure. */
static bool write_all(int fd, const char *data, size_t size) {
  while (size > 0) {
    ssize_t n = write(fd, data, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (n == 0) {
      errno = EIO;
      return false;
    }
    data += n;
    size -= (size_t)n;
  }
  return true;
}

/* The file a save replaces: the target of a symbolic link, so that the
 * link stays. */
static std::string save_target(const std::string &path) {
  struct stat st;
  if (lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
    char buf[PATH_MAX];
    if (realpath(path.c_str(), buf)) return buf;
  }
  return path;
}

/* Name given to an unnamed application: base name without last extension. */
static std::string name_from_path(const std::string &path) {
  std::string base = base_part(path);
  size_t dot = base.rfind('.');
  if (dot != std::string::npos && dot > 0) base.erase(dot);
  return base;
}

extern "C" int application_save(KvxApplication *a, const char *path) {
  if (!a) return 0;
  if (!path || !*path) {
    report_message(REPORT_ERROR, "empty file name.");
    return 0;
  }
  std::string expanded;
  if (!expand(path, expanded, REPORT_ERROR)) return 0;
  if (expanded.empty()) {
    report_message(REPORT_ERROR, "empty file name.");
    return 0;
  }
  std::string target = save_target(expanded);
  struct stat st;
  bool exists = stat(target.c_str(), &st) == 0;
  if (exists && S_ISDIR(st.st_mode)) {
    report_message(REPORT_ERROR, "%s: is a directory.", target.c_str());
    return 0;
  }

  std::string dir = dir_part(target);
  std::string temp = join(dir.empty() ? "." : dir, "." + base_part(target) + ".XXXXXX");
  int fd = mkstemp(temp.data());
  if (fd < 0) {
    report_system_error(REPORT_ERROR, target.c_str(), errno);
    return 0;
  }
  if (exists) {
    fchmod(fd, st.st_mode & 07777);
  } else {
    mode_t mask = umask(0);
    umask(mask);
    fchmod(fd, 0666 & ~mask);
  }

  char *old_name = nullptr;
  if (strncmp(str(a->name), "unnamed", 7) == 0) {
    old_name = dup(a->name);
    set_str(&a->name, name_from_path(expanded).c_str());
  }

  char *text = nullptr;
  size_t size = 0;
  FILE *mem = open_memstream(&text, &size);
  bool ok = mem != nullptr;
  if (ok) {
    application_save_desc(a, mem);
    ok = fclose(mem) == 0;
  }
  ok = ok && write_all(fd, text, size) && fsync(fd) == 0;
  int err = errno;
  free(text);
  if (close(fd) != 0 && ok) {
    ok = false;
    err = errno;
  }
  if (ok && rename(temp.c_str(), target.c_str()) != 0) {
    ok = false;
    err = errno;
  }
  if (!ok) {
    unlink(temp.c_str());
    if (old_name) set_str(&a->name, old_name);
    free(old_name);
    report_system_error(REPORT_ERROR, target.c_str(), err);
    return 0;
  }
  free(old_name);
  return 1;
}
