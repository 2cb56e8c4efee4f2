/*
 * wendrel_combo.h - CComboBoxCustom, a combo box for texts that may be wider
 * than the box, and FindInCombo.
 *
 * The box shows the full text of the selected item as its tool tip when the
 * text does not comfortably fit (it is at least as wide as the box less
 * 25 pixels), and its drop-down list is widened so that the widest item
 * shows, by at most 100 pixels.  Measurements are in device-independent
 * pixels.
 */
#ifndef WENDREL_COMBO_H
#define WENDREL_COMBO_H

#include <QComboBox>
#include <QVariant>

class CComboBoxCustom : public QComboBox {
  Q_OBJECT

 public:
  explicit CComboBoxCustom(QWidget *parent = nullptr);

  /* The tool tip the box shows now: the selected item's text when, measured
   * in the box's font, it is at least as wide as the box less 25 pixels;
   * empty otherwise (and then no tool tip is shown). */
  QString ToolTipText() const;
  /* The width of the drop-down list: the box's width, widened by the amount
   * the widest item text plus 10 pixels exceeds it, at most by 100. */
  int DropDownWidth() const;

  void showPopup() override;

 protected:
  bool event(QEvent *event) override;
};

/* The index of the first item of combo whose item data (Qt::UserRole) holds
 * the pointer data, or -1; -1 at once for a null pointer.  Items carry
 * pointers as QVariant::fromValue<void *>(p). */
int FindInCombo(const QComboBox *combo, const void *data);
/* The same for any item data; -1 at once for an invalid or null variant. */
int FindInCombo(const QComboBox *combo, const QVariant &data);

#endif
