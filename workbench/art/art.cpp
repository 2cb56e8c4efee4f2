/*
 * art.cpp - draws the workbench's pictures: the program icon, the tool-bar
 * and message icons and the frames of the check animation.  Run at build
 * time; writes PNG files and the resource list art.qrc into the directory
 * given as its argument.
 *
 * Every picture is drawn on a 100 x 100 grid and rendered at the sizes the
 * program needs.
 */
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QTextStream>
#include <cmath>
#include <cstdio>
#include <functional>

#include "drawing.h"

namespace {

using namespace artwork;
using Draw = std::function<void(QPainter &)>;

/* ---- the pictures -------------------------------------------------- */

void AppIcon(QPainter &p) {
  QLinearGradient bg(0, 0, 0, 100);
  bg.setColorAt(0, QColor(0x1f, 0x4e, 0x79));
  bg.setColorAt(1, QColor(0x12, 0x7a, 0x86));
  p.setPen(Qt::NoPen);
  p.setBrush(bg);
  p.drawRoundedRect(QRectF(4, 4, 92, 92), 20, 20);
  Page(p, QRectF(20, 14, 50, 66));
  CodeLines(p, QRectF(27, 30, 36, 42), 6, 3);
  Lens(p, QPointF(61, 59), 15, QColor(0xf4, 0xf6, 0xf8));
  Tick(p, QPointF(61, 59), 15);
}

void NewIcon(QPainter &p) {
  Page(p, QRectF(18, 8, 58, 80));
  p.setPen(Pen(kAmber, 7));
  QPointF c(72, 74);
  for (int i = 0; i < 4; ++i) {
    qreal a = i * M_PI / 4;
    p.drawLine(c + QPointF(std::cos(a) * 16, std::sin(a) * 16), c - QPointF(std::cos(a) * 16, std::sin(a) * 16));
  }
}

void OpenIcon(QPainter &p) {
  p.setPen(Pen(QColor(0x9a, 0x6b, 0x12), 3));
  p.setBrush(QColor(0xe9, 0xb5, 0x3c));
  QPainterPath back;
  back.moveTo(8, 22);
  back.lineTo(36, 22);
  back.lineTo(42, 30);
  back.lineTo(86, 30);
  back.lineTo(86, 82);
  back.lineTo(8, 82);
  back.closeSubpath();
  p.drawPath(back);
  Page(p, QRectF(24, 14, 48, 50));
  p.setBrush(QColor(0xf7, 0xcf, 0x62));
  QPainterPath front;
  front.moveTo(8, 82);
  front.lineTo(20, 44);
  front.lineTo(96, 44);
  front.lineTo(86, 82);
  front.closeSubpath();
  p.setPen(Pen(QColor(0x9a, 0x6b, 0x12), 3));
  p.drawPath(front);
}

void SaveIcon(QPainter &p) {
  p.setPen(Pen(QColor(0x1b, 0x3d, 0x68), 3));
  p.setBrush(QColor(0x35, 0x6e, 0xb5));
  QPainterPath disk;
  disk.moveTo(10, 10);
  disk.lineTo(78, 10);
  disk.lineTo(90, 22);
  disk.lineTo(90, 90);
  disk.lineTo(10, 90);
  disk.closeSubpath();
  p.drawPath(disk);
  p.setBrush(QColor(0xe8, 0xee, 0xf5));
  p.drawRect(QRectF(24, 10, 46, 28));
  p.setBrush(QColor(0x1b, 0x3d, 0x68));
  p.drawRect(QRectF(54, 15, 10, 18));
  p.setBrush(kPaper);
  p.drawRoundedRect(QRectF(20, 54, 60, 36), 3, 3);
  p.setPen(Pen(kPaperEdge, 3));
  p.drawLine(QPointF(28, 66), QPointF(72, 66));
  p.drawLine(QPointF(28, 78), QPointF(64, 78));
}

void CheckIcon(QPainter &p) {
  Page(p, QRectF(10, 6, 58, 78));
  CodeLines(p, QRectF(18, 24, 42, 52), 6, 2);
  Lens(p, QPointF(62, 58), 20);
  Tick(p, QPointF(62, 58), 20);
}

void PrintIcon(QPainter &p) {
  Page(p, QRectF(26, 6, 48, 40));
  p.setPen(Pen(QColor(0x45, 0x4f, 0x5c), 3));
  p.setBrush(QColor(0x7b, 0x88, 0x98));
  p.drawRoundedRect(QRectF(8, 38, 84, 38), 7, 7);
  p.setBrush(kPaper);
  p.drawRect(QRectF(24, 62, 52, 32));
  p.setPen(Pen(kPaperEdge, 3));
  p.drawLine(QPointF(32, 74), QPointF(68, 74));
  p.drawLine(QPointF(32, 84), QPointF(60, 84));
  p.setPen(Qt::NoPen);
  p.setBrush(kGreen);
  p.drawEllipse(QPointF(80, 48), 4, 4);
}

void CopyIcon(QPainter &p) {
  Page(p, QRectF(10, 8, 48, 62));
  CodeLines(p, QRectF(17, 24, 32, 38), 4);
  Page(p, QRectF(40, 30, 48, 62));
  CodeLines(p, QRectF(47, 46, 32, 38), 4);
}

void Arrow(QPainter &p, bool down) {
  p.save();
  if (!down) {
    p.translate(0, 100);
    p.scale(1, -1);
  }
  CodeLines(p, QRectF(10, 8, 48, 44), 4, down ? 3 : 0);
  p.setPen(Pen(QColor(0x1b, 0x3d, 0x68), 4));
  p.setBrush(kBlue);
  QPainterPath a;
  a.moveTo(62, 10);
  a.lineTo(82, 10);
  a.lineTo(82, 56);
  a.lineTo(94, 56);
  a.lineTo(72, 90);
  a.lineTo(50, 56);
  a.lineTo(62, 56);
  a.closeSubpath();
  p.drawPath(a);
  p.restore();
}

void MessagesIcon(QPainter &p) {
  p.setPen(Pen(kInk, 4));
  p.setBrush(QColor(0xfd, 0xf3, 0xd2));
  QPainterPath balloon;
  balloon.addRoundedRect(QRectF(8, 12, 84, 58), 14, 14);
  QPainterPath tail;
  tail.moveTo(26, 66);
  tail.lineTo(20, 90);
  tail.lineTo(46, 68);
  p.drawPath(balloon.united(tail));
  p.setPen(Pen(kRed, 7));
  p.drawLine(QPointF(24, 32), QPointF(70, 32));
  p.setPen(Pen(kInk, 7));
  p.drawLine(QPointF(24, 50), QPointF(58, 50));
}

void ErrorIcon(QPainter &p) {
  p.setPen(Pen(QColor(0x9e, 0x1f, 0x1f), 5));
  p.setBrush(kRed);
  p.drawEllipse(QRectF(6, 6, 88, 88));
  p.setPen(Pen(Qt::white, 13));
  p.drawLine(QPointF(33, 33), QPointF(67, 67));
  p.drawLine(QPointF(67, 33), QPointF(33, 67));
}

void WarningIcon(QPainter &p) {
  p.setPen(Pen(QColor(0xa8, 0x6a, 0x00), 5));
  p.setBrush(kAmber);
  QPainterPath t;
  t.moveTo(50, 6);
  t.lineTo(96, 90);
  t.lineTo(4, 90);
  t.closeSubpath();
  p.drawPath(t);
  p.setPen(Pen(Qt::white, 12));
  p.drawLine(QPointF(50, 34), QPointF(50, 60));
  p.drawPoint(QPointF(50, 77));
}

void InfoIcon(QPainter &p) {
  p.setPen(Pen(QColor(0x1b, 0x4b, 0x8c), 5));
  p.setBrush(kBlue);
  p.drawEllipse(QRectF(6, 6, 88, 88));
  p.setPen(Pen(Qt::white, 12));
  p.drawPoint(QPointF(50, 28));
  p.drawLine(QPointF(50, 46), QPointF(50, 74));
}

/* Frame i of n: the lens walks down the lines of a page; lines it has
 * passed are ticked or marked. */
Draw AnimationFrame(int i, int n) {
  return [i, n](QPainter &p) {
    Page(p, QRectF(14, 6, 60, 86));
    const int lines = 7;
    QRectF text(22, 24, 44, 60);
    int current = i * lines / n;
    CodeLines(p, text, lines, current, current % 3 == 2 ? kRed : kGreen);
    qreal step = text.height() / lines;
    for (int l = 0; l < current; ++l) {
      QPointF at(80, text.top() + step * (l + 0.5));
      if (l % 3 == 2) {
        p.setPen(Qt::NoPen);
        p.setBrush(kRed);
        p.drawEllipse(at, 3.2, 3.2);
      } else {
        Tick(p, at, 8);
      }
    }
    qreal y = text.top() + step * (current + 0.5);
    qreal x = 34 + 20 * std::sin(i * 2 * M_PI / n);
    Lens(p, QPointF(x, y), 13);
  };
}

/* ---- output -------------------------------------------------------- */

class Writer {
 public:
  explicit Writer(const QString &dir) : dir_(dir) {}

  bool Render(const QString &name, int size, const Draw &draw) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 100.0, size / 100.0);
    draw(p);
    p.end();
    QString path = dir_ + '/' + name;
    QDir().mkpath(QFileInfo(path).path());
    if (!image.save(path, "PNG")) {
      std::fprintf(stderr, "csentrel_art: cannot write %s\n", qPrintable(path));
      return false;
    }
    files_ << name;
    return true;
  }

  bool WriteResourceList() {
    QFile f(dir_ + "/art.qrc");
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
    QTextStream out(&f);
    out << "<RCC>\n  <qresource prefix=\"/\">\n";
    for (const QString &name : files_) out << "    <file>" << name << "</file>\n";
    out << "  </qresource>\n</RCC>\n";
    return out.status() == QTextStream::Ok;
  }

 private:
  QString dir_;
  QStringList files_;
};

}  // namespace

int main(int argc, char **argv) {
  QGuiApplication app(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: csentrel_art OUTPUT_DIRECTORY\n");
    return 2;
  }
  Writer w(QString::fromLocal8Bit(argv[1]));
  bool ok = true;
  for (int size : {16, 24, 32, 48, 64, 128, 256})
    ok &= w.Render(QString("icons/csentrel-%1.png").arg(size), size, AppIcon);
  const struct {
    const char *name;
    void (*draw)(QPainter &);
  } tools[] = {{"new", NewIcon},     {"open", OpenIcon},     {"save", SaveIcon},
               {"check", CheckIcon}, {"print", PrintIcon},   {"copy", CopyIcon},
               {"messages", MessagesIcon}};
  for (const auto &t : tools)
    for (int size : {16, 24, 48}) ok &= w.Render(QString("icons/%1-%2.png").arg(t.name).arg(size), size, t.draw);
  for (int size : {16, 24, 48}) {
    ok &= w.Render(QString("icons/next-%1.png").arg(size), size, [](QPainter &p) { Arrow(p, true); });
    ok &= w.Render(QString("icons/previous-%1.png").arg(size), size, [](QPainter &p) { Arrow(p, false); });
  }
  for (int size : {16, 32}) {
    ok &= w.Render(QString("icons/error-%1.png").arg(size), size, ErrorIcon);
    ok &= w.Render(QString("icons/warning-%1.png").arg(size), size, WarningIcon);
    ok &= w.Render(QString("icons/info-%1.png").arg(size), size, InfoIcon);
  }
  const int frames = 8;
  for (int i = 0; i < frames; ++i)
    ok &= w.Render(QString("anim/%1.png").arg(i + 1), 72, AnimationFrame(i, frames));
  ok &= w.WriteResourceList();
  return ok ? 0 : 1;
}
