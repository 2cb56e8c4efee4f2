/*
 * build_test.cpp - build runs with stand-in programs first in PATH that
 * record their calls: the order of the commands, the removal of earlier
 * results, the clean target, the failure messages, an application without
 * files, hostile names; and a run of the real make on the generated
 * makefile with stand-in analysis tools.
 */
#include "make_util.h"

using namespace kvxtest;

namespace {

class Build : public TablesTest {
 protected:
  void TearDown() override {
    application_set_clean_target("");
    TablesTest::TearDown();
  }
  /* A C application "demo" of two files in the scratch directory. */
  KvxApplication *demo() {
    KvxApplication *a = application_new("C");
    application_set_name(a, "demo");
    application_set_source_dir(a, work.path().c_str());
    application_set_object_dir(a, work.path().c_str());
    for (const char *f : {"one.c", "two.c"}) {
      work.write(f, "int x;\n");
      application_add_file(a, work.file(f).c_str());
    }
    return a;
  }
  TempDir work, home;
  EnvVar no_rc{"KVX_MAKE_RC", nullptr};
  EnvVar own_home{"HOME", home.path().c_str()};
};

/* The calls of a stand-in log, the temporary makefile written as MK. */
std::string with_makefile_named(std::string calls, std::string *makefile = nullptr) {
  const std::string make = "== make\n-f\n";
  size_t at = calls.find(make);
  if (at == std::string::npos) return calls;
  size_t start = at + make.size(), end = calls.find('\n', start);
  std::string mk = calls.substr(start, end - start);
  if (makefile) *makefile = mk;
  for (size_t p; (p = calls.find(mk)) != std::string::npos;) calls.replace(p, mk.size(), "MK");
  return calls;
}

TEST_F(Build, CommandsInOrderForEachGoal) {
  StandIns bin;
  bin.add("make", "printf 'DCB=%s\\n' \"$DCBPATHNAME\" >> " + bin.log() +
                      "; grep -c '^KVX_CC_RES=' \"$2\" >> " + bin.log());
  bin.add("rm", "exec /bin/rm \"$@\"");
  std::string rc = write_script(home, "rc", "printf '== rc\\n%s\\n' \"$1\" >> " + bin.log() + "\n");
  EnvVar with_rc("KVX_MAKE_RC", rc.c_str());
  InDir in(work.path());
  KvxApplication *a = demo();
  std::string o = work.path();

  work.write("demo.arc.res", "old results");
  EXPECT_EQ(take(application_build_res(a)), o + "/demo.arc.res") << msgs.all();
  std::string mk;
  EXPECT_EQ(with_makefile_named(bin.calls(), &mk),
            "== rc\nMK\n== rm\n-f\n" + o + "/demo.arc.res\n== make\n-f\nMK\n" + o +
                "/demo.arc.res\nDCB=" + o + "/demo.dcb\n1\n");
  EXPECT_FALSE(exists(mk));                  /* the temporary makefile is gone */
  EXPECT_FALSE(exists(o + "/demo.arc.res")); /* the earlier results too */

  struct {
    char *(*build)(KvxApplication *);
    std::string removed, goal, result;
  } goals[] = {
      {application_build_mtr, o + "/demo.arc.mtr\n" + o + "/demo.arc.res", o + "/demo.arc.mtr", o + "/demo.arc.mtr"},
      {application_build_cd, o + "/demo.arc.cd", o + "/demo.arc.cd", o + "/demo.arc.cd"},
      {application_build_dck, o + "/demo.arc.dck", o + "/demo.arc.dck", o + "/demo.arc.dck"},
  };
  for (auto &g : goals) {
    bin.clear();
    EXPECT_EQ(take(g.build(a)), g.result);
    EXPECT_EQ(with_makefile_named(bin.calls()), "== rc\nMK\n== rm\n-f\n" + g.removed + "\n== make\n-f\nMK\n" +
                                                    g.goal + "\nDCB=" + o + "/demo.dcb\n1\n");
  }
  bin.clear();
  /* the binary: the static archive is named as the result */
  EXPECT_EQ(take(application_build_binary(a, 0)), o + "/demo.arc.res");
  EXPECT_EQ(with_makefile_named(bin.calls()), "== rc\nMK\n== rm\n-f\n" + o + "/demo.arc.res\n" + o +
                                                  "/demo\n== make\n-f\nMK\n" + o + "/demo\nDCB=" + o +
                                                  "/demo.dcb\n1\n");
  EXPECT_EQ(msgs.all(), "");
  EXPECT_EQ(read_dir(work.path()), (std::vector<std::string>{"one.c", "two.c"}));
  application_free(a);
}

TEST_F(Build, CleanTargetComesBeforeTheGoalWhenAsked) {
  StandIns bin;
  bin.add("make");
  bin.add("rm");
  InDir in(work.path());
  KvxApplication *a = demo();
  application_set_clean_target("tchkCleanup viewerCleanup");
  EXPECT_NE(take(application_build_binary(a, 1)), "(null)");
  std::string calls = with_makefile_named(bin.calls());
  EXPECT_NE(calls.find("\nMK\ntchkCleanup\nviewerCleanup\n" + work.path() + "/demo\n"), std::string::npos) << calls;
  bin.clear();
  EXPECT_NE(take(application_build_binary(a, 0)), "(null)");
  EXPECT_EQ(bin.calls().find("Cleanup"), std::string::npos);
  EXPECT_NE(take(application_build_res(a)), "(null)"); /* only binaries clean */
  EXPECT_EQ(bin.calls().find("Cleanup"), std::string::npos);
  application_free(a);
}

TEST_F(Build, FailuresAreReportedAndLeaveNoMakefile) {
  StandIns bin;
  bin.add("make", "exit 2");
  bin.add("rm");
  InDir in(work.path());
  KvxApplication *a = demo();
  std::string mk;
  EXPECT_EQ(application_build_res(a), nullptr);
  EXPECT_TRUE(msgs.contains("Error(s): unable to build Kavexo results\n")) << msgs.all();
  with_makefile_named(bin.calls(), &mk);
  EXPECT_FALSE(exists(mk));
  msgs.lines.clear();
  EXPECT_EQ(application_build_mtr(a), nullptr);
  EXPECT_TRUE(msgs.contains("unable to build Kavexo results")) << msgs.all();
  msgs.lines.clear();
  EXPECT_EQ(application_build_binary(a, 1), nullptr);
  EXPECT_TRUE(msgs.contains("Error(s): unable to build instrumented binary\n")) << msgs.all();
  application_free(a);

  /* no file: nothing runs */
  bin.clear();
  KvxApplication *empty = application_new("C");
  msgs.lines.clear();
  EXPECT_EQ(application_build_dck(empty), nullptr);
  EXPECT_EQ(application_build_binary(empty, 0), nullptr);
  EXPECT_EQ(msgs.all(), "Error(s): application is empty\nError(s): application is empty\n");
  EXPECT_EQ(bin.calls(), "");
  application_free(empty);

  /* a name make cannot carry: refused before anything runs */
  KvxApplication *bad = demo();
  application_set_name(bad, "my demo");
  EXPECT_EQ(application_build_res(bad), nullptr);
  EXPECT_TRUE(msgs.contains("cannot be written in a makefile")) << msgs.all();
  EXPECT_EQ(bin.calls(), "");
  application_free(bad);
}

TEST_F(Build, HostileNamesReachTheProgramsAsNames) {
  StandIns bin;
  bin.add("make");
  bin.add("rm");
  InDir in(work.path());
  KvxApplication *a = demo();
  for (const std::string &name : hostile_names()) {
    SCOPED_TRACE(name);
    std::string dir = work.file("t" + name);
    ASSERT_EQ(mkdir(dir.c_str(), 0755), 0);
    EnvVar tmp("TMPDIR", dir.c_str());
    /* the start-up file found in a home directory of that name */
    std::string rc = dir + "/.kvx_make_rc";
    std::ofstream(rc) << "#!/bin/sh\nprintf '== rc\\n%s\\n' \"$1\" >> " << bin.log() << "\n";
    chmod(rc.c_str(), 0755);
    EnvVar in_home("HOME", dir.c_str());
    application_set_clean_target(name.c_str());
    bin.clear();
    EXPECT_NE(take(application_build_binary(a, 1)), "(null)") << msgs.all();
    std::string mk, calls = with_makefile_named(bin.calls(), &mk);
    EXPECT_EQ(mk.compare(0, dir.size() + 1, dir + "/"), 0) << mk; /* made in $TMPDIR */
    std::string clean;
    for (char c : name) clean += c == ' ' ? '\n' : c; /* the clean text is words */
    EXPECT_EQ(calls, "== rc\nMK\n== rm\n-f\n" + work.path() + "/demo.arc.res\n" + work.path() +
                         "/demo\n== make\n-f\nMK\n" + clean + "\n" + work.path() + "/demo\n");
    EXPECT_EQ(read_dir(dir), std::vector<std::string>{".kvx_make_rc"});
  }
  EXPECT_FALSE(exists(work.file("pwned")));
  EXPECT_FALSE(exists(home.file("pwned")));
  application_free(a);
}

TEST_F(Build, RealMakeRunsTheToolsOverTheFiles) {
  StandIns bin;
  /* each tool records its call and makes the file named after -o */
  const std::string makes_output =
      "out=; prev=; for a in \"$@\"; do [ \"$prev\" = -o ] && out=$a; prev=$a; done\n"
      "[ -n \"$out\" ] && : > \"$out\"\n";
  for (const char *tool : {"kvx_cc", "kvx_ld", "cc"}) bin.add(tool, makes_output);
  InDir in(work.path());
  KvxApplication *a = demo();
  KvxSource *two = (KvxSource *)list_get_ieme(application_get_files(a), 2);
  source_invert_mark(two); /* two.c is not analysed */
  std::string o = work.path();

  EXPECT_EQ(take(application_build_res(a)), o + "/demo.arc.res") << msgs.all();
  EXPECT_TRUE(exists(o + "/demo.arc.res"));
  std::string calls = bin.calls();
  EXPECT_EQ(calls.find("two.c"), std::string::npos);
  size_t cc = calls.find("== kvx_cc\n-dial\ngnu\n" + o + "/one.c\n-c\n-o\n" + o + "/one.res\n");
  size_t ld = calls.find("== kvx_ld\n-nowarning\n" + o + "/one.res\n-o\n" + o + "/demo.arc.res\n");
  EXPECT_NE(cc, std::string::npos) << calls;
  EXPECT_NE(ld, std::string::npos) << calls;
  EXPECT_LT(cc, ld);

  /* the binary: one instrumented file, one plain object, then the link */
  bin.clear();
  EXPECT_EQ(take(application_build_binary(a, 0)), o + "/demo.arc.res") << msgs.all();
  EXPECT_TRUE(exists(o + "/demo"));
  calls = bin.calls();
  EXPECT_NE(calls.find("== kvx_cc\n-dial\ngnu\n-inst\n"), std::string::npos) << calls;
  EXPECT_NE(calls.find("== cc\n" + o + "/two.c\n-c\n-o\n" + o + "/two.o\n"), std::string::npos) << calls;
  EXPECT_NE(calls.find("== cc\n/opt/kvx/instr/c/trqins_kvx2.c\n" + o + "/two.o\n" + o + "/one.inst.o\n-o\n" + o +
                       "/demo\n"),
            std::string::npos)
      << calls;
  application_free(a);
}

}  // namespace
