/*
 * makefile_test.cpp - the generated makefile, compared byte for byte with
 * texts written by hand for a C and a C++ application; the names of
 * instrumented copies; names a makefile cannot carry; the factoring of
 * common directories.
 */
#include "make_util.h"

#include <cstring>

using namespace kvxtest;

namespace {

class Makefile : public TablesTest {
 protected:
  /* The text application_get_makefile writes, from a scratch directory. */
  std::string makefile_of(KvxApplication *a) {
    TempDir here;
    InDir in(here.path());
    std::string name = take(application_get_makefile(a));
    EXPECT_EQ(name, take(application_get_name(a)) + ".kvx_make") << msgs.all();
    return read_file(here.file(name));
  }
  static std::string expected(const std::string &name) {
    return read_file(std::string(getenv("KVX_SOURCE_DIR") ? getenv("KVX_SOURCE_DIR") : "../..") +
                     "/kvxapp/tests/data/" + name);
  }
};

KvxSource *file(KvxApplication *a, const char *path) {
  KvxSource *s = application_add_file(a, path);
  EXPECT_NE(s, nullptr) << path;
  return s;
}

TEST_F(Makefile, CApplicationTextAsWrittenByHand) {
  KvxApplication *a = application_new("C");
  application_set_name(a, "demo");
  application_set_source_dir(a, "/proj/src");
  application_set_object_dir(a, "/proj/obj");
  application_set_compiler(a, "gcc");
  application_set_cc_options(a, "-O2\n-DNDEBUG"); /* one makefile line */
  application_set_link_options(a, "-lm");
  application_set_ignore(a, "app.ign");
  application_set_expand_macro(a, 0);

  /* marked, both directories inherited, the application's options plus one */
  KvxSource *fa = file(a, "/proj/src/a.c");
  source_unset_object_dir(fa);
  source_set_cc_options(fa, "-DA");
  /* unmarked, own directories, compiler options of its own: the dialect's
   * instrumentation directory comes first */
  KvxSource *fb = file(a, "/proj/lib/b.c");
  source_invert_mark(fb);
  source_set_use_default_cc_options(fb, 0);
  source_set_cc_options(fb, "-DB=1");
  /* checker options of its own, on a dialect without instrumentation source */
  KvxSource *fc = file(a, "/proj/src/c.c");
  source_unset_object_dir(fc);
  source_set_use_default_kvx_options(fc, 0);
  source_set_dialect(fc, "Plain");
  source_set_macro_file(fc, "c.mac");
  source_set_use_default_cc_options(fc, 0);
  source_set_cc_options(fc, "-DC");

  EXPECT_EQ(makefile_of(a), expected("demo_c.kvx_make"));
  EXPECT_STREQ(getenv("DCBPATHNAME"), "/proj/obj/demo.dcb");
  EXPECT_EQ(msgs.all(), "");
  application_free(a);
}

TEST_F(Makefile, CxxApplicationTextAsWrittenByHand) {
  KvxApplication *a = application_new("C++");
  application_set_name(a, "viewer");
  application_set_source_dir(a, "/proj/src");
  application_set_object_dir(a, "/proj/obj");
  application_set_prefix(a, "pre_");
  source_unset_object_dir(file(a, "/proj/src/x.cc"));
  KvxSource *y = file(a, "/proj/src/y.cpp");
  source_unset_object_dir(y);
  source_invert_mark(y);
  EXPECT_EQ(makefile_of(a), expected("viewer_cxx.kvx_make"));

  /* file names of checker options are words of the recipes */
  application_set_ignore(a, "my $HOME.ign");
  EXPECT_NE(makefile_of(a).find("\nKVXFLAGS= -ign 'my $$HOME.ign' -header \n"), std::string::npos);

  /* a dialect without instrumentation source: no CFLAGS_INST, an empty
   * KVX_INST_FILE */
  application_set_dialect(a, "Bare");
  std::string text = makefile_of(a);
  EXPECT_EQ(text.find("CFLAGS_INST="), std::string::npos);
  EXPECT_NE(text.find("DYN_OUTPUT_FLAG=-o \nCFLAGS= \n\nKVX_INST_FILE= \n\n"), std::string::npos);
  EXPECT_NE(text.find("KVX_CC_RES=kvx_c++ -dial bare -apc /proj/obj/viewer.apc\n"), std::string::npos);
  application_free(a);
}

TEST_F(Makefile, EmptyObjectDirectoryGivesNamesInTheCurrentOne) {
  KvxApplication *a = application_new("C");
  application_set_name(a, "here");
  application_set_object_dir(a, "");
  file(a, "/src/m.c");
  std::string text = makefile_of(a);
  EXPECT_NE(text.find("\n./here.arc.res: $(MARKED_LIST:123kvx321=res)\n"), std::string::npos);
  EXPECT_NE(text.find("\n./here: $(MARKED_LIST:123kvx321=inst.o) ./here.arc.res $(OBJECT_LIST)\n"),
            std::string::npos);
  EXPECT_STREQ(getenv("DCBPATHNAME"), "./here.dcb");
  application_free(a);
}

TEST_F(Makefile, InstrumentedNames) {
  auto name = [](const char *path, const char *prefix, const char *suffix) {
    return take(application_pref_suf_bis(path, prefix, suffix));
  };
  EXPECT_EQ(name("src/a.c", "", ".inst"), "src/a.inst.c");
  EXPECT_EQ(name("src/a.c", "p_", ".inst"), "src/p_a.inst.c");  /* after the directory */
  EXPECT_EQ(name("src/a.c", "./i/", ".inst"), "./i/a.inst.c"); /* replaces it */
  EXPECT_EQ(name("src/a.c", "/tmp/i/", "_k"), "/tmp/i/a_k.c");
  EXPECT_EQ(name("src/a.c", "~/x_", ""), "~/x_a.c");
  EXPECT_EQ(name("a.b.cpp", "p", ".i"), "pa.b.i.cpp"); /* the last dot of the base name */
  EXPECT_EQ(name("v1.2/Makefile", nullptr, ".i"), "v1.2/Makefile.i");
  EXPECT_EQ(name("", "p", ".i"), "(null)");
  EXPECT_EQ(name(nullptr, "p", ".i"), "(null)");

  KvxApplication *a = application_new("C++");
  application_set_prefix(a, "./out/");
  application_set_suffix(a, "_ins");
  EXPECT_EQ(take(application_pref_suf(a, "/w/t.cc")), "./out/t_ins.cc");
  application_free(a);
}

TEST_F(Makefile, NamesAMakefileCannotCarryAreRefused) {
  TempDir here;
  InDir in(here.path());
  for (const std::string &bad : hostile_names()) {
    KvxApplication *a = application_new("C");
    application_set_source_dir(a, "/p");
    application_set_object_dir(a, "/p");
    file(a, ("/p/" + bad + "/m.c").c_str());
    msgs.lines.clear();
    EXPECT_EQ(application_get_makefile(a), nullptr) << bad;
    EXPECT_TRUE(msgs.contains("cannot be written in a makefile")) << msgs.all();
    EXPECT_TRUE(msgs.contains(bad)) << msgs.all();
    application_set_name(a, bad.c_str());
    EXPECT_EQ(application_get_makefile(a), nullptr) << bad;
    application_free(a);
  }
  EXPECT_EQ(read_dir(here.path()), std::vector<std::string>{}); /* nothing written */
}

TEST_F(Makefile, FailureToWriteIsReportedAndLeavesNoFile) {
  TempDir here;
  InDir in(here.path());
  mkdir(here.file("busy.kvx_make").c_str(), 0755);
  KvxApplication *a = application_new("C");
  application_set_name(a, "busy");
  EXPECT_EQ(application_get_makefile(a), nullptr);
  EXPECT_TRUE(msgs.contains("busy.kvx_make")) << msgs.all();
  application_free(a);
}

/* n files, the first `in` of them in /common, the others each in a
 * directory of its own (given in the order of the file list). */
KvxApplication *spread(int n, int in) {
  KvxApplication *a = application_new("C");
  application_set_source_dir(a, "/app");
  application_set_object_dir(a, "/app");
  char path[64];
  for (int i = 0; i < n; i++) {
    if (i < in)
      snprintf(path, sizeof path, "/common/f%03d.c", i);
    else
      snprintf(path, sizeof path, "/own%03d/f%03d.c", i, i);
    application_add_file(a, path);
  }
  return a;
}

std::vector<std::string> file_names(KvxApplication *a) {
  std::vector<std::string> out;
  KvxList *files = application_get_files(a);
  for (int i = 1; i <= list_nb_items(files); i++)
    out.push_back(take(source_get_filename((KvxSource *)list_get_ieme(files, i))) + " -> " +
                  take(source_get_object((KvxSource *)list_get_ieme(files, i))));
  return out;
}

TEST_F(Makefile, CommonDirectoriesFromFiftyOnePercent) {
  KvxApplication *half = spread(100, 50);
  std::vector<std::string> before = file_names(half);
  application_manage_directory(half);
  EXPECT_STREQ(application_get_source_dir(half), "/app"); /* 50 %: nothing changes */
  EXPECT_STREQ(application_get_object_dir(half), "/app");
  EXPECT_EQ(file_names(half), before);
  application_free(half);

  KvxApplication *most = spread(100, 51);
  before = file_names(most);
  application_manage_directory(most);
  EXPECT_STREQ(application_get_source_dir(most), "/common");
  EXPECT_STREQ(application_get_object_dir(most), "/common");
  EXPECT_EQ(file_names(most), before); /* every file stays where it was */
  KvxSource *first = (KvxSource *)list_get_ieme(application_get_files(most), 1);
  KvxSource *last = (KvxSource *)list_get_ieme(application_get_files(most), 100);
  EXPECT_STREQ(source_get_source_dir_default(first), "");
  EXPECT_STREQ(source_get_object_dir_default(first), "");
  EXPECT_STREQ(source_get_source_dir_default(last), "/own099");
  application_free(most);
}

TEST_F(Makefile, FilesThatInheritedKeepTheirDirectories) {
  KvxApplication *a = application_new("C");
  application_set_source_dir(a, "/app");
  application_set_object_dir(a, "/app");
  KvxSource *inherits = application_add_file(a, "/app/a.c");
  KvxSource *b = application_add_file(a, "/x/b.c");
  application_add_file(a, "/x/c.c");
  source_set_object(b, "/o/b.o");
  std::vector<std::string> before = file_names(a);
  application_manage_directory(a); /* sources: /x 66 %; objects: /x 33 % */
  EXPECT_STREQ(application_get_source_dir(a), "/x");
  EXPECT_STREQ(application_get_object_dir(a), "/app");
  EXPECT_EQ(file_names(a), before);
  EXPECT_STREQ(source_get_source_dir_default(inherits), "/app"); /* the old value, now its own */
  EXPECT_STREQ(source_get_source_dir_default(b), "");
  application_free(a);

  KvxApplication *none = application_new("C");
  application_set_source_dir(none, "/app");
  application_manage_directory(none);
  EXPECT_STREQ(application_get_source_dir(none), "/app");
  application_free(none);
}

}  // namespace
