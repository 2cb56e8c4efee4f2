/*
 * mainframe.cpp - the main window and its commands.
 */
#include "mainframe.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMenuBar>
#include <QSettings>
#include <QStatusBar>
#include <QToolBar>

#include "about.h"
#include "appdoc.h"
#include "art.h"
#include "assistants.h"
#include "brindle.h"
#include "docview.h"
#include "errlog.h"
#include "makefill.h"
#include "messages.h"
#include "prompter.h"
#include "sentrelapp.h"
#include "sourceview.h"
#include "tableout.h"
#include "tessary_app.h"
#include "tessary_compdb.h"
#include "tessary_env.h"
#include "wendrel_combo.h"
#include "wendrel_ui.h"

static const int kMaxRecentFiles = 4;

CMainFrame::CMainFrame(CSentrelApp &app, CPrompter &prompter, QWidget *parent)
    : QMainWindow(parent), app_(app), prompter_(prompter),
      assistants_(std::make_unique<CBasicAssistants>(prompter)) {
  setObjectName("MainFrame");
  setWindowIcon(ProgramIcon());
  doc_ = new CBrindleDoc(app.LogDoc(), prompter, this, this);
  view_ = new CBrindleView(*doc_, prompter, this);
  setCentralWidget(view_);
  messages_ = new CMessageFrame(&doc_->MessageDoc(), this);
  addDockWidget(Qt::BottomDockWidgetArea, messages_);
  messages_->hide();

  CreateActions();
  CreateMenus();
  CreateToolBars();
  CreateStatusBar();

  connect(&AppDoc(), &CAppDoc::changed, this, [this] {
    view_->ShowApplication();
    RefreshComboBar();
    UpdateTitle();
    UpdateCommands();
  });
  connect(&AppDoc(), &CAppDoc::fileUsed, this, &CMainFrame::AddRecentFile);
  connect(view_, &QMdiArea::subWindowActivated, this, [this] { UpdateCommands(); });
  connect(view_, &CBrindleView::caretMoved, this, &CMainFrame::ShowCaret);
  connect(messages_->View(), &CMessageView::openLocation, view_, &CBrindleView::OpenSource);
  connect(messages_, &QDockWidget::visibilityChanged, this, [this](bool) {
    actions_[ViewMessages]->setChecked(!messages_->isHidden());
  });
  /* The newest message of the log in the status bar; errors bring the log
   * window up. */
  connect(&app.LogDoc(), &CErrLogDoc::messageAdded, this, [this](int type, const QString &text) {
    statusBar()->showMessage(text, 8000);
    if (type == CZKError::eError) view_->ShowLog(false);
  });

  QSettings &settings = app_.Settings();
  if (!restoreGeometry(settings.value("MainWindow/geometry").toByteArray())) resize(1180, 780);
  restoreState(settings.value("MainWindow/state").toByteArray());

  view_->ShowLog(false);
  RefreshComboBar();
  UpdateRecentFiles();
  UpdateTitle();
  UpdateCommands();
}

CMainFrame::~CMainFrame() = default;

CAppDoc &CMainFrame::AppDoc() { return doc_->AppDoc(); }

void CMainFrame::SetAssistants(std::unique_ptr<CAssistants> assistants) {
  if (assistants) assistants_ = std::move(assistants);
}

/* ---- building the window ------------------------------------------- */

QAction *CMainFrame::Make(ECommand id, const QString &text, const QString &prompt,
                          const QKeySequence &key, const char *icon) {
  auto *a = new QAction(text, this);
  a->setStatusTip(prompt);
  a->setToolTip(QString(text).remove('&').remove("..."));
  if (!key.isEmpty()) a->setShortcut(key);
  if (icon) a->setIcon(ToolIcon(icon));
  actions_[id] = a;
  return a;
}

void CMainFrame::CreateActions() {
  connect(Make(FileNew, "&New", "Create a new Application", QKeySequence::New, "new"),
          &QAction::triggered, this, &CMainFrame::OnFileNew);
  connect(Make(FileOpen, "&Open...", "Open an existing Application", QKeySequence::Open, "open"),
          &QAction::triggered, this, &CMainFrame::OnFileOpen);
  connect(Make(FileSave, "&Save", "Save the active Application", QKeySequence::Save, "save"),
          &QAction::triggered, this, &CMainFrame::OnFileSave);
  connect(Make(FileSaveAs, "Save &As...", "Save the active Application with a new name"),
          &QAction::triggered, this, &CMainFrame::OnFileSaveAs);
  connect(Make(FileModify, "&Modify...", "Modify current Aplication"), &QAction::triggered, this,
          &CMainFrame::OnFileModify);
  connect(Make(FileImportDatabase, "Import Compilation &Database...",
               "Add the C files of a compilation database (compile_commands.json) to the Application"),
          &QAction::triggered, this, &CMainFrame::OnFileImportDatabase);
  connect(Make(FileSaveResults, "Save &Results...", "Save active window results"),
          &QAction::triggered, this, &CMainFrame::OnFileSaveResults);
  connect(Make(FilePrint, "&Print...", "Print the active window", QKeySequence::Print, "print"),
          &QAction::triggered, this, &CMainFrame::OnFilePrint);
  connect(Make(FilePrintPreview, "Print Pre&view", "Show the pages the active window prints"),
          &QAction::triggered, this, &CMainFrame::OnFilePrintPreview);
  connect(Make(FilePageSetup, "Page Set&up...", "Change the paper, orientation and margins of printing"),
          &QAction::triggered, this, &CMainFrame::OnFilePageSetup);
  connect(Make(FileExit, "E&xit", "Quit the workbench; asks to save the Application",
               QKeySequence::Quit),
          &QAction::triggered, this, &QWidget::close);

  connect(Make(EditCopy, "&Copy", "Copy the selection to the clipboard", QKeySequence::Copy, "copy"),
          &QAction::triggered, this, &CMainFrame::OnEditCopy);
  connect(Make(EditSelectAll, "Select &All", "Select everything in the active window",
               QKeySequence::SelectAll),
          &QAction::triggered, this, &CMainFrame::OnEditSelectAll);
  connect(Make(EditClear, "Cle&ar", "Empty the active window"), &QAction::triggered, this,
          &CMainFrame::OnEditClear);

  Make(ViewToolbar, "&Toolbar", "Show or hide the toolbar");
  Make(ViewStatusBar, "&Status Bar", "Show or hide the status bar");
  QAction *messages = Make(ViewMessages, "&Messages", "Displays Messages window", QKeySequence(), "messages");
  messages->setCheckable(true);
  connect(messages, &QAction::triggered, this, &CMainFrame::OnViewMessages);
  connect(Make(ViewLog, "&Log", "Displays the log of the workbench's messages"), &QAction::triggered,
          this, &CMainFrame::OnViewLog);
  connect(Make(ViewNextViolation, "&Next Violation", "Go to the next violation of the results",
               QKeySequence(Qt::Key_F4), "next"),
          &QAction::triggered, this, [this] { OnNextViolation(true); });
  connect(Make(ViewPreviousViolation, "&Previous Violation",
               "Go to the previous violation of the results", QKeySequence(Qt::SHIFT | Qt::Key_F4),
               "previous"),
          &QAction::triggered, this, [this] { OnNextViolation(false); });

  connect(Make(ToolsCheck, "&Check", "Check application", QKeySequence(Qt::Key_F7), "check"),
          &QAction::triggered, this, &CMainFrame::OnToolsCheck);
  connect(Make(ToolsNewProfile, "New &Profile...", "Create new profile"), &QAction::triggered, this,
          &CMainFrame::OnToolsNewProfile);
  connect(Make(ToolsNewRuleSet, "New &Rule Set...", "Create new rule set"), &QAction::triggered,
          this, &CMainFrame::OnToolsNewRuleSet);
  connect(Make(ToolsModifyProfile, "&Modify Profile...", "Edit profile"), &QAction::triggered, this,
          &CMainFrame::OnToolsModifyProfile);
  connect(Make(ToolsModifyRuleSet, "Modify R&ule Set...", "Edit rule set"), &QAction::triggered,
          this, &CMainFrame::OnToolsModifyRuleSet);

  connect(Make(WindowCascade, "&Cascade", "Arrange the windows so that they overlap"),
          &QAction::triggered, view_, &QMdiArea::cascadeSubWindows);
  connect(Make(WindowTile, "&Tile", "Arrange the windows side by side"), &QAction::triggered, view_,
          &QMdiArea::tileSubWindows);
  connect(Make(WindowArrangeIcons, "&Arrange Icons", "Arrange the minimized windows along the bottom"),
          &QAction::triggered, this, &CMainFrame::OnWindowArrangeIcons);

  connect(Make(HelpTopics, "&Help Topics", "Show the workbench's guide", QKeySequence::HelpContents),
          &QAction::triggered, this, &CMainFrame::OnHelpTopics);
  connect(Make(HelpAbout, QString("&About %1...").arg(kProductName),
               "Show the program's name and version"),
          &QAction::triggered, this, &CMainFrame::OnHelpAbout);
  for (int i = 0; i < CommandCount; ++i)
    actions_[i]->setObjectName(QString("command%1").arg(i));
}

void CMainFrame::CreateMenus() {
  fileMenu_ = menuBar()->addMenu("&File");
  for (ECommand c : {FileNew, FileOpen, FileSave, FileSaveAs, FileModify, FileImportDatabase, FileSaveResults})
    fileMenu_->addAction(actions_[c]);
  fileMenu_->addSeparator();
  for (ECommand c : {FilePrint, FilePrintPreview, FilePageSetup}) fileMenu_->addAction(actions_[c]);
  recentSeparator_ = fileMenu_->addSeparator();
  for (int i = 0; i < kMaxRecentFiles; ++i) {
    auto *a = new QAction(this);
    a->setStatusTip("Open this Application");
    a->setVisible(false);
    connect(a, &QAction::triggered, this, [this, a] { OpenApplication(a->data().toString()); });
    fileMenu_->addAction(a);
    recent_ << a;
  }
  fileMenu_->addSeparator();
  fileMenu_->addAction(actions_[FileExit]);

  QMenu *edit = menuBar()->addMenu("&Edit");
  for (ECommand c : {EditCopy, EditSelectAll, EditClear}) edit->addAction(actions_[c]);

  QMenu *view = menuBar()->addMenu("&View");
  view->addAction(actions_[ViewToolbar]);
  view->addAction(actions_[ViewStatusBar]);
  view->addSeparator();
  for (ECommand c : {ViewMessages, ViewLog}) view->addAction(actions_[c]);
  view->addSeparator();
  for (ECommand c : {ViewNextViolation, ViewPreviousViolation}) view->addAction(actions_[c]);

  QMenu *tools = menuBar()->addMenu("&Tools");
  tools->addAction(actions_[ToolsCheck]);
  tools->addSeparator();
  for (ECommand c : {ToolsNewProfile, ToolsNewRuleSet, ToolsModifyProfile, ToolsModifyRuleSet})
    tools->addAction(actions_[c]);

  windowMenu_ = menuBar()->addMenu("&Window");
  connect(windowMenu_, &QMenu::aboutToShow, this, [this] {
    windowMenu_->clear();
    for (ECommand c : {WindowCascade, WindowTile, WindowArrangeIcons}) windowMenu_->addAction(actions_[c]);
    QList<QMdiSubWindow *> windows = view_->subWindowList(QMdiArea::CreationOrder);
    if (!windows.isEmpty()) windowMenu_->addSeparator();
    int n = 0;
    for (QMdiSubWindow *w : windows) {
      ++n;
      QString text = QString(n < 10 ? "&%1 %2" : "%1 %2").arg(n).arg(w->windowTitle());
      QAction *a = windowMenu_->addAction(text, this, [this, w] { view_->setActiveSubWindow(w); });
      a->setCheckable(true);
      a->setChecked(w == view_->activeSubWindow());
    }
  });
  /* The standard items exist before the menu is first shown. */
  for (ECommand c : {WindowCascade, WindowTile, WindowArrangeIcons}) windowMenu_->addAction(actions_[c]);

  QMenu *help = menuBar()->addMenu("&Help");
  help->addAction(actions_[HelpTopics]);
  help->addSeparator();
  help->addAction(actions_[HelpAbout]);

  for (QMenu *m : {fileMenu_, edit, view, tools})
    connect(m, &QMenu::aboutToShow, this, &CMainFrame::UpdateCommands);
}

void CMainFrame::CreateToolBars() {
  toolBar_ = addToolBar(tr("Toolbar"));
  toolBar_->setObjectName("Toolbar");
  toolBar_->setIconSize(QSize(24, 24));
  for (ECommand c : {FileNew, FileOpen, FileSave}) toolBar_->addAction(actions_[c]);
  toolBar_->addSeparator();
  toolBar_->addAction(actions_[ToolsCheck]);
  toolBar_->addAction(actions_[ViewPreviousViolation]);
  toolBar_->addAction(actions_[ViewNextViolation]);
  toolBar_->addSeparator();
  toolBar_->addAction(actions_[EditCopy]);
  toolBar_->addAction(actions_[FilePrint]);
  toolBar_->addAction(actions_[ViewMessages]);

  QAction *toggle = toolBar_->toggleViewAction();
  actions_[ViewToolbar]->setCheckable(true);
  actions_[ViewToolbar]->setChecked(true);
  connect(actions_[ViewToolbar], &QAction::toggled, toolBar_, &QToolBar::setVisible);
  connect(toggle, &QAction::toggled, actions_[ViewToolbar], &QAction::setChecked);

  comboBar_ = addToolBar(tr("Profile and Rule Set"));
  comboBar_->setObjectName("ComboBar");
  auto addList = [this](const QString &label, CComboBoxCustom *&combo) {
    auto *l = new QLabel(label, comboBar_);
    l->setContentsMargins(8, 0, 6, 0);
    combo = new CComboBoxCustom(comboBar_);
    combo->setMinimumContentsLength(22);
    combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    l->setBuddy(combo);
    comboBar_->addWidget(l);
    comboBar_->addWidget(combo);
  };
  addList("Profile", profiles_);
  addList("Rule Set", ruleSets_);
  connect(profiles_, &QComboBox::activated, this, &CMainFrame::OnProfileChosen);
  connect(ruleSets_, &QComboBox::activated, this, &CMainFrame::OnRuleSetChosen);
}

void CMainFrame::CreateStatusBar() {
  caret_ = new QLabel(statusBar());
  caret_->setAlignment(Qt::AlignCenter);
  caret_->setMinimumWidth(caret_->fontMetrics().horizontalAdvance("Ln:9999,Col:999") + 16);
  caret_->setToolTip(tr("Caret position in the source window"));
  statusBar()->addPermanentWidget(caret_);
  statusBar()->showMessage(tr("Ready"));
  actions_[ViewStatusBar]->setCheckable(true);
  actions_[ViewStatusBar]->setChecked(true);
  connect(actions_[ViewStatusBar], &QAction::toggled, statusBar(), &QStatusBar::setVisible);
}

void CMainFrame::ShowCaret(int line, int column) {
  caret_->setText(line > 0 ? QString::asprintf("Ln:%d,Col:%d", line, column) : QString());
}

void CMainFrame::UpdateTitle() {
  QString title = QString::fromLatin1(kProductName);
  if (AppDoc().IsOpen()) title += " - " + AppDoc().Title() + "[*]";
  setWindowTitle(title);
  setWindowModified(AppDoc().IsModified());
}

CDocumentView *CMainFrame::ActiveCommands() const {
  if (messages_->isVisible() && messages_->View()->hasFocus()) return messages_->View();
  CChildFrame *f = view_->ActiveFrame();
  return f ? f->Commands() : nullptr;
}

void CMainFrame::UpdateCommands() {
  bool open = AppDoc().IsOpen();
  CDocumentView *active = ActiveCommands();
  actions_[FileSave]->setEnabled(open);
  actions_[FileSaveAs]->setEnabled(open);
  actions_[FileModify]->setEnabled(open);
  actions_[FileImportDatabase]->setEnabled(open);
  actions_[ToolsCheck]->setEnabled(open);
  actions_[FileSaveResults]->setEnabled(active && active->IsResult());
  for (ECommand c : {FilePrint, FilePrintPreview, EditCopy, EditSelectAll})
    actions_[c]->setEnabled(active != nullptr);
  actions_[EditClear]->setEnabled(active && active->CanClear());
  bool results = view_->ResultsFrame() != nullptr;
  actions_[ViewNextViolation]->setEnabled(results);
  actions_[ViewPreviousViolation]->setEnabled(results);
  actions_[ToolsModifyProfile]->setEnabled(TheEnvironment && TheEnvironment->GetCurrentProfile());
  actions_[ToolsModifyRuleSet]->setEnabled(TheEnvironment && TheEnvironment->GetCurrentRuleSet());
  actions_[ViewMessages]->setChecked(!messages_->isHidden());
  UpdateTitle();
}

/* ---- the combo bar ------------------------------------------------- */

template <typename T>
static void FillList(CComboBoxCustom *combo, const std::vector<std::unique_ptr<T>> &objects, T *current) {
  QSignalBlocker block(combo);
  combo->clear();
  for (const auto &o : objects) {
    QString name = QString::fromStdString(o->GetName());
    if (name.isEmpty()) name = QString::fromStdString(o->GetFullPath().GetFileName());
    combo->addItem(name, QVariant::fromValue<void *>(o.get()));
    combo->setItemData(combo->count() - 1, QString::fromStdString(o->GetFullPath().Str()),
                       Qt::ToolTipRole);
  }
  combo->setCurrentIndex(FindInCombo(combo, static_cast<void *>(current)));
}

void CMainFrame::RefreshComboBar() {
  if (!TheEnvironment) return;
  FillList(profiles_, TheEnvironment->GetProfiles(), TheEnvironment->GetCurrentProfile());
  FillList(ruleSets_, TheEnvironment->GetRuleSets(), TheEnvironment->GetCurrentRuleSet());
}

void CMainFrame::OnProfileChosen(int index) {
  SelectProfile(static_cast<CProfile *>(profiles_->itemData(index).value<void *>()));
}

void CMainFrame::OnRuleSetChosen(int index) {
  SelectRuleSet(static_cast<CRuleSet *>(ruleSets_->itemData(index).value<void *>()));
}

void CMainFrame::SelectProfile(CProfile *p) {
  if (!p || !TheEnvironment) return;
  TheEnvironment->SetCurrentProfile(p);
  if (p->GetDialect()) TheEnvironment->SetCurrentDialect(p->GetDialect());
  TheEnvironment->UpdateCurrentApplication();
  AppDoc().Refresh();
}

void CMainFrame::SelectRuleSet(CRuleSet *r) {
  if (!r || !TheEnvironment) return;
  TheEnvironment->SetCurrentRuleSet(r);
  TheEnvironment->UpdateCurrentApplication();
  AppDoc().Refresh();
}

/* ---- recent files -------------------------------------------------- */

void CMainFrame::AddRecentFile(const QString &path) {
  QSettings &s = app_.Settings();
  QStringList files = s.value("RecentFiles").toStringList();
  files.removeAll(path);
  files.prepend(path);
  while (files.size() > kMaxRecentFiles) files.removeLast();
  s.setValue("RecentFiles", files);
  UpdateRecentFiles();
}

void CMainFrame::UpdateRecentFiles() {
  QStringList files = app_.Settings().value("RecentFiles").toStringList();
  for (int i = 0; i < recent_.size(); ++i) {
    bool used = i < files.size();
    recent_[i]->setVisible(used);
    if (!used) continue;
    recent_[i]->setText(QString("&%1 %2").arg(i + 1).arg(QFileInfo(files[i]).fileName()));
    recent_[i]->setData(files[i]);
    recent_[i]->setToolTip(files[i]);
  }
  recentSeparator_->setVisible(!files.isEmpty());
}

/* ---- File ---------------------------------------------------------- */

bool CMainFrame::OpenApplication(const QString &path) {
  bool ok = AppDoc().Open(path);
  UpdateCommands();
  return ok;
}

void CMainFrame::OnFileOpen() {
  AppDoc().OpenWithChooser();
  UpdateCommands();
}

bool CMainFrame::OnFileSave() { return AppDoc().Save(); }

bool CMainFrame::OnFileSaveAs() { return AppDoc().SaveAs(); }

/* Steps of the makefile retriever after an assistant; keep is cleared
 * when a new application must be discarded. */
void CMainFrame::FillFromMakefile(CApplication &app, bool isNew, bool &keep) {
  CFillFromMakefile fill(this, prompter_);
  fill.onWaiting = onWaiting;
  CFillFromMakefile::EResult r = fill.Fill(app);
  keep = !(isNew && r == CFillFromMakefile::Failed);
}

void CMainFrame::OnFileNew() {
  if (!AppDoc().SaveModified()) return;
  std::unique_ptr<CApplication> app = assistants_->NewApplication(this);
  if (!app) return;
  bool keep = true;
  FillFromMakefile(*app, true, keep);
  if (!keep || !CAppDoc::SaveApplication(app.get())) return;
  QString path = QString::fromStdString(app->GetFullPath().Str());
  app.reset();
  /* Saved and unchanged: opening it asks nothing more. */
  AppDoc().Close();
  OpenApplication(path);
}

void CMainFrame::OnFileModify() {
  CApplication *app = AppDoc().App();
  if (!app) return;
  if (assistants_->ModifyApplication(this, *app)) {
    bool keep = true;
    FillFromMakefile(*app, false, keep);
  }
  AppDoc().Refresh();
}

/* The database's C files become the application's, with their own macros
 * and include directories; what all of them share goes to the
 * application's settings.  The application's other files stay. */
void CMainFrame::OnFileImportDatabase() {
  CApplication *app = AppDoc().App();
  if (!app) return;
  QString dir = QFileInfo(AppDoc().Path()).path();
  QString path = prompter_.ChooseOpenFile(this, tr("Import Compilation Database"), dir, kDatabaseFilter);
  if (path.isEmpty()) return;
  CCompilationDatabase db;
  try {
    db.Load(CPathName(path.toStdString()));
  } catch (const CZKException &e) {
    QString text = QString::fromUtf8(e.what());
    if (!db.GetErrorDetail().empty()) text += "\n" + QString::fromStdString(db.GetErrorDetail());
    ReportWorkbenchText(CZKError::eError, text);
    prompter_.Inform(this, text, CPrompter::Critical);
    return;
  }
  db.ImportInto(*app);
  app->SetModifiedState(true);
  QString summary = tr("%1 C files imported from %2.").arg(db.GetEntries().size()).arg(path);
  if (db.GetSkippedCount() > 0) summary += " " + tr("%1 entries that are not C were skipped.").arg(db.GetSkippedCount());
  if (db.GetInvalidCount() > 0) summary += " " + tr("%1 entries without file or command were skipped.").arg(db.GetInvalidCount());
  ReportWorkbenchText(CZKError::eInformation, summary);
  AppDoc().Refresh();
  UpdateCommands();
}

bool CMainFrame::OnFileSaveResults() {
  CDocumentView *active = ActiveCommands();
  if (!active || !active->IsResult()) return false;
  QString dir = QFileInfo(AppDoc().Path()).path();
  QString path = prompter_.ChooseSaveFile(this, tr("Save Results"), dir, kResultFilter);
  if (path.isEmpty()) return false;
  if (QFileInfo(path).suffix().isEmpty()) path += ".txt";
  if (QFileInfo::exists(path) &&
      !prompter_.AskYesNo(this, "File already exists. Do you want to replace it?"))
    return false;
  CTextIO io;
  std::unique_ptr<CTextOutput> out = io.StartTextOutput(path.toStdString());
  bool ok = out && out->WriteString(active->ResultText().toStdString());
  out.reset();
  ok = io.Close() && ok;
  if (!ok) {
    ReportMessage(CZKError::eError, 34008, path.toStdString());
    prompter_.Inform(this, QString::fromStdString(FormatMessageText(34008, path.toStdString())),
                     CPrompter::Critical);
  }
  return ok;
}

void CMainFrame::OnFilePrint() {
  CDocumentView *active = ActiveCommands();
  if (!active || !prompter_.SetupPrint(this, printer_)) return;
  active->Print(&printer_);
}

void CMainFrame::OnFilePrintPreview() {
  CDocumentView *active = ActiveCommands();
  if (!active) return;
  prompter_.Preview(this, printer_, [active](QPrinter *p) { active->Print(p); });
}

void CMainFrame::OnFilePageSetup() { prompter_.SetupPage(this, printer_); }

/* ---- Edit and View ------------------------------------------------- */

void CMainFrame::OnEditCopy() {
  if (CDocumentView *a = ActiveCommands()) a->Copy();
}

void CMainFrame::OnEditSelectAll() {
  if (CDocumentView *a = ActiveCommands()) a->SelectAll();
}

void CMainFrame::OnEditClear() {
  if (CDocumentView *a = ActiveCommands(); a && a->CanClear()) a->Clear();
}

void CMainFrame::OnViewMessages(bool show) {
  messages_->setVisible(show);
  if (show) messages_->raise();
}

void CMainFrame::OnViewLog() { view_->ShowLog(true); }

bool CMainFrame::OnNextViolation(bool forward) {
  CTableOutFrame *results = view_->ResultsFrame();
  if (!results) return false;
  bool moved = results->View()->GoToNext(forward);
  if (!moved) statusBar()->showMessage(forward ? tr("No further violation.") : tr("No earlier violation."), 4000);
  return moved;
}

/* ---- Tools --------------------------------------------------------- */

bool CMainFrame::OnToolsCheck() {
  if (!AppDoc().IsOpen()) return false;
  CCheckCommand run(*this);
  run.onWaiting = onWaiting;
  bool ok = run.Execute();
  UpdateCommands();
  return ok;
}

void CMainFrame::CloseResultWindows() {
  ClosePrintPreview(this);
  view_->CloseResultWindows();
  doc_->OutputDoc().SetText(QString());
  doc_->MessageDoc().Clear();
}

void CMainFrame::ShowRunResults(const QString &consolePath, const QString &reportPath,
                                const SRunEnd &end) {
  COutputDoc &output = doc_->OutputDoc();
  output.Load(consolePath);
  doc_->MessageDoc().SetConsoleText(output.Text());
  int violations = -1;
  if (!reportPath.isEmpty()) {
    auto *table = new CTableOutDoc;
    if (!table->Load(reportPath))
      ReportMessage(CZKError::eError, 34001, reportPath.toStdString());
    violations = table->Count();
    view_->ShowResults(table);
  }
  /* How the run ended, after what the checker printed. */
  QString text = output.Text();
  if (!text.isEmpty() && !text.endsWith('\n')) text += '\n';
  text += tr("--- The checker ended with exit status %1 after %2 s")
              .arg(end.exitStatus)
              .arg(end.elapsedMs / 1000.0, 0, 'f', 1);
  if (violations >= 0) text += violations == 1 ? tr(": 1 violation.") : tr(": %1 violations.").arg(violations);
  output.SetText(text + '\n');
  view_->ShowOutput(false);
  view_->ArrangeRunWindows();
  if (doc_->MessageDoc().Count() > 0) OnViewMessages(true);
}

void CMainFrame::OnToolsNewProfile() {
  if (CProfile *p = assistants_->NewProfile(this)) SelectProfile(p);
  RefreshComboBar();
}

void CMainFrame::OnToolsNewRuleSet() {
  if (CRuleSet *r = assistants_->NewRuleSet(this)) SelectRuleSet(r);
  RefreshComboBar();
}

void CMainFrame::OnToolsModifyProfile() {
  CProfile *current = TheEnvironment ? TheEnvironment->GetCurrentProfile() : nullptr;
  if (!current) {
    prompter_.Inform(this, "Please specify Profile.", CPrompter::Warning);
    return;
  }
  if (CProfile *p = assistants_->ModifyProfile(this, *current)) SelectProfile(p);
  RefreshComboBar();
}

void CMainFrame::OnToolsModifyRuleSet() {
  CRuleSet *current = TheEnvironment ? TheEnvironment->GetCurrentRuleSet() : nullptr;
  if (!current) {
    prompter_.Inform(this, "Please specify rule set.", CPrompter::Warning);
    return;
  }
  if (CRuleSet *r = assistants_->ModifyRuleSet(this, *current)) SelectRuleSet(r);
  RefreshComboBar();
}

/* ---- Window and Help ----------------------------------------------- */

void CMainFrame::OnWindowArrangeIcons() { view_->ArrangeIcons(); }

QString CMainFrame::HelpText() const {
  QString path = QCoreApplication::applicationDirPath() + "/../share/doc/csentrel/workbench.md";
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return QString();
  return QString::fromUtf8(f.readAll());
}

void CMainFrame::OnHelpTopics() {
  QString text = HelpText();
  if (text.isEmpty()) {
    prompter_.Inform(this, tr("The workbench's guide (share/doc/csentrel/workbench.md) is not installed."),
                     CPrompter::Warning);
    return;
  }
  auto *help = new CHelpWindow(this, text);
  help->setAttribute(Qt::WA_DeleteOnClose);
  help->show();
}

void CMainFrame::OnHelpAbout() {
  CAboutDialog about(this);
  about.exec();
}

/* ---- closing ------------------------------------------------------- */

void CMainFrame::closeEvent(QCloseEvent *e) {
  if (!AppDoc().SaveModified()) {
    e->ignore();
    return;
  }
  QSettings &s = app_.Settings();
  s.setValue("MainWindow/geometry", saveGeometry());
  s.setValue("MainWindow/state", saveState());
  e->accept();
}
