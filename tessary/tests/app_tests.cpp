/* Applications: the options line of a file, the check options file, a
 * prepared check run, and reading and writing through the description
 * library. */
#include <gtest/gtest.h>

#include <algorithm>

#include "env_support.h"
#include "kvxapp.h"
#include "tessary_app.h"

class AppTest : public EnvTest {
 protected:
  void SetUp() override {
    EnvTest::SetUp();
    static char name[] = "tessary_tests";
    static char *argv[] = {name, nullptr};
    arg_init(1, argv);
    lang_init();
    const char *t = getenv("TMPDIR");
    savedTmp = t ? t : "";
    hadTmp = t != nullptr;
    fs::create_directories(dir.Path("tmp dir"));
    setenv("TMPDIR", dir.Path("tmp dir").c_str(), 1);
    StartInstalled();
    ASSERT_EQ(log.Problems(), 0);
    profile = env->GetProfiles()[0].get();
    ruleSet = env->GetRuleSets()[0].get();
    proj = dir.Path("my proj");
    WriteFile(proj + "/src/a.c", "int x;\n");
    WriteFile(proj + "/lib/a.c", "int y;\n");
    WriteFile(proj + "/b.c", "int z;\n");
  }
  void TearDown() override {
    if (hadTmp)
      setenv("TMPDIR", savedTmp.c_str(), 1);
    else
      unsetenv("TMPDIR");
    EnvTest::TearDown();
  }
  /* Application with settings at all three levels. */
  std::unique_ptr<CApplication> MakeApp() {
    auto app = std::make_unique<CApplication>(profile, ruleSet);
    app->SetFilePath(proj + "/app.app");
    app->GetPreprocessor()->SetDefines("APP=1");
    app->GetIgnoreCode()->AddClause("#pragma asm", "#pragma endasm");
    CFileEntry *a = app->AddFileEntry(proj + "/src/a.c");
    a->GetPreprocessor()->SetIncludes(proj + "/inc");
    a->GetAnalyzer()->SetMacroNames("MAC");
    CFileEntry *la = app->AddFileEntry(proj + "/lib/a.c");
    la->GetAnalyzer()->SetMacroNames("M2");
    la->GetAnalyzer()->SetExpandMacro(false);
    CFileEntry *b = app->AddFileEntry(proj + "/b.c");
    b->SetCheck(false);
    return app;
  }
  std::string Tmp(const std::string &name) { return dir.Path("tmp dir/" + name); }
  std::string Q(const std::string &s) { return "\"" + s + "\""; }

  CProfile *profile = nullptr;
  CRuleSet *ruleSet = nullptr;
  std::string proj, savedTmp;
  bool hadTmp = false;
};

TEST_F(AppTest, OptionsLinesConcatenateTheThreeLevels) {
  auto app = MakeApp();
  std::string options;
  CTextOutputString out(options);
  {
    CTrackTempFiles tracker;
    ASSERT_TRUE(app->GetCheckOptions(tracker, &out));
    EXPECT_EQ(options,
              Q(proj + "/src/a.c") + " /ddef " + Q(Tmp("a.def")) + " /dial gcc /ign " + Q(Tmp("a.ign")) +
                  " /mode=exp /mac " + Q(Tmp("a.mac")) + "\n" +
              Q(proj + "/lib/a.c") + " /ddef " + Q(Tmp("a1.def")) + " /dial gcc /ign " + Q(Tmp("a1.ign")) +
                  " /mode=noexp /mac " + Q(Tmp("a1.mac")) + "\n");
    EXPECT_EQ(ReadFile(Tmp("a.def")),
              "I/usr/include\nD__GNUC__=12\nAsystem(unix)\nDAPP=1\ni" + proj + "/inc\n");
    EXPECT_EQ(ReadFile(Tmp("a1.def")), "I/usr/include\nD__GNUC__=12\nAsystem(unix)\nDAPP=1\n");
    EXPECT_EQ(ReadFile(Tmp("a.ign")), "#pragma asm --> #pragma endasm\n");
    EXPECT_EQ(ReadFile(Tmp("a.mac")), "MAC\n");
    EXPECT_EQ(tracker.GetCount(), 6);
  }
  EXPECT_TRUE(DirEntries(dir.Path("tmp dir")).empty());
}

TEST_F(AppTest, EmptySettingsGiveJustThePath) {
  CApplication app(nullptr, nullptr);
  app.SetFilePath(proj + "/app.app");
  CFileEntry *e = app.AddFileEntry(dir.Path("plain/x.c"));
  CTrackTempFiles tracker;
  EXPECT_EQ(e->GetParametersLine(tracker), dir.Path("plain/x.c"));
  app.SetAppProfile(env->GetDialects().GetEntries()[0]->GetDialectProfile());
  app.GetAppProfile()->GetPreprocessor()->SetDefines("");
  app.GetAppProfile()->GetPreprocessor()->SetIncludes("");
  app.GetAppProfile()->GetPreprocessor()->SetAssertions("");
  EXPECT_EQ(e->GetParametersLine(tracker), dir.Path("plain/x.c") + " /dial gcc");
  EXPECT_EQ(tracker.GetCount(), 0);
  e->SetCheck(false);
  std::string options;
  CTextOutputString out(options);
  EXPECT_TRUE(app.GetCheckOptions(tracker, &out));
  EXPECT_EQ(options, "");
}

TEST_F(AppTest, UnwritableOptionFileShortensTheLine) {
  auto app = MakeApp();
  WriteFile(dir.Path("inst/etc/csentrel.conf"),
            ReadFile(dir.Path("inst/etc/csentrel.conf")) + "PATH_DBG_DIR=" + dir.Path("missing dir") + "\n");
  env->GetGlobals().Load();
  CTrackTempFiles tracker;
  EXPECT_EQ(app->GetFileEntries()[0]->GetParametersLine(tracker), Q(proj + "/src/a.c"));
}

/* A whole run prepared from a directory with a blank in its name: every
 * path on the engine's lines is quoted, every temporary file tracked. */
TEST_F(AppTest, PreparedCheckRun) {
  auto app = MakeApp();
  CTrackTempFiles tracker;
  CPathName optPath, lrlPath;
  FILE *opt = tracker.CreateTempFile(nullptr, "zk", GetMessageText(34121), &optPath);
  ASSERT_TRUE(opt);
  CTextOutputFile optOut(opt);
  ASSERT_TRUE(app->GetCheckOptions(tracker, &optOut));
  tracker.CloseTempFile(opt);
  FILE *lrl = tracker.CreateTempFile(nullptr, "zk", GetMessageText(34120), &lrlPath);
  ASSERT_TRUE(lrl);
  CTextOutputFile lrlOut(lrl);
  app->GetAppRuleSet()->SaveRuleList(tracker, &lrlOut);
  tracker.CloseTempFile(lrl);
  CPathName report = tracker.CreateTempFilePath(nullptr, "zkout", GetMessageText(34122));
  CPathName console = tracker.CreateTempFilePath(nullptr, "zkerr", GetMessageText(34122));
  EXPECT_EQ(optPath.Str(), Tmp("zk.opt"));
  EXPECT_EQ(lrlPath.Str(), Tmp("zk.lrl"));
  EXPECT_EQ(report.Str(), Tmp("zkout.txt"));
  EXPECT_EQ(console.Str(), Tmp("zkerr.txt"));
  std::string rules = ReadFile(lrlPath.Str());
  EXPECT_EQ(rules, Q(Tmp("len.params")) + "\n" + dir.Path("inst/rules/len/len.rul") + "\n");
  std::string params = ReadFile(Tmp("len.params"));
  EXPECT_NE(params.find("global maxLen\nset maxLen {100}\nglobal minLen\nset minLen {}\n"), std::string::npos);
  std::string options = ReadFile(optPath.Str());
  EXPECT_EQ(std::count(options.begin(), options.end(), '\n'), 2);
  EXPECT_EQ(options.find(Q(proj + "/lib/a.c") + " /ddef " + Q(Tmp("a1.def"))), options.find('\n') + 1);
  tracker.ClearFiles();
  EXPECT_TRUE(DirEntries(dir.Path("tmp dir")).empty());
}

TEST_F(AppTest, SaveAndLoadThroughTheDescriptionLibrary) {
  auto app = MakeApp();
  app->SetMakefilePath(proj + "/Makefile");
  app->SetTargetPath("all");
  app->GetFileEntries()[0]->SetOK(true);
  app->GetAnalyzer()->SetExpandMacro(false);
  app->GetFileEntries()[1]->GetPreprocessor()->SetDefines(CCommaList("LIB=2"));
  ASSERT_TRUE(app->Save());
  /* Saved settings are no longer modified, at any level. */
  EXPECT_FALSE(app->IsModified());
  EXPECT_FALSE(app->GetAnalyzer()->IsModified());
  EXPECT_FALSE(app->GetFileEntries()[1]->GetPreprocessor()->IsModified());
  EXPECT_TRUE(fs::exists(proj + "/app.app"));
  EXPECT_EQ(ReadFile(proj + "/app.ign"), "#pragma asm --> #pragma endasm\n");
  EXPECT_EQ(ReadFile(proj + "/app.mac"), "MAC\n");   /* src/a.c's macro names */
  EXPECT_EQ(ReadFile(proj + "/app1.mac"), "M2\n");   /* lib/a.c's */

  log.messages.clear();
  ASSERT_TRUE(env->OpenApplication(proj + "/app.app"));
  EXPECT_TRUE(log.Has(34090));
  CApplication *back = env->GetCurrentApplication();
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(back->GetAppProfile(), profile);
  EXPECT_EQ(back->GetAppRuleSet(), ruleSet);
  EXPECT_EQ(back->GetMakefilePath().Str(), proj + "/Makefile");
  EXPECT_EQ(back->GetTargetPath(), "all");
  EXPECT_EQ(back->GetPreprocessor()->GetDefines().GetText(), "APP=1");
  EXPECT_TRUE(*back->GetIgnoreCode() == *app->GetIgnoreCode());
  EXPECT_FALSE(back->GetAnalyzer()->IsExpandMacro());
  ASSERT_EQ(back->GetFileEntries().size(), 3u);
  for (const auto &e : app->GetFileEntries()) {
    CFileEntry *b = back->FindFileEntry(e->GetFilePath());
    ASSERT_NE(b, nullptr) << e->GetFilePath().Str();
    EXPECT_EQ(b->IsCheck(), e->IsCheck()) << e->GetFilePath().Str();
    EXPECT_EQ(b->IsOK(), e->IsOK());
    EXPECT_TRUE(*b->GetPreprocessor() == *e->GetPreprocessor());
    EXPECT_TRUE(*b->GetAnalyzer() == *e->GetAnalyzer()) << e->GetFilePath().Str();
    EXPECT_TRUE(*b->GetIgnoreCode() == *e->GetIgnoreCode());
  }
  EXPECT_FALSE(back->IsModified());
  env->SetCurrentRuleSet(env->GetRuleSets()[0].get());
  env->UpdateCurrentApplication();
  EXPECT_FALSE(back->IsModified());
}

TEST_F(AppTest, RelativeSourceDirectoriesFollowTheDescriptionFile) {
  auto app = MakeApp();
  ASSERT_TRUE(app->Save());
  /* The same description with its directories written relative to it, as
   * a project shipped with its sources writes them. */
  std::string text = ReadFile(proj + "/app.app");
  for (auto [from, to] : {std::pair{"\"" + proj + "/src/\"", std::string("\"src/\"")},
                          std::pair{"\"" + proj + "/lib/\"", std::string("\"./lib\"")},
                          std::pair{"\"" + proj + "/\"", std::string("\"\"")}}) {
    size_t at;
    while ((at = text.find(from)) != std::string::npos) text.replace(at, from.size(), to);
  }
  ASSERT_EQ(text.find(proj + "/src"), std::string::npos);
  fs::create_directories(dir.Path("moved"));
  WriteFile(dir.Path("moved/app.app"), text);
  for (const char *companion : {"app.ign", "app.mac", "app1.mac"})
    fs::copy_file(proj + "/" + companion, dir.Path(std::string("moved/") + companion));
  CApplication back;
  back.SetFilePath(dir.Path("moved/app.app"));
  ASSERT_TRUE(back.Load());
  std::vector<std::string> paths;
  for (const auto &e : back.GetFileEntries()) paths.push_back(e->GetFilePath().Str());
  std::sort(paths.begin(), paths.end());
  EXPECT_EQ(paths, (std::vector<std::string>{dir.Path("moved/b.c"), dir.Path("moved/lib/a.c"),
                                             dir.Path("moved/src/a.c")}));
}

/* Definitions with commas of their own cross the description file whole,
 * at the application and at the file level, and reach the run's file. */
TEST_F(AppTest, DefinitionsWithCommasSurviveSaveAndReload) {
  const std::string max = "MAX(a,b)=((a)>(b)?(a):(b))";
  auto app = MakeApp();
  app->GetPreprocessor()->SetDefines("APP=1," + max);
  app->GetFileEntries()[0]->GetPreprocessor()->SetDefines("PAIR(t, n)=t n,SEP=\",\"");
  ASSERT_TRUE(app->Save());
  CApplication back;
  back.SetFilePath(proj + "/app.app");
  ASSERT_TRUE(back.Load());
  EXPECT_EQ(back.GetPreprocessor()->GetDefines().GetItems(), (std::vector<std::string>{"APP=1", max}));
  CFileEntry *a = back.FindFileEntry(proj + "/src/a.c");
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(a->GetPreprocessor()->GetDefines().GetItems(),
            (std::vector<std::string>{"PAIR(t, n)=t n", "SEP=\",\""}));
  CTrackTempFiles tracker;
  a->GetParametersLine(tracker);
  EXPECT_EQ(ReadFile(Tmp("a.def")), "I/usr/include\nD__GNUC__=12\nAsystem(unix)\nDAPP=1\nD" + max + "\ni" + proj +
                                        "/inc\nDPAIR(t, n)=t n\nDSEP=\",\"\n");
}

/* A description written by the description library alone leaves the
 * ignore and macro slots empty, and its files take the application's
 * options; the library then finds the dialect's default files (here
 * through KVX_CC_IGN and KVX_CC_MAC).  They serve the run once, at the
 * application level, but are not the application's: saving never writes
 * the shared files, and what the user adds at that level is kept. */
TEST_F(AppTest, DialectDefaultFilesServeTheRunButAreNotOwned) {
  std::string ign = dir.Path("home/.kvx_cc_gnu.ign"), mac = dir.Path("home/.kvx_cc.mac");
  WriteFile(ign, "DEF_KW -->\n");
  WriteFile(mac, "DEF_MAC\n");
  struct Env {
    Env(const std::string &i, const std::string &m) {
      setenv("KVX_CC_IGN", i.c_str(), 1);
      setenv("KVX_CC_MAC", m.c_str(), 1);
    }
    ~Env() {
      unsetenv("KVX_CC_IGN");
      unsetenv("KVX_CC_MAC");
    }
  } scoped(ign, mac);
  CProfile gnu(profile);
  gnu.SetFilePath(proj + "/gnu.prf");
  gnu.SetDialect(env->RetrieveDialect("gnu", true));
  ASSERT_TRUE(gnu.Save());
  KvxApplication *record = application_new("C");
  application_set_profil(record, "gnu.prf");
  application_set_dialect(record, "gnu");
  ASSERT_NE(application_add_file(record, (proj + "/src/a.c").c_str()), nullptr);
  KvxSource *b = application_add_file(record, (proj + "/b.c").c_str());
  ASSERT_NE(b, nullptr);
  source_set_use_default_kvx_options(b, 0);  /* own slots, empty */
  ASSERT_TRUE(application_save(record, (proj + "/app.app").c_str()));
  application_free(record);

  auto slots = [&] {
    KvxApplication *r = application_load((proj + "/app.app").c_str());
    auto slot = [r](int i) {
      const char *v = application_get_kvx_options(r, i);
      return v ? "[" + std::string(v) + "]" : std::string("null");
    };
    std::string s = r ? slot(KVX_SLOT_IGNORE) + slot(KVX_SLOT_MACRO_FILE) : "unreadable";
    application_free(r);
    return s;
  };
  auto run = [&](const CApplication &app) {
    CTrackTempFiles tracker;
    for (const auto &e : app.GetFileEntries()) e->GetParametersLine(tracker);
    return ReadFile(Tmp("a.ign")) + ReadFile(Tmp("b.ign")) + "|" + ReadFile(Tmp("a.mac")) + ReadFile(Tmp("b.mac"));
  };

  CApplication app;
  app.SetFilePath(proj + "/app.app");
  ASSERT_TRUE(app.Load());
  ASSERT_NE(app.GetDialectIgnoreCode(), nullptr);
  ASSERT_NE(app.GetDialectAnalyzer(), nullptr);
  EXPECT_TRUE(app.GetIgnoreCode()->IsEmpty());
  EXPECT_TRUE(app.GetAnalyzer()->GetFullPath().IsEmpty());
  ASSERT_EQ(app.GetFileEntries().size(), 2u);
  for (const auto &e : app.GetFileEntries()) {
    EXPECT_TRUE(e->GetIgnoreCode()->IsEmpty()) << e->GetFilePath().Str();
    EXPECT_TRUE(e->GetAnalyzer()->IsEmpty()) << e->GetFilePath().Str();
  }
  EXPECT_EQ(run(app), "DEF_KW --> \nDEF_KW --> \n|DEF_MAC\nDEF_MAC\n");  /* once per file */

  ASSERT_TRUE(app.Save());
  EXPECT_EQ(ReadFile(ign), "DEF_KW -->\n");
  EXPECT_EQ(slots(), "[][]");
  CApplication copy(&app, app.GetAppProfile(), nullptr);
  EXPECT_EQ(run(copy), run(app));

  ASSERT_TRUE(app.GetIgnoreCode()->AddClause("APP_KW", ""));
  ASSERT_TRUE(app.Save());
  EXPECT_EQ(ReadFile(ign), "DEF_KW -->\n");
  EXPECT_EQ(slots(), "[app.ign][]");
  CApplication back;
  back.SetFilePath(proj + "/app.app");
  ASSERT_TRUE(back.Load());
  EXPECT_TRUE(back.GetIgnoreCode()->HasClause("APP_KW", ""));
  EXPECT_EQ(back.GetDialectIgnoreCode(), nullptr);
  EXPECT_EQ(run(back), "APP_KW --> \nAPP_KW --> \n|DEF_MAC\nDEF_MAC\n");
}

TEST_F(AppTest, MissingProfileFailsMissingRuleSetWarns) {
  auto app = MakeApp();
  CProfile copy(profile);
  copy.SetFilePath(dir.Path("gone/p.prf"));
  fs::create_directories(dir.Path("gone"));
  ASSERT_TRUE(copy.Save());
  CRuleSet rs(ruleSet);
  rs.SetFilePath(dir.Path("gone/r.rsf"));
  ASSERT_TRUE(rs.Save());
  app->SetAppProfile(&copy);
  app->SetAppRuleSet(&rs);
  ASSERT_TRUE(app->Save());
  fs::remove(dir.Path("gone/r.rsf"));
  log.messages.clear();
  CApplication a2;
  a2.SetFilePath(proj + "/app.app");
  ASSERT_TRUE(a2.Load());
  EXPECT_TRUE(log.Has(34055));
  EXPECT_EQ(a2.GetAppRuleSet(), nullptr);
  /* Saved meanwhile, it still names the rule set: back again, it loads. */
  ASSERT_TRUE(a2.Save());
  ASSERT_TRUE(rs.Save());
  CApplication back;
  back.SetFilePath(proj + "/app.app");
  ASSERT_TRUE(back.Load());
  ASSERT_NE(back.GetAppRuleSet(), nullptr);
  EXPECT_EQ(back.GetAppRuleSet()->GetFullPath(), CPathName(dir.Path("gone/r.rsf")));
  /* Setting no rule set on purpose forgets it. */
  a2.SetAppRuleSet(&rs);
  a2.SetAppRuleSet(nullptr);
  ASSERT_TRUE(a2.Save());
  EXPECT_EQ(ReadFile(proj + "/app.app").find("r.rsf"), std::string::npos);
  fs::remove(dir.Path("gone/r.rsf"));
  fs::remove(dir.Path("gone/p.prf"));
  NewEnvironment();
  env->Start(dir.Path("inst/bin/csentrel"), true);
  EXPECT_EQ(ThrownId([&] { env->OpenApplication(proj + "/app.app"); }), 34027u);
  EXPECT_NE(env->GetCurrentApplication(), nullptr);
  std::string arg;
  EXPECT_EQ(ThrownId([&] { env->OpenApplication(proj + "/none.app"); }, &arg), 34020u);
  EXPECT_EQ(arg, proj + "/none.app");

  CApplication noRules(env->GetProfiles()[0].get(), nullptr);
  noRules.SetFilePath(proj + "/nr.app");
  ASSERT_TRUE(noRules.Save());
  log.messages.clear();
  CApplication a3;
  a3.SetFilePath(proj + "/nr.app");
  ASSERT_TRUE(a3.Load());
  EXPECT_TRUE(log.Has(34089));
}

TEST_F(AppTest, ModelCopiesAndUpdates) {
  auto app = MakeApp();
  CApplication copy(app.get(), profile, nullptr);
  EXPECT_EQ(copy.GetFileEntries().size(), 3u);
  EXPECT_EQ(copy.GetFileEntries()[0]->GetApplication(), &copy);
  EXPECT_EQ(copy.GetAppRuleSet(), nullptr);
  EXPECT_TRUE(*copy.GetFileEntries()[0] == *app->GetFileEntries()[0]);
  EXPECT_EQ(app->AddFileEntry(proj + "/src/./a.c"), app->GetFileEntries()[0].get());
  EXPECT_TRUE(app->DeleteFileEntry(app->GetFileEntries()[2].get()));
  EXPECT_FALSE(app->DeleteFileEntry(nullptr));
  copy.ResetFileEntries(app->GetFileEntries());
  EXPECT_EQ(copy.GetFileEntries().size(), 2u);
  CFileEntry *e = copy.GetFileEntries()[0].get();
  e->ResetToDefaultState();
  EXPECT_EQ(e->GetPreprocessor()->GetDefines().GetText(), "APP=1");  /* the application's */
  EXPECT_TRUE(e->GetAnalyzer()->IsEmpty());
  env->SetCurrentRuleSet(ruleSet);
  copy.SetModifiedState(false);
  CApplication *saved = &copy;
  (void)saved;
  copy.DeleteContents();
  EXPECT_TRUE(copy.GetFileEntries().empty());
}
