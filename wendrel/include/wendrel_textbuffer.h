/*
 * wendrel_textbuffer.h - CTextBuffer, a string built piece by piece with a
 * capacity that doubles as it fills.
 *
 *     CTextBuffer b(64);
 *     b << "line " << 12 << ':' << name;
 *     const std::string &text = b;
 *
 * It holds no window object, so console programs may use it too.
 */
#ifndef WENDREL_TEXTBUFFER_H
#define WENDREL_TEXTBUFFER_H

#include <cstddef>
#include <string>
#include <string_view>

class CTextBuffer {
 public:
  /* Reserves capacity characters; 10 when capacity is not positive. */
  explicit CTextBuffer(int capacity = 10);

  /* Appending doubles the capacity, as often as needed, whenever fewer than
   * the appended characters plus 2 would be free. */
  CTextBuffer &operator<<(std::string_view text);
  CTextBuffer &operator<<(const char *text); /* null appends nothing */
  CTextBuffer &operator<<(const std::string &text) { return *this << std::string_view(text); }
  CTextBuffer &operator<<(int number); /* as "%d" */
  CTextBuffer &operator<<(char c);

  operator const std::string &() const { return text_; }
  const std::string &Str() const { return text_; }
  std::size_t Length() const { return text_.size(); }
  std::size_t Capacity() const { return capacity_; }
  /* Empties the text; the capacity stays. */
  void Clear() { text_.clear(); }

 private:
  std::string text_;
  std::size_t capacity_;
};

#endif
