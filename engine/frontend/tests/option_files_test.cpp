/*
 * option_files_test.cpp - .def lines, .mac words and the option file search.
 */
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <unistd.h>

#include "frontend/option_files.h"
#include "frontend_test_util.h"

namespace kvx::fe {
namespace {

struct Recorder : DefSink {
  std::vector<std::string> log;
  bool refuse = false;
  bool define(std::string_view name, int params, std::string_view text) override {
    log.push_back("D " + std::string(name) + "/" + std::to_string(params) + " " + std::string(text));
    return !refuse;
  }
  void include_dir(std::string_view dir) override { log.push_back("I [" + std::string(dir) + "]"); }
  void assertion(std::string_view e) override { log.push_back("A " + std::string(e)); }
};

FILE *from(const std::string &text) {
  FILE *f = tmpfile();
  std::fputs(text.c_str(), f);
  std::rewind(f);
  return f;
}

TEST(DefFile, EntriesOfEveryKind) {
  test::CapturedDiag cd;
  Recorder r;
  FILE *f = from(
      "  \t// a comment\n"
      "/* another */\n"
      "\n"
      "DMAX(a,b) ((a)>(b)?(a):(b))\n"
      "D  ONE\n"
      "D EMPTY() x\n"
      "D WIN32 1\n"
      "\vI  /usr/my include  (ignored)\n"
      "I/opt/inc   \n"
      "A machine ( x86 )\n"
      "A system(posix  (  2001 ) )\n"
      "Xbad line\n"
      "A broken(x86\n"
      "Anoparen\n"
      "D LAST 2");
  read_def_file(f, r, cd.diag);
  std::fclose(f);
  EXPECT_EQ(r.log, (std::vector<std::string>{
                       "D MAX/2 ((a)>(b)?(a):(b))", "D ONE/-1 1", "D EMPTY/0 x", "D WIN32/-1 1",
                       "I [/usr/my include]", "I [/opt/inc]", "A machine(x86)",
                       "A system(posix ( 2001 ))", "D LAST/-1 2"}));
  EXPECT_EQ(cd.diag.warning_count(), 3);
  EXPECT_NE(cd.text().find("syntax error in predefined macros file"), std::string::npos);
}

TEST(DefFile, RefusedDefinitionWarns) {
  test::CapturedDiag cd;
  Recorder r;
  r.refuse = true;
  EXPECT_FALSE(read_def_line("D X 1", r, cd.diag));
  EXPECT_EQ(cd.diag.warning_count(), 1);
  EXPECT_FALSE(read_def_line("D", r, cd.diag));
  EXPECT_FALSE(read_def_line("D F(a 1", r, cd.diag));
  EXPECT_EQ(cd.diag.warning_count(), 3);
}

TEST(MacFile, WordsSeparatedByWhiteSpace) {
  FILE *f = from("NDEBUG  MAX\nMIN\tassert\r\n\nLAST");
  auto names = read_macro_names(f);
  std::fclose(f);
  EXPECT_EQ(names.size(), 5u);
  EXPECT_TRUE(names.count("MIN"));
  EXPECT_TRUE(names.count("LAST"));
  EXPECT_FALSE(names.count(""));
}

class OptionSearch : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/kvx_optsearchXXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    dir_ = tmpl;
    for (const char *d : {"/home", "/util", "/prog", "/util2"})
      ASSERT_EQ(mkdir((dir_ + d).c_str(), 0700), 0);
    saved_home_ = getenv("HOME") ? getenv("HOME") : "";
  }
  void TearDown() override {
    setenv("HOME", saved_home_.c_str(), 1);
    unsetenv("KVX_UTIL");
    unsetenv("KVX_TEST_DEF");
    std::string cmd = dir_;
    for (const char *f : {"/home/zz_kvx.def", "/util/zz_kvx.def", "/util2/zz_kvx.def",
                          "/given.def", "/env.def"})
      unlink((dir_ + f).c_str());
    for (const char *d : {"/home", "/util", "/prog", "/util2", ""}) rmdir((dir_ + d).c_str());
  }
  void touch(const std::string &rel) { std::ofstream(dir_ + rel) << "D X\n"; }
  std::string dir_, saved_home_;
};

TEST_F(OptionSearch, EachStepOnlyWhenTheEarlierFoundNothing) {
  std::string prog = dir_ + "/prog";
  setenv("HOME", (dir_ + "/home").c_str(), 1);
  setenv("KVX_UTIL", (dir_ + "/util").c_str(), 1);
  EXPECT_EQ(find_option_file("", "KVX_TEST_DEF", "zz_kvx.def", prog).by, FoundBy::None);

  touch("/util2/zz_kvx.def"); /* prog/../util2 is not the utility dir */
  touch("/util/zz_kvx.def");
  FoundFile f = find_option_file("", "KVX_TEST_DEF", "zz_kvx.def", prog);
  EXPECT_EQ(f.by, FoundBy::UtilEnv);
  unsetenv("KVX_UTIL");
  f = find_option_file("", "KVX_TEST_DEF", "zz_kvx.def", prog);
  EXPECT_EQ(f.by, FoundBy::Installation);
  EXPECT_EQ(f.path, prog + "/../util/zz_kvx.def");

  touch("/home/zz_kvx.def");
  EXPECT_EQ(find_option_file("", "KVX_TEST_DEF", "zz_kvx.def", prog).by, FoundBy::Home);
  touch("/env.def");
  setenv("KVX_TEST_DEF", (dir_ + "/env.def").c_str(), 1);
  EXPECT_EQ(find_option_file("", "KVX_TEST_DEF", "zz_kvx.def", prog).by, FoundBy::Environment);
  /* a given name that does not exist falls through to the next step */
  EXPECT_EQ(find_option_file(dir_ + "/given.def", "KVX_TEST_DEF", "zz_kvx.def", prog).by,
            FoundBy::Environment);
  touch("/given.def");
  f = find_option_file(dir_ + "/given.def", "KVX_TEST_DEF", "zz_kvx.def", prog);
  EXPECT_EQ(f.by, FoundBy::Option);
  EXPECT_EQ(f.path, dir_ + "/given.def");
  /* a directory is not a file */
  EXPECT_EQ(find_option_file(dir_ + "/home", nullptr, "zz_none.def", "").by, FoundBy::None);
}

}  // namespace
}  // namespace kvx::fe
