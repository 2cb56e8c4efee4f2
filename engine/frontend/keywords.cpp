/*
 * keywords.cpp - the keyword table of all dialects.
 *
 * One table holds every spelling with the sets it belongs to.  A word may
 * appear twice when its class differs between dialects (asm, interrupt); the
 * set masks of such rows never overlap.  The table is sorted once and looked
 * up by binary search.
 */
#include "frontend/keywords.h"

#include <algorithm>
#include <vector>

namespace kvx::fe {

namespace {

using K = KeywordClass;

constexpr uint32_t bit(KeywordSet s) { return 1u << static_cast<int>(s); }

constexpr uint32_t STD = bit(KeywordSet::Standard) | bit(KeywordSet::MCC);
constexpr uint32_t KR = bit(KeywordSet::KR78) | bit(KeywordSet::HP);
constexpr uint32_t SUN = bit(KeywordSet::SUN);
constexpr uint32_t HPA = bit(KeywordSet::HP_ANSI);
constexpr uint32_t MCS = bit(KeywordSet::MCC_STD);
constexpr uint32_t GNU = bit(KeywordSet::GNU);
constexpr uint32_t M50 = bit(KeywordSet::MSC50);
constexpr uint32_t M08 = bit(KeywordSet::MSC0800);
constexpr uint32_t IAR = bit(KeywordSet::IAR);
constexpr uint32_t C99 = bit(KeywordSet::C99);
constexpr uint32_t C11 = bit(KeywordSet::C11);
constexpr uint32_t ALL = STD | KR | SUN | HPA | MCS | GNU | M50 | M08 | IAR | C99 | C11;
/* Words of a standard level, and the GNU C set that has them all. */
constexpr uint32_t FROM_C99 = C99 | C11 | GNU;
constexpr uint32_t FROM_C11 = C11 | GNU;
/* The qualifier words that the traditional sets lack. */
constexpr uint32_t ANSI_ONLY = ALL & ~(KR | SUN | MCS);
constexpr uint32_t MSC = M50 | M08;

struct Row {
  std::string_view word;
  uint32_t sets;
  KeywordClass cls;
};

const Row kRows[] = {
    /* the standard set */
    {"asm", ALL & ~(MSC | HPA | MCS), K::Asm},
    {"asm", HPA | MCS, K::AsmOperand},
    {"auto", ALL, K::AutoStorage},
    {"break", ALL, K::Break},
    {"case", ALL, K::Case},
    {"char", ALL, K::Char},
    {"const", ANSI_ONLY, K::Const},
    {"continue", ALL, K::Continue},
    {"default", ALL, K::Default},
    {"do", ALL, K::Do},
    {"double", ALL, K::Double},
    {"else", ALL, K::Else},
    {"enum", ALL, K::Enum},
    {"extern", ALL, K::Extern},
    {"float", ALL, K::Float},
    {"for", ALL, K::For},
    {"goto", ALL, K::Goto},
    {"if", ALL, K::If},
    {"int", ALL, K::Int},
    {"long", ALL, K::Long},
    {"register", ALL, K::AutoStorage},
    {"return", ALL, K::Return},
    {"short", ALL, K::Short},
    {"signed", ANSI_ONLY, K::Signed},
    {"sizeof", ALL, K::Sizeof},
    {"static", ALL, K::Static},
    {"struct", ALL, K::Struct},
    {"switch", ALL, K::Switch},
    {"typedef", ALL, K::Typedef},
    {"union", ALL, K::Union},
    {"unsigned", ALL, K::Unsigned},
    {"void", ALL, K::Void},
    {"volatile", ANSI_ONLY, K::Volatile},
    {"while", ALL, K::While},
    /* SUN */
    {"std_$call", SUN, K::AutoStorage},
    /* HP_ANSI, MCC_STD, GNU */
    {"inline", HPA | MCS | FROM_C99, K::IgnoredModifier},
    {"interrupt", HPA | MCS, K::IgnoredModifier},
    {"interrupt", IAR, K::InterruptFunction},
    {"packed", HPA | MCS, K::IgnoredModifier},
    {"unpacked", HPA | MCS, K::IgnoredModifier},
    {"typeof", HPA | MCS | GNU, K::Typeof},
    /* GNU */
    {"__alignof__", GNU, K::Alignof},
    {"__asm__", GNU, K::Asm},
    {"__const__", GNU, K::Const},
    {"__inline__", GNU, K::IgnoredModifier},
    {"__signed__", GNU, K::Signed},
    {"__typeof__", GNU, K::Typeof},
    {"__volatile__", GNU, K::Volatile},
    /* C99 */
    {"_Bool", FROM_C99, K::Bool},
    {"_Complex", FROM_C99, K::Complex},
    {"_Imaginary", C99 | C11, K::Complex},
    {"restrict", FROM_C99, K::IgnoredModifier},
    /* C11 */
    {"_Alignas", FROM_C11, K::Alignas},
    {"_Alignof", FROM_C11, K::Alignof},
    {"_Atomic", FROM_C11, K::Atomic},
    {"_Generic", FROM_C11, K::Generic},
    {"_Noreturn", FROM_C11, K::IgnoredModifier},
    {"_Static_assert", FROM_C11, K::StaticAssert},
    {"_Thread_local", FROM_C11, K::IgnoredModifier},
    /* GNU C (gnu11, gnu17): the alternate spellings and the extensions */
    {"__alignof", GNU, K::Alignof},
    {"__asm", GNU, K::Asm},
    {"__attribute", GNU, K::Attribute},
    {"__attribute__", GNU, K::Attribute},
    {"__auto_type", GNU, K::AutoType},
    {"__builtin_convertvector", GNU, K::BuiltinVaArg},
    {"__builtin_offsetof", GNU, K::BuiltinOffsetof},
    {"__builtin_types_compatible_p", GNU, K::BuiltinTypesCompatible},
    {"__builtin_va_arg", GNU, K::BuiltinVaArg},
    {"__builtin_va_list", GNU, K::VaList},
    {"__complex", GNU, K::Complex},
    {"__complex__", GNU, K::Complex},
    {"__const", GNU, K::Const},
    {"__extension__", GNU, K::Extension},
    {"__float128", GNU, K::FloatN},
    {"__float80", GNU, K::FloatN},
    {"_Decimal128", GNU, K::FloatN},
    {"_Decimal32", GNU, K::FloatN},
    {"_Decimal64", GNU, K::FloatN},
    {"_Float128", GNU, K::FloatN},
    {"_Float16", GNU, K::FloatN},
    {"_Float32", GNU, K::FloatN},
    {"_Float32x", GNU, K::FloatN},
    {"_Float64", GNU, K::FloatN},
    {"_Float64x", GNU, K::FloatN},
    {"__imag", GNU, K::RealImag},
    {"__imag__", GNU, K::RealImag},
    {"__inline", GNU, K::IgnoredModifier},
    {"__int128", GNU, K::Int128},
    {"__int128_t", GNU, K::Int128},
    {"__uint128_t", GNU, K::Int128},
    {"__label__", GNU, K::LocalLabel},
    {"__real", GNU, K::RealImag},
    {"__real__", GNU, K::RealImag},
    {"__restrict", GNU, K::IgnoredModifier},
    {"__restrict__", GNU, K::IgnoredModifier},
    {"__signed", GNU, K::Signed},
    {"__thread", GNU, K::IgnoredModifier},
    {"__typeof", GNU, K::Typeof},
    {"__volatile", GNU, K::Volatile},
    /* both MSC groups */
    {"cdecl", MSC, K::IgnoredModifier},
    {"__cdecl", MSC, K::IgnoredModifier},
    {"_cdecl", MSC, K::IgnoredModifier},
    {"__based", MSC, K::Based},
    {"_based", MSC, K::Based},
    {"__fastcall", MSC, K::IgnoredModifier},
    {"_fastcall", MSC, K::IgnoredModifier},
    {"__inline", MSC, K::IgnoredModifier}, /* GNU has it too, above */
    {"_inline", MSC, K::IgnoredModifier},
    /* MSC50 group */
    {"__except", M50, K::Except},
    {"_except", M50, K::Except},
    {"__finally", M50, K::Finally},
    {"_finally", M50, K::Finally},
    {"__int8", M50, K::SizedInt},
    {"_int8", M50, K::SizedInt},
    {"__int16", M50, K::SizedInt},
    {"_int16", M50, K::SizedInt},
    {"__int32", M50, K::SizedInt},
    {"_int32", M50, K::SizedInt},
    {"__int64", M50, K::SizedInt},
    {"_int64", M50, K::SizedInt},
    {"__leave", M50, K::Leave},
    {"_leave", M50, K::Leave},
    {"__stdcall", M50, K::IgnoredModifier},
    {"_stdcall", M50, K::IgnoredModifier},
    {"__try", M50, K::Try},
    {"_try", M50, K::Try},
    /* MSC0800 group */
    {"far", M08 | IAR, K::IgnoredModifier},
    {"huge", M08 | IAR, K::IgnoredModifier},
    {"near", M08 | IAR, K::IgnoredModifier},
    {"__export", M08, K::IgnoredModifier},
    {"_export", M08, K::IgnoredModifier},
    {"__far", M08, K::IgnoredModifier},
    {"_far", M08, K::IgnoredModifier},
    {"__fortran", M08, K::IgnoredModifier},
    {"_fortran", M08, K::IgnoredModifier},
    {"__huge", M08, K::IgnoredModifier},
    {"_huge", M08, K::IgnoredModifier},
    {"__interrupt", M08, K::IgnoredModifier},
    {"_interrupt", M08, K::IgnoredModifier},
    {"__loadds", M08, K::IgnoredModifier},
    {"_loadds", M08, K::IgnoredModifier},
    {"__near", M08, K::IgnoredModifier},
    {"_near", M08, K::IgnoredModifier},
    {"__pascal", M08, K::IgnoredModifier},
    {"_pascal", M08, K::IgnoredModifier},
    {"__saveregs", M08, K::IgnoredModifier},
    {"_saveregs", M08, K::IgnoredModifier},
    {"__segment", M08, K::SizedInt},
    {"_segment", M08, K::SizedInt},
    {"__segname", M08, K::Typeof},
    {"_segname", M08, K::Typeof},
    /* IAR */
    {"ANSI_main", IAR, K::IgnoredModifier},
    {"C_task", IAR, K::IgnoredModifier},
    {"banked", IAR, K::IgnoredModifier},
    {"banked_func", IAR, K::IgnoredModifier},
    {"bit", IAR, K::Int},
    {"ccr_mask", IAR, K::InterruptFunction},
    {"far_func", IAR, K::IgnoredModifier},
    {"monitor", IAR, K::IgnoredModifier},
    {"near_func", IAR, K::IgnoredModifier},
    {"no_init", IAR, K::IgnoredModifier},
    {"non_banked", IAR, K::IgnoredModifier},
    {"sfr", IAR, K::Int},
    {"sfrp", IAR, K::Int},
    {"tiny", IAR, K::IgnoredModifier},
    {"tiny_func", IAR, K::IgnoredModifier},
    {"version_2", IAR, K::IgnoredModifier},
    {"zpage", IAR, K::IgnoredModifier},
};

struct Table {
  std::vector<Row> rows;
  std::vector<std::string_view> words[kKeywordSetCount];
  Table() {
    rows.assign(std::begin(kRows), std::end(kRows));
    std::stable_sort(rows.begin(), rows.end(),
                     [](const Row &a, const Row &b) { return a.word < b.word; });
    for (const Row &r : rows)
      for (int s = 0; s < kKeywordSetCount; s++)
        if (r.sets & (1u << s)) words[s].push_back(r.word);
  }
};

const Table &table() {
  static const Table t;
  return t;
}

}  // namespace

KeywordClass keyword_class(KeywordSet set, std::string_view word) {
  /* Every keyword starts with a letter or '_' and is at most 28 long. */
  if (word.empty() || word.size() > 28) return K::None;
  const Table &t = table();
  auto it = std::lower_bound(t.rows.begin(), t.rows.end(), word,
                             [](const Row &r, std::string_view w) { return r.word < w; });
  uint32_t b = bit(set);
  for (; it != t.rows.end() && it->word == word; ++it)
    if (it->sets & b) return it->cls;
  return K::None;
}

int keyword_count(KeywordSet set) {
  return static_cast<int>(table().words[static_cast<int>(set)].size());
}

std::string_view keyword_at(KeywordSet set, int i) {
  const auto &w = table().words[static_cast<int>(set)];
  if (i < 0 || i >= static_cast<int>(w.size())) return {};
  return w[i];
}

const char *keyword_set_name(KeywordSet set) {
  static const char *const names[kKeywordSetCount] = {
      "standard", "KR78", "SUN", "HP_ANSI", "HP", "MCC", "MCC_STD", "GNU", "MSC50", "MSC0800", "IAR",
      "C99", "C11"};
  return names[static_cast<int>(set)];
}

}  // namespace kvx::fe
