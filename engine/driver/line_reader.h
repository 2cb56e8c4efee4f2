/*
 * line_reader.h - the whole-line reader of the list files.
 *
 * Returns each line of a stream whole, whatever its length, newline
 * included (the last line of a file may lack it).  The line stays valid
 * until the next read or release.
 */
#ifndef KVX_DRIVER_LINE_READER_H
#define KVX_DRIVER_LINE_READER_H

#include <cstdio>
#include <string_view>

namespace kvx {

class LineReader {
 public:
  LineReader() = default;
  LineReader(const LineReader &) = delete;
  LineReader &operator=(const LineReader &) = delete;
  ~LineReader() { release(); }

  /* Reads the next line of f into line; false at end of file or on a read
   * error (ferror tells them apart). */
  bool read(FILE *f, std::string_view &line);
  /* Frees the buffer; done after each list file is exhausted. */
  void release();

 private:
  char *buf_ = nullptr;
  size_t cap_ = 0;
};

}  // namespace kvx

#endif
