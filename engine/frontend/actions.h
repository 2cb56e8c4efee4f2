/*
 * actions.h - what the parser tells model building, reduction by reduction.
 *
 * The parser calls one method of ParseActions for each construct it reduces.
 * Every construct is passed as an opaque Node: whatever a method returns is
 * handed back, unchanged, to the method of the enclosing construct.  The
 * parser never looks inside a Node; the default methods do nothing and
 * return null, so a subclass overrides only what it records.
 *
 * Order: methods are called bottom-up, in the order the constructs end in
 * the source (an operand before its operator, a declarator before its
 * declaration, the statements of a block before block_end).  A few calls
 * mark a beginning so that scopes can be opened before the contents are
 * read: struct_begin/enum_begin at the '{' of a body, function_begin after
 * the declarator of a function definition, block_begin at a '{'.
 *
 * Texts (names, spellings) are valid only during the call; copy them.
 *
 * Error recovery: when a syntax error makes the parser abandon a construct,
 * no method is called for it; its parts already reported stay reported.  An
 * open block abandoned this way is reported with block_abandoned, so that a
 * scope opened by block_begin (or function_begin) can be closed again.
 *
 * Lists are built with list_append(kind, list, item): the first call of a
 * list receives a null list; the result is the list passed to the next call
 * and finally to the construct owning the list.
 */
#ifndef KVX_FRONTEND_ACTIONS_H
#define KVX_FRONTEND_ACTIONS_H

#include <cstdint>
#include <string_view>

namespace kvx::fe {

using Node = void *;

/* Position of a construct: file (the token source's file index) and line of
 * its first token. */
struct Loc {
  uint32_t file;
  uint32_t line;
  /* the construct's first token comes from a macro's replacement text:
   * the expansion's number on its line (pp::Token::origin), else 0 */
  uint8_t origin = 0;
};

/* Operators, numbered like the model's built-in function kinds. */
enum class Op : uint8_t {
  Add = 1, Mul, Div, Sub, Minus, Mod, Plus, Bnot, Band, Bor, Bxor, Lsh, Rsh, And, Or, Not,
  Le, Lt, Ge, Gt, Eq, Ne, Assign, AddAssign, SubAssign, MulAssign, DivAssign, ModAssign,
  PostInc, PreInc, PostDec, PreDec, BandAssign, BorAssign, BxorAssign, RshAssign, LshAssign,
  Sizeof, Cast, Address, Ref, Ternary, Index, Select, PointerSelect, Call, Sequence,
  CompoundInit, Alignof
};

/* One word (or construct) of the declaration specifiers or of a pointer's
 * qualifier list. */
enum class Specifier : uint8_t {
  Auto,        /* auto, register, std_$call */
  Typedef, Static, Extern,
  Int, Char, Short, Long, Float, Double, Void, Signed, Unsigned,
  SizedInt,    /* __int8 ... __int64, __segment */
  Const, Volatile,
  IgnoredModifier,   /* far, cdecl, inline, ...: carry no meaning */
  InterruptFunction,
  Based,       /* __based( arg ): arg is an expression or a type name */
  TypedefName, /* spelling is the name */
  StructOrUnion, Enum, /* arg: the result of struct_end/struct_reference/enum_... */
  Typeof,      /* typeof( arg ): arg is an expression or a type name */
  Bool,        /* _Bool */
  Complex,     /* _Complex, __complex__ */
  Int128,      /* __int128, __int128_t, __uint128_t (spelling tells) */
  FloatN,      /* _Float16 ... __float128, _DecimalN (spelling tells) */
  VaList,      /* __builtin_va_list */
  AutoType,    /* __auto_type */
  AtomicType,  /* _Atomic( arg ): arg is a type name */
  Alignas      /* _Alignas( arg ): arg is an expression or a type name */
};

enum class TagKind : uint8_t { Struct, Union };
enum class ConstantKind : uint8_t { Integer, Floating, Character };
enum class FunctionForm : uint8_t {
  Empty,      /* f() */
  Prototype,  /* f(int a, char *) */
  OldStyle    /* f(a, b): the names only */
};

enum class ListKind : uint8_t {
  Arguments,        /* call arguments: expressions */
  StringPieces,     /* adjacent string literals */
  InitDeclarators,  /* init_declarator results of one declaration */
  Parameters,       /* parameter results */
  OldStyleNames,    /* old_style_parameter results */
  StructDeclarations, /* struct_declaration results of a body */
  StructDeclarators,  /* struct_declarator results of one member declaration */
  Enumerators,      /* enumerator results */
  Initializers,     /* initializers inside braces */
  BlockItems,       /* declarations and statements of a block, in order */
  OldStyleDeclarations, /* declarations between ')' and '{' of an old-style definition */
  AsmOperands,      /* operands of an asm form */
  BuiltinOperands,  /* operands of a built-in taking types: expressions and type names */
  GenericAssociations /* generic_association results of a _Generic */
};

/* A token as the lexer hands it to the parser. */
struct LexToken {
  int kind = 0;          /* parser token number, 0 at end of input */
  std::string_view text;
  Loc loc{};
  bool first_on_line = false;
};

class ParseActions {
 public:
  virtual ~ParseActions() = default;

  /* Every token read, before the parser acts on it (line bookkeeping). */
  virtual void token(const LexToken &) {}
  /* An attribute (__attribute__((...))) written there, dropped. */
  virtual void attribute(Loc) {}

  virtual Node list_append(ListKind, Node list, Node item) { (void)list; (void)item; return nullptr; }

  /* ---- expressions ---- */
  virtual Node expr_identifier(Loc, std::string_view name, bool macro) { (void)name; (void)macro; return nullptr; }
  virtual Node expr_constant(Loc, ConstantKind, std::string_view spelling) { (void)spelling; return nullptr; }
  /* Adjacent literals arrive as StringPieces list items made by string_piece. */
  virtual Node string_piece(Loc, std::string_view spelling) { (void)spelling; return nullptr; }
  virtual Node expr_string(Loc, Node pieces) { (void)pieces; return nullptr; }
  /* Parenthesised expression: returns the inner one by default. */
  virtual Node expr_paren(Loc, Node inner) { return inner; }
  /* Prefix and postfix operators: Plus Minus Bnot Not Address Ref PreInc
   * PreDec PostInc PostDec Sizeof Alignof (of an expression). */
  virtual Node expr_unary(Loc, Op, Node operand) { (void)operand; return nullptr; }
  /* Binary operators, assignments, Index (a[i]) and Sequence (comma). */
  virtual Node expr_binary(Loc, Op, Node left, Node right) { (void)left; (void)right; return nullptr; }
  virtual Node expr_ternary(Loc, Node cond, Node if_true, Node if_false) { (void)cond; (void)if_true; (void)if_false; return nullptr; }
  virtual Node expr_cast(Loc, Node type_name, Node operand) { (void)type_name; (void)operand; return nullptr; }
  /* sizeof or __alignof__ (op Sizeof or Alignof) of a type name. */
  virtual Node expr_size_of_type(Loc, Op, Node type_name) { (void)type_name; return nullptr; }
  /* args: an Arguments list, null for no arguments. */
  virtual Node expr_call(Loc, Node callee, Node args) { (void)callee; (void)args; return nullptr; }
  /* op: Select (.) or PointerSelect (->). */
  virtual Node expr_member(Loc, Op, Node object, std::string_view member) { (void)object; (void)member; return nullptr; }
  /* The asm form that stands as an operand (HP_ANSI, MCC_STD). */
  virtual Node expr_asm(Loc, Node asm_form) { (void)asm_form; return nullptr; }
  /* A statement expression "({ ... })": block is what block_end returned. */
  virtual Node expr_statement(Loc, Node block) { (void)block; return nullptr; }
  /* A compound literal "(type){ ... }": braced is an initializer_braced result. */
  virtual Node expr_compound_literal(Loc, Node type_name, Node braced) { (void)type_name; (void)braced; return nullptr; }
  /* The address of a label, "&&name". */
  virtual Node expr_label_address(Loc, std::string_view label) { (void)label; return nullptr; }
  /* _Generic(control, associations): a GenericAssociations list. */
  virtual Node expr_generic(Loc, Node control, Node associations) { (void)control; (void)associations; return nullptr; }
  /* One association; type_name null for "default". */
  virtual Node generic_association(Loc, Node type_name, Node expr) { (void)type_name; (void)expr; return nullptr; }
  /* A built-in that takes type names (__builtin_va_arg, __builtin_offsetof,
   * __builtin_types_compatible_p, ...): operands is a BuiltinOperands list
   * of expression and type_name results in source order. */
  virtual Node expr_builtin(Loc, std::string_view name, Node operands) { (void)name; (void)operands; return nullptr; }
  /* A member named in the designator of __builtin_offsetof. */
  virtual Node offsetof_member(Loc, std::string_view member) { (void)member; return nullptr; }

  /* ---- asm ---- */
  /* strings: StringPieces of the template; operands: AsmOperands or null. */
  virtual Node asm_form(Loc, Node strings, Node operands) { (void)strings; (void)operands; return nullptr; }
  /* An operand "constraint" (expression); expr may be null (clobbers). */
  virtual Node asm_operand(Loc, Node constraint, Node expr) { (void)constraint; (void)expr; return nullptr; }
  virtual Node asm_declaration(Loc, Node asm_form) { (void)asm_form; return nullptr; }

  /* ---- declarations ---- */
  /* Appends one specifier to list (null for the first). */
  virtual Node specifier(Loc, Node list, Specifier, std::string_view spelling, Node arg) { (void)list; (void)spelling; (void)arg; return nullptr; }
  /* The complete specifier list of a declaration, parameter or member. */
  virtual Node declaration_specifiers(Loc, Node list) { return list; }
  /* At the '{' of a struct or union body; tag is empty when anonymous. */
  virtual Node struct_begin(Loc, TagKind, std::string_view tag) { (void)tag; return nullptr; }
  /* At its '}': members is a StructDeclarations list (null when empty). */
  virtual Node struct_end(Loc, Node begin, Node members) { (void)begin; (void)members; return nullptr; }
  virtual Node struct_reference(Loc, TagKind, std::string_view tag) { (void)tag; return nullptr; }
  /* One member declarator; declarator null for an unnamed bit-field, width
   * null without ':'. */
  virtual Node struct_declarator(Loc, Node specs, Node declarator, Node width) { (void)specs; (void)declarator; (void)width; return nullptr; }
  /* One member declaration: its specifiers and StructDeclarators list. */
  virtual Node struct_declaration(Loc, Node specs, Node declarators) { (void)specs; (void)declarators; return nullptr; }
  virtual Node enum_begin(Loc, std::string_view tag) { (void)tag; return nullptr; }
  /* An enumerator of the innermost enumeration begun and not yet ended;
   * value null without '='. */
  virtual Node enumerator(Loc, std::string_view name, Node value) { (void)name; (void)value; return nullptr; }
  virtual Node enum_end(Loc, Node begin, Node enumerators) { (void)begin; (void)enumerators; return nullptr; }
  virtual Node enum_reference(Loc, std::string_view tag) { (void)tag; return nullptr; }

  /* Declarators, built from the name outwards.  Abstract declarators (type
   * names, unnamed parameters) use the same calls with inner null. */
  virtual Node declarator_identifier(Loc, std::string_view name, bool macro) { (void)name; (void)macro; return nullptr; }
  /* One '*' with its qualifiers (a list of specifier results, or null);
   * next is the '*' that follows it, or null. */
  virtual Node pointer(Loc, Node qualifiers, Node next) { (void)qualifiers; (void)next; return nullptr; }
  /* A declarator preceded by pointers; inner null for an abstract one. */
  virtual Node declarator_pointer(Loc, Node pointer, Node inner) { (void)pointer; (void)inner; return nullptr; }
  virtual Node declarator_array(Loc, Node inner, Node size) { (void)inner; (void)size; return nullptr; }
  /* params: Parameters or OldStyleNames list, null when empty. */
  virtual Node declarator_function(Loc, Node inner, Node params, FunctionForm, bool ellipsis) { (void)inner; (void)params; (void)ellipsis; return nullptr; }
  /* Parenthesised declarator: returns the inner one by default. */
  virtual Node declarator_paren(Loc, Node inner) { return inner; }
  virtual Node parameter(Loc, Node specs, Node declarator) { (void)specs; (void)declarator; return nullptr; }
  virtual Node old_style_parameter(Loc, std::string_view name) { (void)name; return nullptr; }
  virtual Node type_name(Loc, Node specs, Node abstract_declarator) { (void)specs; (void)abstract_declarator; return nullptr; }
  /* The declarator of a declaration is complete, its initializer not yet
   * read: the declared name is in scope from here. */
  virtual void declarator_entered(Node specs, Node declarator) { (void)specs; (void)declarator; }
  /* One declarator of a declaration, with its initializer or null.  Called
   * once the declarator (and initializer) is complete, before the next. */
  virtual Node init_declarator(Loc, Node specs, Node declarator, Node initializer) { (void)specs; (void)declarator; (void)initializer; return nullptr; }
  /* A complete declaration; init_declarators null for "struct s {...};". */
  virtual Node declaration(Loc, Node specs, Node init_declarators) { (void)specs; (void)init_declarators; return nullptr; }
  /* A braced initializer: its Initializers list (null for "{}"). */
  virtual Node initializer_braced(Loc, Node initializers) { (void)initializers; return nullptr; }
  /* _Static_assert(expr, "message"): a declaration that declares nothing. */
  virtual Node static_assertion(Loc, Node expr) { (void)expr; return nullptr; }

  /* Function definition: begin after the declarator (specs null for an
   * old-style definition without type), end after the body. */
  virtual Node function_begin(Loc, Node specs, Node declarator) { (void)specs; (void)declarator; return nullptr; }
  virtual Node function_end(Loc, Node begin, Node old_style_declarations, Node body) { (void)begin; (void)old_style_declarations; (void)body; return nullptr; }

  /* ---- statements ---- */
  /* function_body: the outermost block of a function definition. */
  virtual Node block_begin(Loc, bool function_body) { (void)function_body; return nullptr; }
  virtual Node block_end(Loc, Node begin, Node items) { (void)begin; (void)items; return nullptr; }
  /* An open block or function definition was abandoned by error recovery
   * (begin is what block_begin or function_begin returned). */
  virtual void block_abandoned(Node begin, bool function) { (void)begin; (void)function; }
  virtual Node stmt_expression(Loc, Node expr) { (void)expr; return nullptr; } /* expr null: ';' */
  virtual Node stmt_if(Loc, Node cond, Node if_true, Node if_false) { (void)cond; (void)if_true; (void)if_false; return nullptr; }
  virtual Node stmt_switch(Loc, Node cond, Node body) { (void)cond; (void)body; return nullptr; }
  virtual Node stmt_while(Loc, Node cond, Node body) { (void)cond; (void)body; return nullptr; }
  virtual Node stmt_do(Loc, Node body, Node cond) { (void)body; (void)cond; return nullptr; }
  virtual Node stmt_for(Loc, Node init, Node cond, Node increment, Node body) { (void)init; (void)cond; (void)increment; (void)body; return nullptr; }
  virtual Node stmt_break(Loc) { return nullptr; }
  virtual Node stmt_continue(Loc) { return nullptr; }
  virtual Node stmt_return(Loc, Node expr) { (void)expr; return nullptr; }
  virtual Node stmt_goto(Loc, std::string_view label) { (void)label; return nullptr; }
  virtual Node stmt_label(Loc, std::string_view label, Node stmt) { (void)label; (void)stmt; return nullptr; }
  virtual Node stmt_case(Loc, Node expr, Node stmt) { (void)expr; (void)stmt; return nullptr; }
  virtual Node stmt_default(Loc, Node stmt) { (void)stmt; return nullptr; }
  /* "case low ... high:" */
  virtual Node stmt_case_range(Loc, Node low, Node high, Node stmt) { (void)low; (void)high; (void)stmt; return nullptr; }
  /* "goto *expr;" */
  virtual Node stmt_goto_computed(Loc, Node expr) { (void)expr; return nullptr; }
  /* A for statement whose first clause is a declaration: for_scope_begin at
   * the start of the declaration (the scope it opens is abandoned like a
   * block on a syntax error), then the declaration's own calls, then
   * stmt_for_declaration with what for_scope_begin returned. */
  virtual Node for_scope_begin(Loc) { return nullptr; }
  virtual Node stmt_for_declaration(Loc, Node scope, Node decl, Node cond, Node increment, Node body) { (void)scope; (void)decl; (void)cond; (void)increment; (void)body; return nullptr; }
  virtual Node stmt_try_except(Loc, Node body, Node filter, Node handler) { (void)body; (void)filter; (void)handler; return nullptr; }
  virtual Node stmt_try_finally(Loc, Node body, Node handler) { (void)body; (void)handler; return nullptr; }
  virtual Node stmt_leave(Loc) { return nullptr; }
  virtual Node stmt_asm(Loc, Node asm_form) { (void)asm_form; return nullptr; }
  /* An external declaration (declaration, function definition or asm) is
   * complete at file level. */
  virtual void external_declaration(Loc, Node decl) { (void)decl; }
};

}  // namespace kvx::fe

#endif
