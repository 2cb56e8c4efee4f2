/*
 * dialog_help.cpp - the Help buttons of the assistant's dialogs: the help
 * text shows beside the button, without a modal window.
 */
#include <QDialogButtonBox>
#include <QPushButton>
#include <QWhatsThis>

#include "dialogs.h"

void ConnectHelp(QDialogButtonBox *buttons, const QString &text) {
  QObject::connect(buttons, &QDialogButtonBox::helpRequested, buttons, [buttons, text] {
    QPushButton *help = buttons->button(QDialogButtonBox::Help);
    QWidget *anchor = help ? static_cast<QWidget *>(help) : buttons;
    QWhatsThis::showText(anchor->mapToGlobal(QPoint(0, anchor->height())), text, anchor);
  });
}
