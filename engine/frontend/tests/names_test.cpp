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
