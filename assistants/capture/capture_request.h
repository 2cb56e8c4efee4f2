/*
 * capture_request.h - what one call of the capture program was asked to do,
 * read from its argument vector: the application file, the user's compiler
 * or make, the C sources of the command with the macros and include
 * directories they are compiled with, and the arguments handed on to the
 * user's command.
 *
 * The words are read as a compiler reads them: -DNAME, -DNAME=value,
 * -D NAME, -UNAME, -Idir and -I dir (the "/" forms too, unless the word is
 * an absolute path of this machine).  A word @file names a response file:
 * its words (quoted as for the shell) are read as well, and @file itself is
 * handed on so that the user's compiler reads it as it always does.
 */
#ifndef KVX_CAPTURE_REQUEST_H
#define KVX_CAPTURE_REQUEST_H

#include <string>
#include <vector>

#include "tessary_text.h"

struct SCaptureRequest {
  CPathName appPath;                     /* full; empty when not given */
  std::string command;                   /* the user's compiler or make */
  bool isCompiler = false;               /* /cc= (true) or /mk= (false) */
  std::vector<CPathName> sources;        /* full, canonical, unique, in order */
  std::vector<std::string> defines;      /* "NAME" or "NAME=value", -U applied */
  std::vector<std::string> includes;     /* full, canonical, unique, in order */
  std::vector<std::string> passThrough;  /* the user's command's arguments */

  /* Both the application and the user's command are named. */
  bool IsValid() const { return !appPath.IsEmpty() && !command.empty(); }
};

/* Reads args (the words after the program name).  Relative paths are taken
 * from dir, the directory the command runs in. */
SCaptureRequest ReadCaptureRequest(const std::vector<std::string> &args, const CPathName &dir);

/* True for a source file name: ".c" or ".C" after a character that may
 * end a C identifier.  "x.cpp" and ".c" are not. */
bool IsCaptureSourceName(const std::string &word);

#endif
