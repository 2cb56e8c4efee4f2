/*
 * cccp_main.cpp - kvx_cccp, the external preprocessor: preprocesses one
 * source into a file of preprocessed C with line markers and annotation
 * comments, using the engine's own preprocessor layer.
 *
 *   kvx_cccp [-dial NAME] [-trigraphs | -traditional] [-ddef FILE]
 *            [-mode=exp | -mode=noexp] [-mac FILE] [-nocppcomment]
 *            [-D.. -U.. -I.. -S.. -X..]... SOURCE OUTPUT
 */
#include <cstdio>
#include <cstring>
#include <string>
#include <unistd.h>

#include "driver/diag.h"
#include "preprocessor/cccp_args.h"
#include "preprocessor/scanner.h"
#include "preprocessor/writer.h"

using namespace kvx;

static int usage(Diagnostics &diag) {
  diag.report(LEVEL_ERROR, "usage: kvx_cccp [options] source output");
  return 1;
}

int main(int argc, char **argv) {
  Diagnostics diag(stderr);
  diag.set_program_name("kvx_cccp");
  pp::Options opts;
  std::vector<std::string> words(argv + 1, argv + argc);
  std::vector<std::string> files = pp::parse_cccp_args(words, opts);
  if (files.size() != 2) return usage(diag);
  const std::string &source = files[0], &output = files[1];

  /* written beside the output and renamed over it when complete */
  std::string tmp = output + ".XXXXXX";
  std::vector<char> name(tmp.begin(), tmp.end());
  name.push_back(0);
  int fd = mkstemp(name.data());
  if (fd < 0) {
    diag.report_system_error(LEVEL_ERROR, output);
    return 1;
  }
  FILE *out = fdopen(fd, "wb");
  std::string tmpname = name.data();

  pp::TextWriter writer(opts.marker);
  pp::Scanner scanner(opts, diag, &writer);
  writer.set_scanner(&scanner);
  bool done = false;
  /* Ends the output, also when a fatal message ends the run: what was
   * preprocessed until then is kept. */
  auto finish = [&](bool ok) {
    if (done) return;
    done = true;
    ok = writer.finish() && ok;
    if (fclose(out) != 0) ok = false;
    if (!ok) diag.report_system_error(LEVEL_ERROR, output);
    if (rename(tmpname.c_str(), output.c_str()) != 0) {
      diag.report_system_error(LEVEL_ERROR, output);
      unlink(tmpname.c_str());
    }
  };
  diag.add_cleanup([&] { finish(true); });
  bool opened = scanner.open_source(source);
  bool ok = !opened || writer.run(scanner, out);
  finish(ok);
  return diag.error_count() ? 1 : 0;
}
