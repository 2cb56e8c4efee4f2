/*
 * system_headers_test.cpp - the GNU dialect with the shipped gnu.def on the
 * C library's headers and on the SQLite amalgamation: kvx_cccp, the
 * in-process way and "gcc -E" must give the same token sequence (white
 * space, line markers and #pragma lines left out), with no message.
 *
 * Skipped when gcc is not installed; the amalgamation part also when
 * scripts/fetch-sqlite.sh cannot provide it.
 */
#include <gtest/gtest.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>

#include "driver/diag.h"
#include "pp_harness.h"
#include "preprocessor/scanner.h"

extern char **environ;

using namespace kvx;
using namespace kvx::pp;
using namespace kvx::pp::test;

namespace {

const std::string kSource = KVX_PP_SOURCE_DIR;

int run_program(const std::vector<std::string> &args, const std::string &out_path = "") {
  std::vector<std::string> a = args;
  std::vector<char *> argv;
  for (auto &s : a) argv.push_back(s.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t fa;
  posix_spawn_file_actions_init(&fa);
  if (!out_path.empty()) posix_spawn_file_actions_addopen(&fa, 1, out_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&fa, 2, "/dev/null", O_WRONLY, 0);
  pid_t pid;
  int rc = posix_spawnp(&pid, argv[0], &fa, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&fa);
  if (rc != 0) return -1;
  int st = 0;
  waitpid(pid, &st, 0);
  return WIFEXITED(st) ? WEXITSTATUS(st) : -1;
}

bool have_gcc() { return run_program({"gcc", "--version"}) == 0; }

/* gcc's output with its #pragma lines removed (they are consumed here). */
bool gcc_preprocess(const std::string &src, const std::string &out, const std::vector<std::string> &extra = {}) {
  std::string raw = out + ".raw";
  std::vector<std::string> cmd = {"gcc", "-E", "-xc"};
  cmd.insert(cmd.end(), extra.begin(), extra.end());
  cmd.insert(cmd.end(), {src, "-o", raw});
  if (run_program(cmd) != 0) return false;
  std::string text = read_file(raw), kept;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t nl = text.find('\n', pos);
    if (nl == std::string::npos) nl = text.size();
    size_t b = text.find_first_not_of(" \t", pos);
    if (b >= nl || text.compare(b, 7, "#pragma") != 0) kept.append(text, pos, nl - pos).push_back('\n');
    pos = nl + 1;
  }
  write_file(out, kept);
  unlink(raw.c_str());
  return true;
}

Options gnu_options(const std::string &dialect = "gnu") {
  Options o;
  o.c99 = true;
  o.gnu = dialect == "gnu";
  o.def_file = kSource + "/util/" + dialect + ".def";
  return o;
}

/* The token texts of a scanner, one per line. */
std::string tokens(Scanner &sc) {
  std::string s;
  Token t;
  while (sc.next(t)) {
    s.append(t.text);
    s += '\n';
  }
  return s;
}

/* The first differing line of two token lists, for the failure message. */
std::string first_difference(const std::string &a, const std::string &b) {
  size_t i = 0, line = 1;
  while (i < a.size() && i < b.size() && a[i] == b[i]) {
    if (a[i] == '\n') line++;
    i++;
  }
  size_t sa = a.rfind('\n', i ? i - 1 : 0), sb = b.rfind('\n', i ? i - 1 : 0);
  sa = sa == std::string::npos ? 0 : sa + 1;
  sb = sb == std::string::npos ? 0 : sb + 1;
  return "token " + std::to_string(line) + ": \"" + a.substr(sa, a.find('\n', sa) - sa) + "\" against \"" +
         b.substr(sb, b.find('\n', sb) - sb) + "\"";
}

struct Outcome {
  std::string ours, external, gcc, messages;
  int errors = 0, warnings = 0;
};

/* Preprocesses src the three ways, with GCC's options given (gcc and the
 * engine's preprocessor both read them) in the dialect of that name;
 * dir holds the temporary files. */
Outcome preprocess_three_ways(const std::string &src, const std::string &dir,
                              const std::vector<std::string> &extra = {}, const std::string &dialect = "gnu") {
  Outcome r;
  std::string gout = dir + "/gcc.i";
  std::vector<std::string> gcc_extra = extra;
  if (dialect != "gnu") gcc_extra.insert(gcc_extra.begin(), "-std=" + dialect);
  if (!gcc_preprocess(src, gout, gcc_extra)) {
    r.gcc = "(gcc failed)";
  } else {
    Diagnostics d(tmpfile());
    Scanner theirs(Options(), d);
    if (theirs.open_preprocessed(gout, src, true)) r.gcc = tokens(theirs);
  }
  FILE *msgs = tmpfile();
  Diagnostics diag(msgs);
  Options o = gnu_options(dialect);
  o.args = extra;
  {
    Scanner ours(o, diag);
    if (ours.open_source(src)) r.ours = tokens(ours);
  }
  std::string lst = dir + "/out.lst";
  std::vector<std::string> cccp = {cccp_path(), "-dial", dialect, "-ddef", o.def_file};
  cccp.insert(cccp.end(), extra.begin(), extra.end());
  cccp.insert(cccp.end(), {src, lst});
  int rc = run_program(cccp, dir + "/cccp.err");
  if (rc != 0) r.messages += "kvx_cccp exit status " + std::to_string(rc) + "\n";
  {
    Options read_back = gnu_options(dialect);
    Scanner ext(read_back, diag);
    if (ext.open_preprocessed(lst, src, true)) r.external = tokens(ext);
  }
  r.errors = diag.error_count();
  r.warnings = diag.warning_count();
  fflush(msgs);
  rewind(msgs);
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, msgs)) > 0) r.messages.append(buf, n);
  fclose(msgs);
  return r;
}

class SystemHeader : public testing::TestWithParam<const char *> {};

TEST_P(SystemHeader, SameTokensAsGccBothWays) {
  if (!have_gcc()) GTEST_SKIP() << "gcc is not installed";
  std::string dir = temp_dir();
  std::string src = dir + "/tu.c";
  write_file(src, std::string("#include <") + GetParam() + ">\nint kvx_after_header;\n");
  Outcome r = preprocess_three_ways(src, dir);
  ASSERT_NE(r.gcc, "(gcc failed)");
  EXPECT_EQ(r.messages, "");
  EXPECT_EQ(r.errors + r.warnings, 0);
  EXPECT_TRUE(r.ours == r.gcc) << GetParam() << ": in-process against gcc: " << first_difference(r.ours, r.gcc);
  EXPECT_TRUE(r.external == r.ours) << GetParam() << ": kvx_cccp against in-process: "
                                    << first_difference(r.external, r.ours);
  EXPECT_NE(r.ours.find("kvx_after_header"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(
    Headers, SystemHeader,
    testing::Values("assert.h", "ctype.h", "errno.h", "fenv.h", "float.h", "inttypes.h", "limits.h",
                    "locale.h", "math.h", "setjmp.h", "signal.h", "stdalign.h", "stdarg.h", "stdatomic.h",
                    "stdbool.h", "stddef.h", "stdint.h", "stdio.h", "stdlib.h", "stdnoreturn.h", "string.h",
                    "tgmath.h", "threads.h", "time.h", "uchar.h", "wchar.h", "wctype.h", "complex.h",
                    "pthread.h", "unistd.h", "fcntl.h", "dirent.h", "sys/types.h", "sys/stat.h",
                    "sys/socket.h", "sys/time.h", "sys/mman.h", "sys/wait.h", "netinet/in.h", "arpa/inet.h",
                    "netdb.h", "poll.h", "dlfcn.h", "regex.h", "glob.h", "termios.h", "syslog.h",
                    "x86intrin.h"),
    [](const testing::TestParamInfo<const char *> &i) {
      std::string n = i.param;
      for (char &c : n)
        if (!isalnum((unsigned char)c)) c = '_';
      return n;
    });

/* The path of the amalgamation, or empty when it cannot be had. */
std::string sqlite_source(const std::string &dir) {
  std::string out = dir + "/path";
  if (run_program({"sh", kSource + "/scripts/fetch-sqlite.sh"}, out) != 0) return {};
  std::string p = read_file(out);
  while (!p.empty() && (p.back() == '\n' || p.back() == '\r')) p.pop_back();
  return access(p.c_str(), R_OK) == 0 ? p : std::string();
}

TEST(SqliteAmalgamation, SameTokensAsGccWithSystemIncludes) {
#ifdef __SANITIZE_ADDRESS__
  GTEST_SKIP() << "too slow under the sanitizers";
#endif
  if (!have_gcc()) GTEST_SKIP() << "gcc is not installed";
  std::string dir = temp_dir();
  std::string src = sqlite_source(dir);
  if (src.empty()) GTEST_SKIP() << "the SQLite amalgamation cannot be had (scripts/fetch-sqlite.sh failed)";
  Outcome r = preprocess_three_ways(src, dir);
  ASSERT_NE(r.gcc, "(gcc failed)");
  EXPECT_EQ(r.errors, 0) << r.messages;
  EXPECT_TRUE(r.ours == r.gcc) << "in-process against gcc: " << first_difference(r.ours, r.gcc);
  EXPECT_TRUE(r.external == r.ours) << "kvx_cccp against in-process: " << first_difference(r.external, r.ours);
}

/* GCC's preprocessing options, each with its argument attached and in the
 * next word: the same tokens as gcc -E with them, both ways. */
struct GccOptions : testing::Test {
  std::string dir = temp_dir();
  std::string src = dir + "/tu.c";
  GccOptions() {
    for (const char *d : {"/quote", "/user", "/isys", "/after", "/forced"}) mkdir((dir + d).c_str(), 0755);
    write_file(dir + "/quote/q.h", "int q_from_iquote;\n");
    write_file(dir + "/isys/q.h", "int q_from_isystem;\n");
    write_file(dir + "/user/b.h", "int b_from_I;\n");
    write_file(dir + "/isys/b.h", "int b_from_isystem;\n");
    write_file(dir + "/isys/a.h", "int a_from_isystem;\n");
    write_file(dir + "/after/a.h", "int a_from_idirafter;\n");
    write_file(dir + "/after/after.h", "int only_after;\n");
    write_file(dir + "/forced/first.h", "#define FORCED 1\nint from_include;\n");
    write_file(dir + "/forced/macros.h", "#define IMACRO 2\nint dropped_from_imacros;\n");
    write_file(src,
               "#include \"q.h\"\n#include <q.h>\n#include <b.h>\n#include <a.h>\n#include <after.h>\n"
               "int f = FORCED, m = IMACRO;\n");
  }
  void same_as_gcc(const std::vector<std::string> &options) {
    std::string shown;
    for (const std::string &o : options) shown += " " + o;
    Outcome r = preprocess_three_ways(src, dir, options);
    ASSERT_NE(r.gcc, "(gcc failed)") << shown;
    EXPECT_EQ(r.errors + r.warnings, 0) << shown << "\n" << r.messages;
    EXPECT_TRUE(r.ours == r.gcc) << shown << ": in-process against gcc: " << first_difference(r.ours, r.gcc);
    EXPECT_TRUE(r.external == r.ours) << shown << ": kvx_cccp against in-process: "
                                      << first_difference(r.external, r.ours);
  }
};

TEST_F(GccOptions, IncludeDirectoriesAndForcedIncludesInBothForms) {
  if (!have_gcc()) GTEST_SKIP() << "gcc is not installed";
  same_as_gcc({"-iquote", dir + "/quote", "-I", dir + "/user", "-isystem", dir + "/isys", "-idirafter",
               dir + "/after", "-include", dir + "/forced/first.h", "-imacros", dir + "/forced/macros.h"});
  same_as_gcc({"-iquote" + dir + "/quote", "-I" + dir + "/user", "-isystem" + dir + "/isys",
               "-idirafter" + dir + "/after", "-include" + dir + "/forced/first.h",
               "-imacros" + dir + "/forced/macros.h"});
}

/* What -std=, -ansi and -trigraphs change: the macros of the language
 * level, trigraphs, and '//' comments in ISO C90. */
TEST(GccLanguageOptions, StandardsTrigraphsAndLineComments) {
  if (!have_gcc()) GTEST_SKIP() << "gcc is not installed";
  std::string dir = temp_dir();
  std::string src = dir + "/tu.c";
  write_file(src,
             "char *tri = \"?\?= ?\?( ?\?/?\?/ ?\?) ?\?' ?\?< ?\?! ?\?> ?\?- ?\?\?\";\n"
             "int slashes = 1 //**/ 2\n;\n"
             "long version = __STDC_VERSION__;\n"
             "#ifdef __STRICT_ANSI__\nint strict;\n#endif\n"
             "int os = linux + unix;\n"
             "#ifdef __GNUC_GNU_INLINE__\nint gnu_inline;\n#endif\n"
             "#ifdef __GNUC_STDC_INLINE__\nint stdc_inline;\n#endif\n"
             "#ifdef __STDC_UTF_16__\nint utf16;\n#endif\n");
  for (std::vector<std::string> options :
       {std::vector<std::string>{}, {"-trigraphs"}, {"-ansi"}, {"-std=c89"}, {"-std=gnu89"}, {"-std=c99"},
        {"-std=gnu99"}, {"-std=iso9899:199409"}, {"-std=c11"}, {"-std=gnu11"}, {"-std=c17"}, {"-std=c2x"},
        {"-std=gnu99", "-trigraphs"}, {"-trigraphs", "-std=gnu99"}}) {
    std::string shown;
    for (const std::string &o : options) shown += " " + o;
    Outcome r = preprocess_three_ways(src, dir, options);
    ASSERT_NE(r.gcc, "(gcc failed)") << shown;
    EXPECT_EQ(r.errors, 0) << shown << "\n" << r.messages;
    EXPECT_TRUE(r.ours == r.gcc) << shown << ": in-process against gcc: " << first_difference(r.ours, r.gcc);
    EXPECT_TRUE(r.external == r.ours) << shown << ": kvx_cccp against in-process: "
                                      << first_difference(r.external, r.ours);
  }
  /* the strict dialects take GCC's other levels too */
  for (const char *dialect : {"c99", "c11"})
    for (const char *level : {"-std=gnu11", "-std=c99", "-std=gnu89"}) {
      Outcome r = preprocess_three_ways(src, dir, {level}, dialect);
      EXPECT_TRUE(r.ours == r.gcc) << dialect << " " << level << ": " << first_difference(r.ours, r.gcc);
      EXPECT_TRUE(r.external == r.ours) << dialect << " " << level << ": " << first_difference(r.external, r.ours);
    }
}

}  // namespace
