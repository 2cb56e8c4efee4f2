/*
 * line_reader.cpp - reading lines of any length from a stream.
 */
#include "driver/line_reader.h"

#include <cstdlib>
#include <sys/types.h>

namespace kvx {

bool LineReader::read(FILE *f, std::string_view &line) {
  ssize_t n = getline(&buf_, &cap_, f);
  if (n < 0) {
    line = {};
    return false;
  }
  line = std::string_view(buf_, (size_t)n);
  return true;
}

void LineReader::release() {
  free(buf_);
  buf_ = nullptr;
  cap_ = 0;
}

}  // namespace kvx
