/*
 * runner_support.h - what the runner tests share: the command line of the
 * test child, a scratch directory, file reading and waiting for conditions.
 */
#ifndef WENDREL_RUNNER_SUPPORT_H
#define WENDREL_RUNNER_SUPPORT_H

#include "wendrel_cmdline.h"

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <thread>

#include <cstdlib>

namespace fs = std::filesystem;

/* The test child with the given verbs (already a command-line tail). */
inline std::string Child(const std::string &verbs) {
  return QuoteCmdArg(WENDREL_CHILD) + (verbs.empty() ? "" : " " + verbs);
}

class ScratchDir {
 public:
  ScratchDir() {
    std::string tmpl = (fs::temp_directory_path() / "wendrel-XXXXXX").string();
    if (!mkdtemp(tmpl.data())) std::abort();
    path_ = tmpl;
  }
  ~ScratchDir() {
    std::error_code ec;
    fs::remove_all(path_, ec);
  }
  std::string Path(const std::string &name) const { return (path_ / name).string(); }
  std::string Str() const { return path_.string(); }

 private:
  fs::path path_;
};

inline std::string ReadFile(const std::string &path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

inline void WriteFile(const std::string &path, const std::string &text) {
  std::ofstream(path, std::ios::binary) << text;
}

/* Polls cond every 5 ms for up to ms; true once it holds. */
inline bool WaitUntil(const std::function<bool()> &cond, int ms = 5000) {
  auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  while (!cond()) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return true;
}

#endif
