/* The capture command: the user's make with the compile and make variables
 * redirected to the capture program, quoted so that the runner and make's
 * shell both give back every path whole. */
#include <gtest/gtest.h>

#include <sys/wait.h>

#include "capture_command.h"
#include "test_support.h"
#include "wendrel_cmdline.h"

using Words = std::vector<std::string>;

namespace {

CMakeCommand GnuMake() {
  CMakeCommand make;
  make.SetMakeCommandPath("make");
  make.SetMakefileNameOption("-f");
  make.SetBuildAllOption("-B");
  return make;
}

/* What the shell gives for text, one word a line. */
std::string ShellWords(const std::string &text) {
  ScratchDir d("cmd");
  std::string out = d.Path("out");
  std::string script = "for w in " + text + "; do echo \"$w\"; done > " + out;
  pid_t pid = fork();
  if (pid == 0) {
    execl("/bin/sh", "sh", "-c", script.c_str(), (char *)nullptr);
    _exit(127);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  return ReadFile(out);
}

}  // namespace

TEST(CaptureCommand, PlainPathsGiveTheDocumentedForm) {
  std::vector<MakVar> vars = {{"CC", "gcc", MakVar::eCompile},
                              {"CFLAGS", "-O2", 2},
                              {"MAKE", "make", MakVar::eMake}};
  std::string cmd = MakeCaptureCommand(GnuMake(), CPathName("/p/src/Makefile"), "all", vars,
                                       CPathName("/opt/kvx/bin/teskel"), CPathName("/p/app.app"));
  EXPECT_EQ(cmd,
            "make -f /p/src/Makefile  all -B"
            " CC=\"/opt/kvx/bin/teskel /app=/p/app.app /cc=gcc\""
            " MAKE=\"/opt/kvx/bin/teskel /app=/p/app.app /mk=make\"");
  EXPECT_EQ(SplitCmdLine(cmd),
            (Words{"make", "-f", "/p/src/Makefile", "all", "-B",
                   "CC=/opt/kvx/bin/teskel /app=/p/app.app /cc=gcc",
                   "MAKE=/opt/kvx/bin/teskel /app=/p/app.app /mk=make"}));
}

TEST(CaptureCommand, NothingWithoutMakeOrCaptureProgram) {
  CMakeCommand none;
  EXPECT_EQ(MakeCaptureCommand(none, CPathName("/p/Makefile"), "", {}, CPathName("/t"), CPathName("/a.app")), "");
  EXPECT_EQ(MakeCaptureCommand(GnuMake(), CPathName("/p/Makefile"), "", {}, CPathName(), CPathName("/a.app")), "");
}

TEST(CaptureCommand, PathsWithBlanksQuotesAndDollarsSurvive) {
  CPathName program("/opt/my tools/te$kel"), app("/home/u/it's my.app");
  std::string word = MakeRedirection({"CC", "\"/opt/my cc/gcc\"", MakVar::eCompile}, program, app);
  Words split = SplitCmdLine("make " + word);
  ASSERT_EQ(split.size(), 2u);
  /* make turns $$ back into $ ... */
  std::string assignment = split[1];
  std::string value;
  for (size_t i = 0; i < assignment.size(); ++i) {
    value += assignment[i];
    if (assignment[i] == '$' && i + 1 < assignment.size() && assignment[i + 1] == '$') ++i;
  }
  ASSERT_EQ(value.rfind("CC=", 0), 0u);
  /* ... and its shell gives the capture program its words. */
  EXPECT_EQ(ShellWords(value.substr(3)),
            "/opt/my tools/te$kel\n/app=/home/u/it's my.app\n/cc=/opt/my cc/gcc\n");
}

TEST(CaptureCommand, OptionTextAndCaptureProgram) {
  EXPECT_EQ(OptionWords("  -k   -B "), "-k -B");
  EXPECT_EQ(OptionWords("\"two words\" x"), "\"two words\" x");
  EXPECT_EQ(OptionWords(""), "");
  ScratchDir d("cmd");
  WriteFile(d.Path("bin/teskel"), "");
  EXPECT_EQ(GetCaptureProgramPath(CPathName(d.Path("bin"))).Str(), d.Path("bin/teskel"));
  EXPECT_EQ(GetCaptureProgramPath(CPathName(d.Path("bin/teskel"))).Str(), d.Path("bin/teskel"));
  EXPECT_TRUE(GetCaptureProgramPath(CPathName()).IsEmpty());
}
