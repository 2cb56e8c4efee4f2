/*
 * commands.cpp - the rule scripting commands.
 *
 * Objects travel between commands as id strings.  MapRole is the hot path
 * of most rules: it forms each target's id in a stack buffer, and runs the
 * filter and the script with the id as their last word.  A filter or
 * script that is a plain command (words without substitutions) is called
 * directly with the id as an extra argument, which is what evaluating its
 * text followed by a blank and the id would do, without parsing the text
 * again for every target; any other text is kept in a growable buffer to
 * which the blank and the id are appended and then cut off again.
 */
#include "model/commands.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <unordered_set>
#include <vector>

#include "model/naming.h"

namespace kvx {

namespace {

/* The function that each statement, label and expression of a function
 * body lies in, gathered at the first violation that needs it, so that
 * reporting a violation does not search the whole model every time. */
struct FunctionIndex {
  unsigned long serial = 0; /* the model content it was built from; 0: none */
  /* For the expression, instruction and label families, by pool index:
   * 1 + the function's place in names, 0 for none. */
  std::vector<uint32_t> expr, instr, label;
  std::vector<const char *> names;

  static size_t slot(const Obj *o) { return (o->handle & 0x0FFFFFFFu) - 1; }
  std::vector<uint32_t> *family(const Obj *o) {
    if (!(o->handle & 0x0FFFFFFFu)) return nullptr; /* not of a pool */
    switch (o->family) {
      case FAM_EXPR: return &expr;
      case FAM_INSTR: return &instr;
      case FAM_LABEL: return &label;
      default: return nullptr;
    }
  }
  void note(const Obj *o, uint32_t fn) {
    std::vector<uint32_t> *v = family(o);
    if (!v) return;
    size_t i = slot(o);
    if (i >= v->size()) v->resize(i + 1 + i / 2, 0);
    if (!(*v)[i]) (*v)[i] = fn;
  }
  const char *find(const Obj *o) {
    std::vector<uint32_t> *v = family(o);
    size_t i = slot(o);
    if (!v || i >= v->size() || !(*v)[i]) return nullptr;
    return names[(*v)[i] - 1];
  }
};

struct Context {
  Model &model;
  ViolationSink &sink;
  FILE *err;
  FunctionIndex functions;
};

int usage(Tcl_Interp *interp, Tcl_Obj *name, const char *suffix) {
  Tcl_ResetResult(interp);
  Tcl_AppendResult(interp, "usage: ", Tcl_GetString(name), suffix, (char *)nullptr);
  return TCL_ERROR;
}

int error3(Tcl_Interp *interp, const char *a, const char *b, const char *c = "") {
  Tcl_ResetResult(interp);
  Tcl_AppendResult(interp, a, b, c, (char *)nullptr);
  return TCL_ERROR;
}

/* Ids the commands hand out remember the object they name, so that a
 * command receiving one back does not read the text again.  The memory is
 * tied to the model's serial number, which changes when the model is
 * released; the text stays the id's only value. */
void dup_id_rep(Tcl_Obj *src, Tcl_Obj *dup);
const Tcl_ObjType id_type = {"kvxObjectId", nullptr, dup_id_rep, nullptr, nullptr};

void dup_id_rep(Tcl_Obj *src, Tcl_Obj *dup) {
  dup->internalRep = src->internalRep;
  dup->typePtr = &id_type;
}

/* Attaches obj (seen as class cls) to an unshared id object whose text
 * is already its id. */
void remember_id(Tcl_Obj *id, const Model &m, Obj *obj, const ClassInfo *cls) {
  if (id->bytes == nullptr) return; /* the text must stay the value */
  if (id->typePtr && id->typePtr->freeIntRepProc) id->typePtr->freeIntRepProc(id);
  id->internalRep.twoPtrValue.ptr1 = obj;
  id->internalRep.twoPtrValue.ptr2 = (void *)(uintptr_t)((m.serial() << 8) | (unsigned long)cls->id);
  id->typePtr = &id_type;
}

bool remembered_id(Tcl_Obj *id, const Model &m, Obj **obj, const ClassInfo **cls) {
  if (id->typePtr != &id_type) return false;
  uintptr_t tag = (uintptr_t)id->internalRep.twoPtrValue.ptr2;
  if ((tag >> 8) != (m.serial() & (UINTPTR_MAX >> 8))) return false;
  *obj = static_cast<Obj *>(id->internalRep.twoPtrValue.ptr1);
  *cls = class_by_id((int)(tag & 0xff));
  return *cls != nullptr;
}

std::string_view view(Tcl_Obj *o) {
  int n;
  const char *s = Tcl_GetStringFromObj(o, &n);
  return std::string_view(s, (size_t)n);
}

/* Parses an id argument; leaves the error in the result on failure. */
bool object_arg(Tcl_Interp *interp, const Model &m, Tcl_Obj *arg, Obj **obj, const ClassInfo **cls) {
  if (remembered_id(arg, m, obj, cls)) return true;
  if (m.parse_object_id(view(arg), obj, cls)) {
    remember_id(arg, m, *obj, *cls);
    return true;
  }
  error3(interp, Tcl_GetString(arg), ": ill formed object id");
  return false;
}

void set_id_result(Tcl_Interp *interp, const Model &m, Obj *obj, const ClassInfo *cls) {
  char buf[OBJECT_ID_MAX + 1];
  size_t n = m.format_id(obj, cls, buf);
  Tcl_Obj *id = Tcl_NewStringObj(buf, (int)n);
  remember_id(id, m, obj, class_of(obj, cls));
  Tcl_SetObjResult(interp, id);
}

/* ---- InternalError, Class, Get, GetRole, RolesOf, AttributesOf, Classes ---- */

int cmd_internal_error(ClientData cd, Tcl_Interp *interp, int objc, Tcl_Obj *const objv[]) {
  Context *c = static_cast<Context *>(cd);
  if (objc != 2) return usage(interp, objv[0], " errorMessage");
  std::fprintf(c->err, "InternalError: %s\n", Tcl_GetString(objv[1]));
  std::fflush(c->err);
  Tcl_ResetResult(interp);
  return TCL_ERROR;
}

int cmd_class(ClientData cd, Tcl_Interp *interp, int objc, Tcl_Obj *const objv[]) {
  Context *c = static_cast<Context *>(cd);
  if (objc != 2) return usage(interp, objv[0], " object");
  Obj *o;
  const ClassInfo *cls;
  if (!object_arg(interp, c->model, objv[1], &o, &cls)) return TCL_ERROR;
  Tcl_SetObjResult(interp, Tcl_NewStringObj(cls->name, -1));
  return TCL_OK;
}

int cmd_get(ClientData cd, Tcl_Interp *interp, int objc, Tcl_Obj *const objv[]) {
  Context *c = static_cast<Context *>(cd);
  if (objc != 3) return usage(interp, objv[0], " sourceObject attributeName");
  Obj *o;
  const ClassInfo *cls;
  if (!object_arg(interp, c->model, objv[1], &o, &cls)) return TCL_ERROR;
  const AttrInfo *a = find_attribute(cls, view(objv[2]));
  if (!a) return error3(interp, Tcl_GetString(objv[2]), ": no such attribute for class ", cls->name);
  Tcl_SetObjResult(interp, Tcl_NewStringObj(c->model.attribute_text(a, o), -1));
  return TCL_OK;
}

int cmd_get_role(ClientData cd, Tcl_Interp *interp, int objc, Tcl_Obj *const objv[]) {
  Context *c = static_cast<Context *>(cd);
  if (objc != 3) return usage(interp, objv[0], " sourceObject roleName");
  Obj *o;
  const ClassInfo *cls;
  if (!object_arg(interp, c->model, objv[1], &o, &cls)) return TCL_ERROR;
  const RoleInfo *r = find_role(cls, view(objv[2]));
  if (!r) return error3(interp, Tcl_GetString(objv[2]), ": no such role for class ", cls->name);
  if (!r->get) return error3(interp, Tcl_GetString(objv[2]), ": multiplicity > 1");
  Tcl_ResetResult(interp);
  if (Obj *t = c->model.get(r, o)) set_id_result(interp, c->model, t, class_by_id(r->target));
  return TCL_OK;
}

/* The class named by an id or by a class name, for RolesOf/AttributesOf. */
const ClassInfo *class_arg(Tcl_Interp *interp, const Model &m, Tcl_Obj *arg) {
  Obj *o;
  const ClassInfo *cls;
  if (m.parse_object_id(view(arg), &o, &cls)) return cls;
  Tcl_ResetResult(interp);
  if ((cls = find_class(view(arg)))) return cls;
  error3(interp, Tcl_GetString(arg), ": no such object or class");
  return nullptr;
}

int cmd_roles_of(ClientData cd, Tcl_Interp *interp, int objc, Tcl_Obj *const objv[]) {
  Context *c = static_cast<Context *>(cd);
  if (objc != 2) return usage(interp, objv[0], " sourceObject or className");
  const ClassInfo *cls = class_arg(interp, c->model, objv[1]);
  if (!cls) return TCL_ERROR;
  Tcl_Obj *list = Tcl_NewListObj(0, nullptr);
  for (int i = 0; i < cls->role_count; i++)
    Tcl_ListObjAppendElement(nullptr, list, Tcl_NewStringObj(cls->roles[i].name, -1));
  Tcl_SetObjResult(interp, list);
  return TCL_OK;
}

int cmd_attributes_of(ClientData cd, Tcl_Interp *interp, int objc, Tcl_Obj *const objv[]) {
  Context *c = static_cast<Context *>(cd);
  if (objc != 2) return usage(interp, objv[0], " sourceObject or className");
  const ClassInfo *cls = class_arg(interp, c->model, objv[1]);
  if (!cls) return TCL_ERROR;
  Tcl_Obj *list = Tcl_NewListObj(0, nullptr);
  for (int i = 0; i < cls->attr_count; i++)
    Tcl_ListObjAppendElement(nullptr, list, Tcl_NewStringObj(cls->attrs[i].name, -1));
  Tcl_SetObjResult(interp, list);
  return TCL_OK;
}

int cmd_classes(ClientData, Tcl_Interp *interp, int objc, Tcl_Obj *const objv[]) {
  if (objc != 1) return usage(interp, objv[0], "");
  Tcl_Obj *list = Tcl_NewListObj(0, nullptr);
  for (int id = 1; id <= CLASS_COUNT; id++)
    Tcl_ListObjAppendElement(nullptr, list, Tcl_NewStringObj(class_by_id(id)->name, -1));
  Tcl_SetObjResult(interp, list);
  return TCL_OK;
}

/* The text an object was written as: a constant's spelling or a built-in
 * type's specifier words; empty for other objects. */
int cmd_spelling(ClientData cd, Tcl_Interp *interp, int objc, Tcl_Obj *const objv[]) {
  Context *c = static_cast<Context *>(cd);
  if (objc != 2) return usage(interp, objv[0], " object");
  Obj *o;
  const ClassInfo *cls;
  if (!object_arg(interp, c->model, objv[1], &o, &cls)) return TCL_ERROR;
  std::string_view text = o->family == FAM_APP ? std::string_view() : c->model.spelling(o);
  Tcl_SetObjResult(interp, Tcl_NewStringObj(text.data(), (int)text.size()));
  return TCL_OK;
}

/* ---- MacroOrigin ---- */

int cmd_macro_origin(ClientData cd, Tcl_Interp *interp, int objc, Tcl_Obj *const objv[]) {
  Context *c = static_cast<Context *>(cd);
  if (objc != 2) return usage(interp, objv[0], " object");
  Obj *o;
  const ClassInfo *cls;
  if (!object_arg(interp, c->model, objv[1], &o, &cls)) return TCL_ERROR;
  const char *macro = o->family == FAM_APP ? nullptr : c->model.expansion_macro(o);
  Tcl_SetObjResult(interp, Tcl_NewStringObj(macro ? macro : "", -1));
  return TCL_OK;
}

/* ---- Name, Object ---- */

int cmd_name(ClientData cd, Tcl_Interp *interp, int objc, Tcl_Obj *const objv[]) {
  Context *c = static_cast<Context *>(cd);
  if (objc != 2) return usage(interp, objv[0], " namableObject");
  Obj *o;
  const ClassInfo *cls;
  if (!object_arg(interp, c->model, objv[1], &o, &cls)) return TCL_ERROR;
  std::vector<std::string> elements;
  switch (qualified_name(c->model, o, cls, elements)) {
    case NAME_INTERNAL_ERROR:
      return error3(interp, Tcl_GetString(objv[0]), ": internal error");
    case NAME_NONE:
      Tcl_ResetResult(interp);
      return TCL_OK;
    case NAME_FOUND:
      break;
  }
  Tcl_Obj *list = Tcl_NewListObj(0, nullptr);
  for (const std::string &e : elements)
    Tcl_ListObjAppendElement(nullptr, list, Tcl_NewStringObj(e.data(), (int)e.size()));
  Tcl_SetObjResult(interp, list);
  return TCL_OK;
}

int cmd_object(ClientData cd, Tcl_Interp *interp, int objc, Tcl_Obj *const objv[]) {
  Context *c = static_cast<Context *>(cd);
  if (objc != 2) return usage(interp, objv[0], " name");
  int n;
  Tcl_Obj **items;
  if (Tcl_ListObjGetElements(interp, objv[1], &n, &items) != TCL_OK) return TCL_ERROR;
  std::vector<std::string_view> elements;
  elements.reserve((size_t)n);
  for (int i = 0; i < n; i++) elements.push_back(view(items[i]));
  const ClassInfo *cls = nullptr;
  Obj *o = object_by_name(c->model, elements, &cls);
  Tcl_ResetResult(interp);
  if (o) set_id_result(interp, c->model, o, cls);
  return TCL_OK;
}

/* ---- MapRole ---- */

/* A filter or script of MapRole, ready to be run with an id appended.
 * The id joins the last command of the text.  When that command is plain
 * words it is called directly with the id as one more word; the commands
 * before it, if any, are kept as one script object that Tcl compiles
 * once.  Any other last command is kept as text, to which the blank and
 * the id are appended and then cut off again. */
class Callable {
 public:
  Callable() { Tcl_DStringInit(&text_); }
  ~Callable() {
    for (Tcl_Obj *w : words_)
      if (w) Tcl_DecrRefCount(w);
    if (prefix_) Tcl_DecrRefCount(prefix_);
    Tcl_DStringFree(&text_);
  }
  Callable(const Callable &) = delete;
  Callable &operator=(const Callable &) = delete;

  void set(Tcl_Obj *script) {
    int n;
    const char *s = Tcl_GetStringFromObj(script, &n);
    int tail = last_command_start(s, n);
    if (tail > 0) {
      prefix_ = Tcl_NewStringObj(s, tail);
      Tcl_IncrRefCount(prefix_);
      for (int i = 0; i < tail; i++) prefix_lines_ += s[i] == '\n';
    }
    base_ = n - tail;
    Tcl_DStringAppend(&text_, s + tail, base_);
    split_plain(s + tail, base_);
  }

  /* Runs the text followed by a blank and the id, at the caller's level.
   * *line_offset receives what to add to the interpreter's error line. */
  int run(Tcl_Interp *interp, Tcl_Obj *id, const char *id_text, int id_len, int *line_offset) {
    *line_offset = 0;
    if (prefix_) {
      int code = Tcl_EvalObjEx(interp, prefix_, 0);
      if (code != TCL_OK) return code;
      *line_offset = prefix_lines_;
    }
    if (!words_.empty()) {
      words_.back() = id;
      int code = Tcl_EvalObjv(interp, (int)words_.size(), words_.data(), 0);
      words_.back() = nullptr;
      return code;
    }
    Tcl_DStringAppend(&text_, " ", 1);
    Tcl_DStringAppend(&text_, id_text, id_len);
    int code = Tcl_EvalEx(interp, Tcl_DStringValue(&text_), Tcl_DStringLength(&text_), 0);
    Tcl_DStringSetLength(&text_, base_);
    return code;
  }

 private:
  /* Where the last command of the text starts, when the id appended to
   * the text becomes that command's last word; 0 otherwise (the whole
   * text is then run as one). */
  static int last_command_start(const char *s, int n) {
    const char *p = s, *end = s + n;
    int start = 0;
    bool open = false;
    while (p < end) {
      Tcl_Parse parse;
      if (Tcl_ParseCommand(nullptr, p, (int)(end - p), 0, &parse) != TCL_OK) return 0;
      open = parse.numWords > 0 && parse.term == end;
      start = (int)(parse.commandStart - s);
      const char *next = parse.commandStart + parse.commandSize;
      Tcl_FreeParse(&parse);
      if (next <= p) return 0;
      p = next;
    }
    if (!open || (n > 0 && s[n - 1] == '\\')) return 0;
    return start;
  }

  /* A text of words made only of characters that Tcl takes literally is
   * the command of those words; keep them as objects, with a free last
   * place for the id. */
  void split_plain(const char *s, int n) {
    std::vector<Tcl_Obj *> words;
    int i = 0;
    while (i < n) {
      while (i < n && (s[i] == ' ' || s[i] == '\t')) i++;
      int start = i;
      while (i < n && s[i] != ' ' && s[i] != '\t') {
        if (s[i] == '\0' || std::strchr("$[]\\{}\";#\n\r\f\v", s[i])) {
          for (Tcl_Obj *w : words) Tcl_DecrRefCount(w);
          return;
        }
        i++;
      }
      if (i > start) {
        Tcl_Obj *w = Tcl_NewStringObj(s + start, i - start);
        Tcl_IncrRefCount(w);
        words.push_back(w);
      }
    }
    if (words.empty()) return;
    words.push_back(nullptr);
    words_ = std::move(words);
  }

  Tcl_DString text_;              /* the last command, as text */
  int base_ = 0;
  std::vector<Tcl_Obj *> words_;  /* the last command as plain words, then the id's place */
  Tcl_Obj *prefix_ = nullptr;     /* the commands before the last one */
  int prefix_lines_ = 0;
};

struct MapState {
  Tcl_Interp *interp;
  const Model *model;
  const ClassInfo *target_class;
  Callable *filter;
  Callable *script;
  Tcl_Obj *id; /* reused while nobody else holds it */
  long accepted;
  int code;
};

void add_line_info(Tcl_Interp *interp, const char *form, int offset) {
  char buf[96];
  std::snprintf(buf, sizeof buf, form, Tcl_GetErrorLine(interp) + offset);
  Tcl_AddErrorInfo(interp, buf);
}

/* Runs one callable; returns 1 to go on with the target, 0 to stop the
 * mapping normally (script false) or to skip it (filter false), and -1
 * to stop with st->code. */
int run_callable(MapState *st, Callable *c, const char *id, int len, bool is_filter) {
  int offset;
  int code = c->run(st->interp, st->id, id, len, &offset);
  if (code == TCL_ERROR) {
    add_line_info(st->interp, is_filter ? "\n    (in -filter script line %d)" : "\n    (in script line %d)", offset);
    st->code = TCL_ERROR;
    return -1;
  }
  if (code != TCL_OK) {
    st->code = code;
    return -1;
  }
  int b;
  if (Tcl_GetBooleanFromObj(st->interp, Tcl_GetObjResult(st->interp), &b) != TCL_OK) {
    /* A result that is not a boolean is a fault of the rule: the mapping
     * stops with the error rather than looking successful. */
    add_line_info(st->interp, is_filter ? "\n    (returned by -filter script line %d)"
                                        : "\n    (returned by script line %d)", offset);
    st->code = TCL_ERROR;
    return -1;
  }
  return b ? 1 : 0;
}

int map_visit(Obj *target, void *data) {
  MapState *st = static_cast<MapState *>(data);
  char buf[OBJECT_ID_MAX + 1];
  int len = (int)st->model->format_id(target, st->target_class, buf);
  if (st->filter || st->script) {
    if (Tcl_IsShared(st->id)) {
      Tcl_DecrRefCount(st->id);
      st->id = Tcl_NewObj();
      Tcl_IncrRefCount(st->id);
    }
    Tcl_SetStringObj(st->id, buf, len);
    remember_id(st->id, *st->model, target, class_of(target, st->target_class));
  }
  if (st->filter) {
    int r = run_callable(st, st->filter, buf, len, true);
    if (r < 0) return 1;
    if (r == 0) return 0;
  }
  st->accepted++;
  if (st->script) {
    int r = run_callable(st, st->script, buf, len, false);
    if (r <= 0) return 1;
  }
  return 0;
}

const char MAP_USAGE[] = " sourceObject roleName ?-filter filterScript? ?script?";

int cmd_map_role(ClientData cd, Tcl_Interp *interp, int objc, Tcl_Obj *const objv[]) {
  Context *c = static_cast<Context *>(cd);
  if (objc < 3) return usage(interp, objv[0], MAP_USAGE);
  Obj *o;
  const ClassInfo *cls;
  if (!object_arg(interp, c->model, objv[1], &o, &cls)) return TCL_ERROR;
  const RoleInfo *r = find_role(cls, view(objv[2]));
  if (!r) return error3(interp, Tcl_GetString(objv[2]), ": no such role for class ", cls->name);
  int next = 3;
  Tcl_Obj *filter = nullptr, *script = nullptr;
  if (objc > 3 && view(objv[3]) == "-filter") {
    if (objc < 5) return usage(interp, objv[0], MAP_USAGE);
    filter = objv[4];
    next = 5;
  }
  if (next < objc) script = objv[next++];
  if (next < objc) return usage(interp, objv[0], MAP_USAGE);

  Callable fc, sc;
  if (filter) fc.set(filter);
  if (script) sc.set(script);
  MapState st{interp, &c->model, class_by_id(r->target), filter ? &fc : nullptr,
              script ? &sc : nullptr, Tcl_NewObj(), 0, TCL_OK};
  Tcl_IncrRefCount(st.id);
  if (r->iter) {
    c->model.iterate(r, o, map_visit, &st);
  } else if (Obj *t = c->model.get(r, o)) {
    map_visit(t, &st);
  }
  Tcl_DecrRefCount(st.id);
  if (st.code != TCL_OK) return st.code;
  Tcl_SetObjResult(interp, Tcl_NewLongObj(st.accepted));
  return TCL_OK;
}

/* ---- Targets ---- */

/* Targets sources rolePath ?-via roleName? ?className ...?
 *
 * The ids of the targets of a role as one list, in the role's order, with
 * no script call per target (collecting them is what the shared
 * procedures of rules spend most of their time on otherwise).
 * - sources is an object id, or a list of them whose targets follow one
 *   another (a source whose class has no such role adds nothing).
 * - rolePath is a role name, or a list of role names followed in turn:
 *   {allInstruction expression allExpression} gives every expression of
 *   every statement below an instruction.  A target whose class has no
 *   role of the next name adds nothing; an object reached twice is listed
 *   once.  The empty path {} gives the sources themselves, to select some
 *   of them by class.
 * - With class names, only targets of those classes (as Class names them);
 *   with -via, the class tested is that of the target's single-valued
 *   role of that name (targets without it are left out):
 *   Targets application expression -via function FunctionEq gives the
 *   comparisons for equality. */
struct TargetsWalk {
  const Model *model;
  /* The role names looked up in the targets' classes: the path's, then,
   * with -via, that role's. */
  std::vector<std::string_view> names;
  size_t hops;                              /* the path's share of names */
  /* roles[i * (CLASS_COUNT + 1) + class id]: names[i] in that class,
   * resolved on first use. */
  std::vector<const RoleInfo *> roles;
  std::vector<const ClassInfo *> wanted;    /* empty: every target */
  std::unordered_set<const Obj *> seen;     /* for paths of two roles or more, or many sources */
  bool unique;
  Tcl_Obj *list;
};
struct TargetsHop {
  TargetsWalk *walk;
  size_t hop;                 /* index of the role that led here */
  const ClassInfo *target_class;
};

/* Marks a class looked at that has no role of the name. */
const RoleInfo no_role = {"", 0, nullptr, nullptr};

const RoleInfo *walk_role(TargetsWalk *w, size_t i, const ClassInfo *cls) {
  const RoleInfo *&slot = w->roles[i * (CLASS_COUNT + 1) + (size_t)cls->id];
  if (!slot) {
    const RoleInfo *r = find_role(cls, w->names[i]);
    slot = r ? r : &no_role;
  }
  return slot == &no_role ? nullptr : slot;
}

bool targets_wanted(TargetsWalk *w, Obj *target, const ClassInfo *cls) {
  if (w->names.size() > w->hops) {
    const RoleInfo *r = walk_role(w, w->hops, cls);
    Obj *t = r && r->get ? w->model->get(r, target) : nullptr;
    if (!t) return false;
    cls = class_of(t, class_by_id(r->target));
  }
  if (w->wanted.empty()) return true;
  for (const ClassInfo *c : w->wanted)
    if (c == cls) return true;
  return false;
}

int targets_visit(Obj *target, void *data);

void append_id(TargetsWalk *w, Obj *target, const ClassInfo *seen_as, const ClassInfo *cls) {
  char buf[OBJECT_ID_MAX + 1];
  size_t n = w->model->format_id(target, seen_as, buf);
  Tcl_Obj *id = Tcl_NewStringObj(buf, (int)n);
  remember_id(id, *w->model, target, cls);
  Tcl_ListObjAppendElement(nullptr, w->list, id);
}

void targets_follow(TargetsWalk *w, size_t hop, Obj *obj, const ClassInfo *cls) {
  const RoleInfo *r = walk_role(w, hop, cls);
  if (!r) return;
  TargetsHop next{w, hop, class_by_id(r->target)};
  if (r->iter) {
    w->model->iterate(r, obj, targets_visit, &next);
  } else if (Obj *t = w->model->get(r, obj)) {
    targets_visit(t, &next);
  }
}

int targets_visit(Obj *target, void *data) {
  TargetsHop *h = static_cast<TargetsHop *>(data);
  TargetsWalk *w = h->walk;
  const ClassInfo *cls = class_of(target, h->target_class);
  if (h->hop + 1 < w->hops) {
    targets_follow(w, h->hop + 1, target, cls);
    return 0;
  }
  if (!targets_wanted(w, target, cls)) return 0;
  if (w->unique && !w->seen.insert(target).second) return 0;
  append_id(w, target, h->target_class, cls);
  return 0;
}

/* True when some class has a role of that name.  The names of every
 * class's roles are gathered once, sorted. */
bool known_role(std::string_view name) {
  static const std::vector<std::string_view> names = [] {
    std::vector<std::string_view> v;
    for (int id = 1; id <= CLASS_COUNT; id++) {
      const ClassInfo *c = class_by_id(id);
      for (int i = 0; i < c->role_count; i++) v.emplace_back(c->roles[i].name);
    }
    std::sort(v.begin(), v.end());
    v.erase(std::unique(v.begin(), v.end()), v.end());
    return v;
  }();
  return std::binary_search(names.begin(), names.end(), name);
}

const char TARGETS_USAGE[] = " sources rolePath ?-via roleName? ?className ...?";

int cmd_targets(ClientData cd, Tcl_Interp *interp, int objc, Tcl_Obj *const objv[]) {
  Context *c = static_cast<Context *>(cd);
  if (objc < 3) return usage(interp, objv[0], TARGETS_USAGE);
  /* One id, or a list of ids (an id is a list of one word). */
  std::vector<std::pair<Obj *, const ClassInfo *>> sources;
  Obj *o;
  const ClassInfo *cls;
  if (remembered_id(objv[1], c->model, &o, &cls)) {
    sources.emplace_back(o, cls);
  } else {
    int count;
    Tcl_Obj **ids;
    if (Tcl_ListObjGetElements(interp, objv[1], &count, &ids) != TCL_OK) return TCL_ERROR;
    sources.reserve((size_t)count);
    for (int i = 0; i < count; i++) {
      if (!object_arg(interp, c->model, ids[i], &o, &cls)) return TCL_ERROR;
      sources.emplace_back(o, cls);
    }
  }
  TargetsWalk w{&c->model, {}, 0, {}, {}, {}, false, nullptr};
  int n;
  Tcl_Obj **names;
  if (Tcl_ListObjGetElements(interp, objv[2], &n, &names) != TCL_OK) return TCL_ERROR;
  for (int i = 0; i < n; i++) {
    w.names.push_back(view(names[i]));
    /* A single source's first role must be its class's. */
    if (i == 0 && sources.size() == 1) {
      if (!find_role(sources[0].second, w.names[0]))
        return error3(interp, Tcl_GetString(names[0]), ": no such role for class ", sources[0].second->name);
    } else if (!known_role(w.names.back())) {
      return error3(interp, Tcl_GetString(names[i]), ": no such role");
    }
  }
  w.hops = w.names.size();
  w.unique = w.hops > 1 || sources.size() > 1;
  int next = 3;
  if (next < objc && view(objv[next]) == "-via") {
    if (next + 1 >= objc) return usage(interp, objv[0], TARGETS_USAGE);
    w.names.push_back(view(objv[next + 1]));
    if (!known_role(w.names.back())) return error3(interp, Tcl_GetString(objv[next + 1]), ": no such role");
    next += 2;
  }
  for (; next < objc; next++) {
    const ClassInfo *k = find_class(view(objv[next]));
    if (!k) return error3(interp, Tcl_GetString(objv[next]), ": no such class");
    w.wanted.push_back(k);
  }
  w.roles.assign(w.names.size() * (CLASS_COUNT + 1), nullptr);
  w.list = Tcl_NewListObj(0, nullptr);
  Tcl_IncrRefCount(w.list);
  for (auto &[obj, k] : sources) {
    if (n > 0) {
      targets_follow(&w, 0, obj, k);
    } else if (targets_wanted(&w, obj, k) && (!w.unique || w.seen.insert(obj).second)) {
      append_id(&w, obj, k, k);
    }
  }
  Tcl_SetObjResult(interp, w.list);
  Tcl_DecrRefCount(w.list);
  return TCL_OK;
}

/* ---- Violation ---- */

struct IndexWalk {
  const Model *model;
  FunctionIndex *index;
  const ScopeRec *scope;
  uint32_t fn; /* 1 + place in index->names */
  const RoleInfo *all_expressions;
};

/* Notes an object of the body of walk->scope's function: like the search
 * it replaces, only objects of the function's file after its first line. */
void index_note(IndexWalk *w, const Obj *o) {
  const Located *l = static_cast<const Located *>(o);
  if (l->file == w->scope->file && l->line > w->scope->line) w->index->note(o, w->fn);
}
int index_expression(Obj *o, void *data) {
  index_note(static_cast<IndexWalk *>(data), o);
  return 0;
}
int index_instruction(Obj *o, void *data) {
  IndexWalk *w = static_cast<IndexWalk *>(data);
  InstrRec *i = static_cast<InstrRec *>(o);
  index_note(w, o);
  for (LabelRec *l : i->tags) index_note(w, l);
  ExprRec *held[3] = {nullptr, nullptr, nullptr};
  switch (i->kind) {
    case INSTR_FOR: held[0] = i->initialization, held[1] = i->condition, held[2] = i->increment; break;
    case INSTR_IF: case INSTR_WHILE: case INSTR_DOWHILE: case INSTR_SWITCH: held[0] = i->condition; break;
    case INSTR_EXPRESSION: case INSTR_RETURN: held[0] = i->expression; break;
    case INSTR_DEFINITION: held[0] = i->initialization; break;
    default: break;
  }
  for (ExprRec *e : held) {
    if (!e) continue;
    index_note(w, e);
    w->model->iterate(w->all_expressions, e, index_expression, w);
  }
  return 0;
}

void index_scope(const Model &m, FunctionIndex *index, const ScopeRec *s, const RoleInfo *all_instr,
                 const RoleInfo *all_expr) {
  for (const ScopeRec *sub : s->subs) index_scope(m, index, sub, all_instr, all_expr);
  if (s->kind != SCOPE_FUNCTION || !s->function) return;
  const InstrRec *body = s->block ? s->block : s->function->scope == s ? s->function->body : nullptr;
  const char *name = enclosing_function(m, s->function, class_by_id(K_FunctionBuiltout));
  if (!body || !name) return;
  index->names.push_back(name);
  IndexWalk w{&m, index, s, (uint32_t)index->names.size(), all_expr};
  m.iterate(all_instr, const_cast<InstrRec *>(body), index_instruction, &w);
}

/* The function named in the record of a violation of obj. */
const char *function_of(Context *c, Obj *obj, const ClassInfo *cls) {
  int id = class_of(obj, cls)->id;
  bool in_body = obj->family == FAM_EXPR || obj->family == FAM_LABEL ||
                 (obj->family == FAM_INSTR && id != K_InstructionDeclaration &&
                  id != K_InstructionDefinition && id != K_InstructionTentativeDefinition);
  if (!in_body) return enclosing_function(c->model, obj, cls);
  FunctionIndex &index = c->functions;
  if (index.serial != c->model.serial()) {
    index.expr.clear();
    index.instr.clear();
    index.label.clear();
    index.names.clear();
    index_scope(c->model, &index, c->model.global_scope(),
                find_role(class_by_id(K_Instruction), "allInstruction"),
                find_role(class_by_id(K_Expression), "allExpression"));
    index.serial = c->model.serial();
  }
  return index.find(obj);
}

int cmd_violation(ClientData cd, Tcl_Interp *interp, int objc, Tcl_Obj *const objv[]) {
  Context *c = static_cast<Context *>(cd);
  if (objc != 3 && objc != 4) return usage(interp, objv[0], " object ruleName ?message?");
  const char *cmd = Tcl_GetString(objv[0]);
  std::string_view rule = view(objv[2]);
  if (rule.find('\n') != rule.npos) return error3(interp, cmd, ": ruleName may not contain '\\n'");
  std::string_view message;
  if (objc == 4) {
    message = view(objv[3]);
    if (message.find('\n') != message.npos)
      return error3(interp, cmd, ": message may not contain '\\n'");
  }
  Tcl_ResetResult(interp);
  if (!c->sink.has_report()) {
    /* Console lines and what the rule prints with puts come out in the
     * order they were made. */
    if (Tcl_Channel out = Tcl_GetStdChannel(TCL_STDOUT)) Tcl_Flush(out);
  }
  std::string_view arg = view(objv[1]);
  if (arg == "application") {
    c->sink.write_application(rule);
    return TCL_OK;
  }
  Obj *o;
  const ClassInfo *cls;
  if (!object_arg(interp, c->model, objv[1], &o, &cls)) return TCL_ERROR;

  const Model &m = c->model;
  Obj *file = nullptr;
  long line = 0;
  const char *function = nullptr;
  const ClassInfo *file_class = class_by_id(K_File);
  if (cls->id == K_File) {
    file = o;
  } else {
    const AttrInfo *la = find_attribute(cls, "line");
    const RoleInfo *fr = find_role(cls, "file");
    if (!la || !fr || !fr->get) {
      Tcl_AppendResult(interp, cmd, ": ", Tcl_GetString(objv[1]), ": no localization", (char *)nullptr);
      return TCL_ERROR;
    }
    line = std::strtol(m.attribute_text(la, o), nullptr, 10);
    file = m.get(fr, o);
    if (!file) {
      c->sink.write_unlocated(rule);
      return TCL_OK;
    }
    file_class = class_of(file, class_by_id(fr->target));
  }
  if (c->sink.leaves_out(*static_cast<FileRec *>(file))) return TCL_OK;
  if (cls->id != K_File) function = function_of(c, o, cls);
  const AttrInfo *pa = find_attribute(file_class, "pathname");
  if (!pa) {
    Tcl_AppendResult(interp, cmd, ": ", Tcl_GetString(objv[1]), ": no localization", (char *)nullptr);
    return TCL_ERROR;
  }
  std::string_view path = m.attribute_text(pa, file);
  /* a construct of a macro's replacement text: the record keeps the line
   * of the macro's use and names the macro */
  std::string with_macro;
  if (const char *macro = cls->id == K_File ? nullptr : m.expansion_macro(o)) {
    if (objc == 4) with_macro.assign(message).append(" ");
    with_macro.append("(in expansion of macro ").append(macro).append(")");
    message = with_macro;
  }
  c->sink.write_located(path, line, rule, objc == 4 || !with_macro.empty() ? &message : nullptr, function);
  return TCL_OK;
}

void free_context(ClientData cd, Tcl_Interp *) { delete static_cast<Context *>(cd); }

struct CommandEntry {
  const char *name;
  Tcl_ObjCmdProc *proc;
};
const CommandEntry command_table[] = {
    {"InternalError", cmd_internal_error}, {"Violation", cmd_violation},
    {"Name", cmd_name},                    {"Object", cmd_object},
    {"MapRole", cmd_map_role},             {"GetRole", cmd_get_role},
    {"Class", cmd_class},                  {"Get", cmd_get},
    {"RolesOf", cmd_roles_of},             {"AttributesOf", cmd_attributes_of},
    {"Classes", cmd_classes},               {"Spelling", cmd_spelling},
    {"Targets", cmd_targets},              {"MacroOrigin", cmd_macro_origin},
};

}  // namespace

void register_model_commands(Tcl_Interp *interp, Model &model, ViolationSink &sink, FILE *err) {
  Context *c = new Context{model, sink, err, {}};
  /* The context lives as long as the interpreter; registering again
   * replaces the commands and frees the earlier context. */
  Context *old = static_cast<Context *>(Tcl_GetAssocData(interp, "kvx_model_commands", nullptr));
  Tcl_SetAssocData(interp, "kvx_model_commands", free_context, c);
  delete old;
  for (const CommandEntry &e : command_table) {
    Tcl_CreateObjCommand(interp, e.name, e.proc, c, nullptr);
    std::string lower(e.name);
    for (char &ch : lower) ch = (char)(ch >= 'A' && ch <= 'Z' ? ch + 32 : ch);
    Tcl_CreateObjCommand(interp, lower.c_str(), e.proc, c, nullptr);
  }
}

}  // namespace kvx
