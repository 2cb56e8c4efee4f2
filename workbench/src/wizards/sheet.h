/*
 * sheet.h - what the three assistants have in common: the sheet (a wizard
 * in the classic style, with the assistant's picture on the left of every
 * page), the page that opens with its description text in the description
 * font, and the way the assistants show a modal dialog.
 */
#ifndef CSENTREL_WIZARDS_SHEET_H
#define CSENTREL_WIZARDS_SHEET_H

#include <QWizard>
#include <QWizardPage>
#include <functional>

#include "wizardart.h"

class CPrompter;
class QLabel;
class QVBoxLayout;

/* Shows a modal dialog and gives its result code.  The program runs the
 * dialog's own loop (exec); tests and the pictures put a function in its
 * place that fills and closes the dialog without a modal loop. */
using CRunModal = std::function<int(QDialog &)>;
int RunModal(const CRunModal &run, QDialog &dialog);

class CAssistantSheet : public QWizard {
  Q_OBJECT
 public:
  CAssistantSheet(QWidget *parent, CPrompter &prompter, const CRunModal &run,
                  EAssistantPicture picture, const QString &title);

  CPrompter &Prompter() const { return prompter_; }
  const CRunModal &Runner() const { return run_; }

  /* Called by the last page once its fields are valid: whatever finishing
   * the sheet does (saving) happens there, so that a failure keeps the
   * sheet open with everything the user entered.  Unset: nothing to do. */
  std::function<bool()> onFinish;
  bool Finish() { return !onFinish || onFinish(); }

 protected:
  /* The picture reaches from the top of the pages to their bottom. */
  void SetPictureHeight(int height);

 private:
  EAssistantPicture picture_;
  CPrompter &prompter_;
  CRunModal run_;
};

class CAssistantPage : public QWizardPage {
  Q_OBJECT
 public:
  /* description is shown at the top of the page in the description font;
   * the page's controls go into Body() below it. */
  CAssistantPage(const QString &title, const QString &description, QWidget *parent = nullptr);

  QLabel *Description() const { return description_; }

 protected:
  QVBoxLayout *Body() const { return body_; }
  CAssistantSheet *Sheet() const;
  template <typename T>
  T *SheetAs() const {
    return qobject_cast<T *>(wizard());
  }
  CPrompter &Prompter() const { return Sheet()->Prompter(); }
  /* A message the user acknowledges; false, so that validatePage can
   * return it. */
  bool Refuse(const QString &text) const;

 private:
  QLabel *description_;
  QVBoxLayout *body_;
};

#endif
