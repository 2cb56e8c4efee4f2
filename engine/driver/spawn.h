/*
 * spawn.h - running a child program from an argument vector.
 *
 * No shell is involved, so file names with blanks or shell characters are
 * passed on as they are.
 */
#ifndef KVX_DRIVER_SPAWN_H
#define KVX_DRIVER_SPAWN_H

#include <string>
#include <vector>

namespace kvx {

/* Runs argv[0] (looked up in PATH when it has no '/') with the arguments
 * and waits for it.  Returns its exit status (128 + the signal number when
 * it was killed), or -1 with errno set when it could not be started. */
int run_program(const std::vector<std::string> &argv);

}  // namespace kvx

#endif
