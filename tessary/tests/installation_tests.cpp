/*
 * installation_tests.cpp - the dialect list, profiles, rule catalogue and
 * rule sets that the build tree ships (build/util, build/rules) load through
 * the start sequence, from the shipped settings file (build/etc), with
 * information messages only, and hold what a first start needs.
 */
#include <gtest/gtest.h>

#include <cstdlib>
#include <set>

#include "env_support.h"
#include "tessary_profile.h"
#include "tessary_rules.h"

namespace {

std::string BuildDir() {
  const char *b = std::getenv("KVX_BUILD_DIR");
  return b ? b : "";
}

/* The non-blank lines of a shipped file. */
int CountLines(const std::string &path) {
  std::istringstream in(ReadFile(path));
  std::string line;
  int n = 0;
  while (std::getline(in, line))
    if (line.find_first_not_of(" \t\r") != std::string::npos) n++;
  return n;
}

class Installation : public ::testing::Test {
 protected:
  void SetUp() override {
    build = BuildDir();
    if (build.empty()) GTEST_SKIP() << "KVX_BUILD_DIR is not set";
    /* The shipped settings file, found from the program's directory. */
    unsetenv("CSENTREL_SETTINGS");
    setenv("XDG_CONFIG_HOME", dir.Path("user").c_str(), 1);
  }
  void TearDown() override {
    env.reset();
    TheEnvironment = nullptr;
    unsetenv("CSENTREL_SETTINGS");
    unsetenv("XDG_CONFIG_HOME");
  }
  void StartAs(bool gui) {
    env = std::make_unique<CEnvironment>();
    TheEnvironment = env.get();
    env->Start(build + "/bin/csentrel", gui);
  }
  std::string Messages() const {
    std::string text;
    for (const auto &m : log.messages)
      if (m.type != CZKError::eInformation)
        text += std::to_string(m.id) + " " + m.first + " " + m.second + "\n";
    return text;
  }
  std::string build;
  ScratchDir dir{"inst"};
  RecordingLog log;
  std::unique_ptr<CEnvironment> env;
};

/* In the workbench and in a command-line program alike: a profile's
 * DIALECT line must find its own dialect in the list, not create one. */
TEST_F(Installation, StartsWithInformationMessagesOnly) {
  for (bool gui : {true, false}) {
    SCOPED_TRACE(gui ? "gui" : "command line");
    log.messages.clear();
    StartAs(gui);
    EXPECT_EQ(log.Problems(), 0) << Messages();

    const CGlobals &g = env->GetGlobals();
    EXPECT_EQ(g.GetSettingsPath().Str(), build + "/etc/csentrel.conf");
    EXPECT_EQ(g.GetDialectsPath().Str(), build + "/util/dialects.lst");
    EXPECT_EQ(g.GetProfilesPath().Str(), build + "/util/profiles.lst");
    EXPECT_EQ(g.GetAllRulesPath().Str(), build + "/rules/catalogue.lst");
    EXPECT_EQ(g.GetRuleSetsPath().Str(), build + "/rules/rulesets.lst");
    EXPECT_EQ(g.GetCheckerPath().Str(), build + "/bin/kvx_zkck_cc");
    EXPECT_TRUE(g.GetCheckerPath().IsFile());

    const auto &dialects = env->GetDialects().GetEntries();
    ASSERT_GT(dialects.size(), 0u);
    EXPECT_EQ((int)dialects.size(), CountLines(build + "/util/dialects.lst"));
    std::set<std::string> options;
    for (const auto &d : dialects) {
      EXPECT_TRUE(options.insert(d->GetDialOption()).second) << d->GetDialOption() << " listed twice";
      if (CProfile *p = d->GetDialectProfile()) {
        EXPECT_EQ(p->GetDialect(), d.get()) << d->GetName();
      }
    }
    /* Every dialect the engine's table knows, and no other. */
    for (const char *known : {"ansi", "kr78", "sun", "hp_ansi", "hp", "mcc", "mcc_std", "gnu",
                              "gnu_d950", "msc50", "msc1100", "msc0900", "msc40", "msc0800",
                              "msc15", "iar", "c99", "c11"})
      EXPECT_EQ(options.count(known), 1u) << known;

    EXPECT_EQ((int)env->GetProfiles().size(), CountLines(build + "/util/profiles.lst"));
    for (const auto &p : env->GetProfiles()) {
      ASSERT_NE(p->GetDialect(), nullptr) << p->GetName();
      EXPECT_EQ(env->GetDialects().RetrieveDialect(p->GetDialect()->GetDialOption(), false),
                p->GetDialect());
    }

    EXPECT_EQ((int)env->GetAllRules().GetRules().size(), CountLines(build + "/rules/catalogue.lst"));
    ASSERT_EQ((int)env->GetRuleSets().size(), CountLines(build + "/rules/rulesets.lst"));
    for (const auto &rs : env->GetRuleSets()) {
      SCOPED_TRACE(rs->GetName());
      /* Every entry found its rule in the catalogue, and every parameter
       * value its parameter. */
      EXPECT_GE(rs->GetCheckedRulesCount(), 5);
      for (const auto &e : rs->GetRuleEntries()) {
        ASSERT_NE(e->GetRule(), nullptr);
        for (const auto &v : e->GetRuleParameterValues()) EXPECT_NE(v, nullptr);
      }
    }
  }
}

/* The installation is never written: a start and an exit leave the
 * shipped files as they were and write the user's files only. */
TEST_F(Installation, ExitWritesOnlyTheUserDirectory) {
  auto shipped = [this] {
    std::string text;
    for (const char *f : {"/etc/csentrel.conf", "/util/dialects.lst", "/util/profiles.lst",
                          "/util/profiles/gnu.prf", "/rules/default.rsf"})
      text += ReadFile(build + f);
    return text;
  };
  std::string before = shipped();
  StartAs(true);
  env->SaveProfiles();
  env->SaveRuleSets();
  EXPECT_EQ(log.Problems(), 0) << Messages();
  std::string after = shipped();
  EXPECT_EQ(before, after);
  for (const auto &p : env->GetProfiles()) EXPECT_TRUE(env->IsInstalledFile(p->GetFullPath()));
}

}  // namespace
