/*
 * workbench_tests.cpp - the workbench driven as a user drives it, on the
 * offscreen platform: menus and prompts, the combo bar, check runs of the
 * example project and their failures and cancellation, the results table
 * and the source window, the makefile retriever, and the questions about
 * unsaved work.
 */
#include <QAction>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QProcess>
#include <QSettings>
#include <QPushButton>
#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QDialog>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>
#include <QTextBlock>
#include <QTimer>
#include <csignal>
#include <sys/types.h>

#include "appdoc.h"
#include "brindle.h"
#include "csyntax.h"
#include "fixture.h"
#include "makefill.h"
#include "messages.h"
#include "output.h"
#include "report.h"
#include "sourceview.h"
#include "tableout.h"
#include "tessary_app.h"
#include "tessary_env.h"
#include "waitdlg.h"
#include "wendrel_combo.h"

namespace {

QString Plain(QString text) { return text.remove('&'); }

QStringList MenuItems(QMenuBar *bar, const QString &menu) {
  for (QAction *m : bar->actions()) {
    if (Plain(m->text()) != menu || !m->menu()) continue;
    emit m->menu()->aboutToShow();
    QStringList items;
    for (QAction *a : m->menu()->actions())
      if (!a->isSeparator() && a->isVisible()) items << Plain(a->text());
    return items;
  }
  return {};
}

void WriteText(const QString &path, const QString &text) {
  QFile f(path);
  QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
  f.write(text.toUtf8());
}

QString ReadText(const QString &path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

/* A process that is gone or a zombie waiting for its parent. */
bool IsGone(pid_t pid) {
  if (::kill(pid, 0) != 0) return true;
  QString stat = ReadText(QString("/proc/%1/stat").arg(pid));
  qsizetype close = stat.lastIndexOf(')');
  return close > 0 && stat.mid(close + 2, 1) == "Z";
}

/* Settings of the build tree's installation with another checker. */
QString SettingsWithChecker(const QString &checker) {
  QString b = CWorkbenchFixture::BuildDir();
  return QString("DIALECTS=%1/util/dialects.lst\nPROFILES=%1/util/profiles.lst\n"
                 "ALLRULES=%1/rules/catalogue.lst\nRULESETS=%1/rules/rulesets.lst\nCHECKER=%2\n")
      .arg(b, checker);
}

CTableOutFrame *Results(CWorkbenchFixture &w) { return w.frame->View().ResultsFrame(); }

int RowOf(CTableOutView *v, const QString &file, int line, const QString &rule) {
  for (int r = 0; r < v->VisibleCount(); ++r) {
    const SViolation &x = v->VisibleViolation(r);
    if (ViolationPath(x).endsWith('/' + file) && x.line == line && QString::fromStdString(x.rule) == rule) return r;
  }
  return -1;
}

}  // namespace

class CWorkbenchTests : public QObject {
  Q_OBJECT

 private slots:
  void menusItemsAndPrompts();
  void comboBarFollowsAndSetsTheCurrents();
  void checkOfTheExampleFillsOutputAndResults();
  void rowsOpenTheSourceOnTheirLine();
  void reportPathsWithParentheses();
  void noRuleSetStopsBeforeAnythingIsWritten();
  void missingCheckerFailsTheCheck();
  void cancelEndsTheCheckerAndItsChildren();
  void makefileRetrieverFillsTheApplication();
  void makefileRetrieverCancelledOrFailing();
  void compilationDatabaseImportsIntoTheApplication();
  void unsavedChangesAndReplacingFiles();
  void checkerMessagesAndSyntaxColours();
  void startAndEndSequencesRemember();
  void editCommandsAndTheMessagesWindow();
  void programFromTheBuildTree();
};

void CWorkbenchTests::menusItemsAndPrompts() {
  CWorkbenchFixture w;
  QVERIFY(w.started);
  QMenuBar *bar = w.frame->menuBar();
  QStringList menus;
  for (QAction *m : bar->actions()) menus << Plain(m->text());
  QCOMPARE(menus, QStringList({"File", "Edit", "View", "Tools", "Window", "Help"}));
  QCOMPARE(MenuItems(bar, "File"), QStringList({"New", "Open...", "Save", "Save As...", "Modify...",
                                                "Import Compilation Database...", "Save Results...",
                                                "Print...", "Print Preview",
                                                "Page Setup...", "Exit"}));
  QCOMPARE(MenuItems(bar, "Edit"), QStringList({"Copy", "Select All", "Clear"}));
  QCOMPARE(MenuItems(bar, "View").mid(0, 2), QStringList({"Toolbar", "Status Bar"}));
  QCOMPARE(MenuItems(bar, "Tools"), QStringList({"Check", "New Profile...", "New Rule Set...",
                                                 "Modify Profile...", "Modify Rule Set..."}));
  QCOMPARE(MenuItems(bar, "Window").mid(0, 3), QStringList({"Cascade", "Tile", "Arrange Icons"}));
  QStringList help = MenuItems(bar, "Help");
  QCOMPARE(help.size(), 2);
  QCOMPARE(help[0], QString("Help Topics"));
  QVERIFY(help[1].startsWith("About"));

  const struct {
    CMainFrame::ECommand id;
    const char *prompt;
  } prompts[] = {
      {CMainFrame::FileNew, "Create a new Application"},
      {CMainFrame::FileOpen, "Open an existing Application"},
      {CMainFrame::FileSave, "Save the active Application"},
      {CMainFrame::FileSaveAs, "Save the active Application with a new name"},
      {CMainFrame::FileModify, "Modify current Aplication"},
      {CMainFrame::FileImportDatabase, "Add the C files of a compilation database (compile_commands.json) to the Application"},
      {CMainFrame::FileSaveResults, "Save active window results"},
      {CMainFrame::ToolsCheck, "Check application"},
      {CMainFrame::ToolsNewProfile, "Create new profile"},
      {CMainFrame::ToolsNewRuleSet, "Create new rule set"},
      {CMainFrame::ToolsModifyProfile, "Edit profile"},
      {CMainFrame::ToolsModifyRuleSet, "Edit rule set"},
      {CMainFrame::ViewMessages, "Displays Messages window"},
  };
  for (const auto &p : prompts) QCOMPARE(w.frame->Action(p.id)->statusTip(), QString(p.prompt));
  for (int i = 0; i < CMainFrame::CommandCount; ++i)
    QVERIFY2(!w.frame->Action(CMainFrame::ECommand(i))->statusTip().isEmpty(), qPrintable(QString::number(i)));

  /* The caret pane holds its widest text; Check needs an application. */
  QLabel *caret = w.frame->CaretPane();
  QVERIFY(caret->minimumWidth() >= caret->fontMetrics().horizontalAdvance("Ln:9999,Col:999"));
  QVERIFY(!w.frame->Action(CMainFrame::ToolsCheck)->isEnabled());
  /* The log window shows the start sequence's messages. */
  QVERIFY(w.Log().join('\n').contains("loaded successfully"));

  /* A first start has no current profile or rule set: the commands that
   * need them say so. */
  QVERIFY(!w.app->Environment().GetCurrentProfile());
  w.frame->OnFileNew();
  QCOMPARE(w.prompter.asked.last(), QString("Please choose Profile and RuleSet."));
  w.frame->OnToolsModifyProfile();
  QCOMPARE(w.prompter.asked.last(), QString("Please specify Profile."));
  w.frame->OnToolsModifyRuleSet();
  QCOMPARE(w.prompter.asked.last(), QString("Please specify rule set."));
  /* Until the assistants come, New Profile says where profiles come from. */
  w.frame->OnToolsNewProfile();
  QVERIFY(w.prompter.asked.last().contains("installed"));
}

void CWorkbenchTests::comboBarFollowsAndSetsTheCurrents() {
  CWorkbenchFixture w;
  CEnvironment &env = w.app->Environment();
  CComboBoxCustom *profiles = w.frame->ProfileList(), *ruleSets = w.frame->RuleSetList();
  QCOMPARE(profiles->count(), int(env.GetProfiles().size()));
  QCOMPARE(ruleSets->count(), int(env.GetRuleSets().size()));
  QVERIFY(ruleSets->count() >= 3);

  /* Choosing sets the environment's current. */
  emit ruleSets->activated(1);
  QCOMPARE(env.GetCurrentRuleSet(), env.GetRuleSets()[1].get());
  emit profiles->activated(2);
  QCOMPARE(env.GetCurrentProfile(), env.GetProfiles()[2].get());

  /* Opening an application shows its profile and rule set. */
  QString path = w.WriteDemoApplication();
  QVERIFY(w.frame->OpenApplication(path));
  CApplication *app = env.GetCurrentApplication();
  QCOMPARE(profiles->currentText(), QString::fromStdString(app->GetAppProfile()->GetName()));
  QCOMPARE(ruleSets->currentText(), QString::fromStdString(app->GetAppRuleSet()->GetName()));
  QVERIFY(!w.frame->isWindowModified());

  /* A choice goes to the open application, which is then modified. */
  int other = ruleSets->currentIndex() == 0 ? 1 : 0;
  emit ruleSets->activated(other);
  QCOMPARE(app->GetAppRuleSet(), env.GetRuleSets()[other].get());
  QVERIFY(w.frame->isWindowModified());
  QVERIFY(w.frame->windowTitle().contains("demo.app"));

  /* A current set elsewhere shows after a refresh. */
  env.SetCurrentRuleSet(env.GetRuleSets()[2].get());
  w.frame->RefreshComboBar();
  QCOMPARE(ruleSets->currentIndex(), 2);
}

void CWorkbenchTests::checkOfTheExampleFillsOutputAndResults() {
  CWorkbenchFixture w;
  /* The example as shipped, which names the default build tree's
   * installation; a copy made here for any other build tree. */
  QString shipped = CWorkbenchFixture::SourceDir() + "/examples/demo/demo.app";
  bool inTree = CWorkbenchFixture::BuildDir() == CWorkbenchFixture::SourceDir() + "/build";
  QVERIFY(w.frame->OpenApplication(inTree ? shipped : w.WriteDemoApplication()));
  if (inTree) {
    CApplication *app = w.app->Environment().GetCurrentApplication();
    QVERIFY(w.app->Environment().IsInstalledFile(app->GetAppProfile()->GetFullPath()));
    QVERIFY(w.app->Environment().IsInstalledFile(app->GetAppRuleSet()->GetFullPath()));
    QCOMPARE(int(app->GetFileEntries().size()), 3);
    for (const auto &e : app->GetFileEntries())
      QVERIFY(QString::fromStdString(e->GetFilePath().Str()).startsWith(CWorkbenchFixture::SourceDir() + "/examples/demo/"));
  }
  QVERIFY(w.frame->Action(CMainFrame::ToolsCheck)->isEnabled());
  QVERIFY(w.frame->OnToolsCheck());

  QStringList log = w.Log();
  QCOMPARE(log.first(), QString("Info: Check started."));
  QCOMPARE(log.last(), QString("Info: Check is finished."));
  QVERIFY(w.TempFiles().isEmpty());

  QCOMPARE(w.frame->View().Frames(CChildFrame::Output).size(), 1);
  QVERIFY(w.frame->Doc().OutputDoc().Text().contains("ended with exit status 0"));
  CTableOutFrame *results = Results(w);
  QVERIFY(results);
  CTableOutView *table = results->View();
  QVERIFY(table->VisibleCount() >= 10);
  for (auto [file, line, rule] : {std::tuple{"events.c", 33, "SWITCH_DEFAULT"},
                                  std::tuple{"events.c", 29, "ASSIGNMENT_VALUE"},
                                  std::tuple{"events.h", 7, "BITFIELD_PLAIN_INT"}})
    QVERIFY2(RowOf(table, file, line, rule) >= 0, rule);
  int row = RowOf(table, "events.c", 33, "SWITCH_DEFAULT");
  CTableOutDoc *doc = table->Doc();
  QCOMPARE(doc->headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(), QString("File Name"));
  QCOMPARE(doc->headerData(3, Qt::Horizontal, Qt::DisplayRole).toString(), QString("Details"));
  QCOMPARE(doc->CellText(row, CTableOutDoc::FileName), QString("events.c (33)"));
  QCOMPARE(doc->CellText(row, CTableOutDoc::Directory), CWorkbenchFixture::SourceDir() + "/examples/demo");
  QVERIFY(results->windowTitle().contains(QString::number(doc->Count()) + " violations"));

  /* The filter narrows, sorting orders lines numerically. */
  table->FilterEdit()->setText("switch_default");
  QVERIFY(table->VisibleCount() >= 1 && table->VisibleCount() < doc->Count());
  QVERIFY(results->windowTitle().contains(" of "));
  table->FilterEdit()->clear();
  table->Table()->sortByColumn(CTableOutDoc::FileName, Qt::AscendingOrder);
  for (int r = 1; r < table->VisibleCount(); ++r) {
    const SViolation &a = table->VisibleViolation(r - 1), &b = table->VisibleViolation(r);
    QString fa = ViolationPath(a).section('/', -1), fb = ViolationPath(b).section('/', -1);
    QVERIFY(fa < fb || (fa == fb && a.line <= b.line));
  }

  /* Save Results writes what the table shows; printing makes a PDF. */
  w.prompter.saveFile = w.Path("results.txt");
  w.frame->View().setActiveSubWindow(results);
  QVERIFY(w.frame->OnFileSaveResults());
  QStringList saved = ReadText(w.Path("results.txt")).split('\n', Qt::SkipEmptyParts);
  QCOMPARE(saved.first(), QString("File Name\tDirectory\tRule\tDetails"));
  QCOMPARE(saved.size(), doc->Count() + 1);
  w.prompter.saveFile = w.Path("results.txt");
  w.prompter.yesNo = {false};
  QVERIFY(!w.frame->OnFileSaveResults());
  QVERIFY(w.prompter.asked.contains("File already exists. Do you want to replace it?"));
  w.frame->OnFilePrint();
  QVERIFY(QFileInfo(w.prompter.printFile).size() > 0);

  /* A second run replaces the windows of the first. */
  QVERIFY(w.frame->OnToolsCheck());
  QCOMPARE(w.frame->View().Frames(CChildFrame::Results).size(), 1);
  QCOMPARE(w.frame->View().Frames(CChildFrame::Output).size(), 1);
  QVERIFY(w.TempFiles().isEmpty());
}

void CWorkbenchTests::rowsOpenTheSourceOnTheirLine() {
  CWorkbenchFixture w;
  QVERIFY(w.frame->OpenApplication(w.WriteDemoApplication()));
  QVERIFY(w.frame->OnToolsCheck());
  CTableOutView *table = Results(w)->View();
  table->Table()->sortByColumn(CTableOutDoc::FileName, Qt::AscendingOrder);
  int row = RowOf(table, "events.c", 33, "SWITCH_DEFAULT");
  QVERIFY(row >= 0);
  table->OpenRow(row);
  QList<CChildFrame *> sources = w.frame->View().Frames(CChildFrame::Source);
  QCOMPARE(sources.size(), 1);
  auto *source = qobject_cast<CSourceFrame *>(sources[0]);
  QCOMPARE(source->windowTitle(), QString("events.c (33)"));
  QCOMPARE(source->View()->CaretLine(), 33);
  QCOMPARE(source->View()->CaretColumn(), 1);
  QCOMPARE(source->View()->MarkedLine(), 33);
  QVERIFY(source->View()->isReadOnly());
  QCOMPARE(w.frame->CaretPane()->text(), QString("Ln:33,Col:1"));
  /* The caret's line is in view. */
  QVERIFY(source->View()->viewport()->rect().contains(source->View()->cursorRect().center()));

  /* The pane follows the caret. */
  QTest::keyClick(source->View(), Qt::Key_Down);
  QTest::keyClick(source->View(), Qt::Key_Right);
  QCOMPARE(w.frame->CaretPane()->text(), QString("Ln:34,Col:2"));

  /* F4 and Shift+F4: the next and previous rows, one window per file. */
  w.frame->View().setActiveSubWindow(Results(w));
  table->Table()->setCurrentIndex(table->Table()->model()->index(row, 0));
  QVERIFY(w.frame->OnNextViolation(true));
  const SViolation &next = table->VisibleViolation(row + 1);
  auto *now = qobject_cast<CSourceFrame *>(w.frame->View().ActiveFrame());
  QVERIFY(now);
  QCOMPARE(now->View()->CaretLine(), next.line);
  QVERIFY(w.frame->OnNextViolation(false));
  QCOMPARE(qobject_cast<CSourceFrame *>(w.frame->View().ActiveFrame())->View()->CaretLine(), 33);
  QVERIFY(w.frame->View().Frames(CChildFrame::Source).size() <= 2);

  /* A source that is gone is reported, not opened. */
  QVERIFY(!w.frame->View().OpenSource(w.Path("gone.c"), 3));
  QVERIFY(w.prompter.asked.last().contains("gone.c"));
}

void CWorkbenchTests::reportPathsWithParentheses() {
  QString path, text;
  int line = -1;
  SplitFileLine("/a (b)/c(d).c(12)", path, line);
  QCOMPARE(path, QString("/a (b)/c(d).c"));
  QCOMPARE(line, 12);
  SplitFileLine("/no/line.c", path, line);
  QCOMPARE(path, QString("/no/line.c"));
  QCOMPARE(line, 0);
  SplitFileLine("/x.c(7junk", path, line);
  QCOMPARE(line, 7);

  CWorkbenchFixture w;
  QDir().mkpath(w.Path("dir (x)"));
  QString source = w.Path("dir (x)/f(1).c");
  WriteText(source, "int a;\nint b;\nint c;\n");
  QString report = w.Path("report.txt");
  WriteText(report, "F" + source + "(3)\nRRULE_ONE\nMfirst message (in function f)\n"
                    "F\nR RULE_APP\nM\n"
                    "F" + source + "(2)\nRRULE_CUT\n"
                    "  F" + source + "(1)  \n  RRULE_TWO\n  Msecond  \n");
  auto *doc = new CTableOutDoc;
  QVERIFY(doc->Load(report));
  QCOMPARE(doc->Count(), 3);
  QCOMPARE(ViolationPath(doc->Violation(0)), source);
  QCOMPARE(doc->CellText(0, CTableOutDoc::FileName), QString("f(1).c (3)"));
  QCOMPARE(doc->CellText(0, CTableOutDoc::Directory), w.Path("dir (x)"));
  QCOMPARE(doc->CellText(0, CTableOutDoc::Details), QString("first message (in function f)"));
  QCOMPARE(ViolationPath(doc->Violation(1)), QString());
  QCOMPARE(doc->Violation(1).rule, std::string("RULE_APP"));
  QCOMPARE(doc->Violation(2).rule, std::string("RULE_TWO"));
  QCOMPARE(doc->Violation(2).details, std::string("second"));

  CTableOutFrame *frame = w.frame->View().ShowResults(doc);
  frame->View()->OpenRow(0);
  auto *s = qobject_cast<CSourceFrame *>(w.frame->View().ActiveFrame());
  QVERIFY(s);
  QCOMPARE(s->windowTitle(), QString("f(1).c (3)"));
  QCOMPARE(s->View()->CaretLine(), 3);
  /* A row without a location opens nothing. */
  frame->View()->OpenRow(1);
  QCOMPARE(w.frame->View().Frames(CChildFrame::Source).size(), 1);
  QVERIFY(!doc->Load(w.Path("missing.txt")));
}

void CWorkbenchTests::noRuleSetStopsBeforeAnythingIsWritten() {
  CWorkbenchFixture w;
  QVERIFY(w.frame->OpenApplication(w.WriteDemoApplication("plain.app", false)));
  QVERIFY(!w.app->Environment().GetCurrentRuleSet());
  QCOMPARE(w.frame->RuleSetList()->currentIndex(), -1);
  QVERIFY(!w.frame->OnToolsCheck());
  QVERIFY(w.prompter.asked.contains("Please specify rule set."));
  QCOMPARE(w.Log().last(), QString("ERROR: Check failed !"));
  QVERIFY(w.TempFiles().isEmpty());
  QVERIFY(w.frame->View().Frames(CChildFrame::Results).isEmpty());
}

void CWorkbenchTests::missingCheckerFailsTheCheck() {
  CWorkbenchFixture w(SettingsWithChecker("/nonexistent/kvx_zkck_cc"));
  QVERIFY(w.started);
  QVERIFY(w.frame->OpenApplication(w.WriteDemoApplication()));
  QVERIFY(!w.frame->OnToolsCheck());
  QStringList log = w.Log();
  QVERIFY(log.contains("ERROR: Ruvexa not found."));
  QCOMPARE(log.last(), QString("ERROR: Check failed !"));
  QVERIFY(w.TempFiles().isEmpty());
}

void CWorkbenchTests::cancelEndsTheCheckerAndItsChildren() {
  CWorkbenchFixture w(SettingsWithChecker(CHECKER_STANDIN));
  QString pids = w.Path("pids");
  qputenv("CSENTREL_STANDIN_PIDS", pids.toLocal8Bit());
  QVERIFY(w.frame->OpenApplication(w.WriteDemoApplication()));

  bool sawDialog = false;
  w.prompter.confirm = {false, true}; /* the first Cancel is taken back */
  w.frame->onWaiting = [&](CWaitDialog &dialog) {
    sawDialog = dialog.isVisible() && dialog.windowTitle() == "Checking application";
    auto *poll = new QTimer(&dialog);
    connect(poll, &QTimer::timeout, &dialog, [&dialog, pids, poll] {
      if (!QFile::exists(pids)) return;
      poll->stop();
      dialog.CancelButton()->click();
      QVERIFY(dialog.IsWaiting());
      dialog.CancelButton()->click();
    });
    poll->start(20);
  };
  QElapsedTimer clock;
  clock.start();
  QVERIFY(!w.frame->OnToolsCheck());
  qunsetenv("CSENTREL_STANDIN_PIDS");
  QVERIFY(sawDialog);
  QVERIFY(clock.elapsed() < 15000);
  QCOMPARE(w.prompter.asked.count(CCheckCommand::CancelQuestion()), 2);
  QStringList log = w.Log();
  QVERIFY(log.contains("Info: Check canceled by user."));
  QCOMPARE(log.last(), QString("ERROR: Check failed !"));
  QVERIFY(w.TempFiles().isEmpty());
  QVERIFY(w.frame->View().Frames(CChildFrame::Results).isEmpty());

  QStringList ids = ReadText(pids).split('\n', Qt::SkipEmptyParts);
  QCOMPARE(ids.size(), 2);
  for (const QString &id : ids) QTRY_VERIFY_WITH_TIMEOUT(IsGone(id.toInt()), 5000);
}

void CWorkbenchTests::makefileRetrieverFillsTheApplication() {
  CWorkbenchFixture w;
  /* A profile whose application file retriever is the stand-in. */
  WriteText(w.Path("retr.prf"), QString("TARQUIN ZKL 1.0 PROFIL FILE\nNAME=Retriever\nBUILD=%1\nDIALECT=ansi\n")
                                    .arg(RETRIEVER_STANDIN));
  QDir().mkpath(w.Path("src"));
  WriteText(w.Path("src/Makefile"), "all: one.c two.c\n\tcc one.c two.c\n");
  CEnvironment &env = w.app->Environment();
  CProfile *retriever = env.RetrieveProfile(CPathName(w.Path("retr.prf").toStdString()), true);
  QVERIFY(retriever);
  QVERIFY(w.frame->OpenApplication(w.WriteDemoApplication()));
  env.SetCurrentProfile(retriever);
  env.UpdateCurrentApplication();

  /* A file chosen twice is refused. */
  w.prompter.openFiles = {CWorkbenchFixture::SourceDir() + "/examples/demo/main.c"};
  w.prompter.makefile = w.Path("src/Makefile");
  w.frame->OnFileModify();
  QVERIFY(w.prompter.asked.contains("File is already added."));
  CApplication *app = env.GetCurrentApplication();
  QStringList files;
  for (const auto &e : app->GetFileEntries()) files << QString::fromStdString(e->GetFilePath().Str());
  /* The retriever's copy started with the application's three files. */
  QCOMPARE(files.size(), 5);
  QVERIFY(files.contains(w.Path("src/one.c")) && files.contains(w.Path("src/two.c")));
  QCOMPARE(QString::fromStdString(app->GetMakefilePath().Str()), w.Path("src/Makefile"));
  QCOMPARE(QString::fromStdString(app->GetTargetPath()), QString("all"));
  QVERIFY(w.frame->isWindowModified());
  /* The application keeps its own settings; only its copy was written. */
  QCOMPARE(QString::fromStdString(app->GetPreprocessor()->GetDefines().GetText()), QString("NDEBUG"));
  QCOMPARE(QDir(w.dir.path()).entryList({"*.app"}), QStringList({"demo.app"}));
  QVERIFY(w.TempFiles().isEmpty());
  QCOMPARE(w.app->Log().GetSilentMode(), 0);

  /* File / New: a new application named, filled, saved and opened. */
  w.prompter.saveFile = w.Path("fresh.app");
  w.prompter.openFiles = {};
  w.frame->OnFileSave();
  w.frame->OnFileNew();
  QVERIFY(QFile::exists(w.Path("fresh.app")));
  QCOMPARE(w.frame->AppDoc().Path(), w.Path("fresh.app"));
  QCOMPARE(int(env.GetCurrentApplication()->GetFileEntries().size()), 2);
}

void CWorkbenchTests::compilationDatabaseImportsIntoTheApplication() {
  CWorkbenchFixture w;
  QVERIFY(!w.frame->Action(CMainFrame::FileImportDatabase)->isEnabled());
  QVERIFY(w.frame->OpenApplication(w.WriteDemoApplication()));
  QVERIFY(w.frame->Action(CMainFrame::FileImportDatabase)->isEnabled());
  QString db = w.Path("build/compile_commands.json");
  QDir().mkpath(w.Path("build"));
  WriteText(db, QString("[{\"directory\": \"%1\", \"file\": \"../src/one.c\", \"command\": \"cc -DONE -DALL -c ../src/one.c\"},\n"
                        " {\"directory\": \"%1\", \"file\": \"../src/two.c\", \"arguments\": [\"cc\", \"-DALL\", \"-c\", \"../src/two.c\"]},\n"
                        " {\"directory\": \"%1\", \"file\": \"../src/three.cpp\", \"command\": \"c++ -c ../src/three.cpp\"}]\n")
                    .arg(w.Path("build")));
  w.prompter.openFile = db;
  w.frame->OnFileImportDatabase();
  QCOMPARE(w.prompter.asked.last(), QString("Import Compilation Database"));
  CApplication *app = w.app->Environment().GetCurrentApplication();
  QCOMPARE(int(app->GetFileEntries().size()), 5);
  const CFileEntry *one = app->FindFileEntry(CPathName(w.Path("src/one.c").toStdString()));
  QVERIFY(one && app->FindFileEntry(CPathName(w.Path("src/two.c").toStdString())));
  QCOMPARE(QString::fromStdString(one->GetPreprocessor()->GetDefines().GetText()), QString("ONE"));
  QCOMPARE(QString::fromStdString(app->GetPreprocessor()->GetDefines().GetText()), QString("ALL"));
  QVERIFY(w.frame->isWindowModified());
  QVERIFY(w.Log().join('\n').contains("2 C files imported from " + db + ". 1 entries that are not C were skipped."));

  /* A file that is no database changes nothing and says why. */
  WriteText(db, "{\"not\": \"a list\"}");
  w.frame->OnFileImportDatabase();
  QVERIFY(w.prompter.asked.last().contains("not a JSON array"));
  QCOMPARE(int(app->GetFileEntries().size()), 5);
}

void CWorkbenchTests::makefileRetrieverCancelledOrFailing() {
  CWorkbenchFixture w;
  WriteText(w.Path("retr.prf"), QString("TARQUIN ZKL 1.0 PROFIL FILE\nNAME=Retriever\nBUILD=%1\nDIALECT=ansi\n")
                                    .arg(RETRIEVER_STANDIN));
  WriteText(w.Path("Makefile.slow"), "sleep\nall: late.c\n");
  WriteText(w.Path("Makefile.bad"), "fail\nall: bad.c\n");
  CEnvironment &env = w.app->Environment();
  CProfile *retriever = env.RetrieveProfile(CPathName(w.Path("retr.prf").toStdString()), true);
  QVERIFY(w.frame->OpenApplication(w.WriteDemoApplication()));
  env.SetCurrentProfile(retriever);
  env.UpdateCurrentApplication();
  CApplication *app = env.GetCurrentApplication();

  /* Cancelled while it runs: 32915 asked, nothing changed, nothing left. */
  w.prompter.makefile = w.Path("Makefile.slow");
  w.frame->onWaiting = [](CWaitDialog &dialog) {
    QTimer::singleShot(150, &dialog, [&dialog] { dialog.CancelButton()->click(); });
  };
  QElapsedTimer clock;
  clock.start();
  w.frame->OnFileModify();
  QVERIFY(clock.elapsed() < 15000);
  QVERIFY(w.prompter.asked.contains(CFillFromMakefile::CancelQuestion()));
  QCOMPARE(int(app->GetFileEntries().size()), 3);
  QCOMPARE(QDir(w.dir.path()).entryList({"*.app"}), QStringList({"demo.app"}));
  w.frame->onWaiting = nullptr;

  /* A failing retriever changes no file entry. */
  w.prompter.makefile = w.Path("Makefile.bad");
  w.frame->OnFileModify();
  QCOMPARE(int(app->GetFileEntries().size()), 3);
  QVERIFY(w.Log().last().startsWith("ERROR: "));

  /* Declining the makefile dialog changes nothing either. */
  w.prompter.acceptMakefile = false;
  w.frame->OnFileModify();
  QCOMPARE(int(app->GetFileEntries().size()), 3);

  /* After File / New a failure discards the new application. */
  w.prompter.acceptMakefile = true;
  w.prompter.makefile = w.Path("Makefile.bad");
  w.prompter.saveFile = w.Path("never.app");
  w.prompter.defaultYesNoCancel = CPrompter::No;
  w.frame->OnFileNew();
  QVERIFY(!QFile::exists(w.Path("never.app")));
  QCOMPARE(w.frame->AppDoc().Path(), w.Path("demo.app"));
  QVERIFY(w.TempFiles().isEmpty());
}

void CWorkbenchTests::unsavedChangesAndReplacingFiles() {
  CWorkbenchFixture w;
  QString first = w.WriteDemoApplication("first.app");
  QString second = w.WriteDemoApplication("second.app");
  QByteArray before = ReadText(first).toUtf8();
  QVERIFY(w.frame->OpenApplication(first));
  CComboBoxCustom *ruleSets = w.frame->RuleSetList();
  emit ruleSets->activated(ruleSets->currentIndex() == 0 ? 1 : 0);
  QVERIFY(w.frame->AppDoc().IsModified());
  const QString question = "Application first.app is not saved. Do you want to save it?";

  /* Cancel keeps the modified application open. */
  w.prompter.yesNoCancel = {CPrompter::Cancel};
  QVERIFY(!w.frame->OpenApplication(second));
  QCOMPARE(w.prompter.asked.last(), question);
  QCOMPARE(w.frame->AppDoc().Path(), first);
  QVERIFY(w.frame->AppDoc().IsModified());

  /* No opens the other one and leaves the file as it was. */
  w.prompter.yesNoCancel = {CPrompter::No};
  QVERIFY(w.frame->OpenApplication(second));
  QCOMPARE(w.frame->AppDoc().Path(), second);
  QCOMPARE(ReadText(first).toUtf8(), before);

  /* Yes saves first. */
  emit ruleSets->activated(ruleSets->currentIndex() == 0 ? 1 : 0);
  w.prompter.yesNoCancel = {CPrompter::Yes};
  QByteArray secondBefore = ReadText(second).toUtf8();
  QVERIFY(w.frame->OpenApplication(first));
  QVERIFY(ReadText(second).toUtf8() != secondBefore);

  /* Save As onto an existing file asks; No writes nothing. */
  w.prompter.saveFile = second;
  w.prompter.yesNo = {false};
  secondBefore = ReadText(second).toUtf8();
  QVERIFY(!w.frame->OnFileSaveAs());
  QCOMPARE(w.prompter.asked.last(), QString("File already exists. Do you want to replace it?"));
  QCOMPARE(ReadText(second).toUtf8(), secondBefore);
  /* Save As to a new name without extension gets ".app". */
  w.prompter.saveFile = w.Path("third");
  QVERIFY(w.frame->OnFileSaveAs());
  QVERIFY(QFile::exists(w.Path("third.app")));
  QCOMPARE(w.frame->AppDoc().Title(), QString("third.app"));

  /* An application that cannot be read leaves none open. */
  WriteText(w.Path("broken.app"), "not an application");
  QVERIFY(!w.frame->OpenApplication(w.Path("broken.app")));
  QVERIFY(!w.frame->AppDoc().IsOpen());
  QVERIFY(!w.frame->Action(CMainFrame::ToolsCheck)->isEnabled());
}

void CWorkbenchTests::checkerMessagesAndSyntaxColours() {
  CMessageDoc messages;
  messages.SetConsoleText("/p/a.c(12) : Error:  syntax error before `}'\n"
                          "/p/b.h: Warning: no newline at end of file\n"
                          "Error(s): during tcl evaluation\n"
                          "\"goto.rule\", line .CODE + 3: invalid command name \"foo\"\n"
                          "kvx_zkck_cc: 1 warning(s), 2 error(s).\n");
  QCOMPARE(messages.Count(), 3);
  QCOMPARE(messages.Message(0).file, QString("/p/a.c"));
  QCOMPARE(messages.Message(0).line, 12);
  QCOMPARE(messages.Message(0).text, QString("syntax error before `}'"));
  QCOMPARE(messages.Message(1).type, int(CZKError::eWarning));
  QCOMPARE(messages.Message(1).file, QString("/p/b.h"));
  QCOMPARE(messages.Message(2).file, QString());
  QVERIFY(messages.Message(2).detail.contains("invalid command name"));

  QTextDocument doc;
  doc.setPlainText("#include <stdio.h>\n/* a\n comment */ int x = 0x1F;\nchar *s = \"if\"; // if\n");
  CSyntaxHighlighter h(&doc);
  h.rehighlight();
  auto kind = [&doc](int line, int column) {
    return CSyntaxHighlighter::KindAt(doc.findBlockByNumber(line), column);
  };
  QCOMPARE(kind(0, 0), CSyntaxHighlighter::Preprocessor);
  QCOMPARE(kind(0, 10), CSyntaxHighlighter::String);
  QCOMPARE(kind(1, 3), CSyntaxHighlighter::Comment);
  QCOMPARE(kind(2, 2), CSyntaxHighlighter::Comment);
  QCOMPARE(kind(2, 12), CSyntaxHighlighter::Type);
  QCOMPARE(kind(2, 20), CSyntaxHighlighter::Number);
  QCOMPARE(kind(3, 11), CSyntaxHighlighter::String);
  QCOMPARE(kind(3, 19), CSyntaxHighlighter::Comment);
  QCOMPARE(kind(3, 6), CSyntaxHighlighter::Plain);
}

void CWorkbenchTests::startAndEndSequencesRemember() {
  CWorkbenchFixture w;
  QString path = w.WriteDemoApplication();
  QVERIFY(w.frame->OpenApplication(path));
  CComboBoxCustom *ruleSets = w.frame->RuleSetList();
  int chosen = ruleSets->currentIndex() == 0 ? 1 : 0;
  QString chosenName = ruleSets->itemText(chosen);
  emit ruleSets->activated(chosen);
  /* Closing asks about the changed application; No leaves it as it was. */
  w.prompter.yesNoCancel = {CPrompter::Cancel, CPrompter::No};
  QVERIFY(!w.frame->close());
  QVERIFY(w.frame->isVisible());
  QVERIFY(w.frame->close());
  w.frame.reset();
  QVERIFY(w.app->End());
  QString lastUsage = ReadText(w.Path("config/csentrel/lastusage"));
  QVERIFY(lastUsage.contains("LAST_PROFILE=" + CWorkbenchFixture::Built("util/profiles/ansi.prf")));
  QVERIFY(lastUsage.contains("LAST_RULE_SET="));

  /* The next start: same choices, the application among the recent files. */
  w.app = std::make_unique<CSentrelApp>();
  QString error;
  QVERIFY(w.app->Start(CWorkbenchFixture::Built("bin/csentrel"), error));
  w.frame = std::make_unique<CMainFrame>(*w.app, w.prompter);
  QCOMPARE(w.frame->RuleSetList()->currentText(), chosenName);
  QCOMPARE(w.app->Settings().value("RecentFiles").toStringList(), QStringList({path}));
  QAction *recent = nullptr;
  for (QAction *a : w.frame->FileMenu()->actions())
    if (a->isVisible() && a->data().toString() == path) recent = a;
  QVERIFY(recent);
  QCOMPARE(Plain(recent->text()), QString("1 demo.app"));
  recent->trigger();
  QCOMPARE(w.frame->AppDoc().Path(), path);

  /* A settings file with a blank required value stops the start. */
  WriteText(w.Path("blank.conf"), "DIALECTS=x\nPROFILES=y\nALLRULES=z\nRULESETS=r\nCHECKER=\n");
  qputenv("CSENTREL_SETTINGS", w.Path("blank.conf").toLocal8Bit());
  w.frame.reset();
  w.app = std::make_unique<CSentrelApp>();
  QVERIFY(!w.app->Start(CWorkbenchFixture::Built("bin/csentrel"), error));
  QCOMPARE(error, QString("ERROR: CHECKER clause missing in global paths."));
}

void CWorkbenchTests::editCommandsAndTheMessagesWindow() {
  CWorkbenchFixture w;
  QString source = w.Path("bad.c");
  WriteText(source, "int a;\nint b\nint c;\n");
  WriteText(w.Path("console.txt"), source + "(2) : Error:  syntax error before `int'\n"
                                   "kvx_zkck_cc: 0 warning(s), 1 error(s).\n");
  w.frame->ShowRunResults(w.Path("console.txt"), QString(), {1, 200});
  QVERIFY(w.frame->MessagesWindow()->isVisible());
  QVERIFY(w.frame->Action(CMainFrame::ViewMessages)->isChecked());
  CMessageView *messages = w.frame->MessagesWindow()->View();
  QCOMPARE(messages->model()->rowCount(), 1);
  emit messages->activated(messages->model()->index(0, 0));
  auto *s = qobject_cast<CSourceFrame *>(w.frame->View().ActiveFrame());
  QVERIFY(s);
  QCOMPARE(s->View()->CaretLine(), 2);

  /* Select All, Copy and Clear act on the active window. */
  w.frame->View().setActiveSubWindow(w.frame->View().Frames(CChildFrame::Output).first());
  w.frame->UpdateCommands();
  QVERIFY(w.frame->Action(CMainFrame::EditClear)->isEnabled());
  QVERIFY(w.frame->Action(CMainFrame::FileSaveResults)->isEnabled());
  w.frame->OnEditSelectAll();
  w.frame->OnEditCopy();
  QVERIFY(QGuiApplication::clipboard()->text().contains("syntax error before"));
  w.frame->OnEditClear();
  QVERIFY(w.frame->Doc().OutputDoc().Text().isEmpty());
  /* A source window holds no results: Save Results does not apply. */
  w.frame->View().setActiveSubWindow(s);
  w.frame->UpdateCommands();
  QVERIFY(!w.frame->Action(CMainFrame::FileSaveResults)->isEnabled());
  QVERIFY(!w.frame->Action(CMainFrame::EditClear)->isEnabled());
  w.frame->OnFilePrintPreview();
  QVERIFY(QFileInfo(w.prompter.printFile).size() > 0);

  /* The View menu hides the Messages window; a run's start empties it. */
  w.frame->Action(CMainFrame::ViewMessages)->trigger();
  QVERIFY(!w.frame->MessagesWindow()->isVisible());
  w.frame->CloseResultWindows();
  QCOMPARE(messages->model()->rowCount(), 0);
  QVERIFY(w.frame->View().Frames(CChildFrame::Source).isEmpty());
}

void CWorkbenchTests::programFromTheBuildTree() {
  QProcess p;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("QT_QPA_PLATFORM", "offscreen");
  p.setProcessEnvironment(env);
  p.start(CWorkbenchFixture::Built("bin/csentrel"), {"--version"});
  QVERIFY(p.waitForFinished(20000));
  QCOMPARE(p.exitCode(), 0);
  QVERIFY(QString::fromLocal8Bit(p.readAllStandardOutput()).contains("1.1"));

  QString desktop = ReadText(CWorkbenchFixture::Built("share/applications/csentrel.desktop"));
  QVERIFY(desktop.contains("\nExec=csentrel %f\n"));
  QVERIFY(desktop.contains("\nIcon=csentrel\n"));
  for (int size : {16, 32, 48, 64, 128, 256}) {
    QImage icon(CWorkbenchFixture::Built(QString("share/icons/hicolor/%1x%1/apps/csentrel.png").arg(size)));
    QCOMPARE(icon.size(), QSize(size, size));
  }

  /* Help Topics shows the guide installed beside the program. */
  CWorkbenchFixture w;
  w.frame->OnHelpTopics();
  QVERIFY(w.frame->findChild<QDialog *>(QString(), Qt::FindDirectChildrenOnly));
}

QTEST_MAIN(CWorkbenchTests)
#include "workbench_tests.moc"
