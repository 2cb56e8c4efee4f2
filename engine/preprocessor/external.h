/*
 * external.h - the external way of preprocessing: running kvx_cccp.
 *
 * The driver calls run_kvx_cccp for a source, then reads the result with
 * Scanner::open_preprocessed (deleting it at its end unless it is the
 * ".lst" file of option "E").
 */
#ifndef KVX_PREPROCESSOR_EXTERNAL_H
#define KVX_PREPROCESSOR_EXTERNAL_H

#include <string>
#include <vector>

#include "driver/diag.h"
#include "preprocessor/pp_options.h"

namespace kvx::pp {

struct ExternalRequest {
  std::string program;   /* kvx_cccp to run; empty: beside the running program, else on PATH */
  std::string dialect;   /* dialect name, written in lower case */
  Options opts;          /* standard, def_file, expand, mac_file, args, cpp_comments */
  std::string source;
  bool keep_lst = false; /* option "E": write the ".lst" file beside the source */
  int stderr_fd = -1;    /* where kvx_cccp's messages go; -1: the engine's standard error */
};

struct ExternalResult {
  bool ok = false;        /* the output file exists and can be read */
  std::string output;     /* the temporary file, or the ".lst" file */
  bool temporary = false; /* delete it when reading reaches its end */
  int status = -1;        /* exit status of kvx_cccp */
  std::string command;    /* the command line, as shown in messages */
};

/* The argument vector (without the program) for a request and an output. */
std::vector<std::string> cccp_arguments(const ExternalRequest &req, const std::string &output);

/* Runs kvx_cccp (argument vector, no shell).  A non-zero status gives the
 * error "Warning(s) or error(s) found at preprocessing time: %s". */
ExternalResult run_kvx_cccp(const ExternalRequest &req, Diagnostics &diag);

/* The ".lst" name of a source: its extension replaced, or ".lst" added. */
std::string lst_name(const std::string &source);

}  // namespace kvx::pp

#endif
