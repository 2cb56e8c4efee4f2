/*
 * builder.cpp - creation and linking of model objects for model building.
 */
#include "model/builder.h"

#include <cstring>

#include "driver/diag.h"

namespace kvx {


uint32_t ModelBuilder::intern(std::string_view text) {
  bool ok;
  uint32_t off = m_.texts_.intern(text, &ok);
  if (!ok) m_.diag_.report_fatal("Insufficient memory allocation.");
  return off;
}

void ModelBuilder::append(List &l, Obj *o) {
  Link *k = m_.new_link(o);
  if (l.tail) l.tail->next = k; else l.head = k;
  l.tail = k;
  l.count++;
}

void ModelBuilder::prepend(List &l, Obj *o) {
  Link *k = m_.new_link(o);
  k->next = l.head;
  l.head = k;
  if (!l.tail) l.tail = k;
  l.count++;
}

void ModelBuilder::unlink(List &l, Obj *o) {
  Link *prev = nullptr;
  for (Link *k = l.head; k; prev = k, k = k->next) {
    if (k->obj != o) continue;
    if (prev) prev->next = k->next; else l.head = k->next;
    if (l.tail == k) l.tail = prev;
    l.count--;
    m_.links_.release(k);
    return;
  }
}

void ModelBuilder::discard(Obj *obj) {
  if (!obj || !obj->live) return;
  AppRec &app = m_.app_;
  switch (obj->family) {
    case FAM_EXPR: unlink(app.expressions, obj); break;
    case FAM_INSTR: unlink(app.instructions, obj); break;
    case FAM_LABEL: unlink(app.labels, obj); break;
    case FAM_TYPE: unlink(app.types, obj); break;
    case FAM_FILE: return; /* files stay in the file table */
    default: break;
  }
  m_.discard(obj);
}

/* ---- files, comments, inclusions, origins ---- */

FileRec *ModelBuilder::find_file(std::string_view path) const {
  for (size_t n = 1; n < m_.files_.size(); n++)
    if (path == m_.files_[n]->pathname) return m_.files_[n];
  return nullptr;
}

FileRec *ModelBuilder::file_object(std::string_view path) {
  if (FileRec *f = find_file(path)) return f;
  FileRec *f = static_cast<FileRec *>(m_.allocate(FAM_FILE, 0));
  f->pathname = m_.store_string(path);
  f->number = (uint32_t)m_.files_.size();
  /* The file table grows in steps of 256 entries. */
  if (m_.files_.size() == m_.files_.capacity()) m_.files_.reserve(m_.files_.size() + 256);
  m_.files_.push_back(f);
  append(m_.app_.files, f);
  return f;
}

CommentRec *ModelBuilder::add_comment(FileRec *file, uint32_t line, int line_count) {
  Link *prev = nullptr, *k = file->comments.head;
  /* Comments mostly come in file order: one after the last goes to the end
   * at once, without walking the list. */
  if (Link *t = file->comments.tail; t && static_cast<CommentRec *>(t->obj)->line < line) {
    prev = t;
    k = nullptr;
  }
  for (; k; prev = k, k = k->next) {
    CommentRec *c = static_cast<CommentRec *>(k->obj);
    if (c->line == line && c->line_count == line_count) return c;
    if (c->line > line) break;
  }
  CommentRec *c = static_cast<CommentRec *>(m_.allocate(FAM_COMMENT, 0));
  c->file = file->number;
  c->line = line;
  c->line_count = line_count;
  Link *n = m_.new_link(c);
  n->next = k;
  if (prev) prev->next = n; else file->comments.head = n;
  if (!k) file->comments.tail = n;
  file->comments.count++;
  return c;
}

InclusionRec *ModelBuilder::add_inclusion(FileRec *including, uint32_t line, FileRec *included) {
  InclusionRec *i = static_cast<InclusionRec *>(m_.allocate(FAM_INCLUSION, 0));
  i->file = number(including);
  i->line = line;
  i->included = included;
  append(m_.app_.inclusions, i);
  return i;
}

OriginRec *ModelBuilder::new_origin(FileRec *file, uint32_t line) {
  OriginRec *o = static_cast<OriginRec *>(m_.allocate(FAM_ORIGIN, 0));
  o->file = number(file);
  o->line = line;
  return o;
}

/* ---- scopes ---- */

ScopeRec *ModelBuilder::new_scope(ScopeKind kind, ScopeRec *super, FileRec *file, uint32_t line) {
  ScopeRec *s = static_cast<ScopeRec *>(m_.allocate(FAM_SCOPE, kind));
  s->file = number(file);
  s->line = line;
  s->super = super;
  if (super) append(super->subs, s);
  return s;
}

/* ---- symbols, functions, variables ---- */

SymbolRec *ModelBuilder::new_symbol(SymbolKind kind, std::string_view name, ScopeRec *scope,
                                    FileRec *file, uint32_t line) {
  SymbolRec *s = static_cast<SymbolRec *>(m_.allocate(FAM_SYMBOL, kind));
  s->name = name.empty() ? nullptr : m_.store_string(name);
  s->file = number(file);
  s->line = line;
  s->defined_in = scope;
  if (scope) append(scope->symbols, s);
  return s;
}

SymbolRec *ModelBuilder::find_symbol(const ScopeRec *scope, std::string_view name, int kind) const {
  for (const Link *k = scope->symbols.head; k; k = k->next) {
    SymbolRec *s = static_cast<SymbolRec *>(k->obj);
    if ((!kind || s->kind == kind) && s->name && name == s->name) return s;
  }
  return nullptr;
}

void ModelBuilder::set_symbol_place(SymbolRec *sym, FileRec *file, uint32_t line) {
  sym->file = number(file);
  sym->line = line;
}

FunctionRec *ModelBuilder::new_function(FunctionKind kind, ScopeRec *defined_in, SymbolRec *sym) {
  FunctionRec *f = static_cast<FunctionRec *>(m_.allocate(FAM_FUNCTION, kind));
  f->defined_in = defined_in;
  if (defined_in) append(defined_in->functions, f);
  if (sym) add_function_symbol(f, sym);
  return f;
}

void ModelBuilder::add_function_symbol(FunctionRec *fn, SymbolRec *sym) {
  append(fn->symbols, sym);
  sym->function = fn;
}

void ModelBuilder::set_function_scope(FunctionRec *fn, ScopeRec *scope) {
  fn->scope = scope;
  if (scope) scope->function = fn;
}

VariableRec *ModelBuilder::new_variable(ScopeRec *defined_in, SymbolRec *sym, TypeRec *type) {
  VariableRec *v = static_cast<VariableRec *>(m_.allocate(FAM_VARIABLE, 0));
  v->defined_in = defined_in;
  v->type = type;
  if (defined_in) append(defined_in->variables, v);
  if (sym) add_variable_symbol(v, sym);
  return v;
}

void ModelBuilder::add_variable_symbol(VariableRec *var, SymbolRec *sym) {
  append(var->symbols, sym);
  sym->variable = var;
}

void ModelBuilder::set_variable_function(VariableRec *var, FunctionRec *fn) {
  var->function = fn;
  if (fn) append(fn->variables, var);
}

/* ---- instructions ---- */

InstrRec *ModelBuilder::new_instruction(InstrKind kind, FileRec *file, uint32_t line) {
  InstrRec *i = static_cast<InstrRec *>(m_.allocate(FAM_INSTR, kind));
  i->file = number(file);
  i->line = line;
  prepend(m_.app_.instructions, i);
  return i;
}

void ModelBuilder::set_declared(InstrRec *instr, SymbolRec *sym, ScopeRec *scope) {
  instr->symbol = sym;
  instr->defined_in = scope;
  if (scope) append(scope->instructions, instr);
  if (sym) append(sym->instructions, instr);
}

void ModelBuilder::link_same_declaration(InstrRec *a, InstrRec *b) {
  if (a == b) return;
  if (!a->same_next) a->same_next = a;
  if (!b->same_next) b->same_next = b;
  /* Splice the two rings: b's ring follows a. */
  InstrRec *an = a->same_next, *bn = b->same_next;
  a->same_next = bn;
  b->same_next = an;
}

void ModelBuilder::set_block_scope(InstrRec *block, ScopeRec *scope) {
  block->scope_block = scope;
  if (scope) scope->block = block;
}

void ModelBuilder::append_to_block(InstrRec *block, InstrRec *member) { append(block->sequence, member); }

/* ---- labels ---- */

LabelRec *ModelBuilder::new_label(LabelKind kind, FileRec *file, uint32_t line) {
  LabelRec *l = static_cast<LabelRec *>(m_.allocate(FAM_LABEL, kind));
  l->file = number(file);
  l->line = line;
  prepend(m_.app_.labels, l);
  return l;
}

void ModelBuilder::attach_label(LabelRec *label, InstrRec *instr) {
  label->instruction = instr;
  append(instr->tags, label);
}

void ModelBuilder::set_label_symbol(LabelRec *label, SymbolRec *sym) {
  label->symbol = sym;
  sym->label = label;
}

void ModelBuilder::set_label_place(LabelRec *label, FileRec *file, uint32_t line) {
  label->file = number(file);
  label->line = line;
}

/* ---- expressions ---- */

ExprRec *ModelBuilder::new_expression(ExprKind kind, FileRec *file, uint32_t line) {
  ExprRec *e = static_cast<ExprRec *>(m_.allocate(FAM_EXPR, kind));
  e->file = number(file);
  e->line = line;
  prepend(m_.app_.expressions, e);
  return e;
}

void ModelBuilder::add_operand(ExprRec *e, ExprRec *operand) { append(e->operands, operand); }

/* ---- types ---- */

TypeRec *ModelBuilder::new_type(TypeKind kind, FileRec *file, uint32_t line, bool listed) {
  TypeRec *t = static_cast<TypeRec *>(m_.allocate(FAM_TYPE, kind));
  t->file = number(file);
  t->line = line;
  if (listed) prepend(m_.app_.types, t);
  return t;
}

void ModelBuilder::add_parameter(TypeRec *fn_type, TypeRec *param) { append(fn_type->parameters, param); }

Obj *ModelBuilder::add_qualifier(TypeRec *t, QualifierKind kind) {
  Obj *q = m_.allocate(FAM_QUALIFIER, kind);
  append(t->qualifiers, q);
  return q;
}

void ModelBuilder::set_tag(TypeRec *t, SymbolRec *tag) {
  t->tag = tag;
  if (tag) tag->tagged = t;
}

void ModelBuilder::set_structure_scope(TypeRec *t, ScopeRec *scope) {
  t->structure = scope;
  if (scope) scope->structured = t;
}

TypeRec *ModelBuilder::qualified_copy(TypeRec *t) {
  TypeRec *base = t->original ? t->original : t;
  TypeRec *c = new_type((TypeKind)base->kind, nullptr, 0, false);
  c->file = base->file;
  c->line = base->line;
  c->original = base;
  return c;
}

void ModelBuilder::set_typedef_symbol(TypeRec *type_symbol, SymbolRec *sym) {
  type_symbol->symbol = sym;
  if (sym) append(sym->type_symbols, type_symbol);
}

/* ---- members and enumerators ---- */

FieldRec *ModelBuilder::new_field(FieldKind kind, TypeRec *structured, SymbolRec *sym,
                                  TypeRec *type, ExprRec *length) {
  FieldRec *f = static_cast<FieldRec *>(m_.allocate(FAM_FIELD, kind));
  f->structured = structured;
  f->symbol = sym;
  f->type = type;
  f->length = length;
  if (sym) sym->field = f;
  if (structured) append(structured->fields, f);
  return f;
}

EnumValueRec *ModelBuilder::new_enum_value(TypeRec *enum_type, SymbolRec *sym, ExprRec *value) {
  EnumValueRec *v = static_cast<EnumValueRec *>(m_.allocate(FAM_ENUMVALUE, 0));
  v->symbol = sym;
  v->type_enum = enum_type;
  v->value = value;
  if (sym) sym->enum_value = v;
  if (enum_type) append(enum_type->enum_values, v);
  return v;
}

}  // namespace kvx
