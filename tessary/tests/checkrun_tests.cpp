/* Preparing a check run and reading the checker's report. */
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "env_support.h"
#include "tessary_app.h"
#include "tessary_checkrun.h"

namespace {

TEST(ViolationReport, ReadsEveryRecordForm) {
  std::vector<SViolation> v;
  ParseViolationReport(
      "F/p/a.c(12)\nRGOTO\nMgoto statement (in function main)\n"
      "F/p/dir(x)/b.h(0)\nRBITS\nMbit-field\n"
      "F\nR APP_RULE\nM\n"
      "F\nRNOWHERE\nM\r\n"
      "F/p/c.c(3)\nRANON\nM (in function f)\n"
      "F/p/d.c(4)\nRMAC\nMgoto (in function g) (in expansion of macro JUMP)\n"
      "F/p/cut.c(1)\nRCUT\n",
      v);
  ASSERT_EQ(v.size(), 6u);
  EXPECT_EQ(v[0].file, "/p/a.c");
  EXPECT_EQ(v[0].line, 12);
  EXPECT_EQ(v[0].rule, "GOTO");
  EXPECT_EQ(v[0].message, "goto statement");
  EXPECT_EQ(v[0].function, "main");
  EXPECT_EQ(v[0].details, "goto statement (in function main)");
  EXPECT_EQ(v[1].file, "/p/dir(x)/b.h");
  EXPECT_EQ(v[1].line, 0);
  EXPECT_EQ(v[1].function, "");
  EXPECT_TRUE(v[2].application);
  EXPECT_EQ(v[2].rule, "APP_RULE");
  EXPECT_EQ(v[2].file, "");
  EXPECT_FALSE(v[3].application);
  EXPECT_EQ(v[3].rule, "NOWHERE");
  EXPECT_EQ(v[4].message, "");
  EXPECT_EQ(v[4].function, "f");
  /* Text after the function part stays in the message. */
  EXPECT_EQ(v[5].message, "goto (in function g) (in expansion of macro JUMP)");
  EXPECT_EQ(v[5].function, "");

  /* The location is split at the last '(' and its number read as atoi
   * reads it; lines are trimmed. */
  std::string path;
  long line = -1;
  SplitReportLocation("/a (b)/c(d).c(12)", path, line);
  EXPECT_EQ(path, "/a (b)/c(d).c");
  EXPECT_EQ(line, 12);
  SplitReportLocation("/no/line.c", path, line);
  EXPECT_EQ(path, "/no/line.c");
  EXPECT_EQ(line, 0);
  SplitReportLocation("/x.c(7junk", path, line);
  EXPECT_EQ(path, "/x.c");
  EXPECT_EQ(line, 7);
  v.clear();
  ParseViolationReport("  F/p/e.c(5)  \n\tRTRIM\nM text \n", v);
  ASSERT_EQ(v.size(), 1u);
  EXPECT_EQ(v[0].file, "/p/e.c");
  EXPECT_EQ(v[0].rule, "TRIM");
  EXPECT_EQ(v[0].details, "text");
}

class CheckRunTest : public EnvTest {
 protected:
  std::unique_ptr<CApplication> MakeApp(CRuleSet *rules) {
    StartInstalled();
    auto app = std::make_unique<CApplication>(env->GetProfiles().front().get(), rules);
    app->AddFileEntry(CPathName(dir.Path("proj/a.c")));
    return app;
  }
};

/* A profile without definitions of its own leaves the compiler's macros to
 * the dialect's file, which a run's definitions file replaces: it starts
 * from that file. */
TEST_F(CheckRunTest, DefinitionsStartFromTheDialectsOwn) {
  auto app = MakeApp(nullptr);
  setenv("TMPDIR", dir.Path("").c_str(), 1);
  CPreprocessor *prof = app->GetAppProfile()->GetPreprocessor();
  std::string dialectFile = ReadFile(dir.Path("inst/util/gcc.def"));
  prof->SetDefines("");
  prof->SetIncludes("");
  prof->SetAssertions("");
  app->GetPreprocessor()->SetDefines("APP=1");
  CTrackTempFiles tracker;
  std::string line = app->GetFileEntries()[0]->GetParametersLine(tracker);
  ASSERT_EQ(tracker.GetCount(), 1);
  EXPECT_EQ(ReadFile(tracker.GetPath(0).Str()), dialectFile + "\nDAPP=1\n");
  /* A profile with definitions of its own is the compiler's: it alone. */
  prof->SetDefines("OWN=1");
  tracker.ClearFiles();
  app->GetFileEntries()[0]->GetParametersLine(tracker);
  ASSERT_EQ(tracker.GetCount(), 1);
  EXPECT_EQ(ReadFile(tracker.GetPath(0).Str()), "DOWN=1\nDAPP=1\n");
  unsetenv("TMPDIR");
}

TEST_F(CheckRunTest, PreparesTheFilesAndTheCommand) {
  auto app = MakeApp(nullptr);
  CCheckRun run;
  EXPECT_FALSE(run.Prepare(*app));  /* no rule set */
  CRuleSet *rules = env->GetRuleSets().front().get();
  try {
    run.Prepare(*app, rules);
    FAIL() << "no checker";
  } catch (const CZKException &e) {
    EXPECT_EQ(e.GetID(), 34023u);
  }
  /* a checker that cannot be run is none either */
  WriteFile(dir.Path("inst/bin/kvx_zkck_cc"), "");
  chmod(dir.Path("inst/bin/kvx_zkck_cc").c_str(), 0644);
  try {
    run.Prepare(*app, rules);
    FAIL() << "checker not executable";
  } catch (const CZKException &e) {
    EXPECT_EQ(e.GetID(), 34023u);
  }
  chmod(dir.Path("inst/bin/kvx_zkck_cc").c_str(), 0755);
  WriteFile(dir.Path("work dir/.keep"), "");
  ASSERT_TRUE(run.Prepare(*app, rules, CPathName(dir.Path("work dir/"))));
  EXPECT_EQ(run.GetFileCount(), 1);
  EXPECT_EQ(run.GetRuleCount(), 1);
  std::vector<std::string> args = run.GetArguments();
  ASSERT_EQ(args.size(), 4u);
  EXPECT_EQ(args[0], dir.Path("inst/bin/kvx_zkck_cc"));
  EXPECT_EQ(args[1], dir.Path("work dir/zk.opt"));
  EXPECT_EQ(args[2], dir.Path("work dir/zk.lrl"));
  EXPECT_EQ(args[3], dir.Path("work dir/zkout.txt"));
  EXPECT_EQ(run.GetConsolePath().Str(), dir.Path("work dir/zkerr.txt"));
  EXPECT_EQ(run.GetWorkingDirectory().Str(), dir.Path("inst/bin/"));
  EXPECT_EQ(run.GetCommandLine(), args[0] + " \"" + args[1] + "\" \"" + args[2] + "\" \"" + args[3] + "\"");
  std::string options = ReadFile(args[1]), list = ReadFile(args[2]);
  EXPECT_EQ(options.substr(0, dir.Path("proj/a.c").size() + 7), dir.Path("proj/a.c") + " /ddef ");
  /* The parameter file, then the rule's description. */
  EXPECT_EQ(std::count(list.begin(), list.end(), '\n'), 2);
  run.Clear();
  EXPECT_EQ(DirEntries(dir.Path("work dir")), std::vector<std::string>{".keep"});
}

}  // namespace
