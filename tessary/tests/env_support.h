/*
 * env_support.h - a scratch installation (settings file, dialects, profiles,
 * catalogue, rule sets) and a per-user directory, with an environment that
 * uses them.
 */
#ifndef TESSARY_ENV_SUPPORT_H
#define TESSARY_ENV_SUPPORT_H

#include <gtest/gtest.h>

#include <memory>

#include "tessary_env.h"
#include "test_support.h"

inline void WriteInstallation(const ScratchDir &d) {
  WriteFile(d.Path("inst/etc/csentrel.conf"),
            "# settings of the test installation\n"
            "DIALECTS=../util/dialects.lst\n"
            "PROFILES=../util/profiles.lst\n"
            "ALLRULES=../rules/allrules.lst\n"
            "RULESETS=../rules/rulesets.lst\n"
            "CHECKER=kvx_zkck_cc\n");
  WriteFile(d.Path("inst/util/dialects.lst"),
            "\"GNU C\" gcc.prf gcc\n"
            "\n"
            "  \"ANSI C\"  \"\" ansi\n");
  WriteFile(d.Path("inst/util/gcc.prf"),
            "TARQUIN ZKL 1.0 PROFIL FILE\n"
            "NAME=GNU C\n"
            "DEF=gcc.def\n"
            "IGN=\n"
            "BUILD=\n"
            "MAKE_COMMAND_PATH=make\n"
            "EXPANDMACRO=Y\n"
            "MACROFILE=\n"
            "DIALECT=gcc\n"
            "COMPILE_VARS=|CC||gcc|\n"
            "MAKE_VARS=\n");
  WriteFile(d.Path("inst/util/gcc.def"), "I/usr/include\nD__GNUC__=12\nAsystem(unix)\n");
  WriteFile(d.Path("inst/util/profiles.lst"), "gcc.prf\n");
  WriteFile(d.Path("inst/rules/allrules.lst"),
            "\"Naming of globals\" naming.rul\n"
            "\"Line length\" \"len/len.rul\"\n");
  WriteFile(d.Path("inst/rules/naming.rul"),
            ".NAME naming\n"
            ".TITLE Description Global names\n"
            "Globals begin with g_.\n"
            ".PARAMETER pattern globalPattern \"Global pattern\" \"^g_(.*)\"\n"
            ".CODE\n"
            "puts $globalPattern\n");
  WriteFile(d.Path("inst/rules/len/len.rul"),
            ".NAME line length\n"
            ".PARAMETER Num maxLen \"Maximum length\" \"80\"\n"
            ".PARAMETER NUM minLen Minimum\n"
            ".CODE\n");
  WriteFile(d.Path("inst/rules/rulesets.lst"), "std.rsf\n");
  WriteFile(d.Path("inst/rules/std.rsf"),
            "TARQUIN ZKL 1.0 RULES FILE\n"
            "NAME=Standard\n"
            "\"Line length\" \"len/len.rul\"  maxLen {100}, minLen {}\n");
}

/* Points the settings file and the per-user directory into a scratch
 * directory and gives a fresh environment as TheEnvironment. */
class EnvTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("XDG_CONFIG_HOME", dir.Path("user").c_str(), 1);
    setenv("CSENTREL_SETTINGS", dir.Path("inst/etc/csentrel.conf").c_str(), 1);
    NewEnvironment();
  }
  void TearDown() override {
    env.reset();
    TheEnvironment = nullptr;
    unsetenv("CSENTREL_SETTINGS");
    unsetenv("XDG_CONFIG_HOME");
  }
  void NewEnvironment() {
    env.reset();
    env = std::make_unique<CEnvironment>();
    TheEnvironment = env.get();
    env->SetExePath(dir.Path("inst/bin/csentrel"));
  }
  void StartInstalled() {
    WriteInstallation(dir);
    env->Start(dir.Path("inst/bin/csentrel"), true);
  }
  ScratchDir dir{"env"};
  RecordingLog log;
  std::unique_ptr<CEnvironment> env;
};

#endif
