/*
 * psruleset.cpp - the rule-set assistant and its three pages.
 */
#include "psruleset.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include "paramdlg.h"
#include "prompter.h"
#include "savepage.h"
#include "tessary_env.h"
#include "wendrel_lists.h"

namespace {

QString Q(const std::string &s) { return QString::fromStdString(s); }


class CPPRuleSetStart : public CAssistantPage {
  Q_OBJECT
 public:
  CPPRuleSetStart()
      : CAssistantPage(QStringLiteral("New rule set..."),
                       QStringLiteral("This Wizard will help you choose the rules to be verified and set "
                                      "various parameters.\nClick on the Next button to continue.")) {
    Body()->addStretch(1);
  }
};

/* The values of one parameter in several rules, combined: their common
 * value, or one marked multiple.  Null when a rule lacks the parameter. */
std::unique_ptr<CRuleParameterValue> Combined(const std::vector<CRuleEntry *> &entries, const std::string &name) {
  std::unique_ptr<CRuleParameterValue> combined;
  for (const CRuleEntry *e : entries) {
    const CRuleParameterValue *v = e->GetParameterValue(name);
    if (!v) return nullptr;
    if (!combined) combined = v->Clone();
    else combined->Intersect(*v);
  }
  return combined;
}

/* The parameters every one of entries declares, with the same type. */
std::vector<const CRuleParameter *> SharedParameters(const std::vector<CRuleEntry *> &entries) {
  std::vector<const CRuleParameter *> shared;
  if (entries.empty()) return shared;
  for (const auto &v : entries.front()->GetRuleParameterValues()) {
    const CRuleParameter *p = v->GetParameter();
    bool everywhere = true;
    for (const CRuleEntry *e : entries) {
      const CRuleParameterValue *other = e->GetParameterValue(p->GetName());
      everywhere = everywhere && other && other->GetParameter()->GetType() == p->GetType();
    }
    if (everywhere) shared.push_back(p);
  }
  return shared;
}

}  // namespace

/* ---- rules ------------------------------------------------------------- */

CPPRuleSetRules::CPPRuleSetRules()
    : CAssistantPage(QStringLiteral("Rules"),
                     QStringLiteral("Choose the rules to be verified and specify their parameters. Click "
                                    "on Help for further information.")) {
  setProperty("helpText",
              tr("Tick the rules the rule set checks: the space bar ticks the rule at the cursor, the Check "
                 "button the selected rules (or clears them when they are all ticked).\n\n"
                 "A rule may have parameters: choose one in the Rule parameter list and click Edit Value "
                 "to set it. With several rules selected, the list shows the parameters they share; a "
                 "value that differs between them shows as <Multiple Selection>, and a value you set "
                 "goes to every selected rule.\n\n"
                 "A pattern is a regular expression that names must match: write it whole, or say what "
                 "names begin with, contain and end with."));
  rules_ = new CListCtrlEx(this);
  rules_->AddColumn(QStringLiteral("Rule Name"));
  rules_->horizontalHeader()->setStretchLastSection(true);
  rules_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  rules_->setMinimumWidth(rules_->fontMetrics().horizontalAdvance(QString(34, 'x')));
  check_ = new QPushButton(QStringLiteral("&Check"), this);
  check_->setAutoDefault(false);
  params_ = new QComboBox(this);
  params_->setMinimumContentsLength(24);
  params_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  value_ = new QLineEdit(this);
  value_->setReadOnly(true);
  edit_ = new QPushButton(tr("Edit &Value..."), this);
  edit_->setAutoDefault(false);
  description_ = new QPlainTextEdit(this);
  description_->setReadOnly(true);
  description_->setTabChangesFocus(true);

  auto *paramLabel = new QLabel(QStringLiteral("&Rule parameter:"), this);
  paramLabel->setBuddy(params_);
  auto *descriptionLabel = new QLabel(QStringLiteral("R&ule Description:"), this);
  descriptionLabel->setBuddy(description_);
  auto *valueRow = new QHBoxLayout;
  valueRow->addWidget(value_, 1);
  valueRow->addWidget(edit_);
  auto *side = new QVBoxLayout;
  side->addWidget(paramLabel);
  side->addWidget(params_);
  side->addLayout(valueRow);
  side->addSpacing(8);
  side->addWidget(descriptionLabel);
  side->addWidget(description_, 1);
  auto *left = new QVBoxLayout;
  left->addWidget(rules_, 1);
  auto *checkRow = new QHBoxLayout;
  checkRow->addWidget(check_);
  checkRow->addStretch(1);
  left->addLayout(checkRow);
  auto *row = new QHBoxLayout;
  row->addLayout(left, 1);
  row->addSpacing(8);
  row->addLayout(side, 1);
  Body()->addLayout(row, 1);

  connect(rules_, &QTableWidget::itemSelectionChanged, this, &CPPRuleSetRules::SelectionChanged);
  connect(rules_, &QTableWidget::itemChanged, this, [](QTableWidgetItem *item) {
    auto *entry = static_cast<CRuleEntry *>(item->data(Qt::UserRole).value<void *>());
    if (entry) entry->SetCheck(item->checkState() == Qt::Checked);
  });
  connect(check_, &QPushButton::clicked, this, &CPPRuleSetRules::ToggleChecks);
  connect(params_, &QComboBox::currentIndexChanged, this, &CPPRuleSetRules::ShowValue);
  connect(edit_, &QPushButton::clicked, this, &CPPRuleSetRules::EditValue);
}

CRuleSet &CPPRuleSetRules::Set() const { return SheetAs<CPSRuleSet>()->RuleSet(); }

/* The whole catalogue, in its order, each rule with its entry. */
void CPPRuleSetRules::initializePage() {
  CRuleSet &set = Set();
  set.FillAllRules();
  QSignalBlocker block(rules_);
  rules_->DeleteAll();
  for (const auto &rule : SheetAs<CPSRuleSet>()->Environment().GetAllRules().GetRules()) {
    CRuleEntry *entry = set.FindRuleEntry(rule.get());
    if (!entry) continue;
    int row = rules_->AddItem(rules_->rowCount(), 0, Q(rule->GetDisplayName()));
    QTableWidgetItem *item = rules_->item(row, 0);
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(entry->IsCheck() ? Qt::Checked : Qt::Unchecked);
    item->setData(Qt::UserRole, QVariant::fromValue<void *>(entry));
    item->setToolTip(Q(rule->GetFullPath().Str()));
  }
  if (rules_->rowCount() > 0) {
    rules_->setCurrentCell(0, 0);
    rules_->selectRow(0);
  }
  block.unblock();
  SelectionChanged();
}

bool CPPRuleSetRules::validatePage() {
  return Set().GetCheckedRulesCount() > 0 || Refuse(QStringLiteral("Please specify at least one rule."));
}

std::vector<CRuleEntry *> CPPRuleSetRules::Selected() const {
  std::vector<CRuleEntry *> entries;
  for (int r = rules_->GetSelection(); r >= 0; r = rules_->GetSelection(r))
    entries.push_back(static_cast<CRuleEntry *>(rules_->item(r, 0)->data(Qt::UserRole).value<void *>()));
  return entries;
}

void CPPRuleSetRules::ToggleChecks() {
  bool allChecked = true;
  for (int r = rules_->GetSelection(); r >= 0; r = rules_->GetSelection(r))
    allChecked = allChecked && rules_->item(r, 0)->checkState() == Qt::Checked;
  for (int r = rules_->GetSelection(); r >= 0; r = rules_->GetSelection(r))
    rules_->item(r, 0)->setCheckState(allChecked ? Qt::Unchecked : Qt::Checked);
}

void CPPRuleSetRules::SelectionChanged() {
  std::vector<CRuleEntry *> entries = Selected();
  QString previous = params_->currentData().toString();
  {
    QSignalBlocker block(params_);
    params_->clear();
    for (const CRuleParameter *p : SharedParameters(entries))
      params_->addItem(Q(p->GetLabel().empty() ? p->GetName() : p->GetLabel()), Q(p->GetName()));
    int keep = params_->findData(previous);
    params_->setCurrentIndex(keep >= 0 ? keep : 0);
  }
  int current = rules_->currentRow();
  const CRuleEntry *shown = current >= 0 && rules_->item(current, 0)->isSelected()
                                ? static_cast<CRuleEntry *>(rules_->item(current, 0)->data(Qt::UserRole).value<void *>())
                                : entries.empty() ? nullptr : entries.front();
  description_->setPlainText(shown ? Q(shown->GetRule()->GetTitleDescription()) : QString());
  check_->setEnabled(!entries.empty());
  ShowValue();
}

void CPPRuleSetRules::ShowValue() {
  std::unique_ptr<CRuleParameterValue> combined = Combined(Selected(), params_->currentData().toString().toStdString());
  value_->setText(combined ? Q(combined->GetDisplayValue()) : QString());
  value_->setToolTip(params_->currentData().toString());
  params_->setEnabled(params_->count() > 0);
  edit_->setEnabled(combined != nullptr);
}

bool CPPRuleSetRules::EditValue() {
  std::vector<CRuleEntry *> entries = Selected();
  std::string name = params_->currentData().toString().toStdString();
  std::unique_ptr<CRuleParameterValue> combined = Combined(entries, name);
  if (!combined) return false;
  /* Each rule's value is made anew from its own parameter (defaults may
   * differ between rules) and takes the choice through Update. */
  std::function<void(CRuleParameterValue &)> fill;
  std::unique_ptr<QDialog> dialog;
  if (auto *pattern = dynamic_cast<CRulePatternValue *>(combined.get())) {
    auto *d = new CPatternValueDlg(this, *pattern);
    fill = [d](CRuleParameterValue &v) { d->Apply(static_cast<CRulePatternValue &>(v)); };
    dialog.reset(d);
  } else {
    auto *d = new CParameterValueDlg(this, *combined);
    fill = [d](CRuleParameterValue &v) { d->Apply(v); };
    dialog.reset(d);
  }
  if (RunModal(Sheet()->Runner(), *dialog) != QDialog::Accepted) return false;
  for (CRuleEntry *e : entries) {
    CRuleParameterValue *value = e->GetParameterValue(name);
    std::unique_ptr<CRuleParameterValue> chosen = value->GetParameter()->CreateValue();
    fill(*chosen);
    value->Update(*chosen);
    e->SetModifiedState(true);
  }
  ShowValue();
  return true;
}

/* ---- the sheet --------------------------------------------------------- */

CPSRuleSet::CPSRuleSet(QWidget *parent, CPrompter &prompter, const CRunModal &run, CRuleSet &ruleSet,
                       CEnvironment &env, EMode mode)
    : CAssistantSheet(parent, prompter, run, EAssistantPicture::RuleSet,
                      mode == Create ? tr("New Rule Set") : tr("Modify Rule Set")),
      ruleSet_(ruleSet), env_(env), mode_(mode) {
  setPage(StartPage, new CPPRuleSetStart);
  setPage(RulesPage, new CPPRuleSetRules);
  setPage(SavePage, new CSavePage(prompter, QStringLiteral("Save rule set"),
                                  QStringLiteral("Give a name to the new rule set and specify the name of the "
                                                 "file in which you want to save it."),
                                  {QStringLiteral("&Rule set name:"),
                                   QStringLiteral("Please specify a Rule Set name !"), 34117,
                                   QString::fromLatin1(kRuleSetFilter)}));
  setStartId(StartPage);
  setMinimumSize(860, 600);
  SetPictureHeight(520);
}

CSavePage *CPSRuleSet::Save() const { return static_cast<CSavePage *>(page(SavePage)); }

#include "psruleset.moc"
