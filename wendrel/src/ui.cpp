/*
 * ui.cpp - bold description fonts, one-line edit height and closing print
 * previews.
 */
#include "wendrel_ui.h"

#include <QApplication>
#include <QFontDatabase>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QStyle>
#include <QVariant>

#include <algorithm>

/* The description font lives on the application object, so that it goes
 * with the application rather than outliving it. */
static const char kDescriptionFont[] = "wendrelDescriptionFont";

void FillBoldFont(const QWidget *window, QFont &font) {
  font = window ? window->font() : QApplication::font();
  font.setWeight(QFont::Bold); /* 700 */
}

void ChangeFontToBold(QWidget *window) {
  if (!window) return;
  QFont bold;
  FillBoldFont(window, bold);
  window->setFont(bold);
}

void SetDescriptionFont(QWidget *window) {
  QCoreApplication *app = QCoreApplication::instance();
  if (!window || !app) return;
  QVariant kept = app->property(kDescriptionFont);
  if (!kept.isValid()) {
    QFont bold;
    FillBoldFont(window, bold);
    kept = QVariant::fromValue(bold);
    app->setProperty(kDescriptionFont, kept);
  }
  window->setFont(kept.value<QFont>());
}

void SetDecriptionOfDialog(QWidget *dialog, const QList<QWidget *> &controls) {
  if (!dialog) return;
  for (QWidget *control : controls)
    if (control && dialog->isAncestorOf(control)) SetDescriptionFont(control);
}

int ResizeEdit(QWidget *edit, const QFont &font) {
  if (!edit) return 0;
  int height = QFontMetrics(font).height();
  int system = QFontMetrics(QFontDatabase::systemFont(QFontDatabase::GeneralFont)).height();
  int frame = edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, edit);
  int total = height + std::min(height, system) / 2 + 2 * frame;
  edit->setFixedHeight(total);
  return total;
}

/* Closes the print previews that frame shows; true when there was one. */
static bool ClosePreviewsOf(QWidget *frame) {
  bool closed = false;
  for (QPrintPreviewDialog *dialog : frame->findChildren<QPrintPreviewDialog *>()) {
    if (dialog->isVisible()) {
      dialog->reject();
      closed = true;
    }
  }
  QMdiSubWindow *active = qobject_cast<QMdiSubWindow *>(frame);
  if (auto *main = qobject_cast<QMainWindow *>(frame))
    if (auto *area = qobject_cast<QMdiArea *>(main->centralWidget()))
      active = area->activeSubWindow();
  if (active && qobject_cast<QPrintPreviewWidget *>(active->widget())) {
    active->close();
    closed = true;
  }
  return closed;
}

bool ClosePrintPreview(QMainWindow *frame) { return frame && ClosePreviewsOf(frame); }

bool ClosePrintPreview(QWidget *view) {
  if (!view) return false;
  QWidget *frame = view->window();
  for (QWidget *w = view; w; w = w->parentWidget())
    if (qobject_cast<QMdiSubWindow *>(w)) {
      frame = w;
      break;
    }
  return ClosePreviewsOf(frame);
}
