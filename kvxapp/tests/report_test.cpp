/*
 * report_test.cpp - the reporting routine: the printed forms of each level,
 * the warning switch, the summary and the fatal exit.
 */
#include "test_util.h"

using namespace kvxtest;

namespace {

class Report : public KvxTest {};

TEST_F(Report, FormsOfEachLevel) {
  report_message(REPORT_NONE, "x: nothing");
  report_message(REPORT_WARNING, "file.c: odd %d", 3);
  report_message(REPORT_ERROR, "file.c: bad: detail");
  report_message(REPORT_ERROR, "no subject here");
  report_message(REPORT_ERROR, "C:\\dir\\f.c: drive");
  report_located(REPORT_ERROR, "f.app", 12, "%s", "'end' expected");
  report_system_error(REPORT_ERROR, "/x", ENOENT);
  report_system_error(REPORT_ERROR, "/y", 99999);
  std::vector<std::string> want = {
      "file.c: Warning:  odd 3\n",
      "file.c: Error:  bad: detail\n",
      "Error(s): no subject here\n",
      "C:\\dir\\f.c: Error:  drive\n",
      "f.app(12) : Error:  'end' expected\n",
      "/x: Error:  No such file or directory\n",
      "/y: Error:  Unknown system error\n",
  };
  EXPECT_EQ(msgs.lines, want);
  EXPECT_EQ(report_get_error_count(), 6);
  EXPECT_EQ(report_get_warning_count(), 1);
}

TEST_F(Report, SummaryLines) {
  EXPECT_EQ(report_summary(), 0);
  EXPECT_TRUE(msgs.lines.empty());
  report_message(REPORT_WARNING, "a: w");
  report_message(REPORT_WARNING, "a: w");
  report_message(REPORT_ERROR, "a: e");
  msgs.lines.clear();
  EXPECT_EQ(report_summary(), 1);
  std::string prog = arg_get_program_name();
  EXPECT_EQ(msgs.all(), prog + ": 2 warning(s), 1 error(s).\n");
}

TEST_F(Report, HiddenWarningsAreCountedButNotShown) {
  report_set_warnings(0);
  report_message(REPORT_WARNING, "a: w");
  EXPECT_TRUE(msgs.lines.empty());
  EXPECT_EQ(report_get_warning_count(), 1);
  report_message(REPORT_ERROR, "a: e");
  msgs.lines.clear();
  report_summary();
  EXPECT_EQ(msgs.all(), "1 error(s).\n");
}

TEST_F(Report, StreamReceivesLinesWithoutHook) {
  report_set_hook(nullptr, nullptr);
  char *buf = nullptr;
  size_t size = 0;
  FILE *f = open_memstream(&buf, &size);
  report_set_stream(f);
  report_message(REPORT_ERROR, "s: t");
  report_set_stream(nullptr);
  fclose(f);
  EXPECT_STREQ(buf, "s: Error:  t\n");
  free(buf);
}

TEST(ReportDeath, FatalPrintsSummaryAndExitsWithTwo) {
  EXPECT_EXIT(
      {
        report_set_hook(nullptr, nullptr);
        report_set_stream(stderr);
        report_reset_counts();
        report_message(REPORT_FATAL, "Insufficient memory allocation.");
      },
      ::testing::ExitedWithCode(2), "Error: Insufficient memory allocation.\n\n.*1 error\\(s\\)");
}

}  // namespace
