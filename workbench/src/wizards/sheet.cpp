/*
 * sheet.cpp - the assistants' sheet and page.
 */
#include "sheet.h"

#include <QAbstractButton>
#include <QLabel>
#include <QShortcut>
#include <QVBoxLayout>

#include "prompter.h"
#include "wendrel_ui.h"

int RunModal(const CRunModal &run, QDialog &dialog) { return run ? run(dialog) : dialog.exec(); }

CAssistantSheet::CAssistantSheet(QWidget *parent, CPrompter &prompter, const CRunModal &run,
                                 EAssistantPicture picture, const QString &title)
    : QWizard(parent), prompter_(prompter), run_(run) {
  setWindowTitle(title);
  /* The picture on the left of every page, the title above the page's
   * controls: the same look on every platform. */
  setWizardStyle(QWizard::ClassicStyle);
  setOption(QWizard::HaveHelpButton, true);
  /* Room for the longest description beside the picture: every page of a
   * sheet has the same size. */
  setMinimumSize(780, 560);
  picture_ = picture;
  SetPictureHeight(480);
  /* Accelerators belong to the pages' labels ("&Beginning with:",
   * "Compiler &headers directories:"): the buttons keep out of their way. */
  setButtonText(QWizard::BackButton, tr("< Bac&k"));
  setButtonText(QWizard::HelpButton, tr("Help"));
  auto *f1 = new QShortcut(QKeySequence::HelpContents, this);
  connect(f1, &QShortcut::activated, this, [this] { emit helpRequested(); });
  connect(this, &QWizard::helpRequested, this, [this] {
    QWizardPage *page = currentPage();
    QString text = page ? page->property("helpText").toString() : QString();
    if (text.isEmpty()) {
      auto *assistantPage = qobject_cast<CAssistantPage *>(page);
      if (assistantPage) text = assistantPage->Description()->text();
    }
    if (!text.isEmpty()) prompter_.Inform(this, text, CPrompter::Information);
  });
}

void CAssistantSheet::SetPictureHeight(int height) {
  setPixmap(QWizard::WatermarkPixmap, AssistantPicture(picture_, height));
}

CAssistantPage::CAssistantPage(const QString &title, const QString &description, QWidget *parent)
    : QWizardPage(parent) {
  setTitle(title);
  description_ = new QLabel(description, this);
  description_->setWordWrap(true);
  description_->setTextFormat(Qt::PlainText);
  description_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  SetDecriptionOfDialog(this, {description_});
  body_ = new QVBoxLayout;
  auto *layout = new QVBoxLayout(this);
  layout->addWidget(description_);
  layout->addSpacing(8);
  layout->addLayout(body_, 1);
}

CAssistantSheet *CAssistantPage::Sheet() const { return qobject_cast<CAssistantSheet *>(wizard()); }

bool CAssistantPage::Refuse(const QString &text) const {
  Prompter().Inform(wizard(), text, CPrompter::Warning);
  return false;
}
