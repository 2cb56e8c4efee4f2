/* Tokenising rules of the character sources, sinks and key/value lines. */
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include "tessary_text.h"
#include "test_support.h"

static std::vector<std::string> Lines(const std::string &text, bool trimmed) {
  CTextInputString in(text);
  std::vector<std::string> out;
  std::string s;
  while (trimmed ? in.ReadTrimmedLine(s) : in.ReadLine(s)) out.push_back(s);
  return out;
}

TEST(TextInput, ReadLineSkipsEmptyLinesOfEitherEnding) {
  EXPECT_EQ(Lines("a\r\n\r\nb\n\n\nc", false), (std::vector<std::string>{"a", "b", "c"}));
  EXPECT_EQ(Lines("\n\n", false), std::vector<std::string>{});
  EXPECT_EQ(Lines("", false), std::vector<std::string>{});
  /* A blank line is not empty for ReadLine, but ReadTrimmedLine skips it. */
  EXPECT_EQ(Lines("a\n  \t\n b \n", false), (std::vector<std::string>{"a", "  \t", " b "}));
  EXPECT_EQ(Lines("a\n  \t\n b \n", true), (std::vector<std::string>{"a", "b"}));
}

TEST(TextInput, NulByteInFileEndsTheInput) {
  ScratchDir dir;
  std::string path = dir.Path("nul.txt");
  WriteFile(path, std::string("one\ntw\0o\nthree\n", 15));
  CTextIO io;
  auto in = io.StartTextInput(path);
  ASSERT_TRUE(in);
  std::string s;
  ASSERT_TRUE(in->ReadLine(s));
  EXPECT_EQ(s, "one");
  ASSERT_TRUE(in->ReadLine(s));
  EXPECT_EQ(s, "tw");
  EXPECT_FALSE(in->ReadLine(s));
  EXPECT_TRUE(in->IsEOF());
  EXPECT_FALSE(in->NextChar());
}

TEST(TextInput, ContinuationLinesAreJoined) {
  CTextInputString in("first \\\nsecond\\\nthird\nnext");
  std::string s;
  ASSERT_TRUE(in.ReadLineContinuous(s));
  EXPECT_EQ(s, "first secondthird");
  ASSERT_TRUE(in.ReadLineContinuous(s));
  EXPECT_EQ(s, "next");
  CTextInputString tail("end\\");
  ASSERT_TRUE(tail.ReadLineContinuous(s));
  EXPECT_EQ(s, "end");
}

TEST(TextInput, GetFunctionsAppendAndFailOnlyAtEnd) {
  CTextInputString in("abc12_x+y");
  std::string s = "pre:";
  ASSERT_TRUE(in.GetWhileChars(s));
  EXPECT_EQ(s, "pre:abc");
  ASSERT_TRUE(in.GetWhileIdents(s));
  EXPECT_EQ(s, "pre:abc12_x");
  EXPECT_EQ(in.Current(), '+');
  s.clear();
  ASSERT_TRUE(in.GetUntilOneOf(s, "y"));
  EXPECT_EQ(s, "+");
  ASSERT_TRUE(in.SkipUntilOneOf("q"));
  EXPECT_TRUE(in.IsEOF());
  EXPECT_FALSE(in.GetUntilOneOf(s, "x"));
  EXPECT_FALSE(in.SkipWhileOneOf(" "));
  EXPECT_FALSE(in.SkipBlanks());
}

TEST(TextInput, QuotedStringsAndOptions) {
  std::string s;
  CTextInputString q("\"a b\" rest");
  ASSERT_TRUE(q.ReadQuotedString(s));
  EXPECT_EQ(s, "a b");
  EXPECT_EQ(q.Current(), ' ');
  CTextInputString unquoted("x\"");
  EXPECT_FALSE(unquoted.ReadQuotedString(s));
  CTextInputString open("\"never closed");
  EXPECT_FALSE(open.ReadQuotedString(s));

  CTextInputString opt("  \"Max len\" word  ,item, \"open");
  ASSERT_TRUE(opt.RetrievePureOption(s, '"'));
  EXPECT_EQ(s, "Max len");
  ASSERT_TRUE(opt.RetrievePureOption(s, '"'));
  EXPECT_EQ(s, "word");
  ASSERT_TRUE(opt.RetrievePureOption(s, ','));  /* unquoted: up to the blank */
  EXPECT_EQ(s, "item");
  EXPECT_FALSE(opt.RetrievePureOption(s, '"'));  /* closing quote missing */
  EXPECT_EQ(s, "open");
  EXPECT_FALSE(opt.RetrievePureOption(s, '"'));

  CTextInputString commas(",/usr/my inc,");
  ASSERT_TRUE(commas.RetrievePureOption(s, ','));
  EXPECT_EQ(s, "/usr/my inc");
}

TEST(TextInput, ReadPathTakesQuotedOrRestOfLine) {
  std::string p;
  CTextInputString q("  \"/my dir/r.rul\" tail");
  EXPECT_TRUE(q.ReadPath(p));
  EXPECT_EQ(p, "/my dir/r.rul");
  CTextInputString plain(" rules/a b.rul \nnext");
  EXPECT_TRUE(plain.ReadPath(p));
  EXPECT_EQ(p, "rules/a b.rul");
  CTextInputString none("   ");
  EXPECT_FALSE(none.ReadPath(p));
  EXPECT_EQ(p, "");
}

TEST(TextFunctions, KeyAndValue) {
  std::string k, v;
  EXPECT_TRUE(GetKeyAndValue("KEY = some value ", k, v));
  EXPECT_EQ(k, "KEY");
  EXPECT_EQ(v, "some value");
  EXPECT_FALSE(GetKeyAndValue("A B=1", k, v));
  EXPECT_EQ(k, "");
  EXPECT_FALSE(GetKeyAndValue("=1", k, v));
  EXPECT_FALSE(GetKeyAndValue("no equals", k, v));
  EXPECT_FALSE(GetKeyAndValue("A-B=1", k, v));
  EXPECT_TRUE(GetKeyAndValue("EMPTY=", k, v));
  EXPECT_EQ(v, "");
  EXPECT_TRUE(GetKeyAndValue("X=a=b", k, v));
  EXPECT_EQ(v, "a=b");
}

TEST(TextFunctions, SmallHelpers) {
  std::string s = "  \"quoted\"  ";
  RemoveEnclosed(s, '"');
  EXPECT_EQ(s, "quoted");
  s = "\"";
  RemoveEnclosed(s, '"');
  EXPECT_EQ(s, "");
  s = "a1b2-3";
  ConvertToDigits(s);
  EXPECT_EQ(s, "123");
  EXPECT_TRUE(IsIdent('_'));
  EXPECT_FALSE(IsIdent('-'));
  EXPECT_EQ(QuoteIfNeeded("/a/b"), "/a/b");
  EXPECT_EQ(QuoteIfNeeded("/a b/c"), "\"/a b/c\"");
  setenv("TESSARY_T_VAR", "/v", 1);
  unsetenv("TESSARY_T_UNSET");
  EXPECT_EQ(ExpandEnvironment("$TESSARY_T_VAR/x:${TESSARY_T_VAR}y$TESSARY_T_UNSET."), "/v/x:/vy.");
  EXPECT_EQ(ExpandEnvironment("cost $ 5 ${open"), "cost $ 5 ${open");
}

TEST(TextOutput, StringAndFileSinks) {
  std::string target;
  CTextOutputString out(target);
  EXPECT_TRUE(out.WriteString("a"));
  EXPECT_TRUE(out.WriteString(static_cast<const char *>(nullptr)));
  EXPECT_TRUE(out.WriteLine(static_cast<const char *>(nullptr)));
  EXPECT_TRUE(out.WritePath("/x y", true));
  EXPECT_TRUE(out.WritePath("/z", false));
  EXPECT_EQ(target, "a\n\"/x y\"/z");

  FILE *full = std::fopen("/dev/full", "w");
  if (full) {
    std::setvbuf(full, nullptr, _IONBF, 0);
    CTextOutputFile f(full);
    EXPECT_FALSE(f.WriteLine("x"));
    std::fclose(full);
  }
}

TEST(TextIO, SaveReplacesOnlyWhenComplete) {
  ScratchDir dir;
  std::string path = dir.Path("f.txt");
  WriteFile(path, "old\n");
  {
    CTextIO io;
    auto out = io.StartTextOutput(path);
    ASSERT_TRUE(out);
    out->WriteLine("written");
    /* destroyed without Close: the stream is closed and what was written
     * is in place, no leftover */
  }
  EXPECT_EQ(ReadFile(path), "written\n");
  EXPECT_EQ(DirEntries(dir.Str()).size(), 1u);
  WriteFile(path, "old\n");
  {
    CTextIO io;
    auto out = io.StartTextOutput(path);
    ASSERT_TRUE(out);
    out->WriteLine("partial");
    io.Discard();
    EXPECT_EQ(io.Stream(), nullptr);
  }
  EXPECT_EQ(ReadFile(path), "old\n");
  EXPECT_EQ(DirEntries(dir.Str()).size(), 1u);
  {
    CTextIO io;
    auto out = io.StartTextOutput(path);
    ASSERT_TRUE(out);
    out->WriteLine("new");
    EXPECT_TRUE(io.Close());
  }
  EXPECT_EQ(ReadFile(path), "new\n");
  EXPECT_EQ(DirEntries(dir.Str()).size(), 1u);
  CTextIO io;
  EXPECT_FALSE(io.StartTextInput(""));
  EXPECT_FALSE(io.StartTextInput(dir.Path("missing")));
  EXPECT_FALSE(io.StartTextOutput(dir.Path("no/such/dir/x")));
  EXPECT_TRUE(io.Close());
}

/* A write that fails (here: the disc is full) keeps the previous file,
 * whether the stream is closed or merely destroyed. */
TEST(TextIO, FailedWriteKeepsThePreviousFile) {
  ScratchDir dir;
  std::string path = dir.Path("f.txt");
  for (bool close : {true, false}) {
    SCOPED_TRACE(close ? "Close" : "destructor");
    WriteFile(path, "old\n");
    {
      CTextIO io;
      auto out = io.StartTextOutput(path);
      ASSERT_TRUE(out);
      int full = ::open("/dev/full", O_WRONLY);
      if (full < 0) GTEST_SKIP() << "no /dev/full";
      ASSERT_GE(::dup2(full, ::fileno(io.Stream())), 0);
      ::close(full);
      out->WriteLine("lost");
      if (close) {
        EXPECT_FALSE(io.Close());
      }
    }
    EXPECT_EQ(ReadFile(path), "old\n");
    EXPECT_EQ(DirEntries(dir.Str()).size(), 1u);
  }
}

TEST(TextIO, SaveThroughSymlinkKeepsTheLink) {
  ScratchDir dir;
  WriteFile(dir.Path("real.txt"), "old\n");
  fs::create_symlink(dir.Path("real.txt"), dir.Path("link.txt"));
  CTextIO io;
  auto out = io.StartTextOutput(dir.Path("link.txt"));
  ASSERT_TRUE(out);
  out->WriteLine("new");
  ASSERT_TRUE(io.Close());
  EXPECT_TRUE(fs::is_symlink(dir.Path("link.txt")));
  EXPECT_EQ(ReadFile(dir.Path("real.txt")), "new\n");
}

TEST(DelimitedString, ItemsAreTrimmedAndEmptyOnesSkipped) {
  CCommaList l(" A=1, ,B ,");
  EXPECT_EQ(l.GetItems(), (std::vector<std::string>{"A=1", "B"}));
  EXPECT_TRUE(l.Contains("B"));
  EXPECT_TRUE(l.Remove("A=1"));
  EXPECT_EQ(l.GetText(), "B");
  l.Add("C");
  EXPECT_EQ(l.GetText(), "B,C");
  CCommaList empty(" , ");
  EXPECT_TRUE(empty.IsEmpty());
  CLineList lines("one\ntwo");
  EXPECT_EQ(lines.GetCount(), 2);
}

/* Macro definitions carry commas of their own: only a comma outside
 * parentheses and quotes separates items.  A parenthesis or quote never
 * closed (an odd directory name) protects nothing. */
TEST(DelimitedString, CommasInsideParenthesesAndQuotesStayInTheItem) {
  CCommaList l("MAX(a,b)=((a)>(b)?(a):(b)), SEP=\",\", Q=\"x\\\",(y\",/opt/a(b, N");
  EXPECT_EQ(l.GetItems(), (std::vector<std::string>{"MAX(a,b)=((a)>(b)?(a):(b))", "SEP=\",\"",
                                                    "Q=\"x\\\",(y\"", "/opt/a(b", "N"}));
  EXPECT_TRUE(l.Contains("MAX(a,b)=((a)>(b)?(a):(b))"));
  EXPECT_FALSE(l.Contains("MAX(a"));
  EXPECT_TRUE(l.Remove("SEP=\",\""));
  EXPECT_EQ(l.GetCount(), 4);
  CCommaList unclosed("A=\"x,B");
  EXPECT_EQ(unclosed.GetItems(), (std::vector<std::string>{"A=\"x", "B"}));
  /* Other lists split at every delimiter. */
  CLineList lines("f(a\nb)");
  EXPECT_EQ(lines.GetCount(), 2);
}

TEST(TextInput, StringSourceMidAndPosition) {
  CTextInputString in("abcdef");
  in.NextChar();
  in.NextChar();
  EXPECT_EQ(in.Position(), 2u);
  EXPECT_EQ(in.Mid(1, 3), "bcd");
  EXPECT_EQ(in.Mid(4), "ef");
  EXPECT_EQ(in.Mid(10), "");
  CTextInputString nul(std::string("ab\0cd", 5));
  std::string s;
  ASSERT_TRUE(nul.ReadLine(s));
  EXPECT_EQ(s, "ab");
  EXPECT_FALSE(nul.ReadLine(s));
}

TEST(TextIO, AttachAndDetach) {
  ScratchDir dir;
  std::string path = dir.Path("a.txt");
  WriteFile(path, "x\n");
  FILE *f = std::fopen(path.c_str(), "r");
  ASSERT_TRUE(f);
  {
    CTextIO io;
    io.Attach(f);
    EXPECT_EQ(io.Stream(), f);
    EXPECT_EQ(io.Detach(), f);
    EXPECT_EQ(io.Stream(), nullptr);
  }
  EXPECT_EQ(std::fgetc(f), 'x');  /* still open: detached before destruction */
  CTextIO owner;
  owner.Attach(f);
  EXPECT_TRUE(owner.Close());
}
