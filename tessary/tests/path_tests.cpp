/* Path names: canonical and relative forms, joining, parts, extensions. */
#include <gtest/gtest.h>

#include "tessary_text.h"
#include "test_support.h"

static std::string Canon(const char *p) {
  CPathName c(p);
  return c.Canonicalize().Str();
}

TEST(PathName, CanonicalForm) {
  EXPECT_EQ(Canon("/a//b/./c/../d"), "/a/b/d");
  EXPECT_EQ(Canon("\\a\\\\b/./c\\..\\d"), "/a/b/d");
  EXPECT_EQ(Canon("../x/./y"), "../x/y");
  EXPECT_EQ(Canon("../../x"), "../../x");   /* a kept ".." is never cancelled */
  EXPECT_EQ(Canon("a/../../x"), "../x");
  EXPECT_EQ(Canon("/../x"), "/x");          /* nothing above the root */
  EXPECT_EQ(Canon("/a/b/"), "/a/b/");
  EXPECT_EQ(Canon("/a/b/.."), "/a/");
  EXPECT_EQ(Canon("a/.."), ".");
  EXPECT_EQ(Canon("/"), "/");
  CPathName p("  /a/./b  ");
  EXPECT_EQ(p.Str(), "/a/./b");
  p.Canonicalize();
  EXPECT_EQ(p.Flags(), unsigned(CPathName::CANONICAL));
  p.MakeShort();
  EXPECT_EQ(p.Flags(), 3u);
  p.MakeLong();
  EXPECT_EQ(p.Flags(), 5u);
  p.SetExtension("c");
  EXPECT_EQ(p.Flags(), 0u);
  CPathName rel("x/../y");
  EXPECT_FALSE(rel.MakeShort());
  EXPECT_EQ(rel.Str(), "x/../y");
}

TEST(PathName, MakeShortNeverTouchesTheDisk) {
  ScratchDir dir;
  CPathName p(dir.Path("new dir/sub/../file.c"));
  ASSERT_TRUE(p.MakeShort());
  EXPECT_EQ(p.Str(), dir.Path("new dir/file.c"));
  EXPECT_TRUE(DirEntries(dir.Str()).empty());
}

TEST(PathName, RelativeForm) {
  EXPECT_EQ(CPathName("/x/y/f.prf").GetRelativeTo("/x/z/g.app").Str(), "../y/f.prf");
  EXPECT_EQ(CPathName("/x/y/f.prf").GetRelativeTo("/x/y/").Str(), "f.prf");
  EXPECT_EQ(CPathName("/x/y/./f.prf").GetRelativeTo("/x/a/b/g.app").Str(), "../../y/f.prf");
  /* Only the root shared, or a relative side: unchanged. */
  EXPECT_EQ(CPathName("/opt/r/f.prf").GetRelativeTo("/home/u/g.app").Str(), "/opt/r/f.prf");
  EXPECT_EQ(CPathName("y/f.prf").GetRelativeTo("/x/g.app").Str(), "y/f.prf");
  /* Letter case matters. */
  EXPECT_EQ(CPathName("/X/y/f").GetRelativeTo("/x/y/g").Str(), "/X/y/f");
  /* Resolving gives the path back. */
  CPathName back("../y/f.prf");
  back.MakeFullRelativeBy("/x/z/g.app");
  back.Canonicalize();
  EXPECT_EQ(back.Str(), "/x/y/f.prf");
  EXPECT_EQ(CPathName("/a/b/c").GetCommonPrefix("/a/b/d").Str(), "/a/b/");
  EXPECT_EQ(CPathName("/a/bc").GetCommonPrefix("/a/bd").Str(), "/a/");
}

TEST(PathName, Joining) {
  EXPECT_EQ((CPathName("/a") + CPathName("b")).Str(), "/a/b");
  EXPECT_EQ((CPathName("/a/") + CPathName("b")).Str(), "/a/b");
  EXPECT_EQ((CPathName("/a") + CPathName("/b")).Str(), "/b");
  EXPECT_EQ((CPathName("") + CPathName("b")).Str(), "b");
  EXPECT_EQ((CPathName("/a") + CPathName("")).Str(), "/a");
  CPathName m("f.c");
  m.MakeFullRelativeBy("/p/q.app");
  EXPECT_EQ(m.Str(), "/p/f.c");
  CPathName full("/f.c");
  full.MakeFullRelativeBy("/p/q.app");
  EXPECT_EQ(full.Str(), "/f.c");
}

TEST(PathName, PartsAndSeparators) {
  CPathName p("/d\\e/name.tar.gz");
  EXPECT_EQ(p.GetDirectory().Str(), "/d\\e/");
  EXPECT_EQ(p.GetFileName(), "name.tar.gz");
  EXPECT_EQ(p.GetFileNameNoExtension(), "name.tar");
  EXPECT_EQ(p.GetExtension(), "gz");
  EXPECT_EQ(CPathName("/d.x/name").GetExtension(), "");
  EXPECT_EQ(CPathName("/d/").GetFileName(), "");
  EXPECT_EQ(CPathName("plain").GetFileName(), "plain");
  EXPECT_EQ(CPathName("plain").GetDirectory().Str(), "");
  EXPECT_TRUE(CPathName("/").IsRoot());
  EXPECT_FALSE(CPathName("/a").IsRoot());
  EXPECT_EQ(CPathName("/a/b").GetRoot().Str(), "/");
  EXPECT_EQ(CPathName("a/b").GetRoot().Str(), "");
  EXPECT_TRUE(CPathName("\\a").IsFull(true));
  EXPECT_FALSE(CPathName("a").IsFull(false));
  CPathName d("/x");
  d.AddEndingDirSeparator();
  EXPECT_EQ(d.Str(), "/x/");
  d.AddEndingDirSeparator();
  EXPECT_EQ(d.Str(), "/x/");
  d.RemoveEndingDirSeparator();
  EXPECT_EQ(d.Str(), "/x");
  CPathName e;
  e.AddEndingDirSeparator();
  EXPECT_TRUE(e.IsEmpty());
  EXPECT_EQ(CPathName::ConvertSlashes("a\\\\/b//c"), "a/b/c");
}

TEST(PathName, Extensions) {
  CPathName p("/a/proj.app");
  EXPECT_TRUE(p.CheckExtension("app"));
  EXPECT_TRUE(p.CheckExtension(".app"));
  EXPECT_TRUE(p.CheckExtension("*.app"));
  EXPECT_FALSE(p.CheckExtension("APP"));  /* names differ by letter case */
  EXPECT_FALSE(p.CheckExtension(nullptr));
  EXPECT_FALSE(CPathName("/a/").CheckExtension(""));
  EXPECT_TRUE(p.CheckExtensionOneOf("prf;rsf;app", ';'));
  EXPECT_FALSE(p.CheckExtensionOneOf("prf;rsf", ';'));
  std::string filter = "Profiles|*.prf|Applications|*.app;*.xap|";
  EXPECT_TRUE(p.CheckExtensionFromFilter(filter, 1, '|'));
  EXPECT_FALSE(p.CheckExtensionFromFilter(filter, 0, '|'));
  EXPECT_FALSE(p.CheckExtensionFromFilter(filter, 5, '|'));
  CPathName s("/a/b.old");
  ASSERT_TRUE(s.SetExtension("new"));
  EXPECT_EQ(s.Str(), "/a/b.new");
  ASSERT_TRUE(s.SetExtension(".c"));
  EXPECT_EQ(s.Str(), "/a/b.c");
  CPathName noext("/a.d/b");
  noext.SetExtension("h");
  EXPECT_EQ(noext.Str(), "/a.d/b.h");
  CPathName dir("/a/");
  EXPECT_FALSE(dir.SetExtension("x"));
}

TEST(PathName, CompareIsCanonicalAndCaseSensitive) {
  EXPECT_EQ(CPathName("/a/./b"), CPathName("/a//b"));
  EXPECT_NE(CPathName("/a/B"), CPathName("/a/b"));
  EXPECT_TRUE(CPathName("/a") < CPathName("/b"));
  EXPECT_NE(CPathName("a/../b"), CPathName("b"));  /* relative: as written */
}

TEST(PathName, DiskQueries) {
  ScratchDir dir;
  WriteFile(dir.Path("f"), "x");
  CPathName f(dir.Path("f")), d(dir.Path("") + "/");
  EXPECT_TRUE(f.Exists());
  EXPECT_TRUE(f.IsFile());
  EXPECT_FALSE(f.IsDirectory());
  EXPECT_TRUE(d.Exists());
  EXPECT_TRUE(d.IsDirectory());
  EXPECT_TRUE(f.CanRead());
  EXPECT_FALSE(CPathName().Exists());
  CPathName n(dir.Path("new"));
  EXPECT_TRUE(n.IsValid());
  EXPECT_FALSE(n.Exists());
  EXPECT_FALSE(CPathName(dir.Path("no/such/x")).IsValid());
  EXPECT_TRUE(f.Delete());
  EXPECT_FALSE(f.Exists());
  fs::create_directory(dir.Path("sub"));
  EXPECT_TRUE(CPathName(dir.Path("sub/")).Delete());
  EXPECT_FALSE(fs::exists(dir.Path("sub")));
}
