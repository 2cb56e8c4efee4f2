/* Reading the checker's console output: which source or rule each error
 * belongs to, also when the checker stops in the middle of a source. */
#include <gtest/gtest.h>

#include "console.h"

namespace {

ConsoleState Feed(const std::vector<std::string> &lines, int status) {
  ConsoleState s;
  for (const auto &l : lines) ReadConsoleLine(s, l);
  FinishConsole(s, status);
  return s;
}

TEST(Console, ErrorsBelongToTheSourceThatRaisedThem) {
  ConsoleState s = Feed({"kvx_cc : using default options file : /x/gnu.def", "",
                         "kvx_progress: begin 0 /p/a.c", "/p/a.h: Warning: redefined", "kvx_progress: source 0 /p/a.c",
                         "kvx_progress: begin 0 /p/bad.c", "/p/bad.c(2) : Error:  syntax error before `;'",
                         "/p/bad.c: Warning: something", "kvx_progress: source 1 /p/bad.c",
                         "kvx_progress: begin 1 /p/c.c", "kvx_progress: source 1 /p/c.c", "kvx_zkck_cc: 1 error(s)."},
                        1);
  EXPECT_EQ(s.sourcesDone, 3);
  ASSERT_EQ(s.failures.size(), 1u);
  EXPECT_EQ(s.failures[0].subject, "/p/bad.c");
  EXPECT_EQ(s.failures[0].messages, std::vector<std::string>{"/p/bad.c(2) : Error:  syntax error before `;'"});
  EXPECT_TRUE(s.otherErrors.empty());
}

TEST(Console, AFatalErrorEndsTheSourceBeingAnalysed) {
  ConsoleState s = Feed({"kvx_progress: begin 0 /p/a.c", "kvx_progress: source 0 /p/a.c",
                         "kvx_progress: begin 0 /p/deep.c",
                         "kvx_zkck_cc: Error: /p/deep.c(9) : Error:  Too many nesting : unable to continue analysis"},
                        2);
  ASSERT_EQ(s.failures.size(), 1u);
  EXPECT_EQ(s.failures[0].subject, "/p/deep.c");
  EXPECT_FALSE(s.failures[0].isRule);
  EXPECT_EQ(s.sourcesDone, 1);
}

TEST(Console, RuleErrorsAndErrorsOutsideAnySource) {
  ConsoleState s = Feed({"kvx_progress: begin 0 /p/a.c", "kvx_progress: source 0 /p/a.c",
                         "kvx_progress: rule 0 /tmp/goto.params", "kvx_progress: rule 0 /r/goto.rule",
                         "Error(s): during tcl evaluation", "\"/r/bad.rule\", line .CODE + 3: invalid command name \"foo\"",
                         "    while executing", "kvx_progress: rule 1 /r/bad.rule", "kvx_zkck_cc: 1 error(s)."},
                        1);
  ASSERT_EQ(s.failures.size(), 1u);
  EXPECT_TRUE(s.failures[0].isRule);
  EXPECT_EQ(s.failures[0].subject, "/r/bad.rule");
  EXPECT_EQ(s.failures[0].messages.size(), 3u);
  EXPECT_EQ(s.ruleLinesDone, 3);

  ConsoleState t = Feed({"/x/procedures.tcl: Error: cannot read", "kvx_zkck_cc: 1 error(s)."}, 1);
  EXPECT_TRUE(t.failures.empty());
  EXPECT_EQ(t.otherErrors, std::vector<std::string>{"/x/procedures.tcl: Error: cannot read"});
}

}  // namespace
