/*
 * names_test.cpp - typedef names and ordinary names through the levels.
 */
#include <gtest/gtest.h>

#include "frontend/name_levels.h"
#include "frontend_test_util.h"

namespace kvx::fe {
namespace {

using test::run_text;
using test::RunResult;

TEST(NameLevels, InnerLevelDecidesAndClosingRestores) {
  NameLevels n;
  n.declare("T", true);
  EXPECT_TRUE(n.is_type_name("T"));
  n.push();
  EXPECT_TRUE(n.is_type_name("T"));
  n.declare("T", false);
  EXPECT_FALSE(n.is_type_name("T"));
  n.push();
  n.declare("U", true);
  EXPECT_EQ(n.depth(), 2);
  n.pop();
  EXPECT_FALSE(n.is_type_name("U"));
  EXPECT_FALSE(n.is_type_name("T"));
  n.pop();
  EXPECT_TRUE(n.is_type_name("T"));
  n.pop(); /* the file level stays */
  EXPECT_EQ(n.depth(), 0);
  EXPECT_TRUE(n.is_type_name("T"));
  n.reset();
  EXPECT_FALSE(n.is_type_name("T"));
}

TEST(NameLevels, ManyNamesShareBuckets) {
  NameLevels n;
  for (int i = 0; i < 500; i++) n.declare("n" + std::to_string(i), i % 3 == 0);
  n.push();
  for (int i = 0; i < 500; i += 2) n.declare("n" + std::to_string(i), true);
  for (int i = 0; i < 500; i++)
    EXPECT_EQ(n.is_type_name("n" + std::to_string(i)), i % 2 == 0 || i % 3 == 0) << i;
  n.pop();
  for (int i = 0; i < 500; i++) EXPECT_EQ(n.is_type_name("n" + std::to_string(i)), i % 3 == 0);
  /* a name declared again in its level takes the new mark */
  n.declare("n0", false);
  EXPECT_FALSE(n.is_type_name("n0"));
  /* the file level keeps growing after inner levels came and went */
  n.push();
  n.declare("inner", true);
  n.pop();
  for (int i = 500; i < 5000; i++) n.declare("n" + std::to_string(i), i % 7 == 0);
  n.push();
  n.declare("n7", false);
  for (int i = 1; i < 5000; i++)
    ASSERT_EQ(n.is_type_name("n" + std::to_string(i)), i == 7 ? false : i < 500 ? i % 3 == 0 : i % 7 == 0) << i;
  EXPECT_FALSE(n.is_type_name("inner"));
  n.pop();
  EXPECT_TRUE(n.is_type_name("n21"));
  EXPECT_FALSE(n.is_type_name("n7")); /* its file-level mark: 7 % 3 != 0 */
}

struct Uses : ParseActions {
  int typedef_specs = 0, assigns = 0;
  Node specifier(Loc, Node l, Specifier s, std::string_view, Node) override {
    typedef_specs += s == Specifier::TypedefName;
    return l;
  }
  Node expr_binary(Loc, Op op, Node, Node) override {
    assigns += op == Op::Assign;
    return nullptr;
  }
};

TEST(TypedefNames, HiddenInABlockByAnOrdinaryDeclaration) {
  Uses u;
  RunResult r = run_text("typedef int T;\nvoid f(void) { int T; T = 1; }\nT g;\n", "ansi", &u);
  EXPECT_EQ(r.errors, 0) << r.messages;
  EXPECT_EQ(u.assigns, 1);
  EXPECT_EQ(u.typedef_specs, 1); /* T g; after the block */
}

TEST(TypedefNames, BlockTypedefEndsWithTheBlock) {
  RunResult ok = run_text("void f(void) { typedef int U; U a; { U b; } }\n");
  EXPECT_EQ(ok.errors, 0) << ok.messages;
  RunResult r = run_text("void f(void) { typedef int U; U a; }\nU b;\n");
  EXPECT_EQ(r.messages, "t.c(2) : Error:  syntax error before `b'\n");
}

TEST(TypedefNames, ParametersHideTypedefsInTheBodyOnly) {
  RunResult r = run_text(
      "typedef int T;\n"
      "int f(int T) { return T + 1; }\n"
      "int g(T x);\n"
      "int h(T, T *);\n"
      "T after;\n");
  EXPECT_EQ(r.errors, 0) << r.messages;
  /* a prototype's parameter names do not leak out */
  EXPECT_EQ(run_text("typedef int T;\nint p(int T);\nT q;\n").errors, 0);
}

TEST(TypedefNames, FunctionDefinitionNameHidesATypedef) {
  /* in a block, the function name defined at file level is an ordinary name */
  RunResult r = run_text("void g(void) { typedef int h; { int h(int); } }\n"
                         "typedef int T;\nint x;\nvoid k(void) { typedef int T2; }\n"
                         "void use(void) { int T; T = 2; }\n");
  EXPECT_EQ(r.errors, 0) << r.messages;
  RunResult d = run_text("typedef int T;\nstatic T(void) { return 0; }\nint y = T();\n");
  EXPECT_EQ(d.result.syntax_errors, 1) << d.messages; /* 'static T(' is a declaration of nothing */
  RunResult e = run_text("typedef int T;\nint T(void) { return 0; }\nint y = T();\n");
  EXPECT_EQ(e.errors, 0) << e.messages;
}

TEST(TypedefNames, OldStyleDeclarationsUseTypedefs) {
  EXPECT_EQ(run_text("typedef int T;\nint f(a, b) T a; T *b; { T c = a; return c + *b; }\n").errors, 0);
}

TEST(TypedefNames, DeclaratorsAfterATypeSpecifier) {
  RunResult r = run_text(
      "typedef int T;\n"
      "typedef char C;\n"
      "struct T { T T; };\n"          /* tag, type, member */
      "void f(void) { struct T s; s.T = 0; unsigned C = 2; C = 3; }\n"
      "typedef T *P, C2[4];\n"
      "P p; C2 c2;\n"
      "int n = sizeof(T) + sizeof(C);\n"
      "T (*fp)(T, C);\n"
      "enum E { A, B } e; struct S { int x; } T2;\n");
  EXPECT_EQ(r.errors, 0) << r.messages;
}

TEST(TypedefNames, ParenthesisedDeclaratorOfATypedefName) {
  /* declared again (the same type), and hidden by a block's function pointer */
  RunResult r = run_text(
      "typedef int (*F)(int);\n"
      "typedef int (*F)(int);\n"
      "typedef long L;\n"
      "void g(void) { int (*L)(L) = 0, (*M)(L), x; L(1); }\n"
      "F f; L l;\n"
      "int n = sizeof(int (*)(L));\n");
  EXPECT_EQ(r.errors, 0) << r.messages;
}

TEST(TypedefNames, CastsAndSizeofWithTypedefs) {
  EXPECT_EQ(run_text("typedef long L;\nint f(int a) { return (L)a + (int)sizeof(L *) + (L)(a); }\n")
                .errors,
            0);
}

TEST(TypedefNames, MacroIdentifierCanBeATypedefName) {
  RunResult r = run_text("typedef int BOOL;\nBOOL ok;\n", "ansi", nullptr, nullptr, {"BOOL"});
  EXPECT_EQ(r.errors, 0) << r.messages;
}

}  // namespace
}  // namespace kvx::fe
