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
const char *function_name(const Model &m, const FunctionRec *fn) {
  const SymbolRec *s = fn ? fn->symbols.first() : nullptr;
  return s ? m.name_of(s) : nullptr;
}

/* From a scope outward to the first function scope. */
const char *function_outward(const Model &m, const ScopeRec *s) {
  for (; s; s = s->super)
    if (s->kind == SCOPE_FUNCTION) return s->function ? function_name(m, s->function) : nullptr;
  return nullptr;
}

/* The body of the definition a function scope belongs to. */
const InstrRec *body_of(const ScopeRec *s) {
  if (s->block) return s->block;
  return s->function && s->function->scope == s ? s->function->body : nullptr;
}

/* Membership tests walk the trees through the "all" roles, which need no
 * recursion however deep the trees are. */
const RoleInfo *all_expressions() {
  static const RoleInfo *r = find_role(class_by_id(K_Expression), "allExpression");
  return r;
}
const RoleInfo *all_instructions() {
  static const RoleInfo *r = find_role(class_by_id(K_Instruction), "allInstruction");
  return r;
}

int is_target(Obj *o, void *target) { return o == target ? 1 : 0; }

bool expression_within(const Model &m, ExprRec *e, const Obj *target) {
  return m.iterate(all_expressions(), e, is_target, const_cast<Obj *>(target)) != 0;
}

struct Search {
  const Model *m;
  const Obj *target;
};

/* Whether an instruction holds the target among the expressions it holds
 * directly (and their subexpressions), or among its labels. */
int instruction_holds(Obj *o, void *data) {
  const Search *s = static_cast<const Search *>(data);
  InstrRec *i = static_cast<InstrRec *>(o);
  switch (s->target->family) {
    case FAM_INSTR:
      return o == s->target;
    case FAM_LABEL:
      return i->tags.contains(static_cast<const LabelRec *>(s->target));
    case FAM_EXPR: {
      ExprRec *direct[3] = {nullptr, nullptr, nullptr};
      switch (i->kind) {
        case INSTR_FOR:
          direct[0] = i->initialization, direct[1] = i->condition, direct[2] = i->increment;
          break;
        case INSTR_IF: case INSTR_WHILE: case INSTR_DOWHILE: case INSTR_SWITCH:
          direct[0] = i->condition;
          break;
        case INSTR_EXPRESSION: case INSTR_RETURN: case INSTR_GOTO:
          direct[0] = i->expression;
          break;
        case INSTR_DEFINITION:
          direct[0] = i->initialization;
          break;
        default:
          break;
      }
      for (ExprRec *e : direct)
        if (e && expression_within(*s->m, e, s->target)) return 1;
      return 0;
    }
    default:
      return 0;
  }
}

/* Whether obj (an instruction, expression or label) belongs to the
 * instruction tree below body. */
bool tree_holds(const Model &m, const InstrRec *body, const Obj *obj) {
  if (!body) return false;
  Search s{&m, obj};
  return m.iterate(all_instructions(), const_cast<InstrRec *>(body), instruction_holds, &s) != 0;
}

void find_function_scope(const ScopeRec *s, uint32_t file, uint32_t line, const ScopeRec **best) {
  for (const ScopeRec *c : s->subs) find_function_scope(c, file, line, best);
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
  if (!best || !tree_holds(m, body_of(best), obj)) return nullptr;
  return function_name(m, best->function);
}

}  // namespace

void ViolationSink::emit(FILE *f, std::string &&text) {
  if (written_.count(text)) return;
  put(f, text);
  if (!report_) std::fflush(f);
  written_.insert(std::move(text));
}

/* A record without location: "F", the rule line, "M"; on the console the
 * rule alone.  The application's rule line has a blank after the R. */
void ViolationSink::write_application(std::string_view rule) {
  std::string text = report_ ? "F\nR " : "";
  text.append(rule).append(report_ ? "\nM\n" : "\n");
  emit(report_ ? report_ : console_, std::move(text));
}

void ViolationSink::write_unlocated(std::string_view rule) {
  std::string text = report_ ? "F\nR" : "";
  text.append(rule).append(report_ ? "\nM\n" : "\n");
  emit(report_ ? report_ : console_, std::move(text));
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
  emit(f, std::move(text));
}

const char *enclosing_function(const Model &m, Obj *obj, const ClassInfo *cls) {
  int id = class_of(obj, cls)->id;
  std::string_view name = class_by_id(id)->name;
  switch (id) {
    case K_FunctionBuiltout:
      return function_name(m, static_cast<FunctionRec *>(obj));
    case K_InstructionDeclaration: case K_InstructionDefinition:
    case K_InstructionTentativeDefinition:
      return function_outward(m, static_cast<InstrRec *>(obj)->defined_in);
    case K_ScopeBlock: case K_ScopeFunction: case K_ScopeStructure:
      return function_outward(m, static_cast<ScopeRec *>(obj));
    default:
      break;
  }
  if (name.substr(0, 6) == "Symbol") return function_outward(m, static_cast<SymbolRec *>(obj)->defined_in);
  if (name.substr(0, 10) == "Expression" || name.substr(0, 11) == "Instruction" ||
      name.substr(0, 5) == "Label")
    return function_by_line(m, obj);
  return nullptr;
}

}  // namespace kvx
