/*
 * savepage.cpp - naming an object and choosing its file.
 */
#include "savepage.h"

#include <QDir>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>

#include "parts.h"
#include "prompter.h"
#include "tessary_errors.h"

static QString Q(const std::string &s) { return QString::fromStdString(s); }

CSavePage::CSavePage(CPrompter &prompter, const QString &title, const QString &description,
                     const SKind &kind)
    : CAssistantPage(title, description), kind_(kind) {
  auto *form = new QFormLayout;
  form->setRowWrapPolicy(QFormLayout::WrapAllRows);
  if (!kind_.nameLabel.isEmpty()) {
    name_ = new QLineEdit(this);
    auto *label = new QLabel(kind_.nameLabel, this);
    label->setBuddy(name_);
    form->addRow(label, name_);
    connect(name_, &QLineEdit::textEdited, this, &CSavePage::FollowName);
  }
  file_ = new CPathEdit(prompter, CPathEdit::SaveFile, tr("Save description in file"), kind_.filter, this);
  auto *label = new QLabel(QStringLiteral("&Save description in file:"), this);
  label->setBuddy(file_->Edit());
  form->addRow(label, file_);
  connect(file_, &CPathEdit::edited, this, [this] { follow_ = false; });
  note_ = new QLabel(this);
  note_->setWordWrap(true);
  note_->setVisible(false);
  Body()->addLayout(form);
  Body()->addSpacing(10);
  Body()->addWidget(note_);
  Body()->addStretch(1);
}

void CSavePage::Setup(const QString &name, const CPathName &file, const CPathName &own,
                      const CPathName &dir, bool follow) {
  if (name_) name_->setText(name);
  file_->SetText(Q(file.Str()));
  own_ = own;
  dir_ = dir;
  follow_ = follow;
}

void CSavePage::Propose(const CPathName &file) {
  if (follow_) file_->SetText(Q(file.Str()));
}

void CSavePage::SetNote(const QString &text) {
  note_->setText(text);
  note_->setVisible(!text.isEmpty());
}

/* One line, blanks tidied: it is written as NAME=... */
QString CSavePage::Name() const { return name_ ? name_->text().simplified() : QString(); }

/* A file name made of the name's letters and digits. */
static QString FileStem(const QString &name) {
  QString stem;
  for (QChar c : name.trimmed()) stem += c.isLetterOrNumber() || c == '-' || c == '.' ? c : QChar('_');
  return stem;
}

void CSavePage::FollowName() {
  if (!follow_) return;
  QString stem = FileStem(Name());
  file_->SetText(stem.isEmpty() ? Q(dir_.Str())
                                : Q((dir_ + CPathName(stem.toStdString() + '.' +
                                                      GetMessageText(kind_.extension))).Str()));
}

CPathName CSavePage::Complete(const QString &text) const {
  CPathName path((text.startsWith("~/") ? QDir::homePath() + text.mid(1) : text).toStdString());
  if (!path.IsFull()) path = dir_ + path;
  path.Canonicalize();
  return path;
}

CPathName CSavePage::WithExtension(const CPathName &file) const {
  CPathName path = file;
  std::string ext = GetMessageText(kind_.extension);
  if (path.GetExtension() != ext) path = CPathName(path.Str() + '.' + ext);
  return path;
}

bool CSavePage::validatePage() {
  if (name_ && Name().isEmpty()) {
    name_->setFocus();
    return Refuse(kind_.nameMissing);
  }
  QString text = file_->Text();
  if (text.isEmpty() || text.endsWith('/') || Complete(text).IsDirectory()) {
    file_->setFocus();
    return Refuse(tr("Please give the name of the file in which the description is saved."));
  }
  chosen_ = WithExtension(Complete(text));
  file_->SetText(Q(chosen_.Str()));
  if (isInstalled && isInstalled(chosen_)) {
    file_->setFocus();
    return Refuse(tr("'%1' belongs to the installation, which is never changed.\n"
                     "Please choose a file of your own, for instance in %2.")
                      .arg(Q(chosen_.Str()), Q(dir_.Str())));
  }
  if (chosen_.Exists() && chosen_ != own_ &&
      !Prompter().AskYesNo(wizard(), QStringLiteral("File already exists. Do you want to replace it?")))
    return false;
  return Sheet()->Finish();
}
