/*
 * fixtures_test.cpp - every fixture preprocessed in-process and through
 * kvx_cccp: both must give the expected tokens, events and messages.
 *
 * A fixture is fixtures/NAME.c with NAME.exp beside it.  Its first line may
 * hold "// args: WORDS" (kvx_cccp options, "$DIR" is the fixture directory)
 * and "// env: NAME=VALUE".  With KVX_PP_REGEN=1 the .exp files are
 * rewritten from the in-process run.
 */
#include <dirent.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <sstream>

#include "pp_harness.h"

using namespace kvx::pp::test;

namespace {

std::string fixture_dir() {
  const char *s = getenv("KVX_SOURCE_DIR");
  return std::string(s ? s : ".") + "/engine/preprocessor/tests/fixtures";
}

std::vector<std::string> fixtures() {
  std::vector<std::string> v;
  if (DIR *d = opendir(fixture_dir().c_str())) {
    while (dirent *e = readdir(d)) {
      std::string n = e->d_name;
      if (n.size() > 2 && n.substr(n.size() - 2) == ".c") v.push_back(n.substr(0, n.size() - 2));
    }
    closedir(d);
  }
  std::sort(v.begin(), v.end());
  return v;
}

struct Header {
  std::vector<std::string> words;
  std::string env;
};

Header header(const std::string &text) {
  Header h;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line) && line.rfind("// ", 0) == 0) {
    if (line.rfind("// args:", 0) == 0) {
      std::istringstream w(line.substr(8));
      std::string x;
      while (w >> x) h.words.push_back(x);
    } else if (line.rfind("// env:", 0) == 0) {
      h.env = line.substr(8);
    }
  }
  return h;
}

std::string render(const Run &r) { return r.dump + "--- messages\n" + r.diags; }

class Fixture : public testing::TestWithParam<std::string> {};

TEST_P(Fixture, BothWaysGiveTheExpectedResult) {
  std::string dir = fixture_dir();
  std::string src = dir + "/" + GetParam() + ".c";
  Header h = header(read_file(src));
  std::string envname;
  if (!h.env.empty()) {
    size_t eq = h.env.find('=');
    envname = h.env.substr(0, eq);
    setenv(envname.c_str(), h.env.substr(eq + 1).c_str(), 1);
  }
  kvx::pp::test::Run in = run_inprocess(src, h.words, dir);
  kvx::pp::test::Run ex = run_external(src, h.words, dir);
  if (!envname.empty()) unsetenv(envname.c_str());
  std::string exp_path = dir + "/" + GetParam() + ".exp";
  if (getenv("KVX_PP_REGEN")) write_file(exp_path, render(in));
  std::string expected = read_file(exp_path);
  EXPECT_EQ(expected, render(in)) << "in-process";
  EXPECT_EQ(render(in), render(ex)) << "in-process and kvx_cccp differ";
}

INSTANTIATE_TEST_SUITE_P(Fixtures, Fixture, testing::ValuesIn(fixtures()),
                         [](const testing::TestParamInfo<std::string> &i) { return i.param; });

}  // namespace
