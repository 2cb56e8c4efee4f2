/*
 * fixtures.h - models built by hand for the model tests, and a Tcl
 * interpreter with the rule commands registered on such a model.
 */
#ifndef KVX_MODEL_TESTS_FIXTURES_H
#define KVX_MODEL_TESTS_FIXTURES_H

#include <tcl.h>

#include <cstdio>
#include <memory>
#include <string>

#include "driver/diag.h"
#include "model/builder.h"
#include "model/commands.h"
#include "model/model.h"

namespace kvx::test {

/* The model of this source, "f.c":
 *
 *  1  #define MAX(a,b) ((a)>(b)?(a):(b))
 *  2  static int counter;
 *  3  struct point { int x; int y : 4; };
 *  4  union u { int i; };
 *  5  enum color { RED, GREEN = 2 };
 *  6  int g = 1, h;
 *  7  int main(int argc)
 *  8  {   int local;
 *  9      { int inner; goto out; }
 * 10  out:
 * 11      if (local) local = argc + 1;
 * 12      return 0;
 * 13  }
 * 14  static void helper(void) { struct { int z; } anon; goto done; done: ; }
 *
 * plus a comment on lines 2-4 and an inclusion of "f.h" on line 1. */
struct SampleModel {
  explicit SampleModel(Model &m);
  FileRec *file, *header;
  ScopeRec *tu, *main_scope, *main_body, *inner_block, *helper_scope, *helper_body;
  ScopeRec *point_scope, *u_scope, *anon_scope, *macro_scope;
  SymbolRec *max_sym, *counter_sym, *point_tag, *u_tag, *color_tag, *red_sym, *green_sym;
  SymbolRec *g_sym, *h_sym, *main_sym, *argc_sym, *local_sym, *inner_sym, *out_sym;
  SymbolRec *helper_sym, *done_sym, *x_sym, *y_sym, *i_sym, *z_sym, *anon_sym;
  FunctionRec *max_fn, *main_fn, *helper_fn;
  VariableRec *counter_var, *g_var, *h_var, *argc_var, *local_var, *inner_var, *anon_var;
  TypeRec *point_type, *u_type, *anon_type, *color_type, *main_type;
  FieldRec *x_field, *y_field, *i_field, *z_field;
  EnumValueRec *red_val, *green_val;
  InstrRec *g_def, *h_def, *main_block, *local_def, *inner_blk, *inner_def, *goto_out;
  InstrRec *if_instr, *assign_instr, *return_instr, *helper_block, *anon_def, *goto_done, *empty_instr;
  LabelRec *out_label, *done_label;
  ExprRec *cond_expr, *assign_expr, *lhs_expr, *plus_expr, *argc_expr, *one_expr, *zero_expr, *g_init;
  CommentRec *comment;
  InclusionRec *inclusion;
};

/* An interpreter with the commands on a model, output captured. */
class TclRig {
 public:
  explicit TclRig(bool with_report);
  ~TclRig();
  Model &model() { return *model_; }
  ModelBuilder &builder() { return builder_; }
  Tcl_Interp *interp() { return interp_; }

  /* Evaluates a script; returns the result, the code in *code. */
  std::string eval(const std::string &script, int *code = nullptr);
  /* Evaluates a script that must succeed. */
  std::string ok(const std::string &script);
  /* Evaluates a script that must fail; returns the error result. */
  std::string fails(const std::string &script);
  std::string error_info();
  /* The id of an object as the engine forms it. */
  std::string id(const Obj *o);

  std::string report_text() { return read(report_); }
  std::string console_text() { return read(console_); }
  std::string err_text() { return read(err_); }

 private:
  static std::string read(FILE *f);
  Diagnostics diag_;
  std::unique_ptr<Model> model_;
  ModelBuilder builder_;
  FILE *report_ = nullptr, *console_, *err_;
  std::unique_ptr<ViolationSink> sink_;
  Tcl_Interp *interp_;
};

}  // namespace kvx::test

#endif
