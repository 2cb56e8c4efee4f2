/*
 * writer.h - writing preprocessed C with line markers and annotations.
 *
 * The text written by kvx_cccp, read back by the engine (Scanner::
 * open_preprocessed), yields the same tokens on the same lines of the same
 * files and the same observer events as reading the source in-process.
 *
 * Annotation comments: "/" "*" marker letter "_kvx_" payload " " "*" "/",
 * with the marker "@KVX #":
 *   D  NAME                a #define without parameters
 *   F  N NAME(p1,p2)       a #define with N parameters ("..." for a variadic)
 *   m  NAME or NAME()      an expanded macro use written in the file; the
 *                          expansion's tokens follow, then
 *   f  (empty)             the end of that expansion
 *   w  (empty)             in an expansion, the tokens that follow were
 *                          written in the file (an argument)
 *   x  (empty)             in an expansion, the tokens that follow come
 *                          from the macro's replacement text (so they do
 *                          at its beginning)
 *   s  NAME or NAME()      an unexpanded macro use: the identifier follows
 *   u  (empty)             the identifier that follows is a macro left
 *                          unexpanded inside an expansion
 *   i  "path"              the #include on this line opened path
 *   I  "path"              the same, path being a system header
 *   n  (empty)             the #include on this line names a file that
 *                          cannot be found
 *   h  (empty)             a directive on this line (active or skipped)
 *   c  N                   a comment starting on this line, N lines long
 *   t  (empty)             that comment marks a switch clause falling
 *                          through on purpose
 * Line markers are "# N "name"" in the first column; no token line starts
 * with '#' in the first column.
 */
#ifndef KVX_PREPROCESSOR_WRITER_H
#define KVX_PREPROCESSOR_WRITER_H

#include <cstdio>
#include <string>

#include "preprocessor/scanner.h"

namespace kvx::pp {

class TextWriter : public Observer {
 public:
  explicit TextWriter(std::string marker = "@KVX #") : marker_(std::move(marker)) {}
  void set_scanner(Scanner *s) { scanner_ = s; }
  /* Reads the scanner to its end and writes everything; false on a write error. */
  bool run(Scanner &s, FILE *out);
  /* Writes what is still buffered; false on a write error. */
  bool finish();

  void file_entered(uint32_t, std::string_view) override {}
  void system_file(uint32_t file) override;
  void include_missing(uint32_t file, uint32_t line) override;
  void inclusion(uint32_t from, uint32_t line, uint32_t included) override;
  void comment(uint32_t file, uint32_t first_line, uint32_t line_count) override;
  void directive_line(uint32_t file, uint32_t line) override;
  void fallthrough_comment(uint32_t file, uint32_t first_line) override;
  void macro_defined(uint32_t file, uint32_t line, std::string_view name, int nparams,
                     const std::vector<std::string_view> &params) override;
  void macro_used(uint32_t file, uint32_t line, std::string_view name, bool with_args,
                  bool expanded) override;
  void expansion_end() override;

 private:
  void sync(uint32_t file, uint32_t line);
  void note(char letter, std::string_view payload);
  void token(const Token &t);
  void flush();

  std::string marker_;
  Scanner *scanner_ = nullptr;
  FILE *out_ = nullptr;
  std::string buf_;
  bool failed_ = false;
  uint32_t file_ = UINT32_MAX, line_ = 0;
  bool bol_ = true;
  TokenKind prev_ = TokenKind::End;
  char prev_last_ = 0;
  std::vector<bool> system_;  /* per file: a system header */
  bool in_expansion_ = false;  /* between the notes m and f */
  bool macro_text_ = false;    /* the last note said macro text (x) */
  bool use_pending_ = false;
  std::string use_payload_;
};

}  // namespace kvx::pp

#endif
