/*
 * fixture.cpp - the private world of a workbench under test.
 */
#include "fixture.h"

#include <QFile>
#include <QTest>

#include "tessary_app.h"

QString CWorkbenchFixture::BuildDir() {
  return QDir::cleanPath(QString::fromLocal8Bit(qgetenv("KVX_BUILD_DIR")));
}

QString CWorkbenchFixture::SourceDir() {
  return QDir::cleanPath(QString::fromLocal8Bit(qgetenv("KVX_SOURCE_DIR")));
}

CWorkbenchFixture::CWorkbenchFixture(const QString &settings) {
  tmp = dir.filePath("tmp");
  QDir().mkpath(tmp);
  QDir().mkpath(dir.filePath("config"));
  qputenv("TMPDIR", tmp.toLocal8Bit());
  qputenv("XDG_CONFIG_HOME", dir.filePath("config").toLocal8Bit());
  if (settings.isEmpty()) {
    qunsetenv("CSENTREL_SETTINGS");
  } else {
    QFile f(dir.filePath("csentrel.conf"));
    if (f.open(QIODevice::WriteOnly)) f.write(settings.toLocal8Bit());
    qputenv("CSENTREL_SETTINGS", f.fileName().toLocal8Bit());
  }
  prompter.printFile = dir.filePath("printed.pdf");
  app = std::make_unique<CSentrelApp>();
  QString error;
  started = app->Start(Built("bin/csentrel"), error);
  frame = std::make_unique<CMainFrame>(*app, prompter);
  frame->resize(1280, 820);
  frame->show();
  QTest::qWait(1);
}

CWorkbenchFixture::~CWorkbenchFixture() {
  frame.reset();
  app.reset();
  qunsetenv("CSENTREL_SETTINGS");
}

QString CWorkbenchFixture::WriteDemoApplication(const QString &name, bool ruleSet) {
  CEnvironment &env = app->Environment();
  CProfile *profile = env.RetrieveProfile(CPathName(Built("util/profiles/ansi.prf").toStdString()), true);
  CRuleSet *rules = ruleSet ? env.RetrieveRuleSet(CPathName(Built("rules/default.rsf").toStdString()), true) : nullptr;
  CApplication demo(profile, rules);
  for (const char *f : {"main.c", "counter.c", "events.c"})
    demo.AddFileEntry(CPathName((SourceDir() + "/examples/demo/" + f).toStdString()));
  CCommaList defines("NDEBUG");
  demo.GetPreprocessor()->SetDefines(defines);
  QString path = dir.filePath(name);
  demo.SetFilePath(CPathName(path.toStdString()));
  demo.Save();
  return path;
}

QStringList CWorkbenchFixture::TempFiles() const {
  return QDir(tmp).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
}

QStringList CWorkbenchFixture::Log() const {
  QStringList lines;
  for (int i = 0; i < app->LogDoc().Count(); ++i) lines << app->LogDoc().Entry(i).text;
  return lines;
}
