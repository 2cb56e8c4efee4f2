/*
 * run.h - the run of the rule checker, from its command line to its exit
 * status.
 */
#ifndef KVX_DRIVER_RUN_H
#define KVX_DRIVER_RUN_H

namespace kvx {

class Engine;

/* Runs the checker with its command line:
 *     kvx_zkck_cc -v
 *     kvx_zkck_cc file_of_C file_of_rules [report_file]
 * Returns the exit status: 0 when no error was counted, 1 after errors (or
 * for -v and a wrong command line); fatal diagnostics end the process with
 * status 2 through the engine's exit handler. */
int run_checker(int argc, char **argv, Engine &e);

}  // namespace kvx

#endif
