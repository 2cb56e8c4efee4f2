/* End-to-end tests of kvx_zkck_cc's command line, list files, report file
 * and installation searches. */
#include "run_program.h"

#include <gtest/gtest.h>

namespace fs = std::filesystem;
using kvxtest::Result;
using kvxtest::Scratch;

namespace {

const std::string engine = kvxtest::built_program("kvx_zkck_cc");

Result check(const Scratch &s, std::vector<std::string> args,
             const std::vector<std::pair<std::string, const char *>> &env = {}) {
  args.insert(args.begin(), engine);
  return kvxtest::run(engine, args, s.dir, env);
}

TEST(CheckerCommandLine, VersionBannerExits1) {
  Scratch s;
  Result r = check(s, {"-v"});
  EXPECT_EQ(r.out, "Kavexo rule checker version 2.1 (kvx_zkck_cc)\n");
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.status, 1);
}

TEST(CheckerCommandLine, WrongArgumentCountsPrintUsage) {
  Scratch s;
  const std::string usage = "usage: kvx_zkck_cc file_of_C file_of_rules\n";
  for (auto args : std::vector<std::vector<std::string>>{{}, {"-x"}, {"only.lst"}, {"a", "b", "c", "d"}}) {
    Result r = check(s, args);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, usage);
    EXPECT_EQ(r.status, 1);
  }
  /* The usage name drops the directory and the last extension only. */
  Result r = kvxtest::run(engine, {"/opt/kvx/bin/kvx_zkck_cc.v2.exe"}, s.dir);
  EXPECT_EQ(r.err, "usage: kvx_zkck_cc.v2 file_of_C file_of_rules\n");
  r = kvxtest::run(engine, {"dir/.hidden"}, s.dir);
  EXPECT_EQ(r.err, "usage: .hidden file_of_C file_of_rules\n");
}

TEST(CheckerCommandLine, MissingListFilesAreFatal) {
  Scratch s;
  s.write("c.lst", "");
  Result r = check(s, {"nofile.lst", "c.lst"});
  EXPECT_EQ(r.err,
            "kvx_zkck_cc: Error: nofile.lst: Error:  No such file or directory\n\n"
            "kvx_zkck_cc: 1 error(s).\n");
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.status, 2);

  r = check(s, {"c.lst", "norules.lst", "report.txt"});
  EXPECT_EQ(r.err,
            "kvx_zkck_cc: Error: norules.lst: Error:  No such file or directory\n\n"
            "kvx_zkck_cc: 1 error(s).\n");
  EXPECT_EQ(r.status, 2);
  /* The report file was created before the lists were opened. */
  EXPECT_TRUE(fs::exists(s / "report.txt"));

  fs::create_directory(s / "adir");
  r = check(s, {"adir", "c.lst"});
  EXPECT_EQ(r.err, "kvx_zkck_cc: Error: adir: Error:  Is a directory\n\nkvx_zkck_cc: 1 error(s).\n");
  EXPECT_EQ(r.status, 2);
}

TEST(CheckerCommandLine, EmptyListsRunCleanly) {
  Scratch s;
  s.write("c.lst", "");
  s.write("r.lst", "\n   \n");
  Result r = check(s, {"c.lst", "r.lst"});
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.status, 0);
}

TEST(CheckerCommandLine, UnwritableReportFileFallsBackToStandardOutput) {
  Scratch s;
  s.write("c.lst", "\n");
  s.write("r.lst", "r.rule\n");
  s.write("r.rule", ".CODE\nputs ran\n");
  Result r = check(s, {"c.lst", "r.lst", "no/such/dir/report.txt"});
  EXPECT_EQ(r.err, "no/such/dir/report.txt: No such file or directory\n");
  EXPECT_EQ(r.out, "ran\n");
  EXPECT_EQ(r.status, 0);
}

TEST(CheckerCommandLine, ReportFileNamingAListFileLeavesItIntact) {
  Scratch s;
  s.write("c.lst", "\n");
  s.write("r.lst", "r.rule\n");
  s.write("r.rule", ".CODE\nputs ran\n");
  Result r = check(s, {"c.lst", "r.lst", "./r.lst"});
  EXPECT_EQ(r.err, "./r.lst: the report file is one of the list files\n");
  EXPECT_EQ(r.out, "ran\n");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(kvxtest::read_file(s / "r.lst"), "r.rule\n");
}

TEST(CheckerCommandLine, ReportFileIsTruncated) {
  Scratch s;
  s.write("c.lst", "");
  s.write("r.lst", "");
  s.write("report.txt", "old contents\n");
  Result r = check(s, {"c.lst", "r.lst", "report.txt"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(kvxtest::read_file(s / "report.txt"), "");
}

/* A copy of the engine in an installation-shaped tree of its own. */
struct Installed {
  Scratch s;
  std::string bin;
  Installed() {
    fs::create_directories(s / "inst/bin");
    bin = (s / "inst/bin/kvx_zkck_cc").string();
    fs::copy_file(engine, bin);
    fs::create_directories(s / "work");
  }
  Result check(std::vector<std::string> args) {
    args.insert(args.begin(), bin);
    return kvxtest::run(bin, args, s / "work");
  }
};

TEST(CheckerInstallation, ProceduresAndRulesAreFoundBesideTheProgram) {
  Installed in;
  in.s.write("inst/util/procedures.tcl", "proc shared {} { return \"from util\" }\n");
  in.s.write("inst/bin/lib/r.rule", ".KEY LIB\n.CODE\nputs \"$thisRule [shared]\"\n");
  in.s.write("work/c.lst", "");
  in.s.write("work/r.lst", "lib/r.rule\n");
  Result r = in.check({"c.lst", "r.lst"});
  EXPECT_EQ(r.out, "LIB from util\n");
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.status, 0);
}

TEST(CheckerInstallation, ProceduresInTheCurrentDirectoryComeFirst) {
  Installed in;
  in.s.write("inst/util/procedures.tcl", "set where util\n");
  in.s.write("work/procedures.tcl", "set where cwd\n");
  in.s.write("work/r.rule", ".CODE\nputs $where\n");
  in.s.write("work/c.lst", "");
  in.s.write("work/r.lst", "r.rule\n");
  Result r = in.check({"c.lst", "r.lst"});
  EXPECT_EQ(r.out, "cwd\n");
  EXPECT_EQ(r.status, 0);
}

TEST(CheckerInstallation, NoProceduresFileIsNotAnError) {
  Installed in;
  in.s.write("work/r.rule", ".CODE\nputs [info exists where]\n");
  in.s.write("work/c.lst", "");
  in.s.write("work/r.lst", "r.rule\n");
  Result r = in.check({"c.lst", "r.lst"});
  EXPECT_EQ(r.out, "0\n");
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.status, 0);
}

TEST(CheckerInstallation, FailingProceduresFileStopsTheRun) {
  Installed in;
  in.s.write("work/procedures.tcl", "set ok 1\nerror \"broken procedures\"\n");
  in.s.write("work/r.rule", ".CODE\nputs never\n");
  in.s.write("work/c.lst", "missing.c\n");
  in.s.write("work/r.lst", "r.rule\n");
  Result r = in.check({"c.lst", "r.lst"});
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err,
            "Error(s): during tcl evaluation\n"
            "\"procedures.tcl\", line 2: broken procedures\n"
            "    while executing\n"
            "\"error \"broken procedures\"\"\n"
            "    (file \"procedures.tcl\" line 2)\n"
            "kvx_zkck_cc: 1 error(s).\n");
  EXPECT_EQ(r.status, 1);
}

TEST(CheckerInstallation, UsageFileOfTheInstallation) {
  Installed in;
  in.s.write("inst/util/kvx_zkck_cc.us", "how to use it\n");
  in.s.write("work/c.lst", "-help\n");
  in.s.write("work/r.lst", "");
  Result r = in.check({"c.lst", "r.lst"});
  EXPECT_EQ(r.err, "kvx_zkck_cc:\nhow to use it\n");
  EXPECT_EQ(r.status, 1);
  fs::remove(in.s / "inst/util/kvx_zkck_cc.us");
  r = in.check({"c.lst", "r.lst"});
  EXPECT_EQ(r.err, "kvx_zkck_cc:\nSorry, no usage file available.\n");
  EXPECT_EQ(r.status, 1);
}

TEST(CheckerInstallation, DiagnosticsCarryTheExecutablesName) {
  Installed in;
  fs::rename(in.bin, in.s / "inst/bin/checker.bin");
  in.bin = (in.s / "inst/bin/checker.bin").string();
  in.s.write("work/c.lst", "gone.c\n");
  in.s.write("work/r.lst", "");
  Result r = kvxtest::run(in.bin, {"/any/name/started.as"}, in.s / "work");
  EXPECT_EQ(r.err, "usage: started file_of_C file_of_rules\n");
  r = kvxtest::run(in.bin, {"started.as", "c.lst", "r.lst"}, in.s / "work");
  EXPECT_EQ(r.err, "gone.c: Error:  No such file or directory\nchecker: 1 error(s).\n");
  EXPECT_EQ(r.status, 1);
}

}  // namespace
