/*
 * fixtures.cpp - the hand-built sample model and the Tcl test rig.
 */
#include "fixtures.h"

#include <gtest/gtest.h>

namespace kvx::test {

SampleModel::SampleModel(Model &m) {
  ModelBuilder b(m);
  ScopeRec *global = m.global_scope();
  file = b.file_object("f.c");
  header = b.file_object("f.h");
  inclusion = b.add_inclusion(file, 1, header);
  comment = b.add_comment(file, 2, 3);
  tu = b.new_scope(SCOPE_TRANSLATION_UNIT, global, file, 1);

  /* #define MAX(a,b) */
  max_sym = b.new_symbol(SYM_MACRO, "MAX", tu, file, 1);
  max_fn = b.new_function(FN_MACRO, tu, max_sym);
  macro_scope = b.new_scope(SCOPE_FUNCTION, tu, file, 1);
  b.set_function_scope(max_fn, macro_scope);
  b.new_symbol(SYM_VARIABLE, "a", macro_scope, file, 1);
  b.new_symbol(SYM_VARIABLE, "b", macro_scope, file, 1);

  /* static int counter; */
  counter_sym = b.new_symbol(SYM_VARIABLE, "counter", tu, file, 2);
  counter_var = b.new_variable(tu, counter_sym, b.new_type(TYPE_INT, nullptr, 0));
  b.set_persistent(counter_var, true);
  InstrRec *counter_decl = b.new_instruction(INSTR_TENTATIVE, file, 2);
  b.set_declared(counter_decl, counter_sym, tu);

  /* struct point { int x; int y : 4; }; */
  point_tag = b.new_symbol(SYM_TAG, "point", tu, file, 3);
  point_type = b.new_type(TYPE_STRUCT, file, 3);
  b.set_tag(point_type, point_tag);
  point_scope = b.new_scope(SCOPE_STRUCTURE, tu, file, 3);
  b.set_structure_scope(point_type, point_scope);
  x_sym = b.new_symbol(SYM_FIELD, "x", point_scope, file, 3);
  x_field = b.new_field(FIELD_PLAIN, point_type, x_sym, b.new_type(TYPE_INT, nullptr, 0), nullptr);
  y_sym = b.new_symbol(SYM_FIELD, "y", point_scope, file, 3);
  ExprRec *four = b.new_expression(EXPR_CONSTANT, file, 3);
  y_field = b.new_field(FIELD_BIT, point_type, y_sym, b.new_type(TYPE_INT, nullptr, 0), four);

  /* union u { int i; }; */
  u_tag = b.new_symbol(SYM_TAG, "u", tu, file, 4);
  u_type = b.new_type(TYPE_UNION, file, 4);
  b.set_tag(u_type, u_tag);
  u_scope = b.new_scope(SCOPE_STRUCTURE, tu, file, 4);
  b.set_structure_scope(u_type, u_scope);
  i_sym = b.new_symbol(SYM_FIELD, "i", u_scope, file, 4);
  i_field = b.new_field(FIELD_PLAIN, u_type, i_sym, b.new_type(TYPE_INT, nullptr, 0), nullptr);

  /* enum color { RED, GREEN = 2 }; */
  color_tag = b.new_symbol(SYM_TAG, "color", tu, file, 5);
  color_type = b.new_type(TYPE_ENUM, file, 5);
  b.set_tag(color_type, color_tag);
  red_sym = b.new_symbol(SYM_ENUM, "RED", tu, file, 5);
  red_val = b.new_enum_value(color_type, red_sym, nullptr);
  green_sym = b.new_symbol(SYM_ENUM, "GREEN", tu, file, 5);
  green_val = b.new_enum_value(color_type, green_sym, b.new_expression(EXPR_CONSTANT, file, 5));

  /* int g = 1, h; */
  g_sym = b.new_symbol(SYM_VARIABLE, "g", global, file, 6);
  g_var = b.new_variable(global, g_sym, b.new_type(TYPE_INT, nullptr, 0));
  b.set_persistent(g_var, true);
  g_def = b.new_instruction(INSTR_DEFINITION, file, 6);
  b.set_declared(g_def, g_sym, global);
  g_init = b.new_expression(EXPR_CONSTANT, file, 6);
  b.set_initialization(g_def, g_init);
  h_sym = b.new_symbol(SYM_VARIABLE, "h", global, file, 6);
  h_var = b.new_variable(global, h_sym, b.new_type(TYPE_INT, nullptr, 0));
  h_def = b.new_instruction(INSTR_TENTATIVE, file, 6);
  b.set_declared(h_def, h_sym, global);
  b.link_same_declaration(g_def, h_def);

  /* int main(int argc) { ... } */
  main_sym = b.new_symbol(SYM_FUNCTION, "main", global, file, 7);
  main_fn = b.new_function(FN_BUILTOUT, global, main_sym);
  main_type = b.new_type(TYPE_FUNCTION, file, 7);
  b.add_parameter(main_type, b.new_type(TYPE_INT, nullptr, 0));
  b.set_arity(main_type, 1);
  b.set_function_type(main_fn, main_type);
  main_scope = b.new_scope(SCOPE_FUNCTION, global, file, 7);
  b.set_function_scope(main_fn, main_scope);
  argc_sym = b.new_symbol(SYM_VARIABLE, "argc", main_scope, file, 7);
  argc_var = b.new_variable(main_scope, argc_sym, b.new_type(TYPE_INT, nullptr, 0));
  b.set_variable_function(argc_var, main_fn);
  main_body = b.new_scope(SCOPE_BLOCK, main_scope, file, 8);
  local_sym = b.new_symbol(SYM_VARIABLE, "local", main_body, file, 8);
  local_var = b.new_variable(main_body, local_sym, b.new_type(TYPE_INT, nullptr, 0));
  b.set_variable_function(local_var, main_fn);
  local_def = b.new_instruction(INSTR_DEFINITION, file, 8);
  b.set_declared(local_def, local_sym, main_body);
  inner_block = b.new_scope(SCOPE_BLOCK, main_body, file, 9);
  inner_sym = b.new_symbol(SYM_VARIABLE, "inner", inner_block, file, 9);
  inner_var = b.new_variable(inner_block, inner_sym, b.new_type(TYPE_INT, nullptr, 0));
  inner_def = b.new_instruction(INSTR_DEFINITION, file, 9);
  b.set_declared(inner_def, inner_sym, inner_block);
  /* goto before its label: the label is made by the goto */
  out_sym = b.new_symbol(SYM_LABEL, "out", main_scope, file, 9);
  out_label = b.new_label(LABEL_IDENT, file, 9);
  b.set_label_symbol(out_label, out_sym);
  goto_out = b.new_instruction(INSTR_GOTO, file, 9);
  b.set_goto_target(goto_out, out_label);
  inner_blk = b.new_instruction(INSTR_BLOCK, file, 9);
  b.set_block_scope(inner_blk, inner_block);
  b.append_to_block(inner_blk, inner_def);
  b.append_to_block(inner_blk, goto_out);
  /* out: if (local) local = argc + 1; */
  cond_expr = b.new_expression(EXPR_SYMBOL, file, 11);
  b.set_expression_symbol(cond_expr, local_sym);
  lhs_expr = b.new_expression(EXPR_SYMBOL, file, 11);
  b.set_expression_symbol(lhs_expr, local_sym);
  argc_expr = b.new_expression(EXPR_SYMBOL, file, 11);
  b.set_expression_symbol(argc_expr, argc_sym);
  one_expr = b.new_expression(EXPR_CONSTANT, file, 11);
  plus_expr = b.new_expression(EXPR_COMPLEX, file, 11);
  b.set_expression_function(plus_expr, m.builtin_function(FN_ADD));
  b.add_operand(plus_expr, argc_expr);
  b.add_operand(plus_expr, one_expr);
  assign_expr = b.new_expression(EXPR_COMPLEX, file, 11);
  b.set_expression_function(assign_expr, m.builtin_function(FN_ASSIGN));
  b.add_operand(assign_expr, lhs_expr);
  b.add_operand(assign_expr, plus_expr);
  assign_instr = b.new_instruction(INSTR_EXPRESSION, file, 11);
  b.set_expression(assign_instr, assign_expr);
  if_instr = b.new_instruction(INSTR_IF, file, 11);
  b.set_condition(if_instr, cond_expr);
  b.set_branches(if_instr, assign_instr, nullptr);
  b.set_label_place(out_label, file, 10);
  b.attach_label(out_label, if_instr);
  zero_expr = b.new_expression(EXPR_CONSTANT, file, 12);
  return_instr = b.new_instruction(INSTR_RETURN, file, 12);
  b.set_expression(return_instr, zero_expr);
  main_block = b.new_instruction(INSTR_BLOCK, file, 8);
  b.set_block_scope(main_block, main_body);
  b.append_to_block(main_block, local_def);
  b.append_to_block(main_block, inner_blk);
  b.append_to_block(main_block, if_instr);
  b.append_to_block(main_block, return_instr);
  b.set_function_body(main_fn, main_block);

  /* static void helper(void) { struct { int z; } anon; goto done; done: ; } */
  helper_sym = b.new_symbol(SYM_FUNCTION, "helper", tu, file, 14);
  helper_fn = b.new_function(FN_BUILTOUT, tu, helper_sym);
  helper_scope = b.new_scope(SCOPE_FUNCTION, tu, file, 14);
  b.set_function_scope(helper_fn, helper_scope);
  helper_body = b.new_scope(SCOPE_BLOCK, helper_scope, file, 14);
  anon_type = b.new_type(TYPE_STRUCT, file, 14);
  anon_scope = b.new_scope(SCOPE_STRUCTURE, helper_body, file, 14);
  b.set_structure_scope(anon_type, anon_scope);
  z_sym = b.new_symbol(SYM_FIELD, "z", anon_scope, file, 14);
  z_field = b.new_field(FIELD_PLAIN, anon_type, z_sym, b.new_type(TYPE_INT, nullptr, 0), nullptr);
  anon_sym = b.new_symbol(SYM_VARIABLE, "anon", helper_body, file, 14);
  anon_var = b.new_variable(helper_body, anon_sym, anon_type);
  anon_def = b.new_instruction(INSTR_DEFINITION, file, 14);
  b.set_declared(anon_def, anon_sym, helper_body);
  done_sym = b.new_symbol(SYM_LABEL, "done", helper_scope, file, 14);
  done_label = b.new_label(LABEL_IDENT, file, 14);
  b.set_label_symbol(done_label, done_sym);
  goto_done = b.new_instruction(INSTR_GOTO, file, 14);
  b.set_goto_target(goto_done, done_label);
  empty_instr = b.new_instruction(INSTR_EXPRESSION, file, 14);
  b.attach_label(done_label, empty_instr);
  helper_block = b.new_instruction(INSTR_BLOCK, file, 14);
  b.set_block_scope(helper_block, helper_body);
  b.append_to_block(helper_block, anon_def);
  b.append_to_block(helper_block, goto_done);
  b.append_to_block(helper_block, empty_instr);
  b.set_function_body(helper_fn, helper_block);
}

TclRig::TclRig(bool with_report)
    : diag_(stderr), model_(std::make_unique<Model>(diag_)), builder_(*model_) {
  if (with_report) report_ = std::tmpfile();
  console_ = std::tmpfile();
  err_ = std::tmpfile();
  sink_ = std::make_unique<ViolationSink>(report_, console_);
  interp_ = Tcl_CreateInterp();
  register_model_commands(interp_, *model_, *sink_, err_);
}

TclRig::~TclRig() {
  Tcl_DeleteInterp(interp_);
  if (report_) std::fclose(report_);
  std::fclose(console_);
  std::fclose(err_);
}

std::string TclRig::eval(const std::string &script, int *code) {
  int c = Tcl_EvalEx(interp_, script.data(), (int)script.size(), TCL_EVAL_GLOBAL);
  if (code) *code = c;
  return Tcl_GetStringResult(interp_);
}

std::string TclRig::ok(const std::string &script) {
  int code;
  std::string r = eval(script, &code);
  EXPECT_EQ(code, TCL_OK) << script << "\n -> " << r;
  return r;
}

std::string TclRig::fails(const std::string &script) {
  int code;
  std::string r = eval(script, &code);
  EXPECT_EQ(code, TCL_ERROR) << script << "\n -> " << r;
  return r;
}

std::string TclRig::error_info() {
  const char *s = Tcl_GetVar2(interp_, "errorInfo", nullptr, TCL_GLOBAL_ONLY);
  return s ? s : "";
}

std::string TclRig::id(const Obj *o) {
  return model_->object_id(o, class_by_id(class_for_kind((Family)o->family, o->kind)));
}

std::string TclRig::read(FILE *f) {
  if (!f) return "";
  std::fflush(f);
  long end = std::ftell(f);
  std::string s((size_t)end, '\0');
  std::rewind(f);
  size_t n = std::fread(s.data(), 1, s.size(), f);
  s.resize(n);
  std::fseek(f, 0, SEEK_END);
  return s;
}

}  // namespace kvx::test
