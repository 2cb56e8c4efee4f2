/* Splitting command lines into words and quoting words back. */
#include <gtest/gtest.h>

#include "wendrel_cmdline.h"

#include <random>

using Words = std::vector<std::string>;

TEST(CmdLine, SplitsByTheRule) {
  struct {
    const char *line;
    Words words;
  } cases[] = {
      {"", {}},
      {" \t ", {}},
      {"a  b\tc", {"a", "b", "c"}},
      {"\"a b\" c", {"a b", "c"}},
      {"x\"a b\"y", {"xa by"}},
      {"\"\"", {""}},
      {"a \"\" b", {"a", "", "b"}},
      {"\"a\"\"b\"", {"ab"}},
      {"\"unterminated rest", {"unterminated rest"}},
      {"a\\b c\\\\d", {"a\\b", "c\\\\d"}},
      {"a\\\"b", {"a\"b"}},                    /* 1 backslash: literal quote */
      {"a\\\\\"b c\"", {"a\\b c"}},            /* 2: one backslash, quote acts */
      {"a\\\\\\\"b", {"a\\\"b"}},              /* 3: one backslash, literal quote */
      {"\"trailing\\\\\"", {"trailing\\"}},
      {"line\nbreak", {"line\nbreak"}},
      {"$(touch pwned) ;rm `x` a|b *", {"$(touch", "pwned)", ";rm", "`x`", "a|b", "*"}},
  };
  for (const auto &c : cases) EXPECT_EQ(SplitCmdLine(c.line), c.words) << "line: " << c.line;
}

TEST(CmdLine, QuotesOnlyWhatNeedsIt) {
  EXPECT_EQ(QuoteCmdArg("plain"), "plain");
  EXPECT_EQ(QuoteCmdArg("a\\b"), "a\\b");
  EXPECT_EQ(QuoteCmdArg("$x;y|*"), "$x;y|*");
  EXPECT_EQ(QuoteCmdArg(""), "\"\"");
  EXPECT_EQ(QuoteCmdArg("a b"), "\"a b\"");
  EXPECT_EQ(QuoteCmdArg("dir\\ x\\"), "\"dir\\ x\\\\\"");
  EXPECT_EQ(QuoteCmdArg("say \"hi\""), "\"say \\\"hi\\\"\"");
}

/* Random words over the characters that matter survive quoting and
 * splitting, alone and joined into one line. */
TEST(CmdLine, QuotingRoundTrips) {
  const char alphabet[] = " \t\"\\\\\\$`;|*\n'ab/";
  std::mt19937 rng(1234);
  std::uniform_int_distribution<int> len(0, 12), pick(0, sizeof alphabet - 2), count(1, 5);
  for (int round = 0; round < 3000; ++round) {
    Words words;
    for (int n = count(rng); n > 0; --n) {
      std::string w;
      for (int k = len(rng); k > 0; --k) w += alphabet[pick(rng)];
      words.push_back(w);
      ASSERT_EQ(SplitCmdLine(QuoteCmdArg(w)), Words{w}) << "word: [" << w << "]";
    }
    ASSERT_EQ(SplitCmdLine(JoinCmdLine(words)), words) << "line: [" << JoinCmdLine(words) << "]";
  }
}
