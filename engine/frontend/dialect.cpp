/*
 * dialect.cpp - the dialect table and the -X option choice.
 */
#include "frontend/dialect.h"

#include <cctype>

namespace kvx::fe {

namespace {

struct DialectRow {
  const char *name;
  KeywordSet keywords;
  bool traditional;
  bool backslash_to_slash;
  bool gnu_extensions;
  bool c99;
};

const DialectRow kDialects[] = {
    {"ansi", KeywordSet::Standard, false, false, false, false},
    {"kr78", KeywordSet::KR78, true, false, false, false},
    {"sun", KeywordSet::SUN, false, false, false, false},
    {"hp_ansi", KeywordSet::HP_ANSI, false, false, false, false},
    {"hp", KeywordSet::HP, true, false, false, false},
    {"mcc", KeywordSet::MCC, false, false, false, false},
    {"mcc_std", KeywordSet::MCC_STD, true, false, false, false},
    {"gnu", KeywordSet::GNU, false, false, true, true},
    {"gnu_d950", KeywordSet::GNU, false, false, true, true},
    {"msc50", KeywordSet::MSC50, false, true, false, false},
    {"msc1100", KeywordSet::MSC50, false, true, false, false},
    {"msc0900", KeywordSet::MSC50, false, true, false, false},
    {"msc40", KeywordSet::MSC50, false, true, false, false},
    {"msc0800", KeywordSet::MSC0800, false, true, false, false},
    {"msc15", KeywordSet::MSC0800, false, true, false, false},
    {"iar", KeywordSet::IAR, false, false, false, false},
    {"c99", KeywordSet::C99, false, false, false, true},
    {"c11", KeywordSet::C11, false, false, false, true},
};

Dialect from_row(const DialectRow &r) {
  Dialect d;
  d.name = r.name;
  d.keywords = r.keywords;
  d.traditional = r.traditional;
  d.backslash_to_slash = r.backslash_to_slash;
  d.gnu_extensions = r.gnu_extensions;
  d.c99 = r.c99;
  return d;
}

const DialectRow *find_row(std::string_view name) {
  std::string lower(name);
  for (char &c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  for (const DialectRow &r : kDialects)
    if (lower == r.name) return &r;
  return nullptr;
}

}  // namespace

bool is_gcc_dialect(std::string_view name) {
  const DialectRow *r = find_row(name);
  return r && r->c99;
}

Dialect select_dialect(std::string_view name, Diagnostics &diag) {
  if (const DialectRow *r = find_row(name)) return from_row(*r);
  std::string msg = " unknown dialect ";
  msg.append(name).append(" : Ansi is assumed");
  diag.report(LEVEL_WARNING, msg);
  return from_row(kDialects[0]);
}

std::string select_x_option(const XOptions &x, Diagnostics &diag) {
  std::string word;
  if (x.a)
    word = "-Xa";
  else if (x.c)
    word = "-Xc";
  else if (x.s)
    word = "-Xs";
  else if (x.t)
    word = "-Xt";
  if (x.count > 1 && !word.empty())
    diag.report(LEVEL_WARNING, "using " + word + ", ignoring all other -X options");
  return word;
}

}  // namespace kvx::fe
