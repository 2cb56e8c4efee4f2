/* Tests of the ignore table and the ignore-file reader. */
#include "driver/diag.h"
#include "driver/ignore.h"

#include "capture.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

struct IgnoreTest : ::testing::Test {
  Capture err;
  kvx::Diagnostics diag{err.f};
  kvx::IgnoreTable table;
  std::string path;

  void TearDown() override {
    if (!path.empty()) remove(path.c_str());
  }
  bool read(const std::string &text) {
    char name[] = "/tmp/kvx_ign_XXXXXX";
    int fd = mkstemp(name);
    FILE *f = fdopen(fd, "w");
    fputs(text.c_str(), f);
    fclose(f);
    path = name;
    return kvx::read_ignore_file(diag, table, path);
  }
  std::string repl(int node) {
    std::string s;
    for (auto &it : table.replacement(node))
      s += (it.c_flag ? "C:" : "") + (it.line_break ? std::string("\n") : it.text) + "|";
    return s;
  }
};

TEST_F(IgnoreTest, PatternsShareTreesAndKeepReplacements) {
  ASSERT_TRUE(read("\n__far -->\n__declspec ( dllexport ) -->\n"
                   "__declspec ( dllimport ) --> extern\n"
                   "c: far_ptr --> * $ x\n   \t\n"));
  EXPECT_EQ(err.text(), "");
  EXPECT_EQ(table.pattern_count(), 4u);

  int far = table.root("__far");
  ASSERT_NE(far, -1);
  EXPECT_TRUE(table.ends(far));
  EXPECT_TRUE(table.replacement(far).empty());

  int d = table.root("__declspec");
  ASSERT_NE(d, -1);
  EXPECT_FALSE(table.ends(d));
  int paren = table.child(d, "(");
  ASSERT_NE(paren, -1);
  int exp = table.child(paren, "dllexport");
  int imp = table.child(paren, "dllimport"); /* both under the one "(" node */
  ASSERT_NE(exp, -1);
  ASSERT_NE(imp, -1);
  int close = table.child(imp, ")");
  ASSERT_NE(close, -1);
  EXPECT_TRUE(table.ends(close));
  EXPECT_EQ(repl(close), "extern|");

  int fp = table.root("far_ptr");
  ASSERT_NE(fp, -1);
  EXPECT_EQ(repl(fp), "C:*|C:\n|C:x|");
  EXPECT_EQ(table.root("extern"), -1);
}

TEST_F(IgnoreTest, SyntaxErrorStopsAndKeepsEarlierEntries) {
  EXPECT_FALSE(read("one -->\ntwo three\nfour -->\n"));
  EXPECT_EQ(err.text(), path + "(2) : Warning:  syntax error in ignore file\n");
  EXPECT_NE(table.root("one"), -1);
  EXPECT_EQ(table.root("four"), -1);
  EXPECT_EQ(diag.warning_count(), 1);
}

TEST_F(IgnoreTest, ArrowBeforeAnyPatternWordIsAnError) {
  EXPECT_FALSE(read("C: --> x\n"));
  EXPECT_FALSE(read("--> x\n"));
  EXPECT_TRUE(table.empty());
  EXPECT_EQ(diag.warning_count(), 2);
}

TEST_F(IgnoreTest, MissingFileIsAWarning) {
  EXPECT_FALSE(kvx::read_ignore_file(diag, table, "/no/such/file.ign"));
  EXPECT_EQ(err.text(), "/no/such/file.ign: Warning:  No such file or directory\n");
  EXPECT_EQ(diag.error_count(), 0);
}

TEST_F(IgnoreTest, RepeatedPatternTakesTheLaterReplacement) {
  ASSERT_TRUE(read("a b --> x\na b --> y z\n"));
  int a = table.root("a");
  ASSERT_NE(a, -1);
  EXPECT_EQ(repl(table.child(a, "b")), "y|z|");
}

}  // namespace
