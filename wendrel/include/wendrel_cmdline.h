/*
 * wendrel_cmdline.h - command lines as one string, and back.
 *
 * The windowed programs build a command line as a single string and the
 * runner (wendrel_run.h) turns it into the argument vector of the child with
 * SplitCmdLine.  The rule is the one the system's own programs apply to
 * their command line:
 *
 *   - blanks and tabs separate words; any other character, a newline
 *     included, belongs to the word it is in;
 *   - a double quote starts or ends a quoted part, in which blanks and tabs
 *     are ordinary characters; the quote itself is removed;
 *   - 2n backslashes followed by a double quote give n backslashes and the
 *     quote then acts as above; 2n+1 backslashes followed by a double quote
 *     give n backslashes and a literal quote;
 *   - any other backslash is literal.
 *
 * QuoteCmdArg is the inverse for one word: whatever the text holds,
 * SplitCmdLine(QuoteCmdArg(text)) gives back exactly {text}.  Put every path
 * and every piece of user text into a command line through it.  Nothing is
 * ever interpreted by a shell, so $, backquotes, ; | * and the like need no
 * treatment and reach the child as written.
 */
#ifndef WENDREL_CMDLINE_H
#define WENDREL_CMDLINE_H

#include <string>
#include <string_view>
#include <vector>

/* The words of a command line (none for an empty or blank line). */
std::vector<std::string> SplitCmdLine(std::string_view cmdLine);

/* One word quoted so that SplitCmdLine gives it back unchanged: returned as
 * it is when it is not empty and holds no blank, tab or double quote,
 * otherwise enclosed in double quotes with backslashes and quotes escaped. */
std::string QuoteCmdArg(std::string_view arg);

/* The words quoted with QuoteCmdArg and joined by single blanks. */
std::string JoinCmdLine(const std::vector<std::string> &args);

#endif
