/*
 * comment_marks.cpp - the comments that say something to the checker: a
 * switch clause falling through on purpose.
 */
#include <regex>

#include "preprocessor/pp_impl.h"

namespace kvx::pp {

/* The forms GCC's -Wimplicit-fallthrough (its default level) takes for a
 * comment saying that a switch clause falls through on purpose, matched
 * against the whole text between the comment's delimiters. */
bool is_fallthrough_comment(std::string_view body) {
  /* every form holds "hr" or "HR" (THRU, through, -fallthrough): most
   * comments are not looked at twice */
  if (body.size() > 160 || (body.find("hr") == body.npos && body.find("HR") == body.npos)) return false;
  static const std::regex forms(
      R"(-fallthrough|@fallthrough@|lint -fallthrough[ \t]*)"
      R"(|[ \t.!]*(ELSE,? |INTENTIONAL(LY)? )?FALL(S | |-)?THR(OUGH|U)[ \t.!]*(-[^\n\r]*)?)"
      R"(|[ \t.!]*(Else,? |Intentional(ly)? )?Fall((s | |-)[Tt]|t)hr(ough|u)[ \t.!]*(-[^\n\r]*)?)"
      R"(|[ \t.!]*([Ee]lse,? |[Ii]ntentional(ly)? )?fall(s | |-)?thr(ough|u)[ \t.!]*(-[^\n\r]*)?)",
      std::regex::optimize);
  return std::regex_match(body.begin(), body.end(), forms);
}

/* Reports a comment of a file frame to the observer; text is the whole
 * comment, its delimiters included. */
void Preprocessor::note_comment(const FileFrame &f, uint32_t first, uint32_t count, std::string_view text) {
  obs_->comment(f.file, first, count);
  std::string_view body = text.substr(2);
  if (text[1] == '*' && body.size() >= 2) body.remove_suffix(2);
  if (is_fallthrough_comment(body)) obs_->fallthrough_comment(f.file, first);
}

}  // namespace kvx::pp
