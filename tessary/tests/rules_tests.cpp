/* Rule descriptions, the catalogue, parameter values, rule sets and the
 * rule list of a check run. */
#include <gtest/gtest.h>

#include "env_support.h"
#include "tessary_rules.h"

#include <tcl.h>

class RulesTest : public EnvTest {
 protected:
  void SetUp() override {
    EnvTest::SetUp();
    WriteInstallation(dir);
    CAllRules &all = env->GetAllRules();
    all.SetFilePath(dir.Path("inst/rules/allrules.lst"));
    ASSERT_TRUE(all.Load());
  }
  CRule *Naming() { return env->GetAllRules().FindRuleByName("naming"); }
  CRule *Length() { return env->GetAllRules().FindRuleByName("line length"); }
  std::unique_ptr<CRuleSet> LoadSet(const std::string &rel, const std::string &text) {
    WriteFile(dir.Path(rel), text);
    auto rs = std::make_unique<CRuleSet>();
    rs->SetFilePath(dir.Path(rel));
    rs->Load();
    return rs;
  }
  unsigned SetError(const std::string &text) {
    return ThrownId([&] { LoadSet("inst/rules/bad.rsf", text); });
  }
};

static const char kRulesHeader[] = "TARQUIN ZKL 1.0 RULES FILE\nNAME=S\n";

TEST_F(RulesTest, CatalogueAndDescriptions) {
  const CAllRules &all = env->GetAllRules();
  ASSERT_EQ(all.GetRules().size(), 2u);
  CRule *n = Naming();
  ASSERT_NE(n, nullptr);
  EXPECT_EQ(n->GetDisplayName(), "Naming of globals");
  EXPECT_EQ(n->GetTitleDescription(), "Global names\nGlobals begin with g_.");
  EXPECT_EQ(n->GetOtherHeaders(), ".CODE");
  ASSERT_EQ(n->GetRuleParameters().size(), 1u);
  const CRuleParameter *gp = n->GetParameter("globalPattern");
  ASSERT_NE(gp, nullptr);
  EXPECT_EQ(gp->GetType(), CRuleParameter::ePattern);
  EXPECT_EQ(gp->GetLabel(), "Global pattern");
  EXPECT_EQ(gp->GetDefaultValue(), "^g_(.*)");
  CRule *l = Length();
  ASSERT_EQ(l->GetRuleParameters().size(), 2u);
  EXPECT_EQ(l->GetParameter("minLen")->GetType(), CRuleParameter::eNum);  /* NUM */
  EXPECT_EQ(l->GetParameter("minLen")->GetLabel(), "Minimum");
  EXPECT_EQ(l->GetParameter("minLen")->GetDefaultValue(), "");
  EXPECT_EQ(all.FindRuleByPath(dir.Path("inst/rules/./len/../len/len.rul")), l);
  EXPECT_EQ(all.FindRuleByDisplayName("Line length"), l);
  EXPECT_EQ(all.FindRuleByName("nothing"), nullptr);
  std::string text;
  CTextOutputString out(text);
  EXPECT_FALSE(n->SaveFile(&out));
  EXPECT_TRUE(all.SaveFile(&out));
  EXPECT_EQ(text, "\"Naming of globals\" \"naming.rul\"\n\"Line length\" \"len/len.rul\"\n");
}

TEST_F(RulesTest, DescriptionErrors) {
  auto load = [&](const std::string &text) {
    WriteFile(dir.Path("r/x.rul"), text);
    CRule r;
    r.SetFilePath(dir.Path("r/x.rul"));
    return ThrownId([&] { r.Load(); });
  };
  EXPECT_EQ(load(".TITLE Description\nno name\n"), 34004u);
  EXPECT_EQ(load(".NAME   \n"), 34004u);
  EXPECT_EQ(load(".NAME r\n.PARAMETER Text p \"l\"\n"), 34004u);
  EXPECT_EQ(load(".NAME r\n.PARAMETER Num p\n"), 34004u);
  EXPECT_EQ(load(".NAME r\n.PARAMETER Num p \"l\" \"1\" trailing\n"), 34004u);
  EXPECT_EQ(load(".NAME r\n.PARAMETER Num p \"l\" 1\n"), 34004u);
  EXPECT_EQ(load("ignored before\n.NAME r\n.PARAMETER Num p \"l\" \"1\"\n"
                 ".PARAMETER Pattern p \"L2\" \"x\"\n"),
            0u);
  CRule r;
  r.SetFilePath(dir.Path("r/x.rul"));
  r.Load();
  ASSERT_EQ(r.GetRuleParameters().size(), 1u);  /* redeclaration updates */
  EXPECT_EQ(r.GetParameter("p")->GetType(), CRuleParameter::ePattern);
  EXPECT_EQ(r.GetParameter("p")->GetLabel(), "L2");

  WriteFile(dir.Path("r/cat.lst"), "no quotes x.rul\n");
  CAllRules cat;
  cat.SetFilePath(dir.Path("r/cat.lst"));
  EXPECT_EQ(ThrownId([&] { cat.Load(); }), 34004u);
  WriteFile(dir.Path("r/cat.lst"), "\"Name\"   \n");
  EXPECT_EQ(ThrownId([&] { cat.Load(); }), 34004u);
  WriteFile(dir.Path("r/cat.lst"), "\"Name\" x.rul\n\"Gone\" gone.rul\n");
  bool ok = true;
  EXPECT_EQ(ThrownId([&] { ok = cat.Load(); }), 0u);
  EXPECT_FALSE(ok);
  EXPECT_TRUE(log.Has(34007));
}

TEST(RuleValues, PlainValues) {
  CRuleParameter p(CRuleParameter::eNum, "maxLen", "Max", "80");
  auto v = p.CreateValue();
  EXPECT_EQ(v->GetValue(), "80");
  EXPECT_FALSE(v->HasValue());
  v->SetValue("80");
  EXPECT_FALSE(v->HasValue());
  v->SetValue(100);
  EXPECT_TRUE(v->HasValue());
  EXPECT_EQ(v->GetValue(), "100");
  v->ClearValue();
  EXPECT_EQ(v->GetValue(), "80");
  std::string text;
  CTextOutputString out(text);
  v->SetValue("120");
  v->SaveParameterFile(&out);
  EXPECT_EQ(text, "global maxLen\nset maxLen {120}\n");

  auto w = v->Clone();
  w->SetValue("90");
  auto combined = v->Clone();
  combined->Intersect(*w);
  EXPECT_TRUE(combined->IsMultiple());
  EXPECT_EQ(combined->GetDisplayValue(), "<Multiple Selection>");
  combined->Update(*w);
  EXPECT_FALSE(combined->IsMultiple());
  EXPECT_EQ(combined->GetValue(), "90");
  auto same = v->Clone();
  same->Intersect(*v);
  EXPECT_FALSE(same->IsMultiple());
}

TEST(RuleValues, PatternParts) {
  CRuleParameter p(CRuleParameter::ePattern, "pat", "Pattern", "");
  CRulePatternValue v(&p);
  v.SetUseParts(true);
  EXPECT_EQ(v.GetValue(), "(.*)");
  v.SetBeginPart("g_", false);
  EXPECT_EQ(v.GetValue(), "^g_(.*)");
  v.SetContainsPart("mid");
  v.SetEndPart("_t", false);
  EXPECT_EQ(v.GetValue(), "^g_(.*)mid(.*)_t$");
  v.SetBeginPart("xyz", true);  /* not negated before: kept whole */
  EXPECT_EQ(v.GetBeginPart().text, "xyz");
  v.SetBeginPart("abc", true);  /* already negated: one character */
  EXPECT_EQ(v.GetBeginPart().text, "a");
  v.SetEndPart("q", true);
  v.SetEndPart("rs", true);
  EXPECT_EQ(v.GetValue(), "^[^a](.*)mid(.*)[^r]$");
  v.ClearParts();
  v.ConstructFullValue();
  EXPECT_EQ(v.GetValue(), "(.*)");
  CRulePatternValue off(&p);
  off.SetBeginPart("g_", false);
  EXPECT_EQ(off.GetValue(), "");  /* parts not in use: value untouched */
}

TEST_F(RulesTest, HandWrittenRuleSetLoads) {
  auto rs = LoadSet("inst/rules/s.rsf",
                    std::string("\n") + kRulesHeader +
                        "\n  \"Naming of globals\" naming.rul globalPattern {^g_(.*)} # {0,\"g_\"} {0,\"\"} {0,\"\"}\n"
                        "x \"renamed display\" \"len/len.rul\" maxLen { 100 } ,minLen {2}\n");
  ASSERT_EQ(rs->GetRuleEntries().size(), 2u);
  EXPECT_EQ(rs->GetName(), "S");
  CRuleEntry *n = rs->GetRuleEntries()[0].get();
  EXPECT_EQ(n->GetRule(), Naming());
  EXPECT_TRUE(n->IsCheck());
  auto *pv = dynamic_cast<CRulePatternValue *>(n->GetParameterValue("globalPattern"));
  ASSERT_NE(pv, nullptr);
  EXPECT_TRUE(pv->GetUseParts());
  EXPECT_EQ(pv->GetBeginPart().text, "g_");
  CRuleEntry *l = rs->GetRuleEntries()[1].get();
  EXPECT_EQ(l->GetRule(), Length());  /* found by path */
  EXPECT_EQ(l->GetParameterValue("maxLen")->GetValue(), "100");
  EXPECT_EQ(l->GetParameterValue("minLen")->GetValue(), "2");
  EXPECT_EQ(rs->GetCheckedRulesCount(), 2);
}

TEST_F(RulesTest, RuleSetRoundTrip) {
  CRuleSet rs;
  rs.SetFilePath(dir.Path("user/rulesets/mine.rsf"));
  rs.SetName("Mine");
  auto e = std::make_unique<CRuleEntry>(Naming());
  e->SetCheck(true);
  auto *pv = dynamic_cast<CRulePatternValue *>(e->GetParameterValue("globalPattern"));
  pv->SetUseParts(true);
  pv->SetBeginPart("s_", false);
  rs.AddRuleEntry(std::move(e));
  auto l = std::make_unique<CRuleEntry>(Length());
  l->SetCheck(true);
  l->GetParameterValue("maxLen")->SetValue("72");
  rs.AddRuleEntry(std::move(l));
  rs.AddRuleEntry(std::make_unique<CRuleEntry>(Length()));  /* unchecked: not written */
  fs::create_directories(dir.Path("user/rulesets"));
  ASSERT_TRUE(rs.Save());
  /* Relative to the rule-set file: both sit in the scratch directory. */
  std::string naming = "../../inst/rules/naming.rul", len = "../../inst/rules/len/len.rul";
  EXPECT_EQ(ReadFile(dir.Path("user/rulesets/mine.rsf")),
            "TARQUIN ZKL 1.0 RULES FILE\nNAME=Mine\n"
            "\"Naming of globals\" \"" + naming + "\"  globalPattern {^s_(.*)} # {0,\"s_\"} {0,\"\"} {0,\"\"}\n"
            "\"Line length\" \"" + len + "\"  maxLen {72}, minLen {}\n");
  auto back = LoadSet("user/rulesets/mine.rsf", ReadFile(dir.Path("user/rulesets/mine.rsf")));
  ASSERT_EQ(back->GetRuleEntries().size(), 2u);
  auto *bv = dynamic_cast<CRulePatternValue *>(back->GetRuleEntries()[0]->GetParameterValue("globalPattern"));
  EXPECT_TRUE(bv->GetUseParts());
  EXPECT_EQ(bv->GetBeginPart().text, "s_");
  EXPECT_EQ(bv->GetValue(), "^s_(.*)");
  EXPECT_TRUE(back->GetRuleEntries()[1]->HasEqualParameters(*rs.GetRuleEntries()[1]));
  back->FillAllRules();
  EXPECT_EQ(back->GetRuleEntries().size(), 2u);
  CRuleSet partial;
  partial.FillAllRules();
  EXPECT_EQ(partial.GetRuleEntries().size(), 2u);
  EXPECT_EQ(partial.GetCheckedRulesCount(), 0);
}

TEST_F(RulesTest, ParameterNamesAreReadAsDeclared) {
  WriteFile(dir.Path("inst/rules/odd.rul"), ".NAME odd\n.PARAMETER Num max-len.v2 \"L\" \"1\"\n");
  WriteFile(dir.Path("inst/rules/allrules.lst"), "\"Odd\" odd.rul\n");
  ASSERT_TRUE(env->GetAllRules().Load());
  auto rs = LoadSet("inst/rules/o.rsf", std::string(kRulesHeader) + "\"Odd\" odd.rul max-len.v2{7}\n");
  ASSERT_EQ(rs->GetRuleEntries().size(), 1u);
  EXPECT_EQ(rs->GetRuleEntries()[0]->GetParameterValue("max-len.v2")->GetValue(), "7");
}

TEST_F(RulesTest, HandEditedPartsAreDropped) {
  auto rs = LoadSet("inst/rules/e.rsf", std::string(kRulesHeader) +
                                            "\"Naming of globals\" naming.rul globalPattern {^x_.*} "
                                            "# {0,\"g_\"} {0,\"\"} {0,\"\"}\n");
  auto *pv = dynamic_cast<CRulePatternValue *>(rs->GetRuleEntries()[0]->GetParameterValue("globalPattern"));
  EXPECT_FALSE(pv->GetUseParts());
  EXPECT_EQ(pv->GetValue(), "^x_.*");
  auto neg = LoadSet("inst/rules/n.rsf", std::string(kRulesHeader) +
                                             "\"Naming of globals\" naming.rul globalPattern {^[^a](.*)} "
                                             "# {1,\"abc\"} {0,\"\"} {0,\"\"}\n");
  pv = dynamic_cast<CRulePatternValue *>(neg->GetRuleEntries()[0]->GetParameterValue("globalPattern"));
  EXPECT_TRUE(pv->GetUseParts());
  EXPECT_EQ(pv->GetBeginPart().text, "a");
}

TEST_F(RulesTest, RuleSetFormatErrors) {
  EXPECT_EQ(SetError(""), 34002u);
  EXPECT_EQ(SetError("TARQUIN ZKL 1.0 PROFIL FILE\n"), 34002u);
  EXPECT_EQ(SetError("TARQUIN ZKL 1.2 RULES FILE\nNAME=x\n"), 34003u);
  EXPECT_EQ(SetError("TARQUIN ZKL 1.0 RULES FILE\n"), 34005u);
  EXPECT_EQ(SetError("TARQUIN ZKL 1.0 RULES FILE\nno key\n"), 34004u);
  EXPECT_EQ(SetError("TARQUIN ZKL 1.0 RULES FILE\nTITLE=x\n"), 34005u);
  EXPECT_EQ(SetError("TARQUIN ZKL 1.0 RULES FILE\nNAME=\n"), 34005u);
  EXPECT_EQ(SetError(std::string(kRulesHeader) + "\"Unknown rule\" other.rul\n"), 34004u);
  EXPECT_EQ(SetError(std::string(kRulesHeader) + "\"Line length\" len/len.rul width {3}\n"), 34004u);
  EXPECT_EQ(SetError(std::string(kRulesHeader) + "\"Line length\" len/len.rul maxLen 3\n"), 34004u);
  EXPECT_EQ(SetError(std::string(kRulesHeader) + "\"Line length\" len/len.rul maxLen {3\n"), 34004u);
  EXPECT_EQ(SetError(std::string(kRulesHeader) + "\"Line length\" len/len.rul maxLen {3} # {0,\"\"}\n"),
            34004u);
  EXPECT_EQ(SetError(std::string(kRulesHeader) + "\"Line length\"\n"), 34004u);
  EXPECT_EQ(SetError(std::string(kRulesHeader) + "\"Line length\" len/len.rul\n"), 0u);
}

static std::vector<std::string> SplitLines(const std::string &text) {
  std::vector<std::string> out;
  std::stringstream s(text);
  std::string l;
  while (std::getline(s, l)) out.push_back(l);
  return out;
}

TEST_F(RulesTest, RuleListAndParameterFiles) {
  /* Two rules whose descriptions share a base name. */
  WriteFile(dir.Path("inst/rules/other/naming.rul"), ".NAME naming2\n.CODE\n");
  WriteFile(dir.Path("inst/rules/allrules.lst"),
            "\"Naming of globals\" naming.rul\n\"Second\" other/naming.rul\n");
  ASSERT_TRUE(env->GetAllRules().Load());
  WriteFile(dir.Path("dbg dir/keep"), "");
  WriteFile(dir.Path("inst/etc/csentrel.conf"), "PATH_DBG_DIR=" + dir.Path("dbg dir") + "\n");
  env->GetGlobals().Load();
  auto rs = LoadSet("inst/rules/two.rsf", std::string(kRulesHeader) +
                                              "\"Naming of globals\" naming.rul globalPattern {^k_}\n"
                                              "\"Second\" other/naming.rul\n");
  std::string list;
  CTextOutputString out(list);
  {
    CTrackTempFiles tracker;
    rs->SaveRuleList(tracker, &out);
    std::string p1 = dir.Path("dbg dir/naming.params"), p2 = dir.Path("dbg dir/naming1.params");
    EXPECT_EQ(list, "\"" + p1 + "\"\n" + dir.Path("inst/rules/naming.rul") + "\n\"" + p2 + "\"\n" +
                        dir.Path("inst/rules/other/naming.rul") + "\n");
    std::vector<std::string> lines = SplitLines(ReadFile(p1));
    ASSERT_EQ(lines.size(), 24u);
    EXPECT_EQ(lines[0], ".COMMENT");
    EXPECT_EQ(lines[21], "");
    EXPECT_EQ(lines[22], "global globalPattern");
    EXPECT_EQ(lines[23], "set globalPattern {^k_}");
    EXPECT_EQ(SplitLines(ReadFile(p2)).size(), 22u);
    EXPECT_EQ(tracker.GetCount(), 2);
  }
  EXPECT_EQ(DirEntries(dir.Path("dbg dir")), std::vector<std::string>{"keep"});

  for (auto &e : rs->GetRuleEntries()) e->SetCheck(false);
  list.clear();
  CTrackTempFiles none;
  rs->SaveRuleList(none, &out);
  EXPECT_EQ(list, "");

  rs->GetRuleEntries()[1]->SetCheck(true);
  fs::remove(dir.Path("inst/rules/other/naming.rul"));
  CTrackTempFiles t2;
  std::string arg;
  EXPECT_EQ(ThrownId([&] { rs->SaveRuleList(t2, &out); }, &arg), 34007u);
  EXPECT_EQ(arg, dir.Path("inst/rules/other/naming.rul"));
  t2.ClearFiles();
  EXPECT_EQ(DirEntries(dir.Path("dbg dir")), std::vector<std::string>{"keep"});

  /* A name the checker could not read back is refused, not written. */
  CRule *second = env->GetAllRules().FindRuleByDisplayName("Second");
  WriteFile(dir.Path("inst/rules/q\"uote.rul"), ".NAME q\n");
  second->SetFilePath("q\"uote.rul");
  EXPECT_EQ(ThrownId([&] { rs->SaveRuleList(t2, &out); }, &arg), 34029u);
  EXPECT_EQ(arg, "S");

  second->SetFilePath("");
  EXPECT_EQ(ThrownId([&] { rs->SaveRuleList(t2, &out); }, &arg), 34031u);
  EXPECT_EQ(arg, "S");

  WriteFile(dir.Path("inst/etc/csentrel.conf"), "PATH_DBG_DIR=" + dir.Path("no such dir") + "\n");
  env->GetGlobals().Load();
  EXPECT_EQ(ThrownId([&] { rs->SaveRuleList(t2, &out); }), 34028u);
}

/* The value a rule's code sees when its parameter file is evaluated. */
static std::string EvaluatedValue(const std::string &paramFile, const char *name) {
  Tcl_Interp *interp = Tcl_CreateInterp();
  std::string code;
  for (const std::string &l : SplitLines(paramFile))
    if (l.rfind("set ", 0) == 0) code += l + "\n";
  std::string value = "<evaluation failed>";
  if (Tcl_EvalEx(interp, code.c_str(), -1, TCL_EVAL_GLOBAL) == TCL_OK)
    value = Tcl_GetVar2(interp, name, nullptr, TCL_GLOBAL_ONLY);
  Tcl_DeleteInterp(interp);
  return value;
}

/* Patterns are regular expressions, so braces are ordinary in them: a
 * balanced value survives the rule-set file, and every value reaches the
 * rule exactly, also one that braces cannot carry. */
TEST_F(RulesTest, ValuesWithBracesSurviveAndReachTheRule) {
  auto rs = LoadSet("inst/rules/br.rsf", std::string(kRulesHeader) +
                                             "\"Naming of globals\" naming.rul globalPattern {^[a-z]{2,8}$}\n");
  ASSERT_EQ(rs->GetRuleEntries().size(), 1u);
  CRuleParameterValue *v = rs->GetRuleEntries()[0]->GetParameterValue("globalPattern");
  ASSERT_NE(v, nullptr);
  EXPECT_EQ(v->GetValue(), "^[a-z]{2,8}$");
  std::string saved;
  CTextOutputString out(saved);
  ASSERT_TRUE(v->Save(&out));
  EXPECT_EQ(saved, " globalPattern {^[a-z]{2,8}$}");

  for (const char *value : {"^[a-z]{2,8}$", "a}b", "{x", "end\\", "$v [cmd] \"q\""}) {
    v->SetValue(value);
    std::string file;
    CTextOutputString pf(file);
    ASSERT_TRUE(rs->GetRuleEntries()[0]->SaveParameterFile(&pf));
    EXPECT_EQ(EvaluatedValue(file, "globalPattern"), value) << file;
  }
  v->SetValue("^[a-z]{2,8}$");
  std::string file;
  CTextOutputString pf(file);
  ASSERT_TRUE(rs->GetRuleEntries()[0]->SaveParameterFile(&pf));
  EXPECT_NE(file.find("set globalPattern {^[a-z]{2,8}$}\n"), std::string::npos);
}
