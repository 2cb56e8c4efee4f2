/*
 * docview.cpp - the document sub-window and the printing and clipboard
 * helpers shared by the views.
 */
#include "docview.h"

#include <QFontDatabase>
#include <QPrinter>
#include <QTextDocument>

#include "wendrel_clipboard.h"

CChildFrame::CChildFrame(EKind kind, QWidget *view, CDocumentView *commands, QWidget *parent)
    : QMdiSubWindow(parent), kind_(kind), commands_(commands) {
  setWidget(view);
  setAttribute(Qt::WA_DeleteOnClose);
}

void PrintDocument(QPrinter *printer, QTextDocument &document) {
  document.print(printer);
}

void PrintPlainText(QPrinter *printer, const QString &text) {
  QTextDocument document;
  document.setDefaultFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  document.setPlainText(text);
  PrintDocument(printer, document);
}

void CopyText(const QString &text) {
  CClipboard clipboard;
  if (clipboard.Open(nullptr)) clipboard.SetText(text);
}
