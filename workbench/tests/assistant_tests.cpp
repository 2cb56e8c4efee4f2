/*
 * assistant_tests.cpp - the profile, rule-set and application assistants
 * driven page by page as a user drives them (fields typed, Next, Finish),
 * on the offscreen platform: the files they write and how these load back,
 * the modification path and Cancel, the installation left untouched, the
 * validation messages, the parameter dialogs, the retriever's make-command
 * mode, and the accelerators of every page.
 */
#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <deque>
#include <functional>

#include "appdoc.h"
#include "brindle.h"
#include "tableout.h"
#include "fixture.h"
#include "tessary_app.h"
#include "tessary_env.h"
#include "wendrel_combo.h"
#include "wendrel_lists.h"
#include "wizards/appcategories.h"
#include "wizards/paramdlg.h"
#include "wizards/psapp.h"
#include "wizards/psprofile.h"
#include "wizards/psruleset.h"
#include "wizards/wizassistants.h"

namespace {

using Step = std::function<void(QDialog &)>;

/* Plays the sheets and dialogs the assistants show, one step each, in
 * order; a dialog without a step is cancelled. */
class CScript {
 public:
  void Add(Step step) { steps_.push_back(std::move(step)); }
  bool Done() const { return steps_.empty(); }
  int Run(QDialog &dialog) {
    if (steps_.empty()) return QDialog::Rejected;
    Step step = steps_.front();
    steps_.pop_front();
    dialog.setResult(QDialog::Rejected);
    dialog.show();
    step(dialog);
    dialog.hide();
    return dialog.result();
  }

 private:
  std::deque<Step> steps_;
};

CWizardAssistants *Install(CWorkbenchFixture &w, CScript &script) {
  auto assistants = std::make_unique<CWizardAssistants>(w.prompter);
  CWizardAssistants *raw = assistants.get();
  raw->runModal = [&script](QDialog &d) { return script.Run(d); };
  w.frame->SetAssistants(std::move(assistants));
  return raw;
}

QWizard &Sheet(QDialog &d) { return static_cast<QWizard &>(d); }

void Next(QWizard &sheet) { sheet.button(QWizard::NextButton)->click(); }
void Finish(QWizard &sheet) { sheet.button(QWizard::FinishButton)->click(); }

QWidget *Buddy(QWidget *root, const QString &label) {
  for (QLabel *l : root->findChildren<QLabel *>())
    if (l->text() == label && l->buddy()) return l->buddy();
  return nullptr;
}

template <typename T>
T *BuddyAs(QWidget *root, const QString &label) {
  return qobject_cast<T *>(Buddy(root, label));
}

QAbstractButton *Button(QWidget *root, const QString &text) {
  for (QAbstractButton *b : root->findChildren<QAbstractButton *>())
    if (b->text() == text) return b;
  return nullptr;
}

/* Replaces the text as a user types it. */
void Type(QLineEdit *edit, const QString &text) {
  QVERIFY(edit);
  edit->setFocus();
  edit->selectAll();
  QTest::keyClick(edit, Qt::Key_Delete);
  QTest::keyClicks(edit, text);
}

int Row(CListCtrlEx *list, const QString &text) {
  for (int r = 0; r < list->rowCount(); ++r)
    if (list->item(r, 0)->text() == text) return r;
  return -1;
}

void Select(CListCtrlEx *list, const QStringList &texts) {
  list->clearSelection();
  for (const QString &t : texts) list->SetSelection(Row(list, t), true);
}

void WriteText(const QString &path, const QString &text) {
  QDir().mkpath(QFileInfo(path).path());
  QFile f(path);
  QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
  f.write(text.toUtf8());
}

QByteArray ReadBytes(const QString &path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QStringList Lines(const QString &path) { return QString::fromUtf8(ReadBytes(path)).split('\n', Qt::SkipEmptyParts); }

/* Every file of a directory with its bytes. */
QMap<QString, QByteArray> Snapshot(const QString &dir) {
  QMap<QString, QByteArray> files;
  for (const QString &f : QDir(dir).entryList(QDir::Files)) files[f] = ReadBytes(dir + '/' + f);
  return files;
}

std::string S(const QString &s) { return s.toStdString(); }

/* A small catalogue of our own: two rules share the Num parameter maxLen
 * with different defaults, one has a pattern; the installation's rule set
 * Base uses two of them. */
class CRuleWorld {
 public:
  CRuleWorld() {
    WriteText(Path("len.rule"), ".NAME Line length\n.TITLE Description\nLines are kept short.\n"
                                ".PARAMETER Num maxLen \"Maximum length\" \"80\"\n.CODE\n");
    WriteText(Path("prefix.rule"), ".NAME Name prefix\n.TITLE Description\nNames carry a prefix.\n"
                                   ".PARAMETER Num maxLen \"Maximum length\" \"100\"\n"
                                   ".PARAMETER pattern namePattern \"Pattern of names\" \"^[a-z]+$\"\n.CODE\n");
    WriteText(Path("goto.rule"), ".NAME No goto\n.TITLE Description\nNo goto statement.\n.CODE\n");
    WriteText(Path("catalogue.lst"), "\"Line length\" \"len.rule\"\n\"Name prefix\" \"prefix.rule\"\n"
                                     "\"No goto\" \"goto.rule\"\n");
    WriteText(Path("base.rsf"), "TARQUIN ZKL 1.0 RULES FILE\nNAME=Base\n\"Line length\" \"len.rule\" maxLen {72}\n"
                                "\"Name prefix\" \"prefix.rule\" maxLen {100}\n");
    WriteText(Path("rulesets.lst"), "base.rsf\n");
  }
  QString Path(const QString &name) const { return dir.filePath(name); }
  QString Settings() const {
    QString b = CWorkbenchFixture::BuildDir();
    return QString("DIALECTS=%1/util/dialects.lst\nPROFILES=%1/util/profiles.lst\nALLRULES=%2\n"
                   "RULESETS=%3\nCHECKER=%1/bin/kvx_zkck_cc\n")
        .arg(b, Path("catalogue.lst"), Path("rulesets.lst"));
  }
  QTemporaryDir dir;
};

QString UserDir(CWorkbenchFixture &w, const QString &sub) { return w.Path("config/csentrel/" + sub); }

/* The offscreen platform says so for every sheet shown. */
QtMessageHandler previousHandler = nullptr;
void QuietHandler(QtMsgType type, const QMessageLogContext &context, const QString &text) {
  if (text.contains("does not support propagateSizeHints")) return;
  previousHandler(type, context, text);
}

}  // namespace

class CAssistantTests : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { previousHandler = qInstallMessageHandler(QuietHandler); }
  void newProfileWritesTheProfileAndItsCompanions();
  void emptyPagesWriteNoCompanionsAndTheSavePageChecks();
  void modifyingAProfilePrefillsAndCancelKeepsTheFiles();
  void updateOptionsRunsTheRetrieverOnACopy();
  void newRuleSetWithMultipleSelectionAndPatterns();
  void modifyingRuleSetsLeavesTheInstallationAlone();
  void applicationAssistantCreatesAndModifies();
  void everyPageHasDistinctAcceleratorsAndEnterGoesOn();
  void freshInstallationToACheckedApplication();
};

void CAssistantTests::newProfileWritesTheProfileAndItsCompanions() {
  CWorkbenchFixture w;
  QVERIFY(w.started);
  CScript script;
  Install(w, script);
  QString folder = UserDir(w, "profiles/");
  script.Add([&](QDialog &d) {
    QWizard &sheet = Sheet(d);
    QCOMPARE(sheet.currentId(), int(CPSProfile::StartPage));
    Next(sheet);
    auto *compiler = BuddyAs<QComboBox>(sheet.currentPage(), "&Compiler:");
    QVERIFY(compiler);
    compiler->setCurrentIndex(compiler->findText("GNU C"));
    Next(sheet);
    QWidget *page = sheet.currentPage();
    Type(BuddyAs<QLineEdit>(page, "Compiler predefined &macros:"), "X=1, Y, MAX(a,b)=((a)>(b)?(a):(b))");
    Type(BuddyAs<QLineEdit>(page, "Compiler &headers directories:"), "/opt/cc/include, /usr/local/include");
    Type(BuddyAs<QLineEdit>(page, "Compiler &assertions:"), "machine(x86)");
    Next(sheet);
    page = sheet.currentPage();
    auto *expand = qobject_cast<QCheckBox *>(Button(page, "&Expand All Macros"));
    QVERIFY(expand && expand->isChecked());
    expand->click();
    Type(BuddyAs<QLineEdit>(page, "Except for &macros:"), "ASSERT, TRACE");
    Next(sheet);
    page = sheet.currentPage();
    auto *head = BuddyAs<QLineEdit>(page, "&Beginning with:");
    auto *tail = BuddyAs<QLineEdit>(page, "&Ending with:");
    for (auto [h, t] : {std::pair{"#if 0", "#endif"}, std::pair{"ASM_BEGIN", "ASM_END"}, std::pair{"X", "Y"}}) {
      Type(head, h);
      Type(tail, t);
      Button(page, "&Add")->click();
    }
    auto *clauses = page->findChild<CListCtrlEx *>();
    QCOMPARE(clauses->rowCount(), 3);
    Select(clauses, {"X"});
    Button(page, "&Remove")->click();
    QCOMPARE(clauses->rowCount(), 2);
    Next(sheet);
    Next(sheet);
    QCOMPARE(sheet.currentId(), int(CPSProfile::SavePage));
    page = sheet.currentPage();
    Type(BuddyAs<QLineEdit>(page, "&Profile name:"), "My GCC");
    auto *file = BuddyAs<QLineEdit>(page, "&Save description in file:");
    QCOMPARE(file->text(), folder + "My_GCC.prf");
    /* A file that cannot be written: said, and the sheet stays. */
    Type(file, w.Path("missing/My_GCC.prf"));
    Finish(sheet);
    QCOMPARE(w.prompter.asked.last(), "Profile file '" + w.Path("missing/My_GCC.prf") + "' not saved");
    QVERIFY(sheet.isVisible());
    Type(file, folder + "My_GCC");
    Finish(sheet);
  });
  CEnvironment &env = w.app->Environment();
  int profilesBefore = int(env.GetProfiles().size());
  w.frame->OnToolsNewProfile();
  QVERIFY(script.Done());

  QCOMPARE(QDir(folder).entryList(QDir::Files),
           QStringList({"My_GCC.def", "My_GCC.ign", "My_GCC.mac", "My_GCC.prf"}));
  QVERIFY(!QFile::exists(w.Path("missing")));
  QStringList prf = Lines(folder + "My_GCC.prf");
  for (const char *line : {"NAME=My GCC", "DEF=My_GCC.def", "IGN=My_GCC.ign", "EXPANDMACRO=N",
                           "MACROFILE=My_GCC.mac", "DIALECT=gnu", "MAKE_COMMAND_PATH=make", "COMPILE_VARS=|CC||gcc|"})
    QVERIFY2(prf.contains(line), line);
  QCOMPARE(Lines(folder + "My_GCC.def"),
           QStringList({"I/opt/cc/include", "I/usr/local/include", "DX=1", "DY", "DMAX(a,b)=((a)>(b)?(a):(b))",
                        "Amachine(x86)"}));
  QCOMPARE(Lines(folder + "My_GCC.ign"), QStringList({"#if 0 --> #endif", "ASM_BEGIN --> ASM_END"}));
  QCOMPARE(Lines(folder + "My_GCC.mac"), QStringList({"ASSERT", "TRACE"}));

  /* The new profile is listed, current, logged, and loads back equal. */
  CProfile *made = env.GetCurrentProfile();
  QVERIFY(made);
  QCOMPARE(QString::fromStdString(made->GetFullPath().Str()), folder + "My_GCC.prf");
  QCOMPARE(w.frame->ProfileList()->currentText(), QString("My GCC"));
  QVERIFY(w.Log().contains("Info: Profile file '" + folder + "My_GCC.prf' saved"));
  QVERIFY(w.Log().contains("ERROR: Profile file '" + w.Path("missing/My_GCC.prf") + "' not saved"));
  QCOMPARE(int(env.GetProfiles().size()), profilesBefore + 1);
  CProfile back;
  back.SetFilePath(made->GetFullPath());
  QVERIFY(back.Load());
  QCOMPARE(back.GetName(), made->GetName());
  QVERIFY(back.GetDialect() == made->GetDialect());
  QVERIFY(*back.GetPreprocessor() == *made->GetPreprocessor());
  QVERIFY(*back.GetAnalyzer() == *made->GetAnalyzer());
  QVERIFY(*back.GetIgnoreCode() == *made->GetIgnoreCode());
  QVERIFY(*back.GetMakeCommand() == *made->GetMakeCommand());
  QVERIFY(back.GetLstMakVars() == made->GetLstMakVars());
  /* Remembered for the next start. */
  QVERIFY(w.app->End());
  QVERIFY(ReadBytes(UserDir(w, "profiles.lst")).contains("My_GCC.prf"));
}

void CAssistantTests::emptyPagesWriteNoCompanionsAndTheSavePageChecks() {
  CWorkbenchFixture w;
  CScript script;
  Install(w, script);
  QString folder = UserDir(w, "profiles/");
  QString installed = CWorkbenchFixture::Built("util/profiles/gnu.prf");
  QByteArray installedBytes = ReadBytes(installed);
  WriteText(folder + "taken.prf", "not a profile\n");
  w.prompter.yesNo = {false, true};
  script.Add([&](QDialog &d) {
    QWizard &sheet = Sheet(d);
    Next(sheet);
    /* A compiler without a profile of its own: nothing is filled in. */
    auto *compiler = BuddyAs<QComboBox>(sheet.currentPage(), "&Compiler:");
    compiler->setCurrentIndex(compiler->findText("GNU C, d950 variant"));
    while (sheet.currentId() != CPSProfile::SavePage) Next(sheet);
    QWidget *page = sheet.currentPage();
    auto *file = BuddyAs<QLineEdit>(page, "&Save description in file:");
    Finish(sheet);
    QCOMPARE(w.prompter.asked.last(), QString("Please provide a profile name."));
    Type(BuddyAs<QLineEdit>(page, "&Profile name:"), "Plain");
    Type(file, installed);
    Finish(sheet);
    QVERIFY(w.prompter.asked.last().contains("belongs to the installation"));
    Type(file, folder + "taken");
    Finish(sheet); /* replacing refused */
    QCOMPARE(w.prompter.asked.last(), QString("File already exists. Do you want to replace it?"));
    QCOMPARE(file->text(), folder + "taken.prf");
    QVERIFY(sheet.isVisible());
    Finish(sheet); /* replacing accepted */
  });
  w.frame->OnToolsNewProfile();
  QVERIFY(script.Done());
  QCOMPARE(ReadBytes(installed), installedBytes);
  QCOMPARE(QDir(folder).entryList(QDir::Files), QStringList({"taken.prf"}));
  QStringList prf = Lines(folder + "taken.prf");
  for (const char *line : {"NAME=Plain", "DEF=", "IGN=", "MACROFILE=", "DIALECT=gnu_d950"})
    QVERIFY2(prf.contains(line), line);
  QCOMPARE(w.app->Environment().GetCurrentProfile()->GetName(), std::string("Plain"));

  /* Cancelled on its way, the assistant adds nothing. */
  size_t profiles = w.app->Environment().GetProfiles().size();
  script.Add([](QDialog &d) {
    Next(Sheet(d));
    d.reject();
  });
  w.frame->OnToolsNewProfile();
  QCOMPARE(w.app->Environment().GetProfiles().size(), profiles);
  QCOMPARE(QDir(folder).entryList(QDir::Files), QStringList({"taken.prf"}));
}

void CAssistantTests::modifyingAProfilePrefillsAndCancelKeepsTheFiles() {
  CWorkbenchFixture w;
  CScript script;
  Install(w, script);
  QString folder = UserDir(w, "profiles/");
  QString retriever = QDir::cleanPath(RETRIEVER_STANDIN);
  WriteText(folder + "own.prf", QString("TARQUIN ZKL 1.0 PROFIL FILE\nNAME=Own\nDEF=own.def\nIGN=own.ign\n"
                                        "BUILD=%1\nEXPANDMACRO=N\nMACROFILE=own.mac\nDIALECT=gnu\n")
                                    .arg(retriever));
  WriteText(folder + "own.def", "I/opt/inc\nDA=1\nDB\nAmachine(x86)\n");
  WriteText(folder + "own.ign", "#if 0 --> #endif\n");
  WriteText(folder + "own.mac", "M1\n");
  CEnvironment &env = w.app->Environment();
  CProfile *own = env.RetrieveProfile(CPathName(S(folder + "own.prf")), true);
  QVERIFY(own);
  env.SetCurrentProfile(own);
  QMap<QString, QByteArray> before = Snapshot(folder);
  CProfile memory;
  memory.ResetToStateOf(own);

  /* Every page shows the profile; edits everywhere, then Cancel. */
  auto visit = [&](QWizard &sheet, bool edit) {
    Next(sheet);
    auto *compiler = BuddyAs<QComboBox>(sheet.currentPage(), "&Compiler:");
    QCOMPARE(compiler->currentText(), QString("GNU C"));
    if (edit) compiler->setCurrentIndex(compiler->findText("ISO C99"));
    Next(sheet);
    QWidget *page = sheet.currentPage();
    auto *macros = BuddyAs<QLineEdit>(page, "Compiler predefined &macros:");
    QCOMPARE(macros->text(), QString("A=1, B"));
    QCOMPARE(BuddyAs<QLineEdit>(page, "Compiler &headers directories:")->text(), QString("/opt/inc"));
    QCOMPARE(BuddyAs<QLineEdit>(page, "Compiler &assertions:")->text(), QString("machine(x86)"));
    if (edit) Type(macros, "A=2");
    Next(sheet);
    page = sheet.currentPage();
    QVERIFY(!qobject_cast<QCheckBox *>(Button(page, "&Expand All Macros"))->isChecked());
    QCOMPARE(BuddyAs<QLineEdit>(page, "Except for &macros:")->text(), QString("M1"));
    if (edit) Button(page, "&Expand All Macros")->click();
    Next(sheet);
    page = sheet.currentPage();
    auto *clauses = page->findChild<CListCtrlEx *>();
    QCOMPARE(clauses->rowCount(), 1);
    QCOMPARE(clauses->item(0, 1)->text(), QString("#endif"));
    if (edit) {
      Select(clauses, {"#if 0"});
      Button(page, "&Remove")->click();
    }
    Next(sheet);
    QCOMPARE(BuddyAs<QLineEdit>(sheet.currentPage(), "&Application file retriever:")->text(), retriever);
    Next(sheet);
    page = sheet.currentPage();
    QCOMPARE(BuddyAs<QLineEdit>(page, "&Profile name:")->text(), QString("Own"));
    QCOMPARE(BuddyAs<QLineEdit>(page, "&Save description in file:")->text(), folder + "own.prf");
  };
  script.Add([&](QDialog &d) {
    visit(Sheet(d), true);
    d.reject();
  });
  w.frame->OnToolsModifyProfile();
  QVERIFY(script.Done());
  QCOMPARE(Snapshot(folder), before);
  QVERIFY(*own->GetPreprocessor() == *memory.GetPreprocessor());
  QVERIFY(*own->GetAnalyzer() == *memory.GetAnalyzer());
  QVERIFY(*own->GetIgnoreCode() == *memory.GetIgnoreCode());
  QVERIFY(own->GetDialect() == memory.GetDialect());

  /* Finished, the same profile object and files take the changes; the
   * ignore file, now empty, goes. */
  script.Add([&](QDialog &d) {
    visit(Sheet(d), true);
    Finish(Sheet(d));
  });
  w.frame->OnToolsModifyProfile();
  QCOMPARE(env.GetCurrentProfile(), own);
  QCOMPARE(QDir(folder).entryList(QDir::Files), QStringList({"own.def", "own.mac", "own.prf"}));
  QCOMPARE(Lines(folder + "own.def"), QStringList({"I/opt/inc", "DA=2", "Amachine(x86)"}));
  QStringList prf = Lines(folder + "own.prf");
  for (const char *line : {"IGN=", "EXPANDMACRO=Y", "DIALECT=c99"}) QVERIFY2(prf.contains(line), line);
}

void CAssistantTests::updateOptionsRunsTheRetrieverOnACopy() {
  CWorkbenchFixture w;
  CScript script;
  CWizardAssistants *assistants = Install(w, script);
  bool waited = false;
  assistants->onWaiting = [&waited](CWaitDialog &) { waited = true; };
  QString folder = UserDir(w, "profiles/");
  QString setup = QDir::cleanPath(SETUP_STANDIN);
  script.Add([&](QDialog &d) {
    QWizard &sheet = Sheet(d);
    while (sheet.currentId() != CPSProfile::MakePage) Next(sheet);
    QWidget *page = sheet.currentPage();
    auto *update = Button(page, "&Update Options");
    /* The shipped profiles name the makefile import assistant. */
    QVERIFY(update->isEnabled());
    Type(BuddyAs<QLineEdit>(page, "&Application file retriever:"), "");
    QVERIFY(!update->isEnabled());
    Type(BuddyAs<QLineEdit>(page, "&Application file retriever:"), folder + "nothing");
    Next(sheet);
    QVERIFY(w.prompter.asked.last().contains("is not a program"));
    Type(BuddyAs<QLineEdit>(page, "&Application file retriever:"), setup);
    QVERIFY(update->isEnabled());
    update->click();
    QVERIFY(waited);
    auto summary = page->findChildren<QLabel *>();
    QVERIFY(std::any_of(summary.begin(), summary.end(),
                        [](QLabel *l) { return l->text().startsWith("Make command: gmake"); }));
    Next(sheet);
    Type(BuddyAs<QLineEdit>(sheet.currentPage(), "&Profile name:"), "Built");
    Finish(sheet);
  });
  w.frame->OnToolsNewProfile();
  QVERIFY(script.Done());
  QStringList prf = Lines(folder + "Built.prf");
  for (const char *line : {"MAKE_COMMAND_PATH=gmake", "MAKE_MAKEFILE_NAME_OPTION=--file",
                           "MAKE_BUILD_ALL_OPTION=--always-make", "MAKE_TARGET_OPTION=--target"})
    QVERIFY2(prf.contains(line), line);
  CProfile *made = w.app->Environment().GetCurrentProfile();
  QCOMPARE(QString::fromStdString(made->GetMakeCommand()->GetExtractFilesCmd().Str()), setup);
  QVERIFY(w.TempFiles().isEmpty());
}

void CAssistantTests::newRuleSetWithMultipleSelectionAndPatterns() {
  CRuleWorld rules;
  CWorkbenchFixture w(rules.Settings());
  QVERIFY(w.started);
  CScript script;
  Install(w, script);
  QString folder = UserDir(w, "rulesets/");
  script.Add([&](QDialog &d) {
    QWizard &sheet = Sheet(d);
    Next(sheet);
    auto *page = qobject_cast<CPPRuleSetRules *>(sheet.currentPage());
    QVERIFY(page);
    CListCtrlEx *list = page->Rules();
    QCOMPARE(list->rowCount(), 3);
    Next(sheet);
    QCOMPARE(w.prompter.asked.last(), QString("Please specify at least one rule."));

    /* Two rules whose maxLen differ: one value shown for both, then one
     * value given to both. */
    Select(list, {"Line length", "Name prefix"});
    QCOMPARE(page->Parameters()->count(), 1);
    QCOMPARE(page->Parameters()->currentText(), QString("Maximum length"));
    QCOMPARE(page->Value()->text(), QString("<Multiple Selection>"));
    page->EditButton()->click();
    QCOMPARE(page->Value()->text(), QString("64"));
    page->CheckButton()->click();
    QCOMPARE(list->item(Row(list, "Line length"), 0)->checkState(), Qt::Checked);

    /* The pattern of one rule, built from parts. */
    Select(list, {"Name prefix"});
    QCOMPARE(page->RuleDescription()->toPlainText(), QString("Names carry a prefix."));
    page->Parameters()->setCurrentIndex(page->Parameters()->findText("Pattern of names"));
    QCOMPARE(page->Value()->text(), QString("^[a-z]+$"));
    page->EditButton()->click();
    QCOMPARE(page->Value()->text(), QString("^[^x](.*)mid(.*)_t$"));
    Next(sheet);
    Finish(sheet);
    QCOMPARE(w.prompter.asked.last(), QString("Please specify a Rule Set name !"));
    Type(BuddyAs<QLineEdit>(sheet.currentPage(), "&Rule set name:"), "Mine");
    Finish(sheet);
  });
  script.Add([](QDialog &d) {
    auto &dialog = static_cast<CParameterValueDlg &>(d);
    QCOMPARE(dialog.ValueEdit()->placeholderText(), QString("<Multiple Selection>"));
    Type(BuddyAs<QLineEdit>(&dialog, "&Parameter Value:"), "64");
    dialog.accept();
  });
  script.Add([](QDialog &d) {
    auto &dialog = static_cast<CPatternValueDlg &>(d);
    QVERIFY(dialog.FullChoice()->isChecked());
    dialog.ElementsChoice()->click();
    dialog.NotBeginChoice()->click();
    Type(dialog.BeginEdit(), "xyz"); /* one character only */
    Type(BuddyAs<QLineEdit>(&dialog, "C&ontain string"), "mid");
    Type(dialog.EndEdit(), "_t");
    QCOMPARE(dialog.Pattern(), QString("^[^x](.*)mid(.*)_t$"));
    dialog.accept();
  });
  w.frame->OnToolsNewRuleSet();
  QVERIFY(script.Done());

  QString path = folder + "Mine.rsf";
  QStringList lines = Lines(path);
  QCOMPARE(lines.size(), 4);
  QCOMPARE(lines[1], QString("NAME=Mine"));
  QVERIFY(lines[2].startsWith("\"Line length\"") && lines[2].endsWith("maxLen {64}"));
  QVERIFY(lines[3].endsWith("maxLen {64}, namePattern {^[^x](.*)mid(.*)_t$} # {1,\"x\"} {0,\"mid\"} {0,\"_t\"}"));
  QVERIFY(w.Log().contains("Info: Rule set  file '" + path + "' saved"));
  CEnvironment &env = w.app->Environment();
  CRuleSet *made = env.GetCurrentRuleSet();
  QCOMPARE(made->GetName(), std::string("Mine"));
  CRuleSet back;
  back.SetFilePath(made->GetFullPath());
  QVERIFY(back.Load());
  QCOMPARE(back.GetCheckedRulesCount(), 2);
  for (const auto &e : back.GetRuleEntries()) {
    CRuleEntry *mine = made->FindRuleEntry(e->GetRule());
    QVERIFY(mine && mine->IsCheck() && e->HasEqualParameters(*mine));
  }
  auto *pattern = dynamic_cast<CRulePatternValue *>(back.GetRuleEntries()[1]->GetParameterValue("namePattern"));
  QVERIFY(pattern && pattern->GetUseParts() && pattern->GetBeginPart().negated);
}

void CAssistantTests::modifyingRuleSetsLeavesTheInstallationAlone() {
  CRuleWorld rules;
  CWorkbenchFixture w(rules.Settings());
  CScript script;
  Install(w, script);
  CEnvironment &env = w.app->Environment();
  QString folder = UserDir(w, "rulesets/");
  QByteArray base = ReadBytes(rules.Path("base.rsf"));
  CRuleSet *installed = env.RetrieveRuleSet(CPathName(S(rules.Path("base.rsf"))), false);
  QVERIFY(installed);
  env.SetCurrentRuleSet(installed);

  script.Add([&](QDialog &d) {
    QWizard &sheet = Sheet(d);
    Next(sheet);
    auto *page = static_cast<CPPRuleSetRules *>(sheet.currentPage());
    CListCtrlEx *list = page->Rules();
    QCOMPARE(list->item(Row(list, "Line length"), 0)->checkState(), Qt::Checked);
    QCOMPARE(list->item(Row(list, "No goto"), 0)->checkState(), Qt::Unchecked);
    Select(list, {"Line length"});
    QCOMPARE(page->Value()->text(), QString("72"));
    Select(list, {"No goto"});
    QVERIFY(!page->EditButton()->isEnabled());
    page->CheckButton()->click();
    Next(sheet);
    QWidget *save = sheet.currentPage();
    QCOMPARE(BuddyAs<QLineEdit>(save, "&Rule set name:")->text(), QString("Base"));
    QCOMPARE(BuddyAs<QLineEdit>(save, "&Save description in file:")->text(), folder + "base.rsf");
    Finish(sheet);
  });
  w.frame->OnToolsModifyRuleSet();
  QVERIFY(script.Done());
  QCOMPARE(ReadBytes(rules.Path("base.rsf")), base);
  QCOMPARE(installed->GetCheckedRulesCount(), 2);
  CRuleSet *copy = env.GetCurrentRuleSet();
  QVERIFY(copy && copy != installed);
  QCOMPARE(QString::fromStdString(copy->GetFullPath().Str()), folder + "base.rsf");
  QCOMPARE(Lines(folder + "base.rsf").size(), 5);
  QVERIFY(w.prompter.asked.last().contains(folder + "base.rsf"));
  QCOMPARE(int(env.GetRuleSets().size()), 2);

  /* The user's own rule set: Cancel keeps file and memory, Finish writes
   * the same file. */
  QByteArray mine = ReadBytes(folder + "base.rsf");
  script.Add([&](QDialog &d) {
    QWizard &sheet = Sheet(d);
    Next(sheet);
    auto *page = static_cast<CPPRuleSetRules *>(sheet.currentPage());
    Select(page->Rules(), {"Line length", "No goto"});
    page->CheckButton()->click();
    d.reject();
  });
  w.frame->OnToolsModifyRuleSet();
  QCOMPARE(ReadBytes(folder + "base.rsf"), mine);
  QCOMPARE(copy->GetCheckedRulesCount(), 3);
  script.Add([&](QDialog &d) {
    QWizard &sheet = Sheet(d);
    Next(sheet);
    auto *page = static_cast<CPPRuleSetRules *>(sheet.currentPage());
    Select(page->Rules(), {"No goto"});
    page->CheckButton()->click();
    Next(sheet);
    Finish(sheet);
  });
  w.frame->OnToolsModifyRuleSet();
  QCOMPARE(env.GetCurrentRuleSet(), copy);
  QCOMPARE(copy->GetCheckedRulesCount(), 2);
  QCOMPARE(Lines(folder + "base.rsf").size(), 4);
  QCOMPARE(QDir(folder).entryList(QDir::Files), QStringList({"base.rsf"}));
}

void CAssistantTests::applicationAssistantCreatesAndModifies() {
  CWorkbenchFixture w;
  CScript script;
  Install(w, script);
  CEnvironment &env = w.app->Environment();
  QString demo = CWorkbenchFixture::SourceDir() + "/examples/demo/";
  env.SetCurrentProfile(nullptr);
  env.SetCurrentRuleSet(nullptr);
  w.frame->OnFileNew();
  QCOMPARE(w.prompter.asked.last(), QString("Please choose Profile and RuleSet."));
  env.SetCurrentProfile(env.RetrieveProfile(CPathName(S(CWorkbenchFixture::Built("util/profiles/ansi.prf"))), true));
  w.frame->OnFileNew();
  QCOMPARE(w.prompter.asked.last(), QString("Please specify rule set."));
  env.SetCurrentRuleSet(env.RetrieveRuleSet(CPathName(S(CWorkbenchFixture::Built("rules/default.rsf"))), true));

  QString path = w.Path("mine.app");
  script.Add([&](QDialog &d) {
    QWizard &sheet = Sheet(d);
    Next(sheet);
    auto *page = static_cast<CPPAppCategories *>(sheet.currentPage());
    CListCtrlEx *files = page->Files();
    w.prompter.openFiles = {demo + "main.c", demo + "counter.c"};
    Button(page, "&Add File")->click();
    w.prompter.openFiles = {demo + "main.c"};
    Button(page, "&Add File")->click();
    QCOMPARE(w.prompter.asked.last(), QString("File is already added."));
    QCOMPARE(files->rowCount(), 2);
    files->item(Row(files, "main.c"), 0)->setCheckState(Qt::Unchecked);

    /* Choosing a file edits its settings. */
    Select(files, {"counter.c"});
    QVERIFY(page->FilesChoice()->isChecked());
    auto *macros = BuddyAs<QLineEdit>(page, "Application/File predefined &macros:");
    Type(macros, "COUNTER_MAX=10");
    page->ApplicationChoice()->click();
    QVERIFY(macros->text().isEmpty());
    Type(macros, "1BAD");
    Next(sheet);
    QVERIFY(w.prompter.asked.last().startsWith("Invalid syntax\n\nApplication: '1BAD'"));
    Type(macros, "NDEBUG");
    page->Categories()->setCurrentIndex(CPSAppCategories::IgnorePage);
    Type(BuddyAs<QLineEdit>(page, "Be&ginning with:"), "#ifdef TEST");
    Type(BuddyAs<QLineEdit>(page, "End&ing with:"), "#endif");
    Button(page, "A&dd")->click();
    Next(sheet);
    /* Proposed beside the first source, under a free name. */
    auto *file = BuddyAs<QLineEdit>(sheet.currentPage(), "&Save description in file:");
    QCOMPARE(file->text(), demo + "demo1.app");
    Type(file, w.Path("mine"));
    Finish(sheet);
  });
  w.frame->OnFileNew();
  QVERIFY(script.Done());
  QCOMPARE(w.frame->AppDoc().Path(), path);
  CApplication back(nullptr, nullptr);
  back.SetFilePath(CPathName(S(path)));
  QVERIFY(back.Load());
  QCOMPARE(int(back.GetFileEntries().size()), 2);
  CFileEntry *main = back.FindFileEntry(CPathName(S(demo + "main.c")));
  CFileEntry *counter = back.FindFileEntry(CPathName(S(demo + "counter.c")));
  QVERIFY(main && counter && !main->IsCheck() && counter->IsCheck());
  QCOMPARE(counter->GetPreprocessor()->GetDefines().GetText(), std::string("COUNTER_MAX=10"));
  QVERIFY(main->GetPreprocessor()->IsEmpty());
  QCOMPARE(back.GetPreprocessor()->GetDefines().GetText(), std::string("NDEBUG"));
  QVERIFY(back.GetIgnoreCode()->HasClause("#ifdef TEST", "#endif"));

  /* Modify: the pages show the application; two files selected show what
   * they share; Cancel leaves everything as it was. */
  QMap<QString, QByteArray> before = Snapshot(w.dir.path());
  auto edit = [&](QDialog &d) {
    QWizard &sheet = Sheet(d);
    Next(sheet);
    auto *page = static_cast<CPPAppCategories *>(sheet.currentPage());
    auto *macros = BuddyAs<QLineEdit>(page, "Application/File predefined &macros:");
    QCOMPARE(macros->text(), QString("NDEBUG"));
    Select(page->Files(), {"main.c", "counter.c"});
    QVERIFY(macros->text().isEmpty());
    QCOMPARE(macros->placeholderText(), QString("<Multiple Selection>"));
    Type(macros, "SHARED");
    Select(page->Files(), {"main.c"});
    QCOMPARE(macros->text(), QString("SHARED"));
    Next(sheet);
    QCOMPARE(BuddyAs<QLineEdit>(sheet.currentPage(), "&Save description in file:")->text(), path);
  };
  script.Add([&](QDialog &d) {
    edit(d);
    d.reject();
  });
  w.frame->OnFileModify();
  QCOMPARE(Snapshot(w.dir.path()), before);
  CApplication *open = env.GetCurrentApplication();
  QCOMPARE(open->FindFileEntry(CPathName(S(demo + "counter.c")))->GetPreprocessor()->GetDefines().GetText(),
           std::string("COUNTER_MAX=10"));
  QVERIFY(!w.frame->isWindowModified());

  script.Add([&](QDialog &d) {
    edit(d);
    Finish(Sheet(d));
  });
  w.frame->OnFileModify();
  QVERIFY(!w.frame->isWindowModified());
  CApplication again(nullptr, nullptr);
  again.SetFilePath(CPathName(S(path)));
  QVERIFY(again.Load());
  for (const auto &e : again.GetFileEntries())
    QCOMPARE(e->GetPreprocessor()->GetDefines().GetText(), std::string("SHARED"));
  /* The settings files kept their names; the new one came beside them. */
  QStringList companions = QDir(w.dir.path()).entryList({"mine*"}, QDir::Files);
  for (const QString &f : before.keys())
    if (f.startsWith("mine")) QVERIFY2(companions.contains(f), qPrintable(f));
}

/* On every page of every sheet, each accelerator leads to one control,
 * labels lead to their fields, and Enter in a field goes to the next
 * page. */
void CAssistantTests::everyPageHasDistinctAcceleratorsAndEnterGoesOn() {
  CRuleWorld rules;
  CWorkbenchFixture w(rules.Settings());
  CScript script;
  Install(w, script);
  CEnvironment &env = w.app->Environment();
  QVERIFY(w.frame->OpenApplication(w.WriteDemoApplication("demo.app", false)));
  env.SetCurrentProfile(env.GetProfiles().front().get());
  env.SetCurrentRuleSet(env.GetRuleSets().front().get());
  auto check = [](QWizard &sheet, QWidget *within) {
    QMap<QChar, QString> seen;
    QList<QWidget *> widgets = within->findChildren<QWidget *>();
    for (auto id : {QWizard::BackButton, QWizard::NextButton, QWizard::FinishButton})
      widgets << sheet.button(id);
    for (QWidget *widget : widgets) {
      if (!widget->isVisibleTo(&sheet)) continue;
      QString text;
      if (auto *l = qobject_cast<QLabel *>(widget)) {
        text = l->text();
        if (text.contains('&')) QVERIFY2(l->buddy(), qPrintable(text));
      } else if (auto *b = qobject_cast<QAbstractButton *>(widget)) {
        text = b->text();
      }
      qsizetype at = text.indexOf(QRegularExpression("&[^&]"));
      if (at < 0) continue;
      QChar key = text[at + 1].toLower();
      QVERIFY2(!seen.contains(key), qPrintable(seen.value(key) + " / " + text));
      seen[key] = text;
    }
  };
  auto walk = [&](QDialog &d) {
    QWizard &sheet = Sheet(d);
    for (int guard = 0; guard < 10; ++guard) {
      QWidget *page = sheet.currentPage();
      if (auto *files = qobject_cast<CPPAppCategories *>(page)) {
        for (int tab = 0; tab < files->Categories()->count(); ++tab) {
          files->Categories()->setCurrentIndex(tab);
          check(sheet, page);
        }
      } else {
        check(sheet, page);
      }
      if (sheet.currentId() == sheet.pageIds().last()) break;
      if (auto *rules = qobject_cast<CPPRuleSetRules *>(page)) {
        Select(rules->Rules(), {"Line length"});
        rules->CheckButton()->click();
      }
      Next(sheet);
    }
    d.reject();
  };
  for (int i = 0; i < 3; ++i) script.Add(walk);
  w.frame->OnToolsModifyProfile();
  w.frame->OnToolsNewRuleSet();
  w.frame->OnFileModify();
  QVERIFY(script.Done());

  script.Add([](QDialog &d) {
    QWizard &sheet = Sheet(d);
    Next(sheet);
    auto *compiler = BuddyAs<QComboBox>(sheet.currentPage(), "&Compiler:");
    QTest::keyClick(compiler, Qt::Key_Return);
    QCOMPARE(sheet.currentId(), int(CPSProfile::PreprocessorPage));
    QTest::keyClick(BuddyAs<QLineEdit>(sheet.currentPage(), "Compiler &headers directories:"), Qt::Key_Return);
    QCOMPARE(sheet.currentId(), int(CPSProfile::AnalyzerPage));
    d.reject();
  });
  w.frame->OnToolsNewProfile();
  QVERIFY(script.Done());
}

/* What the README tells a new user: a profile, a rule set and an
 * application of their own, made with the assistants alone, then Check. */
void CAssistantTests::freshInstallationToACheckedApplication() {
  CWorkbenchFixture w;
  CScript script;
  Install(w, script);
  CEnvironment &env = w.app->Environment();
  QString demo = CWorkbenchFixture::SourceDir() + "/examples/demo/";
  script.Add([](QDialog &d) {
    QWizard &sheet = Sheet(d);
    Next(sheet);
    auto *compiler = BuddyAs<QComboBox>(sheet.currentPage(), "&Compiler:");
    compiler->setCurrentIndex(compiler->findText("ISO C90"));
    while (sheet.currentId() != CPSProfile::SavePage) Next(sheet);
    Type(BuddyAs<QLineEdit>(sheet.currentPage(), "&Profile name:"), "My C");
    Finish(sheet);
  });
  w.frame->OnToolsNewProfile();
  script.Add([](QDialog &d) {
    QWizard &sheet = Sheet(d);
    Next(sheet);
    auto *page = static_cast<CPPRuleSetRules *>(sheet.currentPage());
    Select(page->Rules(), {"Switch with default", "No goto"});
    page->CheckButton()->click();
    Next(sheet);
    Type(BuddyAs<QLineEdit>(sheet.currentPage(), "&Rule set name:"), "Switches");
    Finish(sheet);
  });
  w.frame->OnToolsNewRuleSet();
  script.Add([&](QDialog &d) {
    QWizard &sheet = Sheet(d);
    Next(sheet);
    w.prompter.openFiles = {demo + "main.c", demo + "counter.c", demo + "events.c"};
    Button(sheet.currentPage(), "&Add File")->click();
    Next(sheet);
    Type(BuddyAs<QLineEdit>(sheet.currentPage(), "&Save description in file:"), w.Path("project.app"));
    Finish(sheet);
  });
  w.frame->OnFileNew();
  QVERIFY(script.Done());
  CApplication *app = env.GetCurrentApplication();
  QVERIFY(app);
  QCOMPARE(app->GetAppProfile()->GetName(), std::string("My C"));
  QCOMPARE(app->GetAppRuleSet()->GetName(), std::string("Switches"));
  QVERIFY(!env.IsInstalledFile(app->GetAppProfile()->GetFullPath()));

  QVERIFY(w.frame->OnToolsCheck());
  QCOMPARE(w.Log().last(), QString("Info: Check is finished."));
  CTableOutFrame *results = w.frame->View().ResultsFrame();
  QVERIFY(results);
  CTableOutView *table = results->View();
  QVERIFY(table->VisibleCount() > 0);
  bool switchAt33 = false;
  for (int r = 0; r < table->VisibleCount(); ++r) {
    const SViolation &v = table->VisibleViolation(r);
    QVERIFY2(v.rule == "SWITCH_DEFAULT" || v.rule == "NO_GOTO", v.rule.c_str());
    switchAt33 = switchAt33 || (ViolationPath(v).endsWith("/events.c") && v.line == 33);
  }
  QVERIFY(switchAt33);
}

QTEST_MAIN(CAssistantTests)
#include "assistant_tests.moc"
