/*
 * psprofile.h - the profile assistant (CPSProfile): the compiler, its
 * preprocessor, the macros the analysis expands, the code to ignore, the
 * application file retriever, and the profile's name and file.
 *
 * The sheet edits the profile it is given as the user goes: the caller
 * hands it a new profile or a copy of an existing one, and only keeps the
 * result when the sheet finishes.
 */
#ifndef CSENTREL_WIZARDS_PSPROFILE_H
#define CSENTREL_WIZARDS_PSPROFILE_H

#include "sheet.h"

class CEnvironment;
class CProfile;
class CSavePage;
class CWaitDialog;

class CPSProfile : public CAssistantSheet {
  Q_OBJECT
 public:
  enum EPage { StartPage, CompilerPage, PreprocessorPage, AnalyzerPage, IgnorePage, MakePage, SavePage };
  enum EMode { Create, Modify };

  CPSProfile(QWidget *parent, CPrompter &prompter, const CRunModal &run, CProfile &profile,
             CEnvironment &env, EMode mode);

  CProfile &Profile() const { return profile_; }
  CEnvironment &Environment() const { return env_; }
  EMode Mode() const { return mode_; }
  CSavePage *Save() const;

  /* Called with the "Analyzer setup" progress dialog once it is shown. */
  std::function<void(CWaitDialog &)> onWaiting;

 private:
  CProfile &profile_;
  CEnvironment &env_;
  EMode mode_;
};

#endif
