/* CListCtrlEx and CSilentList. */
#include "widget_tests.h"
#include "wendrel_lists.h"

#include <QHeaderView>
#include <QHelpEvent>
#include <QToolTip>
#include <QtTest>

class ListTests : public QObject {
  Q_OBJECT

 private slots:
  void columnsTakeTheirTextAndSampleWidth();
  void itemsAndSubItems();
  void selectionAndFocus();
  void headerButtonsAndImages();
  void keyPressesAreBracketed();
  void nestedKeyIsSilent();
  void toolTipForTruncatedItems();
};

static QIcon Icon(const QColor &color) {
  QPixmap p(8, 8);
  p.fill(color);
  return QIcon(p);
}

static QStringList Column(const CListCtrlEx &list, int column) {
  QStringList texts;
  for (int row = 0; row < list.rowCount(); ++row)
    texts << (list.item(row, column) ? list.item(row, column)->text() : QString("-"));
  return texts;
}

void ListTests::columnsTakeTheirTextAndSampleWidth() {
  CListCtrlEx list;
  QFontMetrics fm = list.fontMetrics();
  QCOMPARE(list.AddColumn("File Name", -1, Qt::AlignLeft, "main.c (1234)"), 0);
  QCOMPARE(list.columnWidth(0), fm.horizontalAdvance("File Name") +
                                    fm.horizontalAdvance("main.c (1234)") + 15);
  QCOMPARE(list.AddColumn("Rule"), 1);
  QCOMPARE(list.columnWidth(1), fm.horizontalAdvance("Rule") + 15);
  QCOMPARE(list.AddColumn("Directory", 1), 1); /* inserted between */
  QCOMPARE(list.AddColumn("Details", 99, Qt::AlignRight), 3);
  QCOMPARE(list.columnCount(), 4);
  QCOMPARE(list.GetColumnText(1), QString("Directory"));
  QCOMPARE(list.GetColumnText(2), QString("Rule"));
  QVERIFY(list.SetColumnText(2, "Rule name"));
  QCOMPARE(list.GetColumnText(2), QString("Rule name"));
  QVERIFY(!list.SetColumnText(7, "x"));
  QCOMPARE(list.GetColumnText(7), QString());
  QCOMPARE(list.horizontalHeaderItem(3)->textAlignment() & Qt::AlignRight, int(Qt::AlignRight));
}

void ListTests::itemsAndSubItems() {
  CListCtrlEx list;
  list.AddColumn("A");
  list.AddColumn("B");
  list.SetImageList({Icon(Qt::red), Icon(Qt::blue)});
  QCOMPARE(list.AddItem(0, 0, "first"), 0);
  QCOMPARE(list.AddItem(5, 0, "last", 1), 1); /* past the end: appended */
  QCOMPARE(list.AddItem(1, 0, "middle"), 1);
  QCOMPARE(Column(list, 0), QStringList({"first", "middle", "last"}));
  QCOMPARE(list.AddItem(2, 1, "sub"), 2);
  QCOMPARE(Column(list, 1), QStringList({"-", "-", "sub"}));
  QCOMPARE(list.AddItem(3, 1, "no such item"), -1);
  QCOMPARE(list.AddItem(0, 2, "no such column"), -1);
  QVERIFY(list.item(2, 0)->icon().cacheKey() != 0);
  QVERIFY(list.item(0, 0)->icon().isNull());
  QVERIFY(!(list.item(0, 0)->flags() & Qt::ItemIsEditable));
  list.DeleteAll();
  QCOMPARE(list.rowCount(), 0);
  QCOMPARE(list.columnCount(), 2);
}

void ListTests::selectionAndFocus() {
  CListCtrlEx list;
  list.AddColumn("A");
  for (int i = 0; i < 5; ++i) list.AddItem(i, 0, QString::number(i));
  QCOMPARE(list.GetSelection(), -1);
  QCOMPARE(list.GetFocusedItem(), -1);
  list.SetSelection(1, true);
  list.SetSelection(3, true);
  QCOMPARE(list.GetSelection(), 1);
  QCOMPARE(list.GetSelection(1), 3);
  QCOMPARE(list.GetSelection(3), -1);
  list.SetFocusedItem(4); /* focus leaves the selection alone */
  QCOMPARE(list.GetFocusedItem(), 4);
  QCOMPARE(list.GetSelection(3), -1);
  list.SetSelection(1, false);
  QCOMPARE(list.GetSelection(), 3);
  QVERIFY(list.SetItemState(0, CListCtrlEx::ItemFocused | CListCtrlEx::ItemSelected,
                            CListCtrlEx::ItemFocused | CListCtrlEx::ItemSelected));
  QCOMPARE(list.GetFocusedItem(), 0);
  QCOMPARE(list.GetSelection(), 0);
  QVERIFY(list.SetItemState(0, 0, CListCtrlEx::ItemFocused));
  QCOMPARE(list.GetFocusedItem(), -1);
  QCOMPARE(list.GetSelection(), 0);
  QVERIFY(!list.SetItemState(9, CListCtrlEx::ItemSelected, CListCtrlEx::ItemSelected));
}

void ListTests::headerButtonsAndImages() {
  CListCtrlEx list;
  list.AddColumn("A");
  list.AddColumn("B");
  QCOMPARE(list.GetHeader(), list.horizontalHeader());
  list.SetSortHeader(true);
  QVERIFY(list.GetHeader()->sectionsClickable());
  list.SetSortHeader(false);
  QVERIFY(!list.GetHeader()->sectionsClickable());

  QVERIFY(!list.SetColumnImage(0, 0)); /* no header images yet */
  list.SetColumnImageList({Icon(Qt::red), Icon(Qt::green)});
  QCOMPARE(list.GetColumnImageList().size(), 2);
  QVERIFY(list.SetColumnImage(1, 1, true));
  QVERIFY(!list.horizontalHeaderItem(1)->icon().isNull());
  QVERIFY(list.IsColumnImageRight(1));
  QVERIFY(list.SetColumnImage(0, 0));
  QVERIFY(!list.IsColumnImageRight(0));
  QVERIFY(list.SetColumnImage(1, -1, true)); /* removed */
  QVERIFY(list.horizontalHeaderItem(1)->icon().isNull());
  QVERIFY(!list.IsColumnImageRight(1));
  QVERIFY(!list.SetColumnImage(5, 0));
  QVERIFY(!list.SetColumnImage(0, 2));
  list.show();
  QVERIFY(QTest::qWaitForWindowExposed(&list));
  list.SetColumnImage(0, 1, true);
  list.grab(); /* painting a right-side image works */
}

/* Records the notifications of a silent list and the selection seen at
 * each. */
struct NotificationLog {
  QStringList events;
  void Attach(CSilentList &list) {
    QObject::connect(&list, &CSilentList::wmNotifyListSelChanging, [this](CSilentList *l) {
      events << QString("changing %1").arg(l->GetSelection());
    });
    QObject::connect(&list, &CSilentList::wmNotifyListSelChanged, [this](CSilentList *l) {
      events << QString("changed %1").arg(l->GetSelection());
    });
  }
};

/* Four files, shown, the first one current. */
static bool ShowFilled(CSilentList &list) {
  list.AddColumn("File Path", -1, Qt::AlignLeft, "some/sample/path");
  for (int i = 0; i < 4; ++i) list.AddItem(i, 0, QString("file%1.c").arg(i));
  list.show();
  if (!QTest::qWaitForWindowExposed(&list)) return false;
  list.setCurrentCell(0, 0);
  return true;
}

void ListTests::keyPressesAreBracketed() {
  CSilentList list;
  QVERIFY(ShowFilled(list));
  NotificationLog log;
  log.Attach(list);
  QTest::keyClick(&list, Qt::Key_Down);
  QCOMPARE(log.events, QStringList({"changing 0", "changed 1"}));
  log.events.clear();
  QTest::keyClick(&list, Qt::Key_Shift); /* a lone modifier changes nothing */
  QCOMPARE(log.events, QStringList());
  QTest::keyClick(&list, Qt::Key_End);
  QCOMPARE(log.events, QStringList({"changing 1", "changed 3"}));
  log.events.clear();
  QTest::keyClick(&list, Qt::Key_Home);
  QCOMPARE(log.events, QStringList({"changing 3", "changed 0"}));
  QVERIFY(!list.IsNotifying());
}

void ListTests::nestedKeyIsSilent() {
  CSilentList list;
  QVERIFY(ShowFilled(list));
  NotificationLog log;
  log.Attach(list);
  bool nestedWhileNotifying = false;
  /* The parent answers the first notification with a key of its own. */
  auto once = std::make_shared<bool>(true);
  QObject::connect(&list, &CSilentList::wmNotifyListSelChanging, [&, once](CSilentList *l) {
    if (!*once) return;
    *once = false;
    nestedWhileNotifying = l->IsNotifying();
    QTest::keyClick(l, Qt::Key_Down);
  });
  QTest::keyClick(&list, Qt::Key_Down);
  QVERIFY(nestedWhileNotifying);
  QCOMPARE(log.events, QStringList({"changing 0", "changed 2"}));
  QVERIFY(!list.IsNotifying());
}

void ListTests::toolTipForTruncatedItems() {
  CSilentList list(true);
  list.AddColumn("File Path");
  list.setColumnWidth(0, 80);
  list.AddItem(0, 0, "a.c");
  list.AddItem(1, 0, "a/very/long/directory/name/that/is/cut/off.c");
  list.resize(300, 200);
  list.show();
  QVERIFY(QTest::qWaitForWindowExposed(&list));
  QPoint shortPos = list.visualItemRect(list.item(0, 0)).center();
  QPoint longPos = list.visualItemRect(list.item(1, 0)).center();
  QCOMPARE(list.ToolTipTextAt(shortPos), QString());
  QCOMPARE(list.ToolTipTextAt(longPos), list.item(1, 0)->text());
  QCOMPARE(list.ToolTipTextAt(QPoint(250, 190)), QString()); /* no item there */

  QHelpEvent help(QEvent::ToolTip, longPos, list.viewport()->mapToGlobal(longPos));
  QApplication::sendEvent(list.viewport(), &help);
  QCOMPARE(QToolTip::text(), list.item(1, 0)->text());

  list.setColumnWidth(0, 290); /* now it fits */
  QCOMPARE(list.ToolTipTextAt(longPos), QString());

  CSilentList quiet(false);
  QVERIFY(!quiet.HasToolTips());
  quiet.AddColumn("File Path");
  quiet.setColumnWidth(0, 20);
  quiet.AddItem(0, 0, "a/very/long/name.c");
  quiet.show();
  QVERIFY(QTest::qWaitForWindowExposed(&quiet));
  QCOMPARE(quiet.ToolTipTextAt(quiet.visualItemRect(quiet.item(0, 0)).center()), QString());
}

int RunListTests(int argc, char **argv) {
  ListTests t;
  return QTest::qExec(&t, argc, argv);
}

#include "list_tests.moc"
