/*
 * tables.h - the state shared by the language and dialect tables.
 */
#ifndef KVXAPP_TABLES_H
#define KVXAPP_TABLES_H

#include "internal.h"

namespace kvxapp::tables {

/* Reads a dialect file into a new list; null on failure (reported).
 * *default_entry receives the file's default entry. */
KvxList *read_dialect_file(const char *path, KvxDialect **default_entry);
/* Built-in one-entry tables. */
KvxList *builtin_c_dialects(KvxDialect **default_entry);
KvxList *builtin_cxx_dialects(KvxDialect **default_entry);
void free_dialect(void *d);
/* Makes a table and its default entry current (not owned). */
void set_current(KvxList *dialects, KvxDialect *default_entry);
/* Drops the current table when it is the given one. */
void forget(KvxList *dialects);
/* Identity of an oid text: absolute value; -1 when it does not start with
 * a digit. */
int identity_of(const char *oid);

}  // namespace kvxapp::tables

#endif
