/*
 * scanner.h - the scanning loop: preprocessed tokens of one source.
 *
 * A Scanner reads one source in-process (directives, conditionals, macro
 * expansion under the expansion mode) or the output of kvx_cccp (line
 * markers and annotation comments), and delivers the same tokens both ways.
 */
#ifndef KVX_PREPROCESSOR_SCANNER_H
#define KVX_PREPROCESSOR_SCANNER_H

#include <memory>
#include <string>
#include <string_view>

#include "driver/diag.h"
#include "preprocessor/pp_observer.h"
#include "preprocessor/pp_options.h"
#include "preprocessor/pp_token.h"

namespace kvx::pp {

class Preprocessor;

class Scanner {
 public:
  Scanner(const Options &opts, Diagnostics &diag, Observer *obs = nullptr);
  ~Scanner();
  Scanner(const Scanner &) = delete;
  Scanner &operator=(const Scanner &) = delete;

  /* In-process way: reads the predefined-macros and macro-names files and
   * the options, defines __LINE__, __FILE__, __DATE__, __TIME__ and opens
   * the source.  False (after a message) when it cannot be opened. */
  bool open_source(const std::string &path);
  /* External way: reads the output of kvx_cccp written for source_name;
   * the file is deleted when reading reaches its end if delete_at_end. */
  bool open_preprocessed(const std::string &path, const std::string &source_name,
                         bool delete_at_end);

  /* The next token; false (with kind End) at the end of all input. */
  bool next(Token &tok);

  std::string_view file_name(uint32_t file) const;
  size_t file_count() const;
  /* Current real file (presented name) and line, for diagnostics. */
  std::string_view current_file_name() const;
  long current_line() const;

 private:
  std::unique_ptr<Preprocessor> pp_;
};

}  // namespace kvx::pp

#endif
