/*
 * slide.cpp - CImageSlide: the images, the timer and the stepping.
 */
#include "wendrel_slide.h"

#include <QApplication>
#include <QIcon>
#include <QImageReader>
#include <QStyle>

CImageSlide::CImageSlide(QWidget *parent) : QLabel(parent) {
  setAlignment(Qt::AlignCenter);
  connect(&timer_, &QTimer::timeout, this, &CImageSlide::StepIt);
}

CImageSlide::EStyle CImageSlide::GetStyleFromImageType(EImageType type) {
  return type == Bitmap ? BitmapStyle : IconStyle;
}

void CImageSlide::SetImageType(EImageType type) { type_ = type; }

bool CImageSlide::AddImage(const QString &name) {
  if (name.isEmpty()) return false;
  QPixmap image;
  if (GetStyleFromImageType(type_) == BitmapStyle) {
    QImageReader reader(name);
    image = QPixmap::fromImage(reader.read());
  } else {
    QIcon icon(name);
    int extent = style()->pixelMetric(QStyle::PM_LargeIconSize, nullptr, this);
    if (!icon.isNull()) image = icon.pixmap(QSize(extent, extent));
  }
  return AddImage(image);
}

bool CImageSlide::AddImage(const QPixmap &image) {
  if (image.isNull()) return false;
  images_.append(image);
  if (attached_ && current_ < 0) {
    current_ = 0;
    ShowCurrent();
  }
  return true;
}

bool CImageSlide::AddImages(const QStringList &names) {
  for (const QString &name : names)
    if (!AddImage(name)) return false;
  return true;
}

void CImageSlide::SetTimeOut(int ms) {
  timeOut_ = ms < 0 ? 0 : ms;
  if (attached_) StartTimer();
}

void CImageSlide::StepIt() {
  if (images_.isEmpty()) return;
  current_ = (current_ + 1) % static_cast<int>(images_.size());
  ShowCurrent();
}

void CImageSlide::AttachSlide() {
  attached_ = true;
  current_ = images_.isEmpty() ? -1 : 0;
  if (current_ >= 0) ShowCurrent();
  StartTimer();
}

void CImageSlide::ShowCurrent() { setPixmap(images_.at(current_)); }

void CImageSlide::StartTimer() {
  if (timeOut_ > 0 && isVisible())
    timer_.start(timeOut_);
  else
    timer_.stop();
}

void CImageSlide::showEvent(QShowEvent *event) {
  QLabel::showEvent(event);
  if (!attached_)
    AttachSlide();
  else
    StartTimer();
}

void CImageSlide::hideEvent(QHideEvent *event) {
  QLabel::hideEvent(event);
  timer_.stop(); /* no steps nobody sees */
}
