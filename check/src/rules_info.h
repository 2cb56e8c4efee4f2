/*
 * rules_info.h - the rules as users read about them: the list of installed
 * rules and the explanation of one.
 */
#ifndef KVX_CHECK_RULES_INFO_H
#define KVX_CHECK_RULES_INFO_H

#include <string>
#include <vector>

#include "check.h"

/* One line per rule: key, title, reference. */
std::string ListRules(const std::vector<RuleInfo> &rules);
/* The rule of that key (any letter case), or null. */
const RuleInfo *FindRuleInfo(const std::vector<RuleInfo> &rules, const std::string &key);
/* Title, description, reference, what is reported, parameters with their
 * defaults and the values of the named rule set. */
std::string ExplainRule(const RuleInfo &rule, const std::string &ruleSetName);

#endif
