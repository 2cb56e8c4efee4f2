/*
 * reader_test.cpp - building an application from a user's makefile: real
 * makefiles read through the shipped make_reader (flat, recursive with cd
 * and $(MAKE) -C, a renamed object, an over-long line, a C++ file in a C
 * application, a compiler named by a variable), failures, hostile names;
 * and the reading of given command text through a stand-in make_reader.
 */
#include "make_util.h"

using namespace kvxtest;

namespace {

class Reader : public TablesTest {
 protected:
  /* The record as text, the scratch directory written "@". */
  std::string describe(KvxApplication *a) {
    if (!a) return "(null)";
    std::string s = "name " + take(application_get_name(a)) + "\nlanguage " + application_get_language(a) +
                    "\nsource_dir " + application_get_source_dir(a) + "\nobject_dir " +
                    application_get_object_dir(a) + "\ncc " + application_get_cc_options(a) + "\nlink " +
                    application_get_link_options(a) + "\n";
    KvxList *files = application_get_files(a);
    for (int i = 1; i <= list_nb_items(files); i++) {
      KvxSource *f = (KvxSource *)list_get_ieme(files, i);
      s += "file " + take(source_get_filename(f)) + " -> " + take(source_get_object(f)) +
           (source_get_use_default_cc_options(f) ? " +" : " only") + " [" + source_get_cc_options(f) + "]\n";
    }
    application_free(a);
    for (size_t p; (p = s.find(work.path())) != std::string::npos;) s.replace(p, work.path().size(), "@");
    return s;
  }
  /* Messages, the scratch directory written "@", one blank after the
   * level. */
  std::string messages() {
    std::string s = msgs.all();
    for (size_t p; (p = s.find(work.path())) != std::string::npos;) s.replace(p, work.path().size(), "@");
    for (size_t p; (p = s.find(":  ")) != std::string::npos;) s.erase(p + 1, 1);
    msgs.lines.clear();
    return s;
  }
  void sources(const std::string &dir, std::initializer_list<const char *> names) {
    mkdir(work.file(dir).c_str(), 0755);
    for (const char *n : names) work.write(dir + "/" + n, "");
  }
  TempDir work, home;
  EnvVar own_home{"HOME", home.path().c_str()};
  EnvVar no_util{"KVX_UTIL", nullptr};
  EnvVar no_reader{"KVX_MAKE_READER", nullptr};
};

TEST_F(Reader, FlatMakefile) {
  sources("flat", {"a.c", "b.c"});
  work.write("flat/Makefile",
             "CFLAGS = -O2 -Iinclude -DX\n"
             "prog: a.o b.o\n\tcc -o prog a.o b.o ../lib/libz.a -lm\n"
             "a.o: a.c\n\tcc $(CFLAGS) -c a.c\n"
             "b.o: b.c\n\tgcc $(CFLAGS) \\\n\t  -DEXTRA -c -o b.o b.c\n");
  EXPECT_EQ(describe(application_makefile(work.file("flat/Makefile").c_str(), "", nullptr)),
            "name prog\nlanguage C\nsource_dir @/flat\nobject_dir @/flat\n"
            "cc -O2 -I@/flat/include -DX\nlink ../lib/libz.a -lm\n"
            "file @/flat/a.c -> @/flat/a.o + []\n"
            "file @/flat/b.c -> @/flat/b.o + [-DEXTRA]\n");
  EXPECT_EQ(messages(), "");
}

TEST_F(Reader, RecursiveMakesWithCdAndDashC) {
  sources("top", {});
  sources("top/lib", {"util.c"});
  sources("top/app", {"main.c"});
  work.write("top/Makefile", "all:\n\t$(MAKE) -C lib\n\tcd app && $(MAKE)\n\t@echo built\n");
  work.write("top/lib/Makefile", "all:\n\tgcc -I../include -DLIB -c util.c\n\tar rcs libutil.a util.o\n");
  work.write("top/app/Makefile",
             "all:\n\tcc -I../include -c main.c\n\tmv main.o main_app.o\n"
             "\tcc -o ../bin/tool main_app.o ../lib/libutil.a\n");
  char before[4096], after[4096];
  ASSERT_TRUE(getcwd(before, sizeof before));
  EXPECT_EQ(describe(application_makefile(work.file("top/Makefile").c_str(), "all", nullptr)),
            "name tool\nlanguage C\nsource_dir @/top\nobject_dir @/top/bin\n"
            "cc -I@/top/include\nlink ../lib/libutil.a\n"
            "file @/top/app/main.c -> @/top/app/main_app.o + []\n"
            "file @/top/lib/util.c -> @/top/lib/util.o + [-DLIB]\n");
  EXPECT_EQ(messages(),
            "@/top/Makefile: Warning: command 'ar' is not interpreted by Kavexo\n"
            "@/top/Makefile: Warning: command 'echo' is not interpreted by Kavexo\n");
  ASSERT_TRUE(getcwd(after, sizeof after));
  EXPECT_STREQ(before, after);
}

TEST_F(Reader, OverLongLineIsReportedAndSkipped) {
  sources("long", {"a.c", "b.c"});
  std::string many;
  while (many.size() < 520) many += " -DLONG_OPTION_" + std::to_string(many.size());
  work.write("long/Makefile", "all:\n\tcc" + many + " -c a.c\n\tcc -c b.c\n");
  EXPECT_EQ(describe(application_makefile(work.file("long/Makefile").c_str(), nullptr, nullptr)),
            "name unnamed\nlanguage C\nsource_dir @/long\nobject_dir @/long\ncc \nlink \n"
            "file @/long/b.c -> @/long/b.o + []\n");
  EXPECT_EQ(messages(), "@/long/Makefile: Error: Input string too long, limit 512\n");
}

TEST_F(Reader, FirstSourceSetsTheLanguageAndOthersAreSkipped) {
  sources("mixed", {"a.c", "b.cpp"});
  work.write("mixed/Makefile", "all:\n\tcc -c a.c\n\tg++ -c b.cpp\n\tc++ -c b.cpp\n");
  InDir in(work.file("mixed"));
  EXPECT_EQ(describe(application_makefile("Makefile", nullptr, nullptr)),
            "name unnamed\nlanguage C\nsource_dir @/mixed\nobject_dir @/mixed\ncc \nlink \n"
            "file @/mixed/a.c -> @/mixed/a.o + []\n");
  EXPECT_EQ(messages(), "Makefile: Warning: file @/mixed/b.cpp skipped, its language is C++, the application's C\n");

  work.write("mixed/Makefile", "all:\n\tclang++ -c b.cpp\n\tclang -c a.c\n");
  KvxApplication *a = application_makefile("Makefile", nullptr, nullptr);
  EXPECT_STREQ(application_get_language(a), "C++");
  EXPECT_STREQ(application_get_compiler(a), "CC");
  EXPECT_EQ(list_nb_items(application_get_files(a)), 1);
  application_free(a);
}

TEST_F(Reader, VariableNamesTheCompiler) {
  sources("cross", {"a.c"});
  work.write("cross/Makefile", "CC = /opt/cross/bin/xcc\nall:\n\t$(CC) -DCROSS -c a.c\n");
  std::string mk = work.file("cross/Makefile");
  KvxApplication *plain = application_makefile(mk.c_str(), nullptr, nullptr);
  EXPECT_EQ(list_nb_items(application_get_files(plain)), 0);
  application_free(plain);
  EXPECT_EQ(messages(), "@/cross/Makefile: Warning: command 'xcc' is not interpreted by Kavexo\n");
  EXPECT_EQ(describe(application_makefile(mk.c_str(), nullptr, "CC")),
            "name unnamed\nlanguage C\nsource_dir @/cross\nobject_dir @/cross\ncc -DCROSS\nlink \n"
            "file @/cross/a.c -> @/cross/a.o + []\n");
  EXPECT_EQ(messages(), "");
}

TEST_F(Reader, FailuresGiveNullAndAMessage) {
  char before[4096], after[4096];
  ASSERT_TRUE(getcwd(before, sizeof before));
  EXPECT_EQ(application_makefile(work.file("none/Makefile").c_str(), nullptr, nullptr), nullptr);
  EXPECT_EQ(messages(), "@/none/Makefile: Error: No such file or directory\n");
  EXPECT_EQ(application_makefile("$KVXT_UNSET_VARIABLE/Makefile", nullptr, nullptr), nullptr);
  EXPECT_EQ(messages(), "KVXT_UNSET_VARIABLE: Error: Undefined variable.\n");

  sources("broken", {});
  work.write("broken/Makefile", "all: missing.c\n\tcc -c missing.c\n");
  EXPECT_EQ(application_makefile(work.file("broken/Makefile").c_str(), nullptr, nullptr), nullptr);
  EXPECT_EQ(messages(),
            "@/broken/Makefile: Error: unable to read the makefile, make_reader ended with status 2\n");
  ASSERT_TRUE(getcwd(after, sizeof after));
  EXPECT_STREQ(before, after);
}

TEST_F(Reader, HostileNamesAreNeverRun) {
  /* the script itself in a directory whose name the shell would run */
  std::string scripts = work.file("s b;touch pwned'q");
  ASSERT_EQ(mkdir(scripts.c_str(), 0755), 0);
  std::string shipped = std::string(getenv("KVX_BUILD_DIR") ? getenv("KVX_BUILD_DIR") : "../../build") +
                        "/util/make_reader";
  std::string copy = scripts + "/make_reader";
  {
    std::ofstream(copy) << read_file(shipped);
    chmod(copy.c_str(), 0755);
  }
  EnvVar reader("KVX_MAKE_READER", copy.c_str());
  for (const std::string &name : hostile_names()) {
    SCOPED_TRACE(name);
    std::string top = work.file("p" + name);
    ASSERT_EQ(mkdir(top.c_str(), 0755), 0);
    ASSERT_EQ(mkdir((top + "/" + name).c_str(), 0755), 0);
    std::ofstream(top + "/" + name + "/" + name + ".c");
    /* the makefile quotes the directory as its author must */
    std::string quoted = "'";
    for (char c : name) quoted += c == '\'' ? std::string("'\\''") : c == '$' ? std::string("$$") : std::string(1, c);
    quoted += "'";
    std::ofstream(top + "/Makefile") << "all:\n\t$(MAKE) -C " << quoted << "\n";
    std::ofstream(top + "/" + name + "/Makefile") << "all:\n\tcc -c " << quoted.substr(0, quoted.size() - 1)
                                                  << ".c'\n";
    InDir in(top);
    /* as make arguments: targets the makefile does not have */
    EXPECT_EQ(application_makefile("Makefile", name.c_str(), nullptr), nullptr);
    messages();
    /* as the variable: make refuses a variable of that name */
    EXPECT_EQ(application_makefile("Makefile", nullptr, name.c_str()), nullptr);
    messages();
    for (const char *variable : {"", "V_AR"}) {
      KvxApplication *a = application_makefile("Makefile", nullptr, variable);
      ASSERT_NE(a, nullptr) << messages();
      ASSERT_EQ(list_nb_items(application_get_files(a)), 1);
      EXPECT_EQ(take(source_get_filename((KvxSource *)list_get_ieme(application_get_files(a), 1))),
                top + "/" + name + "/" + name + ".c");
      application_free(a);
    }
    EXPECT_FALSE(exists(top + "/pwned"));
    EXPECT_FALSE(exists(top + "/" + name + "/pwned"));
  }
  EXPECT_FALSE(exists(work.file("pwned")));
  EXPECT_FALSE(exists(scripts + "/pwned"));
}

/* make_reader replaced by a script that prints the given text. */
class Scanner : public Reader {
 protected:
  KvxApplication *read(const std::string &output) {
    std::string out = work.write("output.txt", output);
    std::string script = write_script(home, "printer", "cat '" + out + "'\n");
    EnvVar reader("KVX_MAKE_READER", script.c_str());
    work.write("Makefile", "");
    InDir in(work.path());
    return application_makefile("Makefile", nullptr, nullptr);
  }
};

TEST_F(Scanner, ShellWordsOptionsAndRedirections) {
  EXPECT_EQ(describe(read("gcc -c -DNAME='\"a b\"' -I inc -include conf.h -MT x.o -MF x.d x.c -o out/x.o 2> log.h"
                          " && echo ok >> y.c\n"
                          "cc -c \\\n  y.c -Wall\n"
                          "CFLAGS=-g cc -U NDEBUG -c \"z z.c\" # comment.c\n"
                          "if test -f w.c; then cc -c w.c; fi\n"
                          "cc -E p.c -o p.i; cc -MM p.c -o p.d\n")),
            "name unnamed\nlanguage C\nsource_dir @\nobject_dir @\n"
            "cc \nlink \n"
            "file @/p.c -> @/p.o + []\n"
            "file @/w.c -> @/w.o + []\n"
            "file @/x.c -> @/out/x.o + [-DNAME='\"a b\"' -I@/inc -includeconf.h -MTx.o -MFx.d]\n"
            "file @/y.c -> @/y.o + [-Wall]\n"
            "file @/z z.c -> @/z z.o + [-UNDEBUG]\n");
  EXPECT_EQ(messages(),
            "Makefile: Warning: command 'echo' is not interpreted by Kavexo\n"
            "Makefile: Warning: command 'test' is not interpreted by Kavexo\n");
}

TEST_F(Scanner, ObjectsMovesAndDirectories) {
  EXPECT_EQ(describe(read("cd src\n"
                          "cc -c a.c\n"
                          "cc -c ../lib/b.c\n"
                          "mv a.o a2.o\n"
                          "mv -f b.o ../lib/b.o ../old\n"
                          "mv\n"
                          "cd /\n"
                          "cd " + work.path() + "\n"
                          "cc -o /prog src/a2.o stray.o -L lib -lq\n"
                          "GetOption\n"
                          "cc -c c.c\n"
                          "KAVEXO note\n"
                          "/usr/bin/make_reader -C x\n")),
            "name prog\nlanguage C\nsource_dir @\nobject_dir /\ncc \nlink @/stray.o -L@/lib -lq\n"
            "file @/src/a.c -> @/src/a2.o + []\n"
            "file @/lib/b.c -> @/src/b.o + []\n"
            "file @/c.c -> @/c.o + []\n");
  EXPECT_EQ(messages(),
            "Makefile: Warning: command 'mv b.o ...' is not interpreted by Kavexo\n"
            "Makefile: Warning: command 'mv  ...' is not interpreted by Kavexo\n");
}

}  // namespace
