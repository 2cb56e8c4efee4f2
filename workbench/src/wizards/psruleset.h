/*
 * psruleset.h - the rule-set assistant (CPSRuleSet): which rules of the
 * catalogue are checked, with which parameter values, and the rule set's
 * name and file.
 *
 * The sheet edits the rule set it is given (a new one or a copy of an
 * existing one); the caller keeps the result when the sheet finishes.
 */
#ifndef CSENTREL_WIZARDS_PSRULESET_H
#define CSENTREL_WIZARDS_PSRULESET_H

#include <vector>

#include "sheet.h"

class CEnvironment;
class CListCtrlEx;
class CRuleEntry;
class CRuleSet;
class CSavePage;
class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

class CPSRuleSet : public CAssistantSheet {
  Q_OBJECT
 public:
  enum EPage { StartPage, RulesPage, SavePage };
  enum EMode { Create, Modify };

  CPSRuleSet(QWidget *parent, CPrompter &prompter, const CRunModal &run, CRuleSet &ruleSet,
             CEnvironment &env, EMode mode);

  CRuleSet &RuleSet() const { return ruleSet_; }
  CEnvironment &Environment() const { return env_; }
  EMode Mode() const { return mode_; }
  CSavePage *Save() const;

 private:
  CRuleSet &ruleSet_;
  CEnvironment &env_;
  EMode mode_;
};

/* The "Rules" page: the catalogue with a check box per rule, the parameter
 * of the selected rules and its value, and the rule's description. */
class CPPRuleSetRules : public CAssistantPage {
  Q_OBJECT
 public:
  CPPRuleSetRules();

  void initializePage() override;
  bool validatePage() override;

  CListCtrlEx *Rules() const { return rules_; }
  QPushButton *CheckButton() const { return check_; }
  QComboBox *Parameters() const { return params_; }
  QLineEdit *Value() const { return value_; }
  QPushButton *EditButton() const { return edit_; }
  QPlainTextEdit *RuleDescription() const { return description_; }

  /* The entries of the selected rows. */
  std::vector<CRuleEntry *> Selected() const;
  /* Checks the selected rules, or unchecks them when all are checked. */
  void ToggleChecks();
  /* Opens the value dialog of the chosen parameter; true when a value was
   * given to the selected rules. */
  bool EditValue();

 private:
  CRuleSet &Set() const;
  void SelectionChanged();
  void ShowValue();

  CListCtrlEx *rules_;
  QPushButton *check_;
  QComboBox *params_;
  QLineEdit *value_;
  QPushButton *edit_;
  QPlainTextEdit *description_;
};

#endif
