/* Real-world C through kvx_zkck_cc in the GNU dialect: every C and POSIX
 * header of the system alone, and the SQLite amalgamation, whose function
 * definitions must number as many as GCC finds.
 *
 * Each source is analysed both ways (in-process and through kvx_cccp).
 * With the shipped GNU option file the sources go through the engine's own
 * preprocessor; the text that "gcc -E" makes of them is analysed too, so
 * that the parser and the model are checked on exactly GCC's view.  A test
 * skips, saying why, when gcc or the source cannot be had. */
#include "run_program.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <sstream>

namespace fs = std::filesystem;
using kvxtest::Result;
using kvxtest::Scratch;

namespace {

const std::string engine = kvxtest::built_program("kvx_zkck_cc");

std::string build_dir() {
  if (const char *b = getenv("KVX_BUILD_DIR")) return b;
  return fs::path(engine).parent_path().parent_path().string();
}
std::string source_dir() {
  if (const char *s = getenv("KVX_SOURCE_DIR")) return s;
  return fs::path(__FILE__).parent_path().parent_path().string();
}

/* The GNU predefined-macros file shipped with the build, or "". */
std::string shipped_gnu_def() {
  std::string p = build_dir() + "/util/gnu.def";
  return access(p.c_str(), R_OK) == 0 ? p : "";
}

std::string gcc_path() {
  const char *path = getenv("PATH");
  std::stringstream dirs(path ? path : "/usr/bin:/bin");
  std::string d;
  while (std::getline(dirs, d, ':'))
    if (!d.empty() && access((d + "/gcc").c_str(), X_OK) == 0) return d + "/gcc";
  return "";
}

/* gcc -E -P of a source into out; false on failure. */
bool gcc_preprocess(const std::string &gcc, const fs::path &src, const fs::path &out) {
  Result r = kvxtest::run(gcc, {"gcc", "-E", "-P", "-o", out.string(), src.string()}, src.parent_path());
  return r.status == 0;
}

const char *const kRule =
    ".KEY COUNT_FUNCTION_DEFINITIONS\n.CODE\n"
    "puts \"function definitions: [llength [kvx_defined_functions]]\"\n";

/* Analyses the sources of one compile line in the GNU dialect, both ways;
 * returns each run's result (in-process first). */
std::vector<Result> analyse_both_ways(Scratch &s, const std::string &sources, bool count_rule) {
  s.write("count.rule", kRule);
  s.write("r.lst", count_rule ? "count.rule\n" : "");
  std::vector<Result> rs;
  for (const char *way : {" -nocccp", ""}) {
    s.write("c.lst", sources + " -dial gnu" + way + "\n");
    rs.push_back(kvxtest::run(engine, {engine, "c.lst", "r.lst"}, s.dir));
  }
  return rs;
}

/* No error, no warning: the located messages and the summary name them. */
void expect_clean(const Result &r, const std::string &what) {
  EXPECT_EQ(r.status, 0) << what << "\n" << r.err.substr(0, 4000);
  EXPECT_EQ(r.err.find("Error"), std::string::npos) << what << "\n" << r.err.substr(0, 4000);
  EXPECT_EQ(r.err.find("Warning"), std::string::npos) << what << "\n" << r.err.substr(0, 4000);
}

const char *const kHeaders[] = {
    "assert.h", "ctype.h", "errno.h", "fenv.h", "float.h", "inttypes.h", "limits.h", "locale.h",
    "math.h", "setjmp.h", "signal.h", "stdalign.h", "stdarg.h", "stdatomic.h", "stdbool.h",
    "stddef.h", "stdint.h", "stdio.h", "stdlib.h", "stdnoreturn.h", "string.h", "tgmath.h",
    "threads.h", "time.h", "uchar.h", "wchar.h", "wctype.h", "complex.h", "pthread.h", "unistd.h",
    "fcntl.h", "dirent.h", "sys/types.h", "sys/stat.h", "sys/socket.h", "sys/time.h", "sys/mman.h",
    "sys/wait.h", "netinet/in.h", "arpa/inet.h", "netdb.h", "poll.h", "dlfcn.h", "regex.h",
    "glob.h", "termios.h", "syslog.h"};

/* Writes one source per header; returns their names on one line. */
std::string header_sources(Scratch &s, const char *suffix) {
  std::string names;
  int n = 0;
  for (const char *h : kHeaders) {
    std::string name = "h" + std::to_string(n++) + suffix + ".c";
    s.write(name, std::string("#include <") + h + ">\n");
    names += name + " ";
  }
  return names;
}

TEST(SystemHeaders, EachAloneThroughOurPreprocessor) {
  if (shipped_gnu_def().empty()) GTEST_SKIP() << "no util/gnu.def in the build: the GNU option file is not shipped";
  Scratch s;
  std::string names = header_sources(s, "");
  std::vector<Result> rs = analyse_both_ways(s, names, false);
  expect_clean(rs[0], "in-process");
  expect_clean(rs[1], "through kvx_cccp");
}

TEST(SystemHeaders, EachAloneAsGccPreprocessesIt) {
  std::string gcc = gcc_path();
  if (gcc.empty()) GTEST_SKIP() << "gcc is not installed";
  Scratch s;
  header_sources(s, "");
  std::string names;
  for (size_t i = 0; i < std::size(kHeaders); i++) {
    std::string in = "h" + std::to_string(i) + ".c", out = "p" + std::to_string(i) + ".c";
    ASSERT_TRUE(gcc_preprocess(gcc, s / in, s / out)) << kHeaders[i];
    names += out + " ";
  }
  std::vector<Result> rs = analyse_both_ways(s, names, false);
  expect_clean(rs[0], "in-process");
  expect_clean(rs[1], "through kvx_cccp");
}

/* The amalgamation's path from the fetch script ("" when it cannot be had). */
std::string sqlite_source(std::string &why) {
  Scratch s;
  std::string script = source_dir() + "/scripts/fetch-sqlite.sh";
  Result r = kvxtest::run("/bin/sh", {"sh", script}, s.dir);
  if (r.status != 0) {
    why = r.err.empty() ? "scripts/fetch-sqlite.sh failed" : r.err;
    return "";
  }
  std::string path = r.out.substr(0, r.out.find('\n'));
  if (access(path.c_str(), R_OK) != 0) {
    why = "cannot read " + path;
    return "";
  }
  return path;
}

/* GCC's own count of the definitions, from scripts/count-functions.sh. */
int gcc_function_count(const std::string &src, std::string &why) {
  Scratch s;
  Result r = kvxtest::run("/bin/sh", {"sh", source_dir() + "/scripts/count-functions.sh", src}, s.dir);
  if (r.status != 0) {
    why = r.err;
    return -1;
  }
  return std::stoi(r.out);
}

void expect_count(const Result &r, int expected, const std::string &what) {
  expect_clean(r, what);
  EXPECT_NE(r.out.find("function definitions: " + std::to_string(expected) + "\n"), std::string::npos)
      << what << "\n" << r.out.substr(0, 2000);
}

struct Sqlite : ::testing::Test {
  std::string src, gcc, why;
  int expected = -1;
  void SetUp() override {
    gcc = gcc_path();
    if (gcc.empty()) GTEST_SKIP() << "gcc is not installed";
    src = sqlite_source(why);
    if (src.empty()) GTEST_SKIP() << "the SQLite amalgamation cannot be had: " << why;
    expected = gcc_function_count(src, why);
    ASSERT_GT(expected, 1000) << why;
  }
};

TEST_F(Sqlite, ThroughOurPreprocessorCountsAsGccDoes) {
  if (shipped_gnu_def().empty()) GTEST_SKIP() << "no util/gnu.def in the build: the GNU option file is not shipped";
  Scratch s;
  fs::copy_file(src, s / "sqlite3.c");
  std::vector<Result> rs = analyse_both_ways(s, "sqlite3.c", true);
  expect_count(rs[0], expected, "in-process");
  expect_count(rs[1], expected, "through kvx_cccp");
}

TEST_F(Sqlite, AsGccPreprocessesItCountsAsGccDoes) {
  Scratch s;
  ASSERT_TRUE(gcc_preprocess(gcc, src, s / "sqlite3.c"));
  std::vector<Result> rs = analyse_both_ways(s, "sqlite3.c", true);
  expect_count(rs[0], expected, "in-process");
  expect_count(rs[1], expected, "through kvx_cccp");
}

/* sizeof in #if follows the LP64 target in the C99-level dialects, whose
 * option files describe x86-64 Linux (long and pointers 8), both ways; the
 * old dialects keep their 32-bit table, and a "-S" of the compile line
 * still overrides the LP64 one. */
TEST(Lp64, SizeofInConditionsOfTheC99LevelDialects) {
  Scratch s;
  s.write("sz.c", "#if sizeof(long) == 8 && sizeof(char *) == 8 && sizeof(int) == 4\nint lp64;\n"
                  "#else\nint x = ;\n#endif\n");
  s.write("r.lst", "");
  struct Case {
    const char *options;
    int status;
  } cases[] = {{"-dial gnu -nocccp", 0}, {"-dial gnu", 0},         {"-dial GNU_D950 -nocccp", 0},
               {"-dial ansi -nocccp", 1}, {"-dial c11 -nocccp", 0}, {"-dial gnu -nocccp -S1,2,4,4,4,8", 1},
               {"-dial gnu -S1,2,4,4,4,8", 1}};
  for (const Case &c : cases) {
    s.write("c.lst", std::string("sz.c ") + c.options + "\n");
    Result r = kvxtest::run(engine, {engine, "c.lst", "r.lst"}, s.dir);
    EXPECT_EQ(r.status, c.status) << c.options << "\n" << r.err;
  }
}

}  // namespace
