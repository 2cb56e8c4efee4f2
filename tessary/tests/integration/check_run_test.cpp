/* A whole check run: the library prepares the check options file, the rule
 * list and their option and parameter files for an application whose
 * settings exist at the profile, application and file levels, the built
 * checker runs on them with the command line the workbench composes, and
 * the report shows that every level's settings and the rule set's parameter
 * values reached it.  Everything lives below directories whose names hold
 * blanks, the checker's own directory included. */
#include <gtest/gtest.h>

#include <cerrno>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "kvxapp.h"
#include "tessary_app.h"
#include "tessary_env.h"
#include "test_support.h"

extern char **environ;

namespace {

/* The engine's report and console output of one run. */
struct CheckResult {
  int status = -1;
  std::string report;
  std::string console;
  std::vector<std::string> options;  /* lines of the check options file */
  std::vector<std::string> tracked;  /* file names the tracker held */
};

std::vector<std::string> SplitLines(const std::string &text) {
  std::vector<std::string> out;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    out.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return out;
}

/* Starts argv[0] with that argument vector (no shell) in directory cwd,
 * standard output and standard error both into console; gives the exit
 * status, or -1 when it could not be started or did not exit. */
int Spawn(const std::vector<std::string> &argv, const std::string &cwd, const std::string &console) {
  posix_spawn_file_actions_t actions;
  if (posix_spawn_file_actions_init(&actions) != 0) return -1;
  posix_spawn_file_actions_addchdir_np(&actions, cwd.c_str());
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, console.c_str(), O_WRONLY | O_TRUNC, 0);
  posix_spawn_file_actions_adddup2(&actions, 1, 2);
  std::vector<char *> args;
  for (const auto &a : argv) args.push_back(const_cast<char *>(a.c_str()));
  args.push_back(nullptr);
  pid_t pid = 0;
  int rc = posix_spawn(&pid, args[0], &actions, nullptr, args.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (rc != 0) return -1;
  int st = 0;
  while (waitpid(pid, &st, 0) < 0)
    if (errno != EINTR) return -1;
  return WIFEXITED(st) ? WEXITSTATUS(st) : -1;
}

/* The rule writes the application record with both values in its rule
 * name (the application form drops the message), then one record per
 * analysed source with both values in the message. */
const char kLenRule[] =
    ".NAME Line length\n"
    ".TITLE Description Lines no longer than a maximum\n"
    ".KEY LEN\n"
    ".PARAMETER Num maxLen \"Maximum length\" \"80\"\n"
    ".PARAMETER pattern namePattern \"Name pattern\" \"^g_\"\n"
    ".CODE\n"
    "Violation application \"$thisRule maxLen=$maxLen namePattern=$namePattern\" \\\n"
    "    \"maxLen $maxLen pattern $namePattern\"\n"
    "proc isSource {o} { string match *.c [Get $o pathname] }\n"
    "proc lenReport {o} {\n"
    "  global maxLen namePattern thisRule\n"
    "  Violation $o $thisRule \"maxLen $maxLen pattern $namePattern\"\n"
    "  return 1\n"
    "}\n"
    "MapRole application file -filter isSource lenReport\n";

/* A rule the rule set lists but does not select. */
const char kNeverRule[] =
    ".NAME Never\n"
    ".KEY NEVER\n"
    ".CODE\n"
    "Violation application NEVER\n";

class CheckRunTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const char *t = getenv("TMPDIR");
    hadTmp = t != nullptr;
    savedTmp = t ? t : "";
    const char *b = getenv("KVX_BUILD_DIR");
    ASSERT_TRUE(b && *b) << "KVX_BUILD_DIR is not set";
    std::string engine = std::string(b) + "/bin/kvx_zkck_cc";
    ASSERT_TRUE(fs::exists(engine)) << engine << " is not built";
    ASSERT_TRUE(fs::exists(std::string(b) + "/bin/kvx_cccp")) << "kvx_cccp is not built";
    ASSERT_FALSE(root.Str().empty());

    static char name[] = "tessary_check_run_tests";
    static char *argv[] = {name, nullptr};
    arg_init(1, argv);
    lang_init();

    inst = root.Path("inst dir");
    proj = root.Path("my proj");
    tmp = root.Path("tmp dir");
    fs::create_directories(tmp);
    fs::create_directories(inst + "/bin");
    /* The checker as the settings name it, in a directory with a blank;
     * it still finds kvx_cccp and util/ beside its real self. */
    fs::create_symlink(engine, inst + "/bin/kvx_zkck_cc");
    WriteFile(inst + "/etc/csentrel.conf",
              "DIALECTS=../util/dialects.lst\n"
              "PROFILES=../util/profiles.lst\n"
              "ALLRULES=../rules/allrules.lst\n"
              "RULESETS=../rules/rulesets.lst\n"
              "CHECKER=kvx_zkck_cc\n");
    WriteFile(inst + "/util/dialects.lst", "\"ANSI C\" \"\" ansi\n");
    WriteFile(inst + "/util/profiles.lst", "");
    WriteFile(inst + "/rules/rulesets.lst", "");
    WriteFile(inst + "/rules/allrules.lst",
              "\"Line length\" \"len check/len.rul\"\n"
              "\"Never\" never.rul\n");
    WriteFile(inst + "/rules/len check/len.rul", kLenRule);
    WriteFile(inst + "/rules/never.rul", kNeverRule);

    WriteFile(proj + "/inc dir/lvl.h", "#define LVL_T unsigned\n");
    /* a.c is checked with macros expanded except the named ones: PM and AM
     * are named by the profile and the application and stay variables
     * ("sizeof int" would be a syntax error).  The function-like macros of
     * each level take two arguments: a definition split at its comma would
     * leave "int" inside a call. */
    WriteFile(proj + "/src/a.c",
              "#include \"lvl.h\"\n"
              "PROF_KW APP_KW A_KW int ka;\n"
              "P_DECL(int, pd);\n"
              "A_DECL(int, ad);\n"
              "F_DECL(int, fd) = F_MAX(1, 2);\n"
              "PROF_T pa;\n"
              "APP_T aa;\n"
              "A_T fa;\n"
              "LVL_T la;\n"
              "int PM;\n"
              "int AM;\n"
              "int size = sizeof PM + sizeof AM;\n");
    /* b.c is checked with only the named macros expanded: PROF_T is not
     * named and stays a variable. */
    WriteFile(proj + "/src/b.c",
              "PROF_KW APP_KW B_KW int kb;\n"
              "PM pm;\n"
              "AM am;\n"
              "BM bm;\n"
              "int PROF_T;\n");
    /* Not checked: analysing it would fail the run. */
    WriteFile(proj + "/src/c.c", "this is not C\n");

    setenv("XDG_CONFIG_HOME", root.Path("user").c_str(), 1);
    setenv("CSENTREL_SETTINGS", (inst + "/etc/csentrel.conf").c_str(), 1);
    setenv("TMPDIR", tmp.c_str(), 1);
    env = std::make_unique<CEnvironment>();
    TheEnvironment = env.get();
    env->Start(inst + "/bin/csentrel", false);
    ASSERT_EQ(log.Problems(), 0);
    ASSERT_EQ(env->GetAllRules().GetRules().size(), 2u);
  }

  void TearDown() override {
    env.reset();
    TheEnvironment = nullptr;
    unsetenv("CSENTREL_SETTINGS");
    unsetenv("XDG_CONFIG_HOME");
    if (hadTmp)
      setenv("TMPDIR", savedTmp.c_str(), 1);
    else
      unsetenv("TMPDIR");
  }

  /* The profile, rule set and application, each level with its own
   * definitions, ignore clause and macro names. */
  void Build() {
    profile = std::make_unique<CProfile>();
    profile->SetName("Integration");
    profile->SetFilePath(proj + "/test.prf");
    profile->SetDialect(env->RetrieveDialect("ansi", false));
    ASSERT_NE(profile->GetDialect(), nullptr);
    profile->GetPreprocessor()->SetDefines("PROF_T=int,PM=int,P_DECL(t,n)=t n");
    ASSERT_TRUE(profile->GetIgnoreCode()->AddClause("PROF_KW", ""));
    profile->GetAnalyzer()->SetMacroNames("PM");

    ruleSet = std::make_unique<CRuleSet>();
    ruleSet->SetName("Integration rules");
    ruleSet->SetFilePath(proj + "/test.rsf");
    ruleSet->SetCatalogue(&env->GetAllRules());
    CRule *len = env->GetAllRules().FindRuleByDisplayName("Line length");
    CRule *never = env->GetAllRules().FindRuleByDisplayName("Never");
    ASSERT_TRUE(len && never);
    auto lenEntry = std::make_unique<CRuleEntry>(len);
    lenEntry->SetCheck(true);
    ASSERT_NE(lenEntry->GetParameterValue("maxLen"), nullptr);
    ASSERT_NE(lenEntry->GetParameterValue("namePattern"), nullptr);
    lenEntry->GetParameterValue("maxLen")->SetValue(123);
    lenEntry->GetParameterValue("namePattern")->SetValue("^(g|s)_[a-z]+ $");
    ruleSet->AddRuleEntry(std::move(lenEntry));
    auto neverEntry = std::make_unique<CRuleEntry>(never);
    neverEntry->SetCheck(false);
    ruleSet->AddRuleEntry(std::move(neverEntry));

    app = std::make_unique<CApplication>(profile.get(), ruleSet.get());
    app->SetFilePath(proj + "/demo.app");
    app->GetPreprocessor()->SetDefines("APP_T=long,AM=long,A_DECL(t,n)=t n");
    ASSERT_TRUE(app->GetIgnoreCode()->AddClause("APP_KW", ""));
    app->GetAnalyzer()->SetMacroNames("AM");
    CFileEntry *a = app->AddFileEntry(proj + "/src/a.c");
    a->GetPreprocessor()->SetDefines("A_T=short,F_DECL(t,n)=t n,F_MAX(a,b)=((a)>(b)?(a):(b))");
    a->GetPreprocessor()->SetIncludes(proj + "/inc dir");
    ASSERT_TRUE(a->GetIgnoreCode()->AddClause("A_KW", ""));
    CFileEntry *b = app->AddFileEntry(proj + "/src/b.c");
    b->GetPreprocessor()->SetDefines("BM=char");
    ASSERT_TRUE(b->GetIgnoreCode()->AddClause("B_KW", ""));
    b->GetAnalyzer()->SetMacroNames("BM");
    b->GetAnalyzer()->SetExpandMacro(false);
    CFileEntry *c = app->AddFileEntry(proj + "/src/c.c");
    c->SetCheck(false);
  }

  /* The check run as the workbench carries it out: options file, rule
   * list, reserved report and console files, then the checker's command
   * line started from the checker's directory. */
  CheckResult Run(const CApplication &application) {
    CheckResult r;
    CTrackTempFiles tracker;
    CPathName checker = env->GetRuvexaPath();
    EXPECT_TRUE(checker.Exists()) << checker.Str();

    CPathName optPath, lrlPath;
    FILE *opt = tracker.CreateTempFile(nullptr, "zk", GetMessageText(34121), &optPath);
    EXPECT_NE(opt, nullptr);
    if (!opt) return r;
    CTextOutputFile optOut(opt);
    EXPECT_TRUE(application.GetCheckOptions(tracker, &optOut));
    tracker.CloseTempFile(opt);

    EXPECT_NE(application.GetAppRuleSet(), nullptr);
    if (!application.GetAppRuleSet()) return r;
    FILE *lrl = tracker.CreateTempFile(nullptr, "zk", GetMessageText(34120), &lrlPath);
    EXPECT_NE(lrl, nullptr);
    if (!lrl) return r;
    CTextOutputFile lrlOut(lrl);
    try {
      application.GetAppRuleSet()->SaveRuleList(tracker, &lrlOut);
    } catch (const CZKException &e) {
      ADD_FAILURE() << "SaveRuleList threw " << e.GetID() << ": " << e.what();
    }
    tracker.CloseTempFile(lrl);

    CPathName report = tracker.CreateTempFilePath(nullptr, "zkout", GetMessageText(34122));
    CPathName console = tracker.CreateTempFilePath(nullptr, "zkerr", GetMessageText(34122));
    EXPECT_FALSE(report.IsEmpty());
    EXPECT_FALSE(console.IsEmpty());

    std::vector<std::string> argv;
    for (CPathName p : {checker, optPath, lrlPath, report}) {
      p.MakeShort();
      argv.push_back(p.Str());
    }
    r.status = Spawn(argv, checker.GetDirectory().Str(), console.Str());
    r.report = ReadFile(report.Str());
    r.console = ReadFile(console.Str());
    r.options = SplitLines(ReadFile(optPath.Str()));
    for (int i = 0; i < tracker.GetCount(); ++i) r.tracked.push_back(tracker.GetPath(i).GetFileName());
    std::sort(r.tracked.begin(), r.tracked.end());
    return r;
  }

  /* The application record: the values reached the rule. */
  static std::string AppRecord() { return "F\nR LEN maxLen=123 namePattern=^(g|s)_[a-z]+ $\nM\n"; }
  /* The records of the two checked sources, located at line 0. */
  std::string SourceRecords() const {
    std::string m = "RLEN\nMmaxLen 123 pattern ^(g|s)_[a-z]+ $\n";
    return "F" + proj + "/src/a.c(0)\n" + m + "F" + proj + "/src/b.c(0)\n" + m;
  }
  bool IsExpectedReport(const std::string &report) const {
    return report == AppRecord() || report == AppRecord() + SourceRecords();
  }

  ScratchDir root{"check run"};
  RecordingLog log;
  std::unique_ptr<CEnvironment> env;
  std::unique_ptr<CProfile> profile;
  std::unique_ptr<CRuleSet> ruleSet;
  std::unique_ptr<CApplication> app;
  std::string inst, proj, tmp, savedTmp;
  bool hadTmp = false;
};

TEST_F(CheckRunTest, EngineReceivesEveryLevelAndTheParameterValues) {
  Build();
  ASSERT_TRUE(app);
  CheckResult r = Run(*app);
  EXPECT_EQ(r.status, 0) << r.console;
  EXPECT_EQ(r.console, "");
  EXPECT_TRUE(IsExpectedReport(r.report)) << r.report;

  /* One line per checked file, every path quoted. */
  ASSERT_EQ(r.options.size(), 2u);
  EXPECT_EQ(r.options[0], "\"" + proj + "/src/a.c\" /ddef \"" + tmp + "/a.def\" /dial ansi /ign \"" + tmp +
                              "/a.ign\" /mode=exp /mac \"" + tmp + "/a.mac\"");
  EXPECT_EQ(r.options[1], "\"" + proj + "/src/b.c\" /ddef \"" + tmp + "/b.def\" /dial ansi /ign \"" + tmp +
                              "/b.ign\" /mode=noexp /mac \"" + tmp + "/b.mac\"");
  EXPECT_EQ(r.tracked, (std::vector<std::string>{"a.def", "a.ign", "a.mac", "b.def", "b.ign", "b.mac",
                                                 "len.params", "zk.lrl", "zk.opt", "zkerr.txt",
                                                 "zkout.txt"}));
  /* The tracker is gone: nothing of the run is left, neither the library's
   * files nor the preprocessor's. */
  EXPECT_TRUE(DirEntries(tmp).empty());
  EXPECT_EQ(log.Problems(), 0);
}

/* Every setting of the run is needed: without it the source named makes
 * an error the checker reports, and no rule runs.  So the run above cannot
 * pass with a level lost on the way. */
TEST_F(CheckRunTest, EachLevelIsNeeded) {
  struct Case {
    const char *what;
    void (*drop)(CApplication &);
    const char *source;
  };
  static const Case cases[] = {
      {"profile definition", [](CApplication &a) { a.GetAppProfile()->GetPreprocessor()->SetDefines("PM=int"); },
       "a.c"},
      {"profile macro name", [](CApplication &a) { a.GetAppProfile()->GetAnalyzer()->SetMacroNames(""); }, "a.c"},
      {"application ignore clause", [](CApplication &a) { a.GetIgnoreCode()->RemoveClause("APP_KW", ""); },
       "b.c"},
      {"application definition", [](CApplication &a) { a.GetPreprocessor()->SetDefines("APP_T=long"); }, "b.c"},
      {"profile function-like definition",
       [](CApplication &a) { a.GetAppProfile()->GetPreprocessor()->SetDefines("PROF_T=int,PM=int"); }, "a.c"},
      {"application function-like definition",
       [](CApplication &a) { a.GetPreprocessor()->SetDefines("APP_T=long,AM=long"); }, "a.c"},
      {"file function-like definition",
       [](CApplication &a) { a.GetFileEntries()[0]->GetPreprocessor()->SetDefines("A_T=short,F_MAX(a,b)=((a)>(b)?(a):(b))"); },
       "a.c"},
      {"file include directory",
       [](CApplication &a) { a.GetFileEntries()[0]->GetPreprocessor()->SetIncludes(""); }, "a.c"},
      {"file definition", [](CApplication &a) { a.GetFileEntries()[0]->GetPreprocessor()->SetDefines(""); },
       "a.c"},
      {"file macro name", [](CApplication &a) { a.GetFileEntries()[1]->GetAnalyzer()->SetMacroNames(""); },
       "b.c"},
      {"file expansion mode", [](CApplication &a) { a.GetFileEntries()[1]->GetAnalyzer()->SetExpandMacro(true); },
       "b.c"},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.what);
    Build();
    ASSERT_TRUE(app);
    c.drop(*app);
    CheckResult r = Run(*app);
    EXPECT_EQ(r.status, 1) << r.console;
    EXPECT_NE(r.console.find(proj + "/src/" + c.source + "("), std::string::npos) << r.console;
    EXPECT_NE(r.console.find("Error"), std::string::npos) << r.console;
    EXPECT_EQ(r.report, "");
    EXPECT_TRUE(DirEntries(tmp).empty());
  }
}

/* The records of violations located on the sources' File objects. */
TEST_F(CheckRunTest, SourcesAreLocatedInTheReport) {
  Build();
  ASSERT_TRUE(app);
  CheckResult r = Run(*app);
  ASSERT_EQ(r.status, 0) << r.console;
  if (r.report == AppRecord())
    GTEST_SKIP() << "kvx_zkck_cc builds no program model from the analysed sources: the "
                    "application object has no File objects (nor scopes, symbols, ...), so "
                    "no violation can be located on a source";
  EXPECT_EQ(r.report, AppRecord() + SourceRecords());
}

/* The same run from the files the library saves: the profile, the rule set
 * and the application description are written, and the application is
 * opened again through the environment, which loads its profile and rule
 * set from their files. */
TEST_F(CheckRunTest, SavedAndReopenedApplicationGivesTheSameRun) {
  Build();
  ASSERT_TRUE(app);
  CheckResult first = Run(*app);
  ASSERT_TRUE(profile->Save());
  ASSERT_TRUE(ruleSet->Save());
  ASSERT_TRUE(app->Save());
  app.reset();
  ASSERT_TRUE(env->OpenApplication(proj + "/demo.app"));
  CApplication *back = env->GetCurrentApplication();
  ASSERT_NE(back, nullptr);
  /* Read back from their files, not the objects saved. */
  ASSERT_NE(back->GetAppProfile(), nullptr);
  EXPECT_NE(back->GetAppProfile(), profile.get());
  ASSERT_NE(back->GetAppRuleSet(), nullptr);
  EXPECT_NE(back->GetAppRuleSet(), ruleSet.get());
  ASSERT_EQ(back->GetFileEntries().size(), 3u);
  CheckResult r = Run(*back);
  EXPECT_EQ(r.status, 0) << r.console;
  EXPECT_EQ(r.console, "");
  EXPECT_EQ(r.report, first.report);
  EXPECT_TRUE(IsExpectedReport(r.report)) << r.report;
  EXPECT_EQ(r.options, first.options);
  EXPECT_TRUE(DirEntries(tmp).empty());
  EXPECT_EQ(log.Problems(), 0);
}

}  // namespace
