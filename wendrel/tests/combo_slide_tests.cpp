/* CComboBoxCustom, FindInCombo and CImageSlide. */
#include "widget_tests.h"
#include "wendrel_combo.h"
#include "wendrel_slide.h"

#include <QAbstractItemView>
#include <QHelpEvent>
#include <QTemporaryDir>
#include <QToolTip>
#include <QtTest>

class ComboSlideTests : public QObject {
  Q_OBJECT

 private slots:
  void toolTipOnlyForTextsThatDoNotFit();
  void dropDownWidenedAtMostBy100();
  void findInCombo();
  void slideStepsAndWraps();
  void slideReadsImages();
  void slideTimer();
};

static int TextWidth(const QWidget &w, const QString &text) {
  return w.fontMetrics().horizontalAdvance(text);
}

void ComboSlideTests::toolTipOnlyForTextsThatDoNotFit() {
  CComboBoxCustom box;
  const QString text = "a fairly long profile name";
  box.addItem("short");
  box.addItem(text);
  box.setCurrentIndex(-1);
  box.setFixedWidth(TextWidth(box, text) + 25);
  box.show();
  QVERIFY(QTest::qWaitForWindowExposed(&box));
  QCOMPARE(box.ToolTipText(), QString()); /* nothing selected */
  box.setCurrentIndex(0);
  QCOMPARE(box.ToolTipText(), QString());
  box.setCurrentIndex(1);
  QCOMPARE(box.ToolTipText(), text); /* exactly the width less 25 */

  QHelpEvent help(QEvent::ToolTip, QPoint(5, 5), box.mapToGlobal(QPoint(5, 5)));
  QApplication::sendEvent(&box, &help);
  QCOMPARE(QToolTip::text(), text);

  box.setFixedWidth(TextWidth(box, text) + 26);
  QCOMPARE(box.ToolTipText(), QString());
  QHelpEvent again(QEvent::ToolTip, QPoint(5, 5), box.mapToGlobal(QPoint(5, 5)));
  QApplication::sendEvent(&box, &again);
  QTRY_VERIFY(!QToolTip::isVisible());
}

void ComboSlideTests::dropDownWidenedAtMostBy100() {
  CComboBoxCustom box;
  box.setFixedWidth(200);
  box.addItems({"one", "two"});
  QCOMPARE(box.DropDownWidth(), 200);
  box.show();
  QVERIFY(QTest::qWaitForWindowExposed(&box));
  box.showPopup();
  QTRY_VERIFY(box.view()->isVisible());
  QCOMPARE(box.view()->window()->width(), 200);
  box.hidePopup();

  QFontMetrics fm = box.view()->fontMetrics();
  QString wide = "W";
  while (fm.horizontalAdvance(wide) + 10 < 240) wide += "W";
  box.addItem(wide);
  QCOMPARE(box.DropDownWidth(), fm.horizontalAdvance(wide) + 10);

  box.addItem(QString(200, 'W'));
  QCOMPARE(box.DropDownWidth(), 300);
  box.showPopup();
  QTRY_VERIFY(box.view()->isVisible());
  QCOMPARE(box.view()->window()->width(), 300);
  box.hidePopup();
}

void ComboSlideTests::findInCombo() {
  QComboBox box;
  int a = 1, b = 2;
  box.addItem("none", QVariant::fromValue<void *>(nullptr));
  box.addItem("a", QVariant::fromValue<void *>(&a));
  box.addItem("b", QVariant::fromValue<void *>(&b));
  box.addItem("a again", QVariant::fromValue<void *>(&a));
  box.addItem("text", "key");
  QCOMPARE(FindInCombo(&box, &a), 1);
  QCOMPARE(FindInCombo(&box, &b), 2);
  int c = 3;
  QCOMPARE(FindInCombo(&box, &c), -1);
  /* Null data is never looked for, although the first item holds it. */
  QCOMPARE(FindInCombo(&box, static_cast<const void *>(nullptr)), -1);
  QCOMPARE(FindInCombo(&box, QVariant()), -1);
  QCOMPARE(FindInCombo(&box, QVariant("key")), 4);
  QCOMPARE(FindInCombo(nullptr, &a), -1);
}

static QPixmap Filled(const QColor &color) {
  QPixmap p(16, 16);
  p.fill(color);
  return p;
}

void ComboSlideTests::slideStepsAndWraps() {
  CImageSlide slide;
  QCOMPARE(slide.GetTimeOut(), 1000);
  QCOMPARE(slide.CurrentImage(), -1);
  slide.StepIt(); /* no images: nothing happens */
  QCOMPARE(slide.CurrentImage(), -1);
  QVERIFY(!slide.AddImage(QPixmap()));
  const QColor colors[] = {Qt::red, Qt::green, Qt::blue};
  for (const QColor &c : colors) QVERIFY(slide.AddImage(Filled(c)));
  slide.SetTimeOut(0); /* steps only when asked */
  slide.AttachSlide();
  QCOMPARE(slide.CurrentImage(), 0);
  for (int expected : {1, 2, 0, 1}) {
    slide.StepIt();
    QCOMPARE(slide.CurrentImage(), expected);
    QCOMPARE(slide.pixmap().toImage().pixelColor(0, 0), colors[expected]);
  }
}

void ComboSlideTests::slideReadsImages() {
  QTemporaryDir dir;
  QString png = dir.filePath("frame.png");
  QVERIFY(Filled(Qt::red).save(png));

  CImageSlide slide;
  QCOMPARE(CImageSlide::GetStyleFromImageType(CImageSlide::Bitmap), CImageSlide::BitmapStyle);
  QCOMPARE(CImageSlide::GetStyleFromImageType(CImageSlide::Icon), CImageSlide::IconStyle);
  QCOMPARE(CImageSlide::GetStyleFromImageType(CImageSlide::Cursor), CImageSlide::IconStyle);
  QVERIFY(slide.AddImage(png));
  QCOMPARE(slide.pixmap().isNull(), true); /* not started yet */
  QVERIFY(!slide.AddImage(dir.filePath("missing.png")));
  QVERIFY(!slide.AddImage(QString()));
  /* AddImages stops at the first image it cannot read. */
  QVERIFY(!slide.AddImages({png, dir.filePath("missing.png"), png}));
  QCOMPARE(slide.ImageCount(), 2);

  CImageSlide icons;
  icons.SetImageType(CImageSlide::Icon);
  QCOMPARE(icons.GetImageType(), CImageSlide::Icon);
  QVERIFY(icons.AddImages({png, png}));
  QVERIFY(!icons.AddImage(dir.filePath("missing.ico")));
  icons.AttachSlide();
  int extent = icons.style()->pixelMetric(QStyle::PM_LargeIconSize, nullptr, &icons);
  QVERIFY(icons.pixmap().width() <= extent);
  QCOMPARE(icons.CurrentImage(), 0);
}

void ComboSlideTests::slideTimer() {
  CImageSlide slide;
  for (QColor c : {QColor(Qt::red), QColor(Qt::green)}) slide.AddImage(Filled(c));
  slide.SetTimeOut(20);
  slide.show(); /* showing starts the slide */
  QVERIFY(QTest::qWaitForWindowExposed(&slide));
  QCOMPARE(slide.CurrentImage() >= 0, true);
  int seen = 0, last = slide.CurrentImage();
  QTRY_VERIFY_WITH_TIMEOUT(([&] {
                             if (slide.CurrentImage() != last) ++seen;
                             last = slide.CurrentImage();
                             return seen >= 3;
                           }()),
                           3000);
  slide.SetTimeOut(0);
  last = slide.CurrentImage();
  QTest::qWait(80);
  QCOMPARE(slide.CurrentImage(), last);
}

int RunComboSlideTests(int argc, char **argv) {
  ComboSlideTests t;
  return QTest::qExec(&t, argc, argv);
}

#include "combo_slide_tests.moc"
