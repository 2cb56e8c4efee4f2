/*
 * semantic.h - model building: the parser's and the preprocessor's reports
 * turned into program model objects.
 *
 * SourceBuilder holds what one source needs while it is read (its
 * translation unit scope, the file table of its token stream, the open
 * scopes); its ParseActions and pp::Observer faces fill the model through
 * ModelBuilder.  build_source_model runs the whole chain for one source.
 */
#ifndef KVX_FRONTEND_SEMANTIC_SEMANTIC_H
#define KVX_FRONTEND_SEMANTIC_SEMANTIC_H

#include <string>

#include "frontend/frontend.h"
#include "model/model.h"
#include "preprocessor/pp_options.h"
#include "preprocessor/scanner.h"

namespace kvx::sem {

/* The token source the parser reads: a preprocessor scanner. */
class ScannerTokenSource : public fe::TokenSource {
 public:
  explicit ScannerTokenSource(pp::Scanner &s) : s_(s) {}
  bool next(pp::Token &tok) override { return s_.next(tok); }
  std::string_view file_name(uint32_t file) const override { return s_.file_name(file); }

 private:
  pp::Scanner &s_;
};

/* Analyses one source into the model, preprocessing it in-process.
 * False when the source cannot be opened (after a message). */
bool build_source_model(Model &model, fe::FrontendContext &ctx, const pp::Options &opts,
                        const std::string &path);
/* The same over the output of the external preprocessor written for
 * source_name. */
bool build_preprocessed_model(Model &model, fe::FrontendContext &ctx, const pp::Options &opts,
                              const std::string &preprocessed, const std::string &source_name,
                              bool delete_at_end = false);

}  // namespace kvx::sem

#endif
