/* Model building of the C99, C11 and GNU constructs: which objects of the
 * model's classes each one becomes. */
#include "model_source.h"

namespace kvx {
namespace {

class Modern : public test::ModelSource {
 protected:
  Modern() {
    ctx_.dialect = fe::select_dialect("gnu", diag_);
    opts_.gnu = true;
    opts_.c99 = true;
    clean_ = true;
  }
  using ModelSource::sym;
  /* A symbol of that name anywhere in the model's scopes. */
  SymbolRec *sym(const char *name, int kind = 0) { return find(model_.global_scope(), name, kind); }
  TypeRec *var_type(const char *name) {
    SymbolRec *s = sym(name, SYM_VARIABLE);
    return s && s->variable ? s->variable->type : nullptr;
  }
  int var_kind(const char *name) {
    TypeRec *t = var_type(name);
    return t ? t->kind : -1;
  }
  /* The initializer of a variable's definition. */
  ExprRec *init_of(const char *name) {
    SymbolRec *s = sym(name, SYM_VARIABLE);
    if (!s) return nullptr;
    for (InstrRec *i : all<InstrRec>(s->instructions))
      if (i->initialization) return i->initialization;
    return nullptr;
  }
  static std::vector<ExprRec *> ops(ExprRec *e) { return all<ExprRec>(e->operands); }
  int fn_kind(ExprRec *e) { return e && e->kind == EXPR_COMPLEX && e->function ? e->function->kind : -1; }

};

TEST_F(Modern, NewTypeWordsChooseTheNearestBuiltInClass) {
  analyse("long long a; unsigned long long b; long long int c; _Bool d;\n"
          "__int128 e; unsigned __int128 f; __uint128_t g; __int128_t h;\n"
          "_Float128 i; __float128 j; _Float32 k; _Float64 l; _Float64x m;\n"
          "double _Complex n; float _Complex o; _Complex p; long double _Complex q;\n"
          "__builtin_va_list r; signed long long s;\n");
  const std::pair<const char *, int> expect[] = {
      {"a", TYPE_LONG},         {"b", TYPE_UNSIGNED_LONG}, {"c", TYPE_LONG},
      {"d", TYPE_UNSIGNED_CHAR}, {"e", TYPE_LONG},         {"f", TYPE_UNSIGNED_LONG},
      {"g", TYPE_UNSIGNED_LONG}, {"h", TYPE_LONG},         {"i", TYPE_LONG_DOUBLE},
      {"j", TYPE_LONG_DOUBLE},   {"k", TYPE_FLOAT},        {"l", TYPE_DOUBLE},
      {"m", TYPE_LONG_DOUBLE},   {"n", TYPE_DOUBLE},       {"o", TYPE_FLOAT},
      {"p", TYPE_DOUBLE},        {"q", TYPE_LONG_DOUBLE},  {"r", TYPE_VARARG},
      {"s", TYPE_LONG}};
  for (auto [name, kind] : expect) EXPECT_EQ(var_kind(name), kind) << name;
  /* a fresh built-in object of its own, not the fixed part's */
  EXPECT_NE(var_type("r"), model_.builtin_type(TYPE_VARARG));
  EXPECT_NE(var_type("a"), var_type("c"));
}

TEST_F(Modern, AutoTypeAtomicAndQualifiersWithoutClasses) {
  analyse("void f(void) { __auto_type x = 1; (void)x; }\n"
          "_Atomic(unsigned long) u; _Atomic int v; int *restrict w; _Alignas(8) int al;\n");
  EXPECT_EQ(var_kind("x"), TYPE_TYPEOF);
  EXPECT_EQ(var_kind("u"), TYPE_UNSIGNED_LONG);
  EXPECT_EQ(var_kind("v"), TYPE_INT);
  EXPECT_TRUE(var_type("v")->qualifiers.empty());
  ASSERT_EQ(var_kind("w"), TYPE_POINTER);
  EXPECT_EQ(var_type("w")->type->kind, TYPE_INT);
  EXPECT_EQ(var_kind("al"), TYPE_INT);
}

TEST_F(Modern, StatementExpressionIsAnExpressionInstruction) {
  analyse("int f(int a) { int r = ({ int t = a * 2; t + 1; }); return r; }\n");
  ExprRec *e = init_of("r");
  ASSERT_TRUE(e);
  ASSERT_EQ(e->kind, EXPR_INSTRUCTION);
  ASSERT_TRUE(e->instruction);
  EXPECT_EQ(e->instruction->kind, INSTR_BLOCK);
  auto seq = all<InstrRec>(e->instruction->sequence); /* int t = a * 2; t + 1; */
  ASSERT_EQ(seq.size(), 2u);
  EXPECT_EQ(seq[0]->kind, INSTR_DEFINITION);
  EXPECT_EQ(seq[1]->kind, INSTR_EXPRESSION);
  /* t lives in the block of the statement expression */
  SymbolRec *t = sym("t", SYM_VARIABLE);
  ASSERT_TRUE(t);
  EXPECT_EQ(t->defined_in, e->instruction->scope_block);
}

TEST_F(Modern, CompoundLiteralIsACastOfABracedInitializer) {
  analyse("struct p { int x, y; };\nvoid f(void) { struct p q = (struct p){ .y = 2, .x = 1 }; (void)q; }\n");
  ExprRec *e = init_of("q");
  ASSERT_EQ(fn_kind(e), FN_CAST);
  auto o = ops(e);
  ASSERT_EQ(o.size(), 2u);
  EXPECT_EQ(o[0]->kind, EXPR_TYPE);
  EXPECT_EQ(o[0]->type->kind, TYPE_STRUCT);
  ASSERT_EQ(fn_kind(o[1]), FN_COMPOUND_INIT);
  EXPECT_EQ(ops(o[1]).size(), 2u); /* the values; designators name no object */
}

TEST_F(Modern, ForDeclarationLivesInAScopeAroundTheLoop) {
  analyse("int f(int n) { int s = 0; for (int i = 0; i < n; i++) { s += i; } return s; }\n");
  SymbolRec *i = sym("i", SYM_VARIABLE), *s = sym("s", SYM_VARIABLE);
  ASSERT_TRUE(i && s);
  ScopeRec *loop = i->defined_in;
  EXPECT_EQ(loop->kind, SCOPE_BLOCK);
  EXPECT_EQ(loop->super, s->defined_in);
  EXPECT_FALSE(i->variable->persistent);
  ASSERT_EQ(all<InstrRec>(loop->instructions).size(), 1u);
  InstrRec *def = all<InstrRec>(loop->instructions)[0];
  EXPECT_EQ(def->kind, INSTR_DEFINITION);
  EXPECT_EQ(fn_kind(def->initialization), -1); /* the constant 0 */
  std::vector<InstrRec *> fors = all<InstrRec>(model_.application()->instructions, INSTR_FOR);
  ASSERT_EQ(fors.size(), 1u);
  EXPECT_FALSE(fors[0]->initialization);
  EXPECT_EQ(fn_kind(fors[0]->condition), FN_LT);
  EXPECT_EQ(fn_kind(fors[0]->increment), FN_POST_INC);
  ASSERT_TRUE(fors[0]->body);
  /* the body's block sits inside the loop's scope; "i" inside it is the loop's */
  EXPECT_EQ(fors[0]->body->scope_block->super, loop);
}

TEST_F(Modern, GenericAndBuiltinsTakingTypes) {
  analyse("struct s { int a; int b[4]; };\n"
          "int g = _Generic(1.0, int: 1, default: 3);\n"
          "unsigned long o = __builtin_offsetof(struct s, b[2]);\n"
          "int c = __builtin_types_compatible_p(int, long);\n"
          "int v(__builtin_va_list ap) { return __builtin_va_arg(ap, int); }\n");
  ExprRec *g = init_of("g");
  ASSERT_EQ(fn_kind(g), FN_TERNARY);
  auto go = ops(g);
  ASSERT_EQ(go.size(), 4u); /* control, int, 1, 3 */
  EXPECT_EQ(go[1]->kind, EXPR_TYPE);
  EXPECT_EQ(go[3]->kind, EXPR_CONSTANT);

  ExprRec *o = init_of("o");
  ASSERT_EQ(fn_kind(o), FN_CALL);
  auto oo = ops(o);
  ASSERT_EQ(oo.size(), 4u); /* callee, struct s, b, 2 */
  EXPECT_EQ(oo[0]->kind, EXPR_SYMBOL);
  EXPECT_EQ(oo[1]->kind, EXPR_TYPE);
  EXPECT_EQ(oo[2]->kind, EXPR_SYMBOL);
  EXPECT_EQ(oo[3]->kind, EXPR_CONSTANT);

  ExprRec *c = init_of("c");
  ASSERT_EQ(fn_kind(c), FN_CALL);
  ASSERT_EQ(ops(c).size(), 3u);
  EXPECT_EQ(ops(c)[2]->type->kind, TYPE_LONG);

  std::vector<InstrRec *> rets = all<InstrRec>(model_.application()->instructions, INSTR_RETURN);
  ASSERT_EQ(rets.size(), 1u);
  auto vo = ops(rets[0]->expression);
  ASSERT_EQ(vo.size(), 3u); /* callee, ap, int */
  EXPECT_EQ(vo[1]->kind, EXPR_SYMBOL);
  EXPECT_EQ(vo[2]->kind, EXPR_TYPE);
}

TEST_F(Modern, CaseRangesLabelsAsValuesAndOmittedMiddle) {
  analyse("int f(int x) {\n"
          "  void *t = &&done;\n"
          "  switch (x) { case 1 ... 5: x = 0; break; default: break; }\n"
          "  goto *t;\n"
          "done:\n"
          "  return x ?: 7;\n"
          "}\n");
  std::vector<LabelRec *> cases = all<LabelRec>(model_.application()->labels, LABEL_CASE);
  ASSERT_EQ(cases.size(), 1u);
  ASSERT_TRUE(cases[0]->target);
  EXPECT_EQ(cases[0]->target->kind, EXPR_CONSTANT);

  ExprRec *t = init_of("t");
  ASSERT_EQ(fn_kind(t), FN_ADDRESS);
  ASSERT_EQ(ops(t).size(), 1u);
  SymbolRec *done = ops(t)[0]->symbol;
  ASSERT_TRUE(done);
  EXPECT_EQ(done->kind, SYM_LABEL);
  ASSERT_TRUE(done->label);
  EXPECT_EQ(done->label->line, 5u); /* the label's own line */

  std::vector<InstrRec *> gotos = all<InstrRec>(model_.application()->instructions, INSTR_GOTO);
  ASSERT_EQ(gotos.size(), 1u);
  EXPECT_FALSE(gotos[0]->target);
  ASSERT_TRUE(gotos[0]->expression);
  EXPECT_EQ(gotos[0]->expression->kind, EXPR_SYMBOL);

  std::vector<InstrRec *> rets = all<InstrRec>(model_.application()->instructions, INSTR_RETURN);
  ASSERT_EQ(rets.size(), 1u);
  EXPECT_EQ(fn_kind(rets[0]->expression), FN_TERNARY);
  EXPECT_EQ(ops(rets[0]->expression).size(), 2u);
}

TEST_F(Modern, AnonymousMembersAndFlexibleArrays) {
  analyse("struct s { int kind; union { int i; float f; }; struct { int a, b; } named; int data[]; };\n");
  std::vector<TypeRec *> structs = all<TypeRec>(model_.application()->types, TYPE_STRUCT);
  TypeRec *s = nullptr;
  for (TypeRec *t : structs)
    if (t->tag) s = t;
  ASSERT_TRUE(s);
  std::vector<FieldRec *> fields = all<FieldRec>(s->fields);
  ASSERT_EQ(fields.size(), 4u);
  EXPECT_FALSE(fields[1]->symbol);
  ASSERT_TRUE(fields[1]->type);
  EXPECT_EQ(fields[1]->type->kind, TYPE_UNION);
  EXPECT_EQ(all<FieldRec>(fields[1]->type->fields).size(), 2u);
  ASSERT_TRUE(fields[2]->symbol);
  EXPECT_STREQ(model_.name_of(fields[2]->symbol), "named");
  EXPECT_EQ(fields[3]->type->kind, TYPE_ARRAY);
  EXPECT_FALSE(fields[3]->type->size);
}

TEST_F(Modern, StaticAssertionsAndAsmLabelsDeclareNothing) {
  analyse("_Static_assert(sizeof(long) == 8, \"LP64\");\n"
          "extern int renamed(int) __asm__(\"real\");\n"
          "int v __asm__(\"w\") = 1;\n");
  EXPECT_TRUE(sym("renamed", SYM_FUNCTION));
  EXPECT_FALSE(sym("real"));
  ASSERT_TRUE(init_of("v"));
  std::vector<InstrRec *> defs = all<InstrRec>(model_.application()->instructions, INSTR_DEFINITION);
  EXPECT_EQ(defs.size(), 1u);
}

/* Member selections find members of anonymous structures and unions;
 * a computed goto's expression is the instruction's expression. */
TEST_F(Modern, AnonymousMemberSelectionsAndComputedGotoExpressions) {
  analyse("struct s { int kind; union { int i; struct { float f; } ; }; } v;\n"
          "int g(struct s *p) { void *t = &&out; goto *t; out: return p->i + v.kind + (int)v.f; }\n");
  std::vector<std::string> names;
  std::vector<ExprRec *> sels;
  for (ExprRec *e : all<ExprRec>(model_.application()->expressions, EXPR_COMPLEX))
    if (fn_kind(e) == FN_SELECT || fn_kind(e) == FN_POINTER_SELECT) sels.insert(sels.begin(), e);
  for (ExprRec *e : sels) {
    SymbolRec *m = e->operands.last->symbol;
    names.push_back(m ? model_.name_of(m) : "-");
  }
  EXPECT_EQ(names, (std::vector<std::string>{"i", "kind", "f"}));
  InstrRec *go = all<InstrRec>(model_.application()->instructions, INSTR_GOTO).at(0);
  const RoleInfo *r = find_role(find_class("InstructionGoto"), "expression");
  ASSERT_TRUE(r && r->iter);
  std::vector<Obj *> got;
  model_.iterate(r, go, [](Obj *o, void *d) { static_cast<std::vector<Obj *> *>(d)->push_back(o); return 0; }, &got);
  EXPECT_EQ(got, (std::vector<Obj *>{go->expression}));
}

/* A statement expression at file level holds labels outside any function:
 * they are reported and entered in the global scope, and the rest of the
 * source is built. */
TEST_F(Modern, LabelsOutsideFunctions) {
  clean_ = false;
  analyse("int x = ({ a: 1; });\nint y = ({ goto b; 2; });\nint ok;\n");
  EXPECT_EQ(diag_.error_count(), 2);
  std::string m = messages();
  EXPECT_NE(m.find("(1) : "), std::string::npos) << m;
  EXPECT_NE(m.find("Label outside function.\n"), std::string::npos) << m;
  ScopeRec *g = model_.global_scope();
  SymbolRec *a = nullptr, *b = nullptr;
  for (SymbolRec *s : g->symbols) {
    if (s->kind != SYM_LABEL) continue;
    (std::string(model_.name_of(s)) == "a" ? a : b) = s;
  }
  ASSERT_TRUE(a && b);
  ASSERT_TRUE(a->label && b->label);
  EXPECT_EQ(a->label->line, 1u);
  EXPECT_TRUE(a->label->instruction);
  EXPECT_EQ(b->label->line, 2u); /* made by the goto, never defined */
  EXPECT_TRUE(sym("ok", SYM_VARIABLE));
}

}  // namespace
}  // namespace kvx

namespace kvx {
namespace {

/* The faults real projects showed, in the GNU dialect. */
class RealProjects : public Modern {
 protected:
  using ModelSource::sym;
  SymbolRec *any(const char *name, int kind) { return find(model_.global_scope(), name, kind); }
  /* The symbol an ExpressionSymbol below e names, the first met. */
  static SymbolRec *named(ExprRec *e) {
    if (!e) return nullptr;
    if (e->kind == EXPR_SYMBOL) return e->symbol;
    if (e->kind != EXPR_COMPLEX) return nullptr;
    for (ExprRec *o : all<ExprRec>(e->operands))
      if (SymbolRec *s = named(o)) return s;
    return nullptr;
  }
};

/* A variable named like a typedef of an outer scope is in scope from the
 * end of its declarator: its initializer names the variable, and sizeof
 * of the name measures the variable, not the type. */
TEST_F(RealProjects, NameInScopeFromTheEndOfItsDeclarator) {
  analyse("typedef struct rax { int n; } rax;\n"
          "void *malloc(unsigned long);\n"
          "static void *self = &self;\n"
          "int f(void) {\n"
          "    rax *rax = malloc(sizeof(*rax));\n"
          "    int before = sizeof(struct rax);\n"
          "    return before + (int)sizeof(rax) + rax->n;\n"
          "}\n"
          "typedef int T;\n"
          "int g(void) { T a = sizeof(T); T T = sizeof(T); return a + T; }\n");
  EXPECT_EQ(diag_.error_count(), 0) << messages();
  SymbolRec *var = any("rax", SYM_VARIABLE);
  ASSERT_TRUE(var && var->variable);
  std::vector<InstrRec *> defs = all<InstrRec>(var->instructions);
  ASSERT_EQ(defs.size(), 1u);
  /* malloc(sizeof(*rax)): the call's operand names the variable */
  EXPECT_EQ(named(defs[0]->initialization), var);
  SymbolRec *self = any("self", SYM_VARIABLE);
  ASSERT_TRUE(self);
  EXPECT_EQ(named(all<InstrRec>(self->instructions)[0]->initialization), self);
  /* sizeof(rax) is the size of an expression; sizeof(T) before the
   * variable T is a type, after it the variable */
  int sizeof_types = 0, sizeof_exprs = 0;
  for (ExprRec *e : all<ExprRec>(model_.application()->expressions))
    if (e->kind == EXPR_COMPLEX && e->function == model_.builtin_function(FN_SIZEOF)) {
      ExprRec *op = static_cast<ExprRec *>(e->operands.first());
      (op && op->kind == EXPR_TYPE ? sizeof_types : sizeof_exprs)++;
    }
  EXPECT_EQ(sizeof_types, 2);  /* sizeof(struct rax), the first sizeof(T) */
  EXPECT_EQ(sizeof_exprs, 3);  /* sizeof(*rax), sizeof(rax), the second sizeof(T) */
}

/* An inline function defined in a header is one definition per source
 * that reads it, whatever its storage class. */
TEST_F(RealProjects, InlineFunctionsOfAHeaderBelongToEachSource) {
  std::string header =
      "static inline int sq(int x) { return x * x; }\n"
      "extern __inline int cube(int x) { return x * x * x; }\n"
      "inline int twice(int x) { return x + x; }\n"
      "int global_fn(int x);\n";
  analyse(header + "int use1(void) { return sq(1) + cube(2) + twice(3); }\n");
  analyse(header + "int use2(void) { return sq(1) + cube(2) + twice(3); }\n");
  EXPECT_EQ(diag_.warning_count(), 0) << messages();
  for (ScopeRec *tu : tus())
    for (const char *name : {"sq", "cube", "twice"}) {
      SymbolRec *s = sym(tu, name, SYM_FUNCTION);
      ASSERT_TRUE(s && s->function && s->function->body) << name;
    }
  EXPECT_FALSE(sym(model_.global_scope(), "cube", SYM_FUNCTION));
  /* a function defined again without inline is still reported */
  analyse("int global_fn(int x) { return x; }\n");
  analyse("int global_fn(int x) { return -x; }\n");
  EXPECT_EQ(diag_.warning_count(), 1);
  EXPECT_NE(messages().find("Component global_fn already analysed"), std::string::npos);
}

}  // namespace
}  // namespace kvx
