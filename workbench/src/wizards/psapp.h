/*
 * psapp.h - the application assistant (CPSApp): the application's source
 * files, the settings of the application and of each file, and the file
 * the application is saved in.
 *
 * The sheet edits the application it is given (a new one, or a copy of the
 * open one); the caller keeps the result when the sheet finishes.
 */
#ifndef CSENTREL_WIZARDS_PSAPP_H
#define CSENTREL_WIZARDS_PSAPP_H

#include <vector>

#include "sheet.h"

class CApplication;
class CFileEntry;
class CListCtrlEx;
class CPSAppCategories;
class CSavePage;
class QPushButton;
class QRadioButton;

class CPSApp : public CAssistantSheet {
  Q_OBJECT
 public:
  enum EPage { StartPage, FilesPage, EndPage };
  enum EMode { Create, Modify };

  CPSApp(QWidget *parent, CPrompter &prompter, const CRunModal &run, CApplication &app, EMode mode);

  CApplication &App() const { return app_; }
  EMode Mode() const { return mode_; }
  CSavePage *Save() const;

 private:
  CApplication &app_;
  EMode mode_;
};

/* The "Application Files" page. */
class CPPAppCategories : public CAssistantPage {
  Q_OBJECT
 public:
  explicit CPPAppCategories(CPrompter &prompter);

  void initializePage() override;
  bool validatePage() override;

  QRadioButton *FilesChoice() const { return filesChoice_; }
  QRadioButton *ApplicationChoice() const { return appChoice_; }
  CListCtrlEx *Files() const { return files_; }
  CPSAppCategories *Categories() const { return categories_; }

  /* What the buttons do. */
  int AddFiles();
  void RemoveFiles();
  void Reset();

 private:
  CApplication &App() const;
  std::vector<CFileEntry *> Selected() const;
  void FillList();
  void EditChosen();

  QRadioButton *filesChoice_;
  QRadioButton *appChoice_;
  QPushButton *add_;
  QPushButton *remove_;
  QPushButton *reset_;
  CListCtrlEx *files_;
  CPSAppCategories *categories_;
  bool filling_ = false;
};

#endif
