/*
 * parser_test.cpp - dialect fixtures that must parse, syntax messages with
 * their suffixes and lines, error recovery, stack growth and nesting.
 */
#include <gtest/gtest.h>

#include "frontend_test_util.h"

namespace kvx::fe {
namespace {

using test::count_of;
using test::run_text;
using test::RunResult;

/* Counts constructs by kind so tests can tell what was parsed. */
struct Counting : ParseActions {
  int externals = 0, functions = 0, statements = 0, blocks = 0, abandoned = 0;
  std::vector<std::string> declarators;
  void external_declaration(Loc, Node) override { externals++; }
  Node function_end(Loc, Node, Node, Node) override { functions++; return nullptr; }
  Node block_end(Loc, Node, Node) override { blocks++; return nullptr; }
  void block_abandoned(Node, bool) override { abandoned++; }
  Node stmt_expression(Loc, Node) override { statements++; return nullptr; }
  Node declarator_identifier(Loc, std::string_view n, bool) override {
    declarators.emplace_back(n);
    return nullptr;
  }
};

void expect_clean(const char *src, const char *dialect) {
  RunResult r = run_text(src, dialect);
  EXPECT_EQ(r.errors, 0) << dialect << ":\n" << r.messages;
  EXPECT_EQ(r.result.status, 0);
}

TEST(DialectFixtures, Ansi) {
  const char *src = R"(
    typedef unsigned long size_t;
    extern int printf(const char *fmt, ...);
    static const volatile int flags = 3;
    signed char sc;
    struct point { int x, y; unsigned bits : 3; int : 0; };
    enum color { RED, GREEN = 2, BLUE, };
    int (*table[4])(int, char **);
    int main(void) {
      struct point p = { 1, 2 };
      size_t n = sizeof(struct point) + sizeof p;
      asm("nop");
      if (n > 2) n--; else n++;
      return p.x ? (int)n : -1;
    }
  )";
  expect_clean(src, "ansi");
  expect_clean(src, "mcc");
  expect_clean(src, "some_unknown_compiler");
}

TEST(DialectFixtures, KR78AndHp) {
  const char *src = R"(
    typedef int word;
    char *strcpy();
    static int count;
    word sum(a, b)
      register word a;
      int b;
    {
      return a + b;
    }
    main(argc, argv)
      char **argv;
    {
      int i;
      for (i = 0; i < argc; i++) count += sum(i, 1);
      asm("nop");
      exit(0);
    }
  )";
  expect_clean(src, "kr78");
  expect_clean(src, "hp");
  expect_clean(src, "ansi");
}

TEST(DialectFixtures, Sun) {
  expect_clean("std_$call int f(a) int a; { auto int x = a; return x; }\n"
               "int const = 1;\n",
               "sun");
}

TEST(DialectFixtures, Gnu) {
  expect_clean(R"(
    static __inline__ int twice(int x) { return x + x; }
    inline int thrice(int x) { return 3 * x; }
    __const__ int k = 4;
    __signed__ char c;
    __volatile__ int v;
    typeof(k) k2;
    __typeof__(int *) ip;
    int al = __alignof__(double) + __alignof__ k;
    void f(void) {
      int out;
      __asm__ __volatile__("mov %1, %0" : "=r"(out) : "r"(k) : "memory");
      asm("nop");
    }
  )",
               "gnu");
}

TEST(DialectFixtures, Msc50Group) {
  const char *src = R"(
    typedef unsigned __int64 u64;
    __int8 a8; _int16 a16; __int32 a32; _int64 a64;
    int asm;
    int __cdecl f1(void);
    int __stdcall f2(int);
    int _fastcall f3(int);
    __inline int f4(void) { return 1; }
    char __based(void) *bp;
    void guarded(void) {
      u64 big = 10i64;
      asm = 3;
      __try {
        big++;
      } __except (big > 1) {
        big = 0;
      }
      _try { __leave; } _finally { big--; }
    }
  )";
  for (const char *d : {"msc50", "msc1100", "msc0900", "msc40"}) expect_clean(src, d);
}

TEST(DialectFixtures, Msc0800Group) {
  const char *src = R"(
    char __far *fp;
    char far *fp2;
    int huge *hp, * _near np;
    int __pascal __export __loadds WinProc(int);
    int __interrupt __far handler(void);
    __segment seg;
    char __based(__segname("_CODE")) *code;
    int asm;
    void __cdecl __saveregs g(void) { asm = 1; }
  )";
  expect_clean(src, "msc15");
  expect_clean(src, "msc0800");
}

TEST(DialectFixtures, Iar) {
  expect_clean(R"(
    sfr P0;
    bit flag;
    sfrp PP;
    no_init int kept;
    interrupt void timer(void) { flag = 1; }
    monitor void critical(void) { }
    int far *fptr;
    tiny_func void t(void);
    ccr_mask void m(void);
    ANSI_main void start(void);
  )",
               "iar");
}

TEST(DialectFixtures, HpAnsiAndMccStdAsmOperand) {
  const char *src = R"(
    packed struct s { int a; };
    inline int f(void) { return asm("ldw r1") + 1; }
    interrupt void h(void) { asm("nop"); }
    typeof(1) t;
    asm("global");
  )";
  expect_clean(src, "hp_ansi");
  expect_clean(src, "mcc_std");
}

/* ------------------------------------------------------------ messages */

TEST(SyntaxMessages, KR78ConstIsAnIdentifier) {
  RunResult r = run_text("const int x;\n", "kr78");
  EXPECT_EQ(r.messages, "t.c(1) : Error:  syntax error before `int'\n");
  EXPECT_EQ(r.result.syntax_errors, 1);
  EXPECT_EQ(run_text("const int x;\n", "ansi").errors, 0);
}

TEST(SyntaxMessages, Msc0900KeywordsAreIdentifiersElsewhere) {
  EXPECT_NE(run_text("__int64 x;\n", "ansi").messages.find("syntax error before `x'"),
            std::string::npos);
  EXPECT_NE(run_text("char __far *p;\n", "msc0900").messages.find("syntax error before `*'"),
            std::string::npos);
  /* asm is a keyword in ansi: "int asm;" is wrong there */
  EXPECT_EQ(run_text("int asm;\n", "ansi").errors, 1);
}

TEST(SyntaxMessages, Suffixes) {
  EXPECT_EQ(run_text("int x\n", "ansi").messages, "t.c(1) : Error:  syntax error at end of file\n");
  EXPECT_EQ(run_text("int\n\"s\";", "ansi").messages,
            "t.c(2) : Error:  syntax error before string constant\n");
  EXPECT_EQ(run_text("int 'c';", "ansi").messages,
            "t.c(1) : Error:  syntax error before character constant\n");
  EXPECT_EQ(run_text("int x \x01;", "ansi").messages,
            "t.c(1) : Error:  syntax error before character 01\n");
  EXPECT_EQ(run_text("int x \x7f;", "ansi").messages,
            "t.c(1) : Error:  syntax error before character 0177\n");
  EXPECT_EQ(run_text("int x @;", "ansi").messages, "t.c(1) : Error:  syntax error before `@'\n");
  using VS = test::VectorSource;
  VS src({{pp::TokenKind::Identifier, "int", 3}, {pp::TokenKind::Punct, "", 3}});
  ParseActions none;
  EXPECT_EQ(test::run_source(src, "ansi", none).messages,
            "v.c(3) : Error:  syntax error at null character\n");
}

TEST(SyntaxMessages, DefinitionNeedsAFunctionDeclarator) {
  EXPECT_EQ(run_text("int x[3] { }\nint y;\n", "ansi").messages,
            "t.c(1) : Error:  syntax error before `{'\n");
  EXPECT_EQ(run_text("int (*fp)(void) { }\n", "ansi").result.syntax_errors, 1);
  EXPECT_EQ(run_text("int *f(void) { return 0; }\nint (g)(void) { }\n", "ansi").errors, 0);
  EXPECT_EQ(run_text("int (*getfp(int a))(double) { return 0; }\n", "ansi").errors, 0);
}

TEST(SyntaxMessages, LineOfTheOffendingToken) {
  RunResult r = run_text("int a;\n\nint b\nint c;\n", "ansi");
  EXPECT_EQ(r.messages, "t.c(4) : Error:  syntax error before `int'\n");
}

/* ------------------------------------------------------------ recovery */

TEST(Recovery, OneMessageForARunOfBadTokens) {
  Counting c;
  RunResult r = run_text("int f(void) {\n  x = = = = 1;\n  y = 2;\n}\nint g;\n", "ansi", &c);
  EXPECT_EQ(r.result.syntax_errors, 1);
  EXPECT_EQ(r.messages, "t.c(2) : Error:  syntax error before `='\n");
  EXPECT_EQ(c.statements, 1); /* y = 2; */
  EXPECT_EQ(c.functions, 1);
  EXPECT_EQ(c.externals, 2);
}

TEST(Recovery, SecondMessageOnlyAfterThreeShiftedTokens) {
  /* after "int a b": ';' int d are three tokens shifted, so "e" is reported */
  RunResult two = run_text("int a b;\nint d e;\n", "ansi");
  EXPECT_EQ(two.result.syntax_errors, 2);
  EXPECT_EQ(count_of(two.messages, "t.c(2) : Error:  syntax error before `e'"), 1);
  /* ';' and x are only two: the error at y is not reported */
  RunResult one = run_text("int a b;\nx y;\nint ok;\n", "ansi");
  EXPECT_EQ(one.result.syntax_errors, 1);
  EXPECT_EQ(count_of(one.messages, "syntax error"), 1);
}

TEST(Recovery, ContinuesToTheEndOfTheFile) {
  Counting c;
  RunResult r = run_text(R"(
    int f(void) { if (x) { y = ; } return 1; }
    struct s { int a; int b c; int d; };
    int g(int a, int b) { return a + b; }
    int h(void) { int k = 3 +; k++; }
    int last;
  )",
                         "ansi", &c);
  EXPECT_EQ(r.result.syntax_errors, 3) << r.messages;
  EXPECT_EQ(c.functions, 3);
  EXPECT_EQ(c.externals, 5);
  EXPECT_EQ(c.abandoned, 0);
  EXPECT_EQ(r.result.status, 0);
}

TEST(Recovery, ErrorAtEndOfInputEndsTheParse) {
  Counting c;
  RunResult r = run_text("int f(void) {\n  int x;\n", "ansi", &c);
  EXPECT_EQ(r.messages, "t.c(2) : Error:  syntax error at end of file\n");
  EXPECT_EQ(r.result.status, 0);
  EXPECT_EQ(c.abandoned, 1); /* the open function body */
}

TEST(Recovery, AbandonedBlocksCloseTheirNameLevels) {
  /* the error pops the open blocks; typedef T must be visible again */
  /* the error pops the definition begun by "int f(int T)" and its level,
   * where T was an ordinary name: T is a typedef name again afterwards */
  Counting c;
  RunResult r = run_text("typedef int T;\nint f(int T) int x; + }\nT g;\n", "ansi", &c);
  EXPECT_EQ(r.messages, "t.c(2) : Error:  syntax error before `+'\n");
  EXPECT_EQ(c.abandoned, 1);
  EXPECT_EQ(c.externals, 2);
}

TEST(Parser, StackGrowsAndOverflowIsReported) {
  std::string deep = "int x = ";
  for (int i = 0; i < 5000; i++) deep += '(';
  deep += '1';
  for (int i = 0; i < 5000; i++) deep += ')';
  deep += ";\n";
  RunResult ok = run_text(deep, "ansi");
  EXPECT_EQ(ok.errors, 0);

  std::string huge = "int x = ";
  huge.append(200000, '(');
  huge += "1;\nint y;\n";
  RunResult r = run_text(huge, "ansi");
  EXPECT_EQ(r.result.status, 1);
  EXPECT_EQ(r.messages, "t.c(1) : Error:  yacc stack overflow before `('\n");
}

std::string nested(int depth) {
  std::string s = "void f(void)\n";
  for (int i = 0; i < depth; i++) s += "{\n";
  s += "x = 1;\n";
  for (int i = 0; i < depth; i++) s += "}\n";
  return s;
}

TEST(Parser, EveryTokenIsSeenEvenAfterTheParseEnds) {
  struct Tokens : ParseActions {
    int count = 0, ends = 0;
    uint32_t last_line = 0;
    void token(const LexToken &t) override {
      if (t.kind == 0) {
        ends++;
      } else {
        count++;
        last_line = t.loc.line;
      }
    }
  } t;
  std::string huge = "int x = ";
  huge.append(200000, '(');
  huge += "1;\nint y;\n";
  test::MacroMarkingSource src(huge, {}, "t.c");
  RunResult r = test::run_source(src, "ansi", t);
  EXPECT_EQ(r.result.status, 1);
  EXPECT_EQ(t.count, 3 + 200000 + 2 + 3);
  EXPECT_EQ(t.last_line, 2u);
  EXPECT_GE(t.ends, 1);
}

TEST(Parser, EmptyAndOddInputs) {
  EXPECT_EQ(run_text("", "ansi").errors, 0);
  EXPECT_EQ(run_text("/* only a comment */\n;\n", "ansi").errors, 0);
  EXPECT_EQ(run_text(std::string("int a \0;\n", 10), "ansi").messages,
            "t.c(1) : Error:  syntax error before character 00\n");
  EXPECT_EQ(run_text("int a \xc3;\nint b;\n", "ansi").result.syntax_errors, 1);
  EXPECT_EQ(run_text("}}}} int a;", "ansi").result.syntax_errors, 1);
  EXPECT_EQ(run_text("int f(void) { ((((( ; } int g;", "ansi").result.syntax_errors, 1);
}

TEST(Parser, HundredNestedBlocksAreAnalysed) {
  RunResult r = run_text(nested(100), "ansi");
  EXPECT_EQ(r.errors, 0) << r.messages;
}

TEST(Parser, HundredAndFirstNestingLevelIsFatal) {
  test::CapturedDiag cd;
  FrontendContext ctx(cd.diag);
  ctx.dialect = select_dialect("ansi", cd.diag);
  std::string src = nested(101);
  TextScanner scan(src, "deep.c");
  Counting c;
  try {
    parse_translation_unit(ctx, scan, c);
    FAIL() << "no fatal report";
  } catch (const ProcessExit &e) {
    EXPECT_EQ(e.status, 2);
  }
  EXPECT_NE(cd.text().find("kvx_zkck_cc: Error: deep.c(102) : Error:  Too many nesting \n"),
            std::string::npos)
      << cd.text();
  EXPECT_EQ(c.abandoned, 100);
}

TEST(Parser, MacroIdentifierStandsWhereAnIdentifierMay) {
  struct Macros : ParseActions {
    int macro_uses = 0;
    Node expr_identifier(Loc, std::string_view, bool macro) override {
      macro_uses += macro;
      return nullptr;
    }
  } m;
  RunResult r = run_text("int a[N];\nint f(void) { return N + MAX(1, 2); }\n", "ansi", &m, nullptr,
                         {"N", "MAX"});
  EXPECT_EQ(r.errors, 0) << r.messages;
  EXPECT_EQ(m.macro_uses, 3);
}

TEST(Parser, OldStyleAndPrototypeDefinitions) {
  Counting c;
  RunResult r = run_text(
      "int f(a, b) int a; char *b; { return a; }\n"
      "int g(int a, char *b, ...) { return a; }\n"
      "h() { }\n",
      "ansi", &c);
  EXPECT_EQ(r.errors, 0) << r.messages;
  EXPECT_EQ(c.functions, 3);
}

}  // namespace
}  // namespace kvx::fe
