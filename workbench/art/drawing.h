/*
 * drawing.h - the strokes the workbench's pictures are made of (its
 * colours, a sheet of paper with a folded corner, lines of code, a
 * magnifying glass, a tick), shared by the icons drawn at build time
 * (art.cpp) and the pictures of the assistants.  Coordinates are those of
 * the picture being drawn.
 */
#ifndef CSENTREL_ART_DRAWING_H
#define CSENTREL_ART_DRAWING_H

#include <QColor>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QRadialGradient>
#include <algorithm>

namespace artwork {

inline const QColor kInk(0x24, 0x3b, 0x55);
inline const QColor kPaper(0xfb, 0xfc, 0xfe);
inline const QColor kPaperEdge(0x8a, 0x9b, 0xb0);
inline const QColor kGreen(0x2e, 0xa0, 0x4f);
inline const QColor kRed(0xd2, 0x3c, 0x3c);
inline const QColor kAmber(0xf0, 0xa8, 0x20);
inline const QColor kBlue(0x2f, 0x6f, 0xc0);
inline const QColor kTeal(0x17, 0x8f, 0x96);

inline QPen Pen(const QColor &c, qreal w) {
  QPen p(c, w);
  p.setCapStyle(Qt::RoundCap);
  p.setJoinStyle(Qt::RoundJoin);
  return p;
}

/* A sheet of paper with a folded corner. */
inline void Page(QPainter &p, const QRectF &r, const QColor &fill = kPaper) {
  qreal fold = r.width() * 0.28;
  QPainterPath path;
  path.moveTo(r.topLeft());
  path.lineTo(r.right() - fold, r.top());
  path.lineTo(r.right(), r.top() + fold);
  path.lineTo(r.bottomRight());
  path.lineTo(r.bottomLeft());
  path.closeSubpath();
  p.setPen(Pen(kPaperEdge, 3));
  p.setBrush(fill);
  p.drawPath(path);
  QPainterPath corner;
  corner.moveTo(r.right() - fold, r.top());
  corner.lineTo(r.right() - fold, r.top() + fold);
  corner.lineTo(r.right(), r.top() + fold);
  p.setBrush(QColor(0xdd, 0xe4, 0xee));
  p.drawPath(corner);
}

/* Lines of code on a page: indented strokes in a few colours. */
inline void CodeLines(QPainter &p, const QRectF &r, int count, int highlighted = -1,
               const QColor &mark = kRed) {
  static const qreal indent[] = {0, 0.15, 0.15, 0.3, 0.15, 0, 0.15, 0.3};
  static const qreal length[] = {0.7, 0.55, 0.8, 0.45, 0.65, 0.5, 0.75, 0.4};
  static const QColor colour[] = {kBlue, kInk, kTeal, kInk, kBlue, kInk, kTeal, kInk};
  qreal step = r.height() / count;
  for (int i = 0; i < count; ++i) {
    qreal y = r.top() + step * (i + 0.5);
    qreal x = r.left() + r.width() * indent[i % 8];
    qreal w = r.width() * length[i % 8];
    if (x + w > r.right()) w = r.right() - x;
    if (i == highlighted) {
      p.setPen(Qt::NoPen);
      p.setBrush(QColor(mark.red(), mark.green(), mark.blue(), 60));
      p.drawRoundedRect(QRectF(r.left() - 3, y - step * 0.45, r.width() + 6, step * 0.9), 3, 3);
    }
    p.setPen(Pen(i == highlighted ? mark : colour[i % 8], std::max<qreal>(2.5, step * 0.32)));
    p.drawLine(QPointF(x, y), QPointF(x + w, y));
  }
}

/* A magnifying glass whose lens is centred on c. */
inline void Lens(QPainter &p, QPointF c, qreal radius, const QColor &rim = kInk) {
  QPointF handleStart = c + QPointF(radius * 0.72, radius * 0.72);
  QPointF handleEnd = c + QPointF(radius * 1.75, radius * 1.75);
  p.setPen(Pen(QColor(0x5a, 0x3a, 0x1e), radius * 0.42));
  p.drawLine(handleStart, handleEnd);
  QRadialGradient glass(c - QPointF(radius * 0.3, radius * 0.3), radius * 1.2);
  glass.setColorAt(0, QColor(255, 255, 255, 200));
  glass.setColorAt(1, QColor(0xb8, 0xe0, 0xf0, 150));
  p.setBrush(glass);
  p.setPen(Pen(rim, radius * 0.22));
  p.drawEllipse(c, radius, radius);
}

inline void Tick(QPainter &p, QPointF at, qreal size, const QColor &c = kGreen) {
  p.setPen(Pen(c, size * 0.22));
  p.setBrush(Qt::NoBrush);
  QPainterPath t;
  t.moveTo(at + QPointF(-size * 0.45, 0));
  t.lineTo(at + QPointF(-size * 0.12, size * 0.33));
  t.lineTo(at + QPointF(size * 0.5, -size * 0.38));
  p.drawPath(t);
}

}  // namespace artwork

#endif
