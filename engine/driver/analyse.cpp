/*
 * analyse.cpp - analysing a compile line and one of its sources.
 *
 * This is where the layers meet: the dialect chosen on the compile line
 * configures the preprocessor and the lexer, the dialect's option files are
 * found, and each source is preprocessed (in-process, or by kvx_cccp whose
 * output is read back), parsed to its end and built into the program model.
 */
#include "driver/analyse.h"

#include "driver/engine.h"
#include "frontend/frontend.h"
#include "frontend/semantic/semantic.h"
#include "preprocessor/external.h"
#include "preprocessor/optfiles.h"

namespace kvx {

namespace {

/* The selected -X option word; set only when several were given. */
void apply_x_options(Engine &e) {
  const CompileSettings &s = e.settings;
  if (s.x_count <= 1 || !s.x_mode) return;
  fe::XOptions x;
  x.a = s.x_mode == 'a';
  x.c = s.x_mode == 'c';
  x.s = s.x_mode == 's';
  x.t = s.x_mode == 't';
  x.count = s.x_count;
  std::string word = fe::select_x_option(x, e.diag);
  if (!word.empty()) e.settings.pp_args.push_back(word);
}

/* Finds the predefined-macros file of the dialect.  A file found by the
 * search rather than named on the line is announced once per run and
 * recorded as the line's "ddef" so that kvx_cccp receives it too. */
std::string find_def_file(Engine &e) {
  CompileSettings &s = e.settings;
  std::string def_name = e.dialect.def_file_name();
  std::string path = pp::find_option_file(s.ddef_file, "KVX_CC_DEF", def_name);
  if (path.empty()) {
    e.diag.write("warning : Unable to locate " + e.dialect.name + ".def file\n");
    return path;
  }
  if (s.ddef_file.empty() || path != s.ddef_file) {
    if (!e.default_def_announced) {
      fprintf(e.out, "kvx_cc : using default options file : %s\n\n", path.c_str());
      fflush(e.out);
      e.default_def_announced = true;
    }
    s.ddef_file = path;
  }
  return path;
}

pp::Options preprocessor_options(Engine &e, const std::string &def_file) {
  const CompileSettings &s = e.settings;
  pp::Options o;
  o.standard = !e.dialect.traditional;
  o.trigraphs = o.standard;
  o.backslash_includes = e.dialect.backslash_to_slash;
  o.gnu = e.dialect.gnu_extensions;
  o.c99 = e.dialect.c99;
  /* as GCC: the C99-level dialects read '//' comments without being told */
  o.cpp_comments = s.cpp_comment || e.dialect.c99;
  o.expand = s.expand;
  o.mac_file = e.mac_file;
  o.def_file = def_file;
  o.args = s.pp_args;
  return o;
}

}  // namespace

void analyse_compile_line(Engine &e) {
  CompileSettings &s = e.settings;
  /* The dialect of the line; an unknown name is warned about once, when it
   * is first selected, and a later line without "dial" keeps it. */
  if (!e.dialect_selected || s.dialect != e.dialect_requested) {
    e.dialect = fe::select_dialect(s.dialect, e.diag);
    e.dialect_requested = s.dialect;
    e.dialect_selected = true;
  }
  apply_x_options(e);
  /* a newcomer's first missing include says what to do */
  e.diag.set_include_hint(s.dialect_named ? std::string()
                                          : e.diag.program_name() + ": note: no -dial was given and the dialect " +
                                                e.dialect.name +
                                                " was assumed; a project built with GCC needs -dial gnu\n");
  e.mac_file = pp::find_option_file(s.mac_file, "KVX_CC_MAC", ".kvx_cc.mac");
  std::string ign = pp::find_option_file("", "KVX_CC_IGN", e.dialect.ign_file_name());
  if (!ign.empty()) read_ignore_file(e.diag, e.ignore, ign);
  analyse_sources(e);
}

void analyse_source(Engine &e, const std::string &source) {
  FILE *f = e.diag.open_file(source, "r", LEVEL_ERROR);
  if (!f) return;
  fclose(f);

  std::string def_file = find_def_file(e);
  pp::Options opts = preprocessor_options(e, def_file);
  fe::FrontendContext ctx(e.diag);
  ctx.dialect = e.dialect;
  ctx.ignore = &e.ignore;
  if (!e.model) e.model = create_model(e.diag);

  if (e.settings.nocccp) {
    sem::build_source_model(*e.model, ctx, opts, source);
    return;
  }
  pp::ExternalRequest req;
  req.program = e.cccp_program;
  req.dialect = e.dialect.name;
  req.opts = opts;
  req.source = source;
  req.keep_lst = e.settings.keep_pp;
  pp::ExternalResult r = pp::run_kvx_cccp(req, e.diag);
  if (e.settings.keep_pp && r.ok) {
    /* Preprocessing only: the ".lst" file is the result of the run. */
    e.diag.exit_process(0);
  }
  if (!r.ok) return;
  sem::build_preprocessed_model(*e.model, ctx, opts, r.output, source, r.temporary);
}

}  // namespace kvx
