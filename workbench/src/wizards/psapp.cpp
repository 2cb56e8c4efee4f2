/*
 * psapp.cpp - the application assistant and its three pages.
 */
#include "psapp.h"

#include <QButtonGroup>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <algorithm>

#include "appcategories.h"
#include "parts.h"
#include "prompter.h"
#include "savepage.h"
#include "tessary_app.h"
#include "wendrel_lists.h"

namespace {

QString Q(const std::string &s) { return QString::fromStdString(s); }


const char kSourceFilter[] = "C Sources (*.c *.h);;All Files (*)";

class CPPAppStart : public CAssistantPage {
  Q_OBJECT
 public:
  CPPAppStart() : CAssistantPage(QStringLiteral("New application..."), QStringLiteral("Create new application")) {
    about_ = new QLabel(this);
    about_->setWordWrap(true);
    Body()->addWidget(about_);
    Body()->addStretch(1);
  }

  /* What the application is checked with, and what comes next. */
  void initializePage() override {
    CPSApp *sheet = SheetAs<CPSApp>();
    const CApplication &app = sheet->App();
    QString profile = app.GetAppProfile() ? Q(app.GetAppProfile()->GetName()) : tr("(none)");
    QString rules = app.GetAppRuleSet() ? Q(app.GetAppRuleSet()->GetName()) : tr("(none)");
    if (sheet->Mode() == CPSApp::Create)
      about_->setText(tr("The new application is checked with the current profile, \"%1\", and the current "
                         "rule set, \"%2\" (the tool bar's lists choose others).\n\nOn the next pages, add the "
                         "application's C source files and the settings they need beyond the profile's, then "
                         "choose the file in which the application is saved.")
                          .arg(profile, rules));
    else
      about_->setText(tr("The application %1 is checked with the profile \"%2\" and the rule set \"%3\".\n\n"
                         "On the next pages, change its source files and their settings, and the file in which "
                         "it is saved.")
                          .arg(Q(app.GetFullPath().GetFileName()), profile, rules));
  }

 private:
  QLabel *about_;
};

/* The application's companions and then each file's, with a name for
 * messages. */
template <typename F>
void ForEachLevel(CApplication &app, F f) {
  f(QObject::tr("Application"), app.GetPreprocessor(), app.GetAnalyzer(), nullptr);
  for (const auto &e : app.GetFileEntries())
    f(Q(e->GetFilePath().Str()), e->GetPreprocessor(), e->GetAnalyzer(), e.get());
}

}  // namespace

/* ---- the files and their settings -------------------------------------- */

CPPAppCategories::CPPAppCategories(CPrompter &prompter)
    : CAssistantPage(QStringLiteral("Application Files"),
                     QStringLiteral("Describe in more detail the files of the application you want C Sentrel "
                                    "to check.")) {
  setProperty("helpText",
              tr("Add the C source files of the application; untick a file to leave it out of the next "
                 "check.\n\nThe settings under Application options add to those of the profile: choose "
                 "Application to edit the application's own settings, or Files to edit those of the files "
                 "selected in the list. Reset empties the settings edited."));
  filesChoice_ = new QRadioButton(QStringLiteral("&Files"), this);
  appChoice_ = new QRadioButton(QStringLiteral("A&pplication"), this);
  auto *choice = new QButtonGroup(this);
  choice->addButton(filesChoice_);
  choice->addButton(appChoice_);
  add_ = new QPushButton(QStringLiteral("&Add File"), this);
  remove_ = new QPushButton(QStringLiteral("&Remove File"), this);
  reset_ = new QPushButton(QStringLiteral("R&eset"), this);
  for (QPushButton *b : {add_, remove_, reset_}) b->setAutoDefault(false);
  files_ = new CListCtrlEx(this);
  files_->AddColumn(tr("File Name"), -1, Qt::AlignLeft, QString(16, 'x'));
  files_->AddColumn(tr("Directory"));
  files_->horizontalHeader()->setStretchLastSection(true);
  files_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  files_->setMinimumHeight(files_->fontMetrics().height() * 7);
  categories_ = new CPSAppCategories(prompter, this);
  auto *group = new QGroupBox(tr("Application options"), this);
  auto *inGroup = new QVBoxLayout(group);
  inGroup->addWidget(categories_);

  auto *choices = new QHBoxLayout;
  choices->addWidget(filesChoice_);
  choices->addWidget(appChoice_);
  choices->addStretch(1);
  auto *buttons = new QVBoxLayout;
  buttons->addWidget(add_);
  buttons->addWidget(remove_);
  buttons->addWidget(reset_);
  buttons->addStretch(1);
  auto *list = new QHBoxLayout;
  list->addWidget(files_, 1);
  list->addLayout(buttons);
  Body()->addLayout(choices);
  Body()->addLayout(list, 1);
  Body()->addWidget(group, 1);
  setTabOrder(appChoice_, files_);
  setTabOrder(files_, add_);

  connect(filesChoice_, &QRadioButton::toggled, this, &CPPAppCategories::EditChosen);
  /* The list shows what is edited: no file for the application, at least
   * one for the files. */
  connect(appChoice_, &QRadioButton::clicked, files_, &QTableWidget::clearSelection);
  connect(filesChoice_, &QRadioButton::clicked, this, [this] {
    if (Selected().empty() && files_->rowCount() > 0) files_->SetSelection(0, true);
  });
  connect(files_, &QTableWidget::itemSelectionChanged, this, [this] {
    /* Choosing files means editing them. */
    if (!filling_ && !Selected().empty() && appChoice_->isChecked()) filesChoice_->setChecked(true);
    EditChosen();
  });
  connect(files_, &QTableWidget::itemChanged, this, [](QTableWidgetItem *item) {
    auto *entry = static_cast<CFileEntry *>(item->data(Qt::UserRole).value<void *>());
    if (entry) entry->SetCheck(item->checkState() == Qt::Checked);
  });
  connect(add_, &QPushButton::clicked, this, &CPPAppCategories::AddFiles);
  connect(remove_, &QPushButton::clicked, this, &CPPAppCategories::RemoveFiles);
  connect(reset_, &QPushButton::clicked, this, &CPPAppCategories::Reset);
}

CApplication &CPPAppCategories::App() const { return SheetAs<CPSApp>()->App(); }

void CPPAppCategories::initializePage() {
  appChoice_->setChecked(true);
  FillList();
}

void CPPAppCategories::FillList() {
  filling_ = true;
  {
    QSignalBlocker block(files_);
    files_->DeleteAll();
    for (const auto &e : App().GetFileEntries()) {
      const CPathName &path = e->GetFilePath();
      int row = files_->AddItem(files_->rowCount(), 0, Q(path.GetFileName()));
      files_->AddItem(row, 1, Q(path.GetDirectory().Str()));
      QTableWidgetItem *item = files_->item(row, 0);
      item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
      item->setCheckState(e->IsCheck() ? Qt::Checked : Qt::Unchecked);
      item->setData(Qt::UserRole, QVariant::fromValue<void *>(e.get()));
      item->setToolTip(Q(path.Str()));
    }
  }
  filling_ = false;
  EditChosen();
}

std::vector<CFileEntry *> CPPAppCategories::Selected() const {
  std::vector<CFileEntry *> entries;
  for (int r = files_->GetSelection(); r >= 0; r = files_->GetSelection(r))
    entries.push_back(static_cast<CFileEntry *>(files_->item(r, 0)->data(Qt::UserRole).value<void *>()));
  return entries;
}

void CPPAppCategories::EditChosen() {
  if (appChoice_->isChecked()) categories_->EditApplication(App());
  else categories_->EditFiles(Selected());
  bool any = !Selected().empty();
  remove_->setEnabled(any);
  reset_->setEnabled(appChoice_->isChecked() || any);
}

int CPPAppCategories::AddFiles() {
  QString dir = Q(App().GetFullPath().GetDirectory().Str());
  if (!App().GetFileEntries().empty()) dir = Q(App().GetFileEntries().back()->GetFilePath().GetDirectory().Str());
  QStringList chosen = Prompter().ChooseOpenFiles(wizard(), tr("Add File"), dir, kSourceFilter);
  std::vector<CFileEntry *> added;
  for (const QString &f : chosen) {
    CPathName path(QDir::cleanPath(QFileInfo(f).absoluteFilePath()).toStdString());
    if (App().FindFileEntry(path)) {
      Prompter().Inform(wizard(), QStringLiteral("File is already added."), CPrompter::Information);
      continue;
    }
    added.push_back(App().AddFileEntry(path));
  }
  FillList();
  for (int r = 0; r < files_->rowCount(); ++r) {
    void *entry = files_->item(r, 0)->data(Qt::UserRole).value<void *>();
    if (std::find(added.begin(), added.end(), entry) != added.end()) files_->SetSelection(r, true);
  }
  return int(added.size());
}

void CPPAppCategories::RemoveFiles() {
  for (CFileEntry *e : Selected()) App().DeleteFileEntry(e);
  FillList();
}

/* The settings edited go back to nothing of their own. */
void CPPAppCategories::Reset() {
  auto reset = [](auto *owner) {
    owner->GetPreprocessor()->Init();
    owner->GetAnalyzer()->Init();
    owner->GetIgnoreCode()->Init();
    owner->SetModifiedState(true);
  };
  if (appChoice_->isChecked()) reset(&App());
  else
    for (CFileEntry *e : Selected()) reset(e);
  categories_->Refresh();
}

bool CPPAppCategories::validatePage() {
  QString bad;
  CFileEntry *where = nullptr;
  ForEachLevel(App(), [&](const QString &level, CPreprocessor *pp, CAnalyzer *an, CFileEntry *entry) {
    if (!bad.isEmpty()) return;
    QString item = InvalidPreprocessorItem(*pp);
    if (item.isEmpty()) item = InvalidMacroName(*an);
    if (item.isEmpty()) return;
    bad = level + ": " + item;
    where = entry;
  });
  if (bad.isEmpty()) return true;
  /* Show the settings at fault. */
  if (!where) {
    appChoice_->setChecked(true);
  } else {
    filesChoice_->setChecked(true);
    files_->clearSelection();
    for (int r = 0; r < files_->rowCount(); ++r)
      if (files_->item(r, 0)->data(Qt::UserRole).value<void *>() == where) files_->SetSelection(r, true);
  }
  return Refuse(QString::fromUtf8(GetMessageText(34026)) + "\n\n" + bad);
}

/* ---- the sheet --------------------------------------------------------- */

CPSApp::CPSApp(QWidget *parent, CPrompter &prompter, const CRunModal &run, CApplication &app, EMode mode)
    : CAssistantSheet(parent, prompter, run, EAssistantPicture::Application,
                      mode == Create ? tr("New Application") : tr("Modify Application")),
      app_(app), mode_(mode) {
  setPage(StartPage, new CPPAppStart);
  setPage(FilesPage, new CPPAppCategories(prompter));
  setPage(EndPage, new CSavePage(prompter, QStringLiteral("Save application"),
                                 QStringLiteral("Give the name of a file storing the corresponding information."),
                                 {QString(), QString(), 34119, QString::fromLatin1(kApplicationFilter)}));
  setStartId(StartPage);
  setMinimumSize(900, 720);
  SetPictureHeight(640);
  /* A new application is proposed beside its first source file. */
  connect(this, &QWizard::currentIdChanged, this, [this](int id) {
    if (id != EndPage || mode_ != Create || app_.GetFileEntries().empty()) return;
    CPathName dir = app_.GetFileEntries().front()->GetFilePath().GetDirectory();
    CPathName stem = dir;
    stem.RemoveEndingDirSeparator();
    std::string name = stem.GetFileName().empty() ? "application" : stem.GetFileName();
    Save()->Propose(GetTempFilePath(dir.Str().c_str(), name.c_str(), GetMessageText(34119)));
  });
}

CSavePage *CPSApp::Save() const { return static_cast<CSavePage *>(page(EndPage)); }

#include "psapp.moc"
