/*
 * makefile_vars.h - the variables a makefile defines, as the makefile
 * import assistant offers them for redirection: each with the kind the
 * profile gives its name (compile, make, or other).
 *
 * Definitions are read as make reads them: "=", ":=", "::=", "?=" and "+="
 * (which appends), with "export" or "override" before the name, comments
 * removed, and backslash-continued lines joined.  Recipe lines, shell
 * assignments ("!="), target-specific variables and define blocks are not
 * definitions to offer.  A later definition of a name replaces the earlier
 * one in its place.  A makefile that calls $(MAKE) without defining it gets
 * MAKE with the profile's make command as its value, as make defines it.
 */
#ifndef KVX_MAKEFILE_VARS_H
#define KVX_MAKEFILE_VARS_H

#include <string>
#include <vector>

#include "tessary_profile.h"

/* Kind of the variables that are neither compile nor make variables. */
inline constexpr int kOtherVariable = 2;

/* The variables of the makefile text; profileVars give the kinds. */
std::vector<MakVar> ReadMakefileVariables(const std::string &text, const std::vector<MakVar> &profileVars,
                                          const std::string &makeCommand);

/* The same from a file; none when it cannot be read. */
std::vector<MakVar> ReadMakefileVariablesFrom(const CPathName &makefile, const std::vector<MakVar> &profileVars,
                                              const std::string &makeCommand);

/* The variables a profile keeps: those of kind 0 and 1, in order. */
std::vector<MakVar> ProfileVariablesOf(const std::vector<MakVar> &vars);

#endif
