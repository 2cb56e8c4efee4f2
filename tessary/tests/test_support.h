/*
 * test_support.h - helpers shared by the library's tests: a scratch
 * directory removed at the end, file helpers and a recording error log.
 */
#ifndef TESSARY_TEST_SUPPORT_H
#define TESSARY_TEST_SUPPORT_H

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tessary_errors.h"

namespace fs = std::filesystem;

class ScratchDir {
 public:
  explicit ScratchDir(const std::string &tag = "t") {
    std::string tmpl = (fs::temp_directory_path() / ("tessary_" + tag + "_XXXXXX")).string();
    std::vector<char> buf(tmpl.begin(), tmpl.end());
    buf.push_back(0);
    char *d = mkdtemp(buf.data());
    path_ = d ? d : "";
  }
  ~ScratchDir() {
    std::error_code ec;
    fs::remove_all(path_, ec);
  }
  std::string Path(const std::string &rel = "") const { return rel.empty() ? path_ : path_ + "/" + rel; }
  const std::string &Str() const { return path_; }

 private:
  std::string path_;
};

inline void WriteFile(const std::string &path, const std::string &text) {
  fs::create_directories(fs::path(path).parent_path());
  std::ofstream f(path, std::ios::binary);
  f << text;
}

inline std::string ReadFile(const std::string &path) {
  std::ifstream f(path, std::ios::binary);
  std::stringstream s;
  s << f.rdbuf();
  return s.str();
}

inline std::vector<std::string> DirEntries(const std::string &dir) {
  std::vector<std::string> out;
  for (const auto &e : fs::directory_iterator(dir)) out.push_back(e.path().filename().string());
  std::sort(out.begin(), out.end());
  return out;
}

struct RecordedMessage {
  int type;
  unsigned id;
  std::string first, second;
};

/* Keeps every message; installs itself as TheErrorLog while it lives. */
class RecordingLog : public CErrorLog {
 public:
  RecordingLog() : previous_(TheErrorLog) { TheErrorLog = this; }
  ~RecordingLog() override { TheErrorLog = previous_; }
  void ReportMessage(int type, unsigned id, const std::string &first,
                     const std::string &second) override {
    messages.push_back({type, id, first, second});
  }
  void BeginRun() override { ++runs; }
  bool Has(unsigned id) const {
    for (const auto &m : messages)
      if (m.id == id) return true;
    return false;
  }
  std::vector<unsigned> Ids() const {
    std::vector<unsigned> out;
    for (const auto &m : messages) out.push_back(m.id);
    return out;
  }
  /* Messages other than information. */
  int Problems() const {
    int n = 0;
    for (const auto &m : messages)
      if (m.type != CZKError::eInformation) ++n;
    return n;
  }
  std::vector<RecordedMessage> messages;
  int runs = 0;

 private:
  CErrorLog *previous_;
};

/* Runs fn and gives the number of the CZKException it throws (0: none). */
template <typename F>
unsigned ThrownId(F fn, std::string *arg = nullptr) {
  try {
    fn();
  } catch (const CZKException &e) {
    if (arg) *arg = e.GetArg();
    return e.GetID();
  }
  return 0;
}

#endif
