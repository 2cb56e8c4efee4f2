/*
 * appcategories.h - the category sheet of the application assistant
 * (CPSAppCategories): three tabs editing the preprocessor, analyzer and
 * ignore-code settings of either the application itself or of the files
 * selected in the "Application Files" page.
 */
#ifndef CSENTREL_WIZARDS_APPCATEGORIES_H
#define CSENTREL_WIZARDS_APPCATEGORIES_H

#include <QTabWidget>
#include <vector>

class CAnalyzerEdits;
class CApplication;
class CClauseEditor;
class CFileEntry;
class CPreprocessorEdits;
class CPrompter;
class QPushButton;

class CPSAppCategories : public QTabWidget {
  Q_OBJECT
 public:
  enum EPage { PreprocessorPage, AnalyzerPage, IgnorePage };

  CPSAppCategories(CPrompter &prompter, QWidget *parent = nullptr);

  /* What the tabs edit: the application's own settings, or those of the
   * files given (nothing when there are none). */
  void EditApplication(CApplication &app);
  void EditFiles(const std::vector<CFileEntry *> &files);
  /* Shows again what is edited (after a reset). */
  void Refresh();

  CPreprocessorEdits *Preprocessor() const { return preprocessor_; }
  CAnalyzerEdits *Analyzer() const { return analyzer_; }
  CClauseEditor *Clauses() const { return clauses_; }
  QPushButton *CheckButton() const { return check_; }

  /* What "&Check" does: "Invalid syntax" and the faulty item, or a word
   * that all is well. */
  void CheckSyntax();

 private:
  CPrompter &prompter_;
  CApplication *app_ = nullptr;
  std::vector<CFileEntry *> files_;
  CPreprocessorEdits *preprocessor_;
  CAnalyzerEdits *analyzer_;
  CClauseEditor *clauses_;
  QPushButton *check_;
};

#endif
