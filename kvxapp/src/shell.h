/*
 * shell.h - running commands through the system command interpreter
 * (/bin/sh -c), quoting the names and values put into them, and the
 * private temporary files of a run.
 */
#ifndef KVXAPP_SHELL_H
#define KVXAPP_SHELL_H

#include <string>

namespace kvxapp::shell {

/* text as one word of the shell: in single quotes, an embedded single
 * quote written '\''.  Nothing in it is interpreted. */
std::string quote(const std::string &text);
/* text unchanged when the shell would read it as one plain word, else
 * quoted. */
std::string quote_if_needed(const std::string &text);
/* Each word of text (split at blanks and tabs) quoted, joined by blanks. */
std::string quote_words(const char *text);

/* Runs command with /bin/sh -c, its output not captured.  Its exit status;
 * 128 + the signal when it was killed; -1 when no shell could be started. */
int run(const std::string &command);

/* A new empty file of mode 0600 in $TMPDIR (/tmp when unset), removed
 * when the object goes out of scope.  path() is "" when it could not be
 * made (reported). */
class TempFile {
 public:
  TempFile();
  ~TempFile();
  TempFile(const TempFile &) = delete;
  TempFile &operator=(const TempFile &) = delete;
  const std::string &path() const { return path_; }

 private:
  std::string path_;
};

}  // namespace kvxapp::shell

#endif
