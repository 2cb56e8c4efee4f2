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
  std::string repl(const kvx::IgnoreNode *n) {
    std::string s;
    for (auto &it : n->replacement) s += (it.c_flag ? "C:" : "") + it.text + "|";
    return s;
  }
};

TEST_F(IgnoreTest, PatternsShareTreesAndKeepReplacements) {
  ASSERT_TRUE(read("\n__far -->\n__declspec ( dllexport ) -->\n"
                   "__declspec ( dllimport ) --> extern\n"
                   "c: far_ptr --> * $ x\n   \t\n"));
  EXPECT_EQ(err.text(), "");
  EXPECT_EQ(table.entry_count(), 3u);

  const kvx::IgnoreNode *far = table.find("__far");
  ASSERT_TRUE(far);
  EXPECT_TRUE(far->pattern_end);
  EXPECT_TRUE(far->replacement.empty());

  const kvx::IgnoreNode *d = table.find("__declspec");
  ASSERT_TRUE(d);
  EXPECT_FALSE(d->pattern_end);
  const kvx::IgnoreNode *paren = table.child(*d, "(");
  ASSERT_TRUE(paren);
  EXPECT_EQ(table.next_sibling(*paren), nullptr); /* "(" node reused */
  const kvx::IgnoreNode *exp = table.first_child(*paren);
  ASSERT_TRUE(exp);
  EXPECT_EQ(exp->word, "dllexport");
  const kvx::IgnoreNode *imp = table.next_sibling(*exp);
  ASSERT_TRUE(imp);
  EXPECT_EQ(imp->word, "dllimport");
  const kvx::IgnoreNode *close = table.child(*imp, ")");
  ASSERT_TRUE(close && close->pattern_end);
  EXPECT_EQ(repl(close), "extern|");

  const kvx::IgnoreNode *fp = table.find("far_ptr");
  ASSERT_TRUE(fp);
  EXPECT_EQ(repl(fp), "C:*|C:\n|C:x|");
  EXPECT_EQ(table.find("extern"), nullptr);
}

TEST_F(IgnoreTest, SyntaxErrorStopsAndKeepsEarlierEntries) {
  EXPECT_FALSE(read("one -->\ntwo three\nfour -->\n"));
  EXPECT_EQ(err.text(), path + "(2) : Warning:  syntax error in ignore file\n");
  EXPECT_TRUE(table.find("one"));
  EXPECT_FALSE(table.find("four"));
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
  const kvx::IgnoreNode *a = table.find("a");
  ASSERT_TRUE(a);
  EXPECT_EQ(repl(table.child(*a, "b")), "y|z|");
}

}  // namespace
