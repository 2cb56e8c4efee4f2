/*
 * naming.cpp - building qualified names from scopes and reading them back.
 */
#include "model/naming.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace kvx {

namespace {

const char *function_name(const Model &m, const FunctionRec *fn) {
  const SymbolRec *s = fn ? fn->symbols.first() : nullptr;
  return s ? m.name_of(s) : nullptr;
}

/* 1-based position of s among its enclosing scope's sub-scopes, or 0. */
int position(const ScopeRec *s) {
  if (!s->super) return 0;
  int n = 1;
  for (const ScopeRec *c : s->super->subs) {
    if (c == s) return n;
    n++;
  }
  return 0;
}

/* The naming symbol of an object and the scope its name starts in. */
const SymbolRec *naming_symbol(Obj *obj, const ClassInfo *cls, const ScopeRec **start) {
  const SymbolRec *sym = nullptr;
  switch (cls->id) {
    case K_FunctionBuiltout: {
      const FunctionRec *fn = static_cast<FunctionRec *>(obj);
      *start = fn->defined_in;
      return fn->symbols.first();
    }
    case K_Variable: {
      const VariableRec *v = static_cast<VariableRec *>(obj);
      *start = v->defined_in;
      return v->symbols.first();
    }
    case K_LabelIdent: sym = static_cast<LabelRec *>(obj)->symbol; break;
    case K_TypeField: case K_TypeBitField: sym = static_cast<FieldRec *>(obj)->symbol; break;
    case K_TypeSymbol: sym = static_cast<TypeRec *>(obj)->symbol; break;
    case K_TypeStruct: case K_TypeUnion: case K_TypeEnum: case K_TypeTagged: {
      const TypeRec *t = static_cast<TypeRec *>(obj);
      sym = (t->original ? t->original : t)->tag;
      break;
    }
    case K_EnumValue: sym = static_cast<EnumValueRec *>(obj)->symbol; break;
    default:
      if (obj->family == FAM_SYMBOL && std::strncmp(cls->name, "Symbol", 6) == 0)
        sym = static_cast<SymbolRec *>(obj);
      break;
  }
  if (sym) *start = sym->defined_in;
  return sym;
}

bool is_structure_kind(const TypeRec *t) { return t && (t->kind == TYPE_STRUCT || t->kind == TYPE_UNION); }

/* ---- reading a name back ---- */

/* "block N", "struct N", "union N": the word and N (> 0). */
bool numbered(std::string_view e, std::string_view word, int *n) {
  if (e.size() <= word.size() + 1 || e.substr(0, word.size()) != word || e[word.size()] != ' ')
    return false;
  std::string_view digits = e.substr(word.size() + 1);
  long v = 0;
  for (char c : digits) {
    if (c < '0' || c > '9' || v > 1000000000L) return false;
    v = v * 10 + (c - '0');
  }
  *n = (int)v;
  return v > 0;
}

const ScopeRec *nth_sub(const ScopeRec *s, int n) {
  for (const ScopeRec *c : s->subs)
    if (--n == 0) return c;
  return nullptr;
}

/* What a symbol named as the last element yields. */
Obj *symbol_target(SymbolRec *s, const ClassInfo **cls) {
  Obj *o = nullptr;
  switch (s->kind) {
    case SYM_TAG: o = s->tagged; break;
    case SYM_ENUM: o = s->enum_value; break;
    case SYM_FUNCTION: o = s->function; break;
    case SYM_VARIABLE: o = s->variable; break;
    case SYM_LABEL: o = s->label; break;
    case SYM_FIELD: o = s->field; break;
    default: break;
  }
  if (!o) o = s;
  *cls = class_by_id(class_for_kind((Family)o->family, o->kind));
  return o;
}

struct Reader {
  const Model &m;
  const std::vector<std::string_view> &el;
  const ClassInfo **cls;

  Obj *from(const ScopeRec *scope, size_t i);
  Obj *step(const ScopeRec *scope, size_t i);
};

/* Resolves elements i.. in scope.  In a function scope the elements may
 * also name what lies in the function's outermost block, which a name
 * does not mention. */
Obj *Reader::from(const ScopeRec *scope, size_t i) {
  if (Obj *o = step(scope, i)) return o;
  if (scope->kind == SCOPE_FUNCTION)
    for (const ScopeRec *c : scope->subs)
      if (c->kind == SCOPE_BLOCK)
        if (Obj *o = step(c, i)) return o;
  return nullptr;
}

Obj *Reader::step(const ScopeRec *scope, size_t i) {
  std::string_view e = el[i];
  bool last = i + 1 == el.size();
  int n;
  if (numbered(e, "block", &n)) {
    const ScopeRec *s = nth_sub(scope, n);
    if (last || !s || s->kind != SCOPE_BLOCK) return nullptr;
    return from(s, i + 1);
  }
  if (numbered(e, "struct", &n) || numbered(e, "union", &n)) {
    const ScopeRec *s = nth_sub(scope, n);
    if (!s || s->kind != SCOPE_STRUCTURE || !s->structured) return nullptr;
    if (s->structured->kind != (e[0] == 's' ? TYPE_STRUCT : TYPE_UNION)) return nullptr;
    if (last) {
      *cls = class_by_id(class_for_kind(FAM_TYPE, s->structured->kind));
      return s->structured;
    }
    return from(s, i + 1);
  }
  bool is_struct = e.substr(0, 7) == "struct ", is_union = e.substr(0, 6) == "union ";
  if (is_struct || is_union) {
    std::string_view tag = e.substr(is_struct ? 7 : 6);
    for (SymbolRec *s : scope->symbols) {
      if (s->kind != SYM_TAG || !s->name || tag != m.text(s->name)) continue;
      TypeRec *t = s->tagged;
      if (!t || t->kind != (is_struct ? TYPE_STRUCT : TYPE_UNION)) continue;
      if (last) {
        *cls = class_by_id(class_for_kind(FAM_TYPE, t->kind));
        return t;
      }
      return t->structure ? from(t->structure, i + 1) : nullptr;
    }
    return nullptr;
  }
  for (SymbolRec *s : scope->symbols) {
    if (!s->name || e != m.text(s->name)) continue;
    if (last) return symbol_target(s, cls);
    if (s->function && s->function->scope)
      if (Obj *o = from(s->function->scope, i + 1)) return o;
  }
  return nullptr;
}

}  // namespace

NameResult qualified_name(const Model &m, Obj *obj, const ClassInfo *cls,
                          std::vector<std::string> &elements) {
  elements.clear();
  const ScopeRec *scope = nullptr;
  const SymbolRec *sym = naming_symbol(obj, class_of(obj, cls), &scope);
  if (!sym || !sym->name) return NAME_NONE;
  for (const ScopeRec *s = scope; s; s = s->super) {
    if (s->kind == SCOPE_GLOBAL) break;
    if (s->kind == SCOPE_FUNCTION) {
      const char *fn = function_name(m, s->function);
      if (!fn) return NAME_INTERNAL_ERROR;
      elements.emplace_back(fn);
    } else if (s->kind == SCOPE_BLOCK) {
      if (s->super && s->super->kind == SCOPE_FUNCTION) continue;
      int n = position(s);
      if (!n) return NAME_INTERNAL_ERROR;
      elements.push_back("block " + std::to_string(n));
    } else if (s->kind == SCOPE_STRUCTURE) {
      const TypeRec *t = s->structured;
      if (!is_structure_kind(t)) return NAME_INTERNAL_ERROR;
      std::string word = t->kind == TYPE_STRUCT ? "struct " : "union ";
      if (t->tag && t->tag->name) {
        elements.push_back(word + m.name_of(t->tag));
      } else {
        int n = position(s);
        if (!n) return NAME_INTERNAL_ERROR;
        elements.push_back(word + std::to_string(n));
      }
    } else if (s->kind == SCOPE_TRANSLATION_UNIT) {
      const FileRec *f = m.file_of(s->file);
      if (!f) return NAME_INTERNAL_ERROR;
      elements.emplace_back(f->pathname);
      break;
    }
  }
  /* Built from the inside outward; names read from the outside inward. */
  std::reverse(elements.begin(), elements.end());
  elements.emplace_back(m.name_of(sym));
  return NAME_FOUND;
}

Obj *object_by_name(const Model &m, const std::vector<std::string_view> &elements,
                    const ClassInfo **cls) {
  if (elements.empty()) return nullptr;
  Reader r{m, elements, cls};
  if (Obj *o = r.from(m.global_scope(), 0)) return o;
  /* The first element may be the pathname of an analysed file. */
  const AppRec *app = m.application();
  for (const Link *k = app->files.head; k; k = k->next) {
    FileRec *f = static_cast<FileRec *>(k->obj);
    if (elements[0] != f->pathname) continue;
    if (elements.size() == 1) {
      *cls = class_by_id(K_File);
      return f;
    }
    for (const ScopeRec *tu : m.global_scope()->subs) {
      if (tu->kind == SCOPE_TRANSLATION_UNIT && tu->file == f->number)
        if (Obj *o = r.from(tu, 1)) return o;
    }
    return nullptr;
  }
  return nullptr;
}

}  // namespace kvx
