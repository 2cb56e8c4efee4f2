/*
 * corpus_test.cpp - a corpus of C written for the parser parses without a
 * message in every dialect whose keyword set allows it.
 */
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "frontend_test_util.h"

namespace kvx::fe {
namespace {

std::string read_corpus(const std::string &name) {
  const char *root = std::getenv("KVX_SOURCE_DIR");
  std::string path = root ? std::string(root) + "/engine/frontend/tests/corpus/" + name
                          : std::string(KVX_FRONTEND_CORPUS_DIR) + "/" + name;
  std::ifstream in(path);
  EXPECT_TRUE(in.good()) << path;
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

/* Counts what was parsed so that a silently skipped part shows up. */
struct Tally : ParseActions {
  int functions = 0, statements = 0, operators = 0;
  Node function_end(Loc, Node, Node, Node) override { functions++; return nullptr; }
  Node stmt_expression(Loc, Node) override { statements++; return nullptr; }
  Node expr_binary(Loc, Op, Node, Node) override { operators++; return nullptr; }
  Node expr_unary(Loc, Op, Node) override { operators++; return nullptr; }
};

/* Dialects with const, signed and volatile. */
const char *const kAnsiDialects[] = {"ansi",   "mcc",   "hp_ansi", "gnu",   "gnu_d950",
                                     "msc50",  "msc1100", "msc0900", "msc40", "msc0800",
                                     "msc15",  "iar"};
const char *const kAllDialects[] = {"ansi",  "kr78",  "sun",     "hp_ansi", "hp",    "mcc",
                                    "mcc_std", "gnu", "gnu_d950", "msc50",  "msc1100", "msc0900",
                                    "msc40", "msc0800", "msc15",  "iar"};

void parse_everywhere(const std::string &file, const char *const *dialects, size_t n,
                      int min_functions) {
  std::string text = read_corpus(file);
  int functions = -1;
  for (size_t i = 0; i < n; i++) {
    Tally t;
    test::MacroMarkingSource src(text, {}, file);
    test::RunResult r = test::run_source(src, dialects[i], t);
    EXPECT_EQ(r.errors, 0) << file << " in " << dialects[i] << ":\n" << r.messages;
    EXPECT_GE(t.functions, min_functions) << file << " in " << dialects[i];
    if (functions < 0) functions = t.functions;
    EXPECT_EQ(t.functions, functions) << "dialects disagree on " << file;
  }
}

TEST(Corpus, AnsiFilesParseInEveryAnsiDialect) {
  parse_everywhere("containers.c", kAnsiDialects, std::size(kAnsiDialects), 25);
  parse_everywhere("expressions.c", kAnsiDialects, std::size(kAnsiDialects), 18);
  parse_everywhere("declarations.c", kAnsiDialects, std::size(kAnsiDialects), 10);
  parse_everywhere("statements.c", kAnsiDialects, std::size(kAnsiDialects), 15);
  parse_everywhere("calculator.c", kAnsiDialects, std::size(kAnsiDialects), 15);
  parse_everywhere("text_utils.c", kAnsiDialects, std::size(kAnsiDialects), 20);
}

TEST(Corpus, TraditionalFileParsesInEveryDialect) {
  parse_everywhere("kr_style.c", kAllDialects, std::size(kAllDialects), 15);
}

TEST(Corpus, AnsiFilesFailInTraditionalDialects) {
  /* const is an identifier there: the corpus must be rejected */
  std::string text = read_corpus("declarations.c");
  for (const char *d : {"kr78", "hp", "sun", "mcc_std"}) {
    test::MacroMarkingSource src(text, {}, "declarations.c");
    ParseActions none;
    EXPECT_GT(test::run_source(src, d, none).result.syntax_errors, 0) << d;
  }
}

TEST(Corpus, EveryOperatorReachesTheActions) {
  struct Ops : ParseActions {
    std::set<int> seen;
    Node expr_binary(Loc, Op op, Node, Node) override { seen.insert(static_cast<int>(op)); return nullptr; }
    Node expr_unary(Loc, Op op, Node) override { seen.insert(static_cast<int>(op)); return nullptr; }
    Node expr_ternary(Loc, Node, Node, Node) override { seen.insert(static_cast<int>(Op::Ternary)); return nullptr; }
    Node expr_cast(Loc, Node, Node) override { seen.insert(static_cast<int>(Op::Cast)); return nullptr; }
    Node expr_call(Loc, Node, Node) override { seen.insert(static_cast<int>(Op::Call)); return nullptr; }
    Node expr_member(Loc, Op op, Node, std::string_view) override { seen.insert(static_cast<int>(op)); return nullptr; }
    Node expr_size_of_type(Loc, Op op, Node) override { seen.insert(static_cast<int>(op)); return nullptr; }
  } ops;
  std::string text = read_corpus("expressions.c");
  test::MacroMarkingSource src(text, {}, "expressions.c");
  test::RunResult r = test::run_source(src, "ansi", ops);
  EXPECT_EQ(r.errors, 0);
  /* all operators but the compound initializer and __alignof__ */
  for (int op = static_cast<int>(Op::Add); op <= static_cast<int>(Op::Sequence); op++)
    EXPECT_TRUE(ops.seen.count(op)) << "operator kind " << op;
}

}  // namespace
}  // namespace kvx::fe
