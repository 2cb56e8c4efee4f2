/* Persistence, companion files, the modified state and the default state. */
#include <gtest/gtest.h>

#include "tessary_persist.h"
#include "tessary_profile.h"
#include "test_support.h"

namespace {

class Notes : public CPersistFileObject {
 public:
  bool LoadFile(CTextInput *in) override {
    lines.clear();
    std::string s;
    while (in->ReadTrimmedLine(s)) lines.push_back(s);
    return true;
  }
  bool SaveFile(CTextOutput *out) const override {
    for (const auto &l : lines)
      if (!out->WriteLine(l)) return false;
    if (throwSave) CZKException::Throw(34001, "companion");
    return !failSave;
  }
  std::vector<std::string> lines;
  bool failSave = false;
  bool throwSave = false;  /* as a companion that cannot be written */
};

class Watcher : public CNotifiedByState {
 public:
  void OnModifiedState(CModifiedState *source, bool modified) override {
    calls.push_back({source, modified});
  }
  std::vector<std::pair<CModifiedState *, bool>> calls;
};

}  // namespace

TEST(Persist, LoadAndSaveMessages) {
  ScratchDir dir;
  Notes n;
  n.SetPrefixPath(dir.Path("") + "/");
  n.SetFilePath("sub/../notes.txt");
  EXPECT_EQ(n.GetFullPath().Str(), dir.Path("sub/../notes.txt"));
  std::string arg;
  EXPECT_EQ(ThrownId([&] { n.Load(); }, &arg), 34007u);
  EXPECT_EQ(arg, dir.Path("notes.txt"));  /* long form */
  n.lines = {"a", "b"};
  EXPECT_TRUE(n.Save());
  EXPECT_EQ(ReadFile(dir.Path("notes.txt")), "a\nb\n");
  Notes m;
  m.SetFilePath(dir.Path("notes.txt"));
  EXPECT_TRUE(m.Load());
  EXPECT_EQ(m.lines, n.lines);
  EXPECT_TRUE(m == n);

  n.failSave = true;
  n.lines = {"c"};
  EXPECT_EQ(ThrownId([&] { n.Save(); }), 34008u);
  EXPECT_EQ(ReadFile(dir.Path("notes.txt")), "a\nb\n");  /* old file intact */
  EXPECT_EQ(DirEntries(dir.Str()).size(), 1u);
  n.failSave = false;
  n.throwSave = true;
  EXPECT_EQ(ThrownId([&] { n.Save(); }), 34001u);
  EXPECT_EQ(ReadFile(dir.Path("notes.txt")), "a\nb\n");
  EXPECT_EQ(DirEntries(dir.Str()).size(), 1u);
  n.throwSave = false;

  Notes bad;
  bad.SetFilePath(dir.Path("no/such/dir/f"));
  EXPECT_EQ(ThrownId([&] { bad.Save(); }), 34001u);
  fs::create_directory(dir.Path("adir"));
  bad.SetFilePath(dir.Path("adir"));
  EXPECT_EQ(ThrownId([&] { bad.Load(); }), 34001u);
  if (geteuid() != 0) {
    WriteFile(dir.Path("locked"), "x");
    fs::permissions(dir.Path("locked"), fs::perms::none);
    bad.SetFilePath(dir.Path("locked"));
    EXPECT_EQ(ThrownId([&] { bad.Load(); }), 34001u);
  }
  Notes copy;
  copy.ResetToStateOf(&n);
  EXPECT_EQ(copy.GetFullPath(), n.GetFullPath());
  copy.ResetToStateOf(nullptr);
  EXPECT_EQ(copy.GetFullPath(), n.GetFullPath());
}

TEST(Persist, CompanionFilesFollowTheirContent) {
  ScratchDir dir;
  Notes owner;
  owner.SetFilePath(dir.Path("gcc.prf"));
  WriteFile(dir.Path("gcc.def"), "taken\n");
  CPreprocessor pp;
  pp.SetOwner(&owner);
  pp.ProcessPathName();
  EXPECT_TRUE(pp.GetFullPath().IsEmpty());  /* empty: no file */
  pp.SetDefines("X");
  pp.ProcessPathName();
  EXPECT_EQ(pp.GetFullPath().Str(), dir.Path("gcc1.def"));
  pp.Save();
  EXPECT_EQ(ReadFile(dir.Path("gcc1.def")), "DX\n");
  pp.SetDefines("");
  pp.ProcessPathName();
  EXPECT_TRUE(pp.GetFullPath().IsEmpty());
  EXPECT_FALSE(fs::exists(dir.Path("gcc1.def")));
  EXPECT_TRUE(fs::exists(dir.Path("gcc.def")));
  CAnalyzer an;
  an.SetOwner(&owner);
  an.SetMacroNames("M");
  an.ProcessPathName();
  EXPECT_EQ(an.GetFullPath().Str(), dir.Path("gcc.mac"));
  CIgnoreCode ig;
  ig.SetOwner(&owner);
  ig.AddClause("#if 0", "#endif");
  ig.ProcessPathName();
  EXPECT_EQ(ig.GetFullPath().Str(), dir.Path("gcc.ign"));
}

TEST(ModifiedState, ObserversHearOnlyChanges) {
  CModifiedState s;
  Watcher a, b;
  s.ModifiedStateAdvise(&a);
  s.ModifiedStateAdvise(&a);
  s.ModifiedStateAdvise(nullptr);
  s.ModifiedStateAdvise(&b);
  EXPECT_EQ(s.GetObservers().size(), 2u);
  s.SetModifiedState(false);  /* already false */
  EXPECT_TRUE(a.calls.empty());
  s.SetModifiedState(true);
  s.SetModifiedState(true);
  ASSERT_EQ(a.calls.size(), 1u);
  EXPECT_EQ(a.calls[0].first, &s);
  EXPECT_TRUE(a.calls[0].second);
  EXPECT_EQ(b.calls.size(), 1u);
  s.ModifiedStateUnadvise(&a);
  s.SetModifiedState(false);
  EXPECT_EQ(a.calls.size(), 1u);
  EXPECT_EQ(b.calls.size(), 2u);

  /* Copying the state goes through the setter: the old observers hear of
   * the change, then the other's observers are taken over. */
  CModifiedState other;
  Watcher c;
  other.ModifiedStateAdvise(&c);
  other.SetModifiedState(true);
  s.ResetToStateOf(&other);
  EXPECT_TRUE(s.IsModified());
  EXPECT_EQ(b.calls.size(), 3u);
  EXPECT_EQ(s.GetObservers(), std::vector<CNotifiedByState *>{&c});
  EXPECT_TRUE(s == other);
}

TEST(DefaultState, CompanionsFallBackToTheirDefault) {
  CPreprocessor model;
  model.SetDefines("A,B");
  model.SetIncludes("/inc");
  CPreprocessor copy(&model);
  EXPECT_TRUE(copy == model);
  copy.SetDefines("C");
  EXPECT_FALSE(copy == model);
  copy.ResetToDefaultState();
  EXPECT_TRUE(copy == model);
  CPreprocessor plain;
  plain.SetDefines("Z");
  plain.ResetToDefaultState();
  EXPECT_TRUE(plain.IsEmpty());

  CAnalyzer main;
  main.SetExpandMacro(false);
  CAnalyzer child;
  child.SetMainAnalyzer(&main);
  child.SetMacroNames("M");
  child.ResetToDefaultState();
  EXPECT_TRUE(child.IsEmpty());
  EXPECT_FALSE(child.IsExpandMacro());  /* inherited from the main analyzer */
  CAnalyzer orphan;
  orphan.SetExpandMacro(false);
  orphan.ResetToDefaultState();
  EXPECT_TRUE(orphan.IsExpandMacro());

  CObjectWithDefaultState x, y;
  x.SetName("n");
  y.ResetToStateOf(&x);
  EXPECT_TRUE(y == x);
  y.ResetToStateOf(nullptr);
  EXPECT_EQ(y.GetName(), "n");
}

TEST(DefaultState, ProfileCopyKeepsItsModelAsDefault) {
  ScratchDir dir;
  CProfile model;
  model.SetName("base");
  model.SetFilePath(dir.Path("base.prf"));
  model.GetPreprocessor()->SetDefines("M=1");
  model.GetMakeCommand()->SetMakeCommandPath("make");
  CProfile copy(&model);
  EXPECT_EQ(copy.GetDefaultProfile(), &model);
  EXPECT_EQ(copy.GetName(), "base");
  EXPECT_EQ(copy.GetPreprocessor()->GetDefines().GetText(), "M=1");
  /* The companions' files stay the owner's own. */
  EXPECT_TRUE(copy.GetPreprocessor()->GetFullPath().IsEmpty());
  copy.SetFilePath(dir.Path("mine.prf"));
  copy.GetPreprocessor()->SetDefines("");
  copy.GetMakeCommand()->SetMakeCommandPath("gmake");
  copy.ResetToDefaultState();
  EXPECT_EQ(copy.GetPreprocessor()->GetDefines().GetText(), "M=1");
  EXPECT_EQ(copy.GetMakeCommand()->GetMakeCommandPath(), "make");
  EXPECT_EQ(copy.GetFilePath().Str(), dir.Path("mine.prf"));
  copy.GetMakeCommand()->SetTargetOption("t");
  copy.GetMakeCommand()->ResetToDefaultState();
  EXPECT_EQ(copy.GetMakeCommand()->GetTargetOption(), "");
}
