/* capture.h - a temporary stream whose text tests can read back. */
#ifndef KVX_DRIVER_TESTS_CAPTURE_H
#define KVX_DRIVER_TESTS_CAPTURE_H

#include <cstdio>
#include <string>

struct Capture {
  FILE *f = tmpfile();
  ~Capture() { fclose(f); }
  std::string text() {
    fflush(f);
    long n = ftell(f);
    std::string s((size_t)n, '\0');
    rewind(f);
    size_t got = fread(s.data(), 1, (size_t)n, f);
    s.resize(got);
    fseek(f, 0, SEEK_END);
    return s;
  }
};

#endif
