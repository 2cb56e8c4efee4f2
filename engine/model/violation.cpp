/*
 * violation.cpp - the report record and console forms of a violation, and
 * the search for the function a violating object lies in.
 */
#include "model/violation.h"

#include <string>

namespace kvx {

namespace {

void put(FILE *f, std::string_view s) { std::fwrite(s.data(), 1, s.size(), f); }

/* The name of a function: its first symbol's name; null without one. */
const char *function_name(const FunctionRec *fn) {
  if (!fn || !fn->symbols.head) return nullptr;
  const SymbolRec *s = static_cast<const SymbolRec *>(fn->symbols.head->obj);
  return s->name && *s->name ? s->name : nullptr;
}

/* From a scope outward to the first function scope. */
const char *function_outward(const ScopeRec *s) {
  for (; s; s = s->super)
    if (s->kind == SCOPE_FUNCTION) return s->function ? function_name(s->function) : nullptr;
  return nullptr;
}

/* The body of the definition a function scope belongs to. */
const InstrRec *body_of(const ScopeRec *s) {
  if (s->block) return s->block;
  return s->function && s->function->scope == s ? s->function->body : nullptr;
}

bool expression_within(const ExprRec *e, const ExprRec *target) {
  if (e == target) return true;
  if (e->kind == EXPR_COMPLEX)
    for (const Link *k = e->operands.head; k; k = k->next)
      if (expression_within(static_cast<const ExprRec *>(k->obj), target)) return true;
  return false;
}

/* The expressions an instruction holds directly. */
bool instruction_holds(const InstrRec *i, const ExprRec *target) {
  const ExprRec *direct[3] = {nullptr, nullptr, nullptr};
  switch (i->kind) {
    case INSTR_FOR:
      direct[0] = i->initialization, direct[1] = i->condition, direct[2] = i->increment;
      break;
    case INSTR_IF: case INSTR_WHILE: case INSTR_DOWHILE: case INSTR_SWITCH:
      direct[0] = i->condition;
      break;
    case INSTR_EXPRESSION: case INSTR_RETURN:
      direct[0] = i->expression;
      break;
    case INSTR_DEFINITION:
      direct[0] = i->initialization;
      break;
    default:
      break;
  }
  for (const ExprRec *e : direct)
    if (e && expression_within(e, target)) return true;
  return false;
}

/* Whether obj (an instruction, expression or label) belongs to the
 * instruction tree below i. */
bool tree_holds(const InstrRec *i, const Obj *obj) {
  if (!i) return false;
  switch (obj->family) {
    case FAM_INSTR:
      if (i == obj) return true;
      break;
    case FAM_EXPR:
      if (instruction_holds(i, static_cast<const ExprRec *>(obj))) return true;
      break;
    case FAM_LABEL:
      if (list_contains(i->tags, obj)) return true;
      break;
    default:
      return false;
  }
  switch (i->kind) {
    case INSTR_FOR: case INSTR_DOWHILE: case INSTR_WHILE: case INSTR_SWITCH:
      return tree_holds(i->body, obj);
    case INSTR_IF:
      return tree_holds(i->if_true, obj) || tree_holds(i->if_false, obj);
    case INSTR_BLOCK:
      for (const Link *k = i->sequence.head; k; k = k->next)
        if (tree_holds(static_cast<const InstrRec *>(k->obj), obj)) return true;
      return false;
    default:
      return false;
  }
}

void find_function_scope(const ScopeRec *s, uint32_t file, uint32_t line, const ScopeRec **best) {
  for (const Link *k = s->subs.head; k; k = k->next)
    find_function_scope(static_cast<const ScopeRec *>(k->obj), file, line, best);
  if (s->kind == SCOPE_FUNCTION && s->file == file && s->line < line &&
      (!*best || s->line > (*best)->line))
    *best = s;
}

/* An expression, instruction or label: the function scope of its file
 * that starts last before its line, if the object lies in its body. */
const char *function_by_line(const Model &m, const Obj *obj) {
  const Located *l = static_cast<const Located *>(obj);
  if (!l->file) return nullptr;
  const ScopeRec *best = nullptr;
  find_function_scope(m.global_scope(), l->file, l->line, &best);
  if (!best || !tree_holds(body_of(best), obj)) return nullptr;
  return function_name(best->function);
}

}  // namespace

void ViolationSink::write_application(std::string_view rule) {
  if (report_) {
    put(report_, "F\nR ");
    put(report_, rule);
    put(report_, "\nM\n");
  } else {
    put(console_, rule);
    put(console_, "\n");
    std::fflush(console_);
  }
}

void ViolationSink::write_unlocated(std::string_view rule) {
  if (report_) {
    put(report_, "F\nR");
    put(report_, rule);
    put(report_, "\nM\n");
  } else {
    put(console_, rule);
    put(console_, "\n");
    std::fflush(console_);
  }
}

void ViolationSink::write_located(std::string_view path, long line, std::string_view rule,
                                  const std::string_view *message, const char *function) {
  FILE *f = report_ ? report_ : console_;
  std::string text;
  text.reserve(path.size() + rule.size() + 64);
  char num[32];
  std::snprintf(num, sizeof num, "(%d)", (int)line);
  if (report_) {
    text.append("F").append(path).append(num).append("\nR").append(rule).append("\nM");
    if (message) text.append(*message);
  } else {
    text.append(path).append(num).append(" : ").append(rule).append(" :");
    if (message) text.append(" ").append(*message);
  }
  if (function) text.append(" (in function ").append(function).append(")");
  text.append("\n");
  put(f, text);
  if (!report_) std::fflush(f);
}

const char *enclosing_function(const Model &m, Obj *obj, const ClassInfo *cls) {
  int id = class_of(obj, cls)->id;
  std::string_view name = class_by_id(id)->name;
  switch (id) {
    case K_FunctionBuiltout:
      return function_name(static_cast<FunctionRec *>(obj));
    case K_InstructionDeclaration: case K_InstructionDefinition:
    case K_InstructionTentativeDefinition:
      return function_outward(static_cast<InstrRec *>(obj)->defined_in);
    case K_ScopeBlock: case K_ScopeFunction: case K_ScopeStructure:
      return function_outward(static_cast<ScopeRec *>(obj));
    default:
      break;
  }
  if (name.substr(0, 6) == "Symbol") return function_outward(static_cast<SymbolRec *>(obj)->defined_in);
  if (name.substr(0, 10) == "Expression" || name.substr(0, 11) == "Instruction" ||
      name.substr(0, 5) == "Label")
    return function_by_line(m, obj);
  return nullptr;
}

}  // namespace kvx
