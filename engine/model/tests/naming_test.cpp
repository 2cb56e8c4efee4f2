/*
 * naming_test.cpp - Name and Object: the qualified names of every kind of
 * named object, and Object giving back the object Name started from.
 */
#include <gtest/gtest.h>

#include "fixtures.h"

using namespace kvx;
using kvx::test::SampleModel;
using kvx::test::TclRig;

namespace {

class Naming : public ::testing::Test {
 protected:
  TclRig rig{false};
  SampleModel s{rig.model()};
  std::string name(const Obj *o) { return rig.ok("Name " + rig.id(o)); }
};

}  // namespace

TEST_F(Naming, ElementsFromTheOutermostScopeInward) {
  EXPECT_EQ(name(s.main_fn), "main");
  EXPECT_EQ(name(s.g_var), "g");
  EXPECT_EQ(name(s.helper_fn), "f.c helper");
  EXPECT_EQ(name(s.counter_var), "f.c counter");
  EXPECT_EQ(name(s.argc_var), "main argc");
  EXPECT_EQ(name(s.local_var), "main local");
  EXPECT_EQ(name(s.local_sym), "main local");
  EXPECT_EQ(name(s.inner_var), "main {block 1} inner");
  EXPECT_EQ(name(s.out_label), "main out");
  EXPECT_EQ(name(s.done_label), "f.c helper done");
  EXPECT_EQ(name(s.x_field), "f.c {struct point} x");
  EXPECT_EQ(name(s.y_field), "f.c {struct point} y");
  EXPECT_EQ(name(s.i_field), "f.c {union u} i");
  EXPECT_EQ(name(s.z_field), "f.c helper {struct 1} z");
  EXPECT_EQ(name(s.point_type), "f.c point");
  EXPECT_EQ(name(s.color_type), "f.c color");
  EXPECT_EQ(name(s.green_val), "f.c GREEN");
  EXPECT_EQ(name(s.max_sym), "f.c MAX");
  /* Objects without a name. */
  EXPECT_EQ(name(s.anon_type), "");
  EXPECT_EQ(name(s.if_instr), "");
  EXPECT_EQ(name(rig.model().builtin_function(FN_ADD)), "");
  EXPECT_EQ(rig.ok("Name application"), "");
}

TEST_F(Naming, ObjectInvertsNameForEveryNamedObject) {
  ModelBuilder &b = rig.builder();
  /* typedef int T; */
  SymbolRec *t_sym = b.new_symbol(SYM_TYPE, "T", rig.model().global_scope(), s.file, 15);
  TypeRec *t_type = b.new_type(TYPE_SYMBOL, s.file, 15);
  b.set_typedef_symbol(t_type, t_sym);
  const Obj *named[] = {s.main_fn, s.helper_fn, s.g_var, s.h_var, s.counter_var, s.argc_var,
                        s.local_var, s.inner_var, s.anon_var, s.out_label, s.done_label,
                        s.x_field, s.y_field, s.i_field, s.z_field, s.point_type, s.u_type,
                        s.color_type, s.red_val, s.green_val, s.max_sym, t_sym};
  for (const Obj *o : named) {
    std::string id = rig.id(o);
    EXPECT_EQ(rig.ok("Object [Name " + id + "]"), id) << rig.ok("Name " + id);
  }
  /* Symbols give the object they name. */
  EXPECT_EQ(rig.ok("Object [Name " + rig.id(s.local_sym) + "]"), rig.id(s.local_var));
  EXPECT_EQ(rig.ok("Object [Name " + rig.id(s.point_tag) + "]"), rig.id(s.point_type));
  EXPECT_EQ(rig.ok("Object [Name " + rig.id(t_type) + "]"), rig.id(t_sym));
  /* The struct and union element forms and the file alone. */
  EXPECT_EQ(rig.ok("Object {f.c {struct point}}"), rig.id(s.point_type));
  EXPECT_EQ(rig.ok("Object {f.c {union u}}"), rig.id(s.u_type));
  EXPECT_EQ(rig.ok("Object {f.c {union point}}"), "");
  EXPECT_EQ(rig.ok("Object {f.c helper {struct 1}}"), rig.id(s.anon_type));
  EXPECT_EQ(rig.ok("Object {f.c helper {union 1}}"), "");
  EXPECT_EQ(rig.ok("Object f.c"), rig.id(s.file));
  EXPECT_EQ(rig.ok("Object f.h"), rig.id(s.header));
  EXPECT_EQ(rig.ok("Object {main {block 1}}"), "");
  EXPECT_EQ(rig.ok("Object {main {block 0} inner}"), "");
  EXPECT_EQ(rig.ok("Object {main {block x} inner}"), "");
  EXPECT_EQ(rig.ok("Object {g x}"), "");
}

TEST_F(Naming, MissingLinksAreInternalErrors) {
  ModelBuilder &b = rig.builder();
  /* A function scope whose function has no name. */
  FunctionRec *fn = b.new_function(FN_BUILTOUT, rig.model().global_scope(), nullptr);
  ScopeRec *sc = b.new_scope(SCOPE_FUNCTION, rig.model().global_scope(), s.file, 20);
  b.set_function_scope(fn, sc);
  SymbolRec *v = b.new_symbol(SYM_VARIABLE, "v", sc, s.file, 20);
  EXPECT_EQ(rig.fails("Name " + rig.id(v)), "Name: internal error");
  /* A structure scope whose type is an enumeration; a scope missing from
   * its parent's sub-scopes; a translation unit without file. */
  ScopeRec *odd = b.new_scope(SCOPE_STRUCTURE, s.tu, s.file, 21);
  b.set_structure_scope(b.new_type(TYPE_ENUM, s.file, 21), odd);
  EXPECT_EQ(rig.fails("name " + rig.id(b.new_symbol(SYM_FIELD, "f", odd, s.file, 21))), "name: internal error");
  ScopeRec *lost = b.new_scope(SCOPE_BLOCK, nullptr, s.file, 22);
  lost->super = s.main_body;
  EXPECT_EQ(rig.fails("Name " + rig.id(b.new_symbol(SYM_VARIABLE, "w", lost, s.file, 22))), "Name: internal error");
  ScopeRec *tu = b.new_scope(SCOPE_TRANSLATION_UNIT, rig.model().global_scope(), nullptr, 0);
  EXPECT_EQ(rig.fails("Name " + rig.id(b.new_symbol(SYM_VARIABLE, "q", tu, nullptr, 0))), "Name: internal error");
}
