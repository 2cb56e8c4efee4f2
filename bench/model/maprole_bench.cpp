/*
 * maprole_bench.cpp - cost of MapRole per visited object against the cost
 * per element of a Tcl foreach over a list of the same length.
 *
 * Builds a synthetic model of N expression objects (default 500000) in
 * functions of a few hundred statements, then, in one interpreter, times:
 *   - MapRole application expression -filter accept visit
 *   - foreach o $ids { if {[accept $o]} { visit $o } }   (same work in Tcl)
 *   - foreach o $ids {}                                   (bare loop)
 *   - MapRole application expression                      (no scripts)
 *   - filter and script of two commands each, which MapRole evaluates as
 *     text, against the same commands in the foreach body
 *   - a filter that reads each object's class (-filter isComplex)
 * accept and visit are procedures that return 1.  Each timing is the best
 * of a few runs.  Usage: kvx_bench_maprole [N]
 */
#include <tcl.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "driver/diag.h"
#include "model/builder.h"
#include "model/commands.h"

using namespace kvx;

namespace {

/* Functions of 100 statements "x = y + 1;", each three expressions plus
 * the assignment, until N expressions exist. */
void build(Model &m, long n) {
  ModelBuilder b(m);
  FileRec *f = b.file_object("synthetic.c");
  ScopeRec *tu = b.new_scope(SCOPE_TRANSLATION_UNIT, m.global_scope(), f, 1);
  long made = 0, line = 1, fn_no = 0;
  while (made < n) {
    std::string name = "f" + std::to_string(fn_no++);
    SymbolRec *sym = b.new_symbol(SYM_FUNCTION, name, m.global_scope(), f, (uint32_t)line);
    FunctionRec *fn = b.new_function(FN_BUILTOUT, m.global_scope(), sym);
    ScopeRec *fs = b.new_scope(SCOPE_FUNCTION, m.global_scope(), f, (uint32_t)line);
    b.set_function_scope(fn, fs);
    ScopeRec *body = b.new_scope(SCOPE_BLOCK, fs, f, (uint32_t)++line);
    SymbolRec *x = b.new_symbol(SYM_VARIABLE, "x", body, f, (uint32_t)line);
    b.new_variable(body, x, b.new_type(TYPE_INT, nullptr, 0));
    InstrRec *blk = b.new_instruction(INSTR_BLOCK, f, (uint32_t)line);
    b.set_block_scope(blk, body);
    for (int s = 0; s < 100 && made < n; s++) {
      line++;
      ExprRec *lhs = b.new_expression(EXPR_SYMBOL, f, (uint32_t)line);
      b.set_expression_symbol(lhs, x);
      ExprRec *y = b.new_expression(EXPR_SYMBOL, f, (uint32_t)line);
      b.set_expression_symbol(y, x);
      ExprRec *one = b.new_expression(EXPR_CONSTANT, f, (uint32_t)line);
      ExprRec *plus = b.new_expression(EXPR_COMPLEX, f, (uint32_t)line);
      b.set_expression_function(plus, m.builtin_function(FN_ADD));
      b.add_operand(plus, y);
      b.add_operand(plus, one);
      ExprRec *assign = b.new_expression(EXPR_COMPLEX, f, (uint32_t)line);
      b.set_expression_function(assign, m.builtin_function(FN_ASSIGN));
      b.add_operand(assign, lhs);
      b.add_operand(assign, plus);
      InstrRec *st = b.new_instruction(INSTR_EXPRESSION, f, (uint32_t)line);
      b.set_expression(st, assign);
      b.append_to_block(blk, st);
      made += 5;
    }
    b.set_function_body(fn, blk);
    line += 2;
  }
  (void)tu;
}

double seconds(Tcl_Interp *interp, const char *script, int runs) {
  double best = 1e9;
  for (int r = 0; r < runs; r++) {
    auto t0 = std::chrono::steady_clock::now();
    if (Tcl_Eval(interp, script) != TCL_OK) {
      std::fprintf(stderr, "benchmark script failed: %s\n", Tcl_GetStringResult(interp));
      std::exit(2);
    }
    double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    if (s < best) best = s;
  }
  return best;
}

}  // namespace

int main(int argc, char **argv) {
  long n = argc > 1 ? std::atol(argv[1]) : 500000;
  if (n <= 0) {
    std::fprintf(stderr, "usage: %s [number_of_expressions]\n", argv[0]);
    return 1;
  }
  Diagnostics diag;
  Model model(diag);
  auto t0 = std::chrono::steady_clock::now();
  build(model, n);
  double build_s = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
  ViolationSink sink(nullptr, stdout);
  Tcl_Interp *interp = Tcl_CreateInterp();
  register_model_commands(interp, model, sink);
  const char *setup =
      "proc accept {o} {return 1}\n"
      "proc visit {o} {return 1}\n"
      "proc collect {o} {lappend ::ids $o; return 1}\n"
      "set ::ids {}; MapRole application expression collect\n"
      "proc mapped {} {MapRole application expression -filter accept visit}\n"
      "proc mapped_bare {} {MapRole application expression}\n"
      "proc mapped_text {} {MapRole application expression -filter {set u 1; accept} {set u 2; visit}}\n"
      "proc isComplex {o} {expr {[Class $o] eq {ExpressionComplex}}}\n"
      "proc mapped_class {} {MapRole application expression -filter isComplex visit}\n"
      "proc looped_class {} {foreach o $::ids { if {[isComplex $o]} { visit $o } }}\n"
      "proc looped_text {} {foreach o $::ids { set u 1; if {[accept $o]} { set u 2; visit $o } }}\n"
      "proc looped {} {set c 0; foreach o $::ids { if {[accept $o]} { incr c; visit $o } }; set c}\n"
      "proc looped_bare {} {foreach o $::ids {}}\n";
  if (Tcl_Eval(interp, setup) != TCL_OK) {
    std::fprintf(stderr, "setup failed: %s\n", Tcl_GetStringResult(interp));
    return 2;
  }
  Tcl_Eval(interp, "llength $::ids");
  long count = std::atol(Tcl_GetStringResult(interp));
  const int runs = 3;
  double map_s = seconds(interp, "mapped", runs);
  double loop_s = seconds(interp, "looped", runs);
  double bare_s = seconds(interp, "looped_bare", runs);
  double map_bare_s = seconds(interp, "mapped_bare", runs);
  double map_text_s = seconds(interp, "mapped_text", runs);
  double loop_text_s = seconds(interp, "looped_text", runs);
  double map_class_s = seconds(interp, "mapped_class", runs);
  double loop_class_s = seconds(interp, "looped_class", runs);
  auto ns = [&](double s) { return s * 1e9 / (double)count; };
  std::printf("objects: %ld expressions (model built in %.3f s)\n", count, build_s);
  std::printf("MapRole -filter accept visit: %8.1f ns per object\n", ns(map_s));
  std::printf("foreach with accept and visit: %7.1f ns per element\n", ns(loop_s));
  std::printf("ratio MapRole / foreach (same work): %.2f\n", map_s / loop_s);
  std::printf("MapRole without scripts:      %8.1f ns per object\n", ns(map_bare_s));
  std::printf("bare foreach:                 %8.1f ns per element\n", ns(bare_s));
  std::printf("ratio MapRole / foreach (no scripts): %.2f\n", map_bare_s / bare_s);
  std::printf("MapRole, scripts of several commands: %8.1f ns per object\n", ns(map_text_s));
  std::printf("foreach, same commands:               %8.1f ns per element\n", ns(loop_text_s));
  std::printf("ratio MapRole / foreach (several commands): %.2f\n", map_text_s / loop_text_s);
  std::printf("MapRole, filter on the class:         %8.1f ns per object\n", ns(map_class_s));
  std::printf("foreach, same filter:                 %8.1f ns per element\n", ns(loop_class_s));
  std::printf("ratio MapRole / foreach (class filter): %.2f\n", map_class_s / loop_class_s);
  Tcl_DeleteInterp(interp);
  return 0;
}
