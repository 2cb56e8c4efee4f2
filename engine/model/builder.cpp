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

void ModelBuilder::expansion(FileRec *file, uint32_t line, uint8_t number, std::string_view macro) {
  if (file) m_.expansions_.push_back({file->number, line, intern(macro), number});
}

void ModelBuilder::append(List &l, Obj *o) {
  Link *k = m_.new_link(o);
  if (l.tail) l.tail->next = k; else l.head = k;
  l.tail = k;
  l.count++;
}

void ModelBuilder::discard(Obj *obj) {
  if (!obj || !obj->live) return;
  AppRec &app = m_.app_;
  switch (obj->family) {
    case FAM_EXPR: app.expressions.remove(static_cast<ExprRec *>(obj)); break;
    case FAM_INSTR: app.instructions.remove(static_cast<InstrRec *>(obj)); break;
    case FAM_LABEL: app.labels.remove(static_cast<LabelRec *>(obj)); break;
    case FAM_TYPE: app.types.remove(static_cast<TypeRec *>(obj)); break;
    case FAM_FILE: return; /* files stay in the file table */
    default: break;
  }
  m_.discard(obj);
}

/* ---- the symbol index ---- */

/* Open addressing over the symbols: an entry is a symbol, with the low
 * bit set for its second entry under kind 0 (the ordinary names).  The
 * key is read from the symbol itself: scope, kind (or 0) and name offset,
 * which is the same for equal names since names are interned. */
namespace {

constexpr uintptr_t ORDINARY = 1;

bool ordinary_kind(int kind) { return kind != SYM_TAG && kind != SYM_LABEL && kind != SYM_FIELD; }

size_t key_hash(const ScopeRec *scope, int kind, uint32_t name) {
  uint64_t h = (uint64_t)(uintptr_t)scope * 0x9e3779b97f4a7c15ull;
  h ^= ((uint64_t)name << 8 | (uint64_t)kind) * 0xc2b2ae3d27d4eb4full;
  return (size_t)(h ^ (h >> 29));
}

const SymbolRec *entry_symbol(uintptr_t e) { return reinterpret_cast<const SymbolRec *>(e & ~ORDINARY); }
int entry_kind(uintptr_t e) { return (e & ORDINARY) ? 0 : entry_symbol(e)->kind; }

}  // namespace

void ModelBuilder::index_entry(uintptr_t entry) {
  std::vector<uintptr_t> &slots = m_.symbol_slots_;
  if ((m_.symbol_count_ + 1) * 2 > slots.size()) {
    std::vector<uintptr_t> old;
    old.swap(slots);
    slots.assign(old.empty() ? 1024 : old.size() * 2, 0);
    m_.symbol_count_ = 0;
    for (uintptr_t e : old)
      if (e) index_entry(e);
  }
  const SymbolRec *s = entry_symbol(entry);
  int kind = entry_kind(entry);
  size_t mask = slots.size() - 1;
  for (size_t i = key_hash(s->defined_in, kind, s->name) & mask;; i = (i + 1) & mask) {
    uintptr_t e = slots[i];
    if (!e) {
      slots[i] = entry;
      m_.symbol_count_++;
      return;
    }
    const SymbolRec *o = entry_symbol(e);
    /* The first symbol entered under a key keeps it. */
    if (o->defined_in == s->defined_in && o->name == s->name && entry_kind(e) == kind) return;
  }
}

void ModelBuilder::index_symbol(SymbolRec *s) {
  if (!s->name || !s->defined_in) return;
  index_entry(reinterpret_cast<uintptr_t>(s));
  if (ordinary_kind(s->kind)) index_entry(reinterpret_cast<uintptr_t>(s) | ORDINARY);
}

SymbolRec *ModelBuilder::find_symbol(const ScopeRec *scope, std::string_view name, int kind) const {
  const std::vector<uintptr_t> &slots = m_.symbol_slots_;
  uint32_t off = m_.texts_.find(name);
  if (!off || slots.empty() || !scope) return nullptr;
  size_t mask = slots.size() - 1;
  for (size_t i = key_hash(scope, kind, off) & mask;; i = (i + 1) & mask) {
    uintptr_t e = slots[i];
    if (!e) return nullptr;
    const SymbolRec *o = entry_symbol(e);
    if (o->defined_in == scope && o->name == off && entry_kind(e) == kind) return const_cast<SymbolRec *>(o);
  }
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
  Chain<CommentRec, NextComment> &cs = file->comments;
  CommentRec *prev = nullptr;
  /* Comments mostly come in file order: one after the last goes to the end
   * at once, without walking the list. */
  if (cs.last && cs.last->line < line) {
    prev = cs.last;
  } else {
    for (CommentRec *c = cs.first(); c; prev = c, c = cs.after(c)) {
      if (c->line == line && c->line_count == line_count) return c;
      if (c->line > line) break;
    }
  }
  CommentRec *c = static_cast<CommentRec *>(m_.allocate(FAM_COMMENT, 0));
  c->file = file->number;
  c->line = line;
  c->line_count = line_count;
  cs.insert_after(prev, c);
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
  if (super) super->subs.append(s);
  return s;
}

/* ---- symbols, functions, variables ---- */

SymbolRec *ModelBuilder::new_symbol(SymbolKind kind, std::string_view name, ScopeRec *scope,
                                    FileRec *file, uint32_t line) {
  SymbolRec *s = static_cast<SymbolRec *>(m_.allocate(FAM_SYMBOL, kind));
  s->name = intern(name);
  s->file = number(file);
  s->line = line;
  s->defined_in = scope;
  if (scope) {
    scope->symbols.append(s);
    index_symbol(s);
  }
  return s;
}

void ModelBuilder::set_symbol_place(SymbolRec *sym, FileRec *file, uint32_t line) {
  sym->file = number(file);
  sym->line = line;
}

FunctionRec *ModelBuilder::new_function(FunctionKind kind, ScopeRec *defined_in, SymbolRec *sym) {
  FunctionRec *f = static_cast<FunctionRec *>(m_.allocate(FAM_FUNCTION, kind));
  f->defined_in = defined_in;
  if (defined_in) defined_in->functions.append(f);
  if (sym) add_function_symbol(f, sym);
  return f;
}

void ModelBuilder::add_function_symbol(FunctionRec *fn, SymbolRec *sym) {
  fn->symbols.append(sym);
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
  if (defined_in) defined_in->variables.append(v);
  if (sym) add_variable_symbol(v, sym);
  return v;
}

void ModelBuilder::add_variable_symbol(VariableRec *var, SymbolRec *sym) {
  var->symbols.append(sym);
  sym->variable = var;
}

void ModelBuilder::set_variable_function(VariableRec *var, FunctionRec *fn) {
  var->function = fn;
  if (fn) fn->variables.append(var);
}

/* ---- instructions ---- */

InstrRec *ModelBuilder::new_instruction(InstrKind kind, FileRec *file, uint32_t line) {
  InstrRec *i = static_cast<InstrRec *>(m_.allocate(FAM_INSTR, kind));
  i->file = number(file);
  i->line = line;
  m_.app_.instructions.prepend(i);
  return i;
}

void ModelBuilder::set_declared(InstrRec *instr, SymbolRec *sym, ScopeRec *scope) {
  instr->symbol = sym;
  instr->defined_in = scope;
  if (scope) scope->instructions.append(instr);
  if (sym) sym->instructions.append(instr);
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

void ModelBuilder::append_to_block(InstrRec *block, InstrRec *member) { block->sequence.append(member); }

/* ---- labels ---- */

LabelRec *ModelBuilder::new_label(LabelKind kind, FileRec *file, uint32_t line) {
  LabelRec *l = static_cast<LabelRec *>(m_.allocate(FAM_LABEL, kind));
  l->file = number(file);
  l->line = line;
  m_.app_.labels.prepend(l);
  return l;
}

void ModelBuilder::attach_label(LabelRec *label, InstrRec *instr, bool at_front) {
  label->instruction = instr;
  if (at_front) instr->tags.prepend(label);
  else instr->tags.append(label);
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
  m_.app_.expressions.prepend(e);
  return e;
}

void ModelBuilder::add_operand(ExprRec *e, ExprRec *operand) { e->operands.append(operand); }

/* ---- types ---- */

TypeRec *ModelBuilder::new_type(TypeKind kind, FileRec *file, uint32_t line, bool listed) {
  TypeRec *t = static_cast<TypeRec *>(m_.allocate(FAM_TYPE, kind));
  t->file = number(file);
  t->line = line;
  if (listed) m_.app_.types.prepend(t);
  return t;
}

void ModelBuilder::add_parameter(TypeRec *fn_type, TypeRec *param) { append(fn_type->parameters, param); }

Obj *ModelBuilder::add_qualifier(TypeRec *t, QualifierKind kind) {
  QualifierRec *q = static_cast<QualifierRec *>(m_.allocate(FAM_QUALIFIER, kind));
  t->qualifiers.append(q);
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
  if (sym) sym->type_symbols.append(type_symbol);
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
  if (structured) structured->fields.append(f);
  return f;
}

EnumValueRec *ModelBuilder::new_enum_value(TypeRec *enum_type, SymbolRec *sym, ExprRec *value) {
  EnumValueRec *v = static_cast<EnumValueRec *>(m_.allocate(FAM_ENUMVALUE, 0));
  v->symbol = sym;
  v->type_enum = enum_type;
  v->value = value;
  if (sym) sym->enum_value = v;
  if (enum_type) enum_type->enum_values.append(v);
  return v;
}

}  // namespace kvx
