/*
 * brindle.cpp - the main document and the window area.
 */
#include "brindle.h"

#include <QFileInfo>
#include <QMdiSubWindow>

#include "appview.h"
#include "art.h"
#include "errlog.h"
#include "prompter.h"
#include "sourceview.h"
#include "tableout.h"
#include "tessary_errors.h"
#include "wendrel_ui.h"

CBrindleDoc::CBrindleDoc(CErrLogDoc &log, CPrompter &prompter, QWidget *window, QObject *parent)
    : QObject(parent), log_(log), app_(prompter, window, this), output_(this), messages_(this) {}

CBrindleView::CBrindleView(CBrindleDoc &doc, CPrompter &prompter, QWidget *parent)
    : QMdiArea(parent), doc_(doc), prompter_(prompter) {
  setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setActivationOrder(QMdiArea::ActivationHistoryOrder);
  setBackground(palette().brush(QPalette::Dark));
  connect(this, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow *w) {
    auto *source = w ? qobject_cast<CSourceFrame *>(w) : nullptr;
    if (source) emit caretMoved(source->View()->CaretLine(), source->View()->CaretColumn());
    else emit caretMoved(0, 0);
  });
}

QList<CChildFrame *> CBrindleView::Frames(int kind) const {
  QList<CChildFrame *> out;
  for (QMdiSubWindow *w : subWindowList(QMdiArea::CreationOrder))
    if (auto *f = qobject_cast<CChildFrame *>(w); f && f->Kind() == kind) out << f;
  return out;
}

CChildFrame *CBrindleView::ActiveFrame() const {
  return qobject_cast<CChildFrame *>(activeSubWindow());
}

CTableOutFrame *CBrindleView::ResultsFrame() const {
  if (auto *f = qobject_cast<CTableOutFrame *>(activeSubWindow())) return f;
  QList<CChildFrame *> all = Frames(CChildFrame::Results);
  return all.isEmpty() ? nullptr : qobject_cast<CTableOutFrame *>(all.back());
}

/* Lists and tables above, texts below. */
QRect CBrindleView::Area(EArea area) const {
  QRect r = viewport()->rect();
  int split = r.height() * 58 / 100;
  return area == Upper ? QRect(r.left(), r.top(), r.width(), split)
                       : QRect(r.left(), split, r.width(), r.height() - split);
}

static bool TooSmall(const QSize &s) { return s.width() < 200 || s.height() < 150; }

/* A new window goes where its kind belongs, unless the user works with
 * maximized windows. */
void CBrindleView::Place(CChildFrame *frame, EArea area, bool activate) {
  QMdiSubWindow *active = activeSubWindow();
  addSubWindow(frame);
  if (active && active->isMaximized()) {
    frame->showMaximized();
  } else {
    frame->setGeometry(Area(area));
    frame->show();
    if (TooSmall(viewport()->size())) unplaced_.append({frame, area});
  }
  if (activate) setActiveSubWindow(frame);
}

void CBrindleView::resizeEvent(QResizeEvent *e) {
  QMdiArea::resizeEvent(e);
  if (unplaced_.isEmpty() || TooSmall(viewport()->size())) return;
  for (const auto &[frame, area] : unplaced_)
    if (frame && !frame->isMaximized() && !frame->isMinimized()) frame->setGeometry(Area(area));
  unplaced_.clear();
}

CChildFrame *CBrindleView::ShowLog(bool activate) {
  if (!log_) {
    auto *view = new CErrLogView(&doc_.LogDoc());
    log_ = new CChildFrame(CChildFrame::Log, view, view);
    log_->setWindowTitle(tr("Log"));
    log_->setWindowIcon(SeverityIcon(CZKError::eInformation));
    Place(log_, Lower, activate);
  } else {
    log_->show();
    if (activate) setActiveSubWindow(log_);
  }
  return log_;
}

CChildFrame *CBrindleView::ShowOutput(bool activate) {
  if (!output_) {
    auto *view = new COutputView(&doc_.OutputDoc());
    output_ = new CChildFrame(CChildFrame::Output, view, view);
    output_->setWindowTitle(tr("Output"));
    output_->setWindowIcon(ToolIcon("messages"));
    Place(output_, Lower, activate);
  } else {
    output_->show();
    if (activate) setActiveSubWindow(output_);
  }
  return output_;
}

void CBrindleView::ShowApplication() {
  if (!doc_.AppDoc().IsOpen()) {
    delete application_;
    return;
  }
  if (application_) {
    static_cast<CAppView *>(application_->widget())->Refresh();
  } else {
    auto *view = new CAppView(doc_.AppDoc());
    application_ = new CChildFrame(CChildFrame::Application, view, view);
    application_->setWindowIcon(ToolIcon("open"));
    connect(view, &CAppView::openFile, this, [this](const QString &path) { OpenSource(path, 0); });
    Place(application_, Upper, false);
  }
  application_->setWindowTitle(tr("Application - %1").arg(doc_.AppDoc().Title()));
}

CTableOutFrame *CBrindleView::ShowResults(CTableOutDoc *doc) {
  auto *frame = new CTableOutFrame(doc);
  frame->setWindowIcon(ToolIcon("check"));
  connect(frame->View(), &CTableOutView::openViolation, this,
          [this](const SViolation &v) { OpenSource(ViolationPath(v), ViolationLine(v)); });
  Place(frame, Upper, true);
  return frame;
}

CSourceFrame *CBrindleView::OpenSource(const QString &path, int line) {
  if (path.isEmpty()) return nullptr;
  CSourceFrame *frame = nullptr;
  for (CChildFrame *f : Frames(CChildFrame::Source)) {
    auto *s = qobject_cast<CSourceFrame *>(f);
    if (s && QFileInfo(s->View()->Doc()->Path()) == QFileInfo(path)) frame = s;
  }
  if (!frame) {
    auto *doc = new CSourceDoc;
    if (!doc->Load(path)) {
      delete doc;
      prompter_.Inform(this, QString::fromStdString(FormatMessageText(34001, path.toStdString())),
                       CPrompter::Warning);
      return nullptr;
    }
    frame = new CSourceFrame(doc);
    frame->setWindowIcon(ToolIcon("new"));
    connect(frame->View(), &CSourceView::caretMoved, this, [this, frame](int l, int c) {
      if (activeSubWindow() == frame) emit caretMoved(l, c);
    });
    Place(frame, Lower, true);
  } else {
    setActiveSubWindow(frame);
  }
  frame->View()->Doc()->SetLine(line);
  frame->View()->setFocus();
  return frame;
}

void CBrindleView::CloseResultWindows() {
  for (QMdiSubWindow *w : subWindowList()) {
    auto *f = qobject_cast<CChildFrame *>(w);
    if (!f) continue;
    ClosePrintPreview(f->widget());
    /* Gone at once, so that the run's new windows are the only ones. */
    if (f->Kind() == CChildFrame::Results || f->Kind() == CChildFrame::Source) delete f;
  }
}

void CBrindleView::ArrangeRunWindows() {
  if (activeSubWindow() && activeSubWindow()->isMaximized()) return;
  QList<CChildFrame *> results = Frames(CChildFrame::Results);
  for (CChildFrame *f : results) f->setGeometry(Area(Upper));
  if (output_) output_->setGeometry(Area(Lower));
  if (!results.isEmpty()) setActiveSubWindow(results.back());
}

void CBrindleView::ArrangeIcons() {
  QRect r = viewport()->rect();
  int x = 0;
  for (QMdiSubWindow *w : subWindowList(QMdiArea::CreationOrder)) {
    if (!w->isMinimized()) continue;
    QSize s = w->size();
    if (x + s.width() > r.width() && x > 0) x = 0;
    w->move(x, r.height() - s.height());
    x += s.width();
  }
}
