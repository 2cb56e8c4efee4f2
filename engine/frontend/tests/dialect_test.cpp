/*
 * dialect_test.cpp - the dialect table, the keyword sets and the -X choice.
 */
#include <gtest/gtest.h>

#include "frontend/dialect.h"
#include "frontend_test_util.h"

namespace kvx::fe {
namespace {

using test::CapturedDiag;

struct Row {
  const char *name;
  KeywordSet set;
  bool traditional, backslash, gnu;
};

TEST(Dialect, EveryNameSelectsItsRow) {
  const Row rows[] = {
      {"ANSI", KeywordSet::Standard, false, false, false},
      {"kr78", KeywordSet::KR78, true, false, false},
      {"Sun", KeywordSet::SUN, false, false, false},
      {"HP_ANSI", KeywordSet::HP_ANSI, false, false, false},
      {"hp", KeywordSet::HP, true, false, false},
      {"MCC", KeywordSet::MCC, false, false, false},
      {"mcc_std", KeywordSet::MCC_STD, true, false, false},
      {"GNU", KeywordSet::GNU, false, false, true},
      {"gnu_d950", KeywordSet::GNU, false, false, true},
      {"MSC50", KeywordSet::MSC50, false, true, false},
      {"msc1100", KeywordSet::MSC50, false, true, false},
      {"Msc0900", KeywordSet::MSC50, false, true, false},
      {"msc40", KeywordSet::MSC50, false, true, false},
      {"MSC0800", KeywordSet::MSC0800, false, true, false},
      {"msc15", KeywordSet::MSC0800, false, true, false},
      {"IAR", KeywordSet::IAR, false, false, false},
  };
  for (const Row &r : rows) {
    CapturedDiag cd;
    Dialect d = select_dialect(r.name, cd.diag);
    SCOPED_TRACE(r.name);
    std::string lower(r.name);
    for (char &c : lower) c = static_cast<char>(std::tolower(c));
    EXPECT_EQ(d.name, lower);
    EXPECT_EQ(d.keywords, r.set);
    EXPECT_EQ(d.traditional, r.traditional);
    EXPECT_EQ(d.backslash_to_slash, r.backslash);
    EXPECT_EQ(d.gnu_extensions, r.gnu);
    EXPECT_TRUE(d.dollar_in_identifiers);
    EXPECT_EQ(cd.diag.warning_count(), 0);
    EXPECT_EQ(d.def_file_name(), lower + ".def");
  }
}

TEST(Dialect, UnknownNameWarnsAndIsAnsi) {
  CapturedDiag cd;
  Dialect d = select_dialect("Borland", cd.diag);
  EXPECT_EQ(d.name, "ansi");
  EXPECT_EQ(d.keywords, KeywordSet::Standard);
  EXPECT_FALSE(d.traditional);
  EXPECT_EQ(d.ign_file_name(), "ansi.ign");
  EXPECT_EQ(cd.diag.warning_count(), 1);
  EXPECT_EQ(cd.text(), " unknown dialect Borland : Warning:  Ansi is assumed\n");
}

TEST(Dialect, DefaultIsMsc0900) {
  CapturedDiag cd;
  Dialect d = select_dialect(default_dialect_name(), cd.diag);
  EXPECT_EQ(d.name, "msc0900");
  EXPECT_EQ(d.keywords, KeywordSet::MSC50);
  EXPECT_EQ(Dialect().name, "msc0900");
}

TEST(Keywords, SetSizes) {
  const std::pair<KeywordSet, int> sizes[] = {
      {KeywordSet::Standard, 33}, {KeywordSet::KR78, 30},    {KeywordSet::SUN, 31},
      {KeywordSet::HP_ANSI, 38},  {KeywordSet::HP, 30},      {KeywordSet::MCC, 33},
      {KeywordSet::MCC_STD, 35},  {KeywordSet::GNU, 92},     {KeywordSet::MSC50, 59},
      {KeywordSet::MSC0800, 66},  {KeywordSet::IAR, 54},     {KeywordSet::C99, 38},
      {KeywordSet::C11, 45},
  };
  for (auto [set, n] : sizes) EXPECT_EQ(keyword_count(set), n) << keyword_set_name(set);
}

TEST(Keywords, EverySetWordIsFoundAndNoDuplicates) {
  for (int s = 0; s < kKeywordSetCount; s++) {
    KeywordSet set = static_cast<KeywordSet>(s);
    std::set<std::string_view> seen;
    for (int i = 0; i < keyword_count(set); i++) {
      std::string_view w = keyword_at(set, i);
      EXPECT_TRUE(seen.insert(w).second) << w;
      EXPECT_NE(keyword_class(set, w), KeywordClass::None) << w;
    }
  }
}

TEST(Keywords, ClassesDependOnTheDialect) {
  using K = KeywordClass;
  EXPECT_EQ(keyword_class(KeywordSet::Standard, "asm"), K::Asm);
  EXPECT_EQ(keyword_class(KeywordSet::HP_ANSI, "asm"), K::AsmOperand);
  EXPECT_EQ(keyword_class(KeywordSet::MCC_STD, "asm"), K::AsmOperand);
  EXPECT_EQ(keyword_class(KeywordSet::MSC50, "asm"), K::None);
  EXPECT_EQ(keyword_class(KeywordSet::MSC0800, "asm"), K::None);
  EXPECT_EQ(keyword_class(KeywordSet::IAR, "interrupt"), K::InterruptFunction);
  EXPECT_EQ(keyword_class(KeywordSet::IAR, "ccr_mask"), K::InterruptFunction);
  EXPECT_EQ(keyword_class(KeywordSet::HP_ANSI, "interrupt"), K::IgnoredModifier);
  EXPECT_EQ(keyword_class(KeywordSet::MSC0800, "interrupt"), K::None);
  EXPECT_EQ(keyword_class(KeywordSet::MSC0800, "__interrupt"), K::IgnoredModifier);
  EXPECT_EQ(keyword_class(KeywordSet::IAR, "bit"), K::Int);
  EXPECT_EQ(keyword_class(KeywordSet::IAR, "sfrp"), K::Int);
  EXPECT_EQ(keyword_class(KeywordSet::KR78, "const"), K::None);
  EXPECT_EQ(keyword_class(KeywordSet::SUN, "std_$call"), K::AutoStorage);
  EXPECT_EQ(keyword_class(KeywordSet::MSC50, "__int64"), K::SizedInt);
  EXPECT_EQ(keyword_class(KeywordSet::MSC50, "_int8"), K::SizedInt);
  EXPECT_EQ(keyword_class(KeywordSet::MSC0800, "__int64"), K::None);
  EXPECT_EQ(keyword_class(KeywordSet::MSC0800, "__segment"), K::SizedInt);
  EXPECT_EQ(keyword_class(KeywordSet::MSC0800, "_segname"), K::Typeof);
  EXPECT_EQ(keyword_class(KeywordSet::MSC0800, "__far"), K::IgnoredModifier);
  EXPECT_EQ(keyword_class(KeywordSet::MSC50, "__far"), K::None);
  EXPECT_EQ(keyword_class(KeywordSet::MSC50, "__try"), K::Try);
  EXPECT_EQ(keyword_class(KeywordSet::MSC0800, "__try"), K::None);
  EXPECT_EQ(keyword_class(KeywordSet::MSC50, "_based"), K::Based);
  EXPECT_EQ(keyword_class(KeywordSet::GNU, "__alignof__"), K::Alignof);
  EXPECT_EQ(keyword_class(KeywordSet::GNU, "__const__"), K::Const);
  EXPECT_EQ(keyword_class(KeywordSet::GNU, "typeof"), K::Typeof);
  EXPECT_EQ(keyword_class(KeywordSet::Standard, "typeof"), K::None);
  /* exact and case-sensitive */
  EXPECT_EQ(keyword_class(KeywordSet::Standard, "Int"), K::None);
  EXPECT_EQ(keyword_class(KeywordSet::Standard, "int "), K::None);
  EXPECT_EQ(keyword_class(KeywordSet::IAR, "ansi_main"), K::None);
  EXPECT_EQ(keyword_class(KeywordSet::IAR, "ANSI_main"), K::IgnoredModifier);
}

TEST(XOptions, LastSelectedWinsWithWarningWhenSeveral) {
  {
    CapturedDiag cd;
    XOptions x;
    x.a = true; /* -Xs -Xa: the later one cleared -Xs */
    x.count = 2;
    EXPECT_EQ(select_x_option(x, cd.diag), "-Xa");
    EXPECT_EQ(cd.diag.warning_count(), 1);
    EXPECT_NE(cd.text().find("using -Xa, ignoring all other -X options"), std::string::npos);
  }
  {
    CapturedDiag cd;
    XOptions x;
    x.c = true;
    x.count = 1;
    EXPECT_EQ(select_x_option(x, cd.diag), "-Xc");
    EXPECT_EQ(cd.diag.warning_count(), 0);
  }
  {
    CapturedDiag cd;
    XOptions x; /* flags kept from several lines: priority a, c, s, t */
    x.s = x.t = true;
    x.count = 3;
    EXPECT_EQ(select_x_option(x, cd.diag), "-Xs");
    EXPECT_NE(cd.text().find("using -Xs,"), std::string::npos);
  }
  {
    CapturedDiag cd;
    EXPECT_EQ(select_x_option(XOptions(), cd.diag), "");
    EXPECT_EQ(cd.diag.warning_count(), 0);
  }
}

}  // namespace
}  // namespace kvx::fe
