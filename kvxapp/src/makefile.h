/*
 * makefile.h - what the makefile writer, the per-file rules and the build
 * runs share: the names a makefile uses and the writing of the text.
 */
#ifndef KVXAPP_MAKEFILE_H
#define KVXAPP_MAKEFILE_H

#include "internal.h"

#include <string>

namespace kvxapp::mk {

/* Placeholder extension of the result lists, substituted by make. */
extern const char *const ANY_RESULT;

/* O/N<ext> with the application's object_dir and name, ./N<ext> when the
 * object_dir is empty. */
std::string app_name(const KvxApplication *a, const char *ext);
/* The file's object path without its last two characters (".o"). */
std::string stem(const KvxSource *s);
/* The file's instrumented copy (C++ applications) and its name without
 * extension. */
std::string instrumented(const KvxSource *s);
std::string without_extension(const std::string &path);
/* The file's object directory, "./" when it has none. */
std::string object_dir_or_here(const KvxSource *s);
/* Directory of a dialect's instrumentation source, "" when it has none. */
std::string instr_dir(const KvxDialect *d);
/* A dialect command from its first blank on, the blank included. */
std::string command_tail(const std::string &command);
/* A file name as one word of a recipe: quoted for the shell when it needs
 * it, '$' doubled for make. */
std::string recipe_word(const std::string &name);
/* text with its line ends turned into blanks: one makefile line. */
std::string one_line(const char *text);
/* The banner of a section. */
void banner(FILE *out, const char *title);

/* True when every name the makefile of a would carry can be written in
 * it; otherwise reports the first that cannot. */
bool names_fit(const KvxApplication *a);
/* Writes the whole makefile text; sets DCBPATHNAME for the commands that
 * follow.  False on a write error (errno set). */
bool write(KvxApplication *a, FILE *out);
/* The same into the file path (created or truncated); false after
 * reporting the failure, the file then left to the caller. */
bool write_file(KvxApplication *a, const std::string &path);

}  // namespace kvxapp::mk

#endif
