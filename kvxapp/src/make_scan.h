/*
 * make_scan.h - reading the commands that make_reader prints (the commands
 * a user's make would run) into an application record.
 */
#ifndef KVXAPP_MAKE_SCAN_H
#define KVXAPP_MAKE_SCAN_H

#include "internal.h"

#include <set>
#include <string>
#include <vector>

namespace kvxapp::scan {

/* One word of a shell command: as written, and as the program would get it
 * (quotes and escapes removed).  plain is false when the word holds an
 * expansion or a command substitution, whose value is unknown. */
struct Word {
  std::string raw, value;
  bool plain = true;
};

/* The words of one simple command; redirections and comments left out. */
using Command = std::vector<Word>;

/* The simple commands of one command line, split at ";", "&", "&&",
 * "|", "||" and parentheses. */
std::vector<Command> split_commands(const std::string &line);

/* Longest command line read, continuation lines joined. */
const int LINE_LIMIT = 512;

/* The state of one reading. */
struct Scan {
  KvxApplication *app = nullptr;
  std::string subject;          /* names the reading in messages */
  std::string dir;              /* where the current command runs */
  bool directory_mode = false;  /* directories changed: files keep theirs */
  bool language_set = false;    /* the first source file fixed the language */
  std::set<std::string> warned; /* each warning is given once */
};

/* Reads text, one command line after another, into scan.app. */
void read_text(Scan &scan, const std::string &text);

}  // namespace kvxapp::scan

#endif
