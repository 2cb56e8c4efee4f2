/*
 * tables_test.cpp - language and dialect tables: built-in defaults, the
 * shipped files, default entries by machine, forward references, duplicate
 * and unresolved defaults, rejected entries and the lookups.
 */
#include "test_util.h"

using namespace kvxtest;

namespace {

class Tables : public KvxTest {};

const char *DIAL_DEFS =
    "Entities_Definitions DEFINITIONS ::= BEGIN\n"
    "dialect ::= SEQUENCE OF { SEQUENCE { identity oid, name string, parameter string,"
    " command string, instr_file string, instr_file_lcsaj string } }\n"
    "default ::= SEQUENCE OF { SEQUENCE { dialect oid, machine string } }\n";

std::string dialects(const std::string &defaults) {
  return std::string(DIAL_DEFS) +
         "dialect ::= { { \"1\", \"One\", \"one\", \"kvx_cc -dial one\", \"i1.c\", \"\" },\n"
         " { \"2\", \"Two\", \"two\", \"kvx_x -dial two\", \"i2.c\", \"l2.c\" } }\n" +
         defaults + "END\n";
}

TEST_F(Tables, BuiltInLanguageIsCxxWithSun) {
  KvxList *t = lang_get_table();
  ASSERT_EQ(list_nb_items(t), 1);
  KvxLanguage *l = (KvxLanguage *)list_get_ieme(t, 1);
  EXPECT_STREQ(language_get_name(l), "C++");
  std::vector<std::string> suffixes;
  for (const char *const *s = language_get_suffixes(l); *s; s++) suffixes.push_back(*s);
  EXPECT_EQ(suffixes, (std::vector<std::string>{"C", "cc", "c", "CC", "cpp", "cxx"}));
  EXPECT_STREQ(dialect_get_default_name(), "Sun 4.0");
  EXPECT_STREQ(dialect_get_command("sun 4.0"), "kvx_c++ -dial sun");
  EXPECT_STREQ(dialect_get_instr_file_lcsaj("Sun 4.0"), "$scope/instr/c/trqins_kvx2.c");
  EXPECT_STREQ(lang_get_language_of_suffix("cxx"), "C++");
  EXPECT_EQ(lang_get_language_of_suffix("java"), nullptr);
}

TEST_F(Tables, LangInitWithoutFilesKeepsBuiltIns) {
  TempDir empty;
  InDir in(empty.path());
  EnvVar h("HOME", empty.path().c_str());
  EnvVar u("KVX_UTIL", empty.path().c_str());
  /* the installation's util directory beside the library still answers */
  int found = lang_init();
  if (!found) {
    EXPECT_STREQ(lang_get_default_name(), "C++");
    EXPECT_STREQ(dialect_get_default_name(), "Sun 4.0");
  } else {
    EXPECT_STREQ(lang_get_default_name(), "C");
  }
}

TEST_F(Tables, ShippedTablesDescribeCForLinux) {
  ASSERT_EQ(lang_load_file(source_util(".kavexo.lang").c_str()), 1) << msgs.all();
  EXPECT_STREQ(lang_get_default_name(), "C");
  EXPECT_STREQ(dialect_get_default_name(), "GNU");
  EXPECT_STREQ(dialect_get_parameter("gnu"), "gnu");
  EXPECT_STREQ(dialect_get_compiler("GNU"), "kvx_cc");
  EXPECT_STREQ(lang_get_language_of_suffix(".c"), "C");
  const char *params[] = {"ansi", "kr78", "sun", "hp_ansi", "hp", "mcc", "mcc_std", "gnu",
                          "gnu_d950", "msc50", "msc1100", "msc0900", "msc40", "msc0800", "msc15", "iar"};
  for (const char *p : params) {
    const KvxDialect *d = dialect_find(p);
    ASSERT_NE(d, nullptr) << p;
    EXPECT_EQ(std::string(dialect_entry_get_command(d)), std::string("kvx_cc -dial ") + p);
  }
  EXPECT_EQ(report_get_error_count() + report_get_warning_count(), 0) << msgs.all();
  ASSERT_EQ(dialect_load_file(source_util(".kavexo.dial").c_str()), 1);
  EXPECT_EQ(list_nb_items(dialect_get_table()), 16);
}

TEST_F(Tables, DefaultOfAnotherMachineIsIgnored) {
  TempDir dir;
  std::string p = dir.write("d.dial", dialects("default ::= { { \"2\", \"win32\" } }\n"));
  ASSERT_EQ(dialect_load_file(p.c_str()), 1) << msgs.all();
  EXPECT_STREQ(dialect_get_default_name(), "One"); /* the first entry */
  EXPECT_STREQ(dialect_get_instr_file_lcsaj("one"), "i1.c"); /* empty: instr_file */
  EXPECT_STREQ(dialect_get_instr_file_lcsaj("two"), "l2.c");
  EXPECT_STREQ(dialect_get_compiler("Two"), "kvx_x");
}

TEST_F(Tables, ForwardReferenceIsResolvedAfterReading) {
  TempDir dir;
  std::string text = std::string(DIAL_DEFS) +
                     "default ::= { { \"3\", \"linux\" } }\n"
                     "dialect ::= { { \"1\", \"One\", \"one\", \"c1\", \"\", \"\" },"
                     " { \"-3\", \"Three\", \"three\", \"c3\", \"\", \"\" } }\nEND\n";
  /* "-3" does not start with a digit: rejected */
  std::string bad = dir.write("bad.dial", text);
  EXPECT_EQ(dialect_load_file(bad.c_str()), 0);
  EXPECT_STREQ(desc_get_error_code(), "F044");
  size_t pos = text.find("\"-3\"");
  text.replace(pos, 4, "\"03\"");
  std::string good = dir.write("good.dial", text);
  ASSERT_EQ(dialect_load_file(good.c_str()), 1) << msgs.all();
  EXPECT_STREQ(dialect_get_default_name(), "Three");
}

TEST_F(Tables, MultipleAndUnresolvedDefaults) {
  TempDir dir;
  std::string p = dir.write("m.dial", dialects("default ::= { { \"2\", \"linux\" }, { \"1\", \"linux\" } }\n"));
  ASSERT_EQ(dialect_load_file(p.c_str()), 1);
  EXPECT_STREQ(dialect_get_default_name(), "Two"); /* the first default stays */
  EXPECT_TRUE(msgs.contains(p + " : Error:  multiple default dialect line")) << msgs.all();
  msgs.lines.clear();
  std::string q = dir.write("u.dial", dialects("default ::= { { \"7\", \"linux\" } }\n"));
  ASSERT_EQ(dialect_load_file(q.c_str()), 1);
  EXPECT_TRUE(msgs.contains(q + ": Error:  unable to resolve reference 7")) << msgs.all();
  EXPECT_STREQ(dialect_get_default_name(), "One");
}

TEST_F(Tables, LanguagesWithTheirDialectsAndAmbiguousSuffixes) {
  TempDir dir;
  dir.write("c.dial", dialects("default ::= { { \"2\", \"linux\" } }\n"));
  std::string lang =
      "Entities_Definitions DEFINITIONS ::= BEGIN\n"
      "language ::= SEQUENCE OF { SEQUENCE { identity oid, name string, file_suffix string,"
      " dialect_file string } }\n"
      "default ::= SEQUENCE OF { SEQUENCE { language oid, machine string } }\n"
      "default ::= { { \"2\", \"linux\" }, { \"1\", \"linux\" } }\n"
      "language ::= { { \"1\", \"C\", \"c h\", \"c.dial\" },"
      " { \"2\", \"Cee\", \"c\\tcee\", \"c.dial\" },"
      " { \"3\", \"Lost\", \"lst\", \"missing.dial\" } }\nEND\n";
  std::string p = dir.write("x.lang", lang);
  ASSERT_EQ(lang_load_file(p.c_str()), 1) << msgs.all();
  EXPECT_TRUE(msgs.contains("Unable to load dialect file for Lost language")) << msgs.all();
  EXPECT_TRUE(msgs.contains("multiple default language line")) << msgs.all();
  EXPECT_EQ(list_nb_items(lang_get_table()), 2);
  EXPECT_STREQ(lang_get_default_name(), "Cee");
  EXPECT_EQ(lang_get_language_of_suffix("c"), nullptr); /* in both */
  EXPECT_STREQ(lang_get_language_of_suffix("h"), "C");
  EXPECT_STREQ(lang_get_language_of_suffix("cee"), "Cee");
  EXPECT_EQ(lang_get_suffixes("Lost"), nullptr);
  EXPECT_STREQ(lang_get_suffixes("Cee")[1], "cee");
  EXPECT_STREQ(dialect_get_default_name(), "Two");
  EXPECT_EQ(lang_select("Nope"), 0);
  EXPECT_EQ(lang_select("C"), 1);
  KvxApplication *a = application_new("C");
  EXPECT_STREQ(application_get_dialect(a), "Two");
  application_free(a);

  std::string empty_name = dir.write("e.lang", std::string(lang).replace(lang.find("\"C\","), 4, "\"\","));
  EXPECT_EQ(lang_load_file(empty_name.c_str()), 0);
  EXPECT_STREQ(desc_get_error_code(), "F044");
  EXPECT_STREQ(lang_get_default_name(), "Cee"); /* unchanged */
}

}  // namespace
