/*
 * tempfiles.cpp - unique temporary names and the tracker that owns the
 * temporary files of one check run.  Files are created with O_EXCL, so a
 * name that someone planted in a shared directory is skipped, never opened.
 */
#include "tessary_text.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

CPathName GetSystemTempDir() {
  const char *t = std::getenv("TMPDIR");
  CPathName dir((t && *t) ? t : "/tmp");
  dir.AddEndingDirSeparator();
  return dir;
}

static bool NameTaken(const std::string &path) {
  struct stat st;
  return ::lstat(path.c_str(), &st) == 0;  /* a dangling link counts too */
}

CPathName GetTempFilePath(const char *dir, const char *name, const char *ext) {
  CPathName d = dir ? CPathName(dir) : GetSystemTempDir();
  if (dir && d.IsEmpty()) d = GetSystemTempDir();
  std::string base = name ? CPathName(name).GetFileNameNoExtension() : std::string();
  if (base.empty()) base = "f";
  std::string suffix = (ext && *ext) ? std::string(".") + ext : std::string();
  for (long n = 0; n < 100000; ++n) {
    std::string cand = base + (n ? std::to_string(n) : std::string()) + suffix;
    CPathName full = d + CPathName(cand);
    if (!NameTaken(full.Str())) return full;
  }
  return CPathName();
}

/* Creates path exclusively; when the name was taken meanwhile, moves on to
 * the next free candidate of the same directory, base and extension. */
static FILE *CreateExclusive(CPathName &path) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    if (path.IsEmpty()) return nullptr;
    int fd = ::open(path.Str().c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd >= 0) {
      FILE *f = ::fdopen(fd, "w+");
      if (!f) {
        ::close(fd);
        ::unlink(path.Str().c_str());
      }
      return f;
    }
    if (errno != EEXIST) return nullptr;
    std::string dir = path.GetDirectory().Str(), ext = path.GetExtension();
    std::string base = path.GetFileNameNoExtension();
    path = GetTempFilePath(dir.empty() ? "./" : dir.c_str(), base.c_str(), ext.c_str());
  }
  return nullptr;
}

CTrackTempFiles::CTrackTempFiles(CTrackTempFiles &&other) noexcept
    : entries_(std::move(other.entries_)) {
  other.entries_.clear();
}

CTrackTempFiles &CTrackTempFiles::operator=(CTrackTempFiles &&other) noexcept {
  if (this != &other) {
    ClearFiles();
    entries_ = std::move(other.entries_);
    other.entries_.clear();
  }
  return *this;
}

CTrackTempFiles::~CTrackTempFiles() { ClearFiles(); }

FILE *CTrackTempFiles::CreateTempFile(const char *dir, const char *name, const char *ext,
                                      CPathName *pathOut) {
  CPathName path = GetTempFilePath(dir, name, ext);
  if (path.IsEmpty()) return nullptr;
  FILE *f = CreateExclusive(path);
  if (!f) return nullptr;
  entries_.push_back({path, f});
  if (pathOut) *pathOut = path;
  return f;
}

CPathName CTrackTempFiles::CreateTempFilePath(const char *dir, const char *name, const char *ext) {
  CPathName path = GetTempFilePath(dir, name, ext);
  if (path.IsEmpty()) return path;
  FILE *f = CreateExclusive(path);
  if (!f) return CPathName();
  std::fclose(f);
  entries_.push_back({path, nullptr});
  return path;
}

FILE *CTrackTempFiles::AddFilePath(CPathName &path, bool open) {
  if (path.IsEmpty()) return nullptr;
  if (!open) {
    entries_.push_back({path, nullptr});
    return nullptr;
  }
  FILE *f = CreateExclusive(path);
  if (!f) return nullptr;
  entries_.push_back({path, f});
  return f;
}

CPathName CTrackTempFiles::CloseTempFile(FILE *stream) {
  if (!stream) return CPathName();
  for (auto &e : entries_) {
    if (e.stream == stream) {
      std::fclose(e.stream);
      e.stream = nullptr;
      return e.path;
    }
  }
  return CPathName();
}

void CTrackTempFiles::ClearFiles() {
  /* Closed first, then deleted newest first, so that a tracked directory
   * is removed after the files tracked inside it. */
  for (auto &e : entries_)
    if (e.stream) std::fclose(e.stream);
  for (auto it = entries_.rbegin(); it != entries_.rend(); ++it) it->path.Delete();
  entries_.clear();
}
