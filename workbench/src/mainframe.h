/*
 * mainframe.h - the main window (CMainFrame): the menus, the tool bar, the
 * combo bar with the Profile and Rule Set lists, the status bar with the
 * caret position, the window area and the Messages window, and the
 * handlers of every command.
 */
#ifndef CSENTREL_MAINFRAME_H
#define CSENTREL_MAINFRAME_H

#include <QMainWindow>
#include <QPrinter>
#include <map>
#include <memory>

#include "checkrun.h"

class CAppDoc;
class CApplication;
class CProfile;
class CRuleSet;
class CAssistants;
class CBrindleDoc;
class CBrindleView;
class CComboBoxCustom;
class CMessageFrame;
class CPrompter;
class CSentrelApp;
class CWaitDialog;
class QLabel;
class QMenu;
class QToolBar;

class CMainFrame : public QMainWindow, public CRunHost {
  Q_OBJECT
 public:
  /* The commands, named as the tests and the pictures find them. */
  enum ECommand {
    FileNew, FileOpen, FileSave, FileSaveAs, FileModify, FileImportDatabase, FileSaveResults,
    FilePrint, FilePrintPreview, FilePageSetup, FileExit,
    EditCopy, EditSelectAll, EditClear,
    ViewToolbar, ViewStatusBar, ViewMessages, ViewLog, ViewNextViolation, ViewPreviousViolation,
    ToolsCheck, ToolsNewProfile, ToolsNewRuleSet, ToolsModifyProfile, ToolsModifyRuleSet,
    WindowCascade, WindowTile, WindowArrangeIcons,
    HelpTopics, HelpAbout,
    CommandCount
  };

  CMainFrame(CSentrelApp &app, CPrompter &prompter, QWidget *parent = nullptr);
  ~CMainFrame() override;

  /* Where New and Modify... go; the plain assistants until replaced. */
  void SetAssistants(std::unique_ptr<CAssistants> assistants);
  CAssistants &Assistants() { return *assistants_; }

  QAction *Action(ECommand id) const { return actions_[id]; }
  CBrindleDoc &Doc() { return *doc_; }
  CBrindleView &View() { return *view_; }
  CAppDoc &AppDoc();
  CComboBoxCustom *ProfileList() const { return profiles_; }
  CComboBoxCustom *RuleSetList() const { return ruleSets_; }
  QLabel *CaretPane() const { return caret_; }
  CMessageFrame *MessagesWindow() const { return messages_; }
  QToolBar *ComboBar() const { return comboBar_; }
  /* The File menu, whose recent files follow Page Setup.... */
  QMenu *FileMenu() const { return fileMenu_; }

  /* Opens an application (the command line's file, a recent file). */
  bool OpenApplication(const QString &path);
  /* Shows the current profiles and rule sets and the current choices. */
  void RefreshComboBar();
  /* Enables the commands that apply. */
  void UpdateCommands();

  /* Called with every progress dialog once it is shown (tests, pictures). */
  std::function<void(CWaitDialog &)> onWaiting;

  /* CRunHost */
  QWidget *Window() override { return this; }
  CPrompter &Prompter() override { return prompter_; }
  void CloseResultWindows() override;
  void ShowRunResults(const QString &consolePath, const QString &reportPath,
                      const SRunEnd &end) override;

  /* The commands. */
 public slots:
  void OnFileNew();
  void OnFileOpen();
  bool OnFileSave();
  bool OnFileSaveAs();
  void OnFileModify();
  void OnFileImportDatabase();
  bool OnFileSaveResults();
  void OnFilePrint();
  void OnFilePrintPreview();
  void OnFilePageSetup();
  void OnEditCopy();
  void OnEditSelectAll();
  void OnEditClear();
  void OnViewMessages(bool show);
  void OnViewLog();
  bool OnNextViolation(bool forward);
  bool OnToolsCheck();
  void OnToolsNewProfile();
  void OnToolsNewRuleSet();
  void OnToolsModifyProfile();
  void OnToolsModifyRuleSet();
  void OnWindowArrangeIcons();
  void OnHelpTopics();
  void OnHelpAbout();

 protected:
  void closeEvent(QCloseEvent *e) override;

 private:
  void CreateActions();
  void CreateMenus();
  void CreateToolBars();
  void CreateStatusBar();
  QAction *Make(ECommand id, const QString &text, const QString &prompt,
                const QKeySequence &key = QKeySequence(), const char *icon = nullptr);
  void UpdateTitle();
  void UpdateRecentFiles();
  void AddRecentFile(const QString &path);
  void FillFromMakefile(CApplication &app, bool isNew, bool &keep);
  void OnProfileChosen(int index);
  void OnRuleSetChosen(int index);
  void SelectProfile(CProfile *p);
  void SelectRuleSet(CRuleSet *r);
  void ShowCaret(int line, int column);
  /* The view of the active window, when it has one. */
  class CDocumentView *ActiveCommands() const;
  QString HelpText() const;

  CSentrelApp &app_;
  CPrompter &prompter_;
  std::unique_ptr<CAssistants> assistants_;
  CBrindleDoc *doc_;
  CBrindleView *view_;
  CMessageFrame *messages_;
  QAction *actions_[CommandCount] = {};
  QList<QAction *> recent_;
  QAction *recentSeparator_ = nullptr;
  QMenu *fileMenu_ = nullptr;
  QMenu *windowMenu_ = nullptr;
  QToolBar *toolBar_ = nullptr;
  QToolBar *comboBar_ = nullptr;
  CComboBoxCustom *profiles_ = nullptr;
  CComboBoxCustom *ruleSets_ = nullptr;
  QLabel *caret_ = nullptr;
  QPrinter printer_;
};

#endif
