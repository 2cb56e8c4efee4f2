/*
 * builder.h - the interface through which model building creates objects,
 * sets their attributes and links their roles.
 *
 * Every creating call takes its record from the family's pool, gives it
 * its kind, file and line, and enters it in the lists that the model keeps
 * for it (the application's lists, the scope's definitions).  Linking
 * calls set both directions of a link where the model has both.
 *
 * Shape the model expects: translation-unit scopes directly below the
 * global scope; a function scope below the scope its function is defined
 * in, with the scope of the function's outermost block as its sub-scope;
 * every other scope below the scope it is written in.
 */
#ifndef KVX_MODEL_BUILDER_H
#define KVX_MODEL_BUILDER_H

#include <string_view>

#include "model/model.h"

namespace kvx {

/* Where a construct is written: its file and line, and its macro origin
 * (Obj::origin). */
struct Place {
  FileRec *file;
  uint32_t line;
  uint8_t origin;
};

class ModelBuilder {
 public:
  explicit ModelBuilder(Model &m) : m_(m) {}
  Model &model() { return m_; }

  /* ---- files, comments, inclusions, origins ---- */
  /* The File of that path (compared exactly); created, numbered and
   * appended to the application's files when absent. */
  FileRec *file_object(std::string_view path);
  FileRec *find_file(std::string_view path) const;
  /* Marks the file as a system header. */
  void set_system(FileRec *file) { file->system = true; }
  /* Records a comment in the file, kept in ascending order of first line;
   * the same first line and line count again is not recorded twice.
   * Returns the comment (the existing one for a repeat). */
  CommentRec *add_comment(FileRec *file, uint32_t line, int line_count);
  InclusionRec *add_inclusion(FileRec *including, uint32_t line, FileRec *included);
  OriginRec *new_origin(FileRec *file, uint32_t line);

  /* ---- scopes ---- */
  /* A scope of that kind below super (appended to its sub-scopes). */
  ScopeRec *new_scope(ScopeKind kind, ScopeRec *super, FileRec *file, uint32_t line);

  /* ---- symbols, functions, variables ---- */
  /* A symbol entered in the scope's symbol definitions (scope may be null). */
  SymbolRec *new_symbol(SymbolKind kind, std::string_view name, ScopeRec *scope,
                        FileRec *file, uint32_t line);
  /* The first symbol of that name entered in the scope, of that kind, or
   * for kind 0 of any kind that an identifier expression may denote
   * (not a tag, label or member).  An index lookup, not a search. */
  SymbolRec *find_symbol(const ScopeRec *scope, std::string_view name, int kind = 0) const;
  void set_symbol_place(SymbolRec *sym, FileRec *file, uint32_t line);

  /* A function of that kind defined in the scope (entered in its function
   * definitions), named by sym when given. */
  FunctionRec *new_function(FunctionKind kind, ScopeRec *defined_in, SymbolRec *sym);
  void add_function_symbol(FunctionRec *fn, SymbolRec *sym);
  /* Sets the function scope, linking the scope back to the function. */
  void set_function_scope(FunctionRec *fn, ScopeRec *scope);
  void set_function_type(FunctionRec *fn, TypeRec *type_function) { fn->type_function = type_function; }
  /* The first line of a definition (attribute firstLine of its scope). */
  void set_first_line(ScopeRec *function_scope, uint32_t line) { function_scope->first_line = line; }
  /* The outermost block of the definition; kept with the definition's
   * function scope too, so that a later definition does not take it over. */
  void set_function_body(FunctionRec *fn, InstrRec *block) {
    fn->body = block;
    if (fn->scope) fn->scope->block = block;
  }

  /* A variable defined in the scope (entered in its variable definitions),
   * named by sym when given. */
  VariableRec *new_variable(ScopeRec *defined_in, SymbolRec *sym, TypeRec *type);
  void add_variable_symbol(VariableRec *var, SymbolRec *sym);
  /* The function the variable belongs to (also in the function's list). */
  void set_variable_function(VariableRec *var, FunctionRec *fn);
  void set_variable_type(VariableRec *var, TypeRec *type) { var->type = type; }
  void set_persistent(VariableRec *var, bool on) { var->persistent = on; }

  /* ---- instructions ---- */
  /* An instruction, put at the front of the application's instructions. */
  InstrRec *new_instruction(InstrKind kind, FileRec *file, uint32_t line);
  /* For declarations: the symbol and the defining scope; the instruction
   * joins the scope's instruction definitions and the symbol's
   * instructions. */
  void set_declared(InstrRec *instr, SymbolRec *sym, ScopeRec *scope);
  /* Joins b into the ring of instructions of a's declaration. */
  void link_same_declaration(InstrRec *a, InstrRec *b);
  void set_condition(InstrRec *i, ExprRec *e) { i->condition = e; }
  void set_body(InstrRec *i, InstrRec *body) { i->body = body; }
  void set_branches(InstrRec *i, InstrRec *if_true, InstrRec *if_false) {
    i->if_true = if_true;
    i->if_false = if_false;
  }
  void set_initialization(InstrRec *i, ExprRec *e) { i->initialization = e; }
  void set_increment(InstrRec *i, ExprRec *e) { i->increment = e; }
  void set_expression(InstrRec *i, ExprRec *e) { i->expression = e; }
  void set_goto_target(InstrRec *i, LabelRec *label) { i->target = label; }
  /* Links a block with its scope both ways. */
  void set_block_scope(InstrRec *block, ScopeRec *scope);
  void append_to_block(InstrRec *block, InstrRec *member);

  /* ---- labels ---- */
  /* A label, put at the front of the application's labels. */
  LabelRec *new_label(LabelKind kind, FileRec *file, uint32_t line);
  /* Attaches the label to the instruction it labels (both ways), after
   * its other labels, or before them with at_front. */
  void attach_label(LabelRec *label, InstrRec *instr, bool at_front = false);
  void set_case_target(LabelRec *label, ExprRec *e) { label->target = e; }
  /* Links a named label with its symbol both ways. */
  void set_label_symbol(LabelRec *label, SymbolRec *sym);
  void set_label_place(LabelRec *label, FileRec *file, uint32_t line);

  /* ---- expressions ---- */
  /* An expression, put at the front of the application's expressions. */
  ExprRec *new_expression(ExprKind kind, FileRec *file, uint32_t line);
  void add_operand(ExprRec *e, ExprRec *operand);
  /* Each kind keeps one link: the function of a complex expression, the
   * type of a constant or type expression, the symbol of a symbol
   * expression, the block of an instruction expression. */
  void set_expression_function(ExprRec *e, FunctionRec *fn) { e->function = fn; }
  void set_expression_type(ExprRec *e, TypeRec *t) { e->type = t; }
  void set_expression_symbol(ExprRec *e, SymbolRec *s) { e->symbol = s; }
  void set_expression_block(ExprRec *e, InstrRec *block) { e->instruction = block; }
  /* The text a constant was written as. */
  void set_spelling(ExprRec *constant, std::string_view text) { constant->spelling = intern(text); }

  /* ---- types ---- */
  /* A type; put at the front of the application's types when listed. */
  TypeRec *new_type(TypeKind kind, FileRec *file, uint32_t line, bool listed = true);
  /* The element, pointed-to, result or declared type ("type" role; for a
   * typedef's TypeSymbol also "ancestor" and "expansion"). */
  void set_type_target(TypeRec *t, TypeRec *target) { t->type = target; }
  void set_array_size(TypeRec *t, ExprRec *size) { t->size = size; }
  void add_parameter(TypeRec *fn_type, TypeRec *param);
  void set_arity(TypeRec *fn_type, int arity) { fn_type->arity = arity; }
  /* A new qualifier object of that kind attached to the type. */
  Obj *add_qualifier(TypeRec *t, QualifierKind kind);
  /* Links a tagged type with its tag symbol both ways. */
  void set_tag(TypeRec *t, SymbolRec *tag);
  /* Links a structured type with its structure scope both ways. */
  void set_structure_scope(TypeRec *t, ScopeRec *scope);
  /* A copy of a structured or enumerated type that shares its tag, members
   * and structure scope and refers to it; not listed in the application. */
  TypeRec *qualified_copy(TypeRec *t);
  /* A typedef: links the TypeSymbol with its SymbolType both ways. */
  void set_typedef_symbol(TypeRec *type_symbol, SymbolRec *sym);
  void set_typeof_expression(TypeRec *t, ExprRec *e) { t->expression = e; }
  /* The specifier words a built-in type object was written with. */
  void set_spelling(TypeRec *builtin, std::string_view words) { builtin->spelling = intern(words); }

  /* ---- members and enumerators ---- */
  /* A member of the structure (appended to its fields), linked both ways
   * with its symbol when it has one. */
  FieldRec *new_field(FieldKind kind, TypeRec *structured, SymbolRec *sym, TypeRec *type,
                      ExprRec *length);
  /* An enumerator of the enumeration, linked both ways with its symbol. */
  EnumValueRec *new_enum_value(TypeRec *enum_type, SymbolRec *sym, ExprRec *value);

  /* Returns an object to its pool, for a construct that did not complete.
   * Expressions, instructions, labels and types are taken out of the
   * application's lists too; objects of other families, and any object
   * that another object already refers to, must not be discarded. */
  void discard(Obj *obj);

  /* The creating and placing calls with a Place: the same, the macro
   * origin recorded too. */
  ScopeRec *new_scope(ScopeKind kind, ScopeRec *super, Place p) { return placed(new_scope(kind, super, p.file, p.line), p); }
  SymbolRec *new_symbol(SymbolKind kind, std::string_view name, ScopeRec *scope, Place p) {
    return placed(new_symbol(kind, name, scope, p.file, p.line), p);
  }
  void set_symbol_place(SymbolRec *sym, Place p) { placed(sym, p), set_symbol_place(sym, p.file, p.line); }
  InstrRec *new_instruction(InstrKind kind, Place p) { return placed(new_instruction(kind, p.file, p.line), p); }
  LabelRec *new_label(LabelKind kind, Place p) { return placed(new_label(kind, p.file, p.line), p); }
  void set_label_place(LabelRec *label, Place p) { placed(label, p), set_label_place(label, p.file, p.line); }
  ExprRec *new_expression(ExprKind kind, Place p) { return placed(new_expression(kind, p.file, p.line), p); }
  TypeRec *new_type(TypeKind kind, Place p, bool listed = true) {
    return placed(new_type(kind, p.file, p.line, listed), p);
  }

  /* A macro written at that line of the file began an expansion, the
   * number-th of the line (numbers from 1, as Obj::origin). */
  void expansion(FileRec *file, uint32_t line, uint8_t number, std::string_view macro);

 private:
  template <class T> static T *placed(T *rec, Place p) {
    rec->origin = p.origin;
    return rec;
  }
  void append(List &l, Obj *o);
  void index_symbol(SymbolRec *s);
  void index_entry(uintptr_t entry);
  uint32_t number(const FileRec *f) const { return f ? f->number : 0; }
  uint32_t intern(std::string_view text);

  Model &m_;
};

}  // namespace kvx

#endif
