/*
 * files_dialog.cpp - the Files not referenced dialog: the application's
 * files that the build did not compile, split between those to keep and
 * those to remove.
 */
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "dialogs.h"
#include "wendrel_lists.h"
#include "wendrel_ui.h"

namespace {

const char *const kHelp =
    "These files belong to the application, but the build did not compile them.\n\n"
    "Files in the left list stay in the application; files in the right list are removed from "
    "it when you click OK. Select files and move them with --> and <--, or move all of them "
    "with Keep All and Remove All. Closing the dialog without OK removes nothing.";

CListCtrlEx *FileList(QWidget *parent) {
  auto *list = new CListCtrlEx(parent);
  list->setSelectionMode(QAbstractItemView::ExtendedSelection);
  list->AddColumn(QStringLiteral("File Path"));
  list->setColumnWidth(0, 500);
  list->horizontalHeader()->setStretchLastSection(true);
  list->setMinimumWidth(320);
  return list;
}

QPushButton *MoveButton(const QString &text, QWidget *parent) {
  auto *b = new QPushButton(text, parent);
  b->setAutoDefault(false);
  return b;
}

}  // namespace

CFilesNotReferencedDialog::CFilesNotReferencedDialog(QWidget *parent, const std::vector<CPathName> &keep,
                                                     const std::vector<CPathName> &remove)
    : QDialog(parent) {
  setWindowTitle(QStringLiteral("Files not referenced in application makefile "));
  auto *description = new QLabel(
      QStringLiteral("The files listed below are not mentioned in the makefile file. Indicate those you "
                     "want to keep in the application."),
      this);
  description->setWordWrap(true);
  SetDecriptionOfDialog(this, {description});

  keepList_ = FileList(this);
  removeList_ = FileList(this);
  auto *keepLabel = new QLabel(QStringLiteral("&Keep in application"), this);
  keepLabel->setBuddy(keepList_);
  auto *removeLabel = new QLabel(QStringLiteral("&Remove from application"), this);
  removeLabel->setBuddy(removeList_);
  Fill(keepList_, keep);
  Fill(removeList_, remove);

  toRemove_ = MoveButton(QStringLiteral("-->"), this);
  toKeep_ = MoveButton(QStringLiteral("<--"), this);
  keepAll_ = MoveButton(QStringLiteral("Keep &All"), this);
  removeAll_ = MoveButton(QStringLiteral("Re&move All"), this);
  connect(toRemove_, &QPushButton::clicked, this, [this] { Move(keepList_, removeList_, false); });
  connect(toKeep_, &QPushButton::clicked, this, [this] { Move(removeList_, keepList_, false); });
  connect(removeAll_, &QPushButton::clicked, this, [this] { Move(keepList_, removeList_, true); });
  connect(keepAll_, &QPushButton::clicked, this, [this] { Move(removeList_, keepList_, true); });
  for (CListCtrlEx *l : {keepList_, removeList_})
    connect(l, &QTableWidget::itemSelectionChanged, this, &CFilesNotReferencedDialog::UpdateButtons);

  auto *moves = new QVBoxLayout;
  moves->addStretch(1);
  for (QPushButton *b : {toRemove_, toKeep_}) moves->addWidget(b);
  moves->addSpacing(16);
  for (QPushButton *b : {keepAll_, removeAll_}) moves->addWidget(b);
  moves->addStretch(1);

  auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Help, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  ConnectHelp(buttons, QString::fromUtf8(kHelp));

  auto *grid = new QGridLayout(this);
  grid->addWidget(description, 0, 0, 1, 3);
  grid->addWidget(keepLabel, 1, 0);
  grid->addWidget(removeLabel, 1, 2);
  grid->addWidget(keepList_, 2, 0);
  grid->addLayout(moves, 2, 1);
  grid->addWidget(removeList_, 2, 2);
  grid->addWidget(buttons, 3, 0, 1, 3);
  grid->setColumnStretch(0, 1);
  grid->setColumnStretch(2, 1);
  grid->setRowStretch(2, 1);
  UpdateButtons();
}

void CFilesNotReferencedDialog::Fill(CListCtrlEx *list, const std::vector<CPathName> &paths) {
  for (const CPathName &p : paths) {
    int row = list->AddItem(list->rowCount(), 0, QString::fromStdString(p.Str()));
    list->item(row, 0)->setToolTip(QString::fromStdString(p.Str()));
  }
}

std::vector<CPathName> CFilesNotReferencedDialog::Paths(const CListCtrlEx *list) {
  std::vector<CPathName> out;
  for (int row = 0; row < list->rowCount(); ++row) out.emplace_back(list->item(row, 0)->text().toStdString());
  return out;
}

void CFilesNotReferencedDialog::Move(CListCtrlEx *from, CListCtrlEx *to, bool all) {
  std::vector<CPathName> moved, stay;
  for (int row = 0; row < from->rowCount(); ++row) {
    CPathName p(from->item(row, 0)->text().toStdString());
    (all || from->item(row, 0)->isSelected() ? moved : stay).push_back(p);
  }
  if (moved.empty()) return;
  from->DeleteAll();
  Fill(from, stay);
  to->clearSelection();
  int first = to->rowCount();
  Fill(to, moved);
  for (int row = first; row < to->rowCount(); ++row) to->SetSelection(row, true);
  UpdateButtons();
}

void CFilesNotReferencedDialog::UpdateButtons() {
  toRemove_->setEnabled(keepList_->GetSelection() >= 0);
  toKeep_->setEnabled(removeList_->GetSelection() >= 0);
  removeAll_->setEnabled(keepList_->rowCount() > 0);
  keepAll_->setEnabled(removeList_->rowCount() > 0);
}
