/* kvx_check on an application file written by the configuration library:
 * its profile, rule set and file entries decide the check, --rule-set
 * overrides the rule set, and the file is not rewritten. */
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "engine_process.h"
#include "tessary_app.h"
#include "tessary_env.h"

namespace fs = std::filesystem;

namespace {

class QuietLog : public CErrorLog {
 public:
  void ReportMessage(int, unsigned, const std::string &, const std::string &) override {}
  void BeginRun() override {}
};

std::string Slurp(const std::string &path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

/* Runs the built kvx_check; gives its exit status and standard output. */
int RunCheck(const std::vector<std::string> &args, const std::string &dir, std::string &out) {
  std::string bin = std::string(getenv("KVX_BUILD_DIR")) + "/bin/kvx_check";
  std::vector<std::string> argv = {bin, "-q", "--format", "gcc"};
  argv.insert(argv.end(), args.begin(), args.end());
  EngineProcess p;
  std::string error;
  std::string console = dir + "/out.txt";
  if (!p.Start(argv, dir, console, {}, error)) {
    ADD_FAILURE() << error;
    return -1;
  }
  while (!p.WaitFor(1000)) {
  }
  out = Slurp(console);
  return p.Status();
}

TEST(AppInput, ApplicationFileDecidesTheCheck) {
  const char *build = getenv("KVX_BUILD_DIR");
  const char *source = getenv("KVX_SOURCE_DIR");
  if (!source || !*source) source = KVX_CHECK_SOURCE_ROOT;
  ASSERT_TRUE(build);
  char tmpl[] = "/tmp/kvx_check_app_XXXXXX";
  std::string dir = mkdtemp(tmpl);
  fs::copy(std::string(source) + "/examples/demo", dir + "/demo");
  setenv("XDG_CONFIG_HOME", (dir + "/config").c_str(), 1);
  QuietLog log;
  TheErrorLog = &log;
  {
    CEnvironment env;
    env.Start(CPathName(std::string(build) + "/bin/kvx_check"), false);
    CProfile *gnu = nullptr;
    for (const auto &p : env.GetProfiles())
      if (p->GetDialect() && p->GetDialect()->GetDialOption() == "gnu") gnu = p.get();
    CRuleSet *naming = nullptr;
    for (const auto &r : env.GetRuleSets())
      if (r->GetFullPath().GetFileName() == "naming.rsf") naming = r.get();
    ASSERT_TRUE(gnu && naming);
    CApplication app(gnu, naming);
    app.SetFilePath(CPathName(dir + "/demo.app"));
    for (const char *f : {"main.c", "counter.c", "events.c"}) app.AddFileEntry(CPathName(dir + "/demo/" + f));
    app.FindFileEntry(CPathName(dir + "/demo/main.c"))->SetCheck(false);
    app.GetPreprocessor()->SetDefines("NDEBUG");
    ASSERT_TRUE(app.Save());
  }
  TheErrorLog = nullptr;
  std::string saved = Slurp(dir + "/demo.app");

  std::string byApp, bySources, byDefault;
  /* The application's rule set (naming) over its checked files only. */
  EXPECT_EQ(RunCheck({"demo.app"}, dir, byApp), 1) << byApp;
  EXPECT_EQ(RunCheck({"--rule-set", "Naming", "-DNDEBUG", "demo/counter.c", "demo/events.c"}, dir, bySources), 1);
  EXPECT_EQ(byApp, bySources);
  EXPECT_EQ(byApp.find("main.c"), std::string::npos);
  /* --rule-set replaces the application's. */
  EXPECT_EQ(RunCheck({"--rule-set", "default", "demo.app"}, dir, byDefault), 1);
  EXPECT_NE(byDefault.find("[SWITCH_DEFAULT]"), std::string::npos) << byDefault;
  EXPECT_EQ(Slurp(dir + "/demo.app"), saved);
  std::string none;
  EXPECT_EQ(RunCheck({"missing.app"}, dir, none), 2);
  unsetenv("XDG_CONFIG_HOME");
  fs::remove_all(dir);
}

}  // namespace
