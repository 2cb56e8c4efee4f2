/*
 * settings.cpp - what a compile line resets and releases.
 */
#include "driver/settings.h"

namespace kvx {

void CompileSettings::begin_line() {
  pp_args.clear();
  compile_only = true;
  nocond = false;
  inst = false;
  fo = false;
}

void CompileSettings::end_line() {
  pp_args.clear();
  cc_args.clear();
  sources.clear();
  objects.clear();
  statics.clear();
  metrics.clear();
  cc_command.clear();
  has_cc = false;
  ddef_file.clear();
  mac_file.clear();
  output.clear();
  output_given = false;
  fo = false;
  pch_file.clear();
}

}  // namespace kvx
