/*
 * appcategories.cpp - the category sheet and its three small pages.
 */
#include "appcategories.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "parts.h"
#include "prompter.h"
#include "tessary_app.h"

namespace {

/* A tab of the sheet: its editor, with room around it. */
class CCategoryPage : public QWidget {
 public:
  CCategoryPage(QWidget *editor, QWidget *parent) : QWidget(parent) {
    layout_ = new QVBoxLayout(this);
    layout_->addWidget(editor, 1);
  }

 protected:
  QVBoxLayout *layout_;
};

class CPPAppPreprocessor : public CCategoryPage {
 public:
  CPPAppPreprocessor(CPreprocessorEdits *edits, QPushButton *check, QWidget *parent)
      : CCategoryPage(edits, parent) {
    auto *row = new QHBoxLayout;
    row->addStretch(1);
    row->addWidget(check);
    layout_->addLayout(row);
  }
};

class CPPAppAnalyzer : public CCategoryPage {
 public:
  CPPAppAnalyzer(CAnalyzerEdits *edits, QWidget *parent) : CCategoryPage(edits, parent) { layout_->addStretch(1); }
};

class CPPAppIgnoreCode : public CCategoryPage {
 public:
  CPPAppIgnoreCode(CClauseEditor *clauses, QWidget *parent) : CCategoryPage(clauses, parent) {}
};

}  // namespace

CPSAppCategories::CPSAppCategories(CPrompter &prompter, QWidget *parent)
    : QTabWidget(parent), prompter_(prompter) {
  preprocessor_ = new CPreprocessorEdits({QStringLiteral("Application/File predefined &macros:"),
                                          QStringLiteral("Application/File &headers directories:"),
                                          QStringLiteral("Application/File a&ssertions:")});
  check_ = new QPushButton(QStringLiteral("&Check"));
  check_->setAutoDefault(false);
  check_->setToolTip(tr("Check the syntax of the macros and assertions"));
  analyzer_ = new CAnalyzerEdits(QStringLiteral("E&xpand All Macros"), QStringLiteral("Except for &macros:"));
  clauses_ = new CClauseEditor(prompter,
                               {QStringLiteral("Be&ginning with:"), QStringLiteral("End&ing with:"),
                                QStringLiteral("A&dd"), QStringLiteral("Re&move")});
  addTab(new CPPAppPreprocessor(preprocessor_, check_, this), QStringLiteral("Preprocessor"));
  addTab(new CPPAppAnalyzer(analyzer_, this), QStringLiteral("Analyzer"));
  addTab(new CPPAppIgnoreCode(clauses_, this), QStringLiteral("Ignore code"));
  connect(check_, &QPushButton::clicked, this, &CPSAppCategories::CheckSyntax);
}

void CPSAppCategories::EditApplication(CApplication &app) {
  app_ = &app;
  files_.clear();
  Refresh();
}

void CPSAppCategories::EditFiles(const std::vector<CFileEntry *> &files) {
  app_ = nullptr;
  files_ = files;
  Refresh();
}

void CPSAppCategories::Refresh() {
  std::vector<CPreprocessor *> pp;
  std::vector<CAnalyzer *> an;
  std::vector<CIgnoreCode *> ign;
  auto add = [&](auto *owner) {
    pp.push_back(owner->GetPreprocessor());
    an.push_back(owner->GetAnalyzer());
    ign.push_back(owner->GetIgnoreCode());
  };
  if (app_) add(app_);
  for (CFileEntry *f : files_) add(f);
  preprocessor_->SetTargets(pp);
  analyzer_->SetTargets(an);
  clauses_->SetTargets(ign);
  check_->setEnabled(!pp.empty());
}

void CPSAppCategories::CheckSyntax() {
  QString bad;
  auto check = [&bad](auto *owner) {
    if (bad.isEmpty()) bad = InvalidPreprocessorItem(*owner->GetPreprocessor());
    if (bad.isEmpty()) bad = InvalidMacroName(*owner->GetAnalyzer());
  };
  if (app_) check(app_);
  for (CFileEntry *f : files_) check(f);
  if (bad.isEmpty())
    prompter_.Inform(this, tr("The macros, assertions and macro names are written correctly."),
                     CPrompter::Information);
  else
    prompter_.Inform(this, QString::fromUtf8(GetMessageText(34026)) + "\n\n" + bad, CPrompter::Warning);
}
