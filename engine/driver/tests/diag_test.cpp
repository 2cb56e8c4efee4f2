/* Tests of the reporting facility: line forms, counting, summary, exit. */
#include "driver/diag.h"

#include "capture.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

using kvx::Diagnostics;

namespace {

struct DiagTest : ::testing::Test {
  Capture cap;
  Diagnostics d{cap.f};
  DiagTest() {
    d.set_program_name("kvx_zkck_cc");
    d.set_exit_handler([](int st) { throw kvx::ProcessExit{st}; });
  }
};

TEST_F(DiagTest, LineFormsByLevelAndColon) {
  d.report(0, "a: nothing");
  d.report(1, "f.c: watch out");
  d.report(2, "f.c: broken");
  d.report(2, "no colon here");
  d.report(2, "a: b: lost part");
  d.report(2, "C:\\dir\\x.c: message");
  d.report(2, "/home/x.c: path");
  EXPECT_EQ(cap.text(),
            "f.c: Warning:  watch out\n"
            "f.c: Error:  broken\n"
            "Error(s): no colon here\n"
            "a: Error:  b\n"
            "C:\\dir\\x.c: Error:  message\n"
            "/home/x.c: Error:  path\n");
  EXPECT_EQ(d.warning_count(), 1);
  EXPECT_EQ(d.error_count(), 5);
}

TEST_F(DiagTest, LocatedForm) {
  d.report_located(2, "f.c", 12, "some text");
  d.report_located(0, "f.c", 12, "ignored");
  d.report_located(2, "f.c", 13, "syntax error before `:'");
  d.report_located(1, "odd:name.c", 4, "a: b");
  EXPECT_EQ(cap.text(),
            "f.c(12) : Error:  some text\n"
            "f.c(13) : Error:  syntax error before `:'\n"
            "odd:name.c(4) : Warning:  a: b\n");
}

TEST_F(DiagTest, FatalPrintsTwiceBuiltLineThenSummaryAndExits2) {
  try {
    d.report_fatal("Insufficient memory allocation.");
    FAIL();
  } catch (kvx::ProcessExit &e) {
    EXPECT_EQ(e.status, 2);
  }
  EXPECT_EQ(cap.text(),
            "kvx_zkck_cc: Error: Insufficient memory allocation.\n\n"
            "kvx_zkck_cc: 1 error(s).\n");
}

TEST_F(DiagTest, FatalWithSystemErrorShowsTwoBlanks) {
  try {
    errno = ENOENT;
    d.report_system_error(3, "list.txt", ENOENT);
  } catch (kvx::ProcessExit &e) {
    EXPECT_EQ(e.status, 2);
  }
  EXPECT_EQ(cap.text(),
            "kvx_zkck_cc: Error: list.txt: Error:  No such file or directory\n\n"
            "kvx_zkck_cc: 1 error(s).\n");
}

TEST_F(DiagTest, SummaryForms) {
  EXPECT_EQ(d.summary(), 0);
  EXPECT_EQ(cap.text(), "");
  d.report(1, "a: w");
  d.report(1, "a: w");
  d.report(2, "a: e");
  EXPECT_EQ(d.summary(), 1);
  EXPECT_NE(cap.text().find("kvx_zkck_cc: 2 warning(s), 1 error(s).\n"), std::string::npos);
}

TEST_F(DiagTest, WarningsOffStillCountedAndErrorLineLosesPrefix) {
  d.set_warnings_shown(false);
  d.report(1, "a: hidden");
  d.report(2, "a: e");
  EXPECT_EQ(d.summary(), 1);
  EXPECT_EQ(cap.text(), "a: Error:  e\n1 error(s).\n");
  EXPECT_EQ(d.warning_count(), 1);
}

TEST_F(DiagTest, OnlyWarnings) {
  d.report(1, "a: w");
  EXPECT_EQ(d.summary(), 0);
  EXPECT_EQ(cap.text(), "a: Warning:  w\nkvx_zkck_cc: 1 warning(s).\n");
}

TEST_F(DiagTest, OpenFileExpandsAndReports) {
  setenv("KVX_DIAG_T", "/tmp", 1);
  FILE *f = d.open_file("$(KVX_DIAG_T)/..$KVX_DIAG_T", "r", 2);
  EXPECT_EQ(f, nullptr);
  unsetenv("KVX_NOPE_VAR");
  EXPECT_EQ(d.open_file("$KVX_NOPE_VAR/x", "r", 2), nullptr);
  EXPECT_EQ(d.open_file("", "r", 2), nullptr);
  EXPECT_EQ(d.open_file("/no/such/file", "r", 0), nullptr);
  EXPECT_EQ(cap.text(),
            "/tmp/../tmp: Error:  is a directory.\n"
            "KVX_NOPE_VAR: Error:  Undefined variable.\n"
            "Error(s): empty file name.\n");
}

TEST_F(DiagTest, CleanupsRunBeforeExit) {
  int ran = 0;
  d.add_cleanup([&] { ran++; });
  int h = d.add_cleanup([&] { ran += 10; });
  d.remove_cleanup(h);
  EXPECT_THROW(d.exit_process(1), kvx::ProcessExit);
  EXPECT_EQ(ran, 1);
}

TEST(SystemErrorText, UnknownNumber) {
  EXPECT_EQ(kvx::system_error_text(ENOENT), "No such file or directory");
  EXPECT_EQ(kvx::system_error_text(99999), "Unknown system error");
}

}  // namespace

namespace {

TEST_F(DiagTest, DriveLetterSubjectInEveryForm) {
  d.report(1, "C:\\src\\a.c: shadowed");
  d.report_located(2, "D:/work/b.c", 7, "bad");
  EXPECT_THROW(d.report(3, "E:\\x\\c.c: gone"), kvx::ProcessExit);
  EXPECT_EQ(cap.text(),
            "C:\\src\\a.c: Warning:  shadowed\n"
            "D:/work/b.c(7) : Error:  bad\n"
            "kvx_zkck_cc: Error: E:\\x\\c.c: Error:  gone\n\n"
            "kvx_zkck_cc: 1 warning(s), 2 error(s).\n");
}

TEST_F(DiagTest, WarningsOffOnlyWarningsGivesNoSummary) {
  d.set_warnings_shown(false);
  d.report(1, "a: w");
  EXPECT_EQ(d.summary(), 0);
  EXPECT_EQ(cap.text(), "");
}

TEST_F(DiagTest, WarningWithoutColonKeepsWholeTextAsSubject) {
  d.report(1, "plain words");
  EXPECT_EQ(cap.text(), "plain words: Warning: \n");
}

TEST_F(DiagTest, WriteIsNotCounted) {
  d.write("raw text\n");
  EXPECT_EQ(cap.text(), "raw text\n");
  EXPECT_EQ(d.summary(), 0);
}

TEST(ExpandEnvName, LoneDollarStaysAndNamesEndAtSeparators) {
  setenv("KVX_EXP_A", "va", 1);
  std::string out, bad;
  EXPECT_TRUE(kvx::expand_env_name("x$/y$", out, &bad));
  EXPECT_EQ(out, "x$/y$");
  EXPECT_TRUE(kvx::expand_env_name("$KVX_EXP_A\\$(KVX_EXP_A)z$KVX_EXP_A$KVX_EXP_A", out, &bad));
  EXPECT_EQ(out, "va\\vazvava");
  unsetenv("KVX_EXP_NONE");
  EXPECT_FALSE(kvx::expand_env_name("a/$(KVX_EXP_NONE)/b", out, &bad));
  EXPECT_EQ(bad, "KVX_EXP_NONE");
}

}  // namespace
