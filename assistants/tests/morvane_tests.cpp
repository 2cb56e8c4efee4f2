/* The makefile import assistant, driven by a scripted prompter: a capture
 * of a small project with a nested make, the Files not referenced step,
 * the cancellations, the make command settings mode, and the messages of
 * an unfit set-up.  The capture program is the built teskel, the compiler
 * cc_standin. */
#include <gtest/gtest.h>

#include <QApplication>
#include <functional>
#include <map>
#include <regex>

#include "arguments.h"
#include "assistant.h"
#include "capture_command.h"
#include "capture_support.h"
#include "tessary_checkrun.h"
#include "wendrel_cmdline.h"
#include "wendrel_run.h"

using Words = std::vector<std::string>;

namespace {

/* Answers from the test: each question calls the script's function for it
 * (OK with the values as shown when none is set). */
class CScriptedPrompter : public CMorvanePrompter {
 public:
  std::function<bool(SMakefileChoice &)> makefile;
  std::function<bool(std::vector<MakVar> &)> variables;
  std::function<bool(std::vector<CPathName> &, std::vector<CPathName> &)> files;
  std::function<bool(SBuildSettings &)> build;
  Words asked, messages;

  bool AskMakefile(SMakefileChoice &c) override {
    asked.push_back("Makefile");
    shownMakefile = c;
    return makefile ? makefile(c) : true;
  }
  bool AskVariables(std::vector<MakVar> &v) override {
    asked.push_back("Variables");
    shownVariables = v;
    return variables ? variables(v) : true;
  }
  bool AskFilesToKeep(std::vector<CPathName> &keep, std::vector<CPathName> &remove) override {
    asked.push_back("Files not referenced");
    shownKeep = keep;
    shownRemove = remove;
    return files ? files(keep, remove) : true;
  }
  bool AskBuild(SBuildSettings &s) override {
    asked.push_back("Build");
    shownBuild = s;
    return build ? build(s) : true;
  }
  void Inform(const std::string &text, ESeverity) override { messages.push_back(text); }

  SMakefileChoice shownMakefile;
  std::vector<MakVar> shownVariables;
  std::vector<CPathName> shownKeep, shownRemove;
  SBuildSettings shownBuild;
};

Words Strings(const std::vector<CPathName> &paths) {
  Words out;
  for (const auto &p : paths) out.push_back(p.Str());
  return out;
}

class MorvaneTest : public TeskelTest {
 protected:
  void SetUp() override {
    TeskelTest::SetUp();
    WriteFile(proj + "/inc/config.h", "");
    WriteFile(proj + "/main.c", "int main(void) { return 0; }\n");
    WriteFile(proj + "/Upper.C", "int upper;\n");
    WriteFile(proj + "/extra.cpp", "int extra;\n");
    WriteFile(proj + "/lib/util.c", "int util;\n");
    WriteFile(proj + "/old.c", "int old;\n");
    WriteFile(proj + "/Makefile",
              "# the test project\n"
              "CC = " CC_STANDIN_PATH "\n"
              "CFLAGS = -O2\n"
              "all: main.o Upper.o extra.o sub\n"
              "main.o: main.c\n"
              "\t$(CC) $(CFLAGS) -DATTACHED -D SEPARATE=2 -DGREETING=\"hello world\" -Iinc -I ../shared -c main.c -o main.o\n"
              "Upper.o: Upper.C\n\t$(CC) -c Upper.C -o Upper.o\n"
              "extra.o: extra.cpp\n\t$(CC) -c extra.cpp -o extra.o\n"
              "sub:\n\t$(MAKE) -C lib\n"
              ".PHONY: all sub\n");
    WriteFile(proj + "/lib/Makefile", "util.o: util.c\n\t$(CC) -DLIB -c util.c -o util.o\n");
    WriteApplication(proj + "/Makefile", {proj + "/old.c"});
  }

  int Import() {
    Restart();
    CMorvane m(*env, prompter);
    int r = m.Import(CPathName(ProfilePath()), CPathName(AppPath()));
    command = m.GetCaptureCommand();
    buildStatus = m.GetBuildStatus();
    return r;
  }

  std::string proj = dir.Path("my proj/src");
  CScriptedPrompter prompter;
  std::string command;
  int buildStatus = -1;
};

}  // namespace

TEST_F(MorvaneTest, ImportCapturesTheProject) {
  ASSERT_EQ(Import(), CMorvane::Done) << (prompter.messages.empty() ? "" : prompter.messages[0]);
  EXPECT_EQ(prompter.asked, (Words{"Makefile", "Variables", "Files not referenced"}));
  EXPECT_TRUE(prompter.messages.empty()) << prompter.messages[0];
  EXPECT_EQ(buildStatus, 0);
  EXPECT_EQ(prompter.shownMakefile.makefile, proj + "/Makefile");
  EXPECT_EQ(prompter.shownVariables, (std::vector<MakVar>{{"CC", CC_STANDIN_PATH, MakVar::eCompile},
                                                          {"CFLAGS", "-O2", 2},
                                                          {"MAKE", "make", MakVar::eMake}}));
  /* Only the compile and make variables are redirected and remembered. */
  EXPECT_EQ(command.find("CFLAGS="), std::string::npos);
  std::string profile = ReadFile(ProfilePath());
  EXPECT_NE(profile.find("COMPILE_VARS=|CC||" CC_STANDIN_PATH "|\n"), std::string::npos) << profile;
  EXPECT_NE(profile.find("MAKE_VARS=|MAKE||make|\n"), std::string::npos);
  EXPECT_EQ(profile.find("CFLAGS"), std::string::npos);
  /* The file the build never compiled is proposed for removal, and goes. */
  EXPECT_TRUE(prompter.shownKeep.empty());
  EXPECT_EQ(Strings(prompter.shownRemove), (Words{proj + "/old.c"}));

  auto app = LoadApplication();
  std::map<std::string, const CFileEntry *> entries;
  for (const auto &e : app->GetFileEntries()) entries[e->GetFilePath().Str()] = e.get();
  ASSERT_EQ(entries.size(), 3u);
  const CFileEntry *main = entries[proj + "/main.c"];
  ASSERT_NE(main, nullptr);
  EXPECT_EQ(Items(main->GetPreprocessor()->GetDefines()), (Words{"ATTACHED", "SEPARATE=2", "GREETING=hello world"}));
  EXPECT_EQ(Items(main->GetPreprocessor()->GetIncludes()), (Words{proj + "/inc", dir.Path("my proj/shared")}));
  ASSERT_NE(entries[proj + "/Upper.C"], nullptr);
  EXPECT_TRUE(Items(entries[proj + "/Upper.C"]->GetPreprocessor()->GetDefines()).empty());
  ASSERT_NE(entries[proj + "/lib/util.c"], nullptr);
  EXPECT_EQ(Items(entries[proj + "/lib/util.c"]->GetPreprocessor()->GetDefines()), (Words{"LIB"}));
  /* The compiler received the quoted define whole. */
  EXPECT_NE(ReadFile(proj + "/main.o").find("\n-DGREETING=hello world\n"), std::string::npos);
  EXPECT_FALSE(CPathName(AppPath() + ".captured").Exists());
  EXPECT_FALSE(CPathName(AppPath() + ".lock").Exists());

  /* A second capture: every file is compiled, nothing to ask about. */
  prompter.asked.clear();
  ASSERT_EQ(Import(), CMorvane::Done);
  EXPECT_EQ(prompter.asked, (Words{"Makefile", "Variables"}));
  EXPECT_EQ(LoadApplication()->GetFileEntries().size(), 3u);
}

TEST_F(MorvaneTest, OtherVariablesAreNeitherRedirectedNorRemembered) {
  prompter.variables = [](std::vector<MakVar> &v) {
    v[0].kind = 2;  /* CC */
    v[1].kind = 0;  /* CFLAGS */
    return true;
  };
  ASSERT_EQ(Import(), CMorvane::Done);
  EXPECT_EQ(command.find(" CC="), std::string::npos);
  EXPECT_NE(command.find(" CFLAGS=\""), std::string::npos);
  std::string profile = ReadFile(ProfilePath());
  EXPECT_NE(profile.find("COMPILE_VARS=|CFLAGS||-O2|\n"), std::string::npos) << profile;
}

TEST_F(MorvaneTest, ClosingTheFilesDialogWithoutOkDeletesNothing) {
  prompter.files = [](std::vector<CPathName> &keep, std::vector<CPathName> &remove) {
    keep.swap(remove);
    return false;
  };
  ASSERT_EQ(Import(), CMorvane::Done);
  auto app = LoadApplication();
  EXPECT_EQ(app->GetFileEntries().size(), 4u);
  EXPECT_NE(app->FindFileEntry(CPathName(proj + "/old.c")), nullptr);
}

TEST_F(MorvaneTest, FilesMovedToKeepStay) {
  prompter.files = [](std::vector<CPathName> &keep, std::vector<CPathName> &remove) {
    keep.swap(remove);
    return true;
  };
  ASSERT_EQ(Import(), CMorvane::Done);
  EXPECT_NE(LoadApplication()->FindFileEntry(CPathName(proj + "/old.c")), nullptr);
}

TEST_F(MorvaneTest, FailedBuildProposesToKeepWhatItDidNotReach) {
  WriteFile(proj + "/main.c", "FAIL_COMPILE\n");
  ASSERT_EQ(Import(), CMorvane::Done);
  EXPECT_NE(buildStatus, 0);
  ASSERT_EQ(prompter.messages.size(), 1u);
  EXPECT_NE(prompter.messages[0].find("The build ended with exit status"), std::string::npos);
  EXPECT_TRUE(prompter.shownRemove.empty());
  EXPECT_EQ(Strings(prompter.shownKeep), (Words{proj + "/old.c"}));
  EXPECT_NE(LoadApplication()->FindFileEntry(CPathName(proj + "/old.c")), nullptr);
}

TEST_F(MorvaneTest, CancelLeavesEverythingAsItWas) {
  std::string app = ReadFile(AppPath()), profile = ReadFile(ProfilePath());
  prompter.makefile = [](SMakefileChoice &c) {
    c.target = "changed";
    return false;
  };
  EXPECT_EQ(Import(), CMorvane::Done);
  prompter.makefile = nullptr;
  prompter.variables = [](std::vector<MakVar> &v) {
    v.clear();
    return false;
  };
  EXPECT_EQ(Import(), CMorvane::Done);
  EXPECT_EQ(ReadFile(AppPath()), app);
  EXPECT_EQ(ReadFile(ProfilePath()), profile);
  EXPECT_FALSE(CPathName(proj + "/main.o").Exists());
}

TEST_F(MorvaneTest, MissingMakefileStillAsksForVariables) {
  prompter.makefile = [this](SMakefileChoice &c) {
    c.makefile = proj + "/nowhere/Makefile";
    c.target = "all";
    return true;
  };
  prompter.variables = [](std::vector<MakVar> &) { return false; };
  EXPECT_EQ(Import(), CMorvane::Done);
  EXPECT_EQ(prompter.asked, (Words{"Makefile", "Variables"}));
  EXPECT_TRUE(prompter.shownVariables.empty());
}

TEST_F(MorvaneTest, UnfitSetUpIsReported) {
  WriteFile(root + "/etc/csentrel.conf", "PATH_KVX_ANALYZER=" + root + "\n");
  EXPECT_EQ(Import(), CMorvane::Failed);
  EXPECT_EQ(prompter.messages, (Words{"Invalid analyzer path."}));
  EXPECT_TRUE(prompter.asked.empty());

  WriteFile(root + "/etc/csentrel.conf", "PATH_KVX_ANALYZER=" + AnalyzerPath() + "\n");
  std::string profile = ReadFile(ProfilePath());
  WriteFile(ProfilePath(), std::regex_replace(profile, std::regex("MAKE_COMMAND_PATH=make"), "MAKE_COMMAND_PATH="));
  prompter.messages.clear();
  EXPECT_EQ(Import(), CMorvane::Failed);
  EXPECT_EQ(prompter.messages, (Words{"Please modify profile: enter a valid make command path."}));
  EXPECT_TRUE(prompter.asked.empty());
}

TEST_F(MorvaneTest, InitStoresTheFourMakeCommandValues) {
  prompter.build = [](SBuildSettings &s) {
    s = {"/usr/bin/gmake", "--file", "-B -k", "-t"};
    return true;
  };
  Restart();
  CMorvane m(*env, prompter);
  EXPECT_EQ(m.Init(CPathName(ProfilePath())), CMorvane::Done);
  EXPECT_EQ(prompter.shownBuild, (SBuildSettings{"make", "-f", "-B", ""}));
  std::string profile = ReadFile(ProfilePath());
  for (const char *line : {"MAKE_COMMAND_PATH=/usr/bin/gmake\n", "MAKE_MAKEFILE_NAME_OPTION=--file\n",
                           "MAKE_BUILD_ALL_OPTION=-B -k\n", "MAKE_TARGET_OPTION=-t\n"})
    EXPECT_NE(profile.find(line), std::string::npos) << line;

  /* Cancel changes nothing. */
  prompter.build = [](SBuildSettings &s) {
    s.makeCommand = "other";
    return false;
  };
  Restart();
  CMorvane again(*env, prompter);
  EXPECT_EQ(again.Init(CPathName(ProfilePath())), CMorvane::Done);
  EXPECT_EQ(ReadFile(ProfilePath()), profile);
}

TEST_F(MorvaneTest, DatabaseInPlaceOfTheMakefile) {
  std::string db = proj + "/build/compile_commands.json";
  WriteFile(db,
            "[\n"
            " {\"directory\": \"" + proj + "/build\", \"file\": \"../main.c\",\n"
            "  \"command\": \"cc -DSHARED -DGREETING=\\\"hello world\\\" -I../inc -std=c99 -c ../main.c\"},\n"
            " {\"directory\": \"" + proj + "\", \"file\": \"lib/util.c\",\n"
            "  \"arguments\": [\"cc\", \"-DSHARED\", \"-DLIB\", \"-Iinc\", \"-isystem\", \"sys\", \"-c\", \"lib/util.c\"]},\n"
            " {\"directory\": \"" + proj + "\", \"file\": \"extra.cpp\", \"command\": \"c++ -c extra.cpp\"}\n"
            "]\n");
  Restart();
  CMorvane m(*env, prompter);
  ASSERT_EQ(m.Import(CPathName(ProfilePath()), CPathName(AppPath()), CPathName(db)), CMorvane::Done)
      << (prompter.messages.empty() ? "" : prompter.messages[0]);
  /* The database was chosen already; no variables, no build. */
  EXPECT_TRUE(prompter.shownMakefile.database);
  EXPECT_EQ(prompter.shownMakefile.makefile, db);
  EXPECT_EQ(prompter.asked, (Words{"Makefile", "Files not referenced"}));
  EXPECT_FALSE(CPathName(proj + "/main.o").Exists());
  EXPECT_EQ(Strings(prompter.shownRemove), (Words{proj + "/old.c"}));
  ASSERT_EQ(prompter.messages.size(), 1u);
  EXPECT_NE(prompter.messages[0].find("1 entries are not C files"), std::string::npos) << prompter.messages[0];
  EXPECT_NE(prompter.messages[0].find("compiled as c99"), std::string::npos) << prompter.messages[0];

  auto app = LoadApplication();
  EXPECT_EQ(app->GetMakefilePath().Str(), db);
  EXPECT_EQ(Items(app->GetPreprocessor()->GetDefines()), (Words{"SHARED"}));
  EXPECT_EQ(Items(app->GetPreprocessor()->GetIncludes()), (Words{proj + "/inc"}));
  ASSERT_EQ(app->GetFileEntries().size(), 2u);
  const CFileEntry *main = app->FindFileEntry(CPathName(proj + "/main.c"));
  ASSERT_NE(main, nullptr);
  EXPECT_EQ(Items(main->GetPreprocessor()->GetDefines()), (Words{"GREETING=hello world"}));
  const CFileEntry *util = app->FindFileEntry(CPathName(proj + "/lib/util.c"));
  ASSERT_NE(util, nullptr);
  EXPECT_EQ(Items(util->GetPreprocessor()->GetDefines()), (Words{"LIB"}));
  EXPECT_EQ(Items(util->GetPreprocessor()->GetIncludes()), (Words{proj + "/sys"}));

  /* The next run proposes the database again; a broken one is reported. */
  WriteFile(db, "[{\"directory\": 1}");
  prompter.messages.clear();
  ASSERT_EQ(Import(), CMorvane::Failed);
  EXPECT_TRUE(prompter.shownMakefile.database);
  ASSERT_EQ(prompter.messages.size(), 1u);
  EXPECT_NE(prompter.messages[0].find("Invalid format"), std::string::npos) << prompter.messages[0];
  EXPECT_EQ(LoadApplication()->GetFileEntries().size(), 2u);
}

TEST(MorvaneArguments, ModesAndQuotes) {
  CPathName dir("/work/");
  SMorvaneArgs a = ReadMorvaneArgs({"\"/p/gcc.prf\"", " \"app.app\" "}, dir);
  EXPECT_EQ(a.mode, SMorvaneArgs::Import);
  EXPECT_EQ(a.profile.Str(), "/p/gcc.prf");
  EXPECT_EQ(a.application.Str(), "/work/app.app");
  EXPECT_TRUE(a.database.IsEmpty());
  a = ReadMorvaneArgs({"p.prf", "a.app", "build/compile_commands.json"}, dir);
  EXPECT_EQ(a.database.Str(), "/work/build/compile_commands.json");
  for (const char *sw : {"-init", "/INIT", "-Init"}) {
    a = ReadMorvaneArgs({sw, "\"/p/my profile.prf\""}, dir);
    EXPECT_EQ(a.mode, SMorvaneArgs::Init) << sw;
    EXPECT_EQ(a.profile.Str(), "/p/my profile.prf");
  }
  EXPECT_EQ(ReadMorvaneArgs({"-init"}, dir).mode, SMorvaneArgs::Usage);
  EXPECT_EQ(ReadMorvaneArgs({"only.prf"}, dir).mode, SMorvaneArgs::Usage);
  EXPECT_EQ(ReadMorvaneArgs({"a", "b", "c", "d"}, dir).mode, SMorvaneArgs::Usage);
}

/* A fresh installation captures: its settings name the capture program's
 * directory and every shipped profile starts the import assistant. */
TEST(MorvaneInstallation, ShippedSettingsAndProfilesCapture) {
  const char *build = getenv("KVX_BUILD_DIR");
  if (!build) GTEST_SKIP() << "KVX_BUILD_DIR is not set";
  std::string saved = getenv("CSENTREL_SETTINGS") ? getenv("CSENTREL_SETTINGS") : "";
  unsetenv("CSENTREL_SETTINGS");
  RecordingLog log;
  CEnvironment env;
  TheEnvironment = &env;
  env.SetGUI(false);
  env.SetExePath(CPathName(std::string(build) + "/bin/morvane"));
  env.GetGlobals().Load();
  CPathName analyzer = env.GetKvxAnalyzerPath();
  analyzer.RemoveEndingDirSeparator();
  EXPECT_EQ(analyzer, CPathName(std::string(build) + "/bin"));
  EXPECT_TRUE(GetCaptureProgramPath(env.GetKvxAnalyzerPath()).IsFile());
  int profiles = 0;
  for (const auto &entry : fs::directory_iterator(std::string(build) + "/util/profiles")) {
    CProfile *p = env.RetrieveProfile(CPathName(entry.path().string()), true);
    ASSERT_NE(p, nullptr) << entry.path();
    EXPECT_EQ(p->GetMakeCommand()->GetExtractFilesCmd(), CPathName(std::string(build) + "/bin/morvane"));
    EXPECT_TRUE(p->GetMakeCommand()->GetExtractFilesCmd().IsFile());
    bool make = false;
    for (const MakVar &v : p->GetLstMakVars()) make = make || (v.name == "MAKE" && v.kind == MakVar::eMake);
    EXPECT_TRUE(make) << entry.path();
    ++profiles;
  }
  EXPECT_GE(profiles, 10);

  /* The installation is never written: its profile's make command stays. */
  std::string gnu = std::string(build) + "/util/profiles/gnu.prf", text = ReadFile(gnu);
  CScriptedPrompter prompter;
  prompter.build = [](SBuildSettings &s) {
    s.makeCommand = "/opt/other/make";
    return true;
  };
  CMorvane m(env, prompter);
  EXPECT_EQ(m.Init(CPathName(gnu)), CMorvane::Failed);
  ASSERT_EQ(prompter.messages.size(), 1u);
  EXPECT_NE(prompter.messages[0].find("belongs to the installation"), std::string::npos);
  EXPECT_EQ(ReadFile(gnu), text);
  TheEnvironment = nullptr;
  if (!saved.empty()) setenv("CSENTREL_SETTINGS", saved.c_str(), 1);
}

/* A CMake project of the tests, configured for real: its compilation
 * database imports into the expected application, which the checker then
 * checks with the installation's default rule set without an analysis
 * error. */
TEST(MorvaneDatabase, RealCMakeProjectImportsAndChecksClean) {
  const char *build = getenv("KVX_BUILD_DIR");
  if (!build) GTEST_SKIP() << "KVX_BUILD_DIR is not set";
  ScratchDir dir("cmake");
  std::string proj = dir.Path("my proj");
  WriteFile(proj + "/CMakeLists.txt",
            "cmake_minimum_required(VERSION 3.16)\nproject(tiny C)\n"
            "add_library(util STATIC src/util.c)\ntarget_include_directories(util PUBLIC include)\n"
            "target_compile_definitions(util PRIVATE UTIL_LEVEL=2)\n"
            "add_executable(tiny src/main.c)\ntarget_link_libraries(tiny util)\n"
            "target_compile_definitions(tiny PRIVATE \"GREETING=\\\"hi there\\\"\")\n");
  WriteFile(proj + "/include/util.h", "/* util.h */\nint util_twice(int value);\n");
  WriteFile(proj + "/src/util.c",
            "/* util.c */\n#include \"util.h\"\n\n/* Doubles. */\nint util_twice(int value)\n{\n"
            "    return value * UTIL_LEVEL;\n}\n");
  WriteFile(proj + "/src/main.c",
            "/* main.c */\n#include <stdio.h>\n#include <string.h>\n#include \"util.h\"\n\n/* The program. */\n"
            "int main(void)\n{\n    printf(\"%d\\n\", util_twice((int)strlen(GREETING)));\n    return 0;\n}\n");
  SSendOutputParams conf;
  conf.cmdLine = JoinCmdLine({CMAKE_COMMAND_PATH, "-S", proj, "-B", proj + "/build", "-G", "Unix Makefiles",
                              "-DCMAKE_EXPORT_COMPILE_COMMANDS=ON"});
  conf.outputFile = dir.Path("cmake.out");
  conf.errToOutput = true;
  SProcessInfo info;
  ASSERT_TRUE(SendOutputTo(conf, nullptr, &info)) << info.error;
  ASSERT_EQ(CollectProcess(info), 0) << ReadFile(dir.Path("cmake.out"));

  std::string saved = getenv("CSENTREL_SETTINGS") ? getenv("CSENTREL_SETTINGS") : "";
  unsetenv("CSENTREL_SETTINGS");
  setenv("XDG_CONFIG_HOME", dir.Path("user").c_str(), 1);
  RecordingLog log;
  CEnvironment env;
  env.Start(CPathName(std::string(build) + "/bin/morvane"), false);
  CProfile *gnu = env.RetrieveProfile(CPathName(std::string(build) + "/util/profiles/gnu.prf"), true);
  CRuleSet *rules = env.RetrieveRuleSet(CPathName(std::string(build) + "/rules/default.rsf"), true);
  ASSERT_TRUE(gnu && rules);
  std::string appPath = proj + "/tiny.app";
  {
    CApplication app(gnu, rules);
    app.SetFilePath(CPathName(appPath));
    app.Save();
  }
  CScriptedPrompter prompter;
  CMorvane m(env, prompter);
  ASSERT_EQ(m.Import(gnu->GetFullPath(), CPathName(appPath), CPathName(proj + "/build/compile_commands.json")),
            CMorvane::Done)
      << (prompter.messages.empty() ? "" : prompter.messages[0]);

  CApplication app;
  app.SetFilePath(CPathName(appPath));
  ASSERT_TRUE(app.Load());
  EXPECT_EQ(app.GetAppRuleSet(), rules);
  EXPECT_EQ(app.GetPreprocessor()->GetIncludes().GetItems(), (Words{proj + "/include"}));
  ASSERT_EQ(app.GetFileEntries().size(), 2u);
  const CFileEntry *main = app.FindFileEntry(CPathName(proj + "/src/main.c"));
  const CFileEntry *util = app.FindFileEntry(CPathName(proj + "/src/util.c"));
  ASSERT_TRUE(main && util);
  EXPECT_EQ(main->GetPreprocessor()->GetDefines().GetItems(), (Words{"GREETING=\"hi there\""}));
  EXPECT_EQ(util->GetPreprocessor()->GetDefines().GetItems(), (Words{"UTIL_LEVEL=2"}));

  CCheckRun run;
  fs::create_directories(dir.Path("run"));
  ASSERT_TRUE(run.Prepare(app, nullptr, CPathName(dir.Path("run/"))));
  EXPECT_EQ(run.GetFileCount(), 2);
  SSendOutputParams check;
  check.cmdLine = run.GetCommandLine();
  check.curDir = run.GetWorkingDirectory().Str();
  check.outputFile = run.GetConsolePath().Str();
  check.errToOutput = true;
  ASSERT_TRUE(SendOutputTo(check, nullptr, &info)) << info.error;
  std::string console;
  int status = CollectProcess(info);
  console = ReadFile(run.GetConsolePath().Str());
  EXPECT_EQ(status, 0) << console;
  EXPECT_EQ(console.find("Error"), std::string::npos) << console;

  TheEnvironment = nullptr;
  unsetenv("XDG_CONFIG_HOME");
  if (!saved.empty()) setenv("CSENTREL_SETTINGS", saved.c_str(), 1);
}
