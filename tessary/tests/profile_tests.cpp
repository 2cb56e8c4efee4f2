/* Profile files, companion files, variables, command-line forms, dialects. */
#include <gtest/gtest.h>

#include "env_support.h"
#include "tessary_profile.h"

class ProfileTest : public EnvTest {
 protected:
  void SetUp() override {
    EnvTest::SetUp();
    env->SetGUI(false);  /* unknown dialect options create entries */
  }
  CProfile *LoadProfile(const std::string &rel, const std::string &text, bool *ok = nullptr) {
    WriteFile(dir.Path(rel), text);
    profiles.push_back(std::make_unique<CProfile>());
    CProfile *p = profiles.back().get();
    p->SetFilePath(dir.Path(rel));
    bool r = p->Load();
    if (ok) *ok = r;
    return p;
  }
  unsigned LoadError(const std::string &text) {
    return ThrownId([&] { LoadProfile("p/bad.prf", text); });
  }
  std::vector<std::unique_ptr<CProfile>> profiles;
};

static const char kHeader[] = "TARQUIN ZKL 1.0 PROFIL FILE\n";

TEST_F(ProfileTest, HandWrittenProfileLoads) {
  WriteFile(dir.Path("p/gcc.def"), "I/usr/include\n\nID:/odd\nDX=1\nAsys(unix)\n# comment\nDY\n");
  WriteFile(dir.Path("p/gcc.mac"), "  MAC1 \n\nMAC2\n");
  WriteFile(dir.Path("p/gcc.ign"), "#if 0 --> #endif\n__asm -->\n");
  bool ok = false;
  CProfile *p = LoadProfile("p/gcc.prf",
                            std::string("\n  ") + kHeader +
                                "NAME = GNU C 12\n"
                                "DEF=gcc.def\n"
                                "IGN=gcc.ign\n"
                                "MACROFILE=gcc.mac\n"
                                "EXPANDMACRO=y\n"
                                "BUILD=tools/extract\n"
                                "MAKE_COMMAND_PATH=/usr/bin/make\n"
                                "MAKE_MAKEFILE_NAME_OPTION=-f\n"
                                "MAKE_BUILD_ALL_OPTION=-B\n"
                                "MAKE_TARGET_OPTION=\n"
                                "DIALECT=gcc\n"
                                "COMPILE_VARS=|CC||gcc||CFLAGS||-O2 -g|\n"
                                "MAKE_VARS=|MAKE||gmake|\n"
                                "FUTURE_KEY=kept\n",
                            &ok);
  ASSERT_TRUE(ok);
  EXPECT_EQ(p->GetName(), "GNU C 12");
  EXPECT_EQ(p->GetPreprocessor()->GetIncludes().GetText(), "/usr/include,D:/odd");
  EXPECT_EQ(p->GetPreprocessor()->GetDefines().GetText(), "X=1,Y");
  EXPECT_EQ(p->GetPreprocessor()->GetAssertions().GetText(), "sys(unix)");
  EXPECT_EQ(p->GetAnalyzer()->GetMacroNames().GetText(), "MAC1,MAC2");
  EXPECT_TRUE(p->GetAnalyzer()->IsExpandMacro());
  ASSERT_EQ(p->GetIgnoreCode()->GetClauses().size(), 2u);
  EXPECT_TRUE(p->GetIgnoreCode()->HasClause("#if 0", "#endif"));
  EXPECT_TRUE(p->GetIgnoreCode()->HasClause("__asm", ""));
  EXPECT_EQ(p->GetMakeCommand()->GetExtractFilesCmd().Str(), dir.Path("p/tools/extract"));
  EXPECT_EQ(p->GetMakeCommand()->GetMakeCommandPath(), "/usr/bin/make");
  EXPECT_EQ(p->GetMakeCommand()->GetBuildAllOption(), "-B");
  ASSERT_NE(p->GetDialect(), nullptr);
  EXPECT_EQ(p->GetDialect()->GetDialOption(), "gcc");
  std::vector<MakVar> want = {{"CC", "gcc", 0}, {"CFLAGS", "-O2 -g", 0}, {"MAKE", "gmake", 1}};
  EXPECT_EQ(p->GetLstMakVars(), want);
  EXPECT_EQ(p->GetUnknownLines(), "FUTURE_KEY=kept");
  EXPECT_FALSE(p->IsModified());
}

TEST_F(ProfileTest, SavedProfileRoundTrips) {
  CProfile p;
  p.SetFilePath(dir.Path("p/my.prf"));
  p.SetName("Mine");
  p.GetPreprocessor()->SetDefines("A=1, B");
  p.GetPreprocessor()->SetIncludes("/inc one");
  p.GetIgnoreCode()->AddClause("#pragma asm", "#pragma endasm");
  p.GetAnalyzer()->SetExpandMacro(false);
  p.GetMakeCommand()->SetMakeCommandPath("make");
  p.SetDialect(env->RetrieveDialect("gcc", true));
  p.SetLstMakVars({{"CC", "cl", 0}, {"E", "", 0}, {"a|b", "v", 1}});
  fs::create_directories(dir.Path("p"));
  ASSERT_TRUE(p.Save());
  EXPECT_EQ(ReadFile(dir.Path("p/my.prf")),
            "TARQUIN ZKL 1.0 PROFIL FILE\n"
            "NAME=Mine\n"
            "DEF=my.def\n"
            "IGN=my.ign\n"
            "BUILD=\n"
            "MAKE_COMMAND_PATH=make\n"
            "MAKE_MAKEFILE_NAME_OPTION=\n"
            "MAKE_BUILD_ALL_OPTION=\n"
            "MAKE_TARGET_OPTION=\n"
            "EXPANDMACRO=N\n"
            "MACROFILE=\n"
            "DIALECT=gcc\n"
            "COMPILE_VARS=|CC||cl||E|||\n"
            "MAKE_VARS= a|b |v|\n");
  EXPECT_EQ(ReadFile(dir.Path("p/my.def")), "I/inc one\nDA=1\nDB\n");
  EXPECT_EQ(ReadFile(dir.Path("p/my.ign")), "#pragma asm --> #pragma endasm\n");
  EXPECT_FALSE(fs::exists(dir.Path("p/my.mac")));

  bool ok = false;
  CProfile *back = LoadProfile("p/my.prf", ReadFile(dir.Path("p/my.prf")), &ok);
  ASSERT_TRUE(ok);
  EXPECT_EQ(back->GetLstMakVars(), p.GetLstMakVars());
  EXPECT_EQ(back->GetPreprocessor()->GetIncludes().GetText(), "/inc one");
  EXPECT_TRUE(*back->GetIgnoreCode() == *p.GetIgnoreCode());
  EXPECT_FALSE(back->GetAnalyzer()->IsExpandMacro());

  /* Reloading a text that names no companion file forgets the old one. */
  CProfile reload;
  reload.SetFilePath(dir.Path("p/my.prf"));
  ASSERT_TRUE(reload.Load());
  EXPECT_EQ(reload.GetPreprocessor()->GetFullPath().Str(), dir.Path("p/my.def"));
  WriteFile(dir.Path("p/other.prf"), std::string(kHeader) + "NAME=o\nDIALECT=gcc\n");
  reload.SetFilePath(dir.Path("p/other.prf"));
  ASSERT_TRUE(reload.Load());
  EXPECT_TRUE(reload.GetPreprocessor()->GetFullPath().IsEmpty());

  /* A companion that becomes empty loses its file at the next save. */
  back->GetIgnoreCode()->RemoveClause("#pragma asm", "#pragma endasm");
  back->GetAnalyzer()->SetMacroNames("M");
  ASSERT_TRUE(back->Save());
  EXPECT_FALSE(fs::exists(dir.Path("p/my.ign")));
  EXPECT_EQ(ReadFile(dir.Path("p/my.mac")), "M\n");
  std::string text = ReadFile(dir.Path("p/my.prf"));
  EXPECT_NE(text.find("\nIGN=\n"), std::string::npos);
  EXPECT_NE(text.find("\nMACROFILE=my.mac\n"), std::string::npos);
}

/* A function-like macro keeps its commas through the companion file, a
 * save and the one-line form that applications store. */
TEST_F(ProfileTest, DefinitionsWithCommasSurvive) {
  const std::string max = "MAX(a,b)=((a)>(b)?(a):(b))";
  const std::string def = "D" + max + "\nDSEP=\",\"\nDPAIR(t, n)=t n\n";
  WriteFile(dir.Path("p/m.def"), "I/inc\n" + def);
  bool ok = false;
  CProfile *p = LoadProfile("p/m.prf", std::string(kHeader) + "NAME=m\nDEF=m.def\nDIALECT=gcc\n", &ok);
  ASSERT_TRUE(ok);
  const CPreprocessor &pp = *p->GetPreprocessor();
  EXPECT_EQ(pp.GetDefines().GetItems(), (std::vector<std::string>{max, "SEP=\",\"", "PAIR(t, n)=t n"}));
  ASSERT_TRUE(p->Save());
  EXPECT_EQ(ReadFile(dir.Path("p/m.def")), "I/inc\n" + def);

  EXPECT_EQ(pp.GetOptionsText(), " /D," + max + ", /D,SEP=\",\", /D,PAIR(t, n)=t n, /I,/inc,");
  CPreprocessor back;
  CTextInputString in(pp.GetOptionsText());
  ASSERT_TRUE(back.LoadCmdLine(&in));
  EXPECT_TRUE(back == pp) << back.GetDefines().GetText();
}

TEST_F(ProfileTest, UnnamedProfileIsSavedAsUnknown) {
  CProfile p;
  p.SetFilePath(dir.Path("u.prf"));
  ASSERT_TRUE(p.Save());
  EXPECT_NE(ReadFile(dir.Path("u.prf")).find("\nNAME=Unknown\n"), std::string::npos);
}

TEST_F(ProfileTest, FormatErrors) {
  EXPECT_EQ(LoadError(""), 34002u);
  EXPECT_EQ(LoadError("tarquin ZKL 1.0 PROFIL FILE\nNAME=x\n"), 34002u);
  EXPECT_EQ(LoadError("TARQUIN ZKL 1 PROFIL FILE\n"), 34002u);
  EXPECT_EQ(LoadError("TARQUIN ZKL 1.0 RULES FILE\n"), 34002u);
  EXPECT_EQ(LoadError("TARQUIN ZKL 1.0 PROFIL FILE extra\n"), 34002u);
  EXPECT_EQ(LoadError("TARQUIN ZKL 1.1 PROFIL FILE\nNAME=x\n"), 34003u);
  EXPECT_EQ(LoadError("TARQUIN ZKL 2.0 PROFIL FILE\n"), 34003u);
  EXPECT_EQ(LoadError(std::string(kHeader) + "NAME=x\nnot a key line\n"), 34004u);
  EXPECT_EQ(LoadError(std::string(kHeader) + "NAME=\nDIALECT=gcc\n"), 34005u);
  EXPECT_EQ(LoadError(std::string(kHeader) + "DIALECT=gcc\n"), 34005u);
  std::string arg;
  ThrownId([&] { LoadProfile("p/./bad.prf", "junk\n"); }, &arg);
  EXPECT_EQ(arg, dir.Path("p/bad.prf"));
  WriteFile(dir.Path("p/bad.ign"), "--> tail only\n");
  EXPECT_EQ(LoadError(std::string(kHeader) + "NAME=x\nDIALECT=gcc\nIGN=bad.ign\n"), 34004u);
}

TEST_F(ProfileTest, LoadFailsWithoutDialectOrCompanion) {
  bool ok = true;
  LoadProfile("p/a.prf", std::string(kHeader) + "NAME=x\n", &ok);
  EXPECT_FALSE(ok);
  LoadProfile("p/b.prf", std::string(kHeader) + "NAME=x\nDIALECT=gcc\nDEF=gone.def\n", &ok);
  EXPECT_FALSE(ok);
  LoadProfile("p/c.prf", std::string(kHeader) + "NAME=x\nDIALECT=gcc\nEXPANDMACRO=yes\nDEF=\n", &ok);
  EXPECT_TRUE(ok);
  EXPECT_FALSE(profiles.back()->GetAnalyzer()->IsExpandMacro());
}

TEST(MakVars, DelimiterCandidates) {
  EXPECT_EQ(GetMakVarDelimiter("CC"), '|');
  EXPECT_EQ(GetMakVarDelimiter("a|b"), ' ');
  EXPECT_EQ(GetMakVarDelimiter("a| b"), '@');
  std::string all = "| @#$%^&*()~\"'-+,.?/<>\\[]{}1234567890qwertyuiopasdfghjklzxcvbnm";
  EXPECT_EQ(GetMakVarDelimiter(all.substr(0, 62)), 'm');
  EXPECT_EQ(GetMakVarDelimiter(all), '\t');
  std::vector<MakVar> vars = {{"CC", "cl", 0}};
  EXPECT_EQ(EncodeMakVars(vars, 0), "|CC||cl|");
  EXPECT_EQ(EncodeMakVars(vars, 1), "");
  /* Every variable survives, whatever characters it holds. */
  std::vector<MakVar> odd = {{"a|b c", "x y|z@", 1}, {all, all, 1}, {"N", "", 1}};
  std::vector<MakVar> back;
  EXPECT_TRUE(DecodeMakVars(EncodeMakVars(odd, 1), 1, back));
  EXPECT_EQ(back, odd);
  back.clear();
  EXPECT_FALSE(DecodeMakVars("|CC||cl||DROPPED|", 0, back));
  ASSERT_EQ(back.size(), 1u);
  EXPECT_EQ(back[0].name, "CC");
}

TEST(Companions, CommandLineForms) {
  CPreprocessor pp;
  pp.SetDefines("A=1,B");
  pp.SetIncludes("/usr/my inc");
  pp.SetAssertions("m(x)");
  EXPECT_EQ(pp.GetOptionsText(), " /D,A=1, /D,B, /I,/usr/my inc, /A,m(x),");
  CPreprocessor back;
  CTextInputString in(pp.GetOptionsText());
  ASSERT_TRUE(back.LoadCmdLine(&in));
  EXPECT_TRUE(back == pp);
  CTextInputString dash(" -D,X, -q -I,/a/b, /Z,no, /D");
  back.LoadCmdLine(&dash);
  EXPECT_EQ(back.GetDefines().GetText(), "X");
  EXPECT_EQ(back.GetIncludes().GetText(), "/a/b");

  CIgnoreCode ig;
  ig.AddClause("#if 0", "#endif");
  ig.AddClause("asm", "");
  EXPECT_FALSE(ig.AddClause("#if 0", "#endif"));
  EXPECT_FALSE(ig.AddClause("  ", "x"));
  EXPECT_EQ(ig.GetOptionsText(), "#if 0 --> #endif|asm --> |");
  CIgnoreCode ig2;
  CTextInputString line(ig.GetOptionsText());
  ig2.LoadLine(&line);
  EXPECT_TRUE(ig2 == ig);
  EXPECT_EQ(CIgnoreClause::CreateClause(" a --> b ")->GetClauseText(), "a --> b");
  EXPECT_EQ(CIgnoreClause::CreateClause(" --> b"), nullptr);
  EXPECT_EQ(CIgnoreClause::CreateClause("only head")->GetTail(), "");
}

TEST_F(ProfileTest, DialectList) {
  WriteFile(dir.Path("d/gcc.prf"), std::string(kHeader) + "NAME=GNU\nDIALECT=gcc\n");
  WriteFile(dir.Path("d/dialects.lst"),
            "\"GNU C\" gcc.prf gcc\n"
            "\n"
            "\"Only name\"\n"
            "\"Broken\" missing.prf brk\n"
            "\"My dir\" \"\" \"my opt\"\n");
  CDialects &d = env->GetDialects();
  d.SetFilePath(dir.Path("d/dialects.lst"));
  ASSERT_TRUE(d.Load());
  ASSERT_EQ(d.GetEntries().size(), 3u);
  EXPECT_EQ(d.GetEntries()[0]->GetName(), "GNU C");
  ASSERT_NE(d.GetEntries()[0]->GetDialectProfile(), nullptr);
  EXPECT_EQ(d.GetEntries()[0]->GetDialectProfile()->GetDialect(), d.GetEntries()[0].get());
  EXPECT_EQ(d.GetEntries()[1]->GetDialOption(), "");
  EXPECT_EQ(d.GetEntries()[1]->GetDialectProfile(), nullptr);
  EXPECT_EQ(d.GetEntries()[2]->GetDialOption(), "my opt");
  EXPECT_EQ(log.Ids(), (std::vector<unsigned>{34085, 34084, 34007, 34050, 34084}));
  EXPECT_EQ(log.messages[0].second, dir.Path("d/gcc.prf"));

  EXPECT_EQ(d.RetrieveDialect("gcc", false), d.GetEntries()[0].get());
  EXPECT_EQ(d.RetrieveDialect("GCC", false), d.GetEntries()[2].get());  /* the last one */
  CDialectEntry *made = d.RetrieveDialect("new", true);
  EXPECT_EQ(made->GetName(), "new");
  EXPECT_EQ(d.GetEntries().size(), 4u);
  CDialects empty;
  EXPECT_EQ(empty.RetrieveDialect("x", false), nullptr);

  WriteFile(dir.Path("d/bad.lst"), "unquoted gcc.prf gcc\n");
  CDialects bad;
  bad.SetFilePath(dir.Path("d/bad.lst"));
  EXPECT_EQ(ThrownId([&] { bad.Load(); }), 34004u);
  WriteFile(dir.Path("d/bad.lst"), "\"  \" x\n");
  EXPECT_EQ(ThrownId([&] { bad.Load(); }), 34004u);
  std::string nothing;
  CTextOutputString out(nothing);
  EXPECT_TRUE(d.SaveFile(&out));
  EXPECT_EQ(nothing, "");
}

TEST_F(ProfileTest, GuiProfilesAlwaysGetADialect) {
  env->SetGUI(true);
  env->GetDialects().RetrieveDialect("gcc", true);
  bool ok = false;
  CProfile *p = LoadProfile("p/x.prf", std::string(kHeader) + "NAME=x\nDIALECT=unheard\n", &ok);
  ASSERT_TRUE(ok);
  EXPECT_EQ(p->GetDialect()->GetDialOption(), "gcc");
  EXPECT_EQ(env->GetDialects().GetEntries().size(), 1u);
}
