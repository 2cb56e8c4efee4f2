/*
 * tessary_compdb.h - reading a compilation database (compile_commands.json,
 * as CMake, Meson and build-capture tools write it) into an application:
 * one file entry per C translation unit with the macros and include
 * directories its compiler received, what every file shares factored into
 * the application level.
 */
#ifndef TESSARY_COMPDB_H
#define TESSARY_COMPDB_H

#include <string>
#include <vector>

#include "tessary_text.h"

class CApplication;

/* One C translation unit as its compiler saw it. */
struct SCompileEntry {
  CPathName file;       /* full, canonical */
  CPathName directory;  /* the directory the compiler ran in */
  /* "NAME" or "NAME=value", in command-line order, -U applied. */
  std::vector<std::string> defines;
  /* Full directories in the compiler's search order: -iquote, -I,
   * -isystem, -idirafter; each once. */
  std::vector<std::string> includes;
  /* Files of -include, full. */
  std::vector<std::string> forcedIncludes;
  /* The last -std= value, as written ("" without one). */
  std::string standard;
};

class CCompilationDatabase {
 public:
  /* Reads the database.  Throws 34007 for a missing file, 34001 for one
   * that cannot be read and 34004 for text that is not a compilation
   * database (GetErrorDetail() then says why).  Entries that lack a file or
   * a command are counted as invalid and skipped. */
  void Load(const CPathName &path);
  /* The same from text; path names the database in messages. */
  void LoadText(const std::string &text, const CPathName &path);

  /* The C translation units, one per file, in database order. */
  const std::vector<SCompileEntry> &GetEntries() const { return entries_; }
  int GetEntryCount() const { return total_; }
  int GetDuplicateCount() const { return duplicates_; }
  int GetInvalidCount() const { return invalid_; }
  /* Entries that are not C (C++, assembler, headers...): skipped. */
  const std::vector<CPathName> &GetSkippedFiles() const { return skipped_; }
  int GetSkippedCount() const { return static_cast<int>(skipped_.size()); }
  /* Options the checker cannot be given ("-include", "-U" of a macro the
   * command line did not define), each with the number of entries. */
  const std::vector<std::pair<std::string, int>> &GetUnsupportedOptions() const { return unsupported_; }
  /* The dialect option the entries' -std= values map to (the most frequent
   * one), "" when none was given. */
  std::string GetDialectOption() const;
  const std::string &GetErrorDetail() const { return detail_; }

  /* Gives every entry a file entry of app (added, or updated when the
   * application lists the file already), checked and marked referenced,
   * with its own macros and include directories; the macros of every entry
   * and the include directories that begin every entry's list go to the
   * application level instead.  The application's macros and include
   * directories are replaced. */
  void ImportInto(CApplication &app) const;

 private:
  void Clear();
  void AddUnsupported(const std::string &option);

  std::vector<SCompileEntry> entries_;
  std::vector<CPathName> skipped_;
  std::vector<std::pair<std::string, int>> unsupported_;
  int total_ = 0, duplicates_ = 0, invalid_ = 0;
  std::string detail_;
};

/* Splits a command as a POSIX shell would split its words (single and
 * double quotes, backslash escapes), without any expansion. */
std::vector<std::string> SplitShellWords(const std::string &text);
/* The dialect option of a -std= value ("c99" gives "c99", "gnu11" gives
 * "gnu"); "" for a value that names no C standard. */
std::string MapStandardToDialect(const std::string &standard);

#endif
