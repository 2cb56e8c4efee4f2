/*
 * classes.cpp - the class table of the program model: role and attribute
 * accessors of every family, the resolvers of the generic classes, and the
 * binary searches over classes, roles and attributes.
 */
#include <cstring>

#include "model/model.h"

namespace kvx {

namespace {

/* ---- helpers ---------------------------------------------------------- */

int visit_list(const List &l, Visit v, void *d) {
  for (const Link *k = l.head; k; k = k->next) {
    int r = v(k->obj, d);
    if (r) return r;
  }
  return 0;
}

inline int visit_one(Obj *o, Visit v, void *d) { return o ? v(o, d) : 0; }

template <class T, class Tag> int visit_chain(const Chain<T, Tag> &c, Visit v, void *d) {
  for (T *p = c.first(); p; p = c.after(p)) {
    int r = v(p, d);
    if (r) return r;
  }
  return 0;
}

template <class T> T *as(Obj *o) { return static_cast<T *>(o); }
template <class T> const T *as(const Obj *o) { return static_cast<const T *>(o); }

/* ---- located objects -------------------------------------------------- */

Obj *r_located_file(const Model &m, Obj *o) { return m.file_of(as<Located>(o)->file); }

AttrValue a_line(const Model &, const Obj *o) { return {(long)as<Located>(o)->line, nullptr}; }
AttrValue a_firstLine(const Model &, const Obj *o) {
  const ScopeRec *s = as<ScopeRec>(o);
  return {(long)(s->first_line ? s->first_line : s->line), nullptr};
}
AttrValue a_lineCount(const Model &, const Obj *o) { return {as<CommentRec>(o)->line_count, nullptr}; }
AttrValue a_fallthrough(const Model &, const Obj *o) { return {as<CommentRec>(o)->fallthrough ? 1 : 0, nullptr}; }
AttrValue a_pathname(const Model &, const Obj *o) { return {0, as<FileRec>(o)->pathname}; }
AttrValue a_system(const Model &, const Obj *o) { return {as<FileRec>(o)->system ? 1 : 0, nullptr}; }
AttrValue a_name(const Model &m, const Obj *o) { return {0, m.name_of(as<SymbolRec>(o))}; }
AttrValue a_arity(const Model &, const Obj *o) {
  return {o->kind == TYPE_FUNCTION ? as<TypeRec>(o)->arity : 0, nullptr};
}
AttrValue a_persistent(const Model &, const Obj *o) { return {as<VariableRec>(o)->persistent ? 1 : 0, nullptr}; }

/* ---- scopes (used by the application roles too) ----------------------- */

/* The whole scope tree below s in post-order: each sub-scope's tree in
 * order, then s itself. */
template <class F> int walk_scopes(ScopeRec *s, F &&f) {
  for (ScopeRec *c : s->subs) {
    int r = walk_scopes(c, f);
    if (r) return r;
  }
  return f(s);
}

int r_scope_allScope_n(const Model &, Obj *o, Visit v, void *d) {
  return walk_scopes(as<ScopeRec>(o), [&](ScopeRec *s) { return v(s, d); });
}
int r_scope_functionDef_n(const Model &, Obj *o, Visit v, void *d) { return visit_chain(as<ScopeRec>(o)->functions, v, d); }
int r_scope_instructionDef_n(const Model &, Obj *o, Visit v, void *d) { return visit_chain(as<ScopeRec>(o)->instructions, v, d); }
int r_scope_subScope_n(const Model &, Obj *o, Visit v, void *d) { return visit_chain(as<ScopeRec>(o)->subs, v, d); }
int r_scope_symbolDef_n(const Model &, Obj *o, Visit v, void *d) { return visit_chain(as<ScopeRec>(o)->symbols, v, d); }
int r_scope_variableDef_n(const Model &, Obj *o, Visit v, void *d) { return visit_chain(as<ScopeRec>(o)->variables, v, d); }
Obj *r_scope_superScope(const Model &, Obj *o) { return as<ScopeRec>(o)->super; }
Obj *r_scope_function(const Model &, Obj *o) { return as<ScopeRec>(o)->function; }
Obj *r_scope_instructionBlock(const Model &, Obj *o) { return as<ScopeRec>(o)->block; }
Obj *r_scope_typeStructured(const Model &, Obj *o) { return as<ScopeRec>(o)->structured; }
Obj *r_scope_application(const Model &m, Obj *o) {
  return as<ScopeRec>(o)->kind == SCOPE_GLOBAL ? const_cast<AppRec *>(m.application()) : nullptr;
}

/* ---- application -------------------------------------------------------- */

const AppRec *app(const Model &m) { return m.application(); }

int r_app_comment_n(const Model &m, Obj *, Visit v, void *d) {
  for (const Link *k = app(m)->files.head; k; k = k->next) {
    int r = visit_chain(as<FileRec>(k->obj)->comments, v, d);
    if (r) return r;
  }
  return 0;
}
int r_app_expression_n(const Model &m, Obj *, Visit v, void *d) { return visit_chain(app(m)->expressions, v, d); }
int r_app_file_n(const Model &m, Obj *, Visit v, void *d) { return visit_list(app(m)->files, v, d); }
int r_app_fileInclusion_n(const Model &m, Obj *, Visit v, void *d) { return visit_list(app(m)->inclusions, v, d); }
int r_app_instruction_n(const Model &m, Obj *, Visit v, void *d) { return visit_chain(app(m)->instructions, v, d); }
int r_app_label_n(const Model &m, Obj *, Visit v, void *d) { return visit_chain(app(m)->labels, v, d); }
int r_app_type_n(const Model &m, Obj *, Visit v, void *d) { return visit_chain(app(m)->types, v, d); }
int r_app_scope_n(const Model &m, Obj *, Visit v, void *d) {
  return walk_scopes(app(m)->global, [&](ScopeRec *s) { return v(s, d); });
}
int r_app_function_n(const Model &m, Obj *, Visit v, void *d) {
  return walk_scopes(app(m)->global, [&](ScopeRec *s) { return visit_chain(s->functions, v, d); });
}
int r_app_variable_n(const Model &m, Obj *, Visit v, void *d) {
  return walk_scopes(app(m)->global, [&](ScopeRec *s) { return visit_chain(s->variables, v, d); });
}
int r_app_symbol_n(const Model &m, Obj *, Visit v, void *d) {
  return walk_scopes(app(m)->global, [&](ScopeRec *s) { return visit_chain(s->symbols, v, d); });
}
Obj *r_app_scopeGlobal(const Model &m, Obj *) { return app(m)->global; }

/* ---- comments, files, inclusions, enumeration values --------------------- */

int r_file_comment_n(const Model &, Obj *o, Visit v, void *d) { return visit_chain(as<FileRec>(o)->comments, v, d); }
Obj *r_incl_included(const Model &, Obj *o) { return as<InclusionRec>(o)->included; }
Obj *r_enumval_symbol(const Model &, Obj *o) { return as<EnumValueRec>(o)->symbol; }
Obj *r_enumval_typeEnum(const Model &, Obj *o) { return as<EnumValueRec>(o)->type_enum; }
Obj *r_enumval_value(const Model &, Obj *o) { return as<EnumValueRec>(o)->value; }

/* ---- expressions -------------------------------------------------------- */

/* A stack for the post-order walks: frames on the C stack for the usual
 * depths, spilled to the heap only for very deep trees (long chains of
 * operators or of else-ifs in generated code). */
template <class F> class WalkStack {
 public:
  ~WalkStack() {
    if (data_ != local_) delete[] data_;
  }
  bool empty() const { return n_ == 0; }
  F &top() { return data_[n_ - 1]; }
  void pop() { n_--; }
  void push(const F &f) {
    if (n_ == cap_) grow();
    data_[n_++] = f;
  }

 private:
  void grow() {
    F *bigger = new F[cap_ * 2];
    for (size_t i = 0; i < n_; i++) bigger[i] = data_[i];
    if (data_ != local_) delete[] data_;
    data_ = bigger;
    cap_ *= 2;
  }
  F local_[64];
  F *data_ = local_;
  size_t n_ = 0, cap_ = 64;
};

/* The whole expression tree below e in post-order. */
int expr_all(ExprRec *e, Visit v, void *d) {
  struct Frame {
    ExprRec *e;
    ExprRec *next;
  };
  auto operands = [](ExprRec *x) { return x->kind == EXPR_COMPLEX ? x->operands.first() : nullptr; };
  WalkStack<Frame> st;
  st.push({e, operands(e)});
  while (!st.empty()) {
    Frame &f = st.top();
    if (f.next) {
      ExprRec *c = f.next;
      f.next = f.e->operands.after(c);
      st.push({c, operands(c)});
      continue;
    }
    ExprRec *done = f.e;
    st.pop();
    int r = v(done, d);
    if (r) return r;
  }
  return 0;
}
int r_expr_allExpression_n(const Model &, Obj *o, Visit v, void *d) { return expr_all(as<ExprRec>(o), v, d); }
int r_expr_subExpression_n(const Model &, Obj *o, Visit v, void *d) {
  ExprRec *e = as<ExprRec>(o);
  return e->kind == EXPR_COMPLEX ? visit_chain(e->operands, v, d) : 0;
}
int r_expr_operand_n(const Model &m, Obj *o, Visit v, void *d) { return r_expr_subExpression_n(m, o, v, d); }
Obj *r_expr_function(const Model &, Obj *o) {
  return o->kind == EXPR_COMPLEX ? as<ExprRec>(o)->function : nullptr;
}
Obj *r_expr_instruction(const Model &, Obj *o) {
  return o->kind == EXPR_INSTRUCTION ? as<ExprRec>(o)->instruction : nullptr;
}
Obj *r_expr_symbol(const Model &, Obj *o) { return o->kind == EXPR_SYMBOL ? as<ExprRec>(o)->symbol : nullptr; }
Obj *r_expr_type(const Model &, Obj *o) {
  return o->kind == EXPR_CONSTANT || o->kind == EXPR_TYPE ? as<ExprRec>(o)->type : nullptr;
}

/* ---- functions ---------------------------------------------------------- */

Obj *r_func_definedIn(const Model &, Obj *o) { return as<FunctionRec>(o)->defined_in; }
Obj *r_func_scopeFunction(const Model &, Obj *o) { return as<FunctionRec>(o)->scope; }
Obj *r_func_typeFunction(const Model &, Obj *o) { return as<FunctionRec>(o)->type_function; }
int r_func_symbol_n(const Model &, Obj *o, Visit v, void *d) { return visit_chain(as<FunctionRec>(o)->symbols, v, d); }
int r_func_variable_n(const Model &, Obj *o, Visit v, void *d) { return visit_chain(as<FunctionRec>(o)->variables, v, d); }

/* ---- instructions ------------------------------------------------------- */

int instr_children(InstrRec *i, Visit v, void *d) {
  switch (i->kind) {
    case INSTR_FOR: case INSTR_DOWHILE: case INSTR_WHILE: case INSTR_SWITCH:
      return visit_one(i->body, v, d);
    case INSTR_IF: {
      int r = visit_one(i->if_true, v, d);
      return r ? r : visit_one(i->if_false, v, d);
    }
    case INSTR_BLOCK:
      return visit_chain(i->sequence, v, d);
    default:
      return 0;
  }
}

/* The whole instruction tree below i in post-order, children as
 * instr_children gives them. */
int instr_all(InstrRec *i, Visit v, void *d) {
  struct Frame {
    InstrRec *i;
    int state;
    InstrRec *next;
  };
  auto start = [](InstrRec *x) { return Frame{x, 0, x->kind == INSTR_BLOCK ? x->sequence.first() : nullptr}; };
  auto next_child = [](Frame &f) -> InstrRec * {
    switch (f.i->kind) {
      case INSTR_FOR: case INSTR_DOWHILE: case INSTR_WHILE: case INSTR_SWITCH:
        return f.state++ == 0 ? f.i->body : nullptr;
      case INSTR_IF:
        while (f.state < 2) {
          InstrRec *c = f.state++ == 0 ? f.i->if_true : f.i->if_false;
          if (c) return c;
        }
        return nullptr;
      case INSTR_BLOCK:
        if (f.next) {
          InstrRec *c = f.next;
          f.next = f.i->sequence.after(c);
          return c;
        }
        return nullptr;
      default:
        return nullptr;
    }
  };
  WalkStack<Frame> st;
  st.push(start(i));
  while (!st.empty()) {
    if (InstrRec *c = next_child(st.top())) {
      st.push(start(c));
      continue;
    }
    InstrRec *done = st.top().i;
    st.pop();
    int r = v(done, d);
    if (r) return r;
  }
  return 0;
}

int r_instr_allInstruction_n(const Model &, Obj *o, Visit v, void *d) { return instr_all(as<InstrRec>(o), v, d); }
int r_instr_subInstruction_n(const Model &, Obj *o, Visit v, void *d) { return instr_children(as<InstrRec>(o), v, d); }
/* The expressions an instruction holds directly, in source order. */
int r_instr_expression_n(const Model &, Obj *o, Visit v, void *d) {
  InstrRec *i = as<InstrRec>(o);
  int r = 0;
  switch (i->kind) {
    case INSTR_FOR:
      if ((r = visit_one(i->initialization, v, d))) return r;
      if ((r = visit_one(i->condition, v, d))) return r;
      return visit_one(i->increment, v, d);
    case INSTR_IF: case INSTR_WHILE: case INSTR_DOWHILE: case INSTR_SWITCH:
      return visit_one(i->condition, v, d);
    case INSTR_EXPRESSION: case INSTR_RETURN:
    case INSTR_GOTO: /* a computed goto's expression */
      return visit_one(i->expression, v, d);
    case INSTR_DEFINITION:
      return visit_one(i->initialization, v, d);
    default:
      return 0;
  }
}
inline bool is_declaration(const Obj *o) { return is_declaration_kind(o->kind); }
int r_instr_tag_n(const Model &, Obj *o, Visit v, void *d) { return visit_chain(as<InstrRec>(o)->tags, v, d); }
int r_instr_sequence_n(const Model &, Obj *o, Visit v, void *d) {
  return o->kind == INSTR_BLOCK ? visit_chain(as<InstrRec>(o)->sequence, v, d) : 0;
}
int r_instr_sameInstruction_n(const Model &, Obj *o, Visit v, void *d) {
  if (!is_declaration(o)) return 0;
  InstrRec *i = as<InstrRec>(o);
  for (InstrRec *p = i->same_next; p && p != i; p = p->same_next) {
    int r = v(p, d);
    if (r) return r;
  }
  return 0;
}
Obj *r_instr_body(const Model &, Obj *o) { return as<InstrRec>(o)->body; }
Obj *r_instr_condition(const Model &, Obj *o) { return as<InstrRec>(o)->condition; }
Obj *r_instr_definedIn(const Model &, Obj *o) { return is_declaration(o) ? as<InstrRec>(o)->defined_in : nullptr; }
Obj *r_instr_expression(const Model &, Obj *o) { return as<InstrRec>(o)->expression; }
Obj *r_instr_ifFalse(const Model &, Obj *o) { return as<InstrRec>(o)->if_false; }
Obj *r_instr_ifTrue(const Model &, Obj *o) { return as<InstrRec>(o)->if_true; }
Obj *r_instr_increment(const Model &, Obj *o) { return as<InstrRec>(o)->increment; }
Obj *r_instr_initialization(const Model &, Obj *o) { return as<InstrRec>(o)->initialization; }
Obj *r_instr_scopeBlock(const Model &, Obj *o) { return as<InstrRec>(o)->scope_block; }
Obj *r_instr_symbol(const Model &, Obj *o) { return is_declaration(o) ? as<InstrRec>(o)->symbol : nullptr; }
Obj *r_instr_target(const Model &, Obj *o) { return as<InstrRec>(o)->target; }

/* ---- labels ------------------------------------------------------------- */

Obj *r_label_instruction(const Model &, Obj *o) { return as<LabelRec>(o)->instruction; }
Obj *r_label_symbol(const Model &, Obj *o) { return o->kind == LABEL_IDENT ? as<LabelRec>(o)->symbol : nullptr; }
Obj *r_label_target(const Model &, Obj *o) { return o->kind == LABEL_CASE ? as<LabelRec>(o)->target : nullptr; }

/* ---- symbols ------------------------------------------------------------ */

/* Symbols whose instructions are kept: functions, macros, variables. */
inline bool has_instructions(const Obj *o) {
  return o->kind == SYM_FUNCTION || o->kind == SYM_MACRO || o->kind == SYM_VARIABLE;
}
int sym_instructions(const SymbolRec *s, int kind, Visit v, void *d) {
  if (!has_instructions(s)) return 0;
  for (InstrRec *i : s->instructions) {
    if (kind && i->kind != kind) continue;
    int r = v(i, d);
    if (r) return r;
  }
  return 0;
}
int r_sym_declaration_n(const Model &, Obj *o, Visit v, void *d) { return sym_instructions(as<SymbolRec>(o), INSTR_DECLARATION, v, d); }
int r_sym_tentativeDefinition_n(const Model &, Obj *o, Visit v, void *d) { return sym_instructions(as<SymbolRec>(o), INSTR_TENTATIVE, v, d); }
int r_sym_instruction_n(const Model &, Obj *o, Visit v, void *d) { return sym_instructions(as<SymbolRec>(o), 0, v, d); }
Obj *r_sym_definition(const Model &, Obj *o) {
  if (!has_instructions(o)) return nullptr;
  for (InstrRec *i : as<SymbolRec>(o)->instructions)
    if (i->kind == INSTR_DEFINITION) return i;
  return nullptr;
}
int r_sym_typeSymbol_n(const Model &, Obj *o, Visit v, void *d) {
  return o->kind == SYM_TYPE ? visit_chain(as<SymbolRec>(o)->type_symbols, v, d) : 0;
}
Obj *r_sym_definedIn(const Model &, Obj *o) { return as<SymbolRec>(o)->defined_in; }
Obj *r_sym_enumValue(const Model &, Obj *o) { return o->kind == SYM_ENUM ? as<SymbolRec>(o)->enum_value : nullptr; }
Obj *r_sym_function(const Model &, Obj *o) { return as<SymbolRec>(o)->function; }
Obj *r_sym_labelIdent(const Model &, Obj *o) { return o->kind == SYM_LABEL ? as<SymbolRec>(o)->label : nullptr; }
Obj *r_sym_typeField(const Model &, Obj *o) { return o->kind == SYM_FIELD ? as<SymbolRec>(o)->field : nullptr; }
Obj *r_sym_typeTagged(const Model &, Obj *o) { return o->kind == SYM_TAG ? as<SymbolRec>(o)->tagged : nullptr; }
Obj *r_sym_variable(const Model &, Obj *o) { return as<SymbolRec>(o)->variable; }

/* ---- types -------------------------------------------------------------- */

/* A qualified copy of a structured or enumerated type reads its tag,
 * members and structure scope from the type it qualifies. */
const TypeRec *shared(const Obj *o) {
  const TypeRec *t = as<TypeRec>(o);
  return t->original ? t->original : t;
}
inline bool is_structured(const Obj *o) { return o->kind == TYPE_STRUCT || o->kind == TYPE_UNION; }
inline bool is_tagged(const Obj *o) { return is_structured(o) || o->kind == TYPE_ENUM; }
int r_type_qualifier_n(const Model &, Obj *o, Visit v, void *d) { return visit_chain(as<TypeRec>(o)->qualifiers, v, d); }
int r_type_parameter_n(const Model &, Obj *o, Visit v, void *d) {
  return o->kind == TYPE_FUNCTION ? visit_list(as<TypeRec>(o)->parameters, v, d) : 0;
}
int r_type_enumValue_n(const Model &, Obj *o, Visit v, void *d) {
  return o->kind == TYPE_ENUM ? visit_chain(shared(o)->enum_values, v, d) : 0;
}
int r_type_typeField_n(const Model &, Obj *o, Visit v, void *d) {
  return is_structured(o) ? visit_chain(shared(o)->fields, v, d) : 0;
}
Obj *r_type_tag(const Model &, Obj *o) { return is_tagged(o) ? shared(o)->tag : nullptr; }
Obj *r_type_scopeStructure(const Model &, Obj *o) { return is_structured(o) ? shared(o)->structure : nullptr; }
Obj *r_type_size(const Model &, Obj *o) { return o->kind == TYPE_ARRAY ? as<TypeRec>(o)->size : nullptr; }
Obj *r_type_type(const Model &, Obj *o) { return as<TypeRec>(o)->type; }
Obj *r_type_ancestor(const Model &, Obj *o) { return as<TypeRec>(o)->type; }
Obj *r_type_expansion(const Model &, Obj *o) { return as<TypeRec>(o)->type; }
Obj *r_type_symbol(const Model &, Obj *o) { return o->kind == TYPE_SYMBOL ? as<TypeRec>(o)->symbol : nullptr; }
Obj *r_type_expression(const Model &, Obj *o) { return o->kind == TYPE_TYPEOF ? as<TypeRec>(o)->expression : nullptr; }

/* ---- fields and variables ----------------------------------------------- */

Obj *r_field_length(const Model &, Obj *o) { return as<FieldRec>(o)->length; }
Obj *r_field_symbol(const Model &, Obj *o) { return as<FieldRec>(o)->symbol; }
Obj *r_field_type(const Model &, Obj *o) { return as<FieldRec>(o)->type; }
Obj *r_field_typeStructured(const Model &, Obj *o) { return as<FieldRec>(o)->structured; }
Obj *r_var_definedIn(const Model &, Obj *o) { return as<VariableRec>(o)->defined_in; }
Obj *r_var_function(const Model &, Obj *o) { return as<VariableRec>(o)->function; }
Obj *r_var_type(const Model &, Obj *o) { return as<VariableRec>(o)->type; }
int r_var_symbol_n(const Model &, Obj *o, Visit v, void *d) { return visit_chain(as<VariableRec>(o)->symbols, v, d); }

/* ---- resolvers: kind number to class id, per family --------------------- */

const int expr_classes[] = {0, K_ExpressionComplex, K_ExpressionConstant, K_ExpressionSymbol,
                            K_ExpressionType, K_ExpressionInstruction};
const int instr_classes[] = {
    0, K_InstructionBreak, K_InstructionContinue, K_InstructionGoto, K_InstructionExpression,
    K_InstructionFor, K_InstructionDoWhile, K_InstructionIf, K_InstructionReturn,
    K_InstructionSwitch, K_InstructionWhile, K_InstructionBlock, K_InstructionDeclaration,
    K_InstructionDefinition, K_InstructionTentativeDefinition};
const int label_classes[] = {0, K_LabelCase, K_LabelIdent, K_LabelDefault};
const int scope_classes[] = {0, K_ScopeFunction, K_ScopeGlobal, K_ScopeBlock,
                             K_ScopeTranslationUnit, K_ScopeStructure};
const int sym_classes[] = {0, K_SymbolTag, K_SymbolEnum, K_SymbolFunction, K_SymbolMacro,
                           K_SymbolVariable, K_SymbolLabel, K_SymbolType, K_SymbolField};
const int type_classes[] = {
    0, K_TypeInt, K_TypeDouble, K_TypeFloat, K_TypeVoid, K_TypeLongDouble,
    K_TypeUnsignedInt, K_TypeShort, K_TypeUnsignedShort, K_TypeLong, K_TypeUnsignedLong,
    K_TypeChar, K_TypeSignedChar, K_TypeUnsignedChar, K_TypeArray, K_TypePointer,
    K_TypeSymbol, K_TypeUnion, K_TypeStruct, K_TypeEnum, K_TypeMeta, K_TypeFunction,
    K_TypeVararg, K_TypeTypeof};
const int func_classes[] = {
    0, K_FunctionAdd, K_FunctionMul, K_FunctionDiv, K_FunctionSub, K_FunctionMinus,
    K_FunctionMod, K_FunctionPlus, K_FunctionBnot, K_FunctionBand, K_FunctionBor,
    K_FunctionBxor, K_FunctionLsh, K_FunctionRsh, K_FunctionAnd, K_FunctionOr,
    K_FunctionNot, K_FunctionLe, K_FunctionLt, K_FunctionGe, K_FunctionGt, K_FunctionEq,
    K_FunctionNe, K_FunctionAssign, K_FunctionAddAssign, K_FunctionSubAssign,
    K_FunctionMulAssign, K_FunctionDivAssign, K_FunctionModAssign, K_FunctionPostInc,
    K_FunctionPreInc, K_FunctionPostDec, K_FunctionPreDec, K_FunctionBandAssign,
    K_FunctionBorAssign, K_FunctionBxorAssign, K_FunctionRshAssign, K_FunctionLshAssign,
    K_FunctionSizeof, K_FunctionCast, K_FunctionAddress, K_FunctionRef, K_FunctionTernary,
    K_FunctionIndex, K_FunctionSelect, K_FunctionPointerSelect, K_FunctionCall,
    K_FunctionSequence, K_FunctionCompoundInit, K_FunctionAlignof, K_FunctionMacro,
    K_FunctionBuiltout};
const int qual_classes[] = {0, K_QualifierConst, K_QualifierVolatile};
const int field_classes[] = {0, K_TypeField, K_TypeBitField};

struct KindTable {
  const int *classes;
  int count; /* highest kind */
  int fallback;
};
#define KT(a, generic) {a, (int)(sizeof(a) / sizeof(a[0])) - 1, generic}
const KindTable kind_tables[FAM_COUNT] = {
    /* FAM_APP */ {nullptr, 0, K_Application},
    /* FAM_COMMENT */ {nullptr, 0, K_Comment},
    /* FAM_ENUMVALUE */ {nullptr, 0, K_EnumValue},
    /* FAM_EXPR */ KT(expr_classes, K_Expression),
    /* FAM_FILE */ {nullptr, 0, K_File},
    /* FAM_INCLUSION */ {nullptr, 0, K_FileInclusion},
    /* FAM_FUNCTION */ KT(func_classes, K_Function),
    /* FAM_INSTR */ KT(instr_classes, K_Instruction),
    /* FAM_LABEL */ KT(label_classes, K_Label),
    /* FAM_ORIGIN */ {nullptr, 0, K_Origin},
    /* FAM_QUALIFIER */ KT(qual_classes, K_Qualifier),
    /* FAM_SCOPE */ KT(scope_classes, K_Scope),
    /* FAM_SYMBOL */ KT(sym_classes, K_Symbol),
    /* FAM_TYPE */ KT(type_classes, K_Type),
    /* FAM_FIELD */ KT(field_classes, K_TypeField),
    /* FAM_VARIABLE */ {nullptr, 0, K_Variable},
};
#undef KT

int resolve_family(const Obj *o, Family f) {
  const KindTable &t = kind_tables[f];
  return o->kind >= 1 && o->kind <= t.count ? t.classes[o->kind] : t.fallback;
}
int resolve_expr(const Obj *o) { return resolve_family(o, FAM_EXPR); }
int resolve_func(const Obj *o) { return resolve_family(o, FAM_FUNCTION); }
int resolve_instr(const Obj *o) { return resolve_family(o, FAM_INSTR); }
int resolve_label(const Obj *o) { return resolve_family(o, FAM_LABEL); }
int resolve_qual(const Obj *o) { return resolve_family(o, FAM_QUALIFIER); }
int resolve_scope(const Obj *o) { return resolve_family(o, FAM_SCOPE); }
int resolve_sym(const Obj *o) { return resolve_family(o, FAM_SYMBOL); }
int resolve_type(const Obj *o) { return resolve_family(o, FAM_TYPE); }
int resolve_field(const Obj *o) { return resolve_family(o, FAM_FIELD); }

#include "model/class_table.inc"

/* Halving search with the model's fixed choice of the middle element:
 * with n elements left from lo, half = n / 2; the middle is lo + half for
 * odd n and lo + half - 1 for even n.  The first equal element met wins. */
template <class T> const T *halving_search(const T *table, int count, std::string_view key) {
  int lo = 0, n = count;
  while (n > 0) {
    int half = n / 2;
    if (half == 0) return key == table[lo].name ? &table[lo] : nullptr;
    int mid = (n & 1) ? lo + half : lo + half - 1;
    int c = key.compare(table[mid].name);
    if (c == 0) return &table[mid];
    if (c < 0) {
      n = (n & 1) ? half : half - 1;
    } else {
      lo = mid + 1;
      n = half;
    }
  }
  return nullptr;
}

}  // namespace

const ClassInfo *class_by_id(int id) {
  return id >= 1 && id <= CLASS_COUNT ? &class_table[id] : nullptr;
}

const ClassInfo *find_class(std::string_view name) {
  return halving_search(class_table + 1, CLASS_COUNT, name);
}

const RoleInfo *find_role(const ClassInfo *cls, std::string_view name) {
  return halving_search(cls->roles, cls->role_count, name);
}

const AttrInfo *find_attribute(const ClassInfo *cls, std::string_view name) {
  return halving_search(cls->attrs, cls->attr_count, name);
}

const ClassInfo *class_of(const Obj *obj, const ClassInfo *cls) {
  return cls->resolve ? &class_table[cls->resolve(obj)] : cls;
}

int class_for_kind(Family family, int kind) {
  const KindTable &t = kind_tables[family];
  return kind >= 1 && kind <= t.count ? t.classes[kind] : t.fallback;
}

}  // namespace kvx
