/*
 * capture_lock.cpp - the lock file beside an application file.
 */
#include "capture_lock.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

CApplicationLock::CApplicationLock(const CPathName &appPath) : lockPath_(appPath.Str() + ".lock") {}

CApplicationLock::~CApplicationLock() { Unlock(); }

bool CApplicationLock::Lock() {
  if (fd_ >= 0) return true;
  error_.clear();
  for (;;) {
    int fd = ::open(lockPath_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) {
      error_ = lockPath_ + ": " + std::strerror(errno);
      return false;
    }
    int rc;
    do {
      rc = ::flock(fd, LOCK_EX);
    } while (rc != 0 && errno == EINTR);
    if (rc != 0) {
      error_ = lockPath_ + ": " + std::strerror(errno);
      ::close(fd);
      return false;
    }
    /* The holder before us may have removed the file while we waited: the
     * lock counts only on the file that still bears the name. */
    struct stat held, named;
    if (::fstat(fd, &held) == 0 && ::stat(lockPath_.c_str(), &named) == 0 &&
        held.st_dev == named.st_dev && held.st_ino == named.st_ino) {
      fd_ = fd;
      return true;
    }
    ::close(fd);
  }
}

void CApplicationLock::Unlock() {
  if (fd_ < 0) return;
  ::unlink(lockPath_.c_str());
  ::close(fd_);
  fd_ = -1;
}
