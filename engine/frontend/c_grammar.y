/*
 * c_grammar.y - the LALR(1) grammar of C with the compiler extensions.
 *
 * Tokens come from the Lexer (keyword classes, typedef names, operators);
 * each reduction that model building records calls one ParseActions method.
 * Syntax errors use the classic yacc recovery: one "syntax error" message,
 * states popped to one that shifts the error token, input discarded until a
 * token can follow, and no new message before three tokens were shifted.
 */
%code top {
#include <cstring>
#pragma GCC diagnostic ignored "-Wunused-but-set-variable"
}

%code requires {
#include "frontend/parser_state.h"
#define YYLLOC_DEFAULT(Cur, Rhs, N)                 \
  do {                                              \
    if (N) (Cur) = YYRHSLOC(Rhs, 1);                \
    else (Cur) = YYRHSLOC(Rhs, 0);                  \
  } while (0)
}

%code {
#include "frontend/lexer.h"

/* Parser stacks start at 150 entries and double; the cap keeps a
 * pathological source from exhausting memory. */
#define YYINITDEPTH 150
#define YYMAXDEPTH (150 * 1024)
#define YYSTACK_USE_ALLOCA 0
/* The overflow message of the yacc tradition. */
#define YY_(Msgid) (std::strcmp((Msgid), "memory exhausted") == 0 ? "yacc stack overflow" : (Msgid))

/* Locations are the parser's standard records: first_line holds the line,
 * first_column the file index and last_line the macro origin of a
 * construct's first token. */
static int kvxfe_lex(KVXFE_STYPE *val, KVXFE_LTYPE *loc, kvx::fe::ParserState *ps) {
  kvx::fe::Loc l;
  int tok = ps->lexer.next(*val, l);
  loc->first_line = static_cast<int>(l.line);
  loc->first_column = loc->last_column = static_cast<int>(l.file);
  loc->last_line = l.origin;
  return tok;
}

static inline kvx::fe::Loc to_loc(const KVXFE_LTYPE &l) {
  return {static_cast<uint32_t>(l.first_column), static_cast<uint32_t>(l.first_line),
          static_cast<uint8_t>(l.last_line)};
}

static void kvxfe_error(KVXFE_LTYPE *, kvx::fe::ParserState *ps, const char *msg) {
  if (std::strcmp(msg, "syntax error") == 0) ps->syntax_errors++;
  ps->lexer.syntax_message(msg);
}

using namespace kvx::fe;
#define A (ps->actions)
#define T(v) (ps->text((v).text))
#define LIST(kind, list, item) A.list_append(ListKind::kind, (list), (item))
/* A form that the dialect does not have is a syntax error at the token
 * that begins it, as it was before the form existed. */
#define ONLY_IF(allowed)                                  \
  do {                                                    \
    if (!(allowed)) {                                     \
      if (!yyerrstatus) {                                 \
        ps->syntax_errors++;                              \
        ps->lexer.syntax_message("syntax error");         \
      }                                                   \
      YYERROR;                                            \
    }                                                     \
  } while (0)
}

%define api.pure full
%define api.prefix {kvxfe_}
%define api.token.prefix {TK_}
%define api.value.type {kvx::fe::SemValue}
%locations
%parse-param {kvx::fe::ParserState *ps}
%lex-param {kvx::fe::ParserState *ps}
/* The grammar has no conflicts apart from the dangling else, which the
 * precedences below settle.  The newer forms are kept conflict-free by
 * their first tokens: a compound literal and a cast share "( type-name )"
 * and differ at '{'; a statement expression is "(" followed by '{', which
 * no expression starts with; a for declaration is told from a for
 * expression by the token after "for (" (a type word or storage class
 * cannot begin an expression); _Atomic before '(' is its own token
 * (ATOMIC_SPEC, chosen by the lexer), as GCC reads it; attributes and
 * __extension__ never reach the parser. */
%expect 0

%token IDENTIFIER MACRO_IDENTIFIER TYPEDEF_NAME CONSTANT STRING_LITERAL ELLIPSIS
%token ASSIGN_OP EQ_OP NE_OP LE_OP GE_OP AND_OP OR_OP INC_OP DEC_OP LEFT_OP RIGHT_OP PTR_OP
%token AUTO TYPEDEF STATIC EXTERN SIZED_INT IGNORED_MOD BASED TRY FINALLY EXCEPT LEAVE
%token SIZEOF ENUM STRUCT UNION IF ELSE WHILE DO FOR SWITCH CASE DEFAULT BREAK CONTINUE
%token RETURN GOTO ASM ASM_OPERAND TYPEOF ALIGNOF INT FLOAT DOUBLE CHAR VOID LONG UNSIGNED
%token SHORT SIGNED CONST VOLATILE INTERRUPT_FN
%token BOOL COMPLEX INT128 FLOATN VA_LIST AUTO_TYPE ATOMIC ATOMIC_SPEC ALIGNAS STATIC_ASSERT
%token GENERIC LOCAL_LABEL REAL_IMAG BUILTIN_VA_ARG BUILTIN_OFFSETOF BUILTIN_TYPES_COMPATIBLE
%token FALLTHROUGH_ATTR

%precedence LOWER_THAN_ELSE
%precedence ELSE

%destructor { ps->close_block(); A.block_abandoned($$.node, false); } block_open
%destructor { ps->close_block(); A.block_abandoned($$.node, true); } function_start
%destructor { ps->names.pop(); } param_open
%destructor { ps->close_block(); A.block_abandoned($$.node, false); } for_open

%start translation_unit

%%

/* After each external declaration the token texts it needed are released
 * (the lookahead's is kept). */
translation_unit
  : %empty
  | translation_unit external_declaration { ps->texts.release(); }
  ;

external_declaration
  : function_definition          { A.external_declaration(to_loc(@1), $1.node); }
  | declaration                  { A.external_declaration(to_loc(@1), $1.node); }
  | asm_form ';'                 { A.external_declaration(to_loc(@1), A.asm_declaration(to_loc(@1), $1.node)); }
  | ASM_OPERAND '(' string_list ')' ';'
      { A.external_declaration(to_loc(@1), A.asm_declaration(to_loc(@1), A.asm_form(to_loc(@1), $3.node, nullptr))); }
  | ';'
  | error ';'
  | error '}'
  ;

/* ---------------------------------------------------------------- expressions */

identifier
  : IDENTIFIER                   { $$ = $1; $$.flags = 0; }
  | MACRO_IDENTIFIER             { $$ = $1; $$.flags = SV_MACRO; }
  ;

member_name
  : identifier
  | TYPEDEF_NAME                 { $$ = $1; $$.flags = 0; }
  ;

string_list
  : STRING_LITERAL               { $$.node = LIST(StringPieces, nullptr, A.string_piece(to_loc(@1), T($1))); }
  | string_list STRING_LITERAL   { $$.node = LIST(StringPieces, $1.node, A.string_piece(to_loc(@2), T($2))); }
  ;

primary_expression
  : identifier                   { $$.node = A.expr_identifier(to_loc(@1), T($1), $1.flags & SV_MACRO); }
  | CONSTANT                     { $$.node = A.expr_constant(to_loc(@1), static_cast<ConstantKind>($1.op), T($1)); }
  | string_list                  { $$.node = A.expr_string(to_loc(@1), $1.node); }
  | '(' expression ')'           { $$.node = A.expr_paren(to_loc(@1), $2.node); }
  | ASM_OPERAND '(' string_list ')'
      { $$.node = A.expr_asm(to_loc(@1), A.asm_form(to_loc(@1), $3.node, nullptr)); }
  | '(' gnu_syntax compound_statement ')' { $$.node = A.expr_statement(to_loc(@1), $3.node); }
  | GENERIC '(' assignment_expression ',' generic_association_list ')'
      { $$.node = A.expr_generic(to_loc(@1), $3.node, $5.node); }
  | BUILTIN_VA_ARG '(' assignment_expression ',' type_name ')'
      { $$.node = A.expr_builtin(to_loc(@1), T($1),
            LIST(BuiltinOperands, LIST(BuiltinOperands, nullptr, $3.node), $5.node)); }
  | BUILTIN_OFFSETOF '(' offsetof_operands ')'
      { $$.node = A.expr_builtin(to_loc(@1), T($1), $3.node); }
  | BUILTIN_TYPES_COMPATIBLE '(' type_name ',' type_name ')'
      { $$.node = A.expr_builtin(to_loc(@1), T($1),
            LIST(BuiltinOperands, LIST(BuiltinOperands, nullptr, $3.node), $5.node)); }
  ;

generic_association_list
  : generic_association          { $$.node = LIST(GenericAssociations, nullptr, $1.node); }
  | generic_association_list ',' generic_association
      { $$.node = LIST(GenericAssociations, $1.node, $3.node); }
  ;

generic_association
  : type_name ':' assignment_expression { $$.node = A.generic_association(to_loc(@1), $1.node, $3.node); }
  | DEFAULT ':' assignment_expression   { $$.node = A.generic_association(to_loc(@1), nullptr, $3.node); }
  ;

/* The operands of __builtin_offsetof: the type, then the pieces of the
 * member designator (member names and index expressions). */
offsetof_operands
  : type_name ',' member_name
      { $$.node = LIST(BuiltinOperands, LIST(BuiltinOperands, nullptr, $1.node),
                       A.offsetof_member(to_loc(@3), T($3))); }
  | offsetof_operands '.' member_name
      { $$.node = LIST(BuiltinOperands, $1.node, A.offsetof_member(to_loc(@3), T($3))); }
  | offsetof_operands '[' expression ']'
      { $$.node = LIST(BuiltinOperands, $1.node, $3.node); }
  ;

postfix_expression
  : primary_expression
  | postfix_expression '[' expression ']'   { $$.node = A.expr_binary(to_loc(@1), Op::Index, $1.node, $3.node); }
  | postfix_expression '(' ')'              { $$.node = A.expr_call(to_loc(@1), $1.node, nullptr); }
  | postfix_expression '(' argument_list ')' { $$.node = A.expr_call(to_loc(@1), $1.node, $3.node); }
  | postfix_expression '.' member_name      { $$.node = A.expr_member(to_loc(@1), Op::Select, $1.node, T($3)); }
  | postfix_expression PTR_OP member_name   { $$.node = A.expr_member(to_loc(@1), Op::PointerSelect, $1.node, T($3)); }
  | postfix_expression INC_OP               { $$.node = A.expr_unary(to_loc(@1), Op::PostInc, $1.node); }
  | postfix_expression DEC_OP               { $$.node = A.expr_unary(to_loc(@1), Op::PostDec, $1.node); }
  | '(' type_name ')' '{' initializer_list_opt '}'
      { $$.node = A.expr_compound_literal(to_loc(@1), $2.node, A.initializer_braced(to_loc(@4), $5.node)); }
  | '(' type_name ')' '{' initializer_list ',' '}'
      { $$.node = A.expr_compound_literal(to_loc(@1), $2.node, A.initializer_braced(to_loc(@4), $5.node)); }
  ;

argument_list
  : assignment_expression                   { $$.node = LIST(Arguments, nullptr, $1.node); }
  | argument_list ',' assignment_expression { $$.node = LIST(Arguments, $1.node, $3.node); }
  ;

unary_expression
  : postfix_expression
  | INC_OP unary_expression      { $$.node = A.expr_unary(to_loc(@1), Op::PreInc, $2.node); }
  | DEC_OP unary_expression      { $$.node = A.expr_unary(to_loc(@1), Op::PreDec, $2.node); }
  | '&' cast_expression          { $$.node = A.expr_unary(to_loc(@1), Op::Address, $2.node); }
  | '*' cast_expression          { $$.node = A.expr_unary(to_loc(@1), Op::Ref, $2.node); }
  | '+' cast_expression          { $$.node = A.expr_unary(to_loc(@1), Op::Plus, $2.node); }
  | '-' cast_expression          { $$.node = A.expr_unary(to_loc(@1), Op::Minus, $2.node); }
  | '~' cast_expression          { $$.node = A.expr_unary(to_loc(@1), Op::Bnot, $2.node); }
  | '!' cast_expression          { $$.node = A.expr_unary(to_loc(@1), Op::Not, $2.node); }
  | SIZEOF unary_expression      { $$.node = A.expr_unary(to_loc(@1), Op::Sizeof, $2.node); }
  | SIZEOF '(' type_name ')'     { $$.node = A.expr_size_of_type(to_loc(@1), Op::Sizeof, $3.node); }
  | ALIGNOF unary_expression     { $$.node = A.expr_unary(to_loc(@1), Op::Alignof, $2.node); }
  | ALIGNOF '(' type_name ')'    { $$.node = A.expr_size_of_type(to_loc(@1), Op::Alignof, $3.node); }
  | gnu_syntax AND_OP identifier { $$.node = A.expr_label_address(to_loc(@2), T($3)); }
  | REAL_IMAG cast_expression    { $$.node = A.expr_member(to_loc(@1), Op::Select, $2.node, T($1)); }
  ;

cast_expression
  : unary_expression
  | '(' type_name ')' cast_expression  { $$.node = A.expr_cast(to_loc(@1), $2.node, $4.node); }
  ;

multiplicative_expression
  : cast_expression
  | multiplicative_expression '*' cast_expression { $$.node = A.expr_binary(to_loc(@1), Op::Mul, $1.node, $3.node); }
  | multiplicative_expression '/' cast_expression { $$.node = A.expr_binary(to_loc(@1), Op::Div, $1.node, $3.node); }
  | multiplicative_expression '%' cast_expression { $$.node = A.expr_binary(to_loc(@1), Op::Mod, $1.node, $3.node); }
  ;

additive_expression
  : multiplicative_expression
  | additive_expression '+' multiplicative_expression { $$.node = A.expr_binary(to_loc(@1), Op::Add, $1.node, $3.node); }
  | additive_expression '-' multiplicative_expression { $$.node = A.expr_binary(to_loc(@1), Op::Sub, $1.node, $3.node); }
  ;

shift_expression
  : additive_expression
  | shift_expression LEFT_OP additive_expression  { $$.node = A.expr_binary(to_loc(@1), Op::Lsh, $1.node, $3.node); }
  | shift_expression RIGHT_OP additive_expression { $$.node = A.expr_binary(to_loc(@1), Op::Rsh, $1.node, $3.node); }
  ;

relational_expression
  : shift_expression
  | relational_expression '<' shift_expression   { $$.node = A.expr_binary(to_loc(@1), Op::Lt, $1.node, $3.node); }
  | relational_expression '>' shift_expression   { $$.node = A.expr_binary(to_loc(@1), Op::Gt, $1.node, $3.node); }
  | relational_expression LE_OP shift_expression { $$.node = A.expr_binary(to_loc(@1), Op::Le, $1.node, $3.node); }
  | relational_expression GE_OP shift_expression { $$.node = A.expr_binary(to_loc(@1), Op::Ge, $1.node, $3.node); }
  ;

equality_expression
  : relational_expression
  | equality_expression EQ_OP relational_expression { $$.node = A.expr_binary(to_loc(@1), Op::Eq, $1.node, $3.node); }
  | equality_expression NE_OP relational_expression { $$.node = A.expr_binary(to_loc(@1), Op::Ne, $1.node, $3.node); }
  ;

and_expression
  : equality_expression
  | and_expression '&' equality_expression { $$.node = A.expr_binary(to_loc(@1), Op::Band, $1.node, $3.node); }
  ;

exclusive_or_expression
  : and_expression
  | exclusive_or_expression '^' and_expression { $$.node = A.expr_binary(to_loc(@1), Op::Bxor, $1.node, $3.node); }
  ;

inclusive_or_expression
  : exclusive_or_expression
  | inclusive_or_expression '|' exclusive_or_expression { $$.node = A.expr_binary(to_loc(@1), Op::Bor, $1.node, $3.node); }
  ;

logical_and_expression
  : inclusive_or_expression
  | logical_and_expression AND_OP inclusive_or_expression { $$.node = A.expr_binary(to_loc(@1), Op::And, $1.node, $3.node); }
  ;

logical_or_expression
  : logical_and_expression
  | logical_or_expression OR_OP logical_and_expression { $$.node = A.expr_binary(to_loc(@1), Op::Or, $1.node, $3.node); }
  ;

conditional_expression
  : logical_or_expression
  | logical_or_expression '?' expression ':' conditional_expression
      { $$.node = A.expr_ternary(to_loc(@1), $1.node, $3.node, $5.node); }
  | logical_or_expression '?' gnu_syntax ':' conditional_expression
      { $$.node = A.expr_ternary(to_loc(@1), $1.node, nullptr, $5.node); }
  ;

assignment_expression
  : conditional_expression
  | unary_expression assignment_operator assignment_expression
      { $$.node = A.expr_binary(to_loc(@1), static_cast<Op>($2.op), $1.node, $3.node); }
  ;

assignment_operator
  : '='                          { $$.op = static_cast<int>(Op::Assign); }
  | ASSIGN_OP                    { $$.op = $1.op; }
  ;

expression
  : assignment_expression
  | expression ',' assignment_expression { $$.node = A.expr_binary(to_loc(@1), Op::Sequence, $1.node, $3.node); }
  ;

expression_opt
  : %empty                       { $$.node = nullptr; }
  | expression
  ;

constant_expression
  : conditional_expression
  ;

/* ---------------------------------------------------------------- asm */

asm_form
  : ASM asm_qualifiers '(' string_list asm_sections ')'
      { $$.node = A.asm_form(to_loc(@1), $4.node, $5.node); }
  ;

asm_qualifiers
  : %empty
  | asm_qualifiers VOLATILE
  | asm_qualifiers IGNORED_MOD
  | asm_qualifiers gnu_syntax GOTO
  ;

asm_sections
  : %empty                       { $$.node = nullptr; }
  | asm_sections ':'             { $$.node = $1.node; }
  | asm_sections ':' asm_operand { $$.node = LIST(AsmOperands, $1.node, $3.node); }
  | asm_sections ',' asm_operand { $$.node = LIST(AsmOperands, $1.node, $3.node); }
  ;

asm_operand
  : string_list                         { $$.node = A.asm_operand(to_loc(@1), $1.node, nullptr); }
  | string_list '(' expression ')'      { $$.node = A.asm_operand(to_loc(@1), $1.node, $3.node); }
  | '[' identifier ']' string_list '(' expression ')'
      { $$.node = A.asm_operand(to_loc(@1), $4.node, $6.node); }
  | gnu_syntax identifier               { $$.node = nullptr; }
  ;

/* An asm label names the declared object for the assembler. */
asm_label_opt
  : %empty
  | gnu_syntax ASM '(' string_list ')'
  ;

/* ---------------------------------------------------------------- declarations */

declaration
  : declaration_specifiers ';'   { $$.node = A.declaration(to_loc(@1), $1.node, nullptr); }
  | init_declarator_head ';'     { $$.node = A.declaration(to_loc(@1), $1.aux, $1.node); }
  | static_assertion
  ;

static_assertion
  : STATIC_ASSERT '(' constant_expression ',' string_list ')' ';'
      { $$.node = A.static_assertion(to_loc(@1), $3.node); }
  | STATIC_ASSERT '(' constant_expression ')' ';'
      { $$.node = A.static_assertion(to_loc(@1), $3.node); }
  ;

/* The specifiers travel with the declarator list so that each declarator
 * can be entered as a typedef or an ordinary name as soon as it is read:
 * a name is in scope from the end of its declarator, before its
 * initializer (in  T *T = malloc(sizeof *T);  the second T is the
 * variable). */
init_declarator_head
  : declaration_specifiers declarator asm_label_opt
      { ps->declare($2.text, $1.flags & SV_TYPEDEF); A.declarator_entered($1.node, $2.node); }
    initializer_opt
      { $$.aux = $1.node; $$.flags = $1.flags;
        $$.node = LIST(InitDeclarators, nullptr, A.init_declarator(to_loc(@2), $1.node, $2.node, $5.node)); }
  | init_declarator_head ',' declarator asm_label_opt
      { ps->declare($3.text, $1.flags & SV_TYPEDEF); A.declarator_entered($1.aux, $3.node); }
    initializer_opt
      { $$.aux = $1.aux; $$.flags = $1.flags;
        $$.node = LIST(InitDeclarators, $1.node, A.init_declarator(to_loc(@3), $1.aux, $3.node, $6.node)); }
  ;

initializer_opt
  : %empty                       { $$.node = nullptr; }
  | '=' initializer              { $$.node = $2.node; }
  ;

declaration_specifiers
  : declaration_specifier_list   { $$.node = A.declaration_specifiers(to_loc(@1), $1.node); $$.flags = $1.flags; }
  ;

declaration_specifier_list
  : declaration_specifier
      { $$.node = A.specifier(to_loc(@1), nullptr, static_cast<Specifier>($1.op), T($1), $1.aux);
        $$.flags = $1.flags; }
  | declaration_specifier_list declaration_specifier
      { $$.node = A.specifier(to_loc(@2), $1.node, static_cast<Specifier>($2.op), T($2), $2.aux);
        $$.flags = $1.flags | $2.flags; }
  ;

/* A single specifier: op holds the Specifier, text the spelling, aux the
 * argument, flags SV_TYPEDEF for the storage class typedef. */
declaration_specifier
  : storage_class_specifier
  | type_specifier               { $$ = $1; $$.flags = 0; }
  | type_qualifier               { $$ = $1; $$.flags = 0; }
  ;

storage_class_specifier
  : AUTO                         { $$ = $1; $$.op = static_cast<int>(Specifier::Auto); $$.flags = 0; $$.aux = nullptr; }
  | TYPEDEF                      { $$ = $1; $$.op = static_cast<int>(Specifier::Typedef); $$.flags = SV_TYPEDEF; $$.aux = nullptr; }
  | STATIC                       { $$ = $1; $$.op = static_cast<int>(Specifier::Static); $$.flags = 0; $$.aux = nullptr; }
  | EXTERN                       { $$ = $1; $$.op = static_cast<int>(Specifier::Extern); $$.flags = 0; $$.aux = nullptr; }
  ;

type_specifier
  : VOID        { $$ = $1; $$.op = static_cast<int>(Specifier::Void); $$.aux = nullptr; }
  | CHAR        { $$ = $1; $$.op = static_cast<int>(Specifier::Char); $$.aux = nullptr; }
  | SHORT       { $$ = $1; $$.op = static_cast<int>(Specifier::Short); $$.aux = nullptr; }
  | INT         { $$ = $1; $$.op = static_cast<int>(Specifier::Int); $$.aux = nullptr; }
  | LONG        { $$ = $1; $$.op = static_cast<int>(Specifier::Long); $$.aux = nullptr; }
  | FLOAT       { $$ = $1; $$.op = static_cast<int>(Specifier::Float); $$.aux = nullptr; }
  | DOUBLE      { $$ = $1; $$.op = static_cast<int>(Specifier::Double); $$.aux = nullptr; }
  | SIGNED      { $$ = $1; $$.op = static_cast<int>(Specifier::Signed); $$.aux = nullptr; }
  | UNSIGNED    { $$ = $1; $$.op = static_cast<int>(Specifier::Unsigned); $$.aux = nullptr; }
  | SIZED_INT   { $$ = $1; $$.op = static_cast<int>(Specifier::SizedInt); $$.aux = nullptr; }
  | BOOL        { $$ = $1; $$.op = static_cast<int>(Specifier::Bool); $$.aux = nullptr; }
  | COMPLEX     { $$ = $1; $$.op = static_cast<int>(Specifier::Complex); $$.aux = nullptr; }
  | INT128      { $$ = $1; $$.op = static_cast<int>(Specifier::Int128); $$.aux = nullptr; }
  | FLOATN      { $$ = $1; $$.op = static_cast<int>(Specifier::FloatN); $$.aux = nullptr; }
  | VA_LIST     { $$ = $1; $$.op = static_cast<int>(Specifier::VaList); $$.aux = nullptr; }
  | AUTO_TYPE   { $$ = $1; $$.op = static_cast<int>(Specifier::AutoType); $$.aux = nullptr; }
  | ATOMIC_SPEC '(' type_name ')' { $$.text = $1.text; $$.op = static_cast<int>(Specifier::AtomicType); $$.aux = $3.node; }
  | TYPEDEF_NAME { $$ = $1; $$.op = static_cast<int>(Specifier::TypedefName); $$.aux = nullptr; }
  | struct_or_union_specifier { $$.text = 0; $$.op = static_cast<int>(Specifier::StructOrUnion); $$.aux = $1.node; }
  | enum_specifier            { $$.text = 0; $$.op = static_cast<int>(Specifier::Enum); $$.aux = $1.node; }
  | TYPEOF '(' expression ')' { $$.text = $1.text; $$.op = static_cast<int>(Specifier::Typeof); $$.aux = $3.node; }
  | TYPEOF '(' type_name ')'  { $$.text = $1.text; $$.op = static_cast<int>(Specifier::Typeof); $$.aux = $3.node; }
  ;

type_qualifier
  : CONST        { $$ = $1; $$.op = static_cast<int>(Specifier::Const); $$.aux = nullptr; }
  | VOLATILE     { $$ = $1; $$.op = static_cast<int>(Specifier::Volatile); $$.aux = nullptr; }
  | IGNORED_MOD  { $$ = $1; $$.op = static_cast<int>(Specifier::IgnoredModifier); $$.aux = nullptr; }
  | INTERRUPT_FN { $$ = $1; $$.op = static_cast<int>(Specifier::InterruptFunction); $$.aux = nullptr; }
  | BASED '(' expression ')'  { $$.text = $1.text; $$.op = static_cast<int>(Specifier::Based); $$.aux = $3.node; }
  | BASED '(' type_name ')'   { $$.text = $1.text; $$.op = static_cast<int>(Specifier::Based); $$.aux = $3.node; }
  | ATOMIC       { $$ = $1; $$.op = static_cast<int>(Specifier::IgnoredModifier); $$.aux = nullptr; }
  | ALIGNAS '(' expression ')' { $$.text = $1.text; $$.op = static_cast<int>(Specifier::Alignas); $$.aux = $3.node; }
  | ALIGNAS '(' type_name ')'  { $$.text = $1.text; $$.op = static_cast<int>(Specifier::Alignas); $$.aux = $3.node; }
  ;

specifier_qualifier_list
  : specifier_qualifier
      { $$.node = A.specifier(to_loc(@1), nullptr, static_cast<Specifier>($1.op), T($1), $1.aux); }
  | specifier_qualifier_list specifier_qualifier
      { $$.node = A.specifier(to_loc(@2), $1.node, static_cast<Specifier>($2.op), T($2), $2.aux); }
  ;

specifier_qualifier
  : type_specifier
  | type_qualifier
  ;

struct_or_union
  : STRUCT                       { $$.op = static_cast<int>(TagKind::Struct); }
  | UNION                        { $$.op = static_cast<int>(TagKind::Union); }
  ;

tag_name
  : identifier
  | TYPEDEF_NAME                 { $$ = $1; $$.flags = 0; }
  ;

struct_head
  : struct_or_union '{'          { $$.node = A.struct_begin(to_loc(@1), static_cast<TagKind>($1.op), {}); }
  | struct_or_union tag_name '{' { $$.node = A.struct_begin(to_loc(@1), static_cast<TagKind>($1.op), T($2)); }
  ;

struct_or_union_specifier
  : struct_head struct_declaration_list '}'        { $$.node = A.struct_end(to_loc(@1), $1.node, $2.node); }
  | struct_head '}'                                { $$.node = A.struct_end(to_loc(@1), $1.node, nullptr); }
  | struct_head struct_declaration_list error '}'  { $$.node = A.struct_end(to_loc(@1), $1.node, $2.node); }
  | struct_or_union tag_name     { $$.node = A.struct_reference(to_loc(@1), static_cast<TagKind>($1.op), T($2)); }
  ;

struct_declaration_list
  : struct_declaration                         { $$.node = LIST(StructDeclarations, nullptr, $1.node); }
  | struct_declaration_list struct_declaration { $$.node = LIST(StructDeclarations, $1.node, $2.node); }
  ;

struct_declaration
  : struct_declarator_head ';'   { $$.node = A.struct_declaration(to_loc(@1), $1.aux, $1.node); }
  | struct_specifiers ';'        { $$.node = A.struct_declaration(to_loc(@1), $1.node, nullptr); }
  | static_assertion             { $$.node = nullptr; }
  | gnu_syntax ';'               { $$.node = nullptr; }
  | error ';'                    { $$.node = nullptr; }
  ;

struct_specifiers
  : specifier_qualifier_list     { $$.node = A.declaration_specifiers(to_loc(@1), $1.node); }
  ;

struct_declarator_head
  : struct_specifiers struct_declarator
      { $$.aux = $1.node;
        $$.node = LIST(StructDeclarators, nullptr, A.struct_declarator(to_loc(@2), $1.node, $2.node, $2.aux)); }
  | struct_declarator_head ',' struct_declarator
      { $$.aux = $1.aux;
        $$.node = LIST(StructDeclarators, $1.node, A.struct_declarator(to_loc(@3), $1.aux, $3.node, $3.aux)); }
  ;

struct_declarator
  : declarator                           { $$ = $1; $$.aux = nullptr; }
  | ':' constant_expression              { $$.node = nullptr; $$.text = 0; $$.aux = $2.node; }
  | declarator ':' constant_expression   { $$ = $1; $$.aux = $3.node; }
  ;

enum_head
  : ENUM '{'                     { $$.node = A.enum_begin(to_loc(@1), {}); }
  | ENUM tag_name '{'            { $$.node = A.enum_begin(to_loc(@1), T($2)); }
  ;

enum_specifier
  : enum_head enumerator_list '}'      { $$.node = A.enum_end(to_loc(@1), $1.node, $2.node); }
  | enum_head enumerator_list ',' '}'  { $$.node = A.enum_end(to_loc(@1), $1.node, $2.node); }
  | enum_head enumerator_list error '}' { $$.node = A.enum_end(to_loc(@1), $1.node, $2.node); }
  | ENUM tag_name                      { $$.node = A.enum_reference(to_loc(@1), T($2)); }
  ;

enumerator_list
  : enumerator                         { $$.node = LIST(Enumerators, nullptr, $1.node); }
  | enumerator_list ',' enumerator     { $$.node = LIST(Enumerators, $1.node, $3.node); }
  ;

/* Enumerator names are ordinary names of the level. */
enumerator
  : identifier
      { ps->declare($1.text, false); $$.node = A.enumerator(to_loc(@1), T($1), nullptr); }
  | identifier '=' constant_expression
      { ps->declare($1.text, false); $$.node = A.enumerator(to_loc(@1), T($1), $3.node); }
  ;

declarator
  : direct_declarator
  | pointer direct_declarator
      { $$ = $2; $$.node = A.declarator_pointer(to_loc(@1), $1.node, $2.node);
        if ($2.flags & SV_PLAIN_NAME) $$.flags &= ~SV_FUNCTION;
        $$.flags &= ~SV_PLAIN_NAME; }
  ;

direct_declarator
  : identifier
      { $$.node = A.declarator_identifier(to_loc(@1), T($1), $1.flags & SV_MACRO);
        $$.text = $1.text; $$.flags = SV_PLAIN_NAME; }
  | '(' declarator ')'
      { $$ = $2; $$.node = A.declarator_paren(to_loc(@1), $2.node); }
  | direct_declarator array_bracket
      { $$ = $1; $$.node = A.declarator_array(to_loc(@1), $1.node, $2.node);
        if ($1.flags & SV_PLAIN_NAME) $$.flags &= ~SV_FUNCTION;
        $$.flags &= ~SV_PLAIN_NAME; }
  | direct_declarator param_open parameter_type_list ')'
      { (void)$2; ps->close_prototype($1.flags & SV_PLAIN_NAME);
        $$ = $1;
        $$.node = A.declarator_function(to_loc(@1), $1.node, $3.node, FunctionForm::Prototype, $3.flags & SV_ELLIPSIS);
        if ($1.flags & SV_PLAIN_NAME) $$.flags |= SV_FUNCTION;
        $$.flags &= ~SV_PLAIN_NAME; }
  | direct_declarator param_open identifier_list ')'
      { (void)$2; ps->close_prototype($1.flags & SV_PLAIN_NAME);
        $$ = $1;
        $$.node = A.declarator_function(to_loc(@1), $1.node, $3.node, FunctionForm::OldStyle, false);
        if ($1.flags & SV_PLAIN_NAME) $$.flags |= SV_FUNCTION;
        $$.flags &= ~SV_PLAIN_NAME; }
  | direct_declarator param_open ')'
      { (void)$2; ps->close_prototype($1.flags & SV_PLAIN_NAME);
        $$ = $1;
        $$.node = A.declarator_function(to_loc(@1), $1.node, nullptr, FunctionForm::Empty, false);
        if ($1.flags & SV_PLAIN_NAME) $$.flags |= SV_FUNCTION;
        $$.flags &= ~SV_PLAIN_NAME; }
  ;

/* The brackets of an array declarator: node is the size, null when none.
 * Parameters may qualify the pointer that the array becomes ("[const 4]",
 * "[static 4]") or leave a variable length unspecified ("[*]"). */
array_bracket
  : '[' ']'                                            { $$.node = nullptr; }
  | '[' constant_expression ']'                        { $$.node = $2.node; }
  | '[' '*' c99_syntax ']'                             { $$.node = nullptr; }
  | '[' c99_syntax type_qualifier_list ']'             { $$.node = nullptr; }
  | '[' c99_syntax type_qualifier_list constant_expression ']' { $$.node = $4.node; }
  | '[' c99_syntax STATIC constant_expression ']'      { $$.node = $4.node; }
  | '[' c99_syntax STATIC type_qualifier_list constant_expression ']' { $$.node = $5.node; }
  | '[' c99_syntax type_qualifier_list STATIC constant_expression ']' { $$.node = $5.node; }
  ;

/* Markers of the forms of GNU C and of C99: empty, they refuse the form in
 * the dialects without it. */
gnu_syntax
  : %empty                       { ONLY_IF(ps->gnu()); }
  ;

c99_syntax
  : %empty                       { ONLY_IF(ps->ctx.dialect.c99); }
  ;

/* The '(' of a parameter list opens a level for the parameter names. */
param_open
  : '('                          { ps->open_prototype(); $$.node = nullptr; }
  ;

pointer
  : '*'                                  { $$.node = A.pointer(to_loc(@1), nullptr, nullptr); }
  | '*' type_qualifier_list              { $$.node = A.pointer(to_loc(@1), $2.node, nullptr); }
  | '*' pointer                          { $$.node = A.pointer(to_loc(@1), nullptr, $2.node); }
  | '*' type_qualifier_list pointer      { $$.node = A.pointer(to_loc(@1), $2.node, $3.node); }
  ;

type_qualifier_list
  : type_qualifier
      { $$.node = A.specifier(to_loc(@1), nullptr, static_cast<Specifier>($1.op), T($1), $1.aux); }
  | type_qualifier_list type_qualifier
      { $$.node = A.specifier(to_loc(@2), $1.node, static_cast<Specifier>($2.op), T($2), $2.aux); }
  ;

parameter_type_list
  : parameter_list               { $$ = $1; $$.flags = 0; }
  | parameter_list ',' ELLIPSIS  { $$ = $1; $$.flags = SV_ELLIPSIS; }
  ;

parameter_list
  : parameter_declaration                     { $$.node = LIST(Parameters, nullptr, $1.node); }
  | parameter_list ',' parameter_declaration  { $$.node = LIST(Parameters, $1.node, $3.node); }
  ;

parameter_declaration
  : declaration_specifiers declarator
      { ps->declare($2.text, $1.flags & SV_TYPEDEF); $$.node = A.parameter(to_loc(@1), $1.node, $2.node); }
  | declaration_specifiers abstract_declarator { $$.node = A.parameter(to_loc(@1), $1.node, $2.node); }
  | declaration_specifiers                     { $$.node = A.parameter(to_loc(@1), $1.node, nullptr); }
  ;

identifier_list
  : identifier
      { ps->declare($1.text, false); $$.node = LIST(OldStyleNames, nullptr, A.old_style_parameter(to_loc(@1), T($1))); }
  | identifier_list ',' identifier
      { ps->declare($3.text, false); $$.node = LIST(OldStyleNames, $1.node, A.old_style_parameter(to_loc(@3), T($3))); }
  ;

type_name
  : specifier_qualifier_list
      { $$.node = A.type_name(to_loc(@1), A.declaration_specifiers(to_loc(@1), $1.node), nullptr); }
  | specifier_qualifier_list abstract_declarator
      { $$.node = A.type_name(to_loc(@1), A.declaration_specifiers(to_loc(@1), $1.node), $2.node); }
  ;

abstract_declarator
  : pointer                            { $$.node = A.declarator_pointer(to_loc(@1), $1.node, nullptr); }
  | direct_abstract_declarator
  | pointer direct_abstract_declarator { $$.node = A.declarator_pointer(to_loc(@1), $1.node, $2.node); }
  ;

direct_abstract_declarator
  : '(' abstract_declarator ')'        { $$.node = A.declarator_paren(to_loc(@1), $2.node); }
  | array_bracket                      { $$.node = A.declarator_array(to_loc(@1), nullptr, $1.node); }
  | direct_abstract_declarator array_bracket
      { $$.node = A.declarator_array(to_loc(@1), $1.node, $2.node); }
  | param_open ')'
      { (void)$1; ps->close_prototype(false);
        $$.node = A.declarator_function(to_loc(@1), nullptr, nullptr, FunctionForm::Empty, false); }
  | param_open parameter_type_list ')'
      { (void)$1; ps->close_prototype(false);
        $$.node = A.declarator_function(to_loc(@1), nullptr, $2.node, FunctionForm::Prototype, $2.flags & SV_ELLIPSIS); }
  | direct_abstract_declarator param_open ')'
      { (void)$2; ps->close_prototype(false);
        $$.node = A.declarator_function(to_loc(@1), $1.node, nullptr, FunctionForm::Empty, false); }
  | direct_abstract_declarator param_open parameter_type_list ')'
      { (void)$2; ps->close_prototype(false);
        $$.node = A.declarator_function(to_loc(@1), $1.node, $3.node, FunctionForm::Prototype, $3.flags & SV_ELLIPSIS); }
  ;

initializer
  : assignment_expression
  | '{' '}'                          { $$.node = A.initializer_braced(to_loc(@1), nullptr); }
  | '{' initializer_list '}'         { $$.node = A.initializer_braced(to_loc(@1), $2.node); }
  | '{' initializer_list ',' '}'     { $$.node = A.initializer_braced(to_loc(@1), $2.node); }
  ;

initializer_list_opt
  : %empty                           { $$.node = nullptr; }
  | initializer_list
  ;

initializer_list
  : designated_initializer           { $$.node = LIST(Initializers, nullptr, $1.node); }
  | initializer_list ',' designated_initializer { $$.node = LIST(Initializers, $1.node, $3.node); }
  ;

/* Designators name the element or member an initializer is for; the
 * initializer itself is what the list holds. */
designated_initializer
  : initializer
  | designator_list '=' initializer  { $$ = $3; }
  | array_designator gnu_syntax initializer { $$ = $3; }
  ;

designator_list
  : designator
  | designator_list designator
  ;

designator
  : array_designator
  | '.' member_name
  ;

array_designator
  : '[' constant_expression ']'
  | '[' constant_expression gnu_syntax ELLIPSIS constant_expression ']'
  ;

/* ---------------------------------------------------------------- functions */

function_definition
  : function_start old_style_declarations function_body
      { ps->close_block(); $$.node = A.function_end(to_loc(@1), $1.node, $2.node, $3.node); }
  ;

/* After the declarator: the function's level opens with its parameters.
 * A definition needs a function declarator; anything else is a syntax
 * error at the token after the declarator. */
function_start
  : declaration_specifiers declarator
      { if (!($2.flags & SV_FUNCTION)) {
          if (!yyerrstatus) {
            ps->syntax_errors++;
            ps->lexer.syntax_message("syntax error");
          }
          YYERROR;
        }
        ps->declare($2.text, $1.flags & SV_TYPEDEF);
        if (!ps->open_function(to_loc(@1))) YYABORT;
        $$.node = A.function_begin(to_loc(@1), $1.node, $2.node); }
  | declarator
      { if (!($1.flags & SV_FUNCTION)) {
          if (!yyerrstatus) {
            ps->syntax_errors++;
            ps->lexer.syntax_message("syntax error");
          }
          YYERROR;
        }
        ps->declare($1.text, false);
        if (!ps->open_function(to_loc(@1))) YYABORT;
        $$.node = A.function_begin(to_loc(@1), nullptr, $1.node); }
  ;

old_style_declarations
  : %empty                                   { $$.node = nullptr; }
  | old_style_declarations declaration       { $$.node = LIST(OldStyleDeclarations, $1.node, $2.node); }
  ;

function_body
  : function_lbrace block_items '}'          { $$.node = A.block_end(to_loc(@1), $1.node, $2.node); }
  | function_lbrace block_items error '}'    { $$.node = A.block_end(to_loc(@1), $1.node, $2.node); }
  ;

function_lbrace
  : '{'                          { $$.node = A.block_begin(to_loc(@1), true); }
  ;

/* ---------------------------------------------------------------- statements */

statement
  : labeled_statement
  | compound_statement
  | expression_statement
  | selection_statement
  | iteration_statement
  | jump_statement
  | exception_statement
  | asm_form ';'                 { $$.node = A.stmt_asm(to_loc(@1), $1.node); }
  /* __attribute__((fallthrough)); (GNU): a statement whose expression is
   * the attribute, spelt as a string constant (as an asm template) */
  | FALLTHROUGH_ATTR ';'
      { $$.node = A.stmt_expression(to_loc(@1), A.expr_string(to_loc(@1),
          LIST(StringPieces, nullptr, A.string_piece(to_loc(@1), T($1))))); }
  | error ';'                    { $$.node = nullptr; }
  ;

/* Local labels of a block: the label names are those of the function. */
local_label_declaration
  : LOCAL_LABEL local_label_names ';'
  ;

local_label_names
  : identifier
  | local_label_names ',' identifier
  ;

labeled_statement
  : identifier ':' statement     { $$.node = A.stmt_label(to_loc(@1), T($1), $3.node); }
  | CASE constant_expression ':' statement { $$.node = A.stmt_case(to_loc(@1), $2.node, $4.node); }
  | CASE constant_expression gnu_syntax ELLIPSIS constant_expression ':' statement
      { $$.node = A.stmt_case_range(to_loc(@1), $2.node, $5.node, $7.node); }
  | DEFAULT ':' statement        { $$.node = A.stmt_default(to_loc(@1), $3.node); }
  ;

compound_statement
  : block_open block_items '}'
      { ps->close_block(); $$.node = A.block_end(to_loc(@1), $1.node, $2.node); }
  | block_open block_items error '}'
      { ps->close_block(); $$.node = A.block_end(to_loc(@1), $1.node, $2.node); }
  ;

block_open
  : '{'
      { if (!ps->open_block(to_loc(@1))) YYABORT;
        $$.node = A.block_begin(to_loc(@1), false); }
  ;

block_items
  : %empty                       { $$.node = nullptr; }
  | block_items declaration      { $$.node = LIST(BlockItems, $1.node, $2.node); }
  | block_items statement        { $$.node = LIST(BlockItems, $1.node, $2.node); }
  | block_items local_label_declaration { $$.node = $1.node; }
  ;

expression_statement
  : ';'                          { $$.node = A.stmt_expression(to_loc(@1), nullptr); }
  | expression ';'               { $$.node = A.stmt_expression(to_loc(@1), $1.node); }
  ;

selection_statement
  : IF '(' expression ')' statement %prec LOWER_THAN_ELSE
      { $$.node = A.stmt_if(to_loc(@1), $3.node, $5.node, nullptr); }
  | IF '(' expression ')' statement ELSE statement
      { $$.node = A.stmt_if(to_loc(@1), $3.node, $5.node, $7.node); }
  | SWITCH '(' expression ')' statement
      { $$.node = A.stmt_switch(to_loc(@1), $3.node, $5.node); }
  ;

iteration_statement
  : WHILE '(' expression ')' statement
      { $$.node = A.stmt_while(to_loc(@1), $3.node, $5.node); }
  | DO statement WHILE '(' expression ')' ';'
      { $$.node = A.stmt_do(to_loc(@1), $2.node, $5.node); }
  | FOR '(' expression_opt ';' expression_opt ';' expression_opt ')' statement
      { $$.node = A.stmt_for(to_loc(@1), $3.node, $5.node, $7.node, $9.node); }
  | FOR '(' for_open declaration expression_opt ';' expression_opt ')' statement
      { ps->close_block(); $$.node = A.stmt_for_declaration(to_loc(@1), $3.node, $4.node, $5.node, $7.node, $9.node); }
  ;

/* A declaration in the first clause of a for statement opens a scope of
 * its own around the statement. */
for_open
  : %empty
      { if (!ps->open_block(to_loc(@$))) YYABORT;
        $$.node = A.for_scope_begin(to_loc(@$)); }
  ;

jump_statement
  : GOTO identifier ';'          { $$.node = A.stmt_goto(to_loc(@1), T($2)); }
  | GOTO gnu_syntax '*' expression ';' { $$.node = A.stmt_goto_computed(to_loc(@1), $4.node); }
  | CONTINUE ';'                 { $$.node = A.stmt_continue(to_loc(@1)); }
  | BREAK ';'                    { $$.node = A.stmt_break(to_loc(@1)); }
  | RETURN ';'                   { $$.node = A.stmt_return(to_loc(@1), nullptr); }
  | RETURN expression ';'        { $$.node = A.stmt_return(to_loc(@1), $2.node); }
  ;

exception_statement
  : TRY compound_statement EXCEPT '(' expression ')' compound_statement
      { $$.node = A.stmt_try_except(to_loc(@1), $2.node, $5.node, $7.node); }
  | TRY compound_statement FINALLY compound_statement
      { $$.node = A.stmt_try_finally(to_loc(@1), $2.node, $4.node); }
  | LEAVE ';'                    { $$.node = A.stmt_leave(to_loc(@1)); }
  ;

%%

namespace kvx::fe {

int run_grammar(ParserState &ps) { return kvxfe_parse(&ps); }

}  // namespace kvx::fe
