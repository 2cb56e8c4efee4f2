/*
 * wizardart.cpp - paints the assistants' pictures: a tall panel in the
 * program's colours with an emblem of what the assistant makes (a compiler
 * profile, a list of rules, an application's files).  The emblems are
 * drawn on a 160 x 300 grid.
 */
#include "wizardart.h"

#include <QGuiApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <algorithm>
#include <cmath>

#include "drawing.h"

namespace {

using namespace artwork;

const int kWidth = 160, kEmblemHeight = 300;

/* The panel: a deep gradient with a few light arcs. */
void Panel(QPainter &p, int height) {
  QLinearGradient bg(0, 0, 0, height);
  bg.setColorAt(0, QColor(0x1f, 0x4e, 0x79));
  bg.setColorAt(1, QColor(0x12, 0x7a, 0x86));
  p.setPen(Qt::NoPen);
  p.setBrush(bg);
  p.drawRect(QRect(0, 0, kWidth, height));
  p.setBrush(Qt::NoBrush);
  for (int i = 0; i < 4; ++i) {
    p.setPen(Pen(QColor(255, 255, 255, 22 + 8 * i), 10 - 2 * i));
    p.drawEllipse(QPointF(150, 40), 60.0 + 38 * i, 60.0 + 38 * i);
  }
}

/* A closed outline through points. */
void Polygon(QPainter &p, std::initializer_list<QPointF> points) {
  QPainterPath path;
  path.moveTo(*points.begin());
  for (QPointF q : points) path.lineTo(q);
  path.closeSubpath();
  p.drawPath(path);
}

/* A toothed wheel centred on c. */
void Gear(QPainter &p, QPointF c, qreal radius, const QColor &fill) {
  QPainterPath wheel;
  const int teeth = 9;
  for (int i = 0; i < teeth * 2; ++i) {
    qreal a0 = i * M_PI / teeth, a1 = (i + 1) * M_PI / teeth;
    qreal r = i % 2 ? radius * 0.8 : radius;
    QPointF from = c + QPointF(std::cos(a0) * r, std::sin(a0) * r);
    if (i == 0) wheel.moveTo(from);
    else wheel.lineTo(from);
    wheel.lineTo(c + QPointF(std::cos(a1) * r, std::sin(a1) * r));
  }
  wheel.closeSubpath();
  wheel.addEllipse(c, radius * 0.32, radius * 0.32);
  p.setPen(Pen(kInk, 2));
  p.setBrush(fill);
  p.drawPath(wheel);
}

/* A page of definitions and a wheel: how the compiler is set up. */
void ProfileEmblem(QPainter &p) {
  Page(p, QRectF(26, 70, 92, 120));
  p.setPen(Pen(kBlue, 3.5));
  for (int i = 0; i < 5; ++i) {
    qreal y = 96 + i * 17;
    p.drawLine(QPointF(38, y), QPointF(52, y));
    p.setPen(Pen(i % 2 ? kTeal : kInk, 3.5));
    p.drawLine(QPointF(58, y), QPointF(58 + (i % 3 + 2) * 9, y));
    p.setPen(Pen(kBlue, 3.5));
  }
  Gear(p, QPointF(112, 196), 30, kAmber);
  Gear(p, QPointF(72, 226), 18, QColor(0xbf, 0xd4, 0xea));
}

/* A clipboard of rules, most of them ticked. */
void RuleSetEmblem(QPainter &p) {
  p.setPen(Pen(QColor(0x6b, 0x4a, 0x22), 2.5));
  p.setBrush(QColor(0xb9, 0x85, 0x46));
  p.drawRoundedRect(QRectF(24, 66, 112, 168), 10, 10);
  Page(p, QRectF(34, 84, 92, 140));
  p.setPen(Pen(kInk, 2.5));
  p.setBrush(QColor(0x9a, 0xa8, 0xb8));
  p.drawRoundedRect(QRectF(58, 58, 44, 20), 6, 6);
  for (int i = 0; i < 5; ++i) {
    qreal y = 104 + i * 24;
    p.setPen(Pen(kPaperEdge, 2));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(42, y - 7, 14, 14));
    if (i != 2) Tick(p, QPointF(50, y), 14);
    p.setPen(Pen(i == 2 ? QColor(0xa0, 0xaa, 0xb6) : kInk, 3.5));
    p.drawLine(QPointF(64, y), QPointF(64 + (i % 2 ? 40 : 50), y));
  }
}

/* A folder of sources with a lens over them. */
void ApplicationEmblem(QPainter &p) {
  p.setPen(Pen(QColor(0x9a, 0x6b, 0x12), 2.5));
  p.setBrush(QColor(0xe9, 0xb5, 0x3c));
  Polygon(p, {{18, 110}, {58, 110}, {66, 122}, {142, 122}, {142, 224}, {18, 224}});
  Page(p, QRectF(34, 80, 58, 84));
  CodeLines(p, QRectF(42, 98, 40, 56), 5);
  Page(p, QRectF(70, 92, 58, 84));
  CodeLines(p, QRectF(78, 110, 40, 56), 5);
  p.setPen(Pen(QColor(0x9a, 0x6b, 0x12), 2.5));
  p.setBrush(QColor(0xf7, 0xcf, 0x62));
  Polygon(p, {{18, 224}, {30, 150}, {152, 150}, {142, 224}});
  Lens(p, QPointF(96, 238), 20, QColor(0xf4, 0xf6, 0xf8));
  p.setPen(Pen(kRed, 3));
  p.drawLine(QPointF(86, 238), QPointF(106, 238));
}

}  // namespace

QPixmap AssistantPicture(EAssistantPicture which, int height) {
  height = std::max(height, kEmblemHeight);
  qreal ratio = qApp ? qApp->devicePixelRatio() : 1.0;
  QPixmap picture(QSize(kWidth, height) * ratio);
  picture.setDevicePixelRatio(ratio);
  picture.fill(Qt::transparent);
  QPainter p(&picture);
  p.setRenderHint(QPainter::Antialiasing);
  Panel(p, height);
  /* The emblem a little above the middle. */
  p.translate(0, (height - kEmblemHeight) * 0.35);
  switch (which) {
    case EAssistantPicture::Profile: ProfileEmblem(p); break;
    case EAssistantPicture::RuleSet: RuleSetEmblem(p); break;
    case EAssistantPicture::Application: ApplicationEmblem(p); break;
  }
  return picture;
}
