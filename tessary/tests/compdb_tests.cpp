/* Reading compilation databases: both command forms, paths relative to
 * the entry's directory, the options that decide preprocessing, entries
 * that are not C, and the factoring of shared settings into the
 * application level. */
#include <gtest/gtest.h>

#include "tessary_app.h"
#include "tessary_compdb.h"
#include "test_support.h"

namespace {

std::vector<std::string> Items(const CCommaList &l) { return l.GetItems(); }

CCompilationDatabase Read(const std::string &text) {
  CCompilationDatabase db;
  db.LoadText(text, CPathName("/proj/build/compile_commands.json"));
  return db;
}

TEST(CompdbWords, SplitsAsAShellWould) {
  EXPECT_EQ(SplitShellWords("cc  -DA='x y' \"-DB=\\\"q\\\"\" a\\ b.c\t-c"),
            (std::vector<std::string>{"cc", "-DA=x y", "-DB=\"q\"", "a b.c", "-c"}));
  EXPECT_EQ(SplitShellWords("''"), (std::vector<std::string>{""}));
  EXPECT_TRUE(SplitShellWords("   ").empty());
  /* An unclosed quote takes the rest of the text instead of failing. */
  EXPECT_EQ(SplitShellWords("cc 'open"), (std::vector<std::string>{"cc", "open"}));
}

TEST(CompdbStandards, MapToTheDialects) {
  EXPECT_EQ(MapStandardToDialect("c89"), "ansi");
  EXPECT_EQ(MapStandardToDialect("iso9899:1999"), "c99");
  EXPECT_EQ(MapStandardToDialect("c17"), "c11");
  EXPECT_EQ(MapStandardToDialect("gnu99"), "gnu");
  EXPECT_EQ(MapStandardToDialect("c++17"), "");
}

TEST(CompdbRead, BothFormsWithTheirOptionsAndPaths) {
  CCompilationDatabase db = Read(R"([
    {"directory": "/proj/build", "file": "../src/a.c",
     "command": "ccache /usr/bin/cc -DA=1 -D B -DQ=\"\\\"s p\\\"\" -I../inc -I /abs/inc -isystem sys -iquote q -std=c99 -c ../src/a.c -o a.o"},
    {"directory": "sub", "file": "b.c",
     "arguments": ["gcc", "-UA", "-DA=2", "-UA", "-DC", "-idirafter", "late", "-include", "cfg.h", "-std=gnu11", "-c", "b.c"]}
  ])");
  ASSERT_EQ(db.GetEntries().size(), 2u);
  const SCompileEntry &a = db.GetEntries()[0];
  EXPECT_EQ(a.file.Str(), "/proj/src/a.c");
  EXPECT_EQ(a.defines, (std::vector<std::string>{"A=1", "B", "Q=\"s p\""}));
  /* Search order: -iquote, -I in order, -isystem. */
  EXPECT_EQ(a.includes, (std::vector<std::string>{"/proj/build/q", "/proj/inc", "/abs/inc", "/proj/build/sys"}));
  EXPECT_EQ(a.standard, "c99");
  const SCompileEntry &b = db.GetEntries()[1];
  /* A relative directory is the database's own directory's. */
  EXPECT_EQ(b.file.Str(), "/proj/build/sub/b.c");
  EXPECT_EQ(b.defines, (std::vector<std::string>{"C"}));
  EXPECT_EQ(b.includes, (std::vector<std::string>{"/proj/build/sub/late"}));
  EXPECT_EQ(b.forcedIncludes, (std::vector<std::string>{"/proj/build/sub/cfg.h"}));
  /* Each form counted once per entry that used it. */
  std::vector<std::pair<std::string, int>> unsupported = db.GetUnsupportedOptions();
  EXPECT_EQ(unsupported, (std::vector<std::pair<std::string, int>>{{"-U", 1}, {"-include", 1}}));
}

TEST(CompdbRead, SkipsWhatIsNotCAndCountsDuplicates) {
  CCompilationDatabase db = Read(R"([
    {"directory": "/p", "file": "a.c", "command": "cc -c a.c"},
    {"directory": "/p", "file": "a.c", "command": "cc -DOTHER -c a.c"},
    {"directory": "/p", "file": "x.cpp", "command": "c++ -c x.cpp"},
    {"directory": "/p", "file": "y.c", "command": "g++ -c y.c"},
    {"directory": "/p", "file": "z.c", "command": "clang -x c++ -c z.c"},
    {"directory": "/p", "file": "w.h", "command": "cc -x c -c w.h"},
    {"directory": "/p", "file": "s.S", "command": "cc -c s.S"},
    {"file": "nodir.c", "command": "cc -c nodir.c"},
    {"directory": "/p", "file": "nocmd.c"},
    42
  ])");
  EXPECT_EQ(db.GetEntryCount(), 10);
  ASSERT_EQ(db.GetEntries().size(), 2u);
  EXPECT_EQ(db.GetEntries()[0].file.Str(), "/p/a.c");
  /* The first entry of a file wins. */
  EXPECT_TRUE(db.GetEntries()[0].defines.empty());
  EXPECT_EQ(db.GetEntries()[1].file.Str(), "/p/w.h");
  EXPECT_EQ(db.GetDuplicateCount(), 1);
  EXPECT_EQ(db.GetSkippedCount(), 4);
  EXPECT_EQ(db.GetInvalidCount(), 3);
}

TEST(CompdbRead, RefusesWhatIsNoDatabase) {
  for (const char *text : {"{\"directory\": \"/p\"}", "[ {", "not json"}) {
    CCompilationDatabase db;
    try {
      db.LoadText(text, CPathName("/p/cc.json"));
      FAIL() << text;
    } catch (const CZKException &e) {
      EXPECT_EQ(e.GetID(), 34004u);
      EXPECT_EQ(e.GetArg(), "/p/cc.json");
      EXPECT_FALSE(db.GetErrorDetail().empty());
    }
  }
  ScratchDir d("compdb");
  CCompilationDatabase db;
  try {
    db.Load(CPathName(d.Path("missing.json")));
    FAIL();
  } catch (const CZKException &e) {
    EXPECT_EQ(e.GetID(), 34007u);
  }
}

TEST(CompdbRead, DialectIsTheMostFrequentStandard) {
  EXPECT_EQ(Read(R"([{"directory":"/p","file":"a.c","command":"cc -std=c99 -c a.c"},
                     {"directory":"/p","file":"b.c","command":"cc -std=gnu11 -c b.c"},
                     {"directory":"/p","file":"c.c","command":"cc -std=gnu17 -c c.c"}])")
                .GetDialectOption(),
            "gnu");
  EXPECT_EQ(Read(R"([{"directory":"/p","file":"a.c","command":"cc -c a.c"}])").GetDialectOption(), "");
}

TEST(CompdbImport, SharedSettingsGoToTheApplication) {
  CCompilationDatabase db = Read(R"([
    {"directory": "/p", "file": "a.c", "command": "cc -DALL -DONLY_A -I/p/inc -I/p/a -c a.c"},
    {"directory": "/p", "file": "b.c", "command": "cc -DONLY_B -DALL -I/p/inc -c b.c"},
    {"directory": "/p", "file": "c.c", "command": "cc -I/p/c -I/p/inc -DALL -c c.c"}
  ])");
  CApplication app;
  CFileEntry *kept = app.AddFileEntry(CPathName("/p/old.c"));
  kept->SetCheck(false);
  CFileEntry *existing = app.AddFileEntry(CPathName("/p/b.c"));
  existing->SetCheck(false);
  db.ImportInto(app);
  EXPECT_EQ(Items(app.GetPreprocessor()->GetDefines()), (std::vector<std::string>{"ALL"}));
  /* c.c searches /p/c before /p/inc: no common beginning, nothing moves. */
  EXPECT_TRUE(app.GetPreprocessor()->GetIncludes().IsEmpty());
  ASSERT_EQ(app.GetFileEntries().size(), 4u);
  CFileEntry *a = app.FindFileEntry(CPathName("/p/a.c"));
  ASSERT_TRUE(a);
  EXPECT_EQ(Items(a->GetPreprocessor()->GetDefines()), (std::vector<std::string>{"ONLY_A"}));
  EXPECT_EQ(Items(a->GetPreprocessor()->GetIncludes()), (std::vector<std::string>{"/p/inc", "/p/a"}));
  EXPECT_TRUE(a->IsCheck());
  EXPECT_TRUE(a->IsReferenced());
  /* The file the application listed already is updated in place. */
  EXPECT_EQ(app.FindFileEntry(CPathName("/p/b.c")), existing);
  EXPECT_TRUE(existing->IsCheck());
  EXPECT_EQ(Items(existing->GetPreprocessor()->GetDefines()), (std::vector<std::string>{"ONLY_B"}));
  EXPECT_FALSE(kept->IsCheck());

  CCompilationDatabase same = Read(R"([
    {"directory": "/p", "file": "a.c", "command": "cc -I/p/inc -I/p/x -c a.c"},
    {"directory": "/p", "file": "b.c", "command": "cc -I/p/inc -I/p/x -I/p/b -c b.c"}
  ])");
  CApplication app2;
  same.ImportInto(app2);
  EXPECT_EQ(Items(app2.GetPreprocessor()->GetIncludes()), (std::vector<std::string>{"/p/inc", "/p/x"}));
  EXPECT_TRUE(app2.FindFileEntry(CPathName("/p/a.c"))->GetPreprocessor()->GetIncludes().IsEmpty());
  EXPECT_EQ(Items(app2.FindFileEntry(CPathName("/p/b.c"))->GetPreprocessor()->GetIncludes()),
            (std::vector<std::string>{"/p/b"}));
}

}  // namespace
