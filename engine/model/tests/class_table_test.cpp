/*
 * class_table_test.cpp - the class table against the reference listing of
 * every class (tests/class_rows.txt), the searches and the resolvers.
 */
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "model/model.h"

using namespace kvx;

namespace {

std::string describe_roles(const ClassInfo *c) {
  std::string s;
  for (int i = 0; i < c->role_count; i++) {
    const RoleInfo &r = c->roles[i];
    if (i) s += ' ';
    s += std::string(r.name) + ":" + class_by_id(r.target)->name + ":" + (r.iter ? "n" : "1");
    EXPECT_TRUE((r.iter == nullptr) != (r.get == nullptr)) << c->name << "." << r.name;
  }
  return s;
}

std::string describe_attrs(const ClassInfo *c) {
  static const char *types[] = {"line16", "int", "string", "bool"};
  std::string s;
  for (int i = 0; i < c->attr_count; i++) {
    if (i) s += ' ';
    s += std::string(c->attrs[i].name) + ":" + types[c->attrs[i].type];
  }
  return s;
}

}  // namespace

TEST(ClassTable, EveryRowMatchesTheReferenceListing) {
  std::string path = std::string(std::getenv("KVX_SOURCE_DIR") ? std::getenv("KVX_SOURCE_DIR") : ".") +
                     "/engine/model/tests/class_rows.txt";
  std::ifstream in(path);
  ASSERT_TRUE(in) << path;
  std::string line;
  int id = 0;
  while (std::getline(in, line)) {
    id++;
    std::istringstream ls(line);
    std::string name, star;
    int ref_id;
    ls >> name >> ref_id;
    ASSERT_EQ(ref_id, id);
    size_t bar1 = line.find('|'), bar2 = line.find('|', bar1 + 1);
    bool generic = line.substr(0, bar1).find('*') != std::string::npos;
    std::string roles = line.substr(bar1 + 2, bar2 - bar1 - 2);
    std::string attrs = line.substr(bar2 + 1);
    if (!attrs.empty() && attrs[0] == ' ') attrs.erase(0, 1);
    const ClassInfo *c = class_by_id(id);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->name, name);
    EXPECT_EQ(c->id, id);
    EXPECT_EQ(c->resolve != nullptr, generic) << name;
    EXPECT_EQ(describe_roles(c), roles) << name;
    EXPECT_EQ(describe_attrs(c), attrs) << name;
  }
  EXPECT_EQ(id, CLASS_COUNT);
}

TEST(ClassTable, SortedInByteOrderWithKnownIds) {
  for (int id = 2; id <= CLASS_COUNT; id++)
    EXPECT_LT(std::string(class_by_id(id - 1)->name), std::string(class_by_id(id)->name));
  for (int id = 1; id <= CLASS_COUNT; id++) {
    const ClassInfo *c = class_by_id(id);
    for (int i = 1; i < c->role_count; i++)
      EXPECT_LE(std::string(c->roles[i - 1].name), std::string(c->roles[i].name)) << c->name;
    for (int i = 1; i < c->attr_count; i++)
      EXPECT_LT(std::string(c->attrs[i - 1].name), std::string(c->attrs[i].name)) << c->name;
  }
  EXPECT_EQ(find_class("Application")->id, 1);
  EXPECT_EQ(find_class("Comment")->id, 2);
  EXPECT_EQ(find_class("InstructionIf")->id, 76);
  EXPECT_EQ(find_class("TypeVoid")->id, 134);
  EXPECT_EQ(find_class("Variable")->id, 135);
  EXPECT_EQ(class_by_id(0), nullptr);
  EXPECT_EQ(class_by_id(136), nullptr);
}

TEST(ClassTable, SearchesFindEveryNameAndNothingElse) {
  for (int id = 1; id <= CLASS_COUNT; id++) {
    const ClassInfo *c = class_by_id(id);
    EXPECT_EQ(find_class(c->name), c);
    for (int i = 0; i < c->role_count; i++)
      EXPECT_STREQ(find_role(c, c->roles[i].name)->name, c->roles[i].name);
    for (int i = 0; i < c->attr_count; i++)
      EXPECT_EQ(find_attribute(c, c->attrs[i].name), &c->attrs[i]);
    EXPECT_EQ(find_role(c, "noSuchRole"), nullptr);
    EXPECT_EQ(find_role(c, ""), nullptr);
    EXPECT_EQ(find_attribute(c, "zzz"), nullptr);
  }
  EXPECT_EQ(find_class("application"), nullptr);
  EXPECT_EQ(find_class("Type "), nullptr);
  EXPECT_EQ(find_class("A"), nullptr);
  EXPECT_EQ(find_class("Zzz"), nullptr);
  EXPECT_EQ(find_class(""), nullptr);
}

TEST(ClassTable, DoubledExpressionRoleFindsTheSingleValuedOne) {
  for (const char *name : {"InstructionExpression", "InstructionReturn"}) {
    const ClassInfo *c = find_class(name);
    ASSERT_EQ(c->role_count, 6);
    EXPECT_STREQ(c->roles[1].name, "expression");
    EXPECT_NE(c->roles[1].iter, nullptr);
    EXPECT_STREQ(c->roles[2].name, "expression");
    EXPECT_NE(c->roles[2].get, nullptr);
    EXPECT_EQ(find_role(c, "expression"), &c->roles[2]);
  }
  /* Elsewhere the many-valued one is the only one. */
  EXPECT_NE(find_role(find_class("InstructionIf"), "expression")->iter, nullptr);
}

TEST(ClassTable, ResolversGiveTheClassOfEachKind) {
  Obj o{};
  auto resolved = [&](const char *generic, Family f, int kind) {
    o.family = f;
    o.kind = (uint8_t)kind;
    return std::string(class_of(&o, find_class(generic))->name);
  };
  EXPECT_EQ(resolved("Expression", FAM_EXPR, EXPR_COMPLEX), "ExpressionComplex");
  EXPECT_EQ(resolved("ExpressionSimple", FAM_EXPR, EXPR_INSTRUCTION), "ExpressionInstruction");
  EXPECT_EQ(resolved("Instruction", FAM_INSTR, INSTR_BREAK), "InstructionBreak");
  EXPECT_EQ(resolved("InstructionSymbol", FAM_INSTR, INSTR_TENTATIVE), "InstructionTentativeDefinition");
  EXPECT_EQ(resolved("Label", FAM_LABEL, LABEL_DEFAULT), "LabelDefault");
  EXPECT_EQ(resolved("Scope", FAM_SCOPE, SCOPE_TRANSLATION_UNIT), "ScopeTranslationUnit");
  EXPECT_EQ(resolved("Symbol", FAM_SYMBOL, SYM_VARIABLE), "SymbolVariable");
  EXPECT_EQ(resolved("SymbolFunction", FAM_SYMBOL, SYM_FIELD), "SymbolField");
  EXPECT_EQ(resolved("Type", FAM_TYPE, TYPE_INT), "TypeInt");
  EXPECT_EQ(resolved("TypeTagged", FAM_TYPE, TYPE_TYPEOF), "TypeTypeof");
  EXPECT_EQ(resolved("TypeBuiltIn", FAM_TYPE, TYPE_VARARG), "TypeVararg");
  EXPECT_EQ(resolved("Function", FAM_FUNCTION, FN_ADD), "FunctionAdd");
  EXPECT_EQ(resolved("FunctionBuiltin", FAM_FUNCTION, FN_ALIGNOF), "FunctionAlignof");
  EXPECT_EQ(resolved("Function", FAM_FUNCTION, FN_BUILTOUT), "FunctionBuiltout");
  EXPECT_EQ(resolved("Qualifier", FAM_QUALIFIER, QUAL_VOLATILE), "QualifierVolatile");
  EXPECT_EQ(resolved("TypeField", FAM_FIELD, FIELD_BIT), "TypeBitField");
  /* A concrete class stays itself. */
  EXPECT_EQ(resolved("TypeBitField", FAM_FIELD, FIELD_PLAIN), "TypeBitField");
  /* Every kind of every resolving family names a class of that family. */
  struct { Family f; int kinds; } fams[] = {{FAM_EXPR, 5}, {FAM_INSTR, 14}, {FAM_LABEL, 3},
      {FAM_SCOPE, 5}, {FAM_SYMBOL, 8}, {FAM_TYPE, 23}, {FAM_FUNCTION, 51}, {FAM_QUALIFIER, 2}, {FAM_FIELD, 2}};
  for (auto &fk : fams)
    for (int k = 1; k <= fk.kinds; k++) {
      const ClassInfo *c = class_by_id(class_for_kind(fk.f, k));
      EXPECT_EQ(c->family, fk.f);
      EXPECT_EQ(c->resolve == nullptr || std::string(c->name) == "SymbolFunction" ||
                    std::string(c->name) == "TypeField", true) << c->name;
    }
}
