/* In-process runs of the checker: each run has its own engine, fatal ends
 * come back through the exit handler, and state does not leak between
 * engines. */
#include "driver/engine.h"
#include "driver/run.h"

#include "capture.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <fstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct InProcess : ::testing::Test {
  fs::path dir;
  InProcess() {
    char tmpl[] = "/tmp/kvx_run_XXXXXX";
    dir = mkdtemp(tmpl);
  }
  ~InProcess() override { fs::remove_all(dir); }
  std::string write(const std::string &rel, const std::string &text) {
    std::ofstream(dir / rel) << text;
    return (dir / rel).string();
  }
  struct Run {
    Capture err, out;
    kvx::Engine e{err.f, out.f};
    int status = -1;
    bool exited = false;
  };
  void run(Run &r, std::vector<std::string> args) {
    r.e.module_name = "kvx_zkck_cc";
    r.e.program_dir = dir.string();
    r.e.diag.set_exit_handler([](int st) { throw kvx::ProcessExit{st}; });
    std::vector<char *> argv;
    for (auto &a : args) argv.push_back(a.data());
    try {
      r.status = kvx::run_checker((int)argv.size(), argv.data(), r.e);
    } catch (kvx::ProcessExit &x) {
      r.status = x.status;
      r.exited = true;
    }
  }
};

TEST_F(InProcess, EnginesAreIndependent) {
  std::string c = write("c.lst", "-nowarning gone.c\n");
  std::string rules = write("r.lst", write("r.rule", ".KEY K\n.CODE\nset ::seen 1\nputs $thisRule\n") + "\n");
  std::string c2 = write("c2.lst", "\n");
  std::string rules2 = write("r2.lst", write("r2.rule", ".CODE\nputs [info exists ::seen]\n") + "\n");

  Run first;
  run(first, {"kvx_zkck_cc", c, rules});
  EXPECT_EQ(first.status, 1);
  EXPECT_EQ(first.err.text(), "gone.c: Error:  No such file or directory\nkvx_zkck_cc: 1 error(s).\n");

  Run second;
  run(second, {"kvx_zkck_cc", c2, rules2});
  EXPECT_EQ(second.status, 0);
  EXPECT_EQ(second.err.text(), "");
  EXPECT_TRUE(second.e.diag.warnings_shown());
  /* Rules print through Tcl's own standard output channel. */
  EXPECT_FALSE(second.exited);
}

TEST_F(InProcess, FatalAndMissingOptionComeBackThroughTheExitHandler) {
  Run fatal;
  run(fatal, {"kvx_zkck_cc", (dir / "none.lst").string(), (dir / "none.lst").string()});
  EXPECT_TRUE(fatal.exited);
  EXPECT_EQ(fatal.status, 2);

  Run missing;
  std::string rules = write("r.lst", "");
  run(missing, {"kvx_zkck_cc", write("c.lst", "-o\n"), rules, (dir / "report.txt").string()});
  EXPECT_TRUE(missing.exited);
  EXPECT_EQ(missing.status, 1);
  EXPECT_EQ(missing.err.text(),
            "Error(s):  Option -o has to be followed by a directory name or a file name\n"
            "kvx_zkck_cc:\nSorry, no usage file available.\n");
}

TEST_F(InProcess, VersionAndUsageGoToTheEnginesStreams) {
  Run v;
  run(v, {"kvx_zkck_cc", "-v"});
  EXPECT_EQ(v.status, 1);
  EXPECT_EQ(v.out.text(), "Kavexo rule checker version 2.1 (kvx_zkck_cc)\n");
  Run u;
  run(u, {"kvx_zkck_cc"});
  EXPECT_EQ(u.status, 1);
  EXPECT_EQ(u.err.text(), "usage: kvx_zkck_cc file_of_C file_of_rules\n");
}

/* A rule that calls exit fails alone: the next rule runs, the report file
 * keeps what was written, and the summary gives the status. */
TEST_F(InProcess, ExitInARuleIsAnErrorOfThatRuleOnly) {
  std::string c = write("c.lst", "\n");
  std::string first = write("a.rule", ".KEY A\n.CODE\nputs before\nexit 0\nputs after\n");
  std::string second = write("b.rule", ".KEY B\n.CODE\nputs next\n");
  std::string rules = write("r.lst", first + "\n" + second + "\n");
  Run r;
  run(r, {"kvx_zkck_cc", c, rules, (dir / "report.txt").string()});
  EXPECT_FALSE(r.exited);
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.text().find("exit is not available to rules"), std::string::npos) << r.err.text();
  EXPECT_NE(r.err.text().find("kvx_zkck_cc: 1 error(s)."), std::string::npos) << r.err.text();
  EXPECT_TRUE(fs::exists(dir / "report.txt"));
}

/* With KVX_PROGRESS set, a program watching the run learns from standard
 * output which source or rule raised the error count. */
TEST_F(InProcess, ProgressLinesTellWhereErrorsCameFrom) {
  setenv("KVX_PROGRESS", "1", 1);
  std::string ok = write("ok.c", "int x;\n");
  std::string good = write("good.rule", ".KEY G\n.CODE\nputs ran\n");
  std::string rules = write("r.lst", good + "\n" + (dir / "missing.rule").string() + "\n");
  Run clean;
  run(clean, {"kvx_zkck_cc", write("c.lst", "-nocccp " + ok + "\n"), rules, (dir / "report.txt").string()});
  /* Only the progress lines: the run may announce its options file. */
  std::string progress;
  std::istringstream lines(clean.out.text());
  for (std::string l; std::getline(lines, l);)
    if (l.rfind("kvx_progress: ", 0) == 0) progress += l + "\n";
  EXPECT_EQ(progress, "kvx_progress: begin 0 " + ok + "\nkvx_progress: source 0 " + ok + "\nkvx_progress: rule 0 " +
                          good + "\nkvx_progress: rule 1 " + (dir / "missing.rule").string() + "\n");
  Run failing;
  run(failing, {"kvx_zkck_cc", write("c2.lst", "-nocccp gone.c\n-nocccp " + ok + "\n"), rules});
  for (const std::string &expected : {std::string("kvx_progress: begin 0 gone.c\nkvx_progress: source 1 gone.c\n"),
                               "kvx_progress: begin 1 " + ok + "\n", "kvx_progress: source 1 " + ok + "\n"})
    EXPECT_NE(failing.out.text().find(expected), std::string::npos) << failing.out.text();
  EXPECT_EQ(failing.out.text().find("rule"), std::string::npos);
  unsetenv("KVX_PROGRESS");
  Run quiet;
  run(quiet, {"kvx_zkck_cc", write("c3.lst", "-nocccp " + ok + "\n"), rules, (dir / "report.txt").string()});
  EXPECT_EQ(quiet.out.text().find("kvx_progress"), std::string::npos);
}

}  // namespace
