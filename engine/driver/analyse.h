/*
 * analyse.h - the analysis of a compile line and of one source.
 *
 * analyse_compile_line runs after read_compile_line for every line of the
 * file of compile lines; analyse_sources is the loop over the line's
 * sources, and analyse_source the analysis of one of them into the
 * program model.
 */
#ifndef KVX_DRIVER_ANALYSE_H
#define KVX_DRIVER_ANALYSE_H

#include <string>

namespace kvx {

class Engine;

void analyse_compile_line(Engine &e);
void analyse_sources(Engine &e);
void analyse_source(Engine &e, const std::string &source);

}  // namespace kvx

#endif
