/* End-to-end tests of rules over the model of analysed sources: violation
 * records of both output forms, Name and Object over every named object,
 * and the dump-model rule. */
#include "run_program.h"

#include <gtest/gtest.h>

namespace fs = std::filesystem;
using kvxtest::Result;
using kvxtest::Scratch;

namespace {

const std::string engine = kvxtest::built_program("kvx_zkck_cc");
/* Printed once per run on standard output: the shipped ansi.def is taken. */
const std::string USING = "kvx_cc : using default options file : " + fs::path(engine).parent_path().string() +
                          "/../util/ansi.def\n\n";

const char *const GOTOS =
    "int f(int a)\n"
    "{\n"
    "  if (a) goto out;\n"
    "  a++;\n"
    "out:\n"
    "  return a;\n"
    "}\n"
    "\n"
    "void g(void)\n"
    "{\n"
    "  int i = 0;\n"
    "again:\n"
    "  i++;\n"
    "  if (i < 3) goto again;\n"
    "}\n";

const char *const GOTO_RULE =
    ".KEY NO_GOTO\n"
    ".CODE\n"
    "proc is_goto {o} { expr {[Class $o] eq \"InstructionGoto\"} }\n"
    "proc report_goto {o} { Violation $o $::thisRule \"goto is forbidden\"; return 1 }\n"
    "MapRole application instruction -filter is_goto report_goto\n";

struct ModelRulesTest : ::testing::Test {
  Scratch s;
  Result run(const std::string &line, const std::string &rule, bool report) {
    s.write("c.lst", line + "\n");
    s.write("x.rule", rule);
    s.write("r.lst", "x.rule\n");
    std::vector<std::string> args = {engine, "c.lst", "r.lst"};
    if (report) args.push_back("report.txt");
    return kvxtest::run(engine, args, s.dir);
  }
};

TEST_F(ModelRulesTest, GotoRecordsInBothFormsAndBothWays) {
  s.write("g.c", GOTOS);
  for (const char *way : {"", " -nocccp"}) {
    SCOPED_TRACE(way);
    Result r = run(std::string("g.c -dial ansi") + way, GOTO_RULE, true);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, USING);
    EXPECT_EQ(kvxtest::read_file(s / "report.txt"),
              "Fg.c(14)\nRNO_GOTO\nMgoto is forbidden (in function g)\n"
              "Fg.c(3)\nRNO_GOTO\nMgoto is forbidden (in function f)\n");
    r = run(std::string("g.c -dial ansi") + way, GOTO_RULE, false);
    EXPECT_EQ(r.out, USING +
              "g.c(14) : NO_GOTO : goto is forbidden (in function g)\n"
              "g.c(3) : NO_GOTO : goto is forbidden (in function f)\n");
  }
}

/* Every named object reachable from the application (functions, macros,
 * variables, parameters, fields, enumerators, labels, tagged types) is found
 * again by Object from its name.  Other symbols and typedef types are left
 * out: their names lead to the object they name (a macro is its symbol). */
TEST_F(ModelRulesTest, ObjectInvertsNameForEveryNamedObject) {
  s.write("h.h", "struct shared { int n; };\n");
  s.write("n.c",
          "#include \"h.h\"\n"
          "#define LIMIT 10\n"
          "#define MAX(a, b) ((a) > (b) ? (a) : (b))\n"
          "static int counter;\n"
          "static int bump(int by) { counter += by; return counter; }\n"
          "struct point { int x, y; struct { int inner; } nested; };\n"
          "union value { int i; double d; };\n"
          "enum color { RED, GREEN = 4, BLUE };\n"
          "typedef struct point point_t;\n"
          "int area(point_t *p, int limit)\n"
          "{\n"
          "  int total = 0;\n"
          "  {\n"
          "    int total2 = MAX(p->x, LIMIT);\n"
          "    total += total2;\n"
          "  }\n"
          "  if (total > limit) goto done;\n"
          "  for (;;) { int k = bump(1); if (k > 3) break; }\n"
          "done:\n"
          "  return total + RED + BLUE;\n"
          "}\n");
  const std::string rule =
      ".CODE\n"
      "set queue [list application]\n"
      "array set seen {application 1}\n"
      "set named 0\n"
      "set bad {}\n"
      "proc collect {id} { lappend ::found $id; return 1 }\n"
      "while {[llength $queue]} {\n"
      "  set o [lindex $queue 0]\n"
      "  set queue [lrange $queue 1 end]\n"
      "  set cls [Class $o]\n"
      "  if {(![string match Symbol* $cls] || $cls eq \"SymbolMacro\") && $cls ne \"TypeSymbol\"\n"
      "      && ![catch {Name $o} name] && $name ne \"\"} {\n"
      "    incr named\n"
      "    lappend ::classes($cls) 1\n"
      "    if {[catch {Object $name} back] || $back ne $o} { lappend bad \"$o {$name} -> $back\" }\n"
      "  }\n"
      "  foreach role [RolesOf $o] {\n"
      "    set ::found {}\n"
      "    catch {MapRole $o $role collect}\n"
      "    foreach t $::found {\n"
      "      if {![info exists seen($t)]} { set seen($t) 1; lappend queue $t }\n"
      "    }\n"
      "  }\n"
      "}\n"
      "puts \"named objects: [expr {$named >= 25}]\"\n"
      "puts [lsort [array names ::classes]]\n"
      "foreach b $bad { puts \"not inverted: $b\" }\n";
  for (const char *way : {"", " -nocccp"}) {
    SCOPED_TRACE(way);
    Result r = run(std::string("n.c -dial ansi") + way, rule, false);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, USING +
              "named objects: 1\n"
              "EnumValue FunctionBuiltout LabelIdent SymbolMacro TypeEnum TypeField TypeStruct TypeUnion Variable\n");
  }
}

TEST_F(ModelRulesTest, DumpModelPrintsTheAnalysedSources) {
  s.write("g.c", GOTOS);
  std::string dump = kvxtest::read_file(fs::path(engine).parent_path() / "../rules/tools/dump-model");
  Result r = run("g.c -dial ansi -nocccp", dump, false);
  EXPECT_EQ(r.status, 0) << r.err;
  for (const char *cls : {" FunctionBuiltout\n", " InstructionGoto\n", " LabelIdent\n", " File\n",
                          " ScopeGlobal\n", " InstructionIf\n", " ExpressionConstant\n"})
    EXPECT_NE(r.out.find(cls), std::string::npos) << cls;
}

}  // namespace
