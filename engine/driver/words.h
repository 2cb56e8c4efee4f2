/*
 * words.h - splitting a compile line, and the first word of a list line.
 *
 * Compile lines are split into words at blanks and newlines only (a tab is
 * part of a word).  A double quote switches quoting on: blanks inside quotes
 * do not separate, the quote characters are not part of the word and the
 * closing quote ends the word's text (what follows it up to the next
 * separator is dropped).  So  -DNAME="a b"  gives the word  -DNAME=a b  and
 * "my file.c"  gives  my file.c.  Empty words are dropped.
 *
 * A double quote that belongs to the word is written \" (inside quotes or
 * not), the rule of the command lines of Windows programs: backslashes are
 * themselves, except before a double quote, where each pair of them is one
 * backslash and an odd one left makes the quote part of the word.  So
 * -DSHELL="\"/bin/sh\""  and  -DSHELL=\"/bin/sh\"  both give the word
 * -DSHELL="/bin/sh"  as the compiler receives it.
 */
#ifndef KVX_DRIVER_WORDS_H
#define KVX_DRIVER_WORDS_H

#include <string>
#include <string_view>
#include <vector>

namespace kvx {

/* Appends the words of one compile line to out.  A line end ("\n" or
 * "\r\n") is not part of any word. */
void split_compile_line(std::string_view line, std::vector<std::string> &out);

/* The first word of a line, delimited by blanks, tabs and line ends; empty
 * when the line holds none. */
std::string_view first_word(std::string_view line);

/* The file name a rule-list line names: the first word, or, when the line's
 * first word begins with a double quote, the text up to the closing quote
 * (so that names with blanks can be listed).  The rest of the line is
 * ignored. */
std::string_view rule_list_name(std::string_view line);

}  // namespace kvx

#endif
