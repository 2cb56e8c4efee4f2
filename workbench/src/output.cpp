/*
 * output.cpp - the Output window's document and view.
 */
#include "output.h"

#include <QFile>
#include <QFontDatabase>

bool COutputDoc::Load(const QString &path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    SetText(tr("The checker's output '%1' cannot be read.").arg(path));
    return false;
  }
  SetText(QString::fromLocal8Bit(file.readAll()));
  return file.error() == QFileDevice::NoError;
}

void COutputDoc::SetText(const QString &text) {
  text_ = text;
  emit textChanged(text_);
}

COutputView::COutputView(COutputDoc *doc, QWidget *parent) : QPlainTextEdit(parent), doc_(doc) {
  setReadOnly(true);
  setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  setLineWrapMode(QPlainTextEdit::NoWrap);
  setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  setPlainText(doc->Text());
  connect(doc, &COutputDoc::textChanged, this, &QPlainTextEdit::setPlainText);
}

bool COutputView::HasSelection() const { return textCursor().hasSelection(); }

void COutputView::Copy() { copy(); }

void COutputView::SelectAll() { selectAll(); }

void COutputView::Clear() { doc_->SetText(QString()); }

void COutputView::Print(QPrinter *printer) const { PrintPlainText(printer, doc_->Text()); }
