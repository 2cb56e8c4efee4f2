/* Recording a compile in the application: new files with their options,
 * the question when stored options differ, the answer without a display,
 * the list of compiled files, and what makes a capture refuse to run. */
#include <gtest/gtest.h>

#include "asker.h"
#include "capture_list.h"
#include "capture_run.h"
#include "capture_support.h"

using Words = std::vector<std::string>;

namespace {

class ScriptedAsker : public CCaptureAsker {
 public:
  explicit ScriptedAsker(bool answer) : answer_(answer) {}
  bool AskReplaceOptions(const CPathName &file) override {
    asked.push_back(file.Str());
    return answer_;
  }
  Words asked;

 private:
  bool answer_;
};

/* Collects what the capture program writes on its error stream. */
class ErrorStream {
 public:
  ErrorStream() : f_(open_memstream(&buf_, &size_)) {}
  ~ErrorStream() {
    if (f_) fclose(f_);
    free(buf_);
  }
  FILE *Get() const { return f_; }
  std::string Text() {
    fflush(f_);
    return std::string(buf_, size_);
  }

 private:
  char *buf_ = nullptr;
  size_t size_ = 0;
  FILE *f_;
};

class RecordTest : public CaptureTest {
 protected:
  SCaptureRequest Compile(const Words &options) {
    Words args = {"/app=" + AppPath(), "/cc=cc"};
    args.insert(args.end(), options.begin(), options.end());
    return ReadCaptureRequest(args, CPathName(root + "/src/"));
  }
  bool Record(const SCaptureRequest &r, CCaptureAsker *asker) {
    CCaptureRun run(asker, err.Get());
    return run.Record(r);
  }
  ErrorStream err;
};

}  // namespace

TEST_F(RecordTest, NewFilesGetTheirOptions) {
  WriteApplication(root + "/Makefile");
  ASSERT_TRUE(StartCaptureList(CPathName(AppPath())));
  ASSERT_TRUE(Record(Compile({"-DA=1", "-I", "../inc", "-c", "a.c", "B.C", "x.cpp"}), nullptr));

  auto app = LoadApplication();
  ASSERT_EQ(app->GetFileEntries().size(), 2u);
  const CFileEntry *a = app->FindFileEntry(CPathName(root + "/src/a.c"));
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(Items(a->GetPreprocessor()->GetDefines()), (Words{"A=1"}));
  EXPECT_EQ(Items(a->GetPreprocessor()->GetIncludes()), (Words{root + "/inc"}));
  EXPECT_TRUE(a->IsCheck());
  EXPECT_NE(app->FindFileEntry(CPathName(root + "/src/B.C")), nullptr);
  EXPECT_EQ(ReadCaptureList(CPathName(AppPath())).size(), 2u);
  EXPECT_EQ(err.Text(), "");
}

TEST_F(RecordTest, SameOptionsAreNotAskedAbout) {
  WriteApplication(root + "/Makefile");
  ScriptedAsker asker(true);
  ASSERT_TRUE(Record(Compile({"-DA", "-DB=2", "-c", "a.c"}), &asker));
  ASSERT_TRUE(Record(Compile({"-DB=2", "-DA", "-c", "a.c"}), &asker));
  EXPECT_TRUE(asker.asked.empty());
}

TEST_F(RecordTest, ChangedOptionsAskAndYesReplaces) {
  WriteApplication(root + "/Makefile");
  ASSERT_TRUE(Record(Compile({"-DA", "-c", "a.c"}), nullptr));
  ScriptedAsker yes(true);
  ASSERT_TRUE(Record(Compile({"-DA", "-Inew", "-c", "a.c"}), &yes));
  EXPECT_EQ(yes.asked, (Words{root + "/src/a.c"}));
  EXPECT_EQ(GetReplaceOptionsQuestion(CPathName(yes.asked[0])),
            "Do you want to replace options for the file \"" + root + "/src/a.c\"?");
  auto app = LoadApplication();
  EXPECT_EQ(Items(app->GetFileEntries()[0]->GetPreprocessor()->GetIncludes()), (Words{root + "/src/new"}));
}

TEST_F(RecordTest, NoKeepsOptionsButTheFileStillCounts) {
  WriteApplication(root + "/Makefile");
  ASSERT_TRUE(Record(Compile({"-DOLD", "-c", "a.c"}), nullptr));
  ASSERT_TRUE(StartCaptureList(CPathName(AppPath())));
  ScriptedAsker no(false);
  ASSERT_TRUE(Record(Compile({"-DNEW", "-c", "a.c"}), &no));
  EXPECT_EQ(no.asked.size(), 1u);
  auto app = LoadApplication();
  EXPECT_EQ(Items(app->GetFileEntries()[0]->GetPreprocessor()->GetDefines()), (Words{"OLD"}));
  EXPECT_EQ(MarkCapturedEntries(*app, ReadCaptureList(CPathName(AppPath()))), 1);
  EXPECT_TRUE(app->GetFileEntries()[0]->IsReferenced());
}

TEST_F(RecordTest, WithoutDisplayOptionsAreKeptAndReported) {
  WriteApplication(root + "/Makefile");
  ASSERT_TRUE(Record(Compile({"-DOLD", "-c", "a.c"}), nullptr));
  ASSERT_TRUE(Record(Compile({"-DNEW", "-c", "a.c"}), nullptr));
  auto app = LoadApplication();
  EXPECT_EQ(Items(app->GetFileEntries()[0]->GetPreprocessor()->GetDefines()), (Words{"OLD"}));
  std::string text = err.Text();
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1);
  EXPECT_NE(text.find("teskel: the options of " + root + "/src/a.c differ"), std::string::npos) << text;
}

TEST_F(RecordTest, QuestionModuleThatCannotLoadCountsAsNoDisplay) {
  WriteApplication(root + "/Makefile");
  ASSERT_TRUE(Record(Compile({"-DOLD", "-c", "a.c"}), nullptr));
  CModuleAsker asker(root + "/lib/no-such-module.so");
  ASSERT_TRUE(Record(Compile({"-DNEW", "-c", "a.c"}), &asker));
  EXPECT_NE(err.Text().find("are not updated (no display to ask on)"), std::string::npos);
  EXPECT_EQ(Items(LoadApplication()->GetFileEntries()[0]->GetPreprocessor()->GetDefines()), (Words{"OLD"}));
}

TEST_F(RecordTest, ExistingSettingsAndRuleSetSurviveTheRecording) {
  WriteApplication(root + "/Makefile", {root + "/src/kept.c"});
  {
    auto app = LoadApplication();
    app->GetPreprocessor()->SetDefines(CCommaList("APP_LEVEL"));
    app->GetFileEntries()[0]->SetCheck(false);
    app->Save();
  }
  Restart();
  ASSERT_TRUE(Record(Compile({"-c", "a.c"}), nullptr));
  auto app = LoadApplication();
  EXPECT_EQ(Items(app->GetPreprocessor()->GetDefines()), (Words{"APP_LEVEL"}));
  ASSERT_NE(app->FindFileEntry(CPathName(root + "/src/kept.c")), nullptr);
  EXPECT_FALSE(app->FindFileEntry(CPathName(root + "/src/kept.c"))->IsCheck());
  EXPECT_EQ(app->GetMakefilePath().Str(), root + "/Makefile");
  ASSERT_NE(app->GetAppRuleSet(), nullptr);
  EXPECT_EQ(app->GetAppRuleSet()->GetFullPath().Str(), root + "/rules/std.rsf");
}

TEST_F(RecordTest, NothingIsRecordedOrRunWhenTheApplicationIsUnfit) {
  WriteApplication("");
  CCaptureRun run(nullptr, err.Get());
  SCaptureRequest r = Compile({"-c", "a.c"});
  EXPECT_EQ(run.Run(r), eCaptureFailed);
  EXPECT_NE(err.Text().find("names no makefile"), std::string::npos);

  r.appPath = CPathName(root + "/missing.app");
  EXPECT_EQ(run.Run(r), eCaptureFailed);
  EXPECT_FALSE(CPathName(root + "/missing.app").Exists());

  SCaptureRequest usage = ReadCaptureRequest({"/cc=cc", "a.c"}, CPathName(root + "/"));
  EXPECT_EQ(run.Run(usage), eCaptureUsage);
  EXPECT_NE(err.Text().find("usage: teskel /app="), std::string::npos);
}
