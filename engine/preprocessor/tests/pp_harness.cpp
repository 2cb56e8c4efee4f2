/*
 * pp_harness.cpp - the two ways of preprocessing, rendered for comparison.
 */
#include "pp_harness.h"

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

#include "driver/diag.h"
#include "preprocessor/cccp_args.h"
#include "preprocessor/external.h"
#include "preprocessor/scanner.h"

namespace kvx::pp::test {

std::string read_file(const std::string &path) {
  std::string s;
  FILE *f = fopen(path.c_str(), "rb");
  if (!f) return s;
  char buf[65536];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, f)) > 0) s.append(buf, n);
  fclose(f);
  return s;
}

void write_file(const std::string &path, const std::string &text) {
  FILE *f = fopen(path.c_str(), "wb");
  if (!f) return;
  fwrite(text.data(), 1, text.size(), f);
  fclose(f);
}

std::string temp_dir() {
  char t[] = "/tmp/kvx_pptestXXXXXX";
  const char *d = mkdtemp(t);
  return d ? d : "/tmp";
}

std::string cccp_path() {
  const char *b = getenv("KVX_BUILD_DIR");
  return std::string(b ? b : KVX_PP_BUILD_DIR) + "/bin/kvx_cccp";
}

static std::string strip(std::string s, const std::string &dir) {
  if (dir.empty()) return s;
  std::string d = dir + "/";
  for (size_t p; (p = s.find(d)) != std::string::npos;) s.erase(p, d.size());
  return s;
}

namespace {

class Recorder : public Observer {
 public:
  explicit Recorder(std::string &out) : out_(out) {}
  Scanner *sc = nullptr;
  uint32_t gfile = UINT32_MAX, gline = 0;
  std::string name(uint32_t f) { return std::string(sc->file_name(f)); }
  void line(const std::string &s) {
    if (gfile != UINT32_MAX) out_ += '\n';
    gfile = UINT32_MAX;
    out_ += s;
    out_ += '\n';
  }
  void system_file(uint32_t f) override { line("@system " + name(f)); }
  void include_missing(uint32_t f, uint32_t l) override {
    line("@missing " + name(f) + ":" + std::to_string(l));
  }
  void inclusion(uint32_t from, uint32_t l, uint32_t inc) override {
    line("@include " + name(from) + ":" + std::to_string(l) + " " + name(inc));
  }
  void fallthrough_comment(uint32_t f, uint32_t first) override {
    line("@fallthrough " + name(f) + ":" + std::to_string(first));
  }
  void comment(uint32_t f, uint32_t first, uint32_t count) override {
    line("@comment " + name(f) + ":" + std::to_string(first) + " lines " + std::to_string(count));
  }
  void macro_defined(uint32_t f, uint32_t l, std::string_view n, int np,
                     const std::vector<std::string_view> &params) override {
    std::string s = "@define " + name(f) + ":" + std::to_string(l) + " " + std::string(n);
    if (np >= 0) {
      s += "/" + std::to_string(np) + "(";
      for (size_t i = 0; i < params.size(); i++) s += (i ? "," : "") + std::string(params[i]);
      s += ")";
    }
    line(s);
  }
  void macro_used(uint32_t f, uint32_t l, std::string_view n, bool args, bool exp) override {
    line("@use " + name(f) + ":" + std::to_string(l) + " " + std::string(n) + (args ? "()" : "") +
         (exp ? " expanded" : " kept"));
  }
  void expansion_end() override { line("@end"); }
  void token(const Token &t) {
    if (t.file != gfile || t.line != gline) {
      if (gfile != UINT32_MAX) out_ += '\n';
      out_ += name(t.file) + ":" + std::to_string(t.line) + ":";
      gfile = t.file;
      gline = t.line;
    }
    out_ += ' ';
    if (t.kind == TokenKind::MacroIdentifier) out_ += '@';
    out_.append(t.text);
    /* a token of a macro's replacement text: "^" and the expansion's number */
    if (t.origin) out_ += "^" + std::to_string(t.origin);
  }
  void close() {
    if (gfile != UINT32_MAX) out_ += '\n';
    gfile = UINT32_MAX;
  }

 private:
  std::string &out_;
};

void prepare(std::vector<std::string> &words, const std::string &dir) {
  for (std::string &w : words)
    for (size_t p; (p = w.find("$DIR")) != std::string::npos;) w.replace(p, 4, dir);
}

}  // namespace

static void drain(Scanner &sc, Recorder &rec, Diagnostics &diag) {
  diag.set_exit_handler([](int st) { throw ProcessExit{st}; });
  try {
    Token t;
    while (sc.next(t)) rec.token(t);
  } catch (const ProcessExit &) {
  }
  rec.close();
}

PPRun run_inprocess(const std::string &source, std::vector<std::string> words, const std::string &dir) {
  PPRun r;
  prepare(words, dir);
  Options opts;
  parse_cccp_args(words, opts);
  FILE *err = tmpfile();
  Diagnostics diag(err);
  diag.set_program_name("kvx_cccp");
  diag.set_exit_handler([](int st) { throw ProcessExit{st}; });
  {
    Recorder rec(r.dump);
    Scanner sc(opts, diag, &rec);
    rec.sc = &sc;
    bool opened = false;
    try {
      opened = sc.open_source(source);
    } catch (const ProcessExit &) {
    }
    if (opened) drain(sc, rec, diag);
  }
  fflush(err);
  rewind(err);
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, err)) > 0) r.diags.append(buf, n);
  fclose(err);
  r.dump = strip(r.dump, dir);
  r.diags = strip(r.diags, dir);
  return r;
}

PPRun run_external(const std::string &source, std::vector<std::string> words, const std::string &dir) {
  PPRun r;
  prepare(words, dir);
  ExternalRequest req;
  req.program = cccp_path();
  parse_cccp_args(words, req.opts);
  req.dialect = "";
  for (size_t i = 0; i + 1 < words.size(); i++)
    if (words[i] == "-dial") req.dialect = words[i + 1];
  req.source = source;
  std::string errname = temp_dir() + "/stderr";
  int fd = open(errname.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  req.stderr_fd = fd;
  FILE *engine_err = tmpfile();
  Diagnostics diag(engine_err);
  ExternalResult res = run_kvx_cccp(req, diag);
  close(fd);
  r.diags = read_file(errname);
  unlink(errname.c_str());
  if (res.ok) {
    Recorder rec(r.dump);
    Options ropts;
    Scanner sc(ropts, diag, &rec);
    rec.sc = &sc;
    if (sc.open_preprocessed(res.output, source, res.temporary)) drain(sc, rec, diag);
  }
  fclose(engine_err);
  r.dump = strip(r.dump, dir);
  r.diags = strip(r.diags, dir);
  return r;
}

}  // namespace kvx::pp::test
