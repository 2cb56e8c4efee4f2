/*
 * make_util.h - helpers of the makefile, build and makefile-reading tests:
 * language tables of their own, stand-in programs first in PATH that
 * record their calls, and the canary files of shell injection checks.
 */
#ifndef KVXAPP_MAKE_UTIL_H
#define KVXAPP_MAKE_UTIL_H

#include "test_util.h"

#include <algorithm>
#include <cstring>
#include <dirent.h>
#include <sys/stat.h>

namespace kvxtest {

/* C (c h) with the dialects GNU (instrumentation source known) and Plain
 * (none); C++ (cc cpp cxx C) with Sun 4.0 (known) and Bare (none). */
inline void load_test_tables(const TempDir &dir) {
  const std::string dial_defs =
      "Entities_Definitions DEFINITIONS ::= BEGIN\n"
      "dialect ::= SEQUENCE OF { SEQUENCE { identity oid, name string, parameter string,"
      " command string, instr_file string, instr_file_lcsaj string } }\n";
  dir.write("c.dial", dial_defs +
                          "dialect ::= { { \"1\", \"GNU\", \"gnu\", \"kvx_cc -dial gnu\","
                          " \"/opt/kvx/instr/c/trqins_kvx2.c\", \"\" },\n"
                          " { \"2\", \"Plain\", \"plain\", \"kvx_cc -dial plain\", \"\", \"\" } }\nEND\n");
  dir.write("cxx.dial", dial_defs +
                            "dialect ::= { { \"1\", \"Sun 4.0\", \"sun\", \"kvx_c++ -dial sun\","
                            " \"/opt/kvx/instr/cxx/trqins.c\", \"\" },\n"
                            " { \"2\", \"Bare\", \"bare\", \"kvx_c++ -dial bare\", \"\", \"\" } }\nEND\n");
  std::string lang = dir.write(
      "test.lang",
      "Entities_Definitions DEFINITIONS ::= BEGIN\n"
      "language ::= SEQUENCE OF { SEQUENCE { identity oid, name string, file_suffix string,"
      " dialect_file string } }\n"
      "language ::= { { \"1\", \"C\", \"c h\", \"c.dial\" }, { \"2\", \"C++\", \"cc cpp cxx C\", \"cxx.dial\" } }\n"
      "END\n");
  ASSERT_EQ(lang_load_file(lang.c_str()), 1);
}

/* Base of the tests that run on the tables above. */
class TablesTest : public KvxTest {
 protected:
  void SetUp() override {
    KvxTest::SetUp();
    load_test_tables(tables);
  }
  void TearDown() override {
    lang_reset();
    KvxTest::TearDown();
  }
  TempDir tables;
};

/* Writes an executable script. */
inline std::string write_script(const TempDir &dir, const std::string &name, const std::string &body) {
  std::string path = dir.write(name, "#!/bin/sh\n" + body);
  chmod(path.c_str(), 0755);
  return path;
}

/* A directory of stand-in programs put first in PATH for a scope.  Each
 * stand-in appends "NAME ARGS" (one argument per line after the name) to
 * the log, then runs the body given. */
class StandIns {
 public:
  StandIns() : path_(std::string(bin_.path()) + ":" + (getenv("PATH") ? getenv("PATH") : "")) {
    old_ = getenv("PATH") ? getenv("PATH") : "";
    setenv("PATH", path_.c_str(), 1);
  }
  ~StandIns() { setenv("PATH", old_.c_str(), 1); }
  void add(const std::string &name, const std::string &body = "") {
    write_script(bin_, name,
                 "{ printf '%s\\n' \"== " + name + "\"; for a in \"$@\"; do printf '%s\\n' \"$a\"; done; } >> " +
                     log() + "\n" + body + "\n");
  }
  std::string log() const { return "'" + bin_.file("calls.log") + "'"; }
  std::string calls() const { return read_file(bin_.file("calls.log")); }
  void clear() const { unlink(bin_.file("calls.log").c_str()); }

 private:
  TempDir bin_;
  std::string path_, old_;
};

/* Names that a shell would take for commands if they ever reached it
 * unquoted: each would create the canary file "pwned" in the current
 * directory. */
inline std::vector<std::string> hostile_names() {
  return {"a b", "x;touch pwned", "$(touch pwned)", "`touch pwned`", "q'uote;touch pwned"};
}

/* The names in a directory, sorted. */
inline std::vector<std::string> read_dir(const std::string &dir) {
  std::vector<std::string> out;
  if (DIR *d = opendir(dir.c_str())) {
    while (dirent *e = readdir(d))
      if (strcmp(e->d_name, ".") != 0 && strcmp(e->d_name, "..") != 0) out.push_back(e->d_name);
    closedir(d);
  }
  std::sort(out.begin(), out.end());
  return out;
}

inline bool exists(const std::string &path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0;
}

}  // namespace kvxtest

#endif
