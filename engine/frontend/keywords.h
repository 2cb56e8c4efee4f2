/*
 * keywords.h - keyword classes and the keyword sets of the compiler dialects.
 *
 * Every keyword of every dialect maps to one class; the grammar is written in
 * terms of classes, so all words of a class behave alike.  A word that is not
 * in the selected set is an ordinary identifier.
 */
#ifndef KVX_FRONTEND_KEYWORDS_H
#define KVX_FRONTEND_KEYWORDS_H

#include <cstdint>
#include <string_view>

namespace kvx::fe {

enum class KeywordClass : uint8_t {
  None,            /* not a keyword of the set */
  AutoStorage,     /* auto register std_$call */
  Typedef,
  Static,
  Extern,
  SizedInt,        /* __int8 ... __int64, __segment */
  IgnoredModifier, /* cdecl, far, near, inline, ... */
  Based,
  Try,
  Finally,
  Except,
  Leave,
  Sizeof,
  Enum,
  Struct,
  Union,
  If,
  Else,
  While,
  Do,
  For,
  Switch,
  Case,
  Default,
  Break,
  Continue,
  Return,
  Goto,
  Asm,             /* asm statement / external declaration */
  AsmOperand,      /* asm where an expression operand may stand */
  Typeof,          /* typeof, __typeof__, __segname */
  Alignof,
  Int,
  Float,
  Double,
  Char,
  Void,
  Long,
  Unsigned,
  Short,
  Signed,
  Const,
  Volatile,
  InterruptFunction,
  /* C99, C11 and GNU C */
  Bool,            /* _Bool */
  Complex,         /* _Complex, _Imaginary, __complex__ */
  Int128,          /* __int128, __int128_t, __uint128_t */
  FloatN,          /* _Float16 ... _Float128, __float128, __float80, _DecimalN */
  VaList,          /* __builtin_va_list */
  AutoType,        /* __auto_type */
  Atomic,          /* _Atomic: qualifier, or specifier before '(' */
  Alignas,         /* _Alignas( type or expression ) */
  StaticAssert,    /* _Static_assert */
  Generic,         /* _Generic */
  Attribute,       /* __attribute__((...)): dropped by the lexer */
  Extension,       /* __extension__: dropped by the lexer */
  LocalLabel,      /* __label__ */
  RealImag,        /* __real__, __imag__ */
  BuiltinVaArg,    /* __builtin_va_arg( expression, type ) and its kin */
  BuiltinOffsetof, /* __builtin_offsetof( type, member designator ) */
  BuiltinTypesCompatible /* __builtin_types_compatible_p( type, type ) */
};

/* The keyword sets, one per row of the dialect table. */
enum class KeywordSet : uint8_t {
  Standard, KR78, SUN, HP_ANSI, HP, MCC, MCC_STD, GNU, MSC50, MSC0800, IAR, C99, C11
};
constexpr int kKeywordSetCount = 13;

/* Exact, case-sensitive lookup of a word in a set. */
KeywordClass keyword_class(KeywordSet set, std::string_view word);

/* Number of words of a set, and the i-th of them (in table order). */
int keyword_count(KeywordSet set);
std::string_view keyword_at(KeywordSet set, int i);

/* Readable name of a set ("standard", "KR78", ...). */
const char *keyword_set_name(KeywordSet set);

}  // namespace kvx::fe

#endif
