/*
 * capture_command.h - the command lines of a capture build: the user's make
 * with every compile and make variable redirected to the capture program.
 *
 * A redirection is the make argument NAME="teskel /app=x.app /cc=value"
 * (/mk= for a make variable).  make hands the value to the shell in its
 * recipes, so the capture program's path and the application's path are
 * quoted for the shell and their '$' doubled for make; the whole argument
 * is quoted for the command runner, so paths with blanks survive both.
 */
#ifndef KVX_CAPTURE_COMMAND_H
#define KVX_CAPTURE_COMMAND_H

#include <string>
#include <vector>

#include "tessary_profile.h"

/* The capture program named by the analyzer path of the settings: the path
 * itself when it names a file, else "teskel" in that directory. */
CPathName GetCaptureProgramPath(const CPathName &analyzerPath);

/* text as one word for the shell make runs its recipes with, '$' doubled
 * for make. */
std::string QuoteForMake(const std::string &text);

/* The redirection of one compile (kind 0) or make (kind 1) variable. */
std::string MakeRedirection(const MakVar &var, const CPathName &program, const CPathName &app);

/* " " and the redirection of every variable of kind 0 or 1, in order;
 * other kinds are not passed. */
std::string MakeRedirections(const std::vector<MakVar> &vars, const CPathName &program,
                             const CPathName &app);

/* Option text that the user typed as a list of words ("-B", "-k -B"),
 * rewritten with balanced quotes. */
std::string OptionWords(const std::string &text);

/* The capture command of the makefile import: the make command, the
 * makefile-name option and the makefile, the target option and the target,
 * the build-all option, then the redirections.  Empty when the make command
 * or the capture program is missing. */
std::string MakeCaptureCommand(const CMakeCommand &make, const CPathName &makefile,
                               const std::string &target, const std::vector<MakVar> &vars,
                               const CPathName &program, const CPathName &app);

#endif
