/*
 * lexer_test.cpp - number and character-constant checking, two dots, the
 * backslash, '$' in identifiers and the raw text scanner.
 */
#include <gtest/gtest.h>

#include "frontend_test_util.h"

namespace kvx::fe {
namespace {

using test::run_text;
using test::RunResult;

/* Wraps an initializer expression into a declaration. */
RunResult init(const std::string &expr, const char *dialect = "ansi") {
  return run_text("int x = " + expr + ";\n", dialect);
}

struct Constants : ParseActions {
  std::vector<std::pair<ConstantKind, std::string>> seen;
  Node expr_constant(Loc, ConstantKind k, std::string_view s) override {
    seen.emplace_back(k, std::string(s));
    return nullptr;
  }
};

TEST(Numbers, WellFormedConstantsGiveNoMessage) {
  for (const char *n : {"0", "077", "123", "0x1f", "0XABCdef", "10u", "10UL", "10lu", "7LL",
                        "1.5", ".5", "5.", "1e10", "1E+3", "2.5e-3", "1.5f", "2.0L", "1e5F"}) {
    RunResult r = init(n);
    EXPECT_EQ(r.errors, 0) << n << ": " << r.messages;
  }
}

TEST(Numbers, TheThreeMessages) {
  EXPECT_EQ(init("1e5e3").messages, "t.c(1) : Error:  invalid floating constant\n");
  EXPECT_EQ(init("1.2.3").messages, "t.c(1) : Error:  invalid floating constant\n");
  EXPECT_EQ(init("1e").messages, "t.c(1) : Error:  invalid floating constant\n");
  EXPECT_EQ(init("0x").messages, "t.c(1) : Error:  invalid numeric constant\n");
  EXPECT_EQ(init("0xg").messages, "t.c(1) : Error:  invalid numeric constant\n");
  EXPECT_EQ(init("123abc").messages, "t.c(1) : Error:  nondigits in number\n");
  EXPECT_EQ(init("0x1fz").messages, "t.c(1) : Error:  nondigits in number\n");
  EXPECT_EQ(init("1.5q").messages, "t.c(1) : Error:  nondigits in number\n");
  EXPECT_EQ(init("10uu").messages, "t.c(1) : Error:  nondigits in number\n");
  /* the token is still a constant: parsing goes on without a syntax error */
  RunResult r = run_text("int a = 1e5e3;\nint b = 2;\n");
  EXPECT_EQ(r.result.syntax_errors, 0);
  EXPECT_EQ(r.result.lexical_errors, 1);
}

TEST(Numbers, SizedSuffixesOnlyWithSizedIntegers) {
  EXPECT_EQ(init("10i64", "msc0900").errors, 0);
  EXPECT_EQ(init("10ui32", "msc50").errors, 0);
  EXPECT_EQ(init("10i64", "ansi").messages, "t.c(1) : Error:  nondigits in number\n");
  EXPECT_EQ(init("10i63", "msc0900").errors, 1);
}

TEST(Numbers, KindsReachTheActions) {
  Constants c;
  run_text("int a = 1 + 2.5 + 'c' + L'w';", "ansi", &c);
  ASSERT_EQ(c.seen.size(), 4u);
  EXPECT_EQ(c.seen[0].first, ConstantKind::Integer);
  EXPECT_EQ(c.seen[1].first, ConstantKind::Floating);
  EXPECT_EQ(c.seen[2].first, ConstantKind::Character);
  EXPECT_EQ(c.seen[3].second, "L'w'");
}

TEST(CharacterConstants, EmptyOrUnterminatedIsInvalid) {
  EXPECT_EQ(init("'a'").errors, 0);
  EXPECT_EQ(init("'\\''").errors, 0);
  EXPECT_EQ(init("'\\\\'").errors, 0);
  EXPECT_EQ(init("L'\\n'").errors, 0);
  EXPECT_EQ(init("''").messages, "t.c(1) : Error:  invalid character constant\n");
  EXPECT_EQ(init("L''").messages, "t.c(1) : Error:  invalid character constant\n");
  RunResult r = run_text("int x = 'a");
  EXPECT_NE(r.messages.find("invalid character constant"), std::string::npos);
}

TEST(Lexer, TwoDotsAreReportedAndReadAsOne) {
  RunResult r = run_text("struct s { int b; } a;\nint f(void) { return a..b; }\n");
  EXPECT_EQ(r.messages, "t.c(2) : Error:  parse error at `..'\n");
  EXPECT_EQ(r.result.syntax_errors, 0);
  /* three dots are the ellipsis; separated dots are two tokens */
  EXPECT_EQ(run_text("int printf(const char *, ...);").errors, 0);
  EXPECT_EQ(run_text("int f(void) { return a. .b; }").result.lexical_errors, 0);
}

TEST(Lexer, StrayBackslashIsSkipped) {
  RunResult r = run_text("int a \\ ;\nint b;\n");
  EXPECT_EQ(r.messages, "t.c(1) : Error:  Invalid character '\\' in code\n");
  EXPECT_EQ(r.result.syntax_errors, 0);
}

TEST(Lexer, DollarIsAnIdentifierCharacter) {
  struct Names : ParseActions {
    std::vector<std::string> names;
    Node declarator_identifier(Loc, std::string_view n, bool) override {
      names.emplace_back(n);
      return nullptr;
    }
  } n;
  RunResult r = run_text("int a$b, $x;", "ansi", &n);
  EXPECT_EQ(r.errors, 0);
  EXPECT_EQ(n.names, (std::vector<std::string>{"a$b", "$x"}));
}

TEST(Lexer, StringsAreSeparateTokensJoinedByTheGrammar) {
  struct Strings : ParseActions {
    int pieces = 0, strings = 0;
    Node string_piece(Loc, std::string_view) override { pieces++; return nullptr; }
    Node expr_string(Loc, Node) override { strings++; return nullptr; }
  } s;
  RunResult r = run_text("char *p = \"a\" L\"b\"\n \"c\\\"d\";", "ansi", &s);
  EXPECT_EQ(r.errors, 0) << r.messages;
  EXPECT_EQ(s.pieces, 3);
  EXPECT_EQ(s.strings, 1);
}

TEST(Lexer, LongestMatchOperators) {
  EXPECT_EQ(run_text("int f(int a) { a <<= 1; a >>= 2; a = a<<1>>2; a = a->b; a = a&&a||!a; "
                     "a += a -= a *= a /= a %= a &= a |= a ^= 1; a = a++ + ++a - a-- - --a; "
                     "return a <= a >= a == a != a < a > a; }")
                .errors,
            0);
}

TEST(TextScanner, LinesCommentsAndKinds) {
  TextScanner s("a /* x\n y */ 12.5e+3\n// c\n\"s\\\"t\" 'c' L\"w\" ... \\\n@ ->");
  pp::Token t;
  std::vector<std::pair<std::string, uint32_t>> got;
  std::vector<pp::TokenKind> kinds;
  while (s.next(t)) {
    got.emplace_back(std::string(t.text), t.line);
    kinds.push_back(t.kind);
  }
  using K = pp::TokenKind;
  EXPECT_EQ(got, (std::vector<std::pair<std::string, uint32_t>>{
                     {"a", 1}, {"12.5e+3", 2}, {"\"s\\\"t\"", 4}, {"'c'", 4}, {"L\"w\"", 4},
                     {"...", 4}, {"@", 5}, {"->", 5}}));
  EXPECT_EQ(kinds, (std::vector<K>{K::Identifier, K::Number, K::String, K::CharConst, K::String,
                                   K::Punct, K::Other, K::Punct}));
  EXPECT_EQ(t.kind, K::End);
  EXPECT_FALSE(s.next(t));
}

}  // namespace
}  // namespace kvx::fe
