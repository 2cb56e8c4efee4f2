/*
 * savepage.h - the last page of an assistant: the object's name (profiles
 * and rule sets) and the file its description is saved in.
 *
 * Leaving the page checks what the user gave: a name, a file name (taken
 * relative to the proposed directory, given the kind's extension), not a
 * file of the installation, and, for an existing file other than the
 * object's own, that it may be replaced.  Then the sheet finishes.
 */
#ifndef CSENTREL_WIZARDS_SAVEPAGE_H
#define CSENTREL_WIZARDS_SAVEPAGE_H

#include <functional>

#include "sheet.h"
#include "tessary_text.h"

class CPathEdit;
class QLineEdit;

class CSavePage : public CAssistantPage {
  Q_OBJECT
 public:
  struct SKind {
    QString nameLabel;   /* "&Profile name:"; empty: no name field */
    QString nameMissing; /* "Please provide a profile name." */
    unsigned extension;  /* message holding the extension */
    QString filter;      /* of the file chooser */
  };

  CSavePage(CPrompter &prompter, const QString &title, const QString &description, const SKind &kind);

  /* The object's name and file when the page opens; own is the object's
   * present file (no question about replacing it), dir the directory a
   * file name without one is taken in.  With follow, the file name follows
   * the name typed until the user edits it. */
  void Setup(const QString &name, const CPathName &file, const CPathName &own, const CPathName &dir,
             bool follow);
  /* Shows file unless the user has chosen one already. */
  void Propose(const CPathName &file);
  bool FollowsProposal() const { return follow_; }
  /* Tells files that are never written (the installation's). */
  std::function<bool(const CPathName &)> isInstalled;
  /* A note under the fields (where the user's copy goes). */
  void SetNote(const QString &text);

  QString Name() const;
  /* The file as validatePage last completed it. */
  const CPathName &Chosen() const { return chosen_; }
  QLineEdit *NameEdit() const { return name_; }
  CPathEdit *FileEdit() const { return file_; }

  bool validatePage() override;

 private:
  void FollowName();
  /* The file named by text: taken in the proposed directory unless full,
   * "~/" standing for the home directory. */
  CPathName Complete(const QString &text) const;
  CPathName WithExtension(const CPathName &file) const;

  SKind kind_;
  QLineEdit *name_ = nullptr;
  CPathEdit *file_;
  class QLabel *note_;
  CPathName own_, dir_, chosen_;
  bool follow_ = false;
};

#endif
