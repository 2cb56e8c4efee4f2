/*
 * tcl_report.cpp - the error report after a procedures file or a rule failed.
 */
#include "driver/tcl_report.h"

#include "driver/diag.h"

#include <tcl.h>

#include <string>

namespace kvx {

void report_tcl_error(Diagnostics &diag, Tcl_Interp *interp, std::string_view name,
                      std::string_view line_prefix) {
  diag.report_error("during tcl evaluation");
  std::string text;
  text.append("\"").append(name).append("\", line ").append(line_prefix);
  text.append(std::to_string(Tcl_GetErrorLine(interp))).append(": ");
  int len = 0;
  Tcl_GetStringFromObj(Tcl_GetObjResult(interp), &len);
  if (len == 0) text.append("(no tcl error message available)\n");
  const char *info = Tcl_GetVar2(interp, "errorInfo", nullptr, TCL_GLOBAL_ONLY);
  if (info)
    text.append(info).append("\n");
  else
    text.append("(no tcl stack trace available)\n");
  diag.write(text);
}

}  // namespace kvx
