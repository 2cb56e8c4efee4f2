/*
 * test_util.h - helpers of the kvxapp tests: message capture, scratch
 * directories and files, and reading back what the library writes.
 */
#ifndef KVXAPP_TEST_UTIL_H
#define KVXAPP_TEST_UTIL_H

#include "kvxapp.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace kvxtest {

/* Every line the reporting routine prints, in order. */
struct Messages {
  std::vector<std::string> lines;
  std::string all() const {
    std::string s;
    for (auto &l : lines) s += l;
    return s;
  }
  bool contains(const std::string &text) const { return all().find(text) != std::string::npos; }
};

inline void capture_line(int, const char *line, void *data) {
  static_cast<Messages *>(data)->lines.push_back(line);
}

/* A scratch directory removed with its files at the end. */
class TempDir {
 public:
  TempDir() {
    char tmpl[] = "/tmp/kvxapp_test.XXXXXX";
    path_ = mkdtemp(tmpl);
  }
  ~TempDir() {
    std::string cmd = path_;
    /* files and directories made by a test: plain unlink/rmdir walk */
    remove_tree(path_);
  }
  const std::string &path() const { return path_; }
  std::string file(const std::string &name) const { return path_ + "/" + name; }
  std::string write(const std::string &name, const std::string &text) const {
    std::ofstream(file(name), std::ios::binary) << text;
    return file(name);
  }

 private:
  static void remove_tree(const std::string &p);
  std::string path_;
};

inline std::string read_file(const std::string &path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

/* Text written by application_save_desc. */
inline std::string desc_text(const KvxApplication *app) {
  char *buf = nullptr;
  size_t size = 0;
  FILE *f = open_memstream(&buf, &size);
  application_save_desc(app, f);
  fclose(f);
  std::string s(buf, size);
  free(buf);
  return s;
}

/* Loads a description held in memory. */
inline KvxApplication *load_text(const std::string &text) {
  FILE *f = fmemopen(const_cast<char *>(text.data()), text.size(), "r");
  KvxApplication *app = application_load_desc(f);
  fclose(f);
  return app;
}

inline std::string take(char *s) {
  std::string r = s ? s : "(null)";
  free(s);
  return r;
}

/* Shipped data of the source tree. */
inline std::string source_util(const std::string &name) {
  const char *src = getenv("KVX_SOURCE_DIR");
  return std::string(src ? src : "../..") + "/util/" + name;
}

/* Base of the tests: captures messages, resets counts and tables. */
class KvxTest : public ::testing::Test {
 protected:
  void SetUp() override {
    report_set_hook(capture_line, &msgs);
    report_reset_counts();
    report_set_warnings(1);
    lang_reset();
  }
  void TearDown() override {
    report_set_hook(nullptr, nullptr);
    report_reset_counts();
  }
  Messages msgs;
};

/* Runs with the current directory changed, restoring it afterwards. */
class InDir {
 public:
  explicit InDir(const std::string &dir) {
    char buf[4096];
    old_ = getcwd(buf, sizeof buf) ? buf : ".";
    if (chdir(dir.c_str()) != 0) ADD_FAILURE() << "chdir " << dir;
  }
  ~InDir() {
    if (chdir(old_.c_str()) != 0) ADD_FAILURE() << "chdir back";
  }

 private:
  std::string old_;
};

/* Sets an environment variable for a scope. */
class EnvVar {
 public:
  EnvVar(const char *name, const char *value) : name_(name) {
    const char *old = getenv(name);
    had_ = old != nullptr;
    if (had_) old_ = old;
    if (value)
      setenv(name, value, 1);
    else
      unsetenv(name);
  }
  ~EnvVar() {
    if (had_)
      setenv(name_.c_str(), old_.c_str(), 1);
    else
      unsetenv(name_.c_str());
  }

 private:
  std::string name_, old_;
  bool had_;
};

}  // namespace kvxtest

#include <dirent.h>
#include <sys/stat.h>

inline void kvxtest::TempDir::remove_tree(const std::string &p) {
  DIR *d = opendir(p.c_str());
  if (d) {
    while (dirent *e = readdir(d)) {
      std::string n = e->d_name;
      if (n == "." || n == "..") continue;
      std::string c = p + "/" + n;
      struct stat st;
      if (lstat(c.c_str(), &st) == 0 && S_ISDIR(st.st_mode))
        remove_tree(c);
      else
        unlink(c.c_str());
    }
    closedir(d);
  }
  rmdir(p.c_str());
}

#endif
