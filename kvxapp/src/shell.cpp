/*
 * shell.cpp - commands run through /bin/sh -c, shell quoting, and the
 * temporary files of build runs and makefile reading.
 *
 * Every file name and user value that goes into a command is quoted, so a
 * name such as "a b", "$(id)" or "x;rm -rf y" reaches the program as that
 * name and is never read by the shell.
 */
#include "shell.h"

#include "internal.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <sys/wait.h>
#include <unistd.h>

namespace kvxapp::shell {

std::string quote(const std::string &text) {
  std::string out = "'";
  for (char c : text) {
    if (c == '\'')
      out += "'\\''";
    else
      out += c;
  }
  out += "'";
  return out;
}

/* Characters the shell takes as they are in a word. */
static bool plain(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
         strchr("_-+./,:=@%", c) != nullptr;
}

std::string quote_if_needed(const std::string &text) {
  if (text.empty()) return quote(text);
  for (char c : text)
    if (!plain(c)) return quote(text);
  return text;
}

std::string quote_words(const char *text) {
  std::string out;
  for_each_word(text, [&](const std::string &w) {
    if (!out.empty()) out += ' ';
    out += quote(w);
  });
  return out;
}

int run(const std::string &command) {
  fflush(nullptr); /* our output before the command's */
  int status = system(command.c_str());
  if (status == -1) return -1;
  if (WIFEXITED(status)) return WEXITSTATUS(status);
  if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
  return -1;
}

TempFile::TempFile() {
  const char *dir = getenv("TMPDIR");
  std::string tmpl = join(dir && *dir ? dir : "/tmp", "kvxapp.XXXXXX");
  std::vector<char> buf(tmpl.begin(), tmpl.end());
  buf.push_back('\0');
  int fd = mkstemp(buf.data());
  if (fd < 0) {
    report_system_error(REPORT_ERROR, tmpl.c_str(), errno);
    return;
  }
  close(fd);
  path_ = buf.data();
}

TempFile::~TempFile() {
  if (!path_.empty()) unlink(path_.c_str());
}

}  // namespace kvxapp::shell
