/*
 * assistants.h - where the workbench creates and changes applications,
 * profiles and rule sets: File / New and Modify..., Tools / New and
 * Modify Profile... and Rule Set....
 *
 * The main window calls a CAssistants and does the rest itself: it fills a
 * new or modified application from its makefile when the profile has an
 * extract-files command, saves and opens a new application, and refreshes
 * the Profile and Rule Set lists.  CBasicAssistants is the plain version:
 * an application is named and given its source files with file choosers;
 * profiles and rule sets are chosen among the installed ones.
 */
#ifndef CSENTREL_ASSISTANTS_H
#define CSENTREL_ASSISTANTS_H

#include <QString>
#include <memory>

class CApplication;
class CPrompter;
class CProfile;
class CRuleSet;
class QWidget;

class CAssistants {
 public:
  virtual ~CAssistants() = default;

  /* A new application with its file path set, not yet saved; null when
   * the user gave up.  It uses the environment's current profile and rule
   * set unless the assistant chose others. */
  virtual std::unique_ptr<CApplication> NewApplication(QWidget *parent) = 0;
  /* Changes the open application; false when the user cancelled. */
  virtual bool ModifyApplication(QWidget *parent, CApplication &app) = 0;
  /* A new profile or rule set, already saved and added to the
   * environment; null when the user gave up. */
  virtual CProfile *NewProfile(QWidget *parent) = 0;
  virtual CRuleSet *NewRuleSet(QWidget *parent) = 0;
  /* Changes an existing one; the result is the object now to use (a copy
   * in the user's directory for an installed one), or null when nothing
   * was changed. */
  virtual CProfile *ModifyProfile(QWidget *parent, CProfile &profile) = 0;
  virtual CRuleSet *ModifyRuleSet(QWidget *parent, CRuleSet &ruleSet) = 0;
};

class CBasicAssistants : public CAssistants {
 public:
  explicit CBasicAssistants(CPrompter &prompter) : prompter_(prompter) {}

  std::unique_ptr<CApplication> NewApplication(QWidget *parent) override;
  bool ModifyApplication(QWidget *parent, CApplication &app) override;
  CProfile *NewProfile(QWidget *parent) override;
  CRuleSet *NewRuleSet(QWidget *parent) override;
  CProfile *ModifyProfile(QWidget *parent, CProfile &profile) override;
  CRuleSet *ModifyRuleSet(QWidget *parent, CRuleSet &ruleSet) override;

  /* Asks for source files and adds those not yet in app ("File is already
   * added." for the others); the number added. */
  int AddSourceFiles(QWidget *parent, CApplication &app);

 private:
  void NotAvailable(QWidget *parent, const QString &what);
  CPrompter &prompter_;
};

#endif
