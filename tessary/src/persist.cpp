/*
 * persist.cpp - loading and saving of file-backed objects, companion file
 * names, the modified flag and its observers.
 */
#include "tessary_persist.h"

#include <algorithm>

CPathName CPersistFileObject::GetFullPath() const {
  if (file_.IsEmpty()) return CPathName();
  return prefix_ + file_;
}

std::string CPersistFileObject::GetLongPath() const {
  CPathName p = GetFullPath();
  p.MakeLong();
  return p.Str();
}

void CPersistFileObject::OnSaveFailed() { CZKException::Throw(34008, GetLongPath()); }

/* Files are opened by their canonical path: ".." is resolved in the text,
 * as the paths the library stores are meant. */
static std::string OpenPath(const CPathName &full) {
  CPathName p = full;
  p.Canonicalize();
  return p.Str();
}

/* A SaveFile that fails or throws (a companion it saves on the way cannot
 * be written) leaves the old file as it was. */
bool CPersistFileObject::Save() {
  CTextIO io;
  std::unique_ptr<CTextOutput> out = io.StartTextOutput(OpenPath(GetFullPath()));
  if (!out) CZKException::Throw(34001, GetLongPath());
  bool ok = false;
  try {
    ok = SaveFile(out.get());
  } catch (...) {
    io.Discard();
    throw;
  }
  out.reset();
  if (ok)
    ok = io.Close();
  else
    io.Discard();
  if (!ok) OnSaveFailed();
  return ok;
}

bool CPersistFileObject::Load() {
  CPathName full = OpenPath(GetFullPath());
  if (!full.Exists()) CZKException::Throw(34007, GetLongPath());
  CTextIO io;
  std::unique_ptr<CTextInput> in = io.StartTextInput(full.Str());
  if (!in) CZKException::Throw(34001, GetLongPath());
  return LoadFile(in.get());
}

void CPersistFileObject::ResetToStateOf(const CPersistFileObject *other) {
  if (!other) return;
  file_ = other->file_;
  prefix_ = other->prefix_;
}

CPathName CPersistFileObjectNoFileIfEmpty::GetNewPathName() {
  return GetTempFilePath(ownerDir_.IsEmpty() ? "./" : ownerDir_.Str().c_str(), ownerBase_.c_str(),
                         GetCompanionExtension());
}

void CPersistFileObjectNoFileIfEmpty::ProcessPathName() {
  if (owner_) {
    CPathName ownerPath = owner_->GetFullPath();
    ownerDir_ = ownerPath.GetDirectory();
    ownerBase_ = ownerPath.GetFileNameNoExtension();
  }
  bool hasFile = !GetFullPath().IsEmpty();
  if (!hasFile && !IsEmpty()) {
    SetFilePath(GetNewPathName());
    SetPrefixPath(CPathName());
  } else if (hasFile && IsEmpty()) {
    GetFullPath().Delete();
    SetFilePath(CPathName());
    SetPrefixPath(CPathName());
  }
}

void CModifiedState::SetModifiedState(bool modified) {
  if (modified == modified_) return;
  modified_ = modified;
  SendNotify(modified);
}

void CModifiedState::SendNotify(bool modified) {
  /* A copy: an observer may unadvise itself while being told. */
  std::vector<CNotifiedByState *> observers = observers_;
  for (CNotifiedByState *o : observers) o->OnModifiedState(this, modified);
}

void CModifiedState::ModifiedStateAdvise(CNotifiedByState *observer) {
  if (!observer) return;
  if (std::find(observers_.begin(), observers_.end(), observer) != observers_.end()) return;
  observers_.push_back(observer);
}

void CModifiedState::ModifiedStateUnadvise(CNotifiedByState *observer) {
  observers_.erase(std::remove(observers_.begin(), observers_.end(), observer), observers_.end());
}

void CModifiedState::ResetToStateOf(const CModifiedState *other) {
  if (!other || other == this) return;
  SetModifiedState(other->IsModified());
  observers_ = other->observers_;
}

void CObjectWithDefaultState::ResetToStateOf(const CObjectWithDefaultState *other) {
  if (!other) return;
  CModifiedState::ResetToStateOf(other);
  name_ = other->name_;
}
