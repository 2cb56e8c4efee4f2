/* findings_test.cpp - what a run reports on a project: nothing located in
 * system headers (unless asked for), and each finding once. */
#include "run_program.h"

#include <gtest/gtest.h>

namespace fs = std::filesystem;
using kvxtest::Result;
using kvxtest::Scratch;

namespace {

const std::string engine = kvxtest::built_program("kvx_zkck_cc");

/* A rule reporting every variable's symbol, with the file's system
 * attribute in the message. */
const char *const kVariables =
    ".KEY VAR\n.CODE\n"
    "foreach s [Targets application symbol SymbolVariable] {\n"
    "    if {[GetRole $s file] eq {}} continue\n"
    "    Violation $s $thisRule \"[Get $s name] system [Get [GetRole $s file] system]\"\n"
    "}\n";

struct Findings : ::testing::Test {
  Scratch s;
  /* Runs the compile lines with the rule list; the report is in "report". */
  Result check(const std::string &compile_lines, const std::string &rule_list) {
    s.write("c.lst", compile_lines);
    s.write("r.lst", rule_list);
    return kvxtest::run(engine, {engine, "c.lst", "r.lst", "report"}, s.dir);
  }
  std::string report() { return kvxtest::read_file(s / "report"); }
};

TEST_F(Findings, SystemHeadersAreLeftOutAndCounted) {
  /* system directories: those of the option file, -isystem, -idirafter;
   * a header found beside a system header is one too */
  s.write("defdir/fromdef.h", "int in_def_dir;\n#include \"neighbour.h\"\n");
  s.write("defdir/neighbour.h", "int beside_def_header;\n");
  s.write("isys/isys.h", "int in_isystem;\n");
  s.write("after/after.h", "int in_idirafter;\n");
  s.write("user/user.h", "int in_user_header;\n");
  s.write("own.def", "I " + (s / "defdir").string() + "\n");
  s.write("a.c",
          "#include <fromdef.h>\n#include <isys.h>\n#include <after.h>\n#include \"user/user.h\"\n"
          "int in_source;\n");
  s.write("var.rule", kVariables);
  std::string line = "-nocccp -dial gnu -ddef own.def -isystem isys -idirafter after a.c\n";
  Result r = check(line, "var.rule\n");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(report(),
            "Fuser/user.h(1)\nRVAR\nMin_user_header system 0\n"
            "Fa.c(5)\nRVAR\nMin_source system 0\n");
  EXPECT_EQ(r.err,
            "kvx_zkck_cc: 4 violation(s) located in system headers left out (-Wsystem-headers keeps them).\n");

  /* GCC's option keeps them, through kvx_cccp too */
  r = check("-dial gnu -ddef own.def -isystem isys -idirafter after -Wsystem-headers a.c\n", "var.rule\n");
  EXPECT_EQ(r.status, 0) << r.err;
  std::string rep = report();
  for (const char *name : {"in_def_dir system 1", "beside_def_header system 1", "in_isystem system 1",
                           "in_idirafter system 1", "in_user_header system 0", "in_source system 0"})
    EXPECT_NE(rep.find(name), std::string::npos) << name << " missing from\n" << rep;
  EXPECT_EQ(r.err, "");
}

TEST_F(Findings, AHeaderFindingReachedFromThreeSourcesIsReportedOnce) {
  /* each source has a macro of its own for the header's #define */
  s.write("h.h", "#define bad_macro_name 1\n");
  for (const char *src : {"a.c", "b.c", "c.c"})
    s.write(src, "#include \"h.h\"\n#define " + std::string(1, src[0]) + "_own 2\n");
  std::string rule = fs::path(engine).parent_path().parent_path().string() + "/rules/naming/macro-names.rule";
  Result r = check("-nocccp a.c\n-nocccp b.c\nc.c\n", "\"" + rule + "\"\n");
  EXPECT_EQ(r.status, 0) << r.err;
  std::string m = "MACRO_NAME\nMmacro name ";
  std::string p = " does not match ^[A-Z][A-Z0-9_]*$\n";
  EXPECT_EQ(report(), "Fh.h(1)\nR" + m + "bad_macro_name" + p + "Fa.c(2)\nR" + m + "a_own" + p +
                          "Fb.c(2)\nR" + m + "b_own" + p + "Fc.c(2)\nR" + m + "c_own" + p);
}

/* What GCC accepts: '//' comments in its dialects without an option
 * (the old dialects still ask for -cppcomment), both ways. */
TEST_F(Findings, LineCommentsInTheGccDialects) {
  s.write("a.c", "int a; // a comment\n// another\nint b;\n");
  for (const char *dialect : {"gnu", "gnu_d950", "c99", "c11"})
    for (const char *way : {"-nocccp ", ""}) {
      Result r = check(std::string(way) + "-dial " + dialect + " a.c\n", "");
      EXPECT_EQ(r.status, 0) << dialect << " " << way << r.err;
    }
  Result r = check("-nocccp -dial ansi a.c\n", "");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("syntax error"), std::string::npos) << r.err;
  r = check("-dial ansi -cppcomment a.c\n", "");
  EXPECT_EQ(r.status, 0) << r.err;
}

/* A string-valued macro as the compiler receives it, written with \" on
 * the compile line, both ways. */
TEST_F(Findings, StringValuedMacroOnTheCompileLine) {
  s.write("a.c", "const char *shell = SHELL_PATH;\nconst char *msg = MSG;\n");
  s.write("strings.rule",
          ".CODE\nforeach e [Targets application expression ExpressionConstant] { puts [Spelling $e] }\n");
  for (const char *way : {"-nocccp ", ""}) {
    Result r = check(std::string(way) + "-dial gnu -DSHELL_PATH=\\\"/bin/sh\\\" \"-DMSG=\\\"a b\\\"\" a.c\n",
                     "strings.rule\n");
    EXPECT_EQ(r.status, 0) << way << r.err;
    EXPECT_NE(r.out.find("\"a b\"\n\"/bin/sh\"\n"), std::string::npos) << way << r.out;
  }
}

/* Without -dial the first include that cannot be found says which dialect
 * was assumed and what a GCC project needs; once per run, both ways. */
TEST_F(Findings, NewcomerIsToldWhatToDo) {
  s.write("a.c", "#include <stdio.h>\n#include <stdlib.h>\nint a;\n");
  s.write("b.c", "#include <string.h>\nint b;\n");
  const std::string hint =
      "kvx_zkck_cc: note: no -dial was given and the dialect msc0900 was assumed; a project built with GCC "
      "needs -dial gnu\n";
  for (const char *way : {"-nocccp ", ""}) {
    Result r = check(std::string(way) + "a.c\n" + way + "b.c\n", "");
    EXPECT_EQ(r.status, 1);
    size_t at = r.err.find(hint);
    ASSERT_NE(at, std::string::npos) << way << r.err;
    EXPECT_EQ(r.err.find(hint, at + 1), std::string::npos) << "given twice: " << r.err;
    EXPECT_LT(r.err.find("cannot open include file \"stdio.h\""), at) << r.err;
  }
  /* a line that names a dialect gets no advice, nor do the lines after it */
  Result r = check("-dial ansi a.c\nb.c\n", "");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err.find("note:"), std::string::npos) << r.err;
}

/* A construct of a macro's replacement text is reported at the line of
 * the macro's use, and says so; what the use's arguments write is the
 * source's own.  Both ways, two uses on one line kept apart. */
TEST_F(Findings, FindingsInsideMacroExpansionsNameTheMacro) {
  s.write("a.c",
          "#define FAIL_IF(c) do { if (c) goto fail; } while (0)\n"
          "#define GUARD(s) do { s; } while (0)\n"
          "int f(int a)\n{\n"
          "    GUARD(if (a > 9) goto fail); FAIL_IF(a < 0);\n"
          "    return 0;\nfail:\n    return 1;\n}\n");
  s.write("goto.rule",
          ".KEY NO_GOTO\n.CODE\nforeach g [Targets application instruction InstructionGoto] {\n"
          "    Violation $g $thisRule {goto statement}\n    puts \"[Get $g line] <[MacroOrigin $g]>\"\n}\n"
          "foreach d [Targets application instruction InstructionDoWhile] { puts \"do <[MacroOrigin $d]>\" }\n"
          "Violation [lindex [Targets application instruction InstructionDoWhile] 0] NO_MESSAGE\n");
  for (const char *way : {"-nocccp ", ""}) {
    Result r = check(std::string(way) + "-dial gnu a.c\n", "goto.rule\n");
    EXPECT_EQ(r.status, 0) << way << r.err;
    std::string rep = report();
    EXPECT_NE(rep.find("Fa.c(5)\nRNO_GOTO\nMgoto statement (in expansion of macro FAIL_IF) (in function f)\n"),
              std::string::npos) << way << rep;
    EXPECT_NE(rep.find("Fa.c(5)\nRNO_GOTO\nMgoto statement (in function f)\n"), std::string::npos) << way << rep;
    EXPECT_NE(rep.find("RNO_MESSAGE\nM(in expansion of macro "), std::string::npos) << way << rep;
    EXPECT_NE(r.out.find("5 <FAIL_IF>\n"), std::string::npos) << way << r.out;
    EXPECT_NE(r.out.find("5 <>\n"), std::string::npos) << way << r.out;
    EXPECT_NE(r.out.find("do <FAIL_IF>\ndo <GUARD>\n"), std::string::npos) << way << r.out;
  }
}

/* A project as its build compiles it: every source in one run, with '//'
 * comments, -std=, -include, a header's inline function read by both
 * sources and string-valued macros; the lines are those a capture of
 * "make" writes.  No error, both ways, and the macros have their text. */
TEST_F(Findings, WholeProjectAsItsBuildCompilesIt) {
  s.write("include/config.h", "// read before every source\n#define APP_NAME \"wordcount\"\n");
  s.write("include/util.h",
          "// helpers\n#ifndef UTIL_H\n#define UTIL_H\n#include <stdbool.h>\n#include <stddef.h>\n"
          "static inline bool is_blank(int c) { return c == ' ' || c == '\\t'; }\n"
          "size_t count_words(const char *text);\nconst char *shell_path(void);\n#endif\n");
  s.write("src/util.c",
          "// counting words\n#include \"util.h\"\n#include <string.h>\n"
          "size_t count_words(const char *text) {\n    size_t n = 0; bool in = false;\n"
          "    for (size_t i = 0; text[i] != '\\0'; i++) { if (is_blank(text[i])) in = false; "
          "else if (!in) { in = true; n++; } }\n    return n;\n}\n"
          "const char *shell_path(void) { return SHELL_PATH; } // from the compile line\n");
  s.write("src/main.c",
          "// the program\n#include <stdio.h>\n#include <stdlib.h>\n#include \"util.h\"\n"
          "int main(int argc, char **argv) {\n"
          "    printf(\"%s %s (%s)\\n\", APP_NAME, VERSION, shell_path());\n"
          "    for (int i = 1; i < argc; i++) printf(\"%zu\\n\", count_words(argv[i]));\n"
          "    return EXIT_SUCCESS;\n}\n");
  const std::string common =
      "-dial gnu -std=gnu11 -Wall -Iinclude -include include/config.h -DSHELL_PATH=\\\"/bin/sh\\\" "
      "\"-DVERSION=\\\"1.2 beta\\\"\"";
  std::string lines = common + " -c -o src/main.o src/main.c\n" + common +
                      " -std=c99 -MD -MF src/util.d -c -o src/util.o src/util.c\n";
  s.write("strings.rule",
          ".CODE\nforeach e [Targets application expression ExpressionConstant] {\n"
          "    if {[string index [Spelling $e] 0] eq {\"}} { puts [Spelling $e] }\n}\n");
  for (const char *way : {"", "-nocccp "}) {
    std::string prefixed;
    for (size_t at = 0; at < lines.size();) {
      size_t nl = lines.find('\n', at);
      prefixed += way + lines.substr(at, nl + 1 - at);
      at = nl + 1;
    }
    Result r = check(prefixed, "strings.rule\n");
    EXPECT_EQ(r.status, 0) << way << r.err;
    EXPECT_EQ(r.err.find("rror"), std::string::npos) << way << r.err;
    EXPECT_EQ(r.err.find("Warning"), std::string::npos) << way << r.err;
    for (const char *text : {"\"/bin/sh\"", "\"1.2 beta\"", "\"wordcount\""})
      EXPECT_NE(r.out.find(std::string(text) + "\n"), std::string::npos) << way << text << "\n" << r.out;
  }
}

}  // namespace
