/*
 * tessary_persist.h - the bases of every configuration object: an object
 * tied to one text file, a companion that has a file only while it has
 * content, the modified flag with its observers, and the named object that
 * can fall back to the state of a default object.
 */
#ifndef TESSARY_PERSIST_H
#define TESSARY_PERSIST_H

#include <string>
#include <vector>

#include "tessary_errors.h"
#include "tessary_text.h"

class CPersistFileObject {
 public:
  virtual ~CPersistFileObject() = default;
  /* Writes the full path (beside it, then renamed over it); throws 34001
   * when it cannot be opened and 34008 when writing fails. */
  virtual bool Save();
  /* Throws 34007 for a missing file and 34001 for one that cannot be
   * opened; whatever LoadFile throws passes through. */
  virtual bool Load();
  virtual bool LoadFile(CTextInput *input) = 0;
  virtual bool SaveFile(CTextOutput *output) const = 0;
  virtual void OnSaveFailed();

  const CPathName &GetFilePath() const { return file_; }
  void SetFilePath(const CPathName &path) { file_ = path; }
  const CPathName &GetPrefixPath() const { return prefix_; }
  void SetPrefixPath(const CPathName &path) { prefix_ = path; }
  /* Prefix joined with the file path; empty while the file path is empty. */
  CPathName GetFullPath() const;
  /* The full path in long form, as messages show it. */
  std::string GetLongPath() const;
  bool operator==(const CPersistFileObject &o) const { return GetFullPath() == o.GetFullPath(); }
  void ResetToStateOf(const CPersistFileObject *other);

 private:
  CPathName file_;
  CPathName prefix_;
};

/* A companion file (definitions, ignore clauses, macro names) that sits
 * beside its owner's file and exists only while it has content. */
class CPersistFileObjectNoFileIfEmpty : public CPersistFileObject {
 public:
  virtual bool IsEmpty() const = 0;
  virtual CPathName GetNewPathName();
  /* Extension of the companion's files ("def", "mac", "ign"). */
  virtual const char *GetCompanionExtension() const = 0;

  void SetOwner(const CPersistFileObject *owner) { owner_ = owner; }
  const CPersistFileObject *GetOwner() const { return owner_; }
  /* Brings the file in step before the owner writes its reference: a new
   * name for a companion that gained content, no file for an empty one. */
  void ProcessPathName();

 private:
  const CPersistFileObject *owner_ = nullptr;
  CPathName ownerDir_;
  std::string ownerBase_;
};

class CModifiedState;

class CNotifiedByState {
 public:
  virtual ~CNotifiedByState() = default;
  virtual void OnModifiedState(CModifiedState *source, bool modified) = 0;
};

class CModifiedState {
 public:
  CModifiedState() = default;
  CModifiedState(const CModifiedState &) = default;
  CModifiedState &operator=(const CModifiedState &) = default;
  virtual ~CModifiedState() = default;
  virtual bool IsModified() const { return modified_; }
  virtual void SetModifiedState(bool modified);
  virtual void ModifiedStateAdvise(CNotifiedByState *observer);
  virtual void ModifiedStateUnadvise(CNotifiedByState *observer);

  void SendNotify(bool modified);
  void ResetToStateOf(const CModifiedState *other);
  bool operator==(const CModifiedState &o) const { return modified_ == o.modified_; }
  const std::vector<CNotifiedByState *> &GetObservers() const { return observers_; }

 private:
  bool modified_ = false;
  std::vector<CNotifiedByState *> observers_;
};

class CObjectWithDefaultState : public CModifiedState {
 public:
  virtual void ResetToDefaultState() {}
  virtual void SetAsDefaultState() {}
  const std::string &GetName() const { return name_; }
  void SetName(const std::string &name) { name_ = name; }
  void ResetToStateOf(const CObjectWithDefaultState *other);
  bool operator==(const CObjectWithDefaultState &o) const {
    return CModifiedState::operator==(o) && name_ == o.name_;
  }

 private:
  std::string name_;
};

/* A settings category as the workbench lists it. */
class CCategory : public CObjectWithDefaultState {
 public:
  virtual std::string GetOptionsText() const { return std::string(); }
  virtual std::string GetDisplayText() const { return std::string(); }
};

#endif
