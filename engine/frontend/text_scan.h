/*
 * text_scan.h - splits plain C text into preprocessing tokens.
 *
 * No preprocessing is done: directives and macros are not recognised.  The
 * front end uses it to split the words of ignore-file patterns and
 * replacements into tokens; tests use it as a token source over a string.
 */
#ifndef KVX_FRONTEND_TEXT_SCAN_H
#define KVX_FRONTEND_TEXT_SCAN_H

#include <string>
#include <string_view>

#include "frontend/token_source.h"

namespace kvx::fe {

class TextScanner : public TokenSource {
 public:
  /* The text is not copied; it must outlive the scanner. */
  explicit TextScanner(std::string_view text, std::string file_name = "<text>",
                       uint32_t file = 1)
      : text_(text), name_(std::move(file_name)), file_(file) {}

  bool next(pp::Token &tok) override;
  std::string_view file_name(uint32_t) const override { return name_; }

 private:
  void skip_space(pp::Token &tok);

  std::string_view text_;
  std::string name_;
  uint32_t file_;
  size_t pos_ = 0;
  uint32_t line_ = 1;
  bool at_line_start_ = true;
};

}  // namespace kvx::fe

#endif
