/*
 * cccp_args.h - reading kvx_cccp's command line into preprocessor options.
 */
#ifndef KVX_PREPROCESSOR_CCCP_ARGS_H
#define KVX_PREPROCESSOR_CCCP_ARGS_H

#include <string>
#include <vector>

#include "preprocessor/pp_options.h"

namespace kvx::pp {

/* Fills opts from the words of the command line (without the program
 * name) and returns the words that are not options (source, output). */
std::vector<std::string> parse_cccp_args(const std::vector<std::string> &words, Options &opts);

}  // namespace kvx::pp

#endif
