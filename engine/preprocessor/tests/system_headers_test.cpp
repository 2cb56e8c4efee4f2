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
bool gcc_preprocess(const std::string &src, const std::string &out) {
  std::string raw = out + ".raw";
  if (run_program({"gcc", "-E", "-xc", src, "-o", raw}) != 0) return false;
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

Options gnu_options() {
  Options o;
  o.gnu = o.c99 = true;
  o.def_file = kSource + "/util/gnu.def";
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

/* Preprocesses src the three ways; dir holds the temporary files. */
Outcome preprocess_three_ways(const std::string &src, const std::string &dir) {
  Outcome r;
  std::string gout = dir + "/gcc.i";
  if (!gcc_preprocess(src, gout)) {
    r.gcc = "(gcc failed)";
  } else {
    Diagnostics d(tmpfile());
    Scanner theirs(Options(), d);
    if (theirs.open_preprocessed(gout, src, true)) r.gcc = tokens(theirs);
  }
  FILE *msgs = tmpfile();
  Diagnostics diag(msgs);
  Options o = gnu_options();
  {
    Scanner ours(o, diag);
    if (ours.open_source(src)) r.ours = tokens(ours);
  }
  std::string lst = dir + "/out.lst";
  int rc = run_program({cccp_path(), "-dial", "gnu", "-trigraphs", "-ddef", o.def_file, src, lst},
                       dir + "/cccp.err");
  if (rc != 0) r.messages += "kvx_cccp exit status " + std::to_string(rc) + "\n";
  {
    Scanner ext(o, diag);
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

}  // namespace
