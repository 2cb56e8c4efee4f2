/*
 * ignore.h - the ignore table: token sequences the front end drops or
 * replaces.
 *
 * An ignore file holds one pattern per line:
 *
 *     [C:] first-word further-words... --> replacement-words...
 *
 * Each line becomes one pattern of the front end's ignore table: its first
 * word keys the entry, the further words extend the entry's word tree, and
 * the words after "-->" are the replacement ("$" a line break; none: the
 * matched tokens are dropped).
 */
#ifndef KVX_DRIVER_IGNORE_H
#define KVX_DRIVER_IGNORE_H

#include "frontend/ignore_table.h"

#include <string_view>

namespace kvx {

class Diagnostics;

/* The table itself is the front end's: the lexer matches tokens against it. */
using IgnoreTable = fe::IgnoreTable;

/* Reads an ignore file into the table.  A file that cannot be opened gives
 * a warning; a syntax error stops the reading with a warning and keeps the
 * entries read so far.  Returns false in both cases. */
bool read_ignore_file(Diagnostics &diag, IgnoreTable &table, std::string_view name);

}  // namespace kvx

#endif
