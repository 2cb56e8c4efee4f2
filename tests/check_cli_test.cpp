/* kvx_check end to end: the example project and a fixture project in every
 * format, suppressions, exclusions, baselines, a header reached from two
 * sources, a source that does not parse, the exit statuses, the rule
 * descriptions, and a compilation database from a real CMake configure. */
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>

#include "run_program.h"

namespace fs = std::filesystem;
using kvxtest::Result;
using kvxtest::Scratch;

namespace {

std::string Source() {
  const char *s = getenv("KVX_SOURCE_DIR");
  return s && *s ? s : KVX_CHECK_SOURCE_ROOT;
}

Result Check(const std::vector<std::string> &args, const fs::path &cwd) {
  std::vector<std::string> argv = {"kvx_check", "-q"};
  argv.insert(argv.end(), args.begin(), args.end());
  return kvxtest::run(kvxtest::built_program("kvx_check"), argv, cwd);
}

std::vector<std::string> Lines(const std::string &text) {
  std::vector<std::string> out;
  std::istringstream in(text);
  std::string l;
  while (std::getline(in, l)) out.push_back(l);
  return out;
}

size_t Count(const std::string &text, const std::string &what) {
  size_t n = 0;
  for (size_t p = text.find(what); p != std::string::npos; p = text.find(what, p + 1)) ++n;
  return n;
}

/* A project with a suppressed finding, a header two sources include, a
 * vendored directory to leave out and a source that does not parse. */
struct Fixture {
  Scratch s;
  Fixture() {
    s.write("proj/include/shared.h", "/* shared.h - included twice */\nstruct flags { int on : 1; };\n");
    s.write("proj/src/a.c",
            "/* a.c */\n#include <stdio.h>\n#include \"shared.h\"\n"
            "int a_value(int x)\n{\n"
            "    switch (x) { case 1: return 1; }\n"
            "    goto out; /* kvx-allow NO_GOTO: the one exit */\n"
            "out:\n    return 0;\n}\n");
    s.write("proj/src/b.c", "/* b.c */\n#include \"shared.h\"\nint b_value(int y)\n{\n    if (y) return 1;\n    return 0;\n}\n");
    s.write("proj/src/bad.c", "/* bad.c */\nint broken(void) { return 1 +; }\n");
    s.write("proj/vendor/v.c", "int vendored(int z) { if (z) return 2; return 3; }\n");
  }
  fs::path Dir() const { return s.dir / "proj"; }
  std::vector<std::string> Args(std::vector<std::string> more = {}) const {
    std::vector<std::string> a = {"-I", "include", "src/a.c", "src/b.c", "src/bad.c", "vendor/v.c", "--exclude", "vendor"};
    a.insert(a.begin(), more.begin(), more.end());
    return a;
  }
};

/* A copy of the example project in a scratch directory: the programs run
 * there, never in the source tree. */
fs::path CopyDemo(const Scratch &s) {
  fs::path demo = s.dir / "demo";
  fs::copy(fs::path(Source()) / "examples" / "demo", demo);
  return demo;
}

TEST(CheckCli, ExampleProjectInEveryFormat) {
  Scratch s;
  fs::path demo = CopyDemo(s);
  std::vector<std::string> sources;
  for (const char *f : {"main.c", "counter.c", "events.c"}) sources.push_back((demo / f).string());
  auto run = [&](const std::string &format, const std::string &out) {
    std::vector<std::string> a = {"--format", format, "-o", (s.dir / out).string()};
    a.insert(a.end(), sources.begin(), sources.end());
    return Check(a, demo);
  };
  Result gcc = run("gcc", "r.txt");
  ASSERT_EQ(gcc.status, 1) << gcc.err;
  std::string g = kvxtest::read_file(s.dir / "r.txt");
  EXPECT_NE(g.find("events.c:33:1: warning: switch without default label (in function events_pop) [SWITCH_DEFAULT]"),
            std::string::npos) << g;
  EXPECT_NE(g.find("events.h:7:1: warning: bit-field of plain int [BITFIELD_PLAIN_INT]"), std::string::npos);
  size_t findings = Lines(g).size();
  /* Sorted by file and line. */
  std::vector<std::string> sorted = Lines(g);
  std::stable_sort(sorted.begin(), sorted.end(), [](const std::string &a, const std::string &b) {
    return a.substr(0, a.find(':')) < b.substr(0, b.find(':'));
  });
  EXPECT_EQ(sorted, Lines(g));

  ASSERT_EQ(run("text", "r.text").status, 1);
  std::string t = kvxtest::read_file(s.dir / "r.text");
  EXPECT_NE(t.find("events.c:33: SWITCH_DEFAULT: switch without default label (in function events_pop)\n        switch"),
            std::string::npos) << t;
  EXPECT_NE(t.find("Findings per rule:"), std::string::npos);
  EXPECT_NE(t.find(std::to_string(findings) + " findings in 4 files"), std::string::npos) << t;

  ASSERT_EQ(run("sarif", "r.sarif").status, 1);
  std::string j = kvxtest::read_file(s.dir / "r.sarif");
  EXPECT_EQ(Count(j, "\"ruleId\""), findings);
  EXPECT_NE(j.find("\"uriBaseId\": \"SRCROOT\""), std::string::npos);
  EXPECT_NE(j.find("\"executionSuccessful\": true"), std::string::npos);

  ASSERT_EQ(run("html", "r.html").status, 1);
  std::string h = kvxtest::read_file(s.dir / "r.html");
  EXPECT_EQ(h.find("src="), std::string::npos);
  EXPECT_EQ(h.find("href=\"http"), std::string::npos);
  EXPECT_EQ(Count(h, "<tr class=\"finding"), findings);
  EXPECT_NE(h.find("<span class=\"hit\"><i>33</i>    switch"), std::string::npos);
  EXPECT_NE(h.find("id=\"rule-SWITCH_DEFAULT\""), std::string::npos);
}

TEST(CheckCli, FixtureProject) {
  Fixture fx;
  Result r = Check(fx.Args({"--format", "gcc"}), fx.Dir());
  EXPECT_EQ(r.status, 2) << r.err;
  /* The source that does not parse: reported with the checker's message,
   * the others checked all the same. */
  EXPECT_NE(r.err.find("src/bad.c: could not be analysed"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("bad.c(2) : Error:  syntax error before `;'"), std::string::npos) << r.err;
  EXPECT_NE(r.out.find("src/bad.c:2:1: error: syntax error before `;'"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("src/a.c:6:1: warning: switch without default label (in function a_value) [SWITCH_DEFAULT]"),
            std::string::npos) << r.out;
  EXPECT_NE(r.out.find("src/b.c:5:1: warning: if branch not in braces"), std::string::npos);
  EXPECT_EQ(Count(r.out, "include/shared.h:2:1: warning: bit-field of plain int"), 1u);
  EXPECT_EQ(r.out.find("NO_GOTO"), std::string::npos);
  EXPECT_EQ(r.out.find("vendor"), std::string::npos);
  EXPECT_EQ(r.out.find("stdio.h"), std::string::npos);

  Result sarif = Check(fx.Args({"--format", "sarif"}), fx.Dir());
  EXPECT_EQ(sarif.status, 2);
  EXPECT_NE(sarif.out.find("\"kind\": \"inSource\""), std::string::npos);
  EXPECT_NE(sarif.out.find("\"justification\": \"the one exit\""), std::string::npos);
  EXPECT_NE(sarif.out.find("\"executionSuccessful\": false"), std::string::npos);
  EXPECT_NE(sarif.out.find("\"toolExecutionNotifications\""), std::string::npos);

  Result text = Check(fx.Args({"--format", "text"}), fx.Dir());
  EXPECT_EQ(Count(text.out, "include/shared.h:2: BITFIELD_PLAIN_INT: bit-field of plain int\n"
                            "    struct flags { int on : 1; };\n"),
            1u) << text.out;
  EXPECT_NE(text.out.find(", 1 suppressed; 2 sources checked with rule set 'Default', 1 source could not be analysed."),
            std::string::npos) << text.out;

  Result html = Check(fx.Args({"--format", "html"}), fx.Dir());
  EXPECT_NE(html.out.find("<h2 class=\"error\">Not analysed</h2>"), std::string::npos);
  EXPECT_NE(html.out.find("<td>src/bad.c</td>"), std::string::npos);
  /* The suppressed finding is there, hidden until asked for. */
  EXPECT_NE(html.out.find("data-rule=\"NO_GOTO\" data-file=\"src/a.c\" data-hidden=\"1\""), std::string::npos);
  EXPECT_EQ(Count(html.out, "data-rule=\"BITFIELD_PLAIN_INT\" data-file=\"include/shared.h\""), 1u);

  EXPECT_EQ(Check(fx.Args({"--fail-on", "never"}), fx.Dir()).status, 0);
  EXPECT_EQ(Check(fx.Args({"--fail-on", "error"}), fx.Dir()).status, 2);
}

TEST(CheckCli, ExitStatusesSuppressionsAndBaselines) {
  Fixture fx;
  fs::remove(fx.Dir() / "src/bad.c");
  std::vector<std::string> args = {"-I", "include", "src/a.c", "src/b.c", "--format", "gcc"};
  auto with = [&](std::vector<std::string> more) {
    more.insert(more.end(), args.begin(), args.end());
    return Check(more, fx.Dir());
  };
  Result all = with({});
  EXPECT_EQ(all.status, 1);
  EXPECT_EQ(with({"--fail-on", "error"}).status, 0);

  fx.s.write("supp.txt", "# everything of the sources\nsrc/*.c\ninclude BITFIELD_PLAIN_INT\n");
  Result none = with({"--suppressions", (fx.s.dir / "supp.txt").string()});
  EXPECT_EQ(none.status, 0) << none.out;
  EXPECT_EQ(none.out, "");

  std::string base = (fx.s.dir / "base.json").string();
  EXPECT_EQ(with({"--write-baseline", base}).status, 1);
  EXPECT_EQ(with({"--baseline", base}).status, 0);
  /* Lines moved: the baseline still covers them. */
  fx.s.write("proj/src/b.c",
             "/* b.c */\n/* two lines */\n/* more */\n#include \"shared.h\"\nint b_value(int y)\n{\n    if (y) return 1;\n    return 0;\n}\n");
  EXPECT_EQ(with({"--baseline", base}).status, 0);
  fx.s.write("proj/src/b.c", "/* b.c */\n#include \"shared.h\"\nint b_value(int y)\n{\n    if (y) return 1;\n    goto x;\nx:  return 0;\n}\n");
  Result added = with({"--baseline", base});
  EXPECT_EQ(added.status, 1);
  EXPECT_EQ(Lines(added.out).size(), 1u) << added.out;
  EXPECT_NE(added.out.find("[NO_GOTO]"), std::string::npos);

  /* Wrong input: status 2 and a message, nothing else. */
  EXPECT_EQ(with({"--baseline", (fx.s.dir / "none.json").string()}).status, 2);
  EXPECT_EQ(Check({"src/missing.c"}, fx.Dir()).status, 2);
  EXPECT_EQ(Check({"--format", "xml", "src/a.c"}, fx.Dir()).status, 2);
  EXPECT_EQ(Check({"--rule-set", "no such set", "src/a.c"}, fx.Dir()).status, 2);
  Result bad = Check({"--bogus"}, fx.Dir());
  EXPECT_EQ(bad.status, 2);
  EXPECT_NE(bad.err.find("kvx_check: unrecognized option '--bogus'"), std::string::npos) << bad.err;
  Result help = Check({"--help"}, fx.Dir());
  EXPECT_EQ(help.status, 0);
  EXPECT_EQ(help.out.rfind("Usage: kvx_check [OPTION]...", 0), 0u);
}

TEST(CheckCli, EveryShippedRuleIsListedAndExplained) {
  Scratch s;
  Result list = Check({"--list-rules"}, s.dir);
  ASSERT_EQ(list.status, 0) << list.err;
  std::vector<std::string> keys;
  for (const auto &line : Lines(list.out))
    if (line.rfind("KEY", 0) != 0) keys.push_back(line.substr(0, line.find(' ')));
  EXPECT_EQ(keys.size(), 45u);
  EXPECT_NE(list.out.find("MISRA C:2012 Rule 16.4"), std::string::npos);
  for (const auto &key : keys) {
    Result e = Check({"--explain", key}, s.dir);
    EXPECT_EQ(e.status, 0) << key;
    EXPECT_EQ(e.out.rfind(key + ": ", 0), 0u) << e.out;
    EXPECT_NE(e.out.find("Parameters"), std::string::npos) << key;
  }
  Result pc = Check({"--explain", "parameter_count"}, s.dir);
  EXPECT_NE(pc.out.find("functionMaxParameters (Num): Maximum number of parameters\n      default: 6\n"
                        "      in rule set 'Default': 8"),
            std::string::npos) << pc.out;
  EXPECT_EQ(Check({"--explain", "NO_SUCH_RULE"}, s.dir).status, 2);
}

TEST(CheckCli, CompilationDatabaseOfACMakeProject) {
  if (system("cmake --version >/dev/null 2>&1") != 0) GTEST_SKIP() << "cmake is not installed";
  Scratch s;
  s.write("p/CMakeLists.txt",
          "cmake_minimum_required(VERSION 3.16)\nproject(tiny C)\n"
          "add_library(util STATIC src/util.c)\ntarget_include_directories(util PUBLIC include)\n"
          "target_compile_definitions(util PRIVATE UTIL_LEVEL=2)\n"
          "add_executable(tiny src/main.c)\ntarget_link_libraries(tiny util)\n"
          "target_compile_definitions(tiny PRIVATE \"GREETING=\\\"hi there\\\"\")\n"
          "set_property(TARGET tiny util PROPERTY C_STANDARD 99)\n");
  s.write("p/include/util.h", "/* util.h */\nint util_twice(int value);\nstruct bits { int b : 2; };\n");
  s.write("p/src/util.c", "/* util.c */\n#include \"util.h\"\n\n/* Doubles. */\nint util_twice(int value)\n{\n    return value * UTIL_LEVEL;\n}\n");
  s.write("p/src/main.c",
          "/* main.c */\n#include <stdio.h>\n#include <string.h>\n#include \"util.h\"\n\n/* The program. */\n"
          "int main(void)\n{\n    int n = util_twice((int)strlen(GREETING));\n    if (n > 3) printf(\"%d\\n\", n);\n    return 0;\n}\n");
  Result conf = kvxtest::run("/bin/sh", {"sh", "-c", "cmake -S p -B p/build -DCMAKE_EXPORT_COMPILE_COMMANDS=ON"}, s.dir);
  ASSERT_EQ(conf.status, 0) << conf.out << conf.err;
  Result r = Check({"--format", "gcc", "build/compile_commands.json"}, s.dir / "p");
  EXPECT_EQ(r.status, 1) << r.out << r.err;
  EXPECT_EQ(r.out,
            "include/util.h:3:1: warning: bit-field of plain int [BITFIELD_PLAIN_INT]\n"
            "src/main.c:10:1: warning: if branch not in braces (in function main) [COMPOUND_BODY]\n");
  /* The build directory stands for its database. */
  Result dir = Check({"--format", "gcc", "build"}, s.dir / "p");
  EXPECT_EQ(dir.out, r.out);
  EXPECT_EQ(Check({"src"}, s.dir / "p").status, 2);
}

}  // namespace

namespace {

/* Every file below dir with its size and modification time. */
std::vector<std::string> Snapshot(const fs::path &dir) {
  std::vector<std::string> out;
  for (const auto &e : fs::recursive_directory_iterator(dir)) {
    std::string entry = fs::relative(e.path(), dir).string();
    if (e.is_regular_file())
      entry += " " + std::to_string(e.file_size()) + " " +
               std::to_string(e.last_write_time().time_since_epoch().count());
    out.push_back(entry);
  }
  std::sort(out.begin(), out.end());
  return out;
}

/* make install gives a tree from which kvx_check checks the example project
 * without writing anything into it. */
TEST(CheckCli, InstalledReadOnlyTree) {
  const char *build = getenv("KVX_BUILD_DIR");
  ASSERT_TRUE(build);
  Scratch s;
  fs::path inst = s.dir / "inst";
  Result install = kvxtest::run("/bin/sh", {"sh", "-c", "cmake --install \"$0\" --prefix \"$1\"", build, inst.string()}, s.dir);
  ASSERT_EQ(install.status, 0) << install.out << install.err;
  for (const char *f : {"bin/kvx_check", "bin/kvx_zkck_cc", "bin/kvx_cccp", "etc/csentrel.conf", "util/gnu.def",
                        "util/procedures.tcl", "rules/default.rsf", "share/kvx/rule_list.tcl", "share/kvx/demo/events.c"})
    EXPECT_TRUE(fs::exists(inst / f)) << f;
  std::vector<std::string> before = Snapshot(inst);
  Result chmod = kvxtest::run("/bin/chmod", {"chmod", "-R", "a-w", inst.string()}, s.dir);
  ASSERT_EQ(chmod.status, 0);

  /* Run from a writable directory on the installed example's sources. */
  fs::path work = s.dir / "work";
  fs::create_directories(work);
  std::vector<std::string> argv = {"kvx_check", "-q", "--format", "gcc"};
  for (const char *f : {"main.c", "counter.c", "events.c"}) argv.push_back((inst / "share/kvx/demo" / f).string());
  Result installed = kvxtest::run((inst / "bin/kvx_check").string(), argv, work,
                                  {{"XDG_CONFIG_HOME", (s.dir / "config").string().c_str()}});
  Result built = Check({"--format", "gcc", "main.c", "counter.c", "events.c"}, CopyDemo(s));
  kvxtest::run("/bin/chmod", {"chmod", "-R", "u+w", inst.string()}, s.dir);
  EXPECT_EQ(installed.status, 1) << installed.err;
  EXPECT_FALSE(installed.out.empty());
  std::string shown;
  for (const auto &line : Lines(installed.out)) {
    std::string prefix = (inst / "share/kvx/demo/").string();
    shown += (line.rfind(prefix, 0) == 0 ? line.substr(prefix.size()) : line) + "\n";
  }
  EXPECT_EQ(shown, built.out) << built.status << built.err;
  EXPECT_EQ(Snapshot(inst), before);
}

}  // namespace
