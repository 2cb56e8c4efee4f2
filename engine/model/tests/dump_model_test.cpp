/*
 * dump_model_test.cpp - the dump-model rule file run on the sample model.
 */
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <set>
#include <sstream>

#include "fixtures.h"

using namespace kvx;
using kvx::test::SampleModel;
using kvx::test::TclRig;

namespace {

/* The code part of a rule file: every line after ".CODE". */
std::string rule_code(const std::string &path) {
  std::ifstream in(path);
  EXPECT_TRUE(in) << path;
  std::string line, code;
  bool in_code = false;
  while (std::getline(in, line)) {
    if (in_code) code += line + "\n";
    else if (line.rfind(".CODE", 0) == 0) in_code = true;
  }
  return code;
}

std::string dump(TclRig &rig) {
  const char *src = std::getenv("KVX_SOURCE_DIR");
  std::string code = rule_code(std::string(src ? src : ".") + "/rules/tools/dump-model");
  /* Collect what the rule prints. */
  rig.ok("set ::out {}; rename puts tcl_puts; proc puts {text} {append ::out $text \\n}");
  rig.ok(code);
  return rig.ok("set ::out");
}

}  // namespace

TEST(DumpModel, PrintsEveryReachableObjectOnce) {
  TclRig rig(false);
  SampleModel s(rig.model());
  std::string text = dump(rig);
  std::istringstream in(text);
  std::string line;
  std::set<std::string> headers;
  int header_count = 0;
  std::getline(in, line);
  EXPECT_EQ(line, "application Application");
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == ' ') continue;
    header_count++;
    headers.insert(line.substr(0, line.find(' ')));
  }
  EXPECT_EQ((int)headers.size(), header_count);
  for (const Obj *o : {(const Obj *)s.main_fn, (const Obj *)s.if_instr, (const Obj *)s.z_field,
                       (const Obj *)s.comment, (const Obj *)s.red_val, (const Obj *)s.inclusion,
                       (const Obj *)s.header, (const Obj *)rig.model().builtin_type(TYPE_VARARG)})
    EXPECT_EQ(headers.count(rig.id(o)), 1u) << rig.id(o);
  /* One object's entry in full. */
  std::string ret = rig.id(s.return_instr);
  std::string entry = ret + " InstructionReturn\n    line = 12\n    allInstruction ->\n        " + ret +
                      "\n    expression -> " + rig.id(s.zero_expr) + "\n    file -> " + rig.id(s.file) +
                      "\n    subInstruction ->\n    tag ->\n";
  EXPECT_NE(text.find(entry), std::string::npos) << text.substr(0, 2000);
  EXPECT_NE(text.find("    name = main\n"), std::string::npos);
  EXPECT_NE(text.find("    ifFalse -> -\n"), std::string::npos);
  /* The rule leaves no state behind but its procedures. */
  EXPECT_EQ(rig.ok("llength $dumpModel_queue"), "0");
}
