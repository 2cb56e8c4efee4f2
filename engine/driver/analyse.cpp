/*
 * analyse.cpp - analysing a compile line and one of its sources.
 *
 * This is where the preprocessor, the front end and the model building
 * plug into the driver.  Until they do, a source is only opened and read
 * to its end, so that a missing or unreadable source is reported (and
 * counted) as it will be then.
 */
#include "driver/analyse.h"

#include "driver/engine.h"

namespace kvx {

void analyse_compile_line(Engine &e) {
  /* The front end works here before the source loop: the -X options
   * warning, the macro-names file and the dialect's ignore file. */
  analyse_sources(e);
}

void analyse_source(Engine &e, const std::string &source) {
  FILE *f = e.diag.open_file(source, "r", LEVEL_ERROR);
  if (!f) return;
  /* Preprocessing, parsing and model building of the source go here. */
  char buf[8192];
  while (fread(buf, 1, sizeof buf, f) == sizeof buf) {
  }
  if (ferror(f)) e.diag.report_system_error(LEVEL_ERROR, source);
  fclose(f);
}

}  // namespace kvx
