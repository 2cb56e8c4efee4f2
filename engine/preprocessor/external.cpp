/*
 * external.cpp - running kvx_cccp as a child process with an argument
 * vector into a mkstemp temporary file.
 */
#include "preprocessor/external.h"

#include <cctype>
#include <cerrno>
#include <cstring>
#include <cstdlib>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include "driver/paths.h"

extern char **environ;

namespace kvx::pp {

std::string lst_name(const std::string &source) {
  size_t dot = source.find_last_of('.');
  size_t slash = source.find_last_of('/');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return source + ".lst";
  return source.substr(0, dot) + ".lst";
}

/* An option written with '/' reaches kvx_cccp with '-'; the word after a
 * lone "-D", "-U" or "-I" is its value (an absolute directory, say) and is
 * left as it is. */
static std::string option_word(const std::vector<std::string> &args, size_t i) {
  const std::string &w = args[i];
  if (i > 0) {
    const std::string &p = args[i - 1];
    if (p.size() == 2 && (p[0] == '-' || p[0] == '/') && strchr("DUI", p[1])) return w;
  }
  return !w.empty() && w[0] == '/' ? "-" + w.substr(1) : w;
}

std::vector<std::string> cccp_arguments(const ExternalRequest &req, const std::string &output) {
  std::vector<std::string> a;
  std::string dial = req.dialect;
  for (char &c : dial) c = (char)tolower((unsigned char)c);
  if (!dial.empty()) {
    a.push_back("-dial");
    a.push_back(dial);
  }
  /* the GNU dialects preprocess the standard way without trigraphs,
   * kvx_cccp's default */
  if (!req.opts.standard)
    a.push_back("-traditional");
  else if (!req.opts.gnu)
    a.push_back("-trigraphs");
  if (!req.opts.def_file.empty()) {
    a.push_back("-ddef");
    a.push_back(req.opts.def_file);
  }
  if (req.opts.expand) {
    if (!req.opts.mac_file.empty()) {
      a.push_back("-mode=exp");
      a.push_back("-mac");
      a.push_back(req.opts.mac_file);
    }
  } else {
    a.push_back("-mode=noexp");
    if (!req.opts.mac_file.empty()) {
      a.push_back("-mac");
      a.push_back(req.opts.mac_file);
    }
  }
  if (!req.opts.cpp_comments) a.push_back("-nocppcomment");
  for (size_t i = 0; i < req.opts.args.size(); i++) a.push_back(option_word(req.opts.args, i));
  a.push_back(req.source);
  a.push_back(output);
  return a;
}

/* The command line as the messages show it. */
static std::string shown_command(const ExternalRequest &req, const std::string &output) {
  std::string s = "kvx_cccp";
  std::string dial = req.dialect;
  for (char &c : dial) c = (char)tolower((unsigned char)c);
  if (!dial.empty()) s += " -dial " + dial;
  if (!req.opts.standard)
    s += " -traditional";
  else if (!req.opts.gnu)
    s += " -trigraphs";
  if (!req.opts.def_file.empty()) s += " -ddef \"" + req.opts.def_file + "\"";
  if (req.opts.expand) {
    if (!req.opts.mac_file.empty()) s += " -mode=exp -mac \"" + req.opts.mac_file + "\"";
  } else {
    s += " -mode=noexp";
    if (!req.opts.mac_file.empty()) s += " -mac \"" + req.opts.mac_file + "\"";
  }
  if (!req.opts.cpp_comments) s += " -nocppcomment";
  for (size_t i = 0; i < req.opts.args.size(); i++) s += "  " + option_word(req.opts.args, i);
  s += " \"" + req.source + "\" " + output;
  return s;
}

ExternalResult run_kvx_cccp(const ExternalRequest &req, Diagnostics &diag) {
  ExternalResult r;
  if (req.keep_lst) {
    r.output = lst_name(req.source);
  } else {
    const char *tmp = getenv("TMPDIR");
    std::string templ = std::string(tmp && *tmp ? tmp : "/tmp") + "/kvx_ppXXXXXX";
    std::vector<char> name(templ.begin(), templ.end());
    name.push_back(0);
    int fd = mkstemp(name.data());
    if (fd < 0) {
      diag.report_system_error(LEVEL_ERROR, templ);
      return r;
    }
    close(fd);
    r.output = name.data();
    r.temporary = true;
  }
  r.command = shown_command(req, r.output);
  std::string prog = req.program;
  bool search = false;
  if (prog.empty()) {
    prog = find_beside_program("kvx_cccp");
    if (prog.empty()) {
      prog = "kvx_cccp";
      search = true;
    }
  }
  std::vector<std::string> args = cccp_arguments(req, r.output);
  std::vector<char *> argv;
  argv.push_back(const_cast<char *>(prog.c_str()));
  for (std::string &a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  pid_t pid;
  posix_spawn_file_actions_t fa;
  posix_spawn_file_actions_init(&fa);
  if (req.stderr_fd >= 0) posix_spawn_file_actions_adddup2(&fa, req.stderr_fd, 2);
  fflush(nullptr);
  int err = search ? posix_spawnp(&pid, prog.c_str(), &fa, nullptr, argv.data(), environ)
                   : posix_spawn(&pid, prog.c_str(), &fa, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&fa);
  if (err != 0) {
    diag.report_system_error(LEVEL_ERROR, prog, err);
  } else {
    int st = 0;
    while (waitpid(pid, &st, 0) < 0 && errno == EINTR) {
    }
    r.status = WIFEXITED(st) ? WEXITSTATUS(st) : 128 + (WIFSIGNALED(st) ? WTERMSIG(st) : 0);
  }
  if (r.status != 0)
    diag.report(LEVEL_ERROR, "Warning(s) or error(s) found at preprocessing time: " + r.command);
  r.ok = access(r.output.c_str(), R_OK) == 0;
  if (!r.ok && r.temporary) unlink(r.output.c_str());
  return r;
}

}  // namespace kvx::pp
