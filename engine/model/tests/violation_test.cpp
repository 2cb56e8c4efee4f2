/*
 * violation_test.cpp - the Violation command: argument checks, the record
 * and console forms, localisation and the enclosing function.
 */
#include <gtest/gtest.h>

#include "fixtures.h"

using namespace kvx;
using kvx::test::SampleModel;
using kvx::test::TclRig;

namespace {

class Violations : public ::testing::TestWithParam<bool> {
 protected:
  TclRig rig{GetParam()};
  SampleModel s{rig.model()};
  std::string out() { return GetParam() ? rig.report_text() : rig.console_text(); }
  std::string id(const Obj *o) { return rig.id(o); }
  /* The record or console line of one call. */
  std::string written(const std::string &call) {
    std::string before = out();
    rig.ok(call);
    return out().substr(before.size());
  }
};

}  // namespace

TEST_P(Violations, ApplicationFileAndUnlocatedForms) {
  bool rec = GetParam();
  EXPECT_EQ(written("Violation application R1 {a message}"), rec ? "F\nR R1\nM\n" : "R1\n");
  EXPECT_EQ(written("violation " + id(s.file) + " R5 m"), rec ? "Ff.c(0)\nRR5\nMm\n" : "f.c(0) : R5 : m\n");
  EXPECT_EQ(written("Violation " + id(s.header) + " R5"), rec ? "Ff.h(0)\nRR5\nM\n" : "f.h(0) : R5 :\n");
  /* A type of the fixed part has no file: the message is dropped. */
  std::string builtin = id(rig.model().builtin_type(TYPE_INT));
  EXPECT_EQ(written("Violation " + builtin + " R3 dropped"), rec ? "F\nRR3\nM\n" : "R3\n");
  EXPECT_EQ(written("Violation [GetRole application scopeGlobal] R4"), rec ? "F\nRR4\nM\n" : "R4\n");
  EXPECT_EQ(rig.ok("Violation application R1"), "");
}

/* A record equal to one already written is not written again; a record
 * differing in file, line, rule or message is. */
TEST_P(Violations, EachRecordOnce) {
  bool rec = GetParam();
  std::string e = id(s.cond_expr);
  EXPECT_NE(written("Violation " + e + " R2 m"), "");
  EXPECT_EQ(written("Violation " + e + " R2 m"), "");
  EXPECT_EQ(written("Violation " + e + " R2 {other message}"),
            rec ? "Ff.c(11)\nRR2\nMother message (in function main)\n"
                : "f.c(11) : R2 : other message (in function main)\n");
  EXPECT_NE(written("Violation " + e + " R3 m"), "");
  EXPECT_NE(written("Violation " + id(s.file) + " R2 m"), "");
  EXPECT_EQ(written("Violation application R9"), rec ? "F\nR R9\nM\n" : "R9\n");
  EXPECT_EQ(written("Violation application R9"), "");
}

TEST_P(Violations, LocatedFormsWithEnclosingFunction) {
  bool rec = GetParam();
  EXPECT_EQ(written("Violation " + id(s.cond_expr) + " R2 m"),
            rec ? "Ff.c(11)\nRR2\nMm (in function main)\n" : "f.c(11) : R2 : m (in function main)\n");
  EXPECT_EQ(written("Violation " + id(s.cond_expr) + " R2"),
            rec ? "Ff.c(11)\nRR2\nM (in function main)\n" : "f.c(11) : R2 : (in function main)\n");
  int calls = 0;
  auto fn = [&](const Obj *o) {
    /* a rule name of its own, so that no record repeats another */
    std::string w = written("Violation " + id(o) + " R" + std::to_string(++calls));
    size_t p = w.find("(in function ");
    return p == std::string::npos ? std::string("-") : w.substr(p + 13, w.find(')', p) - p - 13);
  };
  /* Declarations and scopes walk outward; symbols from their scope. */
  EXPECT_EQ(fn(s.local_def), "main");
  EXPECT_EQ(fn(s.inner_def), "main");
  EXPECT_EQ(fn(s.g_def), "-");
  EXPECT_EQ(fn(s.inner_block), "main");
  EXPECT_EQ(fn(s.main_scope), "main");
  EXPECT_EQ(fn(s.anon_scope), "helper");
  EXPECT_EQ(fn(s.tu), "-");
  EXPECT_EQ(fn(s.local_sym), "main");
  EXPECT_EQ(fn(s.out_sym), "main");
  EXPECT_EQ(fn(s.main_sym), "-");
  EXPECT_EQ(fn(s.x_sym), "-");
  /* Expressions, instructions and labels by line and membership. */
  EXPECT_EQ(fn(s.plus_expr), "main");
  EXPECT_EQ(fn(s.zero_expr), "main");
  EXPECT_EQ(fn(s.goto_out), "main");
  EXPECT_EQ(fn(s.out_label), "main");
  EXPECT_EQ(fn(s.main_block), "main");
  /* helper is written on one line: nothing on it is found in a function. */
  EXPECT_EQ(fn(s.goto_done), "-");
  EXPECT_EQ(fn(s.done_label), "-");
  /* An expression on a line of main that is not part of main's body. */
  EXPECT_EQ(fn(rig.builder().new_expression(EXPR_CONSTANT, s.file, 12)), "-");
  /* Types, comments and inclusions get none. */
  EXPECT_EQ(fn(s.point_type), "-");
  EXPECT_EQ(fn(s.comment), "-");
  EXPECT_EQ(written("Violation " + id(s.inclusion) + " Inc"), rec ? "Ff.c(1)\nRInc\nM\n" : "f.c(1) : Inc :\n");
}

TEST_P(Violations, RefusedCallsWriteNothing) {
  std::string v = id(s.local_var);
  EXPECT_EQ(rig.fails("Violation " + v + " R"), "Violation: " + v + ": no localization");
  for (const Obj *o : {(const Obj *)s.red_val, (const Obj *)s.main_fn, (const Obj *)s.x_field,
                       (const Obj *)rig.model().builtin_function(FN_ADD)})
    EXPECT_EQ(rig.fails("violation " + id(o) + " R"), "violation: " + id(o) + ": no localization");
  EXPECT_EQ(rig.fails("Violation application \"R\\n1\""), "Violation: ruleName may not contain '\\n'");
  EXPECT_EQ(rig.fails("Violation application R \"a\\nb\""), "Violation: message may not contain '\\n'");
  /* The checks come in order: count, rule name, message, id. */
  EXPECT_EQ(rig.fails("Violation bad \"R\\n\" \"m\\n\""), "Violation: ruleName may not contain '\\n'");
  EXPECT_EQ(rig.fails("Violation bad R \"m\\n\""), "Violation: message may not contain '\\n'");
  EXPECT_EQ(rig.fails("Violation bad R m"), "bad: ill formed object id");
  EXPECT_EQ(rig.fails("Violation bad"), "usage: Violation object ruleName ?message?");
  EXPECT_EQ(out(), "");
}

TEST_P(Violations, GotoRuleOverTheApplicationsInstructions) {
  bool rec = GetParam();
  rig.ok("proc isGoto {o} {expr {[Class $o] eq \"InstructionGoto\"}}\n"
         "proc report {o} {Violation $o noGoto {goto used}; return 1}\n"
         "MapRole application instruction -filter isGoto report");
  /* The application's instructions come newest first. */
  EXPECT_EQ(out(), rec ? "Ff.c(14)\nRnoGoto\nMgoto used\nFf.c(9)\nRnoGoto\nMgoto used (in function main)\n"
                       : "f.c(14) : noGoto : goto used\nf.c(9) : noGoto : goto used (in function main)\n");
}

INSTANTIATE_TEST_SUITE_P(ReportAndConsole, Violations, ::testing::Values(true, false));

/* Two functions with gotos, each over several lines:
 *  1  void f(void)
 *  2  {
 *  3      goto a;
 *  4  a:  ;
 *  5  }
 *  6  void g(int x)
 *  7  {
 *  8      if (x)
 *  9          goto b;
 * 10  b:  ;
 * 11  } */
TEST(ViolationGotos, RecordsOfAGotoRuleInTwoFunctions) {
  for (bool with_report : {true, false}) {
    TclRig rig(with_report);
    Model &m = rig.model();
    ModelBuilder &b = rig.builder();
    FileRec *file = b.file_object("g.c");
    b.new_scope(SCOPE_TRANSLATION_UNIT, m.global_scope(), file, 1);
    auto function = [&](const char *name, uint32_t line, uint32_t goto_line, bool in_if) {
      SymbolRec *sym = b.new_symbol(SYM_FUNCTION, name, m.global_scope(), file, line);
      FunctionRec *fn = b.new_function(FN_BUILTOUT, m.global_scope(), sym);
      ScopeRec *fs = b.new_scope(SCOPE_FUNCTION, m.global_scope(), file, line);
      b.set_function_scope(fn, fs);
      ScopeRec *body = b.new_scope(SCOPE_BLOCK, fs, file, line + 1);
      SymbolRec *lsym = b.new_symbol(SYM_LABEL, name[0] == 'f' ? "a" : "b", fs, file, goto_line);
      LabelRec *label = b.new_label(LABEL_IDENT, file, goto_line);
      b.set_label_symbol(label, lsym);
      InstrRec *jump = b.new_instruction(INSTR_GOTO, file, goto_line);
      b.set_goto_target(jump, label);
      InstrRec *first = jump;
      if (in_if) {
        first = b.new_instruction(INSTR_IF, file, goto_line - 1);
        b.set_condition(first, b.new_expression(EXPR_SYMBOL, file, goto_line - 1));
        b.set_branches(first, jump, nullptr);
      }
      InstrRec *empty = b.new_instruction(INSTR_EXPRESSION, file, goto_line + 1);
      b.set_label_place(label, file, goto_line + 1);
      b.attach_label(label, empty);
      InstrRec *blk = b.new_instruction(INSTR_BLOCK, file, line + 1);
      b.set_block_scope(blk, body);
      b.append_to_block(blk, first);
      b.append_to_block(blk, empty);
      b.set_function_body(fn, blk);
    };
    function("f", 1, 3, false);
    function("g", 6, 9, true);
    rig.ok("proc isGoto {o} {expr {[Class $o] eq \"InstructionGoto\"}}\n"
           "proc report {o} {Violation $o G1; return 1}\n"
           "MapRole application instruction -filter isGoto report");
    if (with_report) {
      EXPECT_EQ(rig.report_text(), "Fg.c(9)\nRG1\nM (in function g)\nFg.c(3)\nRG1\nM (in function f)\n");
      EXPECT_EQ(rig.console_text(), "");
    } else {
      EXPECT_EQ(rig.console_text(), "g.c(9) : G1 : (in function g)\ng.c(3) : G1 : (in function f)\n");
    }
    /* The labels are found in their functions too. */
    rig.ok("proc lab {o} {Violation $o label; return 1}; MapRole application label lab");
    std::string out = with_report ? rig.report_text() : rig.console_text();
    EXPECT_NE(out.find(with_report ? "Fg.c(10)\nRlabel\nM (in function g)\n" : "g.c(10) : label : (in function g)\n"),
              std::string::npos) << out;
  }
}
