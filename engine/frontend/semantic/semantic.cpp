/*
 * semantic.cpp - the model builder's actions: files, comments and macros
 * from the preprocessor, declarations, types, statements and expressions
 * from the parser.
 *
 * Intermediate results (specifier lists, declarators, lists, pending
 * identifiers) live in a per-source arena of Sem nodes; model objects are
 * created through ModelBuilder as soon as their construct is complete.
 */
#include "frontend/semantic/semantic.h"

#include <cstring>
#include <memory>
#include <vector>

#include "model/builder.h"

namespace kvx::sem {
namespace {

using fe::Loc;
using fe::Node;
using fe::Specifier;

enum SemTag : uint8_t { S_EXPR, S_SPECS, S_DECL, S_PTR, S_PARAM, S_LIST, S_TYPE, S_BLOCK, S_FUNC };

/* Word bits of a specifier list. */
constexpr uint32_t bit(Specifier s) { return 1u << static_cast<unsigned>(s); }

struct Sem {
  SemTag tag;
  Loc loc{};
  /* expression: the record, or a pending identifier (symbol, not yet made) */
  ExprRec *expr = nullptr;
  SymbolRec *sym = nullptr;
  bool pending = false;
  /* specifiers */
  uint32_t words = 0;
  TypeRec *named = nullptr;
  TypeRec *base = nullptr;
  bool base_made = false;
  bool is_inline = false;  /* an inline word among the specifiers */
  InstrRec *first_instr = nullptr, *last_instr = nullptr; /* of the declaration */
  /* declarator, parameter */
  std::string name;
  TypeRec *top = nullptr, *hole = nullptr;
  Sem *params = nullptr;      /* the name's own function parameters */
  fe::FunctionForm form = fe::FunctionForm::Empty;
  bool is_function = false;   /* the declared name is a function */
  /* pointer */
  uint32_t quals = 0;
  Sem *next = nullptr;
  /* parameter: its type; list: items; type: type */
  TypeRec *type = nullptr;
  std::vector<Sem *> items;
  /* block, function */
  ScopeRec *scope = nullptr;
  FunctionRec *fn = nullptr;
  size_t depth = 0;

  /* Back to a fresh node; keeps the capacity of the name and the items. */
  void reset(SemTag t, Loc l) {
    std::string n = std::move(name);
    std::vector<Sem *> v = std::move(items);
    *this = Sem{};
    tag = t;
    loc = l;
    n.clear();
    v.clear();
    name = std::move(n);
    items = std::move(v);
  }
};

/* The specifier words that name a built-in type. */
/* The type a typedef name stands for, through typedefs of typedefs. */
static TypeRec *resolved(TypeRec *t) {
  for (int n = 0; t && t->kind == TYPE_SYMBOL && n < 1000; n++) t = t->type;
  return t;
}
static bool type_word(Specifier s) {
  switch (s) {
    case Specifier::Int: case Specifier::Char: case Specifier::Short: case Specifier::Long:
    case Specifier::Float: case Specifier::Double: case Specifier::Void: case Specifier::Signed:
    case Specifier::Unsigned: case Specifier::SizedInt: case Specifier::Bool:
    case Specifier::Complex: case Specifier::Int128: case Specifier::FloatN: case Specifier::VaList:
      return true;
    default:
      return false;
  }
}

class SourceBuilder : public fe::ParseActions, public pp::Observer {
 public:
  SourceBuilder(Model &m, Diagnostics &d) : b_(m), m_(m), diag_(d) {}

  void begin_source(const std::string &path) {
    FileRec *f = b_.file_object(path);
    tu_ = b_.new_scope(SCOPE_TRANSLATION_UNIT, m_.global_scope(), f, 1);
    scopes_.assign({m_.global_scope(), tu_});
  }

  /* ---- preprocessor reports ---- */
  void file_entered(uint32_t file, std::string_view path) override {
    if (files_.size() <= file) files_.resize(file + 1, nullptr);
    files_[file] = b_.file_object(path);
  }
  void include_missing(uint32_t, uint32_t) override { diag_.include_missing(); }
  /* An expansion of a macro written in the file: numbered among those of
   * its line as the preprocessor numbers the origins of its tokens. */
  void macro_used(uint32_t f, uint32_t line, std::string_view name, bool, bool expanded) override {
    if (!expanded) return;
    bool same_line = f == exp_file_ && line == exp_line_ && exp_number_;
    exp_number_ = same_line ? (uint8_t)(exp_number_ < 255 ? exp_number_ + 1 : 255) : 1;
    exp_file_ = f;
    exp_line_ = line;
    b_.expansion(file(f), line, exp_number_, name);
  }
  /* Lines of the recent past, for the first line of a definition: those
   * holding tokens, and those holding a directive or an attribute. */
  void token(const fe::LexToken &t) override {
    if (t.loc.line != code_.last_line || t.loc.file != code_.last_file) code_.add(t.loc.file, t.loc.line);
  }
  void attribute(Loc loc) override { free_.add(loc.file, loc.line); }
  void directive_line(uint32_t f, uint32_t line) override { free_.add(f, line); }
  void system_file(uint32_t f) override {
    if (FileRec *r = file(f)) b_.set_system(r);
  }
  void inclusion(uint32_t from, uint32_t line, uint32_t included) override {
    FileRec *a = file(from), *c = file(included);
    if (a && c) b_.add_inclusion(a, line, c);
  }
  void comment(uint32_t f, uint32_t first, uint32_t count) override {
    FileRec *r = file(f);
    last_comment_ = r ? b_.add_comment(r, first, (int)count) : nullptr;
  }
  void fallthrough_comment(uint32_t, uint32_t) override {
    if (last_comment_) last_comment_->fallthrough = true;
  }
  void macro_defined(uint32_t f, uint32_t line, std::string_view name, int nparams,
                     const std::vector<std::string_view> &params) override {
    FileRec *r = file(f);
    SymbolRec *sym = new_symbol(SYM_MACRO, name, tu_, r, line);
    if (nparams < 0) return;
    FunctionRec *fn = b_.new_function(FN_MACRO, tu_, sym);
    ScopeRec *sc = b_.new_scope(SCOPE_FUNCTION, tu_, r, line);
    b_.set_function_scope(fn, sc);
    for (std::string_view p : params) new_symbol(SYM_VARIABLE, p, sc, r, line);
  }

  /* ---- lists ---- */
  Node list_append(fe::ListKind, Node list, Node item) override {
    Sem *l = static_cast<Sem *>(list);
    if (!l) l = make(S_LIST, Loc{});
    if (item) l->items.push_back(static_cast<Sem *>(item));
    return l;
  }

  /* ---- expressions ---- */
  Node expr_identifier(Loc loc, std::string_view name, bool macro) override {
    Sem *e = make(S_EXPR, loc);
    e->pending = true;
    e->sym = macro ? find_symbol(tu_, name, SYM_MACRO) : lookup_ordinary(name);
    if (!e->sym && !macro) e->sym = find_symbol(tu_, name, SYM_MACRO);
    if (e->sym && e->sym->kind == SYM_VARIABLE && e->sym->variable) e->type = e->sym->variable->type;
    return e;
  }
  Node expr_constant(Loc loc, fe::ConstantKind k, std::string_view sp) override {
    ExprRec *e = b_.new_expression(EXPR_CONSTANT, at(loc));
    b_.set_expression_type(e, constant_type(k, sp));
    b_.set_spelling(e, sp);
    return wrap(e, loc);
  }
  Node string_piece(Loc loc, std::string_view sp) override {
    Sem *p = make(S_EXPR, loc);
    p->name.assign(sp);
    return p;
  }
  /* Adjacent literals are spelt as written, one blank between them. */
  Node expr_string(Loc loc, Node pieces) override {
    ExprRec *e = string_constant(loc);
    if (Sem *l = static_cast<Sem *>(pieces)) {
      std::string &text = l->name;
      text.clear();
      for (Sem *p : l->items) {
        if (!text.empty()) text += ' ';
        text += p->name;
      }
      b_.set_spelling(e, text);
    }
    return wrap(e, loc);
  }
  Node expr_unary(Loc loc, fe::Op op, Node a) override {
    TypeRec *t = type_of(a);
    Sem *r = static_cast<Sem *>(complex(loc, op, {ex(a)}));
    if (op == fe::Op::Ref) r->type = pointee(t);
    else if (op == fe::Op::PreInc || op == fe::Op::PreDec || op == fe::Op::PostInc || op == fe::Op::PostDec) r->type = t;
    return r;
  }
  Node expr_binary(Loc loc, fe::Op op, Node a, Node c) override {
    TypeRec *ta = type_of(a), *tc = type_of(c);
    ExprRec *l = ex(a);
    Sem *r = static_cast<Sem *>(complex(loc, op, {l, ex(c)}));
    if (op == fe::Op::Index) r->type = pointee(ta) ? pointee(ta) : pointee(tc);
    else if (op == fe::Op::Sequence) r->type = tc;
    else if (op >= fe::Op::Assign && op <= fe::Op::ModAssign) r->type = ta;
    else if (op >= fe::Op::BandAssign && op <= fe::Op::LshAssign) r->type = ta;
    return r;
  }
  Node expr_ternary(Loc loc, Node c, Node t, Node f) override {
    TypeRec *tt = type_of(t);
    ExprRec *x = ex(c), *y = ex(t);
    Sem *r = static_cast<Sem *>(complex(loc, fe::Op::Ternary, {x, y, ex(f)}));
    r->type = tt;
    return r;
  }
  Node expr_cast(Loc loc, Node tn, Node a) override {
    ExprRec *t = type_expr(loc, tn);
    Sem *r = static_cast<Sem *>(complex(loc, fe::Op::Cast, {t, ex(a)}));
    r->type = t->type;
    return r;
  }
  Node expr_size_of_type(Loc loc, fe::Op op, Node tn) override {
    return complex(loc, op, {type_expr(loc, tn)});
  }
  Node expr_call(Loc loc, Node callee, Node args) override {
    Sem *c = static_cast<Sem *>(callee);
    FunctionRec *fn = nullptr;
    if (c && c->pending && c->sym && (c->sym->kind == SYM_FUNCTION || c->sym->kind == SYM_MACRO))
      fn = c->sym->function;
    /* The result type, when the callee's function type is known. */
    TypeRec *ft = fn ? fn->type_function : resolved(type_of(callee));
    if (ft && ft->kind == TYPE_POINTER) ft = resolved(ft->type);
    TypeRec *result = ft && ft->kind == TYPE_FUNCTION ? ft->type : nullptr;
    ExprRec *e = b_.new_expression(EXPR_COMPLEX, at(loc));
    if (fn) {
      b_.set_expression_function(e, fn);
    } else {
      b_.set_expression_function(e, m_.builtin_function(FN_CALL));
      if (ExprRec *x = ex(callee)) b_.add_operand(e, x);
    }
    if (Sem *l = static_cast<Sem *>(args))
      for (Sem *a : l->items)
        if (ExprRec *x = ex(a)) b_.add_operand(e, x);
    Sem *r = wrap(e, loc);
    r->type = result;
    return r;
  }
  /* The member name is an ExpressionSymbol whose symbol is the member's
   * SymbolField when the object's structure or union is known. */
  Node expr_member(Loc loc, fe::Op op, Node obj, std::string_view name) override {
    TypeRec *t = type_of(obj);
    if (op == fe::Op::PointerSelect) t = pointee(t);
    SymbolRec *field = member_symbol(t, name);
    ExprRec *o = ex(obj);
    ExprRec *member = b_.new_expression(EXPR_SYMBOL, at(loc));
    if (field) b_.set_expression_symbol(member, field);
    Sem *r = static_cast<Sem *>(complex(loc, op, {o, member}));
    r->type = field && field->field ? field->field->type : nullptr;
    return r;
  }
  Node expr_asm(Loc, Node form) override { return form; }
  Node asm_form(Loc loc, Node, Node) override { return wrap(string_constant(loc), loc); }
  Node asm_operand(Loc, Node, Node expr) override { ex(expr); return nullptr; }
  Node initializer_braced(Loc loc, Node inits) override {
    std::vector<ExprRec *> ops;
    if (Sem *l = static_cast<Sem *>(inits))
      for (Sem *i : l->items) ops.push_back(ex(i));
    return complex(loc, fe::Op::CompoundInit, ops);
  }

  /* ---- specifiers and types ---- */
  Node specifier(Loc loc, Node list, Specifier s, std::string_view sp, Node arg) override {
    Sem *l = static_cast<Sem *>(list);
    if (!l) l = make(S_SPECS, loc);
    l->words |= bit(s);
    if (s == Specifier::IgnoredModifier && (sp == "inline" || sp == "__inline" || sp == "__inline__" || sp == "_inline"))
      l->is_inline = true;
    if (type_word(s)) {
      /* The words of a built-in type, as written, for its spelling. */
      if (!l->name.empty()) l->name += ' ';
      l->name += sp;
    }
    Sem *a = static_cast<Sem *>(arg);
    switch (s) {
      case Specifier::TypedefName: l->named = typedef_type(sp); break;
      case Specifier::StructOrUnion:
      case Specifier::Enum:
        if (a && a->tag == S_TYPE) l->named = a->type;
        break;
      case Specifier::Typeof: {
        TypeRec *t = b_.new_type(TYPE_TYPEOF, at(loc));
        if (a && a->tag == S_EXPR) b_.set_typeof_expression(t, ex(a));
        else if (a && a->tag == S_TYPE) b_.set_type_target(t, a->type);
        l->named = t;
        break;
      }
      default: extended_specifier(loc, l, s, sp, a); break;
    }
    return l;
  }
  Node struct_begin(Loc loc, fe::TagKind k, std::string_view tag) override {
    TypeKind kind = k == fe::TagKind::Struct ? TYPE_STRUCT : TYPE_UNION;
    ScopeRec *ds = decl_scope();
    TypeRec *t = nullptr;
    bool keep_members = true;
    SymbolRec *ts = tag.empty() ? nullptr : find_symbol(ds, tag, SYM_TAG);
    if (ts && ts->tagged && ts->tagged->kind == kind) {
      t = ts->tagged;
      if (!t->fields.empty()) {
        error(loc, "redefinition of struct/union");
        keep_members = false;
      }
    } else if (ts) {
      error(loc, "struct/union tag clash");
    }
    if (!t) {
      t = b_.new_type(kind, at(loc));
      if (!tag.empty() && !ts) b_.set_tag(t, new_symbol(SYM_TAG, tag, ds, at(loc)));
    }
    ScopeRec *sc = b_.new_scope(SCOPE_STRUCTURE, cur_scope(), at(loc));
    if (keep_members && !t->structure) b_.set_structure_scope(t, sc);
    scopes_.push_back(sc);
    structs_.push_back(keep_members ? t : nullptr);
    Sem *r = make(S_TYPE, loc);
    r->type = t;
    r->scope = sc;
    return r;
  }
  Node struct_end(Loc, Node begin, Node) override {
    Sem *r = static_cast<Sem *>(begin);
    pop_to(r->scope);
    if (!structs_.empty()) structs_.pop_back();
    return r;
  }
  Node struct_reference(Loc loc, fe::TagKind k, std::string_view tag) override {
    return type_node(loc, reference_tag(loc, k == fe::TagKind::Struct ? TYPE_STRUCT : TYPE_UNION, tag));
  }
  Node struct_declarator(Loc, Node specs, Node decl, Node width) override {
    TypeRec *st = structs_.empty() ? nullptr : structs_.back();
    Sem *d = static_cast<Sem *>(decl);
    TypeRec *type = complete(d, base_of(specs));
    ExprRec *len = width ? ex(width) : nullptr;
    if (!st) return nullptr;
    SymbolRec *sym = nullptr;
    if (d && !d->name.empty())
      sym = new_symbol(SYM_FIELD, d->name, cur_scope(), at(d->loc));
    b_.new_field(width ? FIELD_BIT : FIELD_PLAIN, st, sym, type, len);
    return nullptr;
  }
  Node enum_begin(Loc loc, std::string_view tag) override {
    ScopeRec *ds = decl_scope();
    TypeRec *t = b_.new_type(TYPE_ENUM, at(loc));
    if (!tag.empty() && !find_symbol(ds, tag, SYM_TAG))
      b_.set_tag(t, new_symbol(SYM_TAG, tag, ds, at(loc)));
    enums_.push_back(t);
    return type_node(loc, t);
  }
  Node enumerator(Loc loc, std::string_view name, Node value) override {
    ExprRec *v = value ? ex(value) : nullptr;
    if (enums_.empty()) return nullptr;
    SymbolRec *s = new_symbol(SYM_ENUM, name, decl_scope(), at(loc));
    b_.new_enum_value(enums_.back(), s, v);
    return nullptr;
  }
  Node enum_end(Loc, Node begin, Node) override {
    if (!enums_.empty()) enums_.pop_back();
    return begin;
  }
  Node enum_reference(Loc loc, std::string_view tag) override {
    return type_node(loc, reference_tag(loc, TYPE_ENUM, tag));
  }

  /* ---- declarators ---- */
  Node declarator_identifier(Loc loc, std::string_view name, bool) override {
    Sem *d = make(S_DECL, loc);
    d->name.assign(name);
    return d;
  }
  Node pointer(Loc loc, Node quals, Node next) override {
    Sem *p = make(S_PTR, loc);
    if (Sem *q = static_cast<Sem *>(quals)) p->quals = q->tag == S_SPECS ? q->words : 0;
    p->next = static_cast<Sem *>(next);
    return p;
  }
  Node declarator_pointer(Loc loc, Node ptr, Node inner) override {
    Sem *d = decl_or_new(inner, loc);
    std::vector<Sem *> ps;
    for (Sem *p = static_cast<Sem *>(ptr); p; p = p->next) ps.push_back(p);
    /* The '*' nearest the name is the outermost of the chain. */
    for (size_t i = ps.size(); i-- > 0;) {
      TypeRec *t = b_.new_type(TYPE_POINTER, at(ps[i]->loc));
      qualify(t, ps[i]->quals);
      derive(d, t);
    }
    return d;
  }
  Node declarator_array(Loc loc, Node inner, Node size) override {
    Sem *d = decl_or_new(inner, loc);
    TypeRec *t = b_.new_type(TYPE_ARRAY, at(loc));
    if (size) b_.set_array_size(t, ex(size));
    derive(d, t);
    return d;
  }
  Node declarator_function(Loc loc, Node inner, Node params, fe::FunctionForm form,
                           bool ellipsis) override {
    Sem *d = decl_or_new(inner, loc);
    TypeRec *t = b_.new_type(TYPE_FUNCTION, at(loc));
    int arity = 0;
    Sem *l = static_cast<Sem *>(params);
    if (l && form == fe::FunctionForm::Prototype) {
      for (Sem *p : l->items) {
        if (!p->type) continue;
        b_.add_parameter(t, p->type);
        bool lone_void = l->items.size() == 1 && p->name.empty() && p->type->kind == TYPE_VOID;
        if (!lone_void) arity++;
      }
    } else if (l) {
      arity = (int)l->items.size();
    }
    if (ellipsis) b_.add_parameter(t, m_.builtin_type(TYPE_VARARG));
    b_.set_arity(t, arity);
    if (!d->top) {
      d->is_function = true;
      d->params = l;
      d->form = form;
    }
    derive(d, t);
    return d;
  }
  Node parameter(Loc loc, Node specs, Node decl) override {
    Sem *d = static_cast<Sem *>(decl);
    Sem *p = make(S_PARAM, d ? d->loc : loc);
    p->type = complete(d, base_of(specs));
    if (d) p->name = d->name;
    return p;
  }
  Node old_style_parameter(Loc loc, std::string_view name) override {
    Sem *p = make(S_PARAM, loc);
    p->name.assign(name);
    return p;
  }
  Node type_name(Loc loc, Node specs, Node decl) override {
    return type_node(loc, complete(static_cast<Sem *>(decl), base_of(specs)));
  }
  void declarator_entered(Node specs, Node decl) override;
  Node init_declarator(Loc loc, Node specs, Node decl, Node init) override {
    ExprRec *e = init ? ex(init) : nullptr;
    declare(static_cast<Sem *>(specs), static_cast<Sem *>(decl), e, loc);
    return nullptr;
  }
  /* A declaration inside a block is a member of the block's sequence: its
   * first instruction stands for the whole sameInstruction ring. */
  Node declaration(Loc, Node specs, Node) override {
    Sem *s = static_cast<Sem *>(specs);
    return s ? stmt(s->first_instr) : nullptr;
  }

  /* ---- function definitions and blocks ---- */
  Node function_begin(Loc loc, Node specs, Node decl) override;
  Node function_end(Loc, Node begin, Node, Node) override {
    Sem *f = static_cast<Sem *>(begin);
    if (f && f->scope) pop_to(f->scope);
    cur_fn_ = f ? f->next : nullptr;
    return nullptr;
  }
  Node block_begin(Loc loc, bool) override {
    Sem *bk = make(S_BLOCK, loc);
    bk->scope = b_.new_scope(SCOPE_BLOCK, cur_scope(), at(loc));
    scopes_.push_back(bk->scope);
    return bk;
  }
  Node block_end(Loc, Node begin, Node items) override {
    Sem *bk = static_cast<Sem *>(begin);
    pop_to(bk->scope);
    ScopeRec *sc = bk->scope;
    InstrRec *blk = b_.new_instruction(INSTR_BLOCK, Place{m_.file_of(sc->file), sc->line, sc->origin});
    b_.set_block_scope(blk, sc);
    if (Sem *l = static_cast<Sem *>(items))
      for (Sem *i : l->items) append_item(blk, reinterpret_cast<InstrRec *>(i));
    if (sc->super && sc->super->kind == SCOPE_FUNCTION && sc->super->function)
      b_.set_function_body(sc->super->function, blk);
    return stmt(blk);
  }
  /* A statement joins the sequence alone; a declaration with all the
   * instructions of its ring, in source order. */
  void append_item(InstrRec *blk, InstrRec *first) {
    if (!is_declaration_kind(first->kind)) {
      b_.append_to_block(blk, first);
      return;
    }
    InstrRec *i = first;
    do {
      b_.append_to_block(blk, i);
      i = i->same_next;
    } while (i && i != first);
  }
  void block_abandoned(Node begin, bool function) override {
    Sem *s = static_cast<Sem *>(begin);
    if (s && s->scope) pop_to(s->scope);
    if (function && s) cur_fn_ = s->next;
  }

  /* ---- statements ---- */
  Node stmt_expression(Loc loc, Node e) override {
    InstrRec *i = instr(INSTR_EXPRESSION, loc);
    if (e) b_.set_expression(i, ex(e));
    return stmt(i);
  }
  Node stmt_if(Loc loc, Node c, Node t, Node f) override {
    InstrRec *i = instr(INSTR_IF, loc);
    b_.set_condition(i, ex(c));
    b_.set_branches(i, st(t), st(f));
    return stmt(i);
  }
  Node stmt_switch(Loc loc, Node c, Node body) override { return loop(INSTR_SWITCH, loc, c, body); }
  Node stmt_while(Loc loc, Node c, Node body) override { return loop(INSTR_WHILE, loc, c, body); }
  Node stmt_do(Loc loc, Node body, Node c) override { return loop(INSTR_DOWHILE, loc, c, body); }
  Node stmt_for(Loc loc, Node init, Node c, Node inc, Node body) override {
    InstrRec *i = instr(INSTR_FOR, loc);
    if (init) b_.set_initialization(i, ex(init));
    if (c) b_.set_condition(i, ex(c));
    if (inc) b_.set_increment(i, ex(inc));
    b_.set_body(i, st(body));
    return stmt(i);
  }
  Node stmt_break(Loc loc) override { return stmt(instr(INSTR_BREAK, loc)); }
  Node stmt_continue(Loc loc) override { return stmt(instr(INSTR_CONTINUE, loc)); }
  Node stmt_return(Loc loc, Node e) override {
    InstrRec *i = instr(INSTR_RETURN, loc);
    if (e) b_.set_expression(i, ex(e));
    return stmt(i);
  }
  Node stmt_goto(Loc loc, std::string_view name) override {
    InstrRec *i = instr(INSTR_GOTO, loc);
    b_.set_goto_target(i, label_ident(loc, name, false));
    return stmt(i);
  }
  /* Labels of one statement reduce from the innermost (the last written)
   * outwards; each goes to the front of the tags, so they read in source
   * order. */
  Node stmt_label(Loc loc, std::string_view name, Node s) override {
    LabelRec *l = label_ident(loc, name, true);
    if (InstrRec *i = st(s)) b_.attach_label(l, i, true);
    return s;
  }
  Node stmt_case(Loc loc, Node e, Node s) override {
    LabelRec *l = b_.new_label(LABEL_CASE, at(loc));
    b_.set_case_target(l, ex(e));
    if (InstrRec *i = st(s)) b_.attach_label(l, i, true);
    return s;
  }
  Node stmt_default(Loc loc, Node s) override {
    LabelRec *l = b_.new_label(LABEL_DEFAULT, at(loc));
    if (InstrRec *i = st(s)) b_.attach_label(l, i, true);
    return s;
  }
  /* Structured exception handling: a block without scope holding the
   * guarded statement, the filter as an expression statement and the
   * handler. */
  Node stmt_try_except(Loc loc, Node body, Node filter, Node handler) override {
    InstrRec *blk = instr(INSTR_BLOCK, loc);
    if (InstrRec *i = st(body)) b_.append_to_block(blk, i);
    InstrRec *f = instr(INSTR_EXPRESSION, loc);
    b_.set_expression(f, ex(filter));
    b_.append_to_block(blk, f);
    if (InstrRec *i = st(handler)) b_.append_to_block(blk, i);
    return stmt(blk);
  }
  Node stmt_try_finally(Loc loc, Node body, Node handler) override {
    InstrRec *blk = instr(INSTR_BLOCK, loc);
    if (InstrRec *i = st(body)) b_.append_to_block(blk, i);
    if (InstrRec *i = st(handler)) b_.append_to_block(blk, i);
    return stmt(blk);
  }
  Node stmt_leave(Loc loc) override { return stmt(instr(INSTR_BREAK, loc)); }
  /* Nothing of a complete external declaration is referred to again. */
  void external_declaration(Loc, Node) override {
    if (scopes_.size() == 2 && !cur_fn_ && structs_.empty() && enums_.empty()) used_ = 0;
  }
  Node stmt_asm(Loc loc, Node form) override {
    InstrRec *i = instr(INSTR_EXPRESSION, loc);
    b_.set_expression(i, ex(form));
    return stmt(i);
  }

 private:
  Sem *make(SemTag t, Loc loc) {
    size_t i = used_++;
    if (i / kChunk == chunks_.size()) chunks_.push_back(std::make_unique<Sem[]>(kChunk));
    Sem *s = &chunks_[i / kChunk][i % kChunk];
    s->reset(t, loc);
    return s;
  }
  SymbolRec *new_symbol(SymbolKind kind, std::string_view name, ScopeRec *scope, FileRec *f,
                        uint32_t line) {
    return b_.new_symbol(kind, name, scope, f, line);
  }
  SymbolRec *new_symbol(SymbolKind kind, std::string_view name, ScopeRec *scope, Place p) {
    return b_.new_symbol(kind, name, scope, p);
  }
  /* The first symbol of that name and kind (0: any ordinary kind) entered
   * in the scope. */
  SymbolRec *find_symbol(const ScopeRec *scope, std::string_view name, int kind) const {
    return b_.find_symbol(scope, name, kind);
  }
  /* The type of an expression node as far as the model knows it (names of
   * variables, members, indexing, dereferencing, calls, casts); null
   * otherwise.  Only used to find the members that selections name. */
  static TypeRec *type_of(Node n) {
    Sem *s = static_cast<Sem *>(n);
    return s && s->tag == S_EXPR ? s->type : nullptr;
  }
  static TypeRec *pointee(TypeRec *t) {
    TypeRec *r = resolved(t);
    return r && (r->kind == TYPE_POINTER || r->kind == TYPE_ARRAY) ? r->type : nullptr;
  }
  /* The member's symbol, also when it lies in an anonymous structure or
   * union member (an unnamed field of an untagged type). */
  SymbolRec *member_symbol(TypeRec *t, std::string_view name, int depth = 0) const {
    TypeRec *r = resolved(t);
    if (!r || (r->kind != TYPE_STRUCT && r->kind != TYPE_UNION)) return nullptr;
    if (r->original) r = r->original;
    if (SymbolRec *s = r->structure ? find_symbol(r->structure, name, SYM_FIELD) : nullptr) return s;
    if (depth < 16)
      for (FieldRec *f : r->fields)
        if (!f->symbol)
          if (SymbolRec *s = member_symbol(f->type, name, depth + 1)) return s;
    return nullptr;
  }
  Sem *wrap(ExprRec *e, Loc loc) {
    Sem *s = make(S_EXPR, loc);
    s->expr = e;
    return s;
  }
  Sem *type_node(Loc loc, TypeRec *t) {
    Sem *s = make(S_TYPE, loc);
    s->type = t;
    return s;
  }
  /* Statements travel as their instruction records. */
  static Node stmt(InstrRec *i) { return reinterpret_cast<Sem *>(i); }
  static InstrRec *st(Node n) { return static_cast<InstrRec *>(n); }

  FileRec *file(uint32_t f) const { return f < files_.size() ? files_[f] : nullptr; }
  /* Where a construct starting at loc is written, its macro origin too. */
  Place at(Loc loc) const { return {file(loc.file), loc.line, loc.origin}; }
  ScopeRec *cur_scope() const { return scopes_.back(); }
  ScopeRec *decl_scope() const {
    for (size_t i = scopes_.size(); i-- > 0;)
      if (scopes_[i]->kind != SCOPE_STRUCTURE) return scopes_[i];
    return tu_;
  }
  void pop_to(ScopeRec *sc) {
    for (size_t i = scopes_.size(); i-- > 2;)
      if (scopes_[i] == sc) {
        scopes_.resize(i);
        return;
      }
  }
  void error(Loc loc, std::string_view text) {
    FileRec *f = file(loc.file);
    diag_.report_located(LEVEL_ERROR, f ? f->pathname : "", loc.line, text);
  }

  /* The expression record of an expression node, making a pending
   * identifier's ExpressionSymbol now. */
  ExprRec *ex(Node n) {
    Sem *s = static_cast<Sem *>(n);
    if (!s || s->tag != S_EXPR) return nullptr;
    if (s->pending) {
      s->pending = false;
      s->expr = b_.new_expression(EXPR_SYMBOL, at(s->loc));
      b_.set_expression_symbol(s->expr, s->sym);
    }
    return s->expr;
  }
  Node complex(Loc loc, fe::Op op, std::initializer_list<ExprRec *> ops) {
    return complex(loc, op, std::vector<ExprRec *>(ops));
  }
  Node complex(Loc loc, fe::Op op, const std::vector<ExprRec *> &ops) {
    ExprRec *e = b_.new_expression(EXPR_COMPLEX, at(loc));
    b_.set_expression_function(e, m_.builtin_function(static_cast<int>(op)));
    for (ExprRec *o : ops)
      if (o) b_.add_operand(e, o);
    return wrap(e, loc);
  }
  ExprRec *type_expr(Loc loc, Node tn) {
    Sem *t = static_cast<Sem *>(tn);
    ExprRec *e = b_.new_expression(EXPR_TYPE, at(loc));
    if (t && t->tag == S_TYPE) b_.set_expression_type(e, t->type);
    return e;
  }
  ExprRec *string_constant(Loc loc) {
    ExprRec *e = b_.new_expression(EXPR_CONSTANT, at(loc));
    TypeRec *t = b_.new_type(TYPE_ARRAY, nullptr, 0);
    b_.set_type_target(t, m_.builtin_type(TYPE_CHAR));
    b_.set_expression_type(e, t);
    return e;
  }
  TypeRec *constant_type(fe::ConstantKind k, std::string_view sp) {
    if (k == fe::ConstantKind::Character) return m_.builtin_type(TYPE_CHAR);
    bool u = false, l = false, f = false;
    for (size_t i = sp.size(); i-- > 0;) {
      char c = sp[i] | 0x20;
      if (c == 'u') u = true;
      else if (c == 'l') l = true;
      else if (c == 'f' && k == fe::ConstantKind::Floating) f = true;
      else break;
    }
    if (k == fe::ConstantKind::Floating)
      return m_.builtin_type(f ? TYPE_FLOAT : l ? TYPE_LONG_DOUBLE : TYPE_DOUBLE);
    return m_.builtin_type(u ? (l ? TYPE_UNSIGNED_LONG : TYPE_UNSIGNED_INT) : l ? TYPE_LONG : TYPE_INT);
  }

  /* An ordinary identifier (object, function, enumerator, typedef, macro)
   * from the innermost scope outwards. */
  SymbolRec *lookup_ordinary(std::string_view name) const {
    for (size_t i = scopes_.size(); i-- > 0;)
      if (SymbolRec *s = find_symbol(scopes_[i], name, 0)) return s;
    return nullptr;
  }
  SymbolRec *lookup_kind(std::string_view name, int kind) const {
    for (size_t i = scopes_.size(); i-- > 0;)
      if (SymbolRec *s = find_symbol(scopes_[i], name, kind)) return s;
    return nullptr;
  }
  TypeRec *typedef_type(std::string_view name) const {
    SymbolRec *s = lookup_kind(name, SYM_TYPE);
    return s ? s->type_symbols.first() : nullptr;
  }
  TypeRec *reference_tag(Loc loc, TypeKind kind, std::string_view tag) {
    if (SymbolRec *s = lookup_kind(tag, SYM_TAG))
      if (s->tagged) return s->tagged;
    TypeRec *t = b_.new_type(kind, at(loc));
    if (!tag.empty()) b_.set_tag(t, new_symbol(SYM_TAG, tag, decl_scope(), at(loc)));
    return t;
  }

  void qualify(TypeRec *t, uint32_t words) {
    if (words & bit(Specifier::Const)) b_.add_qualifier(t, QUAL_CONST);
    if (words & bit(Specifier::Volatile)) b_.add_qualifier(t, QUAL_VOLATILE);
  }
  /* The base type of a specifier list, made once per declaration. */
  TypeRec *base_of(Node specs) {
    Sem *s = static_cast<Sem *>(specs);
    if (!s) {
      if (!implicit_int_) implicit_int_ = b_.new_type(TYPE_INT, nullptr, 0);
      TypeRec *t = implicit_int_;
      implicit_int_ = nullptr;
      return t;
    }
    if (s->base_made) return s->base;
    s->base_made = true;
    uint32_t w = s->words;
    uint32_t quals = w & (bit(Specifier::Const) | bit(Specifier::Volatile));
    TypeRec *t = s->named;
    if (t) {
      if (quals) {
        if (t->kind == TYPE_STRUCT || t->kind == TYPE_UNION || t->kind == TYPE_ENUM) {
          t = b_.qualified_copy(t->original ? t->original : t);
        } else if (t->kind == TYPE_SYMBOL) {
          /* A qualified typedef name: an unlisted TypeSymbol of the same
           * typedef, carrying the qualifiers. */
          TypeRec *c = b_.new_type(TYPE_SYMBOL, nullptr, 0, false);
          c->symbol = t->symbol;
          c->original = t;
          b_.set_type_target(c, t->type);
          t = c;
        }
        qualify(t, quals);
      }
      return s->base = t;
    }
    auto has = [w](Specifier x) { return (w & bit(x)) != 0; };
    using S = Specifier;
    TypeKind k;
    if (has(S::VaList)) k = TYPE_VARARG;
    else if (has(S::Long) && has(S::Double)) k = TYPE_LONG_DOUBLE;
    else if (has(S::Unsigned) && has(S::Long)) k = TYPE_UNSIGNED_LONG;
    else if (has(S::Unsigned) && has(S::Short)) k = TYPE_UNSIGNED_SHORT;
    else if (has(S::Unsigned) && has(S::Char)) k = TYPE_UNSIGNED_CHAR;
    else if (has(S::Signed) && has(S::Char)) k = TYPE_SIGNED_CHAR;
    else if (has(S::Float)) k = TYPE_FLOAT;
    else if (has(S::Double)) k = TYPE_DOUBLE;
    else if (has(S::Short)) k = TYPE_SHORT;
    else if (has(S::Long)) k = TYPE_LONG;
    else if (has(S::Signed)) k = TYPE_INT;
    else if (has(S::Unsigned)) k = TYPE_UNSIGNED_INT;
    else if (has(S::Char)) k = TYPE_CHAR;
    else if (has(S::Void)) k = TYPE_VOID;
    else k = TYPE_INT;
    t = b_.new_type(k, nullptr, 0);
    b_.set_spelling(t, s->name);
    qualify(t, quals);
    return s->base = t;
  }
  Sem *decl_or_new(Node inner, Loc loc) {
    Sem *d = static_cast<Sem *>(inner);
    return d ? d : make(S_DECL, loc);
  }
  /* Appends a derived type at the innermost free place of the chain. */
  static void derive(Sem *d, TypeRec *t) {
    if (!d->top) d->top = t;
    else d->hole->type = t;
    d->hole = t;
  }
  static TypeRec *complete(Sem *d, TypeRec *base) {
    if (!d || !d->top) return base;
    d->hole->type = base;
    return d->top;
  }

  void declare(Sem *s, Sem *d, ExprRec *init, Loc loc);
  LabelRec *label_ident(Loc loc, std::string_view name, bool definition);
  void extended_specifier(Loc loc, Sem *l, Specifier s, std::string_view sp, Sem *arg);

 public:
  /* The constructs of C99, C11 and GNU C (defined after the class). */
  Node expr_statement(Loc loc, Node block) override;
  Node expr_compound_literal(Loc loc, Node type_name, Node braced) override;
  Node expr_label_address(Loc loc, std::string_view label) override;
  Node expr_generic(Loc loc, Node control, Node associations) override;
  Node generic_association(Loc loc, Node type_name, Node expr) override;
  Node expr_builtin(Loc loc, std::string_view name, Node operands) override;
  Node offsetof_member(Loc loc, std::string_view member) override;
  Node static_assertion(Loc loc, Node expr) override;
  Node stmt_case_range(Loc loc, Node low, Node high, Node stmt) override;
  Node stmt_goto_computed(Loc loc, Node expr) override;
  Node for_scope_begin(Loc loc) override;
  Node stmt_for_declaration(Loc loc, Node scope, Node decl, Node cond, Node increment,
                            Node body) override;
  Node struct_declaration(Loc loc, Node specs, Node declarators) override;

 private:
  InstrRec *instr(InstrKind k, Loc loc) { return b_.new_instruction(k, at(loc)); }
  Node loop(InstrKind k, Loc loc, Node c, Node body) {
    InstrRec *i = instr(k, loc);
    b_.set_condition(i, ex(c));
    b_.set_body(i, st(body));
    return stmt(i);
  }
  SymbolRec *find_in(ScopeRec *sc, std::string_view name, int kind) const {
    return sc ? find_symbol(sc, name, kind) : nullptr;
  }

  ModelBuilder b_;
  Model &m_;
  Diagnostics &diag_;
  ScopeRec *tu_ = nullptr;
  std::vector<ScopeRec *> scopes_;
  std::vector<FileRec *> files_;
  std::vector<TypeRec *> structs_; /* null: members of a redefinition are dropped */
  std::vector<TypeRec *> enums_;
  Sem *cur_fn_ = nullptr;
  TypeRec *implicit_int_ = nullptr;
  CommentRec *last_comment_ = nullptr; /* the comment the preprocessor reported last */
  /* The last lines met of one kind, newest last (a bounded window). */
  struct RecentLines {
    std::vector<std::pair<uint32_t, uint32_t>> v; /* file, line */
    uint32_t last_file = UINT32_MAX, last_line = 0;
    void add(uint32_t file, uint32_t line) {
      if (v.size() >= 512) v.erase(v.begin(), v.begin() + 256);
      v.emplace_back(file, line);
      last_file = file;
      last_line = line;
    }
    bool has(uint32_t file, uint32_t line) const {
      for (size_t i = v.size(); i-- > 0;)
        if (v[i].first == file && v[i].second == line) return true;
      return false;
    }
  };
  RecentLines code_, free_;
  uint8_t exp_number_ = 0;
  uint32_t exp_file_ = 0, exp_line_ = 0;
  uint32_t first_line(Loc start) const;
  /* Nodes of the external declaration being read, reused for the next. */
  static constexpr size_t kChunk = 512;
  std::vector<std::unique_ptr<Sem[]>> chunks_;
  size_t used_ = 0;
};

void SourceBuilder::declare(Sem *s, Sem *d, ExprRec *init, Loc loc) {
  TypeRec *type = complete(d, base_of(s));
  if (!d || d->name.empty()) return;
  uint32_t w = s ? s->words : 0;
  Place at_d = at(d->loc);
  ScopeRec *sc = decl_scope();
  ScopeRec *global = m_.global_scope();
  bool file_level = sc == tu_ || sc == global;
  bool is_static = w & bit(Specifier::Static), is_extern = w & bit(Specifier::Extern);
  (void)loc;

  if (w & bit(Specifier::Typedef)) {
    SymbolRec *sym = new_symbol(SYM_TYPE, d->name, sc, at_d);
    TypeRec *ts = b_.new_type(TYPE_SYMBOL, at_d);
    b_.set_typedef_symbol(ts, sym);
    b_.set_type_target(ts, type);
    return;
  }

  InstrRec *in = nullptr;
  SymbolRec *sym = nullptr;
  /* A typedef of a function type declares a function too: the Function is
   * typed by the TypeFunction the name stands for. */
  if (!d->is_function && !d->top && type && type->kind == TYPE_SYMBOL) {
    TypeRec *r = resolved(type);
    if (r && r->kind == TYPE_FUNCTION) {
      d->is_function = true;
      type = r;
    }
  }
  if (d->is_function && type && type->kind == TYPE_FUNCTION) {
    ScopeRec *home = is_static ? tu_ : global;
    sym = find_in(tu_, d->name, SYM_FUNCTION);
    if (!sym && !is_static) sym = find_in(global, d->name, SYM_FUNCTION);
    FunctionRec *fn;
    if (!sym) {
      sym = new_symbol(SYM_FUNCTION, d->name, home, at_d);
      fn = b_.new_function(FN_BUILTOUT, home, sym);
    } else {
      fn = sym->function;
    }
    if (fn && !fn->type_function) b_.set_function_type(fn, type);
    in = b_.new_instruction(INSTR_DECLARATION, at_d);
    if (!file_level && fn) {
      sym = new_symbol(SYM_FUNCTION, d->name, sc, at_d);
      b_.add_function_symbol(fn, sym);
    }
  } else if (is_extern && (!init || !file_level)) {
    sym = find_in(tu_, d->name, SYM_VARIABLE);
    if (!sym) sym = find_in(global, d->name, SYM_VARIABLE);
    if (!sym) {
      sym = new_symbol(SYM_VARIABLE, d->name, global, at_d);
      b_.new_variable(global, sym, type);
    }
    in = b_.new_instruction(INSTR_DECLARATION, at_d);
    if (!file_level && sym->variable) {
      VariableRec *v = sym->variable;
      sym = new_symbol(SYM_VARIABLE, d->name, sc, at_d);
      b_.add_variable_symbol(v, sym);
    }
  } else if (file_level) {
    ScopeRec *home = is_static ? tu_ : global;
    sym = find_in(home, d->name, SYM_VARIABLE);
    if (!sym && !is_static) sym = find_in(tu_, d->name, SYM_VARIABLE);
    if (!sym) {
      sym = new_symbol(SYM_VARIABLE, d->name, home, at_d);
      b_.new_variable(home, sym, type);
    }
    in = b_.new_instruction(init ? INSTR_DEFINITION : INSTR_TENTATIVE, at_d);
    if (sym->variable) b_.set_persistent(sym->variable, true);
  } else {
    sym = find_in(sc, d->name, SYM_VARIABLE);
    if (sym && sym->variable) {
      b_.set_variable_type(sym->variable, type);
    } else if (!sym) {
      sym = new_symbol(SYM_VARIABLE, d->name, sc, at_d);
      VariableRec *v = b_.new_variable(sc, sym, type);
      if (cur_fn_ && cur_fn_->fn) b_.set_variable_function(v, cur_fn_->fn);
    }
    in = b_.new_instruction(INSTR_DEFINITION, at_d);
    if (sym->variable) b_.set_persistent(sym->variable, is_static);
  }
  if (sym && sym->variable && !sym->variable->type) b_.set_variable_type(sym->variable, type);
  if (init) b_.set_initialization(in, init);
  b_.set_declared(in, sym, sc);
  if (s) {
    /* The ring runs in source order: each new instruction follows the
     * last one and leads back to the first. */
    if (s->last_instr) b_.link_same_declaration(s->last_instr, in);
    else s->first_instr = in;
    s->last_instr = in;
  }
}

/* An object's name is in scope from the end of its declarator, so that
 * its initializer may name it (T *T = malloc(sizeof *T); in a block where
 * T is a typedef name, void *self = &self;): its symbol and variable are
 * made now, and declare() finds them when the declarator ends. */
void SourceBuilder::declarator_entered(Node specs, Node decl) {
  Sem *s = static_cast<Sem *>(specs), *d = static_cast<Sem *>(decl);
  uint32_t w = s ? s->words : 0;
  if (!d || d->name.empty() || d->is_function || (w & (bit(Specifier::Typedef) | bit(Specifier::Extern))))
    return;
  TypeRec *type = complete(d, base_of(specs));
  TypeRec *r = resolved(type);
  if (r && r->kind == TYPE_FUNCTION) return;
  ScopeRec *sc = decl_scope();
  bool file_level = sc == tu_ || sc == m_.global_scope();
  ScopeRec *home = !file_level ? sc : (w & bit(Specifier::Static)) ? tu_ : m_.global_scope();
  if (find_in(home, d->name, SYM_VARIABLE) || (file_level && find_in(tu_, d->name, SYM_VARIABLE))) return;
  SymbolRec *sym = new_symbol(SYM_VARIABLE, d->name, home, at(d->loc));
  VariableRec *v = b_.new_variable(home, sym, type);
  if (!file_level && cur_fn_ && cur_fn_->fn) b_.set_variable_function(v, cur_fn_->fn);
}

/* The first line of a definition that starts at start: the lines directly
 * above it that hold only directives or attributes belong to it. */
uint32_t SourceBuilder::first_line(Loc start) const {
  uint32_t first = start.line;
  while (first > 1 && free_.has(start.file, first - 1) && !code_.has(start.file, first - 1)) first--;
  return first;
}

Node SourceBuilder::function_begin(Loc loc, Node specs, Node decl) {
  Sem *d = static_cast<Sem *>(decl);
  Sem *fr = make(S_FUNC, loc);
  fr->next = cur_fn_;
  TypeRec *type = complete(d, base_of(specs));
  if (!d || !d->is_function || !type || type->kind != TYPE_FUNCTION || d->name.empty()) {
    error(d ? d->loc : loc, "syntax error");
    return fr;
  }
  uint32_t w = specs ? static_cast<Sem *>(specs)->words : 0;
  /* A static function and an inline definition (static inline, extern
   * inline, the inline functions of a header read by several sources)
   * belong to their source: each source that defines one has its own. */
  bool own = (w & bit(Specifier::Static)) || (specs && static_cast<Sem *>(specs)->is_inline);
  FileRec *f = file(d->loc.file);
  uint32_t line = d->loc.line;
  Place at_d = at(d->loc);
  ScopeRec *home = own ? tu_ : m_.global_scope();
  SymbolRec *sym = find_in(tu_, d->name, SYM_FUNCTION);
  if (!sym && !own) sym = find_in(m_.global_scope(), d->name, SYM_FUNCTION);
  FunctionRec *fn = sym ? sym->function : nullptr;
  if (fn && fn->body) {
    std::string text = "Component " + d->name + " already analysed";
    diag_.report_located(LEVEL_WARNING, f ? f->pathname : "", line, text);
  }
  if (!fn) {
    if (!sym) sym = new_symbol(SYM_FUNCTION, d->name, home, at_d);
    fn = b_.new_function(FN_BUILTOUT, sym->defined_in ? sym->defined_in : home, sym);
  }
  b_.set_symbol_place(sym, at_d);
  ScopeRec *fs = b_.new_scope(SCOPE_FUNCTION, sym->defined_in ? sym->defined_in : home, at_d);
  b_.set_function_scope(fn, fs);
  if (loc.file == d->loc.file && loc.line <= line) b_.set_first_line(fs, first_line(loc));
  b_.set_function_type(fn, type);
  if (Sem *l = d->params)
    for (Sem *p : l->items) {
      if (p->name.empty()) continue;
      SymbolRec *ps = new_symbol(SYM_VARIABLE, p->name, fs, at(p->loc));
      VariableRec *v = b_.new_variable(fs, ps, p->type);
      b_.set_variable_function(v, fn);
      if (d->form == fe::FunctionForm::Prototype) {
        InstrRec *in = b_.new_instruction(INSTR_DEFINITION, at(p->loc));
        b_.set_declared(in, ps, fs);
      }
    }
  scopes_.push_back(fs);
  fr->scope = fs;
  fr->fn = fn;
  cur_fn_ = fr;
  return fr;
}

LabelRec *SourceBuilder::label_ident(Loc loc, std::string_view name, bool definition) {
  ScopeRec *fs = nullptr;
  for (size_t i = scopes_.size(); i-- > 0;)
    if (scopes_[i]->kind == SCOPE_FUNCTION) {
      fs = scopes_[i];
      break;
    }
  if (!fs) {
    error(loc, "Label outside function.\n");
    fs = m_.global_scope();
  }
  SymbolRec *s = find_symbol(fs, name, SYM_LABEL);
  LabelRec *l = s ? s->label : nullptr;
  if (!l) {
    s = new_symbol(SYM_LABEL, name, fs, at(loc));
    l = b_.new_label(LABEL_IDENT, at(loc));
    b_.set_label_symbol(l, s);
  } else if (definition) {
    b_.set_label_place(l, at(loc));
    b_.set_symbol_place(s, at(loc));
  }
  return l;
}

/* ------------------------------------------------------------------
 * C99, C11 and GNU C.  Each construct is made of the model's classes:
 * the words of the newer types choose the nearest built-in class, a
 * statement expression is an ExpressionInstruction, the built-ins that
 * take types are calls whose type operands are ExpressionType objects.
 * ------------------------------------------------------------------ */

/* The specifier words that the classic class table does not know are
 * turned into the words whose class is nearest: _Bool is unsigned char,
 * __int128 long, the _FloatN types float, double or long double by size;
 * _Complex alone is a complex double. */
void SourceBuilder::extended_specifier(Loc loc, Sem *l, Specifier s, std::string_view sp, Sem *a) {
  switch (s) {
    case Specifier::Bool: l->words |= bit(Specifier::Unsigned) | bit(Specifier::Char); break;
    case Specifier::Complex:
      if (!(l->words & bit(Specifier::Float))) l->words |= bit(Specifier::Double);
      break;
    case Specifier::Int128:
      l->words |= bit(Specifier::Long);
      if (sp == "__uint128_t") l->words |= bit(Specifier::Unsigned);
      break;
    case Specifier::FloatN:
      if (sp == "_Float16" || sp == "_Float32" || sp == "_Decimal32") {
        l->words |= bit(Specifier::Float);
      } else if (sp == "_Float64" || sp == "_Float32x" || sp == "_Decimal64") {
        l->words |= bit(Specifier::Double);
      } else {
        l->words |= bit(Specifier::Long) | bit(Specifier::Double);
      }
      break;
    case Specifier::AutoType:
      /* the type of the initializer: a typeof without operand */
      l->named = b_.new_type(TYPE_TYPEOF, at(loc));
      break;
    case Specifier::AtomicType:
      if (a && a->tag == S_TYPE) l->named = a->type;
      break;
    case Specifier::Alignas:
      if (a && a->tag == S_EXPR) ex(a);
      break;
    default: break;
  }
}

Node SourceBuilder::expr_statement(Loc loc, Node block) {
  ExprRec *e = b_.new_expression(EXPR_INSTRUCTION, at(loc));
  if (InstrRec *blk = st(block)) b_.set_expression_block(e, blk);
  return wrap(e, loc);
}

/* (type){ ... }: a cast of the braced initializer to the type. */
Node SourceBuilder::expr_compound_literal(Loc loc, Node type_name, Node braced) {
  ExprRec *t = type_expr(loc, type_name);
  return complex(loc, fe::Op::Cast, {t, ex(braced)});
}

/* &&label: the address of the label's symbol. */
Node SourceBuilder::expr_label_address(Loc loc, std::string_view label) {
  LabelRec *l = label_ident(loc, label, false);
  ExprRec *e = b_.new_expression(EXPR_SYMBOL, at(loc));
  if (l) b_.set_expression_symbol(e, l->symbol);
  return complex(loc, fe::Op::Address, {e});
}

Node SourceBuilder::generic_association(Loc loc, Node type_name, Node expr) {
  Sem *a = make(S_LIST, loc);
  a->type = nullptr;
  if (Sem *t = static_cast<Sem *>(type_name)) a->items.push_back(t);
  if (Sem *e = static_cast<Sem *>(expr)) a->items.push_back(e);
  return a;
}

/* _Generic selects one of its expressions: a conditional whose operands
 * are the controlling expression and, for each association, its type (an
 * ExpressionType; none for default) and its expression. */
Node SourceBuilder::expr_generic(Loc loc, Node control, Node associations) {
  std::vector<ExprRec *> ops{ex(control)};
  if (Sem *l = static_cast<Sem *>(associations))
    for (Sem *a : l->items)
      for (Sem *part : a->items) ops.push_back(part->tag == S_TYPE ? type_expr(part->loc, part) : ex(part));
  return complex(loc, fe::Op::Ternary, ops);
}

/* A built-in taking types is a call of the built-in's name (a symbol the
 * program does not declare) with expression and type operands. */
Node SourceBuilder::expr_builtin(Loc loc, std::string_view, Node operands) {
  ExprRec *e = b_.new_expression(EXPR_COMPLEX, at(loc));
  b_.set_expression_function(e, m_.builtin_function(FN_CALL));
  b_.add_operand(e, b_.new_expression(EXPR_SYMBOL, at(loc)));
  if (Sem *l = static_cast<Sem *>(operands))
    for (Sem *o : l->items) {
      ExprRec *x = o->tag == S_TYPE ? type_expr(o->loc, o) : ex(o);
      if (x) b_.add_operand(e, x);
    }
  return wrap(e, loc);
}

Node SourceBuilder::offsetof_member(Loc loc, std::string_view) {
  return wrap(b_.new_expression(EXPR_SYMBOL, at(loc)), loc);
}

/* A static assertion declares nothing; its condition is an expression of
 * the model like any other. */
Node SourceBuilder::static_assertion(Loc, Node expr) {
  ex(expr);
  return nullptr;
}

/* case low ... high: one case label whose target is the low bound. */
Node SourceBuilder::stmt_case_range(Loc loc, Node low, Node high, Node s) {
  LabelRec *l = b_.new_label(LABEL_CASE, at(loc));
  b_.set_case_target(l, ex(low));
  ex(high);
  if (InstrRec *i = st(s)) b_.attach_label(l, i, true);
  return s;
}

/* goto *expr: a goto without target label, the expression its own. */
Node SourceBuilder::stmt_goto_computed(Loc loc, Node e) {
  InstrRec *i = instr(INSTR_GOTO, loc);
  b_.set_expression(i, ex(e));
  return stmt(i);
}

Node SourceBuilder::for_scope_begin(Loc loc) {
  Sem *bk = make(S_BLOCK, loc);
  bk->scope = b_.new_scope(SCOPE_BLOCK, cur_scope(), at(loc));
  scopes_.push_back(bk->scope);
  return bk;
}

/* for (declaration; cond; increment): the declared names live in a block
 * scope of their own that holds the loop; their definitions carry the
 * initial values, so the loop has no initialization expression. */
Node SourceBuilder::stmt_for_declaration(Loc loc, Node scope, Node, Node c, Node inc, Node body) {
  if (Sem *bk = static_cast<Sem *>(scope)) pop_to(bk->scope);
  InstrRec *i = instr(INSTR_FOR, loc);
  if (c) b_.set_condition(i, ex(c));
  if (inc) b_.set_increment(i, ex(inc));
  b_.set_body(i, st(body));
  return stmt(i);
}

/* A member without declarator that is an untagged structure or union is
 * an anonymous member: an unnamed field of that type. */
Node SourceBuilder::struct_declaration(Loc, Node specs, Node declarators) {
  Sem *sp = static_cast<Sem *>(specs);
  if (declarators || !sp || !sp->named || structs_.empty() || !structs_.back()) return nullptr;
  TypeRec *t = base_of(specs);
  if (!t || (t->kind != TYPE_STRUCT && t->kind != TYPE_UNION) || t->tag) return nullptr;
  b_.new_field(FIELD_PLAIN, structs_.back(), nullptr, t, nullptr);
  return nullptr;
}

bool run(Model &model, fe::FrontendContext &ctx, const pp::Options &opts, const std::string &path,
         const std::string *source_name, bool delete_at_end) {
  SourceBuilder sb(model, ctx.diag);
  sb.begin_source(source_name ? *source_name : path);
  pp::Scanner scanner(opts, ctx.diag, &sb);
  bool ok = source_name ? scanner.open_preprocessed(path, *source_name, delete_at_end)
                        : scanner.open_source(path);
  if (!ok) return false;
  ScannerTokenSource src(scanner);
  fe::parse_translation_unit(ctx, src, sb);
  return true;
}

}  // namespace

bool build_source_model(Model &model, fe::FrontendContext &ctx, const pp::Options &opts,
                        const std::string &path) {
  return run(model, ctx, opts, path, nullptr, false);
}

bool build_preprocessed_model(Model &model, fe::FrontendContext &ctx, const pp::Options &opts,
                              const std::string &preprocessed, const std::string &source_name,
                              bool delete_at_end) {
  return run(model, ctx, opts, preprocessed, &source_name, delete_at_end);
}

}  // namespace kvx::sem
