/*
 * scripted_prompter.h - a CPrompter that answers from a script and keeps
 * every question it was asked, for the tests and the pictures: no dialog
 * is ever shown.
 */
#ifndef CSENTREL_SCRIPTED_PROMPTER_H
#define CSENTREL_SCRIPTED_PROMPTER_H

#include <QPrinter>
#include <QStringList>
#include <deque>

#include "prompter.h"

class CScriptedPrompter : public CPrompter {
 public:
  /* Every question and message, in order. */
  QStringList asked;
  /* Answers, used in order; when a queue is empty the default is used. */
  std::deque<EAnswer> yesNoCancel;
  EAnswer defaultYesNoCancel = Cancel;
  std::deque<bool> yesNo;
  bool defaultYesNo = true;
  std::deque<bool> confirm;
  bool defaultConfirm = true;
  QString openFile, saveFile;
  QStringList openFiles;
  /* The makefile dialog: accepted with this path unless cancelled. */
  QString makefile;
  bool acceptMakefile = true;
  /* Printing goes to this PDF file. */
  QString printFile;

  EAnswer AskYesNoCancel(QWidget *, const QString &text) override {
    asked << text;
    return Take(yesNoCancel, defaultYesNoCancel);
  }
  bool AskYesNo(QWidget *, const QString &text) override {
    asked << text;
    return Take(yesNo, defaultYesNo);
  }
  bool Confirm(QWidget *, const QString &text) override {
    asked << text;
    return Take(confirm, defaultConfirm);
  }
  void Inform(QWidget *, const QString &text, ESeverity) override { asked << text; }
  bool AskText(QWidget *, const QString &, const QString &label, QString &) override {
    asked << label;
    return false;
  }
  QString ChooseOpenFile(QWidget *, const QString &caption, const QString &, const QString &) override {
    asked << caption;
    return openFile;
  }
  QStringList ChooseOpenFiles(QWidget *, const QString &caption, const QString &, const QString &) override {
    asked << caption;
    return openFiles;
  }
  QString ChooseSaveFile(QWidget *, const QString &caption, const QString &, const QString &) override {
    asked << caption;
    return saveFile;
  }
  bool AskMakefile(QWidget *, QString &path) override {
    asked << "makefile:" + path;
    if (acceptMakefile) path = makefile;
    return acceptMakefile;
  }
  bool SetupPrint(QWidget *, QPrinter &printer) override {
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(printFile);
    return !printFile.isEmpty();
  }
  bool SetupPage(QWidget *, QPrinter &) override { return true; }
  void Preview(QWidget *, QPrinter &printer, const std::function<void(QPrinter *)> &paint) override {
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(printFile);
    paint(&printer);
  }

 private:
  template <typename T>
  static T Take(std::deque<T> &q, T fallback) {
    if (q.empty()) return fallback;
    T v = q.front();
    q.pop_front();
    return v;
  }
};

#endif
