/*
 * model_test.cpp - object ids, the fixed part, role orders, attribute text
 * and the pools of the model context.
 */
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fixtures.h"
#include "model/violation.h"

using namespace kvx;
using kvx::test::SampleModel;

namespace {

struct Collect {
  const Model *m;
  const ClassInfo *cls;
  std::vector<Obj *> objs;
};
int collect(Obj *o, void *d) {
  static_cast<Collect *>(d)->objs.push_back(o);
  return 0;
}

std::vector<Obj *> targets(const Model &m, Obj *o, const char *cls, const char *role) {
  const RoleInfo *r = find_role(find_class(cls), role);
  EXPECT_NE(r, nullptr) << cls << "." << role;
  Collect c{&m, nullptr, {}};
  if (r->iter) m.iterate(r, o, collect, &c);
  else if (Obj *t = m.get(r, o)) c.objs.push_back(t);
  return c.objs;
}

class ModelTest : public ::testing::Test {
 protected:
  Diagnostics diag{stderr};
  Model m{diag};
  ModelBuilder b{m};
};

}  // namespace

TEST_F(ModelTest, FixedPart) {
  std::vector<Obj *> types = targets(m, m.application(), "Application", "type");
  ASSERT_EQ(types.size(), 9u);
  const char *expected[] = {"TypeVararg", "TypeChar", "TypeLongDouble", "TypeFloat", "TypeDouble",
                            "TypeUnsignedLong", "TypeLong", "TypeUnsignedInt", "TypeInt"};
  for (size_t i = 0; i < 9; i++)
    EXPECT_STREQ(class_of(types[i], find_class("Type"))->name, expected[i]);
  std::vector<Obj *> fns = targets(m, m.application(), "Application", "function");
  ASSERT_EQ(fns.size(), 49u);
  for (int k = 1; k <= 49; k++) {
    EXPECT_EQ(fns[k - 1], m.builtin_function(k));
    EXPECT_EQ(static_cast<FunctionRec *>(fns[k - 1])->defined_in, m.global_scope());
    EXPECT_EQ(static_cast<FunctionRec *>(fns[k - 1])->symbols.first(), nullptr);
  }
  EXPECT_STREQ(class_of(fns[48], find_class("Function"))->name, "FunctionAlignof");
  EXPECT_EQ(targets(m, m.application(), "Application", "scopeGlobal")[0], m.global_scope());
  EXPECT_EQ(targets(m, m.global_scope(), "ScopeGlobal", "application")[0], m.application());
  EXPECT_TRUE(targets(m, m.global_scope(), "ScopeGlobal", "file").empty());
  EXPECT_TRUE(targets(m, m.application(), "Application", "file").empty());
}

TEST_F(ModelTest, IdsRoundTripAndRefuseWhatNamesNoObject) {
  SampleModel s(m);
  const ClassInfo *cls;
  Obj *o;
  std::string id = m.object_id(s.local_sym, find_class("Symbol"));
  EXPECT_EQ(id.substr(0, 6), "i.105.");
  ASSERT_TRUE(m.parse_object_id(id, &o, &cls));
  EXPECT_EQ(o, s.local_sym);
  EXPECT_STREQ(cls->name, "SymbolVariable");
  /* Upper-case hexadecimal digits read the same. */
  std::string upper = id;
  for (char &c : upper) c = (char)toupper(c);
  upper[0] = 'i';
  EXPECT_TRUE(m.parse_object_id(upper, &o, &cls));
  EXPECT_EQ(o, s.local_sym);
  /* The forms the C library's reading accepts are accepted too. */
  std::string hex = id.substr(6);
  EXPECT_TRUE(m.parse_object_id("i.105.0x" + hex, &o, &cls));
  EXPECT_TRUE(m.parse_object_id("i. 105." + hex, &o, &cls));
  EXPECT_TRUE(m.parse_object_id("i.0105.000" + hex, &o, &cls));
  /* A generic class takes any object of its family. */
  EXPECT_TRUE(m.parse_object_id("i.96." + hex, &o, &cls));
  EXPECT_STREQ(cls->name, "Symbol");
  /* Ill formed, or naming no live object of that class. */
  for (const std::string &bad : std::vector<std::string>{"i.0." + hex, "i.136." + hex, id + " ", " " + id, "i.105." + hex + "g",
                          "i.105", "i.105.", "i..1", "I.105." + hex, "Application", "", "i.1.1",
                          "i.135." + hex, "i.97." + hex, "i.4." + hex, "i.105.1", "i.105.fffffff",
                          "i.105.123456789abc", "i.105.-1"}) {
    EXPECT_FALSE(m.parse_object_id(bad, &o, &cls)) << bad;
  }
  ASSERT_TRUE(m.parse_object_id("application", &o, &cls));
  EXPECT_EQ(o, m.application());
  EXPECT_EQ(m.object_id(m.application(), cls), "application");
  /* Ids formed with every class of the sample read back to their object. */
  Collect all{&m, nullptr, {}};
  m.iterate(find_role(find_class("Application"), "expression"), m.application(), collect, &all);
  for (Obj *e : all.objs) {
    ASSERT_TRUE(m.parse_object_id(m.object_id(e, find_class("Expression")), &o, &cls));
    EXPECT_EQ(o, e);
  }
}

TEST_F(ModelTest, ReleasedObjectsAreRefusedAndRecordsComeBackCleared) {
  TypeRec *t = b.new_type(TYPE_POINTER, nullptr, 0, false);
  t->arity = 77;
  std::string id = m.object_id(t, find_class("Type"));
  Obj *o;
  const ClassInfo *cls;
  ASSERT_TRUE(m.parse_object_id(id, &o, &cls));
  b.discard(t);
  EXPECT_FALSE(m.parse_object_id(id, &o, &cls));
  TypeRec *again = b.new_type(TYPE_ARRAY, nullptr, 0, false);
  EXPECT_EQ(again, t);
  EXPECT_EQ(again->arity, 0);
  EXPECT_EQ(again->type, nullptr);
  /* A discarded expression leaves the application's list. */
  ExprRec *e1 = b.new_expression(EXPR_CONSTANT, nullptr, 1);
  ExprRec *e2 = b.new_expression(EXPR_CONSTANT, nullptr, 2);
  b.discard(e1);
  EXPECT_EQ(targets(m, m.application(), "Application", "expression"), (std::vector<Obj *>{e2}));
  ExprRec *e3 = b.new_expression(EXPR_SYMBOL, nullptr, 3);
  EXPECT_EQ(e3, e1);
  EXPECT_EQ(targets(m, m.application(), "Application", "expression"), (std::vector<Obj *>{e3, e2}));
  b.discard(e2);
  b.discard(e2);
  EXPECT_EQ(targets(m, m.application(), "Application", "expression"), (std::vector<Obj *>{e3}));
  /* Releasing the model keeps only the fixed part. */
  SampleModel s(m);
  std::string sid = m.object_id(s.main_fn, find_class("Function"));
  m.release();
  EXPECT_EQ(targets(m, m.application(), "Application", "function").size(), 49u);
  EXPECT_TRUE(targets(m, m.application(), "Application", "file").empty());
  EXPECT_EQ(targets(m, m.application(), "Application", "type").size(), 9u);
  EXPECT_FALSE(m.parse_object_id(sid, &o, &cls));
}

TEST_F(ModelTest, ManyObjectsInManyBlocks) {
  FileRec *f = b.file_object("big.c");
  std::vector<ExprRec *> es;
  for (int i = 0; i < 10000; i++) es.push_back(b.new_expression(EXPR_CONSTANT, f, (uint32_t)i + 1));
  Obj *o;
  const ClassInfo *cls;
  for (int i = 0; i < 10000; i += 997) {
    ASSERT_TRUE(m.parse_object_id(m.object_id(es[i], find_class("Expression")), &o, &cls));
    EXPECT_EQ(o, es[i]);
    EXPECT_EQ(static_cast<ExprRec *>(o)->line, (uint32_t)i + 1);
  }
  /* The application's expressions come newest first. */
  std::vector<Obj *> listed = targets(m, m.application(), "Application", "expression");
  ASSERT_EQ(listed.size(), 10000u);
  EXPECT_EQ(listed.front(), es.back());
  EXPECT_EQ(listed.back(), es.front());
}

TEST_F(ModelTest, AttributeTextForms) {
  SampleModel s(m);
  auto text = [&](Obj *o, const char *cls, const char *attr) {
    return std::string(m.attribute_text(find_attribute(find_class(cls), attr), o));
  };
  EXPECT_EQ(text(s.counter_var, "Variable", "persistent"), "1");
  EXPECT_EQ(text(s.local_var, "Variable", "persistent"), "0");
  EXPECT_EQ(text(s.comment, "Comment", "lineCount"), "3");
  EXPECT_EQ(text(s.file, "File", "pathname"), "f.c");
  EXPECT_EQ(text(s.main_type, "TypeFunction", "arity"), "1");
  EXPECT_EQ(text(s.main_sym, "SymbolFunction", "name"), "main");
  SymbolRec *nameless = b.new_symbol(SYM_TAG, "", s.tu, s.file, 3);
  EXPECT_EQ(text(nameless, "SymbolTag", "name"), "");
  /* Lines beyond 65535 keep their value. */
  ExprRec *far = b.new_expression(EXPR_CONSTANT, s.file, 70000);
  EXPECT_EQ(text(far, "ExpressionConstant", "line"), "70000");
  ExprRec *top = b.new_expression(EXPR_CONSTANT, s.file, 4294967295u);
  EXPECT_EQ(text(top, "ExpressionConstant", "line"), "4294967295");
}

TEST_F(ModelTest, CommentsSortedWithoutRepeats) {
  FileRec *f = b.file_object("c.c");
  EXPECT_EQ(b.file_object("c.c"), f);
  b.add_comment(f, 10, 1);
  b.add_comment(f, 3, 2);
  b.add_comment(f, 10, 1);
  b.add_comment(f, 7, 1);
  b.add_comment(f, 10, 2);
  b.add_comment(f, 1, 1);
  std::vector<Obj *> cs = targets(m, f, "File", "comment");
  ASSERT_EQ(cs.size(), 5u);
  uint32_t lines[] = {1, 3, 7, 10, 10};
  for (size_t i = 0; i < 5; i++) EXPECT_EQ(static_cast<CommentRec *>(cs[i])->line, lines[i]);
  FileRec *g = b.file_object("d.c");
  b.add_comment(g, 5, 1);
  std::vector<Obj *> all = targets(m, m.application(), "Application", "comment");
  ASSERT_EQ(all.size(), 6u);
  EXPECT_EQ(static_cast<CommentRec *>(all[5])->line, 5u);
  EXPECT_EQ(f->number, 1u);
  EXPECT_EQ(g->number, 2u);
}

TEST_F(ModelTest, AllAndSubRolesInPostOrder) {
  SampleModel s(m);
  /* InstructionIf without else: the ifTrue subtree, then the if. */
  std::vector<Obj *> all_if = targets(m, s.if_instr, "InstructionIf", "allInstruction");
  ASSERT_EQ(all_if.size(), 2u);
  EXPECT_EQ(all_if[0], s.assign_instr);
  EXPECT_EQ(all_if[1], s.if_instr);
  std::vector<Obj *> body = targets(m, s.main_block, "InstructionBlock", "allInstruction");
  std::vector<Obj *> want = {s.local_def, s.inner_def, s.goto_out, s.inner_blk,
                             s.assign_instr, s.if_instr, s.return_instr, s.main_block};
  EXPECT_EQ(body, want);
  std::vector<Obj *> sub = targets(m, s.main_block, "InstructionBlock", "subInstruction");
  EXPECT_EQ(sub, (std::vector<Obj *>{s.local_def, s.inner_blk, s.if_instr, s.return_instr}));
  std::vector<Obj *> exprs = targets(m, s.assign_expr, "ExpressionComplex", "allExpression");
  EXPECT_EQ(exprs, (std::vector<Obj *>{s.lhs_expr, s.argc_expr, s.one_expr, s.plus_expr, s.assign_expr}));
  EXPECT_EQ(targets(m, s.assign_expr, "ExpressionComplex", "subExpression"),
            (std::vector<Obj *>{s.lhs_expr, s.plus_expr}));
  EXPECT_TRUE(targets(m, s.argc_expr, "ExpressionSymbol", "subExpression").empty());
  EXPECT_EQ(targets(m, s.argc_expr, "ExpressionSymbol", "allExpression"), (std::vector<Obj *>{s.argc_expr}));
  std::vector<Obj *> scopes = targets(m, m.application(), "Application", "scope");
  EXPECT_EQ(scopes.back(), m.global_scope());
  EXPECT_EQ(scopes.front(), s.macro_scope);
  std::vector<Obj *> main_scopes = targets(m, s.main_scope, "ScopeFunction", "allScope");
  EXPECT_EQ(main_scopes, (std::vector<Obj *>{s.inner_block, s.main_body, s.main_scope}));
  /* Expressions of instructions. */
  EXPECT_EQ(targets(m, s.if_instr, "InstructionIf", "expression"), (std::vector<Obj *>{s.cond_expr}));
  EXPECT_EQ(targets(m, s.return_instr, "InstructionReturn", "expression"), (std::vector<Obj *>{s.zero_expr}));
  EXPECT_EQ(targets(m, s.g_def, "InstructionDefinition", "initialization"), (std::vector<Obj *>{s.g_init}));
}

TEST_F(ModelTest, SymbolRolesRingAndStoppingVisitor) {
  SampleModel s(m);
  EXPECT_EQ(targets(m, s.g_def, "InstructionDefinition", "sameInstruction"), (std::vector<Obj *>{s.h_def}));
  EXPECT_EQ(targets(m, s.h_def, "InstructionTentativeDefinition", "sameInstruction"), (std::vector<Obj *>{s.g_def}));
  EXPECT_TRUE(targets(m, s.local_def, "InstructionDefinition", "sameInstruction").empty());
  /* Three declarators: each yields the two others. */
  InstrRec *a = b.new_instruction(INSTR_TENTATIVE, s.file, 20), *c = b.new_instruction(INSTR_TENTATIVE, s.file, 20),
           *d = b.new_instruction(INSTR_TENTATIVE, s.file, 20);
  b.link_same_declaration(a, c);
  b.link_same_declaration(a, d);
  EXPECT_EQ(targets(m, a, "InstructionTentativeDefinition", "sameInstruction").size(), 2u);
  EXPECT_EQ(targets(m, d, "InstructionTentativeDefinition", "sameInstruction").size(), 2u);
  EXPECT_EQ(targets(m, s.g_sym, "SymbolVariable", "definition"), (std::vector<Obj *>{s.g_def}));
  EXPECT_EQ(targets(m, s.h_sym, "SymbolVariable", "tentativeDefinition"), (std::vector<Obj *>{s.h_def}));
  EXPECT_TRUE(targets(m, s.h_sym, "SymbolVariable", "declaration").empty());
  /* An iteration stops at the first non-zero visit and returns it. */
  int seen = 0;
  auto stop_at_third = [](Obj *, void *d) { return ++*static_cast<int *>(d) == 3 ? 42 : 0; };
  EXPECT_EQ(m.iterate(find_role(find_class("Application"), "function"), m.application(), stop_at_third, &seen), 42);
  EXPECT_EQ(seen, 3);
  /* A qualified copy shares tag and members of its original. */
  TypeRec *copy = b.qualified_copy(s.point_type);
  b.add_qualifier(copy, QUAL_CONST);
  EXPECT_EQ(targets(m, copy, "TypeStruct", "tag"), (std::vector<Obj *>{s.point_tag}));
  EXPECT_EQ(targets(m, copy, "TypeStruct", "typeField").size(), 2u);
  EXPECT_EQ(targets(m, copy, "TypeStruct", "qualifier").size(), 1u);
  EXPECT_TRUE(targets(m, s.point_type, "TypeStruct", "qualifier").empty());
  for (Obj *t : targets(m, m.application(), "Application", "type")) EXPECT_NE(t, copy);
}

TEST_F(ModelTest, VeryDeepTreesAreWalkedWithoutRecursion) {
  /* a + a + ... + a with 200000 operators nests 200000 deep, and so does
   * an else-if chain of 100000 branches. */
  FileRec *f = b.file_object("deep.c");
  ExprRec *e = b.new_expression(EXPR_CONSTANT, f, 2);
  ExprRec *leaf = e;
  for (int n = 0; n < 200000; n++) {
    ExprRec *plus = b.new_expression(EXPR_COMPLEX, f, 2);
    b.add_operand(plus, e);
    b.add_operand(plus, b.new_expression(EXPR_CONSTANT, f, 2));
    e = plus;
  }
  int count = 0;
  auto counter = [](Obj *, void *d) { ++*static_cast<int *>(d); return 0; };
  m.iterate(find_role(find_class("ExpressionComplex"), "allExpression"), e, counter, &count);
  EXPECT_EQ(count, 400001);
  InstrRec *chain = b.new_instruction(INSTR_EXPRESSION, f, 2);
  b.set_expression(chain, e);
  for (int n = 0; n < 100000; n++) {
    InstrRec *i = b.new_instruction(INSTR_IF, f, 2);
    b.set_branches(i, b.new_instruction(INSTR_BREAK, f, 2), chain);
    chain = i;
  }
  InstrRec *body = b.new_instruction(INSTR_BLOCK, f, 2);
  b.append_to_block(body, chain);
  count = 0;
  m.iterate(find_role(find_class("InstructionBlock"), "allInstruction"), body, counter, &count);
  EXPECT_EQ(count, 200002);
  /* The enclosing function of the innermost expression is found. */
  SymbolRec *sym = b.new_symbol(SYM_FUNCTION, "deep", m.global_scope(), f, 1);
  FunctionRec *fn = b.new_function(FN_BUILTOUT, m.global_scope(), sym);
  ScopeRec *fs = b.new_scope(SCOPE_FUNCTION, m.global_scope(), f, 1);
  b.set_function_scope(fn, fs);
  b.set_function_body(fn, body);
  EXPECT_STREQ(enclosing_function(m, leaf, find_class("ExpressionConstant")), "deep");
}

TEST_F(ModelTest, SymbolIndexFindsTheFirstSymbolOfEachKindAndScope) {
  ScopeRec *g = m.global_scope();
  ScopeRec *tu = b.new_scope(SCOPE_TRANSLATION_UNIT, g, nullptr, 1);
  SymbolRec *tag = b.new_symbol(SYM_TAG, "s", tu, nullptr, 1);
  SymbolRec *var = b.new_symbol(SYM_VARIABLE, "s", tu, nullptr, 2);
  SymbolRec *again = b.new_symbol(SYM_VARIABLE, "s", tu, nullptr, 3);
  SymbolRec *field = b.new_symbol(SYM_FIELD, "f", tu, nullptr, 4);
  SymbolRec *other = b.new_symbol(SYM_VARIABLE, "s", g, nullptr, 5);
  EXPECT_EQ(b.find_symbol(tu, "s", SYM_TAG), tag);
  EXPECT_EQ(b.find_symbol(tu, "s", SYM_VARIABLE), var);
  /* Kind 0: the ordinary names only (tags, fields and labels are not). */
  EXPECT_EQ(b.find_symbol(tu, "s"), var);
  EXPECT_EQ(b.find_symbol(tu, "f"), nullptr);
  EXPECT_EQ(b.find_symbol(tu, "f", SYM_FIELD), field);
  EXPECT_EQ(b.find_symbol(g, "s"), other);
  EXPECT_EQ(b.find_symbol(tu, "t"), nullptr);
  EXPECT_EQ(b.find_symbol(tu, ""), nullptr);
  EXPECT_NE(again, var);
  /* Names are interned: equal names share one text. */
  EXPECT_EQ(var->name, other->name);
  EXPECT_STREQ(m.name_of(again), "s");
  EXPECT_EQ(m.name_of(b.new_symbol(SYM_LABEL, "", tu, nullptr, 6)), nullptr);
  /* Thousands of names across many scopes, found after the index grew. */
  std::vector<ScopeRec *> scopes;
  for (int i = 0; i < 50; i++) scopes.push_back(b.new_scope(SCOPE_BLOCK, tu, nullptr, 10));
  for (int i = 0; i < 5000; i++)
    b.new_symbol(SYM_VARIABLE, "v" + std::to_string(i), scopes[(size_t)i % 50], nullptr, (uint32_t)i);
  for (int i = 0; i < 5000; i += 7) {
    SymbolRec *s = b.find_symbol(scopes[(size_t)i % 50], "v" + std::to_string(i));
    ASSERT_TRUE(s) << i;
    EXPECT_EQ(s->line, (uint32_t)i);
    EXPECT_EQ(b.find_symbol(scopes[(size_t)(i + 1) % 50], "v" + std::to_string(i)), nullptr);
  }
  /* Released with the model. */
  m.release();
  EXPECT_EQ(b.find_symbol(m.global_scope(), "s"), nullptr);
}

/* The record sizes the memory budget of a large analysis rests on. */
TEST_F(ModelTest, RecordsStaySmall) {
  EXPECT_LE(sizeof(ExprRec), 48u);
  EXPECT_LE(sizeof(InstrRec), 88u);
  EXPECT_LE(sizeof(TypeRec), 80u);
  EXPECT_LE(sizeof(SymbolRec), 80u);
  EXPECT_LE(sizeof(ScopeRec), 104u);
}

TEST(TextPool, EqualTextsShareOneOffsetAcrossGrowth) {
  TextPool p;
  EXPECT_EQ(p.intern(""), 0u);
  EXPECT_EQ(p.find("x"), 0u);
  std::vector<uint32_t> offs;
  for (int i = 0; i < 20000; i++) offs.push_back(p.intern("name" + std::to_string(i)));
  for (int i = 0; i < 20000; i += 13) {
    std::string t = "name" + std::to_string(i);
    EXPECT_EQ(p.intern(t), offs[(size_t)i]);
    EXPECT_EQ(p.find(t), offs[(size_t)i]);
    EXPECT_EQ(p.view(offs[(size_t)i]), t);
  }
  /* A prefix or an extension of a stored text is another text. */
  EXPECT_EQ(p.find("name1"), offs[1]);
  EXPECT_EQ(p.find("name"), 0u);
  EXPECT_NE(p.intern("name"), 0u);
  EXPECT_EQ(p.find("name200000"), 0u);
  p.clear();
  EXPECT_EQ(p.find("name1"), 0u);
  EXPECT_EQ(p.view(0), "");
}
