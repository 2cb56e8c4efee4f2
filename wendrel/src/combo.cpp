/*
 * combo.cpp - CComboBoxCustom (tool tip for a truncated selection, widened
 * drop-down list) and FindInCombo.
 */
#include "wendrel_combo.h"

#include <QAbstractItemView>
#include <QHelpEvent>
#include <QToolTip>

#include <algorithm>

static constexpr int kToolTipSlack = 25;  /* room for the arrow and frame */
static constexpr int kItemPadding = 10;   /* around the widest item text */
static constexpr int kMaxWidening = 100;  /* the list grows by this at most */

CComboBoxCustom::CComboBoxCustom(QWidget *parent) : QComboBox(parent) {}

QString CComboBoxCustom::ToolTipText() const {
  if (currentIndex() < 0) return QString();
  QString text = currentText();
  if (fontMetrics().horizontalAdvance(text) >= width() - kToolTipSlack) return text;
  return QString();
}

int CComboBoxCustom::DropDownWidth() const {
  QFontMetrics fm = view()->fontMetrics();
  int widest = 0;
  for (int i = 0; i < count(); ++i) widest = std::max(widest, fm.horizontalAdvance(itemText(i)));
  int excess = widest + kItemPadding - width();
  return width() + std::clamp(excess, 0, kMaxWidening);
}

void CComboBoxCustom::showPopup() {
  int wanted = DropDownWidth();
  QComboBox::showPopup();
  QWidget *popup = view()->window();
  /* Qt sizes the list to its contents; the widening is capped here. */
  if (popup != window() && popup->width() != wanted) popup->resize(wanted, popup->height());
}

bool CComboBoxCustom::event(QEvent *event) {
  if (event->type() != QEvent::ToolTip) return QComboBox::event(event);
  auto *help = static_cast<QHelpEvent *>(event);
  QString text = ToolTipText();
  if (text.isEmpty()) {
    QToolTip::hideText();
    event->ignore();
  } else {
    QToolTip::showText(help->globalPos(), text, this, rect());
  }
  return true;
}

int FindInCombo(const QComboBox *combo, const void *data) {
  if (!data) return -1;
  return FindInCombo(combo, QVariant::fromValue(const_cast<void *>(data)));
}

int FindInCombo(const QComboBox *combo, const QVariant &data) {
  if (!combo || !data.isValid() || data.isNull()) return -1;
  for (int i = 0; i < combo->count(); ++i)
    if (combo->itemData(i) == data) return i;
  return -1;
}
