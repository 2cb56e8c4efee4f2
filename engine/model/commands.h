/*
 * commands.h - the rule scripting commands that read the program model.
 *
 * register_model_commands() adds InternalError, Violation, Name, Object,
 * MapRole, GetRole, Class, Get, RolesOf, AttributesOf, Classes and
 * Spelling (the text a constant or a built-in type was written as),
 * Targets and MacroOrigin (the macro an object's construct comes from) to an
 * interpreter, each under its capitalised and its all-lower-case name.
 * The model and the sink must outlive the interpreter (or its commands);
 * the commands' own state is freed with the interpreter.
 */
#ifndef KVX_MODEL_COMMANDS_H
#define KVX_MODEL_COMMANDS_H

#include <tcl.h>

#include <cstdio>

#include "model/model.h"
#include "model/violation.h"

namespace kvx {

/* err: where InternalError prints its message (standard error). */
void register_model_commands(Tcl_Interp *interp, Model &model, ViolationSink &sink,
                             FILE *err = stderr);

}  // namespace kvx

#endif
