/* The settings file, the start and end sequences, list files in the
 * installation and in the per-user directory, last usage and retrieval. */
#include <gtest/gtest.h>

#include "env_support.h"

using ::testing::Test;

class SettingsTest : public EnvTest {
 protected:
  unsigned LoadSettings(const std::string &text) {
    WriteFile(dir.Path("inst/etc/csentrel.conf"), text);
    return ThrownId([&] { env->GetGlobals().Load(); });
  }
};

TEST_F(SettingsTest, ValuesResolveAgainstTheProgramDirectory) {
  fs::create_directories(dir.Path("inst/apps"));
  setenv("TESSARY_T_HOME", dir.Path("home").c_str(), 1);
  EXPECT_EQ(LoadSettings("DIALECTS = ../util/d.lst\n"
                         "PROFILES=/abs/p.lst\n"
                         "ALLRULES=${TESSARY_T_HOME}/rules/all.lst\n"
                         "RULESETS=$TESSARY_T_HOME/r.lst\n"
                         "CHECKER=kvx_zkck_cc\n"
                         "PATH_DEF_APPLICATIONS=../apps\n"
                         "PATH_DEF_PROFILES=../nowhere\n"
                         "LAST_USAGE_FILE=\n"
                         "PATH=../bin\n"
                         "PATH_DBG_DIR=/tmp/dbg\n"
                         "not a setting line\n"
                         "CUSTOM=first\n"
                         "CUSTOM=second\n"),
            0u);
  const CGlobals &g = env->GetGlobals();
  EXPECT_EQ(g.GetDialectsPath().Str(), dir.Path("inst/util/d.lst"));
  EXPECT_EQ(g.GetProfilesPath().Str(), "/abs/p.lst");
  EXPECT_EQ(g.GetAllRulesPath().Str(), dir.Path("home/rules/all.lst"));
  EXPECT_EQ(g.GetRuleSetsPath().Str(), dir.Path("home/r.lst"));
  EXPECT_EQ(env->GetRuvexaPath().Str(), dir.Path("inst/bin/kvx_zkck_cc"));
  EXPECT_EQ(env->GetDefApplicationsPath().Str(), dir.Path("inst/apps"));
  EXPECT_TRUE(g.GetDefProfilesPath().IsEmpty());  /* does not exist */
  EXPECT_TRUE(g.GetLastUsagePath().IsEmpty());
  EXPECT_EQ(g.GetExtraValue("PATH"), dir.Path("inst/bin"));
  EXPECT_EQ(env->GetDbgDir().Str(), "/tmp/dbg");
  EXPECT_EQ(env->GetGlobalExtraValue("CUSTOM"), "first");
  EXPECT_EQ(env->GetGlobalExtraValue("custom"), "");
  EXPECT_EQ(log.Ids(), std::vector<unsigned>{34004});
}

TEST_F(SettingsTest, BlankRequiredValuesThrow) {
  EXPECT_EQ(LoadSettings("DIALECTS=\n"), 34013u);
  EXPECT_EQ(LoadSettings("PROFILES=  \n"), 34014u);
  EXPECT_EQ(LoadSettings("ALLRULES=\n"), 34015u);
  EXPECT_EQ(LoadSettings("RULESETS=\n"), 34016u);
  EXPECT_EQ(LoadSettings("CHECKER=\n"), 34017u);
  unsetenv("TESSARY_T_UNSET");
  EXPECT_EQ(LoadSettings("CHECKER=$TESSARY_T_UNSET\n"), 34017u);
  EXPECT_EQ(LoadSettings("DIALECTS=d.lst\n"), 0u);  /* absent values are no error */
  EXPECT_TRUE(env->GetGlobals().GetCheckerPath().IsEmpty());
}

TEST_F(SettingsTest, SettingsFileBesideTheProgram) {
  unsetenv("CSENTREL_SETTINGS");
  WriteFile(dir.Path("inst/etc/csentrel.conf"), "CHECKER=kvx_zkck_cc\n");
  env->SetExePath(dir.Path("inst/bin/csentrel"));
  EXPECT_EQ(env->GetGlobals().GetSettingsPath().Str(), dir.Path("inst/etc/csentrel.conf"));
  EXPECT_TRUE(env->GetGlobals().Load());
  EXPECT_EQ(env->GetRuvexaPath().Str(), dir.Path("inst/bin/kvx_zkck_cc"));
}

TEST_F(EnvTest, NoSettingsAtAllStillStarts) {
  env->Start(dir.Path("inst/bin/csentrel"), true);
  EXPECT_TRUE(env->GetProfiles().empty());
  EXPECT_TRUE(env->GetRuleSets().empty());
  /* Only what says something: no "File '' does not exist" before 34011
   * and 34012. */
  EXPECT_EQ(log.Ids(), (std::vector<unsigned>{34011, 34051, 34012, 34052}));
  EXPECT_EQ(env->GetCurrentProfile(), nullptr);
}

TEST_F(EnvTest, MissingFilesNamedBySettingsAreReportedWithTheirPaths) {
  WriteFile(dir.Path("inst/etc/csentrel.conf"), "DIALECTS=../util/none.lst\nALLRULES=../rules/none.lst\n");
  env->Start(dir.Path("inst/bin/csentrel"), true);
  std::vector<std::pair<unsigned, std::string>> got;
  for (const auto &m : log.messages) got.emplace_back(m.id, m.first);
  std::string dialects = dir.Path("inst/util/none.lst"), rules = dir.Path("inst/rules/none.lst");
  EXPECT_EQ(got, (std::vector<std::pair<unsigned, std::string>>{{34007, dialects},
                                                                  {34011, dialects},
                                                                  {34051, ""},
                                                                  {34007, rules},
                                                                  {34012, rules},
                                                                  {34052, ""}}));
}

TEST_F(EnvTest, InstalledStartSequence) {
  StartInstalled();
  EXPECT_EQ(log.Problems(), 0) << ::testing::PrintToString(log.Ids());
  EXPECT_EQ(log.Ids(), (std::vector<unsigned>{34085, 34084, 34086, 34082, 34087, 34083}));
  ASSERT_EQ(env->GetDialects().GetEntries().size(), 2u);
  ASSERT_EQ(env->GetProfiles().size(), 1u);
  EXPECT_EQ(env->GetProfiles()[0]->GetName(), "GNU C");
  EXPECT_EQ(env->GetAllRules().GetRules().size(), 2u);
  ASSERT_EQ(env->GetRuleSets().size(), 1u);
  EXPECT_EQ(env->GetRuleSets()[0]->GetName(), "Standard");
  /* Nothing was written anywhere. */
  EXPECT_FALSE(fs::exists(dir.Path("user")));
}

TEST_F(EnvTest, UserListsKeepWhatTheUserAddsAndNeverTouchTheInstallation) {
  StartInstalled();
  std::string before = ReadFile(dir.Path("inst/util/profiles.lst"));
  CPathName where = env->GetDefProfilesPath();
  EXPECT_EQ(where.Str(), dir.Path("user/csentrel/profiles/"));
  auto *mine = new CProfile(env->GetProfiles()[0].get());
  mine->SetName("Mine");
  mine->SetFilePath(where + CPathName("mine.prf"));
  mine->Save();
  env->AddProfile(mine);
  env->AddProfile(mine);
  EXPECT_EQ(env->GetProfiles().size(), 2u);
  auto *set = new CRuleSet(env->GetRuleSets()[0].get());
  set->SetName("My rules");
  set->SetFilePath(env->GetDefRuleSetsPath() + CPathName("my.rsf"));
  set->Save();
  env->AddRuleSet(set);
  env->SetCurrentProfile(mine);
  env->SetCurrentRuleSet(set);
  env->SetCurrentDialect(env->GetDialects().GetEntries()[1].get());
  EXPECT_TRUE(env->SaveLastUsage());
  EXPECT_TRUE(env->SaveProfiles());
  EXPECT_TRUE(env->SaveRuleSets());
  EXPECT_EQ(ReadFile(dir.Path("user/csentrel/profiles.lst")), "profiles/mine.prf\n");
  EXPECT_EQ(ReadFile(dir.Path("user/csentrel/rulesets.lst")), "rulesets/my.rsf\n");
  EXPECT_EQ(ReadFile(dir.Path("user/csentrel/lastusage")),
            "LAST_PROFILE=" + dir.Path("user/csentrel/profiles/mine.prf") + "\n" +
                "LAST_RULE_SET=" + dir.Path("user/csentrel/rulesets/my.rsf") + "\nLAST_DIALECT=ansi\n");
  EXPECT_EQ(ReadFile(dir.Path("inst/util/profiles.lst")), before);

  /* The next run sees the installation's and the user's, and the choices. */
  log.messages.clear();
  NewEnvironment();
  env->Start(dir.Path("inst/bin/csentrel"), true);
  EXPECT_EQ(log.Problems(), 0) << ::testing::PrintToString(log.Ids());
  ASSERT_EQ(env->GetProfiles().size(), 2u);
  EXPECT_EQ(env->GetRuleSets().size(), 2u);
  ASSERT_NE(env->GetCurrentProfile(), nullptr);
  EXPECT_EQ(env->GetCurrentProfile()->GetName(), "Mine");
  EXPECT_EQ(env->GetCurrentRuleSet()->GetName(), "My rules");
  EXPECT_EQ(env->GetCurrentDialect()->GetDialOption(), "ansi");
  EXPECT_EQ(env->RemoveProfile(env->GetCurrentProfile())->GetName(), "Mine");
  EXPECT_EQ(env->GetCurrentProfile(), nullptr);
}

TEST_F(EnvTest, ListFilesResolveRelativeLinesAndReportFailures) {
  WriteInstallation(dir);
  WriteFile(dir.Path("inst/util/profiles.lst"),
            "  gcc.prf  \n\n../util/./gcc.prf\nmissing.prf\n" + dir.Path("inst/util/broken.prf") + "\n");
  WriteFile(dir.Path("inst/util/broken.prf"), "TARQUIN ZKL 1.1 PROFIL FILE\n");
  env->Start(dir.Path("inst/bin/csentrel"), true);
  EXPECT_EQ(env->GetProfiles().size(), 1u);  /* the duplicate is skipped */
  std::vector<unsigned> ids = log.Ids();
  auto at = std::find(ids.begin(), ids.end(), 34082u);
  ASSERT_NE(at, ids.end());
  EXPECT_EQ(std::vector<unsigned>(at, at + 5), (std::vector<unsigned>{34082, 34007, 34053, 34003, 34053}));
  for (const auto &m : log.messages) {
    if (m.id == 34053) {
      EXPECT_EQ(m.first.find("/./"), std::string::npos);
    }
  }
}

TEST_F(EnvTest, LastUsage) {
  StartInstalled();
  env->EnsureUserDir();
  WriteFile(dir.Path("user/csentrel/lastusage"),
            "\nLAST_PROFILE=" + dir.Path("inst/util/GCC.prf") + "\nLAST_DIALECT=unknown\nOTHER=1\nLAST_RULE_SET=\n");
  NewEnvironment();
  env->Start(dir.Path("inst/bin/csentrel"), true);
  EXPECT_EQ(env->GetCurrentProfile(), nullptr);  /* letter case matters */
  EXPECT_EQ(env->GetCurrentDialect(), nullptr);  /* no dialect has that option */
  EXPECT_EQ(env->GetCurrentRuleSet(), nullptr);

  WriteFile(dir.Path("user/csentrel/lastusage"), "LAST_PROFILE " + dir.Path("x") + "\n");
  NewEnvironment();
  EXPECT_EQ(ThrownId([&] { env->LoadLastUsage(); }), 34004u);
  log.messages.clear();
  env->Start(dir.Path("inst/bin/csentrel"), true);  /* reported, the start goes on */
  EXPECT_TRUE(log.Has(34004));
  EXPECT_EQ(env->GetProfiles().size(), 1u);

  fs::remove(dir.Path("user/csentrel/lastusage"));
  NewEnvironment();
  EXPECT_TRUE(env->LoadLastUsage());
  EXPECT_TRUE(env->SaveLastUsage());
  EXPECT_EQ(ReadFile(dir.Path("user/csentrel/lastusage")), "");
}

TEST_F(EnvTest, Retrieval) {
  StartInstalled();
  CProfile *gcc = env->GetProfiles()[0].get();
  EXPECT_EQ(env->RetrieveProfile(dir.Path("inst/util/../util/gcc.prf"), false), gcc);
  EXPECT_EQ(env->RetrieveProfile(dir.Path("inst/util/other.prf"), true), nullptr);
  WriteFile(dir.Path("elsewhere/other.prf"), "TARQUIN ZKL 1.0 PROFIL FILE\nNAME=O\nDIALECT=gcc\n");
  EXPECT_EQ(env->RetrieveProfile(dir.Path("elsewhere/other.prf"), false), nullptr);
  CProfile *o = env->RetrieveProfile(dir.Path("elsewhere/other.prf"), true);
  ASSERT_NE(o, nullptr);
  EXPECT_EQ(env->GetProfiles().size(), 2u);
  EXPECT_EQ(env->RetrieveProfile(dir.Path("elsewhere/other.prf"), true), o);
  WriteFile(dir.Path("elsewhere/bad.rsf"), "junk\n");
  EXPECT_EQ(env->RetrieveRuleSet(dir.Path("elsewhere/bad.rsf"), true), nullptr);
  EXPECT_TRUE(log.Has(34002));
  EXPECT_EQ(env->RetrieveDialect("ansi", false)->GetName(), "ANSI C");
  EXPECT_TRUE(env->IsInstalledFile(dir.Path("inst/util/gcc.prf")));
  EXPECT_TRUE(env->IsInstalledFile(dir.Path("inst/rules/sub/../std.rsf")));
  EXPECT_FALSE(env->IsInstalledFile(dir.Path("elsewhere/other.prf")));
  EXPECT_FALSE(env->IsInstalledFile(env->GetDefProfilesPath() + CPathName("x.prf")));
}

TEST(UserDir, FromXdgOrHome) {
  const char *x = getenv("XDG_CONFIG_HOME");
  std::string savedX = x ? x : "";
  std::string savedHome = getenv("HOME") ? getenv("HOME") : "";
  setenv("XDG_CONFIG_HOME", "/cfg/base", 1);
  EXPECT_EQ(GetUserConfigDir().Str(), "/cfg/base/csentrel/");
  setenv("XDG_CONFIG_HOME", "relative", 1);  /* ignored: not absolute */
  setenv("HOME", "/home/u", 1);
  EXPECT_EQ(GetUserConfigDir().Str(), "/home/u/.config/csentrel/");
  setenv("HOME", savedHome.c_str(), 1);
  if (x)
    setenv("XDG_CONFIG_HOME", savedX.c_str(), 1);
  else
    unsetenv("XDG_CONFIG_HOME");
  EXPECT_FALSE(GetRunningProgramPath().IsEmpty());
}
