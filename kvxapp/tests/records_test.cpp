/*
 * records_test.cpp - application and source records: defaults and the
 * unique name, ownership of getters, expansion, paths, the file list,
 * inheritance of directories, objects and compiler options.
 */
#include "test_util.h"

#include <cstring>

using namespace kvxtest;

namespace {

class Records : public KvxTest {};

TEST_F(Records, DefaultsOfANewApplication) {
  TempDir dir;
  InDir in(dir.path());
  KvxApplication *a = application_new("C");
  EXPECT_EQ(take(application_get_name(a)), "unnamed");
  EXPECT_STREQ(application_get_language(a), "C");
  EXPECT_STREQ(application_get_compiler(a), "cc");
  EXPECT_STREQ(application_get_suffix(a), ".inst");
  EXPECT_STREQ(application_get_cc_options(a), "");
  EXPECT_STREQ(application_get_prefix(a), "");
  char cwd[4096];
  ASSERT_TRUE(getcwd(cwd, sizeof cwd));
  EXPECT_STREQ(application_get_source_dir(a), cwd);
  EXPECT_STREQ(application_get_object_dir(a), cwd);
  EXPECT_EQ(application_get_profil(a), nullptr); /* unset: null, not "" */
  EXPECT_EQ(application_get_target(a), nullptr);
  EXPECT_STREQ(application_get_dialect(a), dialect_get_default_name());
  EXPECT_EQ(application_get_kvx_options(a, 5), nullptr);
  EXPECT_EQ(list_nb_items(application_get_files(a)), 0);
  application_free(a);

  KvxApplication *x = application_new("C++");
  EXPECT_STREQ(application_get_compiler(x), "CC");
  EXPECT_STREQ(application_get_kvx_options(x, 5), "yes");
  EXPECT_EQ(kvx_option_key_count(), 6);
  application_free(x);
}

TEST_F(Records, DefaultNameAvoidsExistingFiles) {
  TempDir dir;
  InDir in(dir.path());
  dir.write("unnamed.app", "");
  dir.write("unnamed1.arc.res", "");
  dir.write("unnamed2.rex", "");
  KvxApplication *a = application_new("C");
  EXPECT_EQ(take(application_get_name(a)), "unnamed3");
  application_free(a);
}

TEST_F(Records, GettersCopyOrLendAsDocumented) {
  KvxApplication *a = application_new("C");
  application_set_name(a, "demo");
  char *n1 = application_get_name(a);
  char *n2 = application_get_name(a);
  EXPECT_NE(n1, n2); /* each call a new copy */
  EXPECT_STREQ(n1, "demo");
  free(n1);
  free(n2);
  application_set_profil(a, "p.prf");
  char *p = application_get_profil(a);
  application_set_profil(a, "q.prf");
  EXPECT_STREQ(p, "p.prf"); /* the copy outlives the change */
  free(p);
  application_set_binary(a, "bin");
  EXPECT_EQ(take(application_get_name(a)), "bin");
  EXPECT_EQ(application_get_language(a), application_get_language(a)); /* stored */
  application_free(a);
}

TEST_F(Records, ExpandingSettersKeepOldValueOnUndefinedVariable) {
  EnvVar v("KVXT_ROOT", "/opt/root");
  EnvVar u("KVXT_UNSET", nullptr);
  KvxApplication *a = application_new("C");
  EXPECT_EQ(application_set_source_dir(a, "$KVXT_ROOT/src"), 1);
  EXPECT_STREQ(application_get_source_dir(a), "/opt/root/src");
  EXPECT_EQ(application_set_object_dir(a, "$(KVXT_ROOT)/obj"), 1);
  EXPECT_STREQ(application_get_object_dir(a), "/opt/root/obj");
  EXPECT_EQ(application_set_source_dir(a, "$KVXT_UNSET/src"), 0);
  EXPECT_STREQ(application_get_source_dir(a), "/opt/root/src");
  EXPECT_TRUE(msgs.contains("KVXT_UNSET: Error:  Undefined variable.\n")) << msgs.all();
  EXPECT_EQ(report_get_error_count(), 1);
  EXPECT_EQ(application_set_compiler(a, ""), 0); /* empty result ignored */
  EXPECT_STREQ(application_get_compiler(a), "cc");
  EXPECT_EQ(application_set_compiler(a, "$KVXT_ROOT/gcc"), 1);
  EXPECT_STREQ(application_get_compiler(a), "/opt/root/gcc");
  /* plain setters store the text as given */
  application_set_target(a, "$KVXT_ROOT");
  EXPECT_EQ(take(application_get_target(a)), "$KVXT_ROOT");
  application_free(a);
}

TEST_F(Records, ExpansionIsLimitedTo1024Bytes) {
  std::string big(1100, 'x');
  EnvVar v("KVXT_BIG", big.c_str());
  std::string fits(1000, 'y');
  EnvVar w("KVXT_FITS", fits.c_str());
  KvxApplication *a = application_new("C");
  EXPECT_EQ(application_set_prefix(a, "$KVXT_BIG"), 0);
  EXPECT_STREQ(application_get_prefix(a), "");
  EXPECT_TRUE(msgs.contains("Expanded text too long")) << msgs.all();
  EXPECT_EQ(application_set_prefix(a, "$KVXT_FITS/abc"), 1);
  EXPECT_EQ(strlen(application_get_prefix(a)), 1004u);
  EXPECT_EQ(env_expand("$(KVXT_FITS)$KVXT_FITS", REPORT_NONE), nullptr);
  application_free(a);
}

TEST_F(Records, PathJoiningAndNormalisation) {
  EXPECT_EQ(take(path_join("a/./b//c", "../d.c")), "a/b/d.c");
  EXPECT_EQ(take(path_join("/src", "/abs/x.c")), "/abs/x.c");
  EXPECT_EQ(take(path_join("", "x.c")), "x.c");
  EXPECT_EQ(take(path_join("../..", "x.c")), "../../x.c");
  EXPECT_EQ(take(path_join("a", "../../x.c")), "../x.c");
  EXPECT_EQ(take(path_join("/d", "C:\\w\\x.c")), "C:\\w\\x.c");
  EXPECT_EQ(take(path_get_dir("a/b\\c.c")), "a/b");
  EXPECT_EQ(take(path_get_dir("c.c")), "");
  EXPECT_STREQ(path_get_base("a/b\\c.c"), "c.c");
}

TEST_F(Records, FileNamesNeedAnExtension) {
  KvxApplication *a = application_new("C");
  for (const char *bad : {"/src/noext", "/src/.c", "/src/a.", ""}) {
    msgs.lines.clear();
    EXPECT_EQ(application_add_file(a, bad), nullptr) << bad;
    EXPECT_TRUE(msgs.contains(std::string("Wrong file name for file \"") + bad + "\"")) << msgs.all();
  }
  EXPECT_EQ(list_nb_items(application_get_files(a)), 0);
  application_free(a);
}

TEST_F(Records, FileListIsSortedAndRefusesDuplicates) {
  KvxApplication *a = application_new("C");
  application_set_source_dir(a, "/src");
  ASSERT_NE(application_add_file(a, "/src/b.c"), nullptr);
  EXPECT_EQ(application_add_file(a, "/src/b.c"), nullptr);
  KvxSource *x = application_add_file(a, "/x/main.c");
  KvxSource *y = application_add_file(a, "/y/main.c");
  ASSERT_TRUE(x && y);
  ASSERT_NE(application_add_file(a, "/src/a.cpp"), nullptr);
  KvxList *files = application_get_files(a);
  ASSERT_EQ(list_nb_items(files), 4);
  std::vector<std::string> order;
  for (void *p = list_first(files); p; p = list_next(files))
    order.push_back(take(source_get_filename((KvxSource *)p)));
  EXPECT_EQ(order, (std::vector<std::string>{"/src/a.cpp", "/src/b.c", "/x/main.c", "/y/main.c"}));
  application_free(a);
}

TEST_F(Records, InheritedDirectoriesFollowTheApplication) {
  KvxApplication *a = application_new("C");
  application_set_source_dir(a, "/src");
  application_set_object_dir(a, "/src");
  KvxSource *s = application_add_file(a, "/src/m.c");
  KvxSource *t = application_add_file(a, "/other/n.c");
  EXPECT_STREQ(source_get_source_dir_default(s), "");
  EXPECT_STREQ(source_get_object_dir_default(s), "");
  EXPECT_STREQ(source_get_source_dir_default(t), "/other");
  EXPECT_STREQ(source_get_object_file(s), "m.o");
  application_set_object_dir(a, "/obj");
  EXPECT_EQ(take(source_get_object(s)), "/obj/m.o");
  EXPECT_EQ(take(source_get_object(t)), "/other/n.o");
  EXPECT_EQ(take(source_get_filename_macro(s)), "$(SRC_DIR)/m.c");
  EXPECT_EQ(take(source_get_filename_macro(t)), "/other/n.c");
  /* setting the inherited value clears the own one */
  source_set_object_dir(t, "/obj");
  EXPECT_STREQ(source_get_object_dir_default(t), "");
  source_set_default_object(t, "/obj");
  EXPECT_STREQ(source_get_object_dir_default(t), "/obj");
  source_unset_object_dir(t);
  EXPECT_STREQ(source_get_object_dir(t), "/obj");
  application_set_get_source(a, "sccs get");
  EXPECT_STREQ(source_get_get_source(s), "sccs get");
  source_set_get_source(s, "sccs get");
  EXPECT_STREQ(source_get_get_source_default(s), "");
  source_set_get_source(s, "co -l");
  EXPECT_STREQ(source_get_get_source(s), "co -l");
  application_free(a);
}

TEST_F(Records, ObjectNamesAndSubstitution) {
  KvxApplication *a = application_new("C");
  application_set_object_dir(a, "/obj");
  KvxSource *s = application_add_file(a, "/src/p.cpp");
  EXPECT_STREQ(source_get_object_file(s), "p.o");
  EXPECT_TRUE(source_compare_object_name(s, "/src/p.o"));
  EXPECT_TRUE(application_present_object(a, "/src/p.o"));
  EXPECT_FALSE(application_present_object(a, "/obj/p.o"));
  EXPECT_EQ(application_substitute_object(a, "/src/p.x", "/obj/q.o"), 0);
  EXPECT_EQ(application_substitute_object(a, "/nope/p.o", "/obj/q.o"), 0); /* no file: nothing done */
  EXPECT_EQ(application_substitute_object(a, "/src/p.o", "/obj/q.o"), 1);
  EXPECT_TRUE(application_present_object(a, "/obj/q.o"));
  EXPECT_STREQ(source_get_object_dir_default(s), ""); /* = the application's */
  source_set_object_file(s, "");
  EXPECT_STREQ(source_get_object_file(s), "p.o");
  source_set_object(s, "/lib/r.o");
  EXPECT_EQ(take(source_get_object(s)), "/lib/r.o");
  application_free(a);
}

TEST_F(Records, DerivedNames) {
  KvxApplication *a = application_new("C");
  application_set_name(a, "prog");
  application_set_object_dir(a, "/obj");
  EXPECT_EQ(take(application_get_default_file_name(a)), "prog.app");
  EXPECT_EQ(take(application_get_res(a)), "/obj/prog.arc.res");
  EXPECT_EQ(take(application_get_zkc(a)), "/obj/prog.arc.zkc");
  EXPECT_EQ(take(application_get_mtr(a)), "/obj/prog.arc.mtr");
  EXPECT_EQ(take(application_get_rex(a)), "/obj/prog.rex");
  EXPECT_EQ(take(application_get_binary(a)), "/obj/prog");
  application_set_exec_file(a, "/bin/prog.exe");
  EXPECT_EQ(take(application_get_rex(a)), "/bin/prog.exe");
  application_free(a);
}

TEST_F(Records, CompilerOptionWordsAreKeptOnce) {
  KvxApplication *a = application_new("C");
  application_add_cc_option(a, "-O2");
  application_add_cc_option(a, "-O2");
  application_add_cc_option(a, "-O"); /* not hidden by -O2 */
  EXPECT_STREQ(application_get_cc_options(a), "-O2 -O ");
  application_add_cc_options(a, " -DA\t-O2  -DB ");
  EXPECT_STREQ(application_get_cc_options(a), "-O2 -O -DA -DB ");
  application_add_link_option(a, "-lm");
  application_add_link_options(a, "-lm -lz");
  EXPECT_STREQ(application_get_link_options(a), "-lm -lm -lz");
  application_free(a);
}

/* Options are tested as whole words, not as text inside another word:
 * "-O" is not inside "-DX=-O". */
TEST_F(Records, OptionWordsAreWholeWords) {
  KvxApplication *a = application_new("C");
  application_set_cc_options(a, "-DX=-O -I/inc/-g ");
  application_add_cc_option(a, "-O");
  application_add_cc_option(a, "-g");
  EXPECT_STREQ(application_get_cc_options(a), "-DX=-O -I/inc/-g -O -g ");
  KvxSource *s = application_add_file(a, "/s/a.c");
  source_set_cc_options(s, "-DX=-O -Wall");
  EXPECT_FALSE(source_present_cc_option(s, "-O"));
  EXPECT_FALSE(source_present_cc_option(s, "-Wal"));
  EXPECT_TRUE(source_present_cc_option(s, "-Wall"));
  EXPECT_TRUE(source_present_cc_option(s, "-DX=-O"));
  application_free(a);
}

TEST_F(Records, CommonOptionsNeedFiftyOnePercent) {
  KvxApplication *a = application_new("C");
  application_set_source_dir(a, "/s");
  KvxSource *f[3] = {application_add_file(a, "/s/a.c"), application_add_file(a, "/s/b.c"),
                     application_add_file(a, "/s/c.c")};
  source_set_cc_options(f[0], "-DTWO -DONE");
  source_set_cc_options(f[1], "-DTWO -DX");
  source_set_cc_options(f[2], "-DY");
  application_add_cc_options(a, "-DTWO -DONE -DX -DY");
  application_manage_cc_options(a);
  EXPECT_STREQ(application_get_cc_options(a), "-DTWO"); /* 66 % kept, 33 % dropped */
  EXPECT_EQ(source_get_use_default_cc_options(f[0]), 1);
  EXPECT_STREQ(source_get_cc_options(f[0]), "-DONE");
  EXPECT_STREQ(source_get_cc_options(f[1]), "-DX");
  EXPECT_EQ(source_get_use_default_cc_options(f[2]), 0); /* lacks -DTWO */
  EXPECT_STREQ(source_get_cc_options(f[2]), "-DY");
  application_free(a);

  KvxApplication *e = application_new("C");
  application_set_cc_options(e, "-g ");
  application_manage_cc_options(e); /* no files: options stay */
  EXPECT_STREQ(application_get_cc_options(e), "-g ");
  application_free(e);
}

TEST_F(Records, FileOptionsComputedFromCommonText) {
  KvxApplication *a = application_new("C");
  KvxSource *s = application_add_file(a, "/s/a.c");
  source_set_cc_options(s, "-g -O2");
  source_compute_cc_options(s, "-O2 -g");
  EXPECT_EQ(source_get_use_default_cc_options(s), 1);
  EXPECT_STREQ(source_get_cc_options(s), ""); /* all shared: cleared */
  source_set_cc_options(s, "-DA\t-g  -DB");
  EXPECT_TRUE(source_present_cc_option(s, "-g"));
  EXPECT_FALSE(source_present_cc_option(s, "-D"));
  source_remove_cc_option(s, "-g");
  EXPECT_STREQ(source_get_cc_options(s), "-DA\t-DB");
  application_free(a);
}

TEST_F(Records, FlagsAndFormat) {
  TempDir dir;
  KvxApplication *a = application_new("C");
  application_set_source_dir(a, dir.path().c_str());
  std::string path = dir.write("f.c", "int x;\n");
  KvxSource *s = application_add_file(a, path.c_str());
  EXPECT_TRUE(source_is_marked(s));
  EXPECT_STREQ(source_format(s), " -> f.c");
  source_invert_mark(s);
  EXPECT_STREQ(source_format(s), "    f.c");
  source_set_ok(s, 0);
  EXPECT_FALSE(source_is_ok(s));
  EXPECT_EQ(source_is_modified(s, 0), 1);
  EXPECT_EQ(source_is_modified(s, time(nullptr) + 3600), 0);
  KvxSource *gone = application_add_file(a, (dir.path() + "/gone.c").c_str());
  EXPECT_EQ(source_is_modified(gone, time(nullptr) + 3600), 1);
  EXPECT_EQ(source_get_application(s), a);
  application_free(a);
}

TEST_F(Records, RenamingKeepsTheListOrderedAndUnique) {
  KvxApplication *a = application_new("C");
  application_set_source_dir(a, "/s");
  KvxSource *x = application_add_file(a, "/s/x.c");
  KvxSource *y = application_add_file(a, "/s/y.c");
  KvxSource *z = application_add_file(a, "/t/x.c");
  source_set_source_file(y, "a.c");
  KvxList *files = application_get_files(a);
  EXPECT_EQ(list_get_ieme(files, 1), y);
  source_set_source_file(y, "x.c"); /* would equal /s/x.c */
  EXPECT_STREQ(source_get_source_file(y), "a.c");
  EXPECT_TRUE(msgs.contains("File \"x.c\" can appear only once in the application")) << msgs.all();
  EXPECT_EQ(source_set_source_dir(z, "/s"), 0);
  EXPECT_STREQ(source_get_source_dir(z), "/t");
  source_set_source_file(y, "noext");
  EXPECT_STREQ(source_get_source_file(y), "a.c");
  EXPECT_EQ(list_nb_items(files), 3);
  EXPECT_EQ(list_get_ieme(files, 2), x);
  application_free(a);
}

TEST_F(Records, PrintAndStandardRuleFile) {
  TempDir dir;
  KvxApplication *a = application_new("C");
  application_set_object_dir(a, "/o");
  KvxSource *s = application_add_file(a, "/s/p.c");
  source_set_cc_options(s, "-g");
  std::string out = dir.file("print.txt");
  fflush(stdout);
  int saved = dup(1);
  FILE *f = fopen(out.c_str(), "w");
  dup2(fileno(f), 1);
  source_print(s);
  source_set_use_default_cc_options(s, 0);
  source_print(s);
  source_set_cc_options(s, nullptr);
  source_set_use_default_cc_options(s, 1);
  source_print(s);
  fflush(stdout);
  dup2(saved, 1);
  close(saved);
  fclose(f);
  std::string block = "Filename   : /s/p.c\nShort      : p.c\nObject     : /s/p.o\n";
  EXPECT_EQ(read_file(out), block + "CC_options : default + -g\n" + block + "CC_options : -g\n" + block +
                                "CC_options : default\n");

  std::string lrl = dir.write("rules.lrl", "");
  {
    EnvVar v("KVX_ZKCK_LRL", lrl.c_str());
    EXPECT_EQ(take(application_get_lrl(a)), lrl);
  }
  EnvVar v("KVX_ZKCK_LRL", nullptr);
  EnvVar u("KVX_UTIL", dir.path().c_str());
  EnvVar h("HOME", dir.path().c_str());
  dir.write("rule_standard.lrl", "");
  EXPECT_EQ(take(application_get_lrl(a)), dir.file("rule_standard.lrl"));
  application_free(a);
}

TEST_F(Records, LanguageChangeAndCallback) {
  static std::string seen;
  application_set_language_cb([](const char *l) {
    seen = l;
    return 7;
  });
  KvxApplication *a = application_new("C");
  application_set_compiler(a, "gcc");
  EXPECT_EQ(application_set_language(a, "C++"), 7);
  EXPECT_EQ(seen, "C++");
  EXPECT_STREQ(application_get_compiler(a), "CC");
  EXPECT_EQ(application_get_header(a), 1);
  EXPECT_EQ(application_set_language(a, "C"), 7);
  EXPECT_STREQ(application_get_compiler(a), "cc");
  EXPECT_EQ(kvx_option_key_count(), 4);
  application_set_language_cb(nullptr);
  EXPECT_EQ(application_set_language(a, "C"), 0);
  application_free(a);
}

TEST_F(Records, ProcessSetUp) {
  char prog[] = "/usr/bin/tool.exe", arg[] = "-x";
  char *argv[] = {prog, arg, nullptr};
  arg_init(2, argv);
  EXPECT_STREQ(arg_get_machine_name(), "linux");
  EXPECT_EQ(arg_get_argc(), 2);
  EXPECT_STREQ(arg_get_argv()[1], "-x");
  EXPECT_NE(arg_get_argv()[1], arg); /* a private copy */
  EXPECT_STREQ(arg_get_program_name(), "kvxapp_tests"); /* the running module */
}

}  // namespace
