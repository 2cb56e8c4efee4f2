/*
 * make_reader.cpp - building an application record from a user's
 * makefile.  The script "make_reader" stands in for make: run in the
 * makefile's directory with make's dry-run arguments (or with a variable
 * to watch), it prints the commands make would run, and those are read
 * into a new record (make_scan.cpp).
 */
#include "make_scan.h"
#include "makefile.h"
#include "shell.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

using namespace kvxapp;

namespace {

std::string current_dir() {
  std::vector<char> buf(4096);
  while (!getcwd(buf.data(), buf.size())) {
    if (errno != ERANGE) return std::string();
    buf.resize(buf.size() * 2);
  }
  return buf.data();
}

/* The process's current directory, given back when the reading ends. */
class SavedDir {
 public:
  SavedDir() : fd_(open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {}
  ~SavedDir() {
    if (fd_ < 0) return;
    if (fchdir(fd_) != 0) report_system_error(REPORT_ERROR, "current directory", errno);
    close(fd_);
  }
  bool ok() const { return fd_ >= 0; }

 private:
  int fd_;
};

std::string reader_command(const std::string &script, const char *args, const std::string &makefile,
                           const char *variable, const std::string &output) {
  std::string cmd = shell::quote(script);
  std::string words = shell::quote_words(args);
  if (!words.empty()) cmd += " " + words;
  cmd += variable && *variable ? " -k -f " : " -n -k -f ";
  cmd += shell::quote(makefile) + " " + shell::quote("MAKE=" + mk::recipe_word(script));
  if (variable && *variable) cmd += " " + shell::quote(std::string(variable) + "=GetOption");
  return cmd + " > " + shell::quote(output);
}

/* Runs make_reader and reads what it printed into a new record. */
KvxApplication *read_makefile(const std::string &script, const char *args, const std::string &makefile,
                              const char *variable, const std::string &subject) {
  shell::TempFile output;
  if (output.path().empty()) return nullptr;
  int status = shell::run(reader_command(script, args, makefile, variable, output.path()));
  if (status != 0) {
    report_message(REPORT_ERROR, "%s: unable to read the makefile, make_reader ended with status %d",
                   subject.c_str(), status);
    return nullptr;
  }
  FILE *f = fopen(output.path().c_str(), "r");
  if (!f) {
    report_system_error(REPORT_ERROR, output.path().c_str(), errno);
    return nullptr;
  }
  std::string text = read_stream(f);
  fclose(f);

  scan::Scan scan;
  scan.app = application_new(lang_get_default_name());
  scan.subject = subject;
  scan.dir = current_dir();
  scan::read_text(scan, text);
  application_manage_cc_options(scan.app);
  if (scan.directory_mode) application_manage_directory(scan.app);
  return scan.app;
}

}  // namespace

extern "C" {

KvxApplication *application_makefile(const char *makefile, const char *args, const char *variable) {
  FILE *check = file_open(makefile, "r", REPORT_ERROR); /* expands the name, reports */
  if (!check) return nullptr;
  fclose(check);
  std::string path;
  expand(makefile, path, REPORT_NONE);

  std::string script = search(nullptr, "KVX_MAKE_READER", "make_reader", "$KVX_UTIL");
  if (script.empty()) {
    report_message(REPORT_ERROR,
                   "Cannot find script \"make_reader\". Check the value of environnement variable KVX_UTIL");
    return nullptr;
  }
  script = join(current_dir(), script); /* still found from the makefile's directory */

  SavedDir saved;
  if (!saved.ok()) {
    report_system_error(REPORT_ERROR, "current directory", errno);
    return nullptr;
  }
  std::string dir = dir_part(path);
  if (!dir.empty() && chdir(dir.c_str()) != 0) {
    report_system_error(REPORT_ERROR, dir.c_str(), errno);
    return nullptr;
  }
  return read_makefile(script, args, base_part(path), variable, path);
}

}  // extern "C"
