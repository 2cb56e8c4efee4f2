/*
 * about.h - Help / About: the product's name, version and picture.
 */
#ifndef CSENTREL_ABOUT_H
#define CSENTREL_ABOUT_H

#include <QDialog>

class CAboutDialog : public QDialog {
  Q_OBJECT
 public:
  explicit CAboutDialog(QWidget *parent = nullptr);
};

/* Help / Help Topics: the workbench's guide, read from the installation. */
class CHelpWindow : public QDialog {
  Q_OBJECT
 public:
  CHelpWindow(QWidget *parent, const QString &markdown);
};

#endif
