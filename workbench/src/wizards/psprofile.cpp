/*
 * psprofile.cpp - the profile assistant and its seven pages.
 */
#include "psprofile.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "parts.h"
#include "prompter.h"
#include "savepage.h"
#include "setuprun.h"
#include "tessary_env.h"

namespace {

QString Q(const std::string &s) { return QString::fromStdString(s); }


/* ---- welcome ------------------------------------------------------- */

class CPPProfileStart : public CAssistantPage {
  Q_OBJECT
 public:
  CPPProfileStart()
      : CAssistantPage(
            QStringLiteral("New profile..."),
            tr("A profile describes the development environment in which your C programs are "
               "compiled: the compiler, the macros it defines by itself, the directories of its "
               "headers, the code the checker should leave out and the program that finds the "
               "files of your applications. Before checking, C Sentrel reads your sources the way "
               "this compiler would.\n\n"
               "This assistant guides you through the creation of a profile, one page at a time.\n\n"
               "Before you start, look in the Profile list for an existing profile close to your "
               "environment: adapting it with Tools / Modify Profile... is often quicker.")) {
    Body()->addStretch(1);
  }
};

/* ---- compiler ------------------------------------------------------ */

/* The settings a compiler's own profile gives a new profile. */
void TakeSettingsOf(CProfile &to, const CProfile &from) {
  to.GetPreprocessor()->ResetToStateOf(from.GetPreprocessor());
  to.GetAnalyzer()->ResetToStateOf(from.GetAnalyzer());
  to.GetIgnoreCode()->ResetToStateOf(from.GetIgnoreCode());
  to.GetMakeCommand()->ResetToStateOf(from.GetMakeCommand());
  to.SetLstMakVars(from.GetLstMakVars());
}

class CPPProfileCompiler : public CAssistantPage {
  Q_OBJECT
 public:
  CPPProfileCompiler()
      : CAssistantPage(QStringLiteral("Compiler"),
                       QStringLiteral("Select the compiler that you use for compiling files you want to "
                                      "analyze. \nClick the Next button when you have made your choice.")) {
    compilers_ = new QComboBox(this);
    compilers_->setMinimumContentsLength(30);
    auto *label = new QLabel(QStringLiteral("&Compiler:"), this);
    label->setBuddy(compilers_);
    Body()->addWidget(label);
    Body()->addWidget(compilers_);
    Body()->addStretch(1);
    connect(compilers_, &QComboBox::currentIndexChanged, this, [this](int i) {
      if (CPSProfile *sheet = SheetAs<CPSProfile>(); sheet && i >= 0) sheet->Profile().SetDialect(Entry(i));
    });
  }

  void initializePage() override {
    CPSProfile *sheet = SheetAs<CPSProfile>();
    CEnvironment &env = sheet->Environment();
    CDialectEntry *chosen = sheet->Profile().GetDialect();
    if (!chosen && sheet->Mode() == CPSProfile::Create) chosen = env.GetCurrentDialect();
    QSignalBlocker block(compilers_);
    compilers_->clear();
    for (const auto &d : env.GetDialects().GetEntries()) {
      compilers_->addItem(Q(d->GetName()), QVariant::fromValue<void *>(d.get()));
      compilers_->setItemData(compilers_->count() - 1, Q(d->GetDialOption()), Qt::ToolTipRole);
    }
    int at = compilers_->findData(QVariant::fromValue<void *>(chosen));
    compilers_->setCurrentIndex(at >= 0 ? at : 0);
    if (compilers_->currentIndex() >= 0) sheet->Profile().SetDialect(Entry(compilers_->currentIndex()));
  }

  /* A new profile starts from the settings of its compiler's own profile,
   * once per compiler chosen. */
  bool validatePage() override {
    CPSProfile *sheet = SheetAs<CPSProfile>();
    CDialectEntry *dialect = sheet->Profile().GetDialect();
    if (!dialect)
      return Refuse(tr("No compiler is known to this installation: its dialect list is empty."));
    if (sheet->Mode() == CPSProfile::Create && dialect != applied_) {
      applied_ = dialect;
      if (const CProfile *model = dialect->GetDialectProfile()) TakeSettingsOf(sheet->Profile(), *model);
    }
    return true;
  }

 private:
  CDialectEntry *Entry(int i) const { return static_cast<CDialectEntry *>(compilers_->itemData(i).value<void *>()); }
  QComboBox *compilers_;
  CDialectEntry *applied_ = nullptr;
};

/* ---- preprocessor and analyzer ---------------------------------------- */

class CPPProfilePreprocessor : public CAssistantPage {
  Q_OBJECT
 public:
  CPPProfilePreprocessor()
      : CAssistantPage(
            QStringLiteral("Preprocessor"),
            QStringLiteral(
                "Enter the specific features of the compiler.\nIn the Compiler predefined macros box, "
                "enter the macros that are defined by default on the compiler that you are using.\n"
                "In the Compiler headers directories input field, type the complete names of all "
                "directories containing compiler header files.\nIn the Compiler assertions input "
                "field, type the description of assertions that are defined by default on the "
                "compiler that you are using.\n")) {
    edits_ = new CPreprocessorEdits({QStringLiteral("Compiler predefined &macros:"),
                                     QStringLiteral("Compiler &headers directories:"),
                                     QStringLiteral("Compiler &assertions:")},
                                    this);
    Body()->addWidget(edits_);
    Body()->addStretch(1);
  }
  void initializePage() override { edits_->SetTargets({SheetAs<CPSProfile>()->Profile().GetPreprocessor()}); }
  bool validatePage() override {
    QString bad = InvalidPreprocessorItem(*SheetAs<CPSProfile>()->Profile().GetPreprocessor());
    return bad.isEmpty() || Refuse(QString::fromUtf8(GetMessageText(34026)) + "\n\n" + bad);
  }

 private:
  CPreprocessorEdits *edits_;
};

class CPPProfileAnalyzer : public CAssistantPage {
  Q_OBJECT
 public:
  CPPProfileAnalyzer()
      : CAssistantPage(QStringLiteral("Analyzer"),
                       QStringLiteral("Enter the macro processing mode: do you want them expanded before "
                                      "checking begins?\nYou can give a list of macros which will be "
                                      "processed the other way.")) {
    edits_ = new CAnalyzerEdits(QStringLiteral("&Expand All Macros"), QStringLiteral("Except for &macros:"), this);
    Body()->addWidget(edits_);
    Body()->addStretch(1);
  }
  void initializePage() override { edits_->SetTargets({SheetAs<CPSProfile>()->Profile().GetAnalyzer()}); }
  bool validatePage() override {
    QString bad = InvalidMacroName(*SheetAs<CPSProfile>()->Profile().GetAnalyzer());
    return bad.isEmpty() || Refuse(QString::fromUtf8(GetMessageText(34026)) + "\n\n" + bad);
  }

 private:
  CAnalyzerEdits *edits_;
};

/* ---- ignore code ------------------------------------------------------- */

class CPPProfileIgnoreCode : public CAssistantPage {
  Q_OBJECT
 public:
  explicit CPPProfileIgnoreCode(CPrompter &prompter)
      : CAssistantPage(QStringLiteral("Ignore code"),
                       QStringLiteral("Indicate which parts of the code should be left out of the checking "
                                      "process.\nGive the beginning and ending strings of each piece of "
                                      "code you want C Sentrel to ignore.")) {
    clauses_ = new CClauseEditor(prompter,
                                 {QStringLiteral("&Beginning with:"), QStringLiteral("&Ending with:"),
                                  QStringLiteral("&Add"), QStringLiteral("&Remove")},
                                 this);
    Body()->addWidget(clauses_, 1);
  }
  void initializePage() override { clauses_->SetTargets({SheetAs<CPSProfile>()->Profile().GetIgnoreCode()}); }
  /* A clause typed but not added yet is what the user meant to add. */
  bool validatePage() override {
    return clauses_->Head()->text().trimmed().isEmpty() || clauses_->AddClause();
  }

 private:
  CClauseEditor *clauses_;
};

/* ---- make command ------------------------------------------------------ */

class CPPProfileMakeCommand : public CAssistantPage {
  Q_OBJECT
 public:
  explicit CPPProfileMakeCommand(CPrompter &prompter)
      : CAssistantPage(QStringLiteral("Make Command"),
                       QStringLiteral("Enter the name of the program that will be used to retrieve the names "
                                      "of the application files and preprocessing directives associated "
                                      "with the source files that you want to verify.")) {
    retriever_ = new CPathEdit(prompter, CPathEdit::OpenFile, tr("Application file retriever"),
                               tr("All Files (*)"), this);
    auto *label = new QLabel(QStringLiteral("&Application file retriever:"), this);
    label->setBuddy(retriever_->Edit());
    update_ = new QPushButton(QStringLiteral("&Update Options"), this);
    update_->setAutoDefault(false);
    update_->setToolTip(tr("Let the retriever set the make command and its options"));
    summary_ = new QLabel(this);
    summary_->setWordWrap(true);
    summary_->setForegroundRole(QPalette::PlaceholderText);
    auto *row = new QHBoxLayout;
    row->addStretch(1);
    row->addWidget(update_);
    Body()->addWidget(label);
    Body()->addWidget(retriever_);
    Body()->addLayout(row);
    Body()->addSpacing(8);
    Body()->addWidget(summary_);
    Body()->addStretch(1);
    connect(retriever_, &CPathEdit::edited, this, [this] {
      Make()->SetExtractFilesCmd(Command());
      edited_ = true;
      Show();
    });
    connect(update_, &QPushButton::clicked, this, [this] {
      CPSProfile *sheet = SheetAs<CPSProfile>();
      if (validatePage()) RunAnalyzerSetup(sheet, Prompter(), sheet->Profile(), sheet->onWaiting);
      Show();
    });
  }

  void initializePage() override {
    retriever_->SetText(Q(Make()->GetExtractFilesCmd().Str()));
    Show();
  }

  /* The retriever is started by its path: the one typed must be a program
   * (a profile that names one no longer there can still be changed). */
  bool validatePage() override {
    CPathName command = Command();
    if (!edited_ || command.IsEmpty() || (command.IsFile() && QFileInfo(Q(command.Str())).isExecutable()))
      return true;
    retriever_->setFocus();
    return Refuse(tr("The application file retriever '%1' is not a program.").arg(Q(command.Str())));
  }

 private:
  CMakeCommand *Make() const { return SheetAs<CPSProfile>()->Profile().GetMakeCommand(); }
  CPathName Command() const {
    QString text = retriever_->Text();
    return CPathName(text.isEmpty() ? std::string() : QFileInfo(text).absoluteFilePath().toStdString());
  }
  void Show() {
    const CMakeCommand *make = Make();
    update_->setEnabled(!retriever_->Text().isEmpty());
    auto shown = [](const std::string &s) { return s.empty() ? tr("(none)") : Q(s); };
    summary_->setText(tr("Make command: %1\nMakefile name option: %2\nBuild all option: %3\nTarget option: %4")
                          .arg(shown(make->GetMakeCommandPath()), shown(make->GetMakefileNameOption()),
                               shown(make->GetBuildAllOption()), shown(make->GetTargetOption())));
  }

  CPathEdit *retriever_;
  QPushButton *update_;
  QLabel *summary_;
  bool edited_ = false;
};

}  // namespace

/* ---- the sheet --------------------------------------------------------- */

CPSProfile::CPSProfile(QWidget *parent, CPrompter &prompter, const CRunModal &run, CProfile &profile,
                       CEnvironment &env, EMode mode)
    : CAssistantSheet(parent, prompter, run, EAssistantPicture::Profile,
                      mode == Create ? tr("New Profile") : tr("Modify Profile")),
      profile_(profile), env_(env), mode_(mode) {
  setPage(StartPage, new CPPProfileStart);
  setPage(CompilerPage, new CPPProfileCompiler);
  setPage(PreprocessorPage, new CPPProfilePreprocessor);
  setPage(AnalyzerPage, new CPPProfileAnalyzer);
  setPage(IgnorePage, new CPPProfileIgnoreCode(prompter));
  setPage(MakePage, new CPPProfileMakeCommand(prompter));
  auto *save = new CSavePage(prompter, QStringLiteral("Save profile"),
                             tr("Give the profile the name under which it appears in the Profile list, "
                                "and the file in which its description is saved.\nClick Finish to save "
                                "the profile; it then becomes the current profile."),
                             {QStringLiteral("&Profile name:"), QStringLiteral("Please provide a profile name."),
                              34116, QString::fromLatin1(kProfileFilter)});
  save->setProperty("helpText", tr("A profile file refers to companion files (predefined macros, "
                                   "ignored code, macro names) that are written beside it."));
  setPage(SavePage, save);
  setStartId(StartPage);
}

CSavePage *CPSProfile::Save() const { return static_cast<CSavePage *>(page(SavePage)); }

#include "psprofile.moc"
