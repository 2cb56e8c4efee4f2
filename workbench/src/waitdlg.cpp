/*
 * waitdlg.cpp - the progress and loading dialogs.
 */
#include "waitdlg.h"

#include <QCloseEvent>
#include <QDialogButtonBox>
#include <QEventLoop>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "art.h"
#include "prompter.h"
#include "wendrel_run.h"
#include "wendrel_slide.h"

CWaitDialog::CWaitDialog(QWidget *parent, CPrompter &prompter, const QString &title,
                         const QString &text, const QString &confirmCancel)
    : QDialog(parent), prompter_(prompter), confirm_(confirmCancel) {
  setWindowTitle(title);
  setWindowModality(Qt::ApplicationModal);
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);

  slide_ = new CImageSlide(this);
  slide_->SetImageType(CImageSlide::Bitmap);
  slide_->AddImages(AnimationFrames());
  slide_->SetTimeOut(150);
  slide_->setFixedSize(76, 76);
  slide_->setAlignment(Qt::AlignCenter);

  auto *label = new QLabel(text, this);
  label->setWordWrap(true);
  label->setMinimumWidth(label->fontMetrics().horizontalAdvance(text) + 8);

  auto *buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, this);
  cancel_ = buttons->button(QDialogButtonBox::Cancel);
  connect(buttons, &QDialogButtonBox::rejected, this, &CWaitDialog::RequestCancel);

  auto *row = new QHBoxLayout;
  row->setSpacing(16);
  row->addWidget(slide_);
  row->addWidget(label, 1);
  auto *layout = new QVBoxLayout(this);
  layout->setContentsMargins(18, 18, 18, 12);
  layout->addLayout(row);
  layout->addWidget(buttons);
  setMinimumWidth(360);
}

bool CWaitDialog::Wait(SThreadParams &run) {
  run_ = &run;
  cancelled_ = false;
  waiting_ = true;
  show();
  QEventLoop loop;
  QTimer poll;
  connect(&poll, &QTimer::timeout, &loop, [&] {
    if (run.IsWorkerDone()) loop.quit();
  });
  poll.start(40);
  if (!run.IsWorkerDone()) loop.exec();
  poll.stop();
  run.WaitWorker(WR_INFINITE);
  waiting_ = false;
  run_ = nullptr;
  hide();
  return !cancelled_;
}

void CWaitDialog::RequestCancel() {
  if (!waiting_ || cancelled_) return;
  if (!prompter_.Confirm(this, confirm_)) return;
  cancelled_ = true;
  cancel_->setEnabled(false);
  if (run_) run_->Cancel();
}

void CWaitDialog::reject() { RequestCancel(); }

void CWaitDialog::closeEvent(QCloseEvent *e) {
  e->ignore();
  RequestCancel();
}

CLoadingDialog::CLoadingDialog(QWidget *parent) : QDialog(parent) {
  setWindowTitle(tr("Loading results."));
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);
  auto *icon = new QLabel(this);
  icon->setPixmap(QPixmap(AnimationFrames().value(0)));
  auto *label = new QLabel(tr("Please wait..."), this);
  auto *layout = new QHBoxLayout(this);
  layout->setContentsMargins(18, 14, 24, 14);
  layout->setSpacing(14);
  layout->addWidget(icon);
  layout->addWidget(label, 1);
  setMinimumWidth(280);
}

void CLoadingDialog::Present() {
  show();
  raise();
  Pump_WM_PAINT();
}
