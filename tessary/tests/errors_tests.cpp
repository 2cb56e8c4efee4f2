/* The message table, message formatting, exceptions and the error log. */
#include <gtest/gtest.h>

#include "tessary_errors.h"
#include "test_support.h"

TEST(Messages, TextsAndInserts) {
  EXPECT_STREQ(GetMessageText(34010), "Rule set  file '%1' not saved");
  EXPECT_STREQ(GetMessageText(34018), "Application '%1' cannot be created. ");
  EXPECT_STREQ(GetMessageText(34028), "Cannot create temp file ");
  EXPECT_STREQ(GetMessageText(34086), "Dialects file '%1' loaded successfuly");
  EXPECT_STREQ(GetMessageText(34089), " Application '%1' rule set is not specified.");
  EXPECT_STREQ(GetMessageText(34127), "set %1 {%2}");
  EXPECT_STREQ(GetMessageText(34129), "^[^%s]");
  EXPECT_STREQ(GetMessageText(34120), "lrl");
  EXPECT_EQ(GetMessageText(34006), nullptr);
  EXPECT_EQ(FormatMessageText(34085, "GNU", "/p/gcc.prf"),
            "Dialect 'GNU' with default profile file '/p/gcc.prf' loaded successfully");
  EXPECT_EQ(FormatMessageText(34127, "x", "50%1"), "set x {50%1}");  /* inserts are not rescanned */
  EXPECT_EQ(FormatMessageText(34013), "DIALECT clause missing in global paths.");
}

TEST(Messages, ParameterFileTemplateHas22Lines) {
  std::string t = GetMessageText(34000);
  std::vector<std::string> pieces;
  size_t start = 0;
  for (size_t nl; (nl = t.find('\n', start)) != std::string::npos; start = nl + 1)
    pieces.push_back(t.substr(start, nl - start));
  pieces.push_back(t.substr(start));
  ASSERT_EQ(pieces.size(), 22u);
  EXPECT_EQ(pieces[0], ".COMMENT");
  EXPECT_EQ(pieces[4], ".KEY patterns");
  EXPECT_EQ(pieces[14], ".COMMAND kvx_zkck_cc");
  EXPECT_EQ(pieces[16], ".CODE");
  EXPECT_EQ(pieces[18], "# Brindle Generated PARAMETER file");
  EXPECT_EQ(pieces[19], "# ** DO NOT EDIT **");
  EXPECT_EQ(pieces[20], "");
  EXPECT_EQ(pieces[21], "");
}

TEST(Messages, ExceptionsTravelByValue) {
  try {
    CZKException::Throw(34001, "/a/b");
  } catch (const CZKException &e) {
    EXPECT_EQ(e.GetID(), 34001u);
    EXPECT_EQ(e.GetError().GetType(), CZKError::eError);
    EXPECT_STREQ(e.what(), "Cannot open file '/a/b'");
    try {
      CZKException::ReThrow(e);
    } catch (const std::exception &again) {
      EXPECT_STREQ(again.what(), "Cannot open file '/a/b'");
    }
  }
}

TEST(ErrorLog, PrefixesAndSilentMask) {
  RecordingLog log;
  EXPECT_EQ(log.GetMsg(CZKError::eError, 34007, "f", ""), "ERROR: File 'f' does not exist");
  EXPECT_EQ(log.GetMsg(CZKError::eWarning, 34053, "p", ""),
            "Warning: Invalid or missing profile file 'p' not loaded");
  EXPECT_EQ(log.GetMsg(CZKError::eInformation, 34090, "a", ""), "Info: Application 'a' opened successfully.");
  log.SetSilentMode(CZKError::eInformation | CZKError::eWarning);
  EXPECT_EQ(log.GetMsg(CZKError::eInformation, 34090, "a", ""), "");
  EXPECT_EQ(log.GetMsg(CZKError::eWarning, 34053, "p", ""), "");
  EXPECT_NE(log.GetMsg(CZKError::eError, 34007, "f", ""), "");
  log.ResetSilentMode();
  EXPECT_NE(log.GetMsg(CZKError::eInformation, 34090, "a", ""), "");

  log.Report(CZKException(34004, "/x"));
  log.Report(CZKError(CZKError::eWarning, 34051, "/l"));
  ASSERT_EQ(log.messages.size(), 2u);
  EXPECT_EQ(log.messages[0].type, CZKError::eError);
  EXPECT_EQ(log.messages[0].first, "/x");
  EXPECT_EQ(log.messages[1].type, CZKError::eWarning);
  EXPECT_EQ(log.messages[1].second, "");
  ReportMessage(CZKError::eInformation, 34084, "d");
  EXPECT_EQ(log.messages.size(), 3u);
}
