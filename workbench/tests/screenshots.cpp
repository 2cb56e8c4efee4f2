/*
 * screenshots.cpp - drives the workbench through the example project on
 * the offscreen platform and writes one picture per scene:
 *
 *     csentrel_screenshots OUTPUT_DIRECTORY
 *
 * main-window.png     the example opened, with the Profile and Rule Set lists
 * progress.png        the progress dialog of a check run
 * check-finished.png  the results table and the Output window after a check
 * source.png          a source window on a violation
 * about.png           the About box
 * makefile.png        the makefile dialog of the application file retriever
 *
 * and the pages of the assistants (assistant_pictures.cpp).
 */
#include <QApplication>
#include <QDir>
#include <QTest>
#include <cstdio>

#include "about.h"
#include "assistant_pictures.h"
#include "brindle.h"
#include "fixture.h"
#include "makefill.h"
#include "tableout.h"
#include "waitdlg.h"
#include "wendrel_slide.h"

namespace {

QString outDir;
int failures = 0;

void Save(QWidget *w, const QString &name) {
  QApplication::processEvents();
  QString path = outDir + '/' + name;
  if (w->grab().save(path)) {
    std::printf("%s\n", qPrintable(path));
  } else {
    std::fprintf(stderr, "csentrel_screenshots: cannot write %s\n", qPrintable(path));
    ++failures;
  }
}

}  // namespace

int main(int argc, char **argv) {
  QApplication qapp(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: csentrel_screenshots OUTPUT_DIRECTORY\n");
    return 2;
  }
  outDir = QString::fromLocal8Bit(argv[1]);
  QDir().mkpath(outDir);

  CWorkbenchFixture w;
  if (!w.started) return 1;
  w.frame->resize(1280, 820);
  QString shipped = CWorkbenchFixture::SourceDir() + "/examples/demo/demo.app";
  bool inTree = CWorkbenchFixture::BuildDir() == CWorkbenchFixture::SourceDir() + "/build";
  if (!w.frame->OpenApplication(inTree ? shipped : w.WriteDemoApplication())) return 1;
  QTest::qWait(50);
  Save(w.frame.get(), "main-window.png");

  w.frame->onWaiting = [](CWaitDialog &dialog) {
    for (int i = 0; i < 3; ++i) dialog.Animation()->StepIt();
    Save(&dialog, "progress.png");
  };
  if (!w.frame->OnToolsCheck()) ++failures;
  w.frame->onWaiting = nullptr;
  QTest::qWait(50);
  Save(w.frame.get(), "check-finished.png");

  if (CTableOutFrame *results = w.frame->View().ResultsFrame()) {
    CTableOutView *table = results->View();
    for (int r = 0; r < table->VisibleCount(); ++r) {
      const SViolation &v = table->VisibleViolation(r);
      if (ViolationPath(v).endsWith("/events.c") && v.line == 33) {
        table->Table()->selectRow(r);
        table->OpenRow(r);
        break;
      }
    }
  }
  QTest::qWait(50);
  Save(w.frame.get(), "source.png");

  CAboutDialog about(w.frame.get());
  about.show();
  QTest::qWait(20);
  Save(&about, "about.png");

  CMakefileDialog makefile(w.frame.get(), CWorkbenchFixture::SourceDir() + "/examples/demo/Makefile");
  makefile.show();
  QTest::qWait(20);
  Save(&makefile, "makefile.png");

  DrawAssistants(w, Save);
  return failures ? 1 : 0;
}
