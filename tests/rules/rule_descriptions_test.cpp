/* rule_descriptions_test.cpp - every rule of the standard library loads as
 * a rule description of the configuration library: a name, a title, the
 * reference and parameter headers it declares, and a key for the engine. */
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "tessary_errors.h"
#include "tessary_rules.h"

namespace fs = std::filesystem;

namespace {

fs::path source_dir() {
  const char *s = getenv("KVX_SOURCE_DIR");
  return s ? fs::path(s) : fs::path(KVX_RULES_SOURCE_DIR);
}

std::string slurp(const fs::path &p) {
  std::ifstream in(p);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

TEST(RuleDescriptions, LoadInTheConfigurationLibrary) {
  int loaded = 0;
  for (auto &g : fs::directory_iterator(source_dir() / "rules")) {
    std::string group = g.path().filename().string();
    if (!g.is_directory() || group == "demo" || group == "tools") continue;
    for (auto &f : fs::directory_iterator(g.path())) {
      if (f.path().extension() != ".rule") continue;
      SCOPED_TRACE(f.path().string());
      std::string text = slurp(f.path());
      CRule r;
      r.SetFilePath(f.path().string());
      bool ok = false;
      try {
        ok = r.Load();
      } catch (const CZKException &e) {
        ADD_FAILURE() << "description rejected: " << e.what();
      }
      ASSERT_TRUE(ok);
      loaded++;
      EXPECT_FALSE(r.GetName().empty());
      /* The title line and at least one line of description. */
      EXPECT_NE(r.GetTitleDescription().find('\n'), std::string::npos) << r.GetTitleDescription();
      EXPECT_NE(r.GetOtherHeaders().find(".KEY "), std::string::npos);
      EXPECT_NE(r.GetOtherHeaders().find(".SEVERITY "), std::string::npos);
      EXPECT_NE(r.GetOtherHeaders().find(".DOMAIN "), std::string::npos);
      if (text.find("\n.REFERENCE ") != std::string::npos) {
        EXPECT_NE(r.GetOtherHeaders().find(".REFERENCE "), std::string::npos);
      }
      size_t declared = 0;
      for (size_t at = text.find("\n.PARAMETER "); at != std::string::npos;
           at = text.find("\n.PARAMETER ", at + 1))
        declared++;
      EXPECT_EQ(r.GetRuleParameters().size(), declared);
      for (auto &p : r.GetRuleParameters()) EXPECT_FALSE(p->GetDefaultValue().empty()) << p->GetName();
    }
  }
  EXPECT_GT(loaded, 0);
}

/* The catalogue lists every rule of the library once, under its name, and
 * loads with every description. */
TEST(RuleDescriptions, CatalogueListsEveryRule) {
  fs::path cat_path = source_dir() / "rules" / "catalogue.lst";
  CAllRules cat;
  cat.SetFilePath(cat_path.string());
  bool ok = false;
  try {
    ok = cat.Load();
  } catch (const CZKException &e) {
    ADD_FAILURE() << "catalogue rejected: " << e.what();
  }
  ASSERT_TRUE(ok);
  size_t files = 0;
  for (auto &g : fs::directory_iterator(source_dir() / "rules")) {
    std::string group = g.path().filename().string();
    if (!g.is_directory() || group == "demo" || group == "tools") continue;
    for (auto &f : fs::directory_iterator(g.path())) {
      if (f.path().extension() != ".rule") continue;
      files++;
      std::string rel = group + "/" + f.path().filename().string();
      const CRule *r = nullptr;
      for (auto &c : cat.GetRules())
        if (c->GetFilePath().Str() == rel) r = c.get();
      ASSERT_NE(r, nullptr) << rel << " missing from the catalogue";
      EXPECT_EQ(r->GetDisplayName(), r->GetName()) << rel;
    }
  }
  EXPECT_EQ(cat.GetRules().size(), files);
}

/* Every rule set shipped beside the catalogue loads against it: each line
 * names a catalogued rule, every entry is selected, and the parameter
 * values written in the file are the values of the entries. */
TEST(RuleDescriptions, RuleSetsLoadAgainstTheCatalogue) {
  CAllRules cat;
  cat.SetFilePath((source_dir() / "rules" / "catalogue.lst").string());
  ASSERT_TRUE(cat.Load());
  int sets = 0;
  for (auto &f : fs::directory_iterator(source_dir() / "rules")) {
    if (f.path().extension() != ".rsf") continue;
    SCOPED_TRACE(f.path().string());
    sets++;
    CRuleSet rs;
    rs.SetCatalogue(&cat);
    rs.SetFilePath(f.path().string());
    try {
      ASSERT_TRUE(rs.Load());
    } catch (const CZKException &e) {
      FAIL() << "rule set rejected: " << e.what();
    }
    EXPECT_FALSE(rs.GetName().empty());
    std::istringstream in(slurp(f.path()));
    std::string line;
    int entries = -2;  // the header and the NAME line
    while (std::getline(in, line))
      if (!line.empty()) entries++;
    ASSERT_EQ((int)rs.GetRuleEntries().size(), entries);
    EXPECT_EQ(rs.GetCheckedRulesCount(), entries);
    for (auto &e : rs.GetRuleEntries())
      for (auto &v : e->GetRuleParameterValues()) {
        EXPECT_FALSE(v->GetValue().empty());
      }
    if (f.path().filename() == "safety.rsf") {
      const CRule *pc = cat.FindRuleByName("Parameter count");
      ASSERT_NE(pc, nullptr);
      const CRuleEntry *e = rs.FindRuleEntry(pc);
      ASSERT_NE(e, nullptr);
      EXPECT_EQ(e->GetParameterValue("functionMaxParameters")->GetValue(), "5");
    }
  }
  EXPECT_GE(sets, 2);
}

}  // namespace
