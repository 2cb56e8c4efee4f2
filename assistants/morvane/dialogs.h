/*
 * dialogs.h - the assistant's dialogs: Makefile (with the choice of a
 * compilation database), Variables, Files not referenced, and Build.
 *
 * Each dialog is filled from the values given to its constructor and gives
 * the edited values back through its getters; the prompter shows them.
 */
#ifndef MORVANE_DIALOGS_H
#define MORVANE_DIALOGS_H

#include <QDialog>
#include <vector>

#include "prompter.h"

class CListCtrlEx;
class QButtonGroup;
class QDialogButtonBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

/* The Help button of a dialog shows text beside it. */
void ConnectHelp(QDialogButtonBox *buttons, const QString &text);

class CImportMakefileDialog : public QDialog {
  Q_OBJECT

 public:
  CImportMakefileDialog(QWidget *parent, const SMakefileChoice &choice);
  SMakefileChoice Choice() const;

  QRadioButton *MakefileButton() const { return makefileButton_; }
  QRadioButton *DatabaseButton() const { return databaseButton_; }
  QLineEdit *MakefileEdit() const { return makefileEdit_; }
  QLineEdit *DatabaseEdit() const { return databaseEdit_; }
  QLineEdit *TargetEdit() const { return targetEdit_; }
  QPushButton *OkButton() const;

 private:
  void UpdateState();
  void Browse(QLineEdit *edit, const QString &filter);

  QLabel *description_;
  QRadioButton *makefileButton_, *databaseButton_;
  QLineEdit *makefileEdit_, *databaseEdit_, *targetEdit_;
  QPushButton *makefileBrowse_, *databaseBrowse_;
  QDialogButtonBox *buttons_;
};

class CVariablesDialog : public QDialog {
  Q_OBJECT

 public:
  CVariablesDialog(QWidget *parent, const std::vector<MakVar> &vars);
  const std::vector<MakVar> &Variables() const { return vars_; }

  CListCtrlEx *List() const { return list_; }
  /* The kind buttons: compilation, make, other. */
  QRadioButton *KindButton(int kind) const;
  /* The mark of the kind column for a kind. */
  static QString KindMark(int kind);

 private:
  void ShowSelectionKind();
  void SetSelectedKind(int kind);

  std::vector<MakVar> vars_;
  CListCtrlEx *list_;
  QButtonGroup *kinds_;
};

class CFilesNotReferencedDialog : public QDialog {
  Q_OBJECT

 public:
  CFilesNotReferencedDialog(QWidget *parent, const std::vector<CPathName> &keep,
                            const std::vector<CPathName> &remove);
  std::vector<CPathName> Kept() const { return Paths(keepList_); }
  std::vector<CPathName> Removed() const { return Paths(removeList_); }

  CListCtrlEx *KeepList() const { return keepList_; }
  CListCtrlEx *RemoveList() const { return removeList_; }
  QPushButton *ToRemoveButton() const { return toRemove_; }
  QPushButton *ToKeepButton() const { return toKeep_; }
  QPushButton *KeepAllButton() const { return keepAll_; }
  QPushButton *RemoveAllButton() const { return removeAll_; }

 private:
  static std::vector<CPathName> Paths(const CListCtrlEx *list);
  static void Fill(CListCtrlEx *list, const std::vector<CPathName> &paths);
  /* Moves the selected files, or all of them, from one list to the other. */
  void Move(CListCtrlEx *from, CListCtrlEx *to, bool all);
  void UpdateButtons();

  CListCtrlEx *keepList_, *removeList_;
  QPushButton *toRemove_, *toKeep_, *keepAll_, *removeAll_;
};

class CBuildDialog : public QDialog {
  Q_OBJECT

 public:
  CBuildDialog(QWidget *parent, const SBuildSettings &settings);
  SBuildSettings Settings() const;

  QLineEdit *MakeCommandEdit() const { return makeCommand_; }
  QLineEdit *MakefileOptionEdit() const { return makefileOption_; }
  QLineEdit *BuildAllOptionEdit() const { return buildAllOption_; }
  QLineEdit *TargetOptionEdit() const { return targetOption_; }

 private:
  QLineEdit *makeCommand_, *makefileOption_, *buildAllOption_, *targetOption_;
};

#endif
