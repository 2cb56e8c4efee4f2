/*
 * random_test.cpp - sources assembled at random from directive, macro and
 * token fragments (fixed seed): the preprocessor must not fail on them, and
 * the two ways must agree on every token, event and message.
 */
#include <gtest/gtest.h>

#include <random>

#include "pp_harness.h"

using namespace kvx::pp::test;

namespace {

const char *const fragments[] = {
    "#define A(x) x##1 #x\n", "#define B A(\n", "#define C B 2)\n", "#define D D + E\n",
    "#define E(a, ...) a __VA_ARGS__ D\n", "#undef A\n", "#if A(0) || defined B\n", "#elif C\n",
    "#else\n", "#endif\n", "#ifdef D\n", "#include \"r.h\"\n", "#line 40\n", "A(", "B", "C", "D",
    "E(1, 2, 3)", "E(", ")", "(", ",", "\"str\\\"\"", "'c'", "/* comment\n on two */", "// line\n",
    "\\\n", "?\?=", "x", "42", "1.5e+3", "...", "##", "#", "\n", "\n", " ", "__LINE__", "__FILE__",
    "#assert p(q)\n", "#if #p(q) && sizeof(int) == 4\n", "#define F(a) #a a ## a\n", "F(+)", "F()",
    /* the C99 level */
    "#define G(f, ...) f(0 __VA_OPT__(,) __VA_ARGS__) #__VA_OPT__(x)\n", "G(E)", "G(E, 1)", "G(",
    "#define H(f, a...) f(, ## a)\n", "H(A)", "H(A, 2)", "#if __has_include(\"r.h\") && 0xffffffffffffffff > 0\n",
    "#if __has_attribute(x) || __has_include(<none.h>)\n", "_Pragma(\"once\")", "_Pragma(", "__COUNTER__",
    "#pragma once\n", "#pragma push_macro(\"D\")\n", "#pragma pop_macro(\"D\")\n", "#warning w\n",
    "#include_next <r.h>\n", "__has_builtin(y)", "L ## 'a'",
};

TEST(Random, BothWaysAgreeOnRandomSources) {
  std::mt19937 rng(20261207);
  std::string dir = temp_dir();
  write_file(dir + "/r.h", "#ifndef R_H\n#define R_H\nheader A(h)\n#endif\n");
  const size_t n = sizeof fragments / sizeof fragments[0];
  for (int round = 0; round < 80; round++) {
    std::string text;
    int len = 20 + (int)(rng() % 120);
    for (int i = 0; i < len; i++) text += fragments[rng() % n];
    std::string src = dir + "/s" + std::to_string(round) + ".c";
    write_file(src, text);
    std::vector<std::string> words;
    if (round % 3 == 1) words.push_back("-mode=noexp");
    if (round % 5 == 2) words.push_back("-traditional");
    if (round % 4 == 3) words.insert(words.end(), {"-dial", "gnu", "-I", dir});
    PPRun in = run_inprocess(src, words, dir);
    PPRun ex = run_external(src, words, dir);
    EXPECT_EQ(in.dump, ex.dump) << src;
    EXPECT_EQ(in.diags, ex.diags) << src;
    if (in.dump != ex.dump || in.diags != ex.diags) break;
  }
}

}  // namespace
