/* Unique temporary names and the temporary-file tracker. */
#include <gtest/gtest.h>

#include "tessary_text.h"
#include "test_support.h"

TEST(TempFiles, NextFreeCandidate) {
  ScratchDir dir;
  WriteFile(dir.Path("zk.lrl"), "");
  WriteFile(dir.Path("zk1.lrl"), "");
  std::string d = dir.Path("");
  EXPECT_EQ(GetTempFilePath(d.c_str(), "zk", "lrl").Str(), dir.Path("zk2.lrl"));
  EXPECT_EQ(GetTempFilePath(d.c_str(), "/some/where/zk.c", "lrl").Str(), dir.Path("zk2.lrl"));
  EXPECT_EQ(GetTempFilePath(d.c_str(), "", "x").Str(), dir.Path("f.x"));
  EXPECT_EQ(GetTempFilePath(d.c_str(), "zk", nullptr).Str(), dir.Path("zk"));
  /* A dangling link takes its name too. */
  fs::create_symlink(dir.Path("nowhere"), dir.Path("g.t"));
  EXPECT_EQ(GetTempFilePath(d.c_str(), "g", "t").Str(), dir.Path("g1.t"));
  EXPECT_EQ(DirEntries(d).size(), 3u);
}

TEST(TempFiles, SystemDirectoryFromTMPDIR) {
  ScratchDir dir;
  const char *old = getenv("TMPDIR");
  std::string saved = old ? old : "";
  setenv("TMPDIR", dir.Str().c_str(), 1);
  EXPECT_EQ(GetSystemTempDir().Str(), dir.Str() + "/");
  EXPECT_EQ(GetTempFilePath(nullptr, "zk", "opt").Str(), dir.Path("zk.opt"));
  setenv("TMPDIR", "", 1);
  EXPECT_EQ(GetSystemTempDir().Str(), "/tmp/");
  if (old)
    setenv("TMPDIR", saved.c_str(), 1);
  else
    unsetenv("TMPDIR");
}

TEST(TempFiles, TrackerDeletesWhatItTracks) {
  ScratchDir dir;
  std::string d = dir.Path("");
  {
    CTrackTempFiles t;
    CPathName p1;
    FILE *f = t.CreateTempFile(d.c_str(), "zk", "opt", &p1);
    ASSERT_TRUE(f);
    EXPECT_EQ(p1.Str(), dir.Path("zk.opt"));
    std::fputs("line\n", f);
    EXPECT_EQ(t.CloseTempFile(f).Str(), p1.Str());
    EXPECT_EQ(ReadFile(p1.Str()), "line\n");
    EXPECT_TRUE(t.CloseTempFile(f).IsEmpty());  /* already closed */
    CPathName out = t.CreateTempFilePath(d.c_str(), "zkout", "txt");
    EXPECT_EQ(out.Str(), dir.Path("zkout.txt"));
    EXPECT_TRUE(fs::exists(out.Str()));  /* reserved */
    CPathName p2 = GetTempFilePath(d.c_str(), "zk", "opt");
    EXPECT_EQ(p2.Str(), dir.Path("zk1.opt"));
    ASSERT_TRUE(t.AddFilePath(p2, true));  /* left open: closed by the clear */
    fs::create_directory(dir.Path("sub"));
    CPathName sub(dir.Path("sub/"));
    EXPECT_EQ(t.AddFilePath(sub, false), nullptr);
    EXPECT_EQ(t.GetCount(), 4);
    CTrackTempFiles moved(std::move(t));
    EXPECT_EQ(t.GetCount(), 0);
    EXPECT_EQ(moved.GetCount(), 4);
  }
  EXPECT_TRUE(DirEntries(d).empty());
}

TEST(TempFiles, PlantedFileIsNeverOpened) {
  ScratchDir dir;
  std::string d = dir.Path("");
  WriteFile(dir.Path("victim"), "precious\n");
  CTrackTempFiles t;
  /* The name was free when chosen; someone plants a link before opening. */
  CPathName p = GetTempFilePath(d.c_str(), "zk", "def");
  fs::create_symlink(dir.Path("victim"), p.Str());
  FILE *f = t.AddFilePath(p, true);
  ASSERT_TRUE(f);
  EXPECT_EQ(p.Str(), dir.Path("zk1.def"));
  std::fputs("mine\n", f);
  t.ClearFiles();
  EXPECT_EQ(ReadFile(dir.Path("victim")), "precious\n");
  EXPECT_TRUE(fs::is_symlink(dir.Path("zk.def")));
  EXPECT_FALSE(fs::exists(dir.Path("zk1.def")));
}
