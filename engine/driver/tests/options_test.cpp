/* Tests of the compile-line option reader. */
#include "driver/engine.h"
#include "driver/options.h"

#include "capture.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using Words = std::vector<std::string>;

namespace {

struct OptionsTest : ::testing::Test {
  Capture err, out;
  kvx::Engine e{err.f, out.f};
  fs::path dir;

  OptionsTest() {
    e.module_name = "kvx_zkck_cc";
    e.diag.set_exit_handler([](int st) { throw kvx::ProcessExit{st}; });
    char tmpl[] = "/tmp/kvx_opt_XXXXXX";
    dir = mkdtemp(tmpl);
    fs::create_directories(dir / "bin");
    fs::create_directories(dir / "util");
    e.program_dir = (dir / "bin").string();
  }
  ~OptionsTest() override { fs::remove_all(dir); }

  void write(const fs::path &p, const std::string &text) { std::ofstream(p) << text; }

  void read(Words words) {
    words.insert(words.begin(), {"kvx_zkck_cc", "-c"});
    kvx::read_compile_line(e, words);
  }
  /* Reads a line that must end the process; returns the exit status. */
  int read_exit(Words words) {
    try {
      read(std::move(words));
    } catch (kvx::ProcessExit &x) {
      return x.status;
    }
    return -1;
  }
  kvx::CompileSettings &s() { return e.settings; }
};

TEST_F(OptionsTest, ImpliedDefinitionsAndDefinitionSpellings) {
  read({"-Za", "/J", "-MDd", "/G1", "-GD", "-Gw", "-DA=1", "/DA=1", "-D", "B", "-UC", "/Iinc", "-I", "/abs/inc"});
  EXPECT_EQ(s().pp_args, (Words{"-D__STDC__=1", "-D_CHAR_UNSIGNED", "-D_DLL", "-D_MT", "-DM_I286",
                                "-D_M_I286", "-D_WINDLL", "-D_WINDOWS", "-D_WINDOWS", "-DA=1", "/DA=1",
                                "-D", "B", "-UC", "/Iinc", "-I", "/abs/inc"}));
  EXPECT_TRUE(s().cc_args.empty() || s().cc_args == Words{"-c"});
}

/* GCC's options that take an argument keep it, attached or in the next
 * word; those that change the preprocessing reach it with the argument
 * attached (so that an absolute name is not read as an option). */
TEST_F(OptionsTest, GccOptionsKeepTheirArgumentsInBothForms) {
  read({"-dial", "gnu", "-isystem", "/sys/inc", "-idirafter/after", "-iquote", "q", "-include", "/abs/conf.c",
        "-imacros", "m.h", "-Xpreprocessor", "-DX=1", "-MT", "dep.c", "-MF", "/deps/a.d", "-MQ", "q.c", "-MD",
        "-x", "c", "-xc", "-Xlinker", "link.c", "-ofile.o", "-std=gnu99", "a.c"});
  EXPECT_EQ(s().sources, Words{"a.c"});
  EXPECT_EQ(s().pp_args, (Words{"-isystem/sys/inc", "-idirafter/after", "-iquoteq", "-include/abs/conf.c",
                                "-imacrosm.h", "-DX=1", "-std=gnu99"}));
  EXPECT_EQ(s().output, "file.o");
  EXPECT_EQ(s().cc_args, (Words{"-c", "-isystem", "/sys/inc", "-idirafter/after", "-iquote", "q", "-include",
                                "/abs/conf.c", "-imacros", "m.h", "-Xpreprocessor", "-DX=1", "-MT", "dep.c",
                                "-MF", "/deps/a.d", "-MQ", "q.c", "-MD", "-x", "c", "-xc", "-Xlinker", "link.c",
                                "-ofile.o", "-std=gnu99"}));
}

/* On the lines of Microsoft's compilers -MT and -MD stay theirs. */
TEST_F(OptionsTest, GccOnlyOptionsStayOthersOnOtherLines) {
  read({"-dial", "msc0900", "-MT", "a.c", "-MD"});
  EXPECT_EQ(s().sources, Words{"a.c"});
  EXPECT_EQ(s().pp_args, (Words{"-MT", "-D_DLL", "-D_MT"}));
  /* a line without -dial keeps the dialect in force */
  read({"-MD", "b.c"});
  EXPECT_EQ(s().pp_args, (Words{"-D_DLL", "-D_MT"}));
  read({"-dial", "gnu", "c.c"});
  read({"-MD", "-MT", "t", "d.c"});
  EXPECT_TRUE(s().pp_args.empty());
}

TEST_F(OptionsTest, LetterAloneDoesNotSwallowAnOption) {
  read({"-D", "-Za", "-I"});
  EXPECT_EQ(s().pp_args, (Words{"-D", "-D__STDC__=1", "-I"}));
}

TEST_F(OptionsTest, SlashWordsAreOptionsUnlessTheyNameFiles) {
  write(dir / "noext", "x");
  read({"/W3", (dir / "src.c").string(), (dir / "noext").string(), "/nowhere/lib.OBJ", dir.string(),
        "/Zi"});
  EXPECT_EQ(s().sources, Words{(dir / "src.c").string()});
  EXPECT_EQ(s().objects, Words{"/nowhere/lib.OBJ"});
  /* Unknown options go to both lists; existing names are file words. */
  EXPECT_EQ(s().pp_args, (Words{"/W3", "/Zi"}));
  EXPECT_EQ(s().cc_args, (Words{"-c", "/W3", (dir / "noext").string(), dir.string(), "/Zi"}));
}

TEST_F(OptionsTest, ArgumentsMayBeginWithSlash) {
  read({"-ddef", "/p/x.def", "/mac", "/p/x.mac", "-dial", "gnu", "-tcl", "/p/i.tcl", "-o", "/out/dir",
        "-ign", (dir / "none.ign").string()});
  EXPECT_EQ(s().ddef_file, "/p/x.def");
  EXPECT_EQ(s().mac_file, "/p/x.mac");
  EXPECT_EQ(s().dialect, "gnu");
  EXPECT_EQ(s().tcl_file, "/p/i.tcl");
  EXPECT_EQ(s().output, "/out/dir");
  /* The ignore file was read at once: a missing one is a warning. */
  EXPECT_EQ(err.text(), (dir / "none.ign").string() + ": Warning:  No such file or directory\n");
}

TEST_F(OptionsTest, NonOptionWordsByTheirEnding) {
  write(dir / "lib.sta", "");
  write(dir / "lib.mtr", "");
  std::string obj = (dir / "lib.Obj").string();
  read({"ab", "a.c", "B.C", "x.o", "abcd", obj, "r.sta", "m1.mtr", "notes.txt", "x.obj"});
  EXPECT_EQ(s().sources, (Words{"a.c", "B.C"}));
  EXPECT_EQ(s().objects, (Words{"x.o", obj, "x.obj"}));
  EXPECT_EQ(s().statics, (Words{(dir / "lib.sta").string(), "r.sta"}));
  EXPECT_EQ(s().metrics, (Words{(dir / "lib.mtr").string(), "m1.mtr"}));
  EXPECT_EQ(s().cc_args, (Words{"-c", "ab", "abcd", "notes.txt"}));
}

TEST_F(OptionsTest, CompilerArgumentsOutputsAndPrecompiledHeaders) {
  read({"-Fofoo.obj", "-Fdx.pdb", "-Yustdafx.h", "-cc=gcc -m32"});
  EXPECT_EQ(s().output, "foo.obj");
  EXPECT_TRUE(s().fo);
  EXPECT_EQ(s().pch_file, "stdafx.h");
  EXPECT_EQ(s().cc_args, (Words{"-c", "-Fofoo.obj", "-Fdx.pdb"}));
  EXPECT_TRUE(s().has_cc);
  EXPECT_EQ(s().cc_command, "gcc -m32");
  /* The preprocessor still sees the precompiled-header option. */
  EXPECT_EQ(s().pp_args, Words{"-Yustdafx.h"});
  s().end_line();
  read({"/Yc", "-cc"});
  EXPECT_EQ(s().pch_file, "stdwin.h");
  EXPECT_EQ(s().cc_command, "cc");
}

TEST_F(OptionsTest, OutputGivenTwiceIsAnError) {
  read({"-o", "d1", "-Fod2"});
  EXPECT_EQ(err.text(), "Error(s):  Option -o is allowed only once\n");
  EXPECT_EQ(e.diag.error_count(), 1);
  EXPECT_EQ(s().output, "d1");
}

TEST_F(OptionsTest, MissingArgumentPrintsMessageAndUsageAndExits1) {
  write(dir / "util" / "kvx_zkck_cc.us", "  the usage text\n");
  EXPECT_EQ(read_exit({"a.c", "-dial"}), 1);
  EXPECT_EQ(err.text(),
            "Error(s):  Option -dial has to be followed by a dialect name\n"
            "kvx_zkck_cc:\n  the usage text\n");
}

TEST_F(OptionsTest, EveryArgumentOptionRefusesAnOptionAsArgument) {
  const char *msgs[][2] = {
      {"-ddef", " Option -ddef has to be followed by a file name"},
      {"-ign", " Option -ign has to be followed by a file name"},
      {"-mac", " Option -mac has to be followed by a file name"},
      {"-o", " Option -o has to be followed by a directory name or a file name"},
      {"-tcl", " Option -tcl has to be followed by a file name"},
  };
  for (auto &m : msgs) {
    Capture c;
    e.diag.set_stream(c.f);
    EXPECT_EQ(read_exit({m[0], "-next"}), 1);
    EXPECT_EQ(c.text(), std::string("Error(s): ") + m[1] + "\nkvx_zkck_cc:\nSorry, no usage file available.\n");
  }
}

TEST_F(OptionsTest, HelpUsesTheUsageFileBesideTheProgramFirst) {
  write(dir / "bin" / "kvx_zkck_cc.us", "beside\n");
  write(dir / "util" / "kvx_zkck_cc.us", "util\n");
  EXPECT_EQ(read_exit({"-help"}), 1);
  EXPECT_EQ(err.text(), "kvx_zkck_cc:\nbeside\n");
}

TEST_F(OptionsTest, SwitchesPersistAcrossLinesButSomeAreReset) {
  read({"-E", "-cppcomment", "-nocccp", "-mode=noexp", "-longname", "-nomtr", "-nodate", "-nocond",
        "-inst", "-cb", "-Xs", "-Xa", "-DX"});
  EXPECT_TRUE(s().keep_pp && s().cpp_comment && s().nocccp && !s().expand && !s().short_names);
  EXPECT_TRUE(!s().metrics_on && s().nodate && s().nocond && s().inst && s().cb);
  EXPECT_EQ(s().x_mode, 'a');
  EXPECT_EQ(s().x_count, 2);
  EXPECT_EQ(s().dialect, "msc0900");
  s().end_line();
  read({"-dial", "ansi"});
  s().end_line();
  read({"-mode=exp", "x.c"});
  EXPECT_TRUE(s().keep_pp && s().cpp_comment && s().nocccp && s().expand && !s().short_names);
  EXPECT_FALSE(s().nocond);
  EXPECT_FALSE(s().inst);
  EXPECT_EQ(s().x_mode, 'a');
  EXPECT_EQ(s().dialect, "ansi");
  EXPECT_TRUE(s().pp_args.empty());
}

TEST_F(OptionsTest, IgnoreTableIsBuiltAfreshForEveryLine) {
  write(dir / "x.ign", "__far -->\n");
  read({"-ign", (dir / "x.ign").string()});
  EXPECT_NE(e.ignore.root("__far"), -1);
  s().end_line();
  read({"a.c"});
  EXPECT_TRUE(e.ignore.empty());
}

TEST_F(OptionsTest, NowarningHidesWarningsFromThenOn) {
  read({"-nowarning"});
  e.diag.report(1, "x: hidden");
  EXPECT_EQ(err.text(), "");
  EXPECT_EQ(e.diag.warning_count(), 1);
}

TEST_F(OptionsTest, ProgramNameComesFromTheModule) {
  e.diag.set_program_name("something_else");
  e.module_name = "kvx_zkck_cc";
  read({});
  EXPECT_EQ(e.diag.program_name(), "kvx_zkck_cc");
}

TEST_F(OptionsTest, InstrumentationScriptIsLookedUpInUtil) {
  write(dir / "util" / "inst.tcl", "");
  read({"-inst", "-tcl", "inst.tcl"});
  EXPECT_EQ(s().tcl_file, (dir / "bin" / ".." / "util" / "inst.tcl").string());
  read({"-inst", "-tcl", "absent.tcl"});
  EXPECT_EQ(err.text(), "absent.tcl: Error:  No such file or directory\n");
}

}  // namespace
