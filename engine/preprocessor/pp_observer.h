/*
 * pp_observer.h - what the preprocessor tells model building.
 *
 * The scanner reports files, inclusions, comments of active text, macro
 * definitions and macro uses through this interface, in the order in which
 * it meets them.  Reading a source in-process and reading the output of
 * kvx_cccp give the same calls with the same arguments.
 */
#ifndef KVX_PREPROCESSOR_PP_OBSERVER_H
#define KVX_PREPROCESSOR_PP_OBSERVER_H

#include <cstdint>
#include <string_view>
#include <vector>

namespace kvx::pp {

class Observer {
 public:
  virtual ~Observer() = default;
  /* A new entry of the file table (the source, an include, a #line name). */
  virtual void file_entered(uint32_t file, std::string_view path) { (void)file, (void)path; }
  /* An #include at the given line of from_file opened the file included. */
  virtual void inclusion(uint32_t from_file, uint32_t line, uint32_t included) {
    (void)from_file, (void)line, (void)included;
  }
  /* The file, just entered by an #include, is a system header: it was
   * found in a system include directory (those of the option files,
   * -isystem, -idirafter) or beside a system header.  Comes before the
   * inclusion's own event. */
  virtual void system_file(uint32_t file) { (void)file; }
  /* An #include of that line (line 0: a -include option) named a file that
   * cannot be found; the error has been reported. */
  virtual void include_missing(uint32_t file, uint32_t line) { (void)file, (void)line; }
  /* A directive on that line, in active or in skipped text. */
  virtual void directive_line(uint32_t file, uint32_t line) { (void)file, (void)line; }
  /* A comment, in active text or in a group skipped by a conditional: first
   * line and number of lines it spans. */
  virtual void comment(uint32_t file, uint32_t first_line, uint32_t line_count) {
    (void)file, (void)first_line, (void)line_count;
  }
  /* The comment just reported says that a switch clause falls through on
   * purpose ("fallthrough", "FALLTHRU", ...: the forms GCC takes). */
  virtual void fallthrough_comment(uint32_t file, uint32_t first_line) { (void)file, (void)first_line; }
  /* A #define: nparams is -1 for a macro without parameters; a variadic
   * macro's last parameter is named "...". */
  virtual void macro_defined(uint32_t file, uint32_t line, std::string_view name, int nparams,
                             const std::vector<std::string_view> &params) {
    (void)file, (void)line, (void)name, (void)nparams, (void)params;
  }
  /* A macro use written in the file text (not one produced by an
   * expansion): with_args when the name is followed by an argument list,
   * expanded when the expansion replaces it (else the name stays, as a
   * MacroIdentifier token). */
  virtual void macro_used(uint32_t file, uint32_t line, std::string_view name, bool with_args,
                          bool expanded) {
    (void)file, (void)line, (void)name, (void)with_args, (void)expanded;
  }
  /* The tokens of the last expanded macro use have all been delivered. */
  virtual void expansion_end() {}
};

}  // namespace kvx::pp

#endif
