/*
 * options.cpp - the checker option slots: the key table by language, the
 * typed slot access of applications and source files with their defaults,
 * and the translation of the slots into checker command-line text.
 */
#include "internal.h"

#include <cstdlib>
#include <cstring>

using namespace kvxapp;

static const char *const KEYS[] = {"-dial", "-ign", "-mode=noexp", "-mac", "-request", "-header"};
static const int NKEYS_C = 4, NKEYS_CXX = 6;

/* Keys in use for the language last given to a record; C until then. */
static int g_nkeys = NKEYS_C;

namespace kvxapp {

int keys_for_language(const char *language) {
  if (language && strcmp(language, "C") == 0) return NKEYS_C;
  if (language && strcmp(language, "C++") == 0) return NKEYS_CXX;
  return g_nkeys;
}

void set_key_table(const char *language) { g_nkeys = keys_for_language(language); }

std::string translate_slots(const char *const *slots, int nkeys, std::string (*value)(const std::string &)) {
  std::string text;
  for (int i : {1, 3, 4}) {
    if (i >= nkeys || !slots[i] || !*slots[i]) continue;
    text.append(KEYS[i]).append(" ").append(value ? value(slots[i]) : slots[i]).append(" ");
  }
  if (2 < nkeys && slots[2] && strcmp(slots[2], "no") == 0) text.append("-mode=noexp ");
  if (5 < nkeys && slots[5] && strcmp(slots[5], "yes") == 0) text.append("-header ");
  return text;
}

/* Slot of key among the first nkeys keys; nkeys (the slot after the last
 * key) when it is not one of them. */
int slot_for_key(const char *key, int nkeys) {
  for (int i = 0; i < nkeys; i++)
    if (key && strcmp(KEYS[i], key) == 0) return i;
  return nkeys;
}

}  // namespace kvxapp

/* Slot text, or "" when unset. */
static const char *slot(char *const *slots, int i) { return str(slots[i]); }

/* First word of the dialect's command and its parameter. */
static void dialect_words(const char *dialect, std::string &compiler, std::string &param) {
  const KvxDialect *d = dialect_of(dialect);
  compiler = d ? d->compiler : "";
  param = d ? d->parameter : "";
}

/* ".C_P.ign" found by the file search; "" when not found. */
static std::string default_ignore(const char *dialect) {
  std::string c, p;
  dialect_words(dialect, c, p);
  if (c.empty()) return std::string();
  std::string file = "." + c + "_" + p + ".ign";
  return search(nullptr, "KVX_CC_IGN", file.c_str(), "$KVX_UTIL");
}

static std::string default_macro_file(const char *dialect) {
  std::string c, p;
  dialect_words(dialect, c, p);
  if (c.empty()) return std::string();
  std::string file = "." + c + ".mac";
  return search(nullptr, "KVX_CC_MAC", file.c_str(), "$KVX_UTIL");
}

static const char *cached(std::string *&cache, std::string value) {
  if (!cache) cache = new std::string;
  *cache = std::move(value);
  return cache->c_str();
}

static const char *dial_option(const char *dialect) {
  const KvxDialect *d = dialect_of(dialect);
  if (!d) return "";
  const char *blank = strpbrk(d->command, " \t");
  return blank ? blank + 1 : "";
}

/* The record whose slots answer for src. */
static char *const *source_slots(const KvxSource *s) {
  return s->use_default_kvx_options && s->owner ? s->owner->kvx_options : s->kvx_options;
}

static bool valid(int i) { return i >= 0 && i < KVX_OPTION_SLOTS; }

extern "C" {

const char *kvx_option_key(int i) { return i >= 0 && i < g_nkeys ? KEYS[i] : nullptr; }
int kvx_option_key_count(void) { return g_nkeys; }
int kvx_option_slot(const char *key) {
  for (int i = 0; i < NKEYS_CXX; i++)
    if (key && strcmp(KEYS[i], key) == 0) return i;
  return -1;
}

const char *application_get_kvx_options(const KvxApplication *a, int i) {
  return a && valid(i) ? a->kvx_options[i] : nullptr;
}
void application_set_kvx_options(KvxApplication *a, int i, const char *v) {
  if (a && valid(i)) set_str(&a->kvx_options[i], v);
}

void application_set_dialect(KvxApplication *a, const char *v) { application_set_kvx_options(a, 0, v); }
const char *application_get_dialect(KvxApplication *a) { return a ? slot(a->kvx_options, 0) : ""; }
void application_set_ignore(KvxApplication *a, const char *v) { application_set_kvx_options(a, 1, v); }
const char *application_get_ignore(KvxApplication *a) {
  if (!a) return "";
  if (*slot(a->kvx_options, 1)) return a->kvx_options[1];
  return cached(a->cache, default_ignore(a->kvx_options[0]));
}
void application_set_expand_macro(KvxApplication *a, int e) {
  application_set_kvx_options(a, 2, e ? "yes" : "no");
}
int application_get_expand_macro(const KvxApplication *a) {
  return !(a && strcmp(slot(a->kvx_options, 2), "no") == 0);
}
void application_set_macro_file(KvxApplication *a, const char *v) { application_set_kvx_options(a, 3, v); }
const char *application_get_macro_file(KvxApplication *a) {
  if (!a) return "";
  if (*slot(a->kvx_options, 3)) return a->kvx_options[3];
  return cached(a->cache, default_macro_file(a->kvx_options[0]));
}
void application_set_request_file(KvxApplication *a, const char *v) {
  application_set_kvx_options(a, 4, v);
}
const char *application_get_request_file(KvxApplication *a) { return a ? slot(a->kvx_options, 4) : ""; }
void application_set_header(KvxApplication *a, int h) { application_set_kvx_options(a, 5, h ? "yes" : "no"); }
int application_get_header(const KvxApplication *a) {
  return a && strcmp(slot(a->kvx_options, 5), "yes") == 0;
}

const char *application_get_dial_option(const KvxApplication *a) {
  return a ? dial_option(a->kvx_options[0]) : "";
}

const char *application_translate_kvx_options(const KvxApplication *a) {
  static std::string text;
  text = a ? translate_slots(a->kvx_options, a->nkeys) : std::string();
  return text.c_str();
}

void application_write_kvx_options(FILE *stream, const KvxApplication *a) {
  if (!stream || !a) return;
  fprintf(stream, "%s %s ", application_translate_kvx_options(a), application_get_dial_option(a));
}

/* Source files. */

const char *source_get_kvx_options(const KvxSource *s, int i) {
  return s && valid(i) ? source_slots(s)[i] : nullptr;
}
void source_set_kvx_options(KvxSource *s, int i, const char *v) {
  if (s && valid(i)) set_str(&s->kvx_options[i], v);
}
void source_add_kvx_option(KvxSource *s, const char *key, const char *value) {
  if (!s) return;
  int n = s->owner ? s->owner->nkeys : g_nkeys;
  source_set_kvx_options(s, slot_for_key(key, n), value);
}

void source_set_use_default_kvx_options(KvxSource *s, int use) {
  if (s) s->use_default_kvx_options = use != 0;
}
int source_get_use_default_kvx_options(const KvxSource *s) { return s ? s->use_default_kvx_options : 1; }

void source_set_dialect(KvxSource *s, const char *v) { source_set_kvx_options(s, 0, v); }
const char *source_get_dialect(KvxSource *s) { return s ? slot(source_slots(s), 0) : ""; }
void source_set_ignore(KvxSource *s, const char *v) { source_set_kvx_options(s, 1, v); }
const char *source_get_ignore(KvxSource *s) {
  if (!s) return "";
  if (s->use_default_kvx_options && s->owner) return application_get_ignore(s->owner);
  if (*slot(s->kvx_options, 1)) return s->kvx_options[1];
  return cached(s->cache, default_ignore(s->kvx_options[0]));
}
void source_set_expand_macro(KvxSource *s, int e) { source_set_kvx_options(s, 2, e ? "yes" : "no"); }
int source_get_expand_macro(const KvxSource *s) {
  return !(s && strcmp(slot(source_slots(s), 2), "no") == 0);
}
void source_set_macro_file(KvxSource *s, const char *v) { source_set_kvx_options(s, 3, v); }
const char *source_get_macro_file(KvxSource *s) {
  if (!s) return "";
  if (s->use_default_kvx_options && s->owner) return application_get_macro_file(s->owner);
  if (*slot(s->kvx_options, 3)) return s->kvx_options[3];
  return cached(s->cache, default_macro_file(s->kvx_options[0]));
}
void source_set_request_file(KvxSource *s, const char *v) { source_set_kvx_options(s, 4, v); }
const char *source_get_request_file(KvxSource *s) { return s ? slot(source_slots(s), 4) : ""; }
void source_set_header(KvxSource *s, int h) { source_set_kvx_options(s, 5, h ? "yes" : "no"); }
int source_get_header(const KvxSource *s) { return s && strcmp(slot(source_slots(s), 5), "yes") == 0; }
const char *source_get_dial_option(const KvxSource *s) {
  return s ? dial_option(source_slots(s)[0]) : "";
}

}  // extern "C"
