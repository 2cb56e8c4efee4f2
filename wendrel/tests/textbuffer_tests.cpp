/* CTextBuffer: appending and capacity growth. */
#include <gtest/gtest.h>

#include "wendrel_textbuffer.h"

TEST(TextBuffer, AppendsTextNumbersAndCharacters) {
  CTextBuffer b;
  b << "line " << -12 << ':' << std::string("x") << static_cast<const char *>(nullptr);
  const std::string &s = b;
  EXPECT_EQ(s, "line -12:x");
  b.Clear();
  EXPECT_EQ(b.Str(), "");
}

TEST(TextBuffer, CapacityRule) {
  EXPECT_EQ(CTextBuffer(0).Capacity(), 10u);
  EXPECT_EQ(CTextBuffer(-5).Capacity(), 10u);
  CTextBuffer b(10);
  b << "12345678"; /* 8 + 2 fit exactly in 10 */
  EXPECT_EQ(b.Capacity(), 10u);
  b << 'x'; /* 1 free, 3 needed: doubles once */
  EXPECT_EQ(b.Capacity(), 20u);
  /* Longer than the whole capacity: doubled as often as needed. */
  std::string big(100, 'y');
  b << big;
  EXPECT_EQ(b.Capacity(), 160u);
  EXPECT_EQ(b.Str(), "12345678x" + big);
}
