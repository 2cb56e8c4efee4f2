/*
 * ignore_test.cpp - the ignore table's word trees and their application.
 */
#include <gtest/gtest.h>

#include "frontend/ignore_table.h"
#include "frontend_test_util.h"

namespace kvx::fe {
namespace {

using test::run_text;
using test::RunResult;
using V = std::vector<std::string_view>;

TEST(IgnoreTable, PatternsShareTheirPrefixes) {
  IgnoreTable t;
  EXPECT_TRUE(t.add(V{"__declspec(dllexport)"}, V{}, false));
  EXPECT_TRUE(t.add(V{"__declspec", "(", "dllimport", ")"}, V{"extern"}, true));
  EXPECT_TRUE(t.add(V{"FAR"}, V{}, false));
  EXPECT_FALSE(t.add(V{""}, V{}, false));
  EXPECT_EQ(t.pattern_count(), 3u);
  int r = t.root("__declspec");
  ASSERT_GE(r, 0);
  EXPECT_FALSE(t.ends(r));
  int paren = t.child(r, "(");
  ASSERT_GE(paren, 0);
  int exp = t.child(paren, "dllexport"), imp = t.child(paren, "dllimport");
  ASSERT_GE(exp, 0);
  ASSERT_GE(imp, 0);
  EXPECT_TRUE(t.ends(t.child(exp, ")")));
  const auto &rep = t.replacement(t.child(imp, ")"));
  ASSERT_EQ(rep.size(), 1u);
  EXPECT_EQ(rep[0].text, "extern");
  EXPECT_TRUE(rep[0].c_flag);
  EXPECT_TRUE(t.ends(t.root("FAR")));
  EXPECT_TRUE(t.replacement(t.root("FAR")).empty());
  EXPECT_EQ(t.root("NEAR"), -1);
}

TEST(IgnoreTable, DropsAndReplacesTokensInTheSource) {
  IgnoreTable t;
  t.add(V{"FAR"}, V{}, false);
  t.add(V{"__declspec(dllexport)"}, V{}, false);
  t.add(V{"INT32"}, V{"long"}, false);
  t.add(V{"DECLARE", "(", "x", ")"}, V{"int", "x;", "$", "int", "y;"}, true);
  RunResult r = run_text(
      "char FAR *p;\n"
      "__declspec ( dllexport ) int f(void);\n"
      "INT32 big;\n"
      "DECLARE(x)\n"
      "int g(void) { return x + y; }\n",
      "ansi", nullptr, &t);
  EXPECT_EQ(r.errors, 0) << r.messages;
}

TEST(IgnoreTable, LongestMatchAndFallBack) {
  IgnoreTable t;
  t.add(V{"A", "B"}, V{"int"}, false);
  t.add(V{"A", "B", "C"}, V{"long"}, false);
  t.add(V{"P", "Q", "R"}, V{}, false);
  /* "A B C" is replaced by long, "A B" by int; D stays */
  EXPECT_EQ(run_text("A B C x;\nA B D;\n", "ansi", nullptr, &t).errors, 0);
  /* "P Q" is only a prefix of a pattern: nothing is replaced, so
   * "P Q z;" stays a (wrong) declaration */
  RunResult r = run_text("int P, Q;\nint f(void) { P Q; }\n", "ansi", nullptr, &t);
  EXPECT_EQ(r.messages, "t.c(2) : Error:  syntax error before `Q'\n");
}

TEST(IgnoreTable, ReplacementIsNotMatchedAgain) {
  IgnoreTable t;
  t.add(V{"X"}, V{"X", "X"}, false);
  RunResult r = run_text("int f(void) { X; }\n", "ansi", nullptr, &t);
  /* X X: one syntax error, no endless expansion */
  EXPECT_EQ(r.result.syntax_errors, 1);
}

TEST(IgnoreTable, PatternAtEndOfInput) {
  IgnoreTable t;
  t.add(V{"END", "NOW"}, V{}, false);
  RunResult r = run_text("int a; END", "ansi", nullptr, &t);
  EXPECT_EQ(r.messages, "t.c(1) : Error:  syntax error at end of file\n");
  EXPECT_EQ(run_text("int a; END NOW", "ansi", nullptr, &t).errors, 0);
}

}  // namespace
}  // namespace kvx::fe
