/*
 * project.h - what is checked: the installation's environment, the
 * application built from the command line's input (an application file, a
 * compilation database or sources), its profile and rule set, the
 * project's root and the rules' descriptions.
 */
#ifndef KVX_CHECK_PROJECT_H
#define KVX_CHECK_PROJECT_H

#include <memory>
#include <string>

#include "check.h"
#include "tessary_app.h"
#include "tessary_env.h"

/* Raised for wrong input: the message is printed, the status is 2. */
struct InputError {
  std::string message;
};

struct Project {
  CEnvironment env;
  std::unique_ptr<CApplication> owned;  /* built from a database or sources */
  CApplication *app = nullptr;
  CRuleSet *ruleSet = nullptr;
};

/* The environment of the installation around the running program. */
void StartEnvironment(Project &p);
/* A profile or rule set named by the user: a file, or a name the
 * installation's or the user's lists know (NAME=, file name without
 * extension, or for a profile its dialect).  Throws InputError. */
CProfile *FindProfile(Project &p, const std::string &spec);
CRuleSet *FindRuleSet(Project &p, const std::string &spec);
/* The rule set used when none is given: the installation's "Default", else
 * the first of the installation's list. */
CRuleSet *DefaultRuleSet(Project &p);
/* Builds the application of the command line's input and chooses its
 * profile and rule set; fills ctx.sources, root and system directories.
 * Throws InputError. */
void LoadProject(Project &p, CheckContext &ctx);
/* The descriptions of the rule set's selected rules (or of every rule of
 * the catalogue), with the set's parameter values. */
std::vector<RuleInfo> DescribeRules(const Project &p, const CRuleSet *set, bool wholeCatalogue);
/* The full, canonical form of a path given on the command line. */
std::string FullPathOf(const std::string &path, const std::string &cwd);

#endif
