/*
 * about.cpp - the About box and the help window.
 */
#include "about.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QTextBrowser>
#include <QVBoxLayout>

#include "art.h"
#include "prompter.h"
#include "sentrelapp.h"

CAboutDialog::CAboutDialog(QWidget *parent) : QDialog(parent) {
  setWindowTitle(tr("About %1").arg(kProductName));
  auto *picture = new QLabel(this);
  picture->setPixmap(ProgramIcon().pixmap(96, 96));
  picture->setAlignment(Qt::AlignTop);

  auto *name = new QLabel(QString::fromLatin1(kProductName), this);
  QFont big = name->font();
  big.setPointSizeF(big.pointSizeF() * 1.6);
  big.setBold(true);
  name->setFont(big);
  auto *version = new QLabel(tr("Version %1").arg(CSentrelApp::Version()), this);
  auto *what = new QLabel(tr("Checks C sources against coding rules and shows each violation "
                             "beside the source."),
                          this);
  what->setWordWrap(true);
  auto *parts = new QLabel(tr("Checker: kvx_zkck_cc\nBuilt with Qt %1").arg(QString::fromLatin1(qVersion())), this);
  parts->setForegroundRole(QPalette::PlaceholderText);

  auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

  auto *text = new QVBoxLayout;
  text->setSpacing(6);
  text->addWidget(name);
  text->addWidget(version);
  text->addSpacing(6);
  text->addWidget(what);
  text->addWidget(parts);
  text->addStretch(1);
  auto *row = new QHBoxLayout;
  row->setSpacing(20);
  row->addWidget(picture);
  row->addLayout(text, 1);
  auto *layout = new QVBoxLayout(this);
  layout->setContentsMargins(22, 22, 22, 14);
  layout->addLayout(row);
  layout->addWidget(buttons);
  setMinimumWidth(420);
}

CHelpWindow::CHelpWindow(QWidget *parent, const QString &markdown) : QDialog(parent) {
  setWindowTitle(tr("%1 Help").arg(kProductName));
  auto *browser = new QTextBrowser(this);
  browser->setOpenExternalLinks(true);
  browser->setMarkdown(markdown);
  auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);
  auto *layout = new QVBoxLayout(this);
  layout->addWidget(browser);
  layout->addWidget(buttons);
  resize(760, 640);
}
