/*
 * capture_list.cpp - the list of compiled files beside an application.
 */
#include "capture_list.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

#include "tessary_app.h"

CPathName GetCaptureListPath(const CPathName &appPath) { return CPathName(appPath.Str() + ".captured"); }

bool StartCaptureList(const CPathName &appPath, std::string *error) {
  std::string path = GetCaptureListPath(appPath).Str();
  int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0644);
  if (fd < 0) {
    if (error) *error = path + ": " + std::strerror(errno);
    return false;
  }
  ::close(fd);
  return true;
}

bool AppendToCaptureList(const CPathName &appPath, const std::vector<CPathName> &paths) {
  std::string path = GetCaptureListPath(appPath).Str();
  int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC | O_NOFOLLOW);
  if (fd < 0) return errno == ENOENT;
  std::string text;
  for (const CPathName &p : paths) text += p.Str() + "\n";
  /* One write: appends of parallel writers never interleave. */
  bool ok = ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
  return ::close(fd) == 0 && ok;
}

std::vector<CPathName> ReadCaptureList(const CPathName &appPath) {
  std::vector<CPathName> out;
  CTextIO io;
  std::unique_ptr<CTextInput> in = io.StartTextInput(GetCaptureListPath(appPath).Str());
  if (!in) return out;
  std::string line;
  while (in->ReadLine(line))
    if (!line.empty()) out.emplace_back(line);
  return out;
}

int MarkCapturedEntries(CApplication &app, const std::vector<CPathName> &paths) {
  int marked = 0;
  for (const CPathName &p : paths) {
    CFileEntry *e = app.FindFileEntry(p);
    if (e && !e->IsReferenced()) {
      e->SetReferenced(true);
      ++marked;
    }
  }
  return marked;
}

void RemoveCaptureList(const CPathName &appPath) { ::unlink(GetCaptureListPath(appPath).Str().c_str()); }
