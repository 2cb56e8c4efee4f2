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
  InterruptFunction
};

/* The keyword sets, one per row of the dialect table. */
enum class KeywordSet : uint8_t {
  Standard, KR78, SUN, HP_ANSI, HP, MCC, MCC_STD, GNU, MSC50, MSC0800, IAR
};
constexpr int kKeywordSetCount = 11;

/* Exact, case-sensitive lookup of a word in a set. */
KeywordClass keyword_class(KeywordSet set, std::string_view word);

/* Number of words of a set, and the i-th of them (in table order). */
int keyword_count(KeywordSet set);
std::string_view keyword_at(KeywordSet set, int i);

/* Readable name of a set ("standard", "KR78", ...). */
const char *keyword_set_name(KeywordSet set);

}  // namespace kvx::fe

#endif
