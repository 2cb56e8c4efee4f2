/*
 * model.h - the program model: records of every object family, the class
 * table with its roles and attributes, object ids, and the model context.
 *
 * A Model holds everything one run analysed: files, comments, inclusions,
 * scopes, symbols, types, instructions, expressions, labels and the
 * operators seen as built-in functions.  Objects are fixed-size records
 * taken from per-family pools; rules see them only through the class
 * table's role and attribute accessors and through object ids
 * ("application" or "i.<class id>.<handle in hex>").
 *
 * Model building fills the model through ModelBuilder (builder.h); the
 * rule commands read it through the operations declared here.
 */
#ifndef KVX_MODEL_MODEL_H
#define KVX_MODEL_MODEL_H

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "model/class_ids.h"
#include "model/pool.h"
#include "model/text_pool.h"

namespace kvx {

class Diagnostics;

/* Object families; each has its own pool and kind numbering. */
enum Family : uint8_t {
  FAM_APP, FAM_COMMENT, FAM_ENUMVALUE, FAM_EXPR, FAM_FILE, FAM_INCLUSION,
  FAM_FUNCTION, FAM_INSTR, FAM_LABEL, FAM_ORIGIN, FAM_QUALIFIER, FAM_SCOPE,
  FAM_SYMBOL, FAM_TYPE, FAM_FIELD, FAM_VARIABLE, FAM_COUNT
};

/* Kind numbers per family, in the order the resolvers read them. */
enum ExprKind { EXPR_COMPLEX = 1, EXPR_CONSTANT, EXPR_SYMBOL, EXPR_TYPE, EXPR_INSTRUCTION };
enum InstrKind {
  INSTR_BREAK = 1, INSTR_CONTINUE, INSTR_GOTO, INSTR_EXPRESSION, INSTR_FOR,
  INSTR_DOWHILE, INSTR_IF, INSTR_RETURN, INSTR_SWITCH, INSTR_WHILE, INSTR_BLOCK,
  INSTR_DECLARATION, INSTR_DEFINITION, INSTR_TENTATIVE
};
enum LabelKind { LABEL_CASE = 1, LABEL_IDENT, LABEL_DEFAULT };
enum ScopeKind { SCOPE_FUNCTION = 1, SCOPE_GLOBAL, SCOPE_BLOCK, SCOPE_TRANSLATION_UNIT, SCOPE_STRUCTURE };
enum SymbolKind {
  SYM_TAG = 1, SYM_ENUM, SYM_FUNCTION, SYM_MACRO, SYM_VARIABLE, SYM_LABEL, SYM_TYPE, SYM_FIELD
};
enum TypeKind {
  TYPE_INT = 1, TYPE_DOUBLE, TYPE_FLOAT, TYPE_VOID, TYPE_LONG_DOUBLE, TYPE_UNSIGNED_INT,
  TYPE_SHORT, TYPE_UNSIGNED_SHORT, TYPE_LONG, TYPE_UNSIGNED_LONG, TYPE_CHAR,
  TYPE_SIGNED_CHAR, TYPE_UNSIGNED_CHAR, TYPE_ARRAY, TYPE_POINTER, TYPE_SYMBOL,
  TYPE_UNION, TYPE_STRUCT, TYPE_ENUM, TYPE_META, TYPE_FUNCTION, TYPE_VARARG,
  TYPE_TYPEOF, TYPE_KIND_COUNT = TYPE_TYPEOF
};
enum FunctionKind {
  FN_ADD = 1, FN_MUL, FN_DIV, FN_SUB, FN_MINUS, FN_MOD, FN_PLUS, FN_BNOT, FN_BAND,
  FN_BOR, FN_BXOR, FN_LSH, FN_RSH, FN_AND, FN_OR, FN_NOT, FN_LE, FN_LT, FN_GE, FN_GT,
  FN_EQ, FN_NE, FN_ASSIGN, FN_ADD_ASSIGN, FN_SUB_ASSIGN, FN_MUL_ASSIGN,
  FN_DIV_ASSIGN, FN_MOD_ASSIGN, FN_POST_INC, FN_PRE_INC, FN_POST_DEC, FN_PRE_DEC,
  FN_BAND_ASSIGN, FN_BOR_ASSIGN, FN_BXOR_ASSIGN, FN_RSH_ASSIGN, FN_LSH_ASSIGN,
  FN_SIZEOF, FN_CAST, FN_ADDRESS, FN_REF, FN_TERNARY, FN_INDEX, FN_SELECT,
  FN_POINTER_SELECT, FN_CALL, FN_SEQUENCE, FN_COMPOUND_INIT, FN_ALIGNOF,
  FN_MACRO, FN_BUILTOUT, FN_KIND_COUNT = FN_BUILTOUT,
  FN_BUILTIN_COUNT = FN_ALIGNOF /* kinds 1..49 exist in the fixed part */
};
/* The instruction kinds of declarations, whose instructions form a
 * sameInstruction ring per declaration. */
inline bool is_declaration_kind(int kind) {
  return kind == INSTR_DECLARATION || kind == INSTR_DEFINITION || kind == INSTR_TENTATIVE;
}
/* The kinds whose objects are of a built-in type class. */
inline bool is_builtin_type_kind(int kind) {
  return (kind >= TYPE_INT && kind <= TYPE_UNSIGNED_CHAR) || kind == TYPE_VARARG;
}
enum QualifierKind { QUAL_CONST = 1, QUAL_VOLATILE };
enum FieldKind { FIELD_PLAIN = 1, FIELD_BIT };

/* Common head of every record.  The handle names the record for the whole
 * run: family in the top four bits, pool index + 1 below. */
struct Obj {
  uint32_t handle;
  uint8_t family;
  uint8_t kind;
  uint8_t live;
  /* located objects: the construct comes from a macro's replacement text,
   * in the expansion of that number among those of its line (0: it does
   * not); Model::expansion_macro names the macro */
  uint8_t origin;
};

/* Records written somewhere in a file: file number (0: none) and line. */
struct Located : Obj {
  uint32_t file;
  uint32_t line;
};

/* Lists of objects of which an object may be a member of several (files,
 * inclusions, the parameter types of function types): nodes come from the
 * model's link pool, so no list operation reaches the system allocator. */
struct Link {
  Obj *obj;
  Link *next;
};
struct List {
  Link *head;
  Link *tail;
  uint32_t count;
};

/* Lists threaded through their members: each member holds the link to the
 * next one in a field of its own, the list holds only its last member,
 * whose link leads back to the first.  Appending and prepending take no
 * node, so a list costs one pointer and a member one pointer per list it
 * can be in.  Tag names the member's field (Tag::next). */
template <class T, class Tag> struct Chain {
  T *last;

  bool empty() const { return !last; }
  T *first() const { return last ? Tag::next(last) : nullptr; }
  T *after(T *p) const { return p == last ? nullptr : Tag::next(p); }
  /* Appending is putting o in front of the first member, after the last,
   * and making it the last. */
  void append(T *o) {
    prepend(o);
    last = o;
  }
  void prepend(T *o) {
    if (last) {
      Tag::next(o) = Tag::next(last);
      Tag::next(last) = o;
    } else {
      Tag::next(o) = o;
      last = o;
    }
  }
  /* Inserts o after p (p a member; null: at the front). */
  void insert_after(T *p, T *o) {
    if (!p) return prepend(o);
    Tag::next(o) = Tag::next(p);
    Tag::next(p) = o;
    if (p == last) last = o;
  }
  /* Takes o out of the list; false when it is not a member. */
  bool remove(T *o) {
    if (!last) return false;
    T *prev = last;
    do {
      T *cur = Tag::next(prev);
      if (cur == o) {
        if (cur == prev) last = nullptr;
        else {
          Tag::next(prev) = Tag::next(cur);
          if (last == cur) last = prev;
        }
        Tag::next(o) = nullptr;
        return true;
      }
      prev = cur;
    } while (prev != last);
    return false;
  }
  uint32_t count() const {
    uint32_t n = 0;
    for (T *p = first(); p; p = after(p)) n++;
    return n;
  }
  bool contains(const T *o) const {
    for (T *p = first(); p; p = after(p))
      if (p == o) return true;
    return false;
  }

  struct Iter {
    const Chain *c;
    T *p;
    T *operator*() const { return p; }
    Iter &operator++() {
      p = c->after(p);
      return *this;
    }
    bool operator!=(const Iter &o) const { return p != o.p; }
  };
  Iter begin() const { return {this, first()}; }
  Iter end() const { return {this, nullptr}; }
};

struct ExprRec;
struct InstrRec;
struct TypeRec;
struct SymbolRec;
struct ScopeRec;
struct LabelRec;
struct FunctionRec;
struct FieldRec;
struct VariableRec;
struct FileRec;
struct EnumValueRec;
struct CommentRec;
struct QualifierRec;

/* The member fields the chains are threaded through. */
#define KVX_CHAIN_TAG(Tag, T) \
  struct Tag {                \
    static T *&next(T *o);    \
  };
KVX_CHAIN_TAG(AppNextExpr, ExprRec)
KVX_CHAIN_TAG(AppNextInstr, InstrRec)
KVX_CHAIN_TAG(AppNextType, TypeRec)
KVX_CHAIN_TAG(AppNextLabel, LabelRec)
KVX_CHAIN_TAG(NextOperand, ExprRec)
KVX_CHAIN_TAG(NextComment, CommentRec)
KVX_CHAIN_TAG(NextEnumValue, EnumValueRec)
KVX_CHAIN_TAG(NextField, FieldRec)
KVX_CHAIN_TAG(NextQualifier, QualifierRec)
KVX_CHAIN_TAG(NextInSequence, InstrRec)
KVX_CHAIN_TAG(NextTag, LabelRec)
KVX_CHAIN_TAG(NextSubScope, ScopeRec)
KVX_CHAIN_TAG(NextScopeFunction, FunctionRec)
KVX_CHAIN_TAG(NextScopeInstr, InstrRec)
KVX_CHAIN_TAG(NextScopeSymbol, SymbolRec)
KVX_CHAIN_TAG(NextScopeVariable, VariableRec)
KVX_CHAIN_TAG(NextOwnerSymbol, SymbolRec)
KVX_CHAIN_TAG(NextFunctionVariable, VariableRec)
KVX_CHAIN_TAG(NextSymbolInstr, InstrRec)
KVX_CHAIN_TAG(NextTypeSymbol, TypeRec)
#undef KVX_CHAIN_TAG

/* Records.  Fields that only some kinds of a family use share storage in
 * unions; the accessors read them only for those kinds. */
struct AppRec : Obj {
  List files, inclusions;
  Chain<TypeRec, AppNextType> types;
  Chain<ExprRec, AppNextExpr> expressions;
  Chain<InstrRec, AppNextInstr> instructions;
  Chain<LabelRec, AppNextLabel> labels;
  ScopeRec *global;
};
struct CommentRec : Located {
  int line_count;
  bool fallthrough;        /* says a switch clause falls through on purpose */
  CommentRec *next;
};
struct EnumValueRec : Obj {
  SymbolRec *symbol;
  TypeRec *type_enum;
  ExprRec *value;
  EnumValueRec *next;
};
/* The most numerous records: the link each kind has is kept in one place,
 * read according to the kind. */
struct ExprRec : Located {
  ExprRec *app_next;
  ExprRec *next_operand;   /* in the operands of the enclosing expression */
  union {
    FunctionRec *function; /* complex */
    TypeRec *type;         /* constant, type */
    InstrRec *instruction; /* instruction (statement expression) */
    SymbolRec *symbol;     /* symbol */
  };
  union {
    Chain<ExprRec, NextOperand> operands; /* complex */
    uint32_t spelling;     /* constant: the text as written (text pool) */
  };
};
struct FileRec : Obj {
  const char *pathname;
  uint32_t number;         /* index in the file table */
  bool system;             /* a system header (attribute "system") */
  Chain<CommentRec, NextComment> comments; /* ascending first line */
};
struct InclusionRec : Located {
  FileRec *included;
};
struct FunctionRec : Obj {
  ScopeRec *defined_in;
  FunctionRec *scope_next; /* in defined_in's functions */
  ScopeRec *scope;
  Chain<SymbolRec, NextOwnerSymbol> symbols;
  TypeRec *type_function;
  Chain<VariableRec, NextFunctionVariable> variables;
  InstrRec *body;          /* the outermost block of the definition */
};
struct InstrRec : Located {
  InstrRec *app_next;
  InstrRec *seq_next;      /* in the enclosing block's sequence */
  Chain<LabelRec, NextTag> tags; /* labels attached to the instruction */
  ExprRec *initialization; /* for, definition */
  union {
    struct {               /* if, while, do, switch, for */
      ExprRec *condition;
      ExprRec *increment;
      InstrRec *body;
      InstrRec *if_true, *if_false;
    };
    struct {               /* expression, return; goto */
      ExprRec *expression;
      LabelRec *target;
    };
    struct {               /* block */
      ScopeRec *scope_block;
      Chain<InstrRec, NextInSequence> sequence;
    };
    struct {               /* declaration, definition, tentative definition */
      ScopeRec *defined_in;
      SymbolRec *symbol;
      InstrRec *same_next; /* ring of one declaration's instructions */
      InstrRec *scope_next; /* in defined_in's instruction definitions */
      InstrRec *sym_next;  /* in the symbol's instructions */
    };
  };
};
struct LabelRec : Located {
  LabelRec *app_next;
  LabelRec *tag_next;      /* in the labelled instruction's tags */
  InstrRec *instruction;
  union {
    ExprRec *target;       /* case */
    SymbolRec *symbol;     /* ident */
  };
};
struct OriginRec : Located {};
struct QualifierRec : Obj {
  QualifierRec *next;
};
struct ScopeRec : Located {
  uint32_t first_line;     /* function scope: see the attribute firstLine */
  ScopeRec *super;
  ScopeRec *sibling;       /* in super's sub-scopes */
  Chain<ScopeRec, NextSubScope> subs;
  Chain<FunctionRec, NextScopeFunction> functions;
  Chain<InstrRec, NextScopeInstr> instructions;
  Chain<SymbolRec, NextScopeSymbol> symbols;
  Chain<VariableRec, NextScopeVariable> variables;
  FunctionRec *function;   /* function scope */
  InstrRec *block;         /* block scope; function scope: its outermost block */
  TypeRec *structured;     /* structure scope */
};
struct SymbolRec : Located {
  uint32_t name;           /* text pool offset; 0: no name */
  ScopeRec *defined_in;
  SymbolRec *scope_next;   /* in defined_in's symbols */
  SymbolRec *owner_next;   /* in its function's or variable's symbols */
  FunctionRec *function;   /* function, macro */
  VariableRec *variable;   /* variable */
  union {
    EnumValueRec *enum_value; /* enumerator */
    FieldRec *field;       /* field */
    LabelRec *label;       /* label */
    TypeRec *tagged;       /* tag */
  };
  union {
    Chain<InstrRec, NextSymbolInstr> instructions; /* function, macro, variable */
    Chain<TypeRec, NextTypeSymbol> type_symbols;   /* typedef */
  };
};
struct TypeRec : Located {
  TypeRec *app_next;
  Chain<QualifierRec, NextQualifier> qualifiers;
  TypeRec *type;           /* element, pointed-to, result, declared type */
  TypeRec *original;       /* qualified copy: the type it qualifies */
  union {
    ExprRec *size;         /* array */
    struct {               /* function */
      List parameters;
      int arity;
    };
    struct {               /* struct, union, enum */
      SymbolRec *tag;
      ScopeRec *structure;
      Chain<FieldRec, NextField> fields;
      Chain<EnumValueRec, NextEnumValue> enum_values;
    };
    struct {               /* typedef name */
      SymbolRec *symbol;
      TypeRec *sym_next;   /* in the typedef symbol's type symbols */
    };
    ExprRec *expression;   /* typeof */
    uint32_t spelling;     /* built-in: the specifier words as written (text pool) */
  };
};
struct FieldRec : Obj {
  ExprRec *length;
  SymbolRec *symbol;
  TypeRec *type;
  TypeRec *structured;
  FieldRec *next;
};
struct VariableRec : Obj {
  ScopeRec *defined_in;
  FunctionRec *function;
  Chain<SymbolRec, NextOwnerSymbol> symbols;
  TypeRec *type;
  VariableRec *scope_next; /* in defined_in's variables */
  VariableRec *fn_next;    /* in its function's variables */
  bool persistent;
};

#define KVX_CHAIN_NEXT(Tag, T, field) \
  inline T *&Tag::next(T *o) { return o->field; }
KVX_CHAIN_NEXT(AppNextExpr, ExprRec, app_next)
KVX_CHAIN_NEXT(AppNextInstr, InstrRec, app_next)
KVX_CHAIN_NEXT(AppNextType, TypeRec, app_next)
KVX_CHAIN_NEXT(AppNextLabel, LabelRec, app_next)
KVX_CHAIN_NEXT(NextOperand, ExprRec, next_operand)
KVX_CHAIN_NEXT(NextComment, CommentRec, next)
KVX_CHAIN_NEXT(NextEnumValue, EnumValueRec, next)
KVX_CHAIN_NEXT(NextField, FieldRec, next)
KVX_CHAIN_NEXT(NextQualifier, QualifierRec, next)
KVX_CHAIN_NEXT(NextInSequence, InstrRec, seq_next)
KVX_CHAIN_NEXT(NextTag, LabelRec, tag_next)
KVX_CHAIN_NEXT(NextSubScope, ScopeRec, sibling)
KVX_CHAIN_NEXT(NextScopeFunction, FunctionRec, scope_next)
KVX_CHAIN_NEXT(NextScopeInstr, InstrRec, scope_next)
KVX_CHAIN_NEXT(NextScopeSymbol, SymbolRec, scope_next)
KVX_CHAIN_NEXT(NextScopeVariable, VariableRec, scope_next)
KVX_CHAIN_NEXT(NextOwnerSymbol, SymbolRec, owner_next)
KVX_CHAIN_NEXT(NextFunctionVariable, VariableRec, fn_next)
KVX_CHAIN_NEXT(NextSymbolInstr, InstrRec, sym_next)
KVX_CHAIN_NEXT(NextTypeSymbol, TypeRec, sym_next)
#undef KVX_CHAIN_NEXT

class Model;

/* Visitor of an "n" role: a non-zero result stops the iteration. */
using Visit = int (*)(Obj *target, void *data);
using RoleIter = int (*)(const Model &, Obj *source, Visit visit, void *data);
using RoleGet = Obj *(*)(const Model &, Obj *source);

struct RoleInfo {
  const char *name;
  int target;              /* class id */
  RoleIter iter;           /* multiplicity n */
  RoleGet get;             /* multiplicity 1 */
};

enum AttrType { ATTR_LINE, ATTR_INT, ATTR_STRING, ATTR_BOOL };
struct AttrValue {
  long num;
  const char *str;
};
struct AttrInfo {
  const char *name;
  AttrType type;
  AttrValue (*read)(const Model &, const Obj *);
};

struct ClassInfo {
  const char *name;
  int id;
  int (*resolve)(const Obj *); /* generic classes only */
  const RoleInfo *roles;
  int role_count;
  const AttrInfo *attrs;
  int attr_count;
  Family family;
};

/* Class table access; ids run from 1 to CLASS_COUNT. */
const ClassInfo *class_by_id(int id);
const ClassInfo *find_class(std::string_view name);
const RoleInfo *find_role(const ClassInfo *cls, std::string_view name);
const AttrInfo *find_attribute(const ClassInfo *cls, std::string_view name);
/* The concrete class of an object seen as cls. */
const ClassInfo *class_of(const Obj *obj, const ClassInfo *cls);
/* The class whose id a family's kind names (the family's resolution). */
int class_for_kind(Family family, int kind);

/* Longest id text, without the terminating null. */
constexpr size_t OBJECT_ID_MAX = 32;

class Model {
 public:
  /* Creates the fixed part: application, global scope, the built-in
   * operator functions and the nine built-in types. */
  explicit Model(Diagnostics &diag);
  ~Model();
  Model(const Model &) = delete;
  Model &operator=(const Model &) = delete;

  AppRec *application() { return &app_; }
  const AppRec *application() const { return &app_; }
  ScopeRec *global_scope() const { return app_.global; }
  FunctionRec *builtin_function(int kind) const;
  /* The fixed part's type of that kind (int, unsigned int, long, unsigned
   * long, double, float, long double, char, vararg), or null. */
  TypeRec *builtin_type(int kind) const;

  /* The live object a handle names, or null. */
  Obj *lookup(uint32_t handle) const;
  /* The file of a file number, or null for 0 and unknown numbers. */
  FileRec *file_of(uint32_t number) const {
    return number < files_.size() ? files_[number] : nullptr;
  }
  size_t file_table_size() const { return files_.size(); }

  /* The object id of obj reached as an object of class cls, written into
   * buf (at least OBJECT_ID_MAX + 1 bytes); returns its length. */
  size_t format_id(const Obj *obj, const ClassInfo *cls, char *buf) const;
  /* The same as a new string. */
  std::string object_id(const Obj *obj, const ClassInfo *cls) const;
  /* Parses an id; on success sets obj and cls (the id's class) and returns
   * true.  Ill-formed ids and ids naming no live object of that class are
   * refused alike. */
  bool parse_object_id(std::string_view text, Obj **obj, const ClassInfo **cls) const;

  /* Iteration and reading through the class table. */
  int iterate(const RoleInfo *role, Obj *obj, Visit visit, void *data) const {
    return role->iter(*this, obj, visit, data);
  }
  Obj *get(const RoleInfo *role, Obj *obj) const { return role->get(*this, obj); }
  /* The text written for an object: a constant as written, the type
   * specifier words of a built-in type object in source order; empty for
   * every other object.  Valid while the model does not grow. */
  std::string_view spelling(const Obj *obj) const;
  /* A text of the model's text pool. */
  std::string_view text(uint32_t offset) const { return texts_.view(offset); }
  /* The macro whose replacement text a located object comes from (its
   * origin), or null. */
  const char *expansion_macro(const Obj *obj) const;

  /* A symbol's name, or null for a symbol without one. */
  const char *name_of(const SymbolRec *s) const { return s->name ? texts_.c_str(s->name) : nullptr; }

  /* Text form of an attribute; valid until the next call. */
  const char *attribute_text(const AttrInfo *attr, const Obj *obj) const;

  /* Unique number of this model and its current content, distinguishing
   * models of one process and a model before and after release(). */
  unsigned long serial() const { return serial_; }
  Diagnostics &diagnostics() const { return diag_; }

  /* Returns every object to its pool; the model then holds only its fixed
   * part again.  Called by the destructor too. */
  void release();

 private:
  friend class ModelBuilder;
  Obj *allocate(Family family, int kind);
  void discard(Obj *obj);
  Link *new_link(Obj *obj);
  const char *store_string(std::string_view text);
  void create_fixed_part();

  Diagnostics &diag_;
  unsigned long serial_;
  AppRec app_{};
  Pool pools_[FAM_COUNT];
  Pool links_;
  TextPool texts_;
  /* Index of the symbols by scope, kind and name (see ModelBuilder). */
  std::vector<uintptr_t> symbol_slots_;
  size_t symbol_count_ = 0;
  std::vector<char *> text_chunks_;
  char *text_next_ = nullptr;
  size_t text_left_ = 0;
  std::vector<FileRec *> files_; /* file table; entry 0 is "no file" */
  /* The expansions of macros written in the files: (file, line, number)
   * and the macro's name (text pool), in the order met; the index by
   * packed key is made when first asked. */
  struct Expansion {
    uint32_t file, line, name;
    uint8_t number;
  };
  std::vector<Expansion> expansions_;
  mutable std::unordered_map<uint64_t, uint32_t> expansion_index_;
  mutable size_t expansions_indexed_ = 0;
  FunctionRec *builtin_functions_[FN_BUILTIN_COUNT + 1] = {};
  TypeRec *builtin_types_[TYPE_KIND_COUNT + 1] = {};
  mutable char attr_text_[32] = {};
};

/* The model of a run: created with its fixed part before the first source
 * is analysed, released at the end of the run. */
inline std::unique_ptr<Model> create_model(Diagnostics &diag) { return std::make_unique<Model>(diag); }
inline void release_model(std::unique_ptr<Model> &model) { model.reset(); }

/* Small helpers for the lists of links. */
inline bool list_contains(const List &l, const Obj *obj) {
  for (const Link *k = l.head; k; k = k->next)
    if (k->obj == obj) return true;
  return false;
}
inline Obj *list_first(const List &l) { return l.head ? l.head->obj : nullptr; }

}  // namespace kvx

#endif
