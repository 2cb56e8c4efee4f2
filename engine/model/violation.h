/*
 * violation.h - where violations go and how one is located.
 *
 * A ViolationSink writes each violation either as a three-line record
 * (lines beginning with F, R and M) to the run's report file, or, when the
 * run has no report file, as one line on the console stream.  A record
 * equal to one already written in the run is not written again (a header
 * seen by several sources gives its findings once).
 */
#ifndef KVX_MODEL_VIOLATION_H
#define KVX_MODEL_VIOLATION_H

#include <cstdio>
#include <string>
#include <string_view>
#include <unordered_set>

#include "model/model.h"

namespace kvx {

class ViolationSink {
 public:
  /* report: the report file, or null for console lines on console. */
  explicit ViolationSink(FILE *report, FILE *console = stdout) : report_(report), console_(console) {}

  bool has_report() const { return report_ != nullptr; }

  /* Violations located in system headers are left out (and counted)
   * unless they are kept. */
  void keep_system_findings(bool on) { keep_system_ = on; }
  /* True, counting it, when a violation located in the file is left out. */
  bool leaves_out(const FileRec &file) {
    if (!file.system || keep_system_) return false;
    system_left_out_++;
    return true;
  }
  long system_left_out() const { return system_left_out_; }

  /* The violation of the application object: "F", "R <rule>", "M". */
  void write_application(std::string_view rule);
  /* An object without file: "F", "R<rule>", "M". */
  void write_unlocated(std::string_view rule);
  /* A located object; message and function may be null. */
  void write_located(std::string_view path, long line, std::string_view rule,
                     const std::string_view *message, const char *function);

 private:
  /* Writes a record or console line unless the same was written before. */
  void emit(FILE *f, std::string &&text);

  FILE *report_;
  FILE *console_;
  std::unordered_set<std::string> written_;
  bool keep_system_ = false;
  long system_left_out_ = 0;
};

/* The name of the function the object lies in (seen as class cls), or
 * null when there is none. */
const char *enclosing_function(const Model &m, Obj *obj, const ClassInfo *cls);

}  // namespace kvx

#endif
