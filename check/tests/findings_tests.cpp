/* From the checker's records to the findings shown: which files belong to
 * the project, each finding once and in order, inline and file
 * suppressions, baselines that survive moved lines, globs. */
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "findings.h"
#include "output.h"

namespace fs = std::filesystem;

namespace {

class Dir {
 public:
  Dir() {
    char t[] = "/tmp/kvx_check_t_XXXXXX";
    path = mkdtemp(t);
    path += "/";
  }
  ~Dir() { fs::remove_all(path); }
  std::string Write(const std::string &rel, const std::string &text) const {
    fs::create_directories(fs::path(path + rel).parent_path());
    std::ofstream(path + rel, std::ios::binary) << text;
    return path + rel;
  }
  std::string path;
};

SViolation Record(const std::string &file, long line, const std::string &rule, const std::string &msg,
                  const std::string &fn = "") {
  SViolation v;
  v.file = file;
  v.line = line;
  v.rule = rule;
  v.message = msg;
  v.function = fn;
  return v;
}

TEST(AllowComments, NameTheirKeysAndReason) {
  std::vector<std::string> keys;
  std::string reason;
  EXPECT_TRUE(ParseAllowComment("  goto out; /* kvx-allow NO_GOTO, SINGLE_EXIT: one exit */ x", keys, reason));
  EXPECT_EQ(keys, (std::vector<std::string>{"NO_GOTO", "SINGLE_EXIT"}));
  EXPECT_EQ(reason, "one exit");
  EXPECT_TRUE(ParseAllowComment("x = 1; //kvx-allow ASSIGNMENT_VALUE", keys, reason));
  EXPECT_EQ(keys, (std::vector<std::string>{"ASSIGNMENT_VALUE"}));
  EXPECT_EQ(reason, "");
  /* Outside a comment, or without a key, the word allows nothing. */
  EXPECT_FALSE(ParseAllowComment("const char *s = \"kvx-allow NO_GOTO\";", keys, reason));
  EXPECT_FALSE(ParseAllowComment("/* kvx-allow : nothing named */", keys, reason));
}

TEST(Globs, MatchPathsAndTheirDirectories) {
  EXPECT_TRUE(MatchesGlob("vendor", "vendor/zlib/a.c"));
  EXPECT_TRUE(MatchesGlob("vendor/", "vendor/a.c"));
  EXPECT_TRUE(MatchesGlob("./src/*.gen.c", "src/x.gen.c"));
  EXPECT_TRUE(MatchesGlob("*.gen.c", "deep/er/x.gen.c"));
  EXPECT_TRUE(MatchesGlob("src/*/test_*.c", "src/a/test_b.c"));
  EXPECT_FALSE(MatchesGlob("vendor", "src/vendor.c"));
  EXPECT_FALSE(MatchesGlob("", "a.c"));
}

TEST(LocatedMessages, SplitIntoFileLineAndText) {
  std::string file, text;
  long line = 0;
  ASSERT_TRUE(SplitLocatedMessage("/p/my (1) dir/a.c(12) : Error:  syntax error before `;'", file, line, text));
  EXPECT_EQ(file, "/p/my (1) dir/a.c");
  EXPECT_EQ(line, 12);
  EXPECT_EQ(text, "syntax error before `;'");
  EXPECT_FALSE(SplitLocatedMessage("Error(s): during tcl evaluation", file, line, text));
}

class Collect : public ::testing::Test {
 protected:
  void SetUp() override {
    ctx.cwd = dir.path;
    ctx.root = dir.path + "proj/";
    ctx.systemDirs = {dir.path + "proj/sysinc/"};
    a = dir.Write("proj/src/a.c",
                  "int a(void)\n"
                  "{\n"
                  "    goto out; /* kvx-allow no_goto: the one exit */\n"
                  "    /* kvx-allow SWITCH_DEFAULT: all values handled */\n"
                  "    switch (x) { case 1: break; }\n"
                  "out: return 0;\n"
                  "}\n");
    h = dir.Write("proj/include/h.h", "struct s { int b : 1; };\n");
    v = dir.Write("proj/vendor/v.c", "int v;\n");
  }
  Dir dir;
  CheckContext ctx;
  std::string a, h, v;
};

TEST_F(Collect, KeepsTheProjectsFindingsOnceInOrder) {
  ctx.opts.excludes = {"vendor"};
  std::vector<SViolation> records = {
      Record(a, 6, "LABEL", "label out", "a"),
      Record(h, 1, "BITS", "bit-field"),
      Record(dir.path + "proj/sysinc/stdio.h", 3, "NAMES", "bad name"),
      Record("/usr/include/stdlib.h", 9, "NAMES", "bad name"),
      Record(v, 1, "GLOBAL", "global"),
      Record(h, 1, "BITS", "bit-field"),  /* the same header from a second source */
      Record(a, 2, "BLOCK", "block"),
      Record("", 0, "APP", ""),
  };
  CollectFindings(ctx, records);
  ASSERT_EQ(ctx.findings.size(), 4u);
  EXPECT_EQ(ctx.findings[0].rule, "APP");
  EXPECT_EQ(ctx.findings[1].relPath, "include/h.h");
  EXPECT_EQ(ctx.findings[1].lineText, "struct s { int b : 1; };");
  EXPECT_EQ(ctx.findings[2].line, 2);
  EXPECT_EQ(ctx.findings[3].line, 6);
  EXPECT_EQ(ctx.findings[3].FullMessage(), "label out (in function a)");
  EXPECT_EQ(ctx.Remaining(), 4);
}

TEST_F(Collect, SuppressionsInTheSourceAndInFiles) {
  std::string list = dir.Write("supp.txt",
                               "# generated code is not ours\n"
                               "include/*.h   BITS, OTHER\n"
                               "src/a.c       LABEL\n");
  ctx.opts.suppressionFiles = {list};
  std::vector<SViolation> records = {
      Record(a, 3, "NO_GOTO", "goto statement", "a"),       /* same line, any letter case */
      Record(a, 5, "SWITCH_DEFAULT", "no default", "a"),   /* the line before */
      Record(a, 5, "SWITCH_TWO", "one clause", "a"),       /* not named: stays */
      Record(a, 5, "NO_GOTO", "not here", "a"),           /* the comment is two lines up */
      Record(h, 1, "BITS", "bit-field"),
      Record(a, 6, "LABEL", "label"),
  };
  CollectFindings(ctx, records);
  std::map<std::string, Finding::Suppressed> by;
  for (const auto &f : ctx.findings) by[f.rule + ":" + std::to_string(f.line)] = f.suppressed;
  EXPECT_EQ(by["NO_GOTO:3"], Finding::Suppressed::Inline);
  EXPECT_EQ(by["NO_GOTO:5"], Finding::Suppressed::No);
  EXPECT_EQ(by["SWITCH_DEFAULT:5"], Finding::Suppressed::Inline);
  EXPECT_EQ(by["SWITCH_TWO:5"], Finding::Suppressed::No);
  EXPECT_EQ(by["BITS:1"], Finding::Suppressed::File);
  EXPECT_EQ(by["LABEL:6"], Finding::Suppressed::File);
  EXPECT_EQ(ctx.Remaining(), 2);
  for (const auto &f : ctx.findings)
    if (f.rule == "NO_GOTO" && f.line == 3) {
      EXPECT_EQ(f.justification, "the one exit");
    }
  ctx.opts.suppressionFiles = {dir.path + "missing.txt"};
  EXPECT_THROW(CheckInputFiles(ctx.opts), FileError);
}

TEST_F(Collect, BaselineSurvivesMovedLinesAndCountsRepeats) {
  std::string base = dir.path + "base.json";
  ctx.findings.clear();
  CollectFindings(ctx, {Record(h, 1, "BITS", "bit-field"), Record(a, 6, "LABEL", "label", "a")});
  std::string fingerprint = Fingerprints(ctx.findings)[0];
  ctx.opts.writeBaseline = base;
  WriteBaseline(ctx, base);

  /* Two lines inserted above: the same findings on other lines. */
  dir.Write("proj/include/h.h", "/* new */\n\nstruct s { int b : 1; };\nstruct t { int c : 1; };\n");
  ctx.opts.baseline = base;
  CollectFindings(ctx, {Record(h, 3, "BITS", "bit-field"), Record(h, 4, "BITS", "bit-field"),
                        Record(a, 6, "LABEL", "label", "b")});
  ASSERT_EQ(ctx.findings.size(), 3u);
  EXPECT_TRUE(ctx.findings[0].inBaseline);    /* moved */
  EXPECT_FALSE(ctx.findings[1].inBaseline);   /* a new line of its own */
  EXPECT_FALSE(ctx.findings[2].inBaseline);   /* the message changed */
  EXPECT_EQ(ctx.Remaining(), 2);
  std::vector<std::string> now = Fingerprints(ctx.findings);
  EXPECT_EQ(now[0], fingerprint);


  dir.Write("bad.json", "{\"findings\": 3}");
  ctx.opts.baseline = dir.path + "bad.json";
  EXPECT_THROW(CheckInputFiles(ctx.opts), FileError);
}

}  // namespace
