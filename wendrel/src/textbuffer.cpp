/*
 * textbuffer.cpp - CTextBuffer: appending with capacity doubling.
 */
#include "wendrel_textbuffer.h"

CTextBuffer::CTextBuffer(int capacity) : capacity_(capacity > 0 ? capacity : 10) {
  text_.reserve(capacity_);
}

CTextBuffer &CTextBuffer::operator<<(std::string_view text) {
  /* Doubling once is not enough for a text longer than the whole buffer:
   * keep doubling until it fits with two characters to spare. */
  while (capacity_ - text_.size() < text.size() + 2) capacity_ *= 2;
  text_.reserve(capacity_);
  text_.append(text);
  return *this;
}

CTextBuffer &CTextBuffer::operator<<(const char *text) {
  return text ? *this << std::string_view(text) : *this;
}

CTextBuffer &CTextBuffer::operator<<(int number) { return *this << std::to_string(number); }

CTextBuffer &CTextBuffer::operator<<(char c) { return *this << std::string_view(&c, 1); }
