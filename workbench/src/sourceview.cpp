/*
 * sourceview.cpp - the source document, view and window.
 */
#include "sourceview.h"

#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QPaintEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QScrollBar>
#include <QTextBlock>

#include "csyntax.h"

/* ---- document ------------------------------------------------------ */

bool CSourceDoc::Load(const QString &path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return false;
  QByteArray bytes = file.readAll();
  if (file.error() != QFileDevice::NoError) return false;
  path_ = path;
  text_ = QString::fromUtf8(bytes);
  /* Sources in a legacy 8-bit encoding: keep every byte readable. */
  if (text_.contains(QChar::ReplacementCharacter)) text_ = QString::fromLatin1(bytes);
  return true;
}

void CSourceDoc::SetLine(int line) {
  line_ = line;
  emit lineChanged(line);
}

/* A source opened on a violation names its line. */
QString CSourceDoc::Title() const {
  QString name = QFileInfo(path_).fileName();
  return line_ > 0 ? QString("%1 (%2)").arg(name).arg(line_) : name;
}

/* ---- view ---------------------------------------------------------- */

class CLineNumberArea : public QWidget {
 public:
  explicit CLineNumberArea(CSourceView *view) : QWidget(view), view_(view) {}
  QSize sizeHint() const override { return QSize(view_->GutterWidth(), 0); }

 protected:
  void paintEvent(QPaintEvent *e) override { view_->PaintGutter(e); }

 private:
  CSourceView *view_;
};

CSourceView::CSourceView(CSourceDoc *doc, QWidget *parent)
    : QPlainTextEdit(parent), doc_(doc), gutter_(new CLineNumberArea(this)) {
  setReadOnly(true);
  /* Read-only, but with a caret the keyboard moves. */
  setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  setLineWrapMode(QPlainTextEdit::NoWrap);
  QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  setFont(font);
  setTabStopDistance(fontMetrics().horizontalAdvance(QLatin1Char(' ')) * 8);
  setPlainText(doc->Text());
  highlighter_ = new CSyntaxHighlighter(document());

  connect(this, &QPlainTextEdit::blockCountChanged, this, [this] {
    setViewportMargins(GutterWidth(), 0, 0, 0);
  });
  connect(this, &QPlainTextEdit::updateRequest, this, &CSourceView::UpdateGutter);
  connect(this, &QPlainTextEdit::cursorPositionChanged, this, [this] {
    UpdateMarks();
    emit caretMoved(CaretLine(), CaretColumn());
  });
  connect(doc, &CSourceDoc::lineChanged, this, &CSourceView::GoToLine);
  setViewportMargins(GutterWidth(), 0, 0, 0);
  UpdateMarks();
}

int CSourceView::GutterWidth() const {
  int digits = QString::number(std::max(1, blockCount())).size();
  return 14 + fontMetrics().horizontalAdvance(QLatin1Char('9')) * std::max(3, digits);
}

void CSourceView::resizeEvent(QResizeEvent *e) {
  QPlainTextEdit::resizeEvent(e);
  QRect r = contentsRect();
  gutter_->setGeometry(QRect(r.left(), r.top(), GutterWidth(), r.height()));
}

void CSourceView::UpdateGutter(const QRect &rect, int dy) {
  if (dy) gutter_->scroll(0, dy);
  else gutter_->update(0, rect.y(), gutter_->width(), rect.height());
}

void CSourceView::PaintGutter(QPaintEvent *e) {
  QPainter p(gutter_);
  const QPalette &pal = palette();
  p.fillRect(e->rect(), pal.color(QPalette::AlternateBase).darker(103));
  QTextBlock block = firstVisibleBlock();
  int number = block.blockNumber() + 1;
  int top = qRound(blockBoundingGeometry(block).translated(contentOffset()).top());
  int bottom = top + qRound(blockBoundingRect(block).height());
  int caret = CaretLine();
  while (block.isValid() && top <= e->rect().bottom()) {
    if (block.isVisible() && bottom >= e->rect().top()) {
      QRect row(0, top, gutter_->width() - 6, fontMetrics().height());
      if (number == marked_) {
        p.fillRect(QRect(0, top, gutter_->width(), bottom - top), QColor(0xf3, 0xc2, 0xc2));
        p.setPen(QColor(0xa0, 0x1c, 0x1c));
      } else {
        p.setPen(number == caret ? pal.color(QPalette::Text) : pal.color(QPalette::PlaceholderText));
      }
      QFont f = font();
      f.setBold(number == marked_ || number == caret);
      p.setFont(f);
      p.drawText(row, Qt::AlignRight | Qt::AlignVCenter, QString::number(number));
    }
    block = block.next();
    top = bottom;
    bottom = top + qRound(blockBoundingRect(block).height());
    ++number;
  }
}

/* The reported line keeps a tinted background; the caret's line a lighter
 * one. */
void CSourceView::UpdateMarks() {
  QList<QTextEdit::ExtraSelection> marks;
  if (marked_ > 0) {
    QTextBlock b = document()->findBlockByNumber(marked_ - 1);
    if (b.isValid()) {
      QTextEdit::ExtraSelection s;
      s.format.setBackground(QColor(0xfb, 0xe3, 0xe3));
      s.format.setProperty(QTextFormat::FullWidthSelection, true);
      s.cursor = QTextCursor(b);
      marks << s;
    }
  }
  if (CaretLine() != marked_) {
    QTextEdit::ExtraSelection s;
    s.format.setBackground(QColor(0xee, 0xf3, 0xfa));
    s.format.setProperty(QTextFormat::FullWidthSelection, true);
    s.cursor = textCursor();
    s.cursor.clearSelection();
    marks << s;
  }
  setExtraSelections(marks);
  gutter_->update();
}

void CSourceView::GoToLine(int line) {
  QTextBlock b = document()->findBlockByNumber(std::max(1, line) - 1);
  if (!b.isValid()) b = document()->lastBlock();
  marked_ = line > 0 ? b.blockNumber() + 1 : 0;
  QTextCursor c(b);
  setTextCursor(c);
  /* Show the line with some context above it. */
  int first = std::max(0, b.blockNumber() - 5);
  verticalScrollBar()->setValue(first);
  ensureCursorVisible();
  UpdateMarks();
  emit caretMoved(CaretLine(), CaretColumn());
}

int CSourceView::CaretLine() const { return textCursor().blockNumber() + 1; }

int CSourceView::CaretColumn() const { return textCursor().positionInBlock() + 1; }

bool CSourceView::HasSelection() const { return textCursor().hasSelection(); }

void CSourceView::Copy() { copy(); }

void CSourceView::SelectAll() { selectAll(); }

void CSourceView::Print(QPrinter *printer) const { PrintPlainText(printer, toPlainText()); }

/* ---- window -------------------------------------------------------- */

CSourceFrame::CSourceFrame(CSourceDoc *doc, QWidget *parent)
    : CChildFrame(Source, nullptr, nullptr, parent) {
  doc->setParent(this);
  view_ = new CSourceView(doc, this);
  setWidget(view_);
  SetCommands(view_);
  setWindowTitle(doc->Title());
  connect(doc, &CSourceDoc::lineChanged, this, [this, doc] { setWindowTitle(doc->Title()); });
}
