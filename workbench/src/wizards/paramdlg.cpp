/*
 * paramdlg.cpp - the parameter-value and pattern dialogs.
 */
#include "paramdlg.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include "tessary_rules.h"

static QString Q(const std::string &s) { return QString::fromStdString(s); }

static QString MultipleText() { return QString::fromUtf8(GetMessageText(34134)); }

/* The parameter's label above the fields, so that the user knows which
 * value is being set. */
static QLabel *ParameterLabel(const CRuleParameterValue &v, QWidget *parent) {
  const CRuleParameter *p = v.GetParameter();
  QString text = Q(p->GetLabel().empty() ? p->GetName() : p->GetLabel());
  auto *label = new QLabel(text, parent);
  label->setWordWrap(true);
  label->setToolTip(Q(p->GetName()));
  return label;
}

static QDialogButtonBox *OkCancel(QDialog *dialog) {
  auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
  QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
  return buttons;
}

/* ---- numbers --------------------------------------------------------- */

CParameterValueDlg::CParameterValueDlg(QWidget *parent, const CRuleParameterValue &shown) : QDialog(parent) {
  setWindowTitle(tr("Parameter Value"));
  edit_ = new QLineEdit(shown.IsMultiple() ? QString() : Q(shown.GetValue()), this);
  if (shown.IsMultiple()) edit_->setPlaceholderText(MultipleText());
  edit_->setValidator(new QRegularExpressionValidator(QRegularExpression(R"(-?\d{1,9})"), edit_));
  auto *label = new QLabel(QStringLiteral("&Parameter Value:"), this);
  label->setBuddy(edit_);
  buttons_ = OkCancel(this);
  auto *layout = new QVBoxLayout(this);
  layout->addWidget(ParameterLabel(shown, this));
  layout->addSpacing(6);
  layout->addWidget(label);
  layout->addWidget(edit_);
  layout->addSpacing(6);
  layout->addWidget(buttons_);
  setMinimumWidth(340);
  auto update = [this] { buttons_->button(QDialogButtonBox::Ok)->setEnabled(edit_->hasAcceptableInput()); };
  connect(edit_, &QLineEdit::textChanged, this, update);
  update();
}

QString CParameterValueDlg::Value() const { return edit_->text().trimmed(); }

void CParameterValueDlg::Apply(CRuleParameterValue &value) const { value.SetValue(Value().toStdString()); }

/* ---- patterns -------------------------------------------------------- */

CPatternValueDlg::CPatternValueDlg(QWidget *parent, const CRulePatternValue &shown) : QDialog(parent) {
  setWindowTitle(tr("Pattern"));
  elements_ = new QRadioButton(QStringLiteral("&Pattern elements:"), this);
  full_ = new QRadioButton(QStringLiteral("&Full pattern:"), this);
  begin_ = new QRadioButton(QStringLiteral("Be&gin with string"), this);
  notBegin_ = new QRadioButton(QStringLiteral("&Do not begin with character"), this);
  end_ = new QRadioButton(QStringLiteral("&End with string"), this);
  notEnd_ = new QRadioButton(QStringLiteral("Do not end &with character"), this);
  auto *contains = new QLabel(QStringLiteral("C&ontain string"), this);
  beginEdit_ = new QLineEdit(this);
  containsEdit_ = new QLineEdit(this);
  endEdit_ = new QLineEdit(this);
  fullEdit_ = new QLineEdit(this);
  contains->setBuddy(containsEdit_);
  /* Three independent choices: the mode, the beginning, the end. */
  for (auto pair : {std::pair{elements_, full_}, std::pair{begin_, notBegin_}, std::pair{end_, notEnd_}}) {
    auto *group = new QButtonGroup(this);
    group->addButton(pair.first);
    group->addButton(pair.second);
  }
  preview_ = new QLabel(this);
  preview_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  preview_->setForegroundRole(QPalette::PlaceholderText);
  buttons_ = OkCancel(this);

  auto *grid = new QGridLayout;
  grid->setColumnMinimumWidth(0, 18);
  grid->addWidget(elements_, 0, 0, 1, 3);
  grid->addWidget(begin_, 1, 1);
  grid->addWidget(notBegin_, 2, 1);
  grid->addWidget(beginEdit_, 1, 2, 2, 1, Qt::AlignVCenter);
  grid->addWidget(contains, 3, 1);
  grid->addWidget(containsEdit_, 3, 2);
  grid->addWidget(end_, 4, 1);
  grid->addWidget(notEnd_, 5, 1);
  grid->addWidget(endEdit_, 4, 2, 2, 1, Qt::AlignVCenter);
  grid->setRowMinimumHeight(6, 8);
  grid->addWidget(full_, 7, 0, 1, 3);
  grid->addWidget(fullEdit_, 8, 1, 1, 2);
  grid->setColumnStretch(2, 1);
  auto *layout = new QVBoxLayout(this);
  layout->addWidget(ParameterLabel(shown, this));
  layout->addSpacing(6);
  layout->addLayout(grid);
  layout->addSpacing(6);
  layout->addWidget(preview_);
  layout->addWidget(buttons_);
  setMinimumWidth(460);

  /* What the rules share: their parts, or their whole expression. */
  bool parts = shown.GetUseParts() && !shown.IsMultiple() && !shown.PartsMultiple();
  (parts ? elements_ : full_)->setChecked(true);
  const CRulePatternValue::Part &b = shown.GetBeginPart(), &e = shown.GetEndPart();
  (parts && b.negated ? notBegin_ : begin_)->setChecked(true);
  (parts && e.negated ? notEnd_ : end_)->setChecked(true);
  if (parts) {
    beginEdit_->setText(Q(b.text));
    containsEdit_->setText(Q(shown.GetContainsPart().text));
    endEdit_->setText(Q(e.text));
  }
  fullEdit_->setText(shown.IsMultiple() ? QString() : Q(shown.GetValue()));
  if (shown.IsMultiple()) fullEdit_->setPlaceholderText(MultipleText());

  for (QRadioButton *r : {elements_, full_, begin_, notBegin_, end_, notEnd_})
    connect(r, &QRadioButton::toggled, this, &CPatternValueDlg::UpdateControls);
  for (QLineEdit *l : {beginEdit_, containsEdit_, endEdit_, fullEdit_})
    connect(l, &QLineEdit::textChanged, this, &CPatternValueDlg::UpdateControls);
  UpdateControls();
}

void CPatternValueDlg::UpdateControls() {
  bool parts = elements_->isChecked();
  for (QWidget *w : {static_cast<QWidget *>(begin_), static_cast<QWidget *>(notBegin_),
                     static_cast<QWidget *>(end_), static_cast<QWidget *>(notEnd_),
                     static_cast<QWidget *>(beginEdit_), static_cast<QWidget *>(containsEdit_),
                     static_cast<QWidget *>(endEdit_)})
    w->setEnabled(parts);
  fullEdit_->setEnabled(!parts);
  /* "Do not ..." stands for one character. */
  beginEdit_->setMaxLength(notBegin_->isChecked() ? 1 : 32767);
  endEdit_->setMaxLength(notEnd_->isChecked() ? 1 : 32767);
  preview_->setText(tr("Regular expression: %1").arg(Pattern()));
}

void CPatternValueDlg::Apply(CRulePatternValue &value) const {
  value.SetUseParts(false);
  value.ClearParts();
  /* Plain parts first, so that a part negated before keeps its text. */
  value.SetBeginPart(std::string(), false);
  value.SetEndPart(std::string(), false);
  if (!elements_->isChecked()) {
    value.SetValue(fullEdit_->text().toStdString());
    return;
  }
  value.SetBeginPart(beginEdit_->text().toStdString(), notBegin_->isChecked());
  value.SetContainsPart(containsEdit_->text().toStdString());
  value.SetEndPart(endEdit_->text().toStdString(), notEnd_->isChecked());
  value.SetUseParts(true);
}

QString CPatternValueDlg::Pattern() const {
  CRuleParameter scratch(CRuleParameter::ePattern, "pattern", std::string(), std::string());
  CRulePatternValue value(&scratch);
  Apply(value);
  return Q(value.GetValue());
}
