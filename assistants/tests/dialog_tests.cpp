/* The import assistant's dialogs: what they show, how their buttons change
 * the values given back, and a picture of each in build/screenshots. */
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QDir>
#include <QMessageBox>
#include <QTimer>
#include <dlfcn.h>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "asker.h"
#include "assistant.h"
#include "dialogs.h"
#include "wendrel_lists.h"

namespace {

/* Shows the dialog as the user would see it and saves its picture. */
void Picture(QDialog &dialog, const char *name) {
  dialog.show();
  QApplication::processEvents();
  QDir().mkpath(SCREENSHOT_DIR);
  EXPECT_TRUE(dialog.grab().save(QStringLiteral(SCREENSHOT_DIR "/morvane-%1.png").arg(name)));
}

std::vector<std::string> Column(const CListCtrlEx *list, int column) {
  std::vector<std::string> out;
  for (int r = 0; r < list->rowCount(); ++r) out.push_back(list->item(r, column)->text().toStdString());
  return out;
}

void Click(QAbstractButton *b) { QTest::mouseClick(b, Qt::LeftButton); }

}  // namespace

TEST(MorvaneDialogs, MakefileOrDatabase) {
  CImportMakefileDialog d(nullptr, {false, "/home/u/my proj/Makefile", "all"});
  EXPECT_EQ(d.windowTitle(), "Makefile");
  EXPECT_TRUE(d.MakefileButton()->isChecked());
  EXPECT_EQ(d.MakefileButton()->text(), "&Makefile");
  EXPECT_TRUE(d.DatabaseEdit()->text().isEmpty());
  EXPECT_FALSE(d.DatabaseEdit()->isEnabled());
  Picture(d, "makefile");
  EXPECT_EQ(d.Choice(), (SMakefileChoice{false, "/home/u/my proj/Makefile", "all"}));

  d.MakefileEdit()->setText("  ");
  EXPECT_FALSE(d.OkButton()->isEnabled());
  Click(d.DatabaseButton());
  EXPECT_FALSE(d.TargetEdit()->isEnabled());
  EXPECT_FALSE(d.OkButton()->isEnabled());
  d.DatabaseEdit()->setText("/b/compile_commands.json ");
  EXPECT_TRUE(d.OkButton()->isEnabled());
  EXPECT_EQ(d.Choice(), (SMakefileChoice{true, "/b/compile_commands.json", ""}));
  Picture(d, "database");
}

TEST(MorvaneDialogs, VariablesKindsFollowTheButtons) {
  std::vector<MakVar> vars = {{"CC", "gcc", 0}, {"CFLAGS", "-O2 -Wall", 2}, {"MAKE", "make", 1}, {"AR", "ar", 2}};
  CVariablesDialog d(nullptr, vars);
  EXPECT_EQ(d.windowTitle(), "Variables");
  CListCtrlEx *list = d.List();
  EXPECT_EQ(list->GetColumnText(0), "T");
  EXPECT_EQ(list->GetColumnText(1), "Variable");
  EXPECT_EQ(list->GetColumnText(2), "Value");
  EXPECT_EQ(Column(list, 0), (std::vector<std::string>{"C", " ", "M", " "}));
  EXPECT_TRUE(d.KindButton(0)->isChecked());
  Picture(d, "variables");

  /* A mixed selection shows no kind; a click gives all of them one. */
  list->selectAll();
  for (int k = 0; k < 3; ++k) EXPECT_FALSE(d.KindButton(k)->isChecked());
  list->clearSelection();
  list->SetSelection(1, true);
  list->SetSelection(3, true);
  EXPECT_TRUE(d.KindButton(2)->isChecked());
  Click(d.KindButton(0));
  EXPECT_EQ(Column(list, 0), (std::vector<std::string>{"C", "C", "M", "C"}));
  EXPECT_EQ(d.Variables()[1].kind, 0);
  EXPECT_EQ(d.Variables()[3].kind, 0);
  EXPECT_EQ(d.Variables()[2].kind, 1);

  CVariablesDialog empty(nullptr, {});
  EXPECT_FALSE(empty.KindButton(0)->isEnabled());
}

TEST(MorvaneDialogs, FilesMoveBetweenTheLists) {
  std::vector<CPathName> remove = {CPathName("/p/a.c"), CPathName("/p/b.c"), CPathName("/p/very/long/path/of/a/file/that/was/not/compiled/c.c")};
  CFilesNotReferencedDialog d(nullptr, {}, remove);
  EXPECT_EQ(d.windowTitle(), "Files not referenced in application makefile ");
  EXPECT_EQ(d.KeepList()->GetColumnText(0), "File Path");
  EXPECT_EQ(d.KeepList()->columnWidth(0), 500);
  EXPECT_FALSE(d.RemoveAllButton()->isEnabled());
  Picture(d, "files");

  d.RemoveList()->SetSelection(1, true);
  Click(d.ToKeepButton());
  EXPECT_EQ(d.Kept(), (std::vector<CPathName>{CPathName("/p/b.c")}));
  EXPECT_EQ(d.Removed().size(), 2u);
  Click(d.KeepAllButton());
  EXPECT_TRUE(d.Removed().empty());
  EXPECT_EQ(d.Kept().size(), 3u);
  d.KeepList()->clearSelection();
  d.KeepList()->SetSelection(0, true);
  Click(d.ToRemoveButton());
  EXPECT_EQ(d.Removed(), (std::vector<CPathName>{CPathName("/p/b.c")}));
  Click(d.RemoveAllButton());
  EXPECT_TRUE(d.Kept().empty());
}

TEST(MorvaneDialogs, BuildGivesTheFourValues) {
  CBuildDialog d(nullptr, {"make", "-f", "-B", ""});
  EXPECT_EQ(d.windowTitle(), "Build");
  Picture(d, "build");
  d.MakeCommandEdit()->setText("/usr/bin/gmake");
  d.TargetOptionEdit()->setText(" -t ");
  EXPECT_EQ(d.Settings(), (SBuildSettings{"/usr/bin/gmake", "-f", "-B", "-t"}));
  bool labelled = false;
  for (QLabel *l : d.findChildren<QLabel *>())
    if (l->text() == "Makefile &Name \noption") labelled = l->buddy() == d.MakefileOptionEdit();
  EXPECT_TRUE(labelled);
}

/* The capture program's question, from its module: the box shows the
 * question and gives back the answer. */
TEST(TeskelQuestion, MessageBoxAnswersYesOrNo) {
  void *module = dlopen(TESKEL_ASK_PATH, RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(module, nullptr) << dlerror();
  auto ask = reinterpret_cast<TeskelAskFunction>(dlsym(module, kTeskelAskSymbol));
  ASSERT_NE(ask, nullptr);
  std::string question = GetReplaceOptionsQuestion(CPathName("/home/u/my proj/src/main.c"));
  for (auto button : {QMessageBox::Yes, QMessageBox::No}) {
    QString shown;
    QTimer::singleShot(0, [&] {
      for (QWidget *w : QApplication::topLevelWidgets()) {
        auto *box = qobject_cast<QMessageBox *>(w);
        if (!box || !box->isVisible()) continue;
        shown = box->text();
        if (button == QMessageBox::Yes) {
          QDir().mkpath(SCREENSHOT_DIR);
          box->grab().save(QStringLiteral(SCREENSHOT_DIR "/teskel-question.png"));
        }
        box->button(button)->click();
      }
    });
    EXPECT_EQ(ask("Teskel", question.c_str()), button == QMessageBox::Yes ? 1 : 0);
    EXPECT_EQ(shown.toStdString(), question);
  }
  dlclose(module);
}
