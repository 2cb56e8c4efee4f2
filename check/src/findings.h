/*
 * findings.h - from the checker's records to the findings a user sees:
 * only files of the project, each finding once, in file and line order,
 * with its source line; suppressions (comments in the source and
 * suppression files), excluded paths and the baseline.
 */
#ifndef KVX_CHECK_FINDINGS_H
#define KVX_CHECK_FINDINGS_H

#include <string>
#include <vector>

#include "check.h"
#include "tessary_checkrun.h"

/* Raised for a suppression or baseline file that cannot be read. */
struct FileError {
  std::string message;
};

/* Whether the glob matches a path relative to the root (or one of its
 * directories). */
bool MatchesGlob(const std::string &glob, const std::string &relPath);
/* True for a path an --exclude glob matches. */
bool IsExcluded(const CheckContext &ctx, const std::string &path);
/* True for a file the project owns: below the root, not in a system
 * directory, not excluded. */
bool InProject(const CheckContext &ctx, const std::string &path);

/* Builds ctx.findings from records: filtered, each once, sorted, with
 * source lines, suppressions and baseline marks. */
void CollectFindings(CheckContext &ctx, const std::vector<SViolation> &records);

/* One fingerprint per finding, stable while the finding's file, rule,
 * message and source line stay: moving lines keeps it, the n-th identical
 * finding of a file gets its own. */
std::vector<std::string> Fingerprints(const std::vector<Finding> &findings);

/* Inline suppression: the keys a "kvx-allow" comment of this line names,
 * with its reason; false when the line has none. */
bool ParseAllowComment(const std::string &line, std::vector<std::string> &keys, std::string &reason);

/* Reads the suppression files and the baseline the options name, so that
 * a wrong one stops kvx_check before the run.  Throws FileError. */
void CheckInputFiles(const Options &opts);

/* Baselines: JSON files of findings (file, rule, message, source line). */
void WriteBaseline(const CheckContext &ctx, const std::string &path);

/* A path as the user reads it: relative to the current directory when
 * below it, else full. */
std::string DisplayPath(const CheckContext &ctx, const std::string &path);

#endif
