/*
 * console.h - reading what the checker printed during a run: its progress
 * lines (KVX_PROGRESS), which tell which source or rule each message
 * belongs to, and its diagnostics.
 */
#ifndef KVX_CHECK_CONSOLE_H
#define KVX_CHECK_CONSOLE_H

#include <string>
#include <vector>

struct ConsoleState {
  int sourcesDone = 0;
  int ruleLinesDone = 0;
  bool inSource = false;
  std::string current;        /* the source being analysed */
  int errorsAtBegin = 0;      /* the checker's error count when it began */
  int lastErrors = 0;
  std::vector<std::string> pending;  /* messages since the last progress line */

  struct Failure {
    std::string subject;
    std::vector<std::string> messages;
    bool isRule = false;
  };
  std::vector<Failure> failures;
  /* Messages outside any source or rule that count as errors. */
  std::vector<std::string> otherErrors;
};

/* Reads one line of console output into the state. */
void ReadConsoleLine(ConsoleState &state, const std::string &line);
/* After the checker ended: a source it was still analysing failed (a fatal
 * error ends the run), error messages left over are kept. */
void FinishConsole(ConsoleState &state, int status);

#endif
