/* CClipboard, the font and edit helpers and ClosePrintPreview. */
#include "widget_tests.h"
#include "wendrel_clipboard.h"
#include "wendrel_ui.h"

#include <QClipboard>
#include <QDialog>
#include <QLabel>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QTextEdit>
#include <QVBoxLayout>
#include <QtTest>

class UiTests : public QObject {
  Q_OBJECT

 private slots:
  void clipboardBetweenOpenAndClose();
  void boldFonts();
  void descriptionFontIsShared();
  void closesPrintPreviewSubWindow();
  void closesPrintPreviewDialog();
};

void UiTests::clipboardBetweenOpenAndClose() {
  QString text;
  {
    CClipboard clip;
    QVERIFY(!clip.SetText("closed"));
    QVERIFY(!clip.GetText(text));
    QVERIFY(clip.Open());
    QVERIFY(clip.Open()); /* once */
    QVERIFY(clip.IsOpen());
    QVERIFY(clip.SetText("line 1\nline 2"));
    QVERIFY(clip.GetText(text));
    QCOMPARE(text, QString("line 1\nline 2"));
    QGuiApplication::clipboard()->clear();
    QVERIFY(!clip.GetText(text)); /* no text on it */
    clip.SetText("kept");
  } /* closed by the destructor; the text stays on the clipboard */
  QCOMPARE(QGuiApplication::clipboard()->text(), QString("kept"));
  CClipboard clip;
  clip.Open();
  clip.Close();
  QVERIFY(!clip.IsOpen());
  QVERIFY(!clip.GetText(text));
}

void UiTests::boldFonts() {
  QLabel label("text");
  QFont plain("Sans", 13);
  label.setFont(plain);
  QFont bold;
  FillBoldFont(&label, bold);
  QCOMPARE(bold.weight(), QFont::Weight(700));
  QCOMPARE(bold.pointSize(), 13);
  QCOMPARE(label.font().weight(), plain.weight()); /* left alone */
  ChangeFontToBold(&label);
  QCOMPARE(label.font().weight(), QFont::Weight(700));
  ChangeFontToBold(nullptr);
}

void UiTests::descriptionFontIsShared() {
  QDialog dialog;
  auto *first = new QLabel("first", &dialog);
  auto *second = new QLabel("second", &dialog);
  auto *plain = new QLabel("plain", &dialog);
  QLabel outside("outside");
  first->setFont(QFont("Sans", 15));
  SetDecriptionOfDialog(&dialog, {first, second, &outside, nullptr});
  QCOMPARE(first->font().weight(), QFont::Weight(700));
  QCOMPARE(first->font().pointSize(), 15);
  /* One font for all, made from the first window's. */
  QCOMPARE(second->font(), first->font());
  QVERIFY(plain->font().weight() != QFont::Weight(700));
  QVERIFY(outside.font().weight() != QFont::Weight(700));
  QLabel later("later");
  later.setFont(QFont("Sans", 8));
  SetDescriptionFont(&later);
  QCOMPARE(later.font(), first->font());
}

void UiTests::closesPrintPreviewSubWindow() {
  QMainWindow frame;
  auto *area = new QMdiArea;
  frame.setCentralWidget(area);
  QMdiSubWindow *text = area->addSubWindow(new QTextEdit);
  auto *preview = new QPrintPreviewWidget;
  QMdiSubWindow *previewWindow = area->addSubWindow(preview);
  previewWindow->setAttribute(Qt::WA_DeleteOnClose, false);
  frame.show();
  QVERIFY(QTest::qWaitForWindowExposed(&frame));

  area->setActiveSubWindow(text);
  QVERIFY(!ClosePrintPreview(&frame)); /* the active view is no preview */
  QVERIFY(previewWindow->isVisible());

  area->setActiveSubWindow(previewWindow);
  QCOMPARE(area->activeSubWindow(), previewWindow);
  QVERIFY(ClosePrintPreview(&frame));
  QVERIFY(!previewWindow->isVisible());
  QVERIFY(text->isVisible());

  /* Through a view: the preview's own sub-window. */
  previewWindow->show();
  area->setActiveSubWindow(previewWindow);
  QVERIFY(ClosePrintPreview(static_cast<QWidget *>(preview)));
  QVERIFY(!previewWindow->isVisible());
  QVERIFY(!ClosePrintPreview(static_cast<QWidget *>(nullptr)));
  QVERIFY(!ClosePrintPreview(static_cast<QMainWindow *>(nullptr)));
}

void UiTests::closesPrintPreviewDialog() {
  QMainWindow frame;
  auto *view = new QTextEdit;
  frame.setCentralWidget(view);
  frame.show();
  QVERIFY(QTest::qWaitForWindowExposed(&frame));
  auto *dialog = new QPrintPreviewDialog(&frame);
  QSignalSpy rejected(dialog, &QDialog::rejected);
  dialog->open();
  QTRY_VERIFY(dialog->isVisible());
  QVERIFY(ClosePrintPreview(view));
  QVERIFY(!dialog->isVisible());
  QCOMPARE(rejected.count(), 1);
  QVERIFY(!ClosePrintPreview(&frame)); /* nothing left to close */
}

int RunUiTests(int argc, char **argv) {
  UiTests t;
  return QTest::qExec(&t, argc, argv);
}

#include "ui_tests.moc"
