/*
 * paths.h - where the engine finds its installation files.
 *
 * The program directory is the directory of the running executable; shipped
 * option files and the procedures file are looked for in "<dir>/../util/",
 * rule files in "<dir>/".
 */
#ifndef KVX_DRIVER_PATHS_H
#define KVX_DRIVER_PATHS_H

#include <string>
#include <string_view>

namespace kvx {

/* Directory of the running executable (from /proc/self/exe), without a
 * trailing '/'; "." when it cannot be read. */
const std::string &program_dir();

/* Base name of the running executable cut at its first '.'. */
std::string program_base_name();

/* True when the file can be opened for reading (and is not a directory). */
bool is_readable_file(const std::string &path);

/* "<program dir>/../util/<name>" when readable, else empty. */
std::string find_in_util(std::string_view name);

/* "<program dir>/<name>" when readable, else empty. */
std::string find_beside_program(std::string_view name);

}  // namespace kvx

#endif
