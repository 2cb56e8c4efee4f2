/*
 * capture_program.h - the start shared by the two capture programs: error
 * log, the installation's settings found from the program's own directory,
 * the rule catalogue when asked for, and the description library.
 */
#ifndef KVX_CAPTURE_PROGRAM_H
#define KVX_CAPTURE_PROGRAM_H

#include <functional>
#include <string>

#include "tessary_env.h"

/* Installs log as TheErrorLog and env as TheEnvironment, then starts.
 * Profiles keep the dialect they name (no dialect list is consulted).
 * Without the catalogue an application's rule set cannot be loaded; the
 * application still keeps its reference.  False when the settings cannot
 * be read: fatal has then been given the message. */
bool StartCaptureProgram(CEnvironment &env, CErrorLog &log, bool loadCatalogue,
                         const std::function<void(const std::string &)> &fatal);

/* The process's current directory, with a trailing separator. */
CPathName GetCurrentDirectory();

/* True when a window can be shown: a display is named and Qt is not told
 * to draw off screen. */
bool HasDisplay();

#endif
