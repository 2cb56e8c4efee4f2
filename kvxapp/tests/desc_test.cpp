/*
 * desc_test.cpp - description files: the writer's exact text, round trips,
 * declarations in another order, unknown attributes and entities, the
 * application handlers' warnings, and every error code of the reader.
 */
#include "test_util.h"

using namespace kvxtest;

namespace {

class Desc : public KvxTest {};

const char *DEFS =
    "Entities_Definitions DEFINITIONS ::= BEGIN\n"
    "application ::= SEQUENCE OF {\n\tSEQUENCE {\n"
    "\t\tidentity oid,\n\t\tname string,\n\t\tlanguage string,\n\t\tuser_makefile string,\n"
    "\t\tcc_options string,\n\t\tlink_options string,\n\t\tget_source string,\n"
    "\t\tsource_dir string,\n\t\tobject_dir string,\n\t\texec_file string,\n"
    "\t\tsuffix string,\n\t\tprefix string,\n\t\tcompiler string,\n\t\tprofil string,\n"
    "\t\trules_set string,\n\t\tmakefile string,\n\t\ttarget string\n\t}\n}\n"
    "file ::= SEQUENCE OF {\n\tSEQUENCE {\n"
    "\t\tidentity oid,\n\t\tsource_dir string,\n\t\tsource_file string,\n"
    "\t\tobject_dir string,\n\t\tobject_file string,\n\t\tuse_default_cc_options boolean,\n"
    "\t\tcc_options string,\n\t\tuse_default_kvx_options boolean,\n\t\tget_source string,\n"
    "\t\tmarked boolean,\n\t\tis_ok boolean,\n\t\towner oid\n\t}\n}\n"
    "kavexo_options ::= SEQUENCE OF {\n\tSEQUENCE {\n"
    "\t\towner oid,\n\t\tname string,\n\t\tvalue string\n\t}\n}\n";

KvxApplication *small_app() {
  KvxApplication *a = application_new("C");
  application_set_name(a, "demo");
  application_set_source_dir(a, "/src");
  application_set_object_dir(a, "/obj");
  application_set_cc_options(a, "-O");
  application_set_dialect(a, "K&R 78");
  return a;
}

TEST_F(Desc, WriterTextByteForByte) {
  KvxApplication *a = small_app();
  KvxSource *s = application_add_file(a, "/src/b.c");
  KvxSource *t = application_add_file(a, "/lib/a.c");
  source_set_cc_options(t, "-DQ=\"x\"");
  source_set_use_default_kvx_options(t, 0);
  source_set_dialect(t, "ANSI");
  source_invert_mark(s);
  std::string want = std::string(DEFS) +
                     "application ::= {\n"
                     "{ \"1\", \"demo\",\n \"C\",\n \"\",\n \"-O\",\n \"\",\n \"\" ,\n"
                     " \"/src\",\n \"/obj\",\n \"\",\n \".inst\",\n \"\",\n \"cc\",\n"
                     " \"\",\n \"\",\n \"\",\n \"\" }\n}\n"
                     "file ::= {\n"
                     "{ \"2\", \"/lib\", \"a.c\", \"/lib\", \"a.o\", t, \"-DQ=\\\"x\\\"\" , f, \"\", t, t , \"1\"},\n"
                     "{ \"3\", \"/src\", \"b.c\", \"/src\", \"b.o\", t, \"\" , t, \"\", f, t , \"1\"}\n"
                     "}\n"
                     "kavexo_options ::= {\n"
                     "{\"1\", \"-dial\", \"K&R 78\"},\n{\"1\", \"-ign\", \"\"},\n"
                     "{\"1\", \"-mode=noexp\", \"\"},\n{\"1\", \"-mac\", \"\"},\n"
                     "{\"2\", \"-dial\", \"ANSI\"},\n{\"2\", \"-ign\", \"\"},\n"
                     "{\"2\", \"-mode=noexp\", \"\"},\n{\"2\", \"-mac\", \"\"}\n"
                     "}\n"
                     "END\n";
  EXPECT_EQ(desc_text(a), want);
  application_free(a);

  KvxApplication *e = small_app();
  std::string text = desc_text(e);
  EXPECT_NE(text.find("\"\" }\n}\nfile ::= {}\nkavexo_options ::= {\n"), std::string::npos);
  application_free(e);
}

/* Every field the description stores, through the public getters. */
std::string dump(KvxApplication *a) {
  std::string d;
  auto add = [&](const char *k, const char *v) { d += std::string(k) + "=" + (v ? v : "") + "\n"; };
  add("name", take(application_get_name(a)).c_str());
  add("language", application_get_language(a));
  add("cc", application_get_cc_options(a));
  add("link", application_get_link_options(a));
  add("get", application_get_get_source(a));
  add("src", application_get_source_dir(a));
  add("obj", application_get_object_dir(a));
  add("exec", application_get_exec_file(a));
  add("suffix", application_get_suffix(a));
  add("prefix", application_get_prefix(a));
  add("compiler", application_get_compiler(a));
  add("profil", take(application_get_profil(a)).c_str());
  add("rules", take(application_get_rules_set(a)).c_str());
  add("make", take(application_get_makefilepath(a)).c_str());
  add("target", take(application_get_target(a)).c_str());
  for (int i = 0; i < KVX_OPTION_SLOTS; i++) add("slot", application_get_kvx_options(a, i));
  KvxList *files = application_get_files(a);
  for (int n = 1; n <= list_nb_items(files); n++) {
    KvxSource *s = (KvxSource *)list_get_ieme(files, n);
    add("file", take(source_get_filename(s)).c_str());
    add(" own_src", source_get_source_dir_default(s));
    add(" own_obj", source_get_object_dir_default(s));
    add(" object", take(source_get_object(s)).c_str());
    add(" cc", source_get_cc_options(s));
    add(" get", source_get_get_source_default(s));
    d += " flags=" + std::to_string(source_get_use_default_cc_options(s)) +
         std::to_string(source_get_use_default_kvx_options(s)) + std::to_string(source_is_marked(s)) +
         std::to_string(source_is_ok(s)) + "\n";
    source_set_use_default_kvx_options(s, 0);
    for (int i = 0; i < 4; i++) add(" slot", source_get_kvx_options(s, i));
  }
  return d;
}

TEST_F(Desc, RoundTripKeepsEveryField) {
  KvxApplication *a = application_new("C");
  application_set_name(a, "full \"name\" \\ here");
  application_set_cc_options(a, "-DA=\"b c\" -I\\inc");
  application_set_link_options(a, "-lm");
  application_set_get_source(a, "get \"it\"");
  application_set_source_dir(a, "/s");
  application_set_object_dir(a, "/o");
  application_set_exec_file(a, "/bin/x");
  application_set_suffix(a, ".ins");
  application_set_prefix(a, "p_");
  application_set_compiler(a, "gcc");
  application_set_profil(a, "a.prf");
  application_set_rules_set(a, "r.rsf");
  application_set_makefilepath(a, "/s/Makefile");
  application_set_target(a, "all");
  application_set_ignore(a, "i.ign");
  application_set_expand_macro(a, 0);
  application_set_macro_file(a, "m\\a\"c");
  KvxSource *s1 = application_add_file(a, "/s/one.c");
  KvxSource *s2 = application_add_file(a, "/elsewhere/two.c");
  source_set_object(s1, "/objs/uno.o");
  source_set_use_default_cc_options(s1, 0);
  source_set_cc_options(s1, "-g");
  source_set_get_source(s2, "co");
  source_set_use_default_kvx_options(s2, 0);
  source_set_dialect(s2, "ANSI");
  source_set_ignore(s2, "two.ign");
  source_set_ok(s2, 0);
  source_invert_mark(s2);

  std::string text = desc_text(a);
  KvxApplication *b = load_text(text);
  ASSERT_NE(b, nullptr) << msgs.all();
  EXPECT_EQ(report_get_error_count() + report_get_warning_count(), 0) << msgs.all();
  EXPECT_EQ(desc_text(b), text);
  std::string da = dump(a), db = dump(b);
  EXPECT_EQ(da, db);
  application_free(a);
  application_free(b);
}

TEST_F(Desc, DeclarationsInAnotherOrderAndUnknownAttribute) {
  std::string text =
      "Entities_Definitions DEFINITIONS ::= BEGIN\n"
      "application ::= SEQUENCE OF { SEQUENCE { language string, colour string, name string,"
      " identity oid, source_dir string } }\n"
      "kavexo_options ::= SEQUENCE OF { SEQUENCE { value string, owner oid, name string } }\n"
      "application ::= { { \"C\", \"blue\", \"ordered\", \"7\", \"/x\" } }\n"
      "kavexo_options ::= { { \"my.mac\", \"7\", \"-mac\" } }\n"
      "END\n";
  KvxApplication *a = load_text(text);
  ASSERT_NE(a, nullptr) << msgs.all();
  EXPECT_EQ(take(application_get_name(a)), "ordered");
  EXPECT_STREQ(application_get_source_dir(a), "/x");
  EXPECT_STREQ(application_get_macro_file(a), "my.mac");
  EXPECT_STREQ(application_get_suffix(a), ".inst"); /* null suffix */
  EXPECT_EQ(msgs.lines, (std::vector<std::string>{"Internal Communication(2) : Warning:  colour ignore\n"}));
  application_free(a);
}

TEST_F(Desc, UnknownEntityIsSkippedWithItsValues) {
  std::string text =
      "Entities_Definitions DEFINITIONS ::= BEGIN\n"
      "application ::= SEQUENCE OF { SEQUENCE { identity oid, name string } }\n"
      "gadget ::= SEQUENCE OF { SEQUENCE { size integer, parts SEQUENCE OF string } }\n"
      "gadget ::= { { 3, { \"a\", \"b\" } }, { null, # } }\n"
      "application ::= { { \"1\", \"kept\" } }\n"
      "END\n";
  KvxApplication *a = load_text(text);
  ASSERT_NE(a, nullptr) << msgs.all();
  EXPECT_EQ(take(application_get_name(a)), "kept");
  EXPECT_EQ(report_get_warning_count(), 2);
  EXPECT_TRUE(msgs.contains("(3) : Warning:  gadget ignore")) << msgs.all();
  application_free(a);
}

TEST_F(Desc, SecondApplicationAndStrayFilesAndOptions) {
  std::string text = std::string(DEFS) +
                     "application ::= { { \"1\", \"first\", \"C\", \"\", \"\", \"\", \"\", \"/s\", \"/s\","
                     " \"\", \".inst\", \"\", \"cc\", \"\", \"\", \"\", \"\" },\n"
                     "{ \"9\", \"second\", \"C\", \"\", \"\", \"\", \"\", \"/t\", \"/t\","
                     " \"\", \".inst\", \"\", \"cc\", \"\", \"\", \"\", \"\" } }\n"
                     "file ::= {\n"
                     "{ \"2\", \"/s\", \"a.c\", \"/s\", \"a.o\", t, \"\", t, \"\", t, t, \"1\" },\n"
                     "{ \"3\", \"/s\", \"a.c\", \"/s\", \"a.o\", t, \"\", t, \"\", t, t, \"1\" },\n"
                     "{ \"4\", \"/t\", \"b.c\", \"/t\", \"b.o\", t, \"\", t, \"\", t, t, \"9\" } }\n"
                     "kavexo_options ::= { { \"5\", \"-ign\", \"x\" } }\n"
                     "END\n";
  KvxApplication *a = load_text(text);
  ASSERT_NE(a, nullptr) << msgs.all();
  EXPECT_EQ(take(application_get_name(a)), "first");
  EXPECT_EQ(list_nb_items(application_get_files(a)), 1);
  EXPECT_TRUE(msgs.contains("Only one application per file, application \"second\" ignored"));
  EXPECT_TRUE(msgs.contains("File \"a.c\" can appear only once in the application"));
  /* printed whole, colon included */
  EXPECT_TRUE(msgs.contains("Warning:  File \"b.c\" not attached to the application : ignored\n"));
  EXPECT_TRUE(msgs.contains("Warning:  One option is not attached to any file : ignored\n"));
  EXPECT_EQ(report_get_warning_count(), 4);
  EXPECT_EQ(report_get_error_count(), 0);
  application_free(a);
}

TEST_F(Desc, EmptyFileBlockAndTextWithoutHeader) {
  KvxApplication *e = small_app();
  std::string text = desc_text(e);
  application_free(e);
  KvxApplication *a = load_text(text);
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(list_nb_items(application_get_files(a)), 0);
  application_free(a);
  EXPECT_EQ(load_text("nothing to see\n"), nullptr); /* read as empty */
  EXPECT_EQ(msgs.lines.back(), "Internal Communication: Error:  no application described.\n");
  EXPECT_STREQ(desc_get_error_code(), ""); /* not a reader error */
}

TEST_F(Desc, LoadFromFileAndMissingFile) {
  TempDir dir;
  KvxApplication *e = small_app();
  std::string path = dir.write("d.app", desc_text(e));
  application_free(e);
  KvxApplication *a = application_load(path.c_str());
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(take(application_get_name(a)), "demo");
  application_free(a);
  EXPECT_EQ(application_load(dir.file("none.app").c_str()), nullptr);
  EXPECT_TRUE(msgs.contains("none.app: Error:  No such file or directory")) << msgs.all();
  EXPECT_EQ(application_load(dir.path().c_str()), nullptr);
  EXPECT_TRUE(msgs.contains(": Error:  is a directory.")) << msgs.all();
}

struct ErrorCase {
  int code;
  int line;
  std::string text;
};

const char *HEAD = "Entities_Definitions DEFINITIONS ::= BEGIN\n";
const char *OPT_DEF = "kavexo_options ::= SEQUENCE OF { SEQUENCE { owner oid, name string, value string } }\n";

std::vector<ErrorCase> error_cases() {
  std::string h = HEAD, d = OPT_DEF;
  std::string attrs;
  for (int i = 0; i < 21; i++) attrs += (i ? ", a" : "a") + std::to_string(i) + " string";
  return {
      {10, 2, h + "@\nEND\n"},
      {11, 3, h + d + "kavexo_options ::= { { \"1\", \"-ign\", \"open\n"},
      {12, 3, h + d + "kavexo_options ::= { { \"1\", \"-ign\", \"bad\\q\" } }\nEND\n"},
      {21, 1, "Entities_Definitions BEGIN\n"},
      {22, 1, "Entities_Definitions DEFINITIONS BEGIN\n"},
      {23, 2, "Entities_Definitions DEFINITIONS ::=\nEND\n"},
      {24, 3, h + d},
      {25, 2, h + "kavexo_options ::= integer\n"},
      {26, 2, h + "kavexo_options ::= SEQUENCE {\n"},
      {27, 2, h + "kavexo_options ::= SEQUENCE OF SEQUENCE\n"},
      {28, 2, h + "kavexo_options ::= SEQUENCE OF { {\n"},
      {29, 2, h + "kavexo_options ::= SEQUENCE OF { SEQUENCE { owner oid name string } }\n"},
      {30, 3, h + d + "kavexo_options ::= { { \"1\" \"-ign\", \"x\" } }\nEND\n"},
      {40, 2, h + "kavexo_options ::= SEQUENCE OF { SEQUENCE { owner integer } }\n"},
      {41, 2, h + "kavexo_options ::= { { \"1\", \"-ign\", \"x\" } }\nEND\n"},
      {42, 2, h + "gadget ::= SEQUENCE OF { SEQUENCE { " + attrs + " } }\nEND\n"},
      {43, 3, h + d + "kavexo_options ::= { { \"1\", t, \"x\" } }\nEND\n"},
      {44, 5, h + d + "kavexo_options ::= {\n{ \"1\", \"-ign\", \"x\" },\n{ \"1\", \"-ign\" } }\nEND\n"},
      {45, 3, h + d + "kavexo_options ::= { { \"1\", \"-ign\", \"x\", \"y\" } }\nEND\n"},
      {46, 2, h + "kavexo_options ::= SEQUENCE OF { SEQUENCE { name SEQUENCE OF string } }\n"},
  };
}

TEST_F(Desc, EveryReaderErrorWithItsLine) {
  for (const ErrorCase &c : error_cases()) {
    msgs.lines.clear();
    report_reset_counts();
    EXPECT_EQ(load_text(c.text), nullptr) << c.code;
    char code[8];
    snprintf(code, sizeof code, "F%03d", c.code);
    EXPECT_STREQ(desc_get_error_code(), code) << c.text;
    std::string line = "line " + std::to_string(c.line) + ": ";
    EXPECT_NE(std::string(desc_get_error_text()).find("\"Internal Communication\", " + line),
              std::string::npos)
        << c.code << ": " << desc_get_error_text();
    /* the printed line carries the whole text ("'::=' expected") */
    std::string kept = desc_get_error_text();
    std::string what = kept.substr(std::min(kept.size(), kept.find(line) + line.size()));
    std::string located = "Internal Communication(" + std::to_string(c.line) + ") : Error:  " + what + "\n";
    EXPECT_TRUE(msgs.contains(located)) << c.code << ": " << msgs.all();
    EXPECT_EQ(report_get_error_count(), 1) << c.code;
  }
  /* a good read clears the kept error */
  KvxApplication *a = small_app();
  KvxApplication *b = load_text(desc_text(a));
  EXPECT_STREQ(desc_get_error_code(), "");
  application_free(a);
  application_free(b);
}

TEST_F(Desc, ErrorTextsOfTheKeptCodes) {
  load_text(std::string(HEAD) + OPT_DEF + "kavexo_options ::= { { \"1\", \"-ign\" } }\nEND\n");
  EXPECT_STREQ(desc_get_error_text(), "\"Internal Communication\", line 3: missing values");
  load_text(std::string(HEAD) + "x ::= SEQUENCE OF { SEQUENCE { a SEQUENCE string } }\n");
  EXPECT_STREQ(desc_get_error_text(), "\"Internal Communication\", line 2: 'of' expected");
}

TEST_F(Desc, ErrorDuringFilesFreesThePartialRecord) {
  KvxApplication *a = small_app();
  application_add_file(a, "/src/x.c");
  std::string text = desc_text(a);
  application_free(a);
  size_t pos = text.find("\"x.o\", t,");
  ASSERT_NE(pos, std::string::npos);
  text.replace(pos, 9, "\"x.o\", 5,");
  EXPECT_EQ(load_text(text), nullptr); /* the sanitizer build checks nothing leaks */
  EXPECT_STREQ(desc_get_error_code(), "F043");
}

TEST_F(Desc, ValueKindsOfEveryType) {
  /* a private entity table is not reachable from here: check through the
   * lexer's kinds on an unknown entity, which must skip every value form */
  std::string text = std::string(HEAD) +
                     "thing ::= SEQUENCE OF { SEQUENCE { i integer, r real, b boolean, c character,"
                     " t text, o oid, m meta_entity, x bits, l SEQUENCE OF integer } }\n"
                     "thing ::= { { -3, 2.5e-3, true, 'q', \"s\\\\\", \"1\", ident, 12, { 1, 2 } },"
                     " { +1, .5, F, '\\n', \"multi\\\nline\", \"2\", other, \"0x3\", null } }\n"
                     "END\n";
  KvxApplication *a = load_text(text);
  EXPECT_EQ(a, nullptr); /* no application in it */
  EXPECT_STREQ(desc_get_error_code(), "") << msgs.all();
  EXPECT_EQ(report_get_error_count(), 1) << msgs.all(); /* only "no application" */
}

}  // namespace
