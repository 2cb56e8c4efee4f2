/*
 * api_test.cpp - the external way (kvx_cccp as a child process), the
 * option-file search and the limits that end a run.
 */
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "driver/paths.h"
#include "pp_harness.h"
#include "preprocessor/cccp_args.h"
#include "preprocessor/external.h"
#include "preprocessor/optfiles.h"
#include "preprocessor/scanner.h"

using namespace kvx;
using namespace kvx::pp;
using namespace kvx::pp::test;

namespace {

std::string tokens_of(Scanner &sc) {
  std::string s;
  Token t;
  while (sc.next(t)) {
    s += std::to_string(t.line) + ":";
    if (t.kind == TokenKind::MacroIdentifier) s += "@";
    s.append(t.text);
    s += ' ';
  }
  return s;
}

std::string messages(FILE *f) {
  fflush(f);
  rewind(f);
  std::string s;
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, f)) > 0) s.append(buf, n);
  return s;
}

TEST(External, TemporaryOutputIsReadAndDeletedAtItsEnd) {
  std::string dir = temp_dir();
  write_file(dir + "/a.c", "#define N 3\nint x = N;\n");
  ExternalRequest req;
  req.program = cccp_path();
  req.dialect = "ANSI";
  req.source = dir + "/a.c";
  FILE *err = tmpfile();
  Diagnostics diag(err);
  ExternalResult r = run_kvx_cccp(req, diag);
  ASSERT_TRUE(r.ok);
  EXPECT_TRUE(r.temporary);
  EXPECT_EQ(0, r.status);
  EXPECT_NE(std::string::npos, r.command.find("kvx_cccp -dial ansi -trigraphs \"" + req.source + "\" "));
  Options o;
  Scanner sc(o, diag);
  ASSERT_TRUE(sc.open_preprocessed(r.output, req.source, true));
  EXPECT_EQ(0, access(r.output.c_str(), F_OK));
  EXPECT_EQ("2:int 2:x 2:= 2:3 2:; ", tokens_of(sc));
  EXPECT_NE(0, access(r.output.c_str(), F_OK)) << "temporary file kept";
  EXPECT_EQ("a.c", std::string(sc.file_name(0)).substr(dir.size() + 1));
  EXPECT_EQ(0, diag.error_count());
  fclose(err);
}

TEST(External, OptionEKeepsTheListingBesideTheSource) {
  std::string dir = temp_dir();
  write_file(dir + "/b.prog.c", "#define F(a) a+1\nF(2)\n");
  ExternalRequest req;
  req.program = cccp_path();
  req.source = dir + "/b.prog.c";
  req.keep_lst = true;
  req.opts.expand = false;
  Diagnostics diag(tmpfile());
  ExternalResult r = run_kvx_cccp(req, diag);
  ASSERT_TRUE(r.ok);
  EXPECT_FALSE(r.temporary);
  EXPECT_EQ(dir + "/b.prog.lst", r.output);
  std::string text = read_file(r.output);
  EXPECT_NE(std::string::npos, text.find("F(a)")) << text;
  EXPECT_EQ("x.lst", lst_name("x"));
  EXPECT_EQ("d.v/x.lst", lst_name("d.v/x"));
}

TEST(External, NonZeroStatusIsAnErrorNamingTheCommand) {
  std::string dir = temp_dir();
  write_file(dir + "/e.c", "#if\n#endif\nok\n");
  ExternalRequest req;
  req.program = cccp_path();
  req.source = dir + "/e.c";
  req.opts.args = {"/DX=1", "-I", "/usr/include"};
  std::string errname = dir + "/stderr";
  FILE *child = fopen(errname.c_str(), "w");
  req.stderr_fd = fileno(child);
  FILE *err = tmpfile();
  Diagnostics diag(err);
  ExternalResult r = run_kvx_cccp(req, diag);
  fclose(child);
  EXPECT_EQ(1, r.status);
  EXPECT_EQ(1, diag.error_count());
  EXPECT_NE(std::string::npos, r.command.find("  -DX=1  -I  /usr/include")) << r.command;
  EXPECT_NE(std::string::npos, messages(err).find("Warning(s) or error(s) found at preprocessing time"));
  EXPECT_NE(std::string::npos, read_file(errname).find("without an argument"));
  if (r.temporary) unlink(r.output.c_str());
  std::vector<std::string> args = cccp_arguments(req, "out");
  EXPECT_EQ("-DX=1", args[1]);
  EXPECT_EQ("/usr/include", args[3]);
  fclose(err);
}

TEST(External, MissingProgramIsReported) {
  ExternalRequest req;
  req.program = "/nonexistent/kvx_cccp";
  req.source = "x.c";
  Diagnostics diag(tmpfile());
  ExternalResult r = run_kvx_cccp(req, diag);
  EXPECT_NE(0, r.status);
  EXPECT_GE(diag.error_count(), 1);
  if (r.temporary) unlink(r.output.c_str());
}

TEST(OptionFiles, SearchOrder) {
  std::string dir = temp_dir();
  mkdir((dir + "/home").c_str(), 0700);
  mkdir((dir + "/util").c_str(), 0700);
  write_file(dir + "/given.def", "");
  write_file(dir + "/env.def", "");
  write_file(dir + "/home/ansi.def", "");
  write_file(dir + "/util/ansi.def", "");
  const char *oldhome = getenv("HOME");
  std::string savedhome = oldhome ? oldhome : "";
  setenv("HOME", (dir + "/home").c_str(), 1);
  setenv("KVX_UTIL", (dir + "/util").c_str(), 1);
  setenv("KVX_CC_DEF", (dir + "/env.def").c_str(), 1);
  EXPECT_EQ(dir + "/given.def", find_option_file(dir + "/given.def", "KVX_CC_DEF", "ansi.def"));
  EXPECT_EQ(dir + "/env.def", find_option_file("", "KVX_CC_DEF", "ansi.def"));
  unsetenv("KVX_CC_DEF");
  EXPECT_EQ(dir + "/home/ansi.def", find_option_file(dir + "/missing.def", "KVX_CC_DEF", "ansi.def"));
  unlink((dir + "/home/ansi.def").c_str());
  EXPECT_EQ(dir + "/util/ansi.def", find_option_file("", "KVX_CC_DEF", "ansi.def"));
  unlink((dir + "/util/ansi.def").c_str());
  /* last, the utility directory beside the program, where the shipped
   * option files are */
  EXPECT_EQ(kvx::program_dir() + "/../util/ansi.def", find_option_file("", "KVX_CC_DEF", "ansi.def"));
  EXPECT_EQ("", find_option_file("", "KVX_CC_DEF", "none-such.def"));
  unsetenv("KVX_UTIL");
  setenv("HOME", savedhome.c_str(), 1);
  std::vector<std::string> names;
  write_file(dir + "/n.mac", " A\tB\n\nC ");
  ASSERT_TRUE(read_macro_names(dir + "/n.mac", names));
  EXPECT_EQ((std::vector<std::string>{"A", "B", "C"}), names);
}

/* Runs text in-process; returns tokens, or "fatal" when the run ended. */
std::string run_text(const std::string &text, Options o = Options(), std::string *msgs = nullptr) {
  std::string dir = temp_dir();
  write_file(dir + "/t.c", text);
  FILE *err = tmpfile();
  Diagnostics diag(err);
  diag.set_exit_handler([](int st) { throw ProcessExit{st}; });
  std::string s;
  try {
    Scanner sc(o, diag);
    if (sc.open_source(dir + "/t.c")) s = tokens_of(sc);
  } catch (const ProcessExit &e) {
    s = "fatal " + std::to_string(e.status);
  }
  if (msgs) *msgs = messages(err);
  fclose(err);
  return s;
}

TEST(Limits, ParametersAndArguments) {
  std::string p125, p126, a126;
  for (int i = 0; i < 126; i++) {
    if (i < 125) p125 += (i ? ",p" : "p") + std::to_string(i);
    p126 += (i ? ",p" : "p") + std::to_string(i);
    a126 += i ? ",1" : "1";
  }
  std::string m;
  EXPECT_EQ("", run_text("#define M(" + p125 + ") p124\n", Options(), &m));
  EXPECT_EQ("fatal 2", run_text("#define M(" + p126 + ") x\n", Options(), &m));
  EXPECT_NE(std::string::npos, m.find("too many arguments for macro"));
  EXPECT_EQ("fatal 2", run_text("#define M(a) a\nM(" + a126 + ")\n", Options(), &m));
  EXPECT_NE(std::string::npos, m.find("too many arguments in macro expansion"));
}

TEST(Limits, LongDefinitionsAndExpansionsGrow) {
  /* far beyond the fixed areas of the original design */
  std::string body(100000, 'x');
  std::string out = run_text("#define BIG " + body + "\n#define ID(a) a a\nID(BIG)\n");
  EXPECT_EQ(2 * (body.size() + 3), out.size());
  std::string line;
  for (int i = 0; i < 20000; i++) line += "ab ";
  EXPECT_EQ(20000u * 5, run_text(line + "\n").size());
}

TEST(Limits, IncludeDirectories) {
  Options o;
  for (int i = 0; i < 256; i++) o.args.push_back("-I/d" + std::to_string(i));
  EXPECT_EQ("1:x ", run_text("x\n", o));
  o.args.push_back("-I/one_too_many");
  std::string m;
  EXPECT_EQ("fatal 2", run_text("x\n", o, &m));
  EXPECT_NE(std::string::npos, m.find("too many include directories"));
}

TEST(Limits, SelfIncludeStopsWithAMessage) {
  std::string dir = temp_dir();
  write_file(dir + "/self.h", "#include \"self.h\"\nx\n");
  FILE *err = tmpfile();
  Diagnostics diag(err);
  Options o;
  Scanner sc(o, diag);
  ASSERT_TRUE(sc.open_source(dir + "/self.h"));
  std::string s = tokens_of(sc);
  EXPECT_NE(std::string::npos, messages(err).find("#include nested too deeply"));
  EXPECT_EQ(1, diag.error_count());
  fclose(err);
}

TEST(Modes, NoexpModeStillExpandsInsideIf) {
  Options o;
  o.expand = false;
  EXPECT_EQ("2:int 2:a 2:[ 2:@N 2:] 2:; 4:big ", run_text("#define N 10\nint a[N];\n#if N > 5\nbig\n#endif\n", o));
  o.standard = false;
  EXPECT_EQ("2:@F 2:( 2:1 2:) 2:F ", run_text("#define F(a) a\nF(1) F\n", o));
}

TEST(Modes, PrescanOnlyInStandardMode) {
  const char *src = "#define S(x) #x\n#define XS(x) S(x)\n#define V 7\nXS(V)\n";
  EXPECT_EQ("4:\"7\" ", run_text(src));
  Options t;
  t.standard = false;
  EXPECT_EQ("4:# 4:7 ", run_text(src, t)); /* no '#' operator: the rescan expands V */
}

}  // namespace

namespace {

/* A large real source, when the benchmark data has been fetched: both ways
 * must agree on every token, line, file and event. */
TEST(BothWays, SqliteAmalgamation) {
#ifdef __SANITIZE_ADDRESS__
  GTEST_SKIP() << "too slow under the sanitizers";
#endif
  std::string src = KVX_PP_SOURCE_DIR "/bench/data/sqlite3-noinc.c";
  if (access(src.c_str(), R_OK) != 0) GTEST_SKIP() << "run the benchmark first to fetch " << src;
  for (const char *mode : {"-mode=exp", "-mode=noexp"}) {
    PPRun in = run_inprocess(src, {mode}, "");
    PPRun ex = run_external(src, {mode}, "");
    EXPECT_GT(in.dump.size(), 1000000u);
    EXPECT_TRUE(in.dump == ex.dump) << mode;
    EXPECT_EQ(in.diags, ex.diags) << mode;
  }
}

/* The whole amalgamation with the system headers in the GNU dialect and
 * the shipped gnu.def: the same tokens, lines, files and events both ways. */
TEST(BothWays, SqliteAmalgamationGnuDialect) {
#ifdef __SANITIZE_ADDRESS__
  GTEST_SKIP() << "too slow under the sanitizers";
#endif
  std::string src = KVX_PP_SOURCE_DIR "/bench/data/package/deps/sqlite3/sqlite3.c";
  if (access(src.c_str(), R_OK) != 0) GTEST_SKIP() << "scripts/fetch-sqlite.sh has not fetched " << src;
  std::vector<std::string> words = {"-dial", "gnu", "-ddef", KVX_PP_SOURCE_DIR "/util/gnu.def"};
  PPRun in = run_inprocess(src, words, "");
  PPRun ex = run_external(src, words, "");
  EXPECT_GT(in.dump.size(), 1000000u);
  EXPECT_TRUE(in.dump == ex.dump);
  EXPECT_EQ(in.diags, ex.diags);
  EXPECT_EQ(in.diags, "");
}

}  // namespace

namespace {

TEST(Limits, FilenameWorkBuffer) {
  Options o;
  o.args.push_back("-I/" + std::string(16380, 'd'));
  std::string m;
  EXPECT_EQ("fatal 2", run_text("#include <abc.h>\n", o, &m));
  EXPECT_NE(std::string::npos, m.find("filename work buffer overflow"));
  o.args[0] = "-I/" + std::string(16370, 'd');
  EXPECT_EQ("2:x ", run_text("#include <abc.h>\nx\n", o, &m));
  EXPECT_NE(std::string::npos, m.find("cannot open include file \"abc.h\""));
}

/* Every shipped predefined-macros file reads without a message in its own
 * dialect, and the GCC ones give the target's facts. */
TEST(OptionFiles, ShippedFilesReadCleanly) {
  const char *dialects[] = {"ansi", "kr78", "sun", "hp_ansi", "hp", "mcc", "mcc_std", "gnu", "gnu_d950",
                            "msc50", "msc1100", "msc0900", "msc40", "msc0800", "msc15", "iar", "c99", "c11"};
  for (const char *d : dialects) {
    SCOPED_TRACE(d);
    std::vector<std::string> words = {"-dial", d, "-ddef", KVX_PP_SOURCE_DIR "/util/" + std::string(d) + ".def"};
    if (!strcmp(d, "kr78") || !strcmp(d, "hp") || !strcmp(d, "mcc_std")) words.push_back("-traditional");
    Options o;
    parse_cccp_args(words, o);
    ASSERT_EQ(0, access(o.def_file.c_str(), R_OK));
    std::string m;
    run_text("x\n", o, &m);
    EXPECT_EQ("", m);
  }
  Options o;
  parse_cccp_args({"-dial", "gnu", "-ddef", KVX_PP_SOURCE_DIR "/util/gnu.def"}, o);
  std::string m;
  EXPECT_EQ("3:lp64 5:hosted 5:1 7:attr 10:include ",
            run_text("#include <limits.h>\n#if ULONG_MAX > 0xffffffffUL && __SIZEOF_POINTER__ == 8\nlp64\n#endif\n"
                     "hosted __STDC_HOSTED__\n#if __has_attribute(__noreturn__) && __has_builtin(__builtin_expect)\n"
                     "attr\n#endif\n#if __has_include(<stdio.h>)\ninclude\n#endif\n",
                     o, &m));
  EXPECT_EQ("", m);
  o = Options();
  parse_cccp_args({"-dial", "c99", "-ddef", KVX_PP_SOURCE_DIR "/util/c99.def"}, o);
  EXPECT_EQ("1:199901L 2:1 2:linux ", run_text("__STDC_VERSION__\n__STRICT_ANSI__ linux\n", o, &m));
}

/* "I" lines name the compiler's directories, which hold system headers;
 * "i" lines the project's own, searched at the same place and in the same
 * order, whose headers are the user's code. */
TEST(OptionFiles, ProjectDirectoriesOfADefFileAreNotSystemOnes) {
  std::string dir = temp_dir();
  for (const char *d : {"/sys", "/proj"}) mkdir((dir + d).c_str(), 0755);
  write_file(dir + "/sys/s.h", "int in_sys;\n");
  write_file(dir + "/sys/both.h", "int both_from_sys;\n");
  write_file(dir + "/proj/p.h", "int in_proj;\n");
  write_file(dir + "/proj/both.h", "int both_from_proj;\n");
  write_file(dir + "/run.def", "i " + dir + "/proj\nI " + dir + "/sys\n");
  write_file(dir + "/t.c", "#include <p.h>\n#include <s.h>\n#include <both.h>\n");
  for (bool external : {false, true}) {
    SCOPED_TRACE(external ? "kvx_cccp" : "in-process");
    std::vector<std::string> words = {"-ddef", dir + "/run.def"};
    PPRun r = external ? run_external(dir + "/t.c", words, dir) : run_inprocess(dir + "/t.c", words, dir);
    EXPECT_EQ("", r.diags);
    EXPECT_NE(std::string::npos, r.dump.find("@system sys/s.h")) << r.dump;
    EXPECT_EQ(std::string::npos, r.dump.find("@system proj/")) << r.dump;
    EXPECT_NE(std::string::npos, r.dump.find("int in_proj ;")) << r.dump;
    EXPECT_NE(std::string::npos, r.dump.find("int both_from_proj ;")) << r.dump;
  }
}

TEST(OptionFiles, UnreadableDefFileIsAWarning) {
  Options o;
  o.def_file = temp_dir(); /* a directory: it exists but cannot be read */
  std::string m;
  EXPECT_EQ("1:x ", run_text("x\n", o, &m));
  EXPECT_NE(std::string::npos, m.find("Inaccessible '" + o.def_file + "' file.")) << m;
}

}  // namespace

namespace {

class Inclusions : public kvx::pp::Observer {
 public:
  int count = 0;
  void inclusion(uint32_t, uint32_t, uint32_t) override { count++; }
};

TEST(BothWays, PrecompiledHeaderInclusionIsNotRecorded) {
  std::string dir = temp_dir();
  write_file(dir + "/stdafx.h", "int pch;\n");
  write_file(dir + "/o.h", "int other;\n");
  write_file(dir + "/m.c", "#include \"stdafx.h\"\n#include \"o.h\"\nint m;\n");
  Options o;
  o.pch_file = "stdafx.h";
  Diagnostics diag(tmpfile());
  Inclusions in, ex;
  {
    Scanner sc(o, diag, &in);
    ASSERT_TRUE(sc.open_source(dir + "/m.c"));
    EXPECT_EQ("1:int 1:pch 1:; 1:int 1:other 1:; 3:int 3:m 3:; ", tokens_of(sc));
  }
  ExternalRequest req;
  req.program = cccp_path();
  req.source = dir + "/m.c";
  ExternalResult r = run_kvx_cccp(req, diag);
  ASSERT_TRUE(r.ok);
  Scanner sc(o, diag, &ex);
  ASSERT_TRUE(sc.open_preprocessed(r.output, req.source, true));
  EXPECT_EQ("1:int 1:pch 1:; 1:int 1:other 1:; 3:int 3:m 3:; ", tokens_of(sc));
  EXPECT_EQ(1, in.count);
  EXPECT_EQ(1, ex.count);
}

}  // namespace

namespace {

TEST(Limits, DeeplyNestedArgumentsStopAtTheExpansionLimit) {
  auto nested = [](int n) {
    std::string s = "#define N(x) [x]\n";
    for (int i = 0; i < n; i++) s += "N(";
    s += "1";
    for (int i = 0; i < n; i++) s += ")";
    return s + "\n";
  };
  std::string m;
  std::string out = run_text(nested(900), Options(), &m);
  EXPECT_EQ("", m);
  EXPECT_EQ(std::string::npos, out.find("N"));
  out = run_text(nested(1200), Options(), &m);
  EXPECT_NE(std::string::npos, m.find("recursive macro definition of \"N\"")) << m;
}

}  // namespace

/* kvx_cccp's command line as the engine writes it: GCC's options keep
 * their arguments, options it does not know never take the source. */
TEST(CccpArguments, GccOptionsAndTheSourceName) {
  Options o;
  std::vector<std::string> files =
      parse_cccp_args({"-dial", "gnu", "-include", "x.h", "-isystem", "/abs/inc", "-imacros/m.h", "-ansi",
                       "-u", "-d", "-i", "-I", "inc", "src.c", "out"},
                      o);
  EXPECT_EQ(files, (std::vector<std::string>{"src.c", "out"}));
  EXPECT_EQ(o.args, (std::vector<std::string>{"-includex.h", "-isystem/abs/inc", "-imacros/m.h", "-ansi", "-u",
                                              "-d", "-i", "-I", "inc"}));
  /* the GNU dialects preprocess without trigraphs unless told, as GCC */
  EXPECT_FALSE(o.trigraphs && !o.gnu);
  ExternalRequest req;
  req.dialect = "gnu";
  req.opts = o;
  req.source = "src.c";
  std::vector<std::string> a = cccp_arguments(req, "out");
  EXPECT_EQ(std::find(a.begin(), a.end(), "-trigraphs"), a.end());
  req.dialect = "c99";
  req.opts.gnu = false;
  a = cccp_arguments(req, "out");
  EXPECT_NE(std::find(a.begin(), a.end(), "-trigraphs"), a.end());
}
