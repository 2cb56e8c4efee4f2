/* rule_sets_test.cpp - the shipped rule sets run as a check run runs them
 * (a parameter file before each rule) over the example project and over
 * the SQLite amalgamation, without a Tcl error. */
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "../run_program.h"

namespace fs = std::filesystem;
using kvxtest::read_file;

namespace {

fs::path source_dir() {
  const char *s = getenv("KVX_SOURCE_DIR");
  return s ? fs::path(s) : fs::path(KVX_RULES_SOURCE_DIR);
}

fs::path build_dir() {
  const char *b = getenv("KVX_BUILD_DIR");
  return b ? fs::path(b) : fs::read_symlink("/proc/self/exe").parent_path().parent_path();
}

/* Writes the rule list of a rule set into the scratch directory: the
 * script that the demonstration uses, so that both stay in step. */
fs::path rule_list(const kvxtest::Scratch &s, const std::string &ruleset) {
  fs::path list = s / "rules.lst";
  kvxtest::Result r = kvxtest::run("/usr/bin/env",
                                   {"env", "tclsh", (source_dir() / "examples" / "rule_list.tcl").string(),
                                    (build_dir() / "rules" / ruleset).string(), s.dir.string()},
                                   s.dir);
  EXPECT_EQ(r.status, 0) << r.err;
  return list;
}

int records(const std::string &report, const std::string &rule = "") {
  std::istringstream in(report);
  std::string line;
  int n = 0;
  while (std::getline(in, line))
    if (line.rfind("R", 0) == 0 && (rule.empty() || line == "R" + rule)) n++;
  return n;
}

kvxtest::Result check(const kvxtest::Scratch &s, const std::string &compile, const std::string &ruleset) {
  s.write("compile.lst", compile);
  fs::path list = rule_list(s, ruleset);
  return kvxtest::run(kvxtest::built_program("kvx_zkck_cc"),
                      {"kvx_zkck_cc", (s / "compile.lst").string(), list.string(),
                       (s / "report.txt").string()},
                      s.dir);
}

/* Each rule set over the example project: it runs to the end and finds
 * what the project was written to show. */
TEST(RuleSets, CheckTheExampleProject) {
  fs::path demo = source_dir() / "examples" / "demo";
  std::string compile;
  for (const char *f : {"main.c", "counter.c", "events.c"})
    compile += "-dial ansi -nocccp -I\"" + demo.string() + "\" \"" + (demo / f).string() + "\"\n";
  struct Expect {
    const char *ruleset;
    const char *rule;
    int count;
  } cases[] = {
      {"default.rsf", "SWITCH_DEFAULT", 1},   {"default.rsf", "ASSIGNMENT_VALUE", 1},
      {"default.rsf", "BITFIELD_PLAIN_INT", 1}, {"default.rsf", "EXTERNAL_DECLARATION", 1},
      {"safety.rsf", "SINGLE_EXIT", 3},        {"safety.rsf", "COMMENT_RATIO", 3},
      {"naming.rsf", "GLOBAL_NAME", 4},
  };
  for (const char *set : {"default.rsf", "safety.rsf", "naming.rsf"}) {
    SCOPED_TRACE(set);
    kvxtest::Scratch s;
    kvxtest::Result r = check(s, compile, set);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err.find("during tcl evaluation"), std::string::npos) << r.err;
    std::string report = read_file(s / "report.txt");
    EXPECT_GT(records(report), 0);
    for (const Expect &e : cases) {
      if (std::string(e.ruleset) != set) continue;
      EXPECT_EQ(records(report, e.rule), e.count) << e.rule;
    }
  }
}

/* The whole default set over a large real program. */
TEST(RuleSets, DefaultSetOverTheSqliteAmalgamation) {
  fs::path src = source_dir() / "bench" / "data" / "package" / "deps" / "sqlite3" / "sqlite3.c";
  if (!fs::exists(src)) GTEST_SKIP() << "no SQLite amalgamation (scripts/fetch-sqlite.sh fetches it)";
  if (!fs::exists(build_dir() / "util" / "gnu.def")) GTEST_SKIP() << "no util/gnu.def in the build";
  kvxtest::Scratch s;
  kvxtest::Result r = check(s, "-dial gnu -nocccp \"" + src.string() + "\"\n", "default.rsf");
  EXPECT_EQ(r.status, 0) << r.err.substr(0, 4000);
  EXPECT_EQ(r.err.find("during tcl evaluation"), std::string::npos) << r.err.substr(0, 4000);
  std::string report = read_file(s / "report.txt");
  EXPECT_GT(records(report), 1000);
  /* Rules that SQLite is known to break somewhere. */
  for (const char *rule : {"NO_GOTO", "SWITCH_DEFAULT", "NO_RECURSION", "ASSIGNMENT_VALUE", "HIDING"})
    EXPECT_GT(records(report, rule), 0) << rule;
}

}  // namespace
