/*
 * write_file.cpp - writing a report or baseline beside its target and
 * renaming it into place.
 */
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

#include "output.h"

bool WriteFileAtomically(const std::string &path, const std::string &text, std::string &error) {
  std::string dir = ".";
  size_t slash = path.rfind('/');
  if (slash != std::string::npos) dir = slash == 0 ? "/" : path.substr(0, slash);
  std::string tmpl = dir + "/.kvx_check.XXXXXX";
  int fd = mkstemp(tmpl.data());
  if (fd < 0) {
    error = path + ": cannot be written: " + std::strerror(errno);
    return false;
  }
  size_t done = 0;
  while (done < text.size()) {
    ssize_t n = write(fd, text.data() + done, text.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      break;
    }
    done += static_cast<size_t>(n);
  }
  /* Keep the permissions a new file would get, or the old file's. */
  struct stat st;
  mode_t mask = umask(0);
  umask(mask);
  fchmod(fd, stat(path.c_str(), &st) == 0 ? (st.st_mode & 07777) : (0666 & ~mask));
  bool ok = done == text.size() && fsync(fd) == 0;
  ok = close(fd) == 0 && ok;
  if (!ok || std::rename(tmpl.c_str(), path.c_str()) != 0) {
    error = path + ": cannot be written: " + std::strerror(errno);
    unlink(tmpl.c_str());
    return false;
  }
  return true;
}
