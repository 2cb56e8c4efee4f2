/*
 * wendrel_lists.h - list controls in report mode: CListCtrlEx with column,
 * item, selection and header-image utilities, and CSilentList, which tells
 * its parent before and after each key press that may change its selection
 * and shows the full text of a truncated item as a tool tip.
 *
 * Rows are items, columns are sub-items; item and header images are indices
 * into image lists (lists of icons) set beforehand, -1 for none.  Whole rows
 * are selected; the items cannot be edited in place.  Widths are in
 * device-independent pixels.
 */
#ifndef WENDREL_LISTS_H
#define WENDREL_LISTS_H

#include <QIcon>
#include <QList>
#include <QTableWidget>

using CImageList = QList<QIcon>;

class CListCtrlEx : public QTableWidget {
  Q_OBJECT

 public:
  /* Item states for SetItemState. */
  enum EItemState : unsigned { ItemFocused = 0x1, ItemSelected = 0x2 };

  explicit CListCtrlEx(QWidget *parent = nullptr);

  /* Inserts a column at index (-1: after the last) whose width is the width
   * of its text plus that of sample plus 15 pixels.  Returns its index. */
  int AddColumn(const QString &text, int index = -1, Qt::Alignment format = Qt::AlignLeft,
                const QString &sample = QString());
  /* With subItem 0, inserts an item (a row) at index (clamped to the rows
   * there are) with text in its first column and returns its row; with
   * another subItem, sets that column's text of the existing item index and
   * returns index, or -1 when there is no such item or column.  image is an
   * index into the image list, -1 for none. */
  int AddItem(int index, int subItem, const QString &text, int image = -1);
  /* Removes every item; the columns stay. */
  void DeleteAll();

  QString GetColumnText(int column) const;
  bool SetColumnText(int column, const QString &text);

  /* The item with the keyboard focus (-1: none); focusing leaves the
   * selection as it is. */
  void SetFocusedItem(int item);
  int GetFocusedItem() const;
  /* Selects or deselects one item. */
  void SetSelection(int item, bool select);
  /* The first selected item after start (-1: from the top), or -1. */
  int GetSelection(int start = -1) const;
  /* Sets the states of mask (EItemState bits) to those of state. */
  bool SetItemState(int item, unsigned state, unsigned mask);

  QHeaderView *GetHeader() const;
  /* Header sections that act as buttons (clickable), or not. */
  void SetSortHeader(bool buttons);

  void SetImageList(const CImageList &images) { images_ = images; }
  const CImageList &GetImageList() const { return images_; }
  void SetColumnImageList(const CImageList &images) { columnImages_ = images; }
  const CImageList &GetColumnImageList() const { return columnImages_; }
  /* Shows image of the header image list in the column's header, on the
   * right side of the section when right is set; -1 removes it. */
  bool SetColumnImage(int column, int image, bool right = false);
  /* Whether the column's header image is shown on the right. */
  bool IsColumnImageRight(int column) const;

 protected:
  /* The width of text in the list's font. */
  int TextWidth(const QString &text) const;
  /* Home and End go to the first and the last item, as in any list. */
  QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;

 private:
  CImageList images_;
  CImageList columnImages_;
};

class CSilentList : public CListCtrlEx {
  Q_OBJECT

 public:
  explicit CSilentList(bool toolTips = true, QWidget *parent = nullptr);

  bool HasToolTips() const { return toolTips_; }
  /* The tool tip for a point of the viewport: the full text of the item
   * there when it does not fit in the visible part of its cell; empty
   * otherwise or when tool tips are off. */
  QString ToolTipTextAt(const QPoint &pos) const;
  /* True while the pair of notifications of a key press is being sent. */
  bool IsNotifying() const { return notifying_; }

 signals:
  /* Sent before the list handles a key press. */
  void wmNotifyListSelChanging(CSilentList *list);
  /* Sent after it has handled it. */
  void wmNotifyListSelChanged(CSilentList *list);

 protected:
  void keyPressEvent(QKeyEvent *event) override;
  bool viewportEvent(QEvent *event) override;

 private:
  bool toolTips_;
  bool notifying_ = false;
};

#endif
