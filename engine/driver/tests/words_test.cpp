/* Tests of the compile-line splitting rule, list-line words, the line
 * reader and rule-file sections. */
#include "driver/line_reader.h"
#include "driver/rule_file.h"
#include "driver/words.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using Words = std::vector<std::string>;

namespace {

Words split(std::string_view line) {
  Words w;
  kvx::split_compile_line(line, w);
  return w;
}

TEST(SplitCompileLine, BlanksAndNewlinesSeparateTabsDoNot) {
  EXPECT_EQ(split("  -DA   b.c\n"), (Words{"-DA", "b.c"}));
  EXPECT_EQ(split("a\tb.c c.c"), (Words{"a\tb.c", "c.c"}));
  EXPECT_EQ(split("\n"), Words{});
  EXPECT_EQ(split(""), Words{});
  EXPECT_EQ(split("x.c\r\n"), Words{"x.c"});
}

TEST(SplitCompileLine, QuoteForms) {
  /* An option keeps its text around the quoted part. */
  EXPECT_EQ(split("-DNAME=\"a b\" x.c"), (Words{"-DNAME=a b", "x.c"}));
  EXPECT_EQ(split("/DNAME=\"a b\""), (Words{"/DNAME=a b"}));
  /* A quoted file name loses its quotes and keeps its blanks. */
  EXPECT_EQ(split("\"my dir/my file.c\" y.c"), (Words{"my dir/my file.c", "y.c"}));
  /* The closing quote ends the word: the rest up to a separator is dropped. */
  EXPECT_EQ(split("-I\"inc dir\"junk next"), (Words{"-Iinc dir", "next"}));
  EXPECT_EQ(split("\"a b\"c.c d"), (Words{"a b", "d"}));
  /* Empty quoted words disappear; an unclosed quote runs to the line end. */
  EXPECT_EQ(split("\"\" x.c \"\""), Words{"x.c"});
  EXPECT_EQ(split("\"open ended.c\n"), Words{"open ended.c"});
  /* Quoting does not make a tab a separator either. */
  EXPECT_EQ(split("\"a\tb\""), Words{"a\tb"});
}

/* A double quote of the word itself is written \", inside quotes or not;
 * backslashes elsewhere are themselves. */
TEST(SplitCompileLine, EscapedQuotes) {
  EXPECT_EQ(split("-DSHELL_PATH=\\\"/bin/sh\\\" a.c"), (Words{"-DSHELL_PATH=\"/bin/sh\"", "a.c"}));
  EXPECT_EQ(split("\"-DMSG=\\\"a b\\\"\" a.c"), (Words{"-DMSG=\"a b\"", "a.c"}));
  EXPECT_EQ(split("-DMSG=\"\\\"a b\\\"\" a.c"), (Words{"-DMSG=\"a b\"", "a.c"}));
  /* pairs of backslashes before a quote are backslashes, the quote quotes */
  EXPECT_EQ(split("\"C:\\dir\\\\\" x.c"), (Words{"C:\\dir\\", "x.c"}));
  EXPECT_EQ(split("-DP=\\\\\\\"q a.c"), (Words{"-DP=\\\"q", "a.c"}));
  /* backslashes not before a quote stay as they are */
  EXPECT_EQ(split("-DP=a\\b\\\\c \\d"), (Words{"-DP=a\\b\\\\c", "\\d"}));
}

TEST(SplitCompileLine, LongWordsAreKeptWhole) {
  std::string longname(3000, 'x');
  EXPECT_EQ(split("\"" + longname + ".c\""), Words{longname + ".c"});
}

TEST(ListLines, FirstWordAndQuotedRuleNames) {
  EXPECT_EQ(kvx::first_word("  \t r.rule more words\n"), "r.rule");
  EXPECT_EQ(kvx::first_word(" \t\n"), "");
  EXPECT_EQ(kvx::rule_list_name("\"/opt/my rules/goto.rule\" param\n"), "/opt/my rules/goto.rule");
  EXPECT_EQ(kvx::rule_list_name("  plain.rule x\r\n"), "plain.rule");
  EXPECT_EQ(kvx::rule_list_name("\"unclosed name\r\n"), "unclosed name");
}

FILE *stream_of(const std::string &text) {
  FILE *f = tmpfile();
  fwrite(text.data(), 1, text.size(), f);
  rewind(f);
  return f;
}

TEST(LineReader, LinesOfAnyLengthWithNewline) {
  std::string big(100000, 'a');
  FILE *f = stream_of("one\n" + big + "\nlast");
  kvx::LineReader r;
  std::string_view line;
  ASSERT_TRUE(r.read(f, line));
  EXPECT_EQ(line, "one\n");
  ASSERT_TRUE(r.read(f, line));
  EXPECT_EQ(line, big + "\n");
  ASSERT_TRUE(r.read(f, line));
  EXPECT_EQ(line, "last");
  EXPECT_FALSE(r.read(f, line));
  r.release();
  fclose(f);
}

TEST(RuleFile, KeyAndCodeSections) {
  kvx::RuleText rule;
  FILE *f = stream_of(
      ".NAME n\n.KEY  FIRST extra\n.TITLE .CODE is not here\n.KEY SECOND\n"
      ".CODE trailing text ignored\nset a 1\n.KEY not a key\n\nputs $a");
  ASSERT_TRUE(kvx::read_rule_file(f, rule));
  fclose(f);
  EXPECT_TRUE(rule.has_key);
  EXPECT_EQ(rule.key, "SECOND");
  EXPECT_EQ(rule.code, "set a 1\n.KEY not a key\n\nputs $a");

  f = stream_of(".KEY K\n.KEY\n.COMMENT\nno code\n");
  ASSERT_TRUE(kvx::read_rule_file(f, rule));
  fclose(f);
  EXPECT_FALSE(rule.has_key);
  EXPECT_EQ(rule.code, "");
}

}  // namespace
