/* End-to-end tests of kvx_zkck_cc's compile lines and rule runs. */
#include "run_program.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace fs = std::filesystem;
using kvxtest::Result;
using kvxtest::Scratch;

namespace {

const std::string engine = kvxtest::built_program("kvx_zkck_cc");
/* Printed once per run on standard output when the dialect's shipped
 * predefined-macros file (the default dialect's unless named) is taken. */
std::string using_def(const std::string &dialect = "msc0900") {
  return "kvx_cc : using default options file : " + fs::path(engine).parent_path().string() + "/../util/" +
         dialect + ".def\n\n";
}
const std::string USING = using_def();

struct RunTest : ::testing::Test {
  Scratch s;
  Result check(const std::string &compile_lines, const std::string &rule_list,
               const std::vector<std::pair<std::string, const char *>> &env = {}) {
    s.write("c.lst", compile_lines);
    s.write("r.lst", rule_list);
    return kvxtest::run(engine, {engine, "c.lst", "r.lst"}, s.dir, env);
  }
};

TEST_F(RunTest, ThisRuleAcrossRulesAndTclErrorOnThirdCodeLine) {
  s.write("a.c", "int a;\n");
  s.write("r1.rule", ".NAME first\n.KEY RULE_1 trailing\n.CODE\nset shared 42\nputs \"1 $thisRule\"\n");
  s.write("r2.rule", ".NAME second\n.CODE\nputs \"2 [info exists thisRule] $shared\"\n");
  s.write("r3.rule", ".KEY RULE_3\n.CODE\nputs \"3 $thisRule\"\nset x 1\nnosuch arg\nputs unreached\n");
  s.write("r4.rule", ".KEY ONLY_KEY\n.COMMENT no code here\n");
  s.write("r5.rule", ".KEY RULE_5\n.CODE\nputs \"5 $thisRule\"\n");
  Result r = check("a.c\n", "r1.rule\n  r2.rule more words\nr3.rule\n\nr4.rule\nr5.rule\n");
  EXPECT_EQ(r.out, USING + "1 RULE_1\n2 0 42\n3 RULE_3\n5 RULE_5\n");
  EXPECT_EQ(r.err,
            "Error(s): during tcl evaluation\n"
            "\"r3.rule\", line .CODE + 3: invalid command name \"nosuch\"\n"
            "    while executing\n"
            "\"nosuch arg\"\n"
            "kvx_zkck_cc: 1 error(s).\n");
  EXPECT_EQ(r.status, 1);
}

TEST_F(RunTest, ConsoleOutputKeepsItsOrder) {
  s.write("a.c", "");
  s.write("b.c", "");
  s.write("r1.rule", ".CODE\nputs -nonewline first\nputs { line}\n");
  s.write("r2.rule", ".CODE\nbad_command\n");
  s.write("r3.rule", ".CODE\nputs third\n");
  s.write("c.lst", "a.c b.c\n");
  s.write("r.lst", "r1.rule\nr2.rule\nr3.rule\n");
  Result r = kvxtest::run(engine, {engine, "c.lst", "r.lst"}, s.dir, {}, true);
  EXPECT_EQ(r.out,
            "\nKavexo analysing:\na.c: \n" + USING + "b.c: \n" + "first line\n"
            "Error(s): during tcl evaluation\n"
            "\"r2.rule\", line .CODE + 1: invalid command name \"bad_command\"\n"
            "    while executing\n\"bad_command\"\n"
            "third\nkvx_zkck_cc: 1 error(s).\n");
  EXPECT_EQ(r.status, 1);
}

TEST_F(RunTest, ErrorWithoutMessageAndMissingRuleFiles) {
  s.write("empty.rule", ".CODE\nerror {}\n");
  s.write("ok.rule", ".CODE\nputs ok\n");
  Result r = check("", "empty.rule\n/no/such.rule\nmissing.rule\nok.rule\n");
  std::string dir = fs::path(engine).parent_path().string();
  EXPECT_EQ(r.out, "ok\n");
  EXPECT_EQ(r.err,
            "Error(s): during tcl evaluation\n"
            "\"empty.rule\", line .CODE + 1: (no tcl error message available)\n"
            "\n    while executing\n\"error {}\"\n"
            "/no/such.rule: Error:  No such file or directory\n" +
                dir + "/missing.rule: Error:  No such file or directory\n"
            "kvx_zkck_cc: 3 error(s).\n");
  EXPECT_EQ(r.status, 1);
}

TEST_F(RunTest, QuotedRuleNamesWithBlanksAndWindowsLineEnds) {
  s.write("my rules/the rule.rule", ".KEY R\r\n.CODE\r\nputs \"$thisRule\"\r\n");
  Result r = check("\r\n", "\"my rules/the rule.rule\" ignored words\r\n");
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.out, "R\n");
  EXPECT_EQ(r.status, 0);
}

TEST_F(RunTest, ErrorsDuringAnalysisStopBeforeTheRules) {
  s.write("a.c", "int a;\n");
  s.write("r.rule", ".CODE\nputs never\n");
  Result r = check("a.c missing.c\nb.c\n", "r.rule\n");
  EXPECT_EQ(r.out, "\nKavexo analysing:\na.c: \n" + USING + "missing.c: \n");
  EXPECT_EQ(r.err,
            "missing.c: Error:  No such file or directory\n"
            "b.c: Error:  No such file or directory\n"
            "kvx_zkck_cc: 2 error(s).\n");
  EXPECT_EQ(r.status, 1);
}

TEST_F(RunTest, SourcesWithBlanksAbsoluteNamesAndSlashOptions) {
  s.write("my dir/a b.c", "int a;\n");
  fs::path abs = s.write("abs.c", "int b;\n");
  s.write("r.rule", ".CODE\nputs done\n");
  Result r = check("/DX=\"1 2\" /W3 \"my dir/a b.c\"\n" + abs.string() + " -ddef /etc/none.def\n", "r.rule\n");
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.out, USING + "done\n");
  EXPECT_EQ(r.status, 0);
  r = check((s / "nodir/none.c").string() + "\n", "r.rule\n");
  EXPECT_EQ(r.err, (s / "nodir/none.c").string() +
                       ": Error:  No such file or directory\nkvx_zkck_cc: 1 error(s).\n");
}

TEST_F(RunTest, DriveLetterNamesStayWholeSubjects) {
  Result r = check("C:/proj/a.c \"D:\\src\\b.c\"\n", "");
  EXPECT_EQ(r.out, "\nKavexo analysing:\na.c: \nb.c: \n");
  EXPECT_EQ(r.err,
            "C:/proj/a.c: Error:  No such file or directory\n"
            "D:\\src\\b.c: Error:  No such file or directory\n"
            "kvx_zkck_cc: 2 error(s).\n");
  EXPECT_EQ(r.status, 1);
}

TEST_F(RunTest, MissingOptionArgumentEndsTheRunWithStatus1) {
  s.write("r.rule", ".CODE\nputs never\n");
  Result r = check("a.c -dial\n", "r.rule\n");
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err.substr(0, r.err.find('\n') + 1),
            "Error(s):  Option -dial has to be followed by a dialect name\n");
  EXPECT_NE(r.err.find("kvx_zkck_cc:\n"), std::string::npos);
  EXPECT_EQ(r.err.find("error(s)."), std::string::npos);
  EXPECT_EQ(r.status, 1);
}

TEST_F(RunTest, SummaryFormsWithWarningsShownAndHidden) {
  s.write("r.rule", ".CODE\nputs rules-ran\n");
  Result r = check("-ign none.ign\n", "r.rule\n");
  EXPECT_EQ(r.err, "none.ign: Warning:  No such file or directory\nkvx_zkck_cc: 1 warning(s).\n");
  EXPECT_EQ(r.out, "rules-ran\n");
  EXPECT_EQ(r.status, 0);

  r = check("-ign none.ign gone.c\n", "r.rule\n");
  EXPECT_EQ(r.err,
            "none.ign: Warning:  No such file or directory\n"
            "gone.c: Error:  No such file or directory\n"
            "kvx_zkck_cc: 1 warning(s), 1 error(s).\n");
  EXPECT_EQ(r.status, 1);

  r = check("-nowarning -ign none.ign\n", "r.rule\n");
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.status, 0);

  /* Hidden warnings still count: the error line loses its prefix. */
  r = check("-nowarning -ign none.ign gone.c\n", "r.rule\n");
  EXPECT_EQ(r.err, "gone.c: Error:  No such file or directory\n1 error(s).\n");
  EXPECT_EQ(r.status, 1);

  /* The switch stays off for later lines. */
  r = check("-nowarning\n-ign none.ign\n", "r.rule\n");
  EXPECT_EQ(r.err, "");
}

TEST_F(RunTest, IgnoreFileSyntaxErrorIsAWarning) {
  s.write("x.ign", "__far -->\nbroken line\n");
  s.write("r.rule", ".CODE\nputs ran\n");
  Result r = check("-ign x.ign\n", "r.rule\n");
  EXPECT_EQ(r.err, "x.ign(2) : Warning:  syntax error in ignore file\nkvx_zkck_cc: 1 warning(s).\n");
  EXPECT_EQ(r.out, "ran\n");
}

TEST_F(RunTest, ResultFilesOfAFailedSourceAreDeleted) {
  s.write("r.lst", "");
  for (const char *f : {"bad.sta", "bad.mtr", "out/bad2.sta"}) s.write(f, "");
  fs::create_directories(s / "out");
  Result r = check("bad.c\n", "");
  EXPECT_EQ(r.status, 1);
  EXPECT_FALSE(fs::exists(s / "bad.sta"));
  EXPECT_FALSE(fs::exists(s / "bad.mtr"));

  for (const char *f : {"bad.sta", "bad.mtr"}) s.write(f, "");
  r = check("-nomtr bad.c\n", "");
  EXPECT_FALSE(fs::exists(s / "bad.sta"));
  EXPECT_TRUE(fs::exists(s / "bad.mtr"));

  s.write("bad.sta", "");
  r = check("bad.c\n", "", {{"KVX_CC_NO_DEL", "1"}});
  EXPECT_TRUE(fs::exists(s / "bad.sta"));

  r = check("-o out sub/bad2.c\n", "");
  EXPECT_FALSE(fs::exists(s / "out/bad2.sta"));
}

TEST_F(RunTest, CompilerCommandGetsAnArgumentVector) {
  fs::path rec = s.write("rec.sh", "#!/bin/sh\nfor a in \"$@\"; do echo \"[$a]\"; done > args.txt\nexit ${RC:-0}\n");
  chmod(rec.c_str(), 0755);
  s.write("my file.c", "int a;\n");
  s.write("lib.o", "");
  s.write("r.rule", ".CODE\nputs rules-ran\n");
  Result r = check("-cc=./rec.sh /W3 -DX \"my file.c\" lib.o \"$(touch pwned)\"\n", "r.rule\n");
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.out, USING + "rules-ran\n");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(kvxtest::read_file(s / "args.txt"), "[-c]\n[/W3]\n[$(touch pwned)]\n[my file.c]\n[lib.o]\n");
  EXPECT_FALSE(fs::exists(s / "pwned"));

  r = check("-cc=./rec.sh \"my file.c\"\n", "r.rule\n", {{"RC", "3"}});
  EXPECT_EQ(r.err, "Error(s): during compilation\n");
  EXPECT_EQ(r.out, USING);
  EXPECT_EQ(r.status, 3);

  r = check("-cc=./no-such-compiler \"my file.c\"\n", "r.rule\n");
  EXPECT_EQ(r.err, "./no-such-compiler: Error:  No such file or directory\nError(s): during compilation\n");
  EXPECT_EQ(r.status, 127);
}

TEST_F(RunTest, CompilerIsNotRunAfterAnError) {
  fs::path rec = s.write("rec.sh", "#!/bin/sh\ntouch ran\n");
  chmod(rec.c_str(), 0755);
  Result r = check("-cc=./rec.sh gone.c\n", "");
  EXPECT_EQ(r.status, 1);
  EXPECT_FALSE(fs::exists(s / "ran"));
}

}  // namespace

namespace {

/* Every source of a line is preprocessed and parsed, in either way of
 * preprocessing; a syntax error stops the run before the rules. */
TEST_F(RunTest, SourcesAreParsedBothWaysAndSyntaxErrorsStopTheRules) {
  s.write("a.c", "#define ONE 1\nint f(int a) { return a + ONE; }\n");
  s.write("b.c", "/* header */\nint g(void)\n{\n  int x = ;\n  return 0;\n}\n");
  s.write("r.rule", ".CODE\nputs rules-ran\n");
  for (const char *way : {"", " -nocccp"}) {
    SCOPED_TRACE(way);
    Result r = check(std::string("a.c b.c -dial ansi") + way + "\n", "r.rule\n");
    EXPECT_EQ(r.out, "\nKavexo analysing:\na.c: \n" + using_def("ansi") + "b.c: \n");
    EXPECT_EQ(r.err, "b.c(4) : Error:  syntax error before `;'\nkvx_zkck_cc: 1 error(s).\n");
    EXPECT_EQ(r.status, 1);
    r = check(std::string("a.c -dial ansi") + way + "\n", "r.rule\n");
    EXPECT_EQ(r.out, using_def("ansi") + "rules-ran\n");
    EXPECT_EQ(r.status, 0);
  }
}

}  // namespace

namespace {

/* A predefined-macros file found by the search is announced once per run,
 * and its definitions reach the source in both ways of preprocessing. */
TEST_F(RunTest, DefaultOptionsFileIsAnnouncedOnceAndApplied) {
  s.write("ansi.def", "// definitions of the test dialect\nD FROM_DEF 7\nX bad line\n");
  s.write("a.c", "#if FROM_DEF != 7\nint broken = ;\n#endif\nint a;\n");
  s.write("b.c", "int b[FROM_DEF];\n");
  s.write("r.rule", ".CODE\nputs rules-ran\n");
  for (const char *way : {"", " -nocccp"}) {
    SCOPED_TRACE(way);
    Result r = check(std::string("a.c b.c -dial ansi") + way + "\n", "r.rule\n");
    EXPECT_EQ(r.out,
              "\nKavexo analysing:\na.c: \nkvx_cc : using default options file : ansi.def\n\n"
              "b.c: \nrules-ran\n");
    EXPECT_NE(r.err.find("syntax error in predefined macros file"), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find("Error"), std::string::npos) << r.err;
    EXPECT_EQ(r.status, 0);
  }
}

/* Without the dialect's predefined-macros file on any step of the search
 * every source gets the warning on standard error, in both ways: here the
 * programs are copied beside a utility directory that lacks msc0900.def. */
TEST_F(RunTest, MissingPredefinedMacrosFileIsWarnedForEachSource) {
  fs::path bin = s / "inst/bin", util = s / "inst/util";
  fs::create_directories(bin);
  fs::create_directories(util);
  fs::path built = fs::path(engine).parent_path();
  for (const char *p : {"kvx_zkck_cc", "kvx_cccp"}) fs::copy_file(built / p, bin / p);
  for (const auto &e : fs::directory_iterator(built / "../util"))
    if (e.path().filename() != "msc0900.def") fs::create_symlink(fs::canonical(e.path()), util / e.path().filename());
  s.write("a.c", "int a;\n");
  s.write("b.c", "int b;\n");
  s.write("r.rule", ".CODE\nputs rules-ran\n");
  s.write("r.lst", "r.rule\n");
  const std::string nodef = "warning : Unable to locate msc0900.def file\n";
  for (const char *way : {"", " -nocccp"}) {
    SCOPED_TRACE(way);
    s.write("c.lst", std::string("a.c b.c") + way + "\n");
    std::string prog = (bin / "kvx_zkck_cc").string();
    Result r = kvxtest::run(prog, {prog, "c.lst", "r.lst"}, s.dir, {{"KVX_UTIL", nullptr}, {"KVX_CC_DEF", nullptr}});
    EXPECT_EQ(r.err, nodef + nodef);
    EXPECT_EQ(r.out, "\nKavexo analysing:\na.c: \nb.c: \nrules-ran\n");
    EXPECT_EQ(r.status, 0);
  }
}

/* Several -X options: the warning names the one used, on every line while
 * the run's selection stands; an unknown dialect warns once, when it is
 * selected, and runs as ansi. */
TEST_F(RunTest, XOptionsAndUnknownDialectWarn) {
  s.write("a.c", "int a;\n");
  s.write("r.rule", ".CODE\nputs rules-ran\n");
  Result r = check("-Xs -Xa -dial nosuch -nocccp a.c\n-nocccp a.c\n", "r.rule\n");
  EXPECT_EQ(r.out, using_def("ansi") + "rules-ran\n");
  EXPECT_EQ(r.err,
            " unknown dialect nosuch : Warning:  Ansi is assumed\n"
            "using -Xa, ignoring all other -X options: Warning: \n"
            "using -Xa, ignoring all other -X options: Warning: \n"
            "kvx_zkck_cc: 3 warning(s).\n");
  EXPECT_EQ(r.status, 0);
}

}  // namespace

namespace {

/* The dialect's ignore file (here through KVX_CC_IGN) and the line's own
 * -ign file both reach the lexer: their patterns are dropped or replaced. */
TEST_F(RunTest, IgnoreFilesReachTheLexer) {
  s.write("d.ign", "__far -->\n");
  s.write("l.ign", "BEGIN_DECL --> extern\n");
  s.write("a.c", "int __far x;\nBEGIN_DECL int y;\n");
  s.write("r.rule", ".CODE\nputs rules-ran\n");
  Result r = check("-dial ansi -nocccp -ign l.ign a.c\n", "r.rule\n", {{"KVX_CC_IGN", "d.ign"}});
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.out, using_def("ansi") + "rules-ran\n");
  EXPECT_EQ(r.status, 0);
  r = check("-dial ansi -nocccp -ign l.ign a.c\n", "r.rule\n");
  EXPECT_EQ(r.err, "a.c(1) : Error:  syntax error before `x'\nkvx_zkck_cc: 1 error(s).\n");
  EXPECT_EQ(r.status, 1);
}

}  // namespace
