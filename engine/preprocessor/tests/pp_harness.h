/*
 * pp_harness.h - running a source through the preprocessor in-process and
 * through kvx_cccp, and rendering tokens and observer events as text.
 */
#ifndef KVX_PP_TESTS_HARNESS_H
#define KVX_PP_TESTS_HARNESS_H

#include <string>
#include <vector>

namespace kvx::pp::test {

struct Run {
  std::string dump;   /* tokens by line, with the observer events between them */
  std::string diags;  /* diagnostics as printed */
};

/* words: kvx_cccp options (without source and output); dir is removed from
 * the file names shown, "$DIR" in words is replaced by it. */
Run run_inprocess(const std::string &source, std::vector<std::string> words, const std::string &dir);
Run run_external(const std::string &source, std::vector<std::string> words, const std::string &dir);

std::string cccp_path();
std::string read_file(const std::string &path);
void write_file(const std::string &path, const std::string &text);
/* A fresh temporary directory. */
std::string temp_dir();

}  // namespace kvx::pp::test

#endif
