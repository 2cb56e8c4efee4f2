/*
 * paths.cpp - the program directory and the installation search forms.
 */
#include "driver/paths.h"

#include <climits>
#include <sys/stat.h>
#include <unistd.h>

namespace kvx {

const std::string &program_dir() {
  static const std::string dir = [] {
    char buf[PATH_MAX + 1];
    ssize_t n = readlink("/proc/self/exe", buf, PATH_MAX);
    if (n <= 0) return std::string(".");
    std::string p(buf, (size_t)n);
    size_t slash = p.rfind('/');
    if (slash == std::string::npos) return std::string(".");
    if (slash == 0) return std::string("/");
    return p.substr(0, slash);
  }();
  return dir;
}

std::string program_base_name() {
  char buf[PATH_MAX + 1];
  ssize_t n = readlink("/proc/self/exe", buf, PATH_MAX);
  std::string p = n > 0 ? std::string(buf, (size_t)n) : std::string("kvx_zkck_cc");
  size_t slash = p.find_last_of("/\\");
  if (slash != std::string::npos) p.erase(0, slash + 1);
  size_t dot = p.find('.');
  if (dot != std::string::npos) p.erase(dot);
  return p;
}

bool is_readable_file(const std::string &path) {
  struct stat st;
  if (stat(path.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return false;
  return access(path.c_str(), R_OK) == 0;
}

std::string find_in_util(std::string_view name) {
  std::string p = program_dir() + "/../util/" + std::string(name);
  return is_readable_file(p) ? p : std::string();
}

std::string find_beside_program(std::string_view name) {
  std::string p = program_dir() + "/" + std::string(name);
  return is_readable_file(p) ? p : std::string();
}

}  // namespace kvx
