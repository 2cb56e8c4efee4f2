/*
 * assistant_pictures.cpp - the pages of the assistants, one picture each:
 *
 * profile-1-start.png ... profile-7-save.png   the profile assistant
 * ruleset-1-start.png ... ruleset-3-save.png   the rule-set assistant
 * app-1-start.png, app-2-files.png, app-2-files-analyzer.png,
 * app-2-files-ignore.png, app-3-save.png       the application assistant
 * parameter-value.png, pattern.png             the parameter dialogs
 * analyzer-setup.png                           the retriever's setup run
 */
#include "assistant_pictures.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "fixture.h"
#include "makefill.h"
#include "tessary_env.h"
#include "waitdlg.h"
#include "wendrel_lists.h"
#include "wendrel_slide.h"
#include "wizards/appcategories.h"
#include "wizards/paramdlg.h"
#include "wizards/parts.h"
#include "wizards/psapp.h"
#include "wizards/psruleset.h"
#include "wizards/wizassistants.h"

namespace {

QLineEdit *Field(QWidget *page, const QString &label) {
  for (QLabel *l : page->findChildren<QLabel *>())
    if (l->text() == label) return qobject_cast<QLineEdit *>(l->buddy());
  return nullptr;
}

/* Types text into a field as a user does, so that the page takes it. */
void Type(QWidget *page, const QString &label, const QString &text) {
  if (QLineEdit *edit = Field(page, label)) {
    edit->selectAll();
    QTest::keyClicks(edit, text);
  }
}

void Click(QWidget *page, const QString &text) {
  for (QPushButton *b : page->findChildren<QPushButton *>())
    if (b->text() == text) b->click();
}

/* Selects the row of the list whose first column reads text. */
void Choose(CListCtrlEx *list, const QString &text) {
  list->clearSelection();
  for (int r = 0; r < list->rowCount(); ++r)
    if (list->item(r, 0)->text() == text) {
      list->setCurrentCell(r, 0);
      list->selectRow(r);
    }
}

class CPictures {
 public:
  CPictures(CWorkbenchFixture &w, const std::function<void(QWidget *, const QString &)> &save)
      : w_(w), save_(save) {}

  void Take(QWidget *window, const QString &name) {
    QTest::qWait(10);
    save_(window, name);
  }

  void Profile(QDialog &d) {
    auto &sheet = static_cast<QWizard &>(d);
    QStringList names = {"start", "compiler", "preprocessor", "analyzer", "ignore", "make", "save"};
    for (int n = 1;; ++n) {
      QWidget *page = sheet.currentPage();
      switch (sheet.currentId()) {
        case 1:
          if (auto *c = page->findChild<QComboBox *>()) c->setCurrentIndex(c->findText("GNU C"));
          break;
        case 2:
          Type(page, "Compiler predefined &macros:", "__linux__, __x86_64__=1, NDEBUG");
          Type(page, "Compiler &headers directories:", "/usr/lib/gcc/x86_64-linux-gnu/12/include, /usr/include");
          Type(page, "Compiler &assertions:", "system(linux), cpu(x86_64)");
          break;
        case 3: Type(page, "Except for &macros:", "assert, offsetof"); break;
        case 4:
          for (auto [h, t] : {std::pair{"#pragma asm", "#pragma endasm"}, std::pair{"/* BEGIN GENERATED", "END GENERATED */"}}) {
            Type(page, "&Beginning with:", h);
            Type(page, "&Ending with:", t);
            Click(page, "&Add");
          }
          break;
        case 6: Type(page, "&Profile name:", "GCC 12 on Linux"); break;
        default: break;
      }
      Take(&sheet, QString("profile-%1-%2.png").arg(n).arg(names.value(n - 1)));
      if (sheet.currentId() == sheet.pageIds().last()) break;
      sheet.next();
    }
    CWaitDialog setup(&sheet, w_.prompter, QObject::tr("Analyzer setup"),
                      QObject::tr("Waiting for analyzer setup to finish..."), CFillFromMakefile::CancelQuestion());
    setup.show();
    for (int i = 0; i < 2; ++i) setup.Animation()->StepIt();
    Take(&setup, "analyzer-setup.png");
    d.reject();
  }

  void RuleSet(QDialog &d) {
    auto &sheet = static_cast<QWizard &>(d);
    QStringList names = {"start", "rules", "save"};
    for (int n = 1;; ++n) {
      if (auto *rules = qobject_cast<CPPRuleSetRules *>(sheet.currentPage())) {
        CListCtrlEx *list = rules->Rules();
        for (int r = 0; r < list->rowCount(); ++r) {
          QString text = list->item(r, 0)->text();
          bool naming = text.endsWith("names") || text == "Identifier length" || text == "No goto";
          list->item(r, 0)->setCheckState(naming ? Qt::Checked : Qt::Unchecked);
        }
        /* The two dialogs, opened from the page as a user opens them. */
        Choose(list, "Identifier length");
        rules->EditButton()->click();
        Choose(list, "Global variable names");
        rules->EditButton()->click();
      }
      if (sheet.currentId() == CPSRuleSet::SavePage) Type(sheet.currentPage(), "&Rule set name:", "Naming and jumps");
      Take(&sheet, QString("ruleset-%1-%2.png").arg(n).arg(names.value(n - 1)));
      if (sheet.currentId() == sheet.pageIds().last()) break;
      sheet.next();
    }
    d.reject();
  }

  void Pattern(QDialog &d) {
    auto &dialog = static_cast<CPatternValueDlg &>(d);
    dialog.ElementsChoice()->click();
    dialog.BeginEdit()->setText("g_");
    dialog.NotEndChoice()->click();
    dialog.EndEdit()->setText("_");
    Take(&dialog, "pattern.png");
    d.reject();
  }

  void Number(QDialog &d) {
    Take(&d, "parameter-value.png");
    d.reject();
  }

  void Application(QDialog &d) {
    auto &sheet = static_cast<QWizard &>(d);
    Take(&sheet, "app-1-start.png");
    sheet.next();
    auto *page = static_cast<CPPAppCategories *>(sheet.currentPage());
    Choose(page->Files(), "counter.c");
    Type(page, "Application/File predefined &macros:", "COUNTER_LIMIT=64");
    Take(&sheet, "app-2-files.png");
    page->ApplicationChoice()->click();
    page->Categories()->setCurrentIndex(CPSAppCategories::AnalyzerPage);
    Type(page, "Except for &macros:", "TRACE");
    Take(&sheet, "app-2-files-analyzer.png");
    page->Categories()->setCurrentIndex(CPSAppCategories::IgnorePage);
    Type(page, "Be&ginning with:", "#ifdef UNIT_TEST");
    Type(page, "End&ing with:", "#endif");
    Click(page, "A&dd");
    Take(&sheet, "app-2-files-ignore.png");
    sheet.next();
    Take(&sheet, "app-3-save.png");
    d.reject();
  }

 private:
  CWorkbenchFixture &w_;
  std::function<void(QWidget *, const QString &)> save_;
};

}  // namespace

void DrawAssistants(CWorkbenchFixture &w, const std::function<void(QWidget *, const QString &)> &save) {
  CPictures pictures(w, save);
  auto assistants = std::make_unique<CWizardAssistants>(w.prompter);
  CWizardAssistants *raw = assistants.get();
  /* Which dialog is which, by what it is. */
  raw->runModal = [&pictures](QDialog &d) {
    d.show();
    QTest::qWait(10);
    if (qobject_cast<CPatternValueDlg *>(&d)) pictures.Pattern(d);
    else if (qobject_cast<CParameterValueDlg *>(&d)) pictures.Number(d);
    else if (qobject_cast<CPSRuleSet *>(&d)) pictures.RuleSet(d);
    else if (qobject_cast<CPSApp *>(&d)) pictures.Application(d);
    else pictures.Profile(d);
    d.hide();
    return int(QDialog::Rejected);
  };
  w.frame->SetAssistants(std::move(assistants));
  w.frame->OnToolsNewProfile();
  w.frame->OnToolsNewRuleSet();
  w.frame->OnFileModify();
}
