/*
 * capture_lock.h - the exclusive lock that every writer of an application
 * file takes around loading, changing and saving it, so that the capture
 * programs that a parallel build starts never lose each other's entries.
 *
 * The lock is a lock file beside the application ("x.app.lock"), locked
 * with flock(); it is removed again when the lock is released.  A waiting
 * process that finds the file it locked already removed starts over with a
 * new one, so removal never lets two holders in at once.
 */
#ifndef KVX_CAPTURE_LOCK_H
#define KVX_CAPTURE_LOCK_H

#include <string>

#include "tessary_text.h"

class CApplicationLock {
 public:
  explicit CApplicationLock(const CPathName &appPath);
  CApplicationLock(const CApplicationLock &) = delete;
  CApplicationLock &operator=(const CApplicationLock &) = delete;
  ~CApplicationLock();

  /* Waits until the lock is held; false (with GetError()) when the lock
   * file cannot be created or locked. */
  bool Lock();
  void Unlock();
  bool IsLocked() const { return fd_ >= 0; }
  const std::string &GetError() const { return error_; }
  const std::string &GetLockPath() const { return lockPath_; }

 private:
  std::string lockPath_;
  std::string error_;
  int fd_ = -1;
};

#endif
