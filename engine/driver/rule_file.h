/*
 * rule_file.h - reading a rule file's key and code.
 *
 * A rule file is a header of dot-sections followed by the code:
 *   - a line beginning with ".KEY" sets the rule's key to the first word
 *     after those four characters (a later ".KEY" line replaces it, one with
 *     no word clears it);
 *   - a line beginning with ".CODE" ends the header; every line after it is
 *     the rule's Tcl code, taken verbatim;
 *   - every other header line (".NAME", ".TITLE", ".COMMENT", ...) is
 *     skipped.
 * Without a ".CODE" line the code is empty.
 */
#ifndef KVX_DRIVER_RULE_FILE_H
#define KVX_DRIVER_RULE_FILE_H

#include <cstdio>
#include <string>

namespace kvx {

struct RuleText {
  std::string key;      /* empty when the rule has no key */
  bool has_key = false;
  std::string code;     /* the lines after ".CODE" */
};

/* Reads the whole stream into rule; false on a read error. */
bool read_rule_file(FILE *f, RuleText &rule);

}  // namespace kvx

#endif
