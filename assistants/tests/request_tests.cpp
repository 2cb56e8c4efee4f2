/* Reading the capture program's command line: its own switches, the macros,
 * include directories and sources of a compile, response files, and what is
 * handed on to the user's command. */
#include <gtest/gtest.h>

#include "capture_request.h"
#include "test_support.h"

using Words = std::vector<std::string>;

namespace {

SCaptureRequest Read(const Words &args, const std::string &dir = "/work/proj/") {
  return ReadCaptureRequest(args, CPathName(dir));
}

Words Strings(const std::vector<CPathName> &paths) {
  Words out;
  for (const auto &p : paths) out.push_back(p.Str());
  return out;
}

}  // namespace

TEST(CaptureRequest, SwitchesAnyCaseEitherPrefix) {
  SCaptureRequest r = Read({"/APP=x.app", "-Cc=gcc", "-c", "a.c"});
  EXPECT_EQ(r.appPath.Str(), "/work/proj/x.app");
  EXPECT_EQ(r.command, "gcc");
  EXPECT_TRUE(r.isCompiler);
  EXPECT_TRUE(r.IsValid());
  EXPECT_EQ(r.passThrough, (Words{"-c", "a.c"}));

  r = Read({"/app=/abs/x.app", "/mk=make", "-C", "sub"});
  EXPECT_FALSE(r.isCompiler);
  EXPECT_EQ(r.command, "make");
  EXPECT_EQ(r.appPath.Str(), "/abs/x.app");
  EXPECT_EQ(r.passThrough, (Words{"-C", "sub"}));
}

TEST(CaptureRequest, InvalidWithoutApplicationOrCommand) {
  EXPECT_FALSE(Read({"/cc=gcc", "-c", "a.c"}).IsValid());
  EXPECT_FALSE(Read({"/app=x.app", "-c", "a.c"}).IsValid());
  EXPECT_FALSE(Read({"/app=", "/cc=gcc"}).IsValid());
  /* "/application=" and "/cc/x.c" are not the switches. */
  SCaptureRequest r = Read({"/application=x.app", "/cc=gcc", "/cc/x.c"});
  EXPECT_FALSE(r.IsValid());
  EXPECT_EQ(r.passThrough, (Words{"/application=x.app", "/cc/x.c"}));
}

TEST(CaptureRequest, DefinesAsCompilersReadThem) {
  SCaptureRequest r = Read({"/app=x.app", "/cc=gcc", "-DA", "-DB=2", "-D", "C=3", "-DGREETING=hello world",
                            "-DA=again", "-UB", "-U", "NONE", "-DEBUG", "-c", "a.c"});
  EXPECT_EQ(r.defines, (Words{"C=3", "GREETING=hello world", "A=again", "EBUG"}));
  /* Everything but the capture switches reaches the compiler, unchanged. */
  EXPECT_EQ(r.passThrough, (Words{"-DA", "-DB=2", "-D", "C=3", "-DGREETING=hello world", "-DA=again",
                                  "-UB", "-U", "NONE", "-DEBUG", "-c", "a.c"}));
}

TEST(CaptureRequest, IncludeDirectoriesFullAndOnce) {
  SCaptureRequest r = Read({"/app=x.app", "/cc=gcc", "-Iinc", "-I", "../lib/include", "-I/usr/include",
                            "-Iinc/", "-isystem", "sys", "-iquote", "q", "-I-", "a.c"});
  EXPECT_EQ(r.includes, (Words{"/work/proj/inc", "/work/lib/include", "/usr/include"}));
}

TEST(CaptureRequest, SourcesEndInDotCEitherCase) {
  SCaptureRequest r = Read({"/app=x.app", "/cc=gcc", "-c", "a.c", "B.C", "c.cpp", "d.cc", "sub/../e.c",
                            "a.c", ".c", "-o", "out.c", "-MF", "dep.c", "/abs/f.c", "-DFILE=g.c"});
  EXPECT_EQ(Strings(r.sources), (Words{"/work/proj/a.c", "/work/proj/B.C", "/work/proj/e.c", "/abs/f.c"}));
  EXPECT_TRUE(IsCaptureSourceName("x_1.c"));
  EXPECT_FALSE(IsCaptureSourceName("x.c "));
  EXPECT_FALSE(IsCaptureSourceName("dir/.c"));
}

TEST(CaptureRequest, SlashSwitchesUnlessThePathExists) {
  ScratchDir d("req");
  WriteFile(d.Path("Dmacro"), "");
  SCaptureRequest r = Read({"/app=x.app", "/cc=cl", "/DWIN32", "/Iinc", "/c", d.Path("Dmacro"), "/DLL/a.c"});
  EXPECT_EQ(r.defines, (Words{"WIN32"}));
  EXPECT_EQ(r.includes, (Words{"/work/proj/inc"}));
  EXPECT_EQ(Strings(r.sources), (Words{"/DLL/a.c"}));
}

TEST(CaptureRequest, ResponseFilesAreReadAndHandedOn) {
  ScratchDir d("req");
  WriteFile(d.Path("args.rsp"), "-DFROM_FILE=1 \"-DSPACED=a b\" '-DQUOTED=\"x\"'\n-Irsp/inc\n@more.rsp\nsrc/one.c\n");
  WriteFile(d.Path("more.rsp"), "-DNESTED two.C\n");
  WriteFile(d.Path("loop.rsp"), "@loop.rsp\n");
  SCaptureRequest r = Read({"/app=x.app", "/cc=gcc", "@args.rsp", "@missing.rsp", "@loop.rsp"}, d.Path() + "/");
  EXPECT_EQ(r.defines, (Words{"FROM_FILE=1", "SPACED=a b", "QUOTED=\"x\"", "NESTED"}));
  EXPECT_EQ(r.includes, (Words{d.Path("rsp/inc")}));
  EXPECT_EQ(Strings(r.sources), (Words{d.Path("two.C"), d.Path("src/one.c")}));
  /* The compiler reads its response files itself. */
  EXPECT_EQ(r.passThrough, (Words{"@args.rsp", "@missing.rsp", "@loop.rsp"}));
}
