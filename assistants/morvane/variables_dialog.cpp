/*
 * variables_dialog.cpp - the Variables dialog: which of the makefile's
 * variables name the compiler (redirected with /cc=), which name make
 * (/mk=), and which are left alone.
 */
#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QRadioButton>
#include <QScrollBar>
#include <QVBoxLayout>

#include "dialogs.h"
#include "makefile_vars.h"
#include "wendrel_lists.h"
#include "wendrel_ui.h"

namespace {

const char *const kHelp =
    "Compilation (C): the variable names the C compiler; during the build every call of it "
    "goes through the capture program, which records the compiled file with its options.\n\n"
    "Make (M): the variable names make; nested makes are run with the same redirections.\n\n"
    "Other: the variable is left as the makefile sets it.\n\n"
    "Select one or more variables, then choose their purpose.";

enum EColumn { KindColumn, NameColumn, ValueColumn };

}  // namespace

QString CVariablesDialog::KindMark(int kind) {
  switch (kind) {
    case MakVar::eCompile: return QStringLiteral("C");
    case MakVar::eMake: return QStringLiteral("M");
    default: return QStringLiteral(" ");
  }
}

CVariablesDialog::CVariablesDialog(QWidget *parent, const std::vector<MakVar> &vars)
    : QDialog(parent), vars_(vars) {
  setWindowTitle(QStringLiteral("Variables"));
  auto *description = new QLabel(QStringLiteral("Specify the purpose of each makefile variable."), this);
  SetDecriptionOfDialog(this, {description});

  list_ = new CListCtrlEx(this);
  list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  list_->AddColumn(QStringLiteral("T"), -1, Qt::AlignHCenter, QStringLiteral("M"));
  list_->AddColumn(QStringLiteral("Variable"), -1, Qt::AlignLeft, QStringLiteral("VARIABLE_NAME"));
  list_->AddColumn(QStringLiteral("Value"), -1, Qt::AlignLeft, QString(40, QLatin1Char('x')));
  list_->horizontalHeader()->setStretchLastSection(true);
  for (size_t i = 0; i < vars_.size(); ++i) {
    int row = list_->AddItem(static_cast<int>(i), KindColumn, KindMark(vars_[i].kind));
    list_->AddItem(row, NameColumn, QString::fromStdString(vars_[i].name));
    list_->AddItem(row, ValueColumn, QString::fromStdString(vars_[i].value));
  }
  list_->setMinimumHeight(list_->verticalHeader()->defaultSectionSize() * 10);
  list_->setMinimumWidth(list_->horizontalHeader()->length() + list_->verticalScrollBar()->sizeHint().width() +
                         2 * list_->frameWidth());

  kinds_ = new QButtonGroup(this);
  auto *kindBox = new QVBoxLayout;
  const char *labels[] = {"&Compilation", "&Make", "&Other"};
  for (int kind = MakVar::eCompile; kind <= kOtherVariable; ++kind) {
    auto *b = new QRadioButton(QString::fromUtf8(labels[kind]), this);
    kinds_->addButton(b, kind);
    kindBox->addWidget(b);
  }
  kindBox->addStretch(1);
  connect(kinds_, &QButtonGroup::idClicked, this, &CVariablesDialog::SetSelectedKind);
  connect(list_, &QTableWidget::itemSelectionChanged, this, &CVariablesDialog::ShowSelectionKind);

  auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Help, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  ConnectHelp(buttons, QString::fromUtf8(kHelp));

  auto *grid = new QGridLayout(this);
  grid->addWidget(description, 0, 0, 1, 2);
  grid->addWidget(list_, 1, 0);
  grid->addLayout(kindBox, 1, 1);
  grid->addWidget(buttons, 2, 0, 1, 2);
  grid->setColumnStretch(0, 1);
  grid->setRowStretch(1, 1);
  if (!vars_.empty()) list_->selectRow(0);
  ShowSelectionKind();
}

QRadioButton *CVariablesDialog::KindButton(int kind) const {
  return qobject_cast<QRadioButton *>(kinds_->button(kind));
}

/* The buttons show the kind that every selected variable has; none when
 * they differ or nothing is selected. */
void CVariablesDialog::ShowSelectionKind() {
  int shared = -1;
  bool mixed = false, any = false;
  for (int row = list_->GetSelection(); row >= 0; row = list_->GetSelection(row)) {
    int kind = vars_[row].kind;
    if (any && kind != shared) mixed = true;
    shared = kind;
    any = true;
  }
  kinds_->setExclusive(false);
  for (QAbstractButton *b : kinds_->buttons()) {
    b->setChecked(any && !mixed && kinds_->id(b) == shared);
    b->setEnabled(any);
  }
  kinds_->setExclusive(true);
}

void CVariablesDialog::SetSelectedKind(int kind) {
  for (int row = list_->GetSelection(); row >= 0; row = list_->GetSelection(row)) {
    vars_[row].kind = kind;
    list_->item(row, KindColumn)->setText(KindMark(kind));
  }
  ShowSelectionKind();
}
