/*
 * diff_test.cpp - the token sequence of the fixtures marked "gcc-compare"
 * against that of "gcc -E -undef -nostdinc -trigraphs" on the same file, and
 * of the fixtures marked "gcc-compare-c99" (preprocessed at the C99 level of
 * the GNU dialect, or of C99 or C11 when the fixture names one) against
 * "gcc -E -std=gnu17 -undef -nostdinc" (or -std=c99, -std=c11) with the
 * fixture's -I options.
 *
 * Differences that are by design, kept out of the compared fixtures or
 * filtered here:
 *  - #pragma and #ident lines are consumed here; gcc passes them through
 *    (they are removed from gcc's output before comparing);
 *  - #if arithmetic is 32-bit signed here, gcc computes in intmax_t;
 *  - sizeof, _argt$ and the reserved replacement identifiers in #if are
 *    ours only (gcc rejects them);
 *  - "F()" for a macro with one parameter warns here (the design counts "()"
 *    as no argument); the expansion is the same;
 *  - directives missing from the table are ignored here; gcc rejects them;
 *  - token spacing and the lines of expansion tokens are not compared.
 */
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <dirent.h>
#include <sstream>

#include "pp_harness.h"
#include "preprocessor/scanner.h"

extern char **environ;

using namespace kvx;
using namespace kvx::pp;
using namespace kvx::pp::test;

namespace {

std::string fixture_dir() { return KVX_PP_SOURCE_DIR "/engine/preprocessor/tests/fixtures"; }

std::string token_texts(Scanner &sc) {
  std::string s;
  Token t;
  while (sc.next(t)) {
    s.append(t.text);
    s += '\n';
  }
  return s;
}

bool run_gcc(const std::string &src, const std::string &out, const std::vector<std::string> &extra = {}) {
  std::vector<std::string> a = {"gcc", "-E", "-undef", "-nostdinc", "-w"};
  a.insert(a.end(), extra.begin(), extra.end());
  if (extra.empty()) a.push_back("-trigraphs");
  a.insert(a.end(), {src, "-o", out});
  std::vector<char *> argv;
  for (auto &s : a) argv.push_back(s.data());
  argv.push_back(nullptr);
  pid_t pid;
  if (posix_spawnp(&pid, "gcc", nullptr, nullptr, argv.data(), environ) != 0) return false;
  int st = 0;
  waitpid(pid, &st, 0);
  return WIFEXITED(st) && access(out.c_str(), R_OK) == 0;
}

std::vector<std::string> marked(const std::string &mark) {
  std::vector<std::string> names;
  if (DIR *d = opendir(fixture_dir().c_str())) {
    while (dirent *e = readdir(d)) {
      std::string n = e->d_name;
      if (n.size() > 2 && n.substr(n.size() - 2) == ".c" &&
          read_file(fixture_dir() + "/" + n).find(mark + "\n") != std::string::npos)
        names.push_back(n);
    }
    closedir(d);
  }
  std::sort(names.begin(), names.end());
  return names;
}

/* gcc's output with its #pragma and #ident lines removed. */
void drop_pragmas(const std::string &path) {
  std::string text = read_file(path), kept;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t nl = text.find('\n', pos);
    if (nl == std::string::npos) nl = text.size();
    std::string line = text.substr(pos, nl - pos);
    if (line.rfind("#pragma", 0) != 0 && line.rfind("#ident", 0) != 0) kept += line + "\n";
    pos = nl + 1;
  }
  write_file(path, kept);
}

TEST(GccDifferential, C99LevelSameTokensAsGcc) {
  std::vector<std::string> names = marked("// gcc-compare-c99");
  ASSERT_FALSE(names.empty());
  std::string dir = temp_dir();
  write_file(dir + "/probe.c", "x\n");
  if (!run_gcc(dir + "/probe.c", dir + "/probe.i")) GTEST_SKIP() << "gcc is not available";
  for (const std::string &n : names) {
    std::string src = fixture_dir() + "/" + n;
    std::string text = read_file(src);
    std::vector<std::string> incs;
    std::string dialect = "gnu";
    if (text.rfind("// args:", 0) == 0) {
      std::istringstream w(text.substr(8, text.find('\n') - 8));
      std::string x, prev;
      while (w >> x) {
        size_t d = x.find("$DIR");
        if (d != std::string::npos) x.replace(d, 4, fixture_dir());
        if (prev == "-I") incs.push_back("-I" + x);
        if (prev == "-dial") dialect = x;
        prev = x;
      }
    }
    bool strict = dialect == "c99" || dialect == "c11";
    std::vector<std::string> extra = {strict ? "-std=" + dialect : "-std=gnu17"};
    extra.insert(extra.end(), incs.begin(), incs.end());
    std::string gout = dir + "/" + n + ".i";
    ASSERT_TRUE(run_gcc(src, gout, extra)) << n;
    drop_pragmas(gout);
    Diagnostics diag(tmpfile());
    Options o;
    o.c99 = true;
    o.gnu = !strict;
    o.args = incs;
    Scanner ours(o, diag);
    ASSERT_TRUE(ours.open_source(src));
    Scanner theirs(Options(), diag);
    ASSERT_TRUE(theirs.open_preprocessed(gout, src, true));
    EXPECT_EQ(token_texts(theirs), token_texts(ours)) << n;
  }
}

TEST(GccDifferential, SameTokensAsGcc) {
  std::vector<std::string> names = marked("// gcc-compare");
  ASSERT_FALSE(names.empty());
  std::string dir = temp_dir();
  write_file(dir + "/probe.c", "x\n");
  if (!run_gcc(dir + "/probe.c", dir + "/probe.i")) GTEST_SKIP() << "gcc is not available";
  for (const std::string &n : names) {
    std::string src = fixture_dir() + "/" + n;
    std::string gout = dir + "/" + n + ".i";
    ASSERT_TRUE(run_gcc(src, gout)) << n;
    drop_pragmas(gout);
    Diagnostics diag(tmpfile());
    Options o;
    Scanner ours(o, diag);
    ASSERT_TRUE(ours.open_source(src));
    Scanner theirs(o, diag);
    ASSERT_TRUE(theirs.open_preprocessed(gout, src, true));
    EXPECT_EQ(token_texts(theirs), token_texts(ours)) << n;
  }
}

}  // namespace
