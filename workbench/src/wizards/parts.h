/*
 * parts.h - the controls the assistants' pages are built from: a file name
 * with its "..." button, the preprocessor, analyzer and ignore-code fields
 * (used by the profile assistant and by the application's category sheet),
 * and the syntax check of preprocessor items and macro names.
 *
 * The settings controls edit one or several objects at once (the
 * application's settings, or those of every selected file): a field whose
 * objects disagree shows "<Multiple Selection>" until it is edited, and an
 * edit goes to every object.
 */
#ifndef CSENTREL_WIZARDS_PARTS_H
#define CSENTREL_WIZARDS_PARTS_H

#include <QStringList>
#include <QWidget>
#include <vector>

#include "tessary_text.h"

class CAnalyzer;
class CIgnoreCode;
class CListCtrlEx;
class CPreprocessor;
class CPrompter;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

/* Items of a comma list as the fields show them ("a, b") and as they are
 * stored ("a,b"). */
QString ListText(const CCommaList &list);
CCommaList ListFrom(const QString &text);

/* The first item the checker could not read, described for the user; empty
 * when every item is sound.  Defines are NAME, NAME=value or
 * NAME(parameters)=value; assertions NAME or NAME(answer); macro names are
 * identifiers. */
QString InvalidPreprocessorItem(const CPreprocessor &p);
QString InvalidMacroName(const CAnalyzer &a);

/* A file name and the "..." button that chooses it through the prompter. */
class CPathEdit : public QWidget {
  Q_OBJECT
 public:
  enum EMode { OpenFile, SaveFile };
  CPathEdit(CPrompter &prompter, EMode mode, const QString &caption, const QString &filter,
            QWidget *parent = nullptr);

  QLineEdit *Edit() const { return edit_; }
  QPushButton *BrowseButton() const { return browse_; }
  QString Text() const;
  void SetText(const QString &text);

 signals:
  /* The user typed or chose a file. */
  void edited();

 private:
  CPrompter &prompter_;
  QLineEdit *edit_;
  QPushButton *browse_;
};

/* Predefined macros, header directories and assertions. */
class CPreprocessorEdits : public QWidget {
  Q_OBJECT
 public:
  /* labels: the three field labels, with their accelerators. */
  CPreprocessorEdits(const QStringList &labels, QWidget *parent = nullptr);
  void SetTargets(const std::vector<CPreprocessor *> &targets);
  QLineEdit *Field(int i) const { return edits_[i]; }

 private:
  std::vector<CPreprocessor *> targets_;
  QLineEdit *edits_[3];
};

/* The expand flag and the macro names handled the other way. */
class CAnalyzerEdits : public QWidget {
  Q_OBJECT
 public:
  CAnalyzerEdits(const QString &expandLabel, const QString &macrosLabel, QWidget *parent = nullptr);
  void SetTargets(const std::vector<CAnalyzer *> &targets);
  QCheckBox *Expand() const { return expand_; }
  QLineEdit *Macros() const { return macros_; }

 private:
  std::vector<CAnalyzer *> targets_;
  QCheckBox *expand_;
  QLineEdit *macros_;
};

/* Ignore clauses: head and tail fields, Add and Remove, and the list of the
 * clauses (those common to every object edited). */
class CClauseEditor : public QWidget {
  Q_OBJECT
 public:
  /* labels: head, tail, add and remove, with their accelerators. */
  CClauseEditor(CPrompter &prompter, const QStringList &labels, QWidget *parent = nullptr);
  void SetTargets(const std::vector<CIgnoreCode *> &targets);

  QLineEdit *Head() const { return head_; }
  QLineEdit *Tail() const { return tail_; }
  QPushButton *AddButton() const { return add_; }
  QPushButton *RemoveButton() const { return remove_; }
  CListCtrlEx *List() const { return list_; }

  /* What the buttons do. */
  bool AddClause();
  void RemoveSelected();

 private:
  void Refresh();
  void UpdateButtons();

  CPrompter &prompter_;
  std::vector<CIgnoreCode *> targets_;
  QLineEdit *head_;
  QLineEdit *tail_;
  QPushButton *add_;
  QPushButton *remove_;
  CListCtrlEx *list_;
};

#endif
