/*
 * wizassistants.h - the assistants of the workbench (CWizardAssistants):
 * the profile, rule-set and application sheets behind File / New and
 * Modify..., Tools / New and Modify Profile... and Rule Set..., and what
 * finishing each one does.
 *
 * Finishing the profile or rule-set assistant saves the object (a new one
 * with its companion files named beside it) and adds it to the
 * environment; a change to a profile or rule set of the installation,
 * which is never written, becomes a new object in the per-user directory.
 * Finishing the application assistant gives the application its file; a
 * modified application is saved at once.  Cancel changes nothing: the
 * sheets edit copies.
 */
#ifndef CSENTREL_WIZARDS_WIZASSISTANTS_H
#define CSENTREL_WIZARDS_WIZASSISTANTS_H

#include "assistants.h"
#include "sheet.h"

class CWaitDialog;

class CWizardAssistants : public CAssistants {
 public:
  explicit CWizardAssistants(CPrompter &prompter) : prompter_(prompter) {}

  std::unique_ptr<CApplication> NewApplication(QWidget *parent) override;
  bool ModifyApplication(QWidget *parent, CApplication &app) override;
  CProfile *NewProfile(QWidget *parent) override;
  CRuleSet *NewRuleSet(QWidget *parent) override;
  CProfile *ModifyProfile(QWidget *parent, CProfile &profile) override;
  CRuleSet *ModifyRuleSet(QWidget *parent, CRuleSet &ruleSet) override;

  /* How the sheets and their dialogs are shown: their own modal loop
   * unless set (tests and pictures drive them instead). */
  CRunModal runModal;
  /* Called with the "Analyzer setup" progress dialog once it is shown. */
  std::function<void(CWaitDialog &)> onWaiting;

 private:
  template <typename T>
  T *Edit(QWidget *parent, std::unique_ptr<T> edited, T *original);
  template <typename T>
  T *Commit(QWidget *parent, std::unique_ptr<T> &edited, const class CSavePage &page, T *original);
  template <typename T>
  bool SaveObject(QWidget *parent, T &object);

  CPrompter &prompter_;
};

#endif
