/*
 * run.h - carrying out the check: the run prepared by the configuration
 * library, the checker started on it, its progress shown, the sources it
 * could not analyse left out of a run again, and its report read.
 */
#ifndef KVX_CHECK_RUN_H
#define KVX_CHECK_RUN_H

#include <vector>

#include "check.h"
#include "project.h"
#include "tessary_checkrun.h"

/* Runs the checker until every source that can be analysed has been and
 * the rules have run on them; fills ctx.errors and gives the report's
 * records.  False when the checker could not be run at all (the reason is
 * in ctx.errors). */
bool RunCheck(Project &p, CheckContext &ctx, std::vector<SViolation> &records);

#endif
