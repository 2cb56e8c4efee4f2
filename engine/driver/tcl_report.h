/*
 * tcl_report.h - reporting a failed Tcl evaluation.
 *
 * The report is an error diagnostic "during tcl evaluation", then the
 * header
 *     "<name>", line <prefix><n>:
 * with the script's name and the interpreter's error line (the prefix is
 * ".CODE + " for rule code, whose lines count from the ".CODE" line), then
 * the interpreter's stack trace (errorInfo).
 */
#ifndef KVX_DRIVER_TCL_REPORT_H
#define KVX_DRIVER_TCL_REPORT_H

#include <string_view>

struct Tcl_Interp;

namespace kvx {

class Diagnostics;

void report_tcl_error(Diagnostics &diag, Tcl_Interp *interp, std::string_view name,
                      std::string_view line_prefix);

}  // namespace kvx

#endif
