/*
 * capture_support.h - a scratch project for the capture tests: settings
 * naming the capture program, a profile with its compile and make
 * variables, and an application file that names the project's makefile.
 */
#ifndef KVX_CAPTURE_SUPPORT_H
#define KVX_CAPTURE_SUPPORT_H

#include <gtest/gtest.h>

#include <memory>

#include "capture_program.h"
#include "kvxapp.h"
#include "tessary_app.h"
#include "tessary_env.h"
#include "test_support.h"

inline void PrintTo(const MakVar &v, std::ostream *os) {
  *os << "{" << v.name << ", " << v.value << ", " << v.kind << "}";
}

class CaptureTest : public ::testing::Test {
 protected:
  /* The project lives in a directory whose name holds a blank. */
  void SetUp() override {
    root = dir.Path("my proj");
    WriteFile(root + "/etc/csentrel.conf",
              "ALLRULES=../rules/catalogue.lst\nPATH_KVX_ANALYZER=" + AnalyzerPath() + "\n");
    WriteFile(root + "/rules/catalogue.lst", "\"No goto\" goto.rul\n");
    WriteFile(root + "/rules/goto.rul", ".NAME No goto\n.CODE\n");
    WriteFile(root + "/rules/std.rsf", "TARQUIN ZKL 1.0 RULES FILE\nNAME=Standard\n\"No goto\" goto.rul\n");
    WriteFile(root + "/profiles/gcc.prf",
              "TARQUIN ZKL 1.0 PROFIL FILE\nNAME=Capture\nDEF=\nIGN=\nBUILD=\n"
              "MAKE_COMMAND_PATH=make\nMAKE_MAKEFILE_NAME_OPTION=-f\nMAKE_BUILD_ALL_OPTION=-B\n"
              "MAKE_TARGET_OPTION=\nEXPANDMACRO=Y\nMACROFILE=\nDIALECT=gnu\n"
              "COMPILE_VARS=|CC||cc|\nMAKE_VARS=|MAKE||make|\n");
    setenv("CSENTREL_SETTINGS", (root + "/etc/csentrel.conf").c_str(), 1);
    setenv("XDG_CONFIG_HOME", (root + "/user").c_str(), 1);
    static char name[] = "capture_tests";
    static char *argv[] = {name, nullptr};
    arg_init(1, argv);
    lang_init();
    Restart();
  }
  void TearDown() override {
    TheEnvironment = nullptr;
    TheErrorLog = nullptr;
    unsetenv("CSENTREL_SETTINGS");
    unsetenv("XDG_CONFIG_HOME");
  }
  virtual std::string AnalyzerPath() { return root + "/bin"; }

  /* A fresh environment, as a new process would have. */
  void Restart() {
    env = std::make_unique<CEnvironment>();
    TheEnvironment = env.get();
    TheErrorLog = &log;
    env->SetGUI(false);
    env->SetExePath(CPathName(root + "/bin/test"));
    env->GetGlobals().Load();
    env->LoadAllRules();
  }

  std::string AppPath() const { return root + "/app.app"; }
  std::string ProfilePath() const { return root + "/profiles/gcc.prf"; }

  /* Saves an application with the profile and the given makefile. */
  void WriteApplication(const std::string &makefile, const std::vector<std::string> &files = {}) {
    CProfile *profile = env->RetrieveProfile(CPathName(ProfilePath()), true);
    ASSERT_NE(profile, nullptr);
    CRuleSet *rules = env->RetrieveRuleSet(CPathName(root + "/rules/std.rsf"), true);
    ASSERT_NE(rules, nullptr);
    CApplication app(profile, rules);
    app.SetFilePath(CPathName(AppPath()));
    if (!makefile.empty()) app.SetMakefilePath(CPathName(makefile));
    for (const auto &f : files) app.AddFileEntry(CPathName(f));
    app.Save();
  }

  std::unique_ptr<CApplication> LoadApplication() {
    Restart();
    auto app = std::make_unique<CApplication>();
    app->SetFilePath(CPathName(AppPath()));
    app->Load();
    return app;
  }

  static std::vector<std::string> Items(const CCommaList &list) { return list.GetItems(); }

  ScratchDir dir{"capture"};
  std::string root;
  RecordingLog log;
  std::unique_ptr<CEnvironment> env;
};

#ifdef TESKEL_PATH
/* Captures with the built capture program, as in a terminal or on a build
 * server: with no display to ask on. */
class TeskelTest : public CaptureTest {
 protected:
  std::string AnalyzerPath() override { return CPathName(TESKEL_PATH).GetDirectory().Str(); }
  void SetUp() override {
    CaptureTest::SetUp();
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
  }
};
#endif

#endif
