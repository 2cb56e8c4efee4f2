/*
 * art.cpp - the compiled-in pictures as icons.
 */
#include "art.h"

#include <QFile>

#include "tessary_errors.h"

static void InitArtResources() { Q_INIT_RESOURCE(csentrel_art); }

void InitArt() { InitArtResources(); }

static QIcon Sized(const QString &stem, std::initializer_list<int> sizes) {
  QIcon icon;
  for (int s : sizes) icon.addFile(QString(":/icons/%1-%2.png").arg(stem).arg(s), QSize(s, s));
  return icon;
}

QIcon ProgramIcon() { return Sized("csentrel", {16, 24, 32, 48, 64, 128, 256}); }

QIcon ToolIcon(const char *name) { return Sized(QString::fromLatin1(name), {16, 24, 48}); }

QIcon SeverityIcon(int type) {
  const char *stem = type == CZKError::eError ? "error" : type == CZKError::eWarning ? "warning" : "info";
  return Sized(QString::fromLatin1(stem), {16, 32});
}

QStringList AnimationFrames() {
  QStringList frames;
  for (int i = 1; QFile::exists(QString(":/anim/%1.png").arg(i)); ++i)
    frames << QString(":/anim/%1.png").arg(i);
  return frames;
}
