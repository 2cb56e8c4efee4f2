/*
 * engine.cpp - creating and tearing down a run's context.
 */
#include "driver/engine.h"

#include "driver/paths.h"

#include <mutex>
#include <tcl.h>

namespace kvx {

/* Tcl's own exit would end the process in the middle of the rule phase:
 * the report file would stay unclosed and no summary would give the exit
 * status.  In the checker's interpreter "exit" is an error of the script
 * that calls it, reported like every other one, and the run goes on. */
static int rule_exit_command(ClientData, Tcl_Interp *interp, int, Tcl_Obj *const[]) {
  Tcl_SetObjResult(interp, Tcl_NewStringObj("exit is not available to rules: the run goes on with the next rule", -1));
  return TCL_ERROR;
}

Engine::Engine(FILE *err, FILE *out_stream)
    : diag(err), module_name(program_base_name()), program_dir(kvx::program_dir()), out(out_stream) {
  /* Whatever ends the run, what was printed so far reaches its file. */
  diag.add_cleanup([this] { flush_output(); });
}

void Engine::flush_output() {
  if (interp) {
    if (Tcl_Channel ch = Tcl_GetStdChannel(TCL_STDOUT)) Tcl_Flush(ch);
    if (Tcl_Channel ch = Tcl_GetStdChannel(TCL_STDERR)) Tcl_Flush(ch);
  }
  fflush(out);
}

void Engine::note_progress(const char *what, std::string_view name) {
  if (!progress) return;
  flush_output();
  fprintf(out, "kvx_progress: %s %d %.*s\n", what, diag.error_count(), (int)name.size(), name.data());
  fflush(out);
}

Engine::~Engine() {
  delete_interp();
  close_report();
}

std::string Engine::find_in_util(std::string_view name) const {
  std::string p = program_dir + "/../util/" + std::string(name);
  return is_readable_file(p) ? p : std::string();
}

std::string Engine::find_beside_program(std::string_view name) const {
  std::string p = program_dir + "/" + std::string(name);
  return is_readable_file(p) ? p : std::string();
}

void Engine::create_interp() {
  /* Tcl's process-wide start-up (encodings, library path) runs once. */
  static std::once_flag tcl_started;
  std::call_once(tcl_started, [] { Tcl_FindExecutable(nullptr); });
  delete_interp();
  interp = Tcl_CreateInterp();
  /* The standard library scripts (unknown, clock, ...) are loaded when the
   * installation has them; a bare interpreter still runs plain rules. */
  if (Tcl_Init(interp) != TCL_OK) Tcl_ResetResult(interp);
  Tcl_CreateObjCommand(interp, "exit", rule_exit_command, nullptr, nullptr);
}

void Engine::delete_interp() {
  if (!interp) return;
  flush_output();
  Tcl_DeleteInterp(interp);
  interp = nullptr;
}

void Engine::close_report() {
  if (!report) return;
  fclose(report);
  report = nullptr;
}

}  // namespace kvx
