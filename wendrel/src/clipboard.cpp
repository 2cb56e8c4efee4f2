/*
 * clipboard.cpp - CClipboard over the application's QClipboard.
 */
#include "wendrel_clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

bool CClipboard::Open(QWidget *) {
  if (!qobject_cast<QGuiApplication *>(QCoreApplication::instance())) return false;
  open_ = true;
  return true;
}

void CClipboard::Close() { open_ = false; }

bool CClipboard::GetText(QString &text) const {
  if (!open_) return false;
  const QMimeData *data = QGuiApplication::clipboard()->mimeData();
  if (!data || !data->hasText()) return false;
  text = data->text();
  return true;
}

bool CClipboard::SetText(const QString &text) {
  if (!open_) return false;
  QGuiApplication::clipboard()->setText(text);
  return true;
}
