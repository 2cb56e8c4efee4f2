/*
 * commands_test.cpp - the rule commands run from Tcl scripts on the
 * sample model: results, usage texts, error texts and MapRole's control
 * flow.
 */
#include <gtest/gtest.h>

#include <sstream>

#include "fixtures.h"

using namespace kvx;
using kvx::test::SampleModel;
using kvx::test::TclRig;

namespace {

class Commands : public ::testing::Test {
 protected:
  TclRig rig{false};
  SampleModel s{rig.model()};
  void SetUp() override {
    /* Filters and scripts get the id as their last word. */
    rig.ok("proc yes {o} {return 1}; proc no {o} {return 0}\n"
           "proc brk {o} {return -code break}; proc cont {o} {return -code continue}\n"
           "proc say {word o} {return $word}\n"
           "proc collect {o} {lappend ::l $o; return 1}");
  }
  std::string id(const Obj *o) { return rig.id(o); }
};

}  // namespace

TEST_F(Commands, UsageTextsNameTheCommandAsInvoked) {
  struct { const char *script, *text; } cases[] = {
      {"InternalError", "usage: InternalError errorMessage"},
      {"internalerror a b", "usage: internalerror errorMessage"},
      {"Violation application", "usage: Violation object ruleName ?message?"},
      {"violation a b c d", "usage: violation object ruleName ?message?"},
      {"Name", "usage: Name namableObject"},
      {"Object a b", "usage: Object name"},
      {"MapRole application", "usage: MapRole sourceObject roleName ?-filter filterScript? ?script?"},
      {"maprole application file -filter", "usage: maprole sourceObject roleName ?-filter filterScript? ?script?"},
      {"MapRole application file {f} {g}", "usage: MapRole sourceObject roleName ?-filter filterScript? ?script?"},
      {"MapRole application file -filter f g h", "usage: MapRole sourceObject roleName ?-filter filterScript? ?script?"},
      {"GetRole application", "usage: GetRole sourceObject roleName"},
      {"Class", "usage: Class object"},
      {"get application", "usage: get sourceObject attributeName"},
      {"RolesOf", "usage: RolesOf sourceObject or className"},
      {"attributesof a b", "usage: attributesof sourceObject or className"},
      {"Classes x", "usage: Classes"},
      {"classes x y", "usage: classes"},
  };
  for (auto &c : cases) EXPECT_EQ(rig.fails(c.script), c.text) << c.script;
  /* An option list is checked only once the source and role are known. */
  EXPECT_EQ(rig.fails("MapRole i.0.1 file -filter"), "i.0.1: ill formed object id");
}

TEST_F(Commands, ClassesRolesAndAttributes) {
  EXPECT_EQ(rig.ok("llength [Classes]"), "135");
  EXPECT_EQ(rig.ok("lindex [classes] 0"), "Application");
  EXPECT_EQ(rig.ok("lindex [Classes] 134"), "Variable");
  std::string app_roles = "comment expression file fileInclusion function instruction label scope "
                          "scopeGlobal symbol type variable";
  EXPECT_EQ(rig.ok("RolesOf Application"), app_roles);
  EXPECT_EQ(rig.ok("rolesof application"), app_roles);
  EXPECT_EQ(rig.ok("RolesOf InstructionReturn"), "allInstruction expression expression file subInstruction tag");
  EXPECT_EQ(rig.ok("RolesOf QualifierConst"), "");
  EXPECT_EQ(rig.ok("AttributesOf Application"), "");
  EXPECT_EQ(rig.ok("AttributesOf Comment"), "fallthrough line lineCount");
  EXPECT_EQ(rig.ok("AttributesOf " + id(s.local_var)), "persistent");
  EXPECT_EQ(rig.fails("RolesOf nothing"), "nothing: no such object or class");
  EXPECT_EQ(rig.fails("AttributesOf i.5.ffff"), "i.5.ffff: no such object or class");
}

TEST_F(Commands, ClassGetAndGetRole) {
  EXPECT_EQ(rig.ok("Class application"), "Application");
  EXPECT_EQ(rig.ok("class " + id(s.if_instr)), "InstructionIf");
  EXPECT_EQ(rig.fails("Class i.105.zz"), "i.105.zz: ill formed object id");
  EXPECT_EQ(rig.ok("Get " + id(s.main_sym) + " name"), "main");
  EXPECT_EQ(rig.ok("Get " + id(s.if_instr) + " line"), "11");
  EXPECT_EQ(rig.ok("Get " + id(s.counter_var) + " persistent"), "1");
  EXPECT_EQ(rig.fails("Get " + id(s.counter_var) + " line"), "line: no such attribute for class Variable");
  EXPECT_EQ(rig.fails("Get application name"), "name: no such attribute for class Application");
  std::string g = rig.ok("GetRole application scopeGlobal");
  EXPECT_EQ(g, id(rig.model().global_scope()));
  EXPECT_EQ(rig.ok("Class " + g), "ScopeGlobal");
  EXPECT_EQ(rig.fails("GetRole application file"), "file: multiplicity > 1");
  EXPECT_EQ(rig.fails("GetRole application nothing"), "nothing: no such role for class Application");
  EXPECT_EQ(rig.ok("getrole " + id(s.if_instr) + " ifFalse"), "");
  /* Ids carry the resolved class: the symbol of a variable reference. */
  std::string sym = rig.ok("GetRole " + id(s.cond_expr) + " symbol");
  EXPECT_EQ(sym.substr(0, 6), "i.105.");
  EXPECT_EQ(rig.ok("Class [GetRole " + id(s.return_instr) + " expression]"), "ExpressionConstant");
  EXPECT_EQ(rig.ok("Class [GetRole " + id(s.assign_expr) + " function]"), "FunctionAssign");
  EXPECT_EQ(rig.ok("Get [GetRole " + id(s.if_instr) + " file] pathname"), "f.c");
}

TEST_F(Commands, MapRoleCountsFiltersAndStops) {
  std::string blk = id(s.main_block);
  EXPECT_EQ(rig.ok("MapRole " + blk + " sequence"), "4");
  EXPECT_EQ(rig.ok("set n 0; MapRole " + blk + " sequence -filter no {incr n; yes}; set n"), "0");
  EXPECT_EQ(rig.ok("MapRole " + blk + " sequence -filter no"), "0");
  EXPECT_EQ(rig.ok("set n 0; list [MapRole " + blk + " sequence {incr n; no}] $n"), "1 1");
  EXPECT_EQ(rig.ok("set l {}; MapRole " + blk + " allInstruction collect; llength $l"), "8");
  EXPECT_EQ(rig.ok("proc isGoto {o} {expr {[Class $o] eq \"InstructionGoto\"}}\n"
                   "set l {}; list [MapRole " + blk + " allInstruction -filter isGoto collect] $l"),
            "1 " + id(s.goto_out));
  /* A single-valued role maps over its one target, or none. */
  EXPECT_EQ(rig.ok("MapRole application scopeGlobal"), "1");
  EXPECT_EQ(rig.ok("MapRole " + id(s.if_instr) + " ifFalse"), "0");
  EXPECT_EQ(rig.ok("set l {}; MapRole " + id(s.if_instr) + " condition {collect}; set l"), id(s.cond_expr));
  EXPECT_EQ(rig.fails("MapRole application nothing"), "nothing: no such role for class Application");
  EXPECT_EQ(rig.fails("maprole bad file"), "bad: ill formed object id");
}

TEST_F(Commands, MapRoleRunsAtTheCallersLevel) {
  std::string blk = id(s.main_block);
  EXPECT_EQ(rig.ok("proc count {o} { set mine 0\n"
                   "  MapRole $o sequence -filter {incr mine 0; yes} {incr mine; yes}\n"
                   "  return $mine }\n"
                   "count " + blk),
            "4");
  EXPECT_EQ(rig.ok("info exists mine"), "0");
  /* Plain commands and scripts with substitutions see the same id. */
  EXPECT_EQ(rig.ok("set l {}; MapRole " + blk + " sequence collect; set a $l; set l {}; "
                   "MapRole " + blk + " sequence {set unused [string trim \" \"]; collect}; "
                   "list [expr {$a eq $l}] [llength $a]"),
            "1 4");
}

TEST_F(Commands, MapRoleErrorsAndCodes) {
  std::string blk = id(s.main_block);
  EXPECT_EQ(rig.fails("MapRole " + blk + " sequence -filter {error boom}"), "boom");
  EXPECT_NE(rig.error_info().find("\n    (in -filter script line 1)"), std::string::npos) << rig.error_info();
  EXPECT_EQ(rig.fails("set n 0; MapRole " + blk + " sequence {incr n\nexpr {1/0}; yes}"), "divide by zero");
  EXPECT_NE(rig.error_info().find("\n    (in script line 2)"), std::string::npos) << rig.error_info();
  EXPECT_EQ(rig.ok("set n"), "1");
  /* Results that are not booleans stop the mapping with an error. */
  EXPECT_EQ(rig.fails("MapRole " + blk + " sequence -filter {say maybe}"),
            "expected boolean value but got \"maybe\"");
  EXPECT_NE(rig.error_info().find("\n    (returned by -filter script line"), std::string::npos);
  EXPECT_EQ(rig.fails("MapRole " + blk + " sequence {say {}}"), "expected boolean value but got \"\"");
  EXPECT_NE(rig.error_info().find("\n    (returned by script line"), std::string::npos);
  /* break, continue and return come out of MapRole as they are. */
  EXPECT_EQ(rig.ok("set n 0; foreach x {1 2 3} { incr n; MapRole " + blk + " sequence {brk} }; set n"), "1");
  EXPECT_EQ(rig.ok("set n 0; foreach x {1 2 3} { MapRole " + blk + " sequence {incr n; cont} }; set n"), "3");
  /* "return" with the id appended returns the first target's id. */
  EXPECT_EQ(rig.ok("proc first {b} { MapRole $b sequence return; return none }\n"
                   "first " + blk),
            id(s.local_def));
  EXPECT_EQ(rig.ok("catch {MapRole " + blk + " sequence brk}"), "3");
  EXPECT_EQ(rig.ok("catch {MapRole " + blk + " sequence -filter cont}"), "4");
}

TEST_F(Commands, InternalErrorAbortsWithEmptyResult) {
  EXPECT_EQ(rig.fails("InternalError {bad state}"), "");
  EXPECT_EQ(rig.err_text(), "InternalError: bad state\n");
  EXPECT_EQ(rig.fails("proc r {} { internalerror x; return ok }; r"), "");
}

TEST_F(Commands, ObjectOfUnknownNamesIsEmpty) {
  EXPECT_EQ(rig.ok("Object nothing"), "");
  EXPECT_EQ(rig.ok("Object {main nothing}"), "");
  EXPECT_EQ(rig.ok("Object {}"), "");
  EXPECT_EQ(rig.ok("Object {{block 1}}"), "");
  EXPECT_EQ(rig.ok("Object {main {block 9} x}"), "");
  EXPECT_EQ(rig.ok("Object {main {block 1}}"), "");
  EXPECT_EQ(rig.fails("Object \"{a\""), "unmatched open brace in list");
  EXPECT_EQ(rig.ok("Name " + id(s.assign_expr)), "");
  EXPECT_EQ(rig.fails("Name i.0.0"), "i.0.0: ill formed object id");
}

TEST_F(Commands, ScriptTextsBehaveAsTextFollowedByTheId) {
  std::string blk = id(s.main_block);
  /* Each shape is run by MapRole as the script of a role with one
   * target and, by hand, as its text, a blank and that target's id (a
   * result that is not a boolean being an error); both must agree. */
  const char *shapes[] = {
      "collect", "  collect  ", "set u 1; collect", "set u 1\ncollect", "# note\ncollect",
      "set u [list a]; collect", "if 1 {set u 1}; collect", "collect ;", "collect\n",
      "set u 1; # trailing comment", "say {1}", "say \"0\"", "set u 1; say [expr 1]",
      "set u 1\n\nsay yes", "collect \\\n", "string is true -strict",
  };
  for (const char *shape : shapes) {
    std::string sh = shape;
    std::string mapped = rig.ok("set l {}; set c [catch {MapRole " + id(s.return_instr) +
                    " allInstruction [list " + sh + "]} r]; list $c $l");
    std::string hand = rig.ok("set l {}; set c [catch {eval [list " + sh + "] " + id(s.return_instr) +
                              "} r]; if {!$c && ![string is boolean -strict $r]} {set c 1}; list $c $l");
    EXPECT_EQ(mapped, hand) << "script: " << sh;
  }
  /* Error lines count the lines of the whole text. */
  rig.fails("MapRole " + blk + " sequence {set u 1\nset u 2\nexpr {1/0}; yes}");
  EXPECT_NE(rig.error_info().find("(in script line 3)"), std::string::npos) << rig.error_info();
  rig.fails("MapRole " + blk + " sequence {set u 1\nset u 2\nsay [expr {1/0}]}");
  EXPECT_NE(rig.error_info().find("(in script line 3)"), std::string::npos) << rig.error_info();
  rig.fails("MapRole " + blk + " sequence -filter {set u 1\nerror x\nyes}");
  EXPECT_NE(rig.error_info().find("(in -filter script line 2)"), std::string::npos) << rig.error_info();
}

TEST_F(Commands, IdsKeepWorkingAcrossShimmeringAndRelease) {
  std::string blk = id(s.main_block);
  /* An id that was a list, a number-like text, or handed back by a command. */
  EXPECT_EQ(rig.ok("set x [list " + blk + "]; llength $x; Class $x"), "InstructionBlock");
  EXPECT_EQ(rig.ok("set y [GetRole " + id(s.if_instr) + " condition]; string length $y; llength $y; Class $y"),
            "ExpressionSymbol");
  EXPECT_EQ(rig.ok("set l {}; MapRole " + blk + " sequence collect; Class [lindex $l 2]"), "InstructionIf");
  /* A remembered id of class Expression stays generic when typed by hand. */
  std::string hex = id(s.cond_expr).substr(id(s.cond_expr).rfind('.') + 1);
  EXPECT_EQ(rig.ok("Class i.4." + hex), "Expression");
  EXPECT_EQ(rig.ok("Class " + id(s.cond_expr)), "ExpressionSymbol");
  /* After the model is released the remembered objects are gone. */
  rig.model().release();
  EXPECT_EQ(rig.fails("Class $y"), id(s.cond_expr) + ": ill formed object id");
  EXPECT_EQ(rig.fails("Class [lindex $l 0]"), id(s.local_def) + ": ill formed object id");
}

TEST(CommandsRegistration, BothSpellingsAndRegisteringAgain) {
  TclRig rig(false);
  for (const char *name : {"InternalError", "Violation", "Name", "Object", "MapRole", "GetRole", "Class",
                           "Get", "RolesOf", "AttributesOf", "Classes"}) {
    std::string lower = name;
    for (char &c : lower) c = (char)tolower(c);
    EXPECT_EQ(rig.ok(std::string("llength [info commands ") + name + "]"), "1") << name;
    EXPECT_EQ(rig.ok("llength [info commands " + lower + "]"), "1") << lower;
  }
  FILE *console = std::tmpfile();
  ViolationSink other(nullptr, console);
  register_model_commands(rig.interp(), rig.model(), other, stderr);
  rig.ok("Violation application again");
  std::fflush(console);
  std::rewind(console);
  char buf[32] = {};
  EXPECT_EQ(std::string(std::fgets(buf, sizeof buf, console)), "again\n");
  std::fclose(console);
}

TEST_F(Commands, NestedMapRolesKeepTheirOwnIds) {
  /* For every instruction of main's body, count the expressions it holds
   * with all their subexpressions; the outer id must survive the inner
   * mapping. */
  rig.ok("proc inner {o} {incr ::n; return 1}\n"
         "proc outer {o} {set ::n 0; MapRole $o expression {sub}; lappend ::r [Class $o] $::n; return 1}\n"
         "proc sub {e} {MapRole $e allExpression inner; return 1}");
  EXPECT_EQ(rig.ok("set r {}; MapRole " + id(s.main_block) + " allInstruction outer; set r"),
            "InstructionDefinition 0 InstructionDefinition 0 InstructionGoto 0 InstructionBlock 0 "
            "InstructionExpression 5 InstructionIf 1 InstructionReturn 1 InstructionBlock 0");
}

TEST_F(Commands, SpellingOfConstantsAndBuiltinTypes) {
  ModelBuilder &b = rig.builder();
  b.set_spelling(s.one_expr, "0x1FU");
  TypeRec *t = s.y_field->type; /* int y : 4 */
  b.set_spelling(t, "signed int");
  EXPECT_EQ(rig.ok("Spelling " + id(s.one_expr)), "0x1FU");
  EXPECT_EQ(rig.ok("spelling [GetRole " + id(s.y_field) + " type]"), "signed int");
  /* Objects without a written text, the application included. */
  EXPECT_EQ(rig.ok("Spelling " + id(s.zero_expr)), "");
  EXPECT_EQ(rig.ok("Spelling " + id(s.main_sym)), "");
  EXPECT_EQ(rig.ok("Spelling " + id(s.point_type)), "");
  EXPECT_EQ(rig.ok("Spelling application"), "");
  EXPECT_EQ(rig.fails("Spelling"), "usage: Spelling object");
  EXPECT_EQ(rig.fails("spelling a b"), "usage: spelling object");
  EXPECT_EQ(rig.fails("Spelling i.6.zz"), "i.6.zz: ill formed object id");
  /* Well formed, but naming no live object of that class. */
  std::string other = id(s.one_expr);
  other.replace(0, 4, "i.9.");
  EXPECT_EQ(rig.fails("Spelling " + other), other + ": ill formed object id");
  EXPECT_EQ(rig.fails("Spelling i.6.fffffff"), "i.6.fffffff: ill formed object id");
}

/* An id of a generic class names any object of the family; roles that only
 * some kinds have yield nothing for the others instead of reading fields
 * the object does not have. */
TEST_F(Commands, GenericIdsReadOnlyWhatTheKindHas) {
  auto as = [&](const Obj *o, int cls) {
    std::string i = id(o);
    return "i." + std::to_string(cls) + i.substr(i.find('.', 2));
  };
  EXPECT_EQ(rig.ok("GetRole " + as(s.counter_var->type, 124) + " tag"), "");
  EXPECT_EQ(rig.ok("MapRole " + as(s.counter_var->type, 124) + " typeField"), "0");
  EXPECT_EQ(rig.ok("GetRole " + as(s.counter_var->type, 126) + " tag"), "");
  EXPECT_EQ(rig.ok("GetRole " + as(s.point_type, 126) + " tag"), id(s.point_tag));
  EXPECT_EQ(rig.ok("GetRole " + as(s.if_instr, 79) + " symbol"), "");
  EXPECT_EQ(rig.ok("MapRole " + as(s.if_instr, 79) + " sameInstruction"), "0");
  EXPECT_EQ(rig.ok("GetRole " + as(s.g_def, 79) + " symbol"), id(s.g_sym));
  EXPECT_EQ(rig.ok("MapRole " + as(s.point_tag, 99) + " instruction"), "0");
  EXPECT_EQ(rig.ok("GetRole " + as(s.point_tag, 99) + " definition"), "");
  EXPECT_EQ(rig.ok("GetRole " + as(s.g_sym, 102) + " definition"), id(s.g_def));
  EXPECT_EQ(rig.ok("MapRole " + as(s.cond_expr, 4) + " subExpression"), "0");
}

/* Targets gives what a MapRole collecting ids gives, for every role of a
 * spread of objects; then paths, selection and its errors. */
TEST_F(Commands, TargetsListsWhatMapRoleVisits) {
  const Obj *objects[] = {nullptr, s.main_block, s.if_instr, s.assign_expr, s.main_scope, s.tu,
                          s.point_type, s.g_sym, s.file, s.g_def};
  for (const Obj *o : objects) {
    std::string src = o ? id(o) : "application";
    std::istringstream roles(rig.ok("RolesOf " + src));
    for (std::string role; roles >> role;) {
      std::string collected = rig.ok("set l {}; MapRole " + src + " " + role + " collect; set l");
      EXPECT_EQ(rig.ok("Targets " + src + " " + role), collected) << src << " " << role;
    }
  }
  std::string blk = id(s.main_block);
  EXPECT_EQ(rig.ok("Targets " + blk + " allInstruction InstructionGoto"), id(s.goto_out));
  EXPECT_EQ(rig.ok("llength [targets " + blk + " allInstruction InstructionGoto InstructionIf]"), "2");
  EXPECT_EQ(rig.ok("Targets " + blk + " allInstruction InstructionWhile"), "");
  /* -via tests the class of the target's single-valued role. */
  EXPECT_EQ(rig.ok("Targets application expression -via function FunctionAssign"), id(s.assign_expr));
  EXPECT_EQ(rig.ok("Targets " + blk + " {allInstruction expression allExpression} -via function FunctionAssign"),
            id(s.assign_expr));
  /* Without classes, -via keeps the targets that have such a target. */
  EXPECT_EQ(rig.ok("Targets application expression -via function"),
            rig.ok("Targets application expression ExpressionComplex"));
  /* The empty path selects among the sources; lists of sources. */
  std::string two = id(s.if_instr) + " " + id(s.goto_out);
  EXPECT_EQ(rig.ok("Targets {" + two + "} {} InstructionGoto"), id(s.goto_out));
  EXPECT_EQ(rig.ok("Targets {" + two + "} {}"), two);
  EXPECT_EQ(rig.ok("Targets {} sequence"), "");
  EXPECT_EQ(rig.ok("Targets {" + two + "} file"), id(s.file)); /* listed once */
  EXPECT_EQ(rig.ok("Targets {" + id(s.if_instr) + " " + id(s.if_instr) + "} condition"), id(s.cond_expr));
  /* Paths: a class without the next role adds nothing. */
  EXPECT_EQ(rig.ok("Targets " + blk + " {sequence ifTrue}"), rig.ok("Targets " + id(s.if_instr) + " ifTrue"));
  EXPECT_EQ(rig.ok("llength [Targets " + blk + " {allInstruction file}]"), "1");
}

TEST_F(Commands, TargetsRefusesWhatNoClassKnows) {
  std::string blk = id(s.main_block);
  EXPECT_EQ(rig.fails("Targets application"), "usage: Targets sources rolePath ?-via roleName? ?className ...?");
  EXPECT_EQ(rig.fails("targets application file -via"), "usage: targets sources rolePath ?-via roleName? ?className ...?");
  EXPECT_EQ(rig.fails("Targets application nothing"), "nothing: no such role for class Application");
  EXPECT_EQ(rig.fails("Targets " + blk + " {sequence nothing}"), "nothing: no such role");
  EXPECT_EQ(rig.fails("Targets application file -via nothing File"), "nothing: no such role");
  EXPECT_EQ(rig.fails("Targets application file Nothing"), "Nothing: no such class");
  EXPECT_EQ(rig.fails("Targets {" + blk + " bad} sequence"), "bad: ill formed object id");
  EXPECT_EQ(rig.fails("Targets {" + blk + " " + blk + "} nothing"), "nothing: no such role");
  EXPECT_EQ(rig.fails("Targets \"{\" file"), "unmatched open brace in list");
}
