/*
 * cc_standin.cpp - a compiler stand-in for the capture tests: it writes the
 * arguments it received, one a line, into the file named by -o (so the
 * tests can see exactly what reached the compiler), and fails for a source
 * that contains the text FAIL_COMPILE.
 */
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

int main(int argc, char **argv) {
  const char *out = nullptr;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "-o") == 0 && i + 1 < argc) out = argv[i + 1];
    std::string a = argv[i];
    if (a.size() > 2 && (a.ends_with(".c") || a.ends_with(".C"))) {
      std::ifstream src(a);
      std::stringstream text;
      text << src.rdbuf();
      if (text.str().find("FAIL_COMPILE") != std::string::npos) {
        std::fprintf(stderr, "%s: error: FAIL_COMPILE\n", a.c_str());
        return 1;
      }
    }
  }
  if (out) {
    std::ofstream o(out);
    for (int i = 1; i < argc; ++i) o << argv[i] << "\n";
    if (!o) return 1;
  }
  return 0;
}
