/* run_program.cpp - spawning a program with captured output. */
#include "run_program.h"

#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <map>
#include <sstream>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace fs = std::filesystem;

namespace kvxtest {

std::string built_program(const std::string &name) {
  /* CTest names the build tree; run by hand, the test program lies in
   * <build>/tests-bin. */
  if (const char *b = getenv("KVX_BUILD_DIR")) return std::string(b) + "/bin/" + name;
  return (fs::read_symlink("/proc/self/exe").parent_path().parent_path() / "bin" / name).string();
}

std::string read_file(const fs::path &p) {
  std::ifstream in(p, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

Scratch::Scratch() {
  char tmpl[] = "/tmp/kvx_e2e_XXXXXX";
  dir = mkdtemp(tmpl);
}

Scratch::~Scratch() {
  std::error_code ec;
  fs::remove_all(dir, ec);
}

fs::path Scratch::write(const std::string &rel, const std::string &text) const {
  fs::path p = dir / rel;
  fs::create_directories(p.parent_path());
  std::ofstream(p, std::ios::binary) << text;
  return p;
}

Result run(const std::string &program, const std::vector<std::string> &argv, const fs::path &cwd,
           const std::vector<std::pair<std::string, const char *>> &env, bool merge_output) {
  Result r;
  std::map<std::string, std::string> vars;
  for (char **e = environ; *e; e++) {
    const char *eq = strchr(*e, '=');
    if (eq) vars[std::string(*e, (size_t)(eq - *e))] = eq + 1;
  }
  for (auto &[k, v] : env) {
    if (v)
      vars[k] = v;
    else
      vars.erase(k);
  }
  std::vector<std::string> envs;
  for (auto &[k, v] : vars) envs.push_back(k + "=" + v);
  std::vector<char *> envp, args;
  for (auto &s : envs) envp.push_back(s.data());
  envp.push_back(nullptr);
  std::vector<std::string> argcopy = argv;
  for (auto &s : argcopy) args.push_back(s.data());
  args.push_back(nullptr);

  fs::path out = cwd / ".stdout", err = cwd / ".stderr";
  posix_spawn_file_actions_t fa;
  posix_spawn_file_actions_init(&fa);
  posix_spawn_file_actions_addchdir_np(&fa, cwd.c_str());
  posix_spawn_file_actions_addopen(&fa, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (merge_output)
    posix_spawn_file_actions_adddup2(&fa, 1, 2);
  else
    posix_spawn_file_actions_addopen(&fa, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  pid_t pid;
  int rc = posix_spawn(&pid, program.c_str(), &fa, nullptr, args.data(), envp.data());
  posix_spawn_file_actions_destroy(&fa);
  if (rc != 0) {
    r.err = "spawn failed: " + std::string(strerror(rc));
    return r;
  }
  int st = 0;
  waitpid(pid, &st, 0);
  r.status = WIFEXITED(st) ? WEXITSTATUS(st) : 128 + WTERMSIG(st);
  r.out = read_file(out);
  if (!merge_output) r.err = read_file(err);
  fs::remove(out);
  fs::remove(err);
  return r;
}

}  // namespace kvxtest
