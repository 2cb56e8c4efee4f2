/*
 * kvxapp.h - the plain C interface of the application descriptions library.
 *
 * The library holds applications (the programs to be checked: name, language,
 * directories, compiler and link options, profile, rule set, checker options
 * and the list of source files), stores them in description files, and knows
 * the tables of languages and compiler dialects.  Every collection is a
 * generic list of untyped item pointers.
 *
 * Strings.  Setters copy their arguments.  A getter documented as "stored"
 * returns the record's own string (valid until the field is changed or the
 * record freed; do not free it); one documented as "new" returns a copy made
 * with malloc that the caller releases with free().
 *
 * Set-up: call arg_init(), then lang_init(), once per process before creating
 * applications.  The library is single-threaded.
 */
#ifndef KVXAPP_H
#define KVXAPP_H

#include <stdio.h>
#include <time.h>

#ifdef __cplusplus
extern "C" {
#endif

#if defined(__GNUC__)
#define KVXAPP_API __attribute__((visibility("default")))
#define KVXAPP_PRINTF(f, a) __attribute__((format(printf, f, a)))
#else
#define KVXAPP_API
#define KVXAPP_PRINTF(f, a)
#endif

/* Opaque records. */
typedef struct KvxList KvxList;
typedef struct KvxApplication KvxApplication;
typedef struct KvxSource KvxSource;
typedef struct KvxLanguage KvxLanguage;
typedef struct KvxDialect KvxDialect;

/* ------------------------------------------------------------------------ */
/* Generic list                                                              */
/* ------------------------------------------------------------------------ */

/* Nonzero when the two items are equal. */
typedef int (*KvxListEqual)(const void *a, const void *b);
/* Nonzero when a goes before b. */
typedef int (*KvxListBefore)(const void *a, const void *b);
/* Releases an item. */
typedef void (*KvxListFree)(void *item);
/* Nonzero for the items to remove. */
typedef int (*KvxListMatch)(const void *item);

/* New empty list: unsorted, not unique, items freed with default_free. */
KVXAPP_API KvxList *_list_new(KvxListEqual equal);
KVXAPP_API void list_set_free(KvxList *list, KvxListFree free_item);
/* Keeps the list ordered by before (null: unsorted). */
KVXAPP_API void list_set_sorted(KvxList *list, KvxListBefore before);
/* Nonzero: refuse items equal to one already held. */
KVXAPP_API void list_set_unique(KvxList *list, int unique);
KVXAPP_API void list_set_cmp(KvxList *list, KvxListEqual equal);

/* New count, or -1 for a refused duplicate (sorted lists: as insert_sorted). */
KVXAPP_API int list_insert(KvxList *list, void *item);
/* 1-based position of the new item, or -1 for a refused duplicate. */
KVXAPP_API int list_insert_sorted(KvxList *list, void *item);
/* New count. */
KVXAPP_API int list_insert_first(KvxList *list, void *item);
/* Nonzero. */
KVXAPP_API int list_insert_last(KvxList *list, void *item);

/* The list has one cursor: one iteration at a time.  Both return the item
 * at the cursor, or null at the end. */
KVXAPP_API void *list_first(KvxList *list);
KVXAPP_API void *list_next(KvxList *list);
/* Puts the cursor on item n (from 1) and returns it; null when out of range
 * (the cursor is then at the end). */
KVXAPP_API void *list_go_pos(KvxList *list, int n);
/* Item n (from 1) without moving the cursor; null when out of range. */
KVXAPP_API void *list_get_ieme(KvxList *list, int n);
/* First item equal to probe by the list's equality function. */
KVXAPP_API void *list_get_item(KvxList *list, const void *probe);
/* First item whose first member is a string equal to text. */
KVXAPP_API void *list_get_item_on_string(KvxList *list, const char *text);
KVXAPP_API int list_nb_items(const KvxList *list);

/* Unlinks the first cell holding exactly item (not freed); returns its
 * 1-based position, 0 when absent.  Resets the cursor. */
KVXAPP_API int list_remove_item(KvxList *list, void *item);
/* Unlinks and frees (with free_item, when not null) every matching item;
 * returns the count.  Resets the cursor. */
KVXAPP_API int list_remove_matching_item(KvxList *list, KvxListMatch match, KvxListFree free_item);
/* Removes from a every item of b (by identity). */
KVXAPP_API void list_minus_list(KvxList *a, KvxList *b);
/* New list (equality default_cmp) holding the same item pointers. */
KVXAPP_API KvxList *list_duplicate(KvxList *list);
/* Stable merge sort. */
KVXAPP_API void list_sort(KvxList *list, KvxListBefore before);
/* Frees the cells only: the list becomes empty. */
KVXAPP_API void list_wipe_out(KvxList *list);
/* Frees the cells and the header, not the items. */
KVXAPP_API void list_free(KvxList *list);
/* Frees every item with the list's free function, the cells and the header. */
KVXAPP_API void list_free_all(KvxList *list);

/* 1 when the strings the items hold as their first member are equal. */
KVXAPP_API int default_cmp(const void *a, const void *b);
/* free() on the item. */
KVXAPP_API void default_free(void *item);
/* Does nothing. */
KVXAPP_API void no_object_free(void *item);
/* Always 0. */
KVXAPP_API int unavailable_cmp(const void *a, const void *b);

/* ------------------------------------------------------------------------ */
/* Reporting                                                                 */
/* ------------------------------------------------------------------------ */

enum {
  REPORT_NONE = 0,    /* nothing printed or counted */
  REPORT_WARNING = 1, /* "%s: Warning: %s\n", counted, shown when enabled */
  REPORT_ERROR = 2,   /* "%s: Error: %s\n" or "Error(s): %s\n", counted */
  REPORT_FATAL = 3    /* printed, summary, exit status 2 */
};

/* Reports a printf-formed text, normally "subject: message". */
KVXAPP_API void report_message(int level, const char *fmt, ...) KVXAPP_PRINTF(2, 3);
/* "%s(%d) : %s" with file, line and the formed text. */
KVXAPP_API void report_located(int level, const char *file, int line, const char *fmt, ...)
    KVXAPP_PRINTF(4, 5);
/* "%s: %s" with name and the C library's text for err. */
KVXAPP_API void report_system_error(int level, const char *name, int err);
/* Prints the summary; returns 1 when errors were counted, else 0. */
KVXAPP_API int report_summary(void);
/* Warning display switch (on by default); warnings stay counted when off. */
KVXAPP_API void report_set_warnings(int shown);
KVXAPP_API int report_get_error_count(void);
KVXAPP_API int report_get_warning_count(void);
KVXAPP_API void report_reset_counts(void);
/* Stream of the messages (standard error by default). */
KVXAPP_API void report_set_stream(FILE *stream);
/* Receives every printed line instead of the stream (null: the stream).
 * Counting and the fatal exit are unchanged. */
typedef void (*KvxReportHook)(int level, const char *line, void *data);
KVXAPP_API void report_set_hook(KvxReportHook hook, void *data);

/* ------------------------------------------------------------------------ */
/* Process set-up, environment and paths                                     */
/* ------------------------------------------------------------------------ */

/* Records the program name (base name of the running module without its
 * extension), the machine name ("linux") and a private copy of argv. */
KVXAPP_API void arg_init(int argc, char **argv);
KVXAPP_API const char *arg_get_program_name(void);
KVXAPP_API const char *arg_get_machine_name(void);
KVXAPP_API int arg_get_argc(void);
KVXAPP_API char **arg_get_argv(void);

/* Expands $NAME and $(NAME).  New string, or null after reporting
 * "%s: Undefined variable." (or the 1024-byte limit) at level. */
KVXAPP_API char *env_expand(const char *text, int level);
/* Joins name to dir ("/" between) unless name is absolute or dir empty,
 * then normalises ("./", "//", "x/../").  New string. */
KVXAPP_API char *path_join(const char *dir, const char *name);
/* New string: the part before the last '/' or '\' ("" when none). */
KVXAPP_API char *path_get_dir(const char *path);
/* Stored: pointer into path after its last '/' or '\'. */
KVXAPP_API const char *path_get_base(const char *path);
/* File search, first readable hit wins: explicit path, the file named by
 * variable var, file in the current directory, in $HOME, in the expanded
 * directory dir.  Any argument may be null.  New string, or null. */
KVXAPP_API char *file_search(const char *explicit_path, const char *var, const char *file,
                             const char *dir);
/* Opens a file after expansion; failures reported at level, null result. */
KVXAPP_API FILE *file_open(const char *name, const char *mode, int level);

/* ------------------------------------------------------------------------ */
/* Application records                                                       */
/* ------------------------------------------------------------------------ */

#define KVX_OPTION_SLOTS 10
#define KVX_SLOT_DIALECT 0
#define KVX_SLOT_IGNORE 1
#define KVX_SLOT_EXPAND_MACRO 2
#define KVX_SLOT_MACRO_FILE 3
#define KVX_SLOT_REQUEST_FILE 4
#define KVX_SLOT_HEADER 5

/* Checker switch of slot i of the global key table, or null. */
KVXAPP_API const char *kvx_option_key(int slot);
/* Number of keys in use in the global key table (4 for C, 6 for C++). */
KVXAPP_API int kvx_option_key_count(void);
/* Slot whose key is key, or -1. */
KVXAPP_API int kvx_option_slot(const char *key);

KVXAPP_API KvxApplication *application_new(const char *language);
KVXAPP_API void application_free(KvxApplication *app);

/* Returns the language callback's result (0 without callback). */
KVXAPP_API int application_set_language(KvxApplication *app, const char *language);
typedef int (*KvxLanguageCallback)(const char *language);
KVXAPP_API void application_set_language_cb(KvxLanguageCallback cb);

KVXAPP_API char *application_get_name(const KvxApplication *app); /* new */
KVXAPP_API void application_set_name(KvxApplication *app, const char *name);

/* Stored strings. */
KVXAPP_API const char *application_get_language(const KvxApplication *app);
KVXAPP_API const char *application_get_cc_options(const KvxApplication *app);
KVXAPP_API const char *application_get_link_options(const KvxApplication *app);
KVXAPP_API const char *application_get_get_source(const KvxApplication *app);
KVXAPP_API const char *application_get_source_dir(const KvxApplication *app);
KVXAPP_API const char *application_get_object_dir(const KvxApplication *app);
KVXAPP_API const char *application_get_compiler(const KvxApplication *app);
KVXAPP_API const char *application_get_prefix(const KvxApplication *app);
KVXAPP_API const char *application_get_suffix(const KvxApplication *app);
KVXAPP_API const char *application_get_exec_file(const KvxApplication *app);

/* New strings, null when unset (empty). */
KVXAPP_API char *application_get_profil(const KvxApplication *app);
KVXAPP_API char *application_get_rules_set(const KvxApplication *app);
KVXAPP_API char *application_get_makefilepath(const KvxApplication *app);
KVXAPP_API char *application_get_target(const KvxApplication *app);

/* Stored as given. */
KVXAPP_API void application_set_profil(KvxApplication *app, const char *value);
KVXAPP_API void application_set_rules_set(KvxApplication *app, const char *value);
KVXAPP_API void application_set_makefilepath(KvxApplication *app, const char *value);
KVXAPP_API void application_set_target(KvxApplication *app, const char *value);
KVXAPP_API void application_set_suffix(KvxApplication *app, const char *value);
KVXAPP_API void application_set_cc_options(KvxApplication *app, const char *value);
KVXAPP_API void application_set_link_options(KvxApplication *app, const char *value);
KVXAPP_API void application_set_exec_file(KvxApplication *app, const char *value);

/* Expanded first; 0 (old value kept, error reported) on an undefined
 * variable, else 1.  set_compiler also ignores an empty result (0). */
KVXAPP_API int application_set_source_dir(KvxApplication *app, const char *value);
KVXAPP_API int application_set_object_dir(KvxApplication *app, const char *value);
KVXAPP_API int application_set_get_source(KvxApplication *app, const char *value);
KVXAPP_API int application_set_prefix(KvxApplication *app, const char *value);
KVXAPP_API int application_set_compiler(KvxApplication *app, const char *value);

KVXAPP_API void application_add_cc_option(KvxApplication *app, const char *word);
KVXAPP_API void application_add_cc_options(KvxApplication *app, const char *text);
KVXAPP_API void application_add_link_option(KvxApplication *app, const char *word);
KVXAPP_API void application_add_link_options(KvxApplication *app, const char *text);
/* Keeps the options that at least 51 % of the files carry and reduces each
 * file's options to its extras; does nothing without files. */
KVXAPP_API void application_manage_cc_options(KvxApplication *app);

/* The new source record, or null (duplicate, or name without extension). */
KVXAPP_API KvxSource *application_add_file(KvxApplication *app, const char *path);
/* The application's list of KvxSource items (owned by the application). */
KVXAPP_API KvxList *application_get_files(const KvxApplication *app);
KVXAPP_API void application_sort_files(KvxApplication *app);
KVXAPP_API int application_substitute_object(KvxApplication *app, const char *old_path,
                                             const char *new_path);
KVXAPP_API int application_present_object(const KvxApplication *app, const char *path);

/* Checker option slots (0..9); stored value or null. */
KVXAPP_API const char *application_get_kvx_options(const KvxApplication *app, int slot);
KVXAPP_API void application_set_kvx_options(KvxApplication *app, int slot, const char *value);
/* Typed slot access.  String getters return text owned by the record ("" when
 * there is none), valid until the next call on the record. */
KVXAPP_API void application_set_dialect(KvxApplication *app, const char *dialect);
KVXAPP_API const char *application_get_dialect(KvxApplication *app);
KVXAPP_API void application_set_ignore(KvxApplication *app, const char *file);
KVXAPP_API const char *application_get_ignore(KvxApplication *app);
KVXAPP_API void application_set_expand_macro(KvxApplication *app, int expand);
KVXAPP_API int application_get_expand_macro(const KvxApplication *app);
KVXAPP_API void application_set_macro_file(KvxApplication *app, const char *file);
KVXAPP_API const char *application_get_macro_file(KvxApplication *app);
KVXAPP_API void application_set_request_file(KvxApplication *app, const char *file);
KVXAPP_API const char *application_get_request_file(KvxApplication *app);
KVXAPP_API void application_set_header(KvxApplication *app, int check_headers);
KVXAPP_API int application_get_header(const KvxApplication *app);
/* Stored: the dialect command after its first blank, "" when none. */
KVXAPP_API const char *application_get_dial_option(const KvxApplication *app);
/* Checker command-line text of the slots, in one static buffer. */
KVXAPP_API const char *application_translate_kvx_options(const KvxApplication *app);
KVXAPP_API void application_write_kvx_options(FILE *stream, const KvxApplication *app);

/* Derived names, new strings. */
KVXAPP_API char *application_get_default_file_name(const KvxApplication *app); /* N.app */
KVXAPP_API char *application_get_res(const KvxApplication *app);    /* O/N.arc.res */
KVXAPP_API char *application_get_zkc(const KvxApplication *app);    /* O/N.arc.zkc */
KVXAPP_API char *application_get_mtr(const KvxApplication *app);    /* O/N.arc.mtr */
KVXAPP_API char *application_get_rex(const KvxApplication *app);    /* exec_file or O/N.rex */
KVXAPP_API char *application_get_binary(const KvxApplication *app); /* O/N */
KVXAPP_API void application_set_binary(KvxApplication *app, const char *name); /* = set_name */
/* The standard rule file, found by the file search; null when not found. */
KVXAPP_API char *application_get_lrl(const KvxApplication *app);

/* Description files.  save: 1 on success, 0 on failure (the previous file is
 * then left as it was). load: new record, or null. */
KVXAPP_API int application_save(KvxApplication *app, const char *path);
KVXAPP_API void application_save_desc(const KvxApplication *app, FILE *stream);
KVXAPP_API KvxApplication *application_load(const char *path);
KVXAPP_API KvxApplication *application_load_desc(FILE *stream);
/* Of the last failed read: "F%03d" and "\"%s\", line %d: %s" ("" after a
 * successful read). Stored. */
KVXAPP_API const char *desc_get_error_code(void);
KVXAPP_API const char *desc_get_error_text(void);

/* ------------------------------------------------------------------------ */
/* Source records                                                            */
/* ------------------------------------------------------------------------ */

/* Null after the error "Wrong file name for file \"%s\"". Not inserted. */
KVXAPP_API KvxSource *source_new(const char *path, KvxApplication *app);
KVXAPP_API void source_free(KvxSource *src);
KVXAPP_API int source_equal(const void *a, const void *b);
KVXAPP_API int source_is_before(const void *a, const void *b);
KVXAPP_API KvxApplication *source_get_application(const KvxSource *src);

/* Stored strings unless noted. */
KVXAPP_API const char *source_get_source_file(const KvxSource *src);
KVXAPP_API void source_set_source_file(KvxSource *src, const char *name);
KVXAPP_API const char *source_get_source_dir(const KvxSource *src);
KVXAPP_API const char *source_get_source_dir_default(const KvxSource *src);
KVXAPP_API int source_set_source_dir(KvxSource *src, const char *dir);
KVXAPP_API void source_unset_source_dir(KvxSource *src);
KVXAPP_API const char *source_get_object_dir(const KvxSource *src);
KVXAPP_API const char *source_get_object_dir_default(const KvxSource *src);
KVXAPP_API int source_set_object_dir(KvxSource *src, const char *dir);
KVXAPP_API void source_unset_object_dir(KvxSource *src);
KVXAPP_API int source_set_default_object(KvxSource *src, const char *dir);
KVXAPP_API int source_set_object(KvxSource *src, const char *path);
KVXAPP_API const char *source_get_object_file(const KvxSource *src);
KVXAPP_API void source_set_object_file(KvxSource *src, const char *name);
KVXAPP_API char *source_get_object(const KvxSource *src);          /* new */
KVXAPP_API char *source_get_object_macro(const KvxSource *src);    /* new */
KVXAPP_API char *source_get_filename(const KvxSource *src);        /* new */
KVXAPP_API char *source_get_filename_macro(const KvxSource *src);  /* new */
KVXAPP_API int source_compare_object_name(const KvxSource *src, const char *path);
KVXAPP_API const char *source_get_get_source(const KvxSource *src);
KVXAPP_API const char *source_get_get_source_default(const KvxSource *src);
KVXAPP_API int source_set_get_source(KvxSource *src, const char *command);

KVXAPP_API void source_set_use_default_cc_options(KvxSource *src, int use);
KVXAPP_API int source_get_use_default_cc_options(const KvxSource *src);
KVXAPP_API const char *source_get_cc_options(const KvxSource *src); /* "" when none */
KVXAPP_API void source_set_cc_options(KvxSource *src, const char *options);
KVXAPP_API int source_present_cc_option(const KvxSource *src, const char *word);
KVXAPP_API void source_remove_cc_option(KvxSource *src, const char *word);
KVXAPP_API void source_compute_cc_options(KvxSource *src, const char *common);

KVXAPP_API void source_set_use_default_kvx_options(KvxSource *src, int use);
KVXAPP_API int source_get_use_default_kvx_options(const KvxSource *src);
KVXAPP_API const char *source_get_kvx_options(const KvxSource *src, int slot);
KVXAPP_API void source_set_kvx_options(KvxSource *src, int slot, const char *value);
/* Sets the slot whose key is key (the slot after the last key otherwise). */
KVXAPP_API void source_add_kvx_option(KvxSource *src, const char *key, const char *value);
/* Getters answer with the application's value while use_default_kvx_options
 * is set. */
KVXAPP_API void source_set_dialect(KvxSource *src, const char *dialect);
KVXAPP_API const char *source_get_dialect(KvxSource *src);
KVXAPP_API void source_set_ignore(KvxSource *src, const char *file);
KVXAPP_API const char *source_get_ignore(KvxSource *src);
KVXAPP_API void source_set_expand_macro(KvxSource *src, int expand);
KVXAPP_API int source_get_expand_macro(const KvxSource *src);
KVXAPP_API void source_set_macro_file(KvxSource *src, const char *file);
KVXAPP_API const char *source_get_macro_file(KvxSource *src);
KVXAPP_API void source_set_request_file(KvxSource *src, const char *file);
KVXAPP_API const char *source_get_request_file(KvxSource *src);
KVXAPP_API void source_set_header(KvxSource *src, int check_headers);
KVXAPP_API int source_get_header(const KvxSource *src);
KVXAPP_API const char *source_get_dial_option(const KvxSource *src);

KVXAPP_API int source_is_marked(const KvxSource *src);
KVXAPP_API void source_set_marked(KvxSource *src, int marked);
KVXAPP_API void source_invert_mark(KvxSource *src);
KVXAPP_API void source_set_ok(KvxSource *src, int ok);
KVXAPP_API int source_is_ok(const KvxSource *src);
/* 1 when the file cannot be examined or was modified after t. */
KVXAPP_API int source_is_modified(const KvxSource *src, time_t t);
/* " %s %s" with "->" (marked) or "  " and the base name; static buffer. */
KVXAPP_API const char *source_format(const KvxSource *src);
/* Prints the record on standard output. */
KVXAPP_API void source_print(const KvxSource *src);
/* Writes one file tuple of a description file. */
KVXAPP_API void source_save(const KvxSource *src, FILE *stream, int owner, int identity);

/* ------------------------------------------------------------------------ */
/* Makefiles and build runs                                                  */
/* ------------------------------------------------------------------------ */

/* Commands are run with /bin/sh -c; every name and user value put into
 * them is quoted for the shell.  Names that make cannot carry (blanks,
 * '#', '$', ':', ';', '=', '%', wildcards, quotes and other shell
 * characters) are refused with an error before anything is written or run.
 * The file names of checker options are quoted in the recipes; compiler
 * and link options are written as shell text, as in any makefile. */

/* Writes the makefile of the application to "N.kvx_make" in the current
 * directory; sets DCBPATHNAME to the data base O/N.dcb for the commands
 * run later.  New string: the file name; null when it cannot be made. */
KVXAPP_API char *application_get_makefile(KvxApplication *app);
/* Writes the makefile rules of one file. */
KVXAPP_API void source_make_target(const KvxSource *src, FILE *stream);
/* Name of the instrumented copy of path: a prefix starting with '.', '/'
 * or '~' replaces the directory part, another follows it; the suffix goes
 * before the extension ("src/a.c", "", ".inst" give "src/a.inst.c").  New
 * string; null for an empty path.  _pref_suf takes the application's
 * prefix and suffix. */
KVXAPP_API char *application_pref_suf(const KvxApplication *app, const char *path);
KVXAPP_API char *application_pref_suf_bis(const char *path, const char *prefix, const char *suffix);

/* Build runs: the makefile goes to a temporary file (removed afterwards),
 * the start-up file ".kvx_make_rc" (KVX_MAKE_RC, file search, $KVX_UTIL)
 * runs with its name, the earlier results are removed, then
 * "make -f MAKEFILE [CLEAN] GOAL" runs.  New string: the archive built
 * (static, metric, reverse, data), or null after an error. */
KVXAPP_API char *application_build_res(KvxApplication *app);
KVXAPP_API char *application_build_mtr(KvxApplication *app);
KVXAPP_API char *application_build_cd(KvxApplication *app);
KVXAPP_API char *application_build_dck(KvxApplication *app);
/* The instrumented binary, after the clean target when clean is nonzero.
 * New string: the static archive's name, or null. */
KVXAPP_API char *application_build_binary(KvxApplication *app, int clean);
/* Make target(s), blank-separated, run before the goal of a cleaning
 * build (empty by default). */
KVXAPP_API void application_set_clean_target(const char *text);

/* The source (then object) directory that at least 51 % of the files have
 * becomes the application's; the files in it stop carrying their own, the
 * others keep theirs.  Nothing changes without files. */
KVXAPP_API void application_manage_directory(KvxApplication *app);

/* A new application built from a user's makefile: "make_reader"
 * (KVX_MAKE_READER, file search, $KVX_UTIL) runs in the makefile's
 * directory with the make arguments args (blank-separated words) and
 * prints the commands make would run, which are read as compilations,
 * links, object renamings and changes of directory.  With a variable
 * name, the commands make runs through that variable are read as
 * compilations.  Null on failure (reported); the current directory is
 * the same afterwards. */
KVXAPP_API KvxApplication *application_makefile(const char *makefile, const char *args,
                                                const char *variable);

/* ------------------------------------------------------------------------ */
/* Language and dialect tables                                               */
/* ------------------------------------------------------------------------ */

/* Loads ".kavexo.lang" and each language's dialect file (file search, then
 * $KVX_UTIL, then the util directory of the installation); built-in
 * defaults when none is found.  1 when read from a file, else 0. */
KVXAPP_API int lang_init(void);
/* Loads ".kavexo.dial" as the current dialect table. 1 when read. */
KVXAPP_API int dialect_init(void);
/* The same from explicit files. 1 on success; the tables are unchanged on
 * failure. */
KVXAPP_API int lang_load_file(const char *path);
KVXAPP_API int dialect_load_file(const char *path);
/* Back to the built-in tables. */
KVXAPP_API void lang_reset(void);

/* Current language table (list of KvxLanguage) and default language. */
KVXAPP_API KvxList *lang_get_table(void);
KVXAPP_API const char *lang_get_default_name(void);
/* Makes the language's dialect table and default dialect current; 1 when
 * the language is known, else 0 and nothing changes. */
KVXAPP_API int lang_select(const char *name);
/* Name of the one language whose suffix list holds suffix (no leading dot),
 * or null (unknown or ambiguous). */
KVXAPP_API const char *lang_get_language_of_suffix(const char *suffix);
/* Null-terminated suffix list of a language, or null. */
KVXAPP_API const char *const *lang_get_suffixes(const char *name);
KVXAPP_API int language_get_identity(const KvxLanguage *lang);
KVXAPP_API const char *language_get_name(const KvxLanguage *lang);
KVXAPP_API const char *const *language_get_suffixes(const KvxLanguage *lang);
KVXAPP_API const char *language_get_dialect_file(const KvxLanguage *lang);
KVXAPP_API KvxList *language_get_dialects(const KvxLanguage *lang);
KVXAPP_API const char *language_get_default_dialect(const KvxLanguage *lang);

/* Current dialect table (list of KvxDialect) and its default entry. */
KVXAPP_API KvxList *dialect_get_table(void);
KVXAPP_API const char *dialect_get_default_name(void);
/* Lookups by dialect name (case-insensitive); null when unknown. */
KVXAPP_API const KvxDialect *dialect_find(const char *name);
KVXAPP_API const char *dialect_get_parameter(const char *name);
KVXAPP_API const char *dialect_get_command(const char *name);
KVXAPP_API const char *dialect_get_compiler(const char *name); /* first word */
KVXAPP_API const char *dialect_get_instr_file(const char *name);
KVXAPP_API const char *dialect_get_instr_file_lcsaj(const char *name);
KVXAPP_API int dialect_entry_get_identity(const KvxDialect *d);
KVXAPP_API const char *dialect_entry_get_name(const KvxDialect *d);
KVXAPP_API const char *dialect_entry_get_parameter(const KvxDialect *d);
KVXAPP_API const char *dialect_entry_get_command(const KvxDialect *d);
KVXAPP_API const char *dialect_entry_get_instr_file(const KvxDialect *d);
KVXAPP_API const char *dialect_entry_get_instr_file_lcsaj(const KvxDialect *d);

#ifdef __cplusplus
}
#endif

#endif
