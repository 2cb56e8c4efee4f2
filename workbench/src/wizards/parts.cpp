/*
 * parts.cpp - the controls of the assistants' pages.
 */
#include "parts.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QVBoxLayout>
#include <functional>

#include "prompter.h"
#include "tessary_profile.h"
#include "wendrel_lists.h"

/* ---- lists and their syntax ---------------------------------------- */

static QString Q(const std::string &s) { return QString::fromStdString(s); }

QString ListText(const CCommaList &list) {
  QStringList items;
  for (const std::string &i : list.GetItems()) items << Q(i);
  return items.join(", ");
}

/* Split as the list itself splits (a comma inside parentheses or quotes
 * belongs to its item). */
CCommaList ListFrom(const QString &text) {
  CCommaList typed(text.toStdString()), list;
  for (const std::string &item : typed.GetItems()) list.Add(item);
  return list;
}

static QString FirstNotMatching(const CCommaList &list, const QRegularExpression &form) {
  for (const std::string &i : list.GetItems())
    if (!form.match(Q(i)).hasMatch()) return Q(i);
  return QString();
}

QString InvalidPreprocessorItem(const CPreprocessor &p) {
  static const QRegularExpression define(R"(^[A-Za-z_]\w*(\([\w\s.,]*\))?(=.*)?$)");
  static const QRegularExpression assertion(R"(^[A-Za-z_]\w*(\(.*\))?$)");
  QString bad = FirstNotMatching(p.GetDefines(), define);
  if (!bad.isEmpty())
    return QObject::tr("'%1' is not a macro definition: write NAME, NAME=value or NAME(parameters)=value.")
        .arg(bad);
  bad = FirstNotMatching(p.GetAssertions(), assertion);
  if (!bad.isEmpty())
    return QObject::tr("'%1' is not an assertion: write NAME or NAME(answer).").arg(bad);
  return QString();
}

QString InvalidMacroName(const CAnalyzer &a) {
  static const QRegularExpression name(R"(^[A-Za-z_]\w*$)");
  QString bad = FirstNotMatching(a.GetMacroNames(), name);
  return bad.isEmpty() ? QString() : QObject::tr("'%1' is not a macro name.").arg(bad);
}

/* ---- shared values --------------------------------------------------- */

/* Shows the value the targets agree on, or nothing with "<Multiple
 * Selection>" in grey when they differ. */
template <typename T>
static void ShowShared(QLineEdit *edit, const std::vector<T *> &targets,
                       const std::function<QString(const T *)> &text) {
  QString first = targets.empty() ? QString() : text(targets.front());
  bool same = true;
  for (const T *t : targets) same = same && text(t) == first;
  edit->setText(same ? first : QString());
  edit->setPlaceholderText(same ? QString() : QString::fromUtf8(GetMessageText(34134)));
  edit->setEnabled(!targets.empty());
}

static QLabel *BuddyLabel(const QString &text, QWidget *buddy, QWidget *parent) {
  auto *label = new QLabel(text, parent);
  label->setBuddy(buddy);
  return label;
}

/* ---- file name --------------------------------------------------------- */

CPathEdit::CPathEdit(CPrompter &prompter, EMode mode, const QString &caption, const QString &filter,
                     QWidget *parent)
    : QWidget(parent), prompter_(prompter) {
  edit_ = new QLineEdit(this);
  edit_->setMinimumWidth(edit_->fontMetrics().horizontalAdvance(QString(44, 'x')));
  browse_ = new QPushButton(QStringLiteral("..."), this);
  browse_->setToolTip(caption);
  browse_->setAutoDefault(false);
  browse_->setMaximumWidth(browse_->fontMetrics().horizontalAdvance("....") + 24);
  setFocusProxy(edit_);
  connect(edit_, &QLineEdit::textEdited, this, &CPathEdit::edited);
  connect(browse_, &QPushButton::clicked, this, [this, mode, caption, filter] {
    QFileInfo current(Text());
    QString dir = Text().isEmpty() ? QString() : current.isDir() ? current.filePath() : current.path();
    QString chosen = mode == OpenFile ? prompter_.ChooseOpenFile(this, caption, dir, filter)
                                      : prompter_.ChooseSaveFile(this, caption, dir, filter);
    if (chosen.isEmpty()) return;
    edit_->setText(chosen);
    emit edited();
  });
  auto *row = new QHBoxLayout(this);
  row->setContentsMargins(0, 0, 0, 0);
  row->addWidget(edit_, 1);
  row->addWidget(browse_);
}

QString CPathEdit::Text() const { return edit_->text().trimmed(); }

void CPathEdit::SetText(const QString &text) { edit_->setText(text); }

/* ---- preprocessor ------------------------------------------------------ */

using PreprocessorList = const CCommaList &(CPreprocessor::*)() const;
using PreprocessorSetter = void (CPreprocessor::*)(const CCommaList &);
static const PreprocessorList kGet[3] = {&CPreprocessor::GetDefines, &CPreprocessor::GetIncludes,
                                         &CPreprocessor::GetAssertions};
static const PreprocessorSetter kSet[3] = {&CPreprocessor::SetDefines, &CPreprocessor::SetIncludes,
                                           &CPreprocessor::SetAssertions};

CPreprocessorEdits::CPreprocessorEdits(const QStringList &labels, QWidget *parent) : QWidget(parent) {
  auto *layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  for (int i = 0; i < 3; ++i) {
    edits_[i] = new QLineEdit(this);
    layout->addWidget(BuddyLabel(labels.value(i), edits_[i], this));
    layout->addWidget(edits_[i]);
    if (i < 2) layout->addSpacing(4);
    connect(edits_[i], &QLineEdit::textEdited, this, [this, i](const QString &text) {
      CCommaList list = ListFrom(text);
      for (CPreprocessor *t : targets_) (t->*kSet[i])(list);
    });
  }
  edits_[0]->setToolTip(tr("Separated by commas: NAME, NAME=value, NAME(parameters)=value"));
  edits_[1]->setToolTip(tr("Separated by commas"));
  edits_[2]->setToolTip(tr("Separated by commas: NAME or NAME(answer)"));
}

void CPreprocessorEdits::SetTargets(const std::vector<CPreprocessor *> &targets) {
  targets_ = targets;
  for (int i = 0; i < 3; ++i) {
    std::function<QString(const CPreprocessor *)> text = [i](const CPreprocessor *p) {
      return ListText((p->*kGet[i])());
    };
    ShowShared(edits_[i], targets_, text);
  }
}

/* ---- analyzer ---------------------------------------------------------- */

CAnalyzerEdits::CAnalyzerEdits(const QString &expandLabel, const QString &macrosLabel, QWidget *parent)
    : QWidget(parent) {
  expand_ = new QCheckBox(expandLabel, this);
  macros_ = new QLineEdit(this);
  macros_->setToolTip(tr("Macro names separated by commas"));
  auto *layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(expand_);
  layout->addSpacing(6);
  layout->addWidget(BuddyLabel(macrosLabel, macros_, this));
  layout->addWidget(macros_);
  /* A box shown half-ticked (the targets disagree) becomes a plain one
   * once the user decides. */
  connect(expand_, &QCheckBox::clicked, this, [this] {
    if (expand_->checkState() == Qt::PartiallyChecked) expand_->setCheckState(Qt::Checked);
    expand_->setTristate(false);
    for (CAnalyzer *t : targets_) t->SetExpandMacro(expand_->isChecked());
  });
  connect(macros_, &QLineEdit::textEdited, this, [this](const QString &text) {
    CCommaList list = ListFrom(text);
    for (CAnalyzer *t : targets_) t->SetMacroNames(list);
  });
}

void CAnalyzerEdits::SetTargets(const std::vector<CAnalyzer *> &targets) {
  targets_ = targets;
  int on = 0;
  for (const CAnalyzer *t : targets_) on += t->IsExpandMacro();
  bool mixed = on != 0 && on != int(targets_.size());
  expand_->setTristate(mixed);
  expand_->setCheckState(mixed ? Qt::PartiallyChecked : on ? Qt::Checked : Qt::Unchecked);
  expand_->setEnabled(!targets_.empty());
  std::function<QString(const CAnalyzer *)> text = [](const CAnalyzer *a) {
    return ListText(a->GetMacroNames());
  };
  ShowShared(macros_, targets_, text);
}

/* ---- ignore clauses ---------------------------------------------------- */

CClauseEditor::CClauseEditor(CPrompter &prompter, const QStringList &labels, QWidget *parent)
    : QWidget(parent), prompter_(prompter) {
  head_ = new QLineEdit(this);
  tail_ = new QLineEdit(this);
  add_ = new QPushButton(labels.value(2), this);
  remove_ = new QPushButton(labels.value(3), this);
  add_->setAutoDefault(false);
  remove_->setAutoDefault(false);
  list_ = new CListCtrlEx(this);
  list_->AddColumn(QStringLiteral("Clause Head"), -1, Qt::AlignLeft, QString(18, 'x'));
  list_->AddColumn(QStringLiteral("Clause Tail"));
  list_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
  list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  list_->setMinimumHeight(list_->fontMetrics().height() * 6);

  auto *grid = new QGridLayout(this);
  grid->setContentsMargins(0, 0, 0, 0);
  grid->addWidget(BuddyLabel(labels.value(0), head_, this), 0, 0);
  grid->addWidget(head_, 0, 1);
  grid->addWidget(add_, 0, 2);
  grid->addWidget(BuddyLabel(labels.value(1), tail_, this), 1, 0);
  grid->addWidget(tail_, 1, 1);
  grid->addWidget(remove_, 1, 2);
  grid->addWidget(list_, 2, 0, 1, 3);
  grid->setColumnStretch(1, 1);
  grid->setRowStretch(2, 1);

  connect(head_, &QLineEdit::textChanged, this, &CClauseEditor::UpdateButtons);
  connect(list_, &QTableWidget::itemSelectionChanged, this, &CClauseEditor::UpdateButtons);
  connect(add_, &QPushButton::clicked, this, &CClauseEditor::AddClause);
  connect(remove_, &QPushButton::clicked, this, &CClauseEditor::RemoveSelected);
  UpdateButtons();
}

void CClauseEditor::SetTargets(const std::vector<CIgnoreCode *> &targets) {
  targets_ = targets;
  for (QWidget *w : {static_cast<QWidget *>(head_), static_cast<QWidget *>(tail_),
                     static_cast<QWidget *>(list_)})
    w->setEnabled(!targets_.empty());
  Refresh();
}

void CClauseEditor::Refresh() {
  list_->DeleteAll();
  if (!targets_.empty()) {
    for (const CIgnoreClause &c : targets_.front()->GetClauses()) {
      bool common = true;
      for (const CIgnoreCode *t : targets_) common = common && t->HasClause(c.GetHead(), c.GetTail());
      if (!common) continue;
      int row = list_->AddItem(list_->rowCount(), 0, Q(c.GetHead()));
      list_->AddItem(row, 1, Q(c.GetTail()));
    }
  }
  UpdateButtons();
}

void CClauseEditor::UpdateButtons() {
  add_->setEnabled(!targets_.empty() && !head_->text().trimmed().isEmpty());
  remove_->setEnabled(!targets_.empty() && list_->GetSelection() >= 0);
}

bool CClauseEditor::AddClause() {
  QString head = head_->text().trimmed(), tail = tail_->text().trimmed();
  if (targets_.empty() || head.isEmpty()) return false;
  /* The clause file holds "head --> tail" on one line. */
  if (head.contains("-->")) {
    prompter_.Inform(this, tr("The beginning of a clause cannot contain \"-->\"."), CPrompter::Warning);
    return false;
  }
  for (CIgnoreCode *t : targets_) t->AddClause(head.toStdString(), tail.toStdString());
  Refresh();
  for (int r = 0; r < list_->rowCount(); ++r)
    if (list_->item(r, 0)->text() == head && list_->item(r, 1)->text() == tail) list_->selectRow(r);
  head_->clear();
  tail_->clear();
  head_->setFocus();
  return true;
}

void CClauseEditor::RemoveSelected() {
  std::vector<std::pair<std::string, std::string>> chosen;
  for (int r = list_->GetSelection(); r >= 0; r = list_->GetSelection(r))
    chosen.emplace_back(list_->item(r, 0)->text().toStdString(), list_->item(r, 1)->text().toStdString());
  for (CIgnoreCode *t : targets_)
    for (const auto &[head, tail] : chosen) t->RemoveClause(head, tail);
  Refresh();
}
